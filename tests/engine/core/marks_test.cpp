// Mark slots and categories: fitting, groups, alternatives, the distance push, objects
// leaving and returning, the marked coordinate system, and the settings that follow.
#include <gtest/gtest.h>

#include "engine/calc/value_objects.h"
#include "engine/core/geometry_neighbours.h"
#include "engine/core/marks.h"
#include "engine/core/transform_settings.h"
#include "sketch_fixture.h"
#include "tests/support/dialogs_double.h"

namespace {

class MarksTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetDialogDoubles();
    }
    SketchObject* OfKind(int32_t objectClass, int32_t kind) {
        const ObjectTemplate t = { kTypeFree, 0, 0, objectClass, 1, kind, 0 };
        SketchObject* o = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(o, nullptr);
        RecomputeObject(o, nullptr, true);
        return o;
    }
    SketchObject* Distance() { return Value(1, true, kKindDistanceMeasure); }
    SketchObject* Angle() { return Value(1, true, kKindAngleMeasure); }
    SketchObject* System() {
        SketchObject* s = OfKind(kClassCoordinateSystem, kKindCoordinateSystem);
        s->exists = 1;
        return s;
    }
    MarkSlot& Slot(int32_t i) { return sketch->marks[i]; }
    const TransformSettings& Settings() { return sketch->transformSettings; }
    int32_t Field(int32_t f) { return Settings().field[f].value.integer; }
    static bool InSlot(const SketchObject* o) { return (o->markFlags & kMarkedObject) != 0; }
};

}  // namespace

TEST_F(MarksTest, KindsMustFitAndEveryMarkFillsItsSlot) {
    SketchObject* p = PointAt(0, 0);
    SketchObject* q = PointAt(5, 0);
    SketchObject* seg = Build(kTypeSegment, { p, q });
    EXPECT_FALSE(MarkObject(kMarkCentre, seg, false));
    EXPECT_EQ(Slot(kMarkCentre).object, nullptr);
    EXPECT_FALSE(MarkObject(kMarkAngleValue, Distance(), false));
    EXPECT_TRUE(MarkObject(kMarkMirror, seg, false));  // a segment is a straight object

    // An empty slot is filled; a replaced object keeps its bit only while it sits in
    // another slot.
    ASSERT_TRUE(MarkObject(kMarkCentre, p, false));
    EXPECT_EQ(Slot(kMarkCentre).object, p);
    EXPECT_EQ(Slot(kMarkCentre).state, kMarkSet);
    EXPECT_TRUE(InSlot(p));
    ASSERT_TRUE(MarkObject(kMarkVectorHead, p, false));
    ASSERT_TRUE(MarkObject(kMarkCentre, q, false));
    EXPECT_TRUE(InSlot(p));
    ASSERT_TRUE(MarkObject(kMarkVectorHead, q, false));
    EXPECT_FALSE(InSlot(p));
    EXPECT_TRUE(InSlot(q));
}

TEST_F(MarksTest, GroupsCompleteAtTheirEndAndDissolveWithAMemberMissing) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* v = PointAt(10, 0);
    SketchObject* b = PointAt(10, 10);
    // The three-point angle, marked last point first, ending at the first point.
    MarkObject(kMarkAngleLast, b, false);
    MarkObject(kMarkAngleVertex, v, false);
    EXPECT_FALSE(IsMarkGroupSet(kMarkAngleLast));  // members alone do not restate the group
    MarkObject(kMarkAngleFirst, a, true);
    EXPECT_TRUE(IsMarkGroupSet(kMarkAngleLast));
    EXPECT_EQ(Slot(kMarkAngle).object, b);
    EXPECT_EQ(Field(kTfRotationSource), 1);
    ASSERT_EQ(RecordedFlashes().size(), 1u);
    EXPECT_EQ(RecordedFlashes()[0].step, kMarkAngleFirst);
    EXPECT_EQ(RecordedFlashes()[0].objects[0], b);
    EXPECT_EQ(RecordedFlashes()[0].objects[1], v);
    EXPECT_EQ(RecordedFlashes()[0].objects[2], a);

    // Then an angle measurement: the measurement replaces the three points, and the
    // rotation dialog now reads it.
    SketchObject* angle = Angle();
    MarkObject(kMarkAngleValue, angle, false);
    for (int32_t k = kMarkAngle; k <= kMarkAngleFirst; ++k) EXPECT_EQ(Slot(k).object, nullptr) << k;
    EXPECT_FALSE(InSlot(a));
    EXPECT_EQ(Field(kTfRotationSource), 1);
    sketch->transformSettings.field[kTfDialog].value.integer = kDialogRotate;
    EXPECT_EQ(ChooseTransformType(&sketch->transformSettings), 33);

    // Completing a group whose other members are empty dissolves it.
    MarkObject(kMarkRatioOrigin, a, false);
    EXPECT_EQ(Slot(kMarkRatioOrigin).object, nullptr);
    EXPECT_FALSE(InSlot(a));
}

