// The printed page's services: its background in the sketch's colour (with its traces,
// scaled), and the end of the page's text measuring on the printer's context.
#include "engine/core/services/printing.h"

#include "engine/core/services/drawing_metrics.h"
#include "engine/core/sketch.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/ui_fonts.h"

void PaintPrintBackground(GraphicsPort* port, const ScreenRect*) {
    Sketch* sketch = CurrentSketch();
    if (!port || !sketch) return;
    PaintBackgroundScaled(port, sketch, &CurrentOutputScale);
}

void EndPrintMeasureDC() { PrintMeasureDC() = nullptr; }
