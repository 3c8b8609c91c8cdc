// Stand-in: the motion engine's speed ranges, the shell's bars and documents,
// custom-tool playback and the caption editor's end, as the command state
// reaches them, until the code that owns each is built.
#include "engine/interact/neighbour_services.h"

namespace {
ShellStateStandin gShell{};
}

bool MotionSpeedRange(bool, double* low, double* high, bool* reversible) {
    if (!gShell.hasSpeedRange) return false;
    *low = gShell.speedLow;
    *high = gShell.speedHigh;
    *reversible = gShell.speedReversible != 0;
    return true;
}
void RefreshMotionControllerItem(int32_t item, int32_t state) {
    if (item >= 0 && item < 8) gShell.motionBarItems[item] = state;
    ++gShell.motionBarRefreshes;
}

ShellStateStandin& ShellStandin() { return gShell; }
void ToolPlaybackRematchSelection() {}

void EndSketchActivity(uint32_t activity) {
    if (!gEngine.frontSketch) return;
    CommandInputsOf(gEngine.frontSketch).activityWord &= ~activity;
    if (activity & kActivityCaptionEditing) gEngine.frontSketch->editedCaption = nullptr;
}

int32_t GetMouseState() {
    return gEngine.frontSketch ? CommandInputsOf(gEngine.frontSketch).mouseState : 0;
}
