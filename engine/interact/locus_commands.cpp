#include "engine/interact/locus_commands.h"

#include <cmath>
#include <cstring>

#include "engine/core/alerts.h"
#include "engine/core/locus.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/undo.h"
#include "engine/core/shape_families.h"
#include "engine/core/sketch.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/command_state.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/menu_state_queries.h"
#include "engine/interact/undo.h"

namespace {

constexpr ResultCode kAlertNoLocus = 109;
constexpr uint16_t kTextLocus = 44;        // "Loc&us", string group 1
constexpr uint16_t kExecutorLocus = 9;
constexpr uint16_t kUndoNameResizePlot = 11;
constexpr int32_t kHandleReach = 4;        // a handle is hit within this many pixels
constexpr int32_t kNoShapeFamily = 6;

LocusCandidateTask gSearch{};

// ---- The candidate search

void DisableLocusItem(LocusCandidateTask* s) {
    s->valid = 0;
    int32_t argument = 0;
    CmdStateGetItem(s->item, nullptr, nullptr, nullptr, &argument);
    CmdStateSetItem(s->item, 0, kTextLocus, kVariantPlain, kExecutorLocus, argument);
}

bool IsPoint(const SketchObject* o) { return o->objectClass == kClassPoint; }
bool IsPathKind(const SketchObject* o) {
    return o->objectKind >= 0 && o->objectKind < kObjectKindCount && ObjectKindTable[o->objectKind].pathClass != kNotAPath;
}

void BuildCandidateLists(LocusCandidateTask* s, const Sketch* sketch) {
    s->driverCount = s->tracedCount = s->pathCount = 0;
    int32_t selected = 0;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) ++selected;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) {
        if (IsPoint(o) && s->driverCount < 2) s->drivers[s->driverCount++] = o;
        if (selected == 2) {
            if (o->constructionType == kTypePointOnPath && s->pathCount < 2) {
                if (SketchObject* path = static_cast<SketchObject*>(PtrListItem(o->parents, 0)))
                    s->paths[s->pathCount++] = path;
            }
        } else if (IsPathKind(o) && s->pathCount < 2) {
            s->paths[s->pathCount++] = o;
        }
        if (ObjectClassTable[o->objectClass].shapeFamily != kNoShapeFamily && s->tracedCount < 3)
            s->traced[s->tracedCount++] = o;
    }
}

// Stamps everything that depends on the driver (not the driver itself) with a fresh
// generation, which it answers.
uint32_t StampDescendants(Sketch* sketch, SketchObject* driver) {
    const uint32_t g = ++sketch->traversalGeneration;
    const uint32_t saved = driver->traversalStamp;
    driver->traversalStamp = g;
    for (SketchObject* o = driver->nextInSketch; o && o != kNotLinked; o = o->nextInSketch) {
        int32_t n = 0;
        void** parents = PtrListItems(o->parents, &n);
        for (int32_t i = 0; i < n; ++i) {
            if (static_cast<SketchObject*>(parents[i])->traversalStamp == g) {
                o->traversalStamp = g;
                break;
            }
        }
    }
    driver->traversalStamp = saved;
    return g;
}

}  // namespace

LocusCandidateTask& TheLocusCandidateTask() { return gSearch; }

void ScheduleLocusCandidateSearch(int32_t item, int32_t start) {
    RemoveIdleTask(&gSearch.task);
    if (!start) return;
    gSearch.item = static_cast<uint16_t>(item);
    gSearch.selectionCounter = gEngine.frontSketch ? gEngine.frontSketch->selectionChangeCount : 0;
    gSearch.stage = 0;
    AddIdleTask(&gSearch.task, LocusCandidateStep, kIdleLocusSearch);
}

