#include "release2/platform/win32/trace_fading_win32.h"

#include <algorithm>

#include "engine/core/geometry.h"
#include "engine/core/sketch.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/traces.h"
#include "release2/platform/trace_fading.h"

namespace release2 {

namespace {

constexpr DWORD kDestAndPattern    = 0xA000C9;
constexpr DWORD kDestAndNotPattern = 0x000A0329;
constexpr DWORD kDestOrPattern     = 0xFA0089;

// The background as the traces layer holds it where nothing was traced (white on a light
// sketch, black on a dark one: the paint pass ANDs or ORs the layer in).
void ClearToTracesBackground(HDC dc, const ScreenRect& r) {
    PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top,
           IsDarkBackground(CurrentBackground()) ? BLACKNESS : WHITENESS);
}

// Two pixels of each 8 x 8 cell go to the background colour: the monochrome pattern
// blackens them, a colour pattern holding the background at just those pixels is ORed in.
void DissolveStep(GraphicsPort* port, const ScreenRect& r) {
    HDC dc = port->tracesDC;
    const int32_t width = r.right - r.left, height = r.bottom - r.top;
    HBITMAP mono = CreateDissolveBitmap(port->nextPattern);
    HBRUSH monoBrush = mono ? CreatePatternBrush(mono) : nullptr;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP colour = CreateCompatibleBitmap(dc, 8, 8);
    HBRUSH backBrush = CreateSolidBrush(CurrentBackground());
    if (monoBrush && memory && colour && backBrush) {
        const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
        HGDIOBJ previous = SelectObject(dc, monoBrush);
        PatBlt(dc, r.left, r.top, width, height, kDestAndPattern);

        HGDIOBJ previousBitmap = SelectObject(memory, colour);
        const RECT cell = { 0, 0, 8, 8 };
        FillRect(memory, &cell, backBrush);
        SetTextColor(memory, RGB(0, 0, 0));
        SetBkColor(memory, RGB(255, 255, 255));
        HGDIOBJ previousMemoryBrush = SelectObject(memory, monoBrush);
        PatBlt(memory, 0, 0, 8, 8, kDestAndNotPattern);
        SelectObject(memory, previousMemoryBrush);
        SelectObject(memory, previousBitmap);

        if (HBRUSH colourBrush = CreatePatternBrush(colour)) {
            SelectObject(dc, colourBrush);
            PatBlt(dc, r.left, r.top, width, height, kDestOrPattern);
            SelectObject(dc, previous);
            DeleteObject(colourBrush);
        } else {
            SelectObject(dc, previous);
        }
        SetTextColor(dc, text);
        SetBkColor(dc, back);
    }
    if (backBrush) DeleteObject(backBrush);
    if (colour) DeleteObject(colour);
    if (memory) DeleteDC(memory);
    if (monoBrush) DeleteObject(monoBrush);
    if (mono) DeleteObject(mono);
    port->nextPattern = (port->nextPattern + 1) % kDissolvePatternCount;
}

ScreenRect Grow(const ScreenRect& r) {
    auto clamp = [](int32_t v) { return static_cast<int16_t>(std::clamp(v, -0x7fff, 0x7fff)); };
    return { clamp(r.left - 1), clamp(r.top - 1), clamp(r.right + 1), clamp(r.bottom + 1) };
}

}  // namespace

void CopyDcMapping(HDC target, HDC source, bool withOrigins) {
    SetMapMode(target, GetMapMode(source));
    SIZE extent{};
    if (GetWindowExtEx(source, &extent)) SetWindowExtEx(target, extent.cx, extent.cy, nullptr);
    if (GetViewportExtEx(source, &extent)) SetViewportExtEx(target, extent.cx, extent.cy, nullptr);
    if (!withOrigins) return;
    POINT origin{};
    if (GetWindowOrgEx(source, &origin)) SetWindowOrgEx(target, origin.x, origin.y, nullptr);
    if (GetViewportOrgEx(source, &origin)) SetViewportOrgEx(target, origin.x, origin.y, nullptr);
}

