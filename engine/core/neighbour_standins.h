// Stand-in: engine services of marks and loci that the sketch record and
// object creation call, until those are built.
#pragma once
#include <cstdint>

#include "engine/core/sketch.h"

// Change codes: 0 the object goes away, 3 it was (re)linked into the sketch.
void UpdateMarksOnObjectChange(SketchObject* object, int32_t change, int32_t restored);
void ScheduleLocusCandidateSearch(int32_t item, int32_t start);
