#include "engine/core/path_geometry.h"

#include <cmath>
#include <cstring>

#include "engine/core/angle_constants.h"
#include "engine/core/random.h"

double PathBlockReal(const PathParameterBlock& block, int32_t index) {
    double v;
    std::memcpy(&v, &block.words[2 * index], sizeof v);
    return v;
}

void SetPathBlockReal(PathParameterBlock* block, int32_t index, double value) {
    std::memcpy(&block->words[2 * index], &value, sizeof value);
}

uint16_t PathBlockEdge(const PathParameterBlock& block) {
    uint16_t edge;
    std::memcpy(&edge, &block.words[2], sizeof edge);
    return edge;
}

void SetPathBlockEdge(PathParameterBlock* block, uint16_t edge) {
    block->words[2] = 0;
    block->words[3] = 0;
    std::memcpy(&block->words[2], &edge, sizeof edge);
}

namespace {

constexpr double kRandomMax = 32767;

bool RoundedPointIn(RealPoint p, const ScreenRect* rect) {
    return rect && ScreenPointInRect({ RoundToScreen(p.x), RoundToScreen(p.y) }, *rect);
}

bool Overlaps(const ScreenRect& bounds, const ScreenRect* visible) {
    return visible && ScreenRectsOverlap(bounds, *visible);
}

}  // namespace

// ---- Straight rows

RealPoint StraightPointAt(const LineForm& form, double t) {
    return { form.first.x + t * (form.second.x - form.first.x),
             form.first.y + t * (form.second.y - form.first.y) };
}

double StraightProjection(const LineForm& form, int32_t pathClass, RealPoint p,
                          RealPoint* nearest) {
    return ProjectPointOnLine(p, nearest, form.first, form.dx, form.dy, form.slope,
                              pathClass == kPathRay || pathClass == kPathSegment,
                              pathClass == kPathSegment);
}

void StraightParameterRange(const LineForm& form, int32_t pathClass, bool exists,
                            const ScreenRect* visible, double* lo, double* hi) {
    if (pathClass == kPathSegment) {
        *lo = 0;
        *hi = 1;
        return;
    }
    double a = 0, b = 0;
    const bool seen = exists && visible && VisibleParameterRange(form, *visible, &a, &b);
    if (pathClass == kPathRay) {
        if (seen && a < 0) a = 0;
        if (!seen || b < a) {
            a = 0;
            b = 2;
        }
    } else if (!seen) {
        a = -1;
        b = 2;
    }
    *lo = a;
    *hi = b;
}

double StraightRandomParameter(const LineForm& form, int32_t pathClass, bool exists,
                               const ScreenRect& bounds, bool avoid,
                               const ScreenRect* visible, RealPoint* point) {
    double t;
    if (pathClass == kPathSegment) {
        if (avoid && exists) {
            const int32_t draws = Overlaps(bounds, visible) ? 15 : 1;
            for (int32_t i = 0; i < draws; ++i) {
                // The middle fifth is redrawn without counting: midpoints sit there.
                do {
                    t = NextRandom() * 0.8 / kRandomMax + 0.1;
                } while (0.4 < t && t < 0.6);
                if (RoundedPointIn(StraightPointAt(form, t), visible)) break;
            }
        } else {
            t = NextRandom() / kRandomMax;
        }
    } else {
        double lo, hi;
        StraightParameterRange(form, pathClass, exists, visible, &lo, &hi);
        for (int32_t i = 0; i < 4; ++i) {
            t = lo + NextRandom() * (hi - lo) / kRandomMax;
            if (!avoid || !(std::fabs(t) < 0.1 || std::fabs(t - 1) < 0.1)) break;
        }
    }
    *point = StraightPointAt(form, t);
    return t;
}

int32_t StraightSample(const LineForm& form, int32_t count, double lo, double hi,
                       PathSampleFn callback, void* user) {
    if (count > 1) {
        const double step = (hi - lo) / (count - 1);
        const double sx = step * (form.second.x - form.first.x);
        const double sy = step * (form.second.y - form.first.y);
        double t = lo;
        RealPoint p = StraightPointAt(form, lo);
        for (int32_t i = 0; i < count - 1; ++i) {
            callback(user, t, p, 1);
            t += step;
            p.x += sx;
            p.y += sy;
        }
    }
    // The last sample lands exactly on hi, whatever the increments accumulated.
    return callback(user, hi, StraightPointAt(form, hi), 1);
}

