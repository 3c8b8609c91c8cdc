// Locus samples at sub-pixel precision: figlate's float positions and the nearest-point
// and length routines on them, each against figmantle's rounded samples in one run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "engine/core/angle_constants.h"
#include "engine/core/arc_data.h"
#include "engine/core/locus.h"
#include "engine/core/paths.h"
#include "engine/core/shape_families.h"
#include "engine/core/sketch_fixture.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/stream_bytes.h"
#include "engine/docio/streams.h"
#include "release2/engine/float_samples.h"

namespace {

struct FiglateLocus {
    FiglateLocus() {
        LaterReleaseForms forms = {};
        AddLocusForms(&forms);
        InstallLaterForms(forms);
    }
    ~FiglateLocus() { ResetLaterForms(); }
};

class FloatSamplesTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        sketch->windowRect = { 0, 0, 640, 480 };
    }

    // The midpoint of a fixed point and a driver on a horizontal segment: a straight locus
    // from (100, 200.25) to (225, 200.25), off the pixel grid, with `samples` samples.
    struct Straight {
        SketchObject *driver, *traced, *locus;
    };
    Straight StraightLocus(int32_t samples) {
        Straight s{};
        SketchObject* path = Build(kTypeSegment, { PointAt(100, 100), PointAt(350, 100) });
        s.driver = Build(kTypePointOnPath, { path }, nullptr, Reals(0.5, 0));
        SketchObject* segment = Build(kTypeSegment, { PointAt(100, 300.5), s.driver });
        s.traced = Build(kTypeMidpoint, { segment });
        s.locus = TraceLocus(s.traced, path, s.driver, { segment });
        EXPECT_TRUE(s.locus && s.locus->exists);
        if (s.locus) {
            EXPECT_TRUE(SetLocusSampleCount(s.locus, samples));
        }
        return s;
    }
    static double PathT(const SketchObject* point) {
        PathParameterBlock block{};
        EXPECT_TRUE(ReadPathParameter(point, &block));
        return PathBlockReal(block, 0);
    }
};

// figlate keeps where the traced point was; figmantle the pixel it rounds to, and leaves
// the rest of the record's first 8 bytes alone. Both read the same rounded point.
TEST_F(FloatSamplesTest, SamplesKeepTheirSubPixelPosition) {
    for (const bool figlate : { false, true }) {
        SCOPED_TRACE(figlate ? "figlate" : "figmantle");
        std::optional<FiglateLocus> forms;
        if (figlate) forms.emplace();
        const MidpointLocusParts m = MidpointLocus(200.3, 200.3, 100);
        const LocusData* L = LocusDataOf(m.locus);
        for (int32_t i = 0; i < L->sampleCount; i += 37) {
            SCOPED_TRACE(i);
            const double a = kTwoPi * i / L->sampleCount;
            const RealPoint exact = { 200.3 + 50 * std::cos(a), 200.3 - 50 * std::sin(a) };
            const RealPoint kept = LocusSamplePosition(m.locus, i);
            if (figlate) {
                EXPECT_NEAR(kept.x, exact.x, 1e-3);
                EXPECT_NEAR(kept.y, exact.y, 1e-3);
            } else {
                EXPECT_EQ(kept.x, std::floor(exact.x + 0.5));
                EXPECT_EQ(kept.y, std::floor(exact.y + 0.5));
                uint32_t rest = 1;
                std::memcpy(&rest, L->samples + size_t(i) * L->sampleSize + 4, 4);
                EXPECT_EQ(rest, 0u);
            }
            EXPECT_EQ(LocusSamplePoint(m.locus, i).x, RoundToScreen(exact.x));
            EXPECT_EQ(LocusSamplePoint(m.locus, i).y, RoundToScreen(exact.y));
        }
    }
}

TEST(FloatSamplePositions, ClampedAndNeverNotANumber) {
    struct Case { RealPoint in, out; };
    const Case cases[] = {
        { { 10.25, -3.5 }, { 10.25, -3.5 } },
        { { 40000, -40000 }, { 30000, -30000 } },
        { { std::nan(""), 7 }, { 0, 7 } },
    };
    for (const Case& c : cases) {
        uint8_t record[SampleRecord::kLocusPointBytes] = {};
        PutFloatSamplePosition(record, c.in);
        const RealPoint p = FloatSamplePosition(record);
        EXPECT_EQ(p.x, c.out.x);
        EXPECT_EQ(p.y, c.out.y);
    }
}

