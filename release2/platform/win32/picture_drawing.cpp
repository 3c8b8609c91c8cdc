#include "release2/platform/win32/picture_drawing.h"

#include <cstring>

#include "engine/core/picture_objects.h"
#include "platform/win32/pictures.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "release2/platform/picture_layout.h"

namespace release2 {

namespace {

constexpr int32_t kConversionFailed = 101;
constexpr int32_t kStretchCapability = 0x800;  // RC_STRETCHBLT

void DrawPlaceholder(HDC dc, const RECT& r, COLORREF color) {
    if (HBRUSH brush = CreateSolidBrush(CurrentBackground())) {
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ oldPen = SelectObject(dc, pen ? pen : GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    MoveToEx(dc, r.left, r.top, nullptr);
    LineTo(dc, r.right - 1, r.bottom - 1);
    MoveToEx(dc, r.right - 1, r.top, nullptr);
    LineTo(dc, r.left, r.bottom - 1);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    if (pen) DeleteObject(pen);
}

// The DIB drawn from its full size into `r`; false when it is not sound (nothing drawn)
// or the DC refuses it.
bool StretchPictureDib(HDC dc, HGLOBAL dib, const RECT& r, bool* sound) {
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(dib));
    const SIZE_T size = bytes ? GlobalSize(dib) : 0;
    const uint32_t available = size > 0x7FFFFFFF ? 0x7FFFFFFF : uint32_t(size);
    const uint8_t* bits = bytes ? GetDibBits(bytes, available) : nullptr;
    *sound = bits != nullptr;
    bool drawn = false;
    if (bits) {
        const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes);
        LONG width = 0, height = 0;
        if (info->bmiHeader.biSize == sizeof(BITMAPCOREHEADER)) {
            const auto* core = reinterpret_cast<const BITMAPCOREHEADER*>(bytes);
            width = core->bcWidth;
            height = core->bcHeight;
        } else {
            width = info->bmiHeader.biWidth;
            height = info->bmiHeader.biHeight < 0 ? -info->bmiHeader.biHeight : info->bmiHeader.biHeight;
        }
        const int lines = StretchDIBits(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, width, height,
                                        bits, info, DIB_RGB_COLORS, SRCCOPY);
        drawn = lines != 0 && lines != int(GDI_ERROR);
    }
    if (bytes) GlobalUnlock(dib);
    return drawn;
}

}  // namespace

bool RenderPictureInto(GraphicsPort* port, SketchObject* picture, HDC dc, const RECT& rect, HDC fallbackDc,
                       const RECT* fallbackRect) {
    const PictureHandles& h = PictureDataOf(picture)->handles;
    const RECT& fallback = fallbackRect ? *fallbackRect : rect;
    if (h.metafile) {
        auto* metafile = static_cast<HENHMETAFILE>(h.metafile);
        if (PlayEnhMetaFile(dc, metafile, &rect)) return true;
        if (fallbackDc) PlayEnhMetaFile(fallbackDc, metafile, &fallback);
        return false;
    }
    if (h.dib) {
        bool sound = false;
        if (StretchPictureDib(dc, static_cast<HGLOBAL>(h.dib), rect, &sound)) return true;
        if (sound) {
            if (fallbackDc) StretchPictureDib(fallbackDc, static_cast<HGLOBAL>(h.dib), fallback, &sound);
            return false;
        }
    }
    // No image, or one whose table or rows lie beyond its block: never read past it.
    DrawPlaceholder(dc, rect, picture->color & 0xFFFFFF);
    (void)port;
    return true;
}

int32_t BitmapToPackedDibGuarded(HGLOBAL* out, int32_t bitsPerPixel, HBITMAP bitmap, HDC dc) {
    *out = nullptr;
    BITMAP b{};
    if (!bitmap || GetObjectA(bitmap, sizeof b, &b) != sizeof b || b.bmWidth <= 0 || b.bmHeight <= 0)
        return kConversionFailed;
    const uint64_t rowBytes = (uint64_t(b.bmWidth) * uint32_t(bitsPerPixel) + 31) / 32 * 4;
    const uint64_t total = sizeof(BITMAPINFOHEADER) + (bitsPerPixel <= 8 ? (4u << bitsPerPixel) : 0) +
                           rowBytes * uint32_t(b.bmHeight);
    if (total > 0x7FFFFFFF) return kConversionFailed;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, SIZE_T(total));
    if (!block) return kConversionFailed;
    auto* info = static_cast<BITMAPINFO*>(block);
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = b.bmWidth;
    info->bmiHeader.biHeight = b.bmHeight;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = WORD(bitsPerPixel);
    info->bmiHeader.biCompression = BI_RGB;
    auto* bits = static_cast<uint8_t*>(block) + (total - rowBytes * uint32_t(b.bmHeight));
    if (GetDIBits(dc, bitmap, 0, UINT(b.bmHeight), bits, info, DIB_RGB_COLORS) != b.bmHeight) {
        GlobalFree(block);
        return kConversionFailed;
    }
    info->bmiHeader.biClrUsed = 0;  // the table is whole, whatever GDI reports using
    *out = block;
    return 0;
}

