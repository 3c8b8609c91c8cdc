// Measurements made and kept up to date by the engine itself: construction runs the
// class's initExtra, recompute runs the type's update routine.
#include <string>

#include "engine/calc/calc_fixture.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"

using namespace calc_test;


TEST(MeasurementRecompute, ConstructedMeasurementsFollowTheirParents) {
    Construction k;  // the current sketch
    SketchObject* a = FreePointAt(0, 0);
    SketchObject* b = FreePointAt(30, 40);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    SketchObject* m = ConstructObject(41, nullptr, ObjectList({a, b}), 0, true, false, nullptr);
    ASSERT_NE(m, nullptr);
    // The class's initExtra gave it the distance caption and a default precision.
    EXPECT_EQ(ValueDisplayOf(m)->captionTemplate, 1);
    RecomputeObject(m, nullptr, true);
    EXPECT_EQ(ValueDisplayOf(m)->defined, 1);
    EXPECT_DOUBLE_EQ(ValueDisplayOf(m)->value, 50);
    ASSERT_NE(ValueDisplayOf(m)->caption.layout, nullptr);

    // Dragging a point: everything that depends on it is recomputed in order.
    ClassData<PointData>(b)->position = {0, 7};
    b->tempLink = nullptr;
    SketchObject* chain = b;
    CollectDependents(&chain, true);
    RecomputeObjects(chain, true, nullptr);
    EXPECT_DOUBLE_EQ(ValueDisplayOf(m)->value, 7);

    // A parent that stops existing takes the measurement with it (not type 40's rule).
    b->exists = 0;
    RecomputeObject(m, nullptr, true);
    EXPECT_EQ(m->exists, 0);
}
