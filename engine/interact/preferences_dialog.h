// What the platform asks of the Preferences dialog model.
#pragma once
#include <cstdint>

// Schedules the deferred preferences check that runs once start-up has finished: 1 when
// no math symbol face was found at all, 0 when the user chose to pick another one.
void PreferencesApplyLater(int32_t flag);
// The flag of the scheduled check, -1 when none is scheduled.
int32_t PendingPreferencesCheck();
