#include "engine/core/drawing_pass.h"

#include <cmath>

#include "engine/core/frame_tick.h"
#include "engine/core/geometry.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/caption_editor.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"

const int32_t LayerHighlightMode[11] = { 0, 2, 1, 1, 2, 0, 0, 2, 1, 1, 0 };

namespace {

constexpr int32_t kMaxPutAside = 2;

DrawHook* gDrawHooks = nullptr;  // newest first
uint32_t  gHookRun = 0;

ScreenRect EmptyRect() {
    ScreenRect r;
    ScreenRectSetEmpty(&r);
    return r;
}

// What the caption editor covers, or empty.
ScreenRect EditedCaptionRect(const Sketch* sketch) {
    return sketch->editSession ? EditorFrameArea(sketch->editSession) : EmptyRect();
}

bool LabelIsDrawn(const SketchObject* object) {
    if (!object->label.shown) return false;
    ObjectPredicateFn follows = ObjectClassTable[object->objectClass].labelFollowsGeometry;
    return follows != nullptr && follows(object);
}

void DrawScaled(GraphicsPort* port, SketchObject* object, const OutputScale* scale) {
    const ObjectClassRecord& row = ObjectClassTable[object->objectClass];
    if (row.drawScaled == nullptr) return;
    row.drawScaled(port, object, scale);
    if (LabelIsDrawn(object)) DrawObjectLabel(port, object);
}

void AddTrace(Sketch* sketch, GraphicsPort* port, SketchObject* object) {
    DrawObjectTrace(port, object);
    ScreenRect clipped = object->bounds;
    if (!ScreenRectIsEmpty(sketch->windowRect)) ScreenRectIntersect(sketch->windowRect, &clipped);
    if (ScreenRectIsEmpty(clipped)) return;
    const bool wasEmpty = ScreenRectIsEmpty(sketch->tracedArea);
    ScreenRectUnion(clipped, &sketch->tracedArea);
    const auto steps = LaterForms().platform.traceFadeStepsToClear;
    sketch->fadeStepsLeft = steps ? steps() : kFadeStepsToClear;
    if (wasEmpty && gEngine.currentIsFront) CmdStateInvalidate(kCommandGroupTraces);
}

}  // namespace

void DrawSketch(GraphicsPort* port, const ScreenRect* rect) {
    DrawSketchObjects(port, rect, kDrawScreen, nullptr);
}

void DrawSketchForPrint(GraphicsPort* port, const ScreenRect* rect, const OutputScale* scale) {
    DrawSketchObjects(port, rect, kDrawPrint, scale);
}

void DrawSketchPicture(GraphicsPort* port, const OutputScale* scale) {
    Sketch* sketch = CurrentSketch();
    UpdateSketchVisibleRect(sketch);
    ScreenRect rect = sketch->extent;
    if (!ScreenRectIsEmpty(sketch->windowRect)) ScreenRectIntersect(sketch->windowRect, &rect);
    DrawSketchObjects(port, &rect, kDrawPicture, scale);
}

