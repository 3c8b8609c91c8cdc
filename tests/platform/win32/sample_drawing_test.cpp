// Drawing the samples of loci: runs of point samples as curves broken at gaps, dots, and
// circles in their boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/locus.h"
#include "engine/core/path_geometry.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/shape_families.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

namespace SR = SampleRecord;

class SampleDrawing : public RenderTest {
protected:
    SampleDrawing() : saved_(DrawingMetrics) { EXPECT_TRUE(InitDrawingMetrics()); }
    ~SampleDrawing() override { DrawingMetrics = saved_; }

    // A locus of points over the given samples {x, y, state}.
    SketchObject* PointLocus(const std::vector<std::vector<int16_t>>& samples, int32_t drawOption) {
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

    // A curve locus over samples that all continue one run, with per-sample colours
    // when `colors` is given.
    SketchObject* ColoredLocus(const std::vector<std::vector<int16_t>>& samples, const std::vector<COLORREF>& colors,
                               int32_t drawOption) {
        SketchObject* locus = PointLocus(samples, drawOption);
        if (colors.empty()) return locus;
        LocusData* d = LocusDataOf(locus);
        const uint32_t size = SR::kLocusPointBytes + 4;
        std::vector<uint8_t> wide(samples.size() * size, 0);
        for (size_t i = 0; i < samples.size(); ++i) {
            std::memcpy(wide.data() + i * size, records_.data() + i * SR::kLocusPointBytes, SR::kLocusPointBytes);
            SetRecordField<uint32_t>(wide.data() + i * size, SR::kLocusPointBytes, uint32_t(colors[i]));
        }
        records_ = std::move(wide);
        d->samples = records_.data();
        d->sampleSize = uint16_t(size);
        d->perSampleColour = 1;
        return locus;
    }
    std::vector<uint8_t> records_;
    DrawingMetricsRecord saved_;
};

TEST_F(SampleDrawing, RunsAreDrawnAsCurvesBrokenAtGaps) {
    // A run from (20, 50) to (80, 50), a missing sample, then a run from (120, 50) to
    // (180, 50): nothing between 80 and 120.
    SketchObject* locus = PointLocus({ { 20, 50, 1 }, { 80, 50, 2 }, { 0, 0, 0 }, { 120, 50, 1 }, { 180, 50, 2 } }, 0);
    DrawLocus(&port_, locus);
    EXPECT_NE(canvas_.At(50, 50), kWhite);
    EXPECT_NE(canvas_.At(150, 50), kWhite);
    EXPECT_EQ(canvas_.At(100, 50), kWhite);
    LocusDataOf(locus)->samples = nullptr;
}

TEST_F(SampleDrawing, DotsLeaveTheSpaceBetweenSamples) {
    SketchObject* locus = PointLocus({ { 20, 50, 1 }, { 80, 50, 2 } }, 1);
    DrawLocus(&port_, locus);
    EXPECT_NE(canvas_.At(20, 50), kWhite);
    EXPECT_NE(canvas_.At(80, 50), kWhite);
    EXPECT_EQ(canvas_.At(50, 50), kWhite);
    LocusDataOf(locus)->samples = nullptr;
}

TEST_F(SampleDrawing, CircleSamplesAreDrawnInTheirBoxes) {
    LocusData* d;
    SketchObject* locus = MakeObject(kClassLocus, kKindOtherLocus, RGB(0, 0, 128), &d);
    std::vector<uint8_t> records(2 * SR::kCircleBytes, 0);
    const int16_t boxes[2][4] = { { 10, 10, 50, 50 }, { 100, 100, 140, 140 } };
    for (int i = 0; i < 2; ++i) {
        std::memcpy(records.data() + i * SR::kCircleBytes, boxes[i], sizeof boxes[i]);
        SetRecordField<uint32_t>(records.data() + i * SR::kCircleBytes, 8, i == 0 ? 1u : 0u);
    }
    d->samples = records.data();
    d->sampleCount = 2;
    d->sampleSize = SR::kCircleBytes;
    d->tracedClass = kClassCircle;
    d->ends = 1;
    DrawLocus(&port_, locus);
    const RECT drawn = canvas_.Extent(kWhite);
    EXPECT_EQ(drawn.left, 10);
    EXPECT_EQ(drawn.top, 10);
    EXPECT_LE(drawn.right, 51);  // the second circle does not exist
    d->samples = nullptr;
}

TEST_F(SampleDrawing, OpenEndsGetASquareOrAnArrowheadButNotInTraces) {
    // A run from (40, 100) to (160, 100); the curve leaves its start going left.
    const std::vector<std::vector<int16_t>> run = { { 40, 100, 1 }, { 100, 100, 2 }, { 160, 100, 2 } };
    struct Case { int32_t startKind, endKind; uint32_t marks; bool arrow, square; };
    const Case cases[] = {
        { kLocusEndGoesOn, kLocusEndAtSample, 0, true, true },
        { kLocusEndNone, kLocusEndNone, 0, false, false },
        { kLocusEndGoesOn, kLocusEndAtSample, 0x80, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.startKind << " " << c.endKind << " " << c.marks);
        canvas_.Fill(kWhite);
        SketchObject* locus = PointLocus(run, 0);
        LocusData* d = LocusDataOf(locus);
        d->startKind = c.startKind;
        d->startDirection = 3.14159265358979;
        d->endKind = c.endKind;
        locus->markFlags = c.marks;
        DrawLocus(&port_, locus);
        // The arrowhead's barbs reach back to (48, 96) and (48, 104); the square is 3
        // pixels wide about the last sample.
        EXPECT_EQ(canvas_.At(44, 102) != kWhite, c.arrow);
        EXPECT_EQ(canvas_.At(44, 98) != kWhite, c.arrow);
        EXPECT_EQ(canvas_.At(161, 101) != kWhite, c.square);
        EXPECT_EQ(canvas_.At(159, 99) != kWhite, c.square);
        EXPECT_EQ(canvas_.At(162, 102), kWhite);
    }
}

TEST_F(SampleDrawing, CurvesAreBatchedClippedAndStraightRunsBecomeOneLine) {
    // 1000 samples zigzagging on screen: three polylines of 400, 400 and 202 points, each
    // starting where the one before ended.
    std::vector<std::vector<int16_t>> zigzag;
    for (int i = 0; i < 1000; ++i) zigzag.push_back({ int16_t(10 + i % 180), int16_t(10 + (i * 7) % 180), int16_t(i ? 2 : 1) });
    SketchObject* locus = PointLocus(zigzag, 0);
    auto records = RecordMetafile(&port_, [&] { DrawLocus(&port_, locus); });
    std::vector<int> counts;
    for (const MetaRecord& r : records)
        if (r.type == EMR_POLYLINE16 || r.type == EMR_POLYLINE) counts.push_back(RecordPointCount(r));
    EXPECT_EQ(counts, (std::vector<int>{ 400, 400, 202 }));

    // Far left of the view: nothing at all.
    std::vector<std::vector<int16_t>> away;
    for (int i = 0; i < 50; ++i) away.push_back({ int16_t(-5000 - i * 10), int16_t(i * 3), int16_t(i ? 2 : 1) });
    SketchObject* distant = PointLocus(away, 0);
    records = RecordMetafile(&port_, [&] { DrawLocus(&port_, distant); });
    EXPECT_EQ(CountRecords(records, EMR_POLYLINE16) + CountRecords(records, EMR_POLYLINE) +
                  CountRecords(records, EMR_LINETO),
              0);

    // Collinear samples on one row: one stroke that includes the last pixel.
    canvas_.Fill(kWhite);
    SketchObject* row = PointLocus({ { 20, 50, 1 }, { 60, 50, 2 }, { 100, 50, 2 } }, 0);
    LocusDataOf(row)->endKind = kLocusEndNone;
    LocusDataOf(row)->startKind = kLocusEndNone;
    records = RecordMetafile(&port_, [&] { DrawLocus(&port_, row); });
    EXPECT_EQ(CountRecords(records, EMR_LINETO), 1);
    EXPECT_EQ(CountRecords(records, EMR_POLYLINE16) + CountRecords(records, EMR_POLYLINE), 0);
    DrawLocus(&port_, row);
    EXPECT_NE(canvas_.At(100, 50), kWhite);
    EXPECT_EQ(canvas_.At(101, 50), kWhite);
}

TEST_F(SampleDrawing, ParametricColoursShowUnlessHighlighted) {
    const COLORREF red = RGB(200, 0, 0), blue = RGB(0, 0, 200);
    for (int32_t drawOption : { 0, 1 }) {
        SCOPED_TRACE(drawOption);
        canvas_.Fill(kWhite);
        SketchObject* locus =
            ColoredLocus({ { 20, 50, 1 }, { 60, 90, 2 }, { 100, 50, 2 } }, { red, red, blue }, drawOption);
        LocusDataOf(locus)->startKind = LocusDataOf(locus)->endKind = kLocusEndNone;
        DrawLocus(&port_, locus);
        // Dots in their own colours; a curve's segment in the colour of the sample it
        // reaches.
        if (drawOption == 0) {
            EXPECT_EQ(canvas_.At(40, 70), red);
            EXPECT_EQ(canvas_.At(80, 70), blue);
        } else {
            EXPECT_EQ(canvas_.At(60, 90), red);
            EXPECT_EQ(canvas_.At(100, 50), blue);
        }

        canvas_.Fill(kWhite);
        locus->markFlags = 0x01;
        DrawLocus(&port_, locus);
        for (const POINT p : { POINT{ 40, 70 }, POINT{ 80, 70 }, POINT{ 60, 90 }, POINT{ 100, 50 } }) {
            EXPECT_NE(canvas_.At(p.x, p.y), red);
            EXPECT_NE(canvas_.At(p.x, p.y), blue);
        }
    }
}

TEST_F(SampleDrawing, SegmentHighlightsStrokeEverySixteenthOfALocus) {
    // 32 segments 6 pixels apart: the highlight strokes 2 pixels either side of every
    // second one, not the segments themselves.
    LocusData* d;
    SketchObject* locus = MakeObject(kClassLocus, kKindOtherLocus, RGB(0, 0, 128), &d);
    std::vector<uint8_t> records(32 * SR::kStraightBytes, 0);
    for (int i = 0; i < 32; ++i) {
        uint8_t* r = records.data() + i * SR::kStraightBytes;
        const int16_t y = int16_t(10 + 6 * i);
        const int16_t piece[4] = { 20, y, 180, y };
        std::memcpy(r, piece, sizeof piece);
        SetRecordField<uint32_t>(r, 8, 1u);
    }
    d->samples = records.data();
    d->sampleCount = 32;
    d->sampleSize = SR::kStraightBytes;
    d->tracedClass = kClassStraight;
    DrawLocusSelected(&port_, locus);
    EXPECT_EQ(canvas_.At(100, 8), kHighlight);
    EXPECT_EQ(canvas_.At(100, 12), kHighlight);
    EXPECT_EQ(canvas_.At(100, 10), kWhite);
    EXPECT_EQ(canvas_.At(100, 14), kWhite);
    EXPECT_EQ(canvas_.At(100, 18), kWhite);
    EXPECT_EQ(canvas_.At(100, 20), kHighlight);

    canvas_.Fill(kWhite);
    DrawLocus(&port_, locus);
    EXPECT_EQ(canvas_.At(100, 16), RGB(0, 0, 128));
    d->samples = nullptr;
}

TEST_F(SampleDrawing, CurveHighlightIsTwoStrokesBesideTheRun) {
    // A flat run is highlighted above and below, a steep one left and right; offset 2
    // for a normal locus, 3 for a thick one.
    struct Case { int32_t lineStyle; std::vector<std::vector<int16_t>> run; POINT on, beside[2]; };
    const Case cases[] = {
        { 1, { { 20, 50, 1 }, { 100, 50, 2 }, { 180, 50, 2 } }, { 60, 50 }, { { 60, 49 }, { 60, 51 } } },
        { 2, { { 100, 20, 1 }, { 100, 180, 2 } }, { 100, 100 }, { { 98, 100 }, { 101, 100 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lineStyle);
        canvas_.Fill(kWhite);
        SketchObject* locus = PointLocus(c.run, 0);
        locus->lineStyle = c.lineStyle;
        DrawLocusSelected(&port_, locus);
        EXPECT_EQ(canvas_.At(c.on.x, c.on.y), kWhite);
        for (const POINT& p : c.beside) EXPECT_EQ(canvas_.At(p.x, p.y), kHighlight) << p.x << "," << p.y;
    }
}

TEST_F(SampleDrawing, MarkedEndsLengthenTheHighlightAndSpaceDotsToTheLastSample) {
    // A flat open run from (40, 100) to (160, 100), highlighted with offset 2: with a
    // marked end the strokes reach 2 pixels further at both ends; a closed path or ends
    // without marks keep them to the run.
    struct Case { const char* name; int32_t ends, startKind, endKind; bool pushed; };
    const Case cases[] = {
        { "square and arrow", kPathTwoEnds, kLocusEndAtSample, kLocusEndGoesOn, true },
        { "one square", kPathOneEnd, kLocusEndNone, kLocusEndAtSample, true },
        { "no marks", kPathTwoEnds, kLocusEndNone, kLocusEndNone, false },
        { "closed", kPathClosed, kLocusEndAtSample, kLocusEndAtSample, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        canvas_.Fill(kWhite);
        SketchObject* locus = PointLocus({ { 40, 100, 1 }, { 100, 100, 2 }, { 160, 100, 2 } }, 0);
        LocusData* d = LocusDataOf(locus);
        d->ends = c.ends;
        d->startKind = c.startKind;
        d->endKind = c.endKind;
        DrawLocusSelected(&port_, locus);
        EXPECT_EQ(canvas_.At(100, 99), kHighlight);
        EXPECT_EQ(canvas_.At(39, 99) == kHighlight, c.pushed);
        EXPECT_EQ(canvas_.At(38, 101) == kHighlight, c.pushed);
        EXPECT_EQ(canvas_.At(162, 99) == kHighlight, c.pushed);
        EXPECT_EQ(canvas_.At(37, 99), kWhite);
        EXPECT_EQ(canvas_.At(164, 99), kWhite);
        d->samples = nullptr;
    }

    // Twenty dots 8 pixels apart over a locus wider than 40: every second dot is
    // highlighted, every one when the last sample is left out of the spacing.
    for (const bool marked : { false, true }) {
        SCOPED_TRACE(marked);
        canvas_.Fill(kWhite);
        std::vector<std::vector<int16_t>> dots;
        for (int i = 0; i < 20; ++i) dots.push_back({ int16_t(20 + 8 * i), 50, int16_t(i ? 2 : 1) });
        SketchObject* locus = PointLocus(dots, 1);
        locus->bounds = { 18, 48, 174, 52 };
        LocusDataOf(locus)->startKind = marked ? kLocusEndAtSample : kLocusEndNone;
        LocusDataOf(locus)->endKind = marked ? kLocusEndAtSample : kLocusEndNone;
        DrawLocusSelected(&port_, locus);
        // A highlighted dot is a 3 x 3 square outlined with the DC's pen.
        EXPECT_NE(canvas_.At(19, 49), kWhite);
        EXPECT_EQ(canvas_.At(27, 49) != kWhite, marked);
        EXPECT_NE(canvas_.At(35, 49), kWhite);
        LocusDataOf(locus)->samples = nullptr;
    }
}

TEST_F(SampleDrawing, CircleSamplesTakeTheirOwnColoursUnlessHighlighted) {
    const COLORREF red = RGB(200, 0, 0), blue = RGB(0, 0, 200);
    LocusData* d;
    SketchObject* locus = MakeObject(kClassLocus, kKindOtherLocus, RGB(0, 128, 0), &d);
    const uint32_t size = SR::kCircleBytes + 4;
    std::vector<uint8_t> records(2 * size, 0);
    const int16_t boxes[2][4] = { { 10, 10, 50, 50 }, { 100, 100, 140, 140 } };
    const COLORREF colors[2] = { red, blue };
    for (int i = 0; i < 2; ++i) {
        std::memcpy(records.data() + i * size, boxes[i], sizeof boxes[i]);
        SetRecordField<uint32_t>(records.data() + i * size, 8, 1u);
        SetRecordField<uint32_t>(records.data() + i * size, SR::kCircleBytes, uint32_t(colors[i]));
    }
    d->samples = records.data();
    d->sampleCount = 2;
    d->sampleSize = uint16_t(size);
    d->perSampleColour = 1;
    d->tracedClass = kClassCircle;
    DrawLocus(&port_, locus);
    EXPECT_EQ(canvas_.At(30, 10), red);
    EXPECT_EQ(canvas_.At(120, 100), blue);

    canvas_.Fill(kWhite);
    locus->markFlags = 0x01;
    DrawLocus(&port_, locus);
    EXPECT_EQ(canvas_.At(30, 10), kSelection);
    EXPECT_EQ(canvas_.At(120, 100), kSelection);
    d->samples = nullptr;
}

}  // namespace
