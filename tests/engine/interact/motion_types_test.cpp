// How each motion type moves its target frame by frame, on the test clock.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/calc/value_objects.h"
#include "engine/core/construction_data.h"
#include "engine/core/frame_tick.h"
#include "engine/core/points.h"
#include "engine/core/random.h"
#include "engine/core/sketch_fixture.h"
#include "engine/docio/packed_values.h"
#include "engine/interact/motion.h"
#include "engine/interact/motion_params.h"
#include "engine/interact/mouse.h"
#include "support/clock_double.h"

namespace {

constexpr double kPi = 3.141592653589793;

class MotionTypesTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        SetTestTickCount(1000);
        MakeCurrentSketchFront();
        ActivityWord() = 0;
        sketch->windowRect = { 0, 0, 400, 300 };
    }
    void TearDown() override {
        StopMotions(0);
        RemoveIdleTask(&sketch->ticker.task);
        SketchTest::TearDown();
        ActivityWord() = 0;
    }

    SketchObject* Parameter(double value) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCalculation, 1, kKindParameter, 0 };
        SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(p, nullptr);
        EXPECT_TRUE(SetParameterValue(p, value, false));
        UpdateFreeCalculation(p);
        return p;
    }

    Motion* Start(SketchObject* target, SketchObject* other, int32_t type, int32_t mode, int32_t direction,
                  double speed, ResultCode expected = kResultOK) {
        Motion* m = CreateMotion(target, other, type, mode, direction, speed);
        EXPECT_NE(m, nullptr);
        EXPECT_EQ(StartMotion(m, nullptr, nullptr), expected);
        return expected == kResultOK ? m : nullptr;
    }

    // One frame of the sketch, 16 ms later.
    void Frame() {
        AdvanceTestTickCount(kFrameMs);
        AnimationStep();
    }

    bool Running(const Motion* motion) const {
        for (Motion* m = sketch->motion.motionsHead; m; m = m->next) {
            if (m == motion) return true;
        }
        return false;
    }

    static double NumberOf(const SketchObject* p) { return CalculationValue(p); }
    static void SetNumber(SketchObject* p, double value) {
        ASSERT_TRUE(SetParameterValue(p, value, false));
        RecomputeObject(p, nullptr, true);
    }
};

