// Action buttons: pressing, captions, frames and the bookkeeping of running buttons. The
// class data and its record are engine/core's action_button_data.h and docio's codec.
#pragma once
#include <cstdint>

#include "engine/core/action_button_data.h"
#include "engine/core/services/action_buttons.h"

// Runs a button, started by `presentation` (null: pressed by itself): 0 or an alert code.
ResultCode RunActionButton(SketchObject* button, SketchObject* presentation);
// Makes a button of `type` on the tempLink chain of targets with the type's defaults,
// linked into the current sketch (recorded for undo when asked); null and the code when
// it cannot be made.
SketchObject* MakeActionButton(int32_t type, SketchObject* targets, bool undo, ResultCode* result);
