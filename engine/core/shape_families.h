// Image records of loci and iterated images. A locus or an iterated image shows many
// positions of one object by keeping one small record per position, captured from the
// object while it is put there. ShapeFamilyOps has one row per shape family of the
// captured object's class: the record layout and writer, the drawing of a whole record
// array, the hit tests over it and the family's share of the default locus samples.
#pragma once
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "engine/core/object_tables.h"

// Shape families (shapeFamily of the class row).
constexpr int32_t kFamilyPoint    = 0;
constexpr int32_t kFamilyStraight = 1;
constexpr int32_t kFamilyCircle   = 2;
constexpr int32_t kFamilyPolygon  = 3;
constexpr int32_t kFamilyArc      = 4;
constexpr int32_t kShapeFamilyCount = 5;

// Uses of a record: a locus capturing its traced object, an iteration capturing an image.
constexpr int32_t kSampleForLocus     = 0;
constexpr int32_t kSampleForIteration = 1;

// Byte offsets of the record fields (screen coordinates are i16, host byte order).
namespace SampleRecord {
constexpr uint32_t kPointBytes          = 8;   // x, y; exists u32 at 4
constexpr uint32_t kLocusPointBytes     = 24;  // x, y; parameter at 8; state u32 at 16
constexpr uint32_t kLocusParameter      = 8;
constexpr uint32_t kLocusState          = 16;
constexpr uint32_t kStraightBytes       = 12;  // piece ends a, b; exists u32 at 8
constexpr uint32_t kCircleBytes         = 12;  // bounds; exists u32 at 8
constexpr uint32_t kPolygonHead         = 4;   // exists u32, then the screen vertices
constexpr uint32_t kArcBytes            = 48;
constexpr uint32_t kArcStart            = 8;   // bounds at 0 (real arcs only)
constexpr uint32_t kArcEnd              = 12;
constexpr uint32_t kArcCentre           = 16;
constexpr uint32_t kArcRadius           = 20;
constexpr uint32_t kArcStartPseudo      = 24;
constexpr uint32_t kArcEndPseudo        = 32;
constexpr uint32_t kArcVisible          = 40;
constexpr uint32_t kArcOrientation      = 44;  // i8, 0 for a straight arc
}  // namespace SampleRecord

// Fields of a record at byte offsets: records have no alignment of their own.
template <typename T>
T RecordField(const uint8_t* record, uint32_t offset) {
    T v;
    std::memcpy(&v, record + offset, sizeof v);
    return v;
}
template <typename T>
void SetRecordField(uint8_t* record, uint32_t offset, T v) {
    std::memcpy(record + offset, &v, sizeof v);
}

// The position of a locus point record: rounded screen coordinates (i16 x, y at 0) in the
// shared form; the later release keeps it at sub-pixel precision in the same 8 bytes.
// Every reader of a locus point record's position goes through these.
void        PutLocusRecordPosition(uint8_t* record, RealPoint position);
RealPoint   LocusRecordPosition(const uint8_t* record);
ScreenPoint LocusRecordPoint(const uint8_t* record);

// An arc record read back as the program keeps it: a real arc's centre, radius and
// start and end angle (screen radians, the arc running from start to end with growing
// angle); a straight arc's two ends in the centre and in (radius, startAngle). The shared
// form takes the rounded screen fields; the later release keeps them as floats.
struct ArcSampleGeometry {
    RealPoint centre;
    double    radius;
    double    startAngle;
    double    endAngle;
};
ArcSampleGeometry ArcRecordGeometry(const uint8_t* record);

// Locus point states: no sample, the first of a run, a sample continuing a run.
constexpr uint32_t kSampleMissing  = 0;
constexpr uint32_t kSampleRunStart = 1;
constexpr uint32_t kSampleRunGoes  = 2;

// What the caller hands a writer: the sample's parameter value first.
struct SampleWriteContext {
    double parameter;
};

// The enumerator walks the caller's record array, calling back for each record until
// the callback answers false; it answers whether the walk was stopped.
using SampleCallbackFn   = bool (*)(void* state, uint8_t* record, int32_t index);
using SampleEnumeratorFn = bool (*)(void* user, SampleCallbackFn callback, void* state);
static_assert(std::is_same_v<SampleEnumeratorFn, bool (*)(void*, bool (*)(void*, uint8_t*, int32_t), void*)>);

// Writes one record from the object's current state; answers the address after it.
using SampleWriterFn = uint8_t* (*)(SketchObject* object, const SampleWriteContext* context,
                                    uint8_t* record);

// familyData is one small value the writer's family hands out and its drawing and hit
// tests get back: the kind (straight objects, arcs), 1 for a circle interior and 0 for
// a circle, the vertex count as u16 (polygons); nothing for points. Sizes are 32-bit:
// a polygon record is 4 + 4 n bytes.
using SampleLayoutFn  = void (*)(const SketchObject* object, int32_t use, uint32_t* familyDataSize,
                                 uint32_t* recordSize);
using SampleWriterForFn = SampleWriterFn (*)(const SketchObject* object, int32_t use, void* familyData);
using SampleFinishFn  = void (*)();
using SampleDrawFn    = void (*)(GraphicsPort* port, SketchObject* object, const void* familyData,
                                 SampleEnumeratorFn enumerator, void* user);
using SampleHitTestFn = bool (*)(ScreenPoint point, SketchObject* object, const void* familyData,
                                 SampleEnumeratorFn enumerator, void* user);
using SampleHitRectFn = bool (*)(const ScreenRect* rect, SketchObject* object, const void* familyData,
                                 SampleEnumeratorFn enumerator, void* user);

struct ShapeFamilyRow {
    SampleLayoutFn    sampleLayout;
    SampleWriterForFn sampleWriter;
    SampleFinishFn    finisher;
    SampleDrawFn      draw;
    SampleDrawFn      drawSelected;
    SampleDrawFn      drawScaled;
    SampleHitTestFn   hitTest;
    SampleHitRectFn   hitTestRect;  // null: the caller tests the object's bounds
    uint16_t          weight;       // sixteenths of the default locus sample count
    int32_t           interiorKind; // kinds of this category get a quarter of the share
};

extern const ShapeFamilyRow ShapeFamilyOps[kShapeFamilyCount];

// Inside the box of a and b grown by 2 and closer than 4 pixels to their line.
bool ScreenSegmentHit(ScreenPoint a, ScreenPoint b, ScreenPoint point);

// The point hit rule over locus or iteration records: as dots (records of `use`), or
// as a curve of runs broken by state 0.
bool PointSamplesHit(ScreenPoint point, int32_t use, bool curve, SampleEnumeratorFn enumerator,
                     void* user);
bool PointSamplesInRect(const ScreenRect& rect, int32_t use, bool curve, SampleEnumeratorFn enumerator,
                        void* user);
