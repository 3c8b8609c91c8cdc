// Drawing picture objects: the image (or, when it is missing, a framed cross) through an
// off-screen bitmap ANDed onto the port, dimmed by a scattered screen, then the frame of
// a selected or highlighted picture and its grips.
#include <windows.h>

#include "engine/core/picture_objects.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/object_drawing.h"
#include "engine/docio/dib_chunks.h"
#include "platform/win32/pictures.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"

namespace {

constexpr int32_t kHighlightFrameWidth = 7;
constexpr int32_t kSelectedFrameWidth = 5;
// The walk of MakeDimPattern: 12 generates the multiplicative group modulo 67, so the
// walk meets every position of the 8 x 8 cell once before it comes back to 1.
constexpr int32_t kWalkFactor = 12;
constexpr int32_t kWalkModulus = 67;

void DrawMissingImage(HDC dc, int32_t width, int32_t height, COLORREF color) {
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ oldPen = SelectObject(dc, pen ? pen : GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, width, height);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, width - 1, height - 1);
    MoveToEx(dc, width - 1, 0, nullptr);
    LineTo(dc, 0, height - 1);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    if (pen) DeleteObject(pen);
}

void DrawImage(HDC dc, const PictureHandles& h, int32_t width, int32_t height, COLORREF cross) {
    if (h.metafile) {
        const RECT r = { 0, 0, width, height };
        PlayEnhMetaFile(dc, static_cast<HENHMETAFILE>(h.metafile), &r);
        return;
    }
    if (h.dib) {
        const auto* bytes = static_cast<const uint8_t*>(GlobalLock(h.dib));
        PackedDibLayout l{};
        const SIZE_T size = bytes ? GlobalSize(h.dib) : 0;
        const bool sound = bytes && ParsePackedDib(bytes, size > 0x7FFFFFFF ? 0x7FFFFFFF : uint32_t(size), &l);
        if (sound) {
            const int32_t rows = l.height < 0 ? -l.height : l.height;
            StretchDIBits(dc, 0, 0, width, height, 0, 0, l.width, rows, bytes + l.bitsOffset,
                          reinterpret_cast<const BITMAPINFO*>(bytes), DIB_RGB_COLORS, SRCCOPY);
        }
        if (bytes) GlobalUnlock(h.dib);
        if (sound) return;
    }
    DrawMissingImage(dc, width, height, cross);
}

}  // namespace

HBITMAP MakeDimPattern(int32_t level) {
    WORD rows[8] = {};
    int32_t v = 1, counter = 0;
    do {
        const int32_t p = v - 1;
        if (p < 64 && counter < level) rows[p / 8] = WORD(rows[p / 8] | (1u << (p % 8)));
        v = kWalkFactor * v % kWalkModulus;
        if (++counter == kPictureDimLevels) counter = 0;
    } while (v != 1);
    return CreateBitmap(8, 8, 1, 1, rows);
}

void BlitWithPatternMask(HDC destination, int32_t x, int32_t y, int32_t width, int32_t height, HDC source,
                         int32_t sourceX, int32_t sourceY, int32_t level) {
    if (level <= 0) {
        BitBlt(destination, x, y, width, height, source, sourceX, sourceY, SRCAND);
        return;
    }
    if (level >= kPictureDimLevels) return;
    HBITMAP pattern = MakeDimPattern(level);
    HBRUSH brush = pattern ? CreatePatternBrush(pattern) : nullptr;
    if (brush) {
        // Clear pattern bits take the text colour (black: the image is ANDed in), set
        // ones the background colour (white: the destination stays).
        HGDIOBJ oldBrush = SelectObject(destination, brush);
        const COLORREF oldText = SetTextColor(destination, RGB(0, 0, 0));
        const COLORREF oldBack = SetBkColor(destination, RGB(255, 255, 255));
        BitBlt(destination, x, y, width, height, source, sourceX, sourceY, kRopAndUnlessPattern);
        SetBkColor(destination, oldBack);
        SetTextColor(destination, oldText);
        SelectObject(destination, oldBrush);
        DeleteObject(brush);
    }
    if (pattern) DeleteObject(pattern);
}

void RenderPicture(GraphicsPort* port, SketchObject* picture) {
    if (auto form = LaterForms().platform.renderPicture) return form(port, picture);
    const ScreenRect& b = picture->bounds;
    const int32_t width = b.right - b.left, height = b.bottom - b.top;
    if (width <= 0 || height <= 0 || !port->dc) return;
    HDC dc = CreateCompatibleDC(port->dc);
    if (!dc) dc = CreateCompatibleDC(nullptr);
    if (!dc) return;
    // A DIB section suits every port, a metafile's or a printer's as well as the screen's.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) {
        DeleteDC(dc);
        return;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    const RECT all = { 0, 0, width, height };
    if (HBRUSH background = CreateSolidBrush(CurrentBackground())) {
        FillRect(dc, &all, background);
        DeleteObject(background);
    }
    DrawImage(dc, PictureDataOf(picture)->handles, width, height, port->selectionColor);
    const uint32_t mark = picture->markFlags;
    const int32_t level = mark & kMarkDimmed ? GetDimLevel() : mark & kMarkDimmedFixed ? kPictureHalfDim : 0;
    BlitWithPatternMask(port->dc, b.left, b.top, width, height, dc, 0, 0, level);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void DrawPictureFrame(GraphicsPort* port, SketchObject* picture, bool selected) {
    const bool highlighted = (picture->markFlags & kMarkHighlighted) != 0;
    if (!selected && !highlighted) return;
    HPEN pen = CreatePen(PS_INSIDEFRAME, highlighted ? kHighlightFrameWidth : kSelectedFrameWidth,
                         highlighted ? port->selectionColor : CurrentHighlight());
    if (!pen) return;
    HGDIOBJ oldPen = SelectObject(port->dc, pen);
    HGDIOBJ oldBrush = SelectObject(port->dc, GetStockObject(NULL_BRUSH));
    const ScreenRect& b = picture->bounds;
    Rectangle(port->dc, b.left, b.top, b.right, b.bottom);
    SelectObject(port->dc, oldBrush);
    SelectObject(port->dc, oldPen);
    DeleteObject(pen);
}

void FillPictureGrips(GraphicsPort* port, SketchObject* picture) {
    HBRUSH brush = CreateSolidBrush(CurrentBackground());
    if (!brush) return;
    ScreenRect grip{};
    if (PictureTopLeftGrip(picture, &grip)) {
        const RECT r = { grip.left, grip.top, grip.right, grip.bottom };
        FillRect(port->dc, &r, brush);
    }
    if (PictureBottomRightGrip(picture, &grip)) {
        const RECT r = { grip.left, grip.top, grip.right, grip.bottom };
        FillRect(port->dc, &r, brush);
    }
    DeleteObject(brush);
}

void DrawPictureObject(GraphicsPort* port, SketchObject* picture) {
    FpuMaskDuringPrint mask;
    RenderPicture(port, picture);
    DrawPictureFrame(port, picture, false);
}

void DrawPictureSelection(GraphicsPort* port, SketchObject* picture) {
    RenderPicture(port, picture);
    DrawPictureFrame(port, picture, true);
    FillPictureGrips(port, picture);
}
