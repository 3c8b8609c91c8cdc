// Screen rectangles, screen rounding and the plain numeric geometry every object
// class rests on. Everything here is stateless; the object-level entry points
// (those that read a sketch object's class data) live in object_geometry.h.
//
// Both spaces have x growing to the right and y growing downwards, and an angle
// measured by these routines grows from +x towards +y (clockwise as seen).
#pragma once
#include <cmath>
#include <cstdint>

#include "engine/core/screen_types.h"

// ---------------------------------------------------------------------------
// Screen space: signed 16-bit coordinates, clamped to -30000..30000.

constexpr int16_t kScreenLimit = 30000;

// Screen rounding: >= 30000 gives 30000, <= -30000 gives -30000, anything else
// floor(v + 0.5). A NaN (an undefined coordinate) gives 0 rather than an
// arbitrary value. Inline: every recompute rounds several coordinates.
inline int16_t RoundToScreen(double v) {
    if (v > -kScreenLimit && v < kScreenLimit) {
        // Inside the limits floor is the truncation, one less for a negative fraction:
        // far cheaper than the general floor, and the same result.
        const double w = v + 0.5;
        const int32_t i = static_cast<int32_t>(w);
        return static_cast<int16_t>(w < i ? i - 1 : i);
    }
    if (v >= kScreenLimit) return kScreenLimit;
    if (v <= -kScreenLimit) return -kScreenLimit;
    return 0;
}

// The empty form {0x7fff, 0x7fff, 0x8000, 0x8000}: a union into it yields the
// other rectangle and a union of it changes nothing.
void ScreenRectSetEmpty(ScreenRect* rect);
bool ScreenRectIsEmpty(const ScreenRect& rect);
// Grows target to include source. No emptiness test: the empty form is neutral.
void ScreenRectUnion(const ScreenRect& source, ScreenRect* target);
// Clips target to source; an empty result becomes the empty form and answers false.
bool ScreenRectIntersect(const ScreenRect& source, ScreenRect* target);
// Rectangles that only touch do not overlap.
bool ScreenRectsOverlap(const ScreenRect& a, const ScreenRect& b);
bool ScreenPointInRect(ScreenPoint point, const ScreenRect& rect);
// Negative amounts grow the rectangle; 16-bit arithmetic.
inline void ScreenRectInset(ScreenRect* rect, int16_t dx, int16_t dy) {
    rect->left = static_cast<int16_t>(rect->left + dx);
    rect->right = static_cast<int16_t>(rect->right - dx);
    rect->top = static_cast<int16_t>(rect->top + dy);
    rect->bottom = static_cast<int16_t>(rect->bottom - dy);
}
bool ScreenRectContains(const ScreenRect& inner, const ScreenRect& outer);

// Closed segments ab and cd share a point; parallel segments never do.
bool SegmentsCross(ScreenPoint a, ScreenPoint b, ScreenPoint c, ScreenPoint d);
bool SegmentMeetsRect(const ScreenRect& rect, ScreenPoint a, ScreenPoint b);
// Liang-Barsky clipping of ab to rect; false (a and b untouched) when nothing
// of ab lies in rect.
bool ClipSegmentToRect(ScreenPoint* a, ScreenPoint* b, const ScreenRect& rect);

// ---------------------------------------------------------------------------
// Sketch space: doubles.


// Shape kinds of straight pieces (the shapeKind column of the kind table).
constexpr int32_t kShapeLine    = 12;  // no bound
constexpr int32_t kShapeRay     = 13;  // t >= 0 from the first point
constexpr int32_t kShapeSegment = 14;  // 0 <= t <= 1
// Axes carry their own shape kind; intersections treat it as an unbounded line.
constexpr int32_t kShapeAxis    = 33;

// A straight piece prepared for intersection and projection: seven doubles.
// slope = dy / dx is not read when dx = 0.
struct LineForm {
    RealPoint first;
    RealPoint second;
    double    dx;
    double    dy;
    double    slope;
};

// The curve side of an intersection: a whole circle, or an arc limited to its
// pseudo-angle range. For arcs, orientation is +1 or -1 and startPseudo <= endPseudo
// < startPseudo + 8.
struct CurveForm {
    RealPoint centre;
    double    radius;
    bool      isArc;
    int32_t   orientation;
    double    startPseudo;
    double    endPseudo;
};

// The point where the ray from a through b leaves rect, screen-rounded into out;
// true when that point lies within rect.
bool ClipLineToRect(RealPoint a, RealPoint b, double slope, const ScreenRect& rect,
                    ScreenPoint* out);

inline bool RealPointsEqual(RealPoint p, RealPoint q) { return p.x == q.x && p.y == q.y; }

// Relation of p to the directed line from o to a. Every out argument may be null;
// when cosOut is given sinOut is written too (when not null). The side is written
// before any other test. The tolerance 0.0004 applies to the raw products.
bool PointLineRelation(RealPoint a, RealPoint o, RealPoint p, double* angleOut,
                       double* parameterOut, double* cosOut, double* sinOut,
                       int32_t* sideOut);

// Projects p onto the piece starting at first with direction (dx, dy) and slope;
// answers the parameter along the piece (0 at first, 1 at first + (dx, dy)).
double ProjectPointOnLine(RealPoint p, RealPoint* out, RealPoint first, double dx,
                          double dy, double slope, bool boundBelow, bool boundAbove);

// A monotonic substitute for the direction angle of to - from, in [0, 8):
// +x gives 0, +y gives 2, -x gives 4, -y gives 6. Coinciding points give NaN.
double PseudoAngle(RealPoint from, RealPoint to);

// The point lies less than 4 units from the infinite line through the piece.
bool ScreenPointNearLine(ScreenPoint point, RealPoint first, RealPoint second);

// The form of the piece from first to second (slope only when dx differs from 0).
LineForm MakeLineForm(RealPoint first, RealPoint second);

// Straight with straight; no tolerance widens the ranges of rays and segments.
bool IntersectLines(const LineForm& form1, int32_t kind1, const LineForm& form2,
                    int32_t kind2, RealPoint* out);

// Whether the direction from the arc's centre to the point lies in the arc's
// pseudo-angle range; the radius is not tested. The centre itself counts as
// within the range (its direction is undefined, and arcs and sectors rely on it).
bool CurveRangeContains(const CurveForm& arc, RealPoint point);

// Straight with circle or arc. choice 1 takes the crossing met first along the
// form's direction, any other value the later one; the caller has already folded
// in an arc's orientation. The point is written only on success.
bool IntersectLineCurve(const LineForm& form, int32_t kind, const CurveForm& curve,
                        int32_t choice, RealPoint* out);

// Circle or arc with circle or arc; side 1 and any other side give the two points.
bool IntersectCurves(const CurveForm& first, const CurveForm& second, int32_t side,
                     RealPoint* out);

// The parameters at which the infinite line through the form lies inside rect,
// answered as (lo, hi) with lo <= hi; false when it is nowhere inside. A line that
// only touches a corner, or lies on the left or top edge, is not inside.
bool VisibleParameterRange(const LineForm& form, const ScreenRect& rect, double* lo,
                           double* hi);
