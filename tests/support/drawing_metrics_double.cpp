#include "tests/support/drawing_metrics_double.h"

#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/preferences.h"

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
