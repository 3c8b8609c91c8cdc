// Arcs and arc interiors: finishing, the length cache, hit tests, scaled drawing and
// the update rules of construction types 81-85.
#include "engine/core/arc_objects.h"

#include <algorithm>
#include <cmath>

#include "engine/core/angle_constants.h"
#include "engine/core/circles.h"
#include "engine/core/geometry.h"
#include "engine/core/geometry_neighbours.h"
#include "engine/core/object_geometry.h"
#include "engine/core/print_state.h"
#include "engine/core/shape_families.h"
#include "engine/core/sketch_object.h"
#include "engine/core/transform_maps.h"

namespace {

ArcData* ArcOf(SketchObject* object) { return ClassData<ArcData>(object); }

// Points and circles both keep their position (a circle: its centre) first.
RealPoint PositionOf(const SketchObject* object) { return *ClassData<RealPoint>(object); }

bool OnScreen(double v) { return v >= -kScreenLimit && v <= kScreenLimit; }
bool OnScreen(RealPoint p) { return OnScreen(p.x) && OnScreen(p.y); }

ScreenPoint ToScreen(RealPoint p) { return { RoundToScreen(p.x), RoundToScreen(p.y) }; }
RealPoint ToReal(ScreenPoint p) { return { double(p.x), double(p.y) }; }

int16_t ClampToI16(int32_t v) {
    return static_cast<int16_t>(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX));
}

// The chord's second end of a straight arc.
RealPoint SecondChordEnd(const ArcData& a) { return { a.radius, a.startAngle }; }

// The screen angle of p seen from centre; false when p is (nearly) the centre.
bool AngleFrom(RealPoint centre, RealPoint p, double* angle) {
    return PointLineRelation({ centre.x + 100, centre.y }, centre, p, angle, nullptr, nullptr,
                             nullptr, nullptr);
}

bool Within(double pseudo, double start, double end) {
    if (pseudo != pseudo) return false;
    if (pseudo < start) pseudo += 8;
    return pseudo <= end;
}

bool IsSector(const SketchObject* o) { return o->objectKind == kKindArcSector; }
bool IsSegment(const SketchObject* o) { return o->objectKind == kKindArcSegment; }

void SetArcBounds(SketchObject* object) {
    const ArcData& a = *ArcOf(object);
    const int32_t cx = a.screenCentreX, cy = a.screenCentreY, r = a.screenRadius;
    const double s = a.startPseudo, e = a.endPseudo;
    const ScreenPoint p = a.screenStart, q = a.screenEnd;
    int32_t left = std::min(p.x, q.x), right = std::max(p.x, q.x);
    int32_t top = std::min(p.y, q.y), bottom = std::max(p.y, q.y);
    // The pseudo-angle range passes +x at 0 and 8, +y at 2 and 10, -x at 4 and 12,
    // -y at 6 and 14.
    if ((s < 4 && 4 < e) || e > 12) left = cx - r;
    if (e > 8) right = cx + r + 1;
    if ((s < 2 && 2 < e) || e > 10) bottom = cy + r + 1;
    if ((s < 6 && 6 < e) || e > 14) top = cy - r;
    if (IsSector(object)) {
        left = std::min(left, cx);
        right = std::max(right, cx);
        top = std::min(top, cy);
        bottom = std::max(bottom, cy);
    }
    object->bounds = { ClampToI16(left - 2), ClampToI16(top - 2), ClampToI16(right + 2),
                       ClampToI16(bottom + 2) };
}

bool NotExisting(SketchObject* object) {
    object->exists = 0;
    return false;
}

}  // namespace

