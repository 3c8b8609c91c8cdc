#include "engine/interact/preferences.h"

// Stand-in: the preferences record is not built yet. The unit factors are those of
// the default 96 dots-per-inch screen; loading and saving only count.
namespace {
constexpr double kStandInResolution = 96.0;
const double kStandInUnitFactors[3] = { 1.0, kStandInResolution / 2.54, kStandInResolution };
uint32_t gStartCounter = 0;
uint32_t gSaveCount = 0;
}  // namespace

double PreferencesUnitFactor(int32_t unit) {
    return unit >= 0 && unit <= 2 ? kStandInUnitFactors[unit] : 1.0;
}

void PreferencesDefaults() {}
void PreferencesLoad() {}
void PreferencesSave() { ++gSaveCount; }
void RaisePreferencesStartCounter() { ++gStartCounter; }

uint32_t StandInPreferencesStartCounter() { return gStartCounter; }
uint32_t StandInPreferencesSaveCount() { return gSaveCount; }
