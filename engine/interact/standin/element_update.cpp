// Stand-in: the element update of the menus (the menu builder of the user interface)
// has not landed; this records each update so that the registry can be checked.
#include <cstring>

#include "engine/interact/neighbour_services.h"
#include "engine/interact/standin/element_log.h"

namespace {
ElementUpdateLog gLog{};
}

ElementUpdateLog& ElementUpdates() { return gLog; }
void ResetElementUpdates() { std::memset(&gLog, 0, sizeof gLog); }

void UpdateCommandElement(uint32_t slot, bool full) {
    if (slot < 256) ++(full ? gLog.fullUpdates : gLog.enabledUpdates)[slot];
    if (gLog.orderCount < 64) gLog.order[gLog.orderCount++] = slot;
}
