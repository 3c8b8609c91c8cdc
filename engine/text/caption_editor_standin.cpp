// Stand-in: see caption_editor_standin.h.
#include "engine/text/caption_editor_standin.h"

namespace {
int gBlinks = 0;
}

void BlinkEditorCaret() { ++gBlinks; }
int BlinkEditorCaretCount() { return gBlinks; }
