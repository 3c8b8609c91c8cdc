#include "engine/interact/motion.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/calc/value_objects.h"
#include "engine/core/frame_tick.h"
#include "engine/core/geometry.h"
#include "engine/core/locus.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/interact/action_buttons.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/drag.h"
#include "engine/interact/neighbour_services.h"
#include "engine/text/layout_edit_session.h"

namespace {

uint16_t gActivityWord = 0;
int32_t  gRunningMotions = 0;
uint32_t gProgramFrames = 0;
// Sketches that hold motions, chained through their motion state: Stop All Sketches
// reaches every one of them, however many there are.
Sketch*  gAnimatingHead = nullptr;

// The last number-key step, so that quick repeats make one undo step.
struct NumberKeyMemory {
    Sketch*  sketch;
    uint32_t selectionChangeCount;
    int32_t  direction;
    uint32_t deadline;
};
NumberKeyMemory gNumberKeys{};
constexpr uint32_t kNumberKeyGroupMs = 750;

constexpr double kSpeedUnitDefault = 0.6;
constexpr double kMediumSpeed      = 3;
constexpr int16_t kNounParameter   = 183;
constexpr int16_t kNounParameters  = 184;

bool IsFront(const Sketch* sketch) { return sketch && sketch == gEngine.frontSketch; }

void InvalidateMotionGroups(const Sketch* sketch) {
    if (!IsFront(sketch)) return;
    CmdStateInvalidate(kCommandGroupMotion);
    CmdStateInvalidate(kCommandGroupSelectionMotion);
}

SketchObject* FirstParent(const SketchObject* object) {
    return static_cast<SketchObject*>(PtrListItem(object->parents, 0));
}

uint32_t TypeFlags(const SketchObject* object) {
    return ConstructionTypeTable[object->constructionType].flags;
}

void ListAnimating(Sketch* sketch) {
    MotionState& state = sketch->motion;
    if (state.animatingListed) return;
    state.animatingListed = 1;
    state.nextAnimating = gAnimatingHead;
    gAnimatingHead = sketch;
}

void UnlistAnimating(Sketch* sketch) {
    if (!sketch->motion.animatingListed) return;
    for (Sketch** link = &gAnimatingHead; *link; link = &(*link)->motion.nextAnimating) {
        if (*link != sketch) continue;
        *link = sketch->motion.nextAnimating;
        break;
    }
    sketch->motion.nextAnimating = nullptr;
    sketch->motion.animatingListed = 0;
}

}  // namespace

uint16_t& ActivityWord() { return gActivityWord; }
int32_t RunningMotionCount() { return gRunningMotions; }
uint32_t ProgramFrameCount() { return gProgramFrames; }

// The preference, or its default while the record holds none (before the defaults).
double SpeedUnit() {
    const double unit = ThePreferences().speedUnit;
    return unit > 0 ? unit : kSpeedUnitDefault;
}

double ClampSpeed(double speed) {
    const double unit = SpeedUnit();
    if (!(speed >= unit * 0.00003)) return unit * 0.00003;
    return speed > unit * 30000 ? unit * 30000 : speed;
}

Motion* CreateMotion(SketchObject* target, SketchObject* pathOrDestination, int32_t type,
                     int32_t mode, int32_t direction, double speed) {
    if (!target || type < 0 || type >= kMotionTypeCount) return nullptr;
    auto* motion = static_cast<Motion*>(AllocMemory(sizeof(Motion), kAllocZero));
    if (!motion) return nullptr;
    motion->target = target;
    motion->type = type;
    motion->next = kMotionNotLinked;
    if (auto init = MotionTypeOps[type].init) init(motion, pathOrDestination, mode, direction, speed);
    return motion;
}

