// Idle-time requests to the views and the status line.
#pragma once
#include <cstdint>

// Every view of the current sketch's document repaints the dirty rectangle now
// (unless printing or it is empty); with 1 the rectangle is emptied as well.
void FlushPendingRedraw(int32_t flag);
// 0 queues, once, the idle task that fetches the engine's status text; nonzero asks
// for one last refresh.
void ScheduleStatusTextRefresh(int32_t stop);
// Queues the scan of the tool folder as an idle task.
void ScheduleToolFolderScan();
