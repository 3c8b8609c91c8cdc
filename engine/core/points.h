// Points (class 1): the object everything else is built on.
#pragma once
#include <cstdint>

#include "engine/core/geometry.h"
#include "engine/core/sketch_object.h"

// Class data of a point: its position in sketch coordinates. The screen position
// lives only in the header's bounds.
struct PointData {
    RealPoint position;
};

inline RealPoint PointPosition(const SketchObject* point) {
    return ClassData<PointData>(point)->position;
}

// (sx - R, sy - R, sx + R + 1, sy + R + 1) around the screen-rounded position.
// Inline: every recompute of a point makes its bounds.
inline ScreenRect PointBoundsAt(RealPoint position, int32_t radius) {
    const int32_t sx = RoundToScreen(position.x), sy = RoundToScreen(position.y);
    return { static_cast<int16_t>(sx - radius), static_cast<int16_t>(sy - radius),
             static_cast<int16_t>(sx + radius + 1), static_cast<int16_t>(sy + radius + 1) };
}

// Unit points never reach their origin: they keep at least this distance.
constexpr double kMinUnitDistance = 0.1;
