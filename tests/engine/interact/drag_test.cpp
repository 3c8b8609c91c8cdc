// One drag through the frame: the plan is made, the drag begins, pointer moves only
// record the target and the sketch's frame tick applies it.
#include <gtest/gtest.h>

#include "engine/core/frame_tick.h"
#include "engine/core/marks.h"
#include "engine/core/memory.h"
#include "engine/core/points.h"
#include "engine/core/sketch_fixture.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/drag.h"
#include "engine/interact/motion.h"
#include "engine/interact/undo.h"
#include "support/clock_double.h"

namespace {

class DragTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        SetTestTickCount(1000);
        SetCurrentTool(kToolTranslateArrow);
        MakeCurrentSketchFront();
    }
    void TearDown() override {
        EndObjectDrag();
        StopMotions(0);
        RemoveIdleTask(&sketch->ticker.task);
        SetCurrentTool(kToolTranslateArrow);
        SketchTest::TearDown();
    }

    static RealPoint At(const SketchObject* p) { return PointPosition(p); }

    // Drags the tempLink chain from `from`; 1 when the drag runs.
    int32_t Begin(SketchObject* first, ScreenPoint from, int32_t mode = kDragTranslate) {
        first->tempLink = nullptr;
        DragPlanEntry* plan = PlanDragOf(first, mode);
        const UndoDescriptor name = { static_cast<uint16_t>(kUndoNameTranslate + mode), kUndoNounWorkedOut, 0, nullptr };
        return BeginObjectDrag(from, plan, &name, nullptr);
    }

    void Frame() {
        AdvanceTestTickCount(kFrameMs);
        FrameTick(&sketch->ticker.task, 0);
    }

    void ExpectAt(const SketchObject* p, double x, double y) {
        EXPECT_NEAR(At(p).x, x, 1e-9);
        EXPECT_NEAR(At(p).y, y, 1e-9);
    }
};

TEST_F(DragTest, MovesWaitForTheFrameAndEachFrameAppliesTheWholeMapOnce) {
    SketchObject* a = PointAt(10, 10);
    SketchObject* b = PointAt(30, 10);
    SketchObject* mid = Build(kTypeMidpoint, { Build(kTypeSegment, { a, b }) });
    ASSERT_EQ(Begin(a, { 10, 10 }), 1);
    EXPECT_TRUE(DragInProgress(sketch));
    for (int16_t x = 11; x <= 20; ++x) DragObjectsTo({ x, 15 });
    ExpectAt(a, 10, 10);  // nothing before the frame
    const uint32_t generation = a->generation;
    Frame();
    ExpectAt(a, 20, 15);
    ExpectAt(mid, 25, 12.5);
    // Two frames on the same target leave the point where it is: each restores the
    // geometry saved at the start and applies the whole translation again.
    Frame();
    ExpectAt(a, 20, 15);
    EXPECT_GT(a->generation, generation);
    // The moving set: the dragged point moved, the segment and midpoint depend on it.
    EXPECT_EQ(a->motionRole, kMoveMoved);
    EXPECT_EQ(mid->motionRole, kMoveAllParents);
    EXPECT_EQ(b->motionRole, kMoveNone);
    // The release point is applied even when no frame came after it.
    DragObjectsTo({ 40, 40 });
    EndObjectDrag();
    ExpectAt(a, 40, 40);
    EXPECT_FALSE(DragInProgress(nullptr));
}

TEST_F(DragTest, TheMovingSetIsRebuiltOnlyWhenTheSketchStructureChanges) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* seg = Build(kTypeSegment, { a, PointAt(10, 0) });
    ASSERT_EQ(Begin(a, { 0, 0 }), 1);
    Frame();
    const uint32_t stamp = sketch->motion.movingSetStamp;
    ASSERT_EQ(sketch->motion.movingSetInvalid, 0);
    // Frames without a structure change reuse the set: marking an object shows whether
    // the set was walked again.
    seg->motionRole = 99;
    Frame();
    Frame();
    EXPECT_EQ(seg->motionRole, 99);
    seg->motionRole = kMoveAllParents;
    // A new dependant changes the structure: the next frame takes it in.
    SketchObject* mid = Build(kTypeMidpoint, { seg });
    Frame();
    EXPECT_NE(sketch->motion.movingSetStamp, stamp);
    EXPECT_NE(mid->motionRole, kMoveNone);
}

TEST_F(DragTest, RotateAndDilateNeedACentreAndFollowThePointer) {
    SketchObject* p = PointAt(20, 0);
    SetCurrentTool(kToolRotateArrow);
    SketchObject* centre = PointAt(0, 0);
    ASSERT_TRUE(MarkObject(kMarkCentre, centre, false));
    ASSERT_EQ(Begin(p, { 20, 0 }, kDragRotate), 1);
    DragObjectsTo({ 0, 5 });  // a quarter turn, whatever the pointer's distance
    Frame();
    ExpectAt(p, 0, 20);
    EndObjectDrag();

    SetCurrentTool(kToolDilateArrow);
    struct Case { int16_t x, y; double ratio; };
    // On the start ratio 1, on the centre 0, through it negative; off the line the
    // projection counts.
    for (const Case c : { Case{ 0, 20, 1.0 }, Case{ 0, 0, 0.0 }, Case{ 0, -10, -0.5 }, Case{ 7, 10, 0.5 } }) {
        SCOPED_TRACE(c.ratio);
        SetPointPosition(p, 0, 20, 1, nullptr, false);
        ASSERT_EQ(Begin(p, { 0, 20 }, kDragDilate), 1);
        DragObjectsTo({ c.x, c.y });
        Frame();
        ExpectAt(p, 0, 20 * c.ratio);
        EndObjectDrag();
    }
}

