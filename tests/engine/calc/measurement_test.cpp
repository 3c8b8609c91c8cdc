// Every row of the measurement function table on a small construction, with values
// worked out by hand.
#include <cmath>
#include <limits>

#include "engine/calc/calc_fixture.h"

using namespace calc_test;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kPi = 3.1415926535898;  // the engine's rounded pi

double Measure(SketchObject* m) {
    UpdateMeasurement(m, ParentItemsOf(m));
    const ValueDisplay* d = ValueDisplayOf(m);
    return d->defined ? d->value : NAN;
}

void ExpectValue(SketchObject* m, double expected, double tolerance = 1e-9) {
    double v = Measure(m);
    if (std::isnan(expected)) EXPECT_TRUE(std::isnan(v)) << v;
    else if (std::isinf(expected)) EXPECT_EQ(v, expected);
    else EXPECT_NEAR(v, expected, tolerance);
}

}  // namespace

TEST(Measurements, TableRowsMatchTheirTypes) {
    struct Row {
        int32_t type;
        int16_t distance, angle;
        uint16_t caption;
    };
    const Row rows[] = {
        {40, 1, 0, 0},  {41, 1, 0, 1},  {42, 1, 0, 2},  {43, 1, 0, 3},   {44, 1, 0, 4},  {45, 0, 1, 5},
        {46, 2, 0, 6},  {47, 0, 1, 30}, {48, 1, 0, 30}, {49, 0, 0, 13},  {50, 1, 0, 14}, {51, 0, 0, 30},
        {52, 0, 0, 29}, {69, 0, 0, 27}, {70, 0, 0, 28}, {75, 0, 0, 31},  {88, 0, 0, 1},  {89, 0, 0, 13},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.type);
        uint32_t row = MeasureFunctionOfType(r.type);
        ASSERT_LT(row, kMeasurementFunctionRows);
        EXPECT_EQ(MeasurementFunctionTable[row].distanceExponent, r.distance);
        EXPECT_EQ(MeasurementFunctionTable[row].angleExponent, r.angle);
        EXPECT_EQ(MeasurementFunctionTable[row].captionTemplate, r.caption);
        EXPECT_EQ(MeasurementFunctionTable[row].compute == nullptr, r.type == 75);
    }
    EXPECT_EQ(MeasureFunctionOfType(80), 15u);
    EXPECT_EQ(MeasureFunctionOfType(3), 18u);
    // Captions chosen by the parent count.
    EXPECT_EQ(MeasurementCaptionTemplate(47, 1), 7);
    EXPECT_EQ(MeasurementCaptionTemplate(47, 4), 9);
    EXPECT_EQ(MeasurementCaptionTemplate(48, 3), 11);
    EXPECT_EQ(MeasurementCaptionTemplate(51, 2), 15);
    EXPECT_EQ(MeasurementCaptionTemplate(51, 3), 16);
    EXPECT_EQ(MeasurementCaptionTemplate(45, 3), 5);
}

TEST(Measurements, LengthsDistancesAndPerimeters) {
    Construction k;
    SketchObject* a = k.Point(0, 0);
    SketchObject* b = k.Point(30, 40);
    SketchObject* ab = k.Segment(a, b);
    ExpectValue(k.Measurement(40, {ab}), 50);
    ExpectValue(k.Measurement(41, {a, b}), 50);

    // Distance from (10, 0) to the line through (0, 0) and (30, 40): |4*10 - 3*0| / 5 = 8.
    SketchObject* p = k.Point(10, 0);
    ExpectValue(k.Measurement(42, {p, ab}), 8);
    SketchObject* vertical = k.Segment(k.Point(5, 0), k.Point(5, 9));
    ExpectValue(k.Measurement(42, {p, vertical}), 5);
    ExpectValue(k.Measurement(42, {p, k.Circle(0, 0, 1)}), NAN);

    SketchObject* square = k.Polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    ExpectValue(k.Measurement(43, {square}), 40);
    // A quarter-disc sector of radius 10: two radii and a quarter of 2 pi 10.
    SketchObject* sector = k.Arc(0, 0, 10, 0, kPi / 2, 13, 26);
    ExpectValue(k.Measurement(43, {sector}), 20 + 5 * kPi);
    ExpectValue(k.Measurement(44, {k.Circle(0, 0, 10)}), 62.831853071796);

    {
        SketchUnits cm(1, 1);
        double oneCm = 1;
        FromDistanceUnits(&oneCm, 1);
        ExpectValue(k.Measurement(41, {k.Point(0, 0), k.Point(oneCm, 0)}), 1);
    }
}

TEST(Measurements, LengthOfAMissingSegment) {
    Construction k;
    SketchObject* a = k.Point(3, 3);
    SketchObject* b = k.Point(3, 3);
    SketchObject* ab = k.Segment(a, b);
    ab->exists = 0;  // coinciding end points
    SketchObject* m = k.Measurement(40, {ab});
    ExpectValue(m, 0);
    EXPECT_EQ(m->exists, 1);
    b->exists = 0;   // the segment is gone with its point: so is the measurement
    Measure(m);
    EXPECT_EQ(m->exists, 0);
}