// Ten samples 13.9 pixels apart: figlate projects the point onto the piece between two
// samples and interpolates the parameter; figmantle rounds the point and its samples.
TEST_F(FloatSamplesTest, NearestPointLiesBetweenSamples) {
    struct Case { RealPoint query; double t; };
    const Case cases[] = {
        { { 130.4, 203.0 }, 0.2432 },  // between the third and fourth samples, below
        { { 170.0, 197.0 }, 0.56 },    // above
        { { 114.2, 200.25 }, 0.1136 }, // just after the second sample, on the line
        { { 90.0, 180.0 }, 0.0 },      // before the start: its first sample
        { { 260.0, 200.0 }, 1.0 },     // beyond the end
    };
    for (const bool figlate : { false, true }) {
        SCOPED_TRACE(figlate ? "figlate" : "figmantle");
        std::optional<FiglateLocus> forms;
        if (figlate) forms.emplace();
        const Straight s = StraightLocus(10);
        const PathMethods& row = PathMethodTable[kPathLocus];
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.query.x << ", " << c.query.y);
            RealPoint nearest{};
            double t = -1;
            row.parameterOfPoint(s.locus, c.query, &nearest, &t, nullptr);
            // A pixel is 1/125 of the range.
            EXPECT_NEAR(t, c.t, figlate ? 1e-6 : 1.0 / 125);
            EXPECT_NEAR(nearest.y, 200.25, 1e-9);
            EXPECT_NEAR(nearest.x, 100 + 125 * t, 1e-6);
        }
    }
}

// The search rules most pieces out by their boxes: it must answer what a plain walk over
// every piece and lone sample answers, on a closed curve and on one with a gap.
TEST_F(FloatSamplesTest, TheSearchAnswersWhatAPlainWalkAnswers) {
    FiglateLocus forms;
    const MidpointLocusParts circle = MidpointLocus(200.3, 200.7, 100);
    SketchObject* gap = RootJumpLocus(400, 200, 60, { 330.5, 200.2 }, { 471, 203 });
    ASSERT_TRUE(gap && gap->exists);
    // The plain walk: the first least rounded distance, a point inside its piece before
    // one on a sample.
    const auto plain = [](const SketchObject* locus, RealPoint q) {
        const LocusData* L = LocusDataOf(locus);
        int64_t bestD = -1;
        bool bestAtSample = true;
        double value = 0;
        const auto offer = [&](double d2, bool atSample, double parameter) {
            const int64_t d = int64_t(d2 + 0.5);
            if (bestD >= 0 && (d > bestD || (d == bestD && (atSample || !bestAtSample)))) return;
            bestD = d;
            bestAtSample = atSample;
            value = parameter;
        };
        for (int32_t i = 0; i < L->sampleCount; ++i) {
            if (LocusSampleState(locus, i) == kSampleMissing) continue;
            const int32_t from = i > 0 ? i - 1 : L->sampleCount - 1;
            const RealPoint b = LocusSamplePosition(locus, i);
            const bool joined = LocusSampleState(locus, i) == kSampleRunGoes && from != i &&
                                LocusSampleState(locus, from) != kSampleMissing && (i > 0 || L->ends == kPathClosed);
            if (!joined) {
                offer((b.x - q.x) * (b.x - q.x) + (b.y - q.y) * (b.y - q.y), true, LocusSampleParameter(locus, i));
                continue;
            }
            const RealPoint a = LocusSamplePosition(locus, from);
            const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
            const double f = len2 > 0 ? std::clamp(((q.x - a.x) * dx + (q.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
            const double px = a.x + f * dx - q.x, py = a.y + f * dy - q.y;
            const double pa = LocusSampleParameter(locus, from), pb = i > 0 ? LocusSampleParameter(locus, i) : L->hi;
            offer(px * px + py * py, f <= 0 || f >= 1, pa + f * (pb - pa));
        }
        return value;
    };
    uint32_t seed = 12345;
    const auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8 & 0xFFFF; };
    for (const SketchObject* locus : { circle.locus, gap }) {
        for (int32_t k = 0; k < 300; ++k) {
            const RealPoint q = { 100 + next() % 4000 / 10.0, 100 + next() % 2000 / 10.0 };
            SCOPED_TRACE(testing::Message() << q.x << ", " << q.y);
            double value = -1;
            ASSERT_GE(FloatNearestLocusSample(locus, q, &value), 0);
            EXPECT_NEAR(value, plain(locus, q), 1e-9);
        }
    }
}

// A point on the locus is reprojected onto it at every drag step, where it already is:
// on float samples it keeps its parameter, also right next to a sample.
TEST_F(FloatSamplesTest, APointDraggedOnALocusKeepsItsParameter) {
    for (const bool figlate : { false, true }) {
        SCOPED_TRACE(figlate ? "figlate" : "figmantle");
        std::optional<FiglateLocus> forms;
        if (figlate) forms.emplace();
        const Straight s = StraightLocus(10);
        for (const double t0 : { 0.1137, 0.3, 0.4443, 0.999 }) {
            SCOPED_TRACE(t0);
            SketchObject* on = Build(kTypePointOnPath, { s.locus }, nullptr, Reals(t0, 0));
            ASSERT_TRUE(on && on->exists);
            for (int32_t step = 0; step < 5; ++step) {
                const RealPoint at = PointPosition(on);
                SetPointPosition(on, at.x, at.y, 1, nullptr, false);
            }
            EXPECT_NEAR(PathT(on), t0, figlate ? 1e-6 : 1.0 / 125);
        }
    }
}

// Lengths along the locus: figmantle sums the whole pieces whose end sample lies in the
// range, figlate takes the share of each piece that the range covers.
TEST_F(FloatSamplesTest, RangeSpansCountTheShareOfTheirEndPieces) {
    struct Case { double a, b, figmantle, figlate; };
    const Case cases[] = {
        { 0, 1, 125, 125 },
        { 0.25, 0.75, 4 * 125.0 / 9, 62.5 },   // samples 3 to 6 end inside
        { 0.05, 0.06, 0, 1.25 },               // inside one piece
        { 0.75, 0.25, 4 * 125.0 / 9, 62.5 },   // either way round
    };
    for (const bool figlate : { false, true }) {
        SCOPED_TRACE(figlate ? "figlate" : "figmantle");
        std::optional<FiglateLocus> forms;
        if (figlate) forms.emplace();
        const Straight s = StraightLocus(10);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.a << " to " << c.b);
            double length = -1;
            PathMethodTable[kPathLocus].lengthBetween(s.locus, c.a, c.b, &length);
            EXPECT_NEAR(length, figlate ? c.figlate : c.figmantle, figlate ? 1e-3 : 2.5);
        }
    }
    // Round a closed locus the piece from the last sample to the first counts as well.
    FiglateLocus forms;
    const MidpointLocusParts m = MidpointLocus(200.5, 200.5, 100);
    double total = 0, half = 0;
    PathMethodTable[kPathLocus].lengthBetween(m.locus, 0, 1, &total);
    PathMethodTable[kPathLocus].lengthBetween(m.locus, 0.9, 1, &half);
    EXPECT_NEAR(total, kTwoPi * 50, 0.05);
    EXPECT_NEAR(half, kTwoPi * 5, 0.05);
}

