// The process-wide preferences record, as the engine's subsystems read it. The
// preferences code (engine/interact) owns the record: its defaults, the values derived
// from the screen resolution, and the preferences file, whose first group of records
// (tags 10001-19999) is also how a page stores its own settings.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/services/text_style.h"
#include "engine/core/sketch.h"

using StreamHandle = int16_t;  // as the stream layer hands them out

struct Preferences {
    SketchSettings sketchSettings;        // copied into every new sketch
    int32_t        slowBackgroundMotion;  // background sketches add the frame delay
    double         speedUnit;             // motion speed unit (shown x 187.5 per second)
    int32_t        savedResolution;       // pixels per inch as stored in the file
    TextStyle      defaultTextStyles[5];  // per text family 0..4
    int32_t        locusSamples;          // of a new locus
    int32_t        plotSamples;           // of a new function plot
    int32_t        maxSamples;            // largest sample count of a locus or plot
    int32_t        iterationSamples;      // point budget of iterations
    int32_t        exportQuality;         // 1, 5 or 10: sample multiplier of loci drawn for printing
    int32_t        clipboardScale;        // 1, 2, 4 or 8: scale of the clipboard picture
    char           mathSymbolFont[256];   // face name of the math symbol font
    int32_t        exportArrowheads;      // arrowheads at the cut ends of printed lines and rays
    int32_t        resolution;            // screen pixels per inch in use
    double         unitFactor[3];         // pixels per distance unit, derived from resolution
    int32_t        newLineStyle;          // 0..2, given to new objects with a line weight
    // The later release's "Anti-Aliased Graphics" (0 Never, 1 When Speed Permits,
    // 2 Always), tag 20020. Both programs share the file: the value is written back
    // whenever the file held it or it is not 0, so a save by either keeps the other's.
    uint16_t       antiAliasPreference;
    uint8_t        antiAliasInFile;       // the file read had a 20020 record
};

Preferences& ThePreferences();
// Raised at each engine start; kept beside the record, so that replacing the record
// (the Preferences sheet does) leaves it alone, and never stored.
uint32_t& EngineStartCounter();

// Fills a record with the default values (the resolution is the screen's).
void PreferencesDefaults(Preferences* preferences);
// Recomputes what follows from the resolution and keeps the sample counts in range.
void PreferencesDerive(Preferences* preferences);
// The preferences file read over the record (a missing or bad file leaves it as it
// was) and written back from it; a failed save keeps the old file.
void PreferencesLoad();
void PreferencesSave();

// A sketch's settings as the records of tags 10002-10042, in their stored order; the
// result of the first failed write, else 0.
ResultCode PreferencesWriteGroup1(StreamHandle stream, const SketchSettings* settings);
// Reads one record of tags 10001-19999 into the settings: known tags are stored by their
// length and range rules, unknown ones skipped; 27 for a tag outside the range, or the
// stream's error.
ResultCode PreferencesReadGroup1(StreamHandle stream, SketchSettings* settings);
// The same for a record whose header and payload were read already.
ResultCode PreferencesStoreGroup1(SketchSettings* settings, uint32_t tag, const uint8_t* payload,
                                  uint32_t length);

// Pixels per distance unit (0 pixels, 1 centimetres, 2 inches); 1 for any other unit.
inline double PreferencesUnitFactor(int32_t unit) {
    return unit >= 0 && unit <= 2 ? ThePreferences().unitFactor[unit] : 1.0;
}