bool FinishArc(SketchObject* object, bool recomputeEnds) {
    if (!object->exists) return false;
    ArcData& a = *ArcOf(object);
    if (a.orientation == 0) {
        const RealPoint second = SecondChordEnd(a);
        if (recomputeEnds) {
            a.startPoint = a.centre;
            a.endPoint = second;
        }
        if (!OnScreen(a.centre) || !OnScreen(second)) return NotExisting(object);
        a.screenStart = ToScreen(a.centre);
        a.screenEnd = ToScreen(second);
        object->bounds = { ClampToI16(std::min(a.screenStart.x, a.screenEnd.x) - 2),
                           ClampToI16(std::min(a.screenStart.y, a.screenEnd.y) - 2),
                           ClampToI16(std::max(a.screenStart.x, a.screenEnd.x) + 2),
                           ClampToI16(std::max(a.screenStart.y, a.screenEnd.y) + 2) };
        return true;
    }
    if (!OnScreen(a.centre) || !OnScreen(a.radius)) return NotExisting(object);
    a.screenCentreX = RoundToScreen(a.centre.x);
    a.screenCentreY = RoundToScreen(a.centre.y);
    a.screenRadius = RoundToScreen(a.radius);
    if (recomputeEnds) {
        a.startPoint = { a.centre.x + a.radius * std::cos(a.startAngle),
                         a.centre.y + a.radius * std::sin(a.startAngle) };
        a.endPoint = { a.centre.x + a.radius * std::cos(a.endAngle),
                       a.centre.y + a.radius * std::sin(a.endAngle) };
    }
    if (!OnScreen(a.startPoint) || !OnScreen(a.endPoint) || RealPointsEqual(a.startPoint, a.centre) ||
        RealPointsEqual(a.endPoint, a.centre))
        return NotExisting(object);
    a.screenStart = ToScreen(a.startPoint);
    a.screenEnd = ToScreen(a.endPoint);
    a.startPseudo = PseudoAngle(a.centre, a.startPoint);
    a.endPseudo = PseudoAngle(a.centre, a.endPoint);
    if (a.endPseudo < a.startPseudo) a.endPseudo += 8;
    SetArcBounds(object);
    a.sweep = a.endAngle - a.startAngle;
    if (a.sweep < 0) a.sweep += kTwoPi;
    a.arcLength = a.sweep * a.radius;
    a.cacheStamp = static_cast<int32_t>(object->generation - 1);
    return true;
}

void Arc::CacheLengths(SketchObject* object) {
    ArcData& a = *ArcOf(object);
    if (a.cacheStamp == static_cast<int32_t>(object->generation)) return;
    if (a.orientation == 0) {
        const RealPoint second = SecondChordEnd(a);
        a.sweep = 0;
        a.straightPart = 0;
        a.arcLength = a.totalLength = std::hypot(second.x - a.centre.x, second.y - a.centre.y);
    } else {
        double straight = 0;
        if (IsSector(object)) {
            straight = a.radius;
        } else if (IsSegment(object)) {
            const double dx = std::cos(a.endAngle) - std::cos(a.startAngle);
            const double dy = std::sin(a.endAngle) - std::sin(a.startAngle);
            straight = a.radius * std::hypot(dx, dy) / 2;
        }
        a.straightPart = straight;
        a.totalLength = a.arcLength + 2 * straight;
    }
    a.arcStartFraction = a.totalLength != 0 ? a.straightPart / a.totalLength : 0;
    a.arcEndFraction = 1 - a.arcStartFraction;
    a.cacheStamp = static_cast<int32_t>(object->generation);
}

// ---- Hit tests

bool ArcHitTest(ScreenPoint point, SketchObject* object) {
    const ArcData& a = *ArcOf(object);
    if (a.orientation == 0) {
        // The chord's box ends the band, as for segments: the line alone would reach
        // across the whole sketch.
        return ScreenPointInRect(point, object->bounds) &&
               ScreenPointNearLine(point, a.centre, SecondChordEnd(a));
    }
    return CircleRimHit(point, a.screenCentreX, a.screenCentreY, a.screenRadius) &&
           Within(PseudoAngle(a.centre, ToReal(point)), a.startPseudo, a.endPseudo);
}

