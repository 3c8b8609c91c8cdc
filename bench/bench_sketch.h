// Building the scenes of the benchmarks and timing programs through the engine's own
// construction calls, in the current sketch.
#pragma once
#include <initializer_list>

#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"

inline PtrList List(std::initializer_list<SketchObject*> items) {
    PtrList list = 0;
    for (SketchObject* o : items) PtrListAppend(&list, o);
    return list;
}

// A free point at (x, y), linked into the sketch.
inline SketchObject* Free(double x, double y) {
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ClassData<PointData>(p)->position = { x, y };
    p->bounds = PointBoundsAt({ x, y }, 2);
    RecomputeObject(p, nullptr, true);
    return p;
}

// A construction of `type` on the parents, computed once. Null when the engine refuses
// it (a parent already holding the most children a list can count) or when a parent is
// null because an earlier construction was refused: the null is never handed on.
inline SketchObject* Make(int32_t type, std::initializer_list<SketchObject*> parents) {
    for (SketchObject* p : parents) {
        if (p == nullptr) return nullptr;
    }
    SketchObject* o = ConstructObject(type, nullptr, List(parents), 0, true, false, nullptr);
    if (o) RecomputeObject(o, nullptr, true);
    return o;
}