namespace {

void FreeMotion(Motion* motion) {
    if (auto release = MotionTypeOps[motion->type].release) release(motion);
    FreeMemory(motion);
}

// The running motion of the sketch that moves the object, or null.
Motion* MotionMoving(Sketch* sketch, const SketchObject* object, const Motion* besides) {
    for (Motion* m = sketch->motion.motionsHead; m; m = m->next) {
        if (m == besides || m->finished) continue;
        SketchObject* moved = nullptr;
        int32_t isValue = 0;
        for (int32_t i = 0;; ++i) {
            const int32_t more = MotionTypeOps[m->type].movedObject(m, i, &moved, &isValue);
            if (moved == object) return m;
            if (!more) break;
        }
    }
    return nullptr;
}

// Visits every object a motion moves.
template <typename Visit>
void ForEachMoved(Motion* m, Visit visit) {
    SketchObject* moved = nullptr;
    int32_t isValue = 0;
    for (int32_t i = 0;; ++i) {
        const int32_t more = MotionTypeOps[m->type].movedObject(m, i, &moved, &isValue);
        if (moved) visit(moved, isValue != 0);
        if (!more) return;
    }
}

void ResetChain(Sketch* sketch) {
    MotionState& state = sketch->motion;
    // The chain can be trusted only while no object left the sketch since it was built;
    // otherwise every object of the sketch loses its mark.
    if (state.movingSetStamp == sketch->structureChangeCount && state.movedList) {
        for (const ObjectFlagsEntry* e = state.movedList; e->object; ++e) {
            e->object->nextMoved = kNotLinked;
            e->object->motionRole = kMoveNone;
        }
    } else if (state.movingSetStamp == sketch->structureChangeCount) {
        for (SketchObject* o = state.movedHead; o;) {
            SketchObject* next = o->nextMoved;
            o->nextMoved = kNotLinked;
            o->motionRole = kMoveNone;
            o = next;
        }
    } else {
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
            o->nextMoved = kNotLinked;
            o->motionRole = kMoveNone;
        }
    }
    state.movedHead = nullptr;
    if (state.movedList) state.movedList[0].object = nullptr;
}

bool PlacedWhole(const SketchObject* o) { return ObjectClassTable[o->objectClass].textLike != 0; }

bool IsMoved(int32_t state) { return state != kMoveNone && state != kMoveDraggedWhole; }

// The mode of a locus is its traced class: loci of captions (0) and points (1) follow
// their driver.
int32_t LocusMode(const SketchObject* locus) { return LocusTracedClass(locus); }

// Room for `entries` entries of the moving set's array, growing it by half again at
// least. Without memory the array goes and the frames walk the chain.
bool ReserveMovedList(MotionState& state, int32_t entries) {
    if (entries <= state.movedListCapacity) return true;
    const int32_t capacity = std::max(entries, state.movedListCapacity + state.movedListCapacity / 2);
    if (!ReallocMemoryOf(&state.movedList, sizeof(ObjectFlagsEntry) * static_cast<size_t>(capacity), false)) {
        FreeMemory(state.movedList);
        state.movedList = nullptr;
        state.movedListCapacity = 0;
        return false;
    }
    state.movedListCapacity = capacity;
    return true;
}

}  // namespace

void MarkMovingSetInvalid(Sketch* sketch) {
    if (!sketch) return;
    if (!sketch->motion.movingSetInvalid) ResetChain(sketch);
    sketch->motion.movingSetInvalid = 1;
}

