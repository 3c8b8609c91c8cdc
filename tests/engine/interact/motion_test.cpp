// Motions of a sketch: Animate's choice of motions, starting and finishing, frames,
// pausing, speeds, the activity word and the number keys.
#include <gtest/gtest.h>

#include <vector>

#include "engine/calc/parameters.h"
#include "engine/calc/value_objects.h"
#include "engine/core/frame_tick.h"
#include "engine/core/memory.h"
#include "engine/core/points.h"
#include "engine/core/services/clock.h"
#include "engine/core/sketch_fixture.h"
#include "engine/interact/drag.h"
#include "engine/interact/motion.h"
#include "engine/interact/undo.h"
#include "support/clock_double.h"

namespace {

class MotionTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        SetTestTickCount(1000);
        MakeCurrentSketchFront();
        ActivityWord() = 0;
    }
    void TearDown() override {
        StopMotions(0);
        RemoveIdleTask(&sketch->ticker.task);
        SketchTest::TearDown();
        ActivityWord() = 0;
    }

    SketchObject* Parameter(double value, double keyStep) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCalculation, 1, kKindParameter, 0 };
        SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(p, nullptr);
        CalculationDataOf(p)->change.step = keyStep;
        EXPECT_TRUE(SetParameterValue(p, value, false));
        UpdateFreeCalculation(p);
        return p;
    }

    Motion* Start(SketchObject* target, int32_t type = kMotionRandomFree, SketchObject* path = nullptr) {
        Motion* m = CreateMotion(target, path, type, 0, 1, SpeedUnit() * 3);
        EXPECT_EQ(StartMotion(m, nullptr, nullptr), 0);
        return m;
    }

    bool Frame() {
        AdvanceTestTickCount(kFrameMs);
        return FrameTick(&sketch->ticker.task, 0) != 0;
    }

    int32_t MotionCount() const {
        int32_t n = 0;
        for (Motion* m = sketch->motion.motionsHead; m; m = m->next) ++n;
        return n;
    }
};

TEST_F(MotionTest, AnimateChoosesTheMotionOfEachSelectedObject) {
    SketchObject* free = PointAt(5, 5);
    SketchObject* onSegment = Build(kTypePointOnPath, { Build(kTypeSegment, { PointAt(0, 0), PointAt(50, 0) }) });
    SketchObject* circle = Build(kTypeCircleByPoint, { PointAt(100, 100), PointAt(120, 100) });
    SketchObject* onCircle = Build(kTypePointOnPath, { circle });
    SketchObject* origin = PointAt(200, 200);
    SketchObject* unit = Build(56, { origin });
    SketchObject* parameter = Parameter(3, 1);
    ASSERT_TRUE(onSegment && onCircle && unit);
    struct Expected { SketchObject* target; int32_t type; int32_t endMode; };
    const Expected expected[] = {
        // The free objects in the drag plan's order, then points on paths, then values.
        { unit, kMotionAxisUnit, -1 },
        { free, kMotionRandomFree, -1 },
        { onSegment, kMotionAlongPath, kEndBounce },
        { onCircle, kMotionAlongPath, kEndWrap },
        { parameter, kMotionNumber, -1 },
    };
    SketchObject* chain[] = { free, onSegment, onCircle, unit, parameter };
    for (int32_t i = 0; i < 5; ++i) chain[i]->tempLink = i + 1 < 5 ? chain[i + 1] : nullptr;
    std::vector<Motion*> made;
    for (Motion* m = CreateMotionsForSelection(free); m; m = m->listLink) made.push_back(m);
    ASSERT_EQ(made.size(), std::size(expected));
    for (size_t i = 0; i < made.size(); ++i) {
        SCOPED_TRACE(i);
        Motion* m = made[i];
        EXPECT_EQ(m->target, expected[i].target);
        EXPECT_EQ(m->type, expected[i].type);
        if (expected[i].endMode >= 0) {
            EXPECT_EQ(m->data.alongPath.endMode, expected[i].endMode);
            EXPECT_EQ(m->data.alongPath.reverse, 0);
        }
        double low = 0, high = 0;
        bool reversible = false;
        bool undo = false;
        ASSERT_EQ(StartMotion(m, nullptr, &undo), 0);
        EXPECT_TRUE(undo);
        EXPECT_TRUE(MotionSpeedRange(false, &low, &high, &reversible));
        EXPECT_DOUBLE_EQ(high, 1.0);  // 1.8 is medium speed, which reads 1
    }
    // A second motion of the same target takes over; no undo is needed for it.
    bool undo = true;
    ASSERT_EQ(StartMotion(CreateMotion(free, nullptr, kMotionRandomFree, 0, 1, 1.8), nullptr, &undo), 0);
    EXPECT_FALSE(undo);
    EXPECT_EQ(MotionCount(), 5);
}

