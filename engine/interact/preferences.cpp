// The preferences record and its defaults.
// Stand-in: the preferences file is neither read nor written yet, and the screen
// resolution stays at the starting value until the platform measures the screen.
#include "engine/core/services/preferences.h"

#include <initializer_list>

namespace {

constexpr int32_t kStartingResolution = 100;

Preferences gPreferences = [] {
    Preferences p{};
    PreferencesDefaults(&p);
    return p;
}();

}  // namespace

Preferences& ThePreferences() { return gPreferences; }

void PreferencesDefaults(Preferences* p) {
    *p = Preferences{};
    // Colours per slot: points, straights, circles, interiors, ..., text.
    const uint32_t colors[kColorSlotCount] = {
        0xff0000, 0x000000, 0x000000, 0x80ffff, 0x000000, 0x800080,
        0x000000, 0x000000, 0x808080, 0x000000, 0x000000, 0x000000,
    };
    for (int32_t i = 0; i < kColorSlotCount; ++i) p->sketchSettings.colorSlots[i] = colors[i];
    p->sketchSettings.distanceUnit = 1;
    p->sketchSettings.angleUnit = 1;
    for (TextStyle& s : p->defaultTextStyles) s = TextStyle{ { 1, 12, 1, 1, 1, 1, 1, 0, 0, 0, 0 } };
    p->locusSamples = 250;
    p->plotSamples = 500;
    p->maxSamples = 10000;
    p->iterationSamples = 2500;
    p->exportQuality = 5;
    p->slowBackgroundMotion = 1;
    p->resolution = kStartingResolution;
    PreferencesDerive(p);
}

void PreferencesDerive(Preferences* p) {
    p->unitFactor[0] = 1.0;
    p->unitFactor[1] = p->resolution / 2.54;
    p->unitFactor[2] = p->resolution;
    if (p->maxSamples < 12) p->maxSamples = 12;
    for (int32_t* samples : { &p->locusSamples, &p->plotSamples }) {
        if (*samples > p->maxSamples) *samples = p->maxSamples;
        if (*samples < 12) *samples = 12;
    }
    p->newLineStyle = 1;
}

void PreferencesLoad() {}
void PreferencesSave() {}
