// Screen and sketch-space coordinate records shared by every engine subsystem.
#pragma once
#include <cstdint>

// Screen coordinates are signed 16-bit and clamped to -30000..30000 wherever a double
// becomes one.
struct ScreenPoint {
    int16_t x;
    int16_t y;
};

// Empty unless right > left and bottom > top. The empty form (see kEmptyScreenRect)
// makes a union neutral in both directions.
struct ScreenRect {
    int16_t left;
    int16_t top;
    int16_t right;
    int16_t bottom;
};

constexpr ScreenRect kEmptyScreenRect = { 0x7fff, 0x7fff, -0x8000, -0x8000 };

struct RealPoint {
    double x;
    double y;
};