int32_t LocusCandidateStep(IdleTask* task, int32_t) {
    auto* s = reinterpret_cast<LocusCandidateTask*>(task);
    Sketch* front = gEngine.frontSketch;
    if (!front || front->selectionChangeCount != s->selectionCounter) {
        DisableLocusItem(s);
        return 0;
    }
    CurrentSketchScope scope(front);
    if (s->stage == 0) {
        BuildCandidateLists(s, front);
        s->stage = 1;
        if (s->tracedCount == 0 || s->driverCount == 0) {
            DisableLocusItem(s);
            return 0;
        }
        return 1;
    }
    SketchObject* driver = s->drivers[s->stage - 1];
    const uint32_t g = StampDescendants(front, driver);
    SketchObject* traced = nullptr;
    for (int32_t i = 0; i < s->tracedCount && !traced; ++i)
        if (s->traced[i]->traversalStamp == g) traced = s->traced[i];
    SketchObject* path = nullptr;
    for (int32_t i = 0; i < s->pathCount && !path; ++i)
        if (s->paths[i]->traversalStamp != g) path = s->paths[i];
    if (traced && path) {
        s->valid = 1;
        s->drivers[0] = driver;
        s->traced[0] = traced;
        s->paths[0] = path;
        return 0;
    }
    if (++s->stage <= s->driverCount) return 1;
    DisableLocusItem(s);
    return 0;
}

// ---- Construct Locus

bool LocusDependencyChain(SketchObject* driver, SketchObject* traced, SketchObject* path) {
    Sketch* sketch = CurrentSketch();
    const uint32_t g = StampDescendants(sketch, driver);
    driver->traversalStamp = g;
    if (path->traversalStamp == g || traced->traversalStamp != g) return false;
    // The ancestors of the traced object among the driver's descendants; parents come
    // before their children, so one backward walk of the sketch order finds them all.
    const uint32_t up = ++sketch->traversalGeneration;
    traced->traversalStamp = up;
    for (SketchObject* o = traced; o && o != kNotLinked; o = o->prevInSketch) {
        if (o->traversalStamp != up) continue;
        int32_t n = 0;
        void** parents = PtrListItems(o->parents, &n);
        for (int32_t i = 0; i < n; ++i) {
            auto* p = static_cast<SketchObject*>(parents[i]);
            if (p->traversalStamp == g) p->traversalStamp = up;
        }
        if (o == driver) break;
    }
    SketchObject* last = nullptr;
    for (SketchObject* o = driver; o && o != kNotLinked; o = o->nextInSketch) {
        if (o->traversalStamp != up) continue;
        if (last) last->tempLink = o;
        o->tempLink = nullptr;
        last = o;
    }
    return last == traced && driver->traversalStamp == up;
}

PtrList BuildLocusParents(SketchObject* traced, SketchObject* driver, SketchObject* path, bool* outOfMemory) {
    *outOfMemory = false;
    if (!LocusDependencyChain(driver, traced, path)) return 0;
    int32_t chain = 0;
    for (SketchObject* o = driver; o; o = o->tempLink) ++chain;
    PtrList list = 0;
    if (!AllocPtrList(chain + 2, chain + 2, &list)) {
        *outOfMemory = true;
        return 0;
    }
    void** items = PtrListData(list);
    items[0] = traced;
    items[1] = path;
    int32_t i = 2;
    for (SketchObject* o = driver; o; o = o->tempLink) items[i++] = o;
    return list;
}

namespace {

struct LocusPick {
    SketchObject* traced;
    SketchObject* driver;
    SketchObject* path;
    bool outOfMemory;
};

SketchObject* MakeLocus(int32_t, void* user, uint16_t* outFlags) {
    auto* pick = static_cast<LocusPick*>(user);
    PtrList parents = BuildLocusParents(pick->traced, pick->driver, pick->path, &pick->outOfMemory);
    if (!parents) return nullptr;
    return ConstructObject(kTypeLocus, nullptr, parents, 0, true, false, outFlags);
}

}  // namespace

