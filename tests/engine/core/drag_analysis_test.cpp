#include "engine/core/drag_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

#include "engine/core/memory.h"
#include "sketch_fixture.h"

namespace {

struct Planned {
    SketchObject* object;
    uint16_t      flags;
    int16_t       driver;
    uint16_t      groupDiffers;
};

class DragAnalysisTest : public SketchTest {
protected:
    void TearDown() override {
        FreeMemory(plan);
        FreeMemory(moveList);
        SketchTest::TearDown();
    }

    // Analyses dragging `dragged` (in that order) and keeps the outputs.
    int32_t Analyze(std::initializer_list<SketchObject*> dragged, int32_t mode = kDragTranslate) {
        FreeMemory(plan);
        FreeMemory(moveList);
        plan = nullptr;
        moveList = nullptr;
        SketchObject* first = nullptr;
        SketchObject** link = &first;
        for (SketchObject* o : dragged) {
            *link = o;
            link = &o->tempLink;
        }
        *link = nullptr;
        const DragRequest request = { first, mode, &plan, &moveList };
        return AnalyzeDragSet(&request);
    }

    std::vector<ObjectFlagsEntry> Moves() const {
        std::vector<ObjectFlagsEntry> out;
        for (const ObjectFlagsEntry* e = moveList; e && e->object; ++e) out.push_back(*e);
        return out;
    }

    std::vector<Planned> Plan() const {
        std::vector<Planned> out;
        for (const DragPlanEntry* e = plan; e && e->object; ++e) {
            out.push_back({ e->object, e->flags, e->driverIndex, e->groupDiffers });
        }
        return out;
    }

    int32_t IndexInMoves(const SketchObject* o) const {
        const std::vector<ObjectFlagsEntry> moves = Moves();
        for (size_t i = 0; i < moves.size(); ++i) {
            if (moves[i].object == o) return static_cast<int32_t>(i);
        }
        return -1;
    }

    bool NoRecordsLeft() const {
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
            if (o->dragRecord != nullptr) return false;
        }
        return true;
    }

    SketchObject* Rotation(SketchObject* preImage, SketchObject* centre, double angle) {
        return Build(kTypeRotateFixed, { preImage, centre }, nullptr,
                     Reals(std::sin(angle), std::cos(angle)));
    }

    DragPlanEntry*    plan = nullptr;
    ObjectFlagsEntry* moveList = nullptr;
};

TEST_F(DragAnalysisTest, SegmentInTranslateMovesItsEndPointsAndRecomputesItAfterThem) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* s = Build(kTypeSegment, { a, b });
    SketchObject* m = Build(kTypeMidpoint, { s });
    ASSERT_TRUE(a && b && s && m);

    ASSERT_EQ(Analyze({ s }), 1);
    const std::vector<ObjectFlagsEntry> moves = Moves();
    ASSERT_EQ(moves.size(), 4u);
    EXPECT_LT(IndexInMoves(a), IndexInMoves(s));
    EXPECT_LT(IndexInMoves(b), IndexInMoves(s));
    EXPECT_LT(IndexInMoves(s), IndexInMoves(m));
    EXPECT_EQ(moves[IndexInMoves(a)].flags, 0x3e);
    EXPECT_EQ(moves[IndexInMoves(b)].flags, 0x3e);
    EXPECT_EQ(moves[IndexInMoves(s)].flags, 0x31);

    const std::vector<Planned> entries = Plan();
    ASSERT_EQ(entries.size(), 2u);
    for (const Planned& p : entries) {
        EXPECT_TRUE(p.object == a || p.object == b);
        EXPECT_EQ(p.flags, 0x3e);
        EXPECT_EQ(p.driver, -1);
    }
    EXPECT_TRUE(NoRecordsLeft());
}

