#include "engine/interact/command_states.h"

// Stand-in: keeps only the dirty marks; the registry queues its refresh task itself.
namespace {
uint32_t gDirtyGroups = 0;
}  // namespace

bool CmdStateInvalidate(int32_t group) {
    if (group < 0 || group > 15) return false;
    const uint32_t bit = uint32_t{1} << group;
    const bool already = (gDirtyGroups & bit) != 0;
    gDirtyGroups |= bit;
    return already;
}

void CmdStateFreeItems() {
    gDirtyGroups = 0;
}

uint32_t StandInCmdStateDirtyGroups() {
    return gDirtyGroups;
}
