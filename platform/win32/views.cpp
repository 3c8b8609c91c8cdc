// The idle-time requests of the engine to the sketch views that the views do not
// answer themselves.
//
// Stand-in: the tool folder's scan is not built; there is nothing to queue.
#include "engine/core/services/dialogs.h"
#include "engine/core/services/views.h"

void ScheduleToolFolderScan() {}

// Stand-in: the traces layer's feedback effects are not built; nothing flashes.
void FlashScriptStep(SketchObject* const[3], int32_t) {}
