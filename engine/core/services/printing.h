// What a printed page asks of the platform: its background, and forgetting the device
// context that text was measured on while the page was laid out.
#pragma once

#include "engine/core/screen_types.h"

struct GraphicsPort;

// Paints the page rectangle (sketch units) as the sketch's background.
void PaintPrintBackground(GraphicsPort* port, const ScreenRect* page);
void EndPrintMeasureDC();
