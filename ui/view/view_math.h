// The arithmetic of a sketch view, apart from its window: pixels to 16-bit sketch
// units and back, the zoom mapping's extents, scroll-bar steps and wheel steps.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

// floor(v + 0.5), clamped to -30000..30000.
int32_t RoundClamp(double value);

// One axis: a client pixel (with the scroll origin) to sketch units, and back.
int16_t DeviceToSketch(int32_t device, int32_t scrollOrigin, double scale);
int32_t SketchToDevice(int32_t sketch, int32_t scrollOrigin, double scale);

// The viewport extent of the zoom mapping for a window extent of 1000.
int32_t ZoomViewportExtent(double scale);

// One scroll bar's state while it is moved.
struct ScrollBarState {
    int32_t minimum;
    int32_t maximum;
    int32_t page;
    int32_t position;
};

// The position a scroll-bar code leads to (the bar's SB_* code and, for thumb
// tracking, the thumb's position); the position itself when the code moves nothing.
int32_t ScrollTarget(const ScrollBarState& bar, int32_t code, int32_t thumb);

// The bar's range for an extent and a client size: the extent widened to hold the
// current position and a full page behind it.
ScrollBarState ScrollRangeFor(int32_t extentLow, int32_t extentHigh, int32_t position, int32_t clientSize);

// Tool steps of a wheel rotation: one per started 120 units, positive forward.
int32_t WheelToolSteps(int32_t delta);

// The views' scroll extent (pixels) of a page: its extent times the zoom, truncated,
// widened by 5 on each side; an empty extent gives the client rectangle.
struct PixelRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
PixelRect ScrollExtentFor(const ScreenRect& extent, double scaleX, double scaleY, const PixelRect& client);

// The line bounds a redraw uses: kept while they hold the client rectangle, else the
// client rectangle grown by its own width and height on each side.
PixelRect WidenLineBounds(const PixelRect& bounds, const PixelRect& client);
