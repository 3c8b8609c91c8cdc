// figlate's anti-aliased redraws against figmantle's plain ones, on the same port: the
// later-release forms installed and reset within the run.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/arc_data.h"
#include "engine/core/locus.h"
#include "engine/core/object_tables.h"
#include "engine/core/path_geometry.h"
#include "engine/core/shape_families.h"
#include "engine/core/services/coord_systems.h"
#include "engine/text/captions.h"
#include "engine/core/points.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/preferences.h"
#include "engine/core/straight_objects.h"
#include "engine/interact/preferences.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/test_hooks.h"
#include "release2/draw/speed_policy.h"
#include "release2/draw/win32/antialias_layer.h"
#include "release2/draw/win32/antialias_policy.h"
#include "release2/draw/win32/gdiplus_calls.h"
#include "release2/engine/float_samples.h"
#include "tests/platform/win32/render_fixture.h"

using Gdiplus::GpStatus;

namespace {

class AntiAliasedRedraw : public RenderTest {
protected:
    AntiAliasedRedraw() {
        saved_ = ThePreferences().antiAliasPreference;
        ResetGdiPlusCallTable();
        StartGdiPlus();
        table_ = GdiPlusCallTable();
        LaterReleaseForms forms = {};
        AddDrawingForms(&forms);
        InstallLaterForms(forms);
        EXPECT_TRUE(InitDrawingMetrics());
        port_.backDC = canvas_.dc();
        sketch_->windowRect = { 0, 0, 200, 200 };
        ResetSpeedPolicy();
    }
    ~AntiAliasedRedraw() override {
        DrawingMetrics = metrics_;
        ResetLaterForms();
        GdiPlusCallTable() = table_;
        StopGdiPlus();
        ResetGdiPlusCallTable();
        ThePreferences().antiAliasPreference = saved_;
        ReleaseTickCountForTest();
    }

    SketchObject* Segment(int y, int32_t lineStyle, uint32_t mark = 0) {
        StraightData* d;
        SketchObject* s = MakeObject(kClassStraight, kKindSegment, kBlack, &d);
        d->form = { { 20, double(y) }, { 180, double(y) }, 160, 0, 0 };
        d->visiblePiece[0] = { 20, int16_t(y) };
        d->visiblePiece[1] = { 180, int16_t(y) };
        s->lineStyle = lineStyle;
        s->markFlags = mark;
        return s;
    }
    // One redraw of the whole canvas drawing `draw` between the bracket's two ends.
    template <typename Draw>
    void Redraw(Draw draw) {
        const ScreenRect all = { 0, 0, 200, 200 };
        if (auto begin = LaterForms().drawing.beginRedraw) begin(&port_, &all);
        else BeginCanvasPaint(&port_, &all);
        draw();
        if (auto end = LaterForms().drawing.endRedraw) end(&port_, &all);
        else EndCanvasPaint(&port_, &all);
    }
    // Row y from x = 20, '#' where drawn.
    std::string Row(int y, int length) {
        std::string s;
        for (int x = 20; x < 20 + length; ++x) s += canvas_.At(x, y) == kWhite ? '.' : '#';
        return s;
    }
    int RowsDrawnAt(int x) {
        int n = 0;
        for (int y = 0; y < 200; ++y) n += canvas_.At(x, y) != kWhite;
        return n;
    }

    // A locus of points over samples {x, y, state}.
    SketchObject* PointLocus(const std::vector<std::vector<int16_t>>& samples, int32_t drawOption) {
        namespace SR = SampleRecord;
        LocusData* d;
        SketchObject* locus = MakeObject(kClassLocus, kKindPointLocus, RGB(0, 128, 0), &d);
        d->sampleCount = int32_t(samples.size());
        d->sampleSize = SR::kLocusPointBytes;
        d->tracedClass = kClassPoint;
        d->ends = 1;
        d->drawOption = drawOption;
        records_.assign(samples.size() * SR::kLocusPointBytes, 0);
        for (size_t i = 0; i < samples.size(); ++i) {
            uint8_t* r = records_.data() + i * SR::kLocusPointBytes;
            SetRecordField<int16_t>(r, 0, samples[i][0]);
            SetRecordField<int16_t>(r, 2, samples[i][1]);
            SetRecordField<uint32_t>(r, SR::kLocusState, uint32_t(samples[i][2]));
        }
        d->samples = records_.data();
        return locus;
    }
    void InstallFiglate(bool on) {
        if (!on) return ResetLaterForms();
        LaterReleaseForms forms = {};
        AddDrawingForms(&forms);
        InstallLaterForms(forms);
    }

