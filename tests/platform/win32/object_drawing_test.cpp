#include <windows.h>

#include <float.h>
#include <gtest/gtest.h>

#include "engine/core/object_tables.h"
#include "engine/core/points.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/services/preferences.h"
#include "engine/core/straight_objects.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/shape_drawing.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

struct PrintPass {
    PrintPass(double factor, bool pages) : saved_(CurrentOutputScale) {
        CurrentOutputScale = { 1, factor, 0, 0 };
        SetPrintingToPage(pages);
    }
    ~PrintPass() {
        CurrentOutputScale = saved_;
        SetPrintingToPage(false);
    }
    OutputScale saved_;
};

struct DimLevel {
    explicit DimLevel(int32_t level) : saved_(GetDimLevel()) { SetDimLevel(level); }
    ~DimLevel() { RestoreDimLevel(saved_); }
    int32_t saved_;
};

LOGPEN PenOf(HPEN pen) {
    LOGPEN p{};
    GetObject(pen, sizeof p, &p);
    return p;
}

class PointsAndLines : public RenderTest {
protected:
    SketchObject* Point(double x, double y, uint32_t mark = 0, COLORREF color = RGB(0, 128, 0)) {
        PointData* d;
        SketchObject* p = MakeObject(kClassPoint, kKindPoint, color, &d);
        d->position = { x, y };
        p->markFlags = mark;
        return p;
    }
    SketchObject* Straight(RealPoint a, RealPoint b, int32_t kind, COLORREF color = kBlack) {
        StraightData* d;
        SketchObject* s = MakeObject(kClassStraight, kind, color, &d);
        d->form = { a, b, b.x - a.x, b.y - a.y, b.x != a.x ? (b.y - a.y) / (b.x - a.x) : 0 };
        d->visiblePiece[0] = { RoundToScreen(a.x), RoundToScreen(a.y) };
        d->visiblePiece[1] = { RoundToScreen(b.x), RoundToScreen(b.y) };
        return s;
    }
};

