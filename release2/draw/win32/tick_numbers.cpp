// figlate's axis tick numbers: measured on the DC, or on the screen while an old-style
// metafile (whose DC cannot measure) is made, and then written at a corner by TextOutA.
#include <windows.h>

#include <cstring>

#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/later_release.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/ui_fonts.h"
#include "release2/draw/win32/antialias_policy.h"
#include "release2/platform/win32/pictures.h"

namespace {

// Space between a number and its power of ten.
constexpr int32_t kExponentGap = 2;

struct TextSize {
    int32_t width = 0;
    int32_t height = 0;
};

TextSize MeasureOn(HDC dc, HFONT font, const char* text) {
    RECT r = { 0, 0, 1, 1 };
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    if (previous) SelectObject(dc, previous);
    return { r.right - r.left, r.bottom - r.top };
}

// The number in the axis font, the exponent in the small one (null font: the DC's own).
void MeasureTickTexts(HDC dc, bool onScreen, const char* text, const char* exponent, TextSize* number,
                      TextSize* power) {
    HWND desktop = nullptr;
    HDC measure = dc;
    if (onScreen) {
        desktop = GetDesktopWindow();
        measure = GetDC(desktop);
        if (!measure) return;
    }
    *number = MeasureOn(measure, onScreen ? LargeUiFont() : nullptr, text);
    if (exponent[0]) *power = MeasureOn(measure, SmallUiFont(), exponent);
    if (onScreen) ReleaseDC(desktop, measure);
}

void PutText(HDC dc, bool onScreen, const char* text, int32_t left, int32_t top, const TextSize& size) {
    if (onScreen) {
        TextOutA(dc, left, top, text, int(std::strlen(text)));
        return;
    }
    RECT box = { left, top, left + size.width, top + size.height };
    DrawTextA(dc, text, -1, &box, DT_SINGLELINE | DT_NOPREFIX);
}

void DrawTickNumberRevised(GraphicsPort* port, bool horizontal, int32_t along, int32_t markFrom, int32_t markTo,
                           const char* text, const char* exponent) {
    HDC dc = port->dc;
    const bool onScreen = release2::MeasuringOnScreen();
    TextSize number, power;
    MeasureTickTexts(dc, onScreen, text, exponent, &number, &power);
    const int32_t powerWidth = exponent[0] ? power.width + kExponentGap : 0;
    const int32_t gap = DrawingMetrics.intMetricsB[kMetricTickNumberGap];
    int32_t left, top;
    if (horizontal) {
        left = along - (number.width + powerWidth) / 2;
        top = markTo + gap;
    } else {
        left = markFrom - gap - powerWidth - number.width;
        top = along - number.height / 2;
    }
    PutText(dc, onScreen, text, left, top, number);
    if (!exponent[0]) return;
    const int saved = SaveDC(dc);
    if (HFONT small = SmallUiFont()) SelectObject(dc, small);
    PutText(dc, onScreen, exponent, left + number.width + kExponentGap, top, power);
    RestoreDC(dc, saved);
}

}  // namespace

void AddTickNumberForm(LaterReleaseForms* forms) { forms->drawing.drawTickNumber = DrawTickNumberRevised; }
