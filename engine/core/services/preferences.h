// The process-wide preferences record, as the engine's subsystems read it. The
// preferences code (engine/interact) owns the record: its defaults, the values derived
// from the screen resolution, and the preferences file.
#pragma once
#include <cstdint>

#include "engine/core/services/text_style.h"
#include "engine/core/sketch.h"

struct Preferences {
    SketchSettings sketchSettings;        // copied into every new sketch
    int32_t        slowBackgroundMotion;  // background sketches add the frame delay
    TextStyle      defaultTextStyles[5];  // per text family 0..4
    int32_t        locusSamples;          // of a new locus
    int32_t        plotSamples;           // of a new function plot
    int32_t        maxSamples;            // largest sample count of a locus or plot
    int32_t        iterationSamples;      // point budget of iterations
    int32_t        exportQuality;         // sample multiplier of loci drawn for printing
    int32_t        resolution;            // screen pixels per inch
    double         unitFactor[3];         // pixels per distance unit, derived from resolution
    int32_t        newLineStyle;          // 0..2, given to new objects with a line weight
    uint32_t       startCounter;          // raised at each engine start
};

Preferences& ThePreferences();

// Fills a record with the default values (the resolution is the screen's).
void PreferencesDefaults(Preferences* preferences);
// Recomputes what follows from the resolution and keeps the sample counts in range.
void PreferencesDerive(Preferences* preferences);
// The preferences file read over the record (a missing or bad file leaves it as it
// was) and written back from it.
void PreferencesLoad();
void PreferencesSave();

// Pixels per distance unit (0 pixels, 1 centimetres, 2 inches); 1 for any other unit.
inline double PreferencesUnitFactor(int32_t unit) {
    return unit >= 0 && unit <= 2 ? ThePreferences().unitFactor[unit] : 1.0;
}
