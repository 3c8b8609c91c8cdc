#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/core/arc_data.h"
#include "engine/core/circles.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/polygon_data.h"
#include "engine/core/services/object_drawing.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/shape_drawing.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

class RoundShapes : public RenderTest {
protected:
    SketchObject* MakeCircle(int32_t cls, RealPoint c, double r, COLORREF color = kBlack) {
        CircleData* d;
        SketchObject* o = MakeObject(cls, cls == kClassCircle ? kKindCircle : kKindCircleInterior, color, &d);
        d->centre = c;
        d->radius = r;
        d->screenCentreX = RoundToScreen(c.x);
        d->screenCentreY = RoundToScreen(c.y);
        d->screenRadius = RoundToScreen(r);
        return o;
    }
    SketchObject* MakeArc(int32_t cls, int32_t kind, RealPoint c, double r, double start, double end,
                      COLORREF color = kBlack) {
        ArcData* a;
        SketchObject* o = MakeObject(cls, kind, color, &a);
        a->centre = c;
        a->radius = r;
        a->startAngle = start;
        a->endAngle = end;
        a->orientation = 1;
        a->screenCentreX = RoundToScreen(c.x);
        a->screenCentreY = RoundToScreen(c.y);
        a->screenRadius = RoundToScreen(r);
        double sweep = end - start;
        if (sweep < 0) sweep += kTwoPi;
        a->sweep = sweep;
        a->arcLength = sweep * r;
        return o;
    }
    SketchObject* MakePolygon(const std::vector<ScreenPoint>& vertices, COLORREF color) {
        PolygonData* d;
        SketchObject* o = MakeObject(kClassPolygonInterior, kKindPolygonInterior, color, &d);
        vertices_.push_back(vertices);
        d->vertexCount = static_cast<uint16_t>(vertices.size());
        d->screenVertices = vertices_.back().data();
        return o;
    }
    // Moves an interior's screen geometry right by dx pixels.
    static void MoveForTest(SketchObject* o, int16_t dx) {
        if (o->objectClass == kClassPolygonInterior) {
            PolygonData* p = ClassData<PolygonData>(o);
            for (int i = 0; i < p->vertexCount; ++i) p->screenVertices[i].x = static_cast<int16_t>(p->screenVertices[i].x + dx);
        } else if (o->objectClass == kClassArcInterior) {
            ArcData* a = ClassData<ArcData>(o);
            a->centre.x += dx;
            a->screenCentreX = static_cast<int16_t>(a->screenCentreX + dx);
        } else {
            CircleData* c = ClassData<CircleData>(o);
            c->centre.x += dx;
            c->screenCentreX = static_cast<int16_t>(c->screenCentreX + dx);
        }
    }
    std::vector<std::vector<ScreenPoint>> vertices_;
};

TEST_F(RoundShapes, GdiEllipsesBelowRadius1000AndPolylinesFrom1000) {
    struct Case { double radius; DWORD record; int points; };
    const Case cases[] = { { 999, EMR_ELLIPSE, 0 }, { 1000, EMR_POLYLINE16, 1025 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.radius);
        SketchObject* circle = MakeCircle(kClassCircle, { 100, 100 }, c.radius);
        const auto records = RecordMetafile(&port_, [&] { DrawCircleObject(&port_, circle); });
        const MetaRecord* r = FindRecord(records, c.record);
        ASSERT_NE(r, nullptr);
        if (c.points) {
            EXPECT_EQ(RecordPointCount(*r), c.points);
        }
        EXPECT_EQ(CountRecords(records, c.record == EMR_ELLIPSE ? EMR_POLYLINE16 : EMR_ELLIPSE), 0);
    }
    // A box reaching 30000 is flattened too, clamped into range.
    SketchObject* distant = MakeCircle(kClassCircle, { 29900, 100 }, 200);
    const auto records = RecordMetafile(&port_, [&] { DrawCircleObject(&port_, distant); });
    const MetaRecord* r = FindRecord(records, EMR_POLYLINE16);
    ASSERT_NE(r, nullptr);
    const auto* xy = reinterpret_cast<const int16_t*>(&r->params[5]);
    for (int i = 0; i < RecordPointCount(*r); ++i) EXPECT_LE(xy[2 * i], 30000);
}

