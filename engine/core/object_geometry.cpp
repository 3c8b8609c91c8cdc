#include "engine/core/object_geometry.h"

#include "engine/core/arc_data.h"
#include "engine/core/circles.h"
#include "engine/core/object_tables.h"
#include "engine/core/sketch_object.h"
#include "engine/core/straight_objects.h"

bool GetArcLineForm(const SketchObject* object, LineForm* form, int32_t* shapeKind,
                    int32_t* fromArc) {
    const int32_t cls = object->objectClass;
    if (cls == kClassArc && ClassData<ArcData>(object)->orientation == 0) {
        if (form) {
            const ArcData* arc = ClassData<ArcData>(object);
            *form = MakeLineForm(arc->centre, { arc->radius, arc->startAngle });
            if (shapeKind) *shapeKind = kShapeSegment;
        }
        if (fromArc) *fromArc = 1;
        return true;
    }
    return false;
}

bool GetCurveForm(const SketchObject* object, CurveForm* curve) {
    const int32_t cls = object->objectClass;
    if (cls == kClassCircle || cls == kClassCircleInterior) {
        const CircleData* c = ClassData<CircleData>(object);
        *curve = { c->centre, c->radius, false, 1, 0, 0 };
        return true;
    }
    if (cls == kClassArc || cls == kClassArcInterior) {
        const ArcData* a = ClassData<ArcData>(object);
        *curve = { a->centre, a->radius, cls == kClassArc, a->orientation, a->startPseudo,
                   a->endPseudo };
        return true;
    }
    return false;
}

bool IntersectLineCircle(const LineForm& form, int32_t kind, const SketchObject* curve,
                         int32_t side, RealPoint* out) {
    CurveForm c;
    if (!GetCurveForm(curve, &c)) return false;
    const int32_t multiplier = c.isArc ? c.orientation : 1;
    return IntersectLineCurve(form, kind, c, multiplier * side, out);
}

bool ArcContainsPoint(RealPoint point, const SketchObject* arc) {
    CurveForm c;
    if (!GetCurveForm(arc, &c)) return false;
    return CurveRangeContains(c, point);
}

bool IntersectCircles(const SketchObject* first, const SketchObject* second, int32_t side,
                      RealPoint* out) {
    CurveForm a, b;
    if (!GetCurveForm(first, &a) || !GetCurveForm(second, &b)) return false;
    return IntersectCurves(a, b, side, out);
}
