// Stand-in: the Preferences dialog model is not built; the deferred check is only
// remembered until it is.
#include "engine/interact/preferences_dialog.h"

namespace {
int32_t gPendingCheck = -1;
}

void PreferencesApplyLater(int32_t flag) { gPendingCheck = flag; }
int32_t PendingPreferencesCheck() { return gPendingCheck; }