TEST_F(RoundShapes, ArcWhoseEndsShareAPixelIsFlattenedNotAFullEllipse) {
    // Nearly a full turn: both end points round to (150, 100).
    SketchObject* arc = MakeArc(kClassArc, kKindArc, { 100, 100 }, 50, 0.001, kTwoPi - 0.001);
    RECT box;
    POINT start, end;
    EXPECT_FALSE(EllipseSpecToBox(ArcToEllipseSpec(arc, 0), &box, &start, &end));
    const auto records = RecordMetafile(&port_, [&] { DrawArcObject(&port_, arc); });
    EXPECT_EQ(CountRecords(records, EMR_ARC), 0);
    EXPECT_EQ(CountRecords(records, EMR_ELLIPSE), 0);
    EXPECT_EQ(CountRecords(records, EMR_POLYLINE16), 1);
    // A quarter arc goes to GDI, from its end point to its start point.
    SketchObject* quarter = MakeArc(kClassArc, kKindArc, { 100, 100 }, 50, 0, kHalfPi);
    const auto q = RecordMetafile(&port_, [&] { DrawArcObject(&port_, quarter); });
    const MetaRecord* r = FindRecord(q, EMR_ARC);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->params[0], 50u);                   // box left
    EXPECT_EQ(r->params[2], 150u);                  // box right (inclusive in the record)
    EXPECT_EQ(r->params[4], 100u);                  // from (100, 150) ...
    EXPECT_EQ(r->params[5], 150u);
    EXPECT_EQ(r->params[6], 150u);                  // ... to (150, 100)
    EXPECT_EQ(r->params[7], 100u);
}

TEST_F(RoundShapes, ShortArcIsNotDrawnButItsInteriorIs) {
    SketchObject* arc = MakeArc(kClassArc, kKindArc, { 100, 100 }, 16, 0, 0.1);  // 1.6 pixels
    DrawArcObject(&port_, arc);
    EXPECT_EQ(canvas_.Count(kWhite), 200 * 200);
    SketchObject* sector = MakeArc(kClassArcInterior, kKindArcSector, { 100, 100 }, 16, 0, 0.1, RGB(255, 0, 0));
    port_.ropMode = R2_MASKPEN;
    DrawArcInterior(&port_, sector);
    EXPECT_GT(canvas_.Count(RGB(255, 0, 0)), 0);
    // An arc through three points in a line is its chord.
    ArcData* straight;
    SketchObject* flat = MakeObject(kClassArc, kKindArc, kBlack, &straight);
    straight->orientation = 0;
    straight->screenStart = { 20, 150 };
    straight->screenEnd = { 180, 150 };
    canvas_.Fill(kWhite);
    DrawArcObject(&port_, flat);
    EXPECT_EQ(canvas_.At(100, 150), kBlack);
    EXPECT_EQ(canvas_.Extent(kWhite).top, 150);
}

TEST_F(RoundShapes, SelectedCircleShowsTwoRingsInTheHighlightColour) {
    struct Case { int32_t style; int32_t d; };
    for (const Case& c : { Case{ 1, 2 }, Case{ 2, 3 } }) {
        canvas_.Fill(kWhite);
        SketchObject* circle = MakeCircle(kClassCircle, { 100, 100 }, 40);
        circle->lineStyle = c.style;
        DrawCircleSelection(&port_, circle);
        EXPECT_EQ(canvas_.At(100 + 40 + c.d, 100), kHighlight);
        EXPECT_EQ(canvas_.At(100 + 40 - c.d, 100), kHighlight);
        EXPECT_EQ(canvas_.At(100 + 40, 100), kWhite);
    }
}

