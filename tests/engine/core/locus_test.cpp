// Loci of points: sampling along closed and open paths, the joins and gaps between
// samples, the end kinds, sample counts, the locus as a path, printing and memory.
#include "engine/core/locus.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "engine/core/angle_constants.h"
#include "engine/core/memory.h"
#include "engine/core/paths.h"
#include "engine/core/print_state.h"
#include "engine/core/shape_families.h"
#include "sketch_fixture.h"
#include "support/object_drawing_double.h"
#include "support/scoped_preferences.h"

namespace {

class LocusTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        sketch->windowRect = { 0, 0, 640, 480 };
    }

    static int32_t Count(const SketchObject* locus) { return LocusDataOf(locus)->sampleCount; }
    static std::vector<uint32_t> States(const SketchObject* locus) {
        std::vector<uint32_t> states;
        for (int32_t i = 0; i < Count(locus); ++i) states.push_back(LocusSampleState(locus, i));
        return states;
    }
    // The longest step between a joined sample and the one before it.
    static double LongestJoin(const SketchObject* locus) {
        double longest = 0;
        for (int32_t i = 1; i < Count(locus); ++i) {
            if (LocusSampleState(locus, i) != kSampleRunGoes) continue;
            const ScreenPoint a = LocusSamplePoint(locus, i - 1), b = LocusSamplePoint(locus, i);
            longest = std::max(longest, std::hypot(double(b.x - a.x), double(b.y - a.y)));
        }
        return longest;
    }
};

TEST_F(LocusTest, ACircleDriverGivesAClosedCurveJoinedAllRound) {
    const MidpointLocusParts m = MidpointLocus(200, 200, 100);
    ASSERT_EQ(m.locus->exists, 1);
    const LocusData* L = LocusDataOf(m.locus);
    EXPECT_EQ(L->ends, kPathClosed);
    EXPECT_EQ(L->sampleCount, ThePreferences().locusSamples);
    EXPECT_EQ(L->startKind, kLocusEndNone);
    EXPECT_EQ(L->endKind, kLocusEndNone);
    for (int32_t i = 0; i < Count(m.locus); ++i) {
        SCOPED_TRACE(i);
        // The first sample is joined to the last through the closed wrap.
        EXPECT_EQ(LocusSampleState(m.locus, i), kSampleRunGoes);
        const ScreenPoint p = LocusSamplePoint(m.locus, i);
        EXPECT_NEAR(std::hypot(p.x - 200.0, p.y - 200.0), 50, 1);
    }
    EXPECT_TRUE(LocusHasOwnLabel(m.locus));
    EXPECT_EQ(ObjectDrawLayer(m.locus), ObjectClassTable[kClassPoint].drawLayer);
    // The driver and the chain are back where they were, and the depth is balanced.
    EXPECT_EQ(PointPosition(m.driver).x, 300);
    EXPECT_EQ(PointPosition(m.traced).x, 250);
    EXPECT_EQ(NestedEvaluationDepth, 0);
    // The bounds are the traced point's boxes.
    EXPECT_NEAR(m.locus->bounds.left, 150, 5);
    EXPECT_NEAR(m.locus->bounds.right, 250, 5);
}

TEST_F(LocusTest, ARayFromItsStartHasATrueStartAndAContinuingEnd) {
    SketchObject* a = PointAt(100, 100);
    SketchObject* b = PointAt(200, 100);
    SketchObject* ray = Build(kTypeRay, { a, b });
    SketchObject* driver = Build(kTypePointOnPath, { ray }, nullptr, Reals(0.5, 0));
    SketchObject* fixed = PointAt(100, 300);
    SketchObject* segment = Build(kTypeSegment, { fixed, driver });
    SketchObject* traced = Build(kTypeMidpoint, { segment });
    SketchObject* locus = TraceLocus(traced, ray, driver, { segment });
    ASSERT_TRUE(locus && locus->exists);
    const LocusData* L = LocusDataOf(locus);
    EXPECT_EQ(L->ends, kPathOneEnd);
    EXPECT_EQ(L->lo, 0);
    EXPECT_EQ(L->startKind, kLocusEndAtSample);
    EXPECT_EQ(L->endKind, kLocusEndGoesOn);
    EXPECT_NEAR(L->endDirection, 0, 1e-6);  // the traced point runs to the right
    EXPECT_EQ(LocusSamplePoint(locus, 0).x, 100);
    EXPECT_EQ(LocusSamplePoint(locus, 0).y, 200);

    // A driver dragged beyond the range widens it to take the driver in.
    const double hi = L->hi;
    SetPointPosition(driver, 0, 0, 1, nullptr, false);
    WritePathParameter(driver, [&] { PathParameterBlock k{}; SetPathBlockReal(&k, 0, hi + 3); return k; }(), 2);
    RecomputeObject(driver, nullptr, true);
    RecomputeObject(segment, nullptr, true);
    RecomputeObject(traced, nullptr, true);
    RecomputeObject(locus, nullptr, true);
    EXPECT_NEAR(L->hi, hi + 3, 1e-9);
}

