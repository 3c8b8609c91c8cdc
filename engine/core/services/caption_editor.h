// What the frame tick asks of the in-place caption editor (engine/text).
#pragma once
#include "engine/core/result_codes.h"

// Blinks the caret of the caption being edited in the current sketch.
void BlinkEditorCaret();
// Undoes (or redoes) the last change made in the caption being edited.
ResultCode UndoEditorChange(bool undo);
