#include "engine/interact/drag.h"

#include <cmath>
#include <cstring>

#include "engine/core/frame_tick.h"
#include "engine/core/geometry_neighbours.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/shell.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/measurements.h"
#include "engine/core/sketch.h"
#include "engine/core/straight_objects.h"
#include "engine/core/straight_object_ops.h"
#include "engine/core/points.h"
#include "engine/core/transform_maps.h"
#include "engine/core/transform_settings.h"
#include "engine/calc/value_objects.h"
#include "engine/docio/object_header_codec.h"
#include "engine/docio/transfer_context.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/motion.h"

namespace {

// The one drag of the program.
struct DragState {
    int32_t        active;
    int32_t        isNew;
    int32_t        targetPending;  // a target no frame has applied yet
    Sketch*        sketch;
    DragPlanEntry* plan;
    // The geometry of every transformed entry at the start, in plan order: for each a
    // u32 length, then the class's geometry record.
    uint8_t*       savedGeometry;
    int32_t        mode;
    double         startX, startY, targetX, targetY;
    double         centerX, centerY;
    SketchObject*  axis;
    double         markValue;
    double         markOffset;
};
DragState gDrag{};

// The keyboard nudge: the arrows held and the repeat delay of its first steps.
struct NudgeState {
    int32_t  active;
    int32_t  heldX, heldY;
    int32_t  steps;
    uint32_t nextStep;
};
NudgeState gNudge{};

constexpr uint32_t kNudgeRepeatDelayMs = 300;
constexpr int32_t  kNudgeDelayedSteps  = 2;

bool IsTransformed(const DragPlanEntry& entry) { return (entry.flags & kDragIndependent) != 0; }

SketchObject* const* ParentsOf(const SketchObject* object) {
    int32_t count = 0;
    return reinterpret_cast<SketchObject* const*>(PtrListItems(object->parents, &count));
}

void ClearDrag() {
    if (gDrag.sketch) gDrag.sketch->motion.snapDraggedPoints = 0;
    FreeMemory(gDrag.savedGeometry);
    FreeMemory(gDrag.plan);
    gDrag = DragState{};
    gNudge = NudgeState{};
}

bool SaveGeometry() {
    uint32_t bytes = 0;
    for (const DragPlanEntry* e = gDrag.plan; e->object; ++e) {
        if (IsTransformed(*e)) bytes += 4 + static_cast<uint32_t>(GeometryRecordSize(e->object));
    }
    if (bytes == 0) return true;
    gDrag.savedGeometry = static_cast<uint8_t*>(AllocMemory(bytes, 0));
    if (!gDrag.savedGeometry) return false;
    uint8_t* at = gDrag.savedGeometry;
    for (const DragPlanEntry* e = gDrag.plan; e->object; ++e) {
        if (!IsTransformed(*e)) continue;
        const uint32_t length = static_cast<uint32_t>(GeometryRecordSize(e->object));
        std::memcpy(at, &length, 4);
        if (length) {
            TransferContext context;
            BeginWriteContext(&context, at + 4, length, e->object, kCurrentPageFormat);
            ObjectClassTable[e->object->objectClass].transferGeometry(&context);
        }
        at += 4 + length;
    }
    return true;
}

// Puts back the geometry an entry had at the drag's start; answers the next saved block.
const uint8_t* RestoreGeometry(SketchObject* object, const uint8_t* at) {
    uint32_t length = 0;
    std::memcpy(&length, at, 4);
    if (length) {
        TransferContext context;
        BeginReadContext(&context, at + 4, length, object, kCurrentPageFormat);
        ObjectClassTable[object->objectClass].transferGeometry(&context);
    }
    return at + 4 + length;
}

TransformMap DragMap() {
    TransformMap map{};
    map.cos = 1;
    map.ratio = 1;
    map.center = { gDrag.centerX, gDrag.centerY };
    const double ax = gDrag.startX - gDrag.centerX, ay = gDrag.startY - gDrag.centerY;
    const double bx = gDrag.targetX - gDrag.centerX, by = gDrag.targetY - gDrag.centerY;
    switch (gDrag.mode) {
        case kDragRotate: {
            const double lengths = std::hypot(ax, ay) * std::hypot(bx, by);
            if (lengths > 0) {
                map.cos = (ax * bx + ay * by) / lengths;
                map.sin = (ax * by - ay * bx) / lengths;
            }
            break;
        }
        case kDragDilate: {
            // The parameter of the projection of the target on the line from the
            // centre through the start: 1 at the start, 0 at the centre.
            const double square = ax * ax + ay * ay;
            if (square > 0) map.ratio = (ax * bx + ay * by) / square;
            break;
        }
        default:
            map.dx = gDrag.targetX - gDrag.startX;
            map.dy = gDrag.targetY - gDrag.startY;
            break;
    }
    return map;
}

// Objects of the plans' transformed entries whose motions a drag suspends: the drag's
// own, and for a point on a path what dragging its path would move.
bool MovesTransformedEntry(Motion* motion, const DragPlanEntry* plan) {
    SketchObject* object = nullptr;
    int32_t isValue = 0;
    const MotionTypeOpsRow& row = MotionTypeOps[motion->type];
    for (int32_t i = 0;; ++i) {
        const int32_t more = row.movedObject(motion, i, &object, &isValue);
        if (object) {
            for (const DragPlanEntry* e = plan; e->object; ++e) {
                if (e->object == object && IsTransformed(*e)) return true;
            }
        }
        if (!more) return false;
    }
}

void SuspendMotionsOfPlan(Sketch* sketch, const DragPlanEntry* plan, int32_t flag) {
    for (Motion* m = sketch->motion.motionsHead; m; m = m->next) {
        if (m->finished || m->suspended == flag || !MovesTransformedEntry(m, plan)) continue;
        m->suspended = flag;
        if (auto suspend = MotionTypeOps[m->type].suspend) suspend(m, flag);
    }
}

bool ShownAndExisting(const SketchObject* o) { return o->exists == 1 && o->hidden == kShown; }

bool IsValueState(int32_t state) { return state == kMoveValue || state == kMoveDraggedValue; }
bool IsRecordedState(int32_t state) {
    return state == kMoveDraggedWhole || state == kMoveMoved || IsValueState(state);
}

double ValueOf(const SketchObject* o) {
    return HasValueDisplay(o) ? ValueDisplayOf(o)->value : 0.0;
}

// Visits the moving set in order with each object's move state, through its array
// when it has one (no link chasing), else its chain.
template <typename Visit>
void ForEachInMovingSet(const MotionState& state, Visit visit) {
    if (const ObjectFlagsEntry* e = state.movedList) {
        for (; e->object; ++e) visit(e->object, static_cast<int32_t>(e->flags));
        return;
    }
    for (SketchObject* o = state.movedHead; o; o = o->nextMoved) visit(o, o->motionRole);
}

void Put(uint8_t** cursor, const void* bytes, size_t size) {
    std::memcpy(*cursor, bytes, size);
    *cursor += size;
}

}  // namespace

