// The screen values of the drawing metrics and the sizes of the interface fonts.
#pragma once
#include <cstdint>

struct DrawingMetricsRecord;

// Sets every metric the platform owns to its screen value. While a print page other than
// page 0 is laid out, the point size follows the printing resolution (resolution / 32,
// rounded, at least 1). The two number-field metrics take the measured size; the
// metrics the platform does not own are left alone.
void SetScreenDrawingMetrics(DrawingMetricsRecord* metrics, int32_t printPage,
                             int32_t preferencesResolution, int32_t numberFieldHeight,
                             int32_t numberFieldWidth);

// The LOGFONT height of an interface font of `pixelsAt96` pixels at 96 dpi, for a
// device of `resolution` pixels per inch (negative: a character height).
constexpr int32_t kLargeUiFontPixels = 10;
constexpr int32_t kSmallUiFontPixels = 8;
int32_t UiFontHeight(int32_t pixelsAt96, int32_t resolution);