TEST(Measurements, Angles) {
    Construction k;
    SketchObject* vertex = k.Point(0, 0);
    SketchObject* east = k.Point(10, 0);
    SketchObject* north = k.Point(0, -10);  // screen y grows downwards
    SketchObject* west = k.Point(-10, 0);
    SketchObject* south = k.Point(0, 10);
    ExpectValue(k.Measurement(45, {east, vertex, north}), 90);
    ExpectValue(k.Measurement(45, {east, vertex, south}), 90);  // degrees: unsigned
    ExpectValue(k.Measurement(45, {east, vertex, west}), 180);
    ExpectValue(k.Measurement(45, {vertex, vertex, north}), NAN);  // first point on the vertex
    ExpectValue(k.Measurement(45, {vertex, vertex, vertex}), NAN);
    {
        SketchUnits directed(0, 2);
        ExpectValue(k.Measurement(45, {east, vertex, south}), -90);
    }
    {
        SketchUnits radians(0, 0);
        ExpectValue(k.Measurement(45, {east, vertex, north}), 1.5707963267949);
    }
}

TEST(Measurements, Areas) {
    Construction k;
    ExpectValue(k.Measurement(46, {k.Circle(0, 0, 10)}), kPi * 100);
    ExpectValue(k.Measurement(46, {k.Circle(0, 0, 10, 5)}), kPi * 100);
    ExpectValue(k.Measurement(46, {k.Polygon({{0, 0}, {4, 0}, {0, 3}})}), 6);
    ExpectValue(k.Measurement(46, {k.Polygon({{0, 3}, {4, 0}, {0, 0}})}), 6);  // either turning
    ExpectValue(k.Measurement(46, {k.Arc(0, 0, 10, 0, kPi / 2, 13, 26)}), 25 * kPi);
    // Segment: sector less the triangle of the two radii, 25 pi - 50.
    ExpectValue(k.Measurement(46, {k.Arc(0, 0, 10, 0, kPi / 2, 13, 27)}), 25 * kPi - 50);
    // The sweep wraps: from 3 pi / 2 to 0 is a quarter turn.
    ExpectValue(k.Measurement(46, {k.Arc(0, 0, 10, 3 * kPi / 2, 0, 13, 26)}), 25 * kPi, 1e-9);
    ExpectValue(k.Measurement(46, {k.Point(0, 0)}), NAN);
    {
        SketchUnits inches(2, 1);
        double inch = 1;
        FromDistanceUnits(&inch, 2);
        ExpectValue(k.Measurement(46, {k.Polygon({{0, 0}, {inch, 0}, {inch, 2 * inch}, {0, 2 * inch}})}), 2);
    }
}

TEST(Measurements, ArcAnglesAndLengths) {
    Construction k;
    SketchObject* arc = k.Arc(0, 0, 10, 0, kPi / 2);
    ExpectValue(k.Measurement(47, {arc}), 90, 1e-9);
    ExpectValue(k.Measurement(48, {arc}), 5 * kPi);

    // Points on a circle at screen angles 0, 30 and 90 degrees (clockwise as seen).
    SketchObject* circle = k.Circle(0, 0, 10);
    auto at = [&](double degrees) {
        double r = degrees * kPi / 180;
        return k.Point(10 * std::cos(r), 10 * std::sin(r));
    };
    SketchObject* p1 = at(0);
    SketchObject* p30 = at(30);
    SketchObject* p90 = at(90);
    SketchObject* p120 = at(120);
    ExpectValue(k.Measurement(47, {circle, p1, p30}), 30, 1e-9);
    ExpectValue(k.Measurement(48, {circle, p1, p30}), 10 * kPi / 6, 1e-9);
    // Through P2 at 30 to P3 at 90: 90 degrees; through P2 at 120 to P3 at 90 the long
    // way round: -270, negated to 270.
    ExpectValue(k.Measurement(47, {circle, p1, p30, p90}), 90, 1e-9);
    ExpectValue(k.Measurement(47, {circle, p1, p120, p90}), 270, 1e-9);
    {
        SketchUnits directed(0, 2);
        ExpectValue(k.Measurement(47, {circle, p1, p120, p90}), 270, 1e-9);
        ExpectValue(k.Measurement(47, {circle, p1, p30, p90}), -90, 1e-9);
    }
    ExpectValue(k.Measurement(48, {circle, p1, p120, p90}), 10 * 1.5 * kPi, 1e-9);
    ExpectValue(k.Measurement(47, {circle, k.Point(0, 0), p30}), NAN);  // a point on the centre
    ExpectValue(k.Measurement(47, {k.Point(0, 0), p1, p30}), NAN);
}

