// Test double of the drawing metrics: a test may make their measurement fail.
#pragma once

void SetDrawingMetricsResult(bool succeeds);
