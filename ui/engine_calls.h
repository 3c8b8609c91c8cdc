// Engine entry points that the user interface calls: the mouse handling, the current
// tool and the toolbox model come from the interaction code.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/core/sketch_keys.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/mouse.h"
#include "engine/interact/toolbox.h"

// Mouse flags the view passes: Shift sets both low bits, Alt adds 16, the right
// button is 4.
constexpr uint32_t kMouseFlagShift = kMouseShift;
constexpr uint32_t kMouseFlagRight = kMouseRight;
constexpr uint32_t kMouseFlagAlt   = kMouseAlt;


// The custom-tool library's current tool and the toolbox's custom-tool menu.
// Stand-in: the custom-tool library is not built yet; ui/standins/custom_tools_standin.cpp
// defines these: no tool is ever current, and the menu holds only its command items, greyed.
struct ToolList;
struct ToolMenuModel {
    int32_t flag;    // 0 the toolbox's menu, 1 the tools that can be copied into a document
    void* entries;   // {menu item id, list, index} of each item, after building
};
bool    GetCurrentCustomTool(ToolList** list, int32_t* index);
int32_t ToolSelectFromLibrary(ToolList* list, int32_t index);
// Fills a pop-up through the menu helpers, taking identifiers from the counter; 0 on failure.
int32_t BuildCustomToolMenu(void* menu, ToolMenuModel* model, uint32_t* idCounter);
void    ChooseCustomToolFromMenu(uint32_t id, ToolMenuModel* model, bool showScriptView);
void    FreeToolMenuEntry(ToolMenuModel* model);