TEST_F(LocusTest, AJumpBetweenRootsLeavesAGap) {
    // The traced point jumps 200 pixels as the driver crosses the centre.
    SketchObject* locus = RootJumpLocus(200, 200, 100, { 120, 200 }, { 281, 200 });
    ASSERT_TRUE(locus && locus->exists);
    EXPECT_LT(LongestJoin(locus), 31);
    int32_t runStarts = 0;
    for (uint32_t state : States(locus)) runStarts += state == kSampleRunStart;
    EXPECT_EQ(runStarts, 2);  // the first sample, and the sample after the jump
    const LocusData* L = LocusDataOf(locus);
    EXPECT_EQ(L->startKind, kLocusEndAtSample);
    EXPECT_EQ(L->endKind, kLocusEndAtSample);
}

TEST_F(LocusTest, HitsFollowTheCurveOrTheDots) {
    ScopedPreferences prefs;
    ThePreferences().locusSamples = 12;
    const MidpointLocusParts m = MidpointLocus(200, 200, 100);
    ASSERT_EQ(Count(m.locus), 12);
    // Samples every 30 degrees on the circle of radius 50: (250, 200) and (243, 175).
    const ScreenPoint between = { 247, 188 };
    const ScreenPoint centre = { 200, 200 };
    EXPECT_TRUE(LocusHitTest(between, m.locus));
    EXPECT_TRUE(LocusHitTest({ 250, 200 }, m.locus));
    EXPECT_FALSE(LocusHitTest(centre, m.locus));
    LocusDataOf(m.locus)->drawOption = 1;  // drawn as dots
    EXPECT_FALSE(LocusHitTest(between, m.locus));
    EXPECT_TRUE(LocusHitTest({ 250, 200 }, m.locus));
    const ScreenRect around = { 240, 185, 255, 195 };
    EXPECT_FALSE(LocusHitTestRect(&around, m.locus));
    LocusDataOf(m.locus)->drawOption = 0;
    EXPECT_TRUE(LocusHitTestRect(&around, m.locus));
}

TEST_F(LocusTest, SharpTurns) {
    struct Case { int32_t a, b, c, d; bool sharp; };
    const Case cases[] = {
        { 0, 0, 5, 5, true },     // no previous step
        { 1, 0, 20, 0, true },    // ten times longer than the step before
        { 2, 0, 20, 0, false },   // exactly ten times
        { 0, 5, 0, 60, true },
        { 5, 0, -5, 0, true },    // turning back
        { 5, 0, 5, 5, false },    // 45 degrees
        { 5, 0, 3, 5, false },    // just below 59 degrees
        { 5, 0, 1, 5, true },     // about 79 degrees
        { 30000, 30000, -30000, 30000, true },  // no overflow on the largest steps
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << "," << c.b << " -> " << c.c << "," << c.d);
        EXPECT_EQ(SharpTurn(c.a, c.b, c.c, c.d), c.sharp);
    }
}

