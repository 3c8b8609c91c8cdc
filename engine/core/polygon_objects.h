// Polygon interiors (class 4): the vertex storage, finishing, the automatic kind, the
// perimeter cache, the hit tests and the update rule of construction type 8.
#pragma once
#include <cstdint>

#include "engine/core/object_tables.h"
#include "engine/core/path_geometry.h"
#include "engine/core/polygon_data.h"
#include "engine/core/result_codes.h"

// initExtra: the vertex count is the number of parents for type 8, the count the
// parameter points at (a uint32_t) for a free polygon, the first parent's count for an
// image. A polygon read from a document is made before its parents are known; it gets
// its arrays from SizePolygonFromParents, or for a free one from its geometry record.
// Answers 0 when an array cannot be had.
int32_t InitPolygon(SketchObject* polygon, void* parameter);
void    FreePolygon(SketchObject* polygon);
// Gives a polygon read without arrays the arrays its parents call for; false when
// memory runs out.
bool    SizePolygonFromParents(SketchObject* polygon);

// Screen vertices, existence (some vertex differs from vertex 0) and bounds; the edge
// cache is made again at its next use.
void FinishPolygon(SketchObject* polygon);
// The kind from the number of distinct corners: 47 "Triangle" .. 50 "Hexagon", else 15.
void SetPolygonKind(SketchObject* polygon);
// After the vertex set under an object changed: the kinds of the polygon interiors
// built on it, and of the polygons built on those.
void PropagatePolygonKind(SketchObject* object);

namespace Polygon {
void CachePerimeter(SketchObject* polygon);
// The boundary: some edge, the closing edge first, within 4 pixels.
bool HitTestEdges(ScreenPoint point, SketchObject* polygon);
}  // namespace Polygon

// The perimeter view of the path row and the measurements, with the cache refreshed.
PolygonPerimeter PolygonPerimeterOf(SketchObject* polygon);

// The crossing rule in integer arithmetic; a point on a horizontal edge's row counts
// by the half-open rule (inside at the top, outside at the bottom).
bool PointInPolygon(ScreenPoint point, const ScreenPoint* vertices, int32_t count);
bool PolygonHitTest(ScreenPoint point, SketchObject* polygon);
// Edges only: a rectangle inside the polygon touching no edge does not select it.
bool PolygonHitTestRect(const ScreenRect* rect, SketchObject* polygon);
void DrawPolygonScaled(GraphicsPort* port, SketchObject* polygon, const OutputScale* scale);
void TransformPolygon(const SketchObject* source, SketchObject* target, const TransformMap* map,
                      PointMapOp op);

// Gives a free polygon being read new arrays for count vertices; false on no memory.
bool ResizeFreePolygon(SketchObject* polygon, uint32_t count);

void UpdatePolygon(SketchObject* polygon, SketchObject* const* parents);  // 8