double StraightLengthBetween(const LineForm& form, double t1, double t2) {
    return std::fabs(t2 - t1) * std::sqrt(form.dx * form.dx + form.dy * form.dy);
}

// ---- Circle row

RealPoint CirclePointAt(RealPoint centre, double radius, double angle) {
    return CirclePointAtCosSin(centre, radius, std::cos(angle), std::sin(angle));
}

RealPoint CirclePointAtCosSin(RealPoint centre, double radius, double cosine, double sine) {
    return { centre.x + radius * cosine, centre.y - radius * sine };
}

double CircleProjection(RealPoint centre, double radius, RealPoint p, RealPoint* nearest,
                        double* cosine, double* sine) {
    // The angle from the point's direction to +x is the point's counter-clockwise angle.
    double angle = 0, c = 1, s = 0;
    const RealPoint east = { centre.x + 10, centre.y };
    if (!PointLineRelation(p, centre, east, &angle, nullptr, &c, &s, nullptr)) {
        angle = 0;
        c = 1;
        s = 0;
    } else if (angle < 0) {
        angle += kTwoPi;
    }
    *nearest = CirclePointAtCosSin(centre, radius, c, s);
    if (cosine) *cosine = c;
    if (sine) *sine = s;
    return angle;
}

void CircleRandomParameter(RealPoint centre, double radius, bool exists,
                           const ScreenRect& bounds, bool avoid, const ScreenRect* visible,
                           double* cosine, double* sine, RealPoint* point) {
    const int32_t draws = (exists && avoid && Overlaps(bounds, visible)) ? 26 : 1;
    double a = 0;
    for (int32_t i = 0; i < draws; ++i) {
        a = NextRandom() * kTwoPi / kRandomMax;
        if (RoundedPointIn(CirclePointAt(centre, radius, a), visible)) break;
    }
    *cosine = std::cos(a);
    *sine = std::sin(a);
    *point = CirclePointAtCosSin(centre, radius, *cosine, *sine);
}

int32_t CircleSample(RealPoint centre, double radius, int32_t count, PathSampleFn callback,
                     void* user) {
    int32_t result = 0;
    if (count <= 0) return result;
    const double step = kTwoPi / count;
    const double cs = std::cos(step), sn = std::sin(step);
    double c = 1, s = 0;  // cos and sin of the current angle
    for (int32_t i = 0; i < count; ++i) {
        result = callback(user, i * step, CirclePointAtCosSin(centre, radius, c, s), 1);
        const double nc = c * cs - s * sn;
        s = s * cs + c * sn;
        c = nc;
    }
    return result;
}

void CircleWayBetween(double radius, double a, double b, double* lo, double* hi,
                      double* length, int32_t* forward) {
    int32_t fwd = b > a ? 1 : 0;
    double diff = std::fabs(b - a);
    if (diff > kPi) {
        fwd = !fwd;
        diff = kTwoPi - diff;
    }
    *length = diff * radius;
    *forward = fwd;
    *lo = 0;
    *hi = kTwoPi;
}

// ---- Polygon perimeter row

namespace {

int32_t PolygonEdgeAt(const PolygonPerimeter& polygon, double t) {
    for (int32_t i = 0; i < polygon.count; ++i)
        if (polygon.edges[i].cumulative >= t) return i;
    return polygon.count - 1;
}

double CumulativeBefore(const PolygonPerimeter& polygon, int32_t edge) {
    return edge > 0 ? polygon.edges[edge - 1].cumulative : 0;
}

RealPoint AlongEdge(const PolygonPerimeter& polygon, int32_t edge, double local) {
    const RealPoint a = polygon.vertices[edge];
    const RealPoint b = polygon.vertices[(edge + 1) % polygon.count];
    return { a.x + local * (b.x - a.x), a.y + local * (b.y - a.y) };
}

}  // namespace

RealPoint PolygonPointAt(const PolygonPerimeter& polygon, double t) {
    if (polygon.count < 1) return { 0, 0 };
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    const int32_t i = PolygonEdgeAt(polygon, t);
    const double before = CumulativeBefore(polygon, i);
    const double span = polygon.edges[i].cumulative - before;
    return AlongEdge(polygon, i, span > 0 ? (t - before) / span : 0);
}