bool DragInProgress(const Sketch* sketch) {
    return gDrag.active && (sketch == nullptr || gDrag.sketch == sketch);
}
const DragPlanEntry* DragPlan() { return gDrag.active ? gDrag.plan : nullptr; }
bool DragIsNew() { return gDrag.active && gDrag.isNew; }
void ClearDragIsNew() { gDrag.isNew = 0; }

void SuspendMotionsOfDrag(int32_t flag) {
    if (!gDrag.active) return;
    Sketch* sketch = gDrag.sketch;
    if (!sketch->motion.motionsHead) return;
    SuspendMotionsOfPlan(sketch, gDrag.plan, flag);
    for (const DragPlanEntry* e = gDrag.plan; e->object; ++e) {
        if (e->object->constructionType != kTypePointOnPath) continue;
        SketchObject* path = static_cast<SketchObject*>(PtrListItem(e->object->parents, 0));
        if (!path) continue;
        path->tempLink = nullptr;
        // Without memory for the path's plan those motions simply keep running.
        if (DragPlanEntry* pathPlan = PlanDragOf(path, kDragTranslate)) {
            SuspendMotionsOfPlan(sketch, pathPlan, flag);
            FreeMemory(pathPlan);
        }
    }
}

DragPlanEntry* PlanDragOf(SketchObject* first, int32_t mode) {
    DragPlanEntry* plan = nullptr;
    ObjectFlagsEntry* moves = nullptr;
    const DragRequest request = { first, mode, &plan, &moves };
    const int32_t ok = AnalyzeDragSet(&request);
    FreeMemory(moves);
    if (ok && plan && !plan[0].object) {
        FreeMemory(plan);
        plan = nullptr;
    }
    return ok ? plan : nullptr;
}

