// Engine entry points that the user interface calls: the mouse handling, the current
// tool and the toolbox model come from the interaction code.
//
// Stand-in: the sketch's character commands are declared here and defined in
// ui/standins/engine_calls_standin.cpp until the interaction code offers them.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/mouse.h"
#include "engine/interact/toolbox.h"

// Mouse flags the view passes: Shift sets both low bits, Alt adds 16, the right
// button is 4.
constexpr uint32_t kMouseFlagShift = kMouseShift;
constexpr uint32_t kMouseFlagRight = kMouseRight;
constexpr uint32_t kMouseFlagAlt   = kMouseAlt;

// Printable characters for the front sketch.
void    HandleSketchChar(uint32_t character);
