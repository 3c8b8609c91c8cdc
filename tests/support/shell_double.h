// Test double of the shell's beep and held-arrow services.
#pragma once
#include <cstdint>

int32_t RefusalBeepCount();
// What ReadArrowKeyNudge answers: whether any arrow is held, and its direction (0, 0:
// the arrows pressed last stay in force). By default an arrow stays held.
void SetArrowKeysHeld(bool held, int16_t dx = 0, int16_t dy = 0);
