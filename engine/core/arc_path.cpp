// The arc row of the path table. An arc is an open path; an interior is a closed one
// along its whole boundary: the first straight piece (from the sector's centre or the
// chord's midpoint to the start point) over [0, d0], the arc over [d0, d1], the second
// straight piece back over [d1, 1].
#include <cmath>

#include "engine/core/angle_constants.h"
#include "engine/core/arc_objects.h"
#include "engine/core/paths.h"
#include "engine/core/random.h"
#include "engine/core/sketch_object.h"

namespace {

constexpr double kRandomMax = 32767;

const ArcData& ArcOf(const SketchObject* path) { return *ClassData<ArcData>(path); }

bool IsInterior(const SketchObject* path) { return KindIsA(path->objectKind, 25); }

RealPoint Lerp(RealPoint a, RealPoint b, double t) { return { a.x + t * (b.x - a.x), a.y + t * (b.y - a.y) }; }

double Distance(RealPoint a, RealPoint b) { return std::hypot(b.x - a.x, b.y - a.y); }

// Where both straight pieces of an interior meet.
RealPoint BaseOf(const SketchObject* path) {
    const ArcData& a = ArcOf(path);
    if (path->objectKind == kKindArcSector) return a.centre;
    return Lerp(a.startPoint, a.endPoint, 0.5);
}

// Stored parameters come from documents: outside [0, 1] they would reach the straight
// piece formula, which divides by d0 (0 on a plain arc).
double Clamped(double t) { return t >= 0 ? (t <= 1 ? t : 1) : 0; }

// t counted from the arc's start point (t' of the path, before orientation).
RealPoint PointAlong(SketchObject* path, double t) {
    const ArcData& a = ArcOf(path);
    const double d0 = a.arcStartFraction, d1 = a.arcEndFraction;
    if (d0 - 1e-10 <= t && t <= d1 + 1e-10) {
        if (t <= d0) return a.startPoint;
        if (t >= d1) return a.endPoint;
        const double angle = a.startAngle + a.sweep * (t - d0) / (d1 - d0);
        return { a.centre.x + a.radius * std::cos(angle), a.centre.y + a.radius * std::sin(angle) };
    }
    const RealPoint base = BaseOf(path);
    if (t >= d0) return Lerp(base, a.endPoint, (1 - t) / d0);
    return Lerp(base, a.startPoint, t / d0);
}

// Projection onto the piece from p to q, bounded at both ends; answers the fraction.
double ProjectOnPiece(RealPoint p, RealPoint q, RealPoint x, RealPoint* nearest) {
    const double dx = q.x - p.x, dy = q.y - p.y, len2 = dx * dx + dy * dy;
    double f = len2 > 0 ? ((x.x - p.x) * dx + (x.y - p.y) * dy) / len2 : 0;
    f = Clamped(f);
    *nearest = Lerp(p, q, f);
    return f;
}

// Brings an angle to at least `start` by whole turns.
double NotBelow(double angle, double start) {
    if (angle >= start || !std::isfinite(angle) || !std::isfinite(start)) return angle;
    return angle + kTwoPi * std::ceil((start - angle) / kTwoPi);
}

}  // namespace

void ArcPointAtParameter(SketchObject* path, double t, RealPoint* point, int32_t* exists) {
    t = Clamped(t);
    const ArcData& a = ArcOf(path);
    *exists = 1;
    if (a.orientation == 0) {
        *point = Lerp(a.centre, { a.radius, a.startAngle }, t);
        return;
    }
    Arc::CacheLengths(path);
    *point = PointAlong(path, a.orientation < 0 ? 1 - t : t);
}