void BuildMotionUpdateList(int32_t onlyNew) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return;
    MotionState& state = sketch->motion;
    // Taking in only the new motions costs the same walk of the sketch as a rebuild, so
    // the set is always built whole; onlyNew only says the caller expects new members.
    (void)onlyNew;
    if (!state.movingSetInvalid) ResetChain(sketch);
    state.movingSetStamp = sketch->structureChangeCount;
    state.frameDirty = kEmptyScreenRect;

    if (DragInProgress(sketch)) {
        for (const DragPlanEntry* e = DragPlan(); e->object; ++e) {
            if (e->flags & kDragIndependent) {
                e->object->motionRole = PlacedWhole(e->object) ? kMoveDraggedWhole : kMoveMoved;
            }
        }
        ClearDragIsNew();
    }
    for (Motion* m = state.motionsHead; m; m = m->next) {
        m->needsMovingSetUpdate = 0;
        if (m->finished) continue;
        ForEachMoved(m, [](SketchObject* o, bool isValue) {
            if (o->motionRole == kMoveDraggedWhole) o->motionRole = kMoveDraggedValue;
            else o->motionRole = isValue ? kMoveValue : kMoveMoved;
        });
    }

    SketchObject* tail = nullptr;
    int32_t taken = 0;
    bool listed = true;  // the array holds every object taken so far
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        int32_t count = 0;
        void** parents = PtrListItems(o->parents, &count);
        int32_t moved = 0;
        SketchObject* lastMoved = nullptr;
        for (int32_t i = 0; i < count; ++i) {
            auto* p = static_cast<SketchObject*>(parents[i]);
            if (!IsMoved(p->motionRole) || DragCodeAt(o, kDragTranslate, i) == kDragCodeNone) continue;
            ++moved;
            lastMoved = p;
        }
        int32_t& s = o->motionRole;
        bool take;
        if (moved > 0) {
            const uint32_t flags = TypeFlags(o);
            take = true;
            if (s == kMoveMoved) {
                if (flags & kTypeValuePositioned) s = kMoveOnPath;
            } else if (s == kMoveDraggedWhole) {
                s = kMoveMoved;
            } else if (s == kMoveNone) {
                // A locus that follows its driver point is rebuilt by its own task, not
                // per frame, when only that driver moves.
                if (o->constructionType == kTypeLocus && LocusMode(o) <= 1 && moved == 1 && count > 2 &&
                    lastMoved == parents[2] && lastMoved->objectClass == kClassPoint) {
                    take = false;
                } else if (flags & kTypeFunctionDefinition) {
                    s = kMoveExistenceOnly;
                } else {
                    s = moved == count && !(flags & kTypeValuePositioned) ? kMoveAllParents : kMoveDependent;
                }
            }
        } else {
            take = s == kMoveDraggedWhole || s == kMoveMoved || s == kMoveValue || s == kMoveDraggedValue;
        }
        if (!take) continue;
        o->nextMoved = nullptr;
        if (tail) tail->nextMoved = o;
        else state.movedHead = o;
        tail = o;
        if (s != kMoveExistenceOnly) AddObjectBounds(&state.frameDirty, o);
        // The array is filled in this same walk: a second walk along the chain would
        // fetch every record of a large set from memory again.
        if (listed && ReserveMovedList(state, taken + 2)) {
            state.movedList[taken] = { o, static_cast<uint16_t>(s) };
        } else {
            listed = false;
        }
        ++taken;
    }
    state.movingSetInvalid = 0;
    if (listed && ReserveMovedList(state, taken + 1)) state.movedList[taken].object = nullptr;
}

namespace {

// A function definition is redrawn only when it comes or goes.
void RecomputeExistenceOnly(SketchObject* o, ScreenRect* dirty) {
    const int32_t existed = o->exists;
    ScreenRect before = kEmptyScreenRect;
    AddObjectBounds(&before, o);
    RecomputeObject(o, nullptr, true);
    if (o->exists != existed) {
        ScreenRectUnion(before, dirty);
        AddObjectBounds(dirty, o);
    }
}

}  // namespace

void RecomputeMovedObjects() {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return;
    MotionState& state = sketch->motion;
    ScreenRect dirty = state.frameDirty;
    ScreenRectUnion(dirty, &sketch->dirtyRect);
    dirty = kEmptyScreenRect;
    if (const ObjectFlagsEntry* list = state.movedList) {
        ForEachListedWithLookahead(list, [&](const ObjectFlagsEntry& e) {
            if (e.flags != kMoveExistenceOnly) RecomputeObject(e.object, &dirty, true);
            else RecomputeExistenceOnly(e.object, &dirty);
        });
    } else {
        for (SketchObject* o = state.movedHead; o; o = o->nextMoved) {
            if (o->motionRole != kMoveExistenceOnly) RecomputeObject(o, &dirty, true);
            else RecomputeExistenceOnly(o, &dirty);
        }
    }
    state.frameDirty = dirty;
    ScreenRectUnion(dirty, &sketch->dirtyRect);
}

namespace {

// A motion that stops counting for its button.
void DropOwner(Motion* motion) {
    SketchObject* owner = motion->owner;
    motion->owner = nullptr;
    if (owner != nullptr) ReleaseButtonRun(owner);
}

// Finishing motions releases their buttons, which may stop other motions: while a walk
// of the list is under way the releases wait for its end.
struct ButtonReleaseHold {
    ButtonReleaseHold() { HoldButtonReleases(); }
    ~ButtonReleaseHold() { FlushButtonReleases(); }
    ButtonReleaseHold(const ButtonReleaseHold&) = delete;
    ButtonReleaseHold& operator=(const ButtonReleaseHold&) = delete;
};

}  // namespace

