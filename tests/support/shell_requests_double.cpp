// Test double of the status-line and tool-folder requests, recorded with the view
// requests. Apart from the views' double because the Windows services define these two
// and the Windows tests take only the views' part of the doubles.
#include "tests/support/views_double.h"

#include "engine/core/services/views.h"

void ScheduleStatusTextRefresh(int32_t stop) { RecordedViewRequests().statusTextRefreshes.push_back(stop); }
void ScheduleToolFolderScan() { ++RecordedViewRequests().toolFolderScans; }
void StopToolFolderScan() { ++RecordedViewRequests().toolFolderScanStops; }
