// The printed page's services: its background in the sketch's colour with the traces
// the window shows laid in at the print scale, and the end of the page's text measuring
// on the printer's context.
#include "engine/core/services/printing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/core/geometry.h"
#include "engine/core/print_state.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/sketch.h"
#include "platform/win32/print_page.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/ui_fonts.h"

namespace {

constexpr int32_t kOutputLimit = 30000;
constexpr int32_t kWhiteSum = 765;

// Output units are GDI's: kept well inside what 16-bit drivers and metafiles take.
LONG ToOutput(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<LONG>(std::clamp(std::floor(value + 0.5), double(-kOutputLimit), double(kOutputLimit)));
}

}  // namespace

void PaintPrintBackground(GraphicsPort* port, const ScreenRect* page) {
    Sketch* sketch = CurrentSketch();
    if (!port || !port->dc || !sketch || !page) return;
    PrintMeasureDC() = port->dc;
    const EnginePrintState& state = PrintState();
    const double scale = state.scale;
    const RECT out = { 0, 0, ToOutput((page->right - page->left) * scale), ToOutput((page->bottom - page->top) * scale) };
    port->paintRect = out;
    port->lineBounds = out;
    IntersectClipRect(port->dc, out.left, out.top, out.right, out.bottom);

    const COLORREF background = sketch->settings.palette[kColorSlotBackground] & 0xFFFFFF;
    const int32_t sum = GetRValue(background) + GetGValue(background) + GetBValue(background);
    const bool dark = sum < kDarkBelow;
    if (sum != kWhiteSum) {
        HBRUSH brush = CreateSolidBrush(background);
        if (brush) {
            FillRect(port->dc, &out, brush);
            DeleteObject(brush);
        }
    }
    if (sum != kWhiteSum && sum != 0) {
        const ScreenRect area = { 0, 0, static_cast<int16_t>(out.right), static_cast<int16_t>(out.bottom) };
        StampMaskLayer(port, &area, dark, &CurrentOutputScale);
    }
    port->ropMode = dark ? R2_MERGEPEN : R2_MASKPEN;

    // The traces that the window shows, placed where that part of the sketch falls on
    // the page.
    if (ScreenRectIsEmpty(sketch->tracedArea) || !port->tracesDC || !port->hwnd) return;
    RECT client;
    if (!GetClientRect(port->hwnd, &client)) return;
    DPtoLP(port->tracesDC, reinterpret_cast<POINT*>(&client), 2);
    const RECT to = { ToOutput((client.left + state.pageOffsetX) * scale), ToOutput((client.top + state.pageOffsetY) * scale),
                      ToOutput((client.right + state.pageOffsetX) * scale),
                      ToOutput((client.bottom + state.pageOffsetY) * scale) };
    const int technology = GetDeviceCaps(port->dc, TECHNOLOGY);
    if ((technology == DT_RASPRINTER || technology == DT_PLOTTER) &&
        PaintTracesByRuns(port->dc, to, port->tracesDC, client, background, dark)) {
        return;
    }
    StretchBlt(port->dc, to.left, to.top, to.right - to.left, to.bottom - to.top, port->tracesDC, client.left,
               client.top, client.right - client.left, client.bottom - client.top, dark ? SRCPAINT : SRCAND);
}

bool PaintTracesByRuns(HDC out, const RECT& to, HDC traces, const RECT& from, COLORREF background, bool dark) {
    const int width = from.right - from.left, height = from.bottom - from.top;
    if (width <= 0 || height <= 0) return true;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC memory = CreateCompatibleDC(traces);
    if (!memory) return false;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) {
        DeleteDC(memory);
        return false;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    // The layer's logical origin follows the view's scrolling: read it in device units.
    POINT origin = { from.left, from.top };
    LPtoDP(traces, &origin, 1);
    POINT viewport;
    GetViewportOrgEx(traces, &viewport);
    SetViewportOrgEx(traces, 0, 0, nullptr);
    BitBlt(memory, 0, 0, width, height, traces, origin.x, origin.y, SRCCOPY);
    SetViewportOrgEx(traces, viewport.x, viewport.y, nullptr);
    GdiFlush();

    // DIB pixels are 0x00RRGGBB.
    const uint32_t back = uint32_t(GetRValue(background)) << 16 | uint32_t(GetGValue(background)) << 8 |
                          GetBValue(background);
    const uint32_t blank = dark ? 0 : 0xFFFFFF;
    const double sx = double(to.right - to.left) / width, sy = double(to.bottom - to.top) / height;
    auto edge = [](double v) { return static_cast<LONG>(std::floor(v + 0.5)); };
    const auto* pixels = static_cast<const uint32_t*>(bits);
    HGDIOBJ oldBrush = SelectObject(out, GetStockObject(DC_BRUSH));
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + size_t(y) * width;
        for (int x = 0; x < width;) {
            const uint32_t p = row[x] & 0xFFFFFF;
            int end = x + 1;
            while (end < width && (row[end] & 0xFFFFFF) == p) ++end;
            if (p != blank) {
                const uint32_t mixed = dark ? (p | back) : (p & back);
                SetDCBrushColor(out, RGB(mixed >> 16 & 0xFF, mixed >> 8 & 0xFF, mixed & 0xFF));
                const LONG left = to.left + edge(x * sx), right = to.left + edge(end * sx);
                const LONG top = to.top + edge(y * sy), bottom = to.top + edge((y + 1) * sy);
                PatBlt(out, left, top, right - left, bottom - top, PATCOPY);
            }
            x = end;
        }
    }
    SelectObject(out, oldBrush);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return true;
}

void EndPrintMeasureDC() { PrintMeasureDC() = nullptr; }
