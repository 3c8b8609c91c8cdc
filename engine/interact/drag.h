// Dragging objects: one drag at a time, in the front sketch. The mouse and key handlers
// decide when a drag starts and where the pointer is; moves only record the target, and
// the sketch's animation frame applies it, so that a drag and running motions share one
// moving set, one recompute and one redraw per frame.
#pragma once
#include <cstdint>

#include "engine/core/drag_analysis.h"
#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"
#include "engine/core/services/undo.h"
#include "engine/interact/object_drag.h"

// Undo names of moves (items of string group 8).
constexpr uint16_t kUndoNameRescaleAxes = 18;
constexpr uint16_t kUndoNameAnimate     = 20;
constexpr uint16_t kUndoNameTranslate   = 21;  // + drag mode: Rotate, Dilate
constexpr uint16_t kUndoNameChange      = 27;

// Entry types of a move record.
constexpr int32_t kUndoEntryMovedObjects = kUndoEntryAnimate;
constexpr int32_t kUndoEntryGeometry     = kUndoEntryStateBlocks;       // follows 20
constexpr int32_t kUndoEntryPathPoint    = kUndoEntryConstructionData;  // follows 20
constexpr int32_t kUndoEntryValues       = kUndoEntryParameterValues;   // follows 20
constexpr int32_t kUndoEntryReselect     = kUndoEntryIdentity;

constexpr ResultCode kAlertCannotDrag = 136;

// The grid snap tolerance of dragged points, in pixels.
constexpr double kDragSnapTolerance = 100;

// Called by AnimationStep once per frame while the drag runs in the current sketch.
void ApplyDragTarget();
// A drag is in progress in the sketch (any sketch when null).
bool DragInProgress(const Sketch* sketch);
// The drag's plan while it runs, else null.
const DragPlanEntry* DragPlan();
// The drag has not yet been taken into the moving set.
bool DragIsNew();
void ClearDragIsNew();
// Suspends (1) or resumes (0) the running motions that move the drag's objects.
void SuspendMotionsOfDrag(int32_t flag);


// The plan of dragging the tempLink chain `first` in a mode; null when it cannot be
// dragged or memory ran out.
DragPlanEntry* PlanDragOf(SketchObject* first, int32_t mode);

// Keyboard nudge of the front sketch's selection: an arrow key went down or up
// (dx, dy in -1..1). The first press begins a drag (alert 136 when the selection cannot
// be dragged); each frame moves the target one unit in the held direction, the first
// two steps each 300 ms apart; the drag ends when no arrow is held.
ResultCode NudgeArrowKey(int32_t dx, int32_t dy, bool down);
// At the start of a frame: asks the shell which arrows are still held; the nudge follows
// them and ends (one undo step) when none is.
void PollNudgeKeys();
