// The six motion types: what each one keeps and how it moves its target each frame.
// Speeds are sketch length units per 16 ms frame; every setSpeed clamps them.
#include <cmath>
#include <cstring>
#include <iterator>

#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/calc/value_objects.h"
#include "engine/core/construction_data.h"
#include "engine/core/drag_analysis.h"
#include "engine/core/geometry.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/point_objects.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"
#include "engine/core/random.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/transform_maps.h"
#include "engine/core/units.h"
#include "engine/interact/drag.h"
#include "engine/interact/motion.h"

namespace {

constexpr double kTwoPi        = 6.283185307179586;
constexpr double kRandomSpan   = 32767;
constexpr double kFrameSeconds = 0.016;
// A Move motion has arrived when the point stands this close to its destination.
constexpr double kArrivalDistance = 0.05;
// Pushing a random point back from the edges of the window: the outer fifth on each
// side pushes, at most a full speed from 0.3 outside the inner part on.
constexpr double kEdgeBand  = 0.2;
constexpr double kEdgeLimit = 0.3;
constexpr double kEdgeGain  = 3.3333333333333335;

bool Exists(const SketchObject* o) { return o && o->exists == 1; }

SketchObject* FirstParent(const SketchObject* object) {
    return static_cast<SketchObject*>(PtrListItem(object->parents, 0));
}

double MediumSpeed() { return SpeedUnit() * 3; }

// The visible rectangle when the sketch has a view, so that rays and lines get a finite
// range; else none.
const ScreenRect* VisibleRect() {
    Sketch* sketch = CurrentSketch();
    return sketch && UpdateSketchVisibleRect(sketch) ? &sketch->windowRect : nullptr;
}

uint32_t IntervalMs(double ms) {
    if (!(ms >= 0)) return 0;  // NaN: every frame
    return ms >= double(kLongestIntervalMs) ? kLongestIntervalMs : static_cast<uint32_t>(ms);
}

// The parameter of the target's present position on a path, or the middle of the range
// when the target does not exist.
double ParameterOfTarget(SketchObject* target, SketchObject* path, const PathMethods* row, double low, double high) {
    if (!Exists(target) || !Exists(path)) return (low + high) / 2;
    RealPoint nearest;
    double t = (low + high) / 2;
    row->parameterOfPoint(path, PointPosition(target), &nearest, &t, nullptr);
    return std::isfinite(t) ? t : (low + high) / 2;
}

// With `deferred`, a point on this very path only stores the parameter: the frame's
// recompute places it from there, so the point is not worked out twice.
void PlaceOnPath(SketchObject* target, SketchObject* path, const PathMethods* row, double t, bool storesParameter,
                 bool deferred = false) {
    if (storesParameter && deferred) {
        const RealPoint at = PointPosition(target);
        SetPointPosition(target, at.x, at.y, path->exists == 1, &t, false);
        return;
    }
    RealPoint p{};
    int32_t exists = 1;
    row->pointAtParameter(path, t, &p, &exists);
    SetPointPosition(target, p.x, p.y, exists, storesParameter ? &t : nullptr, true);
}

// Wrap-around past an end: at most four whole spans are taken off before the remainder
// is used, which keeps the common case exact. A span that is no span leaves n inside.
double WrapForward(double n, double low, double high) {
    const double span = high - low;
    if (!(span > 0)) return high;
    for (int32_t i = 0; i < 4 && n > high; ++i) n -= span;
    if (n > high) n = low + std::fmod(n - high, span);
    return n;
}
double WrapBackward(double n, double low, double high) {
    const double span = high - low;
    if (!(span > 0)) return low;
    for (int32_t i = 0; i < 4 && n < low; ++i) n += span;
    if (n < low) n = high - std::fmod(low - n, span);
    return n;
}
double Wrap(double n, bool forward, double low, double high) {
    if (forward && n > high) return WrapForward(n, low, high);
    if (!forward && n < low) return WrapBackward(n, low, high);
    return n;
}

// Bouncing off the ends: reflects n about the end it passed, turning the velocity (and
// the other signed values given). The third pass first takes the overshoot modulo twice
// the span so that a huge step still ends inside.
double Bounce(double n, double low, double high, double* velocity, double* other, int32_t* reverse) {
    const double span = high - low;
    if (!(span > 0)) return low;
    for (int32_t pass = 0; pass < 4; ++pass) {
        const bool forward = *velocity > 0;
        const double bound = forward ? high : low;
        if (forward ? !(n > high) : !(n < low)) break;
        if (pass == 2) n = bound + std::fmod(n - bound, 2 * span);
        n = 2 * bound - n;
        *velocity = -*velocity;
        if (other) *other = -*other;
        if (reverse) *reverse = !*reverse;
    }
    return n;
}

// The once modes: 2 once around back to endT, 3 once from low to high. Answers false
// when the motion has arrived (n is then endT).
bool Once(double t, double* n, double endT, int32_t endMode, bool forward, double low, double high) {
    if (forward && *n >= endT && t < endT) {
        *n = endT;
        return false;
    }
    if (!forward && *n <= endT && t > endT) {
        *n = endT;
        return false;
    }
    if (endMode != kEndOnceAround) {
        *n = Wrap(*n, forward, low, high);
        return true;
    }
    // Once around wraps only once per frame and stops when the wrapped value reached
    // the start.
    const double span = high - low;
    if (!(span > 0)) return true;
    if (forward && *n > high) {
        *n -= span;
        if (*n >= endT) {
            *n = endT;
            return false;
        }
    } else if (!forward && *n < low) {
        *n += span;
        if (*n <= endT) {
            *n = endT;
            return false;
        }
    }
    return true;
}

// ---- Type 0: a point along its path ------------------------------------------------

void AlongPathVelocity(Motion* m) {
    AlongPathData& d = m->data.alongPath;
    d.pathStamp = d.path->generation;
    if (!Exists(d.path)) return;
    double length = 0;
    d.row->lengthBetween(d.path, d.low, d.high, &length);
    length = std::fabs(length);
    if (!(length > 0) || !std::isfinite(length)) return;
    d.velocity = (d.high - d.low) * d.speed / length;
    if (d.reverse) d.velocity = -d.velocity;
}

void InitAlongPath(Motion* m, SketchObject* path, int32_t mode, int32_t direction, double speed) {
    AlongPathData& d = m->data.alongPath;
    d.path = path;
    d.row = path ? PathMethodsOf(path) : nullptr;
    d.storesParameter = m->target->constructionType == kTypePointOnPath && FirstParent(m->target) == path;
    d.speed = ClampSpeed(speed);
    d.endMode = mode;
    d.reverse = direction < 0;
    d.low = 0;
    d.high = 1;
    if (d.row) d.row->parameterRange(path, VisibleRect(), &d.low, &d.high);
    if (!std::isfinite(d.low) || !std::isfinite(d.high)) d.low = d.high = 0;
    if (d.low > d.high) std::swap(d.low, d.high);
}

ResultCode StartAlongPath(Motion* m) {
    AlongPathData& d = m->data.alongPath;
    if (!d.row || !Exists(d.path)) return kAlertNoPath;
    if (d.endMode == kEndOnceAcross) {
        d.t = d.reverse ? d.high : d.low;
        d.endT = d.reverse ? d.low : d.high;
    } else {
        d.t = ParameterOfTarget(m->target, d.path, d.row, d.low, d.high);
        if (d.endMode == kEndOnceAround) d.endT = d.t;
    }
    AlongPathVelocity(m);
    return kResultOK;
}

int32_t AdvanceAlongPath(Motion* m) {
    AlongPathData& d = m->data.alongPath;
    if (d.pathStamp != d.path->generation) AlongPathVelocity(m);
    const bool forward = d.velocity > 0;
    double n = d.t + d.velocity;
    int32_t goOn = 1;
    switch (d.endMode) {
        case kEndWrap: n = Wrap(n, forward, d.low, d.high); break;
        case kEndBounce: n = Bounce(n, d.low, d.high, &d.velocity, nullptr, &d.reverse); break;
        default: goOn = Once(d.t, &n, d.endT, d.endMode, forward, d.low, d.high) ? 1 : 0; break;
    }
    if (!std::isfinite(n)) n = (d.low + d.high) / 2;
    d.t = n;
    PlaceOnPath(m->target, d.path, d.row, d.t, d.storesParameter != 0, true);
    return goOn;
}

void SetSpeedAlongPath(Motion* m, double speed, bool relative) {
    AlongPathData& d = m->data.alongPath;
    d.speed = ClampSpeed(relative ? d.speed * speed : speed);
    AlongPathVelocity(m);
}

void ReverseAlongPath(Motion* m) {
    AlongPathData& d = m->data.alongPath;
    d.reverse = !d.reverse;
    // A bounce may have turned the velocity without the path changing length: the new
    // direction is the opposite of the present one.
    d.velocity = -d.velocity;
    AlongPathVelocity(m);
}

void SuspendAlongPath(Motion* m, int32_t flag) {
    AlongPathData& d = m->data.alongPath;
    if (flag == 0 && d.row) d.t = ParameterOfTarget(m->target, d.path, d.row, d.low, d.high);
}

// ---- Type 1: a free point at random on the plane -----------------------------------

void InitRandomFree(Motion* m, SketchObject*, int32_t mode, int32_t, double speed) {
    m->data.randomFree.speed = ClampSpeed(speed);
    m->data.randomFree.keepGoing = mode == 0;
}

ResultCode StartRandomFree(Motion* m) {
    m->data.randomFree.heading = NextRandom() * kTwoPi / kRandomSpan;
    return kResultOK;
}

// The push back from the edges of the window along one axis.
double EdgePush(double coordinate, double lower, double upper, double speed) {
    if (!(upper > lower)) return 0;
    const double f = (coordinate - lower) / (upper - lower);
    if (f < kEdgeBand) return std::fmin(kEdgeBand - f, kEdgeLimit) * kEdgeGain * speed;
    if (f > 1 - kEdgeBand) return -std::fmin(f - (1 - kEdgeBand), kEdgeLimit) * kEdgeGain * speed;
    return 0;
}

int32_t AdvanceRandomFree(Motion* m) {
    RandomFreeData& d = m->data.randomFree;
    d.heading += NextRandom() * (kTwoPi / 4) / kRandomSpan - kTwoPi / 8;
    TransformMap map{};
    map.dx = std::cos(d.heading) * d.speed;
    map.dy = std::sin(d.heading) * d.speed;
    SketchObject* target = m->target;
    const Sketch* sketch = CurrentSketch();
    if (Exists(target) && sketch) {
        const ScreenRect& v = sketch->windowRect;
        const RealPoint at = PointPosition(target);
        map.dx += EdgePush(at.x, v.left, v.right, d.speed);
        map.dy += EdgePush(at.y, v.top, v.bottom, d.speed);
    }
    if (TransformFn transform = ObjectClassTable[target->objectClass].transform) {
        transform(target, target, &map, PointMapOps[kMapTranslate]);
    }
    return d.keepGoing;
}

void SetSpeedRandomFree(Motion* m, double speed, bool relative) {
    RandomFreeData& d = m->data.randomFree;
    d.speed = ClampSpeed(relative ? d.speed * speed : speed);
}

// ---- Type 2: a point at random along its path ----------------------------------------

void InitRandomOnPath(Motion* m, SketchObject* path, int32_t mode, int32_t, double speed) {
    RandomOnPathData& d = m->data.randomOnPath;
    d.path = path;
    d.row = path ? PathMethodsOf(path) : nullptr;
    d.storesParameter = m->target->constructionType == kTypePointOnPath && FirstParent(m->target) == path;
    d.speed = ClampSpeed(speed);
    d.keepGoing = mode == 0;
    double low = 0, high = 1;
    if (d.row) d.row->parameterRange(path, VisibleRect(), &low, &high);
    if (!std::isfinite(low) || !std::isfinite(high)) low = high = 0;
    d.low = low;
    d.span = high - low;
}

ResultCode StartRandomOnPath(Motion* m) {
    RandomOnPathData& d = m->data.randomOnPath;
    if (!d.row || !Exists(d.path)) return kAlertNoPath;
    d.jumpDeadline = 0;
    return kResultOK;
}

int32_t AdvanceRandomOnPath(Motion* m) {
    RandomOnPathData& d = m->data.randomOnPath;
    if (!DeadlinePassed(d.jumpDeadline)) return d.keepGoing;
    const double s = d.speed / MediumSpeed();
    if (s >= 200) d.jumpDeadline = 0;
    else SetDeadline(&d.jumpDeadline, IntervalMs(1000 / s));
    const double t = d.low + NextRandom() * d.span / kRandomSpan;
    PlaceOnPath(m->target, d.path, d.row, t, d.storesParameter != 0, true);
    return d.keepGoing;
}

void SetSpeedRandomOnPath(Motion* m, double speed, bool relative) {
    RandomOnPathData& d = m->data.randomOnPath;
    d.speed = ClampSpeed(relative ? d.speed * speed : speed);
}

// ---- Type 3: the unit point of an axis ---------------------------------------------

// The axis's unit length kept with the unit point.
double AxisValue(const SketchObject* point) {
    double value = kMinUnitDistance;
    ReadConstructionData(point, &value, sizeof value);
    return std::isfinite(value) ? value : kMinUnitDistance;
}

void InitAxisUnit(Motion* m, SketchObject*, int32_t, int32_t, double speed) {
    AxisUnitData& d = m->data.axisUnit;
    d.velocity = ClampSpeed(speed);
    d.low = AxisValue(m->target) - 75;
    if (d.low < 1) d.low = 1;
    d.high = d.low + 150;
}

int32_t AdvanceAxisUnit(Motion* m) {
    AxisUnitData& d = m->data.axisUnit;
    double value = AxisValue(m->target) + d.velocity;
    if (d.velocity < 0 && value < d.low) {
        value = 2 * d.low - value;
        d.velocity = -d.velocity;
    } else if (d.velocity > 0 && value > d.high) {
        value = 2 * d.high - value;
        d.velocity = -d.velocity;
    }
    if (!(value >= 1)) value = 1;
    WriteConstructionData(m->target, &value, sizeof value);
    return 1;
}

void SetSpeedAxisUnit(Motion* m, double speed, bool relative) {
    AxisUnitData& d = m->data.axisUnit;
    const double sign = d.velocity < 0 ? -1 : 1;
    d.velocity = sign * ClampSpeed(relative ? std::fabs(d.velocity) * speed : speed);
}

void SuspendAxisUnit(Motion* m, int32_t flag) {
    AxisUnitData& d = m->data.axisUnit;
    if (flag != 0) return;
    const double value = AxisValue(m->target);
    if ((value < d.low && d.velocity < 0) || (value > d.high && d.velocity > 0)) d.velocity = -d.velocity;
}

// ---- Type 4: a point travelling to a destination -----------------------------------

DragPlanEntry* DragSetOf(const Motion* m) { return static_cast<DragPlanEntry*>(m->data.toDestination.dragSet); }

void InitToDestination(Motion* m, SketchObject* destination, int32_t mode, int32_t, double speed) {
    ToDestinationData& d = m->data.toDestination;
    d.destination = destination;
    d.destMode = mode;
    // 0 is an instant move; any other speed is clamped.
    d.speed = speed == 0 ? 0 : ClampSpeed(speed);
}

ResultCode PlanToDestination(Motion* m) {
    ToDestinationData& d = m->data.toDestination;
    if (d.destMode != 1 && !Exists(d.destination)) return kAlertNoDestination;
    if (d.destMode != 1) {
        const RealPoint dest = PointPosition(d.destination);
        d.destX = dest.x;
        d.destY = dest.y;
        d.destStamp = d.destination->generation;
        if (d.destMode == 0) d.destMode = 1;
    }
    SketchObject* target = m->target;
    if (d.path) {
        const PathMethods* row = PathMethodsOf(d.path);
        if (!row || !Exists(d.path)) return kAlertNoDestination;
        d.pathStamp = d.path->generation;
        RealPoint nearest;
        double lo = 0, hi = 1;
        row->parameterRange(d.path, VisibleRect(), &lo, &hi);
        d.t = ParameterOfTarget(target, d.path, row, lo, hi);
        d.targetT = d.t;
        row->parameterOfPoint(d.path, RealPoint{ d.destX, d.destY }, &nearest, &d.targetT, nullptr);
        if (!std::isfinite(d.targetT)) d.targetT = d.t;
        if (d.speed > 0 && d.t != d.targetT) {
            double length = 0;
            int32_t forward = 1;
            d.rangeLow = lo;
            d.rangeHigh = hi;
            row->wayBetween(d.path, d.t, d.targetT, &d.rangeLow, &d.rangeHigh, &length, &forward);
            const double span = d.rangeHigh - d.rangeLow;
            double distance = d.targetT - d.t;
            if (forward && distance < 0) distance += span;
            if (!forward && distance > 0) distance -= span;
            double frames = std::floor(std::fabs(length) / d.speed);
            if (!(frames >= 1)) frames = 1;
            d.progress = 0;
            d.progressStep = 1 / frames;
            d.tStep = distance / frames;
            return kResultOK;
        }
        d.progress = 1;
        d.progressStep = 1;
        return d.t == d.targetT ? kAlertAtDestination : kResultOK;
    }
    if (!Exists(target)) return kAlertNoDestination;
    const RealPoint at = PointPosition(target);
    const double dx = d.destX - at.x, dy = d.destY - at.y;
    const double distance = std::sqrt(dx * dx + dy * dy);
    if (distance == 0 || !std::isfinite(distance)) {
        d.progress = 1;
        return kAlertAtDestination;
    }
    d.progress = 0;
    if (d.speed > 0) {
        d.progressStep = d.speed / distance;
        d.dx = d.progressStep * dx;
        d.dy = d.progressStep * dy;
    } else {
        d.progressStep = 1;
    }
    return kResultOK;
}

bool NearDestination(const Motion* m) {
    const ToDestinationData& d = m->data.toDestination;
    const RealPoint at = PointPosition(m->target);
    return std::fabs(at.x - d.destX) <= kArrivalDistance && std::fabs(at.y - d.destY) <= kArrivalDistance;
}

ResultCode StartToDestination(Motion* m) {
    ToDestinationData& d = m->data.toDestination;
    SketchObject* target = m->target;
    d.instantWait = d.speed == 0;
    d.extraFrame = d.speed != 0;
    d.path = nullptr;
    d.replan = 0;
    if (!(ConstructionTypeTable[target->constructionType].flags & kTypeValuePositioned)) {
        target->tempLink = nullptr;
        DragPlanEntry* plan = nullptr;
        ObjectFlagsEntry* moves = nullptr;
        const DragRequest request = { target, kDragTranslate, &plan, &moves };
        const int32_t ok = AnalyzeDragSet(&request);
        FreeMemory(moves);
        if (!ok) return kResultOutOfMemory;
        // A plan that moves nothing leaves the point to be placed directly.
        if (plan && !plan[0].object) {
            FreeMemory(plan);
            plan = nullptr;
        }
        d.dragSet = plan;
    } else if (target->constructionType == kTypePointOnPath) {
        d.path = FirstParent(target);
        d.replan = 1;
    }
    const ResultCode code = PlanToDestination(m);
    if (code == kResultOK) return kResultOK;
    if (code == kAlertNoDestination && d.destMode == 2) return kResultOK;
    if (code == kAlertAtDestination && d.path && !NearDestination(m)) return kResultOK;
    return code;
}

// Moves the target (and what it drags) by a displacement: each entry of the drag set
// takes it, or that of the entry it is bound to, through the inverse of a
// transformation it lies behind.
void MoveTargetBy(Motion* m, double dx, double dy) {
    ToDestinationData& d = m->data.toDestination;
    DragPlanEntry* plan = DragSetOf(m);
    if (!plan) {
        const RealPoint at = PointPosition(m->target);
        SetPointPosition(m->target, at.x + dx, at.y + dy, 1, nullptr, true);
        return;
    }
    TransformMap own{};
    own.dx = dx;
    own.dy = dy;
    for (DragPlanEntry* e = plan; e->object; ++e) {
        const bool isOwn = (e->flags & kDragNoDriver) || e->driverIndex < 0;
        e->map = isOwn ? own : plan[e->driverIndex].map;
        if (e->behind) {
            InverseTransformPoint(kDragTranslate, e->behind,
                                  reinterpret_cast<SketchObject* const*>(PtrListData(e->behind->parents)), &e->map);
        }
    }
    for (DragPlanEntry* e = plan; e->object; ++e) {
        if (!(e->flags & kDragIndependent)) continue;
        SketchObject* object = e->object;
        if (TransformFn transform = ObjectClassTable[object->objectClass].transform) {
            transform(object, object, &e->map, PointMapOps[kMapTranslate]);
        }
        if (object->constructionType == kTypePointOnPath) d.replan = 1;
    }
}

int32_t AdvanceToDestination(Motion* m) {
    ToDestinationData& d = m->data.toDestination;
    const bool destinationMoved = d.destMode != 1 && Exists(d.destination) && d.destination->generation != d.destStamp;
    const bool pathMoved = d.path && d.path->generation != d.pathStamp;
    if (d.replan || destinationMoved || pathMoved) {
        d.replan = 0;
        const ResultCode code = PlanToDestination(m);
        if (code == kAlertAtDestination && !d.path) return 0;
        // A followed destination that went away: wait where we are for it to return.
        if (code == kAlertNoDestination) return 1;
    }
    if (d.instantWait) {
        d.instantWait = 0;
        return 1;
    }
    SketchObject* target = m->target;
    d.progress += d.progressStep;
    if (d.path) {
        const PathMethods* row = PathMethodsOf(d.path);
        if (d.progress < 1) {
            d.t += d.tStep;
            if (d.t > d.rangeHigh) d.t = WrapForward(d.t, d.rangeLow, d.rangeHigh);
            else if (d.t < d.rangeLow) d.t = WrapBackward(d.t, d.rangeLow, d.rangeHigh);
        } else {
            d.t = d.targetT;
        }
        if (row) PlaceOnPath(target, d.path, row, d.t, true);
        if (d.progress < 1) return 1;
        if (d.speed > 0 && !NearDestination(m)) return 1;
    } else {
        const RealPoint at = PointPosition(target);
        if (d.progress < 1) MoveTargetBy(m, d.dx, d.dy);
        else MoveTargetBy(m, d.destX - at.x, d.destY - at.y);
        if (d.progress < 1) return 1;
    }
    if (d.extraFrame) {
        d.extraFrame = 0;
        return 1;
    }
    return 0;
}

void SetSpeedToDestination(Motion* m, double speed, bool relative) {
    ToDestinationData& d = m->data.toDestination;
    if (relative && d.speed == 0) return;  // an instant move stays instant
    d.speed = ClampSpeed(relative ? d.speed * speed : speed);
    d.replan = 1;
}

void ReleaseToDestination(Motion* m) {
    FreeMemory(m->data.toDestination.dragSet);
    m->data.toDestination.dragSet = nullptr;
}

void SuspendToDestination(Motion* m, int32_t) { m->data.toDestination.replan = 1; }

// ---- Type 5: a parameter's number ------------------------------------------------------

bool IsAngleKind(int32_t kind) { return KindIsA(kind, kKindAngleParameter); }
bool IsDistanceKind(int32_t kind) { return KindIsA(kind, kKindDistanceParameter); }

// The sketch unit the number is shown in, by its kind; -1 for a plain number.
int32_t UnitOfKind(int32_t kind) {
    if (IsAngleKind(kind)) return CurrentSketchAngleUnit();
    if (IsDistanceKind(kind)) return CurrentSketchDistanceUnit();
    return -1;
}

bool NumberStillValid(const Motion* m) {
    const SketchObject* p = m->target;
    if (!IsParameterForm(p) || p->objectKind != m->data.number.kind) return false;
    const ValueDisplay* v = ValueDisplayOf(p);
    return v && v->defined && std::isfinite(CalculationValue(p));
}

void InitNumber(Motion* m, SketchObject*, int32_t mode, int32_t, double) {
    ParameterMotion p{};
    GetParameterMotion(m->target, &p, false);
    InitNumberMotion(m, { p.min, p.max, p.rate, p.seconds, p.modeFlag != 0, p.direction, mode != 0 });
}

ResultCode StartNumber(Motion* m) {
    NumberData& d = m->data.number;
    if (!NumberStillValid(m)) return kAlertBadParameter;
    if (d.endMode == kEndOnceAround) d.endValue = CalculationValue(m->target);
    d.jumpDeadline = 0;
    if (d.reverse) {
        d.step = -d.step;
        d.baseStep = -d.baseStep;
    }
    return kResultOK;
}

void SetSpeedNumber(Motion* m, double speed, bool relative) {
    NumberData& d = m->data.number;
    d.speed = ClampSpeed(relative ? d.speed * speed : speed);
    const double a = d.speed / MediumSpeed();
    if (d.continuous) d.step = a * d.baseStep;
    else d.intervalMs = static_cast<int32_t>(IntervalMs(d.seconds / a * 1000));
}

void ReverseNumber(Motion* m) {
    NumberData& d = m->data.number;
    d.step = -d.step;
    d.baseStep = -d.baseStep;
    d.reverse = !d.reverse;
}

// A value of the number in one unit of its kind, in another.
double ConvertUnit(double value, int32_t kind, int32_t from) {
    if (IsAngleKind(kind)) {
        AngleToRadians(&value, from);
        return RadiansToAngleUnits(&value, true);
    }
    FromDistanceUnits(&value, from);
    return ToDistanceUnits(&value);
}

int32_t AdvanceNumber(Motion* m) {
    NumberData& d = m->data.number;
    if (!NumberStillValid(m)) return 0;
    const int32_t unit = UnitOfKind(d.kind);
    if (unit != d.unit && d.unit >= 0 && unit >= 0) {
        // The step and the ends are signed amounts, so angles keep their sign here.
        for (double* v : { &d.step, &d.endValue, &d.low, &d.high, &d.baseStep }) *v = ConvertUnit(*v, d.kind, d.unit);
        d.unit = unit;
    }
    const double value = CalculationValue(m->target);
    if (!d.continuous) {
        if (!DeadlinePassed(d.jumpDeadline)) return 1;
        SetDeadline(&d.jumpDeadline, static_cast<uint32_t>(d.intervalMs));
    }
    double n = value + d.step;
    int32_t goOn = 1;
    if (d.random) {
        n = d.low + NextRandom() * (d.high - d.low) / kRandomSpan;
        goOn = d.onceOnly ? 0 : 1;
    } else {
        const bool forward = d.step > 0;
        switch (d.endMode) {
            case kEndWrap: n = Wrap(n, forward, d.low, d.high); break;
            case kEndBounce: n = Bounce(n, d.low, d.high, &d.step, &d.baseStep, &d.reverse); break;
            default: goOn = Once(value, &n, d.endValue, d.endMode, forward, d.low, d.high) ? 1 : 0; break;
        }
    }
    if (!std::isfinite(n)) return 0;
    return SetParameterValue(m->target, n, false) ? goOn : 0;
}

// ---- What motions move and depend on -------------------------------------------------

int32_t MovesTarget(Motion* m, int32_t, SketchObject** object, int32_t* isValue) {
    *object = m->target;
    *isValue = 0;
    return 0;
}
int32_t MovesTargetValue(Motion* m, int32_t, SketchObject** object, int32_t* isValue) {
    *object = m->target;
    *isValue = 1;
    return 0;
}
// A Move motion that drags others moves every object of its drag set.
int32_t MovesDragSet(Motion* m, int32_t index, SketchObject** object, int32_t* isValue) {
    *isValue = 0;
    const DragPlanEntry* set = DragSetOf(m);
    if (!set) {
        *object = m->target;
        return 0;
    }
    *object = set[index].object;
    return *object && set[index + 1].object ? 1 : 0;
}

int32_t DependsOnTarget(Motion* m, SketchObject* o) { return o == m->target; }
int32_t DependsOnTargetOrPath(Motion* m, SketchObject* o) {
    return o == m->target || o == m->data.alongPath.path;
}
int32_t DependsOnTargetOrRandomPath(Motion* m, SketchObject* o) {
    return o == m->target || o == m->data.randomOnPath.path;
}
int32_t DependsOnDestinationMove(Motion* m, SketchObject* o) {
    const ToDestinationData& d = m->data.toDestination;
    if (o == m->target || o == d.destination || o == d.path) return 1;
    for (const DragPlanEntry* e = DragSetOf(m); e && e->object; ++e) {
        if (e->object == o) return 1;
        if (e->object->constructionType == kTypePointOnPath && FirstParent(e->object) == o) return 1;
    }
    return 0;
}

}  // namespace

