// Arcs and arc interiors: the constructions, the length cache, the path row, the hit
// tests, the geometry record and scaled drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/core/angle_constants.h"
#include "engine/core/arc_objects.h"
#include "engine/core/geometry_neighbours.h"
#include "engine/core/object_geometry.h"
#include "engine/core/paths.h"
#include "engine/core/point_objects.h"
#include "engine/core/print_state.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/docio/record_codecs.h"
#include "sketch_fixture.h"
#include "tests/support/object_drawing_double.h"

namespace {

class ArcTest : public SketchTest {
protected:
    SketchObject* Point(double x, double y) { return PointAt(x, y); }
    static ArcData& Data(SketchObject* o) { return *ClassData<ArcData>(o); }
    // An arc about O from B to C (type 82).
    SketchObject* ArcAbout(RealPoint o, RealPoint b, RealPoint c) {
        return Build(kTypeArcByCentre, { Point(o.x, o.y), Point(b.x, b.y), Point(c.x, c.y) });
    }
    SketchObject* ArcThrough(RealPoint a, RealPoint b, RealPoint c) {
        return Build(kTypeArcThroughPoints, { Point(a.x, a.y), Point(b.x, b.y), Point(c.x, c.y) });
    }
    static RealPoint At(SketchObject* path, double t) {
        RealPoint p{ 0, 0 };
        int32_t exists = 0;
        PathMethodsOf(path)->pointAtParameter(path, t, &p, &exists);
        EXPECT_EQ(exists, 1);
        return p;
    }
    static double ParameterOf(SketchObject* path, RealPoint p) {
        RealPoint nearest;
        double t = -1;
        PathMethodsOf(path)->parameterOfPoint(path, p, &nearest, &t, nullptr);
        return t;
    }
};

void ExpectNear(RealPoint p, RealPoint q, double tolerance = 1e-9) {
    EXPECT_NEAR(p.x, q.x, tolerance);
    EXPECT_NEAR(p.y, q.y, tolerance);
}

}  // namespace

TEST_F(ArcTest, ThroughThreePointsCasesOfExistenceAndStraightness) {
    struct Case { RealPoint a, b, c; int32_t exists, orientation; };
    const Case cases[] = {
        { { 100, 0 }, { 0, 100 }, { -100, 0 }, 1, 1 },    // a half circle about the origin
        { { -100, 0 }, { 0, 100 }, { 100, 0 }, 1, -1 },   // the same, the other way
        { { 0, 0 }, { 50, 0.01 }, { 100, 0 }, 1, 0 },     // circumcentre beyond 30000: its chord
        { { 0, 0 }, { 50, 0 }, { 100, 0 }, 1, 0 },        // collinear, B between
        { { 0, 0 }, { 150, 0 }, { 100, 0 }, 0, 0 },       // collinear, B beyond C
        { { 0, 0 }, { 0, 70 }, { 0, 40 }, 0, 0 },         // vertical, B beyond C
        { { 0, 0 }, { 0, 0 }, { 100, 0 }, 0, 0 },         // B on A
        { { 5, 5 }, { 40, 9 }, { 5, 5 }, 0, 0 },          // A = C
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.b.x << "," << c.b.y << " " << c.c.x);
        SketchObject* arc = ArcThrough(c.a, c.b, c.c);
        ASSERT_NE(arc, nullptr);
        EXPECT_EQ(arc->exists, c.exists);
        if (!c.exists) continue;
        EXPECT_EQ(Data(arc).orientation, c.orientation);
        LineForm form;
        int32_t shape = 0, fromArc = 0;
        EXPECT_EQ(GetLineForm(arc, &form, &shape, &fromArc), c.orientation == 0);
        if (c.orientation == 0) {
            // Drawn, hit and intersected as the segment from A to C.
            ExpectNear(form.first, c.a);
            ExpectNear(form.second, c.c);
            EXPECT_EQ(shape, kShapeSegment);
            EXPECT_TRUE(ArcHitTest({ 50, 2 }, arc));
            EXPECT_FALSE(ArcHitTest({ 200, 0 }, arc));  // on the line, beyond the chord
        } else {
            ExpectNear(Data(arc).centre, { 0, 0 }, 1e-6);
            EXPECT_NEAR(Data(arc).radius, 100, 1e-9);
            EXPECT_NEAR(Data(arc).sweep, kPi, 1e-9);
            EXPECT_TRUE(ArcHitTest({ 0, 100 }, arc));    // through B
            EXPECT_FALSE(ArcHitTest({ 0, -100 }, arc));  // the other half of the circle
        }
    }
}

