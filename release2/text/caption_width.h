// A caption's wrap width as the user sets it. A selected free caption shows a small
// square handle at its bottom-right corner; dragging it sets the width its text is
// broken to, the release fits the width to the rows and keeps the text's alignment in
// place, and the whole drag is one undo step. The caption being edited in place has a
// dotted frame with a handle of its own that re-breaks the text while it is dragged.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/core/services/later_release.h"

struct LayoutEditSession;
struct SketchObject;
struct UndoEntry;

// Undo entry of a width drag: the caption, the tree it had and its box's left and top,
// exchanged with the caption's own on undo and on redo. A type of its own, past the
// shared ones: records live only in memory, so no file ever holds it.
constexpr int32_t kUndoEntryCaptionWidth = 31;
// Narrowest width a handle sets, in pixels.
constexpr int32_t kMinCaptionWrapWidth = 10;
// The handle's square on a selected caption (hit) and as drawn, both at the box's
// bottom-right corner; the edit frame's handle square.
constexpr int32_t kCaptionHandleHitSide  = 6;
constexpr int32_t kCaptionHandleDrawSide = 5;
constexpr int32_t kEditFrameHandleSide   = 5;

// A selected free caption with its text shown (class 0, construction type 0, existing).
bool HasCaptionWidthHandle(const SketchObject* object);
bool HitCaptionWidthHandle(const SketchObject* object, ScreenPoint point);
// The square drawn as the handle.
ScreenRect CaptionWidthHandleRect(const SketchObject* object);

// The drag of a selected caption's handle in the current sketch. Begin records the undo
// step; false when it cannot (no memory), and nothing changes then.
bool BeginCaptionWidthDrag(SketchObject* caption, ScreenPoint point);
void TrackCaptionWidth(ScreenPoint point);
void FinishCaptionWidthDrag(ScreenPoint point);
// A caption laid out at a width it did not choose (an older document's box): the width
// is fitted to its rows as on a release of the handle, or dropped when it broke none.
void FitCaptionWrapWidth(SketchObject* caption);
// Whether a drag is under way (between Begin and Finish).
bool CaptionWidthDragging();
// The undo entry's handler (both directions) and what a discarded record frees.
int32_t UndoCaptionWidth(const UndoEntry& entry, int32_t direction);
void    ReleaseCaptionWidthUndo(const UndoEntry& entry);

// The frame of the caption being edited: its text box grown by 5 pixels left and right and
// 3 up and down; the handle is the 5 by 5 square at its bottom-right corner.
ScreenRect CaptionEditFrame(const LayoutEditSession* session);
ScreenRect CaptionEditHandleRect(const LayoutEditSession* session);
// Whether the point is in the frame; onHandle (or null) whether it is in the handle.
bool HitCaptionEditFrame(const LayoutEditSession* session, ScreenPoint point, bool* onHandle);
// While the button is down the width follows the pointer from `start`.
void TrackCaptionWidthHandle(LayoutEditSession* session, ScreenPoint start);
// The text measured again after its width changed and the frame moved to it (the editor's
// change callback redraws the old and the new frame).
void RedrawCaptionEditFrame(LayoutEditSession* session);

// Sets the caption entries that need no Windows (the drawing of the editor is the
// Windows layer's, release2/draw/win32/caption_frame.h).
void AddCaptionForms(LaterReleaseForms* forms);
