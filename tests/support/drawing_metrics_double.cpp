#include "tests/support/drawing_metrics_double.h"

#include "engine/core/services/drawing_metrics.h"

namespace {
bool gSucceeds = true;
DrawingMetricsRecord gScreen{};
bool gHaveScreen = false;
}  // namespace

void SetDrawingMetricsResult(bool succeeds) { gSucceeds = succeeds; }

void SetScreenDrawingMetrics(const DrawingMetricsRecord* screen) {
    gHaveScreen = screen != nullptr;
    if (screen) gScreen = *screen;
}

bool InitDrawingMetrics() {
    if (gHaveScreen) DrawingMetrics = gScreen;
    return gSucceeds;
}
