// The maps of transformations and the point-map operations that the object classes move
// their points through.
// Stand-in: only what a drag needs (the map record, translate, rotate and dilate, the
// transformation centre) until transformed images and marks are built; a drag through
// an image then pulls its pre-image back through the image's inverse map.
// Angles inside a map are screen angles: a positive angle turns +x towards +y.
#pragma once
#include <cstdint>

#include "engine/core/object_tables.h"
#include "engine/core/screen_types.h"

// The parameters of one transformation. The drag keeps its per-frame map in this same
// layout: 22 words, no padding.
struct TransformMap {
    double    dx;
    double    dy;
    double    sin;
    double    cos;
    double    ratio;
    RealPoint center;
    RealPoint mirrorA;
    RealPoint mirrorB;
};
static_assert(sizeof(TransformMap) == 22 * 4);

constexpr uint32_t kMapTranslate = 0;
constexpr uint32_t kMapRotate    = 1;
constexpr uint32_t kMapDilate    = 2;

void TranslatePoint(const TransformMap* map, RealPoint* point);
void RotatePoint(const TransformMap* map, RealPoint* point);
void DilatePoint(const TransformMap* map, RealPoint* point);

// Indexed by kMapTranslate, kMapRotate, kMapDilate (the drag modes).
extern const PointMapFn PointMapOps[3];

// Conjugates a drag map (kind 0 translation, 1 rotation, 2 dilation) by the inverse of
// the object's transformation, so that a drag of the image moves its pre-image.
// Stand-in: leaves the map alone until transformed images are built.
void InverseTransformPoint(int32_t kind, SketchObject* object, SketchObject* const* parents,
                           TransformMap* dragMap);

// The centre of a rotation (kind 1) or dilation (kind 2): the marked centre.
// Stand-in: the existing point of mark slot 0 only; the default centres come with marks.
bool GetTransformCenter(int32_t kind, RealPoint* center);
