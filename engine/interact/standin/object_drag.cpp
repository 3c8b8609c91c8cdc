// Stand-in: the object drag keeps its plan and its target and moves nothing; the drag
// machinery of the motion engine replaces this file.
#include "engine/interact/object_drag.h"

#include "engine/core/memory.h"
#include "engine/interact/current_tool.h"

namespace {
struct {
    DragPlanEntry* plan;
    ScreenPoint    target;
} gDrag{};
}  // namespace

int32_t BeginObjectDrag(ScreenPoint start, DragPlanEntry* plan, const UndoDescriptor*, SketchObject*) {
    EndObjectDrag();
    gDrag.plan = plan;
    gDrag.target = start;
    return 1;
}

void DragObjectsTo(ScreenPoint point) { gDrag.target = point; }

void EndObjectDrag() {
    FreeMemory(gDrag.plan);
    gDrag.plan = nullptr;
}

int32_t BuildMoveUndoRecord(const UndoDescriptor*, SketchObject*) { return 0; }
