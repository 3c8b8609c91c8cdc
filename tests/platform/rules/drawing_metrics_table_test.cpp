#include <gtest/gtest.h>

#include "engine/core/services/drawing_metrics.h"
#include "platform/rules/drawing_metrics_table.h"

namespace {

TEST(ScreenDrawingMetrics, TheWholeRecord) {
    DrawingMetricsRecord m{};
    m.intMetricsB[0] = 77;
    m.intMetricsB[3] = 78;
    SetScreenDrawingMetrics(&m, 0, 96, 13, 48);
    const int32_t a[14] = { 1, 2, 3, 5, 3, 1, 3, 5, 4, 8, 3, 5, 5, 2 };
    for (int32_t i = 0; i < 14; ++i) EXPECT_EQ(m.intMetricsA[i], a[i]) << i;
    const double r[4] = { 3.5, 35.0, 500.0, 15.0 };
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(m.realMetrics[i], r[i]) << i;
    const int32_t b[21] = { 77, 13, 48, 78, 2, 5, 5, 5, 1, 1, 1, 3, 0, 1, 4, 2, 4, 2, 1, 6, 2 };
    for (int32_t i = 0; i < 21; ++i) EXPECT_EQ(m.intMetricsB[i], b[i]) << i;
}

TEST(ScreenDrawingMetrics, APrintedPageSizesByItsResolution) {
    struct Case { int32_t page, resolution, value; };
    const Case cases[] = { { 1, 96, 3 }, { 1, 120, 4 }, { 0, 120, 3 }, { 2, 600, 19 }, { 1, 10, 1 } };
    for (const Case& c : cases) {
        DrawingMetricsRecord m{};
        SetScreenDrawingMetrics(&m, c.page, c.resolution, 13, 48);
        EXPECT_EQ(m.intMetricsA[kMetricPageResolution], c.value) << c.page << " at " << c.resolution;
    }
}

TEST(ScreenDrawingMetrics, InterfaceFontHeights) {
    struct Case { int32_t resolution, large, small; };
    const Case cases[] = { { 96, -10, -8 }, { 120, -12, -10 }, { 72, -7, -6 } };
    for (const Case& c : cases) {
        EXPECT_EQ(UiFontHeight(kLargeUiFontPixels, c.resolution), c.large) << c.resolution;
        EXPECT_EQ(UiFontHeight(kSmallUiFontPixels, c.resolution), c.small) << c.resolution;
    }
}

}  // namespace
