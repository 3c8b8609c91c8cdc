// Screen coordinates: signed 16-bit, x to the right and y downwards.
// Stand-in: the geometry toolkit owns these records and their operations; this header
// holds only the two records so that the text port can be declared. Replace it by the
// real header when that lands (same names, same field order).
#pragma once
#include <cstdint>

struct ScreenPoint {
    int16_t x;
    int16_t y;
};

// Empty unless right > left and bottom > top; edges are inclusive for containment.
struct ScreenRect {
    int16_t left;
    int16_t top;
    int16_t right;
    int16_t bottom;
};