// The parameter of a point on a segment from (0, 0) to (100, 0) is its x / 100; bouncing
// is a triangle wave over [0, 1], however many spans one frame covers.
TEST_F(MotionTypesTest, PathMotionsBounceOnSegmentsAndWrapOnCircles) {
    struct Case { double speed; int32_t frames; };
    const Case cases[] = { { 7, 40 }, { 130, 9 }, { 260, 9 }, { 45000, 5 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        SketchObject* segment = Build(kTypeSegment, { PointAt(0, 0), PointAt(100, 0) });
        SketchObject* p = Build(kTypePointOnPath, { segment }, nullptr, Reals(0.2, 0));
        ASSERT_NE(p, nullptr);
        Motion* m = Start(p, segment, kMotionAlongPath, kEndBounce, 1, c.speed);
        const double v = ClampSpeed(c.speed) / 100;
        for (int32_t k = 1; k <= c.frames; ++k) {
            Frame();
            const double x = PointPosition(p).x;
            ASSERT_GE(x, -1e-9);
            ASSERT_LE(x, 100 + 1e-9);
            if (v <= 2) {  // within two spans the wave is exact
                double u = std::fmod(0.2 + k * v, 2.0);
                if (u > 1) u = 2 - u;
                EXPECT_NEAR(x, 100 * u, 1e-7) << "frame " << k;
            }
        }
        EXPECT_TRUE(Running(m));
        StopMotions(0);
    }

    // A circle of radius 50 about (200, 150): the point keeps its distance and its
    // angle grows by speed / radius each frame, wrapping past a full turn.
    SketchObject* centre = PointAt(200, 150);
    SketchObject* circle = Build(kTypeCircleByPoint, { centre, PointAt(250, 150) });
    SketchObject* q = Build(kTypePointOnPath, { circle }, nullptr, Reals(1, 0));
    Start(q, circle, kMotionAlongPath, kEndWrap, 1, 40);
    double angle = 0;
    for (int32_t k = 1; k <= 20; ++k) {
        Frame();
        const RealPoint at = PointPosition(q);
        EXPECT_NEAR(std::hypot(at.x - 200, at.y - 150), 50, 1e-9);
        angle = std::fmod(angle + 40.0 / 50, 2 * kPi);
        double now = std::atan2(150 - at.y, at.x - 200);  // y grows downwards: forward is counter-clockwise
        if (now < 0) now += 2 * kPi;
        EXPECT_NEAR(now, angle, 1e-9) << "frame " << k;
    }
}

TEST_F(MotionTypesTest, OnceAroundStopsWhereItStartedAndOnceAcrossAtTheFarEnd) {
    SketchObject* circle = Build(kTypeCircleByPoint, { PointAt(200, 150), PointAt(250, 150) });
    SketchObject* q = Build(kTypePointOnPath, { circle }, nullptr, Reals(0, 1));  // a quarter turn on
    const RealPoint start = PointPosition(q);
    for (const int32_t direction : { 1, -1 }) {
        SCOPED_TRACE(direction);
        Motion* m = Start(q, circle, kMotionAlongPath, kEndOnceAround, direction, 7);
        int32_t frames = 0;
        while (Running(m) && frames < 1000) {
            Frame();
            ++frames;
        }
        // 2 pi 50 / 7 = 44.9 frames: the 45th lands exactly on the start.
        EXPECT_EQ(frames, 45);
        EXPECT_NEAR(PointPosition(q).x, start.x, 1e-9);
        EXPECT_NEAR(PointPosition(q).y, start.y, 1e-9);
    }
    SketchObject* segment = Build(kTypeSegment, { PointAt(0, 0), PointAt(100, 0) });
    SketchObject* p = Build(kTypePointOnPath, { segment }, nullptr, Reals(0.5, 0));
    Motion* m = Start(p, segment, kMotionAlongPath, kEndOnceAcross, 1, 30);
    int32_t frames = 0;
    while (Running(m) && frames < 100) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(frames, 4);  // from the start of the segment, 30 a frame
    EXPECT_DOUBLE_EQ(PointPosition(p).x, 100);
}

TEST_F(MotionTypesTest, ADraggedPathPointGoesOnFromWhereItWasDropped) {
    SketchObject* segment = Build(kTypeSegment, { PointAt(0, 0), PointAt(100, 0) });
    SketchObject* p = Build(kTypePointOnPath, { segment }, nullptr, Reals(0.1, 0));
    Motion* m = Start(p, segment, kMotionAlongPath, kEndBounce, 1, 5);
    Frame();
    EXPECT_NEAR(PointPosition(p).x, 15, 1e-9);
    m->suspended = 1;
    MotionTypeOps[kMotionAlongPath].suspend(m, 1);
    SetPointPosition(p, 70, 0, 1, nullptr, false);
    m->suspended = 0;
    MotionTypeOps[kMotionAlongPath].suspend(m, 0);
    Frame();
    EXPECT_NEAR(PointPosition(p).x, 75, 1e-9);
}

TEST_F(MotionTypesTest, AMouseDragOfAnAnimatedPointHoldsItAndTheAnimationGoesOn) {
    SketchObject* segment = Build(kTypeSegment, { PointAt(0, 100), PointAt(200, 100) });
    SketchObject* p = Build(kTypePointOnPath, { segment }, nullptr, Reals(0.25, 0));
    SketchObject* other = PointAt(300, 50);
    Motion* m = Start(p, segment, kMotionAlongPath, kEndBounce, 1, 0.5);
    Start(other, nullptr, kMotionRandomFree, 0, 1, 1);
    ResetMouseState();
    Frame();
    const int16_t x = static_cast<int16_t>(std::lround(PointPosition(p).x));
    SketchMouseDown(0, { x, 100 });
    for (int16_t k = 1; k <= 20; ++k) {
        SketchMouseHover(0, { static_cast<int16_t>(x + k), 100 }, 0);
        Frame();
    }
    const double held = PointPosition(p).x;
    for (int32_t k = 0; k < 10; ++k) Frame();
    EXPECT_DOUBLE_EQ(PointPosition(p).x, held);
    SketchMouseUp(0, { static_cast<int16_t>(x + 20), 100 });
    Frame();
    EXPECT_TRUE(Running(m));
    EXPECT_EQ(RunningMotionCount(), 2);
    EXPECT_EQ(ActivityWord() & kActivityAnimating, kActivityAnimating);
    EXPECT_NEAR(PointPosition(p).x, held + 0.5, 1e-6);
}

TEST_F(MotionTypesTest, MissingPathsAndParametersRefuseToStart) {
    SketchObject* segment = Build(kTypeSegment, { PointAt(0, 0), PointAt(100, 0) });
    SketchObject* p = Build(kTypePointOnPath, { segment }, nullptr, Reals(0.1, 0));
    segment->exists = 0;
    Start(p, segment, kMotionAlongPath, kEndBounce, 1, 5, kAlertNoPath);
    Start(p, segment, kMotionRandomOnPath, 0, 1, 5, kAlertNoPath);
    SketchObject* number = Value(3);  // a measurement, not a parameter
    Start(number, nullptr, kMotionNumber, 0, 1, 5, kAlertBadParameter);
}

TEST_F(MotionTypesTest, ARandomPointLeftOfTheWindowDriftsBack) {
    SetRandomSeed(7);
    // A quarter of the window's width beyond its left edge: the push is a full speed,
    // so no step goes further left until the point is within 0.1 of the width outside.
    SketchObject* p = PointAt(-100, 150);
    Start(p, nullptr, kMotionRandomFree, 0, 1, 3);
    double x = -100;
    int32_t inside = -1;
    for (int32_t k = 0; k < 600; ++k) {
        Frame();
        const RealPoint at = PointPosition(p);
        if (x < -40) {
            EXPECT_GE(at.x, x - 1e-9) << "frame " << k;
        }
        if (inside < 0 && at.x > 0) inside = k;
        if (inside >= 0) {
            // Once back it stays near the window.
            ASSERT_GT(at.x, -60);
            ASSERT_LT(at.x, 460);
            ASSERT_GT(at.y, -60);
            ASSERT_LT(at.y, 360);
        }
        x = at.x;
    }
    EXPECT_GE(inside, 0);
    EXPECT_LT(inside, 150);
    // Once only: one step, then the motion ends.
    Motion* once = Start(p, nullptr, kMotionRandomFree, 1, 1, 3);
    const RealPoint before = PointPosition(p);
    Frame();
    EXPECT_FALSE(Running(once));
    EXPECT_NEAR(std::hypot(PointPosition(p).x - before.x, PointPosition(p).y - before.y), 3, 3 * 1.01);
}

TEST_F(MotionTypesTest, RandomPathJumpsComeAtIntervalsOfTheSpeed) {
    SketchObject* segment = Build(kTypeSegment, { PointAt(0, 0), PointAt(100, 0) });
    SketchObject* p = Build(kTypePointOnPath, { segment }, nullptr, Reals(0.5, 0));
    struct Case { double mediums; int32_t jumpsIn1000Ms; };
    // Medium speed: one jump a second, the first at once; 250 mediums: every frame.
    const Case cases[] = { { 1, 1 }, { 2, 2 }, { 4, 4 }, { 250, 63 } };
    SetRandomSeed(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mediums);
        Start(p, segment, kMotionRandomOnPath, 0, 1, SpeedUnit() * 3 * c.mediums);
        int32_t jumps = 0;
        double last = PointPosition(p).x;
        for (int32_t t = 0; t <= 1000; t += kFrameMs) {
            Frame();
            if (PointPosition(p).x != last) ++jumps;
            last = PointPosition(p).x;
            ASSERT_GE(last, 0);
            ASSERT_LE(last, 100);
        }
        EXPECT_EQ(jumps, c.jumpsIn1000Ms);
        StopMotions(0);
    }
}

