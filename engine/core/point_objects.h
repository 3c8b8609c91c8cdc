// The point class's routines and the update rules of the point construction types.
#pragma once
#include <cstdint>

#include "engine/core/object_tables.h"
#include "engine/core/points.h"
#include "engine/core/result_codes.h"


// bounds from the position and the PointRadius metric; every routine that moves a
// point and leaves it existing calls it.
void UpdatePointBounds(SketchObject* point);
// The one entry through which motion, merging, splitting, undo, copying and
// coordinate edits put a point somewhere. parameter (may be null) is a path
// parameter value for a point on a path. Answers 0.
int32_t SetPointPosition(SketchObject* point, double x, double y, int32_t exists,
                         const double* parameter, bool relayout);
// Brings a point positioned by a value of its own (on a path, unit points) back onto
// its constraint and refreshes the stored value.
void ReprojectPoint(SketchObject* point);
// Snaps a free point to the grid of the current sketch's marked coordinate system
// when it lies within tolerance pixels of a grid point in both x and y.
void SnapPointToGrid(SketchObject* point, double tolerance);
// The same against a given coordinate system.
void SnapPointToGridOf(SketchObject* point, const SketchObject* system, double tolerance);

void CopyPointGeometry(const SketchObject* source, SketchObject* target);
void TransformPoint(const SketchObject* source, SketchObject* target, const TransformMap* map,
                    PointMapOp op);
void DrawPointScaled(GraphicsPort* port, SketchObject* point, const OutputScale* scale);

// Update routines of the point construction types, (point, parents' items).
void UpdateMidpoint(SketchObject* point, SketchObject* const* parents);
void UpdateIntersectStraights(SketchObject* point, SketchObject* const* parents);
void UpdateIntersectStraightCircle(SketchObject* point, SketchObject* const* parents);  // 11, 12
void UpdateIntersectCircles(SketchObject* point, SketchObject* const* parents);         // 13, 14
void UpdatePointOnPath(SketchObject* point, SketchObject* const* parents);
void UpdateFinalIteratedPoint(SketchObject* point, SketchObject* const* parents);
void UpdateAxisUnitPoint(SketchObject* point, SketchObject* const* parents);       // 56, 57
void UpdateOtherAxisUnitPoint(SketchObject* point, SketchObject* const* parents);  // 58-61
void UpdatePlottedPoint(SketchObject* point, SketchObject* const* parents);        // 71-74

