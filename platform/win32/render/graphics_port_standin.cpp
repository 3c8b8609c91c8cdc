// Stand-in: the back buffer of the graphics port, without traces, masks or memory
// reclaim, until the port is built with the object drawing.
#include "platform/win32/render/graphics_port.h"

#include "engine/core/drawing_pass.h"
#include "engine/core/sketch.h"

namespace {

constexpr int32_t kBackgroundSlot = 7;

COLORREF BackgroundColor() {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return RGB(255, 255, 255);
    return sketch->settings.palette[kBackgroundSlot] & 0xFFFFFF;
}

void CopyMapping(HDC from, HDC to) {
    SetMapMode(to, GetMapMode(from));
    SIZE size;
    POINT origin;
    GetWindowExtEx(from, &size);
    SetWindowExtEx(to, size.cx, size.cy, nullptr);
    GetViewportExtEx(from, &size);
    SetViewportExtEx(to, size.cx, size.cy, nullptr);
    GetWindowOrgEx(from, &origin);
    SetWindowOrgEx(to, origin.x, origin.y, nullptr);
    GetViewportOrgEx(from, &origin);
    SetViewportOrgEx(to, origin.x, origin.y, nullptr);
}

}  // namespace

void RebuildOffscreenCanvas(GraphicsPort* port) {
    if (!port->windowDC || !port->hwnd) return;
    RECT client;
    GetClientRect(port->hwnd, &client);
    if (port->backDC && !EqualRect(&client, &port->bufferRect)) ReleaseOffscreenCanvas(port);
    if (!port->backDC) port->backDC = CreateCompatibleDC(port->windowDC);
    if (port->backDC) {
        CopyMapping(port->windowDC, port->backDC);
        if (!port->backBitmapSlot) {
            const int width = client.right > 0 ? client.right : 1;
            const int height = client.bottom > 0 ? client.bottom : 1;
            HBITMAP bitmap = CreateCompatibleBitmap(port->windowDC, width, height);
            if (bitmap) {
                port->backBitmapSlot = SelectObject(port->backDC, bitmap);
                port->bufferRect = client;
            } else {
                DeleteDC(port->backDC);
                port->backDC = nullptr;
            }
        }
    }
    if (port->backDC) {
        port->dc = port->backDC;
        BeginCanvasPaint(port, nullptr);
        EndCanvasPaint(port, nullptr);
    } else {
        port->dc = port->windowDC;
    }
}

void ReleaseOffscreenCanvas(GraphicsPort* port, HDC* tracesDC, HBITMAP* tracesBitmap) {
    if (tracesDC) *tracesDC = nullptr;
    if (tracesBitmap) *tracesBitmap = nullptr;
    FreeOffscreenBuffers(port, false);
}

bool FreeOffscreenBuffers(GraphicsPort* port, bool keepBackBuffer) {
    if (keepBackBuffer || !port->backDC) return false;
    if (port->backBitmapSlot) DeleteObject(SelectObject(port->backDC, port->backBitmapSlot));
    DeleteDC(port->backDC);
    port->backDC = nullptr;
    port->backBitmapSlot = nullptr;
    port->dc = port->windowDC;
    SetRectEmpty(&port->bufferRect);
    return true;
}

void BeginCanvasPaint(GraphicsPort* port, const ScreenRect* rect) {
    RECT area;
    if (rect) {
        SetRect(&area, rect->left, rect->top, rect->right, rect->bottom);
    } else {
        area = port->bufferRect;
        DPtoLP(port->backDC ? port->backDC : port->windowDC, reinterpret_cast<POINT*>(&area), 2);
    }
    port->dc = port->backDC ? port->backDC : port->windowDC;
    if (!port->dc) return;
    HBRUSH brush = CreateSolidBrush(BackgroundColor());
    FillRect(port->dc, &area, brush);
    DeleteObject(brush);
    const COLORREF bg = BackgroundColor();
    port->ropMode = GetRValue(bg) + GetGValue(bg) + GetBValue(bg) < 145 ? R2_MERGEPEN : R2_MASKPEN;
}

void EndCanvasPaint(GraphicsPort*, const ScreenRect*) {}

int32_t FillScrolledStrips(Sketch* sketch, GraphicsPort* port, int32_t dx, int32_t dy) {
    if (!port->hwnd || (dx == 0 && dy == 0)) return 0;
    RECT client;
    GetClientRect(port->hwnd, &client);
    RECT strips[2] = { client, client };
    if (dx > 0) strips[0].right = dx;
    else if (dx < 0) strips[0].left = client.right + dx;
    else SetRectEmpty(&strips[0]);
    if (dy > 0) strips[1].bottom = dy;
    else if (dy < 0) strips[1].top = client.bottom + dy;
    else SetRectEmpty(&strips[1]);
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    for (RECT strip : strips) {
        if (IsRectEmpty(&strip)) continue;
        DPtoLP(port->windowDC, reinterpret_cast<POINT*>(&strip), 2);
        const ScreenRect r = { static_cast<int16_t>(strip.left), static_cast<int16_t>(strip.top),
                               static_cast<int16_t>(strip.right), static_cast<int16_t>(strip.bottom) };
        port->paintRect = strip;
        BeginCanvasPaint(port, &r);
        DrawSketch(port, &r);
        EndCanvasPaint(port, &r);
    }
    SetCurrentSketch(previous, nullptr);
    return 1;
}

bool FadeTracesStep(GraphicsPort*) { return false; }
void ClearTracesLayer(GraphicsPort*) {}

void ChooseSelectionColor(GraphicsPort* port) {
    const COLORREF bg = BackgroundColor();
    port->contrastColor = GetRValue(bg) + GetGValue(bg) + GetBValue(bg) < 288 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    port->selectionColor = RGB(255, 0, 0);
}
