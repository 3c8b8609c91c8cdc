// Test double of the drawing metrics: a test may make their measurement fail, and may
// give the screen values that InitDrawingMetrics puts back.
#pragma once
#include <cstdint>

struct DrawingMetricsRecord;

void SetDrawingMetricsResult(bool succeeds);
// Null (the default) leaves the metrics as they are on InitDrawingMetrics.
void SetScreenDrawingMetrics(const DrawingMetricsRecord* screen);
// The screen resolution StoreScreenResolution reports (100 unless a test sets another).
void SetScreenResolution(int32_t dotsPerInch);
