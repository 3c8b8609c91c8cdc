// The engine's constant type tables and the kind lattice.
#include "engine/core/object_tables.h"

#include "engine/core/services/action_buttons.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/services/measurements.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/services/tables.h"
#include "engine/core/services/text_objects.h"

#include <iterator>

#include "engine/core/action_button_data.h"
#include "engine/core/arc_objects.h"
#include "engine/core/circle_objects.h"
#include "engine/core/iterations.h"
#include "engine/core/locus.h"
#include "engine/core/parametric_color.h"
#include "engine/core/paths.h"
#include "engine/core/picture_objects.h"
#include "engine/core/point_objects.h"
#include "engine/core/polygon_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/straight_object_ops.h"
#include "engine/core/transform_maps.h"

namespace {

// Classes whose class data is laid out get exactly their header and data: a drag walks
// thousands of objects, and every byte more spreads them over more cache lines.
template <typename T>
constexpr uint32_t kSizeWith = uint32_t(sizeof(SketchObject) + sizeof(T));
// The value classes' records are the calculation code's; the room is reserved here.
constexpr uint32_t kMeasurementSize = uint32_t(sizeof(SketchObject)) + kMeasurementDataBytes;
constexpr uint32_t kCalculationSize = uint32_t(sizeof(SketchObject)) + kCalculationDataBytes;

}  // namespace

