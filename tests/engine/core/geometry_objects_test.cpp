// Points, straight objects, axes and circles as sketch objects: construction,
// recompute and the existence rule, hit tests, transforms and record codecs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "engine/calc/value_objects.h"
#include "engine/core/angle_constants.h"
#include "engine/core/circle_objects.h"
#include "engine/core/geometry_metrics.h"
#include "engine/core/geometry_neighbours.h"
#include "engine/core/object_geometry.h"
#include "engine/core/paths.h"
#include "engine/core/point_objects.h"
#include "engine/core/random.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/straight_object_ops.h"
#include "engine/core/transform_maps.h"
#include "engine/docio/record_codecs.h"
#include "sketch_fixture.h"

namespace {

RealPoint& Pos(SketchObject* p) { return ClassData<PointData>(p)->position; }
const LineForm& Form(SketchObject* s) { return ClassData<StraightData>(s)->form; }
CircleData& Circ(SketchObject* c) { return *ClassData<CircleData>(c); }
AxisData& Axis(SketchObject* a) { return *ClassData<AxisData>(a); }

double Dist(RealPoint a, RealPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Distance of p from the infinite line of a form.
double OffLine(const LineForm& f, RealPoint p) {
    return std::fabs((p.y - f.first.y) * f.dx - (p.x - f.first.x) * f.dy) / std::hypot(f.dx, f.dy);
}

PtrList OneReal(double v) {
    PtrList list = 0;
    const int32_t items = static_cast<int32_t>((8 + sizeof(void*) - 1) / sizeof(void*));
    EXPECT_TRUE(AllocPtrList(items, items, &list));
    std::memcpy(PtrListData(list), &v, 8);
    return list;
}

class GeometryObjects : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        savedMetrics = GeometryMetrics;
        GeometryMetrics = { 3 };
    }
    void TearDown() override {
        GeometryMetrics = savedMetrics;
        SketchTest::TearDown();
    }

    void Move(SketchObject* p, double x, double y) {
        SetPointPosition(p, x, y, 1, nullptr, false);
        RecomputeSketch(false);
    }

    // The road of a drag: the point is put in place, then everything that depends on
    // it is collected in sketch order and recomputed. Answers the recompute chain.
    std::vector<SketchObject*> Drag(SketchObject* p, double x, double y) {
        SetPointPosition(p, x, y, 1, nullptr, false);
        SketchObject* head = p;
        p->tempLink = nullptr;
        CollectDependents(&head, true);
        RecomputeObjects(head, true, nullptr);
        std::vector<SketchObject*> chain;
        for (SketchObject* o = head; o; o = o->tempLink) chain.push_back(o);
        return chain;
    }

    GeometryMetricsRecord savedMetrics{};
};

}  // namespace

TEST_F(GeometryObjects, DraggingAFreePointMovesEveryDependant) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* seg = Build(kTypeSegment, { a, b });
    SketchObject* mid = Build(kTypeMidpoint, { seg });
    SketchObject* circle = Build(kTypeCircleByPoint, { a, b });
    SketchObject* perp = Build(kTypePerpendicular, { mid, seg });
    SketchObject* x1 = Build(11, { perp, circle });
    SketchObject* x2 = Build(12, { perp, circle });
    SketchObject* c = PointAt(30, 80);
    SketchObject* circle2 = Build(kTypeCircleByPoint, { b, c });
    SketchObject* y1 = Build(13, { circle, circle2 });
    SketchObject* y2 = Build(14, { circle, circle2 });
    for (SketchObject* o : { seg, mid, circle, perp, x1, x2, circle2, y1, y2 }) ASSERT_NE(o, nullptr);

    SetRandomSeed(2024);
    for (int i = 0; i < 200; ++i) {
        SketchObject* dragged = (i % 3 == 0) ? a : (i % 3 == 1) ? b : c;
        const std::vector<SketchObject*> chain =
            Drag(dragged, (NextRandom() - 16384) / 100.0, (NextRandom() - 16384) / 100.0);
        SCOPED_TRACE(i);
        // Every object comes after those of its parents that were recomputed too.
        for (size_t k = 0; k < chain.size(); ++k) {
            int32_t n = 0;
            void** parents = PtrListItems(chain[k]->parents, &n);
            for (int32_t j = 0; j < n; ++j) {
                const auto at = std::find(chain.begin(), chain.end(), parents[j]);
                if (at != chain.end()) {
                    EXPECT_LT(at - chain.begin(), static_cast<std::ptrdiff_t>(k));
                }
            }
        }
        // a: itself, segment, midpoint, circle, perpendicular, 2 + 2 intersections;
        // b also the second circle; c: itself, the second circle, its 2 intersections.
        EXPECT_EQ(chain.size(), dragged == a ? 9u : dragged == b ? 10u : 4u);
        ASSERT_EQ(seg->exists, 1);
        EXPECT_NEAR(Pos(mid).x, (Pos(a).x + Pos(b).x) / 2, 1e-9);
        EXPECT_NEAR(Pos(mid).y, (Pos(a).y + Pos(b).y) / 2, 1e-9);
        EXPECT_NEAR(Circ(circle).radius, Dist(Pos(a), Pos(b)), 1e-9);
        // The perpendicular passes through the midpoint, square to the segment.
        EXPECT_NEAR(OffLine(Form(perp), Pos(mid)), 0, 1e-9);
        EXPECT_NEAR(Form(perp).dx * Form(seg).dx + Form(perp).dy * Form(seg).dy, 0, 1e-6);
        for (SketchObject* x : { x1, x2 }) {
            ASSERT_EQ(x->exists, 1);  // the perpendicular bisector always meets the circle
            EXPECT_NEAR(Dist(Pos(x), Circ(circle).centre), Circ(circle).radius, 1e-6);
            EXPECT_NEAR(OffLine(Form(perp), Pos(x)), 0, 1e-6);
        }
        EXPECT_GT(Dist(Pos(x1), Pos(x2)), 1);
        for (SketchObject* y : { y1, y2 }) {
            if (!y->exists) continue;
            EXPECT_NEAR(Dist(Pos(y), Circ(circle).centre), Circ(circle).radius, 1e-6);
            EXPECT_NEAR(Dist(Pos(y), Circ(circle2).centre), Circ(circle2).radius, 1e-6);
        }
        // The point bounds follow the position.
        EXPECT_EQ(mid->bounds.left, RoundToScreen(Pos(mid).x) - 3);
    }
}

