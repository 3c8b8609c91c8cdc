// The shape primitives under the class drawing routines: clipped segments, highlight
// strokes and arrowheads; ellipses, arcs, chords and sectors that fall back to
// polylines where GDI's ellipse primitives cannot take the size or the position; and
// polygon fills.
#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/core/angle_constants.h"
#include "engine/core/arc_stepper.h"
#include "engine/core/screen_types.h"

struct GraphicsPort;
struct SketchObject;

// ---- Straight pieces

// Draws the segment {x1, y1, x2, y2} with the DC's pen, clipped in doubles to the
// port's line bounds grown by 2.
void DrawClippedSegment(GraphicsPort* port, const ScreenRect& segment);
// Two strokes of the sketch's highlight colour, `offset` pixels either side of the segment.
void StrokeSelectionSegment(GraphicsPort* port, int32_t offset, const ScreenRect& segment);
void DrawArrowHead(GraphicsPort* port, ScreenPoint point, double angle);
void DrawAxisSelection(GraphicsPort* port, SketchObject* axis);

// ---- Samples of loci and iterated images

// Per-sample colours apply while the object is parametrically coloured and not
// highlighted; answers the mode it set.
bool UpdatePerSampleColorMode(const SketchObject* object);
void SetPerSampleColorMode(bool on);
bool GetPerSampleColorMode();
void SetSamplePenWidth(int32_t width);
int32_t GetSamplePenWidth();
void SetSamplePenStyle(int32_t style);
int32_t GetSamplePenStyle();
// A polyline; points all on one horizontal or vertical line become a single stroke
// that includes its end pixel. Fewer than two points draw nothing.
void DrawPolylineCompact(HDC dc, const POINT* points, int32_t count);

// ---- Round shapes

// The end angle of a full turn from 0: the engine's rounded 2 pi, a hair above the
// exact value.
constexpr double kFullTurn = kTwoPi;
// GDI takes ellipses only below this radius.
constexpr double kGdiRadiusLimit = 1000;
// Points per polyline or polygon call of a flattened shape.
constexpr int32_t kFlattenBatch = 1360;

using EllipseSpec = ArcStepper;
EllipseSpec FullTurnSpec(RealPoint centre, double rx, double ry);

// Whether GDI can draw the ellipse: its box and the pixels at the start and end angles.
bool EllipseSpecToBox(const EllipseSpec& ellipse, RECT* box, POINT* start, POINT* end);
void DrawEllipseInBox(HDC dc, const RECT& box, bool fill);
void DrawFlattenedArc(HDC dc, const EllipseSpec& ellipse, bool fill);
void DrawEllipseSpecOutline(GraphicsPort* port, const EllipseSpec& ellipse, COLORREF color,
                            uint32_t markWord, int32_t lineStyle, bool traceBlend);
void DrawCircleOutline(GraphicsPort* port, RealPoint centre, double radius, COLORREF color,
                       uint32_t markWord, int32_t lineStyle, bool traceBlend);
EllipseSpec ArcToEllipseSpec(const SketchObject* arc, double radiusOffset);
void FillCircleSafe(GraphicsPort* port, RealPoint centre, double radius);
// A sector (fromCentre) or segment of the ellipse in batches that fan from the first point.
void FillFlattenedArc(HDC dc, COLORREF outlineColor, const EllipseSpec& ellipse, bool fromCentre,
                      bool outline);
void OutlineFlattenedBatch(HDC dc, COLORREF color, const POINT* points, int32_t count,
                           bool includeFirst, bool close);
void DrawChordOrPie(HDC dc, COLORREF outlineColor, const RECT& box, POINT start, POINT end,
                    bool pie, bool outline);
// A segment, arc or sector of the circle about `centre` between two points on it.
void DrawChordSafe(HDC dc, ScreenPoint centre, int32_t radius, ScreenPoint p1, ScreenPoint p2);
void DrawArcSafe(HDC dc, ScreenPoint centre, int32_t radius, ScreenPoint p1, ScreenPoint p2);
void DrawPieSafe(HDC dc, ScreenPoint centre, int32_t radius, ScreenPoint p1, ScreenPoint p2);

void DrawCircleInterior(GraphicsPort* port, SketchObject* interior);
void DrawCircleInteriorSelection(GraphicsPort* port, SketchObject* interior);
void DrawCircleInteriorShape(GraphicsPort* port, SketchObject* interior);
// Fills the polygon (alternate rule) with the DC's pen and brush; with `outline` it is
// framed again in the selection colour. Any vertex count is drawn whole.
void FillPolygonPoints(GraphicsPort* port, int32_t count, const ScreenPoint* points, bool outline);