// Every object is moved by at most one running motion: a start takes over from the
// motion that moves any of its objects, and only then needs no undo record.
TEST_F(MotionTest, AStartTakesOverExactlyTheMotionsThatMoveItsObjects) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(20, 0);
    SketchObject* mid = Build(kTypeMidpoint, { Build(kTypeSegment, { a, b }) });
    SketchObject* dest = PointAt(10, 30);
    SketchObject* other = PointAt(50, 50);
    ASSERT_NE(mid, nullptr);
    const auto starts = [](SketchObject* target, SketchObject* to, int32_t type) {
        bool undo = false;
        EXPECT_EQ(StartMotion(CreateMotion(target, to, type, 0, 0, 5), nullptr, &undo), 0);
        return undo;
    };
    struct Step { SketchObject* target; SketchObject* to; int32_t type; bool undo; int32_t running; };
    const Step steps[] = {
        { other, nullptr, kMotionRandomFree,    true,  1 },
        { mid,   dest,    kMotionToDestination, true,  2 },  // drags a and b along
        { b,     nullptr, kMotionRandomFree,    false, 2 },  // the Move goes ...
        { a,     nullptr, kMotionRandomFree,    true,  3 },  // ... and lets go of a too
        { other, nullptr, kMotionRandomFree,    false, 3 },
        { mid,   dest,    kMotionToDestination, false, 2 },  // takes over a and b at once
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(&s - steps);
        EXPECT_EQ(starts(s.target, s.to, s.type), s.undo);
        EXPECT_EQ(MotionCount(), s.running);
    }
    // A motion that ran out inside a frame, and motions stopped, move nothing any more.
    Motion* m = sketch->motion.motionsHead;
    ASSERT_EQ(m->target, mid);
    m->hasTimeLimit = 1;
    SetDeadline(&m->timeLimit, 0);
    Frame();
    EXPECT_EQ(MotionCount(), 1);
    EXPECT_TRUE(starts(a, nullptr, kMotionRandomFree));
    StopMotions(0);
    EXPECT_TRUE(starts(other, nullptr, kMotionRandomFree));
    EXPECT_TRUE(starts(a, nullptr, kMotionRandomFree));
    EXPECT_EQ(MotionCount(), 2);
}

TEST_F(MotionTest, PausingKeepsTheFrameTickAndTheLastStopClearsTheActivity) {
    SketchObject* p = PointAt(5, 5);
    Start(p);
    EXPECT_EQ(ActivityWord(), kActivityAnimating);
    EXPECT_TRUE(sketch->ticker.task.queued);
    EXPECT_TRUE(Frame());
    EXPECT_EQ(p->motionRole, kMoveMoved);
    PauseAnimationCommand(0);
    EXPECT_EQ(ActivityWord(), kActivityAnimating | kActivityPaused);
    const uint32_t frames = sketch->motion.frameCount;
    EXPECT_TRUE(Frame());
    EXPECT_TRUE(Frame());
    EXPECT_EQ(sketch->motion.frameCount, frames + 2);
    StopMotions(0);
    EXPECT_EQ(ActivityWord(), 0);
    EXPECT_EQ(sketch->motion.paused, 0);
    EXPECT_FALSE(Frame());
    EXPECT_EQ(p->motionRole, kMoveNone);
}

TEST_F(MotionTest, ChangesOfWhatAMotionDependsOnFinishIt) {
    SketchObject* path = Build(kTypeSegment, { PointAt(0, 0), PointAt(50, 0) });
    SketchObject* a = Build(kTypePointOnPath, { path });
    SketchObject* b = Build(kTypePointOnPath, { path });
    SketchObject* parameter = Parameter(1, 1);
    Start(a, kMotionAlongPath, path);
    Start(b, kMotionAlongPath, path);
    Start(parameter, kMotionNumber);
    NotifyMotionsObjectChanged(a, 1, 1);  // the point goes
    EXPECT_EQ(MotionCount(), 2);
    NotifyMotionsObjectChanged(parameter, 1, 0);  // geometry only: a number goes on
    EXPECT_EQ(MotionCount(), 2);
    NotifyMotionsObjectChanged(path, 1, 1);  // the path goes
    EXPECT_EQ(MotionCount(), 1);
    NotifyMotionsObjectChanged(parameter, 0, 1);
    EXPECT_EQ(MotionCount(), 0);
    EXPECT_EQ(ActivityWord(), 0);
}

