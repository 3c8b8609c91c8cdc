// The class routines of straight objects and axes and the update rules of their
// construction types.
#pragma once
#include <cstdint>

#include "engine/core/object_tables.h"
#include "engine/core/result_codes.h"
#include "engine/core/straight_objects.h"

// Recomputes form, existence, hit term, visible piece, bounds and (axes) the tick
// ladder from the two defining points.
void UpdateStraightForm(SketchObject* object);

// The point lies in the bounds and within 4 pixels of the infinite line: the grown
// bounds end a segment's hit band.
bool StraightHitTest(ScreenPoint point, SketchObject* object);
bool StraightHitTestRect(const ScreenRect* rect, SketchObject* object);
void TransformStraight(const SketchObject* source, SketchObject* target,
                       const TransformMap* map, PointMapOp op);
void DrawStraightScaled(GraphicsPort* port, SketchObject* object, const OutputScale* scale);
void DrawAxisScaled(GraphicsPort* port, SketchObject* object, const OutputScale* scale);
// initExtra of axes: the parameter is the axis's class record (u16 horizontal flag,
// little-endian), or null for a vertical axis. Answers 1.
int32_t InitAxis(SketchObject* axis, void* parameter);

// Snapping of a dragged screen point to the labelled marks of an axis.
bool SnapToAxisGrid(const SketchObject* axis, ScreenPoint point, double* value, double* offset);
// For an axis of type 62 whose second parent is a unit point (types 56-59, 61).
bool GetAxisUnitPoint(const SketchObject* object, SketchObject** unitPoint);


// Update routines, (object, parents' items).
void UpdateStraightByPoints(SketchObject* object, SketchObject* const* parents);  // 2, 67, 68
void UpdatePerpendicular(SketchObject* object, SketchObject* const* parents);     // 5
void UpdateParallel(SketchObject* object, SketchObject* const* parents);          // 6
void UpdateAngleBisector(SketchObject* object, SketchObject* const* parents);     // 7
void UpdateAxis(SketchObject* object, SketchObject* const* parents);              // 62-64