ResultCode StartMotion(Motion* motion, SketchObject* owner, bool* anyUndoNeeded) {
    ButtonReleaseHold hold;
    if (anyUndoNeeded) *anyUndoNeeded = false;
    Sketch* sketch = CurrentSketch();
    if (!motion) return kResultOutOfMemory;
    if (!sketch) {
        FreeMotion(motion);
        return kAlertNoDestination;
    }
    InvalidateMotionGroups(sketch);
    motion->suspended = 0;
    motion->owner = owner;
    motion->needsMovingSetUpdate = 1;
    if (auto start = MotionTypeOps[motion->type].start) {
        if (const ResultCode code = start(motion)) {
            FreeMotion(motion);
            return code;
        }
    }
    ForEachMoved(motion, [&](SketchObject* o, bool) {
        // Only a marked object can be moved by a running motion: the search of the list
        // is left for a takeover.
        if (Motion* old = o->movedByMotion ? MotionMoving(sketch, o, motion) : nullptr) {
            motion->needsMovingSetUpdate = old->needsMovingSetUpdate;
            FinishMotion(old);
        } else if (anyUndoNeeded) {
            *anyUndoNeeded = true;
        }
    });
    ForEachMoved(motion, [](SketchObject* o, bool) { o->movedByMotion = 1; });
    MarkMovingSetInvalid(sketch);
    if (IsFront(sketch) && !sketch->motion.motionsHead) gActivityWord |= kActivityAnimating;
    motion->sketch = sketch;
    motion->next = sketch->motion.motionsHead;
    sketch->motion.motionsHead = motion;
    ListAnimating(sketch);
    if (DragInProgress(sketch)) SuspendMotionsOfDrag(1);
    StartFrameTicks(sketch);
    if (gRunningMotions++ == 0) CmdStateInvalidate(kCommandGroupSelectionMotion);
    // Counted only once linked: a motion that failed to start never ran for its button.
    if (owner != nullptr) CountButtonRun(owner);
    return kResultOK;
}

namespace {

// Finishes the motion; `link` is the pointer that holds it in its sketch's list when the
// caller walks that list (a walk finishing many motions then never searches for them),
// else null. True when the motion left the list: `link` then holds its successor.
bool FinishMotionAt(Motion* motion, Motion** link) {
    if (motion->next == kMotionNotLinked) {
        FreeMotion(motion);
        return false;
    }
    Sketch* sketch = motion->sketch;
    MotionState& state = sketch->motion;
    // A motion marked finished already let go of its objects, which may be gone since.
    if (!motion->finished) ForEachMoved(motion, [](SketchObject* o, bool) { o->movedByMotion = 0; });
    if (state.nesting > 0) {
        motion->finished = 1;
        DropOwner(motion);
        state.finishPending = 1;
        return false;
    }
    if (auto release = MotionTypeOps[motion->type].release) release(motion);
    InvalidateMotionGroups(sketch);
    if (--gRunningMotions <= 0) {
        gRunningMotions = 0;
        CmdStateInvalidate(kCommandGroupSelectionMotion);
    }
    MarkMovingSetInvalid(sketch);
    if (!link || *link != motion) {
        for (link = &state.motionsHead; *link && *link != motion;) link = &(*link)->next;
    }
    if (*link) *link = motion->next;
    SketchObject* owner = motion->owner;
    FreeMemory(motion);
    if (!state.motionsHead) {
        state.paused = 0;
        UnlistAnimating(sketch);
        if (IsFront(sketch)) {
            gActivityWord &= static_cast<uint16_t>(~(kActivityAnimating | kActivityPaused));
            InvalidateMotionGroups(sketch);
        }
    }
    if (owner != nullptr) ReleaseButtonRun(owner);
    return true;
}

// Finishes every motion of the list that `finish` chooses, in list order.
template <typename Choose>
void FinishChosenMotions(MotionState& state, Choose finish) {
    for (Motion** link = &state.motionsHead; *link;) {
        Motion* m = *link;
        if (finish(m) && FinishMotionAt(m, link)) continue;
        link = &m->next;
    }
}

}  // namespace

