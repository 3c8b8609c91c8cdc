#include "engine/core/points.h"

ScreenRect PointBoundsAt(RealPoint position, int32_t radius) {
    const int32_t sx = RoundToScreen(position.x), sy = RoundToScreen(position.y);
    return { static_cast<int16_t>(sx - radius), static_cast<int16_t>(sy - radius),
             static_cast<int16_t>(sx + radius + 1), static_cast<int16_t>(sy + radius + 1) };
}
