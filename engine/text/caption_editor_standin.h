// Stand-in: the in-place caption editor's share of the frame tick, until the editor is
// built.
#pragma once

// Blinks the caret of the caption being edited in the current sketch.
void BlinkEditorCaret();
int  BlinkEditorCaretCount();
