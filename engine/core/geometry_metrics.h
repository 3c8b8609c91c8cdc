// The drawing metrics that object geometry reads: point boxes, axis tick and label
// room, the smallest minor tick spacing. They are screen values that printing scales
// and restores, so geometry reads them at each use and never caches them.
#pragma once
#include <cstdint>

#include "engine/core/services/drawing_metrics.h"

// A point's box size is one of the platform's drawing metrics, but no position of the
// metric table is given to it: object geometry reads its screen value from this record,
// which printing scales with the others.
struct GeometryMetricsRecord {
    int32_t pointRadius;      // half-size of a point's screen box
};

extern GeometryMetricsRecord GeometryMetrics;

// Room for tick labels left of a vertical axis and below a horizontal one: the size of
// a tick number in the interface font.
inline int32_t AxisLabelWidth() { return DrawingMetrics.intMetricsB[kMetricNumberFieldWidth]; }
inline int32_t AxisLabelHeight() { return DrawingMetrics.intMetricsB[kMetricNumberFieldHeight]; }
// How far an axis's bounds reach beyond its line (its tick marks), and the gap added to
// the room of its tick numbers.
inline int32_t AxisTickLength() { return DrawingMetrics.intMetricsA[kMetricTickHalfLength]; }
inline int32_t AxisLabelGap() { return DrawingMetrics.intMetricsB[kMetricTickNumberGap]; }
// The smallest minor tick spacing of an axis, in pixels.
inline double MinTickSpacing() { return DrawingMetrics.realMetrics[kMetricMinTickSpacing]; }
