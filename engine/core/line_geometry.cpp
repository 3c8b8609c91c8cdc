// Relations, projections and intersections of straight pieces and curves. These
// run for every intersection point at every recompute, so they use no
// trigonometry: arc ranges are tested with the pseudo-angle.
#include <cmath>
#include <utility>

#include "engine/core/angle_constants.h"
#include "engine/core/geometry.h"

bool PointLineRelation(RealPoint a, RealPoint o, RealPoint p, double* angleOut,
                       double* parameterOut, double* cosOut, double* sinOut,
                       int32_t* sideOut) {
    constexpr double eps = 0.0004;  // on the raw products, not on distances
    const double ux = a.x - o.x, uy = a.y - o.y;
    const double wx = p.x - o.x, wy = p.y - o.y;
    const double dot = ux * wx + uy * wy;
    const double cross = ux * wy - uy * wx;
    const double len2 = ux * ux + uy * uy;

    if (sideOut) *sideOut = (-eps < cross && cross < eps) ? 0 : (cross > 0 ? 1 : -1);
    if (len2 < eps) return false;
    if (parameterOut) *parameterOut = dot / len2;
    if (cosOut) {
        const double s = cross * cross + dot * dot;
        if (s < eps) return false;
        const double root = std::sqrt(s);
        *cosOut = dot / root;
        if (sinOut) *sinOut = cross / root;
    }
    if (angleOut) {
        if (std::fabs(dot) >= eps) {
            double angle = std::atan(cross / dot);
            if (dot < 0) angle += cross >= 0 ? kPi : -kPi;
            *angleOut = angle;
        } else if (std::fabs(cross) >= eps) {
            *angleOut = cross > 0 ? kHalfPi : -kHalfPi;
        } else {
            return false;
        }
    }
    if (!sideOut || std::fabs(cross) >= eps) return true;
    // p lies on the line: it must not sit on o or on a (in the sense of the dot product).
    return !(std::fabs(dot) < eps || std::fabs(len2 - dot) < eps);
}

double ProjectPointOnLine(RealPoint p, RealPoint* out, RealPoint first, double dx,
                          double dy, double slope, bool boundBelow, bool boundAbove) {
    RealPoint proj;
    if (dx == 0) {
        proj = { first.x, p.y };
    } else {
        const double m = slope, d = m * m + 1;
        proj.x = (m * m * first.x - m * first.y) / d + (m * p.y + p.x) / d;
        proj.y = (m * m * p.y + m * p.x) / d + (first.y - m * first.x) / d;
    }
    const double t = (dx == 0 || std::fabs(dy) >= std::fabs(dx)) ? (proj.y - first.y) / dy
                                                                 : (proj.x - first.x) / dx;
    if (boundBelow && t < 0) {
        *out = first;
        return 0;
    }
    if (boundAbove && t > 1) {
        *out = { first.x + dx, first.y + dy };
        return 1;
    }
    *out = proj;
    return t;
}

double PseudoAngle(RealPoint from, RealPoint to) {
    const double dx = to.x - from.x, dy = to.y - from.y;
    const double ax = std::fabs(dx), ay = std::fabs(dy);
    const double v = ax > ay ? ay / ax : 2 - ax / ay;
    if (dx >= 0) return dy >= 0 ? v : 8 - v;
    return dy > 0 ? 4 - v : 4 + v;
}

bool ScreenPointNearLine(ScreenPoint point, RealPoint first, RealPoint second) {
    const double dx = second.x - first.x, dy = second.y - first.y;
    const double cross = (point.y - first.y) * dx - (point.x - first.x) * dy;
    return 16 * (dx * dx + dy * dy) > cross * cross;
}

LineForm MakeLineForm(RealPoint first, RealPoint second) {
    LineForm form{ first, second, second.x - first.x, second.y - first.y, 0 };
    if (form.dx != 0) form.slope = form.dy / form.dx;
    return form;
}

bool IntersectLines(const LineForm& form1, int32_t kind1, const LineForm& form2,
                    int32_t kind2, RealPoint* out) {
    const double x1a = form1.first.x, y1a = form1.first.y, x1b = form1.second.x;
    const double y1b = form1.second.y;
    const double x2a = form2.first.x, y2a = form2.first.y, x2b = form2.second.x;
    const double y2b = form2.second.y;
    const double dy1 = form1.dy, dy2 = form2.dy;

    const double det = x1a * dy2 - dy1 * x2a - dy2 * x1b + x2b * dy1;
    if (std::fabs(det) < 1e-8) return false;

    const double t = ((y1a - y2b) * x2a + (y2a - y1a) * x2b + x1a * dy2) / det;
    if (kind1 == kShapeSegment && !(t >= 0 && t <= 1)) return false;
    if (kind1 == kShapeRay && !(t >= 0)) return false;
    if (kind2 == kShapeRay || kind2 == kShapeSegment) {
        const double u = -((y2a - y1b) * x1a + (y1a - y2a) * x1b + dy1 * x2a) / det;
        if (u < 0) return false;
        if (kind2 == kShapeSegment && u > 1) return false;
    }
    if (out) *out = { x1a + t * form1.dx, y1a + t * form1.dy };
    return true;
}