TEST_F(MotionTypesTest, AnAxisUnitValueOf40MovesBetween1And151) {
    SketchObject* origin = PointAt(200, 200);
    const double forty = 40;
    SketchObject* unit = Build(56, { origin }, nullptr, DataBlock(&forty, sizeof forty));
    ASSERT_NE(unit, nullptr);
    Start(unit, origin, kMotionAxisUnit, 0, 1, 7);
    double low = 1e9, high = -1e9;
    for (int32_t k = 0; k < 100; ++k) {
        Frame();
        double v = 0;
        ASSERT_TRUE(ReadConstructionData(unit, &v, sizeof v));
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 151);
        EXPECT_NEAR(PointPosition(unit).x, 200 + v, 1e-9);
        low = std::fmin(low, v);
        high = std::fmax(high, v);
    }
    EXPECT_LT(low, 8);
    EXPECT_GT(high, 144);
}

TEST_F(MotionTypesTest, MovesArriveTogetherAndAnInstantMoveIdlesOneFrame) {
    SketchObject* p = PointAt(0, 0);
    SketchObject* dest = PointAt(30, 40);
    // Instant: one frame of nothing, then the jump, then the end.
    Motion* m = Start(p, dest, kMotionToDestination, 0, 0, 0);
    Frame();
    EXPECT_EQ(PointPosition(p).x, 0);
    EXPECT_TRUE(Running(m));
    Frame();
    EXPECT_EQ(PointPosition(p).x, 30);
    EXPECT_EQ(PointPosition(p).y, 40);
    EXPECT_FALSE(Running(m));
    // Already there; a destination that does not exist.
    Start(p, dest, kMotionToDestination, 0, 0, 10, kAlertAtDestination);
    dest->exists = 0;
    Start(p, dest, kMotionToDestination, 0, 0, 10, kAlertNoDestination);
    dest->exists = 1;

    // At 10 a frame, 50 away: five steps, then one extra frame.
    SetPointPosition(dest, 30, 40, 1, nullptr, false);
    SketchObject* q = PointAt(60, 80);
    m = Start(q, dest, kMotionToDestination, 0, 0, 10);
    std::vector<double> xs;
    while (Running(m) && xs.size() < 20) {
        Frame();
        xs.push_back(PointPosition(q).x);
    }
    ASSERT_EQ(xs.size(), 6u);
    EXPECT_NEAR(xs[0], 54, 1e-9);
    EXPECT_NEAR(xs[4], 30, 1e-9);
    EXPECT_NEAR(PointPosition(q).y, 40, 1e-9);
}