bool ArcInteriorHitTest(ScreenPoint point, SketchObject* object) {
    const ArcData& a = *ArcOf(object);
    if (a.orientation == 0) return false;
    const int64_t dx = point.x - a.screenCentreX, dy = point.y - a.screenCentreY;
    if (dx * dx + dy * dy > int64_t{ a.screenRadius } * a.screenRadius) return false;
    if (IsSegment(object)) {
        int32_t side = 0;
        PointLineRelation(ToReal(a.screenStart), ToReal(a.screenEnd), ToReal(point), nullptr,
                          nullptr, nullptr, nullptr, &side);
        return side == 1;
    }
    return ArcContainsPoint(ToReal(point), object);
}

bool ArcInterior::HitTestBoundary(ScreenPoint point, SketchObject* object) {
    if (ArcHitTest(point, object)) return true;
    const ArcData& a = *ArcOf(object);
    if (IsSegment(object)) return ScreenSegmentHit(a.screenStart, a.screenEnd, point);
    const ScreenPoint centre{ a.screenCentreX, a.screenCentreY };
    return ScreenSegmentHit(a.screenStart, centre, point) || ScreenSegmentHit(centre, a.screenEnd, point);
}

bool ArcMeetsRect(const ScreenRect& rect, SketchObject* object) {
    const ArcData& a = *ArcOf(object);
    if (a.orientation == 0) return SegmentMeetsRect(rect, a.screenStart, a.screenEnd);
    const int32_t cx = a.screenCentreX, cy = a.screenCentreY, r = a.screenRadius;
    if (!CircleMeetsRect(rect, a.screenRadius, a.screenCentreX, a.screenCentreY, false)) return false;
    if (ScreenPointInRect(a.screenStart, rect) || ScreenPointInRect(a.screenEnd, rect)) return true;
    const bool plain = object->objectClass == kClassArc;
    const int64_t r2 = int64_t{ r } * r;
    const int32_t left = rect.left - cx, right = rect.right - cx;
    const int32_t top = rect.top - cy, bottom = rect.bottom - cy;
    auto strictlyInside = [&](int64_t x, int64_t y) { return x * x + y * y < r2; };
    if (plain && strictlyInside(left, top) && strictlyInside(right, top) &&
        strictlyInside(left, bottom) && strictlyInside(right, bottom))
        return false;
    const RealPoint centre{ double(cx), double(cy) };
    auto inRange = [&](double x, double y) {
        return Within(PseudoAngle(centre, { cx + x, cy + y }), a.startPseudo, a.endPseudo);
    };
    // Top, bottom, left, right: the edges the circle reaches, and where it crosses them.
    struct Edge { bool horizontal; int32_t at, from, to; ScreenPoint p, q; };
    const Edge edges[4] = {
        { true, top, left, right, { rect.left, rect.top }, { rect.right, rect.top } },
        { true, bottom, left, right, { rect.left, rect.bottom }, { rect.right, rect.bottom } },
        { false, left, top, bottom, { rect.left, rect.top }, { rect.left, rect.bottom } },
        { false, right, top, bottom, { rect.right, rect.top }, { rect.right, rect.bottom } },
    };
    bool reached[4] = {};
    for (int i = 0; i < 4; ++i) {
        const Edge& e = edges[i];
        const int64_t rest = r2 - int64_t{ e.at } * e.at;
        if (rest < 0) continue;
        reached[i] = true;
        const double h = std::sqrt(double(rest));
        for (const double u : { -h, h }) {
            if (u < e.from || u > e.to) continue;
            if (e.horizontal ? inRange(u, e.at) : inRange(e.at, u)) return true;
        }
    }
    if (plain) return false;
    const ScreenPoint screenCentre{ a.screenCentreX, a.screenCentreY };
    for (int i = 0; i < 4; ++i) {
        if (!reached[i]) continue;
        const Edge& e = edges[i];
        if (IsSegment(object)) {
            if (SegmentsCross(a.screenStart, a.screenEnd, e.p, e.q)) return true;
        } else if (SegmentsCross(screenCentre, a.screenStart, e.p, e.q) ||
                   SegmentsCross(screenCentre, a.screenEnd, e.p, e.q)) {
            return true;
        }
    }
    const RealPoint corner{ double(rect.left), double(rect.top) };
    if (IsSegment(object)) {
        int32_t side = 0;
        PointLineRelation(ToReal(a.screenStart), ToReal(a.screenEnd), corner, nullptr, nullptr,
                          nullptr, nullptr, &side);
        return side == 1;
    }
    return ArcContainsPoint(corner, object);
}

