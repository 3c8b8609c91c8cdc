#include "engine/core/geometry_neighbours.h"

#include <cmath>

#include "engine/core/object_tables.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "engine/core/units.h"

namespace {

// The mark slot of the marked coordinate system.
constexpr int32_t kMarkedCoordinateSystemSlot = 20;

// Stand-in: the leading fields of a coordinate system's class data.
struct CoordinateFrameFields {
    RealPoint origin;
    double    unitX;
    double    unitY;
};
}  // namespace

double DistanceFromSketchUnits(double value) {
    return FromDistanceUnits(&value, CurrentSketchDistanceUnit());
}

double AngleFromSketchUnits(double value) { return AngleToRadians(&value, CurrentSketchAngleUnit()); }

bool CoordinateFrame(const SketchObject* system, RealPoint* origin, double* unitX,
                     double* unitY) {
    const CoordinateFrameFields* f = ClassData<CoordinateFrameFields>(system);
    *origin = f->origin;
    *unitX = f->unitX;
    *unitY = f->unitY;
    return true;
}

SketchObject* MarkedCoordinateSystem() {
    const Sketch* sketch = CurrentSketch();
    if (!sketch) return nullptr;
    const MarkSlot& slot = sketch->marks[kMarkedCoordinateSystemSlot];
    SketchObject* system = slot.state == kMarkSet ? slot.object : nullptr;
    return system && system->exists && system->objectClass == kClassCoordinateSystem ? system : nullptr;
}

void SnapToCoordinateGrid(const SketchObject* system, RealPoint* point) {
    RealPoint o;
    double ux, uy;
    if (!CoordinateFrame(system, &o, &ux, &uy) || ux == 0 || uy == 0) return;
    const double x = std::floor((point->x - o.x) / ux + 0.5);
    const double y = std::floor((point->y - o.y) / uy + 0.5);
    *point = { o.x + x * ux, o.y + y * uy };
}

void RelayoutObjectLabel(SketchObject* object) { PlaceObjectLabel(object); }
