#include "engine/core/sketch_units.h"

#include "engine/core/sketch.h"
#include "engine/core/units.h"

// The current sketch's units come from its settings. With no sketch current, the values
// set by SetStandInSketchUnits serve.
// Stand-in: the fallback stays until the tests that set units make sketches instead.
namespace {
int32_t gStandInAngleUnit = kAngleDegrees;
int32_t gStandInDistanceUnit = kDistanceCentimetres;
}  // namespace

int32_t CurrentSketchAngleUnit() {
    const Sketch* sketch = CurrentSketch();
    return sketch ? sketch->settings.angleUnit : gStandInAngleUnit;
}

int32_t CurrentSketchDistanceUnit() {
    const Sketch* sketch = CurrentSketch();
    return sketch ? sketch->settings.distanceUnit : gStandInDistanceUnit;
}

void SetStandInSketchUnits(int32_t angleUnit, int32_t distanceUnit) {
    gStandInAngleUnit = angleUnit;
    gStandInDistanceUnit = distanceUnit;
}
