// Iterations: image counts and depths, the depth-first records of an update, seeds moved
// through a copy, final-only walks, building as one undo step, trimming, keys, the class
// record and the update without memory.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/core/iterations.h"
#include "engine/core/random.h"
#include "engine/core/services/preferences.h"
#include "engine/core/transform_maps.h"
#include "engine/interact/undo.h"
#include "sketch_fixture.h"

namespace {

// The x of every point record of an image, in record order.
std::vector<double> RecordXs(SketchObject* image) {
    std::vector<double> xs;
    EnumerateIteratedImages(
        image,
        [](void* state, uint8_t* record, int32_t) {
            int16_t x;
            std::memcpy(&x, record, 2);
            static_cast<std::vector<double>*>(state)->push_back(x);
            return true;
        },
        &xs);
    return xs;
}

class IterationTest : public SketchTest {
protected:
    // A point translated by (dx, 0) pixels.
    SketchObject* Shifted(SketchObject* p, double dx) {
        const FixedDistanceEntry both[2] = { { dx, dx, 0, 0 }, { 0, 0, 0, 0 } };
        return Build(21, { p }, nullptr, DataBlock(both, sizeof both));
    }
    // A point dilated about a centre by a fixed ratio.
    SketchObject* Scaled(SketchObject* p, SketchObject* centre, double ratio) {
        return Build(34, { p, centre }, nullptr, DataBlock(&ratio, 8));
    }
    SketchObject* Iterate(std::vector<SketchObject*> entries, int32_t n, int32_t m, int32_t depth,
                          bool preview = true, SketchObject* depthValue = nullptr) {
        IterationBuild b{};
        b.entries = entries.data();
        b.depthValue = depthValue;
        b.seedCount = n;
        b.mapCount = m;
        b.depth = depth;
        b.preview = preview ? 1 : 0;
        SketchObject* it = BuildIteration(&b);
        if (it) RecomputeSketch(false);
        return it;
    }
    SketchObject* ImageOf(SketchObject* iteration, SketchObject* object) {
        for (SketchObject* c : Children(iteration))
            if (c->objectClass == kClassIteratedImage && Parents(c)[0] == object) return c;
        return nullptr;
    }
};

}  // namespace

TEST(IterationCounts, SumsPowersAndSaturates) {
    struct Case { int32_t depth, m; uint32_t count; };
    const Case cases[] = {
        { 3, 1, 3 },          { 2500, 1, 2500 },   { 3, 2, 14 },         { 10, 2, 2046 },
        { 11, 2, 4094 },      { 0, 3, 0 },         { -2, 2, 0 },         { 20, 2, 2097150 },
        // 61,456 maps at depth 5 wrap a 32-bit sum to 272: they must not pass the budget.
        { 5, 61456, 0xffffffffu }, { 40, 3, 0xffffffffu },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.depth << " levels of " << c.m);
        EXPECT_EQ(CountIterationImages(c.depth, c.m), c.count);
    }
}