TEST(Measurements, SlopesRadiiAndRatios) {
    Construction k;
    SketchObject* a = k.Point(0, 0);
    SketchObject* b = k.Point(10, -20);  // up and to the right on screen
    SketchObject* ab = k.Segment(a, b);
    ExpectValue(k.Measurement(49, {ab}), 2);
    ExpectValue(k.Measurement(49, {k.Segment(k.Point(1, 0), k.Point(1, 5))}), NAN);

    ExpectValue(k.Measurement(50, {k.Circle(0, 0, 7)}), 7);
    ExpectValue(k.Measurement(50, {k.Arc(0, 0, 7, 0, 1)}), 7);
    ExpectValue(k.Measurement(50, {k.StraightArc()}), kInf);

    SketchObject* c = k.Point(0, 5);
    SketchObject* d = k.Point(0, 15);
    SketchObject* cd = k.Segment(c, d);
    ExpectValue(k.Measurement(51, {ab, cd}), std::sqrt(500.0) / 10);
    SketchObject* e = k.Point(4, 4);
    SketchObject* zero = k.Segment(e, k.Point(4, 4));
    ExpectValue(k.Measurement(51, {ab, zero}), kInf);
    ExpectValue(k.Measurement(51, {zero, zero}), NAN);

    // Three points: projection of P2 on P0 P1 as a fraction of P0 P1.
    SketchObject* p0 = k.Point(0, 0);
    SketchObject* p1 = k.Point(10, 0);
    ExpectValue(k.Measurement(51, {p0, p1, k.Point(25, 7)}), 2.5);
    ExpectValue(k.Measurement(51, {p0, k.Point(0, 0), k.Point(3, 0)}), kInf);
    ExpectValue(k.Measurement(51, {p0, k.Point(0, 0), k.Point(0, 0)}), NAN);
    ExpectValue(k.Measurement(51, {p0, k.Point(0.01, 0), k.Point(3, 0)}), NAN);  // near but not equal
}

TEST(Measurements, CoordinateReadings) {
    Construction k;
    SketchObject* frame = k.CoordinateSystem(100, 200, 20, 40);
    SketchObject* p = k.Point(140, 120);  // above the origin on screen
    ExpectValue(k.Measurement(69, {p, frame}), 2);
    ExpectValue(k.Measurement(70, {p, frame}), 2);
    SketchObject* q = k.Point(80, 240);
    // dx = 60 / 20 = 3, dy = 120 / 40 = 3.
    ExpectValue(k.Measurement(88, {p, q, frame}), std::sqrt(18.0));
    ExpectValue(k.Measurement(89, {k.Segment(p, q), frame}), -(-120.0 / 60) * 20 / 40);
    ExpectValue(k.Measurement(89, {k.Segment(p, k.Point(140, 0)), frame}), NAN);
    // A degenerate frame gives no number, never a NaN reported as defined.
    SketchObject* flat = k.CoordinateSystem(140, 200, 0, 0);
    ExpectValue(k.Measurement(69, {p, flat}), NAN);
    SketchObject* m = k.Measurement(69, {p, flat});
    Measure(m);
    EXPECT_EQ(ValueDisplayOf(m)->defined, 0);
}

TEST(Measurements, CalculationsFollowTheirParents) {
    Construction k;
    SketchObject* a = k.Point(0, 0);
    SketchObject* b = k.Point(30, 40);
    SketchObject* length = k.Measurement(41, {a, b});
    Measure(length);
    SketchObject* calc = k.Calc({Value(0), kTimes, 2}, {length});
    calc->constructionType = 52;
    ExpectValue(calc, 100);
    EXPECT_EQ(calc->objectKind, kKindDistanceMeasurement);
    ExpectValue(k.Measurement(45, {a, a, b}), NAN);
    // An undefined parent makes the calculation undefined, leaving its last value.
    ValueDisplayOf(length)->defined = 0;
    Measure(calc);
    EXPECT_EQ(ValueDisplayOf(calc)->defined, 0);
    EXPECT_EQ(ValueDisplayOf(calc)->value, 100);
    // Nothing is computed while the display is being rebuilt.
    ValueDisplayOf(length)->defined = 1;
    ValueDisplayOf(calc)->busy = 1;
    Measure(calc);
    EXPECT_EQ(ValueDisplayOf(calc)->defined, 0);
}

TEST(Measurements, UnitsAndDefaultPrecision) {
    Construction k;
    ExpressionUnitsInfo area = MeasurementUnits(k.Measurement(46, {}));
    EXPECT_EQ(area.distanceExponent, 2);
    EXPECT_EQ(area.angleExponent, 0);
    ExpressionUnitsInfo angle = MeasurementUnits(k.Measurement(47, {}));
    EXPECT_EQ(angle.angleExponent, 1);
    // A parameter is a free calculation whose units come from its expression.
    SketchObject* parameter = k.Calc({3, kCm});
    parameter->constructionType = 0;
    EXPECT_EQ(MeasurementUnits(parameter).distanceExponent, 1);
    // The sketch's precisions: distances, angles, other values.
    int32_t* precision = CurrentSketch()->settings.precision;
    precision[0] = 1, precision[1] = 3, precision[2] = 4;
    EXPECT_EQ(DefaultPrecision(true, true, false), 4);
    EXPECT_EQ(DefaultPrecision(true, false, false), 1);
    EXPECT_EQ(DefaultPrecision(false, true, false), 3);
    EXPECT_EQ(DefaultPrecision(false, true, true), 4);
}