TEST_F(DragAnalysisTest, PointOnACircleMovesAloneAlongIt) {
    SketchObject* c = FreePoint();
    SketchObject* r = FreePoint();
    SketchObject* circle = Build(kTypeCircleByPoint, { c, r });
    SketchObject* p = Build(kTypePointOnPath, { circle });
    SketchObject* s = Build(kTypeSegment, { c, p });
    ASSERT_TRUE(circle && p && s);

    ASSERT_EQ(Analyze({ p }), 1);
    EXPECT_EQ(IndexInMoves(circle), -1);
    EXPECT_EQ(IndexInMoves(c), -1);
    ASSERT_EQ(Moves().size(), 2u);
    EXPECT_EQ(Moves()[0].object, p);
    EXPECT_EQ(Moves()[1].object, s);
    const std::vector<Planned> entries = Plan();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].object, p);
    EXPECT_TRUE(entries[0].flags & kDragNoDriver);
    EXPECT_EQ(entries[0].driver, -1);
}

TEST_F(DragAnalysisTest, ImagesOfOneFixedRotationShareARigidGroup) {
    SketchObject* centre = FreePoint();
    SketchObject* p1 = FreePoint();
    SketchObject* p2 = FreePoint();
    SketchObject* p3 = FreePoint();
    SketchObject* i1 = Rotation(p1, centre, 0.5);
    SketchObject* i2 = Rotation(p2, centre, 0.5);
    SketchObject* i3 = Rotation(p3, centre, 0.7);  // another angle: another group
    ASSERT_TRUE(i1 && i2 && i3);

    // One image: its pre-image moves with it, driven by it; the centre stays.
    ASSERT_EQ(Analyze({ i1 }), 1);
    EXPECT_EQ(IndexInMoves(centre), -1);
    EXPECT_LT(IndexInMoves(p1), IndexInMoves(i1));
    std::vector<Planned> entries = Plan();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].object, i1);
    EXPECT_EQ(entries[0].driver, -1);
    EXPECT_EQ(entries[1].object, p1);
    EXPECT_EQ(entries[1].driver, 0);
    EXPECT_TRUE(entries[1].flags & kDragMoves);
    EXPECT_EQ(entries[1].groupDiffers, 1);  // the pre-image is in the group, the image not

    // Both images of the same rotation: both pre-images in the one group.
    ASSERT_EQ(Analyze({ i1, i2, i3 }), 1);
    entries = Plan();
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_TRUE(NoRecordsLeft());
}

TEST_F(DragAnalysisTest, RigidGroupNumbersAreSharedOnlyBySameRotation) {
    // Seen through the groups: the pre-images of i1 and i2 are carried rigidly (flag 0x2
    // without a must-move flag), and the three images each drive their own pre-image.
    SketchObject* centre = FreePoint();
    SketchObject* p1 = FreePoint();
    SketchObject* p2 = FreePoint();
    SketchObject* i1 = Rotation(p1, centre, 0.5);
    SketchObject* i2 = Rotation(p2, centre, 0.5);
    ASSERT_EQ(Analyze({ i1, i2 }), 1);
    int32_t carried = 0;
    for (const Planned& p : Plan()) {
        if (p.object == p1 || p.object == p2) {
            ++carried;
            EXPECT_EQ(p.flags & (kDragMoves | kDragMustMove), kDragMoves);
            ASSERT_GE(p.driver, 0);
            const SketchObject* driver = Plan()[p.driver].object;
            EXPECT_EQ(driver, p.object == p1 ? i1 : i2);
        }
    }
    EXPECT_EQ(carried, 2);
}

TEST_F(DragAnalysisTest, DraggedMeasurementMovesNothingElse) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* s = Build(kTypeSegment, { a, b });
    SketchObject* length = Build(40, { s });
    ASSERT_TRUE(length);
    ASSERT_EQ(Analyze({ length }), 1);
    ASSERT_EQ(Moves().size(), 1u);
    EXPECT_EQ(Moves()[0].object, length);
    EXPECT_EQ(Moves()[0].flags, kDragPlannedValue);
    const std::vector<Planned> entries = Plan();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].object, length);
    EXPECT_EQ(entries[0].flags, 0x4c);
}