TEST_F(PointsAndLines, PointCentreIsRoundedAndClampedToTheScreenRange) {
    struct Case { double x; LONG drawnAt; };
    const Case cases[] = { { 30000.4, 30000 }, { -31000, -30000 }, { 100.5, 101 }, { 99.49, 99 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        canvas_.Fill(kWhite);
        // Logical x drawnAt lands on device x 100.
        SetWindowOrgEx(canvas_.dc(), c.drawnAt - 100, 0, nullptr);
        DrawPointObject(&port_, Point(c.x, 50));
        SetWindowOrgEx(canvas_.dc(), 0, 0, nullptr);
        const RECT e = canvas_.Extent(kWhite);
        EXPECT_EQ(e.left, 98);
        EXPECT_EQ(e.right, 103);
        EXPECT_EQ(canvas_.At(100, 50), RGB(0, 128, 0));
    }
}

TEST_F(PointsAndLines, PointLooksFollowTheMarkBits) {
    struct Case { uint32_t mark; COLORREF rim; LONG halfSpan; };
    const Case cases[] = {
        { 0, kBlack, 2 },
        { kMarkHighlighted, kSelection, 5 },          // radius 4 under a 3-pixel pen
        { kMarkHighlightPass, kHighlight, 4 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mark);
        canvas_.Fill(kWhite);
        DrawPointObject(&port_, Point(100, 100, c.mark));
        const RECT e = canvas_.Extent(kWhite);
        EXPECT_EQ(e.left, 100 - c.halfSpan);
        EXPECT_EQ(canvas_.At(100 - (c.mark == kMarkHighlighted ? 4 : c.halfSpan), 100), c.rim);
        EXPECT_EQ(canvas_.At(100, 100), RGB(0, 128, 0));
    }
    // Trace style has no outline at all.
    canvas_.Fill(kWhite);
    DrawPointObject(&port_, Point(100, 100, kMarkTraceStyle));
    EXPECT_EQ(canvas_.Count(kBlack), 0);
    EXPECT_EQ(canvas_.At(100, 100), RGB(0, 128, 0));
}

TEST_F(PointsAndLines, DrawPointSelectionUsesTheHighlightPassAndClearsIt) {
    SketchObject* p = Point(100, 100, kMarkDimmedFixed);
    DrawPointSelection(&port_, p);
    EXPECT_EQ(canvas_.At(96, 100), kHighlight);
    EXPECT_EQ(p->markFlags, kMarkDimmedFixed);
}

TEST_F(PointsAndLines, DimmingMovesColoursTowardTheBackground) {
    SetBackground(RGB(200, 100, 0));
    struct Case { int32_t level; COLORREF dimmed; };
    const Case cases[] = { { 0, RGB(0, 200, 100) }, { 10, RGB(100, 150, 50) }, { 20, RGB(200, 100, 0) } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        DimLevel level(c.level);
        COLORREF color = RGB(0, 200, 100);
        DimTowardBackground(&color);
        EXPECT_EQ(color, c.dimmed);
        // A point marked for dimming fills with that colour.
        canvas_.Fill(RGB(200, 100, 0));
        DrawPointObject(&port_, Point(100, 100, kMarkDimmed, RGB(0, 200, 100)));
        EXPECT_EQ(canvas_.At(100, 100), c.dimmed);
    }
    // Bit 0x04 dims at level 15 whatever the current level, and puts the level back.
    DimLevel level(3);
    COLORREF color = RGB(0, 200, 100);
    ApplyObjectDimming(&color, kMarkDimmedFixed);
    EXPECT_EQ(color, RGB(150, 125, 25));
    EXPECT_EQ(GetDimLevel(), 3);
}

TEST_F(PointsAndLines, TraceBlendGoesHalfWayToTheExtreme) {
    COLORREF c = RGB(0, 100, 255);
    BlendTowardBackground(&c, 128, true);
    EXPECT_EQ(c, RGB(127, 177, 255));
    SetBackground(RGB(100, 20, 20));  // dark: toward black
    c = RGB(0, 100, 255);
    BlendTowardBackground(&c, 128, true);
    EXPECT_EQ(c, RGB(0, 50, 127));
    c = RGB(0, 100, 255);
    BlendTowardBackground(&c, 128, false);  // toward the background itself
    EXPECT_EQ(c, RGB(50, 60, 137));
}

TEST_F(PointsAndLines, ObjectPensByStyleMarkAndPass) {
    DrawingMetrics.intMetricsA[kMetricThickLineWidth] = 7;
    struct Case {
        const char* name; uint32_t mark; int32_t style; double factor; bool pages;
        UINT penStyle; LONG width; COLORREF color;
    };
    const COLORREF o = RGB(10, 20, 30);
    const Case cases[] = {
        { "screen dashed",           0,                0, 0, false, PS_DOT,   0, o },
        { "screen dashed selected",  kMarkHighlighted, 0, 0, false, PS_SOLID, 2, kSelection },
        { "screen thick",            0,                2, 0, false, PS_SOLID, 3, o },
        { "screen thick selected",   kMarkHighlighted, 2, 0, false, PS_SOLID, 5, kSelection },
        { "picture normal",          0,                1, 4, false, PS_SOLID, 2, o },
        { "picture dashed",          0,                0, 4, false, PS_DASH,  0, o },
        { "page dashed at scale 1",  0,                0, 1, true,  PS_DOT,   0, o },
        { "page normal",             0,                1, 3, true,  PS_SOLID, 0, o },
        { "page thick",              0,                2, 3, true,  PS_SOLID, 7, o },
        { "trace",                   kMarkTraceStyle,  1, 0, false, PS_SOLID, 0, RGB(132, 137, 142) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrintPass pass(c.factor, c.pages);
        if (c.factor == 0) CurrentOutputScale.printing = 0;
        HPEN pen = CreateObjectPen(&port_, o, c.mark, c.style, true);
        const LOGPEN p = PenOf(pen);
        DeleteObject(pen);
        EXPECT_EQ(p.lopnStyle, c.penStyle);
        EXPECT_EQ(p.lopnWidth.x, c.width);
        EXPECT_EQ(p.lopnColor, c.color);
    }
    // Images coloured by a parameter keep their colour in traces.
    HPEN pen = CreateObjectPen(&port_, o, kMarkTraceStyle, 1, false);
    EXPECT_EQ(PenOf(pen).lopnColor, o);
    DeleteObject(pen);
    DrawingMetrics.intMetricsA[kMetricThickLineWidth] = 3;
}

TEST_F(PointsAndLines, DashedLineOnScreenIsDottedAndSolidWhenHighlighted) {
    SketchObject* s = Straight({ 20, 100 }, { 180, 100 }, kKindSegment, RGB(0, 0, 0));
    s->lineStyle = 0;
    DrawStraightObject(&port_, s);
    int gaps = 0;
    for (int x = 20; x < 180; ++x) gaps += canvas_.At(x, 100) == kWhite;
    EXPECT_GT(gaps, 40);
    canvas_.Fill(kWhite);
    s->markFlags = kMarkHighlighted;
    DrawStraightObject(&port_, s);
    for (int x = 20; x < 180; ++x) ASSERT_EQ(canvas_.At(x, 100), kSelection) << x;
}

TEST_F(PointsAndLines, SegmentsAreClippedToTheLineBoundsGrownByTwo) {
    port_.lineBounds = { 50, 150, 150, 50 };  // inverted top and bottom
    HPEN pen = CreatePen(PS_SOLID, 0, kBlack);
    HGDIOBJ old = SelectObject(canvas_.dc(), pen);
    struct Case { ScreenRect segment; RECT drawn; };
    const Case cases[] = {
        { { 100, 0, 100, 199 }, { 100, 48, 101, 152 } },   // vertical, crossing
        { { 20, 0, 20, 199 },   { 200, 200, 0, 0 } },       // vertical, outside
        { { 0, 48, 199, 48 },   { 48, 48, 152, 49 } },      // on the grown edge
        { { 0, 47, 199, 47 },   { 200, 200, 0, 0 } },       // just outside it
        { { 0, 0, 199, 199 },   { 48, 48, 152, 152 } },     // diagonal, cut at both ends
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.segment.left);
        canvas_.Fill(kWhite);
        DrawClippedSegment(&port_, c.segment);
        const RECT e = canvas_.Extent(kWhite);
        EXPECT_EQ(e.left, c.drawn.left);
        EXPECT_EQ(e.top, c.drawn.top);
        EXPECT_EQ(e.right, c.drawn.right);
        EXPECT_EQ(e.bottom, c.drawn.bottom);
    }
    SelectObject(canvas_.dc(), old);
    DeleteObject(pen);
}

TEST_F(PointsAndLines, ArrowheadsOnlyOnPrintedRaysAndLinesWhenExported) {
    DrawingMetrics.intMetricsA[kMetricArrowSize] = 8;
    port_.lineBounds = { 20, 20, 180, 180 };
    const int32_t savedPreference = ThePreferences().exportArrowheads;
    auto inkFor = [&](int32_t kind, bool printing, bool exported) {
        canvas_.Fill(kWhite);
        ThePreferences().exportArrowheads = exported;
        PrintPass pass(1, true);
        if (!printing) CurrentOutputScale.printing = 0;
        DrawStraightObject(&port_, Straight({ 60, 100 }, { 120, 100 }, kind));
        return canvas_.Count(kBlack);
    };
    const int plain = inkFor(kKindRay, false, true);
    EXPECT_EQ(inkFor(kKindRay, true, false), plain);
    EXPECT_EQ(inkFor(kKindSegment, true, true), plain);
    const int ray = inkFor(kKindRay, true, true);
    EXPECT_GT(ray, plain);
    // The ray's head is at its cut end (x 180), pointing right: the strokes reach back.
    EXPECT_EQ(canvas_.At(172, 96), kBlack);
    EXPECT_EQ(canvas_.At(28, 96), kWhite);
    EXPECT_GT(inkFor(kKindLine, true, true), ray);
    EXPECT_EQ(canvas_.At(28, 96), kBlack);
    ThePreferences().exportArrowheads = savedPreference;
}

TEST_F(PointsAndLines, SelectionStrokesLieEitherSideOfTheSegment) {
    struct Case { ScreenRect segment; int32_t style; POINT on[2]; POINT off; };
    const Case cases[] = {
        { { 20, 100, 180, 110 }, 1, { { 100, 103 }, { 100, 107 } }, { 100, 105 } },  // shallow: in y
        { { 100, 20, 110, 180 }, 2, { { 102, 100 }, { 108, 100 } }, { 105, 100 } },  // steep, thick: in x
    };
    for (const Case& c : cases) {
        canvas_.Fill(kWhite);
        SketchObject* s = Straight({ double(c.segment.left), double(c.segment.top) },
                                   { double(c.segment.right), double(c.segment.bottom) }, kKindSegment);
        s->lineStyle = c.style;
        DrawStraightSelection(&port_, s);
        EXPECT_EQ(canvas_.At(c.on[0].x, c.on[0].y), kHighlight);
        EXPECT_EQ(canvas_.At(c.on[1].x, c.on[1].y), kHighlight);
        EXPECT_EQ(canvas_.At(c.off.x, c.off.y), kWhite);
    }
}

TEST_F(PointsAndLines, FeedbackPensByDrawLayerAndRestoredAfter) {
    struct Case { int32_t layer; LONG width; HGDIOBJ brush; };
    const HGDIOBJ unchanged = GetCurrentObject(canvas_.dc(), OBJ_BRUSH);
    const Case cases[] = {
        { 2, 1, unchanged }, { 3, 3, GetStockObject(NULL_BRUSH) }, { 9, 3, GetStockObject(NULL_BRUSH) },
        { 5, 7, GetStockObject(NULL_BRUSH) }, { 6, 7, GetStockObject(NULL_BRUSH) },
        { 10, 7, GetStockObject(WHITE_BRUSH) },
    };
    const HGDIOBJ pen = GetCurrentObject(canvas_.dc(), OBJ_PEN);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layer);
        SetFeedbackPen(&port_, c.layer, 1);
        const LOGPEN p = PenOf(static_cast<HPEN>(GetCurrentObject(canvas_.dc(), OBJ_PEN)));
        EXPECT_EQ(p.lopnWidth.x, c.width);
        EXPECT_EQ(p.lopnColor, kHighlight);
        EXPECT_EQ(GetCurrentObject(canvas_.dc(), OBJ_BRUSH), c.brush);
        SetFeedbackPen(&port_, c.layer, 0);
        EXPECT_EQ(GetCurrentObject(canvas_.dc(), OBJ_PEN), pen);
        EXPECT_EQ(GetCurrentObject(canvas_.dc(), OBJ_BRUSH), unchanged);
    }
    SetFeedbackPen(&port_, 4, 1);
    EXPECT_EQ(GetCurrentObject(canvas_.dc(), OBJ_PEN), pen);
    SetFeedbackPen(&port_, 4, 0);
}

