// Polygon interiors: the automatic kind, existence, hit tests, the perimeter the path
// row reads, the geometry record and its memory form, and out of memory at creation.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/paths.h"
#include "engine/core/point_objects.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/polygon_objects.h"
#include "engine/docio/record_codecs.h"
#include "sketch_fixture.h"

namespace {

class PolygonTest : public SketchTest {
protected:
    SketchObject* Point(double x, double y) { return PointAt(x, y); }
    SketchObject* PolygonOn(std::initializer_list<SketchObject*> corners) {
        return Build(kTypePolygonInterior, corners);
    }
    SketchObject* Square() {
        return PolygonOn({ Point(0, 10), Point(10, 10), Point(10, 20), Point(0, 20) });
    }
    static PolygonData& Data(SketchObject* o) { return *ClassData<PolygonData>(o); }
};

}  // namespace

TEST_F(PolygonTest, KindCountsCornersCyclically) {
    SketchObject* a = Point(0, 0);
    SketchObject* b = Point(50, 0);
    SketchObject* c = Point(50, 50);
    SketchObject* d = Point(0, 50);
    SketchObject* e = Point(-20, 25);
    SketchObject* f = Point(-30, 5);
    SketchObject* g = Point(-30, -5);
    struct Case { std::vector<SketchObject*> corners; int32_t kind; };
    const Case cases[] = {
        { { a, b, c, a }, 47 },          // A, B, C, A: four vertices, a "Triangle"
        { { a, b, a, b }, 48 },          // a "Quadrilateral" by the cyclic rule
        { { a, b, c, d, e }, 49 },
        { { a, b, c, d, e, f }, 50 },
        { { a, b, c, d, e, f, g }, 15 },
        { { a, a, b }, 15 },             // two corners
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.kind);
        PtrList list = 0;
        for (SketchObject* o : k.corners) ASSERT_TRUE(PtrListAppend(&list, o));
        SketchObject* polygon = ConstructObject(kTypePolygonInterior, nullptr, list, 0, true, false, nullptr);
        ASSERT_NE(polygon, nullptr);
        EXPECT_EQ(polygon->objectKind, k.kind);
        EXPECT_EQ(Data(polygon).vertexCount, k.corners.size());
    }
}

TEST_F(PolygonTest, ImagesKeepTheKindAndPropagationWalksLongChains) {
    SketchObject* a = Point(0, 0);
    SketchObject* d = Point(0, 50);
    SketchObject* polygon = PolygonOn({ a, Point(50, 0), Point(50, 50), d });
    SketchObject* mirror = Build(kTypeSegment, { Point(100, 0), Point(100, 10) });
    EXPECT_EQ(polygon->objectKind, 48);
    std::vector<SketchObject*> chain{ polygon };
    for (int i = 0; i < 2000; ++i) {
        chain.push_back(Build(kTypeReflection, { chain.back(), mirror }));
        ASSERT_NE(chain.back(), nullptr);
        ASSERT_EQ(Data(chain.back()).vertexCount, 4);
    }
    EXPECT_EQ(chain.back()->objectKind, 48);
    // D merged into A: the polygon is a triangle now, and so is every image of it.
    reinterpret_cast<SketchObject**>(PtrListData(polygon->parents))[3] = a;
    polygon->label.level = 2;
    PropagatePolygonKind(a);
    EXPECT_EQ(polygon->objectKind, 47);
    EXPECT_EQ(polygon->label.level, 2);  // made again at the level it was derived at
    EXPECT_EQ(chain[1]->objectKind, 47);
    EXPECT_EQ(chain.back()->objectKind, 47);
    (void)d;
}

TEST_F(PolygonTest, ExistsWhenSomeVertexDiffersFromTheFirst) {
    SketchObject* a = Point(5, 5);
    SketchObject* b = Point(5, 5);
    SketchObject* polygon = PolygonOn({ a, b, Point(5, 5) });
    EXPECT_EQ(polygon->exists, 0);
    SetPointPosition(b, 30, 5, 1, nullptr, false);
    RecomputeObject(polygon, nullptr, true);
    EXPECT_EQ(polygon->exists, 1);
    EXPECT_EQ(polygon->bounds.left, 3);
    EXPECT_EQ(polygon->bounds.right, 32);
}

TEST_F(PolygonTest, HalfOpenCrossingRuleAndEdgeTests) {
    SketchObject* square = Square();  // top y = 10, bottom y = 20
    struct Case { ScreenPoint p; bool inside, edge; };
    const Case cases[] = {
        { { 5, 10 }, true, true },     // on the top row: inside
        { { 5, 20 }, false, true },    // on the bottom row: outside
        { { 5, 15 }, true, false },
        { { 0, 15 }, true, true },     // on the left column
        { { 10, 15 }, false, true },   // on the right column
        { { -7, 15 }, false, false },
        { { -2, 15 }, false, true },   // beside the closing edge, inside its grown box
        { { -3, 15 }, false, false },  // beyond the box grown by 2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y);
        EXPECT_EQ(PolygonHitTest(c.p, square), c.inside);
        EXPECT_EQ(Polygon::HitTestEdges(c.p, square), c.edge);
    }
    // A marquee selects by the edges only.
    const ScreenRect inside{ 3, 13, 7, 17 }, across{ 8, 12, 14, 14 }, away{ 30, 30, 40, 40 };
    EXPECT_FALSE(PolygonHitTestRect(&inside, square));
    EXPECT_TRUE(PolygonHitTestRect(&across, square));
    EXPECT_FALSE(PolygonHitTestRect(&away, square));
}

