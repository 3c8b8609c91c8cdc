#include "engine/core/geometry_neighbours.h"

#include <cmath>

#include "engine/core/sketch_object.h"
#include "engine/core/units.h"
#include "engine/text/label_standins.h"

namespace {
ValueProviderFn gValueProvider = nullptr;

// Stand-in: the leading fields of a coordinate system's class data.
struct CoordinateFrameFields {
    RealPoint origin;
    double    unitX;
    double    unitY;
};
}  // namespace

void SetValueProvider(ValueProviderFn provider) { gValueProvider = provider; }

bool ParentValue(const SketchObject* object, double* value) {
    return gValueProvider && gValueProvider(object, value);
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
