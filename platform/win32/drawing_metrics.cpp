// The drawing metrics' screen values, the size of a number field in the interface font,
// and the interface fonts themselves.
#include <windows.h>

#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/preferences.h"
#include "platform/rules/drawing_metrics_table.h"
#include "platform/win32/ui_fonts.h"

DrawingMetricsRecord DrawingMetrics{};
OutputScale CurrentOutputScale{ 0, 1.0, 0, 0 };

namespace {
struct UiFontPair {
    HFONT large;
    HFONT small;
};
UiFontPair gFonts{};
UiFontPair gSetAside{};
bool gHaveSetAside = false;
int32_t gNumberFieldHeight = 0;
int32_t gNumberFieldWidth = 0;
int32_t gPrintPage = 0;

HFONT MakeUiFont(int32_t pixelsAt96, int32_t resolution) {
    LOGFONTA font{};
    font.lfHeight = UiFontHeight(pixelsAt96, resolution);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = ANSI_CHARSET;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    return CreateFontIndirectA(&font);
}

void DeletePair(UiFontPair* pair) {
    if (pair->large) DeleteObject(pair->large);
    if (pair->small) DeleteObject(pair->small);
    *pair = UiFontPair{};
}

// The size of "-0.123456" in the large font on the screen: it sizes the number labels
// of axes and grids.
bool MeasureNumberFieldSize() {
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    const bool made = CreateUiFonts(GetDeviceCaps(screen, LOGPIXELSX));
    if (made) {
        HGDIOBJ old = SelectObject(screen, gFonts.large);
        RECT box = { 0, 0, 1, 1 };
        DrawTextA(screen, "-0.123456", -1, &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(screen, old);
        gNumberFieldHeight = box.bottom;
        gNumberFieldWidth = box.right;
    }
    ReleaseDC(nullptr, screen);
    return made;
}
}  // namespace

HFONT LargeUiFont() { return gFonts.large; }
HFONT SmallUiFont() { return gFonts.small; }
int32_t& PrintPageNumber() { return gPrintPage; }
HDC& PrintMeasureDC() {
    static HDC dc = nullptr;
    return dc;
}

bool CreateUiFonts(int32_t resolution) {
    gFonts.large = MakeUiFont(kLargeUiFontPixels, resolution);
    gFonts.small = MakeUiFont(kSmallUiFontPixels, resolution);
    return gFonts.large != nullptr;
}

void UseUiFontsForDpi(int32_t resolution) {
    if (gHaveSetAside) DeletePair(&gFonts);  // a second call replaces the device's pair
    else gSetAside = gFonts;
    gHaveSetAside = true;
    gFonts = UiFontPair{};
    CreateUiFonts(resolution);
}

void RestoreUiFonts() {
    if (!gHaveSetAside) return;
    DeletePair(&gFonts);
    gFonts = gSetAside;
    gSetAside = UiFontPair{};
    gHaveSetAside = false;
}

void DeleteUiFonts() {
    RestoreUiFonts();
    DeletePair(&gFonts);
}

bool InitDrawingMetrics() {
    if (gNumberFieldHeight == 0 && !MeasureNumberFieldSize()) return false;
    SetScreenDrawingMetrics(&DrawingMetrics, gPrintPage, ThePreferences().resolution,
                            gNumberFieldHeight, gNumberFieldWidth);
    return true;
}

void StoreScreenResolution(Preferences* preferences) {
    HDC desktop = GetDC(GetDesktopWindow());
    preferences->resolution = GetDeviceCaps(desktop, LOGPIXELSX);
    ReleaseDC(GetDesktopWindow(), desktop);
}
