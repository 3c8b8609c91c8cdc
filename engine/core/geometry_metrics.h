// The drawing metrics that object geometry reads: point boxes, axis tick and label
// room, the smallest minor tick spacing. They are screen values that printing scales
// and restores, so geometry reads them at each use and never caches them.
#pragma once
#include <cstdint>

#include "engine/core/services/drawing_metrics.h"

// Stand-in: these three are among the platform's drawing metrics, but which positions
// hold them is not named yet; until then object geometry reads their screen values here.
struct GeometryMetricsRecord {
    int32_t pointRadius;      // half-size of a point's screen box
    int32_t axisTickLength;   // how far an axis's bounds reach beyond its line
    int32_t axisLabelGap;     // added to the label room of an axis
};

extern GeometryMetricsRecord GeometryMetrics;

// Room for tick labels left of a vertical axis and below a horizontal one: the size of
// a tick number in the interface font.
inline int32_t AxisLabelWidth() { return DrawingMetrics.intMetricsB[kMetricNumberFieldWidth]; }
inline int32_t AxisLabelHeight() { return DrawingMetrics.intMetricsB[kMetricNumberFieldHeight]; }
// The smallest minor tick spacing of an axis, in pixels.
inline double MinTickSpacing() { return DrawingMetrics.realMetrics[kMetricMinTickSpacing]; }
