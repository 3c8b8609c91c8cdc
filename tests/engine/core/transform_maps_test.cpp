// Transformed images: the point-map operations, maps built from parents and fixed
// values, images of every class that has a transform, and drags pushed back through them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/calc/value_objects.h"
#include "engine/core/angle_constants.h"
#include "engine/core/arc_data.h"
#include "engine/core/circles.h"
#include "engine/core/polygon_objects.h"
#include "engine/core/straight_objects.h"
#include "engine/core/transform_maps.h"
#include "engine/core/units.h"
#include "sketch_fixture.h"

namespace {

RealPoint Pos(const SketchObject* p) { return PointPosition(p); }
const ArcData& ArcOf(const SketchObject* o) { return *ClassData<ArcData>(o); }

double Deg(double radians) { return radians * 180 / kPi; }

PtrList FixedAngle(double degrees) {
    double a = degrees;
    AngleToRadians(&a, kAngleDegrees);
    const FixedAngleEntry e = { -std::sin(a), std::cos(a), degrees, kAngleDegrees, 0 };
    return DataBlock(&e, sizeof e);
}

PtrList FixedRatio(double ratio) { return DataBlock(&ratio, 8); }

class TransformTest : public SketchTest {
protected:
    SketchObject* BuildWith(int32_t type, std::initializer_list<SketchObject*> parents, PtrList data) {
        return Build(type, parents, nullptr, data);
    }
    void Move(SketchObject* p, double x, double y) {
        SetPointPosition(p, x, y, 1, nullptr, false);
        RecomputeSketch(false);
    }
};

}  // namespace