TEST_F(MotionTest, AMotionFinishingInAFrameIsOnlyMarkedUntilTheWalkEnds) {
    SketchObject* p = PointAt(5, 5);
    Motion* m = Start(p);
    m->hasTimeLimit = 1;
    SetDeadline(&m->timeLimit, 20);
    EXPECT_TRUE(Frame());
    EXPECT_EQ(MotionCount(), 1);
    EXPECT_FALSE(Frame());  // the limit passed: finished after the walk, in this frame
    EXPECT_EQ(MotionCount(), 0);
    EXPECT_EQ(sketch->motion.finishPending, 0);
}

// Motions that finish together leave the others linked in their order, wherever they sit.
TEST_F(MotionTest, MotionsFinishingTogetherLeaveTheRestInOrder) {
    std::vector<SketchObject*> points;
    std::vector<Motion*> motions;
    for (int32_t i = 0; i < 7; ++i) {
        points.push_back(PointAt(10 * i, 10));
        motions.push_back(Start(points.back()));
    }
    const auto running = [&] {
        std::vector<SketchObject*> targets;
        for (Motion* m = sketch->motion.motionsHead; m; m = m->next) targets.push_back(m->target);
        return targets;
    };
    // The newest motion is first in the list: run out the first, a middle one and the last.
    for (int32_t i : { 0, 3, 6 }) {
        motions[i]->hasTimeLimit = 1;
        SetDeadline(&motions[i]->timeLimit, 0);
    }
    EXPECT_TRUE(Frame());
    EXPECT_EQ(running(), (std::vector<SketchObject*>{ points[5], points[4], points[2], points[1] }));
    EXPECT_EQ(RunningMotionCount(), 4);
    SelectSketchObject(points[5]);
    SelectSketchObject(points[2]);
    StopMotions(2);
    EXPECT_EQ(running(), (std::vector<SketchObject*>{ points[4], points[1] }));
    NotifyMotionsObjectChanged(points[1], 1, 0);
    EXPECT_EQ(running(), std::vector<SketchObject*>{ points[4] });
    EXPECT_EQ(RunningMotionCount(), 1);
}

// The moving set's array grows while the set is built; without memory for it, at any
// growth, the frames walk the set's chain instead, and every point still moves.
TEST_F(MotionTest, AFrameMovesEveryPointWhicheverRequestOfTheMovingSetFails) {
    sketch->windowRect = { 0, 0, 400, 300 };
    std::vector<SketchObject*> points;
    int32_t withoutArray = 0;
    for (uint32_t n = 1; n <= 10; ++n) {
        SCOPED_TRACE(n);
        // More points each turn, so that the array has to grow again.
        for (int32_t i = 0; i < 12; ++i) points.push_back(PointAt(50 + 3 * static_cast<int32_t>(points.size() % 90), 150));
        for (SketchObject* p : points) Start(p);
        std::vector<RealPoint> before;
        for (SketchObject* p : points) before.push_back(PointPosition(p));
        SetAllocFailureAfter(n);
        EXPECT_TRUE(Frame());
        SetAllocFailureAfter(0);
        std::vector<SketchObject*> chained;
        for (SketchObject* o = sketch->motion.movedHead; o; o = o->nextMoved) chained.push_back(o);
        EXPECT_EQ(chained, points);
        if (const ObjectFlagsEntry* e = sketch->motion.movedList) {
            std::vector<SketchObject*> listed;
            for (; e->object; ++e) listed.push_back(e->object);
            EXPECT_EQ(listed, chained);
        } else {
            ++withoutArray;
        }
        for (size_t i = 0; i < points.size(); ++i) {
            const RealPoint at = PointPosition(points[i]);
            EXPECT_TRUE(at.x != before[i].x || at.y != before[i].y) << "point " << i;
        }
        StopMotions(0);
    }
    EXPECT_GT(withoutArray, 0);  // some turn did run out of memory for the array
}

TEST_F(MotionTest, SpeedsAreClampedAndRangesReadInMediumUnits) {
    SketchObject* p = PointAt(5, 5);
    SketchObject* q = PointAt(6, 6);
    Start(p);
    Start(q);
    SelectSketchObject(q);
    ChangeMotionSpeeds(kFasterFactor, true, true);
    double low = 0, high = 0;
    bool reversible = true;
    ASSERT_TRUE(MotionSpeedRange(false, &low, &high, &reversible));
    EXPECT_DOUBLE_EQ(low, 1.0);
    EXPECT_NEAR(high, kFasterFactor, 1e-12);
    EXPECT_FALSE(reversible);
    ChangeMotionSpeeds(0, false, false);  // a speed of 0 cannot be set
    ASSERT_TRUE(MotionSpeedRange(true, &low, &high, &reversible));
    EXPECT_DOUBLE_EQ(high, 0.00003 / 3);
    ChangeMotionSpeeds(1, false, false);  // a typed 1 is medium speed
    ASSERT_TRUE(MotionSpeedRange(false, &low, &high, &reversible));
    EXPECT_DOUBLE_EQ(low, 1.0);
    EXPECT_DOUBLE_EQ(high, 1.0);
    StopMotions(2 | 1);  // only the selection's, selecting its target again
    EXPECT_EQ(MotionCount(), 1);
    EXPECT_EQ(sketch->motion.motionsHead->target, p);
    EXPECT_TRUE(IsSelected(q));
}

