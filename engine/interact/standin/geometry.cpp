// Stand-in: a point's position, until the sketch engine answers it itself. The
// straight and curve forms of objects are the engine's own (object_geometry.h).
#include "engine/core/circles.h"
#include "engine/core/points.h"
#include "engine/core/straight_objects.h"
#include "engine/interact/neighbour_services.h"

RealPoint PointPosition(const SketchObject* point) {
    return ClassData<PointData>(point)->position;
}