namespace {

int32_t BeginDrag(ScreenPoint start, DragPlanEntry* plan, const UndoDescriptor* name,
                  SketchObject* axis, int32_t mode) {
    if (gDrag.active) EndObjectDrag();
    ClearDrag();
    Sketch* sketch = CurrentSketch();
    if (!plan || !sketch) {
        FreeMemory(plan);
        return 0;
    }
    gDrag.plan = plan;
    gDrag.sketch = sketch;
    if (axis) {
        if (!SnapToAxisGrid(axis, start, &gDrag.markValue, &gDrag.markOffset) || gDrag.markValue == 0) {
            ClearDrag();
            return 0;
        }
        gDrag.axis = axis;
        gDrag.mode = kDragTranslate;
    } else {
        gDrag.mode = mode;
        if (gDrag.mode == kDragRotate || gDrag.mode == kDragDilate) {
            const SketchObject* centre = GetTransformCenter(gDrag.mode);
            if (!centre || centre->objectClass != kClassPoint) {
                ClearDrag();
                return 0;
            }
            gDrag.centerX = PointPosition(centre).x;
            gDrag.centerY = PointPosition(centre).y;
        }
    }
    gDrag.active = 1;
    gDrag.isNew = 1;
    const SketchObject* system = MarkedCoordinateSystem();
    sketch->motion.snapDraggedPoints = !axis && (sketch->pageFlags & 1) && system != nullptr;
    gDrag.startX = gDrag.targetX = start.x;
    gDrag.startY = gDrag.targetY = start.y;

    MarkMovingSetInvalid(sketch);
    SuspendMotionsOfDrag(1);
    if (!SaveGeometry()) {
        EndObjectDrag();
        return 0;
    }
    SketchObject* reselect = LinkSelection();
    if (BuildMoveUndoRecord(name, reselect) != kResultOK) {
        EndObjectDrag();
        return 0;
    }
    StartFrameTicks(sketch);
    return 1;
}

}  // namespace

int32_t BeginObjectDrag(ScreenPoint start, DragPlanEntry* plan, const UndoDescriptor* name,
                        SketchObject* axis) {
    return BeginDrag(start, plan, name, axis, DragModeOfTool());
}

void DragObjectsTo(ScreenPoint point) {
    if (!gDrag.active) return;
    gDrag.targetPending = 1;
    if (!gDrag.axis) {
        gDrag.targetX = point.x;
        gDrag.targetY = point.y;
        return;
    }
    if (!IsLinkedIntoSketch(gDrag.axis) || gDrag.axis->exists != 1) return;
    // Only the axis's own coordinate follows the pointer, scaled by the grabbed mark's
    // value: the unit moves by the pointer's travel over that value.
    if (ClassData<AxisData>(gDrag.axis)->horizontal) {
        gDrag.targetX = gDrag.startX + (point.x - gDrag.startX) / gDrag.markValue;
    } else {
        gDrag.targetY = gDrag.startY + (gDrag.startY - point.y) / gDrag.markValue;
    }
}

