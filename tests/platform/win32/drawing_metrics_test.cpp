#include <windows.h>

#include <gtest/gtest.h>

#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/preferences.h"
#include "platform/win32/ui_fonts.h"

namespace {

int32_t FontHeight(HFONT font) {
    LOGFONTA logFont{};
    GetObjectA(font, sizeof logFont, &logFont);
    return logFont.lfHeight;
}

TEST(DrawingMetrics, ScreenValuesWithTheMeasuredNumberField) {
    ASSERT_TRUE(InitDrawingMetrics());
    EXPECT_EQ(DrawingMetrics.intMetricsA[kMetricLineWeight], 1);
    EXPECT_EQ(DrawingMetrics.intMetricsA[kMetricPageResolution], 3);
    EXPECT_EQ(DrawingMetrics.realMetrics[kMetricMinTickSpacing], 3.5);
    EXPECT_GT(DrawingMetrics.intMetricsB[kMetricNumberFieldHeight], 0);
    EXPECT_GT(DrawingMetrics.intMetricsB[kMetricNumberFieldWidth],
              DrawingMetrics.intMetricsB[kMetricNumberFieldHeight]);
    EXPECT_EQ(DrawingMetrics.intMetricsB[20], 2);
}

TEST(DrawingMetrics, APrintedPageSetsThePageResolutionMetric) {
    Preferences& preferences = ThePreferences();
    const int32_t saved = preferences.resolution;
    struct Case { int32_t page, resolution, value; };
    for (const Case& c : { Case{ 1, 96, 3 }, Case{ 1, 120, 4 }, Case{ 0, 120, 3 } }) {
        PrintPageNumber() = c.page;
        preferences.resolution = c.resolution;
        ASSERT_TRUE(InitDrawingMetrics());
        EXPECT_EQ(DrawingMetrics.intMetricsA[kMetricPageResolution], c.value) << c.page << " " << c.resolution;
    }
    PrintPageNumber() = 0;
    preferences.resolution = saved;
}

TEST(DrawingMetrics, InterfaceFontsForAnotherDeviceAndBack) {
    ASSERT_TRUE(InitDrawingMetrics());
    HFONT screenLarge = LargeUiFont(), screenSmall = SmallUiFont();
    ASSERT_NE(screenLarge, nullptr);
    struct Case { int32_t resolution, large, small; };
    for (const Case& c : { Case{ 96, -10, -8 }, Case{ 120, -12, -10 }, Case{ 72, -7, -6 } }) {
        UseUiFontsForDpi(c.resolution);
        EXPECT_EQ(FontHeight(LargeUiFont()), c.large) << c.resolution;
        EXPECT_EQ(FontHeight(SmallUiFont()), c.small) << c.resolution;
        RestoreUiFonts();
        EXPECT_EQ(LargeUiFont(), screenLarge);
        EXPECT_EQ(SmallUiFont(), screenSmall);
    }
    // A second pair for a device before the first is restored still restores the screen's.
    UseUiFontsForDpi(120);
    UseUiFontsForDpi(72);
    RestoreUiFonts();
    EXPECT_EQ(LargeUiFont(), screenLarge);
}

}  // namespace

namespace {

TEST(DrawingMetrics, ScreenResolutionGoesToThePreferences) {
    Preferences preferences{};
    StoreScreenResolution(&preferences);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(preferences.resolution, GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
}

}  // namespace
