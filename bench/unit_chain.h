// The chain of constructions the recompute benchmarks move: units of five objects (a
// segment from the previous unit's midpoint to the unit's anchor, its midpoint, a circle
// through it, a segment to a fixed point and its intersection with a fixed line), each
// hanging on the previous unit's midpoint, and the same arithmetic over a contiguous
// array for the baseline.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "bench/bench_sketch.h"
#include "engine/core/geometry.h"

constexpr int kObjectsPerUnit = 5;

// Every unit has its own anchor, placed so that the midpoints spread over a grid instead
// of converging (a chain of midpoints towards one anchor soon stops existing, which
// would measure nothing).
inline RealPoint MidpointTarget(int32_t k) {
    return { 50.0 + 9 * (k % 60), 50.0 + 7 * ((k / 60) % 60) + 0.25 * (k / 3600) };
}

// The fixed point and line every unit's second segment and intersection use. A chain
// longer than kUnitsPerFixture units makes new ones at the same places, since one
// object can count at most kMaxPtrListCapacity children; the arithmetic is unchanged.
constexpr int32_t kUnitsPerFixture = 60000;
struct UnitChainFixtures {
    SketchObject* b;
    SketchObject* line;
};

inline UnitChainFixtures MakeUnitChainFixtures() {
    SketchObject* b = Free(30, 400);
    return { b, Make(kTypeSegment, { Free(0, 200), Free(500, 210) }) };
}

// Builds n / 5 units on root (which starts at `at`); answers the last unit's midpoint,
// or null when the engine refused a construction (the chain then stops there).
inline SketchObject* BuildUnitChain(SketchObject* root, RealPoint at, int32_t n, UnitChainFixtures f) {
    SketchObject* x = root;
    for (int32_t made = 0, k = 0; made + kObjectsPerUnit <= n; made += kObjectsPerUnit, ++k) {
        if (k > 0 && k % kUnitsPerFixture == 0) f = MakeUnitChainFixtures();
        if (f.b == nullptr || f.line == nullptr) return nullptr;
        const RealPoint mid = MidpointTarget(k);
        SketchObject* a = Free(2 * mid.x - at.x, 2 * mid.y - at.y);
        at = mid;
        SketchObject* s1 = Make(kTypeSegment, { x, a });
        SketchObject* m = Make(kTypeMidpoint, { s1 });
        SketchObject* circle = Make(kTypeCircleByPoint, { m, x });
        SketchObject* s2 = Make(kTypeSegment, { m, f.b });
        SketchObject* meet = Make(kTypeIntersectStraights, { s2, f.line });
        if (meet == nullptr || circle == nullptr) return nullptr;
        x = m;
    }
    return x;
}

// Per unit, every output a drag frame writes: for the five objects their geometry,
// exists flag and screen bounds, and the dirty rectangle they are all united into. A
// baseline that skipped any of these would flatter the engine.
struct PlainUnit {
    double ax, ay;         // the unit's anchor
    double mx, my;         // midpoint
    double radius;
    double ix, iy;         // intersection
    int16_t bounds[5][4];  // screen bounds of segment, midpoint, circle, segment, intersection
    uint8_t exists[5];
};

// The baseline rounds as the engine does, with the same inline routine: a slower
// rounding of its own would flatter the engine.
inline int16_t PlainRound(double v) { return RoundToScreen(v); }

inline void PlainUnite(int16_t* dirty, const int16_t* r) {
    dirty[0] = std::min(dirty[0], r[0]); dirty[1] = std::min(dirty[1], r[1]);
    dirty[2] = std::max(dirty[2], r[2]); dirty[3] = std::max(dirty[3], r[3]);
}

// The chain moved to (x, y), every bounds united into `dirty` (left, top, right,
// bottom); answers the last midpoint.
inline RealPoint PlainFrame(std::vector<PlainUnit>& units, double x, double y, int16_t* dirty) {
    const double bx = 30, by = 400;
    const double lx0 = 0, ly0 = 200, lx1 = 500, ly1 = 210;
    for (PlainUnit& u : units) {
        const double ax = u.ax, ay = u.ay;
        int16_t* s1 = u.bounds[0];
        s1[0] = PlainRound(std::min(x, ax)); s1[1] = PlainRound(std::min(y, ay));
        s1[2] = PlainRound(std::max(x, ax)) + 1; s1[3] = PlainRound(std::max(y, ay)) + 1;
        u.exists[0] = 1;
        PlainUnite(dirty, s1);
        u.mx = (x + ax) / 2;
        u.my = (y + ay) / 2;
        int16_t* m = u.bounds[1];
        m[0] = PlainRound(u.mx) - 2; m[1] = PlainRound(u.my) - 2; m[2] = PlainRound(u.mx) + 3; m[3] = PlainRound(u.my) + 3;
        u.exists[1] = 1;
        PlainUnite(dirty, m);
        // The radius as the engine takes it (hypot is slower and may differ in the last bit).
        u.radius = std::sqrt((x - u.mx) * (x - u.mx) + (y - u.my) * (y - u.my));
        int16_t* c = u.bounds[2];
        c[0] = PlainRound(u.mx - u.radius); c[1] = PlainRound(u.my - u.radius);
        c[2] = PlainRound(u.mx + u.radius) + 1; c[3] = PlainRound(u.my + u.radius) + 1;
        u.exists[2] = u.radius > 0;
        if (u.exists[2]) PlainUnite(dirty, c);
        int16_t* s2 = u.bounds[3];
        s2[0] = PlainRound(std::min(u.mx, bx)); s2[1] = PlainRound(std::min(u.my, by));
        s2[2] = PlainRound(std::max(u.mx, bx)) + 1; s2[3] = PlainRound(std::max(u.my, by)) + 1;
        u.exists[3] = 1;
        PlainUnite(dirty, s2);
        const double dx1 = bx - u.mx, dy1 = by - u.my, dx2 = lx1 - lx0, dy2 = ly1 - ly0;
        const double det = dx1 * dy2 - dy1 * dx2;
        bool meets = false;
        if (det != 0) {
            const double s = ((lx0 - u.mx) * dy2 - (ly0 - u.my) * dx2) / det;
            const double r = ((lx0 - u.mx) * dy1 - (ly0 - u.my) * dx1) / det;
            meets = s >= 0 && s <= 1 && r >= 0 && r <= 1;
            u.ix = u.mx + s * dx1;
            u.iy = u.my + s * dy1;
        }
        u.exists[4] = meets;
        if (meets) {
            int16_t* i = u.bounds[4];
            i[0] = PlainRound(u.ix) - 2; i[1] = PlainRound(u.iy) - 2; i[2] = PlainRound(u.ix) + 3; i[3] = PlainRound(u.iy) + 3;
            PlainUnite(dirty, i);
        }
        x = u.mx;
        y = u.my;
    }
    return { x, y };
}

inline std::vector<PlainUnit> PlainUnits(int32_t n, RealPoint at) {
    std::vector<PlainUnit> units(static_cast<size_t>(n / kObjectsPerUnit));
    for (size_t k = 0; k < units.size(); ++k) {
        const RealPoint mid = MidpointTarget(static_cast<int32_t>(k));
        units[k].ax = 2 * mid.x - at.x;
        units[k].ay = 2 * mid.y - at.y;
        at = mid;
    }
    return units;
}