// One row per object class. Routine slots that the class's own geometry, drawing or text
// code fills are null until that code exists (each such row is marked).
const ObjectClassRecord ObjectClassTable[kClassCount] = {
    // Each row: id, size, shape family;
    //   draw, drawSelected, drawScaled, refreshTextMetrics;
    //   hitTest, hitTestRect, initExtra, freeExtra;
    //   transferGeometry, copyGeometry, transform, imageClass, transferClassData;
    //   labelFollowsGeometry, drawLayer, traceable, hasLineStyle, textLike, usesCoreExtent,
    //   textFamily, intersectable, placementGroup;
    //   getDisplayParts, textEditOps, colorSlot.
    // caption
    {  0, kSizeWith<CaptionData>,     6,
      DrawTextObject,     DrawTextObjectSelection, DrawCaptionScaled,  InvalidateCaptionLayout,
      HitByBounds,     InRectByBounds,      InitCaptionObject,   FreeCaptionObject,
      TransferRectGeometry,     nullptr,           TransformRectGeometry,  0, TransferCaptionData,
      LabelDoesNotFollow,  8, 0, 0, 1, 0, 1,  0, 0,
      CaptionDisplayPartsOf, &CaptionTextEditOps,  9 },
    // point
    {  1, kSizeWith<PointData>,       0,
      DrawPointObject,    DrawPointSelection,      DrawPointScaled,    nullptr,
      HitByBounds,     InRectByBounds,      nullptr,             nullptr,
      TransferPointGeometry,    CopyPointGeometry, TransformPoint,         1, nullptr,
      LabelFollows,       10, 1, 0, 0, 0, 0,  0, 3,
      DefaultDisplayPartsOf, nullptr,  0 },
    // straight object
    {  2, kSizeWith<StraightData>,    1,
      DrawStraightObject, DrawStraightSelection,   DrawStraightScaled, nullptr,
      StraightHitTest, StraightHitTestRect, nullptr,             nullptr,
      TransferStraightGeometry, nullptr,           TransformStraight,      2, nullptr,
      LabelFollows,        6, 1, 1, 0, 1, 0, -1, 3,
      DefaultDisplayPartsOf, nullptr,  1 },
    // circle
    {  3, kSizeWith<CircleData>,      2,
      DrawCircleObject,   DrawCircleSelection,     DrawCircleScaled,   nullptr,
      CircleHitTest,   CircleHitTestRect,   nullptr,             nullptr,
      TransferCircleGeometry,   nullptr,           TransformCircle,        3, nullptr,
      LabelFollows,        6, 1, 1, 0, 0, 0, -1, 3,
      DefaultDisplayPartsOf, nullptr,  2 },
    // polygon interior
    {  4, kSizeWith<PolygonData>,     3,
      DrawPolygonInterior, DrawPolygonSelection,   DrawPolygonScaled,  nullptr,
      PolygonHitTest,  PolygonHitTestRect,  InitPolygon,         FreePolygon,
      TransferPolygonGeometry,  nullptr,           TransformPolygon,       4, nullptr,
      LabelFollows,        2, 1, 0, 0, 0, 0,  0, 3,
      DefaultDisplayPartsOf, nullptr,  3 },
    // circle interior
    {  5, kSizeWith<CircleData>,      2,
      DrawCircleInterior, DrawCircleInteriorSelection, DrawDiscScaled, nullptr,
      DiscHitTest,     CircleHitTestRect,   nullptr,             nullptr,
      TransferCircleGeometry,   nullptr,           TransformCircle,        5, nullptr,
      LabelFollows,        2, 1, 0, 0, 0, 0,  0, 3,
      DefaultDisplayPartsOf, nullptr,  3 },
    // locus
    {  6, kSizeWith<LocusData>,       6,
      DrawLocus,          DrawLocusSelected,       DrawLocusScaled,    nullptr,
      LocusHitTest,    LocusHitTestRect,    LocusInitExtra,      LocusFreeExtra,
      nullptr,                  nullptr,           nullptr,                6, TransferLocusData,
      LocusHasOwnLabel,   12, 1, 1, 0, 1, 0,  0, 3,
      DefaultDisplayPartsOf, nullptr,  5 },
    // measurement
    {  7, kMeasurementSize,           6,
      DrawTextObject,     DrawTextObjectSelection, DrawCaptionScaled,  InvalidateCaptionLayout,
      HitByBounds,     InRectByBounds,      InitMeasurementData, FreeMeasurementData,
      TransferRectGeometry,     nullptr,           TransformRectGeometry,  7, TransferMeasurementData,
      LabelDoesNotFollow,  8, 0, 0, 1, 0, 2,  0, 0,
      MeasurementDisplayPartsOf, &CaptionTextEditOps,  9 },
    // coordinate system
    {  8, kSizeWith<CoordSystemData>, 6,
      DrawCoordinateGrid, DrawCoordinateGridSelection, DrawCoordSystemForPrint, nullptr,
      CoordSystemHitTest, nullptr,          InitCoordSystemData, nullptr,
      nullptr,                  nullptr,           nullptr,                8, TransferCoordSystemData,
      LabelDoesNotFollow,  4, 0, 1, 0, 1, 0,  0, 3,
      DefaultDisplayPartsOf, nullptr,  8 },
    // axis
    {  9, kSizeWith<AxisData>,        6,
      DrawAxisObject,     DrawAxisSelection,       DrawAxisScaled,     nullptr,
      StraightHitTest, StraightHitTestRect, InitAxis,            nullptr,
      nullptr,                  nullptr,           TransformStraight,      2, TransferAxisData,
      LabelFollows,        5, 1, 1, 0, 1, 0, -1, 3,
      DefaultDisplayPartsOf, nullptr,  1 },
    // action button
    { 10, kSizeWith<ActionButtonData>, 6,
      DrawActionButton,   DrawActionButtonSelection, DrawActionButtonScaled, ActionButtonFrameMetrics,
      HitByBounds,     InRectByBounds,      InitActionButton,    FreeActionButton,
      TransferRectGeometry,     nullptr,           TransformRectGeometry, 10, TransferActionButtonData,
      LabelDoesNotFollow,  9, 0, 0, 1, 0, 3,  0, 1,
      DefaultDisplayPartsOf, nullptr, 10 },
    // calculation, parameter, function
    { 11, kCalculationSize,           6,
      DrawTextObject,     DrawTextObjectSelection, DrawCaptionScaled,  InvalidateCaptionLayout,
      HitByBounds,     InRectByBounds,      InitCalculationData, FreeCalculationData,
      TransferRectGeometry,     CopyCalculationValue, TransformRectGeometry, 11, TransferCalculationData,
      LabelDoesNotFollow,  8, 0, 0, 1, 0, 2,  0, 0,
      CalculationDisplayPartsOf, &CaptionTextEditOps,  9 },
    // arc
    { 12, kSizeWith<ArcData>,         4,
      DrawArcObject,      DrawArcSelection,        DrawArcScaled,      nullptr,
      ArcHitTest,      ArcHitTestRect,      nullptr,             nullptr,
      TransferArcGeometry,      nullptr,           TransformArc,          12, nullptr,
      LabelFollows,        6, 1, 1, 0, 0, 0, -1, 3,
      DefaultDisplayPartsOf, nullptr,  2 },
    // arc interior
    { 13, kSizeWith<ArcData>,         4,
      DrawArcInterior,    DrawArcInteriorSelection, DrawArcScaled,     nullptr,
      ArcInteriorHitTest, ArcHitTestRect,   nullptr,             nullptr,
      TransferArcGeometry,      nullptr,           TransformArc,          13, nullptr,
      LabelFollows,        2, 1, 0, 0, 0, 0,  0, 3,
      DefaultDisplayPartsOf, nullptr,  3 },
    // iteration
    { 14, kSizeWith<IterationData>,   6,
      DrawNothing,        nullptr,                 nullptr,            nullptr,
      NeverHit,        nullptr,             InitIterationData,   FreeIterationData,
      nullptr,                  nullptr,           nullptr,               14, TransferIterationData,
      LabelDoesNotFollow,  0, 0, 0, 0, 0, 7,  0, 3,
      DefaultDisplayPartsOf, nullptr,  9 },
    // iterated image
    { 15, kSizeWith<IteratedImageData>, 6,
      DrawIteratedImage,  DrawIteratedImageSelected, DrawIteratedImageScaled, nullptr,
      HitTestIteratedImage, HitTestIteratedImageRect, InitIteratedImage, FreeIteratedImage,
      nullptr,                  nullptr,           nullptr,               15, nullptr,
      LabelDoesNotFollow, 12, 1, 1, 0, 1, 7,  0, 3,
      DefaultDisplayPartsOf, nullptr,  9 },
    // picture
    { 16, kSizeWith<PictureData>,     6,
      DrawPictureObject,  DrawPictureSelection,    DrawPictureForPrint, nullptr,
      HitByBounds,     InRectByBounds,      InitPictureExtra,    FreePictureExtra,
      TransferRectGeometry,     nullptr,           TransformRectGeometry, 16, TransferPictureData,
      LabelDoesNotFollow,  1, 0, 0, 0, 0, 7,  0, 1,
      DefaultDisplayPartsOf, nullptr,  9 },
    // table
    { 17, kSizeWith<TableData>,       6,
      DrawTableObject,    DrawTableSelection,      DrawTableForPrint,  RelayoutTableCells,
      HitByBounds,     InRectByBounds,      InitTableData,       FreeTableData,
      TransferRectGeometry,     nullptr,           TransformRectGeometry, 17, TransferTableData,
      LabelDoesNotFollow,  7, 0, 0, 1, 0, 4,  0, 0,
      DefaultDisplayPartsOf, &TableTextEditOps,  9 },
};
static_assert(std::size(ObjectClassTable) == kClassCount);