TEST_F(MarksTest, RatioAlternativesExcludeOneAnother) {
    SketchObject* o = PointAt(0, 0);
    SketchObject* u = PointAt(10, 0);
    SketchObject* r = PointAt(20, 0);
    MarkObject(kMarkRatioPoint, r, false);
    MarkObject(kMarkUnitPoint, u, false);
    MarkObject(kMarkRatioOrigin, o, false);
    ASSERT_TRUE(IsMarkGroupSet(kMarkPointRatio));
    EXPECT_EQ(Field(kTfRatioSource), 1);
    SketchObject* seg1 = Build(kTypeSegment, { o, u });
    SketchObject* seg2 = Build(kTypeSegment, { u, r });
    MarkObject(kMarkRatioDenominator, seg1, false);
    EXPECT_TRUE(IsMarkGroupSet(kMarkPointRatio));  // an incomplete group clears nothing
    MarkObject(kMarkRatioNumerator, seg2, false);
    EXPECT_TRUE(IsMarkGroupSet(kMarkSegmentRatio));
    EXPECT_FALSE(IsMarkGroupSet(kMarkPointRatio));
    EXPECT_EQ(Slot(kMarkRatioOrigin).object, nullptr);
    EXPECT_FALSE(InSlot(o));
    // A scale factor excludes both groups.
    SketchObject* factor = Value(2);
    MarkObject(kMarkScaleFactor, factor, false);
    EXPECT_FALSE(IsMarkGroupSet(kMarkSegmentRatio));
    EXPECT_EQ(Slot(kMarkRatioNumerator).object, nullptr);
    EXPECT_EQ(Field(kTfRatioSource), 1);
}

TEST_F(MarksTest, DistancesFillBothSlotsThenPushTheVerticalOne) {
    SketchObject* d1 = Distance();
    SketchObject* d2 = Distance();
    MarkObject(kMarkVertical, d1, false);
    EXPECT_EQ(Slot(kMarkDistance).object, d1);
    EXPECT_EQ(Slot(kMarkVertical).object, d1);
    MarkObject(kMarkVertical, d2, false);
    EXPECT_EQ(Slot(kMarkDistance).object, d1);
    EXPECT_EQ(Slot(kMarkVertical).object, d2);
    EXPECT_EQ(Field(kTfDistanceSource), 1);
    EXPECT_EQ(Field(kTfVerticalSource), 1);
}