TEST_F(ArcTest, InteriorsOfAStraightArcDoNotExist) {
    SketchObject* arc = ArcThrough({ 0, 0 }, { 50, 0 }, { 100, 0 });
    for (int32_t type : { kTypeArcSector, kTypeArcSegment }) {
        SketchObject* interior = Build(type, { arc });
        ASSERT_NE(interior, nullptr);
        EXPECT_EQ(interior->exists, 0);
    }
}

TEST_F(ArcTest, MidpointAndIntersectionsOfAStraightArcUseItsChord) {
    SketchObject* straight = ArcThrough({ 0, 0 }, { 50, 0 }, { 100, 0 });
    SketchObject* curved = ArcThrough({ 100, 0 }, { 0, 100 }, { -100, 0 });
    SketchObject* cross = Build(kTypeSegment, { Point(30, -10), Point(30, 10) });
    SketchObject* beyond = Build(kTypeSegment, { Point(130, -10), Point(130, 10) });
    struct Case { int32_t type; SketchObject* a; SketchObject* b; int32_t exists; RealPoint at; };
    const Case cases[] = {
        { kTypeMidpoint,            straight, nullptr, 1, { 50, 0 } },
        { kTypeMidpoint,            curved,   nullptr, 0, {} },
        { kTypeIntersectStraights,  straight, cross,   1, { 30, 0 } },
        { kTypeIntersectStraights,  cross,    straight, 1, { 30, 0 } },
        { kTypeIntersectStraights,  straight, beyond,  0, {} },  // past the chord's end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        SketchObject* p = c.b ? Build(c.type, { c.a, c.b }) : Build(c.type, { c.a });
        if (!p) {
            EXPECT_EQ(c.exists, 0);  // refused at construction: no straight form either
            continue;
        }
        ASSERT_EQ(p->exists, c.exists);
        if (c.exists) ExpectNear(PointPosition(p), c.at);
    }
}

TEST_F(ArcTest, ArcOnACircleRunsFromBToCMovedOntoTheCircle) {
    SketchObject* centre = Point(0, 0);
    SketchObject* circle = Build(kTypeCircleByPoint, { centre, Point(100, 0) });
    SketchObject* b = Point(100, 0);
    SketchObject* arc = Build(kTypeArcOnCircle, { circle, b, Point(0, -50) });
    ASSERT_TRUE(arc && arc->exists);
    EXPECT_EQ(Data(arc).orientation, -1);
    ExpectNear(At(arc, 0), { 100, 0 });    // B
    ExpectNear(At(arc, 1), { 0, -100 });   // C'
    ExpectNear(At(arc, 0.5), { 100 * std::cos(kPi / 4), -100 * std::sin(kPi / 4) });
    EXPECT_NEAR(ParameterOf(arc, { 200, 0 }), 0, 1e-12);

    // B on the centre, and C on the centre, make no arc.
    SetPointPosition(b, 0, 0, 1, nullptr, false);
    RecomputeObject(arc, nullptr, true);
    EXPECT_EQ(arc->exists, 0);
}

TEST_F(ArcTest, QuarterSectorBoundaryLengths) {
    SketchObject* arc = ArcAbout({ 0, 0 }, { 0, 100 }, { 100, 0 });
    SketchObject* sector = Build(kTypeArcSector, { arc });
    SketchObject* segment = Build(kTypeArcSegment, { arc });
    ASSERT_TRUE(sector->exists && segment->exists);
    Arc::CacheLengths(sector);
    EXPECT_NEAR(Data(sector).totalLength, 100 * kPi / 2 + 200, 1e-9);
    EXPECT_NEAR(Data(sector).arcStartFraction, 100 / (100 * kPi / 2 + 200), 1e-12);
    EXPECT_NEAR(Data(sector).arcStartFraction, 0.28, 0.005);
    Arc::CacheLengths(segment);
    EXPECT_NEAR(Data(segment).straightPart, 100 * std::sqrt(2.0) / 2, 1e-9);
    Arc::CacheLengths(arc);
    EXPECT_EQ(Data(arc).arcStartFraction, 0);
    EXPECT_NEAR(Data(arc).totalLength, 100 * kPi / 2, 1e-9);
    // A sector's bounds take in its centre.
    EXPECT_LE(sector->bounds.left, -2);
    EXPECT_LE(sector->bounds.top, -2);
    EXPECT_GT(arc->bounds.top, -2 - 1);
}

