// The numbers of the later release's sketch pictures: how a rectangle of the sketch maps
// into an enhanced or an old-style metafile, the header of a placeable metafile file,
// and the checks of packed DIBs before their pixels are read.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

// What the mapping is computed from: the rectangle in sketch units, the picture scale,
// the screen's pixels per inch, the print settings' scale in percent, and the reference
// device's size in millimetres and pixels.
struct PictureMappingInput {
    ScreenRect rect;
    int32_t    scale;
    int32_t    dpi;
    int32_t    percent;
    int32_t    widthMm, heightMm, widthPx, heightPx;
};
struct PictureBox {
    int32_t left, top, right, bottom;
};
struct PictureMapping {
    PictureBox lineBounds;                 // where straight objects are clipped
    PictureBox frame;                      // 0.01 mm
    int32_t    windowExtentX, windowExtentY;
    int32_t    viewportExtentX, viewportExtentY;  // enhanced metafiles only
    int32_t    windowOriginX, windowOriginY;
};
// False when the input cannot give a picture (no size, no resolution, no device size).
bool ComputePictureMappingNumbers(const PictureMappingInput& in, bool enhanced, PictureMapping* out);

// a x b / c rounded half away from zero, as the system's MulDiv; -1 when c is 0 or the
// result does not fit.
int32_t MulDivRounded(int32_t a, int32_t b, int32_t c);

constexpr uint32_t kPlaceableKey         = 0x9AC6CDD7;
constexpr uint32_t kPlaceableHeaderBytes = 22;
// The 22-byte header of a placeable metafile file for a picture `width` by `height` (the
// rectangle times the picture scale) at `unitsPerInch`; false when a size does not fit
// its 16-bit field.
bool BuildPlaceableHeader(int32_t width, int32_t height, int32_t unitsPerInch, uint8_t header[22]);

// The pixel bits of a packed DIB of `size` bytes, or null unless its header, colour table
// and rows all lie within the block.
const uint8_t* GetDibBits(const uint8_t* dib, uint32_t size);
// Turns a sound top-down one-plane DIB of plain rows bottom-up in place: rows swapped,
// height made positive. 0, also when there is nothing to turn; 100 when no row buffer can
// be had (the DIB is then unchanged).
int32_t MakeDibBottomUp(uint8_t* dib, uint32_t size);