TEST_F(GeometryObjects, SegmentAndMidpointDisappearAndReappear) {
    SketchObject* a = PointAt(10, 10);
    SketchObject* b = PointAt(30, 50);
    SketchObject* seg = Build(kTypeSegment, { a, b });
    SketchObject* mid = Build(kTypeMidpoint, { seg });
    Move(b, 10, 10);
    EXPECT_EQ(seg->exists, 0);
    EXPECT_EQ(mid->exists, 0);
    Move(b, 50, 30);
    EXPECT_EQ(seg->exists, 1);
    ASSERT_EQ(mid->exists, 1);
    EXPECT_DOUBLE_EQ(Pos(mid).x, 30);
    EXPECT_DOUBLE_EQ(Pos(mid).y, 20);
}

TEST_F(GeometryObjects, StraightAndCircleIntersectionsBySide) {
    SketchObject* o = PointAt(0, 0);
    SketchObject* r = PointAt(50, 0);
    SketchObject* circle = Build(kTypeCircleByPoint, { o, r });
    // A line crossing twice: type 11 at the crossing met first along its direction.
    SketchObject* p = PointAt(-100, 30);
    SketchObject* q = PointAt(100, 30);
    SketchObject* line = Build(kTypeLine, { p, q });
    SketchObject* first = Build(11, { line, circle });
    SketchObject* second = Build(12, { line, circle });
    ASSERT_EQ(first->exists, 1);
    ASSERT_EQ(second->exists, 1);
    EXPECT_NEAR(Pos(first).x, -40, 1e-9);
    EXPECT_NEAR(Pos(second).x, 40, 1e-9);
    // A segment crossing once: both points of the pair sit on that crossing.
    SketchObject* s = PointAt(0, -30);
    SketchObject* seg = Build(kTypeSegment, { s, q });
    SketchObject* s1 = Build(11, { seg, circle });
    SketchObject* s2 = Build(12, { seg, circle });
    ASSERT_EQ(s1->exists, 1);
    ASSERT_EQ(s2->exists, 1);
    EXPECT_NEAR(Pos(s1).x, Pos(s2).x, 1e-9);
    EXPECT_NEAR(Pos(s1).y, Pos(s2).y, 1e-9);
    EXPECT_NEAR(Dist(Pos(s1), { 0, 0 }), 50, 1e-9);
    // Moving the segment away makes both disappear (the reason is intersection).
    Move(s, 200, 200);
    Move(q, 300, 200);
    EXPECT_EQ(s1->exists, 0);
    EXPECT_EQ(s2->exists, 0);
    EXPECT_EQ(ConstructionTypeTable[11].nonexistenceReason, 5);
}

TEST_F(GeometryObjects, TangentCirclesGiveOnePointForBothSides) {
    SketchObject* c1 = PointAt(0, 0);
    SketchObject* r1 = PointAt(30, 0);
    SketchObject* c2 = PointAt(50, 0);
    SketchObject* r2 = PointAt(30, 0);
    SketchObject* circle1 = Build(kTypeCircleByPoint, { c1, r1 });
    SketchObject* circle2 = Build(kTypeCircleByPoint, { c2, r2 });
    SketchObject* t1 = Build(13, { circle1, circle2 });
    SketchObject* t2 = Build(14, { circle1, circle2 });
    ASSERT_EQ(t1->exists, 1);
    ASSERT_EQ(t2->exists, 1);
    EXPECT_NEAR(Pos(t1).x, 30, 1e-9);
    EXPECT_NEAR(Pos(t2).x, 30, 1e-9);
    EXPECT_NEAR(Pos(t1).y, 0, 1e-9);
    Move(r2, 40, 0);  // apart now
    EXPECT_EQ(t1->exists, 0);
}

TEST_F(GeometryObjects, CircleOnItsCentreDisappears) {
    SketchObject* c = PointAt(10, 10);
    SketchObject* p = PointAt(40, 50);
    SketchObject* circle = Build(kTypeCircleByPoint, { c, p });
    SketchObject* disc = Build(kTypeCircleInterior, { circle });
    ASSERT_EQ(disc->exists, 1);
    EXPECT_DOUBLE_EQ(Circ(disc).radius, 50);
    EXPECT_EQ(circle->bounds.left, 10 - 50);
    EXPECT_EQ(circle->bounds.right, 10 + 50 + 1);
    Move(p, 10, 10);
    EXPECT_EQ(circle->exists, 0);
    EXPECT_EQ(disc->exists, 0);
    Move(p, 10 + 1e-12, 10);
    EXPECT_EQ(circle->exists, 1);
    EXPECT_GT(Circ(circle).radius, 0);
}

