// The image records of loci and iterated images: layouts, writers, the hit tests over
// record arrays and the scaling of records for printing.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/arc_objects.h"
#include "engine/core/geometry_metrics.h"
#include "engine/core/geometry_neighbours.h"
#include "engine/core/point_objects.h"
#include "engine/core/polygon_objects.h"
#include "engine/core/print_state.h"
#include "engine/core/shape_families.h"
#include "sketch_fixture.h"
#include "tests/support/object_drawing_double.h"

namespace {

// A record array the tests enumerate: records of one size, one after the other.
struct Records {
    std::vector<uint8_t> bytes;
    uint32_t size = 0;
    std::vector<int32_t> order;  // the indexes visited, in order; empty = each once
    static bool Enumerate(void* user, SampleCallbackFn callback, void* state) {
        auto* r = static_cast<Records*>(user);
        const int32_t count = static_cast<int32_t>(r->bytes.size() / r->size);
        std::vector<int32_t> order = r->order;
        if (order.empty())
            for (int32_t i = 0; i < count; ++i) order.push_back(i);
        for (int32_t i : order)
            if (!callback(state, r->bytes.data() + i * r->size, i)) return true;
        return false;
    }
};

Records LocusPoints(std::initializer_list<std::pair<ScreenPoint, uint32_t>> samples) {
    Records r;
    r.size = SampleRecord::kLocusPointBytes;
    for (const auto& [p, state] : samples) {
        uint8_t record[24] = {};
        std::memcpy(record, &p.x, 2);
        std::memcpy(record + 2, &p.y, 2);
        std::memcpy(record + SampleRecord::kLocusState, &state, 4);
        r.bytes.insert(r.bytes.end(), record, record + 24);
    }
    return r;
}

class ShapeFamilyTest : public SketchTest {
protected:
    SketchObject* Point(double x, double y) { return PointAt(x, y); }
    // Captures the object once through its family's writer for the given use.
    Records Capture(SketchObject* object, int32_t use, uint32_t* familyData) {
        const ShapeFamilyRow& row = ShapeFamilyOps[ObjectClassTable[object->objectClass].shapeFamily];
        uint32_t dataSize = 0;
        Records r;
        row.sampleLayout(object, use, &dataSize, &r.size);
        r.bytes.assign(r.size, 0xEE);
        SampleWriterFn writer = row.sampleWriter(object, use, familyData);
        const SampleWriteContext context{ 0.625 };
        EXPECT_EQ(writer(object, &context, r.bytes.data()), r.bytes.data() + r.size);
        return r;
    }
};

}  // namespace

TEST_F(ShapeFamilyTest, LayoutsAndPointRecords) {
    SketchObject* p = Point(12, -7);
    uint32_t data;
    Records locus = Capture(p, kSampleForLocus, &data);
    ASSERT_EQ(locus.size, 24u);
    int16_t xy[2];
    std::memcpy(xy, locus.bytes.data(), 4);
    EXPECT_EQ(xy[0], 12);
    EXPECT_EQ(xy[1], -7);
    double parameter;
    std::memcpy(&parameter, locus.bytes.data() + 8, 8);
    EXPECT_EQ(parameter, 0.625);
    uint32_t state;
    std::memcpy(&state, locus.bytes.data() + 16, 4);
    EXPECT_EQ(state, kSampleRunStart);
    EXPECT_EQ(locus.bytes[20], 0xEE);  // the colour's room is the locus's
    EXPECT_EQ(Capture(p, kSampleForIteration, &data).size, 8u);
    EXPECT_EQ(ShapeFamilyOps[kFamilyPoint].sampleWriter(p, 2, nullptr), nullptr);

    SetPointPosition(p, 30000, 5, 1, nullptr, false);  // not strictly inside the range
    locus = Capture(p, kSampleForLocus, &data);
    std::memcpy(&state, locus.bytes.data() + 16, 4);
    EXPECT_EQ(state, kSampleMissing);
}