TEST(PointMaps, QuarterAndHalfTurnsAreExactAndDirectionsStayInRange) {
    TransformMap m{};
    m.center = { 7.25, -3.5 };
    struct Case { double sin, cos; RealPoint in, out; };
    const Case cases[] = {
        { -1.0, 0.0,  { 8.25, -3.5 }, { 7.25, -4.5 } },  // a user's 90 degrees: up on screen
        {  1.0, 0.0,  { 8.25, -3.5 }, { 7.25, -2.5 } },
        {  0.0, -1.0, { 8.25, -2.5 }, { 6.25, -4.5 } },
        {  0.0, 1.0,  { 8.25, -2.5 }, { 8.25, -2.5 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sin);
        m.sin = c.sin;
        m.cos = c.cos;
        RealPoint p = c.in;
        RotatePoints(&p, &p, 1, &m);
        EXPECT_EQ(p.x, c.out.x);
        EXPECT_EQ(p.y, c.out.y);
    }

    // Directions: 170 degrees turned by 20 more is -170, and the exact turns too.
    struct Turn { double phiDeg, byDeg, outDeg; };
    const Turn turns[] = { { 170, 20, -170 }, { -170, -20, 170 }, { 90, 90, 180 }, { -90, -90, 180 },
                           { 100, 180, -80 }, { 30, -135, -105 } };
    for (const Turn& t : turns) {
        SCOPED_TRACE(t.phiDeg + t.byDeg);
        const double by = t.byDeg * kPi / 180;
        m.sin = t.byDeg == 90 ? 1.0 : t.byDeg == -90 ? -1.0 : t.byDeg == 180 ? 0.0 : std::sin(by);
        m.cos = t.byDeg == 180 ? -1.0 : std::cos(by);
        double phi = t.phiDeg * kPi / 180;
        RotatePoints(&phi, &phi, -1, &m);
        EXPECT_NEAR(Deg(phi), t.outDeg, 1e-9);
        EXPECT_TRUE(phi > -kPi && phi <= kPi);
    }
}

TEST(PointMaps, ReflectionOfPointsAndDirections) {
    TransformMap m{};
    m.mirrorA = { 10, 10 };
    m.mirrorB = { 20, 20 };  // the diagonal through (10, 10): 45 degrees on screen
    RealPoint p[2] = { { 0, 10 }, { 30, 30 } };
    ReflectPoints(p, p, 2, &m);
    EXPECT_NEAR(p[0].x, 10, 1e-12);
    EXPECT_NEAR(p[0].y, 0, 1e-12);
    EXPECT_NEAR(p[1].x, 30, 1e-12);  // on the mirror: stays
    struct Case { double phiDeg, outDeg; };
    const Case cases[] = {
        { 45, 45 }, { -135, -135 },   // parallel to the mirror: unchanged
        { 135, -45 }, { -45, 135 },   // normal to it: turned by pi
        { 0, 90 }, { 170, -80 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.phiDeg);
        double phi = c.phiDeg * kPi / 180;
        ReflectPoints(&phi, &phi, -1, &m);
        EXPECT_NEAR(Deg(phi), c.outDeg, 1e-9);
    }
    // Lengths: only a dilation scales them, and it keeps the sign.
    m.ratio = -2;
    double length = 5;
    DilatePoints(&length, &length, 0, &m);
    EXPECT_EQ(length, -10);
    ReflectPoints(&length, &length, 0, &m);
    EXPECT_EQ(length, -10);
}

TEST_F(TransformTest, TypedQuarterTurnIsExactOnScreen) {
    SketchObject* c = PointAt(123.456, 78.9);
    SketchObject* p = PointAt(124.456, 78.9);
    SketchObject* image = BuildWith(kTypeRotateFixed, { p, c }, FixedAngle(90));
    ASSERT_NE(image, nullptr);
    TransformMap m;
    ASSERT_TRUE(BuildTransformMap(image, reinterpret_cast<SketchObject* const*>(PtrListData(image->parents)), &m));
    EXPECT_EQ(m.sin, -1.0);
    EXPECT_EQ(Pos(image).x, 123.456);
    EXPECT_EQ(Pos(image).y, 77.9);
}

TEST_F(TransformTest, MapsFailOnUndefinedInfiniteAndZeroRatios) {
    SketchObject* o = PointAt(0, 0);
    SketchObject* p = PointAt(30, 40);
    SketchObject* seg = Build(kTypeSegment, { o, p });
    SketchObject* ratio = Value(0);
    SketchObject* segImage = Build(37, { seg, o, ratio });
    SketchObject* pointImage = Build(37, { p, o, ratio });
    ASSERT_TRUE(segImage && pointImage);
    // Ratio 0: a point may land on the centre, a segment would collapse.
    EXPECT_EQ(segImage->exists, 0);
    ASSERT_EQ(pointImage->exists, 1);
    EXPECT_EQ(Pos(pointImage).x, 0);
    EXPECT_EQ(Pos(pointImage).y, 0);
    SetValue(ratio, 0.5);
    RecomputeSketch(false);
    EXPECT_EQ(segImage->exists, 1);
    for (double bad : { INFINITY, -INFINITY, NAN }) {
        SetValue(ratio, bad);
        RecomputeSketch(false);
        EXPECT_EQ(pointImage->exists, 0);
    }
    SetValue(ratio, 2, false);
    RecomputeSketch(false);
    EXPECT_EQ(pointImage->exists, 0);

    // A stored ratio of 0 (a damaged document) is refused the same way.
    SketchObject* fixedSeg = BuildWith(34, { seg, o }, FixedRatio(0));
    SketchObject* fixedPoint = BuildWith(34, { p, o }, FixedRatio(0));
    EXPECT_EQ(fixedSeg->exists, 0);
    EXPECT_EQ(fixedPoint->exists, 1);
    EXPECT_EQ(BuildWith(34, { p, o }, FixedRatio(NAN))->exists, 0);
}

TEST_F(TransformTest, FixedVerticalIsTheOnlyEntryOfItsType) {
    sketch->settings.distanceUnit = kDistanceCentimetres;
    SketchObject* p = PointAt(100, 100);
    SketchObject* horizontal = Value(2);  // 2 cm to the right
    double oneCm = 1;
    FromDistanceUnits(&oneCm, kDistanceCentimetres);
    // Type 23 keeps one 6-word entry: its vertical, +1 cm, upwards positive.
    const FixedDistanceEntry up = { oneCm, 1.0, kDistanceCentimetres, 0 };
    SketchObject* image = BuildWith(23, { p, horizontal }, DataBlock(&up, sizeof up));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->exists, 1);
    EXPECT_NEAR(Pos(image).x, 100 + 2 * oneCm, 1e-9);
    EXPECT_NEAR(Pos(image).y, 100 - oneCm, 1e-9);  // up on screen

    // Type 22: the fixed horizontal entry, then the measured vertical (also upwards).
    const FixedDistanceEntry right = { 10, 10, kDistancePixels, 0 };
    SketchObject* other = BuildWith(22, { p, horizontal }, DataBlock(&right, sizeof right));
    EXPECT_NEAR(Pos(other).x, 110, 1e-9);
    EXPECT_NEAR(Pos(other).y, 100 - 2 * oneCm, 1e-9);

    // Type 21 holds both entries: horizontal, then vertical.
    const FixedDistanceEntry both[2] = { { 5, 5, 0, 0 }, { -7, -7, 0, 0 } };
    SketchObject* rect = BuildWith(21, { p }, DataBlock(both, sizeof both));
    EXPECT_EQ(Pos(rect).x, 105);
    EXPECT_EQ(Pos(rect).y, 107);
}

