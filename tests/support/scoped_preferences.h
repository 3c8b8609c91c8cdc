// Changes the process-wide preferences for one scope and puts the record back after.
#pragma once
#include <cstring>

#include "engine/core/services/preferences.h"

struct ScopedPreferences {
    ScopedPreferences() : saved(ThePreferences()) {}
    ~ScopedPreferences() { ThePreferences() = saved; }
    ScopedPreferences(const ScopedPreferences&) = delete;
    ScopedPreferences& operator=(const ScopedPreferences&) = delete;

    // A screen of this many pixels per inch, with the unit factors that follow from it.
    void SetResolution(int32_t dotsPerInch) {
        ThePreferences().resolution = dotsPerInch;
        PreferencesDerive(&ThePreferences());
    }

    Preferences saved;
};

// Field by field: the record has padding that no copy is bound to keep.
inline bool SamePreferences(const Preferences& a, const Preferences& b) {
    return std::memcmp(&a.sketchSettings, &b.sketchSettings, sizeof a.sketchSettings) == 0 &&
           a.slowBackgroundMotion == b.slowBackgroundMotion &&
           std::memcmp(&a.speedUnit, &b.speedUnit, sizeof a.speedUnit) == 0 &&
           a.savedResolution == b.savedResolution &&
           std::memcmp(a.defaultTextStyles, b.defaultTextStyles, sizeof a.defaultTextStyles) == 0 &&
           a.locusSamples == b.locusSamples && a.plotSamples == b.plotSamples && a.maxSamples == b.maxSamples &&
           a.iterationSamples == b.iterationSamples && a.exportQuality == b.exportQuality &&
           a.clipboardScale == b.clipboardScale && std::strcmp(a.mathSymbolFont, b.mathSymbolFont) == 0 &&
           a.exportArrowheads == b.exportArrowheads && a.resolution == b.resolution &&
           std::memcmp(a.unitFactor, b.unitFactor, sizeof a.unitFactor) == 0 && a.newLineStyle == b.newLineStyle &&
           a.antiAliasPreference == b.antiAliasPreference && a.antiAliasInFile == b.antiAliasInFile;
}
