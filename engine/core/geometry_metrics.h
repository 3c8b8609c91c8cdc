// The drawing metrics that object geometry reads: point boxes, axis tick and label
// room, the smallest minor tick spacing. They are screen values that printing scales
// and restores, so geometry reads them at each use and never caches them.
#pragma once
#include <cstdint>

// Stand-in: the platform's DrawingMetrics record holds these among its 14 + 4 + 21
// metrics; until it names their positions, object geometry reads this record, which
// holds the screen values.
struct GeometryMetricsRecord {
    int32_t pointRadius;      // half-size of a point's screen box
    int32_t axisTickLength;   // how far an axis's bounds reach beyond its line
    int32_t axisLabelWidth;   // room for tick labels left of a vertical axis
    int32_t axisLabelHeight;  // room for tick labels below a horizontal axis
    int32_t axisLabelGap;     // added to both
    double  minTickSpacing;   // the smallest minor tick spacing of an axis, in pixels
};

extern GeometryMetricsRecord GeometryMetrics;
