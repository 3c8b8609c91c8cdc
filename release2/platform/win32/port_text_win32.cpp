#include "release2/platform/win32/port_text_win32.h"

#include <algorithm>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/text_style.h"
#include "engine/text/layout.h"
#include "engine/text/text_style.h"
#include "platform/win32/fonts.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"
#include "release2/platform/port_object_stack.h"
#include "release2/platform/win32/pictures.h"

namespace release2 {

namespace {

struct OutlineEntry {
    HDC      dc;
    HPEN     pen;
    int32_t  savedLevel;  // -1 when measuring on the screen
    COLORREF previousColor;
};

struct PortTextCache {
    int32_t   depth = 0;
    HDC       dc = nullptr;  // of the outermost state
    HFONT     font = nullptr;
    TextStyle style{};
    bool      haveStyle = false;
    HPEN      pen = nullptr;
    COLORREF  penColor = 0;
    int32_t   penWidth = 0;
    HDC       penDC = nullptr;
    COLORREF  outlineColor = 0;
    OutlineEntry* outlines = nullptr;
    int32_t   outlineCount = 0, outlineCapacity = 0;
};
PortTextCache gCache;
PortObjectStack gStack;
PortObjectCounts gCounts{};

constexpr int32_t kOutlineGrowth = 5;

HDC DcOf(const LayoutDrawState* state) { return state && state->port ? state->port->dc : nullptr; }

void Made() { ++gCounts.made; }
void Delete(HGDIOBJ object) {
    if (object && DeleteObject(object)) ++gCounts.deleted;
}

void Release(void* object, void*) {
    if (object == gCache.pen) gCache.pen = nullptr;
    if (object == gCache.font) gCache.font = nullptr;
    Delete(static_cast<HGDIOBJ>(object));
}

bool IsFont(void* object) { return GetObjectType(static_cast<HGDIOBJ>(object)) == OBJ_FONT; }

// Records an object made in the current state; one the stack cannot take is deleted at
// once (the previous one stays selected) instead of being left for nobody to delete.
bool Record(HGDIOBJ object) {
    if (PortStackPush(&gStack, object, gCache.depth)) return true;
    Delete(object);
    return false;
}

bool SameFontFields(const TextStyle& a, const TextStyle& b) {
    for (int32_t f : { kStyleFont, kStyleSize, kStyleWeight, kStyleSlant, kStyleUnderline, kStyleOvermark,
                       kStyleWidth, kStyleScriptLevel })
        if (a.field[f] != b.field[f]) return false;
    return true;
}

}  // namespace

int32_t PortEnterTextState(HDC dc) {
    if (dc) SaveDC(dc);
    if (gCache.depth == 0) {
        HGDIOBJ base = MeasuringOnScreen() ? GetStockObject(DEFAULT_GUI_FONT) : GetCurrentObject(dc, OBJ_FONT);
        PortStackLeave(&gStack, 0, nullptr, nullptr);
        PortStackPush(&gStack, base, 0);
        gCache.font = nullptr;
        gCache.haveStyle = false;
        gCache.dc = dc;
    }
    return ++gCache.depth;
}

void PortLeaveTextState(HDC dc) {
    if (gCache.depth <= 0) return;
    // The DC's earlier objects come back first, so nothing deleted below is selected.
    if (dc) RestoreDC(dc, -1);
    const bool fontWasCached = gCache.font != nullptr;
    PortStackLeave(&gStack, gCache.depth == 1 ? 0 : gCache.depth, Release, nullptr);
    if (fontWasCached && !gCache.font) {
        gCache.font = static_cast<HFONT>(PortStackFind(gStack, IsFont));
        gCache.haveStyle = false;  // the style it was made from is not known any more
    }
    if (--gCache.depth == 0) {
        gCache.font = nullptr;
        gCache.dc = nullptr;
    }
}

void PortApplyTextStyle(LayoutDrawState* state) {
    HDC dc = DcOf(state);
    if (!dc) return;
    SetTextColor(dc, PortStyleColor(&state->style));
    if (gStack.count > 1 && gCache.font && gCache.haveStyle && GetCurrentObject(dc, OBJ_FONT) == gCache.font &&
        SameFontFields(gCache.style, state->style))
        return;
    LOGFONTA lf;
    HFONT font = CreateStyleFont(&state->style, &lf);
    if (!font) return;
    Made();
    if (!Record(font)) return;
    SelectObject(dc, font);
    gCache.font = font;
    gCache.style = state->style;
    gCache.haveStyle = true;
}

void PortSelectStylePen(LayoutDrawState* state, int32_t a, int32_t b) {
    HDC dc = DcOf(state);
    if (!dc) return;
    const int32_t width = std::max(a, b);
    const COLORREF color = PortStyleColor(&state->style);
    if (gCache.pen && GetCurrentObject(dc, OBJ_PEN) == gCache.pen && gCache.penColor == color &&
        gCache.penWidth == width && gCache.penDC == dc)
        return;
    HPEN pen = CreatePen(PS_SOLID, width, color);
    if (!pen) return;
    Made();
    if (!Record(pen)) return;
    SelectObject(dc, pen);
    gCache = { gCache.depth, gCache.dc, gCache.font, gCache.style, gCache.haveStyle, pen, color, width, dc,
               gCache.outlineColor, gCache.outlines, gCache.outlineCount, gCache.outlineCapacity };
}

void PortTextWidth(LayoutDrawState* state, const char* text, int32_t n, int32_t* width, int32_t* height) {
    SIZE size{};
    HDC dc = DcOf(state);
    if (n > 0 && !(dc && GetTextExtentPoint32A(dc, text, n, &size))) {
        // A DC that cannot measure (an old-style metafile's): on the screen, in the same font.
        HWND desktop = GetDesktopWindow();
        HDC screen = GetDC(desktop);
        if (screen) {
            HFONT font = gCache.font;
            HFONT made = nullptr;
            if (!font || GetObjectType(font) != OBJ_FONT) {
                LOGFONTA lf;
                font = made = CreateStyleFont(&state->style, &lf);
            }
            HGDIOBJ previous = font ? SelectObject(screen, font) : nullptr;
            GetTextExtentPoint32A(screen, text, n, &size);
            if (previous) SelectObject(screen, previous);
            if (made) DeleteObject(made);
            ReleaseDC(desktop, screen);
        }
    }
    *width = size.cx;
    *height = size.cy;
}

void PortGetTextMetrics(LayoutDrawState* state, int32_t* ascent, int32_t* descent, int32_t* internalLeading) {
    TEXTMETRICA tm{};
    HDC dc = DcOf(state);
    if (MeasuringOnScreen() || !dc || !GetTextMetricsA(dc, &tm)) {
        HWND desktop = GetDesktopWindow();
        if (HDC screen = GetDC(desktop)) {
            HGDIOBJ previous = gCache.font ? SelectObject(screen, gCache.font) : nullptr;
            GetTextMetricsA(screen, &tm);
            if (previous) SelectObject(screen, previous);
            ReleaseDC(desktop, screen);
        }
    }
    *ascent = tm.tmAscent;
    *descent = tm.tmDescent;
    *internalLeading = tm.tmInternalLeading;
}

void PortBeginOutline(LayoutDrawState* state) {
    HDC dc = DcOf(state);
    if (!dc) return;
    if (gCache.outlineCount == gCache.outlineCapacity) {
        void* block = gCache.outlines;
        const int32_t grown = gCache.outlineCapacity + kOutlineGrowth;
        if (!ReallocMemory(&block, sizeof(OutlineEntry) * size_t(grown), false)) return;
        gCache.outlines = static_cast<OutlineEntry*>(block);
        gCache.outlineCapacity = grown;
    }
    const COLORREF color = PortStyleColor(&state->style);
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    if (pen) Made();
    const int32_t level = MeasuringOnScreen() ? -1 : SaveDC(dc);
    gCache.outlines[gCache.outlineCount++] = { dc, pen, level, gCache.outlineColor };
    gCache.outlineColor = color;
    if (pen) SelectObject(dc, pen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
}

void PortEndOutline(LayoutDrawState*) {
    if (gCache.outlineCount == 0) return;
    const OutlineEntry e = gCache.outlines[--gCache.outlineCount];
    if (e.savedLevel > 0) {
        RestoreDC(e.dc, e.savedLevel);
    } else {
        SelectObject(e.dc, GetStockObject(BLACK_PEN));
    }
    Delete(e.pen);
    gCache.outlineColor = e.previousColor;
}

int32_t GlyphPenWidth(const TextStyle* style) { return GlyphPenWidthForSize(ScriptLevelFontSize(style)); }

void PortFreeCaches() {
    PortStackFree(&gStack);
    FreeMemory(gCache.outlines);
    HPEN pen = gCache.pen;
    gCache = PortTextCache{};
    // The cached pen is on the stack only while its state lasts.
    if (pen && GetObjectType(pen) == OBJ_PEN) Delete(pen);
}

PortObjectCounts PortCounts() { return gCounts; }

}  // namespace release2