TEST_F(TransformTest, AngleAndRatioPointsThatCoincideMakeNoImage) {
    SketchObject* p = PointAt(10, 10);
    SketchObject* a = PointAt(0, 0);
    SketchObject* v = PointAt(50, 0);
    SketchObject* q = PointAt(50, 50);
    const FixedDistanceEntry r = { 20, 20, kDistancePixels, 0 };
    // Polar by the angle a-v-q: from pointing left to pointing down on screen, which
    // the user sees as a quarter turn anticlockwise: the image moves up.
    SketchObject* image = BuildWith(26, { p, a, v, q }, DataBlock(&r, sizeof r));
    ASSERT_EQ(image->exists, 1);
    EXPECT_NEAR(Pos(image).x, 10, 1e-9);
    EXPECT_NEAR(Pos(image).y, -10, 1e-9);
    Move(a, 50, 0);  // onto the vertex
    EXPECT_EQ(image->exists, 0);
    EXPECT_EQ(ConstructionTypeTable[26].nonexistenceReason, 14);

    // About a centre by the ratio of origin a, unit point q, ratio point v.
    SketchObject* ratioImage = Build(36, { p, PointAt(5, 5), a, q, v });
    EXPECT_EQ(ratioImage->exists, 1);
    Move(q, 50, 0);
    EXPECT_EQ(ratioImage->exists, 0);
    EXPECT_EQ(ConstructionTypeTable[36].nonexistenceReason, 15);
}

TEST_F(TransformTest, ImagesOfEveryRowKind) {
    SketchObject* p = PointAt(10, 20);
    SketchObject* c = PointAt(0, 0);
    SketchObject* t = PointAt(1, 1);
    SketchObject* h = PointAt(4, 5);
    SketchObject* m1 = PointAt(0, 100);
    SketchObject* m2 = PointAt(100, 100);
    SketchObject* mirror = Build(kTypeSegment, { m1, m2 });
    SketchObject* n = Build(kTypeSegment, { c, PointAt(0, 30) });
    SketchObject* d = Build(kTypeSegment, { c, PointAt(10, 0) });
    SketchObject* angle = Value(90);  // degrees, anticlockwise to the user
    sketch->settings.angleUnit = kAngleDegrees;
    sketch->settings.distanceUnit = kDistancePixels;
    SketchObject* dist = Value(5);
    struct Case { int32_t type; std::vector<SketchObject*> parents; RealPoint out; };
    const Case cases[] = {
        { 20, { p, t, h }, { 13, 24 } },
        { 24, { p, dist, dist }, { 15, 15 } },
        { 30, { p, angle, dist }, { 10, 15 } },
        { 33, { p, c, angle }, { 20, -10 } },
        { 35, { p, c, n, d }, { 30, 60 } },
        { 38, { p, mirror }, { 10, 180 } },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.type);
        PtrList parents = 0;
        for (SketchObject* o : k.parents) ASSERT_TRUE(PtrListAppend(&parents, o));
        SketchObject* image = ConstructObject(k.type, nullptr, parents, 0, true, false, nullptr);
        ASSERT_NE(image, nullptr);
        RecomputeObject(image, nullptr, true);
        ASSERT_EQ(image->exists, 1);
        EXPECT_NEAR(Pos(image).x, k.out.x, 1e-9);
        EXPECT_NEAR(Pos(image).y, k.out.y, 1e-9);
    }
}