TEST(SelectionHatch, FourWayChoiceOfColourAndMixMode) {
    struct Case { COLORREF highlight, object, hatch; int rop; };
    const Case cases[] = {
        { RGB(0, 0, 255), RGB(255, 255, 0), RGB(0, 0, 0), R2_NOTXORPEN },       // complementary
        { RGB(0, 0, 255), RGB(255, 0, 0), RGB(0, 0, 255), R2_MASKPEN },         // object apart
        { RGB(0, 0, 255), RGB(0, 0, 255), RGB(0, 0, 0), R2_MERGENOTPEN },       // dark, close
        { RGB(255, 255, 255), RGB(200, 200, 200), RGB(0, 0, 0), R2_MASKPEN },   // light, close
        { RGB(200, 200, 200), RGB(0, 0, 0), RGB(55, 55, 55), R2_MERGENOTPEN },  // inverted highlight
    };
    for (const Case& c : cases) {
        COLORREF hatch;
        int rop;
        ChooseSelectionHatch(c.object, c.highlight, &hatch, &rop);
        EXPECT_EQ(hatch, c.hatch) << c.object;
        EXPECT_EQ(rop, c.rop) << c.object;
    }
}

TEST_F(PointsAndLines, PrintPassesMaskFloatingPointExceptions) {
    const unsigned int saved = _control87(0, 0);
    _control87(0, _EM_ZERODIVIDE | _EM_INVALID);
    {
        PrintPass pass(1, true);
        DrawPointObject(&port_, Point(50, 50));
    }
    const unsigned int after = _control87(0, 0);
    _control87(saved, _MCW_EM);
    EXPECT_EQ(after & _MCW_EM, static_cast<unsigned int>(_MCW_EM));
}

}  // namespace