// The samples are no part of a document: a page with a locus writes the same bytes from
// either program.
TEST_F(FloatSamplesTest, DocumentsAreTheSameFromEitherProgram) {
    ASSERT_TRUE(InitStreamTable());
    std::vector<uint8_t> written[2];
    for (const bool figlate : { false, true }) {
        std::optional<FiglateLocus> forms;
        if (figlate) forms.emplace();
        Sketch* page = CreateSketch(0, nullptr);
        ASSERT_NE(page, nullptr);
        Sketch* outer = nullptr;
        SetCurrentSketch(page, &outer);
        page->windowRect = { 0, 0, 640, 480 };
        MidpointLocus(200.3, 200.3, 100);
        StraightLocus(10);
        StreamHandle h;
        ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
        EXPECT_EQ(WriteSketch(h, page, true, false), kResultOK);
        EXPECT_EQ(CloseStream(h), kResultOK);
        written[figlate] = TakeStreamVector(h);
        SetCurrentSketch(outer, nullptr);
        FreeSketch(page);
    }
    EXPECT_FALSE(written[0].empty());
    EXPECT_EQ(written[0], written[1]);
}

}  // namespace

namespace {

// One arc sample written through the arc family's writer into `record` (kept across
// writes, as a locus keeps its sample array).
void WriteArcSample(SketchObject* arc, std::vector<uint8_t>* record) {
    const ShapeFamilyRow& row = ShapeFamilyOps[kFamilyArc];
    uint32_t dataSize = 0, size = 0, kind = 0;
    row.sampleLayout(arc, kSampleForLocus, &dataSize, &size);
    record->resize(size);
    const SampleWriteContext context{ 0.0 };
    EXPECT_EQ(row.sampleWriter(arc, kSampleForLocus, &kind)(arc, &context, record->data()), record->data() + size);
}

}  // namespace

