#include "engine/core/units.h"

#include <cmath>

#include "engine/core/angle_constants.h"
#include "engine/core/services/preferences.h"
#include "engine/core/sketch.h"

namespace {

// Not exactly pi / 180: the factor stored sketches were made with.
constexpr double kRadiansPerDegree = 0.017453292519943334;

// A distance unit outside the factor table is taken as pixels rather than read past it.
double FactorOf(int32_t unit) {
    if (unit <= kDistancePixels || unit > kDistanceInches) return 1.0;
    return PreferencesUnitFactor(unit);
}

}  // namespace

double AngleToRadians(double* value, int32_t unit) {
    switch (unit) {
    case kAngleRadians: break;
    case kAngleDegrees:
    case kAngleDirectedDegrees: *value *= kRadiansPerDegree; break;
    default: *value = 0.0; break;
    }
    return *value;
}

double RadiansToAngleUnits(double* value, bool directed) {
    int32_t unit = CurrentSketchAngleUnit();
    if (directed && unit == kAngleDegrees) unit = kAngleDirectedDegrees;
    switch (unit) {
    case kAngleRadians: break;
    // fabs, not a comparison: -0 must come out as +0, or "-0" would be shown.
    case kAngleDegrees: *value = std::fabs(*value * kDegreesPerRadian); break;
    case kAngleDirectedDegrees: *value *= kDegreesPerRadian; break;
    default: *value = 0.0; break;
    }
    return *value;
}

double ToDistanceUnits(double* value) {
    return ToDistanceUnitsOf(value, CurrentSketchDistanceUnit());
}

double ToDistanceUnitsOf(double* value, int32_t unit) {
    if (unit != kDistancePixels) *value /= FactorOf(unit);
    return *value;
}

double FromDistanceUnits(double* value, int32_t unit) {
    if (unit != kDistancePixels) *value *= FactorOf(unit);
    return *value;
}

int32_t CurrentSketchAngleUnit() {
    const Sketch* sketch = CurrentSketch();
    return sketch ? sketch->settings.angleUnit : kAngleRadians;
}

int32_t CurrentSketchDistanceUnit() {
    const Sketch* sketch = CurrentSketch();
    return sketch ? sketch->settings.distanceUnit : kDistancePixels;
}
