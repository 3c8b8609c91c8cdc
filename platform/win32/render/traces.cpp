#include "platform/win32/render/traces.h"

#include <cstring>

#include "engine/core/geometry.h"
#include "engine/core/object_tables.h"
#include "engine/core/random.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/sketch.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"

namespace {

uint8_t gPatterns[256];
bool    gPatternsBuilt = false;

constexpr DWORD kDestAndPattern   = 0xA000C9;
constexpr DWORD kDestOrNotPattern = 0xAF0229;

// Traces use the dark rule with "at most 144", the paint pass "below 145": one test.
bool DarkTraces() { return IsDarkBackground(CurrentBackground()); }

}  // namespace

void BuildDissolvePatterns() {
    if (gPatternsBuilt) return;
    std::memset(gPatterns, 0xFF, sizeof gPatterns);
    int32_t available[kDissolvePatternCount];
    int32_t cleared[kDissolvePatternCount] = {};
    for (int32_t k = 0; k < kDissolvePatternCount; ++k) available[k] = k;
    int32_t count = kDissolvePatternCount;
    for (int32_t i = 0; i < 128; ++i) NextRandom();
    // Each of the 64 bit positions goes to one pattern; each pattern takes two.
    for (int32_t j = 0; j < 64; ++j) {
        const int32_t r = NextRandom() % count;
        const int32_t b = available[r];
        gPatterns[(b / 2) * 16 + (j / 8) * 2 + (b % 2)] &= static_cast<uint8_t>(~(1u << (j % 8)));
        if (++cleared[b] == 2) {
            for (int32_t k = r; k + 1 < count; ++k) available[k] = available[k + 1];
            --count;
        }
    }
    gPatternsBuilt = true;
}

const uint8_t* DissolvePatterns() {
    BuildDissolvePatterns();
    return gPatterns;
}

HBITMAP CreateDissolveBitmap(int32_t pattern) {
    return CreateBitmap(8, 8, 1, 1, DissolvePatterns() + (pattern / 2) * 16 + (pattern % 2));
}

void DrawObjectTrace(GraphicsPort* port, SketchObject* object) {
    if (!port->tracesDC) return;
    ScreenRect clipped = object->bounds;
    ScreenRect client;
    PortClientRectLogical(port, &client);
    ScreenRectIntersect(client, &clipped);

    const ObjectClassRecord& row = ObjectClassTable[object->objectClass];
    HDC saved = port->dc;
    port->dc = port->tracesDC;
    const uint32_t flags = object->markFlags;
    object->markFlags = kMarkTraceStyle;
    if (row.draw) row.draw(port, object);
    object->markFlags = flags;
    port->dc = saved;

    ScreenRectUnion(clipped, &port->tracesDirty);
    port->fadeCounter = kFadeSteps;
}

void ClearTracesLayer(GraphicsPort* port) {
    if (!port->tracesDC) return;
    HDC saved = port->dc;
    port->dc = port->tracesDC;
    RECT client;
    PortClientRectLogical(port, &client);
    port->dc = saved;
    PatBlt(port->tracesDC, client.left, client.top, client.right - client.left, client.bottom - client.top,
           DarkTraces() ? BLACKNESS : WHITENESS);
    port->fadeCounter = 0;
    if (CurrentSketch()) {
        ScreenRect dirty;
        PortClientRectLogical(port, &dirty);
        UnionDirtyRect(&dirty);
    }
    port->tracesDirty = kTracesClean;
}

bool FadeTracesStep(GraphicsPort* port) {
    if (auto form = LaterForms().platform.fadeTracesStep) return form(port);
    if (!port->tracesDC || port->tracesDirty.left >= port->tracesDirty.right) return true;
    const ScreenRect dirty = port->tracesDirty;
    // From (left - 1, top - 1) to (right, bottom), both ends included.
    const int32_t x = dirty.left - 1, y = dirty.top - 1;
    const int32_t width = dirty.right - x + 1, height = dirty.bottom - y + 1;

    if (CurrentSketch()) UnionDirtyRect(&dirty);
    if (--port->fadeCounter <= 0) {
        port->fadeCounter = 0;
        port->tracesDirty = kTracesClean;
    }
    // Where the display blends with constant alpha the marks are not dissolved: they
    // stay until the counter runs out and the paint pass stops laying them in.
    if (LOBYTE(LOWORD(GetVersion())) >= 5 && port->windowDC &&
        (GetDeviceCaps(port->windowDC, SHADEBLENDCAPS) & SB_CONST_ALPHA))
        return true;

    HBITMAP bitmap = CreateDissolveBitmap(port->nextPattern);
    HBRUSH brush = bitmap ? CreatePatternBrush(bitmap) : nullptr;
    if (brush) {
        HGDIOBJ previous = SelectObject(port->tracesDC, brush);
        // The pattern's 0 bits paint in the text colour (black), its 1 bits in the
        // background colour (white): two pixels of each 8 x 8 cell go back per step.
        const COLORREF text = SetTextColor(port->tracesDC, RGB(0, 0, 0));
        const COLORREF back = SetBkColor(port->tracesDC, RGB(255, 255, 255));
        PatBlt(port->tracesDC, x, y, width, height, DarkTraces() ? kDestAndPattern : kDestOrNotPattern);
        SetTextColor(port->tracesDC, text);
        SetBkColor(port->tracesDC, back);
        SelectObject(port->tracesDC, previous);
        DeleteObject(brush);
    }
    if (bitmap) DeleteObject(bitmap);
    port->nextPattern = (port->nextPattern + 1) % kDissolvePatternCount;
    return true;
}

void DrawSelectionMarquee(GraphicsPort* port, const ScreenRect& rect) {
    HDC dc = port->dc;
    DCSelection selection(dc);
    selection.Pen(CreatePen(PS_DASH, 0, port->contrastColor));
    selection.StockBrush(NULL_BRUSH);
    const COLORREF back = SetBkColor(dc, CurrentBackground());
    selection.Rop((port->contrastColor & 0xFFFFFF) == RGB(255, 255, 255) ? R2_MERGEPEN : R2_MASKPEN);
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SetBkColor(dc, back);
}

bool CanDragMarquee() { return true; }
