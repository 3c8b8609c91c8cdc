// figlate's drawing of the caption being edited: a dotted frame in the text's colour on
// the sketch's background, the text, and the width handle at the frame's bottom-right.
#pragma once
#include <windows.h>

#include "engine/core/screen_types.h"
#include "engine/core/services/later_release.h"

struct GraphicsPort;
struct LayoutEditSession;

// The frame (already grown around the text): dotted in the text colour, filled with the
// sketch's background.
void DrawCaptionEditFrame(GraphicsPort* port, const ScreenRect& frame, COLORREF textColor);
// The handle: the square at the frame's bottom-right corner filled in the text colour.
void DrawCaptionEditHandle(GraphicsPort* port, const ScreenRect& frame, COLORREF textColor);
// The editor over a redrawn rectangle (null: everything): the frame where it meets the
// rectangle, the text with its selection or caret, then the handle.
void DrawCaptionEditor(GraphicsPort* port, const ScreenRect* rect, LayoutEditSession* session);

// Waits for a mouse message, at most a short while (a release may not be queued to us).
void WaitForPointerChange();

// Sets the caption entries that draw and wait for the mouse.
void AddCaptionFrameForms(LaterReleaseForms* forms);
