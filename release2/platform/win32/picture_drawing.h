// The later release's drawing of picture objects: into a memory bitmap of the sketch's
// background, then onto the port through the dim pattern of the object's state, or, on
// a printer, as a 24-bit DIB.
#pragma once
#include <windows.h>

#include <cstdint>

struct GraphicsPort;
struct SketchObject;

namespace release2 {

void DrawPictureViaMemoryBitmap(GraphicsPort* port, SketchObject* picture);
// True when the image went into `dc`. An image the DC refuses goes to the fallback DC
// (false); a picture without a sound image is drawn as a crossed placeholder.
bool RenderPictureInto(GraphicsPort* port, SketchObject* picture, HDC dc, const RECT& rect, HDC fallbackDc,
                       const RECT* fallbackRect);
// 0, or 101 when the device cannot stretch, the conversion or the drawing fails.
int32_t StretchDibPicture(HDC dc, const RECT& destination, const RECT& source, HBITMAP bitmap, UINT usage,
                          DWORD rop);
// The bitmap as a packed DIB of `bitsPerPixel` in fixed global memory. 0, or 101.
int32_t BitmapToPackedDibGuarded(HGLOBAL* out, int32_t bitsPerPixel, HBITMAP bitmap, HDC dc);

}  // namespace release2
