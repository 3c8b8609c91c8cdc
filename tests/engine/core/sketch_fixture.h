// A current sketch to build objects in, and helpers that make them by type.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "engine/calc/value_objects.h"
#include "engine/core/iterations.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"
#include "engine/interact/undo.h"

// Construction data of the given bytes (the transformations' fixed values).
inline PtrList DataBlock(const void* bytes, uint32_t size) {
    PtrList list = 0;
    const int32_t items = static_cast<int32_t>((size + sizeof(void*) - 1) / sizeof(void*));
    EXPECT_TRUE(AllocPtrList(items, items, &list));
    std::memset(PtrListData(list), 0, items * sizeof(void*));
    std::memcpy(PtrListData(list), bytes, size);
    return list;
}

// An iteration of one seed under one map (the seed goes to `image`) to `depth` levels,
// built as the Iterate command builds it, with its table when `tabulate` is set.
inline SketchObject* IterateOneSeed(SketchObject* seed, SketchObject* image, int32_t depth, bool tabulate) {
    SketchObject* entries[2] = { seed, image };
    IterationBuild build{};
    build.entries = entries;
    build.seedCount = 1;
    build.mapCount = 1;
    build.depth = depth;
    build.tabulate = tabulate ? 1 : 0;
    return BuildIteration(&build);
}

class SketchTest : public testing::Test {
protected:
    void SetUp() override {
        sketch = CreateSketch(0, nullptr);
        ASSERT_NE(sketch, nullptr);
        SetCurrentSketch(sketch, &previous);
    }
    void TearDown() override {
        SetAllocFailureAfter(0);
        if (sketch) FreeSketch(sketch);
        SetCurrentSketch(previous, nullptr);
    }

    static PtrList List(std::initializer_list<SketchObject*> items) {
        PtrList list = 0;
        for (SketchObject* o : items) EXPECT_TRUE(PtrListAppend(&list, o));
        return list;
    }

    // Two doubles as construction data (a rotation's sin and cos, plotted values).
    static PtrList Reals(double first, double second) {
        PtrList list = 0;
        const int32_t words = static_cast<int32_t>(16 / sizeof(void*));
        EXPECT_TRUE(AllocPtrList(words, words, &list));
        auto* bytes = reinterpret_cast<uint8_t*>(PtrListData(list));
        std::memcpy(bytes, &first, 8);
        std::memcpy(bytes + 8, &second, 8);
        return list;
    }

    SketchObject* FreePoint() {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
        SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        if (p) RecomputeObject(p, nullptr, true);
        return p;
    }

    SketchObject* PointAt(double x, double y) {
        SketchObject* p = FreePoint();
        EXPECT_NE(p, nullptr);
        if (p) SetPointPosition(p, x, y, 1, nullptr, false);
        return p;
    }

    // A value object (a free measurement of the kind) holding a value in the sketch's units.
    SketchObject* Value(double value, bool defined = true, int32_t kind = 46) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kMeasurementClass, 0, kind, 0 };
        SketchObject* m = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(m, nullptr);
        if (!m) return nullptr;
        RecomputeObject(m, nullptr, true);
        SetValue(m, value, defined);
        return m;
    }
    static void SetValue(SketchObject* m, double value, bool defined = true) {
        ValueDisplayOf(m)->value = value;
        ValueDisplayOf(m)->defined = defined ? 1 : 0;
    }

    SketchObject* Build(int32_t type, std::initializer_list<SketchObject*> parents,
                        uint16_t* flags = nullptr, PtrList data = 0, bool undo = false) {
        SketchObject* o = ConstructObject(type, nullptr, List(parents), data, true, undo, flags);
        if (o) RecomputeObject(o, nullptr, true);
        return o;
    }

    // A locus traced by a point as its driver runs along a path: the parents are the
    // traced object, the path, the driver, then the chain after the driver in sketch
    // order ending with the traced object.
    SketchObject* TraceLocus(SketchObject* traced, SketchObject* path, SketchObject* driver,
                             std::initializer_list<SketchObject*> between = {}) {
        PtrList parents = List({ traced, path, driver });
        for (SketchObject* o : between) EXPECT_TRUE(PtrListAppend(&parents, o));
        EXPECT_TRUE(PtrListAppend(&parents, traced));
        SketchObject* locus = ConstructObject(kTypeLocus, nullptr, parents, 0, true, false, nullptr);
        if (locus) RecomputeObject(locus, nullptr, true);
        return locus;
    }

    // The midpoint of a segment from (cx, cy) to a driver running round the circle of
    // radius r about that point: its locus is the circle of radius r / 2.
    struct MidpointLocusParts {
        SketchObject *centre, *rim, *circle, *driver, *segment, *traced, *locus;
    };
    MidpointLocusParts MidpointLocus(double cx = 200, double cy = 200, double r = 100, bool withLocus = true) {
        MidpointLocusParts m{};
        m.centre = PointAt(cx, cy);
        m.rim = PointAt(cx + r, cy);
        m.circle = Build(kTypeCircleByPoint, { m.centre, m.rim });
        m.driver = Build(kTypePointOnPath, { m.circle }, nullptr, Reals(1, 0));  // at angle 0
        m.segment = Build(kTypeSegment, { m.centre, m.driver });
        m.traced = Build(kTypeMidpoint, { m.segment });
        if (!withLocus) return m;
        m.locus = TraceLocus(m.traced, m.circle, m.driver, { m.segment });
        EXPECT_NE(m.locus, nullptr);
        return m;
    }

    // The side-1 root of a line through (cx, cy) and a driver on the segment from `from`
    // to `to`, with the circle of radius r about that point: the root swaps to the other
    // side as the driver crosses the centre, and its locus jumps there, leaving a gap.
    SketchObject* RootJumpLocus(double cx, double cy, double r, RealPoint from, RealPoint to) {
        SketchObject* centre = PointAt(cx, cy);
        SketchObject* circle = Build(kTypeCircleByPoint, { centre, PointAt(cx + r, cy) });
        SketchObject* path = Build(kTypeSegment, { PointAt(from.x, from.y), PointAt(to.x, to.y) });
        SketchObject* driver = Build(kTypePointOnPath, { path }, nullptr, Reals(0.1, 0));
        SketchObject* line = Build(kTypeLine, { centre, driver });
        SketchObject* root = Build(11, { line, circle });
        return TraceLocus(root, path, driver, { line });
    }

    std::vector<SketchObject*> SketchOrder() const {
        std::vector<SketchObject*> order;
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) order.push_back(o);
        return order;
    }

    std::vector<SketchObject*> LayerOrder(int32_t layer) const {
        std::vector<SketchObject*> order;
        SketchObject* head = sketch->layerHeads[layer];
        if (!head) return order;
        SketchObject* o = head;
        do {
            order.push_back(o);
            o = o->nextInLayer;
        } while (o != head);
        return order;
    }

    static std::vector<SketchObject*> Items(PtrList list) {
        std::vector<SketchObject*> out;
        int32_t n = 0;
        void** items = PtrListItems(list, &n);
        for (int32_t i = 0; i < n; ++i) out.push_back(static_cast<SketchObject*>(items[i]));
        return out;
    }
    std::vector<SketchObject*> Children(const SketchObject* o) const { return Items(o->children); }
    std::vector<SketchObject*> Parents(const SketchObject* o) const { return Items(o->parents); }

    int32_t UndoDepth() const {
        int32_t n = 0;
        for (UndoRecord* r = sketch->undoPosition; r; r = UndoRecordOlder(r)) ++n;
        return n;
    }

    Sketch* sketch = nullptr;
    Sketch* previous = nullptr;
};
