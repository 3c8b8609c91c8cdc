// The current tool as the mouse and the commands reach it: its number, and the run of a
// construction tool that tracks the mouse.
// Stand-in: the toolbox and the tool runs are not built yet; engine/interact/standin/
// current_tool.cpp keeps the tool number and runs nothing.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

enum ToolId : int32_t {
    kToolTranslateArrow = 1,
    kToolRotateArrow    = 2,
    kToolDilateArrow    = 3,
    kToolPoint          = 4,
    kToolCompass        = 5,
    kToolSegment        = 6,
    kToolRay            = 7,
    kToolLine           = 8,
    kToolText           = 10,
    kToolCustomButton   = 11,
    kToolCustom         = 13,
};

inline bool IsArrowTool(int32_t tool) { return tool >= kToolTranslateArrow && tool <= kToolDilateArrow; }
inline bool IsConstructionTool(int32_t tool) {
    return (tool >= kToolPoint && tool <= kToolLine) || tool == kToolCustom;
}

int32_t CurrentToolId();
void    SetCurrentToolId(int32_t tool);
// 1 for the rotate arrow, 2 for the dilate arrow, else 0 (translate).
int32_t DragModeOfTool();
// The toolbox chooses its default tool again; true when that changed its selection.
bool    ChooseCurrentTool();
// A run of the current construction tool; false when it cannot start.
bool    StartCurrentTool();
void    ToolTrack(ScreenPoint point, bool shift);
void    ToolIdle();
void    ToolClick(ScreenPoint point, bool keepSelection, bool constrain);