TEST_F(RoundShapes, OverlappingInteriorsKeepTheirColoursOnAColouredBackground) {
    const COLORREF background = RGB(200, 200, 100);
    SetBackground(background);
    SketchObject* red = MakeCircle(kClassCircleInterior, { 80, 100 }, 40, RGB(255, 0, 0));
    SketchObject* green = MakeCircle(kClassCircleInterior, { 120, 100 }, 40, RGB(0, 255, 0));
    red->nextInLayer = green;
    green->nextInLayer = red;
    red->bounds = { 40, 60, 121, 141 };
    green->bounds = { 80, 60, 161, 141 };
    sketch_->layerHeads[2] = red;
    port_.backDC = port_.windowDC = canvas_.dc();
    port_.bufferRect = { 0, 0, 200, 200 };
    BeginCanvasPaint(&port_, nullptr);
    EXPECT_EQ(port_.ropMode, R2_MASKPEN);
    DrawCircleInterior(&port_, red);
    DrawCircleInterior(&port_, green);
    sketch_->layerHeads[2] = nullptr;
    port_.backDC = port_.windowDC = nullptr;
    EXPECT_EQ(canvas_.At(60, 100), RGB(255, 0, 0));
    EXPECT_EQ(canvas_.At(140, 100), RGB(0, 255, 0));
    EXPECT_EQ(canvas_.At(100, 100), kBlack);  // the two mix where they overlap
    EXPECT_EQ(canvas_.At(10, 10), background);
    // A white background needs no mask: the fill mixes with white itself.
    SetBackground(kWhite);
    DrawCircleInterior(&port_, red);
    EXPECT_EQ(canvas_.At(60, 100), RGB(255, 0, 0));
}

TEST_F(RoundShapes, SelectionHatchMovesWithTheObjectLessTheScroll) {
    struct Case { SketchObject* object; void (*draw)(GraphicsPort*, SketchObject*); };
    const Case cases[] = {
        { MakeCircle(kClassCircleInterior, { 100, 100 }, 30, RGB(255, 0, 0)), DrawCircleInteriorSelection },
        { MakeArc(kClassArcInterior, kKindArcSector, { 100, 100 }, 30, 0, 6, RGB(255, 0, 0)),
          DrawArcInteriorSelection },
        { MakePolygon({ { 100, 100 }, { 150, 100 }, { 150, 150 }, { 100, 150 } }, RGB(255, 0, 0)),
          DrawPolygonSelection },
    };
    auto hatchAt = [&](const Case& c, int16_t dx, int16_t scrollX) {
        canvas_.Fill(kWhite);
        port_.scrollX = scrollX;
        MoveForTest(c.object, dx);
        c.draw(&port_, c.object);
        MoveForTest(c.object, static_cast<int16_t>(-dx));
        EXPECT_EQ(c.object->markFlags, 0u);
        return canvas_.Snapshot();
    };
    for (const Case& c : cases) {
        const auto still = hatchAt(c, 0, 0), moved = hatchAt(c, 3, 0), scrolled = hatchAt(c, 0, 3);
        int same = 0, shifted = 0;
        for (int y = 105; y < 120; ++y)
            for (int x = 105; x < 120; ++x) {
                same += moved[y * 200 + x + 3] == still[y * 200 + x];
                shifted += scrolled[y * 200 + x] == still[y * 200 + x + 3];
            }
        EXPECT_EQ(same, 15 * 15);
        EXPECT_EQ(shifted, 15 * 15);
        EXPECT_NE(still, scrolled);
    }
}

TEST_F(RoundShapes, ClassRoutinesPutBackPenBrushAndMixMode) {
    SketchObject* circle = MakeCircle(kClassCircle, { 100, 100 }, 30);
    SketchObject* disc = MakeCircle(kClassCircleInterior, { 100, 100 }, 1500);
    SketchObject* arc = MakeArc(kClassArc, kKindArc, { 100, 100 }, 30, 0, 2);
    SketchObject* segment = MakeArc(kClassArcInterior, kKindArcSegment, { 100, 100 }, 30, 0, 2);
    SketchObject* poly = MakePolygon({ { 10, 20 }, { 60, 20 }, { 30, 70 } }, RGB(0, 0, 255));
    for (SketchObject* o : { circle, disc, arc, segment, poly }) o->markFlags = kMarkHighlighted;
    struct Case { SketchObject* object; void (*draw)(GraphicsPort*, SketchObject*); };
    const Case cases[] = {
        { circle, DrawCircleObject },  { circle, DrawCircleSelection },
        { disc, DrawCircleInterior },  { disc, DrawCircleInteriorSelection },
        { arc, DrawArcObject },        { arc, DrawArcSelection },
        { segment, DrawArcInterior },  { segment, DrawArcInteriorSelection },
        { poly, DrawPolygonInterior }, { poly, DrawPolygonSelection },
    };
    HDC dc = canvas_.dc();
    SetROP2(dc, R2_XORPEN);
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(i++);
        const auto records = RecordMetafile(&port_, [&] { c.draw(&port_, c.object); });
        EXPECT_GT(records.size(), 3u);
        c.draw(&port_, c.object);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
        EXPECT_EQ(GetROP2(dc), R2_XORPEN);
        EXPECT_EQ(GetPolyFillMode(dc), ALTERNATE);
    }
    SetROP2(dc, R2_COPYPEN);
}

