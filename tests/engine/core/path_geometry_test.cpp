#include "engine/core/path_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/core/angle_constants.h"
#include "engine/core/random.h"

namespace {

struct Sample { double t; RealPoint p; };

int32_t Record(void* user, double t, RealPoint p, int32_t exists) {
    EXPECT_EQ(exists, 1);
    static_cast<std::vector<Sample>*>(user)->push_back({ t, p });
    return 7;
}

// A polygon with its edge cache worked out by hand.
struct Square {
    RealPoint v[4] = { { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } };
    PolygonEdge edges[4] = { { 10, 0.25 }, { 10, 0.5 }, { 10, 0.75 }, { 10, 1 } };
    PolygonPerimeter view() const { return { v, 4, edges, 40 }; }
};

}  // namespace

TEST(StraightPaths, PlacementProjectionAndLength) {
    const LineForm f = MakeLineForm({ 0, 0 }, { 10, 20 });
    const RealPoint beyond = StraightPointAt(f, 1.5);  // a stored value from a former ray
    EXPECT_DOUBLE_EQ(beyond.x, 15);
    EXPECT_DOUBLE_EQ(beyond.y, 30);
    RealPoint q;
    EXPECT_EQ(StraightProjection(f, kPathSegment, { 30, 40 }, &q), 1);
    EXPECT_DOUBLE_EQ(q.x, 10);
    EXPECT_EQ(StraightProjection(f, kPathSegment, { -30, -10 }, &q), 0);
    EXPECT_EQ(q.x, 0);
    EXPECT_EQ(StraightProjection(f, kPathRay, { -30, -10 }, &q), 0);
    EXPECT_LT(StraightProjection(f, kPathLine, { -30, -10 }, &q), 0);
    EXPECT_DOUBLE_EQ(StraightProjection(f, kPathLine, { 20, 40 }, &q), 2);
    EXPECT_DOUBLE_EQ(StraightLengthBetween(f, 0.5, -0.5), std::sqrt(500.0));
}

TEST(StraightPaths, ParameterRanges) {
    const ScreenRect view = { 0, 0, 100, 100 };
    const LineForm across = MakeLineForm({ 0, 50 }, { 10, 50 });
    double lo, hi;
    StraightParameterRange(across, kPathLine, true, &view, &lo, &hi);
    EXPECT_DOUBLE_EQ(lo, 0); EXPECT_DOUBLE_EQ(hi, 10);
    const LineForm back = MakeLineForm({ 50, 50 }, { 60, 50 });
    StraightParameterRange(back, kPathRay, true, &view, &lo, &hi);  // lo raised to 0
    EXPECT_DOUBLE_EQ(lo, 0); EXPECT_DOUBLE_EQ(hi, 5);
    const LineForm outside = MakeLineForm({ 0, 500 }, { 10, 500 });
    StraightParameterRange(outside, kPathRay, true, &view, &lo, &hi);
    EXPECT_EQ(lo, 0); EXPECT_EQ(hi, 2);
    StraightParameterRange(outside, kPathLine, true, &view, &lo, &hi);
    EXPECT_EQ(lo, -1); EXPECT_EQ(hi, 2);
    const LineForm away = MakeLineForm({ 50, 50 }, { 40, 50 });  // visible only behind the ray
    StraightParameterRange(MakeLineForm({ 200, 50 }, { 210, 50 }), kPathRay, true, &view, &lo, &hi);
    EXPECT_EQ(lo, 0); EXPECT_EQ(hi, 2);
    StraightParameterRange(away, kPathLine, false, &view, &lo, &hi);  // not existing
    EXPECT_EQ(lo, -1); EXPECT_EQ(hi, 2);
    StraightParameterRange(away, kPathSegment, true, &view, &lo, &hi);
    EXPECT_EQ(lo, 0); EXPECT_EQ(hi, 1);
}

TEST(StraightPaths, AvoidFlagKeepsDroppedPointsOffTheUsualPlaces) {
    const LineForm f = MakeLineForm({ 0, 0 }, { 100, 0 });
    const ScreenRect bounds = { -2, -2, 102, 2 };
    const ScreenRect view = { 0, -50, 100, 50 };
    SetRandomSeed(99);
    for (int i = 0; i < 2000; ++i) {
        RealPoint p;
        const double t = StraightRandomParameter(f, kPathSegment, true, bounds, true, &view, &p);
        ASSERT_TRUE((t >= 0.1 && t <= 0.4) || (t >= 0.6 && t <= 0.9)) << t;
        EXPECT_DOUBLE_EQ(p.x, 100 * t);
        const double u = StraightRandomParameter(f, kPathLine, true, bounds, true, &view, &p);
        ASSERT_GE(u, 0);
        ASSERT_LE(u, 1);
    }
    // Without the flag a segment takes the whole of [0, 1].
    SetRandomSeed(1);
    RealPoint p;
    EXPECT_DOUBLE_EQ(StraightRandomParameter(f, kPathSegment, true, bounds, false, &view, &p),
                     16838 / 32767.0);
    SetRandomSeed(1);
}