    uint16_t saved_;
    GdiPlusCalls table_;
    std::vector<uint8_t> records_;
    DrawingMetricsRecord metrics_ = DrawingMetrics;
};

constexpr char kGdiDots[] = "###...###...###...###...";
constexpr char kDashes[] = "######....######....####";
constexpr char kWideDashes[] = "############........####";

TEST_F(AntiAliasedRedraw, DashedLinesByProgramAndPreference) {
    struct Case { const char* name; bool figlate; uint16_t preference; uint32_t mark; const char* row; int rows; };
    const Case cases[] = {
        { "figmantle", false, kAntiAliasAlways, 0, kGdiDots, 1 },
        { "figlate, never", true, kAntiAliasNever, 0, kGdiDots, 1 },
        { "figlate, always", true, kAntiAliasAlways, 0, kDashes, 1 },
        { "figmantle, selected: solid", false, kAntiAliasAlways, kMarkHighlighted, "########################", 2 },
        { "figlate, selected: wider dashes", true, kAntiAliasAlways, kMarkHighlighted, kWideDashes, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.figlate) {
            LaterReleaseForms forms = {};
            AddDrawingForms(&forms);
            InstallLaterForms(forms);
        } else {
            ResetLaterForms();
        }
        ThePreferences().antiAliasPreference = c.preference;
        canvas_.Fill(kWhite);
        SketchObject* s = Segment(100, kLineDashed, c.mark);
        Redraw([&] { DrawStraightObject(&port_, s); });
        EXPECT_EQ(Row(100, 24), c.row);
        EXPECT_EQ(RowsDrawnAt(20), c.rows);
        EXPECT_EQ(port_.mainGraphics, nullptr);  // nothing outlives the redraw
    }
}

GpStatus WINGDIPAPI FailLine(Gdiplus::GpGraphics*, Gdiplus::GpPen*, Gdiplus::REAL, Gdiplus::REAL, Gdiplus::REAL,
                             Gdiplus::REAL) {
    return Gdiplus::GenericError;
}
GpStatus WINGDIPAPI FailAttach(HDC, Gdiplus::GpGraphics**) { return Gdiplus::OutOfMemory; }

// A shape GDI+ could not draw, a graphics object that could not attach, no GDI+ and a
// picture pass all leave the shape to GDI: it never vanishes.
TEST_F(AntiAliasedRedraw, WhateverFailsTheShapeIsDrawnWithGdi) {
    ThePreferences().antiAliasPreference = kAntiAliasAlways;
    struct Case { const char* name; void (*breakIt)(); void (*mendIt)(); };
    const Case cases[] = {
        { "the line fails", [] { GdiPlusCallTable().drawLine = FailLine; }, [] {} },
        { "no graphics object", [] { GdiPlusCallTable().createFromHdc = FailAttach; }, [] {} },
        { "no GDI+", [] { StopGdiPlus(); }, [] { StartGdiPlus(); } },
        { "a picture pass", [] { CurrentOutputScale.printing = 1; }, [] { CurrentOutputScale.printing = 0; } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        canvas_.Fill(kWhite);
        SketchObject* s = Segment(100, kLineDashed);
        c.breakIt();
        Redraw([&] { DrawStraightObject(&port_, s); });
        c.mendIt();
        GdiPlusCallTable() = table_;
        EXPECT_EQ(Row(100, 12), std::string(kGdiDots).substr(0, 12));
    }
}

// Lines are cut to the port's line bounds: a vertical one on the left bound is drawn, one
// a pixel left of it is dropped, and a sloped one passing beside the bounds draws nothing.
TEST_F(AntiAliasedRedraw, LinesAreClippedToTheLineBounds) {
    ThePreferences().antiAliasPreference = kAntiAliasAlways;
    port_.lineBounds = { 50, 50, 150, 150 };
    struct Case { double x1, y1, x2, y2; bool drawn; };
    const Case cases[] = {
        { 50, 0, 50, 199, true }, { 49, 0, 49, 199, false },
        { 0, 100, 199, 100, true }, { 0, 49, 199, 49, false },
        { 0, 0, 199, 199, true }, { 0, 60, 60, 0, false },
    };
    const auto line = LaterForms().drawing.strokeLine;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2);
        canvas_.Fill(kWhite);
        Redraw([&] { EXPECT_TRUE(line(&port_, c.x1, c.y1, c.x2, c.y2)); });
        const RECT drawn = canvas_.Extent(kWhite);
        EXPECT_EQ(drawn.right > drawn.left, c.drawn);
        if (c.drawn) {
            EXPECT_GE(drawn.left, 49);
            EXPECT_GE(drawn.top, 49);
            EXPECT_LE(drawn.right, 152);
            EXPECT_LE(drawn.bottom, 152);
        }
    }
}