void FinishMotion(Motion* motion) { FinishMotionAt(motion, nullptr); }

int32_t AnimationStep() {
    ButtonReleaseHold hold;
    Sketch* sketch = CurrentSketch();
    if (!sketch) return 0;
    MotionState& state = sketch->motion;
    if (state.movingSetInvalid || state.movingSetStamp != sketch->structureChangeCount) {
        BuildMotionUpdateList(0);
        // The selection's census reads the move states, which were cleared while the set
        // was invalid: a menu refreshed meanwhile (after a drag, say) must look again.
        InvalidateMotionGroups(sketch);
    }
    if (state.nesting == 0) PollNudgeKeys();
    const bool dragging = DragInProgress(sketch);
    if (!dragging && !state.motionsHead) return 0;
    ++state.nesting;
    bool moved = false;
    if (!state.paused) {
        UpdateSketchVisibleRect(sketch);
        for (Motion* m = state.motionsHead; m; m = m->next) {
            if (m->suspended || m->finished) continue;
            const bool timeUp = m->hasTimeLimit && DeadlinePassed(m->timeLimit);
            ForEachMoved(m, [](SketchObject* o, bool) { ++o->generation; });
            const int32_t goOn = MotionTypeOps[m->type].advance(m);
            if (timeUp || !goOn) FinishMotion(m);
            else moved = true;
        }
    }
    if (dragging) {
        ApplyDragTarget();
        moved = true;
    }
    --state.nesting;
    if (moved || state.finishPending) RecomputeMovedObjects();
    if (state.nesting == 0 && state.finishPending) {
        state.finishPending = 0;
        FinishChosenMotions(state, [](const Motion* m) { return m->finished != 0; });
    }
    ++state.frameCount;
    ++gProgramFrames;
    return moved || state.paused ? 1 : 0;
}

void NotifyMotionsObjectChanged(SketchObject* object, int32_t forGeometry, int32_t forValue) {
    Sketch* sketch = CurrentSketch();
    if (!sketch || !object) return;
    ButtonReleaseHold hold;
    FinishChosenMotions(sketch->motion, [&](Motion* m) {
        if (m->owner == object) DropOwner(m);
        const bool asks = m->type == kMotionNumber ? forValue != 0 : forGeometry != 0;
        return !m->finished && asks && MotionTypeOps[m->type].dependsOn(m, object);
    });
}

void FinishMotionsOfOwner(SketchObject* button) {
    Sketch* sketch = CurrentSketch();
    if (!sketch || !button) return;
    ButtonReleaseHold hold;
    FinishChosenMotions(sketch->motion, [&](const Motion* m) { return m->owner == button && !m->finished; });
}

ResultCode StopMotions(int32_t flags) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    const bool selectedOnly = (flags & 2) != 0;
    const bool reselect = (flags & 1) != 0;
    ButtonReleaseHold hold;
    for (Motion** link = &sketch->motion.motionsHead; *link;) {
        Motion* m = *link;
        SketchObject* target = m->target;
        if (selectedOnly && !IsSelected(target)) {
            link = &m->next;
            continue;
        }
        const bool show = reselect && IsLinkedIntoSketch(target) && target->exists == 1 &&
                          target->hidden == kShown;
        const bool left = FinishMotionAt(m, link);
        if (show) SelectSketchObject(target);
        if (!left) link = &m->next;
    }
    return kResultOK;
}

ResultCode StopAllSketchesMotions(int32_t) {
    Sketch* previous = nullptr;
    Sketch* entered = CurrentSketch();
    while (gAnimatingHead) {
        Sketch* sketch = gAnimatingHead;
        SetCurrentSketch(sketch, &previous);
        StopMotions(0);
        // A sketch whose motions are only marked finished (inside a frame) is dropped
        // from the list here; its frame finishes them.
        UnlistAnimating(sketch);
    }
    SetCurrentSketch(entered, nullptr);
    return kResultOK;
}

ResultCode PauseAnimationCommand(int32_t) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    MotionState& state = sketch->motion;
    state.paused = !state.paused;
    if (IsFront(sketch)) {
        if (state.paused) gActivityWord |= kActivityPaused;
        else gActivityWord &= static_cast<uint16_t>(~kActivityPaused);
    }
    InvalidateMotionGroups(sketch);
    if (state.motionsHead) StartFrameTicks(sketch);
    return kResultOK;
}

