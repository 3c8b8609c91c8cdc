// Feeds outside bytes to the record codecs of points, straight objects, axes, circles,
// Feeds outside bytes to the record codecs of points, straight objects, axes, circles,
// arcs, arc interiors, polygons, loci and iterations, to the construction data of points
// on paths, unit points and images coloured by values, and to the grid form of a
// coordinate system. A record may be
// refused, but reading it must stay within the input, and whatever was taken must
// recompute and write back exactly as long as it measures.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/core/arc_objects.h"
#include "engine/core/circle_objects.h"
#include "engine/core/locus.h"
#include "engine/core/iterations.h"
#include "engine/core/construction_data.h"
#include "engine/core/object_creation.h"
#include "engine/core/parametric_color.h"
#include "engine/core/paths.h"
#include "engine/core/point_objects.h"
#include "engine/core/polygon_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/sketch.h"
#include "engine/core/straight_object_ops.h"
#include "engine/docio/record_codecs.h"

namespace {

PtrList List(SketchObject* a, SketchObject* b = nullptr, SketchObject* c = nullptr) {
    PtrList list = 0;
    PtrListAppend(&list, a);
    if (b) PtrListAppend(&list, b);
    if (c) PtrListAppend(&list, c);
    return list;
}

PtrList Block(double first, double second) {
    PtrList list = 0;
    const int32_t items = static_cast<int32_t>(16 / sizeof(void*));
    if (!AllocPtrList(items, items, &list)) return 0;
    std::memcpy(PtrListData(list), &first, 8);
    std::memcpy(reinterpret_cast<uint8_t*>(PtrListData(list)) + 8, &second, 8);
    return list;
}

SketchObject* Point(double x, double y) {
    const ObjectTemplate t = { 0, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    if (p) SetPointPosition(p, x, y, 1, nullptr, false);
    return p;
}

struct Subject { RecordCodecFn codec; SketchObject* object; };
constexpr int kSubjects = 17;
Subject gSubjects[kSubjects];

void Setup() {
    Sketch* sketch = CreateSketch(0, nullptr);
    if (!sketch) std::abort();
    SetCurrentSketch(sketch, nullptr);
    SketchObject* a = Point(0, 0);
    SketchObject* b = Point(30, 40);
    SketchObject* seg = ConstructObject(kTypeSegment, nullptr, List(a, b), 0, true, false, nullptr);
    SketchObject* circle = ConstructObject(kTypeCircleByPoint, nullptr, List(a, b), 0, true, false, nullptr);
    SketchObject* onCircle = ConstructObject(kTypePointOnPath, nullptr, List(circle), Block(1, 0), true, false, nullptr);
    SketchObject* onSeg = ConstructObject(kTypePointOnPath, nullptr, List(seg), Block(0.5, 0), true, false, nullptr);
    SketchObject* unit = ConstructObject(56, nullptr, List(a), Block(40, 0), true, false, nullptr);
    uint8_t horizontal[2] = { 1, 0 };
    SketchObject* axis = ConstructObject(62, horizontal, List(a, unit), 0, true, false, nullptr);
    SketchObject* vertical = ConstructObject(57, nullptr, List(a), Block(30, 0), true, false, nullptr);
    uint8_t notHorizontal[2] = { 0, 0 };
    SketchObject* axisY = vertical ? ConstructObject(62, notHorizontal, List(a, vertical), 0, true, false, nullptr) : nullptr;
    uint8_t square[2] = { 1, 0 };
    SketchObject* system = axisY ? ConstructObject(65, square, List(axis, axisY), 0, true, false, nullptr) : nullptr;
    SketchObject* c = Point(0, 40);
    SketchObject* arc = ConstructObject(kTypeArcByCentre, nullptr, List(a, c, b), 0, true, false, nullptr);
    SketchObject* sector = arc ? ConstructObject(kTypeArcSector, nullptr, List(arc), 0, true, false, nullptr) : nullptr;
    SketchObject* triangle = ConstructObject(kTypePolygonInterior, nullptr, List(a, b, c), 0, true, false, nullptr);
    // A free polygon takes its vertex count from the record it reads.
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPolygonInterior, 1, kKindPolygonInterior, 0 };
    uint32_t four = 4;
    SketchObject* freePolygon = ConstructObjectEx(&t, &four, 0, 0, nullptr, nullptr, false);
    // The locus of the midpoint of a and the point running round the circle.
    SketchObject* toDriver = ConstructObject(kTypeSegment, nullptr, List(a, onCircle), 0, true, false, nullptr);
    SketchObject* traced = ConstructObject(kTypeMidpoint, nullptr, List(toDriver), 0, true, false, nullptr);
    PtrList chain = List(traced, circle, onCircle);
    PtrListAppend(&chain, toDriver);
    PtrListAppend(&chain, traced);
    SketchObject* locus = ConstructObject(kTypeLocus, nullptr, chain, 0, true, false, nullptr);
    // Few samples keep the recompute after each input short, whatever count it reads.
    ThePreferences().maxSamples = 40;
    if (locus) SetLocusSampleCount(locus, 10);
    // An iteration of a to the midpoint of the segment: its record's counts may disagree
    // with these parents, and its depth may be anything. A small budget keeps the
    // recompute after each input short.
    ThePreferences().iterationSamples = 50;
    SketchObject* mid = ConstructObject(kTypeMidpoint, nullptr, List(seg), 0, true, false, nullptr);
    SketchObject* entries[] = { a, mid };
    IterationBuild build{};
    build.entries = entries;
    build.seedCount = 1;
    build.mapCount = 1;
    build.depth = 3;
    build.preview = 1;
    SketchObject* iteration = mid ? BuildIteration(&build) : nullptr;
    // Images of a point coloured by a distance, and by it three times.
    SketchObject* distance = ConstructObject(41, nullptr, List(a, b), 0, true, false, nullptr);
    uint8_t range[kParametricColorDataBytes];
    PackParametricColorData({ kColorModelSpectrum | 2, 0, 100 }, range);
    PtrList rangeOne = 0, rangeThree = 0;
    SketchObject* colouredOne = nullptr;
    SketchObject* colouredThree = nullptr;
    if (distance && MakeConstructionData(range, sizeof range, &rangeOne) &&
        MakeConstructionData(range, sizeof range, &rangeThree)) {
        colouredOne = ConstructObject(kTypeParametricColor, nullptr, List(b, distance), rangeOne, true, false, nullptr);
        PtrList three = List(c, distance, distance);
        PtrListAppend(&three, distance);
        colouredThree = ConstructObject(kTypeParametricColor, nullptr, three, rangeThree, true, false, nullptr);
    }
    if (!seg || !circle || !onCircle || !onSeg || !unit || !axis || !system || !arc || !sector || !triangle ||
        !freePolygon || !iteration || !locus || !colouredOne || !colouredThree)
        std::abort();
    RecomputeSketch(false);
    gSubjects[0] = { TransferPointGeometry, b };
    gSubjects[1] = { TransferStraightGeometry, seg };
    gSubjects[2] = { TransferCircleGeometry, circle };
    gSubjects[3] = { TransferAxisData, axis };
    gSubjects[4] = { TransferPathParameter, onCircle };
    gSubjects[5] = { TransferPathParameter, onSeg };
    gSubjects[6] = { TransferUnitDistance, unit };
    gSubjects[7] = { TransferPlottedValues, unit };
    gSubjects[8] = { TransferArcGeometry, arc };
    gSubjects[9] = { TransferArcGeometry, sector };
    gSubjects[10] = { TransferPolygonGeometry, triangle };
    gSubjects[11] = { TransferPolygonGeometry, freePolygon };
    gSubjects[12] = { TransferIterationData, iteration };
    gSubjects[13] = { TransferLocusData, locus };
    gSubjects[14] = { TransferCoordSystemData, system };
    gSubjects[15] = { TransferParametricColorData, colouredOne };
    gSubjects[16] = { TransferParametricColorData, colouredThree };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = (Setup(), true);
    (void)ready;
    if (size < 1) return 0;
    const Subject& s = gSubjects[(data[0] & 0x7f) % kSubjects];
    const FormatInfo format = (data[0] & 0x80) ? FormatInfo{ 1, 1, 1 } : kCurrentPageFormat;
    // An exact-size copy, so that any read past the end is caught.
    const size_t length = size - 1;
    uint8_t* bytes = static_cast<uint8_t*>(std::malloc(length != 0 ? length : 1));
    if (!bytes) return 0;
    if (length) std::memcpy(bytes, data + 1, length);
    const ResultCode rc = ReadCodecRecord(s.codec, s.object, bytes, static_cast<uint32_t>(length), format);
    std::free(bytes);
    RecomputeSketch(false);
    if (IsFatalResult(rc)) return 0;
    const uint32_t measured = MeasureCodecRecord(s.codec, s.object, format);
    // A free polygon's record can be as long as its u16 vertex count allows.
    static uint8_t out[4 + 16 * 65535];
    if (measured > sizeof out) std::abort();
    TransferContext context;
    BeginWriteContext(&context, out, measured, s.object, format);
    if (s.codec(&context) > 16) std::abort();
    if (context.destination.cursor != out + measured) std::abort();
    return 0;
}
