// Test double of the idle-time view requests: records every call.
#pragma once
#include <cstdint>
#include <vector>

struct ViewRequests {
    std::vector<int32_t> redrawFlushes;         // FlushPendingRedraw flags
    std::vector<int32_t> statusTextRefreshes;   // ScheduleStatusTextRefresh arguments
    int32_t              toolFolderScans = 0;
};

ViewRequests& RecordedViewRequests();
void ResetViewRequests();
