// Stand-in: the geometry primitives of the sketch engine that the intersection count
// and the collinearity predicates call, with the tolerances the engine documents.
#include <cmath>

#include "engine/interact/neighbour_services.h"

namespace {
bool OnStraight(const StraightForm* f, double t) {
    if (f->kind == 0) return t >= 0.0 && t <= 1.0;
    if (f->kind == 1) return t >= 0.0;
    return true;
}
bool OnArc(const SketchObject* c, RealPoint p) {
    if (c->objectClass != 12 && c->objectClass != 13) return true;
    double a = std::atan2(p.y - c->center.y, p.x - c->center.x) - c->startAngle;
    const double turn = 2 * 3.1415926535898;
    a = std::fmod(a, turn);
    if (a < 0) a += turn;
    return a <= c->sweep + 1e-12;
}
}  // namespace

bool GetLineForm(const SketchObject* o, StraightForm* form, int32_t* flatArc) {
    *flatArc = 0;
    if (o->objectClass == 2 || o->objectClass == 9) {
        *form = {o->p1, o->p2, o->objectClass == 9 ? 2 : o->straightKind};
        return true;
    }
    if (o->objectClass == 12 && o->arcIsFlat) {
        *form = {o->p1, o->p2, 0};
        *flatArc = 1;
        return true;
    }
    return false;
}

bool IntersectLines(const StraightForm* a, const StraightForm* b, RealPoint* out) {
    const double ax = a->q.x - a->p.x, ay = a->q.y - a->p.y;
    const double bx = b->q.x - b->p.x, by = b->q.y - b->p.y;
    const double det = ax * by - ay * bx;
    if (std::fabs(det) < 1e-8) return false;
    const double dx = b->p.x - a->p.x, dy = b->p.y - a->p.y;
    const double t = (dx * by - dy * bx) / det;
    const double u = (dx * ay - dy * ax) / det;
    if (!OnStraight(a, t) || !OnStraight(b, u)) return false;
    *out = {a->p.x + t * ax, a->p.y + t * ay};
    return true;
}

bool IntersectLineCircle(const StraightForm* line, const SketchObject* c, int32_t side,
                         RealPoint* out) {
    const double dx = line->q.x - line->p.x, dy = line->q.y - line->p.y;
    const double len2 = dx * dx + dy * dy;
    if (len2 == 0.0) return false;
    const double fx = line->p.x - c->center.x, fy = line->p.y - c->center.y;
    const double mid = -(fx * dx + fy * dy) / len2;  // parameter of the foot point
    const double footX = fx + mid * dx, footY = fy + mid * dy;
    const double dist = std::sqrt(footX * footX + footY * footY);
    if (dist > c->radius + 0.0002) return false;
    const double half = dist >= c->radius ? 0.0 : std::sqrt(c->radius * c->radius - dist * dist);
    const double t = mid + side * half / std::sqrt(len2);
    if (!OnStraight(line, t)) return false;
    const RealPoint p{line->p.x + t * dx, line->p.y + t * dy};
    if (!OnArc(c, p)) return false;
    *out = p;
    return true;
}

bool IntersectCircles(const SketchObject* a, const SketchObject* b, int32_t side, RealPoint* out) {
    const double dx = b->center.x - a->center.x, dy = b->center.y - a->center.y;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d == 0.0 || d > a->radius + b->radius || d < std::fabs(a->radius - b->radius)) return false;
    const double along = (a->radius * a->radius - b->radius * b->radius + d * d) / (2 * d);
    const double h2 = a->radius * a->radius - along * along;
    const double h = h2 > 0 ? std::sqrt(h2) : 0.0;
    const RealPoint p{a->center.x + (along * dx - side * h * dy) / d,
                      a->center.y + (along * dy + side * h * dx) / d};
    if (!OnArc(a, p) || !OnArc(b, p)) return false;
    *out = p;
    return true;
}

bool PointLineRelation(RealPoint a, RealPoint b, RealPoint c, double* parameter, int32_t* side) {
    const double ux = a.x - b.x, uy = a.y - b.y;
    if (std::fabs(ux) <= 0.0004 && std::fabs(uy) <= 0.0004) return false;
    const double vx = c.x - b.x, vy = c.y - b.y;
    const double cross = ux * vy - uy * vx;
    *side = cross > 0.0004 ? 1 : cross < -0.0004 ? -1 : 0;
    *parameter = (ux * vx + uy * vy) / (ux * ux + uy * uy);
    return true;
}