TEST(StraightPaths, SamplingEndsExactlyOnTheRangeEnd) {
    const LineForm f = MakeLineForm({ 0, 0 }, { 10, 0 });
    std::vector<Sample> got;
    EXPECT_EQ(StraightSample(f, 4, 0, 0.3, Record, &got), 7);
    ASSERT_EQ(got.size(), 4u);
    const double ts[] = { 0, 0.1, 0.2, 0.3 };
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(got[i].t, ts[i], 1e-12);
        EXPECT_NEAR(got[i].p.x, 10 * ts[i], 1e-12);
    }
    EXPECT_EQ(got[3].t, 0.3);
    got.clear();
    StraightSample(f, 1, 0, 0.3, Record, &got);  // only the final call
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].t, 0.3);
}

TEST(CirclePaths, AnglesCountCounterClockwiseOnScreen) {
    const RealPoint c = { 100, 100 };
    struct Case { RealPoint p; double angle, cosine, sine; RealPoint nearest; };
    const Case cases[] = {
        { { 100, 50 }, kHalfPi, 0, 1, { 100, 90 } },               // straight above
        { { 100, 150 }, 3 * kHalfPi, 0, -1, { 100, 110 } },        // straight below
        { { 150, 100 }, 0, 1, 0, { 110, 100 } },
        { { 50, 100 }, kPi, -1, 0, { 90, 100 } },
        { { 100.01, 100.01 }, 0, 1, 0, { 110, 100 } },             // at the centre
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.angle);
        RealPoint nearest;
        double cs = 9, sn = 9;
        EXPECT_NEAR(CircleProjection(c, 10, k.p, &nearest, &cs, &sn), k.angle, 1e-12);
        EXPECT_NEAR(cs, k.cosine, 1e-12);
        EXPECT_NEAR(sn, k.sine, 1e-12);
        EXPECT_NEAR(nearest.x, k.nearest.x, 1e-9);
        EXPECT_NEAR(nearest.y, k.nearest.y, 1e-9);
        const RealPoint back = CirclePointAt(c, 10, k.angle);
        EXPECT_NEAR(back.x, k.nearest.x, 1e-9);
        EXPECT_NEAR(back.y, k.nearest.y, 1e-9);
    }
}

TEST(CirclePaths, WayBetweenTakesTheShorterWay) {
    double lo, hi, length;
    int32_t forward;
    CircleWayBetween(10, 0.1, 6.2, &lo, &hi, &length, &forward);
    EXPECT_NEAR(length, 1.831853071796, 1e-9);
    EXPECT_EQ(forward, 0);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, kTwoPi);
    CircleWayBetween(10, 6.2, 0.1, &lo, &hi, &length, &forward);
    EXPECT_EQ(forward, 1);
    CircleWayBetween(2, 1, 2.5, &lo, &hi, &length, &forward);
    EXPECT_DOUBLE_EQ(length, 3);
    EXPECT_EQ(forward, 1);
}

TEST(CirclePaths, SamplesTurnCounterClockwise) {
    std::vector<Sample> got;
    EXPECT_EQ(CircleSample({ 0, 0 }, 10, 4, Record, &got), 7);
    ASSERT_EQ(got.size(), 4u);
    const RealPoint expect[] = { { 10, 0 }, { 0, -10 }, { -10, 0 }, { 0, 10 } };
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(got[i].t, i * kHalfPi, 1e-12);
        EXPECT_NEAR(got[i].p.x, expect[i].x, 1e-9);
        EXPECT_NEAR(got[i].p.y, expect[i].y, 1e-9);
    }
    got.clear();
    EXPECT_EQ(CircleSample({ 0, 0 }, 10, 0, Record, &got), 0);
    EXPECT_TRUE(got.empty());
}

TEST(CirclePaths, RandomPositionsPreferTheVisibleRectangle) {
    const ScreenRect bounds = { -100, -100, 101, 101 };
    const ScreenRect view = { 0, -200, 200, 200 };  // the right half of the circle
    SetRandomSeed(5);
    int inside = 0;
    for (int i = 0; i < 200; ++i) {
        double cs, sn;
        RealPoint p;
        CircleRandomParameter({ 0, 0 }, 100, true, bounds, true, &view, &cs, &sn, &p);
        EXPECT_NEAR(cs * cs + sn * sn, 1, 1e-12);
        EXPECT_NEAR(std::hypot(p.x, p.y), 100, 1e-9);
        inside += p.x >= -0.5;
    }
    EXPECT_EQ(inside, 200);  // 26 tries make a miss vanishingly rare with this seed
    SetRandomSeed(1);
}

