#include "engine/core/geometry_metrics.h"

// Screen values.
GeometryMetricsRecord GeometryMetrics = {
    3,    // pointRadius
};
