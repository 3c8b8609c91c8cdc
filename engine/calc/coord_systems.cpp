// Coordinate systems: the update from the two axes, the grid spacing (a 1-2-5 ladder
// into the drawing metrics' band), the hit test of the grid, snapping to grid points,
// the scaled drawing for print, and which system an object belongs to.
#include "engine/core/services/coord_systems.h"

#include <algorithm>
#include <cmath>

#include "engine/core/marks.h"
#include "engine/core/object_tables.h"
#include "engine/core/print_state.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/command_groups.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/sketch.h"
#include "engine/core/straight_objects.h"

namespace {

constexpr int32_t kMarkSlotCoordSystem = 20;

// 12 and 1/12 of the engine's pi 3.1415926535898: radians to fifteenth-degree steps and back.
constexpr double kStepsPerRadian = 3.8197186342054796;
constexpr double kRadiansPerStep = 0.26179938779915;

constexpr double kHitTolerance = 2;

// The ladder's rung: 0 for 1 x 10^k, 1 for 2 x 10^k, 2 for 5 x 10^k (times the unit).
// Up multiplies by 2, 2.5, 2 in turn and down by 0.5, 0.4, 0.5, so that both walks stay
// on the same rungs and a walk up after a walk down retraces it.
double StepUp(int32_t* rung) {
    const double f = *rung == 1 ? 2.5 : 2;
    *rung = (*rung + 1) % 3;
    return f;
}
double StepDown(int32_t* rung) {
    const double f = *rung == 2 ? 0.4 : 0.5;
    *rung = (*rung + 2) % 3;
    return f;
}

bool UsableSpacing(double s) { return s > 0 && std::isfinite(s); }

// Both spacings by the same steps: the cells keep the ratio of the units.
void ScalePolarTicks(double* x, double* y, double area, double minimum) {
    if (!UsableSpacing(*x) || !UsableSpacing(*y) || !(area > 0) || !std::isfinite(area) ||
        !std::isfinite(minimum))
        return;
    int32_t rung = 0;
    while (*x * *y > area) {
        const double f = StepDown(&rung);
        *x *= f;
        *y *= f;
    }
    while (*x * *y < area || *x < minimum || *y < minimum) {
        const double f = StepUp(&rung);
        *x *= f;
        *y *= f;
    }
}

// Within the tolerance of a multiple of the spacing.
bool NearMultiple(double v, double spacing) {
    if (!(spacing > 0)) return false;
    const double r = std::fmod(v, spacing);
    return r <= kHitTolerance || spacing - r <= kHitTolerance;
}

bool PolarGridHit(double dx, double dy, const CoordSystemData& d) {
    if (!(d.tickX > 0) || !(d.tickY > 0)) return false;
    double t = kHitTolerance;
    if (d.tickX != d.tickY) {
        const double q = d.tickY / d.tickX;
        dx *= q;
        t = std::max(kHitTolerance, 2 * q);
    }
    const double distance = std::sqrt(dx * dx + dy * dy);
    const double k = std::max(0.0, std::ceil((distance - t) / d.tickY));
    const double radius = k * d.tickY;
    if (std::fabs(distance - radius) > t) return false;
    // Folded into the first octant, the grid points at a multiple of 15 degrees are the
    // ones at 0, 15, 30 and 45.
    const double a = std::max(dx, dy), b = std::min(dx, dy);
    for (int32_t step = 0; step <= 3; ++step) {
        const double angle = step * kRadiansPerStep;
        if (std::fabs(a - radius * std::cos(angle)) <= t && std::fabs(b - radius * std::sin(angle)) <= t)
            return true;
    }
    return false;
}

}  // namespace

void ScaleTickIntoRange(double* spacing, double lower, double upper) {
    // An infinite or undefined unit (a document can give one through its unit points)
    // would never reach the band.
    if (!UsableSpacing(*spacing) || !(lower > 0) || !std::isfinite(upper) || upper < lower) return;
    int32_t rung = 0;
    while (*spacing < lower) *spacing *= StepUp(&rung);
    while (*spacing > upper) *spacing *= StepDown(&rung);
}

void ComputeTickSpacing(SketchObject* system) {
    CoordSystemData* d = CoordSystemOf(system);
    d->tickX = d->unitX;
    d->tickY = d->unitY;
    system->bounds = kCoordSystemBounds;
    const double* m = DrawingMetrics.realMetrics;
    if (d->gridForm == kGridPolar) {
        ScalePolarTicks(&d->tickX, &d->tickY, m[kMetricPolarCellArea], m[kMetricPolarMinSpacing]);
    } else {
        const double lower = m[kMetricMinTickBound];
        ScaleTickIntoRange(&d->tickX, lower, 2.5 * lower);
        ScaleTickIntoRange(&d->tickY, lower, 2.5 * lower);
    }
}