TEST_F(IterationTest, DepthFromValueCapsBeforeTruncating) {
    struct Case { double value; bool defined; int32_t m; int32_t depth; };
    const Case cases[] = {
        { 3.7, true, 1, 3 },   { -1, true, 1, 0 },     { 0.5, true, 2, 0 },
        { NAN, true, 1, 0 },   { INFINITY, true, 1, 0 }, { 7, false, 1, 0 },
        // Beyond 2^31 a truncation first would overflow.
        { 5e9, true, 1, 2500 }, { 5e9, true, 2, 20 },   { 1e300, true, 3, 20 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(DepthFromValue(Value(c.value, c.defined), c.m), c.depth);
    }
    SketchObject* gone = Value(4);
    gone->exists = 0;
    EXPECT_EQ(DepthFromValue(gone, 1), 0);
}

TEST_F(IterationTest, OneMapWritesEachLevelAndKeepsTheFinalPoint) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    SketchObject* segment = Build(kTypeSegment, { a, b });
    SketchObject* it = Iterate({ a, b }, 1, 1, 3);
    ASSERT_NE(it, nullptr);
    SketchObject* image = ImageOf(it, b);
    ASSERT_NE(image, nullptr);
    ASSERT_NE(ImageOf(it, segment), nullptr);
    EXPECT_EQ(RecordXs(image), (std::vector<double>{ 20, 30, 40 }));
    EXPECT_EQ(image->exists, 1);
    RealPoint final{};
    ASSERT_TRUE(FinalIteratedPoint(image, &final));
    EXPECT_EQ(final.x, 40);
    EXPECT_TRUE(IsSingleMapPointImage(image));
    SketchObject* terminal = Build(kTypeFinalIteratedPoint, { image });
    ASSERT_NE(terminal, nullptr);
    EXPECT_EQ(terminal->exists, 1);
    EXPECT_EQ(PointPosition(terminal).x, 40);
    EXPECT_FALSE(IsSingleMapPointImage(ImageOf(it, segment)));
    // The seeds and the chain are back where the sketch has them.
    EXPECT_EQ(PointPosition(a).x, 0);
    EXPECT_EQ(PointPosition(b).x, 10);
    EXPECT_EQ(NestedEvaluationDepth, 0);

    // Final only: the last record alone.
    SetIterationProperty(it, kIterationFinalOnly, 1);
    EXPECT_EQ(RecordXs(image), (std::vector<double>{ 40 }));
}

TEST_F(IterationTest, TwoMapsAtDepthTwentyAreBuiltAtTen) {
    SketchObject* a = PointAt(64, 0);
    SketchObject* it = Iterate({ a, Shifted(a, 10), Scaled(a, PointAt(0, 0), 0.5) }, 1, 2, 20);
    ASSERT_NE(it, nullptr);
    EXPECT_EQ(IterationDataOf(it)->parameters.depth, 10);
    EXPECT_EQ(IterationDataOf(it)->imageCount, 2046);
}

TEST_F(IterationTest, RecordsLieDepthFirstAndFinalOnlyWalksTheLastLevel) {
    SketchObject* a = PointAt(64, 0);
    SketchObject* right = Shifted(a, 16);
    SketchObject* half = Scaled(a, PointAt(0, 0), 0.5);
    SketchObject* it = Iterate({ a, right, half }, 1, 2, 3);
    ASSERT_NE(it, nullptr);
    // The image of `right` at each node of the tree of map sequences, in depth-first
    // order, and the leaves apart.
    std::vector<double> all, leaves;
    const auto walk = [&](auto&& self, double x, int level) -> void {
        for (double next : { x + 16, x * 0.5 }) {
            all.push_back(next + 16);
            if (level == 2) leaves.push_back(next + 16);
            else self(self, next, level + 1);
        }
    };
    walk(walk, 64, 0);
    SketchObject* image = ImageOf(it, right);
    ASSERT_EQ(all.size(), 14u);
    EXPECT_EQ(RecordXs(image), all);
    SetIterationProperty(it, kIterationFinalOnly, 1);
    EXPECT_EQ(RecordXs(image), leaves);
    EXPECT_EQ(leaves.size(), 8u);
}

TEST_F(IterationTest, ADestinationThatIsAnEarlierSeedMovesThroughACopy) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(8, 0);
    SketchObject* mid = Build(kTypeMidpoint, { Build(kTypeSegment, { a, b }) });
    // (a, b) -> (mid, a): seed 2's destination is seed 1.
    SketchObject* it = Iterate({ a, b, mid, a }, 2, 1, 3);
    ASSERT_NE(it, nullptr);
    EXPECT_EQ(RecordXs(ImageOf(it, mid)), (std::vector<double>{ 2, 3, 3 }));  // 2, 3, 2.5 rounded
    EXPECT_EQ(PointPosition(a).x, 0);
    EXPECT_EQ(PointPosition(b).x, 8);
}

