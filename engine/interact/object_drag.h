// The one object drag of the program (in the front sketch): the mouse and the arrow
// keys start it, record where the pointer is, and end it; the motion engine's frame
// applies the recorded target once per frame, so mouse moves never move objects.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

struct DragPlanEntry;
struct SketchObject;
struct UndoDescriptor;

// Starts the drag of a plan made by AnalyzeDragSet from `start` (a 16-bit sketch
// point). The drag owns the plan from here on, also when it does not start. The undo
// name is the record's name and noun; axisObject is the axis whose mark is dragged to
// rescale a coordinate system, else null. 1 when the drag runs, 0 when it could not
// start (no centre, no mark under the axis start, no memory); no drag state is left then.
int32_t BeginObjectDrag(ScreenPoint start, DragPlanEntry* plan, const UndoDescriptor* undoName,
                        SketchObject* axisObject);
// Records the pointer as the drag's new target; nothing moves until the next frame.
void DragObjectsTo(ScreenPoint point);
// Ends the drag and frees what it holds; nothing when no drag runs.
void EndObjectDrag();

// The undo record of a drag or of starting motions: the moved objects' geometry and
// values, and the tempLink chain of objects to select again. 0, or 100 without memory.
int32_t BuildMoveUndoRecord(const UndoDescriptor* undoName, SketchObject* reselect);