TEST_F(ShapeFamilyTest, RecordSizesOfEveryFamily) {
    SketchObject* a = Point(0, 0);
    SketchObject* b = Point(40, 0);
    SketchObject* c = Point(0, 40);
    SketchObject* segment = Build(kTypeSegment, { a, b });
    SketchObject* circle = Build(kTypeCircleByPoint, { a, b });
    SketchObject* polygon = Build(kTypePolygonInterior, { a, b, c });
    SketchObject* arc = Build(kTypeArcByCentre, { a, c, b });
    struct Case { SketchObject* object; uint32_t dataSize, recordSize; };
    const Case cases[] = { { segment, 4, 12 }, { circle, 4, 12 }, { polygon, 2, 16 }, { arc, 4, 48 } };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.object->objectClass);
        uint32_t dataSize = 0, recordSize = 0;
        ShapeFamilyOps[ObjectClassTable[k.object->objectClass].shapeFamily].sampleLayout(k.object, 0, &dataSize,
                                                                                          &recordSize);
        EXPECT_EQ(dataSize, k.dataSize);
        EXPECT_EQ(recordSize, k.recordSize);
    }
    // A polygon record is 4 + 4 n bytes: sizes stay right beyond 16 bits.
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPolygonInterior, 1, kKindPolygonInterior, 0 };
    uint32_t many = 20000;
    SketchObject* big = ConstructObjectEx(&t, &many, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(big, nullptr);
    uint32_t dataSize, recordSize;
    ShapeFamilyOps[kFamilyPolygon].sampleLayout(big, 1, &dataSize, &recordSize);
    EXPECT_EQ(recordSize, 80004u);
    // Kind 59 is the category no point, straight or polygon kind belongs to.
    for (int32_t kind : { int32_t{ kKindPoint }, int32_t{ kKindSegment }, int32_t{ kKindLine }, 47, int32_t{ kKindPolygonInterior } })
        EXPECT_FALSE(KindIsA(kind, ShapeFamilyOps[kFamilyPoint].interiorKind)) << kind;
}

TEST_F(ShapeFamilyTest, PointHitsAsDotsAndAsCurves) {
    const int32_t R = GeometryMetrics.pointRadius;
    Records r = LocusPoints({ { { 0, 0 }, 1 }, { { 40, 0 }, 2 }, { { 80, 0 }, 0 }, { { 120, 0 }, 1 },
                              { { 160, 0 }, 2 } });
    struct Case { ScreenPoint q; bool dots, curve; };
    const Case cases[] = {
        { { 0, 0 }, true, true },
        { { static_cast<int16_t>(R + 1), 0 }, true, true },   // the dot's wider right edge; on the run
        { { 20, 2 }, false, true },                           // between two samples of a run
        { { 60, 0 }, false, false },                          // across the break
        { { 100, 0 }, false, false },
        { { 140, -2 }, false, true },
        { { 80, 0 }, false, false },                          // the missing sample itself
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.q.x);
        EXPECT_EQ(PointSamplesHit(c.q, kSampleForLocus, false, Records::Enumerate, &r), c.dots);
        EXPECT_EQ(PointSamplesHit(c.q, kSampleForLocus, true, Records::Enumerate, &r), c.curve);
    }
    const ScreenRect between{ 55, -5, 65, 5 }, onRun{ 15, -5, 25, 5 };
    EXPECT_FALSE(PointSamplesInRect(between, kSampleForLocus, true, Records::Enumerate, &r));
    EXPECT_TRUE(PointSamplesInRect(onRun, kSampleForLocus, true, Records::Enumerate, &r));
    EXPECT_FALSE(PointSamplesInRect(onRun, kSampleForLocus, false, Records::Enumerate, &r));
}

