// Test double of the measuring port (none: the text port double measures without one)
// and of the styled text lines that labels are measured and drawn with: the
// text port double's metrics (a character is half the pixel size wide), and each line
// drawn recorded as "line" with its x, y and pixel size. Apart from the text port double
// so that the Windows tests take the platform's own.
#include "engine/core/services/fonts.h"
#include "engine/core/services/text_port.h"
#include "tests/support/text_port_double.h"

void MeasureStyledText(const char*, int32_t length, int32_t, const TextStyle* style, int32_t, int16_t* width,
                       int16_t* height) {
    const int32_t s = TextPortPixelSize(*style);
    *width = static_cast<int16_t>(length * (s / 2));
    *height = static_cast<int16_t>(5 * s / 6 + s / 4);
}

void DrawStyledTextLine(const StyledTextLine* line) {
    RecordTextPortCall("line", { line->x, line->y, TextPortPixelSize(*line->style) },
                       std::string(line->text, static_cast<size_t>(line->length)));
}

GraphicsPort* AcquireMeasurePort(Sketch*) { return nullptr; }
void ReleaseMeasurePort(Sketch*, GraphicsPort*) {}