bool CurveRangeContains(const CurveForm& arc, RealPoint point) {
    // The centre has no direction; arcs and sectors count it as within their range.
    if (RealPointsEqual(point, arc.centre)) return true;
    double x = PseudoAngle(arc.centre, point);
    if (x < arc.startPseudo) x += 8;
    return x <= arc.endPseudo;
}

bool IntersectLineCurve(const LineForm& form, int32_t kind, const CurveForm& curve,
                        int32_t choice, RealPoint* out) {
    const RealPoint c = curve.centre;
    const double r = curve.radius;
    const double rIn = r - 0.0002 > 0 ? r - 0.0002 : 0;
    const double rOut = r + 0.0002;

    double root[2];           // the driving coordinate of each crossing
    double origin, step;      // of the driving coordinate along the form
    bool vertical = form.dx == 0, steep = false;
    double m = 0, b = 0;      // v = m u + b when not vertical

    if (vertical) {
        const double d2 = (c.x - form.first.x) * (c.x - form.first.x);
        if (d2 > rOut * rOut) return false;
        const double h = d2 > rIn * rIn ? 0 : std::sqrt(r * r - d2);
        root[0] = c.y + h;
        root[1] = c.y - h;
        origin = form.first.y;
        step = form.dy;
    } else {
        double cu, cv;
        if (std::fabs(form.slope) <= 1) {
            m = form.slope;
            b = form.first.y - m * form.first.x;
            origin = form.first.x;
            step = form.dx;
            cu = c.x;
            cv = c.y;
        } else {
            steep = true;
            m = form.dx / form.dy;
            b = form.first.x - m * form.first.y;
            origin = form.first.y;
            step = form.dy;
            cu = c.y;
            cv = c.x;
        }
        const double a = 1 + m * m, k = b - cv;
        const double B = 2 * m * k - 2 * cu, C0 = cu * cu + k * k;
        if (B * B - 4 * a * (C0 - rOut * rOut) < 0) return false;
        if (B * B - 4 * a * (C0 - rIn * rIn) <= 0) {
            root[0] = root[1] = -B / (2 * a);
        } else {
            const double s = std::sqrt(B * B - 4 * a * (C0 - r * r));
            root[0] = (-B - s) / (2 * a);
            root[1] = (s - B) / (2 * a);
        }
    }

    double t0 = (root[0] - origin) / step, t1 = (root[1] - origin) / step;
    double u = root[0], t = t0;
    const bool firstIsLow = t0 <= t1;
    if ((choice == 1) != firstIsLow) {
        u = root[1];
        t = t1;
    }
    const double tol = std::fabs(0.00005 / step);
    if ((kind == kShapeRay || kind == kShapeSegment) && t < -tol) return false;
    if (kind == kShapeSegment && t > 1 + tol) return false;

    RealPoint point;
    if (vertical) point = { form.first.x, u };
    else if (steep) point = { m * u + b, u };
    else point = { u, m * u + b };

    if (curve.isArc && !CurveRangeContains(curve, point)) return false;
    if (out) *out = point;
    return true;
}

bool IntersectCurves(const CurveForm& first, const CurveForm& second, int32_t side,
                     RealPoint* out) {
    const RealPoint c1 = first.centre;
    const double r1 = first.radius, r2 = second.radius;
    const double dx = second.centre.x - c1.x, dy = second.centre.y - c1.y;
    const double d2 = dx * dx + dy * dy;
    if (d2 == 0) return false;
    const double K = (d2 - (r1 - r2) * (r1 - r2)) * ((r1 + r2) * (r1 + r2) - d2);
    if (K < 0) return false;
    const double Q = r1 * r1 + d2 - r2 * r2, sK = std::sqrt(K);
    RealPoint point;
    if (side == 1) point = { c1.x + (Q * dx + sK * dy) / (2 * d2), c1.y + (Q * dy - sK * dx) / (2 * d2) };
    else point = { c1.x + (Q * dx - sK * dy) / (2 * d2), c1.y + (Q * dy + sK * dx) / (2 * d2) };
    if (first.isArc && !CurveRangeContains(first, point)) return false;
    if (second.isArc && !CurveRangeContains(second, point)) return false;
    if (out) *out = point;
    return true;
}

bool VisibleParameterRange(const LineForm& form, const ScreenRect& rect, double* lo,
                           double* hi) {
    const RealPoint f = form.first;
    double a, b;
    if (form.dx == 0) {
        if (f.x <= rect.left || f.x > rect.right) return false;
        a = (rect.top - f.y) / form.dy;
        b = (rect.bottom - f.y) / form.dy;
    } else if (form.dy == 0) {
        if (f.y <= rect.top || f.y > rect.bottom) return false;
        a = (rect.left - f.x) / form.dx;
        b = (rect.right - f.x) / form.dx;
    } else {
        double xlo = (rect.left - f.x) / form.dx, xhi = (rect.right - f.x) / form.dx;
        double ylo = (rect.top - f.y) / form.dy, yhi = (rect.bottom - f.y) / form.dy;
        if (form.dx < 0) std::swap(xlo, xhi);
        if (form.dy < 0) std::swap(ylo, yhi);
        if (!(xlo < yhi && ylo < xhi)) return false;
        a = xlo > ylo ? xlo : ylo;
        b = xhi < yhi ? xhi : yhi;
    }
    *lo = a < b ? a : b;
    *hi = a < b ? b : a;
    return true;
}