TEST_F(GeometryObjects, CircleByRadiusFromASegmentOrAValue) {
    SketchObject* c = PointAt(0, 0);
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(3, 4);
    SketchObject* seg = Build(kTypeSegment, { a, b });
    SketchObject* bySegment = Build(kTypeCircleByRadius, { c, seg });
    ASSERT_EQ(bySegment->exists, 1);
    EXPECT_DOUBLE_EQ(Circ(bySegment).radius, 5);

    SketchObject* measured = Value(0);
    SketchObject* byValue = Build(kTypeCircleByRadius, { c, measured });
    EXPECT_EQ(byValue->exists, 0);  // a length of 0
    SetValue(measured, 7);
    RecomputeSketch(false);
    ASSERT_EQ(byValue->exists, 1);
    EXPECT_DOUBLE_EQ(Circ(byValue).radius, DistanceFromSketchUnits(7));  // in the sketch's unit
    SetValue(measured, INFINITY);
    RecomputeSketch(false);
    EXPECT_EQ(byValue->exists, 0);
    SetValue(measured, 7, false);
    RecomputeSketch(false);
    EXPECT_EQ(byValue->exists, 0);
}

TEST_F(GeometryObjects, BisectorOfAStraightAngleDoesNotExist) {
    SketchObject* a = PointAt(100, 0);
    SketchObject* v = PointAt(0, 0);
    SketchObject* c = PointAt(0, 100);
    SketchObject* bis = Build(kTypeAngleBisector, { a, v, c });
    ASSERT_EQ(bis->exists, 1);
    EXPECT_NEAR(Form(bis).second.x, std::sqrt(9000) / 2, 1e-9);
    Move(c, -50, 0);
    EXPECT_EQ(bis->exists, 0);
    const double r = 179 * kPi / 180;
    Move(c, 50 * std::cos(r), 50 * std::sin(r));
    EXPECT_EQ(bis->exists, 1);
}

TEST_F(GeometryObjects, ParallelThroughAPointSpansTheBase) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(40, 30);
    SketchObject* p = PointAt(100, 100);
    SketchObject* seg = Build(kTypeSegment, { a, b });
    SketchObject* par = Build(kTypeParallel, { p, seg });
    ASSERT_EQ(par->exists, 1);
    EXPECT_DOUBLE_EQ(Form(par).first.x, 80);
    EXPECT_DOUBLE_EQ(Form(par).second.y, 115);
    // Lines are drawn to the world rectangle, whatever the view.
    EXPECT_EQ(par->bounds.right, 20000 + 2);
}

TEST_F(GeometryObjects, HitTestsEndSegmentsAtTheirBounds) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 100);
    SketchObject* seg = Build(kTypeSegment, { a, b });
    SketchObject* line = Build(kTypeLine, { a, b });
    EXPECT_TRUE(StraightHitTest({ 52, 48 }, seg));     // 2.8 pixels from the line
    EXPECT_FALSE(StraightHitTest({ 53, 47 }, seg));    // 4.2 pixels
    EXPECT_FALSE(StraightHitTest({ 101, 106 }, seg));  // 3.5 from the line, beyond the end
    EXPECT_TRUE(StraightHitTest({ 101, 106 }, line));
    EXPECT_TRUE(StraightHitTest({ -15000, -14997 }, line));
    // A horizontal segment's bounds reach only 2 pixels beyond its line.
    SketchObject* flat = Build(kTypeSegment, { a, PointAt(100, 0) });
    EXPECT_TRUE(StraightHitTest({ 50, 2 }, flat));
    EXPECT_FALSE(StraightHitTest({ 50, 3 }, flat));
    const ScreenRect marquee = { 40, 40, 60, 45 };
    EXPECT_TRUE(StraightHitTestRect(&marquee, seg));
    const ScreenRect away = { 140, 140, 160, 160 };
    EXPECT_FALSE(StraightHitTestRect(&away, seg));
    EXPECT_TRUE(StraightHitTestRect(&away, line));

    SketchObject* circle = Build(kTypeCircleByPoint, { a, PointAt(20, 0) });
    EXPECT_TRUE(CircleHitTest({ 16, 0 }, circle));
    EXPECT_FALSE(CircleHitTest({ 15, 0 }, circle));
    const ScreenRect inside = { -5, -5, 5, 5 };
    EXPECT_FALSE(CircleHitTestRect(&inside, circle));
    SketchObject* disc = Build(kTypeCircleInterior, { circle });
    EXPECT_TRUE(CircleHitTestRect(&inside, disc));
    EXPECT_TRUE(DiscHitTest({ 0, 0 }, disc));
}

