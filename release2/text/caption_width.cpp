#include "release2/text/caption_width.h"

#include <algorithm>
#include <cstring>

#include "engine/core/drawing_pass.h"
#include "engine/core/geometry.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/text_port.h"
#include "engine/core/services/undo.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/interact/caption_editing.h"
#include "engine/interact/undo.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/layout_edit_session.h"
#include "engine/text/merged_texts.h"
#include "engine/text/object_text.h"
#include "release2/text/wrap_width.h"

namespace {

// The width step is named like the caption edit it belongs with.
constexpr uint16_t kUndoNameEditCaption = 15;
constexpr uint32_t kPointerBytes = sizeof(void*);
// {caption, held tree} as the caption edit's entry, then the box's left and top (i32).
constexpr uint32_t kWidthEntryBytes = kCaptionEditEntryBytes + 8;

// The one drag of a handle there can be.
struct WidthDrag {
    SketchObject* caption;
    int32_t       grab;   // pointer x - box left - width at the press
    int32_t       width;  // the width set last
};
WidthDrag gDrag;

// Whether the pixel at the point is one the rectangle covers when filled (right and bottom
// edges excluded).
bool Covers(const ScreenRect& r, ScreenPoint p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

int32_t CaptionMargin() { return DrawingMetrics.intMetricsB[kMetricCaptionMarginX]; }

LayoutNode** TreeOf(SketchObject* caption) {
    CaptionData* d = CaptionDataOf(caption);
    return d && d->layout ? &d->layout : nullptr;
}

// The caption's width now: its wrap width, or for a caption not wrapped the width its
// box gives the text.
int32_t CurrentWidth(SketchObject* caption) {
    const int32_t width = GetLayoutWrapWidth(*TreeOf(caption), nullptr);
    if (width >= 1) return width;
    return caption->bounds.right - caption->bounds.left - 2 * CaptionMargin();
}

// One committed step holding the tree and place the caption has now.
bool RecordWidthStep(SketchObject* caption) {
    LayoutNode* copy = CloneLayoutTree(*TreeOf(caption));
    if (!copy) return false;
    const UndoDescriptor name = { kUndoNameEditCaption, kUndoNounNone, 0, nullptr };
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(&name, 1, kWidthEntryBytes, &cursor);
    if (!record) {
        FreeLayoutNode(copy);
        return false;
    }
    UndoPutEntryHead(&cursor, kUndoEntryCaptionWidth, kWidthEntryBytes);
    const int32_t left = caption->bounds.left, top = caption->bounds.top;
    std::memcpy(cursor, &caption, kPointerBytes);
    std::memcpy(cursor + kPointerBytes, &copy, kPointerBytes);
    std::memcpy(cursor + kCaptionEditEntryBytes, &left, 4);
    std::memcpy(cursor + kCaptionEditEntryBytes + 4, &top, 4);
    UndoRecordCommit(record, false);
    return true;
}

// Measures the caption's text on the sketch's measuring port.
template <typename Fn>
auto WithMeasureState(SketchObject* caption, Fn fn) {
    Sketch* sketch = CurrentSketch();
    GraphicsPort* port = AcquireMeasurePort(sketch);
    LayoutDrawState state{ port, CaptionDataOf(caption)->style, 0, 0 };
    auto result = fn(&state);
    ReleaseMeasurePort(sketch, port);
    return result;
}

void MoveBox(SketchObject* caption, int32_t left, int32_t top) {
    const int32_t width = caption->bounds.right - caption->bounds.left;
    const int32_t height = caption->bounds.bottom - caption->bounds.top;
    caption->bounds.left = RoundToScreen(left);
    caption->bounds.top = RoundToScreen(top);
    caption->bounds.right = RoundToScreen(left + width);
    caption->bounds.bottom = RoundToScreen(top + height);
}

bool PressWidthHandle(ScreenPoint point) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return false;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected)
        if (HasCaptionWidthHandle(o) && HitCaptionWidthHandle(o, point)) return BeginCaptionWidthDrag(o, point);
    return false;
}