TEST_F(TransformTest, ReflectedAndHalfTurnedArcsRunBetweenTheImagesOfTheirEnds) {
    SketchObject* arc = Build(kTypeArcByCentre, { PointAt(0, 0), PointAt(100, 0), PointAt(0, 100) });
    ASSERT_EQ(arc->exists, 1);
    SketchObject* mirror = Build(kTypeSegment, { PointAt(200, -50), PointAt(200, 50) });
    SketchObject* reflected = Build(kTypeReflection, { arc, mirror });
    SketchObject* halfTurn = BuildWith(34, { arc, PointAt(50, 50) }, FixedRatio(-1));
    ASSERT_TRUE(reflected && halfTurn);
    const ArcData& s = ArcOf(arc);
    auto middle = [](const ArcData& a) {
        const double mid = a.startAngle + a.sweep / 2;
        return RealPoint{ a.centre.x + a.radius * std::cos(mid), a.centre.y + a.radius * std::sin(mid) };
    };
    struct Case { SketchObject* image; RealPoint (*map)(RealPoint); bool swaps; };
    const Case cases[] = {
        { reflected, [](RealPoint q) { return RealPoint{ 400 - q.x, q.y }; }, true },
        { halfTurn, [](RealPoint q) { return RealPoint{ 100 - q.x, 100 - q.y }; }, false },
    };
    for (const Case& c : cases) {
        const ArcData& i = ArcOf(c.image);
        ASSERT_EQ(c.image->exists, 1);
        const RealPoint first = c.map(s.startPoint), last = c.map(s.endPoint);
        const RealPoint wantStart = c.swaps ? last : first, wantEnd = c.swaps ? first : last;
        EXPECT_NEAR(i.startPoint.x, wantStart.x, 1e-9);
        EXPECT_NEAR(i.startPoint.y, wantStart.y, 1e-9);
        EXPECT_NEAR(i.endPoint.x, wantEnd.x, 1e-9);
        EXPECT_NEAR(i.endPoint.y, wantEnd.y, 1e-9);
        EXPECT_EQ(i.orientation, c.swaps ? -s.orientation : s.orientation);
        EXPECT_NEAR(i.radius, 100, 1e-9);
        // The image runs along the image of the arc, not along the rest of its circle.
        const RealPoint mid = c.map(middle(s));
        EXPECT_NEAR(middle(i).x, mid.x, 1e-9);
        EXPECT_NEAR(middle(i).y, mid.y, 1e-9);
    }
}

TEST_F(TransformTest, PolygonsAndCirclesMapTheirVerticesAndRadius) {
    SketchObject* triangle = Build(kTypePolygonInterior, { PointAt(0, 0), PointAt(40, 0), PointAt(0, 30) });
    SketchObject* turned = BuildWith(kTypeRotateFixed, { triangle, PointAt(0, 0) }, FixedAngle(90));
    ASSERT_EQ(turned->exists, 1);
    EXPECT_EQ(turned->objectKind, triangle->objectKind);
    EXPECT_EQ(triangle->objectKind, 47);  // "Triangle"
    const PolygonData* v = ClassData<PolygonData>(turned);
    ASSERT_EQ(v->vertexCount, 3);
    EXPECT_EQ(v->vertices[1].x, 0);
    EXPECT_EQ(v->vertices[1].y, -40);
    EXPECT_EQ(v->screenVertices[2].x, 30);

    SketchObject* circle = Build(kTypeCircleByPoint, { PointAt(10, 0), PointAt(13, 4) });
    SketchObject* shrunk = BuildWith(34, { circle, PointAt(0, 0) }, FixedRatio(-0.5));
    const CircleData* k = ClassData<CircleData>(shrunk);
    EXPECT_EQ(k->centre.x, -5);
    EXPECT_EQ(k->radius, 2.5);
}

