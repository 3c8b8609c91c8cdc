// Test double of the user interface's element update: records each update so that the
// command-state registry can be checked.
#include "tests/support/command_elements_double.h"

#include <cstring>

#include "engine/core/services/user_interface.h"

namespace {
ElementUpdateLog gLog{};
}

ElementUpdateLog& ElementUpdates() { return gLog; }
void ResetElementUpdates() { std::memset(&gLog, 0, sizeof gLog); }

void UpdateCommandElement(uint32_t slot, uint16_t, uint16_t, uint16_t, bool, bool full) {
    if (slot < 256) ++(full ? gLog.fullUpdates : gLog.enabledUpdates)[slot];
    if (gLog.orderCount < 64) gLog.order[gLog.orderCount++] = slot;
}