void InitNumberMotion(Motion* m, const NumberMotionSettings& s) {
    NumberData& d = m->data.number;
    d.random = s.direction == 3;
    d.onceOnly = s.onceOnly != 0;
    d.continuous = s.continuous != 0;
    d.seconds = s.seconds;
    if (d.continuous) {
        d.step = d.baseStep = s.seconds != 0 ? s.rate / s.seconds * kFrameSeconds : s.rate * kFrameSeconds;
        d.intervalMs = 0;
    } else {
        d.step = d.baseStep = s.rate;
        d.intervalMs = static_cast<int32_t>(IntervalMs(s.seconds * 1000));
    }
    d.low = s.low;
    d.high = s.high;
    d.reverse = s.direction == 1;
    d.endMode = s.direction == 2 ? kEndBounce : s.onceOnly ? kEndOnceAround : kEndWrap;
    d.endValue = s.low;
    d.jumpDeadline = 0;
    d.speed = MediumSpeed();
    d.kind = m->target->objectKind;
    d.unit = UnitOfKind(d.kind);
}

double MotionSpeed(const Motion* m) {
    switch (m->type) {
        case kMotionAlongPath:     return m->data.alongPath.speed;
        case kMotionRandomFree:    return m->data.randomFree.speed;
        case kMotionRandomOnPath:  return m->data.randomOnPath.speed;
        case kMotionAxisUnit:      return std::fabs(m->data.axisUnit.velocity);
        case kMotionToDestination: return m->data.toDestination.speed;
        default:                   return m->data.number.speed;
    }
}

