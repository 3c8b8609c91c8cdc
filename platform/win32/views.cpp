// The idle-time requests of the engine to the sketch views.
//
// Stand-in: the sketch views, their document and the tool folder are not built; with
// no view there is nothing to rebuild, scroll, fade or scan, and each request does
// nothing until they are. The repaint of what is dirty now and the visible rectangle
// are the drawing port's (render/canvas.cpp).
#include "engine/core/services/views.h"

void ScheduleToolFolderScan() {}
void UpdateSketchViews() {}
void ScheduleScrollRangeUpdate() {}
void ClearTracesAllViews(EngineDocument*) {}
ResultCode RebuildSketchViews(int32_t) { return kResultOK; }
