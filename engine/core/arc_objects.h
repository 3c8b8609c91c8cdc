// The class routines of arcs (class 12) and arc interiors (class 13), the update rules
// of their construction types and the routines of the arc path row.
#pragma once
#include <cstdint>

#include "engine/core/arc_data.h"
#include "engine/core/object_tables.h"
#include "engine/core/path_geometry.h"
#include "engine/core/result_codes.h"

// Screen values, pseudo-angles and bounds from the geometry; with recomputeEnds the end
// points of a real arc are made from its angles, else the stored ones are kept. Clears
// `exists` and answers false when a coordinate leaves the screen range or an end
// point falls on the centre. Does nothing to an arc that does not exist.
bool FinishArc(SketchObject* arc, bool recomputeEnds);

namespace Arc {
// Refreshes the straight part, total length and the fractions d0, d1 when they were
// made for another generation of the object.
void CacheLengths(SketchObject* arc);
}  // namespace Arc

bool ArcHitTest(ScreenPoint point, SketchObject* arc);
bool ArcInteriorHitTest(ScreenPoint point, SketchObject* interior);
namespace ArcInterior {
// The interior's boundary: its arc, and its radii (sector) or chord (segment).
bool HitTestBoundary(ScreenPoint point, SketchObject* interior);
}  // namespace ArcInterior
bool ArcMeetsRect(const ScreenRect& rect, SketchObject* object);
bool ArcHitTestRect(const ScreenRect* rect, SketchObject* object);
void DrawArcScaled(GraphicsPort* port, SketchObject* object, const OutputScale* scale);
// A real arc maps its centre, its radius as a length and its angles as directions; a
// straight one maps its stored points.
void TransformArc(const SketchObject* source, SketchObject* target, const TransformMap* map,
                  PointMapOp op);

// Update routines, (object, parents' items).
void UpdateArcOnCircle(SketchObject* arc, SketchObject* const* parents);        // 81
void UpdateArcByCentre(SketchObject* arc, SketchObject* const* parents);        // 82
void UpdateArcThroughPoints(SketchObject* arc, SketchObject* const* parents);   // 83
void UpdateArcInterior(SketchObject* interior, SketchObject* const* parents);   // 84, 85

// The arc row of the path table. The parameter runs over [0, 1] along the whole path
// (an interior's boundary: straight piece, arc, straight piece), from the end at the
// arc's first point parent.
void    ArcPointAtParameter(SketchObject* path, double t, RealPoint* point, int32_t* exists);
void    ArcRandomParameter(SketchObject* path, bool avoid, const ScreenRect* visible,
                           PathParameterBlock* block, RealPoint* point);
void    ArcParameterOfPoint(SketchObject* path, RealPoint p, RealPoint* nearest,
                            double* parameter, PathParameterBlock* block);
int32_t ArcSampleParameters(SketchObject* path, int32_t count, double lo, double hi,
                            PathSampleFn callback, void* user);
int32_t ArcPathFlags(const SketchObject* path);
void    ArcLengthBetween(SketchObject* path, double a, double b, double* length);
int32_t ArcWayBetween(SketchObject* path, double a, double b, double* lo, double* hi,
                      double* length, int32_t* forward);
