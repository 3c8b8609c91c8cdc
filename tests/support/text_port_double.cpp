#include "tests/support/text_port_double.h"

#include <algorithm>
#include <cassert>

#include "engine/core/services/calculator.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/text_port.h"
#include "engine/text/layout.h"


namespace {

std::vector<PortCall> gCalls;
int32_t gDepth = 0;
TextStyle gApplied{};
bool gHaveApplied = false;

void Record(const char* op, std::vector<int32_t> args, std::string text = {}) {
    gCalls.push_back(PortCall{ op, std::move(args), std::move(text) });
}

int32_t CurrentSize(LayoutDrawState* state) {
    return TextPortPixelSize(gHaveApplied ? gApplied : state->style);
}

}  // namespace

const std::vector<PortCall>& TextPortCalls() { return gCalls; }

void RecordTextPortCall(const char* op, std::vector<int32_t> args, std::string text) {
    Record(op, std::move(args), std::move(text));
}

void ResetTextPort() {
    gCalls.clear();
    gDepth = 0;
    gHaveApplied = false;
}

int32_t TextPortDepth() { return gDepth; }

int32_t TextPortPixelSize(const TextStyle& style) {
    const int32_t s = ScriptLevelFontSize(&style);
    return s > 0 ? s : 12;
}

std::string DescribeTextPortCalls() {
    std::string out;
    for (const PortCall& c : gCalls) {
        out += c.op;
        if (!c.text.empty()) {
            out += " '";
            out += c.text;
            out += '\'';
        }
        for (int32_t a : c.args) {
            out += ' ';
            out += std::to_string(a);
        }
        out += "\n";
    }
    return out;
}

void PortBeginMeasure(LayoutDrawState*) { ++gDepth; }
void PortEndMeasure(LayoutDrawState*) {
    assert(gDepth > 0);
    if (--gDepth == 0) gHaveApplied = false;
}
void PortBeginDraw(LayoutDrawState*) { ++gDepth; }
void PortEndDraw(LayoutDrawState*) {
    assert(gDepth > 0);
    if (--gDepth == 0) gHaveApplied = false;
}

void PortApplyTextStyle(LayoutDrawState* state) {
    gApplied = state->style;
    gHaveApplied = true;
}

void PortFontMetrics(LayoutDrawState* state, int32_t* ascent, int32_t* descent,
                     int32_t* internalLeading) {
    const int32_t s = CurrentSize(state);
    *ascent = 5 * s / 6;
    *descent = s / 4;
    *internalLeading = 0;
}

void PortTextWidth(LayoutDrawState* state, const char*, int32_t n, int32_t* width,
                   int32_t* height) {
    const int32_t s = CurrentSize(state);
    *width = static_cast<int32_t>(std::min<int64_t>(int64_t{ n } * (s / 2), INT32_MAX));
    *height = 5 * s / 6 + s / 4;
}

void PortFitTextToWidth(const char*, int32_t n, LayoutDrawState* state, int32_t x,
                        int32_t* count, int32_t* side) {
    const int32_t w = std::max(1, CurrentSize(state) / 2);
    int32_t fit = std::clamp(x / w, 0, n);
    const int32_t remaining = x - fit * w;
    if (fit < n && w / 2 < remaining) {
        *count = fit + 1;
        *side = 0;
    } else {
        *count = fit;
        *side = 1;
    }
}

void PortDrawTextRun(LayoutDrawState* state, const char* text, int32_t n, int32_t ascent,
                     int32_t descent) {
    Record("text", { state->x, state->y, ascent, descent, CurrentSize(state) },
           std::string(text, static_cast<size_t>(n)));
}

int32_t PortGlyphWidth(LayoutDrawState* state, int32_t code, int32_t size) {
    if (code == 256 || code == 258) return size;
    if (code == 257) return size * 7 / 8;
    return CurrentSize(state) / 2;
}

void PortDrawGlyph(LayoutDrawState* state, int32_t code, int32_t ascent) {
    Record("glyph", { code, state->x, state->y, ascent });
}

void PortMeasureSymbolPair(LayoutDrawState*, char, char, int32_t height, int32_t* width1,
                           int32_t* width2, int32_t* ascent, int32_t* descent) {
    *width1 = *width2 = height / 2;
    *ascent = 5 * height / 6;
    *descent = height / 4;
}

void PortDrawSymbolPair(LayoutDrawState* state, char first, char second, int32_t height,
                        int32_t distance) {
    Record("symbols", { state->x, state->y, height, distance }, std::string{ first, second });
}

void PortSelectStylePen(LayoutDrawState*, int32_t a, int32_t b) {
    Record("pen", { std::max(a, b) });
}

void PortDrawPolyline(LayoutDrawState*, const ScreenPoint* points, int32_t count) {
    std::vector<int32_t> args;
    for (int32_t i = 0; i < count; ++i) {
        args.push_back(points[i].x);
        args.push_back(points[i].y);
    }
    Record("lines", std::move(args));
}

void PortBeginOutline(LayoutDrawState*) { Record("outline", {}); }
void PortEndOutline(LayoutDrawState*) { Record("endoutline", {}); }

static std::vector<int32_t> RectArgs(const ScreenRect* r) {
    return { r->left, r->top, r->right, r->bottom };
}
void PortFrameRect(LayoutDrawState*, const ScreenRect* r) { Record("frame", RectArgs(r)); }
void PortFillRect(LayoutDrawState*, const ScreenRect* r) { Record("fill", RectArgs(r)); }
void PortEraseRect(LayoutDrawState*, const ScreenRect* r) { Record("erase", RectArgs(r)); }
void PortInvertRect(LayoutDrawState*, const ScreenRect* r) { Record("invert", RectArgs(r)); }
void DrawLayoutOnSelection(LayoutDrawState*, LayoutNode*, const ScreenRect* r, bool) { Record("cell", RectArgs(r)); }

void PortDrawTopArc(LayoutDrawState*, const int16_t square[4]) {
    Record("arc", { square[0], square[1], square[2], square[3] });
}

void PortDrawCaretLine(LayoutDrawState*, ScreenPoint top, ScreenPoint bottom, int32_t mode) {
    Record("caret", { top.x, top.y, bottom.x, bottom.y, mode });
}

