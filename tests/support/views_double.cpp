#include "tests/support/views_double.h"

#include "engine/core/services/views.h"

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
void ClearTracesAllViews(EngineDocument*) { ++gRequests.traceClears; }