void ApplyDragTarget() {
    if (!gDrag.active) return;
    gDrag.targetPending = 0;
    if (gNudge.active && (gNudge.heldX || gNudge.heldY) && DeadlinePassed(gNudge.nextStep)) {
        gDrag.targetX += gNudge.heldX;
        gDrag.targetY += gNudge.heldY;
        ++gNudge.steps;
        if (gNudge.steps <= kNudgeDelayedSteps) SetDeadline(&gNudge.nextStep, kNudgeRepeatDelayMs);
    }
    const TransformMap dragMap = DragMap();
    DragPlanEntry* plan = gDrag.plan;
    for (DragPlanEntry* e = plan; e->object; ++e) {
        const bool own = (e->flags & kDragNoDriver) || e->driverIndex < 0;
        e->map = own ? dragMap : plan[e->driverIndex].map;
        if (e->behind) InverseTransformPoint(gDrag.mode, e->behind, ParentsOf(e->behind), &e->map);
    }
    const PointMapOp mapPoint = PointMapOps[gDrag.mode];
    const bool snap = gDrag.sketch->motion.snapDraggedPoints != 0;
    const uint8_t* saved = gDrag.savedGeometry;
    for (DragPlanEntry* e = plan; e->object; ++e) {
        if (!IsTransformed(*e)) continue;
        SketchObject* object = e->object;
        // Every frame starts from the geometry at the drag's start: the whole map is
        // applied once, so no rounding piles up over the frames.
        saved = RestoreGeometry(object, saved);
        if (TransformFn transform = ObjectClassTable[object->objectClass].transform) {
            transform(object, object, &e->map, mapPoint);
        }
        if (snap && object->objectClass == kClassPoint) SnapPointToGrid(object, kDragSnapTolerance);
        ++object->generation;
    }
}

void EndObjectDrag() {
    if (!gDrag.active) {
        ClearDrag();
        return;
    }
    Sketch* sketch = gDrag.sketch;
    // A target recorded after the last frame (the release point) still moves the objects.
    if (gDrag.targetPending && sketch == CurrentSketch()) {
        if (sketch->motion.movingSetInvalid || sketch->motion.movingSetStamp != sketch->structureChangeCount) {
            BuildMotionUpdateList(0);
        }
        ApplyDragTarget();
        RecomputeMovedObjects();
    }
    SuspendMotionsOfDrag(0);
    gDrag.active = 0;
    MarkMovingSetInvalid(sketch);
    if (sketch == gEngine.frontSketch) {
        CmdStateInvalidate(kCommandGroupSelectionMotion);
        CmdStateInvalidate(kCommandGroupMotion);
    }
    ClearDrag();
}

