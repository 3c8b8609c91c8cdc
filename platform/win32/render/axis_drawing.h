// Coordinate axes: the line, its tick marks and the tick numbers, laid out along the
// part of the axis that the paint pass covers.
#pragma once
#include <windows.h>

#include <cstdint>

struct GraphicsPort;
struct SketchObject;

// The ticks of one axis over a range along it. Tick index n sits at
// originAlong - n x pixelsPerTick, so indices fall as the coordinate grows; the phases
// are those of the first tick, counted down with each tick and wrapped at the interval.
struct AxisTickLayout {
    int32_t across;       // the axis line: x of a vertical axis, y of a horizontal one
    int32_t markFrom;     // a tick mark runs across the axis from markFrom to markTo
    int32_t markTo;
    double  originAlong;  // the origin's coordinate along the axis, rounded
    double  pixelsPerTick;
    int32_t firstTick;    // index of the first tick at or after the range start
    int32_t markPhase;    // firstTick mod the mark interval, not negative
    int32_t numberPhase;  // firstTick mod the number interval, not negative
    int32_t tickCount;    // ticks after the first within the range
    bool    absolute;     // numbers without their sign (an axis of a polar grid)
};

// False when the axis has no usable tick spacing (then only its line is drawn).
bool ComputeAxisTicks(AxisTickLayout* out, const SketchObject* axis, double rangeStart, double rangeEnd);

// A tick value as text: "%f" without trailing zeros between 9.9e-7 and 9999999 in
// magnitude, else the mantissa followed by a middle dot and "10", with the power apart
// in *exponent (empty when none). Both buffers hold at least 32 bytes.
void FormatTickNumber(char* text, char* exponent, double value);