TEST_F(RoundShapes, FilledFlatteningFansFromTheCentreInOneBatch) {
    // A sector of a large circle: one polygon, the centre first, then the arc points.
    SketchObject* sector = MakeArc(kClassArcInterior, kKindArcSector, { 100, 100 }, 5000, 0, 1.0, RGB(0, 0, 255));
    const auto records = RecordMetafile(&port_, [&] { DrawArcInterior(&port_, sector); });
    const MetaRecord* r = FindRecord(records, EMR_POLYGON16);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(RecordPointCount(*r), 1 + 1024 + 1);
    const auto* xy = reinterpret_cast<const int16_t*>(&r->params[5]);
    EXPECT_EQ(xy[0], 100);
    EXPECT_EQ(xy[1], 100);
}

TEST_F(RoundShapes, LargePolygonsAreDrawnWholeFromEngineMemory) {
    std::vector<ScreenPoint> ring;
    for (int i = 0; i < 1000; ++i) {
        const double a = kTwoPi * i / 1000;
        ring.push_back({ static_cast<int16_t>(100 + 80 * std::cos(a)), static_cast<int16_t>(100 + 80 * std::sin(a)) });
    }
    SketchObject* big = MakePolygon(ring, RGB(0, 0, 255));
    port_.ropMode = R2_MASKPEN;
    const auto records = RecordMetafile(&port_, [&] { DrawPolygonInterior(&port_, big); });
    const MetaRecord* r = FindRecord(records, EMR_POLYGON16);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(RecordPointCount(*r), 1000);
    DrawPolygonInterior(&port_, big);
    EXPECT_EQ(canvas_.At(100, 100), RGB(0, 0, 255));
    EXPECT_EQ(canvas_.At(100, 25), RGB(0, 0, 255));  // the last quarter of the vertices
    // Without memory nothing is drawn (and nothing is read past a fixed buffer).
    canvas_.Fill(kWhite);
    SetAllocFailureAfter(1, true);
    DrawPolygonInterior(&port_, big);
    SetAllocFailureAfter(0);
    EXPECT_EQ(canvas_.Count(kWhite), 200 * 200);
    // 400 vertices (a segment of the ring, below its chord) need no memory at all.
    ring.resize(400);
    SketchObject* fits = MakePolygon(ring, RGB(0, 0, 255));
    SetAllocFailureAfter(1, true);
    DrawPolygonInterior(&port_, fits);
    SetAllocFailureAfter(0);
    EXPECT_EQ(canvas_.At(100, 170), RGB(0, 0, 255));
    EXPECT_EQ(canvas_.At(100, 100), kWhite);
}

TEST_F(RoundShapes, MetafileGroupCommentsBracketAnObject) {
    SketchObject* circle = MakeCircle(kClassCircle, { 100, 100 }, 30);
    const ScreenRect bounds{ -5, 10, 300, 400 };
    const auto records = RecordMetafile(&port_, [&] {
        BeginMetafileGroup(&port_, circle, &bounds);
        DrawCircleObject(&port_, circle);
        EndMetafileGroup(&port_, circle, &bounds);
    });
    std::vector<const MetaRecord*> comments;
    for (const MetaRecord& r : records)
        if (r.type == EMR_GDICOMMENT) comments.push_back(&r);
    ASSERT_EQ(comments.size(), 2u);
    // EMR_GDICOMMENT: the data size, then the data.
    const std::vector<DWORD> begin{ 28, 0x43494447, 2, static_cast<DWORD>(-5), 10, 300, 400, 0 };
    const std::vector<DWORD> end{ 8, 0x43494447, 3 };
    EXPECT_EQ(comments[0]->params, begin);
    EXPECT_EQ(comments[1]->params, end);
}

}  // namespace