void UpdateCoordSystem(SketchObject* system, SketchObject* const* parents) {
    CoordSystemData* d = CoordSystemOf(system);
    SketchObject* first = parents ? parents[0] : nullptr;
    SketchObject* second = parents ? parents[1] : nullptr;
    const bool exists = first && second && first->exists == 1 && second->exists == 1;
    system->exists = exists ? 1 : 0;
    if (exists) {
        const AxisData* a = ClassData<AxisData>(first);
        const AxisData* b = ClassData<AxisData>(second);
        const AxisData* horizontal = a->horizontal ? a : b;
        const AxisData* other = horizontal == a ? b : a;
        d->origin = a->origin;
        d->unitX = horizontal->unitDistance;
        d->unitY = other->unitDistance;
        ComputeTickSpacing(system);
    }
    if (d->lastExists != system->exists) {
        d->lastExists = system->exists;
        const Sketch* sketch = CurrentSketch();
        if (sketch && sketch == gEngine.frontSketch && sketch->marks[kMarkSlotCoordSystem].object == system) {
            CmdStateInvalidate(kCommandGroupGraphForm);
            CmdStateInvalidate(kCommandGroupSelection);
            CmdStateInvalidate(kCommandGroupGridAndHidden);
        }
    }
}

bool CoordSystemHitTest(ScreenPoint point, SketchObject* system) {
    const CoordSystemData& d = *CoordSystemOf(system);
    const double dx = std::fabs(point.x - d.origin.x);
    const double dy = std::fabs(point.y - d.origin.y);
    if (d.gridForm == kGridPolar) return PolarGridHit(dx, dy, d);
    return NearMultiple(dx, d.tickX) && NearMultiple(dy, d.tickY);
}

void DrawCoordSystemForPrint(GraphicsPort* port, SketchObject* system, const OutputScale*) {
    CoordSystemData* d = CoordSystemOf(system);
    const CoordSystemData saved = *d;
    const ScreenRect savedBounds = system->bounds;
    double factor, ox, oy;
    PrintPageMap(&factor, &ox, &oy);
    d->origin = { (saved.origin.x + ox) * factor, (saved.origin.y + oy) * factor };
    d->unitX = saved.unitX * factor;
    d->unitY = saved.unitY * factor;
    d->tickX = saved.tickX * factor;
    d->tickY = saved.tickY * factor;
    ComputeTickSpacing(system);
    if (DrawFn draw = ObjectClassTable[kClassCoordinateSystem].draw) draw(port, system);
    *d = saved;
    system->bounds = savedBounds;
}

int32_t InitCoordSystemData(SketchObject* system, void* record) {
    if (!system) return 1;  // nothing to release
    CoordSystemData* d = CoordSystemOf(system);
    int32_t form = kGridSquare;
    if (record) {
        const uint8_t* bytes = static_cast<const uint8_t*>(record);
        form = bytes[0] | bytes[1] << 8;
        if (form > kGridRectangular) form = kGridSquare;
    }
    d->gridForm = form;
    d->wasMarked = 0;
    d->lastExists = 0;
    system->coreBounds = kEmptyScreenRect;
    return 1;
}

void SnapToGrid(RealPoint* point, const SketchObject* system) {
    const CoordSystemData& d = *CoordSystemOf(system);
    if (!(d.unitX != 0) || !(d.unitY != 0) || !std::isfinite(d.unitX) || !std::isfinite(d.unitY)) return;
    if (point->x == d.origin.x && point->y == d.origin.y) return;
    const double x = (point->x - d.origin.x) / d.unitX;
    const double y = (point->y - d.origin.y) / d.unitY;
    if (d.gridForm != kGridPolar) {
        *point = { d.origin.x + std::floor(x + 0.5) * d.unitX, d.origin.y + std::floor(y + 0.5) * d.unitY };
        return;
    }
    const double r = std::floor(std::sqrt(x * x + y * y) + 0.5);
    const double angle = r != 0 ? std::floor(std::atan2(-y, x) * kStepsPerRadian + 0.5) * kRadiansPerStep : 0;
    *point = { d.origin.x + r * std::cos(angle) * d.unitX, d.origin.y - r * std::sin(angle) * d.unitY };
}

// Found through the children, the way the system hangs on its origin, unit points and
// axes: a system among the children, or one among the children of a child axis.
SketchObject* OwningCoordSystem(const SketchObject* object) {
    if (object->objectClass == kClassCoordinateSystem) return const_cast<SketchObject*>(object);
    SketchObject* found = nullptr;
    bool ambiguous = false;
    const auto consider = [&](SketchObject* system) {
        if (found && found != system) ambiguous = true;
        found = system;
    };
    int32_t count = 0;
    void** children = PtrListItems(object->children, &count);
    for (int32_t i = 0; i < count && !ambiguous; ++i) {
        SketchObject* child = static_cast<SketchObject*>(children[i]);
        if (child->objectClass == kClassCoordinateSystem) {
            consider(child);
        } else if (child->objectClass == kClassAxis) {
            int32_t n = 0;
            void** grandchildren = PtrListItems(child->children, &n);
            for (int32_t j = 0; j < n && !ambiguous; ++j) {
                SketchObject* g = static_cast<SketchObject*>(grandchildren[j]);
                if (g->objectClass == kClassCoordinateSystem) consider(g);
            }
        }
    }
    return ambiguous ? nullptr : found;
}

bool CoordSystemWasMarked(const SketchObject* system) { return CoordSystemOf(system)->wasMarked != 0; }

void SetCoordSystemWasMarked(SketchObject* system, bool marked) {
    CoordSystemOf(system)->wasMarked = marked ? 1 : 0;
}
