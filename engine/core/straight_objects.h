// Segments, rays and lines (class 2) and the axes of coordinate systems (class 9):
// two defining points, the LineForm derived from them, the piece that is drawn and
// the bounds. Axes add their unit, origin and tick ladder.
#pragma once
#include <cstdint>

#include "engine/core/geometry.h"

// Class data of straight objects, behind the object header.
struct StraightData {
    LineForm    form;           // first and second are the defining points
    double      hitLengthTerm;  // 16 (dx^2 + dy^2): the 4-pixel hit band, squared
    ScreenPoint visiblePiece[2];
};

// Class data of axes: the straight data, then the axis's own fields.
struct AxisData {
    StraightData straight;
    double       unitDistance;   // sketch units per axis unit; > 0 while the axis exists
    RealPoint    origin;
    int32_t      horizontal;     // nonzero for the x axis
    double       tickSpacing;    // pixels between minor ticks
    int32_t      minorCount;     // 2 or 5
    int32_t      labelInterval;  // 10, 20 or 25 minor ticks between labelled marks
};

// Lines, rays and axes are clipped to this fixed world rectangle, never to a view.
constexpr ScreenRect kWorldClipRect = { -20000, -20000, 20000, 20000 };

// Distance of an axis's defining points from its origin.
constexpr double kAxisHalfSpan = 100;

// Recomputes dx, dy, slope, the hit term and the visible piece from the defining
// points, and the two boxes: bounds (the piece, ungrown) and coreBounds (the
// defining points). False, with nothing changed, when the defining points coincide.
bool ComputeStraightForm(StraightData* data, int32_t shapeKind, ScreenRect* bounds,
                         ScreenRect* coreBounds);
// Only dx, dy, slope and the hit term: what other objects read of a straight's form.
bool ComputeStraightLineForm(StraightData* data);

// Walks the 1, 2, 5, 10, 20, 50 ladder from *spacing until a minor tick is at least
// MinTickSpacing and at most 2.5 times that apart.
void AxisTickLadder(double* spacing, int32_t* minorCount, int32_t* labelInterval,
                    bool horizontal);

// The rest of an axis's update after ComputeStraightForm: tick ladder and the bounds
// grown by the tick length and the label room.
void FinishAxisForm(AxisData* axis, ScreenRect* bounds);

// Snapping of a dragged screen point to the labelled marks of an axis; boundsLeft is
// the axis's bounds.left. The origin is never a snapping mark.
bool SnapToAxisMarks(const AxisData& axis, int16_t boundsLeft, ScreenPoint point,
                     double* value, double* offset);

// Defining points of the constructions through a point p on a base direction (dx, dy):
// p sits at parameter 0.5 and the piece spans the base's length.
void PerpendicularPoints(RealPoint p, double dx, double dy, RealPoint* first, RealPoint* second);
void ParallelPoints(RealPoint p, double dx, double dy, RealPoint* first, RealPoint* second);
// The second defining point of the bisector of angle ABC (the first is B); false when
// A = B or B = C, or the angle is straight.
bool BisectorThroughPoint(RealPoint a, RealPoint b, RealPoint c, RealPoint* through);
// The defining points of an axis with the given origin.
void AxisDefiningPoints(RealPoint origin, bool horizontal, RealPoint* first, RealPoint* second);