TEST_F(GeometryObjects, TransformsKeepRadiiPositive) {
    SketchObject* c = PointAt(20, 0);
    SketchObject* circle = Build(kTypeCircleByPoint, { c, PointAt(25, 0) });
    // The image is an object of the same class; its data is written by the transform.
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCircle, 1, kKindCircle, 0 };
    SketchObject* target = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(target, nullptr);
    TransformMap dilate{};  // by -2 about (10, 0)
    dilate.ratio = -2;
    dilate.center = { 10, 0 };
    TransformCircle(circle, target, &dilate, DilatePoints);
    EXPECT_DOUBLE_EQ(Circ(target).centre.x, -10);
    EXPECT_DOUBLE_EQ(Circ(target).radius, 10);
    EXPECT_EQ(Circ(target).screenRadius, 10);

    SketchObject* a = PointAt(10, 0);
    SketchObject* seg = Build(kTypeSegment, { a, c });
    const ObjectTemplate st = { kTypeFree, 0, 0, kClassStraight, 1, kKindSegment, 0 };
    SketchObject* segImage = ConstructObjectEx(&st, nullptr, 0, 0, nullptr, nullptr, false);
    TransformStraight(seg, segImage, &dilate, DilatePoints);
    EXPECT_DOUBLE_EQ(Form(segImage).first.x, 10);
    EXPECT_DOUBLE_EQ(Form(segImage).second.x, -10);
    EXPECT_DOUBLE_EQ(Form(segImage).dx, -20);

    SketchObject* pointImage = PointAt(0, 0);
    TransformPoint(c, pointImage, &dilate, DilatePoints);
    EXPECT_DOUBLE_EQ(Pos(pointImage).x, -10);
    EXPECT_EQ(pointImage->bounds.left, -13);
}

TEST_F(GeometryObjects, UnitPointsKeepClearOfTheirOrigin) {
    SketchObject* origin = PointAt(100, 100);
    SketchObject* unit = Build(56, { origin }, nullptr, OneReal(40));
    ASSERT_NE(unit, nullptr);
    ASSERT_EQ(unit->exists, 1);
    EXPECT_DOUBLE_EQ(Pos(unit).x, 140);
    EXPECT_DOUBLE_EQ(Pos(unit).y, 100);
    // Dragged left of the origin it stays 0.1 right of it, and 0.1 is stored.
    SetPointPosition(unit, 60, 130, 1, nullptr, false);
    EXPECT_DOUBLE_EQ(Pos(unit).x, 100.1);
    EXPECT_DOUBLE_EQ(Pos(unit).y, 100);
    double stored = 0;
    std::memcpy(&stored, PtrListData(unit->constructionData), 8);
    EXPECT_DOUBLE_EQ(stored, 0.1);
    Move(origin, 0, 0);
    EXPECT_DOUBLE_EQ(Pos(unit).x, 0.1);

    SketchObject* vertical = Build(57, { origin }, nullptr, OneReal(25));
    ASSERT_EQ(vertical->exists, 1);
    EXPECT_DOUBLE_EQ(Pos(vertical).y, -25);
    SetPointPosition(vertical, 5, 30, 1, nullptr, false);  // below the origin
    EXPECT_DOUBLE_EQ(Pos(vertical).y, -0.1);
    EXPECT_DOUBLE_EQ(Pos(vertical).x, 0);
    // A square unit point follows the horizontal one onto the vertical axis.
    SetPointPosition(unit, 30, 0, 1, nullptr, false);
    SketchObject* square = Build(58, { unit });
    ASSERT_EQ(square->exists, 1);
    EXPECT_DOUBLE_EQ(Pos(square).x, 0);
    EXPECT_DOUBLE_EQ(Pos(square).y, -30);
}

TEST_F(GeometryObjects, AxesFromUnitPointsAndTheirTickLadder) {
    SketchObject* origin = PointAt(0, 0);
    SketchObject* unit = Build(56, { origin }, nullptr, OneReal(40));
    uint8_t horizontal[2] = { 1, 0 };
    SketchObject* axis = ConstructObject(62, horizontal, List({ origin, unit }), 0, true, false, nullptr);
    ASSERT_NE(axis, nullptr);
    RecomputeObject(axis, nullptr, true);
    ASSERT_EQ(axis->exists, 1);
    EXPECT_EQ(Axis(axis).horizontal, 1);
    EXPECT_DOUBLE_EQ(Axis(axis).unitDistance, 40);
    EXPECT_DOUBLE_EQ(Axis(axis).tickSpacing, 8);
    EXPECT_EQ(Axis(axis).minorCount, 5);
    EXPECT_EQ(Axis(axis).labelInterval, 25);
    EXPECT_EQ(axis->bounds.left, -20005);
    EXPECT_EQ(axis->bounds.bottom, 5 + 13 + 2);
    SketchObject* found = nullptr;
    ASSERT_TRUE(GetAxisUnitPoint(axis, &found));
    EXPECT_EQ(found, unit);
    double value = 0, offset = 0;
    EXPECT_TRUE(SnapToAxisGrid(axis, { 403, 2 }, &value, &offset));
    EXPECT_DOUBLE_EQ(value, 10);
    EXPECT_FALSE(SnapToAxisGrid(axis, { 2, 2 }, &value, &offset));

    // The unit point on the origin: the unit is no longer positive.
    SetPointPosition(unit, 0, 0, 1, nullptr, false);  // clamped to 0.1 by the unit point
    RecomputeSketch(false);
    EXPECT_EQ(axis->exists, 1);
    EXPECT_DOUBLE_EQ(Axis(axis).unitDistance, 0.1);
    SketchObject* free = PointAt(-5, 0);
    SketchObject* axis2 = ConstructObject(62, horizontal, List({ origin, free }), 0, true, false, nullptr);
    RecomputeObject(axis2, nullptr, true);
    EXPECT_EQ(axis2->exists, 0);
    EXPECT_FALSE(GetAxisUnitPoint(axis2, &found));
}