SketchObject* BuildLocus(SketchObject* traced, SketchObject* driver, SketchObject* path, bool* reused) {
    LocusPick pick{ traced, driver, path, false };
    uint16_t flags = 0;
    // The batch tells apart a new locus and a reused one by its own flags; a one-item
    // batch made of an equal locus selects it and records nothing new.
    struct Probe {
        LocusPick* pick;
        uint16_t* flags;
    } probe{ &pick, &flags };
    const ObjectBatch batch = {
        1, 0, 1,
        [](int32_t index, void* user, uint16_t* outFlags) -> SketchObject* {
            auto* p = static_cast<Probe*>(user);
            SketchObject* made = MakeLocus(index, p->pick, outFlags);
            *p->flags = *outFlags;
            return made;
        },
        StandardBatchUnwind, &probe, -1 };
    SketchObject* locus = BuildObjectsWithUndo(&batch);
    if (reused) *reused = locus && flags != kConstructedNew;
    return locus;
}

ResultCode ConstructLocusCommand(int32_t) {
    LocusCandidateTask& s = gSearch;
    if (s.task.queued) RunIdleTaskToEnd(&s.task);
    // A result found for an earlier selection may name objects that are gone since.
    Sketch* front = gEngine.frontSketch;
    const bool current = front && front == CurrentSketch() && front->selectionChangeCount == s.selectionCounter;
    if (!s.valid || !current) {
        ShowAlertByCode(kAlertNoLocus, 0);
        return kResultOK;
    }
    bool reused = false;
    return BuildLocus(s.traced[0], s.drivers[0], s.paths[0], &reused) ? kResultOK : kResultOutOfMemory;
}

// ---- Range handles

int32_t FindLocusHandle(SketchObject* locus, ScreenPoint point, ScreenPoint* handle) {
    const LocusData* L = LocusDataOf(locus);
    if (locus->objectClass != kClassLocus || L->tracedClass != kClassPoint || !L->samples || L->sampleCount < 1)
        return 0;
    const auto near = [&](int32_t sample) {
        const ScreenPoint p = LocusSamplePoint(locus, sample);
        if (std::abs(p.x - point.x) > kHandleReach || std::abs(p.y - point.y) > kHandleReach) return false;
        if (handle) *handle = p;
        return true;
    };
    if (L->startKind == kLocusEndGoesOn && near(0)) return 1;
    if (L->endKind == kLocusEndGoesOn && near(L->sampleCount - 1)) return 2;
    return 0;
}

bool HitTestLocusHandle(ScreenPoint point, SketchObject* locus) { return FindLocusHandle(locus, point, nullptr) != 0; }

namespace {

// The drag in progress, or null.
struct LocusRangeDrag {
    SketchObject* locus;
    double lo, hi;           // the range when the drag began
    int32_t movesStart;      // 1 the start moves, 0 the end
    double perPixel;         // parameter change per pixel along the tangent
    double dx, dy;           // the tangent, forwards
    ScreenPoint handle;
    SketchObject** affected; // the locus and its dependents, null-terminated
};
LocusRangeDrag* gDrag = nullptr;

void FreeDrag() {
    if (!gDrag) return;
    FreeMemory(gDrag->affected);
    FreeMemory(gDrag);
    gDrag = nullptr;
}

// The locus and everything that depends on it, null-terminated; null without memory.
SketchObject** CollectAffected(SketchObject* locus) {
    SketchObject* head = locus;
    locus->tempLink = nullptr;
    const int32_t count = CollectDependents(&head, true);
    auto** array = static_cast<SketchObject**>(AllocMemory(sizeof(SketchObject*) * (count + 1), kAllocZero));
    if (!array) return nullptr;
    int32_t i = 0;
    for (SketchObject* o = head; o && i < count; o = o->tempLink) array[i++] = o;
    return array;
}

}  // namespace

