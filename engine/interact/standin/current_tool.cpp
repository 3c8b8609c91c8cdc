// Stand-in: the toolbox keeps only the current tool's number; construction tools start
// no run, so the mouse never reaches the tracking state through them.
#include "engine/interact/current_tool.h"

namespace {
int32_t gCurrentTool = kToolTranslateArrow;
}

int32_t CurrentToolId() { return gCurrentTool; }
void SetCurrentToolId(int32_t tool) { gCurrentTool = tool; }

int32_t DragModeOfTool() {
    if (gCurrentTool == kToolRotateArrow) return 1;
    if (gCurrentTool == kToolDilateArrow) return 2;
    return 0;
}

bool ChooseCurrentTool() {
    const bool changed = gCurrentTool != kToolTranslateArrow;
    gCurrentTool = kToolTranslateArrow;
    return changed;
}

bool StartCurrentTool() { return false; }
void ToolTrack(ScreenPoint, bool) {}
void ToolIdle() {}
void ToolClick(ScreenPoint, bool, bool) {}
