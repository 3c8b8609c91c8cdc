#include "engine/core/circle_objects.h"

#include <cmath>

#include "engine/core/geometry_neighbours.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_geometry.h"
#include "engine/core/points.h"
#include "engine/core/print_state.h"
#include "engine/core/sketch_object.h"

namespace {

CircleData* CircleOf(SketchObject* object) { return ClassData<CircleData>(object); }
RealPoint PositionOf(const SketchObject* point) { return ClassData<PointData>(point)->position; }

void DrawCircleClassScaled(GraphicsPort* port, SketchObject* object) {
    CircleData* c = CircleOf(object);
    const RealPoint centre = c->centre;
    const double radius = c->radius;
    double factor, ox, oy;
    PrintPageMap(&factor, &ox, &oy);
    c->centre = { (centre.x + ox) * factor, (centre.y + oy) * factor };
    c->radius = radius * factor;
    UpdateCircleScreen(object);
    if (DrawFn draw = ObjectClassTable[object->objectClass].draw) draw(port, object);
    c->centre = centre;
    c->radius = radius;
    UpdateCircleScreen(object);
}

}  // namespace

void UpdateCircleScreen(SketchObject* circle) {
    if (!gSkipScreenExtents) ComputeCircleScreen(CircleOf(circle), &circle->bounds);
}

bool CircleHitTest(ScreenPoint point, SketchObject* circle) {
    const CircleData* c = CircleOf(circle);
    return CircleRimHit(point, c->screenCentreX, c->screenCentreY, c->screenRadius);
}

bool DiscHitTest(ScreenPoint point, SketchObject* interior) {
    const CircleData* c = CircleOf(interior);
    return DiscHit(point, c->screenCentreX, c->screenCentreY, c->screenRadius);
}

bool CircleHitTestRect(const ScreenRect* rect, SketchObject* object) {
    const CircleData* c = CircleOf(object);
    return CircleMeetsRect(*rect, c->screenRadius, c->screenCentreX, c->screenCentreY,
                           object->objectClass == kClassCircle);
}

void TransformCircle(const SketchObject* source, SketchObject* target, const TransformMap* map,
                     PointMapOp op) {
    const CircleData* s = ClassData<CircleData>(source);
    RealPoint centre = s->centre;
    double radius = s->radius;
    op(&centre, &centre, 1, map);
    op(&radius, &radius, 0, map);
    CircleData* t = CircleOf(target);
    t->centre = centre;
    // A dilation by a negative ratio still gives a positive radius.
    t->radius = std::fabs(radius);
    UpdateCircleScreen(target);
}

void DrawCircleScaled(GraphicsPort* port, SketchObject* object, const OutputScale*) {
    DrawCircleClassScaled(port, object);
}

void DrawDiscScaled(GraphicsPort* port, SketchObject* object, const OutputScale*) {
    DrawCircleClassScaled(port, object);
}

void UpdateCircleByPoint(SketchObject* circle, SketchObject* const* parents) {
    const RealPoint c = PositionOf(parents[0]), p = PositionOf(parents[1]);
    if (RealPointsEqual(c, p)) {
        circle->exists = 0;
        return;
    }
    CircleOf(circle)->centre = c;
    CircleOf(circle)->radius = std::sqrt((p.x - c.x) * (p.x - c.x) + (p.y - c.y) * (p.y - c.y));
    UpdateCircleScreen(circle);
}

void UpdateCircleByRadius(SketchObject* circle, SketchObject* const* parents) {
    double radius;
    LineForm f;
    if (parents[1]->objectClass == kClassStraight && GetLineForm(parents[1], &f, nullptr, nullptr)) {
        radius = std::sqrt(f.dx * f.dx + f.dy * f.dy);
    } else {
        double v;
        if (!ParentValue(parents[1], &v) || !std::isfinite(v) || v <= 0) {
            circle->exists = 0;
            return;
        }
        radius = DistanceFromSketchUnits(v);
    }
    CircleOf(circle)->centre = PositionOf(parents[0]);
    CircleOf(circle)->radius = radius;
    UpdateCircleScreen(circle);
}

void UpdateCircleInterior(SketchObject* interior, SketchObject* const* parents) {
    const CircleData* c = ClassData<CircleData>(parents[0]);
    CircleOf(interior)->centre = c->centre;
    CircleOf(interior)->radius = c->radius;
    UpdateCircleScreen(interior);
}
