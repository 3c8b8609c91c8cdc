// Stand-in: the object-level geometry of the sketch engine (an object's straight form,
// its curve form, a point's position) over the class data that has landed, with arcs
// read from the stand-in class data until their layout lands.
#include "engine/core/circles.h"
#include "engine/core/points.h"
#include "engine/core/straight_objects.h"
#include "engine/interact/neighbour_services.h"

RealPoint PointPosition(const SketchObject* point) {
    return ClassData<PointData>(point)->position;
}

bool GetLineForm(const SketchObject* o, LineForm* form, int32_t* shapeKind, int32_t* flatArc) {
    *flatArc = 0;
    if (o->objectClass == kClassStraight || o->objectClass == kClassAxis) {
        *form = ClassData<StraightData>(o)->form;
        if (o->objectClass == kClassAxis) *shapeKind = kShapeAxis;
        else if (KindIsA(o->objectKind, kShapeSegment)) *shapeKind = kShapeSegment;
        else if (KindIsA(o->objectKind, kShapeRay)) *shapeKind = kShapeRay;
        else *shapeKind = kShapeLine;
        return true;
    }
    if (o->objectClass == kClassArc && StandinData(o)->arcIsFlat) {
        *form = MakeLineForm(StandinData(o)->flatFirst, StandinData(o)->flatSecond);
        *shapeKind = kShapeSegment;
        *flatArc = 1;
        return true;
    }
    return false;
}

bool GetCurveForm(const SketchObject* o, CurveForm* form) {
    if (o->objectClass == kClassCircle) {
        const CircleData* c = ClassData<CircleData>(o);
        *form = CurveForm{c->centre, c->radius, false, 1, 0, 0};
        return true;
    }
    if (o->objectClass == kClassArc && !StandinData(o)->arcIsFlat) {
        const StandinClassData* a = StandinData(o);
        *form = CurveForm{a->arcCentre, a->arcRadius, true, 1, a->arcStartPseudo, a->arcEndPseudo};
        return true;
    }
    return false;
}