TEST_F(IterationTest, FinalBuildIsOneUndoStepAndTrimsTheChain) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    // A hidden dependent that feeds nothing the iteration needs leaves the chain.
    SketchObject* aside = Shifted(a, 50);
    aside->hidden = kHiddenByUser;
    const int32_t before = UndoDepth();
    SketchObject* it = Iterate({ a, b }, 1, 1, 2, false);
    ASSERT_NE(it, nullptr);
    EXPECT_EQ(UndoDepth(), before + 1);
    const std::vector<SketchObject*> parents = Parents(it);
    EXPECT_EQ(parents, (std::vector<SketchObject*>{ a, b, b }));
    for (SketchObject* c : Children(aside)) EXPECT_NE(c, it);

    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_FALSE(IsLinkedIntoSketch(it));
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_TRUE(IsLinkedIntoSketch(it));
    EXPECT_EQ(RecordXs(ImageOf(it, b)), (std::vector<double>{ 20, 30 }));
}

TEST_F(IterationTest, ConflictingSeedsAndMappingsWithoutImagesBuildNothing) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    SketchObject* conflict = nullptr;
    SketchObject* seeds[] = { a, b };
    a->tempLink = b;
    b->tempLink = nullptr;
    EXPECT_EQ(IterationDependents(seeds, 2, &conflict), nullptr);
    EXPECT_EQ(conflict, b);
    // Seeds on which nothing depends.
    SketchObject* lone = PointAt(5, 5);
    EXPECT_EQ(Iterate({ lone, lone }, 1, 1, 3), nullptr);
}

TEST_F(IterationTest, KeysStepTheDepthAndPropertiesWaitForTheBatch) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    SketchObject* it = Iterate({ a, b }, 1, 1, 1);
    SketchObject* image = ImageOf(it, b);
    SelectSketchObject(image);
    EXPECT_FALSE(IterationKeyStep(kIterationDepth, -1));  // not below 1
    EXPECT_TRUE(IterationKeyStep(kIterationDepth, 1));
    EXPECT_EQ(IterationDataOf(it)->parameters.depth, 2);
    EXPECT_EQ(RecordXs(image), (std::vector<double>{ 20, 30 }));
    // "!" without destinations on paths changes nothing.
    EXPECT_FALSE(IterationKeyStep(kIterationSeed, 0));

    SetIterationProperty(it, kIterationBeginBatch, 0);
    SetIterationProperty(it, kIterationDepth, 4);
    EXPECT_EQ(RecordXs(image).size(), 4u);  // resized, not yet recomputed
    EXPECT_EQ(RecordXs(image)[0], 0);
    SetIterationProperty(it, kIterationEndBatch, 0);
    EXPECT_EQ(RecordXs(image), (std::vector<double>{ 20, 30, 40, 50 }));
}

TEST_F(IterationTest, WithoutMemoryTheUpdateLeavesEverythingAsItWas) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    SketchObject* it = Iterate({ a, b }, 1, 1, 3);
    SketchObject* image = ImageOf(it, b);
    const std::vector<double> before = RecordXs(image);
    SetPointPosition(a, 100, 0, 1, nullptr, false);
    RecomputeObject(b, nullptr, true);
    // Without its state stack the update keeps the images it had.
    SetAllocFailureAfter(1);
    RecomputeObject(it, nullptr, true);
    SetAllocFailureAfter(0);
    EXPECT_EQ(RecordXs(image), before);
    // Every allocation of the update fails in turn; the counter of nested evaluations,
    // the seeds and the chain come back each time.
    for (uint32_t n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        SetAllocFailureAfter(n);
        RecomputeObject(it, nullptr, true);
        SetAllocFailureAfter(0);
        EXPECT_EQ(NestedEvaluationDepth, 0);
        EXPECT_EQ(PointPosition(a).x, 100);
        EXPECT_EQ(PointPosition(b).x, 110);
    }
    RecomputeObject(it, nullptr, true);
    EXPECT_EQ(RecordXs(image), (std::vector<double>{ 120, 130, 140 }));
}

TEST_F(IterationTest, ArraysThatDoNotFitLowerTheDepth) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    SketchObject* it = Iterate({ a, b }, 1, 1, 3);
    // The image's array cannot grow: the depth comes down until one fits.
    SetAllocFailureAfter(1);
    FitIterationDepth(it, 6);
    SetAllocFailureAfter(0);
    EXPECT_LT(IterationDataOf(it)->parameters.depth, 6);
    EXPECT_GE(IterationDataOf(it)->parameters.depth, 1);
    EXPECT_EQ(IteratedImageDataOf(ImageOf(it, b))->imageCount, IterationDataOf(it)->imageCount);
}