void DrawSketchObjects(GraphicsPort* port, const ScreenRect* rect, int32_t mode,
                       const OutputScale* scale) {
    Sketch* sketch = CurrentSketch();
    ScreenRect extent = EditedCaptionRect(sketch);
    if (mode != kDrawPicture && ScreenRectIsEmpty(*rect)) return;
    ScreenRect clip = *rect;
    if (clip.left > -32761) clip.left = static_cast<int16_t>(clip.left - 7);
    if (clip.top > -32761) clip.top = static_cast<int16_t>(clip.top - 7);
    if (clip.right < 32760) clip.right = static_cast<int16_t>(clip.right + 7);
    if (clip.bottom < 32760) clip.bottom = static_cast<int16_t>(clip.bottom + 7);

    for (int32_t layer = 1; layer < kDrawLayerCount; ++layer) {
        const int32_t highlight = LayerHighlightMode[layer];
        SketchObject* putAside[kMaxPutAside];
        int32_t asideCount = 0;
        bool first = true;
        bool highlightsAfter = false;
        SketchObject* head = sketch->layerHeads[layer];
        SketchObject* object = head;
        while (object != nullptr) {
            SketchObject* next = object->nextInLayer == head ? nullptr : object->nextInLayer;
            if (object->exists != 1 || object->hidden != kShown) {
                object = next;
                continue;
            }
            const ObjectClassRecord& row = ObjectClassTable[object->objectClass];
            ScreenRect area = object->bounds;
            if (mode == kDrawScreen) {
                ScreenRectUnion(row.usesCoreExtent ? object->coreBounds : object->bounds, &extent);
            }
            ScreenRect label;
            if (ObjectLabelRect(object, &label)) {
                ScreenRectUnion(label, &area);
                if (mode == kDrawScreen) ScreenRectUnion(label, &extent);
            }
            if (!ScreenRectsOverlap(area, clip)) {
                object = next;
                continue;
            }
            const bool selected = IsSelected(object);
            if (mode == kDrawPrint) {
                DrawScaled(port, object, scale);
            } else if (mode == kDrawPicture) {
                if (selected) {
                    BeginMetafileGroup(port, object, &area);
                    DrawScaled(port, object, scale);
                    EndMetafileGroup(port, object, &area);
                }
            } else {
                if (first && highlight == kHighlightBefore) DrawLayerSelection(port, rect, layer);
                first = false;
                if (!(highlight == kHighlightInstead && selected)) {
                    if ((object->stateFlags & kObjectHot) && asideCount < kMaxPutAside) {
                        putAside[asideCount++] = object;
                    } else if (row.draw) {
                        row.draw(port, object);
                    }
                    if (object->traced && object->motionRole != 0) AddTrace(sketch, port, object);
                    if (LabelIsDrawn(object)) DrawObjectLabel(port, object);
                }
                if (selected && highlight != kHighlightBefore) highlightsAfter = true;
            }
            object = next;
        }
        if (mode != kDrawScreen) continue;
        while (asideCount > 0) {
            SketchObject* hot = putAside[--asideCount];
            const ObjectClassRecord& row = ObjectClassTable[hot->objectClass];
            if (row.draw) row.draw(port, hot);
        }
        if (highlightsAfter) DrawLayerSelection(port, rect, layer);
    }
    if (mode != kDrawScreen) return;
    RunDrawHooks(rect, port);
    const ScreenRect& old = sketch->extent;
    if (extent.left != old.left || extent.top != old.top || extent.right != old.right ||
        extent.bottom != old.bottom) {
        sketch->extent = extent;
        ScheduleScrollRangeUpdate();
    }
}

void DrawLayerSelection(GraphicsPort* port, const ScreenRect* rect, int32_t layer) {
    Sketch* sketch = CurrentSketch();
    SketchObject* head = sketch->layerHeads[layer];
    bool penOn = false;
    for (SketchObject* object = head; object != nullptr;
         object = object->nextInLayer == head ? nullptr : object->nextInLayer) {
        if (!IsSelected(object) || object->exists != 1) continue;
        if (!ScreenRectsOverlap(object->bounds, *rect)) continue;
        DrawFn drawSelected = ObjectClassTable[object->objectClass].drawSelected;
        if (drawSelected == nullptr) continue;
        if (!penOn) SetFeedbackPen(port, layer, 1);
        penOn = true;
        drawSelected(port, object);
    }
    if (penOn) SetFeedbackPen(port, layer, 0);
}

void AddDrawHook(DrawHook* hook, DrawHookFn callback, Sketch* sketch) {
    hook->callback = callback;
    hook->sketch = sketch;
    hook->runStamp = gHookRun;
    hook->next = gDrawHooks;
    gDrawHooks = hook;
}

void RemoveDrawHook(DrawHook* hook) {
    for (DrawHook** link = &gDrawHooks; *link; link = &(*link)->next) {
        if (*link == hook) {
            *link = hook->next;
            hook->next = nullptr;
            return;
        }
    }
}

int32_t RunDrawHooks(const ScreenRect* rect, GraphicsPort* port) {
    // Oldest first, and the list is read again after every call: a hook may remove
    // itself (or another) while it runs. Each hook is looked at once per run.
    const uint32_t run = ++gHookRun;
    int32_t looked = 0;
    for (;;) {
        DrawHook* oldest = nullptr;
        for (DrawHook* h = gDrawHooks; h; h = h->next) {
            if (h->runStamp != run) oldest = h;
        }
        if (oldest == nullptr) break;
        oldest->runStamp = run;
        ++looked;
        if (oldest->sketch == nullptr || oldest->sketch == CurrentSketch()) {
            oldest->callback(oldest, rect, port);
        }
    }
    return looked;
}

bool IsLargeLocus(const SketchObject* object) {
    if (object->objectClass != kClassLocus) return false;
    const int32_t limit = 7 * ThePreferences().resolution;
    return object->bounds.right - object->bounds.left > limit ||
           object->bounds.bottom - object->bounds.top > limit;
}