TEST_F(GeometryObjects, PointsOnPathsByStoredValueAndProjection) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* seg = Build(kTypeSegment, { a, b });
    SketchObject* on = Build(kTypePointOnPath, { seg }, nullptr, OneReal(1.5));
    ASSERT_EQ(on->exists, 1);
    EXPECT_DOUBLE_EQ(Pos(on).x, 150);  // beyond the second point, as stored
    SetPointPosition(on, 130, 40, 1, nullptr, false);  // projection clamps to the end
    EXPECT_DOUBLE_EQ(Pos(on).x, 100);
    EXPECT_DOUBLE_EQ(Pos(on).y, 0);
    Move(b, 0, 200);
    EXPECT_DOUBLE_EQ(Pos(on).x, 0);
    EXPECT_DOUBLE_EQ(Pos(on).y, 200);
    const double half = 0.5;
    SetPointPosition(on, 0, 0, 1, &half, false);  // by value: coordinates stay as given
    RecomputeSketch(false);
    EXPECT_DOUBLE_EQ(Pos(on).y, 100);

    SketchObject* circle = Build(kTypeCircleByPoint, { a, PointAt(10, 0) });
    const PathMethods* row = PathMethodsOf(circle);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->parameterWords, 4);
    PathParameterBlock block{};
    row->setParameter(circle, kHalfPi, &block);
    PtrList data = 0;
    const int32_t items = static_cast<int32_t>(16 / sizeof(void*));
    ASSERT_TRUE(AllocPtrList(items, items, &data));
    std::memcpy(PtrListData(data), &block, 16);
    SketchObject* onCircle = Build(kTypePointOnPath, { circle }, nullptr, data);
    ASSERT_EQ(onCircle->exists, 1);
    EXPECT_NEAR(Pos(onCircle).x, 0, 1e-9);
    EXPECT_NEAR(Pos(onCircle).y, -10, 1e-9);  // counter-clockwise: straight above
    Move(a, 50, 50);  // the circle still passes through (10, 0)
    EXPECT_NEAR(Pos(onCircle).x, 50, 1e-9);
    EXPECT_NEAR(Pos(onCircle).y, 50 - std::hypot(40.0, 50.0), 1e-9);
    // A point on a path whose path stops existing goes with it.
    Move(b, 0, 0);
    Move(a, 0, 0);
    EXPECT_EQ(seg->exists, 0);
    EXPECT_EQ(on->exists, 0);
}

TEST_F(GeometryObjects, PathRowsOfCirclesAndSegments) {
    SketchObject* c = PointAt(0, 0);
    SketchObject* circle = Build(kTypeCircleByPoint, { c, PointAt(10, 0) });
    double lo, hi, length;
    int32_t forward;
    PathMethodsOf(circle)->wayBetween(circle, 0.1, 6.2, &lo, &hi, &length, &forward);
    EXPECT_NEAR(length, 1.831853071796, 1e-9);
    EXPECT_EQ(forward, 0);
    EXPECT_EQ(PathMethodsOf(circle)->pathFlags(circle), kPathClosed);

    SketchObject* seg = Build(kTypeSegment, { c, PointAt(0, 50) });
    WayBetweenByLength(seg, 0.8, 0.2, &lo, &hi, &length, &forward);
    EXPECT_DOUBLE_EQ(length, 30);
    EXPECT_EQ(forward, 0);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 1);
    SketchObject* ray = Build(kTypeRay, { c, PointAt(0, 50) });
    WayBetweenByLength(ray, 3, 2, &lo, &hi, &length, &forward);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 3);
    EXPECT_EQ(PathMethodsOf(ray)->pathFlags(ray), kPathOneEnd);
}

TEST_F(GeometryObjects, PlottedPointsByMeasuredValues) {
    // A coordinate system's frame: origin (100, 200), 20 pixels per unit along x, 10 along y.
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCoordinateSystem, 1, kKindCoordinateSystem, 0 };
    SketchObject* system = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(system, nullptr);
    RecomputeObject(system, nullptr, true);
    double frame[4] = { 100, 200, 20, 10 };
    std::memcpy(ClassData<double>(system), frame, sizeof frame);

    SketchObject* fixed = Build(71, { system }, nullptr, Reals(2, 3));
    ASSERT_EQ(fixed->exists, 1);
    EXPECT_DOUBLE_EQ(Pos(fixed).x, 140);
    EXPECT_DOUBLE_EQ(Pos(fixed).y, 170);
    SketchObject* polar = Build(72, { system }, nullptr, Reals(2, kHalfPi));
    ASSERT_EQ(polar->exists, 1);
    EXPECT_NEAR(Pos(polar).x, 100, 1e-9);
    EXPECT_NEAR(Pos(polar).y, 180, 1e-9);

    SketchObject* v1 = Value(1, false);
    SketchObject* v2 = Value(1);
    SketchObject* measured = Build(73, { v1, v2, system });
    EXPECT_EQ(measured->exists, 0);  // the first value is undefined
    SetValue(v1, 1);
    RecomputeSketch(false);
    ASSERT_EQ(measured->exists, 1);
    EXPECT_DOUBLE_EQ(Pos(measured).x, 120);
    EXPECT_DOUBLE_EQ(Pos(measured).y, 190);
}