TEST(IterationRecord, EncodesFieldsAndTakesAnOlderDepth) {
    const IterationParameters p{ 2, 3, 7, 5, 9, -12345 };
    uint8_t record[kIterationRecordBytes];
    EncodeIterationRecord(p, record);
    const uint8_t expected[kIterationRecordBytes] = { 0, 0, 1, 0, 1, 0, 2, 0, 3, 0, 0, 0,
                                                       0xc7, 0xcf, 0xff, 0xff, 7, 0, 0, 0, 0, 0, 0, 0 };
    EXPECT_EQ(std::memcmp(record, expected, sizeof record), 0);
    IterationParameters back{};
    ASSERT_EQ(DecodeIterationRecord(record, sizeof record, &back), kResultOK);
    EXPECT_EQ(back.seedCount, 2);
    EXPECT_EQ(back.mapCount, 3);
    EXPECT_EQ(back.depth, 7);
    EXPECT_EQ(back.finalOnly, 1);
    EXPECT_EQ(back.randomOnPaths, 1);
    EXPECT_EQ(back.seed, -12345);

    record[16] = 0;
    record[0] = 11;
    ASSERT_EQ(DecodeIterationRecord(record, sizeof record, &back), kResultOK);
    EXPECT_EQ(back.depth, 11);
    EXPECT_EQ(DecodeIterationRecord(record, 23, &back), 35);
}

TEST_F(IterationTest, StoredCountsMustAgreeWithTheParents) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    SketchObject* it = Iterate({ a, b }, 1, 1, 3);
    IterationParameters& p = IterationDataOf(it)->parameters;
    EXPECT_EQ(FinishReadIteration(it), kResultOK);
    p.mapCount = 61456;
    EXPECT_EQ(FinishReadIteration(it), 35);
    p.seedCount = 65535;
    p.mapCount = 65535;
    EXPECT_EQ(IterationChainBase(it), INT32_MAX);   // saturates rather than overflowing
    EXPECT_EQ(FinishReadIteration(it), 35);
    p.mapCount = 1;
    p.seedCount = 0;
    EXPECT_EQ(FinishReadIteration(it), 35);
    p.seedCount = 1;
    p.depth = 1 << 30;
    EXPECT_EQ(FinishReadIteration(it), kResultOK);
    EXPECT_EQ(p.depth, 2500);
}

TEST_F(IterationTest, RandomPlacesOnPathsRepeatAndLeaveTheGeneratorAsItWas) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* circle = Build(kTypeCircleByPoint, { a, PointAt(0, 40) });
    SketchObject* on = Build(kTypePointOnPath, { circle }, nullptr, Reals(0.25, 0));
    SketchObject* it = Iterate({ a, on }, 1, 1, 4);
    ASSERT_NE(it, nullptr);
    ASSERT_NE(IterationDataOf(it)->pathState, nullptr);
    SketchObject* image = ImageOf(it, on);
    const std::vector<double> sameSpot = RecordXs(image);
    // "!" turns random places on; the images change, and the same seed makes the same
    // images again.
    SetRandomSeed(777);
    EXPECT_TRUE(IterationKeyStep(kIterationSeed, 0) == false);  // nothing selected
    SelectSketchObject(image);
    EXPECT_TRUE(IterationKeyStep(kIterationSeed, 0));
    EXPECT_EQ(IterationDataOf(it)->parameters.randomOnPaths, 1);
    EXPECT_EQ(GetRandomSeed(), 777u);
    const std::vector<double> random = RecordXs(image);
    EXPECT_NE(random, sameSpot);
    RecomputeObject(it, nullptr, true);
    EXPECT_EQ(RecordXs(image), random);
    EXPECT_EQ(GetRandomSeed(), 777u);
    // The destination is back at its own place on the circle.
    RealPoint before = PointPosition(on);
    RecomputeObject(on, nullptr, true);
    EXPECT_EQ(PointPosition(on).x, before.x);
    EXPECT_EQ(PointPosition(on).y, before.y);
    // A new seed draws other places.
    EXPECT_TRUE(IterationKeyStep(kIterationSeed, 0));
    EXPECT_NE(RecordXs(image), random);
}