void ClipToSketchWindow(const SketchObject*, ScreenRect* rect) {
    ScreenRectIntersect(CurrentSketch()->windowRect, rect);
}

void GetObjectsExtentEx(bool selectedOnly, bool useCoreBounds, bool clipLargeLoci, ScreenRect* out) {
    ScreenRectSetEmpty(out);
    for (SketchObject* o = CurrentSketch()->firstObject; o; o = o->nextInSketch) {
        if (o->exists != 1 || o->hidden != kShown) continue;
        if (selectedOnly && !IsSelected(o)) continue;
        ScreenRect area =
            useCoreBounds && ObjectClassTable[o->objectClass].usesCoreExtent ? o->coreBounds : o->bounds;
        if (clipLargeLoci && IsLargeLocus(o)) ClipToSketchWindow(o, &area);
        ScreenRect label;
        if (ObjectLabelRect(o, &label)) ScreenRectUnion(label, &area);
        if (!ScreenRectIsEmpty(area)) ScreenRectUnion(area, out);
    }
}

void GetSelectionExtent(ScreenRect* out, bool useCoreBounds, bool clipLargeLoci) {
    GetObjectsExtentEx(true, useCoreBounds, clipLargeLoci, out);
}

void GetVisibleRect(ScreenRect* out) {
    Sketch* sketch = CurrentSketch();
    *out = sketch->tracedArea;
    ScreenRectIntersect(sketch->windowRect, out);
}

void UpdateSketchExtent(bool clipLargeLoci) {
    Sketch* sketch = CurrentSketch();
    ScreenRect extent;
    GetObjectsExtentEx(false, true, clipLargeLoci, &extent);
    const ScreenRect caption = EditedCaptionRect(sketch);
    if (!ScreenRectIsEmpty(caption)) ScreenRectUnion(caption, &extent);
    if (CurrentOutputScale.printing) {
        ScreenRect traced;
        GetVisibleRect(&traced);
        if (!ScreenRectIsEmpty(traced)) ScreenRectUnion(traced, &extent);
    }
    sketch->extent = extent;
}

void UpdateSketchExtentAndLayout(bool clipLargeLoci) {
    const ScreenRect old = CurrentSketch()->extent;
    UpdateSketchExtent(clipLargeLoci);
    const ScreenRect& now = CurrentSketch()->extent;
    if (now.left != old.left || now.top != old.top || now.right != old.right || now.bottom != old.bottom) {
        ScheduleScrollRangeUpdate();
    }
}

void InvalidateSketchViews(Sketch* sketch) {
    ClearTracesAllViews(sketch->document);
    ScreenRectSetEmpty(&sketch->tracedArea);
    if (sketch == gEngine.frontSketch) CmdStateInvalidate(kCommandGroupTraces);
}

namespace {
int32_t ScaleMetric(int32_t value, double factor) {
    return static_cast<int32_t>(std::floor(value * factor + 0.5));
}
}  // namespace

void ScaleDrawingMetrics(int32_t outputResolution, double scale) {
    const double ratio = static_cast<double>(outputResolution) / ThePreferences().resolution;
    InitDrawingMetrics();
    int32_t* a = DrawingMetrics.intMetricsA;
    for (int32_t i = 0; i <= 3; ++i) a[i] = ScaleMetric(a[i], scale);
    for (int32_t i = 4; i <= 7; ++i) a[i] = ScaleMetric(a[i], ratio);
    // Metric 8: a value below 2 is replaced by 2 before the formula is applied again.
    auto halfWidth = [ratio](int32_t v) { return static_cast<int32_t>(std::floor(v * ratio / 2 + 1.5)); };
    a[8] = halfWidth(a[8]);
    if (a[8] < 2) a[8] = halfWidth(2);
    a[9] = ScaleMetric(a[9], ratio);
    for (int32_t i = 10; i <= 11; ++i) a[i] = ScaleMetric(a[i], scale);
    for (int32_t i = 12; i <= 13; ++i) a[i] = ScaleMetric(a[i], ratio);
    double* r = DrawingMetrics.realMetrics;
    r[0] *= scale;
    r[1] *= scale;
    r[2] *= scale * scale;
    r[3] *= scale;
    int32_t* b = DrawingMetrics.intMetricsB;
    b[0] = ScaleMetric(b[0], ratio);  // metric 14: at least 1
    if (b[0] < 1) b[0] = ScaleMetric(1, ratio);
    for (int32_t i = 1; i <= 3; ++i) b[i] = ScaleMetric(b[i], ratio);
    for (int32_t i = 4; i < 21; ++i) b[i] = ScaleMetric(b[i], scale);
}
