#include "tests/support/drawing_metrics_double.h"

#include "engine/core/services/drawing_metrics.h"

namespace {
bool gSucceeds = true;
}  // namespace

void SetDrawingMetricsResult(bool succeeds) { gSucceeds = succeeds; }

bool InitDrawingMetrics() { return gSucceeds; }
