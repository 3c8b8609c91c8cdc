#include <algorithm>
#include <cstdlib>

#include "engine/core/circles.h"

void ComputeCircleScreen(CircleData* circle, ScreenRect* bounds) {
    circle->screenCentreX = RoundToScreen(circle->centre.x);
    circle->screenCentreY = RoundToScreen(circle->centre.y);
    circle->screenRadius = RoundToScreen(circle->radius);
    const int16_t sx = circle->screenCentreX, sy = circle->screenCentreY;
    const int16_t sr = circle->screenRadius;
    *bounds = { static_cast<int16_t>(sx - sr), static_cast<int16_t>(sy - sr),
                static_cast<int16_t>(sx + sr + 1), static_cast<int16_t>(sy + sr + 1) };
}

bool CircleRimHit(ScreenPoint p, int16_t cx, int16_t cy, int16_t r) {
    // Differences are taken in 32 bits: across the whole screen range (-30000..30000)
    // they do not fit in 16, and a wrapped difference would hit far-off points.
    const int32_t d = std::abs(p.x - cx);
    const int32_t b = std::abs(p.y - cy);
    const int32_t e = d + b - (std::min(d, b) >> 1);  // approximate distance
    if (e < r - 4) return false;
    if (e > 9 * (r + 4)) return false;  // coarse early reject
    const int64_t dist2 = int64_t{ d } * d + int64_t{ b } * b;
    const int64_t inner = int64_t{ r - 4 } * (r - 4);
    const int64_t outer = int64_t{ r + 4 } * (r + 4);
    return inner <= dist2 && dist2 <= outer;
}

bool DiscHit(ScreenPoint p, int16_t cx, int16_t cy, int16_t r) {
    const int64_t dx = cx - p.x, dy = cy - p.y;
    return dx * dx + dy * dy < int64_t{ r } * r;
}

bool CircleMeetsRect(const ScreenRect& rect, int16_t radius, int16_t cx, int16_t cy,
                     bool outline) {
    const int64_t r2 = int64_t{ radius } * radius;
    // The rectangle's point nearest to the centre, by region.
    const int32_t nx = cx < rect.left ? rect.left : (cx > rect.right ? rect.right : cx);
    const int32_t ny = cy < rect.top ? rect.top : (cy > rect.bottom ? rect.bottom : cy);
    const int64_t dx = nx - cx, dy = ny - cy;
    const bool inside = dx == 0 && dy == 0;
    if (!inside && !(dx * dx + dy * dy < r2)) return false;
    if (!outline) return true;
    auto within = [&](int32_t x, int32_t y) {
        const int64_t ex = x - cx, ey = y - cy;
        return ex * ex + ey * ey <= r2;
    };
    const bool rectInsideCircle = within(rect.left, rect.top) && within(rect.right, rect.top) &&
                                  within(rect.left, rect.bottom) && within(rect.right, rect.bottom);
    return !rectInsideCircle;
}
