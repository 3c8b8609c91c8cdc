// Stand-in: the shell's bars and documents, as the command
// state reaches them, until the code that owns each is built.
#include "engine/interact/neighbour_services.h"

namespace {
ShellStateStandin gShell{};
}

void RefreshMotionControllerItem(int32_t item, int32_t state) {
    if (item >= 0 && item < 8) gShell.motionBarItems[item] = state;
    ++gShell.motionBarRefreshes;
}

ShellStateStandin& ShellStandin() { return gShell; }