TEST_F(PolygonTest, PathAndPerimeterReadTheOwnVertices) {
    SketchObject* square = Square();
    SketchObject* mirror = Build(kTypeSegment, { Point(100, 0), Point(100, 10) });
    SketchObject* image = Build(kTypeReflection, { square, mirror });
    // Images get their vertices from their transformation, not from parents.
    const RealPoint mirrored[4] = { { 200, 10 }, { 190, 10 }, { 190, 20 }, { 200, 20 } };
    std::memcpy(Data(image).vertices, mirrored, sizeof mirrored);
    FinishPolygon(image);
    for (SketchObject* p : { square, image }) {
        double length;
        PathMethodsOf(p)->lengthBetween(p, 0, 1, &length);
        EXPECT_EQ(length, 40);
        RealPoint at;
        int32_t exists;
        PathMethodsOf(p)->pointAtParameter(p, 0.25, &at, &exists);
        EXPECT_EQ(at.x, Data(p).vertices[1].x);
        EXPECT_EQ(at.y, Data(p).vertices[1].y);
    }
}

TEST_F(PolygonTest, CreationFailsCleanlyWithoutMemory) {
    SketchObject* a = Point(0, 0);
    SketchObject* b = Point(10, 0);
    SketchObject* c = Point(0, 10);
    bool made = false;
    for (int32_t n = 1; n < 40 && !made; ++n) {
        SetAllocFailureAfter(n);
        SketchObject* polygon = ConstructObject(kTypePolygonInterior, nullptr, List({ a, b, c }), 0, true, false,
                                                nullptr);
        SetAllocFailureAfter(0);
        made = polygon != nullptr;
        if (polygon) {
            EXPECT_EQ(Data(polygon).vertexCount, 3);
        }
    }
    EXPECT_TRUE(made);
    EXPECT_EQ(Children(a).size(), 1u);  // only the one that was made
}

TEST_F(PolygonTest, GeometryRecordRefusesOtherCounts) {
    SketchObject* square = Square();
    EXPECT_EQ(MeasureCodecRecord(TransferPolygonGeometry, square, kCurrentPageFormat), 4u + 64);
    std::vector<uint8_t> bytes(4 + 64 + 16);
    TransferContext write;
    BeginWriteContext(&write, bytes.data(), 68, square, kCurrentPageFormat);
    ASSERT_EQ(TransferPolygonGeometry(&write), kResultOK);
    EXPECT_EQ(GetLE32(bytes.data()), 4u);

    // A free polygon being read takes the count from the record.
    uint32_t none = 0;
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPolygonInterior, 1, kKindPolygonInterior, 0 };
    SketchObject* free = ConstructObjectEx(&t, &none, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(free, nullptr);
    EXPECT_EQ(ReadCodecRecord(TransferPolygonGeometry, free, bytes.data(), 67, kCurrentPageFormat), 35);
    EXPECT_EQ(ReadCodecRecord(TransferPolygonGeometry, free, bytes.data(), 84, kCurrentPageFormat), 4);
    ASSERT_EQ(ReadCodecRecord(TransferPolygonGeometry, free, bytes.data(), 68, kCurrentPageFormat), kResultOK);
    EXPECT_EQ(Data(free).vertexCount, 4);
    EXPECT_EQ(free->exists, 1);
    EXPECT_TRUE(PolygonHitTest({ 5, 15 }, free));

    // Every other polygon has arrays sized for its parents.
    SketchObject* triangle = PolygonOn({ Point(0, 0), Point(9, 0), Point(0, 9) });
    EXPECT_EQ(ReadCodecRecord(TransferPolygonGeometry, triangle, bytes.data(), 68, kCurrentPageFormat), 35);
    std::vector<uint8_t> empty(4, 0);
    EXPECT_EQ(ReadCodecRecord(TransferPolygonGeometry, free, empty.data(), 4, kCurrentPageFormat), 35);
    EXPECT_EQ(Data(free).vertexCount, 4);
}

TEST_F(PolygonTest, MemoryCopiesKeepTheCountAndSwapInPlace) {
    SketchObject* square = Square();
    // The memory form: an 8-byte head with the count, then the vertices.
    std::vector<uint8_t> saved(8 + 64);
    const uint16_t count = 4;
    std::memcpy(saved.data(), &count, 2);
    const RealPoint moved[4] = { { 1, 1 }, { 9, 1 }, { 9, 9 }, { 1, 9 } };
    std::memcpy(saved.data() + 8, moved, sizeof moved);
    ASSERT_EQ(SwapCodecFields(TransferPolygonGeometry, square, saved.data()), kResultOK);
    EXPECT_EQ(Data(square).vertices[2].x, 9);
    EXPECT_EQ(Data(square).screenVertices[2].y, 9);
    RealPoint back[4];
    std::memcpy(back, saved.data() + 8, sizeof back);
    EXPECT_EQ(back[2].y, 20);

    const uint16_t wrong = 3;
    std::memcpy(saved.data(), &wrong, 2);
    EXPECT_EQ(SwapCodecFields(TransferPolygonGeometry, square, saved.data()), 35);
    EXPECT_EQ(Data(square).vertices[2].x, 9);  // untouched
}
