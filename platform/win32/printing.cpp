// The printed page's services: its background in the sketch's colour with the traces
// the window shows laid in at the print scale, and the end of the page's text measuring
// on the printer's context.
#include "engine/core/services/printing.h"

#include <algorithm>
#include <cmath>

#include "engine/core/geometry.h"
#include "engine/core/print_state.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/sketch.h"
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
    StretchBlt(port->dc, to.left, to.top, to.right - to.left, to.bottom - to.top, port->tracesDC, client.left,
               client.top, client.right - client.left, client.bottom - client.top, dark ? SRCPAINT : SRCAND);
}

void EndPrintMeasureDC() { PrintMeasureDC() = nullptr; }