TEST_F(MotionTypesTest, AMovedSegmentEndDragsItsSegmentAlong) {
    // A midpoint moved to a destination moves the end points of its segment.
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(20, 0);
    SketchObject* segment = Build(kTypeSegment, { a, b });
    SketchObject* mid = Build(kTypeMidpoint, { segment });
    SketchObject* dest = PointAt(10, 30);
    Motion* m = Start(mid, dest, kMotionToDestination, 0, 0, 5);
    for (int32_t k = 0; k < 20 && Running(m); ++k) Frame();
    EXPECT_FALSE(Running(m));
    EXPECT_NEAR(PointPosition(mid).y, 30, 0.05);
    EXPECT_NEAR(PointPosition(a).y, 30, 0.05);
    EXPECT_NEAR(PointPosition(b).x, 20, 1e-9);
}

TEST_F(MotionTypesTest, APathPointMovesAlongItsPathToTheDestinationsProjection) {
    // Lengths that binary fractions hold exactly: 64 to go at 16 a frame.
    SketchObject* segment = Build(kTypeSegment, { PointAt(0, 0), PointAt(128, 0) });
    SketchObject* p = Build(kTypePointOnPath, { segment }, nullptr, Reals(0.125, 0));
    SketchObject* dest = PointAt(80, 0);
    Motion* m = Start(p, dest, kMotionToDestination, 0, 0, 16);
    int32_t frames = 0;
    while (Running(m) && frames < 50) {
        Frame();
        ++frames;
        EXPECT_NEAR(PointPosition(p).y, 0, 1e-9);
    }
    EXPECT_EQ(frames, 5);  // four steps and the extra frame
    EXPECT_NEAR(PointPosition(p).x, 80, 1e-9);
    // Off the path, already at the projection: it starts (the destination may still
    // come), at the projection and farther than 0.05.
    SetPointPosition(dest, 70, 10, 1, nullptr, false);
    EXPECT_NE(Start(p, dest, kMotionToDestination, 2, 0, 20), nullptr);
}

