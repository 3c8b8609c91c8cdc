#include "engine/core/transform_maps.h"

#include "engine/core/points.h"
#include "engine/core/sketch.h"

void TranslatePoint(const TransformMap* map, RealPoint* point) {
    point->x += map->dx;
    point->y += map->dy;
}

void RotatePoint(const TransformMap* map, RealPoint* point) {
    const double x = point->x - map->center.x;
    const double y = point->y - map->center.y;
    point->x = map->center.x + x * map->cos - y * map->sin;
    point->y = map->center.y + x * map->sin + y * map->cos;
}

void DilatePoint(const TransformMap* map, RealPoint* point) {
    point->x = map->center.x + (point->x - map->center.x) * map->ratio;
    point->y = map->center.y + (point->y - map->center.y) * map->ratio;
}

const PointMapFn PointMapOps[3] = { TranslatePoint, RotatePoint, DilatePoint };

void InverseTransformPoint(int32_t, SketchObject*, SketchObject* const*, TransformMap*) {}

bool GetTransformCenter(int32_t, RealPoint* center) {
    const Sketch* sketch = CurrentSketch();
    const SketchObject* marked = sketch ? sketch->markSlots[0] : nullptr;
    if (!marked || marked->objectClass != kClassPoint || marked->exists != 1) return false;
    *center = ClassData<PointData>(marked)->position;
    return true;
}