TEST_F(TransformTest, DragsArePushedBackThroughEachKindOfRow) {
    SketchObject* p = PointAt(10, 20);
    SketchObject* c = PointAt(5, 5);
    SketchObject* mirror = Build(kTypeSegment, { PointAt(100, 0), PointAt(200, 100) });  // 45 degrees
    const FixedDistanceEntry both[2] = { { 30, 30, 0, 0 }, { 40, 40, 0, 0 } };
    SketchObject* images[] = {
        BuildWith(21, { p }, DataBlock(both, sizeof both)),
        BuildWith(kTypeRotateFixed, { p, c }, FixedAngle(30)),
        BuildWith(34, { p, c }, FixedRatio(4)),
        Build(kTypeReflection, { p, mirror }),
    };
    for (SketchObject* image : images) {
        SCOPED_TRACE(image->constructionType);
        ASSERT_EQ(image->exists, 1);
        SketchObject* const* parents = reinterpret_cast<SketchObject* const*>(PtrListData(image->parents));
        TransformMap forward;
        ASSERT_TRUE(BuildTransformMap(image, parents, &forward));
        const PointMapOp op = PointMapOps[TransformRowOf(image)->pointMapOp];

        // A translation drag: the pre-image moves by the pulled-back vector, and its
        // image then moves by the drag vector.
        TransformMap drag{};
        drag.dx = 3;
        drag.dy = -7;
        InverseTransformPoint(0, image, parents, &drag);
        RealPoint moved[2] = { Pos(p), { Pos(p).x + drag.dx, Pos(p).y + drag.dy } };
        op(moved, moved, 2, &forward);
        EXPECT_NEAR(moved[1].x - moved[0].x, 3, 1e-9);
        EXPECT_NEAR(moved[1].y - moved[0].y, -7, 1e-9);

        // A rotation drag about a centre: the pulled-back centre maps onto it.
        TransformMap turn{};
        turn.center = { 60, -20 };
        turn.sin = 0.6;
        turn.cos = 0.8;
        InverseTransformPoint(1, image, parents, &turn);
        RealPoint back = turn.center;
        op(&back, &back, 1, &forward);
        EXPECT_NEAR(back.x, 60, 1e-9);
        EXPECT_NEAR(back.y, -20, 1e-9);
        EXPECT_EQ(turn.sin, image->constructionType == kTypeReflection ? -0.6 : 0.6);
    }
    // Through a mirror, a translation drag is reflected in the mirror's direction only.
    TransformMap drag{};
    drag.dx = 1;
    InverseTransformPoint(0, images[3], reinterpret_cast<SketchObject* const*>(PtrListData(images[3]->parents)), &drag);
    EXPECT_NEAR(drag.dx, 0, 1e-12);
    EXPECT_NEAR(drag.dy, 1, 1e-12);
}

TEST_F(TransformTest, QuarterTurnAndCopyRowsAreAccepted) {
    // The rows of types 58 and 79 build maps too: a quarter turn about the first
    // parent's own first parent, and the identity.
    SketchObject* origin = PointAt(10, 10);
    SketchObject* unit = Build(56, { origin }, nullptr, [] {
        double v = 40;
        return DataBlock(&v, 8);
    }());
    ASSERT_NE(unit, nullptr);
    const ObjectTemplate t = { 58, 0, 0, kClassPoint, 1, kKindUnitPoint, 0 };
    SketchObject* turned = ConstructObjectEx(&t, nullptr, List({ unit }), 0, nullptr, nullptr, false);
    ASSERT_NE(turned, nullptr);
    TransformMap m;
    ASSERT_TRUE(BuildTransformMap(turned, reinterpret_cast<SketchObject* const*>(PtrListData(turned->parents)), &m));
    EXPECT_EQ(m.sin, -1.0);
    EXPECT_EQ(m.cos, 0.0);
    EXPECT_EQ(m.center.x, 10);
    turned->constructionType = kTypeParametricColor;
    EXPECT_TRUE(BuildTransformMap(turned, reinterpret_cast<SketchObject* const*>(PtrListData(turned->parents)), &m));
    EXPECT_EQ(TransformRowOf(turned)->pointMapOp, kMapCopy);
}
