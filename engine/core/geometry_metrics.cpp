#include "engine/core/geometry_metrics.h"

// Screen values.
GeometryMetricsRecord GeometryMetrics = {
    3,    // pointRadius
    5,    // axisTickLength
    2,    // axisLabelGap
};
