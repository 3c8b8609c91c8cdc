// Stand-in: engine services of loci and custom-tool playback that
// the sketch record, object creation and the marks call, until those are built.
#pragma once
#include <cstdint>

#include "engine/core/sketch.h"

void ScheduleLocusCandidateSearch(int32_t item, int32_t start);

// Whether a custom tool's playback lets a matched given leave mark category 26.
bool ToolPlaybackObjectGone(SketchObject* object, int32_t change);
