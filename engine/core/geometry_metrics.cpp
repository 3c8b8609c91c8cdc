#include "engine/core/geometry_metrics.h"

// Screen values. The label room is the size of a tick number such as "-0.123456"
// in the interface font at 96 pixels per inch.
GeometryMetricsRecord GeometryMetrics = {
    3,    // pointRadius
    5,    // axisTickLength
    48,   // axisLabelWidth
    13,   // axisLabelHeight
    2,    // axisLabelGap
    3.5,  // minTickSpacing
};