// Every point the path row gives projects back to its parameter, for every kind of arc
// path and both orientations.
TEST_F(ArcTest, PointAtEachParameterProjectsBack) {
    SketchObject* forward = ArcThrough({ 100, 0 }, { 0, 100 }, { -100, 0 });
    SketchObject* backward = ArcThrough({ -100, 0 }, { 0, 100 }, { 100, 0 });
    SketchObject* paths[] = {
        forward, backward, Build(kTypeArcSector, { forward }), Build(kTypeArcSegment, { forward }),
        Build(kTypeArcSector, { backward }), Build(kTypeArcSegment, { backward }),
        ArcThrough({ 10, 10 }, { 40, 50 }, { 70, 90 }),
    };
    for (SketchObject* path : paths) {
        SCOPED_TRACE(testing::Message() << path->objectKind << " " << Data(path).orientation);
        ASSERT_TRUE(path->exists);
        const bool closed = PathMethodsOf(path)->pathFlags(path) == kPathClosed;
        for (int i = closed ? 1 : 0; i <= (closed ? 19 : 20); ++i) {
            const double t = i / 20.0;
            EXPECT_NEAR(ParameterOf(path, At(path, t)), t, 1e-9) << t;
        }
    }
    // t = 0 is at the first point parent whatever the orientation.
    ExpectNear(At(forward, 0), { 100, 0 });
    ExpectNear(At(backward, 0), { -100, 0 });
}

TEST_F(ArcTest, PathRowSamplesLengthsAndWays) {
    SketchObject* arc = ArcAbout({ 0, 0 }, { 0, 100 }, { 100, 0 });
    SketchObject* sector = Build(kTypeArcSector, { arc });
    std::vector<double> ts;
    auto collect = [](void* user, double t, RealPoint, int32_t) -> int32_t {
        static_cast<std::vector<double>*>(user)->push_back(t);
        return 3;
    };
    EXPECT_EQ(PathMethodsOf(arc)->sampleParameters(arc, 5, 0, 1, collect, &ts), 3);
    EXPECT_EQ(ts, (std::vector<double>{ 0, 0.25, 0.5, 0.75, 1 }));
    ts.clear();
    PathMethodsOf(sector)->sampleParameters(sector, 4, 0, 1, collect, &ts);
    EXPECT_EQ(ts, (std::vector<double>{ 0, 0.25, 0.5, 0.75 }));

    double length, lo, hi;
    int32_t forward;
    PathMethodsOf(arc)->wayBetween(arc, 0.9, 0.1, &lo, &hi, &length, &forward);
    EXPECT_EQ(forward, 0);
    EXPECT_NEAR(length, 0.8 * 50 * kPi, 1e-9);
    // An interior goes the shorter way round.
    PathMethodsOf(sector)->wayBetween(sector, 0.9, 0.1, &lo, &hi, &length, &forward);
    EXPECT_EQ(forward, 1);
    EXPECT_NEAR(length, 0.2 * (50 * kPi + 200), 1e-9);
    EXPECT_EQ(PathMethodsOf(arc)->pathFlags(arc), kPathTwoEnds);
}

TEST_F(ArcTest, StoredParameterOutsideTheRangeIsTakenAtTheNearerEnd) {
    SketchObject* arc = ArcAbout({ 0, 0 }, { 0, 100 }, { 100, 0 });
    for (double t : { 1.5, -3.0, 1e300 }) {
        RealPoint p = At(arc, t);
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << t;
        ExpectNear(p, At(arc, t > 0 ? 1 : 0));
    }
}

TEST_F(ArcTest, InteriorHitTests) {
    // A quarter about (50, 50) from +x to +y (screen angles), radius 40.
    SketchObject* arc = ArcAbout({ 50, 50 }, { 50, 90 }, { 90, 50 });
    SketchObject* sector = Build(kTypeArcSector, { arc });
    SketchObject* segment = Build(kTypeArcSegment, { arc });
    struct Case { ScreenPoint p; bool sector, segment, boundary; };
    const Case cases[] = {
        { { 70, 60 }, true, false, false },   // inside the sector, on the centre's side of the chord
        { { 76, 74 }, true, true, false },    // between chord and arc
        { { 50, 50 }, true, false, true },    // the centre itself
        { { 30, 40 }, false, false, false },  // in the disc, outside the angle range
        { { 95, 95 }, false, false, false },  // outside the disc
        { { 70, 50 }, true, false, true },    // on a radius
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y);
        EXPECT_EQ(ArcInteriorHitTest(c.p, sector), c.sector);
        EXPECT_EQ(ArcInteriorHitTest(c.p, segment), c.segment);
        EXPECT_EQ(ArcInterior::HitTestBoundary(c.p, sector), c.boundary);
    }
    EXPECT_TRUE(ArcInterior::HitTestBoundary({ 70, 70 }, segment));  // on the chord
    EXPECT_TRUE(ArcHitTest({ 78, 78 }, arc));
    EXPECT_FALSE(ArcHitTest({ 22, 22 }, arc));
}

