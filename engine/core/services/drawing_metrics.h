// Drawing metrics and the output scale: records the platform layer owns and sets to their
// screen values (or scales for printing); the engine only reads them.
#pragma once
#include <cstdint>

struct Preferences;

// 14 integer metrics, 4 real metrics and 21 integer metrics, in that order: printing
// scales them by their position. The roles of most belong to the drawing routines that
// read them; those the engine reads are named below.
struct DrawingMetricsRecord {
    int32_t intMetricsA[14];
    double  realMetrics[4];
    int32_t intMetricsB[21];
};

// intMetricsA
constexpr int32_t kMetricLineWeight     = 0;
constexpr int32_t kMetricFractionMargin = 1;
constexpr int32_t kMetricFractionGap    = 2;
constexpr int32_t kMetricPageResolution = 4;  // a printed page sets it from its resolution
constexpr int32_t kMetricTickHalfLength = 12; // how far an axis's tick marks reach across it
// realMetrics
constexpr int32_t kMetricMinTickSpacing  = 0;  // smallest minor tick spacing of an axis
constexpr int32_t kMetricMinTickBound    = 1;  // square and rectangular grids
constexpr int32_t kMetricPolarCellArea   = 2;
constexpr int32_t kMetricPolarMinSpacing = 3;
// intMetricsB: the size of a tick number such as "-0.123456" in the interface font
constexpr int32_t kMetricNumberFieldHeight = 1;
constexpr int32_t kMetricNumberFieldWidth  = 2;
// intMetricsB: the gap between a tick mark and its number
constexpr int32_t kMetricTickNumberGap     = 4;

// intMetricsB: an action button's frame: the colour tab's width (the face begins 2
// pixels right of it), the bevel's widths, the gaps beside the caption and its offset
// from the top.
constexpr int32_t kMetricButtonTab        = 7;
constexpr int32_t kMetricButtonInsetY     = 8;
constexpr int32_t kMetricButtonBevel      = 10;
constexpr int32_t kMetricButtonCaptionGap = 11;
constexpr int32_t kMetricButtonCaptionTop = 12;

// intMetricsB: the text margins around a caption's text and around a measurement's or
// calculation's value text, the gap between table cells and the margin inside one, with
// their screen values (the platform's table of screen values holds the same).
constexpr int32_t kMetricCaptionMarginX  = 15;
constexpr int32_t kMetricCaptionMarginY  = 16;
constexpr int32_t kMetricValueMarginX    = 17;
constexpr int32_t kMetricValueMarginY    = 18;
constexpr int32_t kMetricTableGap        = 19;
constexpr int32_t kMetricTableCellMargin = 20;
constexpr int32_t kScreenCaptionMarginX  = 2;
constexpr int32_t kScreenCaptionMarginY  = 4;
constexpr int32_t kScreenValueMarginX    = 2;
constexpr int32_t kScreenValueMarginY    = 1;
constexpr int32_t kScreenTableGap        = 6;
constexpr int32_t kScreenTableCellMargin = 2;

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
