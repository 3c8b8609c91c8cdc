// Drawing the samples of loci: runs of point samples as curves broken at gaps, dots, and
// circles in their boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/locus.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/shape_families.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

namespace SR = SampleRecord;

class SampleDrawing : public RenderTest {
protected:
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

    std::vector<uint8_t> records_;
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

}  // namespace