TEST_F(MotionTypesTest, NumbersChangeByTheirSettings) {
    SketchObject* p = Parameter(10);
    MotionParams record;
    MotionParamsDefaults(&record);
    PtrList targets = List({ p });
    PtrList records = 0;
    auto run = [&](uint32_t flags, double rate, double seconds, double low, double high) {
        record.motionFlags = flags;
        record.speed = PackReal32(rate);
        record.seconds = PackReal32(seconds);
        record.rangeLow = PackReal32(low);
        record.rangeHigh = PackReal32(high);
        EXPECT_TRUE(StoreMotionParams(&records, 0, record));
        Motion* m = CreateMotion(p, nullptr, kMotionNumber, 0, 1, SpeedUnit() * 3);
        m->listLink = nullptr;
        ApplyMotionParams(m, targets, records);
        EXPECT_EQ(StartMotion(m, nullptr, nullptr), 0);
        return m;
    };

    // Rate 5 every 2 s: a jump at once, then every 2000 ms; at twice the speed every 1000.
    SetNumber(p, 10);
    run(kMotionFlagDiscrete, 5, 2, 0, 1000);
    std::vector<double> jumps;
    double last = NumberOf(p);
    for (uint32_t t = 0; t < 4100; t += kFrameMs) {
        Frame();
        if (NumberOf(p) != last) {
            EXPECT_DOUBLE_EQ(NumberOf(p) - last, 5);
            jumps.push_back(t);
        }
        last = NumberOf(p);
    }
    ASSERT_EQ(jumps.size(), 3u);
    // Deadlines pass at the first frame after them: within one frame.
    EXPECT_NEAR(jumps[1] - jumps[0], 2000, kFrameMs);
    EXPECT_NEAR(jumps[2] - jumps[1], 2000, kFrameMs);
    ChangeMotionSpeeds(2, false, true);
    jumps.clear();
    for (uint32_t t = 0; t < 5100; t += kFrameMs) {
        Frame();
        if (NumberOf(p) != last) jumps.push_back(t);
        last = NumberOf(p);
    }
    ASSERT_GE(jumps.size(), 4u);
    EXPECT_NEAR(jumps[2] - jumps[1], 1000, kFrameMs);
    StopMotions(0);

    // Continuous, both ways over 0..10 at 100 a second: 1.6 a frame, bouncing.
    SetNumber(p, 5);
    run(2u << kMotionDirectionShift, 100, 1, 0, 10);
    const double expected[] = { 6.6, 8.2, 9.8, 8.6, 7.0 };
    for (const double e : expected) {
        Frame();
        EXPECT_NEAR(NumberOf(p), e, 1e-9);
    }
    StopMotions(0);

    // A stored record with equal ends, no rate and no seconds is put in order as the
    // page would store it: 7..8 at 1 a second (0.016 a frame), wrapping; never NaN.
    SetNumber(p, 7.5);
    run(0, 0, 0, 7, 7);
    for (int32_t k = 1; k <= 200; ++k) {
        Frame();
        ASSERT_TRUE(std::isfinite(NumberOf(p)));
        ASSERT_GE(NumberOf(p), 7);
        ASSERT_LE(NumberOf(p), 8);
        if (k == 10) {
            EXPECT_NEAR(NumberOf(p), 7.66, 1e-9);
        }
    }
    StopMotions(0);

    // A huge stored interval waits as long as a deadline can, not a wrapped time.
    SetNumber(p, 1);
    Motion* slow = run(kMotionFlagDiscrete, 1, 1e20, 0, 10);
    EXPECT_EQ(slow->data.number.intervalMs, 0x7fffffff);
    Frame();
    EXPECT_DOUBLE_EQ(NumberOf(p), 2);  // the first jump comes at once
    for (int32_t k = 0; k < 100; ++k) Frame();
    EXPECT_DOUBLE_EQ(NumberOf(p), 2);
    StopMotions(0);

    // Once around: increasing from 3 over 0..10 wraps and stops back at 3.
    SetNumber(p, 3);
    Motion* once = run(kMotionFlagOnceOnly, 100, 1, 0, 10);
    int32_t frames = 0;
    while (Running(once) && frames < 100) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(frames, 7);  // ten units at 1.6 a frame
    EXPECT_DOUBLE_EQ(NumberOf(p), 3);
    FreePtrList(&targets);
    FreePtrList(&records);
}

}  // namespace
