#include "engine/interact/merge_split.h"

#include <cmath>
#include <vector>

#include "engine/core/points.h"
#include "engine/core/services/clock.h"
#include "engine/core/sketch_fixture.h"
#include "tests/support/alerts_double.h"
#include "tests/support/clock_double.h"

namespace {

class MergeSplitTest : public SketchTest {
protected:
    void Select(std::initializer_list<SketchObject*> objects) {
        DeselectAll();
        for (SketchObject* o : objects) SelectSketchObject(o);
    }
    // Every object comes after all its parents in the sketch order.
    bool OrderHolds() const {
        std::vector<SketchObject*> seen;
        for (SketchObject* o : SketchOrder()) {
            for (SketchObject* p : Parents(o))
                if (std::find(seen.begin(), seen.end(), p) == seen.end()) return false;
            seen.push_back(o);
        }
        return true;
    }
    bool InSketch(const SketchObject* o) const {
        const auto order = SketchOrder();
        return std::find(order.begin(), order.end(), o) != order.end();
    }
};

}  // namespace

TEST_F(MergeSplitTest, MenuStateFollowsTheSelection) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* c = PointAt(0, 100);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    Build(kTypeSegment, { a, c });
    SketchObject* mid = Build(kTypeMidpoint, { ab });
    SketchObject* d = PointAt(50, 50);
    struct Case { std::vector<SketchObject*> selected; bool applies; uint16_t text, variant, slot; int32_t argument; };
    const Case cases[] = {
        { { a }, true, 55, 0, 14, 0 },      // shared by two segments
        { { b }, false, 0, 0, 0, 0 },       // one group only
        { { mid }, true, 54, 5, 14, 1 },
        { { mid, ab }, true, 54, 6, 14, 1 },
        { { d, b }, true, 57, 0, 15, 0 },
        { { d, ab }, true, 56, 6, 15, 1 },
        { { a, mid }, false, 0, 0, 0, 0 },  // the midpoint depends on a
        { { ab }, false, 0, 0, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        DeselectAll();
        for (SketchObject* o : c.selected) SelectSketchObject(o);
        uint16_t text = 0, variant = 0, slot = 0;
        int32_t argument = -1;
        ASSERT_EQ(MergeSplitState(&text, &variant, &slot, &argument), c.applies);
        if (!c.applies) continue;
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(variant, c.variant);
        EXPECT_EQ(slot, c.slot);
        EXPECT_EQ(argument, c.argument);
    }
}

// Two independent segments on one point: two points on a circle of radius 15 around it,
// at 15 and 195 degrees; undo makes one point again, redo splits again.
TEST_F(MergeSplitTest, SplitPointSpreadsTheGroupsOnACircle) {
    SketchObject* a = PointAt(100, 100);
    SketchObject* s1 = Build(kTypeSegment, { a, PointAt(200, 100) });
    SketchObject* s2 = Build(kTypeSegment, { a, PointAt(100, 200) });
    Select({ a });
    ASSERT_EQ(SplitCommand(0), kResultOK);
    SketchObject* other = Parents(s1)[0] == a ? Parents(s2)[0] : Parents(s1)[0];
    ASSERT_NE(other, a);
    const double r = 15, d15 = 0.26179938779915;
    EXPECT_NEAR(PointPosition(a).x, 100 + r * std::cos(d15), 1e-9);
    EXPECT_NEAR(PointPosition(a).y, 100 - r * std::sin(d15), 1e-9);
    EXPECT_NEAR(PointPosition(other).x, 100 - r * std::cos(d15), 1e-9);
    EXPECT_NEAR(PointPosition(other).y, 100 + r * std::sin(d15), 1e-9);
    EXPECT_TRUE(OrderHolds());
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(Parents(s1)[0], a);
    EXPECT_EQ(Parents(s2)[0], a);
    EXPECT_FALSE(InSketch(other));
    EXPECT_EQ(PointPosition(a).x, 100);
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_TRUE(InSketch(other));
    EXPECT_TRUE(OrderHolds());
}

TEST_F(MergeSplitTest, AChildThatTiesItsParentsLeavesOneGroup) {
    SketchObject* a = PointAt(0, 0);
    Build(kTypeIterationRule, { a, a });
    Select({ a });
    ShownAlerts().clear();
    ASSERT_EQ(SplitCommand(0), kResultOK);
    ASSERT_EQ(ShownAlerts().size(), 1u);
    EXPECT_EQ(ShownAlerts()[0].code, 110);
    EXPECT_EQ(UndoDepth(), 0);
}

TEST_F(MergeSplitTest, SplitFromParentsFreesTheMidpointAndUndoPutsItBack) {
    SketchObject* ab = Build(kTypeSegment, { PointAt(0, 0), PointAt(100, 40) });
    SketchObject* mid = Build(kTypeMidpoint, { ab });
    Select({ mid });
    ASSERT_EQ(SplitCommand(1), kResultOK);
    EXPECT_EQ(mid->constructionType, kTypeFree);
    EXPECT_EQ(mid->objectKind, kKindPoint);
    EXPECT_TRUE(Parents(mid).empty());
    EXPECT_TRUE(Children(ab).empty());
    EXPECT_EQ(PointPosition(mid).x, 60);
    EXPECT_EQ(PointPosition(mid).y, 30);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(mid->constructionType, kTypeMidpoint);
    EXPECT_EQ(Parents(mid), std::vector<SketchObject*>{ ab });
    EXPECT_EQ(PointPosition(mid).x, 50);
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_EQ(PointPosition(mid).x, 60);
}

