#include "engine/core/sketch_units.h"

#include "engine/core/units.h"

// Stand-in: until the sketch record exists, the current sketch's units live here.
// The real accessors read the settings block of the current sketch.
namespace {
int32_t gStandInAngleUnit = kAngleDegrees;
int32_t gStandInDistanceUnit = kDistanceCentimetres;
}  // namespace

int32_t CurrentSketchAngleUnit() { return gStandInAngleUnit; }
int32_t CurrentSketchDistanceUnit() { return gStandInDistanceUnit; }

void SetStandInSketchUnits(int32_t angleUnit, int32_t distanceUnit) {
    gStandInAngleUnit = angleUnit;
    gStandInDistanceUnit = distanceUnit;
}