TEST_F(MotionTest, EndingActivitiesKeepsWhatTheMaskKeeps) {
    SketchObject* p = PointAt(5, 5);
    Start(p);
    PauseAnimationCommand(0);
    ActivityWord() |= kActivityTool;
    EXPECT_EQ(EndActivitiesExcept(14), kActivityAnimating | kActivityPaused);
    EXPECT_EQ(MotionCount(), 1);
    EXPECT_EQ(EndActivitiesExcept(2), kActivityAnimating);  // resumed, still running
    EXPECT_EQ(sketch->motion.paused, 0);
    EXPECT_EQ(EndActivitiesExcept(0), 0);
    EXPECT_EQ(MotionCount(), 0);

    // The front sketch's state follows it.
    Start(p);
    PauseAnimationCommand(0);
    SyncAnimationState(sketch, nullptr);
    EXPECT_EQ(ActivityWord(), 0);
    SyncAnimationState(nullptr, sketch);
    EXPECT_EQ(ActivityWord(), kActivityAnimating | kActivityPaused);
}

TEST_F(MotionTest, NumberKeysWithin750MsMakeOneUndoStep) {
    SketchObject* parameter = Parameter(2, -0.5);
    SelectSketchObject(parameter);
    const int32_t before = UndoDepth();
    ASSERT_EQ(StepNumberMotions(1), 0);
    AdvanceTestTickCount(700);
    ASSERT_EQ(StepNumberMotions(1), 0);
    EXPECT_DOUBLE_EQ(ValueDisplayOf(parameter)->value, 3.0);
    EXPECT_EQ(UndoDepth(), before + 1);
    EXPECT_EQ(UndoRecordNameIndex(sketch->undoPosition), kUndoNameChange);
    EXPECT_EQ(MotionCount(), 0);  // the motions only recorded the undo step
    AdvanceTestTickCount(751);
    ASSERT_EQ(StepNumberMotions(1), 0);
    EXPECT_EQ(UndoDepth(), before + 2);
    // The other direction starts a new step at once.
    ASSERT_EQ(StepNumberMotions(-1), 0);
    EXPECT_EQ(UndoDepth(), before + 3);
    EXPECT_DOUBLE_EQ(ValueDisplayOf(parameter)->value, 3.0);
}

TEST_F(MotionTest, StopAllSketchesStopsEverySketch) {
    Sketch* other = CreateSketch(0, nullptr);
    ASSERT_NE(other, nullptr);
    Sketch* mine = nullptr;
    SetCurrentSketch(other, &mine);
    SketchObject* q = PointAt(1, 1);
    Start(q);
    SetCurrentSketch(mine, nullptr);
    Start(PointAt(5, 5));
    EXPECT_EQ(RunningMotionCount(), 2);
    StopAllSketchesMotions(0);
    EXPECT_EQ(RunningMotionCount(), 0);
    EXPECT_EQ(other->motion.motionsHead, nullptr);
    FreeSketch(other);
    SetCurrentSketch(mine, nullptr);

    // However many sketches animate, every one is reached.
    std::vector<Sketch*> many;
    for (int32_t i = 0; i < 70; ++i) {
        Sketch* s = CreateSketch(0, nullptr);
        ASSERT_NE(s, nullptr);
        many.push_back(s);
        SetCurrentSketch(s, nullptr);
        Start(PointAt(i, 1));
    }
    SetCurrentSketch(mine, nullptr);
    EXPECT_EQ(RunningMotionCount(), 70);
    StopAllSketchesMotions(0);
    EXPECT_EQ(RunningMotionCount(), 0);
    for (Sketch* s : many) {
        EXPECT_EQ(s->motion.motionsHead, nullptr);
        SetCurrentSketch(s, nullptr);
        RemoveIdleTask(&s->ticker.task);
        FreeSketch(s);
    }
    SetCurrentSketch(mine, nullptr);
}

}  // namespace
