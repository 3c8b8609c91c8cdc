// Idle-time requests to the views and the status line.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"

// Every view of the current sketch's document repaints the dirty rectangle now
// (unless printing or it is empty); with 1 the rectangle is emptied as well.
void FlushPendingRedraw(int32_t flag);
// 0 queues, once, the idle task that fetches the engine's status text; nonzero asks
// for one last refresh.
void ScheduleStatusTextRefresh(int32_t stop);
// Queues the scan of the tool folder as an idle task, from its first file again when
// it was under way.
void ScheduleToolFolderScan();
// Ends a scan that is under way (shutdown).
void StopToolFolderScan();

struct Sketch;
struct EngineDocument;

// Per frame tick: one trace-fading step and a repaint of the dirty area in every view of
// the current sketch.
void UpdateSketchViews();
// Recomputes the sketch's visible rectangle from its front view; 0 when it has no view.
int32_t UpdateSketchVisibleRect(Sketch* sketch);
// Queues, once, the update of the views' scroll ranges from the sketch extent.
void ScheduleScrollRangeUpdate();
// Makes the point the current sketch's window origin (the top-left of its window
// rectangle, whose size stays) and scrolls the sketch's front view there at once.
void ScrollSketchTo(ScreenPoint windowOrigin);
// Every view of the document clears its traces layer.
void ClearTracesAllViews(EngineDocument* document);
// Rebuilds and redraws every view of the front sketch (also a command executor).
ResultCode RebuildSketchViews(int32_t argument);