TEST_F(GeometryObjects, SnappingToTheGridNeedsBothCoordinatesClose) {
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCoordinateSystem, 1, kKindCoordinateSystem, 0 };
    SketchObject* system = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    RecomputeObject(system, nullptr, true);
    double frame[4] = { 0, 0, 50, 50 };
    std::memcpy(ClassData<double>(system), frame, sizeof frame);
    SketchObject* p = PointAt(104.9, 45.1);
    SnapPointToGridOf(p, system, 5);
    EXPECT_DOUBLE_EQ(Pos(p).x, 100);
    EXPECT_DOUBLE_EQ(Pos(p).y, 50);
    SketchObject* q = PointAt(105, 50);
    SnapPointToGridOf(q, system, 5);
    EXPECT_DOUBLE_EQ(Pos(q).x, 105);

    // Snapping follows the sketch's marked coordinate system, and only free points.
    SketchObject* r = PointAt(148, 52);
    SnapPointToGrid(r, 5);
    EXPECT_DOUBLE_EQ(Pos(r).x, 148);  // nothing marked
    sketch->marks[20] = { { system }, kMarkSet };
    SnapPointToGrid(r, 5);
    EXPECT_DOUBLE_EQ(Pos(r).x, 150);
    EXPECT_DOUBLE_EQ(Pos(r).y, 50);
    SketchObject* seg = Build(kTypeSegment, { p, r });
    SketchObject* mid = Build(kTypeMidpoint, { seg });
    SnapPointToGrid(mid, 50);
    EXPECT_DOUBLE_EQ(Pos(mid).x, 125);
    sketch->marks[20] = { { nullptr }, kMarkEmpty };
}

TEST_F(GeometryObjects, GeometryRecordsRoundTripAndCheckTheirLength) {
    SketchObject* p = PointAt(12.5, -3.25);
    uint8_t buffer[64];
    ASSERT_EQ(MeasureCodecRecord(TransferPointGeometry, p, kCurrentPageFormat), 16u);
    TransferContext ctx;
    BeginWriteContext(&ctx, buffer, sizeof buffer, p, kCurrentPageFormat);
    ASSERT_EQ(TransferPointGeometry(&ctx), kResultOK);
    EXPECT_EQ(GetLEReal(buffer), 12.5);
    EXPECT_EQ(GetLEReal(buffer + 8), -3.25);

    SketchObject* q = PointAt(0, 0);
    EXPECT_EQ(ReadCodecRecord(TransferPointGeometry, q, buffer, 16, kCurrentPageFormat), kResultOK);
    EXPECT_EQ(Pos(q).x, 12.5);
    EXPECT_EQ(q->bounds.left, 13 - 3);  // bounds follow the read position
    EXPECT_EQ(ReadCodecRecord(TransferPointGeometry, q, buffer, 20, kCurrentPageFormat), 4);
    EXPECT_EQ(ReadCodecRecord(TransferPointGeometry, q, buffer, 15, kCurrentPageFormat), 35);

    SketchObject* a = PointAt(1, 2);
    SketchObject* seg = Build(kTypeSegment, { a, PointAt(3, 4) });
    ASSERT_EQ(MeasureCodecRecord(TransferStraightGeometry, seg, kCurrentPageFormat), 32u);
    BeginWriteContext(&ctx, buffer, sizeof buffer, seg, kCurrentPageFormat);
    ASSERT_EQ(TransferStraightGeometry(&ctx), kResultOK);
    PutLEReal(buffer + 16, 41);  // move the second point
    EXPECT_EQ(ReadCodecRecord(TransferStraightGeometry, seg, buffer, 32, kCurrentPageFormat), kResultOK);
    EXPECT_EQ(Form(seg).dx, 40);  // the form was recomputed
    EXPECT_EQ(ReadCodecRecord(TransferStraightGeometry, seg, buffer, 31, kCurrentPageFormat), 35);

    SketchObject* circle = Build(kTypeCircleByPoint, { a, PointAt(1, 12) });
    ASSERT_EQ(MeasureCodecRecord(TransferCircleGeometry, circle, kCurrentPageFormat), 24u);
    BeginWriteContext(&ctx, buffer, sizeof buffer, circle, kCurrentPageFormat);
    ASSERT_EQ(TransferCircleGeometry(&ctx), kResultOK);
    EXPECT_EQ(GetLEReal(buffer + 16), 10);
    PutLEReal(buffer + 16, 30);
    EXPECT_EQ(ReadCodecRecord(TransferCircleGeometry, circle, buffer, 26, kCurrentPageFormat), 4);
    EXPECT_EQ(Circ(circle).screenRadius, 30);
    EXPECT_EQ(ReadCodecRecord(TransferCircleGeometry, circle, buffer, 23, kCurrentPageFormat), 35);

    // Undo swaps the geometry with a saved copy and refreshes the screen form.
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCircle, 1, kKindCircle, 0 };
    SketchObject* saved = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    Circ(saved).radius = 2;
    Circ(saved).centre = { 5, 5 };
    EXPECT_EQ(SwapCodecFields(TransferCircleGeometry, circle, saved), kResultOK);
    EXPECT_EQ(Circ(circle).radius, 2);
    EXPECT_EQ(Circ(circle).screenRadius, 2);
    EXPECT_EQ(Circ(saved).radius, 30);
}

