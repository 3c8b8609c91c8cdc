// The process-wide preferences, as far as the engine's core reads them.
#pragma once
#include <cstdint>

// Pixels per distance unit: 1 for pixels, resolution / 2.54 for centimetres,
// resolution for inches (the resolution in dots per inch).
double PreferencesUnitFactor(int32_t unit);