TEST_F(ShapeFamilyTest, CircleAndArcRecordHits) {
    SketchObject* a = Point(100, 100);
    SketchObject* circle = Build(kTypeCircleByPoint, { a, Point(140, 100) });
    SketchObject* disc = Build(kTypeCircleInterior, { circle });
    uint32_t outline, interior;
    Records rim = Capture(circle, 1, &outline);
    Records inside = Capture(disc, 1, &interior);
    EXPECT_EQ(outline, 0u);
    EXPECT_EQ(interior, 1u);
    const SampleHitTestFn hit = ShapeFamilyOps[kFamilyCircle].hitTest;
    EXPECT_TRUE(hit({ 100, 120 }, disc, &interior, Records::Enumerate, &inside));
    EXPECT_FALSE(hit({ 100, 120 }, circle, &outline, Records::Enumerate, &rim));
    EXPECT_TRUE(hit({ 141, 100 }, circle, &outline, Records::Enumerate, &rim));

    // A quarter arc about (100, 100) from +x to +y, radius 40.
    SketchObject* arc = Build(kTypeArcByCentre, { a, Point(100, 140), Point(140, 100) });
    uint32_t kind;
    Records arcs = Capture(arc, 1, &kind);
    EXPECT_EQ(kind, uint32_t{ kKindArc });
    const SampleHitTestFn arcHit = ShapeFamilyOps[kFamilyArc].hitTest;
    EXPECT_TRUE(arcHit({ 128, 128 }, arc, &kind, Records::Enumerate, &arcs));
    EXPECT_FALSE(arcHit({ 72, 72 }, arc, &kind, Records::Enumerate, &arcs));
    EXPECT_FALSE(arcHit({ 110, 110 }, arc, &kind, Records::Enumerate, &arcs));

    // An arc collapsed to a dot (equal screen ends, span 0.05) is not visible.
    const uint32_t visible = 0;
    uint8_t* record = arcs.bytes.data();
    std::memcpy(record + SampleRecord::kArcEnd, record + SampleRecord::kArcStart, 4);
    double start, end;
    std::memcpy(&start, record + SampleRecord::kArcStartPseudo, 8);
    end = start + 0.05;
    std::memcpy(record + SampleRecord::kArcEndPseudo, &end, 8);
    std::memcpy(record + SampleRecord::kArcVisible, &visible, 4);
    EXPECT_FALSE(arcHit({ 140, 100 }, arc, &kind, Records::Enumerate, &arcs));
}

TEST_F(ShapeFamilyTest, ArcWriterVisibility) {
    SketchObject* a = Point(100, 100);
    SketchObject* b = Point(100, 140);
    SketchObject* arc = Build(kTypeArcByCentre, { a, b, Point(140, 100) });
    uint32_t kind;
    uint32_t visible;
    std::memcpy(&visible, Capture(arc, 0, &kind).bytes.data() + SampleRecord::kArcVisible, 4);
    EXPECT_EQ(visible, 1u);
    SetPointPosition(b, 140, 100.2, 1, nullptr, false);  // a sliver: same screen ends, span < 0.1
    RecomputeObject(arc, nullptr, true);
    ASSERT_EQ(arc->exists, 1);
    std::memcpy(&visible, Capture(arc, 0, &kind).bytes.data() + SampleRecord::kArcVisible, 4);
    EXPECT_EQ(visible, 0u);
}

TEST_F(ShapeFamilyTest, PrintScalingMapsRecordsOnce) {
    SketchObject* centre = Point(100, 80);
    SketchObject* arc = Build(kTypeArcByCentre, { centre, Point(100, 100), Point(120, 80) });
    uint32_t kind;
    Records arcs = Capture(arc, 1, &kind);
    PrintState() = { 1, 0, 2, -50, -30 };
    ResetRecordedDraws();
    ShapeFamilyOps[kFamilyArc].drawScaled(nullptr, arc, &kind, Records::Enumerate, &arcs);
    int16_t c[3];
    std::memcpy(c, arcs.bytes.data() + SampleRecord::kArcCentre, 6);
    EXPECT_EQ(c[0], 100);
    EXPECT_EQ(c[1], 100);
    EXPECT_EQ(c[2], 40);
    ASSERT_EQ(RecordedDraws().size(), 1u);
    EXPECT_EQ(RecordedDraws()[0].call, DrawCall::kSamples);

    // A closed locus of circles visits its first record again at the end.
    SketchObject* circle = Build(kTypeCircleByPoint, { centre, Point(110, 80) });
    uint32_t outline;
    Records circles = Capture(circle, 0, &outline);
    circles.order = { 0, 0 };
    ShapeFamilyOps[kFamilyCircle].drawScaled(nullptr, circle, &outline, Records::Enumerate, &circles);
    int16_t box[4];
    std::memcpy(box, circles.bytes.data(), 8);
    EXPECT_EQ(box[0], 2 * (90 - 50));
    EXPECT_EQ(box[1], 2 * (70 - 30));
    // Drawn again, the once flag is cleared and the record is scaled again.
    ShapeFamilyOps[kFamilyCircle].drawScaled(nullptr, circle, &outline, Records::Enumerate, &circles);
    std::memcpy(box, circles.bytes.data(), 8);
    EXPECT_EQ(box[0], 2 * (80 - 50));
    PrintState() = { 0, 0, 1, 0, 0 };
}