TEST(PolygonPaths, PointAtPlaceAndSetParameterAgree) {
    const Square sq;
    const PolygonPerimeter pp = sq.view();
    struct Case { double t; RealPoint p; double fraction; uint16_t edge; };
    const Case cases[] = {
        { 0, { 0, 0 }, 0, 0 },       { 0.125, { 5, 0 }, 0.5, 0 }, { 0.25, { 10, 0 }, 1, 0 },
        { 0.3, { 10, 2 }, 0.2, 1 },  { 0.875, { 0, 5 }, 0.5, 3 }, { 1, { 0, 0 }, 1, 3 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        const RealPoint p = PolygonPointAt(pp, c.t);
        EXPECT_NEAR(p.x, c.p.x, 1e-12);
        EXPECT_NEAR(p.y, c.p.y, 1e-12);
        double f;
        uint16_t e;
        PolygonSetParameter(pp, true, c.t, &f, &e);
        EXPECT_NEAR(f, c.fraction, 1e-12);
        EXPECT_EQ(e, c.edge);
        const RealPoint q = PolygonPlace(pp, f, e);
        EXPECT_NEAR(q.x, c.p.x, 1e-12);
        EXPECT_NEAR(q.y, c.p.y, 1e-12);
    }
    double f;
    uint16_t e;
    PolygonSetParameter(pp, false, 0.5, &f, &e);
    EXPECT_EQ(f, 0.79);
    EXPECT_EQ(e, 1);
}

TEST(PolygonPaths, ProjectionPicksTheNearestEdge) {
    const Square sq;
    RealPoint n;
    double f;
    uint16_t e;
    EXPECT_NEAR(PolygonProjection(sq.view(), { 12, 4 }, &n, &f, &e), 0.35, 1e-12);
    EXPECT_EQ(e, 1);
    EXPECT_NEAR(f, 0.4, 1e-12);
    EXPECT_EQ(n.x, 10);
    EXPECT_NEAR(PolygonProjection(sq.view(), { -3, -3 }, &n, &f, &e), 0, 1e-12);  // tie: edge 0
    EXPECT_EQ(e, 0);

    const RealPoint same[3] = { { 4, 4 }, { 4, 4 }, { 4, 4 } };
    const PolygonEdge cum[3] = { { 0, 1 }, { 0, 1 }, { 0, 1 } };
    EXPECT_EQ(PolygonProjection({ same, 3, cum, 0 }, { 9, 9 }, &n, &f, &e), 0);
    EXPECT_EQ(n.x, 4);
    EXPECT_EQ(f, 0.333);
    EXPECT_EQ(e, 0);
}

TEST(PolygonPaths, SamplesKeepTheCorners) {
    const Square sq;
    std::vector<Sample> got;
    EXPECT_EQ(PolygonSample(sq.view(), 4, Record, &got), 4);
    ASSERT_EQ(got.size(), 4u);
    const RealPoint corners[] = { { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } };
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(got[i].p.x, corners[i].x, 1e-12);
        EXPECT_NEAR(got[i].p.y, corners[i].y, 1e-12);
    }
    got.clear();
    PolygonSample(sq.view(), 8, Record, &got);
    ASSERT_EQ(got.size(), 8u);
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(got[i].t, i * 0.125, 1e-12);
    EXPECT_NEAR(got[3].p.x, 10, 1e-12);
    EXPECT_NEAR(got[3].p.y, 5, 1e-12);

    // An uneven triangle with few samples still gets every vertex.
    const RealPoint tri[3] = { { 0, 0 }, { 30, 0 }, { 30, 40 } };  // edges 30, 40, 50
    const PolygonEdge cum[3] = { { 30, 0.25 }, { 40, 7.0 / 12 }, { 50, 1 } };
    got.clear();
    PolygonSample({ tri, 3, cum, 120 }, 3, Record, &got);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_NEAR(got[1].p.x, 30, 1e-12); EXPECT_NEAR(got[1].p.y, 0, 1e-12);
    EXPECT_NEAR(got[2].p.x, 30, 1e-12); EXPECT_NEAR(got[2].p.y, 40, 1e-12);
}

TEST(PathBlocks, FieldsKeepTheirPlaces) {
    PathParameterBlock b{};
    SetPathBlockReal(&b, 0, 0.25);
    SetPathBlockReal(&b, 1, -2);
    EXPECT_EQ(PathBlockReal(b, 0), 0.25);
    EXPECT_EQ(PathBlockReal(b, 1), -2);
    SetPathBlockEdge(&b, 3);
    EXPECT_EQ(PathBlockEdge(b), 3);
    EXPECT_EQ(b.words[2] & 0xffff0000u, 0u);  // padding cleared
    EXPECT_EQ(b.words[3], 0u);
    EXPECT_EQ(PathBlockReal(b, 0), 0.25);
}
