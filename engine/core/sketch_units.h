// Stand-in: lets tests choose the current sketch's units until sketches exist; goes
// away with the stand-in accessors in sketch_units.cpp.
#pragma once
#include <cstdint>

void SetStandInSketchUnits(int32_t angleUnit, int32_t distanceUnit);