// A onto B: a segment AB would join B to itself and goes; AC merges into BC; a segment
// AD made before B is rebound to B and follows it in the sketch order.
TEST_F(MergeSplitTest, MergeRebindsMergesAndDeletesChildren) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* c = PointAt(0, 100);
    SketchObject* d = PointAt(100, 100);
    SketchObject* ac = Build(kTypeSegment, { a, c });
    SketchObject* ad = Build(kTypeSegment, { a, d });
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* bc = Build(kTypeSegment, { b, c });
    SketchObject* onAc = Build(kTypeMidpoint, { ac });
    Select({ a, b });
    ASSERT_EQ(MergeCommand(0), kResultOK);
    EXPECT_FALSE(InSketch(a));
    EXPECT_FALSE(InSketch(ab));
    EXPECT_FALSE(InSketch(ac));
    EXPECT_EQ(Parents(ad), (std::vector<SketchObject*>{ b, d }));
    EXPECT_EQ(Parents(onAc), std::vector<SketchObject*>{ bc });
    EXPECT_TRUE(OrderHolds());
    EXPECT_TRUE(IsSelected(b));
    ASSERT_EQ(UndoDepth(), 1);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    for (SketchObject* o : { a, ab, ac }) EXPECT_TRUE(InSketch(o));
    EXPECT_EQ(Parents(ad), (std::vector<SketchObject*>{ a, d }));
    EXPECT_EQ(Parents(onAc), std::vector<SketchObject*>{ ac });
    EXPECT_EQ(PointPosition(a).x, 0);
    EXPECT_TRUE(OrderHolds());
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_FALSE(InSketch(a));
    EXPECT_EQ(Parents(ad), (std::vector<SketchObject*>{ b, d }));
    EXPECT_TRUE(OrderHolds());
}

// Onto a circle: the point lands on its nearest place after 25 steps of 20 ms.
TEST_F(MergeSplitTest, MergeOntoAPathAttachesThePointAfterTheAnimation) {
    SketchObject* circle = Build(kTypeCircleByPoint, { PointAt(0, 0), PointAt(50, 0) });
    SketchObject* p = PointAt(100, 0);
    Select({ p, circle });
    const uint32_t start = TickCount();
    ASSERT_EQ(MergeCommand(1), kResultOK);
    EXPECT_EQ(TickCount() - start, 480u);  // the last step is not waited for
    EXPECT_EQ(p->constructionType, kTypePointOnPath);
    EXPECT_EQ(Parents(p), std::vector<SketchObject*>{ circle });
    EXPECT_NEAR(PointPosition(p).x, 50, 1e-9);
    EXPECT_NEAR(PointPosition(p).y, 0, 1e-9);
    EXPECT_TRUE(OrderHolds());
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(p->constructionType, kTypeFree);
    EXPECT_TRUE(Parents(p).empty());
    EXPECT_EQ(PointPosition(p).x, 100);
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_EQ(Parents(p), std::vector<SketchObject*>{ circle });
}

// Without memory at any step, merge and split leave the sketch as it was.
TEST_F(MergeSplitTest, OutOfMemoryTakesTheWorkBack) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* c = PointAt(0, 100);
    SketchObject* ac = Build(kTypeSegment, { a, c });
    SketchObject* ae = Build(kTypeSegment, { a, PointAt(50, 50) });
    SketchObject* b = PointAt(100, 0);
    Build(kTypeSegment, { b, c });
    for (int32_t command = 0; command < 2; ++command) {
        const auto before = SketchOrder();
        bool succeeded = false;
        for (uint32_t n = 1; n < 200 && !succeeded; ++n) {
            SCOPED_TRACE(n);
            if (command == 0) Select({ a, b });
            else Select({ a });
            SetAllocFailureAfter(n);
            const ResultCode rc = command == 0 ? MergeCommand(0) : SplitCommand(0);
            SetAllocFailureAfter(0);
            if (rc == kResultOK) {
                succeeded = true;
                break;
            }
            EXPECT_EQ(rc, kResultOutOfMemory);
            EXPECT_EQ(SketchOrder(), before);
            EXPECT_EQ(Parents(ac)[0], a);
            EXPECT_EQ(Parents(ae)[0], a);
            EXPECT_EQ(PointPosition(a).x, 0);
            EXPECT_EQ(UndoDepth(), 0);
        }
        EXPECT_TRUE(succeeded);
        ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
        EXPECT_EQ(SketchOrder().size(), before.size());
        EXPECT_TRUE(OrderHolds());
        UndoTrimHistory(sketch, 0);
    }
}
