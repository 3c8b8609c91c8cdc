#include "engine/core/straight_objects.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/drawing_pass.h"
#include "engine/core/geometry_metrics.h"
#include "engine/core/services/preferences.h"
#include "platform/rules/drawing_metrics_table.h"

namespace {

bool SameRect(const ScreenRect& a, const ScreenRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

StraightData Straight(RealPoint a, RealPoint b) {
    StraightData d{};
    d.form.first = a;
    d.form.second = b;
    return d;
}

// The drawing metrics at their screen values, whatever an earlier test left.
class StraightGeometry : public testing::Test {
protected:
    void SetUp() override {
        saved_ = GeometryMetrics;
        savedDrawing_ = DrawingMetrics;
        GeometryMetrics = { 3 };
        SetScreenDrawingMetrics(&DrawingMetrics, 0, 96, 13, 48);
    }
    void TearDown() override {
        GeometryMetrics = saved_;
        DrawingMetrics = savedDrawing_;
    }
    GeometryMetricsRecord saved_{};
    DrawingMetricsRecord savedDrawing_{};
};

}  // namespace

TEST_F(StraightGeometry, VisiblePieceAndBoundsByShapeKind) {
    struct Case {
        RealPoint a, b; int32_t kind; ScreenPoint p0, p1; ScreenRect bounds, core;
    };
    const Case cases[] = {
        { { 0, 0 }, { 10, 5.4 }, kShapeSegment, { 0, 0 }, { 10, 5 }, { 0, 0, 10, 5 }, { 0, 0, 10, 5 } },
        { { 0, 0 }, { 1, 0 }, kShapeLine, { 20000, 0 }, { -20000, 0 }, { -20000, 0, 20000, 0 }, { 0, 0, 1, 0 } },
        { { 3, 4 }, { 3, 2 }, kShapeRay, { 3, 4 }, { 3, -20000 }, { 3, -20000, 3, 4 }, { 3, 2, 3, 4 } },
        { { 0, 0 }, { 1, 1 }, kShapeAxis, { 20000, 20000 }, { -20000, -20000 }, { -20000, -20000, 20000, 20000 }, { 0, 0, 1, 1 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        StraightData d = Straight(c.a, c.b);
        ScreenRect bounds{}, core{};
        ASSERT_TRUE(ComputeStraightForm(&d, c.kind, &bounds, &core));
        EXPECT_EQ(d.visiblePiece[0].x, c.p0.x); EXPECT_EQ(d.visiblePiece[0].y, c.p0.y);
        EXPECT_EQ(d.visiblePiece[1].x, c.p1.x); EXPECT_EQ(d.visiblePiece[1].y, c.p1.y);
        EXPECT_TRUE(SameRect(bounds, c.bounds));
        EXPECT_TRUE(SameRect(core, c.core));
        EXPECT_DOUBLE_EQ(d.hitLengthTerm, 16 * (d.form.dx * d.form.dx + d.form.dy * d.form.dy));
    }
}

TEST_F(StraightGeometry, CoincidingPointsChangeNothing) {
    StraightData d = Straight({ 0, 0 }, { 10, 0 });
    ScreenRect bounds{}, core{};
    ASSERT_TRUE(ComputeStraightForm(&d, kShapeSegment, &bounds, &core));
    d.form.second = d.form.first;
    const ScreenRect before = bounds;
    EXPECT_FALSE(ComputeStraightForm(&d, kShapeSegment, &bounds, &core));
    EXPECT_EQ(d.form.dx, 10);
    EXPECT_TRUE(SameRect(bounds, before));
    d.form.second = { 0, 7 };  // vertical: infinite slope
    ASSERT_TRUE(ComputeStraightForm(&d, kShapeSegment, &bounds, &core));
    EXPECT_EQ(d.form.dx, 0);
    EXPECT_TRUE(std::isinf(d.form.slope));
}

TEST_F(StraightGeometry, TickLadderForSeveralUnitLengths) {
    struct Case { double unit; double spacing; int32_t minor, horizontalInterval; };
    const Case cases[] = {
        { 40, 8, 5, 25 },     // 40, 20, 8 down the ladder
        { 1, 5, 2, 20 },      // 1, 2, 5 up the ladder
        { 0.1, 5, 2, 20 },    // 0.1 .. 5
        { 3.5, 3.5, 5, 20 },  // already in the band
        { 7, 7, 5, 20 },
        { 9, 4.5, 2, 20 },
        { 30, 6, 5, 25 },     // 30, 15, 6
        { 100, 5, 2, 20 },    // 100, 50, 20, 10, 5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        double s = c.unit;
        int32_t minor = 0, interval = 0;
        AxisTickLadder(&s, &minor, &interval, true);
        EXPECT_NEAR(s, c.spacing, 1e-12);
        EXPECT_EQ(minor, c.minor);
        EXPECT_EQ(interval, c.horizontalInterval);
        s = c.unit;
        AxisTickLadder(&s, &minor, &interval, false);
        EXPECT_EQ(interval, 10);
    }
    double zero = 0;
    int32_t minor = 0, interval = 0;
    AxisTickLadder(&zero, &minor, &interval, true);  // must not loop forever
    EXPECT_EQ(zero, 0);
}

TEST_F(StraightGeometry, AxisBoundsTakeTickAndLabelRoom) {
    AxisData axis{};
    axis.unitDistance = 40;
    axis.horizontal = 1;
    AxisDefiningPoints({ 0, 0 }, true, &axis.straight.form.first, &axis.straight.form.second);
    ScreenRect bounds{}, core{};
    ASSERT_TRUE(ComputeStraightForm(&axis.straight, kShapeAxis, &bounds, &core));
    FinishAxisForm(&axis, &bounds);
    EXPECT_TRUE(SameRect(bounds, ScreenRect{ -20005, -5, 20005, 20 }));
    EXPECT_TRUE(SameRect(core, ScreenRect{ -100, 0, 100, 0 }));
    EXPECT_DOUBLE_EQ(axis.tickSpacing, 8);
    EXPECT_EQ(axis.labelInterval, 25);

    axis.horizontal = 0;
    AxisDefiningPoints({ 0, 0 }, false, &axis.straight.form.first, &axis.straight.form.second);
    ASSERT_TRUE(ComputeStraightForm(&axis.straight, kShapeAxis, &bounds, &core));
    FinishAxisForm(&axis, &bounds);
    EXPECT_TRUE(SameRect(bounds, ScreenRect{ -55, -20005, 5, 20005 }));
    EXPECT_EQ(axis.labelInterval, 10);

    // Printed at twice the screen's resolution: the tick, the number field and the gap
    // all double.
    ScaleDrawingMetrics(2 * ThePreferences().resolution, 2.0);
    axis.horizontal = 1;
    AxisDefiningPoints({ 0, 0 }, true, &axis.straight.form.first, &axis.straight.form.second);
    ASSERT_TRUE(ComputeStraightForm(&axis.straight, kShapeAxis, &bounds, &core));
    FinishAxisForm(&axis, &bounds);
    EXPECT_TRUE(SameRect(bounds, ScreenRect{ -20010, -10, 20010, 40 }));
}

TEST_F(StraightGeometry, SnappingGoesToLabelledMarksOnly) {
    AxisData h{};
    h.origin = { 0, 0 };
    h.horizontal = 1;
    h.unitDistance = 40;
    h.tickSpacing = 8;
    h.labelInterval = 25;  // a labelled mark every 200 pixels, 5 units
    struct Case { int16_t x, y; bool snaps; double value; };
    const Case hcases[] = {
        { 203, 7, true, 5 }, { 189, 0, true, 5 }, { 188, 0, false, 0 }, { 215, 0, false, 0 },
        { 5, 0, false, 0 },  // the origin is no mark
        { -398, 0, true, -10 }, { 1000, 0, true, 25 },
    };
    for (const Case& c : hcases) {
        SCOPED_TRACE(c.x);
        double value = 0, offset = 0;
        EXPECT_EQ(SnapToAxisMarks(h, -20005, { c.x, c.y }, &value, &offset), c.snaps);
        EXPECT_EQ(offset, c.x);
        if (c.snaps) {
            EXPECT_DOUBLE_EQ(value, c.value);
        }
    }

    AxisData v = h;
    v.horizontal = 0;
    v.labelInterval = 10;  // every 80 pixels, 2 units
    const Case vcases[] = {
        { 10, 81, true, 2 },
        { 10, 88, false, 0 },     // 8 pixels off: (13 + 2) / 2 = 7 is the limit
        { -50, 81, false, 0 },    // over the tick labels left of the axis
        { -50, 8080, true, 202 }, // far out the label test is skipped
    };
    for (const Case& c : vcases) {
        SCOPED_TRACE(c.y);
        double value = 0, offset = 0;
        EXPECT_EQ(SnapToAxisMarks(v, -55, { c.x, c.y }, &value, &offset), c.snaps);
        if (c.snaps) {
            EXPECT_DOUBLE_EQ(value, c.value);
        }
    }
}

TEST(StraightConstructions, DefiningPointsOfPerpendicularParallelAndBisector) {
    RealPoint a, b;
    PerpendicularPoints({ 5, 5 }, 10, 0, &a, &b);
    EXPECT_EQ(a.x, 5); EXPECT_EQ(a.y, 0); EXPECT_EQ(b.x, 5); EXPECT_EQ(b.y, 10);
    ParallelPoints({ 5, 5 }, 10, 4, &a, &b);
    EXPECT_EQ(a.x, 0); EXPECT_EQ(a.y, 3); EXPECT_EQ(b.x, 10); EXPECT_EQ(b.y, 7);

    RealPoint through;
    ASSERT_TRUE(BisectorThroughPoint({ 10, 0 }, { 0, 0 }, { 0, 3 }, &through));
    EXPECT_NEAR(through.x, std::sqrt(9000) / 2, 1e-9);
    EXPECT_NEAR(through.y, std::sqrt(9000) / 2, 1e-9);
    EXPECT_NEAR(std::hypot(through.x, through.y), std::sqrt(9000) / std::sqrt(2), 1e-9);

    EXPECT_FALSE(BisectorThroughPoint({ 10, 0 }, { 0, 0 }, { -3, 0 }, &through));  // 180 degrees
    const double r = 179 * 3.1415926535898 / 180;
    EXPECT_TRUE(BisectorThroughPoint({ 10, 0 }, { 0, 0 }, { 10 * std::cos(r), 10 * std::sin(r) }, &through));
    EXPECT_FALSE(BisectorThroughPoint({ 0, 0 }, { 0, 0 }, { 0, 3 }, &through));
    EXPECT_FALSE(BisectorThroughPoint({ 10, 0 }, { 0, 0 }, { 0, 0 }, &through));
}

TEST(VisibleParameterRange, EdgesAndCorners) {
    const ScreenRect r = { 0, 0, 10, 10 };
    double lo = 0, hi = 0;
    EXPECT_FALSE(VisibleParameterRange(MakeLineForm({ 0, 3 }, { 0, 4 }), r, &lo, &hi));  // left edge
    ASSERT_TRUE(VisibleParameterRange(MakeLineForm({ 10, 3 }, { 10, 4 }), r, &lo, &hi)); // right edge
    EXPECT_DOUBLE_EQ(lo, -3); EXPECT_DOUBLE_EQ(hi, 7);
    EXPECT_FALSE(VisibleParameterRange(MakeLineForm({ 2, 0 }, { 3, 0 }), r, &lo, &hi));  // top edge
    ASSERT_TRUE(VisibleParameterRange(MakeLineForm({ 3, 10 }, { 1, 10 }), r, &lo, &hi)); // bottom edge
    EXPECT_DOUBLE_EQ(lo, -3.5); EXPECT_DOUBLE_EQ(hi, 1.5);
    EXPECT_FALSE(VisibleParameterRange(MakeLineForm({ 0, 0 }, { 1, -1 }), r, &lo, &hi)); // corner only
    ASSERT_TRUE(VisibleParameterRange(MakeLineForm({ 0, 0 }, { 2, 2 }), r, &lo, &hi));   // diagonal
    EXPECT_DOUBLE_EQ(lo, 0); EXPECT_DOUBLE_EQ(hi, 5);
    ASSERT_TRUE(VisibleParameterRange(MakeLineForm({ 20, 15 }, { 18, 14 }), r, &lo, &hi)); // backwards
    EXPECT_DOUBLE_EQ(lo, 5); EXPECT_DOUBLE_EQ(hi, 10);
    EXPECT_FALSE(VisibleParameterRange(MakeLineForm({ 20, 0 }, { 21, 1 }), r, &lo, &hi));  // misses
}