// An arc about a centre off the pixel grid: figlate keeps its centre, radius and angles as
// floats, figmantle the rounded screen fields (48 bytes, as before).
TEST_F(FloatSamplesTest, ArcSamplesKeepTheirCentreRadiusAndAngles) {
    for (const bool figlate : { false, true }) {
        SCOPED_TRACE(figlate ? "figlate" : "figmantle");
        std::optional<FiglateLocus> forms;
        if (figlate) forms.emplace();
        SketchObject* arc = Build(kTypeArcByCentre, { PointAt(100.25, 100.5), PointAt(100.25, 140.5),
                                                      PointAt(140.25, 100.5) });
        ASSERT_TRUE(arc && arc->exists);
        std::vector<uint8_t> record;
        WriteArcSample(arc, &record);
        EXPECT_EQ(record.size(), figlate ? 72u : 48u);
        const ArcSampleGeometry g = ArcRecordGeometry(record.data());
        const ArcData& a = *ClassData<ArcData>(arc);
        if (figlate) {
            EXPECT_NEAR(g.centre.x, 100.25, 1e-4);
            EXPECT_NEAR(g.centre.y, 100.5, 1e-4);
            EXPECT_NEAR(g.radius, 40.0, 1e-4);
            EXPECT_NEAR(g.startAngle, a.startAngle, 1e-6);
            EXPECT_NEAR(g.endAngle, a.endAngle, 1e-6);
        } else {
            EXPECT_EQ(g.centre.x, a.screenCentreX);
            EXPECT_EQ(g.centre.y, a.screenCentreY);
            EXPECT_EQ(g.radius, a.screenRadius);
        }
        // The shared fields are the same either way.
        int16_t centre[2];
        std::memcpy(centre, record.data() + SampleRecord::kArcCentre, 4);
        EXPECT_EQ(centre[0], a.screenCentreX);
        EXPECT_EQ(centre[1], a.screenCentreY);
    }
}

// figlate's changed flag compares a sample with what its record held: the arc moved
// (even below a pixel), was resized, or its angle span changed by more than 0.1.
TEST_F(FloatSamplesTest, ArcSampleChangedFlag) {
    FiglateLocus forms;
    // Most of a turn about (200, 200), radius 50, so that its box stays the whole circle's
    // while the end swings by a little.
    SketchObject* centre = PointAt(200, 200);
    SketchObject* start = PointAt(250, 200);
    SketchObject* end = PointAt(200 + 50 * std::cos(0.5), 200 + 50 * std::sin(0.5));
    SketchObject* arc = Build(kTypeArcByCentre, { centre, start, end });
    ASSERT_TRUE(arc && arc->exists);
    std::vector<uint8_t> record;
    WriteArcSample(arc, &record);
    EXPECT_TRUE(FloatArcSampleChanged(record.data()));  // from a fresh record
    const ArcSampleGeometry first = ArcRecordGeometry(record.data());
    double span = first.endAngle - first.startAngle;
    if (span < 0) span += kTwoPi;
    ASSERT_GT(span, 5.0) << "the arc should be the long way round";

    const auto moveTo = [&](SketchObject* p, double x, double y) {
        SetPointPosition(p, x, y, 1, nullptr, false);
        RecomputeObject(arc, nullptr, true);
    };
    WriteArcSample(arc, &record);
    EXPECT_FALSE(FloatArcSampleChanged(record.data())) << "written again unchanged";

    struct Step {
        const char* what;
        SketchObject* point;
        double x, y;
        bool changed;
    };
    const Step steps[] = {
        { "span by 0.05", end, 200 + 50 * std::cos(0.45), 200 + 50 * std::sin(0.45), false },
        { "span by 0.15", end, 200 + 50 * std::cos(0.3), 200 + 50 * std::sin(0.3), true },
        { "moved below a pixel", centre, 200.25, 200, true },
        { "resized", start, 260.25, 200, true },
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        ScreenRect before;
        std::memcpy(&before, record.data(), sizeof before);
        moveTo(s.point, s.x, s.y);
        ASSERT_TRUE(arc->exists);
        WriteArcSample(arc, &record);
        EXPECT_EQ(FloatArcSampleChanged(record.data()), s.changed);
        if (!s.changed) {
            EXPECT_EQ(std::memcmp(&before, record.data(), sizeof before), 0) << "the box should be the same";
        }
    }
    // An arc that does not exist has not changed, whatever it held.
    arc->exists = 0;
    std::memset(record.data(), 0, record.size());
    WriteArcSample(arc, &record);
    EXPECT_FALSE(FloatArcSampleChanged(record.data()));
}
