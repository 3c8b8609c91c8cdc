// Engine entry points that the user interface calls: the mouse handling and the current
// tool come from the interaction code; the toolbox model and the sketch's character
// commands are not offered yet.
//
// Stand-in: the toolbox model and the character commands are declared here and defined
// in ui/standins/engine_calls_standin.cpp until the interaction code offers them.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/mouse.h"

// Mouse flags the view passes: Shift sets both low bits, Alt adds 16, the right
// button is 4.
constexpr uint32_t kMouseFlagShift = kMouseShift;
constexpr uint32_t kMouseFlagRight = kMouseRight;
constexpr uint32_t kMouseFlagAlt   = kMouseAlt;

// Printable characters for the front sketch.
void    HandleSketchChar(uint32_t character);

// The toolbox model: 0 on success, 300 for an empty layout, 35 for a bad one.
struct ToolboxLayout;
ToolboxLayout* CopyDefaultToolboxLayout();
int32_t        InstallToolbox(ToolboxLayout* layout, ToolboxLayout** previous);
void           FreeToolboxLayout(ToolboxLayout* layout);