TEST_F(DragAnalysisTest, ActionButtonsAreNeverReachedFromTheirParents) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* s = Build(kTypeSegment, { a, b });
    const ObjectTemplate t = { kTypeActionButton, 0, 0, kClassActionButton, 0, kKindActionButton, 0 };
    PtrList parents = List({ a });
    SketchObject* button = ConstructObjectEx(&t, nullptr, parents, 0, nullptr, nullptr, false);
    ASSERT_TRUE(s && button);
    EXPECT_EQ(ChildDragCode(a, button, kDragTranslate), kDragCodeNone);
    ASSERT_EQ(Analyze({ a }), 1);
    EXPECT_EQ(IndexInMoves(button), -1);
    EXPECT_EQ(IndexInMoves(s), 1);
}

TEST_F(DragAnalysisTest, RotateModeTreatsTheVectorOfATranslationAsCentres) {
    SketchObject* p = FreePoint();
    SketchObject* v1 = FreePoint();
    SketchObject* v2 = FreePoint();
    SketchObject* image = Build(kTypeTranslateByVector, { p, v1, v2 });
    ASSERT_TRUE(image);
    EXPECT_EQ(ChildDragCode(v1, image, kDragTranslate), kDragCodeSecondary);
    EXPECT_EQ(ChildDragCode(v1, image, kDragRotate), kDragCodeCentre);
    EXPECT_EQ(ChildDragCode(v2, image, kDragDilate), kDragCodeCentre);

    // Dragging a rotated copy of the image carries the image with its group: in
    // translate mode its vector points are carried too, in rotate mode they are centres
    // and are not moved.
    SketchObject* centre = FreePoint();
    SketchObject* rotated = Rotation(image, centre, 0.5);
    ASSERT_TRUE(rotated);
    ASSERT_EQ(Analyze({ rotated }, kDragTranslate), 1);
    EXPECT_NE(IndexInMoves(p), -1);
    ASSERT_NE(IndexInMoves(v1), -1);
    ASSERT_NE(IndexInMoves(v2), -1);
    EXPECT_TRUE(Moves()[IndexInMoves(v1)].flags & kDragMoves);

    ASSERT_EQ(Analyze({ rotated }, kDragRotate), 1);
    EXPECT_NE(IndexInMoves(p), -1);
    EXPECT_EQ(IndexInMoves(v1), -1);
    EXPECT_EQ(IndexInMoves(v2), -1);
    EXPECT_TRUE(NoRecordsLeft());
}

TEST_F(DragAnalysisTest, LocusDriverStaysOutOfTheLocusCensus) {
    const MidpointLocusParts m = MidpointLocus();
    SketchObject *c = m.centre, *r = m.rim, *driver = m.driver, *locus = m.locus;
    ASSERT_TRUE(m.traced && locus);
    // Dragging the driver along its circle recomputes the locus without moving the
    // circle's definers.
    ASSERT_EQ(Analyze({ driver }), 1);
    EXPECT_NE(IndexInMoves(locus), -1);
    EXPECT_EQ(IndexInMoves(c), -1);
    EXPECT_EQ(IndexInMoves(r), -1);
    EXPECT_EQ(Moves()[IndexInMoves(locus)].flags & kDragMoves, 0);
}

TEST_F(DragAnalysisTest, MoveListFollowsSketchOrder) {
    // Dragging x reaches the circle from x before its centre m exists in the move list;
    // the list still holds it where the sketch does, right after m.
    SketchObject* x = FreePoint();
    SketchObject* a = FreePoint();
    SketchObject* s1 = Build(kTypeSegment, { x, a });
    SketchObject* m = Build(kTypeMidpoint, { s1 });
    SketchObject* c = Build(kTypeCircleByPoint, { m, x });
    SketchObject* s2 = Build(kTypeSegment, { m, a });
    ASSERT_TRUE(s2);
    ASSERT_EQ(Analyze({ x }), 1);
    std::vector<SketchObject*> order;
    for (const ObjectFlagsEntry& e : Moves()) order.push_back(e.object);
    EXPECT_EQ(order, (std::vector<SketchObject*>{ x, s1, m, c, s2 }));

    // Where the sketch order puts a parent after its child, the child still waits for it.
    UnlinkObjectFromSketch(s1);
    LinkObjectIntoSketch(s1, s2);
    const int32_t result = Analyze({ x });
    UnlinkObjectFromSketch(s1);  // the sketch is freed in its order
    LinkObjectIntoSketch(s1, a);
    ASSERT_EQ(result, 1);
    EXPECT_LT(IndexInMoves(s1), IndexInMoves(m));
    EXPECT_LT(IndexInMoves(m), IndexInMoves(c));
    EXPECT_LT(IndexInMoves(m), IndexInMoves(s2));
    EXPECT_EQ(Moves().size(), 5u);
    EXPECT_TRUE(NoRecordsLeft());
}