TEST_F(ArcTest, MarqueeMeetsTheArcNotItsBounds) {
    SketchObject* arc = ArcAbout({ 50, 50 }, { 50, 90 }, { 90, 50 });
    SketchObject* sector = Build(kTypeArcSector, { arc });
    struct Case { ScreenRect r; bool arc, sector; };
    const Case cases[] = {
        { { 75, 75, 85, 85 }, true, true },     // across the rim inside the range
        { { 15, 15, 25, 25 }, false, false },   // across the rim outside the range
        { { 60, 55, 66, 62 }, false, true },    // inside the sector, touching nothing
        { { 35, 35, 42, 42 }, false, false },   // in the disc, outside the range
        { { 45, 60, 55, 70 }, false, true },    // across the radius to (50, 90)
        { { 88, 48, 95, 55 }, true, true },     // around an end point
        { { 200, 200, 210, 210 }, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.r.left << "," << c.r.top);
        EXPECT_EQ(ArcHitTestRect(&c.r, arc), c.arc);
        EXPECT_EQ(ArcHitTestRect(&c.r, sector), c.sector);
    }
}

TEST_F(ArcTest, GeometryRecordLengthsAndEndPointsOfAFreeArc) {
    SketchObject* arc = ArcAbout({ 10, 20 }, { 10, 70 }, { 60, 20 });
    EXPECT_EQ(MeasureCodecRecord(TransferArcGeometry, arc, kCurrentPageFormat), 42u);
    uint8_t buffer[44] = {};
    TransferContext write;
    BeginWriteContext(&write, buffer, 42, arc, kCurrentPageFormat);
    ASSERT_EQ(TransferArcGeometry(&write), kResultOK);
    EXPECT_EQ(GetLE16(buffer + 40), 0xffff);  // orientation -1

    const ObjectTemplate t = { kTypeFree, 0, 0, kClassArc, 1, kKindArc, 0 };
    SketchObject* copy = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(ReadCodecRecord(TransferArcGeometry, copy, buffer, 41, kCurrentPageFormat), 35);
    EXPECT_EQ(ReadCodecRecord(TransferArcGeometry, copy, buffer, 44, kCurrentPageFormat), 4);
    ASSERT_EQ(ReadCodecRecord(TransferArcGeometry, copy, buffer, 42, kCurrentPageFormat), kResultOK);
    // The record holds no end points: a new free arc gets them off its arc, not (0, 0).
    ExpectNear(Data(copy).startPoint, Data(arc).startPoint, 1e-9);
    ExpectNear(Data(copy).endPoint, Data(arc).endPoint, 1e-9);
    EXPECT_EQ(copy->exists, 1);
    RecomputeObject(copy, nullptr, true);
    EXPECT_EQ(copy->exists, 1);
    EXPECT_TRUE(ArcHitTest({ 60, 20 }, copy));
}

TEST_F(ArcTest, ScaledDrawingRestoresGeometryAndExistence) {
    SketchObject* arc = ArcAbout({ 100, 80 }, { 100, 100 }, { 120, 80 });
    const ArcData before = Data(arc);
    ResetRecordedDraws();
    PrintState() = { 1, 0, 2, -50, -30 };
    DrawArcScaled(nullptr, arc, nullptr);
    ASSERT_EQ(SeenGeometries().size(), 1u);
    EXPECT_EQ(SeenGeometries()[0].x, 100);
    EXPECT_EQ(SeenGeometries()[0].y, 100);
    EXPECT_EQ(SeenGeometries()[0].size, 40);
    // Scaled beyond the screen range: not drawn, and still there afterwards.
    PrintState() = { 1, 0, 1000, 0, 0 };
    DrawArcScaled(nullptr, arc, nullptr);
    PrintState() = { 0, 0, 1, 0, 0 };
    EXPECT_EQ(SeenGeometries().size(), 1u);
    EXPECT_EQ(arc->exists, 1);
    EXPECT_EQ(std::memcmp(&Data(arc), &before, sizeof before), 0);
}
