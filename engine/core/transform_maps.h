// Transformed images: the maps of the nineteen transformation construction types (and
// of the two other types that reuse their rows), built from an image's parents and
// construction data, and the five point-map operations the object classes move their
// points, lengths and directions through.
// Angles inside a map are screen angles: a positive angle turns +x towards +y, which
// the user sees as clockwise. Angles the user gives count the other way and enter a
// map negated.
#pragma once
#include <cstdint>

#include "engine/core/object_tables.h"
#include "engine/core/screen_types.h"

// The parameters of one transformation. The drag machinery keeps its per-frame drag
// map in this same layout and copies it word for word: 22 words, no padding. A map is
// filled only as far as its row asks; the row's operation reads nothing else.
struct TransformMap {
    double    dx;       // translation, pixels
    double    dy;       // translation, pixels, y downwards
    double    sin;      // rotation, screen orientation
    double    cos;
    double    ratio;    // dilation
    RealPoint center;   // of a rotation or dilation
    RealPoint mirrorA;  // two points of the mirror line
    RealPoint mirrorB;
};
static_assert(sizeof(TransformMap) == 22 * 4);

// Indexes of PointMapOps, the pointMapOp column of the rows.
constexpr uint32_t kMapTranslate = 0;
constexpr uint32_t kMapRotate    = 1;
constexpr uint32_t kMapDilate    = 2;
constexpr uint32_t kMapReflect   = 3;
constexpr uint32_t kMapCopy      = 4;

void TranslatePoints(const void* source, void* target, int32_t count, const TransformMap* map);
void RotatePoints(const void* source, void* target, int32_t count, const TransformMap* map);
void DilatePoints(const void* source, void* target, int32_t count, const TransformMap* map);
void ReflectPoints(const void* source, void* target, int32_t count, const TransformMap* map);
void CopyPoints(const void* source, void* target, int32_t count, const TransformMap* map);

extern const PointMapOp PointMapOps[5];

// Where the parameters of a row come from. The parents after the pre-image are
// consumed in the order of these bits as listed here, not of their values.
constexpr uint32_t kSourceQuarterTurn    = 0x10000;  // no parent: the first parent's first parent
constexpr uint32_t kSourceCenterPoint    = 0x0001;
constexpr uint32_t kSourceMirrorStraight = 0x0002;
constexpr uint32_t kSourceAngleValue     = 0x0004;
constexpr uint32_t kSourceAnglePoints    = 0x0008;   // P, V, Q
constexpr uint32_t kSourceRatioValue     = 0x0010;
constexpr uint32_t kSourceRatioPoints    = 0x0020;   // O, U, R
constexpr uint32_t kSourceRatioSegments  = 0x0040;   // numerator, denominator
constexpr uint32_t kSourceDistanceValue  = 0x0080;
constexpr uint32_t kSourceVerticalValue  = 0x0100;
constexpr uint32_t kSourceVectorPoints   = 0x0400;   // tail, head
constexpr uint32_t kSourceFixedAngle     = 0x0800;
constexpr uint32_t kSourceFixedRatio     = 0x1000;
constexpr uint32_t kSourceFixedDistance  = 0x2000;
constexpr uint32_t kSourceFixedVertical  = 0x4000;
constexpr uint32_t kSourcePolar          = 0x8000;   // angle and distance make (dx, dy)

// One row per transformation: rows 0..18 are construction types 20..38, row 19 type 58
// (a quarter turn), row 20 type 79 (the identity). The construction-data codec and the
// document reader's parent check read this same table.
struct TransformOpRecord {
    uint32_t pointMapOp;    // index into PointMapOps
    uint32_t sources;       // kSource* bits
    uint16_t parentCount;   // the pre-image included; 0 = not fixed by the row
    uint16_t fixedWords;    // 32-bit words of the construction data (TransformFixedValues)
    uint16_t compactWords;  // words of the same data in the compact file form
    uint16_t reserved;
};

constexpr int32_t kTransformOpCount = 21;
extern const TransformOpRecord TransformOpTable[kTransformOpCount];

// The entries of TransformFixedValues, in memory, one per fixed bit of the row in the
// order angle, ratio, distance, vertical.
struct FixedAngleEntry {
    double  sin;    // already negated: -sin of the user's angle in radians
    double  cos;
    double  angle;  // as the user gave it, in `unit`
    int32_t unit;   // 0 radians, 1 degrees, 2 directed degrees
    int32_t spare;
};
struct FixedDistanceEntry {
    double  pixels;  // a vertical entry keeps the user's sign: upwards positive
    double  value;   // as the user gave it, in `unit`
    int32_t unit;    // 0 pixels, 1 cm, 2 inches
    int32_t spare;
};
static_assert(sizeof(FixedAngleEntry) == 32 && sizeof(FixedDistanceEntry) == 24);

// The row of an object's construction type, or null when it is no transformation.
const TransformOpRecord* TransformRowOf(const SketchObject* object);

// Fills the map from the object's row, its parents (the pre-image first) and its
// construction data. False when a parameter is undefined, infinite or degenerate; the
// fields are written as far as the row's bits reach even then.
bool BuildTransformMap(const SketchObject* object, SketchObject* const* parents, TransformMap* map);

// The update routine of construction types 20..38.
void UpdateTransformedImage(SketchObject* image, SketchObject* const* parents);

// Conjugates a drag map (kind 0 translation, 1 rotation, 2 dilation) by the inverse of
// the object's transformation, so that a drag of the image moves its pre-image. A map
// that cannot be built makes the object not exist and leaves the drag map alone.
void InverseTransformPoint(int32_t kind, SketchObject* object, SketchObject* const* parents,
                           TransformMap* dragMap);

// A direction angle brought into (-pi, pi] by one step either way.
double NormalizeDirection(double angle);
