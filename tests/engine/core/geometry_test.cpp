#include "engine/core/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/core/angle_constants.h"
#include "engine/core/arc_stepper.h"
#include "engine/core/random.h"

namespace {

ScreenRect Rect(int16_t l, int16_t t, int16_t r, int16_t b) { return { l, t, r, b }; }
ScreenPoint SP(int16_t x, int16_t y) { return { x, y }; }
bool SameRect(const ScreenRect& a, const ScreenRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
CurveForm Circle(double x, double y, double r) { return { { x, y }, r, false, 0, 0, 0 }; }
CurveForm Arc(double x, double y, double r, double startPseudo, double endPseudo) {
    return { { x, y }, r, true, 1, startPseudo, endPseudo };
}

}  // namespace

TEST(ScreenRounding, ClampsAndRoundsHalfUp) {
    struct Case { double in; int16_t out; };
    const Case cases[] = {
        { 12.5, 13 },        { -12.5, -12 },    { 30000.4, 30000 }, { -30000.7, -30000 },
        { 29999.5, 30000 },  { 0.4999, 0 },     { -0.5, 0 },        { -0.51, -1 },
        { 1e300, 30000 },    { -1e300, -30000 }, { std::numeric_limits<double>::quiet_NaN(), 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(RoundToScreen(c.in), c.out);
    }
}

// Inside the limits the rounding is floor (v + 0.5) taken in doubles, exactly: halves,
// their neighbours one step away, negative fractions and the values next to the limits.
TEST(ScreenRounding, MatchesFloorOfTheHalfShiftedValue) {
    std::vector<double> values = { 0.0, -0.0, 0.49999999999999994, -0.49999999999999994,
                                   -1.2, -1.5, -29999.5, -29999.7, -29999.99, 29999.9999,
                                   std::nextafter(-30000.0, 0.0), std::nextafter(30000.0, 0.0) };
    for (int32_t k = -40; k <= 40; ++k) {
        for (double base : { k + 0.5, k * 749.5, k * 0.1 }) {
            values.push_back(base);
            values.push_back(std::nextafter(base, 1e9));
            values.push_back(std::nextafter(base, -1e9));
        }
    }
    const uint32_t seed = GetRandomSeed();
    SetRandomSeed(12345);
    for (int32_t i = 0; i < 2000; ++i) values.push_back((NextRandom() - 16383.5) * 1.8311);
    SetRandomSeed(seed);
    for (double v : values) {
        SCOPED_TRACE(v);
        ASSERT_GT(v, -30000);
        ASSERT_LT(v, 30000);
        EXPECT_EQ(RoundToScreen(v), static_cast<int16_t>(std::floor(v + 0.5)));
    }
    EXPECT_EQ(RoundToScreen(HUGE_VAL), 30000);
    EXPECT_EQ(RoundToScreen(-HUGE_VAL), -30000);
}

TEST(ScreenRects, EmptyFormIsNeutralForUnion) {
    ScreenRect empty;
    ScreenRectSetEmpty(&empty);
    EXPECT_TRUE(ScreenRectIsEmpty(empty));
    EXPECT_EQ(empty.left, 0x7fff);
    EXPECT_EQ(empty.right, -32768);

    ScreenRect target = empty;
    ScreenRectUnion(Rect(-5, 2, 7, 9), &target);
    EXPECT_TRUE(SameRect(target, Rect(-5, 2, 7, 9)));
    ScreenRectUnion(empty, &target);
    EXPECT_TRUE(SameRect(target, Rect(-5, 2, 7, 9)));
    ScreenRectUnion(Rect(0, -4, 20, 3), &target);
    EXPECT_TRUE(SameRect(target, Rect(-5, -4, 20, 9)));
}

TEST(ScreenRects, IntersectOverlapContainInset) {
    ScreenRect target = Rect(0, 0, 10, 10);
    EXPECT_TRUE(ScreenRectIntersect(Rect(5, -5, 20, 6), &target));
    EXPECT_TRUE(SameRect(target, Rect(5, 0, 10, 6)));

    target = Rect(0, 0, 10, 10);
    EXPECT_FALSE(ScreenRectIntersect(Rect(20, 20, 30, 30), &target));
    ScreenRect empty;
    ScreenRectSetEmpty(&empty);
    EXPECT_TRUE(SameRect(target, empty));

    EXPECT_FALSE(ScreenRectsOverlap(Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));  // shared edge
    EXPECT_TRUE(ScreenRectsOverlap(Rect(0, 0, 10, 10), Rect(9, 9, 20, 20)));
    EXPECT_TRUE(ScreenPointInRect(SP(10, 0), Rect(0, 0, 10, 10)));  // edges inclusive
    EXPECT_FALSE(ScreenPointInRect(SP(11, 0), Rect(0, 0, 10, 10)));
    EXPECT_TRUE(ScreenRectContains(Rect(1, 1, 10, 9), Rect(0, 0, 10, 10)));
    EXPECT_FALSE(ScreenRectContains(Rect(1, 1, 11, 9), Rect(0, 0, 10, 10)));

    ScreenRect r = Rect(0, 0, 10, 10);
    ScreenRectInset(&r, -2, 3);
    EXPECT_TRUE(SameRect(r, Rect(-2, 3, 12, 7)));
}

TEST(ScreenSegments, CrossingIncludesEndsExcludesParallel) {
    struct Case { ScreenPoint a, b, c, d; bool cross; };
    const Case cases[] = {
        { SP(0, 0), SP(10, 10), SP(0, 10), SP(10, 0), true },      // an X
        { SP(0, 0), SP(10, 0), SP(10, 0), SP(20, 5), true },       // shared end point only
        { SP(0, 0), SP(10, 0), SP(5, 0), SP(15, 0), false },       // parallel, overlapping
        { SP(0, 0), SP(10, 0), SP(11, -5), SP(11, 5), false },     // misses beyond the end
        { SP(0, 0), SP(10, 0), SP(5, 1), SP(5, 9), false },        // stops short
        // Whole-screen diagonals: the products do not fit in 32 bits.
        { SP(-30000, -30000), SP(30000, 30000), SP(-30000, 30000), SP(30000, -30000), true },
        { SP(-30000, -30000), SP(30000, 30000), SP(-30000, 29999), SP(-29999, 30000), false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.c.x << "," << c.c.y);
        EXPECT_EQ(SegmentsCross(c.a, c.b, c.c, c.d), c.cross);
        EXPECT_EQ(SegmentsCross(c.c, c.d, c.a, c.b), c.cross);
    }
    EXPECT_TRUE(SegmentMeetsRect(Rect(0, 0, 10, 10), SP(-5, 5), SP(15, 5)));  // passes through
    EXPECT_TRUE(SegmentMeetsRect(Rect(0, 0, 10, 10), SP(5, 5), SP(50, 50)));   // one end inside
    EXPECT_FALSE(SegmentMeetsRect(Rect(0, 0, 10, 10), SP(-5, -1), SP(15, -1)));
}

TEST(ScreenSegments, LiangBarskyClipping) {
    const ScreenRect rect = Rect(0, 0, 100, 100);
    ScreenPoint a = SP(-50, 50), b = SP(150, 50);
    ASSERT_TRUE(ClipSegmentToRect(&a, &b, rect));
    EXPECT_EQ(a.x, 0); EXPECT_EQ(a.y, 50); EXPECT_EQ(b.x, 100); EXPECT_EQ(b.y, 50);

    a = SP(50, 50); b = SP(50, 50);  // zero length inside
    EXPECT_TRUE(ClipSegmentToRect(&a, &b, rect));
    a = SP(150, 50); b = SP(150, 50);  // zero length outside
    EXPECT_FALSE(ClipSegmentToRect(&a, &b, rect));

    a = SP(-5, 5); b = SP(5, -5);  // touches the corner (0, 0) only
    ASSERT_TRUE(ClipSegmentToRect(&a, &b, rect));
    EXPECT_EQ(a.x, 0); EXPECT_EQ(a.y, 0); EXPECT_EQ(b.x, 0); EXPECT_EQ(b.y, 0);

    a = SP(-50, -10); b = SP(150, -10);  // misses: untouched
    EXPECT_FALSE(ClipSegmentToRect(&a, &b, rect));
    EXPECT_EQ(a.x, -50); EXPECT_EQ(b.x, 150);

    a = SP(20, 50); b = SP(70, 200);  // clipped at the bottom: t1 = 1/3
    ASSERT_TRUE(ClipSegmentToRect(&a, &b, rect));
    EXPECT_EQ(a.x, 20); EXPECT_EQ(a.y, 50); EXPECT_EQ(b.x, 37); EXPECT_EQ(b.y, 100);
}

TEST(ScreenSegments, ExitPointOfARay) {
    const ScreenRect world = Rect(-20000, -20000, 20000, 20000);
    ScreenPoint out;
    ASSERT_TRUE(ClipLineToRect({ 0, 0 }, { 1, 0 }, 0, world, &out));
    EXPECT_EQ(out.x, 20000); EXPECT_EQ(out.y, 0);
    ASSERT_TRUE(ClipLineToRect({ 1, 0 }, { 0, 0 }, 0, world, &out));
    EXPECT_EQ(out.x, -20000); EXPECT_EQ(out.y, 0);

    const ScreenRect r = Rect(-100, -100, 100, 100);
    ASSERT_TRUE(ClipLineToRect({ 0, 0 }, { 1, 2 }, 2, r, &out));  // leaves through the bottom
    EXPECT_EQ(out.x, 50); EXPECT_EQ(out.y, 100);
    ASSERT_TRUE(ClipLineToRect({ 0, 0 }, { -2, -1 }, 0.5, r, &out));  // through the left edge
    EXPECT_EQ(out.x, -100); EXPECT_EQ(out.y, -50);
    ASSERT_TRUE(ClipLineToRect({ 5.4, 5 }, { 5.4, 0 }, 0, r, &out));  // vertical, upwards
    EXPECT_EQ(out.x, 5); EXPECT_EQ(out.y, -100);
    EXPECT_FALSE(ClipLineToRect({ 5, 5 }, { 5, 5 }, 0, r, &out));
    EXPECT_FALSE(ClipLineToRect({ 300, 0 }, { 301, 1 }, 1, r, &out));  // starts outside
}

TEST(RealGeometry, PointLineRelation) {
    const RealPoint o{ 0, 0 }, a{ 10, 0 };
    double angle = 0, param = 0, c = 0, s = 0;
    int32_t side = 9;
    ASSERT_TRUE(PointLineRelation(a, o, { 5, 5 }, &angle, &param, &c, &s, &side));
    EXPECT_EQ(side, 1);
    EXPECT_DOUBLE_EQ(param, 0.5);
    EXPECT_NEAR(c, std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(s, std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(angle, kPi / 4, 1e-12);

    struct Case { RealPoint p; double angle; };
    const Case angles[] = {
        { { -5, 5 }, 3 * kPi / 4 }, { { -5, -5 }, -3 * kPi / 4 }, { { 0, 5 }, kHalfPi },
        { { 0, -5 }, -kHalfPi },    { { -5, 0 }, kPi },
    };
    for (const Case& k : angles) {
        SCOPED_TRACE(k.angle);
        ASSERT_TRUE(PointLineRelation(a, o, k.p, &angle, nullptr, nullptr, nullptr, nullptr));
        EXPECT_NEAR(angle, k.angle, 1e-12);
    }

    // On the line: true between or beyond, false on o or on a when the side is asked.
    EXPECT_TRUE(PointLineRelation(a, o, { 5, 0 }, nullptr, nullptr, nullptr, nullptr, &side));
    EXPECT_EQ(side, 0);
    EXPECT_FALSE(PointLineRelation(a, o, { 0, 0 }, nullptr, nullptr, nullptr, nullptr, &side));
    EXPECT_FALSE(PointLineRelation(a, o, { 10, 0 }, nullptr, nullptr, nullptr, nullptr, &side));
    EXPECT_TRUE(PointLineRelation(a, o, { 10, 0 }, nullptr, nullptr, nullptr, nullptr, nullptr));
    // o and a coincide: false, but the side is still written.
    side = 9;
    EXPECT_FALSE(PointLineRelation(o, o, { 3, -4 }, nullptr, nullptr, nullptr, nullptr, &side));
    EXPECT_EQ(side, 0);
}

TEST(RealGeometry, ProjectionOntoPieces) {
    RealPoint out;
    EXPECT_DOUBLE_EQ(ProjectPointOnLine({ 3, 4 }, &out, { 0, 0 }, 10, 0, 0, true, true), 0.3);
    EXPECT_DOUBLE_EQ(out.x, 3); EXPECT_DOUBLE_EQ(out.y, 0);
    EXPECT_DOUBLE_EQ(ProjectPointOnLine({ 4, 3 }, &out, { 0, 0 }, 0, 10, 0, false, false), 0.3);
    EXPECT_DOUBLE_EQ(out.x, 0); EXPECT_DOUBLE_EQ(out.y, 3);
    EXPECT_DOUBLE_EQ(ProjectPointOnLine({ 10, 0 }, &out, { 0, 0 }, 10, 10, 1, false, false), 0.5);
    EXPECT_DOUBLE_EQ(out.x, 5); EXPECT_DOUBLE_EQ(out.y, 5);
    // Bounds clamp to the ends; unbounded the parameter runs on.
    EXPECT_EQ(ProjectPointOnLine({ -5, 2 }, &out, { 0, 0 }, 10, 0, 0, true, true), 0);
    EXPECT_DOUBLE_EQ(out.x, 0);
    EXPECT_EQ(ProjectPointOnLine({ 15, 2 }, &out, { 0, 0 }, 10, 0, 0, true, true), 1);
    EXPECT_DOUBLE_EQ(out.x, 10);
    EXPECT_DOUBLE_EQ(ProjectPointOnLine({ 15, 2 }, &out, { 0, 0 }, 10, 0, 0, true, false), 1.5);
}

TEST(RealGeometry, PseudoAngleByOctant) {
    struct Case { double x, y, v; };
    const Case cases[] = {
        { 1, 0, 0 },  { 2, 1, 0.5 }, { 1, 1, 1 },  { 0, 1, 2 },   { -1, 1, 3 },
        { -1, 0, 4 }, { -1, -1, 5 }, { 0, -1, 6 }, { 1, -1, 7 },  { 2, -1, 7.5 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_DOUBLE_EQ(PseudoAngle({ 3, 4 }, { 3 + c.x, 4 + c.y }), c.v);
    }
}

TEST(RealGeometry, ArcRangeCountsTheCentre) {
    const CurveForm lowerRight = Arc(0, 0, 5, 0, 2);  // from +x to +y
    EXPECT_TRUE(CurveRangeContains(lowerRight, { 0, 0 }));
    EXPECT_TRUE(CurveRangeContains(lowerRight, { 3, 4 }));
    EXPECT_TRUE(CurveRangeContains(lowerRight, { 0, 7 }));  // the end, radius not tested
    EXPECT_FALSE(CurveRangeContains(lowerRight, { -3, 4 }));
    const CurveForm acrossZero = Arc(0, 0, 5, 7, 9);  // from -y+x round through +x
    EXPECT_TRUE(CurveRangeContains(acrossZero, { 5, 0 }));
    EXPECT_TRUE(CurveRangeContains(acrossZero, { 5, 5 }));  // pseudo 1 + 8
    EXPECT_FALSE(CurveRangeContains(acrossZero, { -5, 0 }));
}

TEST(RealGeometry, NearLineWithinFourUnits) {
    EXPECT_TRUE(ScreenPointNearLine(SP(5, 3), { 0, 0 }, { 10, 0 }));
    EXPECT_FALSE(ScreenPointNearLine(SP(5, 4), { 0, 0 }, { 10, 0 }));
    EXPECT_TRUE(ScreenPointNearLine(SP(500, -3), { 0, 0 }, { 10, 0 }));  // infinite line
}

TEST(Intersections, StraightWithStraight) {
    const LineForm seg = MakeLineForm({ 0, 0 }, { 10, 0 });
    struct Case { RealPoint a, b; int32_t kind1, kind2; bool meets; RealPoint at; };
    const Case cases[] = {
        { { 5, -5 }, { 5, 5 }, kShapeSegment, kShapeSegment, true, { 5, 0 } },
        { { 5, 1 }, { 5, 5 }, kShapeSegment, kShapeSegment, false, {} },   // second stops short
        { { 5, 1 }, { 5, 5 }, kShapeSegment, kShapeLine, true, { 5, 0 } },
        { { 5, 1 }, { 5, 5 }, kShapeSegment, kShapeRay, false, {} },       // behind the ray
        { { 5, 5 }, { 5, 1 }, kShapeSegment, kShapeRay, true, { 5, 0 } },
        { { 10, -5 }, { 10, 5 }, kShapeSegment, kShapeSegment, true, { 10, 0 } },  // end t = 1
        { { 12, -5 }, { 12, 5 }, kShapeSegment, kShapeSegment, false, {} },
        { { 12, -5 }, { 12, 5 }, kShapeLine, kShapeSegment, true, { 12, 0 } },
        { { -3, -5 }, { -3, 5 }, kShapeRay, kShapeLine, false, {} },
        { { 0, 3 }, { 10, 3 }, kShapeLine, kShapeLine, false, {} },         // parallel
        { { 0, 0 }, { 20, 0 }, kShapeLine, kShapeLine, false, {} },         // same line
        { { 0, 4 }, { 4, 0 }, kShapeSegment, kShapeSegment, true, { 4, 0 } },
        { { 1, 1 }, { 3, 7 }, kShapeLine, kShapeLine, true, { 0.6666666666666667, 0 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a.x << "," << c.a.y << " kinds " << c.kind1 << "," << c.kind2);
        RealPoint at{ -99, -99 };
        ASSERT_EQ(IntersectLines(seg, c.kind1, MakeLineForm(c.a, c.b), c.kind2, &at), c.meets);
        if (c.meets) {
            EXPECT_NEAR(at.x, c.at.x, 1e-12);
            EXPECT_NEAR(at.y, c.at.y, 1e-12);
        } else {
            EXPECT_EQ(at.x, -99);
        }
    }
}

TEST(Intersections, StraightWithCircleRootsAndTolerances) {
    const CurveForm circle = Circle(0, 0, 5);
    struct Case {
        RealPoint a, b; int32_t kind, choice; bool meets; RealPoint at;
    };
    const Case cases[] = {
        // Horizontal through the centre: choice 1 is the first crossing along the form.
        { { -10, 0 }, { 10, 0 }, kShapeLine, 1, true, { -5, 0 } },
        { { -10, 0 }, { 10, 0 }, kShapeLine, -1, true, { 5, 0 } },
        { { 10, 0 }, { -10, 0 }, kShapeLine, 1, true, { 5, 0 } },
        { { 10, 0 }, { -10, 0 }, kShapeLine, -1, true, { -5, 0 } },
        // Vertical form: roots y = +-4 at x = 3.
        { { 3, -10 }, { 3, 10 }, kShapeLine, 1, true, { 3, -4 } },
        { { 3, 10 }, { 3, -10 }, kShapeLine, 1, true, { 3, 4 } },
        // Steep form (slope 2): y = 2x crosses at x = +-sqrt(5).
        { { 0, 0 }, { 1, 2 }, kShapeLine, 1, true, { -2.23606797749979, -4.47213595499958 } },
        { { 0, 0 }, { 1, 2 }, kShapeRay, 1, false, {} },   // the first crossing is behind
        { { 0, 0 }, { 1, 2 }, kShapeRay, 2, true, { 2.23606797749979, 4.47213595499958 } },
        // Tangent band: distance r + 0.0001 gives one double point, r + 0.0003 none.
        { { -10, 5.0001 }, { 10, 5.0001 }, kShapeLine, 1, true, { 0, 5.0001 } },
        { { -10, 5.0001 }, { 10, 5.0001 }, kShapeLine, 2, true, { 0, 5.0001 } },
        { { -10, 5.0003 }, { 10, 5.0003 }, kShapeLine, 1, false, {} },
        { { 5.0001, -10 }, { 5.0001, 10 }, kShapeLine, 1, true, { 5.0001, 0 } },
        { { 5.0003, -10 }, { 5.0003, 10 }, kShapeLine, 1, false, {} },
        // A ray starting 0.00003 past a crossing keeps it; 0.0001 past loses it.
        { { -4.99997, 0 }, { 10, 0 }, kShapeRay, 1, true, { -5, 0 } },
        { { -4.9999, 0 }, { 10, 0 }, kShapeRay, 1, false, {} },
        // A segment ending 0.00004 short of the rim still meets it.
        { { 0, 0 }, { 4.99996, 0 }, kShapeSegment, 2, true, { 5, 0 } },
        { { 0, 0 }, { 4.9999, 0 }, kShapeSegment, 2, false, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.a.x << "," << c.a.y << ")-(" << c.b.x << ","
                                        << c.b.y << ") kind " << c.kind << " choice " << c.choice);
        RealPoint at{ -99, -99 };
        ASSERT_EQ(IntersectLineCurve(MakeLineForm(c.a, c.b), c.kind, circle, c.choice, &at), c.meets);
        if (c.meets) {
            EXPECT_NEAR(at.x, c.at.x, 1e-9);
            EXPECT_NEAR(at.y, c.at.y, 1e-9);
        } else {
            EXPECT_EQ(at.x, -99);
        }
    }
}

TEST(Intersections, StraightWithArcKeepsToItsRange) {
    const CurveForm lowerRight = Arc(0, 0, 5, 0, 2);
    const LineForm form = MakeLineForm({ -10, 3 }, { 10, 3 });
    RealPoint at;
    EXPECT_FALSE(IntersectLineCurve(form, kShapeLine, lowerRight, 1, &at));  // (-4, 3) is off
    ASSERT_TRUE(IntersectLineCurve(form, kShapeLine, lowerRight, -1, &at));
    EXPECT_NEAR(at.x, 4, 1e-12);
    EXPECT_NEAR(at.y, 3, 1e-12);
}

TEST(Intersections, CircleWithCircle) {
    struct Case { CurveForm a, b; int32_t side; bool meets; RealPoint at; };
    const Case cases[] = {
        { Circle(0, 0, 5), Circle(6, 0, 5), 1, true, { 3, -4 } },
        { Circle(0, 0, 5), Circle(6, 0, 5), -1, true, { 3, 4 } },
        { Circle(6, 0, 5), Circle(0, 0, 5), 1, true, { 3, 4 } },        // swapped: other side
        { Circle(0, 0, 5), Circle(10, 0, 5), 1, true, { 5, 0 } },       // external tangent
        { Circle(0, 0, 5), Circle(10, 0, 5), -1, true, { 5, 0 } },
        { Circle(0, 0, 5), Circle(2, 0, 3), 1, true, { 5, 0 } },        // internal tangent
        { Circle(0, 0, 5), Circle(0, 0, 5), 1, false, {} },             // concentric and equal
        { Circle(0, 0, 5), Circle(11, 0, 5), 1, false, {} },            // apart
        { Circle(0, 0, 5), Circle(1, 0, 2), 1, false, {} },             // one inside the other
        { Arc(0, 0, 5, 4, 8), Circle(6, 0, 5), 1, true, { 3, -4 } },    // upper half on screen
        { Arc(0, 0, 5, 4, 8), Circle(6, 0, 5), -1, false, {} },
        { Circle(0, 0, 5), Arc(6, 0, 5, 0, 4), 1, false, {} },          // second's range decides too
        { Circle(0, 0, 5), Arc(6, 0, 5, 0, 4), -1, true, { 3, 4 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.b.centre.x << "," << c.b.radius << " side " << c.side);
        RealPoint at{ -99, -99 };
        ASSERT_EQ(IntersectCurves(c.a, c.b, c.side, &at), c.meets);
        if (c.meets) {
            EXPECT_NEAR(at.x, c.at.x, 1e-12);
            EXPECT_NEAR(at.y, c.at.y, 1e-12);
        } else {
            EXPECT_EQ(at.x, -99);
        }
    }
}

// Every reported intersection lies on both objects, within the tangent band for
// circles and the end tolerance for pieces.
TEST(Intersections, ReportedPointsLieOnBothObjects) {
    SetRandomSeed(12345);
    auto coord = [] { return (NextRandom() - 16384) / 400.0; };
    int lineCircleHits = 0, circleHits = 0, lineHits = 0;
    for (int i = 0; i < 3000; ++i) {
        const LineForm f = MakeLineForm({ coord(), coord() }, { coord(), coord() });
        const LineForm g = MakeLineForm({ coord(), coord() }, { coord(), coord() });
        const CurveForm c1 = Circle(coord(), coord(), std::fabs(coord()) + 0.5);
        const CurveForm c2 = Circle(coord(), coord(), std::fabs(coord()) + 0.5);
        const double len = std::hypot(f.dx, f.dy);
        if (len < 1e-3) continue;
        const int32_t kinds[] = { kShapeLine, kShapeRay, kShapeSegment };
        for (int32_t kind : kinds) {
            for (int32_t choice : { 1, -1 }) {
                RealPoint p;
                if (!IntersectLineCurve(f, kind, c1, choice, &p)) continue;
                ++lineCircleHits;
                const double dist = std::hypot(p.x - c1.centre.x, p.y - c1.centre.y);
                EXPECT_NEAR(dist, c1.radius, 1e-6);
                const double off = ((p.y - f.first.y) * f.dx - (p.x - f.first.x) * f.dy) / len;
                EXPECT_NEAR(off, 0, 1e-6);
                const double t = ((p.x - f.first.x) * f.dx + (p.y - f.first.y) * f.dy) / (len * len);
                if (kind != kShapeLine) {
                    EXPECT_GE(t, -1e-4);
                }
                if (kind == kShapeSegment) {
                    EXPECT_LE(t, 1 + 1e-4);
                }
            }
            RealPoint q;
            if (IntersectLines(f, kind, g, kShapeSegment, &q)) {
                ++lineHits;
                const double lg = std::hypot(g.dx, g.dy);
                EXPECT_NEAR(((q.y - g.first.y) * g.dx - (q.x - g.first.x) * g.dy) / lg, 0, 1e-6);
                EXPECT_NEAR(((q.y - f.first.y) * f.dx - (q.x - f.first.x) * f.dy) / len, 0, 1e-6);
            }
        }
        for (int32_t side : { 1, -1 }) {
            RealPoint p;
            if (!IntersectCurves(c1, c2, side, &p)) continue;
            ++circleHits;
            EXPECT_NEAR(std::hypot(p.x - c1.centre.x, p.y - c1.centre.y), c1.radius, 1e-6);
            EXPECT_NEAR(std::hypot(p.x - c2.centre.x, p.y - c2.centre.y), c2.radius, 1e-6);
        }
    }
    // The sample must actually exercise the routines.
    EXPECT_GT(lineCircleHits, 500);
    EXPECT_GT(circleHits, 200);
    EXPECT_GT(lineHits, 200);
    SetRandomSeed(1);
}

TEST(RandomGenerator, RepeatsTheFixedSequence) {
    const uint32_t saved = GetRandomSeed();
    SetRandomSeed(1);
    const int32_t expected[] = { 16838, 5758, 10113, 17515, 31051, 5627, 23010, 7419, 16212, 4086 };
    for (int32_t v : expected) EXPECT_EQ(NextRandom(), v);
    SetRandomSeed(1);
    NextRandom();
    EXPECT_EQ(GetRandomSeed(), 1103527590u);
    SetRandomSeed(saved);
}

TEST(ArcStepper, StepCountRule) {
    struct Case { double start, end, rx, ry; int32_t n; };
    const Case cases[] = {
        { 0, 0.5, 10, 10, 4 },          // 1.25 -> 1 -> at least 4
        { 0, kTwoPi, 700, 700, 1024 },  // capped
        { 0, kHalfPi, 20, 10, 5 },      // 5.89 truncated
        { 1, 0.5, 10, 10, 14 },         // wraps: sweep 2 pi - 0.5, 14.46 truncated
        { 2, 2, 100, 100, 4 },          // equal angles: no sweep
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << ".." << c.end);
        ArcStepper s{};
        s.centre = { 100, 50 };
        s.startAngle = c.start;
        s.endAngle = c.end;
        s.radiusX = c.rx;
        s.radiusY = c.ry;
        BeginArcSteps(&s);
        EXPECT_EQ(s.stepCount, c.n);
        int points = 0;
        RealPoint last{};
        while (!ArcStepsDone(&s)) {
            if (points == 0) {
                EXPECT_DOUBLE_EQ(s.current.x, 100 + c.rx * std::cos(c.start));
                EXPECT_DOUBLE_EQ(s.current.y, 50 + c.ry * std::sin(c.start));
            }
            last = s.current;
            ++points;
            NextArcStep(&s);
        }
        EXPECT_EQ(points, c.n + 1);
        EXPECT_NEAR(last.x, 100 + c.rx * std::cos(c.end), 1e-9 * (c.rx + 1));
        EXPECT_NEAR(last.y, 50 + c.ry * std::sin(c.end), 1e-9 * (c.ry + 1));
    }
}

TEST(ArcStepper, PointsFollowTheEllipseTowardsGrowingAngles) {
    ArcStepper s{};
    s.centre = { 0, 0 };
    s.startAngle = 0;
    s.endAngle = kHalfPi;
    s.radiusX = 20;
    s.radiusY = 10;
    BeginArcSteps(&s);
    ASSERT_EQ(s.stepCount, 5);
    for (int k = 0; !ArcStepsDone(&s); ++k, NextArcStep(&s)) {
        const double a = k * kHalfPi / 5;
        SCOPED_TRACE(k);
        EXPECT_NEAR(s.current.x, 20 * std::cos(a), 1e-9);
        EXPECT_NEAR(s.current.y, 10 * std::sin(a), 1e-9);  // y grows: clockwise as seen
    }
}

// Undefined and infinite coordinates (from a damaged file or a runaway calculation)
// must give answers, never traps: every conversion to screen coordinates clamps.
TEST(HostileNumbers, NoRoutineTrapsOnInfinityOrNaN) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double values[] = { nan, inf, -inf, 1e308, -1e308, 0 };
    const ScreenRect world = { -20000, -20000, 20000, 20000 };
    for (double v : values) {
        for (double w : values) {
            SCOPED_TRACE(testing::Message() << v << "," << w);
            const LineForm f = MakeLineForm({ v, 0 }, { 1, w });
            ScreenPoint out;
            ClipLineToRect(f.first, f.second, f.slope, world, &out);
            RealPoint p;
            IntersectLines(f, kShapeSegment, MakeLineForm({ 0, 0 }, { 1, 1 }), kShapeLine, &p);
            IntersectLineCurve(f, kShapeRay, Circle(w, 0, 5), 1, &p);
            IntersectCurves(Circle(v, w, 1), Circle(0, 0, 2), 1, &p);
            CurveRangeContains(Arc(0, 0, 1, 0, 2), { v, w });
            double lo, hi;
            VisibleParameterRange(f, world, &lo, &hi);
            ArcStepper s{};
            s.startAngle = v;
            s.endAngle = w;
            s.radiusX = s.radiusY = 10;
            BeginArcSteps(&s);
            EXPECT_GE(s.stepCount, 4);
            EXPECT_LE(s.stepCount, 1024);
        }
    }
}
