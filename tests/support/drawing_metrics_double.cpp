#include "tests/support/drawing_metrics_double.h"

#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/preferences.h"
#include "platform/rules/drawing_metrics_table.h"

// The screen values at 96 pixels per inch, where a tick number measures 48 x 13.
DrawingMetricsRecord DrawingMetrics = [] {
    DrawingMetricsRecord m{};
    SetScreenDrawingMetrics(&m, 0, 96, 13, 48);
    return m;
}();

OutputScale CurrentOutputScale{ 0, 1.0, 0, 0 };

namespace {
bool gSucceeds = true;
DrawingMetricsRecord gScreen{};
bool gHaveScreen = false;
int32_t gScreenResolution = 100;
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

void SetScreenResolution(int32_t dotsPerInch) { gScreenResolution = dotsPerInch; }
void StoreScreenResolution(Preferences* preferences) { preferences->resolution = gScreenResolution; }