int32_t BuildMoveUndoRecord(const UndoDescriptor* name, SketchObject* reselect) {
    Sketch* sketch = CurrentSketch();
    BuildMotionUpdateList(1);
    const MotionState& moving = sketch->motion;
    constexpr uint32_t kPointer = sizeof(SketchObject*);
    int32_t moved = 0, values = 0, reselected = 0, pathEntries = 0;
    uint32_t blockBytes = 0, pathBytes = 0;
    ForEachInMovingSet(moving, [&](SketchObject* o, int32_t state) {
        if (IsRecordedState(state)) {
            ++moved;
            if (ObjectClassTable[o->objectClass].transferGeometry) blockBytes += ObjectClassTable[o->objectClass].objectSize;
            values += IsValueState(state) ? 1 : 0;
        } else if (state == kMoveOnPath) {
            int32_t words = 0;
            PtrListSize(o->constructionData, &words);
            ++pathEntries;
            pathBytes += kPointer * static_cast<uint32_t>(words + 1);
        }
    });
    for (SketchObject* o = reselect; o; o = o->tempLink) reselected += ShownAndExisting(o) ? 1 : 0;
    const uint32_t valueItem = kPointer + sizeof(double);
    int32_t entries = 3 + pathEntries;
    uint32_t payload = UndoObjectListBytes(moved) + blockBytes + pathBytes + UndoObjectListBytes(reselected);
    if (values) {
        ++entries;
        payload += valueItem * static_cast<uint32_t>(values) + kPointer;
    }
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(name, entries, payload, &cursor);
    if (!record) {
        MarkMovingSetInvalid(sketch);
        return kResultOutOfMemory;
    }
    UndoPutEntryHead(&cursor, kUndoEntryMovedObjects, UndoObjectListBytes(moved));
    ForEachInMovingSet(moving, [&](SketchObject* o, int32_t state) {
        if (IsRecordedState(state)) Put(&cursor, &o, kPointer);
    });
    // Each state block is laid out as its object is, so that the class's geometry codec
    // exchanges it field for field on undo.
    UndoPutEntryHead(&cursor, kUndoEntryGeometry, blockBytes);
    ForEachInMovingSet(moving, [&](SketchObject* o, int32_t state) {
        const ObjectClassRecord& row = ObjectClassTable[o->objectClass];
        if (IsRecordedState(state) && row.transferGeometry) Put(&cursor, o, row.objectSize);
    });
    ForEachInMovingSet(moving, [&](SketchObject* o, int32_t state) {
        if (state != kMoveOnPath) return;
        int32_t words = 0;
        void** items = PtrListItems(o->constructionData, &words);
        UndoPutEntryHead(&cursor, kUndoEntryPathPoint, kPointer * static_cast<uint32_t>(words + 1));
        Put(&cursor, &o, kPointer);
        for (int32_t i = 0; i < words; ++i) Put(&cursor, &items[i], kPointer);
    });
    if (values) {
        UndoPutEntryHead(&cursor, kUndoEntryValues, valueItem * static_cast<uint32_t>(values) + kPointer);
        ForEachInMovingSet(moving, [&](SketchObject* o, int32_t state) {
            if (!IsValueState(state)) return;
            const double value = ValueOf(o);
            Put(&cursor, &o, kPointer);
            Put(&cursor, &value, sizeof value);
        });
        SketchObject* end = nullptr;
        Put(&cursor, &end, kPointer);
    }
    UndoPutEntryHead(&cursor, kUndoEntryReselect, UndoObjectListBytes(reselected));
    for (SketchObject* o = reselect; o; o = o->tempLink) {
        if (ShownAndExisting(o)) Put(&cursor, &o, kPointer);
    }
    // The set just built serves the frames that follow: rebuilding it at the first frame
    // would walk the whole sketch again for nothing (a change of structure still forces
    // a rebuild through the stamp).
    UndoRecordCommit(record, false);
    return kResultOK;
}

void PollNudgeKeys() {
    if (!gNudge.active) return;
    int16_t dx = 0, dy = 0;
    if (!ReadArrowKeyNudge(0, &dx, &dy)) {
        gNudge.heldX = gNudge.heldY = 0;
        EndObjectDrag();
    } else if (dx || dy) {
        gNudge.heldX = dx;
        gNudge.heldY = dy;
    }
}

ResultCode NudgeArrowKey(int32_t dx, int32_t dy, bool down) {
    if (!down) {
        if (dx) gNudge.heldX = 0;
        if (dy) gNudge.heldY = 0;
        if (gNudge.active && !gNudge.heldX && !gNudge.heldY) EndObjectDrag();
        return kResultOK;
    }
    if (gNudge.active) {
        if (dx) gNudge.heldX = dx;
        if (dy) gNudge.heldY = dy;
        return kResultOK;
    }
    Sketch* sketch = CurrentSketch();
    if (!sketch || sketch != gEngine.frontSketch || !sketch->selectionHead || DragInProgress(nullptr)) {
        return kResultOK;
    }
    DragPlanEntry* plan = PlanDragOf(LinkSelection(), kDragTranslate);
    if (!plan) return kAlertCannotDrag;
    const UndoDescriptor name = { kUndoNameTranslate, kUndoNounWorkedOut, 0, nullptr };
    // The nudge moves from (0, 0): only the difference matters to a translation.
    if (!BeginDrag(ScreenPoint{ 0, 0 }, plan, &name, nullptr, kDragTranslate)) return kResultOutOfMemory;
    gNudge.active = 1;
    gNudge.heldX = dx;
    gNudge.heldY = dy;
    gNudge.steps = 0;
    gNudge.nextStep = 0;
    return kResultOK;
}
