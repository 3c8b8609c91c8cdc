// Stand-in: the custom-tool library, until it is built. No tool is current or can be
// chosen; the toolbox's menu shows the library's three commands greyed.
#include <windows.h>

#include <initializer_list>

#include "engine/text/string_groups.h"
#include "ui/engine_calls.h"
#include "ui/menus.h"

bool GetCurrentCustomTool(ToolList** list, int32_t* index) {
    if (list) *list = nullptr;
    if (index) *index = 0;
    return false;
}

int32_t ToolSelectFromLibrary(ToolList*, int32_t) { return 0; }

int32_t BuildCustomToolMenu(void* menu, ToolMenuModel* model, uint32_t* idCounter) {
    if (model->flag != 0) return 1;
    HMENU popup = static_cast<HMENU>(menu);
    UINT counter = *idCounter;
    UINT id = 0;
    for (int32_t item : { 3, 4, 5 }) {
        if (!AppendPopupItem(popup, 1, GroupText(kGroupMiscellany, item), false, false, &counter, &id)) return 0;
    }
    *idCounter = counter;
    return 1;
}

void ChooseCustomToolFromMenu(uint32_t, ToolMenuModel*, bool) {}

void FreeToolMenuEntry(ToolMenuModel* model) { model->entries = nullptr; }
