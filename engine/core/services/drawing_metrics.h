// Drawing metrics and the output scale: records the platform layer owns and sets to their
// screen values (or scales for printing); the engine only reads them.
#pragma once
#include <cstdint>

struct Preferences;

// Stand-in: only the fields the text layout reads are named; the platform layer's record
// holds 14 integer metrics, 4 real metrics and 21 integer metrics in that order.
struct DrawingMetricsRecord {
    int32_t intMetricsA[14];   // 0 line weight, 1 fraction margin, 2 fraction gap, ...
    double  realMetrics[4];
    int32_t intMetricsB[21];
};

constexpr int32_t kMetricLineWeight     = 0;
constexpr int32_t kMetricFractionMargin = 1;
constexpr int32_t kMetricFractionGap    = 2;

// Places in the last block (intMetricsB) of the text margins: around a caption's text,
// around a measurement's or calculation's value text, and the gap between table cells
// and the margin inside one. Their screen values come after.
constexpr int32_t kMetricCaptionMarginX = 15;
constexpr int32_t kMetricCaptionMarginY = 16;
constexpr int32_t kMetricValueMarginX   = 17;
constexpr int32_t kMetricValueMarginY   = 18;
constexpr int32_t kMetricTableGap       = 19;
constexpr int32_t kMetricTableCellMargin = 20;
constexpr int32_t kScreenCaptionMarginX = 4;
constexpr int32_t kScreenCaptionMarginY = 2;
constexpr int32_t kScreenValueMarginX   = 2;
constexpr int32_t kScreenValueMarginY   = 1;
constexpr int32_t kScreenTableGap       = 1;
constexpr int32_t kScreenTableCellMargin = 3;

extern DrawingMetricsRecord DrawingMetrics;

// While printing, label runs, caption bounds and script-level sizes go through this scale
// (the scaled drawing routines of the object classes are handed the same record).
struct OutputScale {
    int32_t printing;  // non-zero while a print or preview layout is in force
    double  factor;
    int32_t offsetX;
    int32_t offsetY;
};

extern OutputScale CurrentOutputScale;

// Sets every metric to its screen value; false when a measurement fails.
bool InitDrawingMetrics();

// The screen's resolution (pixels per inch) into the preferences' `resolution`.
void StoreScreenResolution(Preferences* preferences);