// One row per construction type:
//   code, class, kind, duplicate rule, distinct parents, parent kinds index, transform op,
//   measure function, description template (above 105: built by code), implicit parent,
//   update, streamExtra, flags, orientation parent, text slots, non-existence reason,
//   drag codes [translate, rotate, dilate][parent 0..3, 4 and later].
const ConstructionTypeRecord ConstructionTypeTable[kConstructionTypeCount] = {
    // 0 free object
    {  0,             1,            4, 0,     0,   0, 21, 19, 111, 0,
      UpdateFreeObject,              nullptr,                   0x2, 0xffff, 0xfffe,  1,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 1 midpoint
    {  1,             1,           11, 1,     0,   1, 21, 18,   1, 0,
      UpdateMidpoint,                nullptr,                0x1009, 0xffff, 0xffff,  1,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 2 segment
    {  2,             2,           14, 4,  0xff,   2, 21, 18,   2, 0,
      UpdateStraightByPoints,        nullptr,                0x4c11, 0xffff, 0xffff,  6,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 3 circle by centre and point
    {  3,             3,           22, 1,  0xff,   2, 21, 18,   5, 0,
      UpdateCircleByPoint,           nullptr,                0x4001, 0xffff, 0xffff,  6,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 4 circle by centre and radius
    {  4,             3,           22, 1,     0,   4, 21, 18,   6, 0,
      UpdateCircleByRadius,          nullptr,                  0x41, 0xffff, 0xffff,  1,
      {{0,2,0,0,0}, {0,2,0,0,0}, {0,0,0,0,0}} },
    // 5 perpendicular line
    {  5,             2,           42, 1,     0,   6, 21, 18,   7, 0,
      UpdatePerpendicular,           nullptr,                 0x401,      1, 0xffff,  1,
      {{0,2,0,0,0}, {0,0,0,0,0}, {0,2,0,0,0}} },
    // 6 parallel line
    {  6,             2,           41, 1,     0,   6, 21, 18,   8, 0,
      UpdateParallel,                nullptr,                 0x401,      1, 0xffff,  1,
      {{0,2,0,0,0}, {0,0,0,0,0}, {0,2,0,0,0}} },
    // 7 angle bisector
    {  7,             2,           39, 1, 0x60c,   2, 21, 18,   9, 0,
      UpdateAngleBisector,           nullptr,                 0x801, 0xffff, 0xffff, 11,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 8 polygon interior
    {  8,             4,           15, 1,   0x1,   2, 21, 18,  10, 0,
      UpdatePolygon,                 nullptr,                   0x1, 0xffff, 0xffff,  1,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 9 intersection of two straights
    {  9,             1,           40, 5,  0xff,   8, 21, 18,  11, 0,
      UpdateIntersectStraights,      nullptr,                0x1009, 0xffff, 0xffff,  5,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 10 circle interior
    { 10,             5,           16, 1,     0,  10, 21, 18,  12, 0,
      UpdateCircleInterior,          nullptr,                0x4001, 0xffff, 0xffff,  1,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 11 straight and circle, side 1
    { 11,             1,           40, 1,     0,  11, 21, 18,  11, 0,
      UpdateIntersectStraightCircle, nullptr,                0x1009, 0xffff, 0xffff,  5,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 12 straight and circle, side 2
    { 12,             1,           40, 1,     0,  11, 21, 18,  11, 0,
      UpdateIntersectStraightCircle, nullptr,                0x1009, 0xffff, 0xffff,  5,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 13 two circles, side 1
    { 13,             1,           40, 1,  0xff,  13, 21, 18,  11, 0,
      UpdateIntersectCircles,        nullptr,                   0x9, 0xffff, 0xffff,  5,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 14 two circles, side 2
    { 14,             1,           40, 1,  0xff,  13, 21, 18,  11, 0,
      UpdateIntersectCircles,        nullptr,                   0x9, 0xffff, 0xffff,  5,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 15 point on a path
    { 15,             1,           10, 0,     0,  15, 21, 18,  13, 0,
      UpdatePointOnPath,             TransferPathParameter,  0x100d, 0xffff, 0xffff,  7,
      {{2,0,0,0,0}, {2,0,0,0,0}, {2,0,0,0,0}} },
    // 16 iteration rule
    { 76,            14,           51, 0,     0, 108, 21, 18, 114, 0,
      UpdateIteration,               nullptr,               0x40020, 0xffff, 0xffff,  1,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 17 iteration rule to a depth
    { 89,            14,           51, 0,     0, 108, 21, 18, 114, 0,
      UpdateIterationByValue,        nullptr,               0x40020, 0xffff, 0xffff,  1,
      {{4,0,0,0,0}, {4,0,0,0,0}, {4,0,0,0,0}} },
    // 18 iterated image
    { 77,            15,           52, 1,     0,  20, 21, 18,  18, 0,
      UpdateIteratedImage,           nullptr,               0x18100, 0xffff, 0xffff,  1,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 19 final iterated point
    { 88,             1,            4, 1,     0,  22, 21, 18,  19, 0,
      UpdateFinalIteratedPoint,      nullptr,                 0x108, 0xffff, 0xffff,  1,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 20 translation by vector
    { 16, kClassOfImage, kKindOfImage, 1,   0x6,  16,  0, 18,  20, 0,
      UpdateTransformedImage,        nullptr,                0x101,      0, 0xffff,  1,
      {{1,2,2,0,0}, {1,3,3,0,0}, {1,3,3,0,0}} },
    // 21 translation fixed h and v
    { 17, kClassOfImage, kKindOfImage, 3,     0,  19,  1, 18,  21, 0,
      UpdateTransformedImage,        TransferTransformData,  0x101,      0, 0xffff,  1,
      {{1,0,0,0,0}, {1,0,0,0,0}, {1,0,0,0,0}} },
    // 22 translation fixed h, marked v
    { 18, kClassOfImage, kKindOfImage, 2,     0,  23,  2, 18,  22, 0,
      UpdateTransformedImage,        TransferTransformData,  0x141,      0, 0xffff,  4,
      {{1,4,0,0,0}, {1,4,0,0,0}, {1,4,0,0,0}} },
    // 23 translation marked h, fixed v
    { 19, kClassOfImage, kKindOfImage, 2,     0,  23,  3, 18,  23, 0,
      UpdateTransformedImage,        TransferTransformData,  0x141,      0, 0xffff,  4,
      {{1,4,0,0,0}, {1,4,0,0,0}, {1,4,0,0,0}} },
    // 24 translation marked h and v
    { 20, kClassOfImage, kKindOfImage, 1,     0,  25,  4, 18,  24, 0,
      UpdateTransformedImage,        nullptr,                0x141,      0, 0xffff,  4,
      {{1,4,4,0,0}, {1,4,4,0,0}, {1,4,4,0,0}} },
    // 25 translation fixed distance and angle
    { 21, kClassOfImage, kKindOfImage, 3,     0,  19,  5, 18,  25, 0,
      UpdateTransformedImage,        TransferTransformData,  0x101,      0, 0xffff,  1,
      {{1,0,0,0,0}, {1,0,0,0,0}, {1,0,0,0,0}} },
    // 26 translation fixed distance, marked angle
    { 22, kClassOfImage, kKindOfImage, 2,   0xe,  16,  6, 18,  26, 0,
      UpdateTransformedImage,        TransferTransformData,  0x101,      0, 0xffff, 14,
      {{1,2,2,2,0}, {1,2,2,2,0}, {1,2,2,2,0}} },
    // 27 translation fixed distance in a direction
    { 23, kClassOfImage, kKindOfImage, 2,     0,  23,  7, 18,  27, 0,
      UpdateTransformedImage,        TransferTransformData,  0x141,      0, 0xffff,  4,
      {{1,4,0,0,0}, {1,4,0,0,0}, {1,4,0,0,0}} },
    // 28 translation marked distance, fixed angle
    { 24, kClassOfImage, kKindOfImage, 2,     0,  23,  8, 18,  28, 0,
      UpdateTransformedImage,        TransferTransformData,  0x141,      0, 0xffff,  4,
      {{1,4,0,0,0}, {1,4,0,0,0}, {1,4,0,0,0}} },
    // 29 translation marked distance, marked angle
    { 25, kClassOfImage, kKindOfImage, 1,  0x1c,  28,  9, 18,  29, 0,
      UpdateTransformedImage,        nullptr,                0x141,      0, 0xffff, 13,
      {{1,2,2,2,4}, {1,2,2,2,4}, {1,2,2,2,4}} },
    // 30 translation marked distance in a direction
    { 26, kClassOfImage, kKindOfImage, 1,     0,  25, 10, 18,  30, 0,
      UpdateTransformedImage,        nullptr,                0x141,      0, 0xffff,  4,
      {{1,4,4,0,0}, {1,4,4,0,0}, {1,4,4,0,0}} },
    // 31 rotation by a fixed angle
    { 27, kClassOfImage, kKindOfImage, 6,     0,  33, 11, 18,  31, 0,
      UpdateTransformedImage,        TransferTransformData,  0x101,      0, 0xffff,  1,
      {{1,3,0,0,0}, {1,3,0,0,0}, {1,3,0,0,0}} },
    // 32 rotation by a marked angle
    { 28, kClassOfImage, kKindOfImage, 1,  0x38,  16, 12, 18,  32, 0,
      UpdateTransformedImage,        nullptr,                0x101,      0, 0xffff, 14,
      {{1,3,2,2,2}, {1,3,2,2,2}, {1,3,2,2,2}} },
    // 33 rotation by a measured angle
    { 29, kClassOfImage, kKindOfImage, 1,     0,  39, 13, 18,  33, 0,
      UpdateTransformedImage,        nullptr,                0x141,      0, 0xffff,  4,
      {{1,3,4,0,0}, {1,3,4,0,0}, {1,3,4,0,0}} },
    // 34 dilation by a fixed ratio
    { 30, kClassOfImage, kKindOfImage, 2,     0,  33, 14, 18,  34, 0,
      UpdateTransformedImage,        TransferTransformData,  0x101,      0, 0xffff,  1,
      {{1,3,0,0,0}, {1,3,0,0,0}, {1,3,0,0,0}} },
    // 35 dilation by a segment ratio
    { 31, kClassOfImage, kKindOfImage, 1,  0x18,  35, 15, 18,  35, 0,
      UpdateTransformedImage,        nullptr,                0x101,      0, 0xffff,  1,
      {{1,3,4,4,0}, {1,3,4,4,0}, {1,3,4,4,0}} },
    // 36 dilation by a three-point ratio
    { 32, kClassOfImage, kKindOfImage, 1,  0x38,  16, 16, 18,  36, 0,
      UpdateTransformedImage,        nullptr,                0x101,      0, 0xffff, 15,
      {{1,3,2,2,2}, {1,3,2,2,2}, {1,3,2,2,2}} },
    // 37 dilation by a measured ratio
    { 33, kClassOfImage, kKindOfImage, 1,     0,  39, 17, 18,  37, 0,
      UpdateTransformedImage,        nullptr,                0x141,      0, 0xffff,  4,
      {{1,3,4,0,0}, {1,3,4,0,0}, {1,3,4,0,0}} },
    // 38 reflection
    { 34, kClassOfImage, kKindOfImage, 7,     0,  42, 18, 18,  38, 0,
      UpdateTransformedImage,        nullptr,                0x101,      0, 0xffff,  1,
      {{1,3,0,0,0}, {1,3,0,0,0}, {1,3,0,0,0}} },
    // 39 locus
    { 35,             6, kKindOfLocus, 1,     0,  44, 21, 18,  39, 0,
      UpdatePointLocus,              nullptr,                     0, 0xffff, 0xffff,  1,
      {{0,2,2,2,2}, {0,2,2,2,2}, {0,2,2,2,2}} },
    // 40 length
    { 36,             7,           43, 0,     0,   1, 21,  0,  40, 0,
      UpdateMeasurement,             nullptr,                     0, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 41 distance between points
    { 37,             7,           43, 0,     0,   2, 21,  1,  41, 0,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 42 distance from point to straight
    { 38,             7,           43, 0,     0,   6, 21,  2,  73, 0,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 43 perimeter
    { 39,             7,           43, 0,     0,  47, 21,  3,  42, 0,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 44 circumference
    { 40,             7,           43, 0,     0,  48, 21,  4,  43, 0,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 45 angle
    { 41,             7,           44, 0, 0x60c,   2, 21,  5,  44, 0,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 46 area
    { 42,             7,           45, 0,     0,  49, 21,  6,  45, 0,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 47 arc angle
    { 43,             7,           44, 0,     0,  50, 21,  7, 109, 0,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 48 arc length
    { 44,             7,           43, 0,     0,  50, 21,  8, 108, 0,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 49 slope
    { 45,             7,           46, 0,     0,  99, 21,  9,  50, 0,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 50 radius
    { 46,             7,           43, 0,     0,  57, 21, 10,  51, 0,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 51 ratio
    { 47,             7,           46, 0,     0,  58, 21, 11, 107, 0,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 52 calculation
    { 48,            11,           28, 0,     0,  65, 21, 12, 112, 0,
      UpdateMeasurement,             nullptr,                  0x41, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 53 coordinates
    { 49,             0,           29, 0,     0,  67, 21, 18,  55, 2,
      UpdateCoordinateMeasurement,   nullptr,                   0x1, 0xffff,      7,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 54 linear equation
    { 50,             0,           31, 0,     0,  69, 21, 18,  56, 2,
      UpdateCoordinateMeasurement,   nullptr,                   0x1, 0xffff,     13,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 55 quadratic equation
    { 51,             0,           32, 0,     0,  71, 21, 18,  56, 2,
      UpdateCoordinateMeasurement,   nullptr,                   0x1, 0xffff,     37,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 56 horizontal unit point
    { 52,             1,           35, 1,     0,  98, 21, 18,  57, 0,
      UpdateAxisUnitPoint,           TransferUnitDistance,  0x10005, 0xffff, 0xffff,  1,
      {{2,4,4,4,4}, {2,4,4,4,4}, {2,4,4,4,4}} },
    // 57 vertical unit point
    { 53,             1,           35, 1,     0,  98, 21, 18,  58, 0,
      UpdateAxisUnitPoint,           TransferUnitDistance,  0x10005, 0xffff, 0xffff,  1,
      {{2,4,4,4,4}, {2,4,4,4,4}, {2,4,4,4,4}} },
    // 58 square unit point
    { 54,             1,           35, 1,     0,  73, 19, 18,  58, 0,
      UpdateOtherAxisUnitPoint,      TransferUnitDistance,   0x8001, 0xffff, 0xffff,  1,
      {{1,4,4,4,4}, {1,4,4,4,4}, {1,4,4,4,4}} },
    // 59 rectangular unit point
    { 55,             1,           35, 1,     0,  73, 21, 18,  58, 0,
      UpdateOtherAxisUnitPoint,      TransferUnitDistance,   0x8005, 0xffff, 0xffff,  1,
      {{2,4,4,4,4}, {2,4,4,4,4}, {2,4,4,4,4}} },
    // 60 square unit point on axes
    { 56,             1,           35, 1,     0,  74, 21, 18,  58, 0,
      UpdateOtherAxisUnitPoint,      TransferUnitDistance,   0x8001, 0xffff, 0xffff,  1,
      {{0,4,4,4,4}, {0,4,4,4,4}, {0,4,4,4,4}} },
    // 61 rectangular unit point on axes
    { 57,             1,           35, 1,     0,  74, 21, 18,  58, 0,
      UpdateOtherAxisUnitPoint,      TransferUnitDistance,   0x8005, 0xffff, 0xffff,  1,
      {{2,4,4,4,4}, {2,4,4,4,4}, {2,4,4,4,4}} },
    // 62 axis by centre and unit point
    { 58,             9,           33, 0,     0,   2, 21, 18,  59, 0,
      UpdateAxis,                    nullptr,               0x20421, 0xffff, 0xffff,  1,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 63 axis by centre and unit distance
    { 59,             9,           33, 0,     0,   4, 21, 18,  59, 0,
      UpdateAxis,                    nullptr,                 0x461, 0xffff, 0xffff,  9,
      {{0,4,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 64 axis of a unit circle
    { 60,             9,           33, 0,     0,  10, 21, 18,  60, 0,
      UpdateAxis,                    nullptr,                  0x21, 0xffff, 0xffff, 10,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 65 coordinate system
    { 61,             8,           34, 1,     0,  75, 21, 18,  61, 0,
      UpdateCoordSystem,             nullptr,                0x8020, 0xffff, 0xffff,  1,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 66 action button
    { 62,            10,           20, 0,  0xff, 108, 21, 18, 110, 0,
      UpdateNothing,                 TransferMotionParams,        0, 0xffff, 0xffff,  0,
      {{7,7,7,7,7}, {7,7,7,7,7}, {7,7,7,7,7}} },
    // 67 line
    { 63,             2,           12, 4,  0xff,   2, 21, 18,   4, 0,
      UpdateStraightByPoints,        nullptr,                0x4c11, 0xffff, 0xffff,  6,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 68 ray
    { 64,             2,           13, 1,  0xff,   2, 21, 18,   3, 0,
      UpdateStraightByPoints,        nullptr,                0x4c01, 0xffff, 0xffff,  6,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 69 abscissa
    { 65,             7,           46, 0,     0,  67, 21, 13,  62, 2,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 70 ordinate
    { 66,             7,           46, 0,     0,  67, 21, 14,  63, 2,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 71 plotted point, fixed rectangular
    { 67,             1,           53, 3,     0,  77, 21, 18,  64, 0,
      UpdatePlottedPoint,            TransferPlottedValues,     0x1, 0xffff, 0xffff,  1,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 72 plotted point, fixed polar
    { 68,             1,           53, 3,     0,  77, 21, 18,  65, 0,
      UpdatePlottedPoint,            TransferPlottedValues,     0x1, 0xffff, 0xffff,  1,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 73 plotted point, measured rectangular
    { 69,             1,           53, 3,     0,  78, 21, 18,  66, 3,
      UpdatePlottedPoint,            nullptr,                   0x1, 0xffff, 0xffff,  4,
      {{4,4,0,0,0}, {4,4,0,0,0}, {4,4,0,0,0}} },
    // 74 plotted point, measured polar
    { 70,             1,           53, 3,     0,  78, 21, 18,  67, 3,
      UpdatePlottedPoint,            nullptr,                  0x41, 0xffff, 0xffff,  4,
      {{4,4,0,0,0}, {4,4,0,0,0}, {4,4,0,0,0}} },
    // 75 function
    { 71,            11,           54, 0,     0,  65, 21, 15,  68, 0,
      UpdateFunctionLayout,          nullptr,                 0x201, 0xffff,      1,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 76 function plot
    { 72,             6,           55, 1,     0,  81, 21, 18, 113, 2,
      UpdateFunctionPlot,            nullptr,                   0x1, 0xffff, 0xffff,  1,
      {{4,0,0,0,0}, {4,0,0,0,0}, {4,0,0,0,0}} },
    // 77 merged text
    { 73,             0,           56, 0,     0,  83, 21, 18,  70, 0,
      RefreshMergedText,             nullptr,                  0x81, 0xffff, 0xfffe,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 78 polar coordinates
    { 74,             0,           29, 0,     0,  67, 21, 18,  72, 0,
      UpdateCoordinateMeasurement,   nullptr,                   0x1, 0xffff,      8,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 79 parametrically coloured image
    { 75, kClassOfImage, kKindOfImage, 1,     0,  25, 20, 18, 115, 0,
      UpdateParametricColorImage,    TransferParametricColorData, 0x101, 0, 0xffff,  4,
      {{0,6,6,6,6}, {0,6,6,6,6}, {0,6,6,6,6}} },
    // 80 derivative
    { 78,            11,           59, 9,     0,  85, 21, 15,  95, 0,
      UpdateFunctionLayout,          nullptr,                 0x201, 0xffff,      1,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 81 arc on a circle
    { 79,            12,           24, 1,   0x6,  54, 21, 18,  87, 0,
      UpdateArcOnCircle,             nullptr,                0x6001, 0xffff, 0xffff, 10,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 82 arc by centre and points
    { 80,            12,           24, 1,   0xe,   2, 21, 18,  88, 0,
      UpdateArcByCentre,             nullptr,                0x6001, 0xffff, 0xffff,  1,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 83 arc through three points
    { 81,            12,           24, 1,   0xe,   2, 21, 18,  89, 0,
      UpdateArcThroughPoints,        nullptr,                0x4001, 0xffff, 0xffff, 12,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 84 arc sector
    { 82,            13,           26, 1,     0,  86, 21, 18,  90, 0,
      UpdateArcInterior,             nullptr,                0x4001, 0xffff, 0xffff,  8,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 85 arc segment
    { 83,            13,           27, 1,     0,  86, 21, 18,  91, 0,
      UpdateArcInterior,             nullptr,                0x4001, 0xffff, 0xffff,  8,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 86 picture at a point
    { 84,            16,           61, 0,     0,  98, 21, 18,  96, 0,
      UpdatePictureAtPoint,          nullptr,                   0x3, 0xffff, 0xffff,  1,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 87 picture between points
    { 85,            16,           61, 0,   0x6,   2, 21, 18,  97, 0,
      UpdatePictureBetweenPoints,    nullptr,                   0x3, 0xffff, 0xffff,  6,
      {{0,0,0,0,0}, {0,0,0,0,0}, {0,0,0,0,0}} },
    // 88 coordinate distance
    { 86,             7,           46, 0,     0,  87, 21, 16, 102, 3,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 89 slope on a coordinate system
    { 87,             7,           46, 0,     0,  69, 21, 17, 103, 2,
      UpdateMeasurement,             nullptr,                   0x1, 0xffff,      6,  1,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 90 pegged text
    { 90,             0,           56, 0,     0,  90, 21, 18,  71, 0,
      FollowPeggedPoint,             nullptr,                  0x81, 0xffff,      4,  1,
      {{0,2,5,5,5}, {0,2,5,5,5}, {0,2,5,5,5}} },
    // 91 table of measurements
    { 91,            17,           66, 1,     0,  93, 21, 18, 104, 0,
      UpdateTable,                   nullptr,                  0x80, 0xffff, 0xffff,  0,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
    // 92 table of iterated values
    { 92,            17,           67, 1,     0,  95, 21, 18, 105, 0,
      UpdateIterationTable,          nullptr,                  0x80, 0xffff, 0xffff,  0,
      {{5,5,5,5,5}, {5,5,5,5,5}, {5,5,5,5,5}} },
};
static_assert(std::size(ConstructionTypeTable) == kConstructionTypeCount);

// One row per object kind: code, parent kind (union kinds: first member), shape kind
// (union kinds: second member), path class, match group, image takes the parent's kind.
// Parents have lower numbers than their children; the noun of kind k is item 3(k-1) of
// string group 0.
const ObjectKindRecord ObjectKindTable[kObjectKindCount] = {
    {  0,  0,  0, kNotAPath, kNoMatchGroup, 0 },  //  0 "(none)"
    {  1,  0,  1, kNotAPath, kNoMatchGroup, 0 },  //  1 "Object"
    {  2,  1,  2, kNotAPath, kNoMatchGroup, 0 },  //  2 "Object"
    {  3,  2,  3, kNotAPath, kNoMatchGroup, 0 },  //  3 "Object"
    {  4,  3,  4, kNotAPath, kNoMatchGroup, 0 },  //  4 "Point"
    {  5,  2,  5, kNotAPath,             0, 0 },  //  5 "Path Object"
    {  6,  5,  6, kNotAPath,             0, 0 },  //  6 "Path Object"
    {  7,  6,  7, kNotAPath,             0, 0 },  //  7 "Straight Object"
    {  8,  6,  8, kNotAPath,             3, 0 },  //  8 "Curve"
    {  9,  6,  9, kNotAPath, kNoMatchGroup, 0 },  //  9 "Interior"
    { 10,  4, 10, kNotAPath, kNoMatchGroup, 1 },  // 10 "Point"
    { 11,  4,  4, kNotAPath, kNoMatchGroup, 1 },  // 11 "Midpoint"
    { 12,  7, 12,         2,             2, 0 },  // 12 "Line"
    { 13,  7, 13,         1,             1, 0 },  // 13 "Ray"
    { 14,  7, 14,         0,             0, 0 },  // 14 "Segment"
    { 15,  9, 15,         3, kNoMatchGroup, 0 },  // 15 "Polygon Interior"
    { 16,  9, 16,         4, kNoMatchGroup, 0 },  // 16 "Circle Interior"
    { 17,  1, 17, kNotAPath, kNoMatchGroup, 0 },  // 17 "Text"
    { 18, 17, 18, kNotAPath, kNoMatchGroup, 0 },  // 18 "Measurement"
    { 19, 17, 19, kNotAPath, kNoMatchGroup, 0 },  // 19 "Caption"
    { 23,  1, 20, kNotAPath, kNoMatchGroup, 0 },  // 20 "Action Button"
    { 27, 17, 21, kNotAPath, kNoMatchGroup, 0 },  // 21 "Analytic Measure"
    { 28,  8, 22,         4,             3, 0 },  // 22 "Circle"
    { 66,  8, 23, kNotAPath, kNoMatchGroup, 0 },  // 23 "Arc"
    { 67, 23, 24,         6, kNoMatchGroup, 0 },  // 24 "Arc"
    { 71, 23, 25,         6, kNoMatchGroup, 0 },  // 25 "Arc Interior"
    { 68, 25, 26,         6, kNoMatchGroup, 0 },  // 26 "Arc Sector"
    { 69, 25, 27,         6, kNoMatchGroup, 0 },  // 27 "Arc Segment"
    { 33, 18, 28, kNotAPath, kNoMatchGroup, 0 },  // 28 "Measurement"
    { 34, 21, 29, kNotAPath, kNoMatchGroup, 0 },  // 29 "Coordinates"
    { 35, 21, 30, kNotAPath, kNoMatchGroup, 0 },  // 30 "Equation"
    { 36, 30, 31, kNotAPath, kNoMatchGroup, 0 },  // 31 "Linear Equation"
    { 37, 30, 32, kNotAPath, kNoMatchGroup, 0 },  // 32 "Quadratic Equation"
    { 38, 12, 33,         2, kNoMatchGroup, 1 },  // 33 "Axis"
    { 39,  2, 34, kNotAPath, kNoMatchGroup, 0 },  // 34 "Coordinate System"
    { 40,  4, 35, kNotAPath, kNoMatchGroup, 1 },  // 35 "Unit Point"
    { 41,  4,  4, kNotAPath, kNoMatchGroup, 1 },  // 36 "Origin Point"
    { 42,  5, 37,         5, kNoMatchGroup, 0 },  // 37 "Locus"
    { 43,  2, 38, kNotAPath, kNoMatchGroup, 0 },  // 38 "Locus"
    { 44, 13, 13,         1, kNoMatchGroup, 1 },  // 39 "Bisector"
    { 45,  4,  4, kNotAPath, kNoMatchGroup, 1 },  // 40 "Intersection"
    { 46, 12, 12,         2, kNoMatchGroup, 1 },  // 41 "Parallel Line"
    { 47, 12, 12,         2, kNoMatchGroup, 1 },  // 42 "Perpendicular Line"
    { 48, 28, 43, kNotAPath, kNoMatchGroup, 0 },  // 43 "Distance Measurement"
    { 49, 28, 44, kNotAPath, kNoMatchGroup, 0 },  // 44 "Angle Measurement"
    { 50, 28, 45, kNotAPath, kNoMatchGroup, 0 },  // 45 "Area Measurement"
    { 51, 28, 46, kNotAPath, kNoMatchGroup, 0 },  // 46 "Measurement"
    { 52, 15, 15,         3, kNoMatchGroup, 0 },  // 47 "Triangle"
    { 53, 15, 15,         3, kNoMatchGroup, 0 },  // 48 "Quadrilateral"
    { 54, 15, 15,         3, kNoMatchGroup, 0 },  // 49 "Pentagon"
    { 55, 15, 15,         3, kNoMatchGroup, 0 },  // 50 "Hexagon"
    { 64,  1, 51, kNotAPath, kNoMatchGroup, 0 },  // 51 "Iteration Rule"
    { 65,  2, 52, kNotAPath, kNoMatchGroup, 0 },  // 52 "Iterated Image"
    { 56,  4,  4, kNotAPath, kNoMatchGroup, 1 },  // 53 "Plotted Point"
    { 57, 30, 54, kNotAPath, kNoMatchGroup, 0 },  // 54 "Function"
    { 58,  5, 55,         5, kNoMatchGroup, 0 },  // 55 "Function Plot"
    { 59, 19, 56, kNotAPath, kNoMatchGroup, 0 },  // 56 "Merged Text"
    { 70, 54, 54, kNotAPath, kNoMatchGroup, 0 },  // 57 "Derivative"
    { 75, 57, 54, kNotAPath, kNoMatchGroup, 0 },  // 58 "Derivative"
    { 76, 57, 54, kNotAPath, kNoMatchGroup, 0 },  // 59 "Approximate Derivative"
    { 77,  1, 60, kNotAPath, kNoMatchGroup, 0 },  // 60 "Imported Object"
    { 78, 60, 61, kNotAPath, kNoMatchGroup, 0 },  // 61 "Picture"
    { 79, 46, 62, kNotAPath, kNoMatchGroup, 0 },  // 62 "Parameter"
    { 80, 43, 63, kNotAPath, kNoMatchGroup, 0 },  // 63 "Distance Parameter"
    { 81, 44, 64, kNotAPath, kNoMatchGroup, 0 },  // 64 "Angle Parameter"
    { 82,  1, 65, kNotAPath, kNoMatchGroup, 1 },  // 65 "Table"
    { 83, 65, 66, kNotAPath, kNoMatchGroup, 1 },  // 66 "Table"
    { 84, 65, 67, kNotAPath, kNoMatchGroup, 1 },  // 67 "Table"
    { 60, 14, 43, kNotAPath,             0, 0 },  // 68 "Distance"
    { 61, 22, 16, kNotAPath,             3, 0 },  // 69 "Circle"
    { 62, 22,  9, kNotAPath,             3, 0 },  // 70 "Area"
    { 63,  6,  3, kNotAPath, kNoMatchGroup, 0 },  // 71 "Pre-image"
    { 72, 69, 23, kNotAPath,             3, 0 },  // 72 "Curve"
    { 73, 70, 25, kNotAPath,             3, 0 },  // 73 "Area"
    { 74, 15, 25, kNotAPath, kNoMatchGroup, 0 },  // 74 "Perimetered Interior"
};
static_assert(std::size(ObjectKindTable) == kObjectKindCount);