TEST_F(GeometryObjects, AxisRecordHoldsTheHorizontalFlag) {
    SketchObject* origin = PointAt(0, 0);
    uint8_t flag[2] = { 0, 0 };
    SketchObject* axis = ConstructObject(62, flag, List({ origin, Build(57, { origin }, nullptr, OneReal(30)) }),
                                         0, true, false, nullptr);
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(Axis(axis).horizontal, 0);
    uint8_t record[4] = { 7, 0, 0, 0 };
    EXPECT_EQ(MeasureCodecRecord(TransferAxisData, axis, kCurrentPageFormat), 2u);
    EXPECT_EQ(ReadCodecRecord(TransferAxisData, axis, record, 2, kCurrentPageFormat), kResultOK);
    EXPECT_EQ(Axis(axis).horizontal, 1);  // nonzero reads as 1
    EXPECT_EQ(ReadCodecRecord(TransferAxisData, axis, record, 4, kCurrentPageFormat), 4);
    EXPECT_EQ(ReadCodecRecord(TransferAxisData, axis, record, 1, kCurrentPageFormat), 35);
    uint8_t out[4] = { 9, 9, 9, 9 };
    TransferContext ctx;
    BeginWriteContext(&ctx, out, 2, axis, kCurrentPageFormat);
    EXPECT_EQ(TransferAxisData(&ctx), kResultOK);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 0);
}

TEST_F(GeometryObjects, PathParameterRecordNamesThePathKind) {
    SketchObject* c = PointAt(0, 0);
    SketchObject* circle = Build(kTypeCircleByPoint, { c, PointAt(10, 0) });
    SketchObject* on = Build(kTypePointOnPath, { circle }, nullptr, Reals(0.6, 0.8));
    ASSERT_EQ(on->exists, 1);
    EXPECT_NEAR(Pos(on).y, -8, 1e-12);
    ASSERT_EQ(MeasureCodecRecord(TransferPathParameter, on, kCurrentPageFormat), 20u);
    uint8_t buffer[32];
    TransferContext ctx;
    BeginWriteContext(&ctx, buffer, sizeof buffer, on, kCurrentPageFormat);
    ASSERT_EQ(TransferPathParameter(&ctx), kResultOK);
    EXPECT_EQ(GetLE16(buffer), ConstructionTypeTable[kTypePointOnPath].storedCode);
    EXPECT_EQ(GetLE16(buffer + 2), ObjectKindTable[kKindCircle].storedCode);
    EXPECT_EQ(GetLEReal(buffer + 4), 0.6);
    EXPECT_EQ(GetLEReal(buffer + 12), 0.8);

    PutLEReal(buffer + 4, -1);
    PutLEReal(buffer + 12, 0);
    EXPECT_EQ(ReadCodecRecord(TransferPathParameter, on, buffer, 20, kCurrentPageFormat), kResultOK);
    RecomputeSketch(false);
    EXPECT_NEAR(Pos(on).x, -10, 1e-12);
    EXPECT_EQ(ReadCodecRecord(TransferPathParameter, on, buffer, 24, kCurrentPageFormat), 4);
    EXPECT_EQ(ReadCodecRecord(TransferPathParameter, on, buffer, 19, kCurrentPageFormat), 35);
    PutLE16(buffer + 2, ObjectKindTable[kKindPoint].storedCode);  // not a path
    EXPECT_EQ(ReadCodecRecord(TransferPathParameter, on, buffer, 20, kCurrentPageFormat), 10);
    PutLE16(buffer + 2, 999);  // no kind at all
    EXPECT_EQ(ReadCodecRecord(TransferPathParameter, on, buffer, 20, kCurrentPageFormat), 10);

    // A segment's block is one real.
    SketchObject* seg = Build(kTypeSegment, { c, PointAt(0, 40) });
    SketchObject* onSeg = Build(kTypePointOnPath, { seg }, nullptr, OneReal(0.25));
    EXPECT_EQ(MeasureCodecRecord(TransferPathParameter, onSeg, kCurrentPageFormat), 12u);
    EXPECT_DOUBLE_EQ(Pos(onSeg).y, 10);
}

TEST_F(GeometryObjects, UnitAndPlottedValuesAsConstructionData) {
    SketchObject* origin = PointAt(0, 0);
    SketchObject* unit = Build(56, { origin }, nullptr, OneReal(40));
    ASSERT_EQ(MeasureCodecRecord(TransferUnitDistance, unit, kCurrentPageFormat), 12u);
    uint8_t buffer[32];
    TransferContext ctx;
    BeginWriteContext(&ctx, buffer, sizeof buffer, unit, kCurrentPageFormat);
    ASSERT_EQ(TransferUnitDistance(&ctx), kResultOK);
    EXPECT_EQ(GetLE16(buffer), ConstructionTypeTable[56].storedCode);
    EXPECT_EQ(GetLEReal(buffer + 4), 40);
    PutLEReal(buffer + 4, 75);
    EXPECT_EQ(ReadCodecRecord(TransferUnitDistance, unit, buffer, 12, kCurrentPageFormat), kResultOK);
    RecomputeSketch(false);
    EXPECT_DOUBLE_EQ(Pos(unit).x, 75);
    EXPECT_EQ(ReadCodecRecord(TransferUnitDistance, unit, buffer, 11, kCurrentPageFormat), 35);
    EXPECT_EQ(ReadCodecRecord(TransferUnitDistance, unit, buffer, 14, kCurrentPageFormat), 4);
}