bool ArcHitTestRect(const ScreenRect* rect, SketchObject* object) { return ArcMeetsRect(*rect, object); }

void TransformArc(const SketchObject* source, SketchObject* target, const TransformMap* map,
                  PointMapOp op) {
    const ArcData& s = *ClassData<ArcData>(source);
    ArcData& t = *ArcOf(target);
    if (s.orientation == 0) {
        RealPoint ends[4] = { s.centre, SecondChordEnd(s), s.startPoint, s.endPoint };
        op(ends, ends, 4, map);
        t.centre = ends[0];
        t.radius = ends[1].x;
        t.startAngle = ends[1].y;
        t.startPoint = ends[2];
        t.endPoint = ends[3];
        t.orientation = 0;
        FinishArc(target, false);
        return;
    }
    t.centre = s.centre;
    op(&t.centre, &t.centre, 1, map);
    double radius = s.radius, start = s.startAngle, end = s.endAngle;
    op(&radius, &radius, 0, map);
    op(&start, &start, -1, map);
    op(&end, &end, -1, map);
    t.radius = std::fabs(radius);
    // A mirror turns the run round: the image runs from the image of the end.
    if (op == ReflectPoints) {
        t.startAngle = end;
        t.endAngle = start;
        t.orientation = -s.orientation;
    } else {
        t.startAngle = start;
        t.endAngle = end;
        t.orientation = s.orientation;
    }
    FinishArc(target, true);
}

void DrawArcScaled(GraphicsPort* port, SketchObject* object, const OutputScale*) {
    ArcData& a = *ArcOf(object);
    const ArcData saved = a;
    const ScreenRect savedBounds = object->bounds;
    const int32_t savedExists = object->exists;
    double factor, ox, oy;
    PrintPageMap(&factor, &ox, &oy);
    auto scaled = [&](RealPoint p) { return RealPoint{ (p.x + ox) * factor, (p.y + oy) * factor }; };
    a.centre = scaled(a.centre);
    if (a.orientation == 0) {
        const RealPoint second = scaled(SecondChordEnd(saved));
        a.radius = second.x;
        a.startAngle = second.y;
        a.startPoint = scaled(a.startPoint);
        a.endPoint = scaled(a.endPoint);
    } else {
        a.radius *= factor;
    }
    object->exists = 1;
    // Scaling can take the arc beyond the screen range; then it is not drawn.
    if (FinishArc(object, a.orientation != 0)) {
        if (DrawFn draw = ObjectClassTable[object->objectClass].draw) draw(port, object);
    }
    a = saved;
    object->bounds = savedBounds;
    object->exists = savedExists;
}

// ---- Update rules

namespace {

// Types 81 and 82: an arc from B to C about a centre, C moved radially onto B's circle.
void UpdateArcAbout(SketchObject* object, RealPoint centre, RealPoint b, RealPoint c) {
    const double ra = std::hypot(b.x - centre.x, b.y - centre.y);
    const double rb = std::hypot(c.x - centre.x, c.y - centre.y);
    if (ra == 0 || rb == 0) {
        object->exists = 0;
        return;
    }
    const RealPoint moved{ centre.x + (c.x - centre.x) * ra / rb, centre.y + (c.y - centre.y) * ra / rb };
    auto near = [](RealPoint p, RealPoint q) {
        return std::fabs(p.x - q.x) < 1e-7 && std::fabs(p.y - q.y) < 1e-7;
    };
    double startAngle, endAngle;
    if (near(moved, b) || near(moved, centre) || near(b, centre) || !AngleFrom(centre, moved, &startAngle) ||
        !AngleFrom(centre, b, &endAngle)) {
        object->exists = 0;
        return;
    }
    ArcData& a = *ArcOf(object);
    a.centre = centre;
    a.radius = ra;
    a.startAngle = startAngle;
    a.endAngle = endAngle;
    a.orientation = -1;
    a.startPoint = moved;
    a.endPoint = b;
    FinishArc(object, false);
}

// The perpendicular bisector of pq as a point and a slope; a bisector of two points
// at equal height is vertical, given the sentinel slope.
constexpr double kVerticalSlope = 100000;
void Bisector(RealPoint p, RealPoint q, RealPoint* mid, double* slope) {
    *mid = { (p.x + q.x) / 2, (p.y + q.y) / 2 };
    *slope = p.y == q.y ? kVerticalSlope : -(q.x - p.x) / (q.y - p.y);
}

}  // namespace

