// The current tool and the run of a construction tool: one engine applies the point,
// compass and straight-object tools and every custom tool. A run matches the tool's
// givens, one after another, to objects of the front sketch chosen or made with the
// mouse, builds the tool's steps as soon as their givens are matched, and ends with one
// undo record and the new objects selected.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"
#include "engine/interact/toolbox.h"

struct Sketch;
struct SketchObject;

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

// Built-in tools by tool id: the kind of their one given, the points it is built from,
// and what Select All selects while the tool is current (category, item of group 1).
struct BuiltInToolRecord {
    int32_t givenKind;
    int32_t intermediatePoints;
    int32_t selectAllCategory;
    uint16_t selectAllText;  // the menu text of Select All ("Select &All Points" ...)
};
const BuiltInToolRecord& BuiltInTool(int32_t tool);

// Results of a run besides 0 and 100.
constexpr ResultCode kResultPointsNotDistinct = 202;
constexpr ResultCode kResultToolDone          = 203;

int32_t CurrentToolId();
// The custom tool's sketch while tool 13 is current, else null.
Sketch* CurrentCustomToolSketch();
// Makes a tool current (ending a run in progress and caption editing); tools 4 to 8
// start a run at once. False when that run cannot start.
bool    SetCurrentTool(int32_t tool);
// Makes a custom tool current and starts it.
bool    SelectCustomToolSketch(Sketch* toolSketch);
// Starts a run of the current construction tool in the front sketch; false when it
// cannot start (the toolbox then chooses its tool again).
bool    StartCurrentTool();
// Whether a run is in progress.
bool    ToolRunActive();
// A run is active and has not taken a click yet.
bool    ToolRunAwaitsFirstClick();
// 1 for the rotate arrow, 2 for the dilate arrow, else 0 (translate).
int32_t DragModeOfTool();

// The run's move and click steps, called by the mouse handling.
void    ToolTrack(ScreenPoint point, bool shift);
void    ToolClick(ScreenPoint point, bool keepSelection, bool constrain);
// ToolTrack at the last click point without Shift.
void    ToolIdle();
// Ends the run: on failure its provisional objects go; what it keeps is recorded as one
// undo step. Optionally the mouse state is reset and the toolbox chooses its tool again.
void    ToolEnd(bool failed, bool resetMouse, bool chooseTool);
// Ends a run in progress as failed (Escape, a command, another tool).
void    EndToolInProgress();

// The sketch object matched to a tool object when the sketch is the running tool's.
SketchObject* GetToolMatch(const Sketch* toolSketch, int32_t index);

// Depth-first walks over parents or children: a callback answering false stops the
// descent below that object; an object reachable by several paths is visited each time.
using ObjectVisitFn = bool (*)(SketchObject* object, void* data);
void ForEachAncestor(bool startAtObject, SketchObject* object, ObjectVisitFn visit, void* data);
void ForEachDescendant(bool startAtObject, SketchObject* object, ObjectVisitFn visit, void* data);

// Tests and the status line: the prompt the run shows (empty for none).
void    ToolPromptText(char* buffer, uint32_t size);