TEST_F(MarksTest, ObjectsLeavingAndReturning) {
    SketchObject* head = PointAt(10, 0);
    SketchObject* tail = PointAt(0, 0);
    MarkObject(kMarkVectorHead, head, false);
    MarkObject(kMarkVectorTail, tail, false);
    ASSERT_TRUE(IsMarkGroupSet(kMarkVector));
    EXPECT_EQ(Field(kTfTranslateForm), kTranslateVector);
    EXPECT_EQ(Settings().field[kTfTranslateForm].upper, 2);

    // Deleting the tail empties the whole vector group.
    DestroyObject(tail, true, true);
    for (int32_t k = kMarkVector; k <= kMarkVectorTail; ++k) EXPECT_EQ(Slot(k).object, nullptr) << k;
    EXPECT_FALSE(InSlot(head));
    EXPECT_EQ(Field(kTfTranslateForm), kTranslatePolar);
    EXPECT_EQ(Settings().field[kTfTranslateForm].upper, 1);

    // The centre taken out by undo waits in state 1 and comes back with its state.
    SketchObject* centre = PointAt(5, 5);
    MarkObject(kMarkCentre, centre, false);
    UpdateMarksOnObjectChange(centre, 1);
    EXPECT_EQ(Slot(kMarkCentre).state, kMarkOutUndo);
    EXPECT_EQ(MarkSlotState(kMarkCentre), 1);  // it still holds an object
    EXPECT_EQ(MarkedObject(kMarkCentre), nullptr);
    UpdateMarksOnObjectChange(centre, 3);
    EXPECT_EQ(Slot(kMarkCentre).state, kMarkSet);
    EXPECT_EQ(MarkedObject(kMarkCentre), centre);

    // A member out of the sketch leaves its group waiting, not dissolved.
    MarkObject(kMarkVectorHead, head, false);
    MarkObject(kMarkVectorTail, centre, false);
    UpdateMarksOnObjectChange(centre, 2);
    EXPECT_EQ(Slot(kMarkVector).state, kMarkOutRedo);
    EXPECT_EQ(Slot(kMarkVector).object, nullptr);
    UpdateMarksOnObjectChange(centre, 3);
    EXPECT_TRUE(IsMarkGroupSet(kMarkVector));
    EXPECT_EQ(Slot(kMarkVector).object, head);
}

TEST_F(MarksTest, CategoriesCountTheirMembers) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(1, 0);
    SketchObject* c = PointAt(2, 0);
    for (SketchObject* o : { c, a, a, b }) EXPECT_TRUE(MarkObject(kMarkCategoryIterate, o, false));
    EXPECT_EQ(MarkSlotState(kMarkCategoryIterate), 3);
    EXPECT_TRUE(HasMarkCategory(kMarkCategoryIterate, b));
    EXPECT_FALSE(HasMarkCategory(kMarkCategoryMerge, b));
    std::vector<SketchObject*> seen;
    ForEachMarked(kMarkCategoryIterate, [](SketchObject* o, void* user) {
        static_cast<std::vector<SketchObject*>*>(user)->push_back(o);
        return 1;
    }, &seen);
    EXPECT_EQ(seen, (std::vector<SketchObject*>{ a, b, c }));  // in sketch order
    UnmarkObject(sketch->marks, kMarkCategoryIterate, b);
    UnmarkObject(sketch->marks, kMarkCategoryIterate, b);
    EXPECT_EQ(MarkSlotState(kMarkCategoryIterate), 2);
    DestroyObject(c, true, true);
    EXPECT_EQ(MarkSlotState(kMarkCategoryIterate), 1);
    ClearMark(kMarkCategoryIterate);
    EXPECT_EQ(MarkSlotState(kMarkCategoryIterate), 0);
    EXPECT_FALSE(HasMarkCategory(kMarkCategoryIterate, a));
}

TEST_F(MarksTest, TheMarkedCoordinateSystemPassesToAnotherWhileItIsOut) {
    SketchObject* first = System();
    SketchObject* second = System();
    EXPECT_EQ(GetCoordinateSystem(0, false, nullptr), first);
    EXPECT_EQ(Slot(kMarkCoordSystem).object, nullptr);  // answered unmarked
    MarkObject(kMarkCoordSystem, first, false);
    EXPECT_EQ(MarkedCoordinateSystem(), first);
    UpdateMarksOnObjectChange(first, 1);
    EXPECT_EQ(Slot(kMarkCoordSystem).object, second);
    EXPECT_EQ(Slot(kMarkCoordSystem).state, kMarkSet);
    UpdateMarksOnObjectChange(first, 3);
    EXPECT_EQ(Slot(kMarkCoordSystem).object, first);
    // Hidden axes are passed over while another system shows them.
    second->hidden = kHiddenByUser;
    EXPECT_EQ(GetCoordinateSystemEx(0, false, nullptr, true), second);  // the only other one
    bool created = false;
    ClearMark(kMarkCoordSystem);
    EXPECT_EQ(GetCoordinateSystem(0, true, &created), first);
    EXPECT_EQ(MarkedObject(kMarkCoordSystem), first);
}