bool BeginLocusRangeDrag(SketchObject* locus, ScreenPoint point) {
    FreeDrag();
    gDrag = static_cast<LocusRangeDrag*>(AllocMemory(sizeof(LocusRangeDrag), kAllocZero));
    if (!gDrag) return false;
    LocusRangeDrag& d = *gDrag;
    const int32_t handle = FindLocusHandle(locus, point, &d.handle);
    if (handle == 0) {
        FreeDrag();
        return false;
    }
    const LocusData* L = LocusDataOf(locus);
    const int32_t sample = handle == 1 ? 0 : L->sampleCount - 1;
    const double step = (L->hi - L->lo) / (2.0 * L->sampleCount);
    const ScreenPoint at = LocusSamplePoint(locus, sample);
    RealPoint after = { double(at.x), double(at.y) }, before = after;
    LocusTangentAt(locus, sample, step, &after, &before, true);
    d.dx = after.x - before.x;
    d.dy = after.y - before.y;
    d.perPixel = 2 * step / std::hypot(d.dx, d.dy);
    d.locus = locus;
    d.lo = L->lo;
    d.hi = L->hi;
    d.movesStart = handle == 1 ? 1 : 0;
    // A collapsed range gives 0 / 0 here: such a drag would write NaN into the range,
    // and the document would keep it.
    if (!std::isfinite(d.perPixel) || d.perPixel == 0) {
        FreeDrag();
        return false;
    }
    d.affected = CollectAffected(locus);
    if (!d.affected || RecordLocusRangeUndo(locus) != kResultOK) {
        FreeDrag();
        return false;
    }
    return true;
}

void DragLocusRange(ScreenPoint point) {
    if (!gDrag) return;
    LocusRangeDrag& d = *gDrag;
    const double ox = point.x - d.handle.x, oy = point.y - d.handle.y;
    const double a = std::hypot(ox, oy);
    if (a == 0) return;
    LocusData* L = LocusDataOf(d.locus);
    L->lo = d.lo;
    L->hi = d.hi;
    const double change = (ox * d.dx + oy * d.dy >= 0 ? a : -a) * d.perPixel;
    if (d.movesStart) L->lo += change;
    else L->hi += change;
    if (L->lo > L->hi) {
        // A path with one end cannot run beyond it: the range collapses there.
        if (L->ends == kPathOneEnd) L->hi = L->lo;
        else std::swap(L->lo, L->hi);
    }
    RecomputeObjects(nullptr, false, d.affected);
}

void EndLocusRangeDrag() { FreeDrag(); }

// ---- Undo of range changes

void PushLocusRangeEntry(SketchObject* locus, uint8_t** cursor) {
    PutLocusRangeEntry(cursor, locus, LocusDataOf(locus)->lo, LocusDataOf(locus)->hi);
}

ResultCode RecordLocusRangeUndo(SketchObject* locus) {
    const UndoDescriptor name = { kUndoNameResizePlot, kUndoNounNone, 0, nullptr };
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(&name, 1, kLocusRangeEntryBytes, &cursor);
    if (!record) return kResultOutOfMemory;
    PushLocusRangeEntry(locus, &cursor);
    return UndoRecordCommit(record, false);
}

ResultCode RestoreLocusRange(const UndoEntry& entry, int32_t) {
    if (entry.length < kLocusRangeEntryBytes) return kResultOK;
    SketchObject* locus = nullptr;
    std::memcpy(&locus, entry.payload, sizeof locus);
    if (!locus || locus->objectClass != kClassLocus) return kResultOK;
    LocusData* L = LocusDataOf(locus);
    double lo, hi;
    std::memcpy(&lo, entry.payload + 8, 8);
    std::memcpy(&hi, entry.payload + 16, 8);
    std::memcpy(entry.payload + 8, &L->lo, 8);
    std::memcpy(entry.payload + 16, &L->hi, 8);
    L->lo = lo;
    L->hi = hi;
    SketchObject* head = locus;
    locus->tempLink = nullptr;
    CollectDependents(&head, true);
    RecomputeObjects(head, true, nullptr);
    return kResultOK;
}
