// What the sketch core asks of the in-place text editor (engine/text): the sketch keeps
// the session of the caption it edits, blinks its caret and keeps its frame in view.
#pragma once
#include "engine/core/screen_types.h"

struct LayoutEditSession;

// Ends the session: its owner's end callback gets the tree (recorded or not).
void FreeLayoutEditSession(LayoutEditSession* session, int32_t record);
// Toggles the caret once its blink deadline has passed.
void BlinkEditorCaret(LayoutEditSession* session);
// What the editor covers on the sketch: its frame with the white margin drawn around it.
ScreenRect EditorFrameArea(const LayoutEditSession* session);