int32_t GetDcBitsPerPixel(GraphicsPort* port, bool renew) {
    if (renew || port->tracesBitsPerPixel == 0) {
        const int32_t bits = port->tracesDC ? GetDeviceCaps(port->tracesDC, BITSPIXEL) : 0;
        port->tracesBitsPerPixel = bits >= 16 ? bits : -1;
    }
    return port->tracesBitsPerPixel > 0 ? port->tracesBitsPerPixel : 0;
}

namespace {

// The section a band is faded in, kept from step to step while the bands keep their
// width (a cycle's bands differ only in the last one's height); freed when a fade ends.
struct FadeSection {
    HDC      dc = nullptr;
    HBITMAP  bitmap = nullptr;
    HGDIOBJ  previous = nullptr;
    uint8_t* bits = nullptr;
    int32_t  width = 0, height = 0, bitsPerPixel = 0;
};
FadeSection gSection;

// A top-down section, so that a band lower than the section fills its first rows.
bool EnsureFadeSection(HDC dc, int32_t bitsPerPixel, int32_t width, int32_t height) {
    if (gSection.dc && gSection.width == width && gSection.height >= height && gSection.bitsPerPixel == bitsPerPixel)
        return true;
    FreeFadeSection();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -(height + height / 8);  // room for the last, taller band
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = section ? CreateCompatibleDC(dc) : nullptr;
    if (!memory || !bits) {
        if (memory) DeleteDC(memory);
        if (section) DeleteObject(section);
        return false;
    }
    gSection = { memory, section, SelectObject(memory, section), static_cast<uint8_t*>(bits), width,
                 height + height / 8, bitsPerPixel };
    return true;
}

}  // namespace

void FreeFadeSection() {
    if (gSection.dc) {
        SelectObject(gSection.dc, gSection.previous);
        DeleteDC(gSection.dc);
    }
    if (gSection.bitmap) DeleteObject(gSection.bitmap);
    gSection = FadeSection{};
}

bool FadeRectInPlace(HDC dc, int32_t bitsPerPixel, int32_t x, int32_t y, int32_t width, int32_t height,
                     uint32_t background) {
    if (width <= 0 || height <= 0 || !EnsureFadeSection(dc, bitsPerPixel, width, height)) return false;
    HDC memory = gSection.dc;
    CopyDcMapping(memory, dc, false);
    FadeTables tables;
    BuildFadeTables(background, kFadeStrength, &tables);
    // One copy each way: GDI's cost per call outweighs keeping a part of the band in the
    // processor's cache between the copies.
    if (!BitBlt(memory, 0, 0, width, height, dc, x, y, SRCCOPY)) return false;
    GdiFlush();
    FadePixelRows(gSection.bits, width, height, bitsPerPixel, tables);
    return BitBlt(dc, x, y, width, height, memory, 0, 0, SRCCOPY) != FALSE;
}

bool FadeTracesStep(GraphicsPort* port) {
    if (!port->tracesDC || port->tracesDirty.left >= port->tracesDirty.right) return true;
    const ScreenRect dirty = port->tracesDirty;
    if (CurrentSketch()) UnionDirtyRect(&dirty);
    const ScreenRect grown = Grow(dirty);

    const int32_t bits = GetDcBitsPerPixel(port, false);
    if (bits > 0) {
        ScreenRect band{};
        if (NextFadeBand(grown, &port->fadeBand, &port->fadeBandRect, &port->fadeCounter, &band))
            FadeRectInPlace(port->tracesDC, bits, band.left, band.top, band.right - band.left,
                            band.bottom - band.top, CurrentBackground());
    } else {
        --port->fadeCounter;
        port->fadeBandRect = grown;
        DissolveStep(port, grown);
    }
    if (port->fadeCounter <= 0) {
        // A channel far from the background is still a few units off after the last
        // cycle; left there, the next trace would bring the old marks back faintly.
        ScreenRect area = port->fadeBandRect;
        ScreenRectUnion(grown, &area);
        ClearToTracesBackground(port->tracesDC, area);
        port->fadeCounter = 0;
        port->fadeBand = 0;
        port->tracesDirty = kTracesClean;
        FreeFadeSection();
    }
    return true;
}

}  // namespace release2
