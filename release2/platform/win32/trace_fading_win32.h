// The later release's fading of the traces layer: pixels of one band at a time move
// toward the background on displays of 16 bits or more; palette displays dissolve with
// a method that does not depend on the background being light or dark.
#pragma once
#include <windows.h>

#include <cstdint>

struct GraphicsPort;

namespace release2 {

// One fading step of the port's traces; always true (the view repaints).
bool FadeTracesStep(GraphicsPort* port);
// Bits per pixel of the traces DC, 0 below 16; read from the DC with `renew` or when the
// port has not read it since its layer was made, else the value the port keeps.
int32_t GetDcBitsPerPixel(GraphicsPort* port, bool renew);
// Fades the DC's rectangle (logical units) through a section of its depth, kept for the
// next band. True when it was copied out and back.
bool FadeRectInPlace(HDC dc, int32_t bitsPerPixel, int32_t x, int32_t y, int32_t width, int32_t height,
                     uint32_t background);
// Frees the kept section (the end of a fade does).
void FreeFadeSection();
// Mapping mode, window and viewport extents, and with `withOrigins` their origins.
void CopyDcMapping(HDC target, HDC source, bool withOrigins);

}  // namespace release2
