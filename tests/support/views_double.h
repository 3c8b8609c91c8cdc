// Test double of the idle-time view requests: records every call.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/core/screen_types.h"

struct ViewRequests {
    std::vector<int32_t> redrawFlushes;         // FlushPendingRedraw flags
    std::vector<int32_t> statusTextRefreshes;   // ScheduleStatusTextRefresh arguments
    int32_t              toolFolderScans = 0;
    int32_t              toolFolderScanStops = 0;
    int32_t              fadingSteps = 0;        // UpdateSketchViews
    int32_t              scrollRangeUpdates = 0;
    int32_t              traceClears = 0;        // ClearTracesAllViews
    int32_t              visibleRectUpdates = 0;
    int32_t              viewRebuilds = 0;           // RebuildSketchViews
    std::vector<ScreenPoint> scrollOrigins;      // ScrollSketchTo points
    bool                 noView = false;  // set: UpdateSketchVisibleRect answers 0
};

ViewRequests& RecordedViewRequests();
void ResetViewRequests();
// Called by every FlushPendingRedraw after it is recorded, as a view's repaint would be;
// null (the default) calls nothing.
void SetRedrawFlushCallback(void (*callback)(int32_t flag));
