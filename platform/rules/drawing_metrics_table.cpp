#include "platform/rules/drawing_metrics_table.h"

#include <cmath>

#include "engine/core/services/drawing_metrics.h"

namespace {
// The first 14 integer metrics; index 4 is replaced while printing.
const int32_t kIntMetricsA[14] = { 1, 2, 3, 5, 3, 1, 3, 5, 4, 8, 3, 5, 5, 2 };
const double kRealMetrics[4] = { 3.5, 35.0, 500.0, 15.0 };
// The last 21 integer metrics from index 4 on; 0 to 3 are the number field and two
// metrics the drawing code sets.
const int32_t kIntMetricsBTail[17] = { 2, 5, 5, 5, 1, 1, 1, 3, 0, 1, 4, 2, 4, 2, 1, 6, 2 };
}  // namespace

void SetScreenDrawingMetrics(DrawingMetricsRecord* metrics, int32_t printPage,
                             int32_t preferencesResolution, int32_t numberFieldHeight,
                             int32_t numberFieldWidth) {
    for (int32_t i = 0; i < 14; ++i) metrics->intMetricsA[i] = kIntMetricsA[i];
    if (printPage != 0) {
        const int32_t scaled = static_cast<int32_t>(std::lround(preferencesResolution / 32.0));
        metrics->intMetricsA[kMetricPageResolution] = scaled < 1 ? 1 : scaled;
    }
    for (int32_t i = 0; i < 4; ++i) metrics->realMetrics[i] = kRealMetrics[i];
    metrics->intMetricsB[kMetricNumberFieldHeight] = numberFieldHeight;
    metrics->intMetricsB[kMetricNumberFieldWidth] = numberFieldWidth;
    for (int32_t i = 0; i < 17; ++i) metrics->intMetricsB[4 + i] = kIntMetricsBTail[i];
}

int32_t UiFontHeight(int32_t pixelsAt96, int32_t resolution) { return -(pixelsAt96 * resolution / 96); }
