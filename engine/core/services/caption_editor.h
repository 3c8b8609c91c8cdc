// What the frame tick asks of the in-place caption editor (engine/text).
#pragma once

// Blinks the caret of the caption being edited in the current sketch.
void BlinkEditorCaret();