TEST_F(LocusTest, SampleCountsAreClampedToThePreferences) {
    ScopedPreferences prefs;
    ThePreferences().maxSamples = 10000;
    const MidpointLocusParts m = MidpointLocus();
    struct Case { int32_t asked, got; };
    const Case cases[] = { { 5, 10 }, { 10, 10 }, { -3, 10 }, { 20000, 10000 }, { 600, 600 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        EXPECT_TRUE(SetLocusSampleCount(m.locus, c.asked));
        EXPECT_EQ(Count(m.locus), c.got);
        EXPECT_EQ(m.locus->exists, 1);
    }
    ASSERT_TRUE(SetLocusSampleCount(m.locus, 250));
    EXPECT_TRUE(ScaleLocusSampleCount(m.locus, true));
    EXPECT_EQ(Count(m.locus), 332);
    ASSERT_TRUE(SetLocusSampleCount(m.locus, 250));
    EXPECT_TRUE(ScaleLocusSampleCount(m.locus, false));
    EXPECT_EQ(Count(m.locus), 187);
}

TEST_F(LocusTest, NewLociTakeTheirFamilysShareOfTheDefaultCount) {
    ScopedPreferences prefs;
    ThePreferences().locusSamples = 500;
    const MidpointLocusParts m = MidpointLocus();
    EXPECT_EQ(Count(m.locus), 500);
    SketchObject* circle = Build(kTypeCircleByPoint, { m.traced, m.centre });
    SketchObject* circles = TraceLocus(circle, m.circle, m.driver, { m.segment, m.traced });
    ASSERT_NE(circles, nullptr);
    EXPECT_EQ(Count(circles), 250);
    EXPECT_EQ(LocusDataOf(circles)->sampleSize, SampleRecord::kCircleBytes);
    EXPECT_FALSE(LocusHasOwnLabel(circles));
    EXPECT_EQ(ObjectDrawLayer(circles), ObjectClassTable[kClassCircle].drawLayer);
}

TEST_F(LocusTest, APointOnTheLocusSitsAtTheTracedPositionOfItsParameter) {
    const MidpointLocusParts m = MidpointLocus(200, 200, 100);
    // Half way through the circle's range the driver is opposite its start.
    SketchObject* on = Build(kTypePointOnPath, { m.locus }, nullptr, Reals(0.5, 0));
    ASSERT_TRUE(on && on->exists);
    EXPECT_NEAR(PointPosition(on).x, 150, 1e-6);
    EXPECT_NEAR(PointPosition(on).y, 200, 1e-6);
    EXPECT_EQ(PointPosition(m.driver).x, 300);

    const PathMethods& row = PathMethodTable[kPathLocus];
    EXPECT_EQ(row.pathFlags(m.locus), kPathClosed);
    RealPoint nearest{};
    double t = -1;
    row.parameterOfPoint(m.locus, { 200, 140 }, &nearest, &t, nullptr);
    EXPECT_NEAR(nearest.x, 200, 1);
    EXPECT_NEAR(nearest.y, 150, 1);
    EXPECT_NEAR(t, 0.25, 0.01);
    double length = 0;
    row.lengthBetween(m.locus, 0, 1, &length);
    EXPECT_NEAR(length, kTwoPi * 50, 20);  // pieces between rounded screen points

    // Sampling the locus as a path gives its traced points and leaves the driver alone.
    struct Seen { int32_t count = 0; double farthest = 0; } seen;
    row.sampleParameters(m.locus, 40, 0, 1, [](void* user, double, RealPoint p, int32_t exists) -> int32_t {
        auto* s = static_cast<Seen*>(user);
        s->count += exists;
        s->farthest = std::max(s->farthest, std::fabs(std::hypot(p.x - 200, p.y - 200) - 50));
        return 1;
    }, &seen);
    EXPECT_EQ(seen.count, 40);
    EXPECT_LT(seen.farthest, 1e-6);
    EXPECT_EQ(PointPosition(m.driver).x, 300);
    EXPECT_EQ(NestedEvaluationDepth, 0);
}

// Lengths are plain sums whichever end comes first; round a closed locus the way
// is forward exactly when the named range is the shorter arc.
TEST_F(LocusTest, LengthsAndWaysAlongTheLocus) {
    const MidpointLocusParts m = MidpointLocus(200, 200, 100);
    const PathMethods& row = PathMethodTable[kPathLocus];
    double up = 0, down = 0, total = 0;
    row.lengthBetween(m.locus, 0.25, 0.75, &up);
    row.lengthBetween(m.locus, 0.75, 0.25, &down);
    row.lengthBetween(m.locus, 0, 1, &total);
    EXPECT_GT(up, 0);
    EXPECT_DOUBLE_EQ(down, up);

    struct Case { double a, b; int32_t forward; double share; };
    const Case cases[] = {
        { 0.1, 0.2, 1, 0.1 }, { 0.2, 0.1, 1, 0.1 },  // the inside is the shorter arc
        { 0.1, 0.9, 0, 0.2 }, { 0.9, 0.1, 0, 0.2 },  // the outside is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " to " << c.b);
        double lo = -1, hi = -1, length = -1;
        int32_t forward = -1;
        row.wayBetween(m.locus, c.a, c.b, &lo, &hi, &length, &forward);
        EXPECT_EQ(forward, c.forward);
        EXPECT_NEAR(length, c.share * total, total / 40);
        EXPECT_EQ(lo, 0);
        EXPECT_EQ(hi, 1);
    }
}

TEST(LocusBounds, PlotBoundsGrowShortOfTheLimits) {
    struct Case { ScreenRect in, out; };
    const Case cases[] = {
        { { -32763, -32763, 32762, 32762 }, { -32768, -32768, 32767, 32767 } },
        { { -32764, -32764, 32763, 32763 }, { -32764, -32764, 32763, 32763 } },
        { { 10, 20, 30, 40 }, { 5, 15, 35, 45 } },
    };
    for (const Case& c : cases) {
        ScreenRect r = c.in;
        GrowPlotBounds(&r);
        EXPECT_EQ(r.left, c.out.left);
        EXPECT_EQ(r.top, c.out.top);
        EXPECT_EQ(r.right, c.out.right);
        EXPECT_EQ(r.bottom, c.out.bottom);
    }
}

TEST_F(LocusTest, PrintingSamplesFiveTimesAsDenselyAndComesBack) {
    ScopedPreferences prefs;
    ThePreferences().exportQuality = 5;
    const MidpointLocusParts m = MidpointLocus();
    const ScreenPoint first = LocusSamplePoint(m.locus, 0);
    EnginePrintState& print = PrintState();
    print.printing = 1;
    print.scale = 2;
    ResetRecordedDraws();
    DrawLocusScaled(nullptr, m.locus, nullptr);
    // The closed locus walks its first sample twice.
    EXPECT_EQ(LastSampleWalkCount(), 5 * 250 + 1);
    ResetPrintState();
    EXPECT_EQ(Count(m.locus), 250);
    EXPECT_EQ(LocusSamplePoint(m.locus, 0).x, first.x);
    EXPECT_EQ(LocusSamplePoint(m.locus, 0).y, first.y);
}

// A chain may list objects the traced point does not hang on (an older document's locus,
// or one made from a wider selection). The samples are those of the ancestors alone, and
// every listed object ends where the driver's own position puts it, whether sampling ran
// it or not; without memory for the shorter run the whole chain gives the same samples.
TEST_F(LocusTest, ObjectsTheTracedPointDoesNotHangOnChangeNeitherSamplesNorEndState) {
    const MidpointLocusParts m = MidpointLocus();
    SketchObject* aside = Build(kTypeCircleByPoint, { m.driver, m.centre });
    SketchObject* far = Build(kTypeSegment, { m.traced, PointAt(10, 10) });
    SketchObject* wide = TraceLocus(m.traced, m.circle, m.driver, { m.segment, aside, far });
    ASSERT_TRUE(wide && wide->exists);
    const CircleData asideBefore = *ClassData<CircleData>(aside);
    const ScreenRect farBefore = far->bounds;
    auto samples = [&](const SketchObject* locus) {
        std::vector<std::pair<int32_t, int32_t>> points;
        for (int32_t i = 0; i < Count(locus); ++i) {
            const ScreenPoint p = LocusSamplePoint(locus, i);
            points.emplace_back(p.x, p.y);
        }
        return points;
    };
    for (uint32_t failAfter : { 0u, 1u }) {
        SCOPED_TRACE(failAfter);
        SetAllocFailureAfter(failAfter);
        RecomputeObject(wide, nullptr, true);
        SetAllocFailureAfter(0);
        EXPECT_EQ(samples(wide), samples(m.locus));
        EXPECT_EQ(States(wide), States(m.locus));
        EXPECT_EQ(wide->bounds.left, m.locus->bounds.left);
        EXPECT_EQ(wide->bounds.bottom, m.locus->bounds.bottom);
        EXPECT_EQ(ClassData<CircleData>(aside)->centre.x, asideBefore.centre.x);
        EXPECT_EQ(ClassData<CircleData>(aside)->radius, asideBefore.radius);
        EXPECT_EQ(far->bounds.left, farBefore.left);
        EXPECT_EQ(far->bounds.right, farBefore.right);
    }
}

TEST_F(LocusTest, MemoryFailuresLeaveNoLocusAndNoChange) {
    const MidpointLocusParts m = MidpointLocus();
    // Each allocation of a new locus failing in turn: no locus until all succeed.
    SketchObject* segments = nullptr;
    int32_t failures = 0;
    for (uint32_t n = 1; n <= 8 && !segments; ++n) {
        SetAllocFailureAfter(n);
        segments = TraceLocus(m.segment, m.circle, m.driver);
        SetAllocFailureAfter(0);
        failures += segments == nullptr;
    }
    ASSERT_NE(segments, nullptr);
    EXPECT_GT(failures, 0);
    EXPECT_NE(LocusDataOf(segments)->samples, nullptr);
    EXPECT_EQ(segments->exists, 1);
    // A larger array that cannot be had keeps the old one.
    SetAllocFailureAfter(1);
    EXPECT_FALSE(SetLocusSampleCount(m.locus, 2000));
    SetAllocFailureAfter(0);
    EXPECT_EQ(Count(m.locus), 250);
    EXPECT_EQ(m.locus->exists, 1);
}

}  // namespace
