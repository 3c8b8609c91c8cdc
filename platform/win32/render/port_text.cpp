// How the layout engine measures and draws on a DC: the text state it nests around its
// passes, the style fonts and colours, widths and fitting, text runs, rectangles, the
// caret line, glyphs (Symbol-font characters and three drawn shapes) and bracket arcs.
#include "platform/win32/render/port_text.h"

#include <algorithm>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/bars.h"
#include "engine/core/services/calculator.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/text_port.h"
#include "engine/core/sketch.h"
#include "engine/text/layout.h"
#include "engine/text/layout_edit_session.h"
#include "engine/text/text_style.h"
#include "platform/rules/colors.h"
#include "platform/win32/fonts.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/shell_windows.h"

namespace {

struct PortTextState {
    int32_t  depth;
    HDC      dc;             // of the outermost state
    HGDIOBJ  originalFont;   // the DC's font before the first style font; null until then
    HFONT    styleFont;      // the style font selected last
    TextStyle cached;
    bool     haveCached;
    COLORREF outlineColor;
    HGDIOBJ  outlineBrush;   // displaced by PortBeginOutline
    HDC      caretDC;
    bool     editing;
};
PortTextState gText{};
HDC gMeasureDesktopDC = nullptr;

constexpr int32_t kFixedFitBuffer = 256;
constexpr int32_t kNoView = 101;

HDC DCOf(const LayoutDrawState* state) { return state && state->port ? state->port->dc : nullptr; }

// Selects `font` for the duration of one measurement or one glyph, then deletes it.
class TemporaryFont {
public:
    TemporaryFont(HDC dc, HFONT font) : dc_(dc), font_(font), previous_(font ? SelectObject(dc, font) : nullptr) {}
    ~TemporaryFont() {
        if (!font_) return;
        SelectObject(dc_, previous_);
        DeleteObject(font_);
    }
    explicit operator bool() const { return font_ != nullptr; }
private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_;
};

HFONT SymbolPairFont(const LOGFONTA& base, int32_t height) {
    LOGFONTA lf = base;
    lf.lfHeight = -height;
    lf.lfCharSet = SYMBOL_CHARSET;
    lf.lfPitchAndFamily = VARIABLE_PITCH;
    lstrcpynA(lf.lfFaceName, "Symbol", LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

void ReplacePen(HDC dc, HPEN pen) {
    if (!pen) return;
    HGDIOBJ previous = SelectObject(dc, pen);
    if (previous) DeleteObject(previous);  // stock pens ignore it
}

}  // namespace

// ---- Text state

int32_t PortEnterTextState(HDC dc) {
    if (gText.depth > 0) return gText.depth++;
    if (!GetCurrentObject(dc, OBJ_FONT)) SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    gText.dc = dc;
    gText.haveCached = false;
    gText.depth = 1;
    return 1;
}

void PortLeaveTextState(HDC dc) {
    if (gText.depth <= 0) return;
    if (--gText.depth > 0) return;
    if (gText.originalFont) {
        HGDIOBJ displaced = SelectObject(dc, gText.originalFont);
        if (displaced && displaced == gText.styleFont) DeleteObject(displaced);
    }
    gText.originalFont = nullptr;
    gText.styleFont = nullptr;
    gText.dc = nullptr;
}

int32_t PortTextDepth() { return gText.depth; }

void PortBeginMeasure(LayoutDrawState* state) { PortEnterTextState(DCOf(state)); }
void PortEndMeasure(LayoutDrawState* state) { PortLeaveTextState(DCOf(state)); }
void PortBeginDraw(LayoutDrawState* state) { PortEnterTextState(DCOf(state)); }
void PortEndDraw(LayoutDrawState* state) { PortLeaveTextState(DCOf(state)); }

COLORREF PortStyleColor(const TextStyle* style) {
    uint32_t color = 0;
    StyleToColorRef(style, &color);
    COLORREF c = color;
    if (DimmedObject()) DimTowardBackground(&c);
    return c;
}

void PortApplyTextStyle(LayoutDrawState* state) {
    HDC dc = DCOf(state);
    if (!dc) return;
    LOGFONTA lf;
    HFONT font = CreateStyleFont(&state->style, &lf);
    if (font) {
        HGDIOBJ displaced = SelectObject(dc, font);
        if (!gText.originalFont) {
            gText.originalFont = displaced;
        } else if (displaced && displaced == gText.styleFont) {
            DeleteObject(displaced);
        }
        gText.styleFont = font;
        SetTextColor(dc, PortStyleColor(&state->style));
    }
    gText.cached = state->style;
    gText.haveCached = true;
}

// ---- Measuring

void PortFontMetrics(LayoutDrawState* state, int32_t* ascent, int32_t* descent, int32_t* internalLeading) {
    TEXTMETRICA tm{};
    GetTextMetricsA(DCOf(state), &tm);
    *ascent = tm.tmAscent;
    *descent = tm.tmDescent;
    *internalLeading = tm.tmInternalLeading;
}

void PortTextWidth(LayoutDrawState* state, const char* text, int32_t n, int32_t* width, int32_t* height) {
    SIZE size{};
    if (n > 0) GetTextExtentPoint32A(DCOf(state), text, n, &size);
    *width = size.cx;
    *height = size.cy;
}

void PortFitTextToWidth(const char* text, int32_t n, LayoutDrawState* state, int32_t x, int32_t* count,
                        int32_t* side) {
    // Without a result (nothing fits, no memory) the caret goes before the first byte.
    *count = 0;
    *side = 1;
    if (n <= 0) return;
    int fixed[kFixedFitBuffer];
    int* widths = fixed;
    if (n >= kFixedFitBuffer) {
        widths = static_cast<int*>(AllocMemory(sizeof(int) * static_cast<size_t>(n), 0));
        if (!widths) return;
    }
    HDC dc = DCOf(state);
    int fit = 0;
    SIZE all{};
    GetTextExtentExPointA(dc, text, n, x, &fit, widths, &all);
    fit = std::clamp(fit, 0, static_cast<int>(n));
    if (fit == n) {
        // Everything fits: there is no next byte to weigh.
        *count = n;
    } else {
        SIZE next{};
        GetTextExtentPoint32A(dc, text + fit, 1, &next);
        const int32_t remaining = fit == 0 ? x : x - widths[fit - 1];
        if (next.cx / 2 < remaining) {
            *count = fit + 1;
            *side = 0;
        } else {
            *count = fit;
        }
    }
    if (widths != fixed) FreeMemory(widths);
}

int32_t PortGlyphWidth(LayoutDrawState* state, int32_t code, int32_t size) {
    HDC dc = DCOf(state);
    if (code >= 1 && code <= 254) {
        LOGFONTA lf;
        TemporaryFont font(dc, CreateSymbolStyleFont(&state->style, &lf));
        if (!font) return 0;
        INT width = 0;
        GetCharWidth32A(dc, static_cast<UINT>(code), static_cast<UINT>(code), &width);
        return width;
    }
    if (code == 256 || code == 258) return size;
    if (code == 257) return size * 7 / 8;
    SIZE s{};
    GetTextExtentPoint32A(dc, "?", 1, &s);
    return s.cx;
}

void PortMeasureSymbolPair(LayoutDrawState* state, char first, char second, int32_t height, int32_t* width1,
                           int32_t* width2, int32_t* ascent, int32_t* descent) {
    *width1 = *width2 = *ascent = *descent = 0;
    HDC dc = DCOf(state);
    LOGFONTA base{};
    TemporaryFont font(dc, SymbolPairFont(base, height));
    if (!font) return;
    INT w = 0;
    GetCharWidth32A(dc, static_cast<unsigned char>(first), static_cast<unsigned char>(first), &w);
    *width1 = w;
    GetCharWidth32A(dc, static_cast<unsigned char>(second), static_cast<unsigned char>(second), &w);
    *width2 = w;
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    *ascent = tm.tmAscent - tm.tmInternalLeading;
    *descent = tm.tmDescent;
}

// ---- Drawing

void PortSelectStylePen(LayoutDrawState* state, int32_t a, int32_t b) {
    ReplacePen(DCOf(state), CreatePen(PS_SOLID, std::max(a, b), PortStyleColor(&state->style)));
}

void PortDrawPolyline(LayoutDrawState* state, const ScreenPoint* points, int32_t count) {
    if (count < 2) return;
    POINT line[16];
    HDC dc = DCOf(state);
    for (int32_t from = 0; from + 1 < count; from += 15) {
        const int32_t n = std::min<int32_t>(16, count - from);
        for (int32_t i = 0; i < n; ++i) line[i] = { points[from + i].x, points[from + i].y };
        Polyline(dc, line, n);
    }
}

void PortBeginOutline(LayoutDrawState* state) {
    HDC dc = DCOf(state);
    gText.outlineColor = PortStyleColor(&state->style);
    ReplacePen(dc, CreatePen(PS_SOLID, 1, gText.outlineColor));
    gText.outlineBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
}

void PortEndOutline(LayoutDrawState* state) {
    HDC dc = DCOf(state);
    gText.outlineColor = 0;
    ReplacePen(dc, static_cast<HPEN>(GetStockObject(BLACK_PEN)));
    if (gText.outlineBrush) SelectObject(dc, gText.outlineBrush);
    gText.outlineBrush = nullptr;
}

void PortFrameRect(LayoutDrawState* state, const ScreenRect* r) {
    HDC dc = DCOf(state);
    DCSelection selection(dc);
    selection.Pen(CreatePen(PS_SOLID, 1, gText.outlineColor));
    selection.StockBrush(NULL_BRUSH);
    Rectangle(dc, r->left, r->top, r->right, r->bottom);
}

void PortFillRect(LayoutDrawState* state, const ScreenRect* r) {
    HDC dc = DCOf(state);
    DCSelection selection(dc);
    selection.Brush(CreateSolidBrush(gText.outlineColor));
    Rectangle(dc, r->left, r->top, r->right, r->bottom);
}

void PortEraseRect(LayoutDrawState* state, const ScreenRect* r) {
    const RECT rect{ r->left, r->top, r->right, r->bottom };
    FillRect(DCOf(state), &rect, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

void DrawLayoutOnSelection(LayoutDrawState* state, LayoutNode* tree, const ScreenRect* box, bool) {
    HDC dc = DCOf(state);
    if (!dc || !tree) return;
    COLORREF fill;
    SelectionFillColor(&fill);
    const RECT rect{ box->left, box->top, box->right, box->bottom };
    HBRUSH brush = CreateSolidBrush(fill);
    if (brush) {
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
    // A copy of the state: the caller's pen and style stay as they were.
    LayoutDrawState at = *state;
    at.x = box->left;
    at.y = static_cast<int16_t>(box->top + 1 + tree->ascent);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawLayout(tree, &at);
    SetBkMode(dc, oldMode);
}

void PortInvertRect(LayoutDrawState* state, const ScreenRect* r) {
    PatBlt(DCOf(state), r->left, r->top, r->right - r->left, r->bottom - r->top, DSTINVERT);
}

void PortDrawTextRun(LayoutDrawState* state, const char* text, int32_t n, int32_t a, int32_t b) {
    HDC dc = DCOf(state);
    RECT r{ state->x, state->y - a, state->x, state->y - a };
    DrawTextA(dc, text, n, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    // Room for overhangs, which the measured box leaves out.
    r.right += a;
    r.bottom += b;
    const int mode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, n, &r, DT_SINGLELINE | DT_NOPREFIX);
    SetBkMode(dc, mode);
}

void PortDrawCaretLine(LayoutDrawState* state, ScreenPoint from, ScreenPoint to, int32_t onState) {
    HDC target = nullptr;
    if (onState) {
        if (gText.caretDC && state && state->port && gText.caretDC == state->port->windowDC) target = state->port->dc;
    } else {
        target = gText.caretDC;
    }
    if (!target) return;
    const int rop = SetROP2(target, R2_NOT);
    SelectObject(target, GetStockObject(BLACK_PEN));
    MoveToEx(target, from.x, from.y, nullptr);
    LineTo(target, to.x, to.y);
    SetROP2(target, rop);
}

// ---- Glyphs

int32_t GlyphPenWidth(const TextStyle* style) { return ScriptLevelFontSize(style) / 16 + 1; }

namespace {

void DrawCircledDotGlyph(HDC dc, int32_t x, int32_t y, int32_t s, int32_t p, COLORREF color) {
    const int32_t t = s % 2 == 0 ? 1 : 0;
    Ellipse(dc, x + p, y - s + 2 * p + t, x + s - p - t, y);
    const int32_t cx = (s + 2 * x - p - t) / 2, cy = (t + p + 2 * y - s) / 2;
    if (p < 2) {
        MoveToEx(dc, cx, cy, nullptr);
        LineTo(dc, cx + 1, cy);
        return;
    }
    DCSelection selection(dc);
    selection.Brush(CreateSolidBrush(color));
    Ellipse(dc, cx, cy, cx + p + 1, cy + p + 1);
}

void DrawParallelGlyph(HDC dc, int32_t x, int32_t y, int32_t s, int32_t p) {
    const int32_t y0 = y - (p + 1) / 2, y1 = y0 + 3 * p - s;
    const int32_t x1 = x + p + 7 * s / 32, x2 = x + 7 * s / 8 - p - 7 * s / 32;
    for (int32_t bar : { x1, x2 }) {
        MoveToEx(dc, bar, y0, nullptr);
        LineTo(dc, bar, y1);
    }
}

void DrawTriangleGlyph(HDC dc, int32_t x, int32_t y, int32_t s, int32_t p) {
    const int32_t y0 = y - (p + 1) / 2, apex = y0 + 3 * p - s;
    const int32_t left = x + 2 * p;
    int32_t right = x + s - 2 * p;
    if ((left + right) % 2 != 0) --right;
    const POINT outline[4] = { { left, y0 }, { right, y0 }, { (left + right) / 2, apex }, { left, y0 } };
    Polyline(dc, outline, 4);
}

}  // namespace

void PortDrawGlyph(LayoutDrawState* state, int32_t code, int32_t size) {
    HDC dc = DCOf(state);
    const int32_t x = state->x, y = state->y;
    if (code >= 1 && code <= 254) {
        LOGFONTA lf;
        TemporaryFont font(dc, CreateSymbolStyleFont(&state->style, &lf));
        if (!font) return;
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        const char c = static_cast<char>(code);
        const int mode = SetBkMode(dc, TRANSPARENT);
        ExtTextOutA(dc, x, y - tm.tmAscent, 0, nullptr, &c, 1, nullptr);
        SetBkMode(dc, mode);
        return;
    }
    if (code < 256 || code > 258) {
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        const int mode = SetBkMode(dc, TRANSPARENT);
        ExtTextOutA(dc, x, y - tm.tmAscent, 0, nullptr, "?", 1, nullptr);
        SetBkMode(dc, mode);
        return;
    }
    const COLORREF color = PortStyleColor(&state->style);
    const int32_t p = GlyphPenWidth(&state->style);
    DCSelection selection(dc);
    selection.Pen(CreatePen(PS_SOLID, p, color));
    selection.StockBrush(NULL_BRUSH);
    switch (code) {
    case 256: DrawCircledDotGlyph(dc, x, y, size, p, color); break;
    case 257: DrawParallelGlyph(dc, x, y, size, p); break;
    default:  DrawTriangleGlyph(dc, x, y, size, p); break;
    }
}

void PortDrawSymbolPair(LayoutDrawState* state, char first, char second, int32_t height, int32_t offset) {
    HDC dc = DCOf(state);
    LOGFONTA base{};
    StyleToLogFont(&state->style, &base);
    TemporaryFont font(dc, SymbolPairFont(base, height));
    if (!font) return;
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    RECT r{ state->x, state->y - tm.tmAscent, state->x + height, state->y + 2 * tm.tmDescent };
    const int mode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, &first, 1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    OffsetRect(&r, offset, 0);
    DrawTextA(dc, &second, 1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    SetBkMode(dc, mode);
}

void PortDrawTopArc(LayoutDrawState* state, const int16_t square[4]) {
    const int32_t left = square[0], top = square[1], right = square[2], bottom = square[3];
    // The points at 45 degrees of the inscribed circle.
    const int32_t c = static_cast<int32_t>((right - left) * 0.1464461);
    Arc(DCOf(state), left, top, right, bottom, right - c, top + c, left + c, top + c);
}

void PortDrawSideArc(LayoutDrawState* state, const int16_t box[4], bool leftSide) {
    const int32_t left = box[0], top = box[1], right = box[2], bottom = box[3];
    const int32_t c = static_cast<int32_t>((right - left) * 0.066987298), q = (right - left) / 4;
    HDC dc = DCOf(state);
    if (leftSide) {
        Arc(dc, left, top, right, bottom, left + c, top + q, left + c, bottom - q);
    } else {
        Arc(dc, left, top, right, bottom, right - c, bottom - q, right - c, top + q);
    }
}

// ---- DCs, caption editing, drawing states

HDC* PortAcquireMeasureDC(Sketch* sketch, HDC* dc) {
    if (dc) return dc;
    if (GraphicsPort* port = SketchViewPort(sketch)) return &port->dc;
    gMeasureDesktopDC = GetDC(GetDesktopWindow());
    return &gMeasureDesktopDC;
}

void PortReleaseMeasureDC() {
    if (!gMeasureDesktopDC) return;
    ReleaseDC(GetDesktopWindow(), gMeasureDesktopDC);
    gMeasureDesktopDC = nullptr;
}

// The engine's measuring port: a port's first field is its DC, so the DC's address
// stands for one.
GraphicsPort* AcquireMeasurePort(Sketch* sketch) {
    return reinterpret_cast<GraphicsPort*>(PortAcquireMeasureDC(sketch, nullptr));
}
void ReleaseMeasurePort(Sketch*, GraphicsPort*) { PortReleaseMeasureDC(); }

int32_t PortBeginCaptionEdit(GraphicsPort** port) {
    GraphicsPort* view = SketchViewPort(CurrentSketch());
    *port = view;
    if (!view) return kNoView;
    gText.caretDC = view->windowDC;
    gText.editing = true;
    if (NotationBarWanted()) ShowNotationBar(true);
    return 0;
}

void PortEndCaptionEdit(void*) {
    gText.caretDC = nullptr;
    gText.editing = false;
}

void PortSetCaretDC(void* editor, HDC dc) {
    if (editor) HideEditorCaret(static_cast<LayoutEditSession*>(editor));
    gText.caretDC = dc;
}

HDC PortCaretDC() { return gText.caretDC; }

void MakeDrawStateForDC(LayoutDrawState* state, GraphicsPort* port, HDC dc, bool emphasised) {
    std::memset(state, 0, sizeof *state);
    *port = GraphicsPort{};
    port->dc = dc;
    state->port = port;
    for (int16_t& f : state->style.field) f = 1;
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, face);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    state->style.field[kStyleFont] = static_cast<int16_t>(FindFontIndex(face));
    state->style.field[kStyleSize] = static_cast<int16_t>(tm.tmHeight - tm.tmInternalLeading);
    state->style.field[kStyleScriptLevel] = 0;
    if (emphasised) {
        state->style.field[kStyleWeight] = 2;
        state->style.field[kStyleSize] = static_cast<int16_t>(state->style.field[kStyleSize] + 2);
    }
    if (Sketch* front = gEngine.frontSketch) {
        const SelectionColors colors = SelectionColorsFor(front->settings.palette[kColorSlotBackground],
                                                          front->settings.palette[kColorSlotHighlight]);
        port->contrastColor = colors.contrast;
        port->selectionColor = colors.selection;
    }
}

void SelectionFillColor(COLORREF* color) {
    const COLORREF w = GetSysColor(COLOR_WINDOW);
    auto less = [](int32_t c) { return c <= 25 ? 1 : c - 25; };
    *color = RGB(less(GetRValue(w)), less(GetGValue(w)), less(GetBValue(w)));
}

bool PortMouseButtonDown() {
    const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    if (!(GetAsyncKeyState(button) & 0x8000)) return false;
    MSG message;
    return !PeekMessageA(&message, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE);
}

void PortMousePosition(ScreenPoint* point) {
    POINT p{};
    GetCursorPos(&p);
    HWND calculator = CalculatorArea();
    if (calculator && GetActiveWindow() == GetParent(calculator)) {
        ScreenToClient(calculator, &p);
    } else if (GraphicsPort* port = SketchViewPort(CurrentSketch())) {
        ScreenToClient(port->hwnd, &p);
        DPtoLP(port->dc, &p, 1);
    }
    point->x = static_cast<int16_t>(std::clamp<LONG>(p.x, -32768, 32767));
    point->y = static_cast<int16_t>(std::clamp<LONG>(p.y, -32768, 32767));
}