bool MotionControllerShown() { return IsMotionControllerVisible(); }

ResultCode ShowMotionControllerCommand(int32_t show) {
    SetMotionControllerHidden(show == 0);
    CmdStateInvalidate(kCommandGroupMotion);
    if (gEngine.currentIsFront) {
        double low = 0, high = 0;
        bool reversible = false;
        const bool any = MotionSpeedRange(false, &low, &high, &reversible);
        FormatSpeedRangeText(low, high);
        RefreshMotionControllerItem(7, reversible ? 1 : 0);
        RefreshMotionControllerItem(3, any ? 1 : 0);
        RefreshMotionControllerItem(4, any ? 1 : 0);
    }
    return kResultOK;
}

void ChangeMotionSpeeds(double value, bool selectedOnly, bool relative) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return;
    for (Motion* m = sketch->motion.motionsHead; m; m = m->next) {
        if (m->finished || (selectedOnly && !IsSelected(m->target))) continue;
        const double speed = relative ? value : value * SpeedUnit() * kMediumSpeed;
        MotionTypeOps[m->type].setSpeed(m, speed, relative);
    }
    InvalidateMotionGroups(sketch);
}

void ReverseMotions(bool selectedOnly) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return;
    for (Motion* m = sketch->motion.motionsHead; m; m = m->next) {
        if (m->finished || (selectedOnly && !IsSelected(m->target))) continue;
        if (auto reverse = MotionTypeOps[m->type].reverse) reverse(m);
    }
}

bool MotionSpeedRange(bool selectedOnly, double* low, double* high, bool* reversible) {
    *low = *high = 0;
    *reversible = false;
    const Sketch* sketch = CurrentSketch();
    if (!sketch) return false;
    bool any = false;
    const double medium = SpeedUnit() * kMediumSpeed;
    for (Motion* m = sketch->motion.motionsHead; m; m = m->next) {
        if (m->finished || (selectedOnly && !IsSelected(m->target))) continue;
        if (m->type == kMotionAlongPath || (m->type == kMotionNumber && !m->data.number.random)) {
            *reversible = true;
        }
        const double speed = MotionSpeed(m) / medium;
        if (speed == 0) continue;
        if (!any || speed < *low) *low = speed;
        if (!any || speed > *high) *high = speed;
        any = true;
    }
    if (!any) *reversible = false;
    return any;
}

SketchObject* CollectMovingObjects() {
    Sketch* sketch = gEngine.frontSketch;
    SketchObject* head = nullptr;
    SketchObject* tail = nullptr;
    if (!sketch) return nullptr;
    for (Motion* m = sketch->motion.motionsHead; m; m = m->next) {
        SketchObject* t = m->target;
        if (m->finished || !IsLinkedIntoSketch(t) || t->exists != 1 || t->hidden != kShown) continue;
        bool listed = false;
        for (SketchObject* o = head; o && !listed; o = o->tempLink) listed = o == t;
        if (listed) continue;
        t->tempLink = nullptr;
        if (tail) tail->tempLink = t;
        else head = t;
        tail = t;
    }
    return head;
}

ResultCode RunMotionBarCommand(int32_t code) {
    Sketch* front = gEngine.frontSketch;
    if (!front) return kResultOK;
    Sketch* previous = nullptr;
    SetCurrentSketch(front, &previous);
    const bool selection = front->selectionHead != nullptr;
    ResultCode result = kResultOK;
    switch (code) {
        case 0:
            if (front->motion.paused) PauseAnimationCommand(0);
            result = AnimateCommand(0);
            break;
        case 1: result = StopMotions(selection ? 2 : 1); break;
        case 2: result = PauseAnimationCommand(0); break;
        case 3: ChangeMotionSpeeds(kFasterFactor, selection, true); break;
        case 4: ChangeMotionSpeeds(kSlowerFactor, selection, true); break;
        case 7: ReverseMotions(selection); break;
        default: break;
    }
    SetCurrentSketch(previous, nullptr);
    return result;
}

