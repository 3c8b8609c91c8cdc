// The geometric core shared by straight objects and axes, on their class data.
#include <cmath>

#include "engine/core/geometry_metrics.h"
#include "engine/core/straight_objects.h"

namespace {

ScreenRect BoxOf(ScreenPoint a, ScreenPoint b) {
    return { a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.x < b.x ? b.x : a.x,
             a.y < b.y ? b.y : a.y };
}

ScreenPoint Rounded(RealPoint p) { return { RoundToScreen(p.x), RoundToScreen(p.y) }; }

}  // namespace

bool ComputeStraightLineForm(StraightData* data) {
    LineForm& f = data->form;
    const double dy = f.second.y - f.first.y, dx = f.second.x - f.first.x;
    if (dx == 0 && dy == 0) return false;
    f.dx = dx;
    f.dy = dy;
    // A vertical piece keeps an infinite slope, signed like dy.
    f.slope = dx != 0 ? dy / dx : (dy > 0 ? HUGE_VAL : -HUGE_VAL);
    data->hitLengthTerm = 16 * (dx * dx + dy * dy);
    return true;
}

bool ComputeStraightForm(StraightData* data, int32_t shapeKind, ScreenRect* bounds,
                         ScreenRect* coreBounds) {
    if (!ComputeStraightLineForm(data)) return false;
    const LineForm& f = data->form;

    // The defining points are rounded once: they make the core box, and a segment's
    // piece (and a ray's start) is the same two screen points.
    const ScreenPoint first = Rounded(f.first), second = Rounded(f.second);
    ScreenPoint* piece = data->visiblePiece;
    if (shapeKind == kShapeSegment) {
        piece[0] = first;
        piece[1] = second;
    } else if (shapeKind == kShapeRay) {
        piece[0] = first;
        ClipLineToRect(f.first, f.second, f.slope, kWorldClipRect, &piece[1]);
    } else {
        ClipLineToRect(f.first, f.second, f.slope, kWorldClipRect, &piece[0]);
        ClipLineToRect(f.second, f.first, f.slope, kWorldClipRect, &piece[1]);
    }
    *coreBounds = BoxOf(first, second);
    *bounds = shapeKind == kShapeSegment ? *coreBounds : BoxOf(piece[0], piece[1]);
    return true;
}

void AxisTickLadder(double* spacing, int32_t* minorCount, int32_t* labelInterval,
                    bool horizontal) {
    const double m = MinTickSpacing();
    double s = *spacing;
    int32_t n = 0;  // the rung: 0 for 1 x 10^k, 1 for 2 x 10^k, 2 for 5 x 10^k
    // A spacing that is not a positive finite number would never reach the band.
    if (s > 0 && std::isfinite(s) && m > 0) {
        while (s < m) {
            if (n == 1) {
                s *= 2.5;
                n = 2;
            } else {
                s *= 2;
                n = n == 0 ? 1 : 0;
            }
        }
        while (s > 2.5 * m) {
            if (n == 2) {
                s *= 0.4;
                n = 1;
            } else {
                s *= 0.5;
                n = n == 1 ? 0 : 2;
            }
        }
    }
    *spacing = s;
    *minorCount = n == 2 ? 2 : 5;
    *labelInterval = !horizontal ? 10 : (n == 1 ? 25 : 20);
}

void FinishAxisForm(AxisData* axis, ScreenRect* bounds) {
    axis->tickSpacing = axis->unitDistance;
    AxisTickLadder(&axis->tickSpacing, &axis->minorCount, &axis->labelInterval,
                   axis->horizontal != 0);
    int32_t tick = AxisTickLength();
    if (tick < 2) tick = 2;
    ScreenRectInset(bounds, static_cast<int16_t>(-tick), static_cast<int16_t>(-tick));
    const bool tallerThanWide = bounds->bottom - bounds->top > bounds->right - bounds->left;
    if (tallerThanWide)
        bounds->left = static_cast<int16_t>(bounds->left - AxisLabelWidth() -
                                            AxisLabelGap());
    else
        bounds->bottom = static_cast<int16_t>(bounds->bottom + AxisLabelHeight() +
                                              AxisLabelGap());
}

bool SnapToAxisMarks(const AxisData& axis, int16_t boundsLeft, ScreenPoint point,
                     double* value, double* offset) {
    const bool horizontal = axis.horizontal != 0;
    const double d = horizontal ? point.x - axis.origin.x : point.y - axis.origin.y;
    *offset = d;
    const double step = axis.labelInterval * axis.tickSpacing;
    const double k = std::floor(d / step + 0.5);
    if (!(k != 0) || !std::isfinite(k)) return false;
    const double mark = k * step;
    *value = mark / axis.unitDistance;
    const double o = std::fabs(mark - d);
    if (horizontal) return o < AxisLabelWidth() / 4;
    if (!(o < (AxisLabelHeight() + AxisLabelGap()) / 2)) return false;
    if (std::fabs(k) > 100) return true;
    // Not over the tick labels left of the axis.
    return point.x > boundsLeft + AxisLabelWidth() / 3;
}

void PerpendicularPoints(RealPoint p, double dx, double dy, RealPoint* first, RealPoint* second) {
    *first = { p.x + dy / 2, p.y - dx / 2 };
    *second = { p.x - dy / 2, p.y + dx / 2 };
}

void ParallelPoints(RealPoint p, double dx, double dy, RealPoint* first, RealPoint* second) {
    *first = { p.x - dx / 2, p.y - dy / 2 };
    *second = { p.x + dx / 2, p.y + dy / 2 };
}

bool BisectorThroughPoint(RealPoint a, RealPoint b, RealPoint c, RealPoint* through) {
    if (RealPointsEqual(a, b) || RealPointsEqual(b, c)) return false;
    const double ax = a.x - b.x, ay = a.y - b.y, cx = c.x - b.x, cy = c.y - b.y;
    // Both arms are taken at distance sqrt(9000) from the vertex.
    const double k1 = std::sqrt(9000 / (ax * ax + ay * ay));
    const double k2 = std::sqrt(9000 / (cx * cx + cy * cy));
    const RealPoint mid = { b.x + (k1 * ax + k2 * cx) / 2, b.y + (k1 * ay + k2 * cy) / 2 };
    if (std::fabs(mid.x - b.x) < 0.01 && std::fabs(mid.y - b.y) < 0.01) return false;
    *through = mid;
    return true;
}

void AxisDefiningPoints(RealPoint origin, bool horizontal, RealPoint* first, RealPoint* second) {
    if (horizontal) {
        *first = { origin.x - kAxisHalfSpan, origin.y };
        *second = { origin.x + kAxisHalfSpan, origin.y };
    } else {
        *first = { origin.x, origin.y - kAxisHalfSpan };
        *second = { origin.x, origin.y + kAxisHalfSpan };
    }
}
