#include "release2/ui/win32/window_forms_win32.h"

#include <windows.h>

#include "engine/interact/pick_session.h"
#include "release2/draw/win32/antialias_layer.h"
#include "release2/ui/win32/owner_draw_menu.h"
#include "release2/ui/win32/plot_table_dialog.h"

namespace {

// The Help button of the system's colour dialog.
constexpr int kColorHelpButton = 1038;

bool ColorPickerMessage(void*, uint32_t message, uintptr_t wParam, intptr_t, int32_t helpTopic) {
    if (message != WM_COMMAND || LOWORD(wParam) != kColorHelpButton) return false;
    OpenHelpTopic(helpTopic);
    return true;
}

// The menu class draws from the item's data alone; no menu handle is needed for it.
void MeasureMenuItem(void* measureItem) {
    OwnerDrawMenu menu;
    menu.MeasureItem(static_cast<LPMEASUREITEMSTRUCT>(measureItem));
}

void DrawMenuItem(void* drawItem) {
    OwnerDrawMenu menu;
    menu.DrawItem(static_cast<LPDRAWITEMSTRUCT>(drawItem));
}

}  // namespace

void AddWindowWin32Forms(LaterReleaseForms* forms) {
    forms->window.colorPickerMessage = ColorPickerMessage;
    forms->window.antiAliasChoiceAvailable = GdiPlusAvailable;
    forms->window.measureMenuItem = MeasureMenuItem;
    forms->window.drawMenuItem = DrawMenuItem;
    forms->window.runCommandDialog = RunLaterCommandDialog;
}