void SyncAnimationState(Sketch*, Sketch* newFront) {
    const uint16_t before = gActivityWord;
    uint16_t word = static_cast<uint16_t>(before & ~(kActivityAnimating | kActivityPaused));
    if (newFront && newFront->motion.motionsHead) word |= kActivityAnimating;
    if (newFront && newFront->motion.paused) word |= kActivityPaused;
    gActivityWord = word;
    if (word != before) {
        CmdStateInvalidate(kCommandGroupMotion);
        CmdStateInvalidate(kCommandGroupSelectionMotion);
    }
}

void EndSketchActivity(uint32_t activity) {
    Sketch* front = gEngine.frontSketch;
    Sketch* previous = nullptr;
    if (front) SetCurrentSketch(front, &previous);
    switch (activity) {
        case kActivityTool:
            EndToolInProgress();
            gActivityWord &= static_cast<uint16_t>(~kActivityTool);
            break;
        case kActivityAnimating:
            if (front) StopMotions(0);
            gActivityWord &= static_cast<uint16_t>(~kActivityAnimating);
            break;
        case kActivityPaused:
            if ((gActivityWord & kActivityAnimating) && front) PauseAnimationCommand(0);
            else gActivityWord &= static_cast<uint16_t>(~kActivityPaused);
            break;
        case kActivityCaptionEditing:
            if (front && front->editSession) {
                FreeLayoutEditSession(front->editSession, 1);
                front->editSession = nullptr;  // an owner without an end callback leaves it
            }
            gActivityWord &= static_cast<uint16_t>(~kActivityCaptionEditing);
            break;
        default:
            break;
    }
    if (front) SetCurrentSketch(previous, nullptr);
}

uint32_t EndActivitiesExcept(uint32_t keepMask) {
    bool ended = false;
    for (const uint32_t bit : { kActivityTool, kActivityAnimating, kActivityPaused, kActivityCaptionEditing }) {
        if (gActivityWord == 0) break;
        if (!(gActivityWord & bit) || (keepMask & bit)) continue;
        EndSketchActivity(bit);
        ended = true;
    }
    if (ended && !gEngine.frontSketch) {
        Sketch* previous = nullptr;
        SetCurrentSketch(nullptr, &previous);
        FlushPendingRedraw(1);
        SetCurrentSketch(previous, nullptr);
    }
    return gActivityWord;
}

// ---- Animate -------------------------------------------------------------------------

namespace {

Motion* AlongPathMotion(SketchObject* point) {
    SketchObject* path = FirstParent(point);
    const PathMethods* row = path ? PathMethodsOf(path) : nullptr;
    const bool closed = row && row->pathFlags && row->pathFlags(path) == kPathClosed;
    return CreateMotion(point, path, kMotionAlongPath, closed ? kEndWrap : kEndBounce, 1,
                        SpeedUnit() * kMediumSpeed);
}

bool IsAxisUnitPoint(const SketchObject* o) {
    return o->constructionType == 56 || o->constructionType == 57 || o->constructionType == 59;
}

void FreeMotionChain(Motion* head) {
    while (head) {
        Motion* next = head->listLink;
        FreeMotion(head);
        head = next;
    }
}

}  // namespace

