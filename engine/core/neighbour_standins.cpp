// Stand-in: see neighbour_standins.h.
#include "engine/core/neighbour_standins.h"

void ScheduleLocusCandidateSearch(int32_t, int32_t) {}

bool ToolPlaybackObjectGone(SketchObject*, int32_t) { return true; }

// Stand-in: function plots have no sampled range of their own until loci are built, so
// there is nothing to resample when a function changes form.
int32_t SampleLociOfObject(SketchObject*, int32_t, uint8_t**, uint32_t*) { return 0; }
