// Stand-in: the motion engine's speed ranges, the shell's bars, documents and colour
// menu, custom-tool playback and the caption editor's end, as the command state
// reaches them, until those Parts land.
#include "engine/interact/neighbour_services.h"

namespace {
ShellStateStandin gShell{};
}

bool MotionSpeedRange(bool, double*, double*, bool*) { return false; }
void FormatSpeedRangeText(double, double) {}
void RefreshMotionControllerItem(int32_t, int32_t) {}

ShellStateStandin& ShellStandin() { return gShell; }
void ToolPlaybackRematchSelection() {}
void SetColorMenuMark(bool, uint32_t) {}

void EndSketchActivity(uint32_t activity) {
    if (gEngine.frontSketch) CommandInputsOf(gEngine.frontSketch).activityWord &= ~activity;
}

int32_t GetMouseState() {
    return gEngine.frontSketch ? CommandInputsOf(gEngine.frontSketch).mouseState : 0;
}
