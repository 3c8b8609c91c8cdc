// The platform's drawing metrics (line weights, point size, axis and caption room).
#pragma once

// Sets every metric to its screen value; false when a measurement fails.
bool InitDrawingMetrics();