TEST_F(IterationTest, BuildingWithoutMemoryLeavesTheSketchAsItWas) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    Build(kTypeSegment, { a, b });
    const size_t objects = SketchOrder().size();
    const int32_t undo = UndoDepth();
    // Each allocation of a final build fails in turn: nothing is left but what was there,
    // or the whole iteration is made and recorded.
    bool built = false;
    for (uint32_t n = 1; n <= 200 && !built; ++n) {
        SCOPED_TRACE(n);
        SetAllocFailureAfter(n);
        SketchObject* it = Iterate({ a, b }, 1, 1, 3, false);
        SetAllocFailureAfter(0);
        if (it) {
            built = true;
            EXPECT_EQ(SketchOrder().size(), objects + 3);
            EXPECT_EQ(UndoDepth(), undo + 1);
        } else {
            EXPECT_EQ(SketchOrder().size(), objects);
            EXPECT_EQ(UndoDepth(), undo);
        }
        EXPECT_EQ(NestedEvaluationDepth, 0);
        EXPECT_EQ(PointPosition(a).x, 0);
    }
    EXPECT_TRUE(built);
}

TEST_F(IterationTest, ImagesAreHitAtTheirRecordsOnceUpdated) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    SketchObject* it = Iterate({ a, b }, 1, 1, 3);
    SketchObject* image = ImageOf(it, b);
    struct Case { int16_t x, y; bool hit; };
    const Case cases[] = { { 20, 0, true }, { 40, 1, true }, { 50, 0, false }, { 30, 30, false } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(HitTestIteratedImage({ c.x, c.y }, image), c.hit);
    }
    // Between the rule's update and the image's own, the image is not hit.
    RecomputeObject(it, nullptr, true);
    EXPECT_FALSE(HitTestIteratedImage({ 20, 0 }, image));
    RecomputeObject(image, nullptr, true);
    EXPECT_TRUE(HitTestIteratedImage({ 20, 0 }, image));
    const ScreenRect around = { 15, -5, 25, 5 }, away = { 100, 100, 110, 110 };
    EXPECT_TRUE(HitTestIteratedImageRect(&around, image));
    EXPECT_FALSE(HitTestIteratedImageRect(&away, image));
}

TEST_F(IterationTest, ImagesThatDoNotExistKeepTheirPlaceInTheRecords) {
    SketchObject* a = PointAt(0, 0);
    // The crossing exists while a stays left of x = 12.
    SketchObject* reach = Build(kTypeSegment, { a, PointAt(25, 0) });
    SketchObject* post = Build(kTypeSegment, { PointAt(12, -5), PointAt(12, 5) });
    SketchObject* crossing = Build(kTypeIntersectStraights, { reach, post });
    SketchObject* it = Iterate({ a, Shifted(a, 10), Shifted(a, -10) }, 1, 2, 2);
    ASSERT_NE(it, nullptr);
    SketchObject* image = ImageOf(it, crossing);
    ASSERT_NE(image, nullptr);
    const auto exists = [&] {
        std::vector<uint32_t> flags;
        EnumerateIteratedImages(
            image,
            [](void* state, uint8_t* record, int32_t) {
                uint32_t e;
                std::memcpy(&e, record + 4, 4);
                static_cast<std::vector<uint32_t>*>(state)->push_back(e);
                return true;
            },
            &flags);
        return flags;
    };
    // a at 10, 20, 0, -10, 0, -20 in depth-first order.
    EXPECT_EQ(exists(), (std::vector<uint32_t>{ 1, 0, 1, 1, 1, 1 }));
    SetIterationProperty(it, kIterationFinalOnly, 1);
    EXPECT_EQ(exists(), (std::vector<uint32_t>{ 0, 1, 1, 1 }));
}