int32_t StretchDibPicture(HDC dc, const RECT& destination, const RECT& source, HBITMAP bitmap, UINT usage,
                          DWORD rop) {
    if (!(GetDeviceCaps(dc, RASTERCAPS) & kStretchCapability)) return kConversionFailed;
    HGLOBAL dib = nullptr;
    if (BitmapToPackedDibGuarded(&dib, 24, bitmap, dc) != 0) return kConversionFailed;
    const auto* info = static_cast<const BITMAPINFO*>(dib);
    const int lines = StretchDIBits(dc, destination.left, destination.top, destination.right - destination.left,
                                    destination.bottom - destination.top, source.left, source.top,
                                    source.right - source.left, source.bottom - source.top,
                                    static_cast<const uint8_t*>(dib) + sizeof(BITMAPINFOHEADER), info, usage, rop);
    GlobalFree(dib);
    return lines == 0 || lines == int(GDI_ERROR) ? kConversionFailed : 0;
}

void DrawPictureViaMemoryBitmap(GraphicsPort* port, SketchObject* picture) {
    const ScreenRect& b = picture->bounds;
    const int32_t width = b.right - b.left, height = b.bottom - b.top;
    if (width <= 0 || height <= 0 || !port->dc) return;
    const RECT box = { b.left, b.top, b.right, b.bottom };
    HDC reference = port->windowDC ? port->windowDC : port->dc;
    HDC memory = CreateCompatibleDC(reference);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(reference, width, height) : nullptr;
    if (!bitmap) {
        // No memory bitmap: straight into the port.
        if (memory) DeleteDC(memory);
        RenderPictureInto(port, picture, port->dc, box, nullptr, nullptr);
        return;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetStretchBltMode(memory, COLORONCOLOR);
    const RECT all = { 0, 0, width, height };
    if (HBRUSH background = CreateSolidBrush(CurrentBackground())) {
        FillRect(memory, &all, background);
        DeleteObject(background);
    }
    const bool intoMemory = RenderPictureInto(port, picture, memory, all, port->dc, &box);
    SelectObject(memory, old);
    if (intoMemory) {
        if (GetDeviceCaps(port->dc, TECHNOLOGY) == DT_RASPRINTER) {
            StretchDibPicture(port->dc, box, all, bitmap, DIB_RGB_COLORS, SRCCOPY);
        } else {
            SelectObject(memory, bitmap);
            const uint32_t mark = picture->markFlags;
            const int32_t level = mark & kMarkDimmed ? GetDimLevel() : mark & kMarkDimmedFixed ? kPictureHalfDim : 0;
            BlitWithPatternMask(port->dc, b.left, b.top, width, height, memory, 0, 0, level);
            SelectObject(memory, old);
        }
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
}

}  // namespace release2