void UpdateArcOnCircle(SketchObject* arc, SketchObject* const* parents) {
    UpdateArcAbout(arc, PositionOf(parents[0]), PositionOf(parents[1]), PositionOf(parents[2]));
}

void UpdateArcByCentre(SketchObject* arc, SketchObject* const* parents) {
    UpdateArcAbout(arc, PositionOf(parents[0]), PositionOf(parents[1]), PositionOf(parents[2]));
}

void UpdateArcThroughPoints(SketchObject* object, SketchObject* const* parents) {
    const RealPoint A = PositionOf(parents[0]), B = PositionOf(parents[1]), C = PositionOf(parents[2]);
    int32_t orientation = 0;
    if (!PointLineRelation(A, C, B, nullptr, nullptr, nullptr, nullptr, &orientation)) {
        object->exists = 0;
        return;
    }
    ArcData& a = *ArcOf(object);
    if (orientation != 0) {
        RealPoint m1, m2;
        double s1, s2;
        Bisector(A, B, &m1, &s1);
        Bisector(B, C, &m2, &s2);
        RealPoint centre{ 0, 0 };
        bool found = s1 != s2;
        if (found) {
            centre.x = (s1 * m1.x - s2 * m2.x + m2.y - m1.y) / (s1 - s2);
            // The flatter bisector gives y with less cancellation.
            centre.y = std::fabs(s1) < std::fabs(s2) ? m1.y + s1 * (centre.x - m1.x)
                                                     : m2.y + s2 * (centre.x - m2.x);
        }
        const double radius = std::hypot(A.x - centre.x, A.y - centre.y);
        double startAngle, endAngle;
        if (!found || !OnScreen(radius) || !OnScreen(centre) || !AngleFrom(centre, A, &startAngle) ||
            !AngleFrom(centre, C, &endAngle)) {
            orientation = 0;  // too large to be drawn as an arc: it is its chord
        } else {
            a.centre = centre;
            a.radius = radius;
            a.startAngle = orientation < 0 ? endAngle : startAngle;
            a.endAngle = orientation < 0 ? startAngle : endAngle;
        }
    }
    if (orientation == 0) {
        const bool between = std::fabs(A.x - B.x) >= 0.5 ? (A.x - B.x) * (B.x - C.x) > 0
                                                         : (B.y - C.y) * (A.y - B.y) > 0;
        if (!between) {
            object->exists = 0;
            return;
        }
        a.centre = A;
        a.radius = C.x;
        a.startAngle = C.y;
    }
    a.orientation = orientation;
    a.startPoint = orientation == -1 ? C : A;
    a.endPoint = orientation == -1 ? A : C;
    FinishArc(object, false);
}

void UpdateArcInterior(SketchObject* interior, SketchObject* const* parents) {
    const ArcData& source = *ClassData<ArcData>(parents[0]);
    if (source.orientation == 0) {
        interior->exists = 0;
        return;
    }
    ArcData& a = *ArcOf(interior);
    a.centre = source.centre;
    a.radius = source.radius;
    a.startAngle = source.startAngle;
    a.endAngle = source.endAngle;
    a.orientation = source.orientation;
    a.startPoint = source.startPoint;
    a.endPoint = source.endPoint;
    FinishArc(interior, false);
}
