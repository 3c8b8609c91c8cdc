// Polyline approximation of an arc or ellipse arc for drawing. The stepper turns
// by one rotation per step (a multiply-add recurrence) instead of a sine and
// cosine per point.
//
// Use: fill centre, startAngle, endAngle, radiusX and radiusY; BeginArcSteps; then
// while !ArcStepsDone take `current` and call NextArcStep. That yields n + 1
// points, the first at the start angle and the last at the end angle.
#pragma once
#include <cstdint>

#include "engine/core/geometry.h"

struct ArcStepper {
    RealPoint centre;
    RealPoint firstPoint;   // computed
    RealPoint current;
    double    startAngle;   // radians, set by the caller
    double    endAngle;
    double    sweep;        // computed, <= 0
    double    stepCos;
    double    stepSin;
    double    radiusX;      // set by the caller
    double    radiusY;
    double    rotMinusSin;  // -sin of the current angle
    double    rotCos;       //  cos of the current angle
    int32_t   stepCount;    // n
    int32_t   stepsTaken;   // k
};

void BeginArcSteps(ArcStepper* s);
void NextArcStep(ArcStepper* s);
bool ArcStepsDone(const ArcStepper* s);
