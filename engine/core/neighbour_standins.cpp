// Stand-in: see neighbour_standins.h.
#include "engine/core/neighbour_standins.h"

void UpdateMarksOnObjectChange(SketchObject*, int32_t, int32_t) {}
void ScheduleLocusCandidateSearch(int32_t, int32_t) {}