TEST_F(DragTest, TheUndoRecordPutsBackTheMovedObjectsAndTheSelection) {
    SketchObject* a = PointAt(10, 10);
    SketchObject* mid = Build(kTypeMidpoint, { Build(kTypeSegment, { a, PointAt(30, 10) }) });
    SelectSketchObject(a);
    ASSERT_EQ(Begin(a, { 10, 10 }), 1);
    DragObjectsTo({ 50, 30 });
    Frame();
    EndObjectDrag();
    ExpectAt(mid, 40, 20);
    ASSERT_NE(sketch->undoPosition, nullptr);
    EXPECT_EQ(UndoRecordNameIndex(sketch->undoPosition), kUndoNameTranslate);
    ASSERT_EQ(UndoReplay(1), kResultOK);
    ExpectAt(a, 10, 10);
    ExpectAt(mid, 20, 10);
    EXPECT_TRUE(IsSelected(a));
    ASSERT_EQ(UndoReplay(0), kResultOK);
    ExpectAt(a, 50, 30);
}

TEST_F(DragTest, AFailedAllocationAtTheStartLeavesNoDragState) {
    SketchObject* a = PointAt(10, 10);
    Build(kTypeMidpoint, { Build(kTypeSegment, { a, PointAt(30, 10) }) });
    SelectSketchObject(a);
    bool started = false;
    for (int32_t n = 1; n < 200 && !started; ++n) {
        SCOPED_TRACE(n);
        UndoRecord* undo = sketch->undoPosition;
        SetAllocFailureAfter(n);
        a->tempLink = nullptr;
        DragPlanEntry* plan = PlanDragOf(a, kDragTranslate);
        const UndoDescriptor name = { kUndoNameTranslate, kUndoNounWorkedOut, 0, nullptr };
        started = plan && BeginObjectDrag({ 10, 10 }, plan, &name, nullptr) == 1;
        SetAllocFailureAfter(0);
        if (started) break;
        EXPECT_FALSE(DragInProgress(nullptr));
        EXPECT_EQ(DragPlan(), nullptr);
        EXPECT_EQ(sketch->undoPosition, undo);
        EXPECT_EQ(sketch->motion.snapDraggedPoints, 0);
        EXPECT_FALSE(sketch->ticker.task.queued);
    }
    EXPECT_TRUE(started);
}

TEST_F(DragTest, AnAnimatedPointStopsWhileDraggedAndGoesOnAfterwards) {
    SketchObject* a = PointAt(10, 10);
    ASSERT_EQ(StartMotion(CreateMotion(a, nullptr, kMotionRandomFree, 0, 1, 1.8), nullptr, nullptr), 0);
    Motion* motion = sketch->motion.motionsHead;
    ASSERT_EQ(Begin(a, { 10, 10 }), 1);
    EXPECT_EQ(motion->suspended, 1);
    DragObjectsTo({ 20, 20 });
    Frame();
    ExpectAt(a, 20, 20);
    EndObjectDrag();
    EXPECT_EQ(motion->suspended, 0);
    EXPECT_EQ(sketch->motion.motionsHead, motion);
    // A motion started during a drag of its target is suspended at once.
    ASSERT_EQ(Begin(a, { 20, 20 }), 1);
    StopMotions(0);
    ASSERT_EQ(StartMotion(CreateMotion(a, nullptr, kMotionRandomFree, 0, 1, 1.8), nullptr, nullptr), 0);
    EXPECT_EQ(sketch->motion.motionsHead->suspended, 1);
}

TEST_F(DragTest, TheNudgeStepsOneUnitPerFrameAfterTwoRepeatDelays) {
    SketchObject* a = PointAt(10, 10);
    SelectSketchObject(a);
    ASSERT_EQ(NudgeArrowKey(1, 0, true), kResultOK);
    ASSERT_TRUE(DragInProgress(sketch));
    Frame();
    ExpectAt(a, 11, 10);  // the first step at once
    Frame();
    ExpectAt(a, 11, 10);  // then 300 ms
    AdvanceTestTickCount(300);
    Frame();
    ExpectAt(a, 12, 10);
    Frame();
    ExpectAt(a, 12, 10);  // and 300 ms again
    AdvanceTestTickCount(300);
    Frame();
    Frame();
    Frame();
    ExpectAt(a, 15, 10);  // from then on every frame
    NudgeArrowKey(0, 1, true);
    Frame();
    ExpectAt(a, 16, 11);
    NudgeArrowKey(1, 0, false);
    EXPECT_TRUE(DragInProgress(sketch));
    NudgeArrowKey(0, 1, false);
    EXPECT_FALSE(DragInProgress(nullptr));
    EXPECT_EQ(UndoRecordNameIndex(sketch->undoPosition), kUndoNameTranslate);

    DeselectAll();
    EXPECT_EQ(NudgeArrowKey(1, 0, true), kResultOK);  // nothing selected: nothing
    EXPECT_FALSE(DragInProgress(nullptr));
}

}  // namespace
