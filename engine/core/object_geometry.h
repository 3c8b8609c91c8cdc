// Intersection and line-form entry points that read sketch objects' class data.
#pragma once
#include <cstdint>

#include "engine/core/geometry.h"
#include "engine/core/object_tables.h"
#include "engine/core/sketch_object.h"
#include "engine/core/straight_objects.h"

// The straight form of a straight arc (its chord, as a segment); false for anything
// else but straight objects and axes, which GetLineForm answers itself.
bool GetArcLineForm(const SketchObject* object, LineForm* form, int32_t* shapeKind,
                    int32_t* fromArc);

// The straight form of an object: straight objects and axes give their stored form
// and their kind's shape kind; a straight arc gives its chord as a segment (fromArc
// 1). False for anything else. form, shapeKind and fromArc may be null. Inline: the
// intersections and constructions on straight objects ask for it at every recompute.
inline bool GetLineForm(const SketchObject* object, LineForm* form, int32_t* shapeKind,
                        int32_t* fromArc) {
    const int32_t cls = object->objectClass;
    if (cls != kClassStraight && cls != kClassAxis) return GetArcLineForm(object, form, shapeKind, fromArc);
    // An axis's class data begins with the straight data.
    if (form) {
        *form = ClassData<StraightData>(object)->form;
        if (shapeKind) *shapeKind = ObjectKindTable[object->objectKind].shapeKind;
    }
    if (fromArc) *fromArc = 0;
    return true;
}

// The same form for reading only: a straight object's or axis's stored form in place,
// without the copy, or a straight arc's chord made in *scratch; null when the object
// has no straight form. shapeKind may be null.
inline const LineForm* ReadLineForm(const SketchObject* object, LineForm* scratch,
                                    int32_t* shapeKind) {
    const int32_t cls = object->objectClass;
    if (cls != kClassStraight && cls != kClassAxis)
        return GetArcLineForm(object, scratch, shapeKind, nullptr) ? scratch : nullptr;
    if (shapeKind) *shapeKind = ObjectKindTable[object->objectKind].shapeKind;
    return &ClassData<StraightData>(object)->form;
}

// The curve of a circle, circle interior, arc or arc interior. Only arcs (class 12)
// limit intersections to their angular range; interiors count as whole circles.
bool GetCurveForm(const SketchObject* object, CurveForm* curve);

// Straight with circle or arc; side +1 takes the crossing met first along the form
// (for an arc, as the arc's orientation turns it).
bool IntersectLineCircle(const LineForm& form, int32_t kind, const SketchObject* curve,
                         int32_t side, RealPoint* out);
bool ArcContainsPoint(RealPoint point, const SketchObject* arc);
bool IntersectCircles(const SketchObject* first, const SketchObject* second, int32_t side,
                      RealPoint* out);