Motion* CreateMotionsForSelection(SketchObject* linked) {
    int32_t count = 0;
    for (SketchObject* o = linked; o; o = o->tempLink) ++count;
    if (count == 0) return nullptr;
    auto** objects = static_cast<SketchObject**>(AllocMemory(sizeof(SketchObject*) * count, 0));
    if (!objects) return nullptr;
    count = 0;
    for (SketchObject* o = linked; o; o = o->tempLink) objects[count++] = o;

    Motion* head = nullptr;
    Motion* tail = nullptr;
    bool failed = false;
    auto append = [&](Motion* m) {
        if (!m) {
            failed = true;
            return;
        }
        m->listLink = nullptr;
        if (tail) tail->listLink = m;
        else head = m;
        tail = m;
    };
    // The rest: neither points on paths nor values; they go through the drag analysis.
    SketchObject* rest = nullptr;
    for (int32_t i = count - 1; i >= 0; --i) {
        SketchObject* o = objects[i];
        if (o->constructionType == kTypePointOnPath || o->objectClass == kClassCalculation) continue;
        o->tempLink = rest;
        rest = o;
    }
    if (rest) {
        if (DragPlanEntry* plan = PlanDragOf(rest, kDragTranslate)) {
            for (const DragPlanEntry* e = plan; e->object && !failed; ++e) {
                SketchObject* o = e->object;
                if (!(e->flags & kDragIndependent) || o->objectClass != kClassPoint) continue;
                if (o->constructionType == kTypeFree) {
                    append(CreateMotion(o, nullptr, kMotionRandomFree, 0, 1, SpeedUnit() * kMediumSpeed));
                } else if (o->constructionType == kTypePointOnPath) {
                    append(AlongPathMotion(o));
                    for (int32_t i = 0; i < count; ++i) {
                        if (objects[i] == o) objects[i] = nullptr;
                    }
                } else if (IsAxisUnitPoint(o)) {
                    append(CreateMotion(o, FirstParent(o), kMotionAxisUnit, 0, 1, SpeedUnit() * kMediumSpeed));
                }
            }
            FreeMemory(plan);
        }
    }
    for (int32_t i = 0; i < count && !failed; ++i) {
        SketchObject* o = objects[i];
        if (o && o->constructionType == kTypePointOnPath) append(AlongPathMotion(o));
    }
    for (int32_t i = 0; i < count && !failed; ++i) {
        SketchObject* o = objects[i];
        if (o && o->objectClass == kClassCalculation) {
            append(CreateMotion(o, nullptr, kMotionNumber, 0, 1, SpeedUnit() * kMediumSpeed));
        }
    }
    FreeMemory(objects);
    if (failed) {
        FreeMotionChain(head);
        return nullptr;
    }
    return head;
}

// ---- Number keys ---------------------------------------------------------------------

namespace {

// The keyboard step is in the sketch's units, as the parameter's value is.
void StepParameterValue(SketchObject* parameter, int32_t direction) {
    ParameterMotion m{};
    GetParameterMotion(parameter, &m, false);
    SetParameterValue(parameter, CalculationValue(parameter) + direction * std::fabs(m.step), false);
}

}  // namespace

ResultCode StepNumberMotions(int32_t direction) {
    Sketch* sketch = CurrentSketch();
    if (!sketch || direction == 0) return kResultOK;
    int32_t count = 0;
    SketchObject* parameters = nullptr;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) {
        if (!IsParameterForm(o)) continue;
        o->tempLink = parameters;
        parameters = o;
        ++count;
    }
    if (count == 0) return kResultOK;
    const bool sameStep = gNumberKeys.sketch == sketch && gNumberKeys.direction == direction &&
                          gNumberKeys.selectionChangeCount == sketch->selectionChangeCount &&
                          !DeadlinePassed(gNumberKeys.deadline);
    if (!sameStep) {
        for (SketchObject* p = parameters; p; p = p->tempLink) {
            Motion* m = CreateMotion(p, nullptr, kMotionNumber, 0, 1, SpeedUnit() * kMediumSpeed);
            if (!m) return kResultOutOfMemory;
            StartMotion(m, nullptr, nullptr);
        }
        const UndoDescriptor name = { kUndoNameChange, count == 1 ? kNounParameter : kNounParameters, 0, nullptr };
        // The record is built from the moving set, which owns no tempLink.
        SketchObject* reselect = LinkSelection();
        if (const ResultCode code = BuildMoveUndoRecord(&name, reselect)) return code;
        parameters = nullptr;
        for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) {
            if (!IsParameterForm(o)) continue;
            o->tempLink = parameters;
            parameters = o;
        }
    }
    SketchObject* changed = nullptr;
    for (SketchObject* p = parameters; p;) {
        SketchObject* next = p->tempLink;
        NotifyMotionsObjectChanged(p, 0, 1);
        StepParameterValue(p, direction);
        p->tempLink = changed;
        changed = p;
        p = next;
    }
    CollectDependents(&changed, false);
    for (SketchObject* o = changed; o; o = o->tempLink) {
        if (o->motionRole == kMoveNone) AddObjectToDirtyRect(o);
    }
    FlushPendingRedraw(0);
    for (SketchObject* o = changed; o; o = o->tempLink) RecomputeAndRedrawObject(o);
    FlushPendingRedraw(0);
    gNumberKeys = { sketch, sketch->selectionChangeCount, direction, 0 };
    SetDeadline(&gNumberKeys.deadline, kNumberKeyGroupMs);
    return kResultOK;
}