TEST_F(DragAnalysisTest, AParentCycleStillEndsTheMoveList) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* s = Build(kTypeSegment, { a, b });
    ASSERT_TRUE(s);
    // A malformed order: the segment is also a parent of its own end point.
    ASSERT_TRUE(PtrListAppend(&a->parents, s));
    ASSERT_TRUE(PtrListAppend(&s->children, a));
    const int32_t result = Analyze({ s });
    PtrListRemove(a->parents, s, true);
    PtrListRemove(s->children, a, true);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(Moves().size(), 3u);
    EXPECT_NE(IndexInMoves(a), -1);
    EXPECT_NE(IndexInMoves(s), -1);
    EXPECT_TRUE(NoRecordsLeft());
}

TEST_F(DragAnalysisTest, OutOfMemoryAnswersZeroAndLeavesNoRecord) {
    SketchObject* centre = FreePoint();
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* s = Build(kTypeSegment, { a, b });
    SketchObject* i1 = Rotation(s, centre, 0.5);
    SketchObject* i2 = Rotation(a, centre, 0.5);
    ASSERT_TRUE(i1 && i2);
    // Enough objects to need two record blocks.
    SketchObject* last = a;
    for (int i = 0; i < 70; ++i) last = Build(kTypeMidpoint, { Build(kTypeSegment, { last, b }) });
    ASSERT_TRUE(last);

    int32_t n = 1;
    for (;; ++n) {
        SetAllocFailureAfter(static_cast<uint32_t>(n));
        const int32_t result = Analyze({ i1, i2 });
        SetAllocFailureAfter(0);
        EXPECT_TRUE(NoRecordsLeft()) << n;
        if (result != 0) break;
        EXPECT_EQ(plan, nullptr);
        EXPECT_EQ(moveList, nullptr);
        ASSERT_LT(n, 100);
    }
    EXPECT_GT(n, 3);
    EXPECT_NE(IndexInMoves(last), -1);
}

TEST_F(DragAnalysisTest, AffectedObjectsInSketchOrderWithTheirMarks) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* s = Build(kTypeSegment, { a, b });
    SketchObject* m = Build(kTypeMidpoint, { s });
    SketchObject* other = FreePoint();
    const ObjectTemplate t = { kTypeActionButton, 0, 0, kClassActionButton, 0, kKindActionButton, 0 };
    SketchObject* button = ConstructObjectEx(&t, nullptr, List({ m }), 0, nullptr, nullptr, false);
    ASSERT_TRUE(button && other);
    m->tempLink = a;
    a->tempLink = nullptr;
    ObjectFlagsEntry* list = nullptr;
    ASSERT_TRUE(CollectAffectedObjects(m, &list));
    ASSERT_NE(list, nullptr);
    std::vector<ObjectFlagsEntry> got;
    for (ObjectFlagsEntry* e = list; e->object; ++e) got.push_back(*e);
    FreeMemory(list);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].object, a);
    EXPECT_EQ(got[0].flags, 0xc);
    EXPECT_EQ(got[1].object, s);
    EXPECT_EQ(got[1].flags, 0x1);
    EXPECT_EQ(got[2].object, m);
    EXPECT_EQ(got[2].flags, 0xd);  // listed, and depends on a
    EXPECT_TRUE(NoRecordsLeft());

    SetAllocFailureAfter(1);
    EXPECT_FALSE(CollectAffectedObjects(m, &list));
    SetAllocFailureAfter(0);
    EXPECT_EQ(list, nullptr);
    EXPECT_TRUE(NoRecordsLeft());
}

}  // namespace
