#include "tests/support/views_double.h"

#include "engine/core/services/views.h"
#include "engine/core/sketch.h"

namespace {
ViewRequests gRequests;
void (*gFlushCallback)(int32_t) = nullptr;
}  // namespace

ViewRequests& RecordedViewRequests() { return gRequests; }
void ResetViewRequests() { gRequests = ViewRequests(); }
void SetRedrawFlushCallback(void (*callback)(int32_t flag)) { gFlushCallback = callback; }

void FlushPendingRedraw(int32_t flag) {
    gRequests.redrawFlushes.push_back(flag);
    if (gFlushCallback) gFlushCallback(flag);
}
ResultCode RebuildSketchViews(int32_t) {
    ++gRequests.viewRebuilds;
    return kResultOK;
}
void UpdateSketchViews() { ++gRequests.fadingSteps; }
int32_t UpdateSketchVisibleRect(Sketch*) {
    ++gRequests.visibleRectUpdates;
    return gRequests.noView ? 0 : 1;
}
void ScheduleScrollRangeUpdate() { ++gRequests.scrollRangeUpdates; }
// As the views do: the window rectangle moves to the origin (a view would then show it).
void ScrollSketchTo(ScreenPoint origin) {
    gRequests.scrollOrigins.push_back(origin);
    if (Sketch* sketch = CurrentSketch()) {
        ScreenRect& r = sketch->windowRect;
        r.right = static_cast<int16_t>(r.right - r.left + origin.x);
        r.bottom = static_cast<int16_t>(r.bottom - r.top + origin.y);
        r.left = origin.x;
        r.top = origin.y;
    }
}
void ClearTracesAllViews(EngineDocument*) { ++gRequests.traceClears; }