TEST_F(AntiAliasedRedraw, SelectionIsAPairOfParallelStrokes) {
    ThePreferences().antiAliasPreference = kAntiAliasAlways;
    struct Case { int32_t lineStyle; int offset; };
    for (const Case& c : { Case{ kLineNormal, 2 }, Case{ kLineThick, 3 } }) {
        SCOPED_TRACE(c.offset);
        canvas_.Fill(kWhite);
        SketchObject* s = Segment(100, c.lineStyle);
        Redraw([&] { DrawStraightSelection(&port_, s); });
        EXPECT_EQ(canvas_.At(100, 100), kWhite);
        EXPECT_NE(canvas_.At(100, 100 - c.offset), kWhite);
        EXPECT_NE(canvas_.At(100, 100 + c.offset), kWhite);
    }
}

// A highlighted curve is a band in the highlight colour with the background along its
// middle in figlate, two strokes beside the run in figmantle.
TEST_F(AntiAliasedRedraw, CurvesAndTheirHighlight) {
    ThePreferences().antiAliasPreference = kAntiAliasAlways;
    struct Case { bool figlate; bool selected; std::vector<int> highlightRows; };
    const Case cases[] = {
        { false, false, {} }, { true, false, {} },
        { false, true, { 49, 51 } }, { true, true, { 48, 52 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.figlate ? "figlate" : "figmantle") + (c.selected ? ", selected" : ""));
        InstallFiglate(c.figlate);
        canvas_.Fill(kWhite);
        SketchObject* locus = PointLocus({ { 20, 50, 1 }, { 100, 50, 2 }, { 180, 50, 2 } }, 0);
        Redraw([&] { c.selected ? DrawLocusSelected(&port_, locus) : DrawLocus(&port_, locus); });
        std::vector<int> rows;
        for (int y = 40; y < 60; ++y)
            if (canvas_.At(60, y) == kHighlight) rows.push_back(y);
        EXPECT_EQ(rows, c.highlightRows);
        EXPECT_EQ(canvas_.At(60, 50), c.selected ? kWhite : RGB(0, 128, 0));
        LocusDataOf(locus)->samples = nullptr;
    }
}

