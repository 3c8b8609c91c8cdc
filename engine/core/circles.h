// Circles (class 3) and circle interiors (class 5): one data layout, a screen form
// kept beside it, and the rim-band and disc hit tests.
#pragma once
#include <cstdint>

#include "engine/core/geometry.h"

struct CircleData {
    RealPoint centre;
    double    radius;         // >= 0; an image takes the absolute value
    int16_t   screenCentreX;  // screen-rounded centre and radius
    int16_t   screenCentreY;
    int16_t   screenRadius;
};

// The three screen values and the bounds (sx - sr, sy - sr, sx + sr + 1, sy + sr + 1).
void ComputeCircleScreen(CircleData* circle, ScreenRect* bounds);

// On the rim within 4 pixels.
bool CircleRimHit(ScreenPoint p, int16_t cx, int16_t cy, int16_t r);
// Strictly inside the screen disc.
bool DiscHit(ScreenPoint p, int16_t cx, int16_t cy, int16_t r);
// Marquee selection: the disc meets rect; for an outline the rim must also pass
// through it (a rectangle wholly inside the circle does not select the circle).
bool CircleMeetsRect(const ScreenRect& rect, int16_t radius, int16_t cx, int16_t cy,
                     bool outline);
