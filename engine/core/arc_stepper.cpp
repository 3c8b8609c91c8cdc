#include "engine/core/arc_stepper.h"

#include <cmath>

#include "engine/core/angle_constants.h"

void BeginArcSteps(ArcStepper* s) {
    // The arc runs from the start towards growing angles; the sweep is kept
    // negative because the rotation below turns by minus the step.
    double sweep = s->startAngle - s->endAngle;
    if (sweep > 0) sweep -= kTwoPi;
    s->sweep = sweep;

    const double steps = std::fabs(sweep) * (s->radiusX + s->radiusY) * 0.125;
    int32_t n = 1024;
    if (!(steps >= 1024.0)) n = steps > 0 ? static_cast<int32_t>(steps) : 0;
    if (n < 4) n = 4;
    s->stepCount = n;
    s->stepsTaken = 0;

    const double step = sweep / n;
    s->stepCos = std::cos(step);
    s->stepSin = std::sin(step);
    s->rotMinusSin = -std::sin(s->startAngle);
    s->rotCos = std::cos(s->startAngle);
    s->firstPoint = { s->centre.x + s->radiusX * std::cos(s->startAngle),
                      s->centre.y + s->radiusY * std::sin(s->startAngle) };
    s->current = s->firstPoint;
}

void NextArcStep(ArcStepper* s) {
    s->stepsTaken += 1;
    const double ms = s->rotMinusSin;
    const double c = s->rotCos;
    s->rotMinusSin = s->stepSin * c + s->stepCos * ms;
    s->rotCos = c * s->stepCos - ms * s->stepSin;
    s->current = { s->centre.x + s->radiusX * s->rotCos,
                   s->centre.y - s->radiusY * s->rotMinusSin };
}

bool ArcStepsDone(const ArcStepper* s) { return s->stepsTaken > s->stepCount; }