// The highlighted dots of a point locus drawn as dots: 9 by 9 squares in figlate, 3 by 3
// in figmantle.
TEST_F(AntiAliasedRedraw, SelectedDotsOfAPointLocus) {
    ThePreferences().antiAliasPreference = kAntiAliasAlways;
    for (const bool figlate : { false, true }) {
        SCOPED_TRACE(figlate ? "figlate" : "figmantle");
        InstallFiglate(figlate);
        canvas_.Fill(kWhite);
        SketchObject* locus = PointLocus({ { 100, 100, 1 } }, 1);
        locus->bounds = { 99, 99, 101, 101 };
        Redraw([&] {
            SetFeedbackPen(&port_, 2, 1);
            DrawLocusSelected(&port_, locus);
            SetFeedbackPen(&port_, 2, 0);
        });
        const RECT drawn = canvas_.Extent(kWhite);
        EXPECT_EQ(drawn.right - drawn.left, figlate ? 9 : 3);
        EXPECT_EQ(drawn.bottom - drawn.top, figlate ? 9 : 3);
        EXPECT_EQ(canvas_.At(99, 99), kHighlight);
        LocusDataOf(locus)->samples = nullptr;
    }
}

// A locus's open start gets a filled arrowhead in figlate, two strokes in figmantle; its
// end a square in both.
TEST_F(AntiAliasedRedraw, EndMarksOfALocus) {
    ThePreferences().antiAliasPreference = kAntiAliasAlways;
    for (const bool figlate : { false, true }) {
        SCOPED_TRACE(figlate ? "figlate" : "figmantle");
        InstallFiglate(figlate);
        canvas_.Fill(kWhite);
        SketchObject* locus = PointLocus({ { 40, 100, 1 }, { 100, 100, 2 }, { 160, 100, 2 } }, 0);
        LocusData* d = LocusDataOf(locus);
        d->startKind = kLocusEndGoesOn;
        d->startDirection = 3.14159265358979;
        d->endKind = kLocusEndAtSample;
        Redraw([&] { DrawLocus(&port_, locus); });
        // Inside the head, between a barb's stroke and the notch.
        EXPECT_EQ(canvas_.At(46, 102) != kWhite, figlate);
        EXPECT_NE(canvas_.At(161, 101), kWhite);
        EXPECT_EQ(canvas_.At(163, 103), kWhite);
        d->samples = nullptr;
    }
}

// figlate frames a selected caption in its own colour and fills it halfway between the
// highlight and the background; figmantle frames in the contrast colour and fills with
// the highlight.
TEST_F(AntiAliasedRedraw, TextObjectSelectionByProgram) {
    for (const bool figlate : { false, true }) {
        SCOPED_TRACE(figlate ? "figlate" : "figmantle");
        InstallFiglate(figlate);
        canvas_.Fill(kWhite);
        CaptionData* d;
        SketchObject* caption = MakeObject(kClassCaption, 0, RGB(0, 128, 0), &d);
        caption->bounds = { 60, 60, 140, 100 };
        ObjectClassTable[kClassCaption].drawSelected(&port_, caption);
        EXPECT_EQ(canvas_.At(59, 80), figlate ? RGB(0, 128, 0) : kBlack);
        EXPECT_EQ(canvas_.At(60, 80), kWhite);
        EXPECT_EQ(canvas_.At(100, 80), figlate ? SelectionFillColor(kHighlight, kWhite) : kHighlight);
        EXPECT_EQ(caption->markFlags, 0u);
    }
    EXPECT_EQ(SelectionFillColor(RGB(0, 0, 255), RGB(255, 255, 255)), RGB(127, 127, 255));
}

int gEllipses = 0;
GdiPlusCalls gReal;
GpStatus WINGDIPAPI CountEllipse(Gdiplus::GpGraphics* g, Gdiplus::GpPen* p, Gdiplus::REAL x, Gdiplus::REAL y,
                                 Gdiplus::REAL w, Gdiplus::REAL h) {
    ++gEllipses;
    return gReal.drawEllipse(g, p, x, y, w, h);
}

std::vector<Gdiplus::PointF> gLinePoints;
GpStatus WINGDIPAPI RecordLines(Gdiplus::GpGraphics* g, Gdiplus::GpPen* p, const Gdiplus::PointF* points, INT count) {
    gLinePoints.insert(gLinePoints.end(), points, points + count);
    return gReal.drawLines(g, p, points, count);
}