bool PressEditorHandle(ScreenPoint point) {
    LayoutEditSession* s = CurrentSketch() ? CurrentSketch()->editSession : nullptr;
    bool onHandle = false;
    if (!s || !HitCaptionEditFrame(s, point, &onHandle) || !onHandle) return false;
    TrackCaptionWidthHandle(s, point);
    return true;
}

}  // namespace

bool HasCaptionWidthHandle(const SketchObject* object) {
    // The further word that must be set is taken to be `exists`: a caption whose text is
    // not defined is not drawn, and shows no handle either.
    return object && object->objectClass == kClassCaption && object->constructionType == kTypeFree &&
           IsSelected(object) && object->exists != 0 && CaptionDataOf(object) && CaptionDataOf(object)->layout;
}

ScreenRect CaptionWidthHandleRect(const SketchObject* object) {
    const ScreenRect& b = object->bounds;
    return { static_cast<int16_t>(b.right - kCaptionHandleDrawSide), static_cast<int16_t>(b.bottom - kCaptionHandleDrawSide),
             b.right, b.bottom };
}

bool HitCaptionWidthHandle(const SketchObject* object, ScreenPoint point) {
    const ScreenRect& b = object->bounds;
    const ScreenRect square = { static_cast<int16_t>(b.right - kCaptionHandleHitSide),
                                static_cast<int16_t>(b.bottom - kCaptionHandleHitSide), b.right, b.bottom };
    return Covers(square, point);
}

bool BeginCaptionWidthDrag(SketchObject* caption, ScreenPoint point) {
    if (!TreeOf(caption)) return false;
    const int32_t width = CurrentWidth(caption);
    if (!RecordWidthStep(caption)) return false;
    gDrag = { caption, point.x - caption->bounds.left - width, width };
    return true;
}

void TrackCaptionWidth(ScreenPoint point) {
    SketchObject* caption = gDrag.caption;
    if (!caption || !TreeOf(caption)) return;
    const int32_t width = std::max(kMinCaptionWrapWidth, point.x - caption->bounds.left - gDrag.grab);
    if (width == gDrag.width || !SetLayoutWrapWidth(TreeOf(caption), width, 1)) return;
    gDrag.width = width;
    RelayoutObjectText(caption, true);
    FlushPendingRedraw(1);
}

namespace {

// The width fitted to the rows, the box shifted by the alignment, laid out again.
void FitAndRelayout(SketchObject* caption, bool redraw) {
    const int32_t shift =
        WithMeasureState(caption, [caption](LayoutDrawState* state) { return FitLayoutWrapWidth(*TreeOf(caption), state); });
    if (redraw) AddObjectToDirtyRect(caption);
    MoveBox(caption, caption->bounds.left + shift, caption->bounds.top);
    RelayoutObjectText(caption, redraw);
}

}  // namespace

void FinishCaptionWidthDrag(ScreenPoint point) {
    SketchObject* caption = gDrag.caption;
    if (!caption || !TreeOf(caption)) {
        gDrag = {};
        return;
    }
    TrackCaptionWidth(point);
    FitAndRelayout(caption, true);
    gDrag = {};
}

void FitCaptionWrapWidth(SketchObject* caption) {
    if (!caption || !TreeOf(caption) || GetLayoutWrapWidth(*TreeOf(caption), nullptr) == 0) return;
    FitAndRelayout(caption, false);
    // A width that broke no row would not be saved with the caption: it goes now, so
    // that the caption opens again as it stands.
    if (!WrapWidthIsWritten(*TreeOf(caption)) && SetLayoutWrapWidth(TreeOf(caption), 0, 1))
        RelayoutObjectText(caption, false);
}

bool CaptionWidthDragging() { return gDrag.caption != nullptr; }

