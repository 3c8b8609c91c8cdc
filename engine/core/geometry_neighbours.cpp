#include "engine/core/geometry_neighbours.h"

#include <cmath>

#include "engine/core/object_tables.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "engine/core/units.h"

namespace {

// The mark slot of the marked coordinate system.
constexpr int32_t kMarkedCoordinateSystemSlot = 20;

}  // namespace

double DistanceFromSketchUnits(double value) {
    return FromDistanceUnits(&value, CurrentSketchDistanceUnit());
}

double AngleFromSketchUnits(double value) { return AngleToRadians(&value, CurrentSketchAngleUnit()); }

bool CoordinateFrame(const SketchObject* system, RealPoint* origin, double* unitX,
                     double* unitY) {
    const CoordSystemData* f = CoordSystemOf(system);
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

void RelayoutObjectLabel(SketchObject* object) { PlaceObjectLabel(object); }
