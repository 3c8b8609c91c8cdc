// Stand-in: the in-place caption editor is not built yet; its caret does not blink and
// it keeps no changes to take back.
#include "engine/core/services/caption_editor.h"

void BlinkEditorCaret() {}
ResultCode UndoEditorChange(bool) { return kResultOK; }
