// Conversions between the engine's internal units (radians, pixels) and the units a
// sketch shows and takes (its angle and distance units).
#pragma once
#include <cstdint>

// Angle units of a sketch.
constexpr int32_t kAngleRadians         = 0;
constexpr int32_t kAngleDegrees         = 1;  // shown without sign
constexpr int32_t kAngleDirectedDegrees = 2;

// Distance units of a sketch; also the index into the preferences' unit factors.
constexpr int32_t kDistancePixels      = 0;
constexpr int32_t kDistanceCentimetres = 1;
constexpr int32_t kDistanceInches      = 2;

// Each conversion rewrites *value and answers the new value.

// An angle in `unit` to radians; an unknown unit gives 0.
double AngleToRadians(double* value, int32_t unit);
// Radians to the current sketch's angle unit. Degrees are an absolute value unless
// `directed` asks for the sign; an unknown unit gives 0.
double RadiansToAngleUnits(double* value, bool directed);
// Pixels to the current sketch's distance unit, or to `unit`.
double ToDistanceUnits(double* value);
double ToDistanceUnitsOf(double* value, int32_t unit);
// A distance in `unit` to pixels.
double FromDistanceUnits(double* value, int32_t unit);

// The current sketch's units (its settings block). With no sketch current nothing is
// shown in any unit: the engine's own units (radians, pixels) answer, so a conversion
// leaves the value as it is.
int32_t CurrentSketchAngleUnit();
int32_t CurrentSketchDistanceUnit();