const MotionTypeOpsRow MotionTypeOps[kMotionTypeCount] = {
    //  init               start               setSpeed               reverse           release               suspend               advance               movedObject       dependsOn
    { InitAlongPath,     StartAlongPath,     SetSpeedAlongPath,     ReverseAlongPath, nullptr,              SuspendAlongPath,     AdvanceAlongPath,     MovesTarget,      DependsOnTargetOrPath },
    { InitRandomFree,    StartRandomFree,    SetSpeedRandomFree,    nullptr,          nullptr,              nullptr,              AdvanceRandomFree,    MovesTarget,      DependsOnTarget },
    { InitRandomOnPath,  StartRandomOnPath,  SetSpeedRandomOnPath,  nullptr,          nullptr,              nullptr,              AdvanceRandomOnPath,  MovesTarget,      DependsOnTargetOrRandomPath },
    { InitAxisUnit,      nullptr,            SetSpeedAxisUnit,      nullptr,          nullptr,              SuspendAxisUnit,      AdvanceAxisUnit,      MovesTarget,      DependsOnTarget },
    { InitToDestination, StartToDestination, SetSpeedToDestination, nullptr,          ReleaseToDestination, SuspendToDestination, AdvanceToDestination, MovesDragSet,     DependsOnDestinationMove },
    { InitNumber,        StartNumber,        SetSpeedNumber,        ReverseNumber,    nullptr,              nullptr,              AdvanceNumber,        MovesTargetValue, DependsOnTarget },
};
static_assert(std::size(MotionTypeOps) == kMotionTypeCount);
