// The off-screen canvas of a port: making and unmaking the back buffer and the traces
// layer (with the reclaim of other views' buffers and the low-memory message), the
// start of each paint pass, the strips exposed by scrolling, and the engine's request
// to repaint what is dirty now.
#include <windows.h>

#include <algorithm>
#include <cmath>

#include "engine/core/services/later_release.h"
#include "engine/core/geometry.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "platform/win32/shell.h"
#include "platform/rules/colors.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/traces.h"

namespace {

HDC SystemCreateDC(HDC compatibleWith) { return CreateCompatibleDC(compatibleWith); }
HBITMAP SystemCreateBitmap(HDC compatibleWith, int32_t width, int32_t height) {
    return CreateCompatibleBitmap(compatibleWith, width, height);
}

CanvasAllocator gAllocator{ SystemCreateDC, SystemCreateBitmap };
CanvasReclaimFn gReclaim = nullptr;
SketchPortLookupFn gPortLookup = nullptr;

constexpr uint32_t kWarningInterval = 60000;  // ms
IdleTask gWarningTask{};
uint32_t gLastWarning = 0;
bool     gWarnedBefore = false;

constexpr UINT kLowMemoryText    = 216;
constexpr UINT kLowMemoryCaption = 217;
constexpr int32_t kWhiteSum = 765;

int32_t ColorSum(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

void LoadText(UINT id, const char* fallback, char* buffer) {
    if (LoadStringA(GetModuleHandleA(nullptr), id, buffer, 120) <= 0) lstrcpynA(buffer, fallback, 120);
}

int32_t ShowLowMemoryWarning(IdleTask*, int32_t) {
    char text[120], caption[120];
    LoadText(kLowMemoryText,
             "You are very low on memory. Please save your work and either close some windows or "
             "restart Velmora.",
             text);
    LoadText(kLowMemoryCaption, "Low On Memory", caption);
    const bool previous = SetAlertShowing(true);
    MessageBoxA(nullptr, text, caption, MB_OK);
    SetAlertShowing(previous);
    return 0;
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

void FillWithColor(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush) return;
    HGDIOBJ previous = SelectObject(dc, brush);
    PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, PATCOPY);
    SelectObject(dc, previous);
    DeleteObject(brush);
}

RECT ToRect(const ScreenRect& r) { return { r.left, r.top, r.right, r.bottom }; }

int16_t ClampShort(LONG v) { return static_cast<int16_t>(std::clamp<LONG>(v, -32768, 32767)); }
ScreenRect ToScreenRect(const RECT& r) {
    return { ClampShort(r.left), ClampShort(r.top), ClampShort(r.right), ClampShort(r.bottom) };
}

RECT ClientRectLogical(HWND hwnd, HDC dc) {
    RECT r{};
    if (hwnd) GetClientRect(hwnd, &r);
    if (dc) DPtoLP(dc, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The whole buffer in the logical units of its DC.
ScreenRect BufferRectLogical(GraphicsPort* port) {
    RECT r = port->bufferRect;
    DPtoLP(port->dc, reinterpret_cast<POINT*>(&r), 2);
    return ToScreenRect(r);
}

// Deletes a memory DC with the bitmap selected into it, putting back what it displaced.
void DeleteBuffer(HDC* dc, HGDIOBJ* slot) {
    if (*slot) DeleteObject(SelectObject(*dc, *slot));
    DeleteDC(*dc);
    *dc = nullptr;
    *slot = nullptr;
}

bool SketchHasTraces(const Sketch* sketch) { return sketch && !ScreenRectIsEmpty(sketch->tracedArea); }

}  // namespace

CanvasAllocator SetCanvasAllocator(const CanvasAllocator* allocator) {
    const CanvasAllocator before = gAllocator;
    gAllocator = allocator ? *allocator : CanvasAllocator{ SystemCreateDC, SystemCreateBitmap };
    return before;
}

void SetCanvasReclaimHandler(CanvasReclaimFn reclaim) { gReclaim = reclaim; }
void SetSketchPortLookup(SketchPortLookupFn lookup) { gPortLookup = lookup; }

GraphicsPort* SketchViewPort(Sketch* sketch) { return sketch && gPortLookup ? gPortLookup(sketch) : nullptr; }

void PortClientRectLogical(GraphicsPort* port, RECT* rect) { *rect = ClientRectLogical(port->hwnd, port->dc); }

void PortClientRectLogical(GraphicsPort* port, ScreenRect* rect) {
    *rect = ToScreenRect(ClientRectLogical(port->hwnd, port->dc));
}

void ReleaseOffscreenCanvas(GraphicsPort* port, HDC* tracesDC, HBITMAP* tracesBitmap) {
    if (port->dc && (port->dc == port->backDC || port->dc == port->tracesDC)) port->dc = port->windowDC;
    if (port->backDC) DeleteBuffer(&port->backDC, &port->backBitmapSlot);
    if (port->tracesDC) {
        if (tracesDC && tracesBitmap) {
            // Handed over with the bitmap still selected, so that its marks can be copied.
            *tracesDC = port->tracesDC;
            *tracesBitmap = port->tracesBitmapSlot
                                ? static_cast<HBITMAP>(GetCurrentObject(port->tracesDC, OBJ_BITMAP))
                                : nullptr;
            port->tracesDC = nullptr;
            port->tracesBitmapSlot = nullptr;
        } else {
            DeleteBuffer(&port->tracesDC, &port->tracesBitmapSlot);
        }
    }
    port->backBitmapSlot = port->tracesBitmapSlot = nullptr;
}

bool FreeOffscreenBuffers(GraphicsPort* port, bool keepBackBuffer) {
    bool freed = false;
    if (port->dc && (port->dc == port->tracesDC || (!keepBackBuffer && port->dc == port->backDC)))
        port->dc = port->windowDC;
    if (port->tracesDC) {
        freed = port->tracesBitmapSlot != nullptr;
        DeleteBuffer(&port->tracesDC, &port->tracesBitmapSlot);
    }
    if (!keepBackBuffer && port->backDC) {
        freed = freed || port->backBitmapSlot != nullptr;
        DeleteBuffer(&port->backDC, &port->backBitmapSlot);
    }
    return freed;
}

bool ReclaimCanvasMemory(GraphicsPort* port) {
    if (!gReclaim) return false;
    // Stop after the first pass that freed something.
    for (int32_t pass = 1; pass <= 2; ++pass)
        if (gReclaim(pass, port->dc)) return true;
    return false;
}

void WarnLowMemory() {
    const uint32_t now = TickCount();
    if (gWarnedBefore && now - gLastWarning <= kWarningInterval) return;
    if (gWarningTask.queued) return;
    AddIdleTask(&gWarningTask, ShowLowMemoryWarning, kIdleEveryPass);
    gLastWarning = now;
    gWarnedBefore = true;
}

IdleTask* LowMemoryWarningTask() { return &gWarningTask; }

void RebuildOffscreenCanvas(GraphicsPort* port) {
    const ScreenRect savedDirty = port->tracesDirty;
    const bool fading = port->fadeCounter > 0;
    RECT client{};
    if (port->hwnd) GetClientRect(port->hwnd, &client);
    const int32_t width = client.right - client.left, height = client.bottom - client.top;

    HDC oldTracesDC = nullptr;
    HBITMAP oldTracesBitmap = nullptr;
    const RECT oldBuffer = port->bufferRect;
    if (port->backDC && !EqualRect(&client, &port->bufferRect)) {
        if (fading) {
            ReleaseOffscreenCanvas(port, &oldTracesDC, &oldTracesBitmap);
        } else {
            ReleaseOffscreenCanvas(port, nullptr, nullptr);
        }
    }

    if (!port->backDC) {
        HDC dc;
        while (!(dc = gAllocator.createDC(port->windowDC)) && ReclaimCanvasMemory(port)) {}
        port->backDC = dc;
        if (!dc) WarnLowMemory();
    }
    if (port->backDC) {
        CopyMapping(port->windowDC, port->backDC);
        if (!port->backBitmapSlot) {
            HBITMAP bitmap;
            while (!(bitmap = gAllocator.createBitmap(port->windowDC, width, height)) &&
                   ReclaimCanvasMemory(port)) {}
            // A reclaim of the second pass may have taken this port's own DC too.
            if (bitmap && port->backDC) {
                port->backBitmapSlot = SelectObject(port->backDC, bitmap);
                port->bufferRect = client;
            } else {
                if (bitmap) DeleteObject(bitmap);
                if (port->backDC) DeleteDC(port->backDC);
                port->backDC = nullptr;
                WarnLowMemory();
            }
        }
    }
    if (port->backDC) {
        if (!port->tracesDC) port->tracesDC = gAllocator.createDC(port->windowDC);
        if (port->tracesDC) {
            CopyMapping(port->windowDC, port->tracesDC);
            if (!port->tracesBitmapSlot) {
                const RECT& b = port->bufferRect;
                HBITMAP bitmap = gAllocator.createBitmap(port->windowDC, b.right - b.left, b.bottom - b.top);
                if (bitmap) {
                    port->tracesBitmapSlot = SelectObject(port->tracesDC, bitmap);
                    ClearTracesLayer(port);
                } else {
                    DeleteDC(port->tracesDC);
                    port->tracesDC = nullptr;
                    WarnLowMemory();
                }
            }
        } else {
            WarnLowMemory();
        }
    }

    if (oldTracesDC) {
        RebuildOffscreenCanvas(port);
        if (fading && port->tracesDC && oldTracesBitmap) {
            POINT corner{ oldBuffer.left, oldBuffer.top };
            DPtoLP(port->dc, &corner, 1);
            const int32_t w = std::min<LONG>(oldBuffer.right - oldBuffer.left, port->bufferRect.right);
            const int32_t h = std::min<LONG>(oldBuffer.bottom - oldBuffer.top, port->bufferRect.bottom);
            BitBlt(port->tracesDC, corner.x, corner.y, w, h, oldTracesDC, corner.x, corner.y, SRCCOPY);
            port->tracesDirty = savedDirty;
            port->fadeCounter = kFadeSteps;
        }
        DeleteDC(oldTracesDC);
        if (oldTracesBitmap) DeleteObject(oldTracesBitmap);
        return;
    }

    if (port->backDC) {
        port->dc = port->backDC;
        BeginCanvasPaint(port, nullptr);
        EndCanvasPaint(port, nullptr);
    } else {
        port->dc = port->windowDC;
    }
}

void BeginCanvasPaint(GraphicsPort* port, const ScreenRect* rect) {
    const COLORREF background = CurrentBackground();
    const int32_t sum = ColorSum(background);
    const bool dark = sum < kDarkBelow;
    if (!port->backDC) {
        port->dc = port->windowDC;
        const RECT r = rect ? ToRect(*rect) : ToRect(BufferRectLogical(port));
        FillWithColor(port->windowDC, r, background);
        return;
    }
    port->dc = port->backDC;
    const ScreenRect area = rect ? *rect : BufferRectLogical(port);
    const RECT r = ToRect(area);
    FillWithColor(port->backDC, r, background);
    if (sum != kWhiteSum && sum != 0) StampMaskLayer(port, &area, dark, nullptr);
    port->ropMode = dark ? R2_MERGEPEN : R2_MASKPEN;
    if (port->tracesDC && SketchHasTraces(CurrentSketch()) && port->fadeCounter >= 1)
        BitBlt(port->backDC, r.left, r.top, r.right - r.left, r.bottom - r.top, port->tracesDC, r.left, r.top,
               dark ? SRCPAINT : SRCAND);
}

void EndCanvasPaint(GraphicsPort*, const ScreenRect*) { ReleaseSharedDrawingObjects(); }

void BeginRedrawPass(GraphicsPort* port, const ScreenRect* rect) {
    if (auto form = LaterForms().drawing.beginRedraw) return form(port, rect);
    BeginCanvasPaint(port, rect);
}

void EndRedrawPass(GraphicsPort* port, const ScreenRect* rect) {
    if (auto form = LaterForms().drawing.endRedraw) return form(port, rect);
    EndCanvasPaint(port, rect);
}

void StampMaskLayer(GraphicsPort* port, const ScreenRect* rect, bool dark, const OutputScale* scaling) {
    Sketch* sketch = CurrentSketch();
    if (!port->backDC || !sketch) return;
    SketchObject* head = sketch->layerHeads[2];
    if (!head) return;
    const COLORREF blank = dark ? RGB(0, 0, 0) : RGB(255, 255, 255);
    DCSelection selection(port->dc);
    selection.Brush(CreateSolidBrush(blank));
    selection.Pen(CreatePen(PS_SOLID, 0, blank));
    selection.Rop(R2_COPYPEN);
    port->ropMode = R2_COPYPEN;  // the interiors' routines draw their bare shape
    for (SketchObject* object = head; object;
         object = object->nextInLayer == head ? nullptr : object->nextInLayer) {
        if (object->exists != 1 || object->hidden != kShown) continue;
        if (!ScreenRectsOverlap(object->bounds, *rect)) continue;
        const ObjectClassRecord& row = ObjectClassTable[object->objectClass];
        if (scaling) {
            if (row.drawScaled) row.drawScaled(port, object, scaling);
        } else if (row.draw) {
            row.draw(port, object);
        }
    }
}

void PaintBackgroundScaled(GraphicsPort* port, Sketch* sketch, const OutputScale* scaling) {
    const RECT out = port->paintRect;
    const COLORREF background = sketch->settings.palette[kColorSlotBackground] & 0xFFFFFF;
    const int32_t sum = ColorSum(background);
    const bool dark = sum < kDarkBelow;
    if (sum != kWhiteSum) FillWithColor(port->dc, out, background);
    const ScreenRect area = ToScreenRect(out);
    StampMaskLayer(port, &area, dark, scaling);
    port->ropMode = dark ? R2_MERGEPEN : R2_MASKPEN;
    if (!port->tracesDC || !SketchHasTraces(sketch)) return;
    // Back to view pixels: divided by the output scale, less the page offset.
    const double factor = scaling && scaling->factor > 0 ? scaling->factor : 1.0;
    const double offsetX = scaling ? scaling->offsetX : 0, offsetY = scaling ? scaling->offsetY : 0;
    auto back = [&](LONG v, double offset) { return static_cast<LONG>(RoundToScreen(v / factor - offset)); };
    const RECT source = { back(out.left, offsetX), back(out.top, offsetY), back(out.right, offsetX),
                          back(out.bottom, offsetY) };
    StretchBlt(port->dc, out.left, out.top, out.right - out.left, out.bottom - out.top, port->tracesDC,
               source.left, source.top, source.right - source.left, source.bottom - source.top,
               dark ? SRCPAINT : SRCAND);
}

int32_t FillScrolledStrips(Sketch* sketch, GraphicsPort* port, int32_t dx, int32_t dy) {
    if (!port->backDC || (dx == 0 && dy == 0)) return 0;
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    const RECT client = ClientRectLogical(port->hwnd, port->dc);
    const int32_t width = client.right - client.left, height = client.bottom - client.top;
    const bool separate = dx != 0 && dy != 0 && std::abs(dx) * 2 < width && std::abs(dy) * 2 < height;
    const COLORREF background = CurrentBackground();
    const bool traces = SketchHasTraces(sketch) && port->tracesDC;

    auto fillStrip = [&](const RECT& strip) {
        FillWithColor(port->backDC, strip, background);
        if (traces) FillWithColor(port->tracesDC, strip, background);
        const ScreenRect dirty = ToScreenRect(strip);
        UnionDirtyRect(&dirty);
    };
    if (dx != 0) {
        RECT strip = client;
        if (dx < 0) {
            strip.left = strip.right + dx;
        } else {
            strip.right = strip.left + dx;
        }
        fillStrip(strip);
        if (separate) FlushPendingRedraw(1);
    }
    if (dy != 0) {
        RECT strip = client;
        if (dy < 0) {
            strip.top = strip.bottom + dy;
        } else {
            strip.bottom = strip.top + dy;
        }
        if (separate) {  // the corner went with the vertical strip
            if (dx < 0) {
                strip.right = client.right + dx;
            } else {
                strip.left = client.left + dx;
            }
        }
        fillStrip(strip);
        FlushPendingRedraw(1);
    } else if (!separate) {
        FlushPendingRedraw(1);
    }
    if (traces) port->fadeCounter = kFadeSteps;
    SetCurrentSketch(previous, nullptr);
    return 1;
}

void ChooseSelectionColor(GraphicsPort* port) {
    const SelectionColors colors = SelectionColorsFor(CurrentBackground(), CurrentHighlight());
    port->contrastColor = colors.contrast;
    port->selectionColor = colors.selection;
}