int32_t UndoCaptionWidth(const UndoEntry& entry, int32_t) {
    if (entry.length < kWidthEntryBytes) return kResultOK;
    SketchObject* caption;
    std::memcpy(&caption, entry.payload, kPointerBytes);
    if (!caption || !CaptionDataOf(caption)) return kResultOK;
    int32_t left, top;
    std::memcpy(&left, entry.payload + kCaptionEditEntryBytes, 4);
    std::memcpy(&top, entry.payload + kCaptionEditEntryBytes + 4, 4);
    const int32_t nowLeft = caption->bounds.left, nowTop = caption->bounds.top;
    AddObjectToDirtyRect(caption);
    MoveBox(caption, left, top);
    const ResultCode rc = SwapCaptionLayout(entry.payload, kCaptionEditEntryBytes);
    if (rc != kResultOK) {
        MoveBox(caption, nowLeft, nowTop);
        return rc;
    }
    std::memcpy(entry.payload + kCaptionEditEntryBytes, &nowLeft, 4);
    std::memcpy(entry.payload + kCaptionEditEntryBytes + 4, &nowTop, 4);
    return kResultOK;
}

void ReleaseCaptionWidthUndo(const UndoEntry& entry) {
    if (entry.type == kUndoEntryCaptionWidth && entry.length >= kWidthEntryBytes)
        FreeHeldLayout(entry.payload, kCaptionEditEntryBytes);
}

// ---- The caption being edited ----

ScreenRect CaptionEditFrame(const LayoutEditSession* session) { return EditorFrameArea(session); }

ScreenRect CaptionEditHandleRect(const LayoutEditSession* session) {
    const ScreenRect f = CaptionEditFrame(session);
    return { static_cast<int16_t>(f.right - kEditFrameHandleSide), static_cast<int16_t>(f.bottom - kEditFrameHandleSide),
             f.right, f.bottom };
}

bool HitCaptionEditFrame(const LayoutEditSession* session, ScreenPoint point, bool* onHandle) {
    if (onHandle) *onHandle = Covers(CaptionEditHandleRect(session), point);
    return Covers(CaptionEditFrame(session), point);
}

void RedrawCaptionEditFrame(LayoutEditSession* s) {
    MeasureLayout(s->tree, &s->drawState);
    // The editor's change callback moves the frame to the text and redraws the old and
    // the new frame.
    if (s->onChange) s->onChange(s, s->userData);
}

void TrackCaptionWidthHandle(LayoutEditSession* s, ScreenPoint start) {
    int32_t startWidth = GetLayoutWrapWidth(s->tree, nullptr);
    if (startWidth < 1) startWidth = s->tree->width;
    const int32_t startLeft = s->frame.left;
    int32_t width = startWidth;
    ScreenPoint point = start;
    for (;;) {
        // A box that moved (scrolling) moves the width's origin with it.
        const int32_t wanted = startWidth + (point.x - start.x) - (s->frame.left - startLeft);
        if (wanted > 0 && wanted != width && SetLayoutWrapWidth(&s->tree, wanted, 1)) {
            width = wanted;
            RedrawCaptionEditFrame(s);
        }
        if (s->onTrackStep) s->onTrackStep();
        if (!PortMouseButtonDown()) break;
        if (auto wait = LaterForms().caption.waitForPointer) wait();
        PortMousePosition(&point);
    }
}

void AddCaptionForms(LaterReleaseForms* forms) {
    forms->caption.pressWidthHandle = PressWidthHandle;
    forms->caption.dragWidthHandle = TrackCaptionWidth;
    forms->caption.releaseWidthHandle = FinishCaptionWidthDrag;
    forms->caption.pressEditorHandle = PressEditorHandle;
    forms->caption.replayUndoEntry = UndoCaptionWidth;
    forms->caption.releaseUndoEntry = ReleaseCaptionWidthUndo;
    forms->caption.fitWrapWidth = FitCaptionWrapWidth;
}