void ArcParameterOfPoint(SketchObject* path, RealPoint p, RealPoint* nearest, double* parameter,
                         PathParameterBlock* block) {
    const ArcData& a = ArcOf(path);
    RealPoint best;
    double t;
    if (a.orientation == 0) {
        t = ProjectOnPiece(a.centre, { a.radius, a.startAngle }, p, &best);
    } else {
        Arc::CacheLengths(path);
        const double d0 = a.arcStartFraction, d1 = a.arcEndFraction;
        double angle;
        if (!PointLineRelation({ a.centre.x + 100, a.centre.y }, a.centre, p, &angle, nullptr, nullptr,
                               nullptr, nullptr)) {
            best = a.startPoint;
            t = d0;
        } else {
            const double start = a.startAngle;
            const double end = NotBelow(a.endAngle, start);
            const double th = NotBelow(angle, start);
            if (th <= end) {
                best = { a.centre.x + a.radius * std::cos(th), a.centre.y + a.radius * std::sin(th) };
                t = end > start ? d0 + (d1 - d0) * (th - start) / (end - start) : d0;
            } else if (start - (th - kTwoPi) > th - end) {
                best = a.endPoint;
                t = d1;
            } else {
                best = a.startPoint;
                t = d0;
            }
        }
        if (IsInterior(path)) {
            const RealPoint base = BaseOf(path);
            double nearestDistance = Distance(best, p);
            RealPoint onPiece;
            const double f1 = ProjectOnPiece(base, a.startPoint, p, &onPiece);
            if (Distance(onPiece, p) < nearestDistance) {
                nearestDistance = Distance(onPiece, p);
                best = onPiece;
                t = f1 * d0;
            }
            const double f2 = ProjectOnPiece(base, a.endPoint, p, &onPiece);
            if (Distance(onPiece, p) < nearestDistance) {
                best = onPiece;
                t = 1 - f2 * d0;
            }
        }
        if (a.orientation < 0) t = 1 - t;
    }
    if (nearest) *nearest = best;
    if (parameter) *parameter = t;
    if (block) SetPathBlockReal(block, 0, t);
}

void ArcRandomParameter(SketchObject* path, bool avoid, const ScreenRect* visible,
                        PathParameterBlock* block, RealPoint* point) {
    const int32_t draws = path->exists && avoid && visible && ScreenRectsOverlap(path->bounds, *visible) ? 26 : 1;
    double t = 0;
    RealPoint p{ 0, 0 };
    for (int32_t i = 0; i < draws; ++i) {
        t = NextRandom() / kRandomMax;
        int32_t exists;
        ArcPointAtParameter(path, t, &p, &exists);
        p = { double(RoundToScreen(p.x)), double(RoundToScreen(p.y)) };
        if (visible && ScreenPointInRect({ RoundToScreen(p.x), RoundToScreen(p.y) }, *visible)) break;
    }
    if (point) *point = p;
    if (block) SetPathBlockReal(block, 0, t);
}

int32_t ArcSampleParameters(SketchObject* path, int32_t count, double, double, PathSampleFn callback,
                            void* user) {
    // An arc's last sample lands on its far end; a closed boundary's would repeat the first.
    const int32_t steps = IsInterior(path) ? count : count - 1;
    const double step = steps > 0 ? 1.0 / steps : 0;
    int32_t result = 0;
    for (int32_t i = 0; i < count; ++i) {
        const double t = i * step;
        RealPoint p;
        int32_t exists;
        ArcPointAtParameter(path, t, &p, &exists);
        result = callback(user, t, p, exists);
    }
    return result;
}

int32_t ArcPathFlags(const SketchObject* path) { return IsInterior(path) ? kPathClosed : kPathTwoEnds; }

void ArcLengthBetween(SketchObject* path, double a, double b, double* length) {
    Arc::CacheLengths(path);
    *length = (b - a) * ArcOf(path).totalLength;
}

int32_t ArcWayBetween(SketchObject* path, double a, double b, double* lo, double* hi, double* length,
                      int32_t* forward) {
    Arc::CacheLengths(path);
    const double total = ArcOf(path).totalLength;
    *lo = 0;
    *hi = 1;
    if (!IsInterior(path)) {
        *forward = b > a ? 1 : 0;
        *length = std::fabs(b - a) * total;
        return 1;
    }
    // The shorter way round the closed boundary.
    double difference = b - a;
    difference -= std::ceil(difference - 0.5);
    *forward = difference >= 0 ? 1 : 0;
    *length = std::fabs(difference) * total;
    return 1;
}
