// The class routines of circles and circle interiors and the update rules of their
// construction types.
#pragma once
#include <cstdint>

#include "engine/core/circles.h"
#include "engine/core/object_tables.h"
#include "engine/core/result_codes.h"

// The screen centre and radius and the bounds, after every change of centre or radius.
void UpdateCircleScreen(SketchObject* circle);

bool CircleHitTest(ScreenPoint point, SketchObject* circle);
bool DiscHitTest(ScreenPoint point, SketchObject* interior);
bool CircleHitTestRect(const ScreenRect* rect, SketchObject* object);
// The centre maps as a point and the radius as a length; the radius stays positive.
void TransformCircle(const SketchObject* source, SketchObject* target, const TransformMap* map,
                     PointMapOp op);
void DrawCircleScaled(GraphicsPort* port, SketchObject* object, const OutputScale* scale);
void DrawDiscScaled(GraphicsPort* port, SketchObject* object, const OutputScale* scale);

void UpdateCircleByPoint(SketchObject* circle, SketchObject* const* parents);   // 3
void UpdateCircleByRadius(SketchObject* circle, SketchObject* const* parents);  // 4
void UpdateCircleInterior(SketchObject* interior, SketchObject* const* parents); // 10