TEST_F(GeometryObjects, IntersectionOfTwoStraights) {
    SketchObject* s1 = Build(kTypeSegment, { PointAt(0, 0), PointAt(100, 100) });
    SketchObject* s2 = Build(kTypeSegment, { PointAt(0, 100), PointAt(100, 0) });
    SketchObject* ray = Build(kTypeRay, { PointAt(200, 0), PointAt(300, 0) });
    SketchObject* x = Build(kTypeIntersectStraights, { s1, s2 });
    ASSERT_EQ(x->exists, 1);
    EXPECT_DOUBLE_EQ(Pos(x).x, 50);
    EXPECT_DOUBLE_EQ(Pos(x).y, 50);
    SketchObject* none = Build(kTypeIntersectStraights, { s1, ray });  // the ray starts beyond
    EXPECT_EQ(none->exists, 0);
}

TEST_F(GeometryObjects, UnitPointsOnTheOtherAxisAndAxesByDistanceAndCircle) {
    SketchObject* origin = PointAt(0, 0);
    SketchObject* vertical = Build(57, { origin }, nullptr, OneReal(25));
    // A rectangular unit point following a vertical one lies on the horizontal axis.
    SketchObject* rect = Build(59, { vertical }, nullptr, OneReal(60));
    ASSERT_EQ(rect->exists, 1);
    EXPECT_DOUBLE_EQ(Pos(rect).x, 60);
    EXPECT_DOUBLE_EQ(Pos(rect).y, 0);
    SetPointPosition(rect, -5, 10, 1, nullptr, false);
    EXPECT_DOUBLE_EQ(Pos(rect).x, 0.1);
    EXPECT_DOUBLE_EQ(Pos(rect).y, 0);

    // An axis by centre and unit distance (a segment's length), and the unit points
    // placed from it on the other axis.
    SketchObject* seg = Build(kTypeSegment, { PointAt(0, 0), PointAt(30, 40) });
    uint8_t vertical0[2] = { 0, 0 };
    SketchObject* yAxis = ConstructObject(63, vertical0, List({ origin, seg }), 0, true, false, nullptr);
    ASSERT_NE(yAxis, nullptr);
    RecomputeObject(yAxis, nullptr, true);
    ASSERT_EQ(yAxis->exists, 1);
    EXPECT_DOUBLE_EQ(Axis(yAxis).unitDistance, 50);
    EXPECT_DOUBLE_EQ(Form(yAxis).first.y, -100);
    EXPECT_DOUBLE_EQ(Form(yAxis).second.y, 100);
    SketchObject* square = Build(60, { yAxis });
    ASSERT_EQ(square->exists, 1);
    EXPECT_DOUBLE_EQ(Pos(square).x, 50);  // horizontal: the axis given is the vertical one
    EXPECT_DOUBLE_EQ(Pos(square).y, 0);
    SketchObject* onAxis = Build(61, { yAxis }, nullptr, OneReal(20));
    EXPECT_DOUBLE_EQ(Pos(onAxis).x, 20);

    // The axis of a unit circle; a circle of radius 0 gives none.
    SketchObject* c = PointAt(10, 10);
    SketchObject* rim = PointAt(10, 30);
    SketchObject* circle = Build(kTypeCircleByPoint, { c, rim });
    uint8_t horizontal[2] = { 1, 0 };
    SketchObject* xAxis = ConstructObject(64, horizontal, List({ circle }), 0, true, false, nullptr);
    RecomputeObject(xAxis, nullptr, true);
    ASSERT_EQ(xAxis->exists, 1);
    EXPECT_DOUBLE_EQ(Axis(xAxis).unitDistance, 20);
    EXPECT_DOUBLE_EQ(Axis(xAxis).origin.x, 10);
    EXPECT_DOUBLE_EQ(Form(xAxis).first.x, -90);

    // An axis by a measured distance needs a defined, finite, positive value.
    SketchObject* value = Value(0);
    SketchObject* byValue = ConstructObject(63, horizontal, List({ origin, value }), 0, true, false, nullptr);
    RecomputeObject(byValue, nullptr, true);
    EXPECT_EQ(byValue->exists, 0);
    SetValue(value, 2);
    RecomputeObject(byValue, nullptr, true);
    ASSERT_EQ(byValue->exists, 1);
    EXPECT_DOUBLE_EQ(Axis(byValue).unitDistance, DistanceFromSketchUnits(2));
}

TEST_F(GeometryObjects, PlottedPointByMeasuredPolarValues) {
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCoordinateSystem, 1, kKindCoordinateSystem, 0 };
    SketchObject* system = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    RecomputeObject(system, nullptr, true);
    double frame[4] = { 100, 200, 20, 10 };
    std::memcpy(ClassData<double>(system), frame, sizeof frame);
    SketchObject* r = Value(2);
    SketchObject* angle = Value(0);
    SketchObject* polar = Build(74, { r, angle, system });
    ASSERT_EQ(polar->exists, 1);
    EXPECT_DOUBLE_EQ(Pos(polar).x, 140);
    EXPECT_DOUBLE_EQ(Pos(polar).y, 200);
    SetValue(angle, NAN);
    RecomputeSketch(false);
    EXPECT_EQ(polar->exists, 0);
}
