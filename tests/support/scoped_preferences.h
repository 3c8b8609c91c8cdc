// Changes the process-wide preferences for one scope and puts the record back after.
#pragma once
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
