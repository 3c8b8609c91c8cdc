// The idle-time requests of the engine to the sketch views that the views do not
// answer themselves.
//
// Stand-in: the tool folder's scan is not built; there is nothing to queue.
#include "engine/core/services/views.h"

void ScheduleToolFolderScan() {}
