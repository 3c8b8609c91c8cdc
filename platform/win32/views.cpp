// The idle-time requests of the engine to the sketch views.
//
// Stand-in: the sketch views, their document and the tool folder are not built; with
// no view there is nothing to repaint, scroll, fade or scan, and each request does
// nothing until they are.
#include "engine/core/services/dialogs.h"
#include "engine/core/services/views.h"

void FlushPendingRedraw(int32_t) {}
void ScheduleToolFolderScan() {}
void UpdateSketchViews() {}
int32_t UpdateSketchVisibleRect(Sketch*) { return 0; }
void ScheduleScrollRangeUpdate() {}
void ClearTracesAllViews(EngineDocument*) {}
ResultCode RebuildSketchViews(int32_t) { return kResultOK; }

// Stand-in: the traces layer's feedback effects are not built; with no view there is
// nothing to flash.
void FlashScriptStep(SketchObject* const[3], int32_t) {}
