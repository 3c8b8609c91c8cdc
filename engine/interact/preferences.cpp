#include "engine/interact/preferences.h"

// Stand-in: the preferences record is not built yet; the unit factors are those of
// the default 96 dots-per-inch screen.
namespace {
constexpr double kStandInResolution = 96.0;
const double kStandInUnitFactors[3] = { 1.0, kStandInResolution / 2.54, kStandInResolution };
}  // namespace

double PreferencesUnitFactor(int32_t unit) {
    return unit >= 0 && unit <= 2 ? kStandInUnitFactors[unit] : 1.0;
}
