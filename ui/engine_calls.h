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
#include "engine/interact/custom_tool_library.h"
