// The process-wide preferences, as far as the engine's core reads them.
#pragma once
#include <cstdint>

// Pixels per distance unit: 1 for pixels, resolution / 2.54 for centimetres,
// resolution for inches (the resolution in dots per inch).
double PreferencesUnitFactor(int32_t unit);

// Start-up and shutdown: defaults, then the preferences file over them; the start
// counter goes up at each engine start; the file is written back at shutdown.
void PreferencesDefaults();
void PreferencesLoad();
void PreferencesSave();
void RaisePreferencesStartCounter();

// Stand-in: what tests read until the preferences record exists.
uint32_t StandInPreferencesStartCounter();
uint32_t StandInPreferencesSaveCount();
