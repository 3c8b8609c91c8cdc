// Stand-in: the in-place caption editor is not built yet; its caret does not blink.
#include "engine/core/services/caption_editor.h"

void BlinkEditorCaret() {}
