#include "engine/core/geometry_neighbours.h"

#include <cmath>

#include "engine/calc/value_objects.h"
#include "engine/core/sketch_object.h"
#include "engine/core/units.h"
#include "engine/text/label_standins.h"

namespace {

// Stand-in: the leading fields of a coordinate system's class data.
struct CoordinateFrameFields {
    RealPoint origin;
    double    unitX;
    double    unitY;
};
}  // namespace

bool ParentValue(const SketchObject* object, double* value) {
    if (!HasValueDisplay(object)) return false;
    const ValueDisplay* display = ValueDisplayOf(object);
    if (!display->defined) return false;
    *value = display->value;
    return true;
}

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

SketchObject* MarkedCoordinateSystem() { return nullptr; }

void SnapToCoordinateGrid(const SketchObject* system, RealPoint* point) {
    RealPoint o;
    double ux, uy;
    if (!CoordinateFrame(system, &o, &ux, &uy) || ux == 0 || uy == 0) return;
    const double x = std::floor((point->x - o.x) / ux + 0.5);
    const double y = std::floor((point->y - o.y) / uy + 0.5);
    *point = { o.x + x * ux, o.y + y * uy };
}

bool FinalIteratedPoint(const SketchObject*, RealPoint*) { return false; }

void PrintPassScale(double* scale, double* offsetX, double* offsetY) {
    *scale = 1;
    *offsetX = 0;
    *offsetY = 0;
}

void RelayoutObjectLabel(SketchObject* object) { PlaceObjectLabel(object); }