// A curve through samples off the pixel grid: figlate's anti-aliased stroke goes through
// them where they are; from rounded samples it goes through the pixels they round to,
// and figmantle draws those with GDI.
TEST_F(AntiAliasedRedraw, CurvesGoThroughSubPixelSamples) {
    ThePreferences().antiAliasPreference = kAntiAliasAlways;
    gReal = GdiPlusCallTable();
    GdiPlusCallTable().drawLines = RecordLines;
    struct Case { const char* name; bool drawing, samples; std::vector<float> xy; };
    const Case cases[] = {
        { "figmantle", false, false, {} },
        { "anti-aliased, rounded samples", true, false, { 20, 51, 101, 51, 181, 51 } },
        { "figlate", true, true, { 20.25f, 50.5f, 100.5f, 50.5f, 180.75f, 50.5f } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LaterReleaseForms forms = {};
        if (c.drawing) AddDrawingForms(&forms);
        if (c.samples) AddLocusForms(&forms);
        InstallLaterForms(forms);
        canvas_.Fill(kWhite);
        gLinePoints.clear();
        SketchObject* locus = PointLocus({ { 0, 0, 1 }, { 0, 0, 2 }, { 0, 0, 2 } }, 0);
        const double xs[] = { 20.25, 100.5, 180.75 };
        for (int i = 0; i < 3; ++i)
            PutLocusRecordPosition(records_.data() + i * SampleRecord::kLocusPointBytes, { xs[i], 50.5 });
        Redraw([&] { DrawLocus(&port_, locus); });
        std::vector<float> xy;
        for (const Gdiplus::PointF& p : gLinePoints) {
            xy.push_back(p.X);
            xy.push_back(p.Y);
        }
        EXPECT_EQ(xy, c.xy);
        EXPECT_NE(canvas_.At(60, 51), kWhite);  // drawn, one way or the other
        LocusDataOf(locus)->samples = nullptr;
    }
    ResetLaterForms();
}

struct ArcCall {
    float x, y, width, height, start, sweep;
};
std::vector<ArcCall> gArcs;
GpStatus WINGDIPAPI RecordArc(Gdiplus::GpGraphics* g, Gdiplus::GpPen* p, Gdiplus::REAL x, Gdiplus::REAL y,
                              Gdiplus::REAL w, Gdiplus::REAL h, Gdiplus::REAL start, Gdiplus::REAL sweep) {
    gArcs.push_back({ x, y, w, h, start, sweep });
    return gReal.drawArc(g, p, x, y, w, h, start, sweep);
}

// An arc sample off the pixel grid: figlate's anti-aliased arc takes the centre, radius and
// angles the sample keeps; without figlate's samples it takes the rounded screen fields,
// and figmantle draws with GDI.
TEST_F(AntiAliasedRedraw, ArcSamplesGoThroughTheirFloatGeometry) {
    ThePreferences().antiAliasPreference = kAntiAliasAlways;
    namespace SR = SampleRecord;
    ArcData* a;
    SketchObject* arc = MakeObject(kClassArc, kKindArc, RGB(0, 0, 128), &a);
    a->centre = { 100.25, 100.5 };
    a->radius = 40.5;
    a->startAngle = 0.25;
    a->endAngle = 2.0;
    a->orientation = 1;
    a->screenCentreX = 100;
    a->screenCentreY = 101;
    a->screenRadius = 41;
    a->screenStart = { RoundToScreen(100.25 + 40.5 * std::cos(0.25)), RoundToScreen(100.5 + 40.5 * std::sin(0.25)) };
    a->screenEnd = { RoundToScreen(100.25 + 40.5 * std::cos(2.0)), RoundToScreen(100.5 + 40.5 * std::sin(2.0)) };
    arc->bounds = { 59, 60, 142, 142 };
    LocusData* d;
    SketchObject* locus = MakeObject(kClassLocus, kKindOtherLocus, RGB(0, 0, 128), &d);
    d->sampleCount = 1;
    d->tracedClass = kClassArc;
    d->ends = 1;
    gReal = GdiPlusCallTable();
    GdiPlusCallTable().drawArc = RecordArc;
    struct Case { const char* name; bool drawing, samples; };
    for (const Case& c : { Case{ "figmantle", false, false }, Case{ "anti-aliased, rounded samples", true, false },
                           Case{ "figlate", true, true } }) {
        SCOPED_TRACE(c.name);
        LaterReleaseForms forms = {};
        if (c.drawing) AddDrawingForms(&forms);
        if (c.samples) AddLocusForms(&forms);
        InstallLaterForms(forms);
        const ShapeFamilyRow& row = ShapeFamilyOps[kFamilyArc];
        uint32_t dataSize = 0, size = 0;
        row.sampleLayout(arc, kSampleForLocus, &dataSize, &size);
        std::vector<uint8_t> records(size, 0);
        const SampleWriteContext context{ 0.0 };
        row.sampleWriter(arc, kSampleForLocus, d->familyData)(arc, &context, records.data());
        d->samples = records.data();
        d->sampleSize = size;
        canvas_.Fill(kWhite);
        gArcs.clear();
        Redraw([&] { DrawLocus(&port_, locus); });
        EXPECT_NE(canvas_.Extent(kWhite).right, 0) << "drawn, one way or the other";
        d->samples = nullptr;
        if (!c.drawing) {
            EXPECT_TRUE(gArcs.empty());
            continue;
        }
        ASSERT_EQ(gArcs.size(), 1u);
        const ArcCall& got = gArcs[0];
        const double degrees = 180 / 3.14159265358979;
        if (c.samples) {
            EXPECT_FLOAT_EQ(got.x, 59.75f);
            EXPECT_FLOAT_EQ(got.y, 60.0f);
            EXPECT_FLOAT_EQ(got.width, 81.0f);
            EXPECT_NEAR(got.start, 0.25 * degrees, 1e-3);
            EXPECT_NEAR(got.sweep, 1.75 * degrees, 1e-3);
        } else {
            EXPECT_EQ(got.x, 59.0f);
            EXPECT_EQ(got.y, 60.0f);
            EXPECT_EQ(got.width, 82.0f);
            const double start = std::atan2(double(a->screenStart.y - 101), double(a->screenStart.x - 100));
            EXPECT_NEAR(got.start, start * degrees, 1e-3);
            EXPECT_GT(std::fabs(got.start - 0.25 * degrees), 0.01) << "taken from the rounded points";
        }
    }
    ResetLaterForms();
}

// Circle samples go through GDI+ outlined, in their boxes; filled ones stay with GDI.
TEST_F(AntiAliasedRedraw, CircleSamplesOutlinedThroughGdiPlus) {
    ThePreferences().antiAliasPreference = kAntiAliasAlways;
    namespace SR = SampleRecord;
    LocusData* d;
    SketchObject* locus = MakeObject(kClassLocus, kKindOtherLocus, RGB(0, 0, 128), &d);
    std::vector<uint8_t> records(2 * SR::kCircleBytes, 0);
    const int16_t boxes[2][4] = { { 10, 10, 50, 50 }, { 100, 100, 140, 140 } };
    for (int i = 0; i < 2; ++i) {
        std::memcpy(records.data() + i * SR::kCircleBytes, boxes[i], sizeof boxes[i]);
        SetRecordField<uint32_t>(records.data() + i * SR::kCircleBytes, 8, 1u);
    }
    d->samples = records.data();
    d->sampleCount = 2;
    d->sampleSize = SR::kCircleBytes;
    d->tracedClass = kClassCircle;
    d->ends = 1;
    gReal = GdiPlusCallTable();
    GdiPlusCallTable().drawEllipse = CountEllipse;
    for (const bool figlate : { false, true }) {
        SCOPED_TRACE(figlate ? "figlate" : "figmantle");
        InstallFiglate(figlate);
        canvas_.Fill(kWhite);
        gEllipses = 0;
        Redraw([&] { DrawLocus(&port_, locus); });
        EXPECT_EQ(gEllipses, figlate ? 2 : 0);
        const RECT drawn = canvas_.Extent(kWhite);
        EXPECT_EQ(drawn.left, 10);
        EXPECT_EQ(drawn.top, 10);
        EXPECT_LE(drawn.right, 142);
        EXPECT_EQ(canvas_.At(30, 30), kWhite);  // outlines only
    }
    d->samples = nullptr;
}

TEST_F(AntiAliasedRedraw, HighlightSquaresAreNineByNine) {
    ThePreferences().antiAliasPreference = kAntiAliasAlways;
    Redraw([&] {
        const auto square = LaterForms().drawing.fillSquare;
        ASSERT_NE(square, nullptr);
        EXPECT_TRUE(square(&port_, 50, 50, 9, RGB(255, 0, 0)));
    });
    const RECT drawn = canvas_.Extent(kWhite);
    EXPECT_EQ(drawn.right - drawn.left, 9);
    EXPECT_EQ(drawn.bottom - drawn.top, 9);
    EXPECT_EQ(canvas_.At(50, 50), RGB(255, 0, 0));
}

TEST_F(AntiAliasedRedraw, TheTracesLayerGetsItsOwnGraphicsForTheRedrawOnly) {
    ThePreferences().antiAliasPreference = kAntiAliasAlways;
    DibCanvas traces(200, 200);
    port_.tracesDC = traces.dc();
    Redraw([&] {
        ASSERT_NE(port_.mainGraphics, nullptr);
        EXPECT_EQ(GetContextGraphics(&port_), port_.mainGraphics);
        port_.dc = port_.tracesDC;
        DcGraphics* second = GetContextGraphics(&port_);
        EXPECT_NE(second, nullptr);
        EXPECT_NE(second, port_.mainGraphics);
        EXPECT_EQ(GetContextGraphics(&port_), second);
        port_.dc = port_.backDC;
    });
    EXPECT_EQ(port_.mainGraphics, nullptr);
    EXPECT_EQ(port_.secondaryGraphics, nullptr);
    port_.tracesDC = nullptr;
}

// "When Speed Permits" on the platform's tick count: a slow first redraw turns drawing
// plain, 10 and then 16 fast large plain redraws bring it back; small ones do not count.
TEST_F(AntiAliasedRedraw, WhenSpeedPermitsFollowsTheRedrawTimes) {
    ThePreferences().antiAliasPreference = kAntiAliasWhenSpeedPermits;
    FreezeTickCountForTest(1000);
    std::string drawn;
    auto redraw = [&](uint32_t ms, const ScreenRect& area) {
        if (auto begin = LaterForms().drawing.beginRedraw) begin(&port_, &area);
        drawn += port_.mainGraphics ? 'a' : 'p';
        AdvanceTickCountForTest(ms);
        LaterForms().drawing.endRedraw(&port_, &area);
    };
    const ScreenRect large = { 0, 0, 200, 200 }, small = { 0, 0, 100, 100 };
    redraw(100, large);
    for (int i = 0; i < 30; ++i) redraw(5, small);
    for (int i = 0; i < 25; ++i) redraw(49, large);
    redraw(5, large);
    redraw(5, large);
    EXPECT_EQ(drawn, "a" + std::string(56, 'p') + "a");

    // The preference changed: the next redraw tries again, and GDI+ must be there for it.
    ResetSpeedPolicy();
    TheSpeedPolicy().state = kSpeedOff;
    EXPECT_TRUE(RedrawAllAntiAliased(kAntiAliasAlways));
    EXPECT_EQ(TheSpeedPolicy().state, kSpeedOnProbation);
    StopGdiPlus();
    EXPECT_FALSE(RedrawAllAntiAliased(kAntiAliasWhenSpeedPermits));
    EXPECT_FALSE(RedrawAllAntiAliased(kAntiAliasAlways));
    EXPECT_TRUE(RedrawAllAntiAliased(kAntiAliasNever));
}

// The dot centres GDI+ was asked to fill, for the polar grid's dots.
std::vector<std::pair<float, float>> gFilledDots;
decltype(&Gdiplus::DllExports::GdipFillEllipse) gRealFillEllipse;
GpStatus WINGDIPAPI RecordFillEllipse(Gdiplus::GpGraphics* g, Gdiplus::GpBrush* b, Gdiplus::REAL x, Gdiplus::REAL y,
                                      Gdiplus::REAL w, Gdiplus::REAL h) {
    gFilledDots.push_back({ x + w / 2, y + h / 2 });
    return gRealFillEllipse(g, b, x, y, w, h);
}
GpStatus WINGDIPAPI FailFillEllipse(Gdiplus::GpGraphics*, Gdiplus::GpBrush*, Gdiplus::REAL, Gdiplus::REAL,
                                    Gdiplus::REAL, Gdiplus::REAL) {
    return Gdiplus::GenericError;
}

// The dots of a polar grid (dots only, about (100, 100), rings 20 apart): figlate fills
// them through GDI+ by symmetry, each place once; figmantle, a plain redraw, a failing
// fill and the selection's halo draw them with GDI. Either way they land on the rings.
TEST_F(AntiAliasedRedraw, PolarGridDotsBySymmetry) {
    constexpr COLORREF kGridColor = RGB(0, 128, 0);
    CoordSystemData* c;
    SketchObject* grid = MakeObject(kClassCoordinateSystem, kKindCoordinateSystem, kGridColor, &c);
    c->origin = { 100, 100 };
    c->unitX = c->unitY = c->tickX = c->tickY = 20;
    c->gridForm = kGridPolar;
    grid->lineStyle = kLineDashed;
    gRealFillEllipse = table_.fillEllipse;
    struct Case { const char* name; bool figlate; uint16_t preference; bool failFill; bool selection; bool viaGdiPlus; };
    const Case cases[] = {
        { "figmantle", false, kAntiAliasAlways, false, false, false },
        { "figlate, never", true, kAntiAliasNever, false, false, false },
        { "figlate, always", true, kAntiAliasAlways, false, false, true },
        { "figlate, the fill fails", true, kAntiAliasAlways, true, false, false },
        { "figlate, selected", true, kAntiAliasAlways, false, true, false },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        InstallFiglate(k.figlate);
        ThePreferences().antiAliasPreference = k.preference;
        GdiPlusCallTable().fillEllipse = k.failFill ? FailFillEllipse : RecordFillEllipse;
        gFilledDots.clear();
        canvas_.Fill(kWhite);
        Redraw([&] { k.selection ? DrawCoordinateGridSelection(&port_, grid) : DrawCoordinateGrid(&port_, grid); });
        GdiPlusCallTable() = table_;
        if (!k.selection) {
            EXPECT_EQ(canvas_.At(100, 60), kGridColor);   // ring 2 straight up
            EXPECT_EQ(canvas_.At(60, 100), kGridColor);   // and to the left
            EXPECT_EQ(canvas_.At(139, 90), kGridColor);   // at 15 degrees
            EXPECT_EQ(canvas_.At(61, 110), kGridColor);   // its mirror image at 195 degrees
            EXPECT_EQ(canvas_.At(137, 85), kWhite);       // the ring between two dots
        } else {
            EXPECT_EQ(canvas_.At(100, 60), kHighlight);  // the halo's fill, only outlined after
        }
        if (!k.viaGdiPlus) {
            EXPECT_TRUE(gFilledDots.empty());
            continue;
        }
        // Ring 1 whole: 24 places 15 degrees apart, none filled twice.
        std::vector<std::pair<float, float>> ring1;
        for (const auto& d : gFilledDots)
            if (std::abs(std::hypot(d.first - 100, d.second - 100) - 20) < 0.01) ring1.push_back(d);
        ASSERT_EQ(ring1.size(), 24u);
        for (size_t i = 0; i < ring1.size(); ++i) {
            const double angle = std::atan2(100 - ring1[i].second, ring1[i].first - 100) * 12 / 3.14159265358979;
            EXPECT_NEAR(angle, std::round(angle), 1e-4);
            for (size_t j = 0; j < i; ++j)
                EXPECT_GT(std::hypot(ring1[i].first - ring1[j].first, ring1[i].second - ring1[j].second), 1);
        }
    }
}

}  // namespace