RealPoint PolygonPlace(const PolygonPerimeter& polygon, double fraction, uint16_t edge) {
    if (polygon.count < 1) return { 0, 0 };
    // A stored edge index beyond this polygon (a damaged block) is taken as its last edge.
    const int32_t i = edge < polygon.count ? edge : polygon.count - 1;
    return AlongEdge(polygon, i, fraction);
}

void PolygonSetParameter(const PolygonPerimeter& polygon, bool exists, double t,
                         double* fraction, uint16_t* edge) {
    if (!exists || polygon.count < 1) {
        *fraction = 0.79;
        *edge = 1;
        return;
    }
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    const int32_t i = PolygonEdgeAt(polygon, t);
    const double before = CumulativeBefore(polygon, i);
    const double span = polygon.edges[i].cumulative - before;
    *fraction = span > 0 ? 1 - (polygon.edges[i].cumulative - t) / span : 0;
    *edge = static_cast<uint16_t>(i);
}

double PolygonProjection(const PolygonPerimeter& polygon, RealPoint p, RealPoint* nearest,
                         double* fraction, uint16_t* edge) {
    int32_t best = -1;
    double bestD2 = 0, bestLocal = 0;
    RealPoint bestPoint{};
    for (int32_t i = 0; i < polygon.count; ++i) {
        const RealPoint a = polygon.vertices[i];
        const RealPoint b = polygon.vertices[(i + 1) % polygon.count];
        const double dx = b.x - a.x, dy = b.y - a.y;
        if (dx == 0 && dy == 0) continue;
        RealPoint q;
        const double local =
            ProjectPointOnLine(p, &q, a, dx, dy, dx != 0 ? dy / dx : 0, true, true);
        const double d2 = (q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y);
        if (best < 0 || d2 < bestD2) {
            best = i;
            bestD2 = d2;
            bestLocal = local;
            bestPoint = q;
        }
    }
    if (best < 0) {
        *nearest = polygon.count > 0 ? polygon.vertices[0] : RealPoint{ 0, 0 };
        *fraction = 0.333;
        *edge = 0;
        return 0;
    }
    *nearest = bestPoint;
    *fraction = bestLocal;
    *edge = static_cast<uint16_t>(best);
    const double before = CumulativeBefore(polygon, best);
    return before + (polygon.edges[best].cumulative - before) * bestLocal;
}

bool PolygonRandomParameter(const PolygonPerimeter& polygon, bool exists,
                            const ScreenRect& bounds, bool avoid, const ScreenRect* visible,
                            double* fraction, uint16_t* edge, RealPoint* point) {
    if (!exists || polygon.count < 1) {
        const double r1 = NextRandom(), r2 = NextRandom();
        const int32_t n = polygon.count > 0 ? polygon.count : 1;
        int32_t i = static_cast<int32_t>(r1 / kRandomMax * n);
        if (i > n - 1) i = n - 1;
        *edge = static_cast<uint16_t>(i);
        *fraction = r2 / kRandomMax;
        return false;
    }
    const int32_t draws = (avoid && Overlaps(bounds, visible)) ? 10 : 1;
    RealPoint q{};
    for (int32_t i = 0; i < draws; ++i) {
        q = PolygonPointAt(polygon, NextRandom() / kRandomMax);
        if (RoundedPointIn(q, visible)) break;
    }
    PolygonProjection(polygon, q, point, fraction, edge);
    return true;
}

int32_t PolygonSample(const PolygonPerimeter& polygon, int32_t count, PathSampleFn callback,
                      void* user) {
    const int32_t n = polygon.count;
    if (n < 1) return count;
    const double step = 1.0 / count;
    double t = 0;
    int32_t next = 1;  // the next vertex not yet visited; its fraction is edges[next - 1].cumulative
    for (int32_t k = 0; k < count; ++k) {
        callback(user, t, PolygonPointAt(polygon, t), 1);
        const int32_t toCome = count - k - 1;
        // Land exactly on vertices so that corners stay sharp.
        if (next < n && (t + step >= polygon.edges[next - 1].cumulative || toCome <= n - next)) {
            t = polygon.edges[next - 1].cumulative;
            ++next;
        } else {
            t += step;
        }
    }
    return count;
}
