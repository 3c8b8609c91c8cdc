#include "engine/core/drag_analysis.h"

#include <cstring>
#include <initializer_list>

#include "engine/core/chunked_array.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"

namespace {

constexpr int32_t kRecordsPerBlock = 64;

// States of a record. A state only rises, except where MarkForDrag merges.
enum DragState : int16_t {
    kStateReached     = 0,
    kStateMustMove    = 1,
    kStateGroupMove   = 2,
    kStateParentMoved = 3,
    kStateFreeParents = 4,
    kStateDraggedValue = 5,
};

constexpr uint32_t kDoneChildren = 0x1;
constexpr uint32_t kDoneWritten  = 0x2;
constexpr uint32_t kDoneGrouped  = 0x4;
constexpr uint32_t kDoneReleased = 0x8;  // the object no longer points at the record

// One analysis. Parents' census of the object being processed: c[code] is 0 (no parent
// with that code), 1 (only parents that stay), 2 (both kinds) or 3 (only moving ones).
struct DragContext {
    int32_t       mode;
    ChunkedArray* blocks;       // of DragAnalysis* blocks of 64 records
    DragAnalysis* lastBlock;    // the block the next record goes in, until it is full
    int32_t       recordCount;
    ChunkedArray* groups;       // representative objects by group number
    int32_t       groupCount;   // next group number
    DragAnalysis* resultHead;
    DragAnalysis* resultTail;
    DragAnalysis* queueHead;
    DragAnalysis* queueTail;
    int32_t       census[5];
    bool          foreign;
};

SketchObject* const* ParentItems(const SketchObject* object, int32_t* count) {
    return reinterpret_cast<SketchObject* const*>(PtrListItems(object->parents, count));
}

SketchObject* FirstParent(const SketchObject* object) {
    int32_t count = 0;
    SketchObject* const* parents = ParentItems(object, &count);
    return count > 0 ? parents[0] : nullptr;
}

// A parent counts as moving when it has a record that is not only a dragged value.
bool IsMoving(const SketchObject* object) {
    return object->dragRecord != nullptr && object->dragRecord->flags != kDragValueObject;
}

DragAnalysis* NewRecord(DragContext* context, SketchObject* object) {
    const int32_t slot = context->recordCount % kRecordsPerBlock;
    if (slot == 0 || context->lastBlock == nullptr) {
        const int32_t blockIndex = context->recordCount / kRecordsPerBlock;
        auto** block = static_cast<DragAnalysis**>(ChunkedArrayAt(context->blocks, blockIndex));
        if (block == nullptr) return nullptr;
        if (*block == nullptr) {
            *block = static_cast<DragAnalysis*>(
                AllocMemory(sizeof(DragAnalysis) * kRecordsPerBlock, kAllocZero));
            if (*block == nullptr) return nullptr;
        }
        context->lastBlock = *block;
    }
    DragAnalysis* record = context->lastBlock + slot;
    ++context->recordCount;
    record->object = object;
    record->next = record->previous = kDragNotListed;
    record->queueNext = record->queuePrevious = kDragNotListed;
    object->dragRecord = record;
    return record;
}

DragAnalysis* RecordOf(DragContext* context, SketchObject* object) {
    return object->dragRecord ? object->dragRecord : NewRecord(context, object);
}

// Forgets every record, whichever list it ended in, and frees the pools.
void FreeRecords(DragContext* context) {
    if (context->blocks) {
        const int32_t blockCount = (context->recordCount + kRecordsPerBlock - 1) / kRecordsPerBlock;
        for (int32_t b = 0; b < blockCount; ++b) {
            auto** block = static_cast<DragAnalysis**>(ChunkedArrayAt(context->blocks, b));
            if (block == nullptr || *block == nullptr) continue;
            const int32_t used =
                b == blockCount - 1 ? context->recordCount - b * kRecordsPerBlock : kRecordsPerBlock;
            for (int32_t i = 0; i < used; ++i) {
                if (!((*block)[i].done & kDoneReleased)) (*block)[i].object->dragRecord = nullptr;
            }
            FreeMemory(*block);
            *block = nullptr;
        }
        FreeChunkedArray(context->blocks);
        context->blocks = nullptr;
        context->lastBlock = nullptr;
    }
    if (context->groups) {
        FreeChunkedArray(context->groups);
        context->groups = nullptr;
    }
}

void AppendToQueue(DragContext* context, DragAnalysis* record) {
    record->queueNext = nullptr;
    record->queuePrevious = context->queueTail;
    if (context->queueTail) context->queueTail->queueNext = record;
    else context->queueHead = record;
    context->queueTail = record;
}

DragAnalysis* TakeFromQueue(DragContext* context) {
    DragAnalysis* record = context->queueHead;
    if (record == nullptr) return nullptr;
    context->queueHead = record->queueNext;
    if (context->queueHead) context->queueHead->queuePrevious = nullptr;
    else context->queueTail = nullptr;
    record->queueNext = record->queuePrevious = kDragNotListed;
    return record;
}

void AppendToResult(DragContext* context, DragAnalysis* record) {
    record->next = nullptr;
    record->previous = context->resultTail;
    if (context->resultTail) context->resultTail->next = record;
    else context->resultHead = record;
    context->resultTail = record;
}

uint16_t StateBit(int32_t state) {
    static const uint16_t bits[5] = { 0, 0x8, 0x2, 0x1, 0x10 };
    return state >= 0 && state < 5 ? bits[state] : 0;
}

bool MarkForDrag(DragContext* context, SketchObject* object, SketchObject* from, int32_t s,
                 int32_t g) {
    DragAnalysis* record = RecordOf(context, object);
    if (record == nullptr) return false;
    if (s == kStateDraggedValue) {
        if (DragCodeAt(object, context->mode, 0) == kDragCodeIsValue) record->flags = kDragValueObject;
        else s = kStateMustMove;
    }
    const int32_t t = record->state;
    if (t == kStateDraggedValue) {
        // Still queued and undecided: it takes whatever reaches it first.
        record->state = static_cast<int16_t>(s);
        record->group = static_cast<int16_t>(g);
        return true;
    }
    if ((s == t && g == record->group) || (s == kStateMustMove && (record->flags & kDragNoDriver))) {
        return true;
    }
    if (t != kStateReached) {
        if (s == kStateParentMoved && (record->flags & kDragMoves) && from && from->dragRecord &&
            from->dragRecord->group == record->group) {
            if (from->dragRecord->flags & kDragMoves) return true;
            if (!(record->flags & kDragNoDriver)) s = kStateGroupMove;
        }
        const uint16_t c = StateBit(t) | StateBit(s);
        if (c == 0x3 && (g == -1 || g == record->group)) {
            s = kStateGroupMove;
        } else if ((c & 0x1) && (c & (0x8 | 0x2))) {
            s = kStateFreeParents;
            g = 0;
        }
        if (s < t) return true;
    } else {
        AppendToQueue(context, record);
    }
    record->state = static_cast<int16_t>(s);
    if (g >= 0) record->group = static_cast<int16_t>(g);
    return true;
}

void TakeCensus(DragContext* context, SketchObject* object) {
    int32_t count = 0;
    SketchObject* const* parents = ParentItems(object, &count);
    // A locus's driver point (its last parent) is what the locus varies, not a definer.
    if (object->constructionType == kTypeLocus && count > 0) --count;
    uint8_t seen[5] = {};
    bool foreign = false;
    const DragAnalysis* own = object->dragRecord;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t code = DragCodeAt(object, context->mode, i);
        if (code > kDragCodeValue) continue;
        SketchObject* parent = parents[i];
        if (IsMoving(parent)) {
            seen[code] |= 2;
            const DragAnalysis* theirs = parent->dragRecord;
            if (code == kDragCodePreImage && theirs->driver != object) foreign = true;
            if (code != kDragCodePreImage && code != kDragCodeValue && theirs->group != own->group) {
                foreign = true;
            }
        } else {
            seen[code] |= 1;
        }
    }
    static const int32_t kCensusValue[4] = { 0, 1, 3, 2 };  // none, staying, moving, both
    for (int32_t code = 0; code < 5; ++code) context->census[code] = kCensusValue[seen[code]];
    context->foreign = foreign;
}

bool MarkDragParents(DragContext* context, SketchObject* object, uint32_t mask, int32_t s,
                     int32_t g, bool free) {
    int32_t count = 0;
    ParentItems(object, &count);
    for (int32_t i = count - 1; i >= 0; --i) {
        const uint8_t f = DragCodeAt(object, context->mode, i);
        if (!(mask & (1u << f))) continue;
        // Re-read: marking allocates records, never pointer lists, but stay safe.
        SketchObject* parent = ParentItems(object, &count)[i];
        if (f == kDragCodeIsValue) {
            if (parent->objectClass == kClassCalculation &&
                (parent->constructionType == kTypeFree || parent->dragRecord == nullptr)) {
                continue;
            }
            if (parent->dragRecord == nullptr &&
                (object->objectClass == kClassCalculation || !free)) {
                continue;
            }
        } else if (f == kDragCodeValue) {
            if (!free && parent->dragRecord == nullptr) continue;
        }
        if (s == kStateGroupMove) {
            DragAnalysis* record = RecordOf(context, parent);
            if (record == nullptr) return false;
            record->driver = object;
        }
        if (!MarkForDrag(context, parent, nullptr, s, g)) return false;
    }
    return true;
}

constexpr uint32_t Codes(std::initializer_list<int> codes) {
    uint32_t mask = 0;
    for (int c : codes) mask |= 1u << c;
    return mask;
}

// Group number of the object's rigid group; 0 when memory ran out.
int32_t FindRigidGroup(DragContext* context, SketchObject* object) {
    const DragAnalysis* own = object->dragRecord;
    int32_t count = 0;
    ParentItems(object, &count);
    for (int32_t n = 1; n < context->groupCount; ++n) {
        auto** slot = static_cast<SketchObject**>(ChunkedArrayAt(context->groups, n));
        if (slot == nullptr) return 0;
        SketchObject* r = *slot;
        if (r == nullptr || r->dragRecord == nullptr) continue;
        if (r->dragRecord->group != own->group || !(r->dragRecord->flags & kDragMoves)) continue;
        if (r->constructionType != object->constructionType) continue;
        int32_t rCount = 0;
        SketchObject* const* rParents = ParentItems(r, &rCount);
        SketchObject* const* oParents = ParentItems(object, &count);
        if (rCount != count) continue;
        bool same = true;
        for (int32_t i = 1; i < count && same; ++i) same = rParents[i] == oParents[i];
        if (!same || !PtrListEqual(r->constructionData, object->constructionData, false, nullptr)) {
            continue;
        }
        return n;
    }
    auto** slot = static_cast<SketchObject**>(ChunkedArrayAt(context->groups, context->groupCount));
    if (slot == nullptr) return 0;
    *slot = object;
    return context->groupCount++;
}

bool MarkFreeDragParents(DragContext* context, SketchObject* object) {
    const int32_t* c = context->census;
    uint32_t mask = Codes({ 0, 5 });
    if (c[2] > 1) mask |= Codes({ 1, 2, 3 });
    if ((c[1] > 1 && context->foreign) || c[3] > 1) mask |= Codes({ 1, 3 });
    if (c[4] > 1) mask |= Codes({ 1, 3, 4 });
    const bool free = !(c[2] == 1 || c[4] == 1 || c[4] == 2) && c[3] != 1;
    if (free && (c[4] == 0 || c[4] == 3)) object->dragRecord->flags |= kDragParentsStill;
    return MarkDragParents(context, object, mask, kStateMustMove, -1, free);
}

bool HandleFreeParents(DragContext* context, SketchObject* object) {
    DragAnalysis* record = object->dragRecord;
    if ((record->flags & kDragMoves) && record->driver) {
        if (!MarkForDrag(context, record->driver, object, kStateFreeParents, 0)) return false;
    }
    record = object->dragRecord;
    record->group = 0;
    record->driver = nullptr;
    record->flags = static_cast<uint16_t>((record->flags & kDragValueObject) | kDragMustMove);
    if (!MarkDragParents(context, object, Codes({ 0, 5 }), kStateMustMove, 0, false)) return false;
    return MarkFreeDragParents(context, object);
}

bool HandleMustMove(DragContext* context, SketchObject* object) {
    const int32_t* c = context->census;
    DragAnalysis* record = object->dragRecord;
    if (DragCodeAt(object, context->mode, 0) == kDragCodeIsValue) {
        if (!MarkDragParents(context, object, Codes({ 5 }), kStateMustMove, 0, false)) return false;
        return HandleFreeParents(context, object);
    }
    if (c[2] > 1 || c[3] > 1 || c[4] > 1) return HandleFreeParents(context, object);
    if (c[0] != 0) {
        if (!MarkDragParents(context, object, Codes({ 0 }), kStateMustMove, 0, false)) return false;
        return HandleFreeParents(context, object);
    }
    SketchObject* first = FirstParent(object);
    if (c[1] >= 2 &&
        !(c[1] == 3 && first && first->dragRecord && first->dragRecord->driver == object)) {
        return HandleFreeParents(context, object);
    }
    if (record->driver) {
        SketchObject* driver = record->driver;
        record->driver = nullptr;
        if (!MarkForDrag(context, driver, object, kStateFreeParents, 0)) return false;
    }
    record->flags = (c[2] == 0 && c[3] == 0 && c[4] == 0) ? 0x3a : 0x1a;
    record->group = 0;
    if (c[1] != 0) {
        const int32_t e = FindRigidGroup(context, object);
        if (e == 0) return false;
        if (c[1] == 1 || first == nullptr || first->dragRecord == nullptr ||
            e != first->dragRecord->group) {
            if (first) {
                DragAnalysis* theirs = RecordOf(context, first);
                if (theirs == nullptr) return false;
                theirs->group = static_cast<int16_t>(e);
                theirs->driver = object;
            }
            if (!MarkDragParents(context, object, Codes({ 1 }), kStateGroupMove, e, false)) return false;
        }
    } else {
        record->flags |= kDragIndependent;
    }
    return true;
}

bool HandleGroupMove(DragContext* context, SketchObject* object) {
    const int32_t* c = context->census;
    DragAnalysis* record = object->dragRecord;
    if (!context->foreign && c[0] == 0 && c[1] == 0 && c[2] <= 1 && c[3] <= 1 && c[4] <= 1) {
        record->flags |= kDragMoves;
        if (DragCodeAt(object, context->mode, 0) != kDragCodeIsValue) {
            record->flags |= kDragIndependent;
            return true;
        }
        return MarkDragParents(context, object, Codes({ 5 }), kStateGroupMove, record->group, false);
    }
    if (c[3] >= 2 || (c[2] >= 2 && c[1] != 0) || context->foreign) {
        return HandleFreeParents(context, object);
    }
    const int32_t group = record->group;
    record->flags = group == 0 ? 0x12 : 0x2;
    if (!MarkDragParents(context, object, Codes({ 1 }), kStateGroupMove, group, false)) return false;
    if (c[1] == 1) {
        const int32_t e = FindRigidGroup(context, object);
        if (e == 0) return false;
        if (!MarkDragParents(context, object, Codes({ 2 }), kStateGroupMove, e, false)) return false;
        object->dragRecord->done |= kDoneGrouped;
    }
    record = object->dragRecord;
    const bool valuesStill = c[4] == 0 || c[4] == 3;
    if (c[2] >= 2) {
        if (!MarkDragParents(context, object, Codes({ 2, 3 }), kStateGroupMove, group, false)) return false;
        if (group == 0 && valuesStill) record->flags |= kDragParentsStill;
    } else if (c[3] >= 2) {
        if (!MarkDragParents(context, object, Codes({ 3 }), kStateGroupMove, group, false)) return false;
        if (group == 0 && valuesStill && c[2] == 0) record->flags |= kDragParentsStill;
    } else if (c[2] == 0 && c[3] == 0 && valuesStill && group == 0) {
        record->flags |= kDragParentsStill;
    }
    if (c[4] >= 2) {
        if (!MarkDragParents(context, object, Codes({ 4 }), kStateGroupMove, group, false)) return false;
    }
    return true;
}

bool HandleParentMoved(DragContext* context, SketchObject* object) {
    const int32_t* c = context->census;
    DragAnalysis* record = object->dragRecord;
    if (record->flags & kDragMoves) {
        bool loose = c[2] >= 2 || c[3] >= 2 || c[4] >= 2;
        if (!loose && c[0] != 0) {
            int32_t count = 0;
            SketchObject* const* parents = ParentItems(object, &count);
            for (int32_t i = 0; i < count && !loose; ++i) {
                if (DragCodeAt(object, context->mode, i) != kDragCodeDefining) continue;
                const DragAnalysis* theirs = parents[i]->dragRecord;
                if (theirs && (theirs->group != record->group || !(theirs->flags & kDragMoves))) {
                    loose = true;
                }
            }
        }
        if (!loose && c[1] != 0) {
            const int32_t e = FindRigidGroup(context, object);
            if (e == 0) return false;
            SketchObject* first = FirstParent(object);
            loose = first == nullptr || first->dragRecord == nullptr || first->dragRecord->group != e;
        }
        if (loose && !HandleFreeParents(context, object)) return false;
    } else if ((record->flags & kDragMustMove) && !(record->flags & kDragParentsStill)) {
        if (!MarkFreeDragParents(context, object)) return false;
    }
    record = object->dragRecord;
    if ((record->flags & kDragValueObject) && !(record->flags & kDragProcessed)) {
        record->done &= ~kDoneChildren;
    }
    record->flags |= kDragProcessed;
    return true;
}

bool PropagateDragToChildren(DragContext* context, SketchObject* object) {
    int32_t count = 0;
    void* const* children = PtrListItems(object->children, &count);
    // Each child's record is read for its parents and its drag record: asked for all at
    // once, the children's first touches overlap instead of following one another.
    for (int32_t i = 0; i < count; ++i) {
        const auto* child = static_cast<const SketchObject*>(children[i]);
        __builtin_prefetch(&child->parents);
        __builtin_prefetch(&child->dragRecord);
    }
    for (int32_t i = count - 1; i >= 0; --i) {
        int32_t n = 0;
        auto* child = static_cast<SketchObject*>(PtrListItems(object->children, &n)[i]);
        const uint8_t code = ChildDragCode(object, child, context->mode);
        if (code == kDragCodeNone) continue;
        const int32_t group = code == kDragCodeDefining ? object->dragRecord->group : -1;
        if (!MarkForDrag(context, child, object, kStateParentMoved, group)) return false;
    }
    object->dragRecord->done |= kDoneChildren;
    return true;
}

bool ProcessDragObject(DragContext* context, SketchObject* object, int32_t s) {
    DragAnalysis* record = object->dragRecord;
    if (record->next == kDragNotListed) {
        AppendToResult(context, record);
        if (s != kStateDraggedValue) record->flags |= kDragProcessed;
    }
    // The census is taken only where it is read: a child that a moved parent only
    // recomputes (most of a large moving set) needs no look at its parents.
    const bool censusRead = s == kStateMustMove || s == kStateGroupMove || s == kStateFreeParents ||
                            (s == kStateParentMoved && (record->flags & (kDragMoves | kDragMustMove)));
    if (censusRead) TakeCensus(context, object);
    bool ok = true;
    switch (s) {
    case kStateMustMove:    ok = HandleMustMove(context, object); break;
    case kStateGroupMove:   ok = HandleGroupMove(context, object); break;
    case kStateParentMoved: ok = HandleParentMoved(context, object); break;
    case kStateFreeParents: ok = HandleFreeParents(context, object); break;
    default: break;
    }
    if (!ok) return false;
    record = object->dragRecord;
    const bool freeCalculation =
        object->constructionType == kTypeFree && object->objectClass == kClassCalculation;
    if (record->flags != kDragValueObject && !(record->done & kDoneChildren) && !freeCalculation) {
        return PropagateDragToChildren(context, object);
    }
    return true;
}

// Each record's state only rises, so a sound order settles after a few visits per
// object; a parent cycle can make two objects free each other for ever. The bound stops
// that and leaves the rest queued (it joins the result list like any queued object).
bool ProcessDragQueue(DragContext* context) {
    int64_t visits = 0;
    while (visits++ <= 32 * static_cast<int64_t>(context->recordCount) + 64) {
        DragAnalysis* record = TakeFromQueue(context);
        if (record == nullptr) break;
        const int32_t s = record->state;
        record->state = kStateReached;
        if (!ProcessDragObject(context, record->object, s)) return false;
    }
    return true;
}

bool WaitsForParent(const SketchObject* object) {
    int32_t count = 0;
    SketchObject* const* parents = ParentItems(object, &count);
    for (int32_t i = 0; i < count; ++i) {
        const DragAnalysis* theirs = parents[i]->dragRecord;
        if (theirs && theirs->flags != kDragValueObject && !(theirs->done & kDoneWritten)) return true;
    }
    return false;
}

// Takes a written record out of the result list.
void RemoveFromResult(DragContext* context, DragAnalysis* record) {
    if (record->previous) record->previous->next = record->next;
    else context->resultHead = record->next;
    if (record->next) record->next->previous = record->previous;
    else context->resultTail = record->previous;
    record->next = record->previous = kDragNotListed;
}

// The result list in update order. Sketch order is dependency order, and it is also the
// order the objects were made in, so every frame then walks the records forwards in
// memory. What sketch order cannot serve (an object that is not linked, or whose moving
// parent comes after it) waits for a ring walk over what is left. An order that can
// never be satisfied (a parent cycle) must not hang the editor: once a whole turn of the
// ring writes nothing, what is left is written as it stands.
ObjectFlagsEntry* BuildDragMoveList(DragContext* context, int32_t* planCount) {
    auto* list = static_cast<ObjectFlagsEntry*>(
        AllocMemory(sizeof(ObjectFlagsEntry) * (context->recordCount + 1), kAllocZero));
    if (list == nullptr) return nullptr;
    int32_t written = 0;
    auto write = [&](DragAnalysis* record) {
        record->done |= kDoneWritten;
        list[written].object = record->object;
        list[written].flags = record->flags;
        ++written;
        // An object that will not be in the plan lets go of its record now, while its
        // fields are at hand: the records are then freed without another walk over
        // every object. A child finds no record, which reads as a parent written.
        if (!(record->flags & (kDragMoves | kDragIndependent | kDragNoDriver | kDragValueObject))) {
            record->object->dragRecord = nullptr;
            record->done |= kDoneReleased;
        }
    };
    if (const Sketch* sketch = CurrentSketch()) {
        for (SketchObject* o = sketch->firstObject; o && o != kNotLinked; o = o->nextInSketch) {
            DragAnalysis* record = o->dragRecord;
            if (record == nullptr || record->next == kDragNotListed || WaitsForParent(o)) continue;
            RemoveFromResult(context, record);
            write(record);
        }
    }
    DragAnalysis* head = context->resultHead;
    if (head) {
        head->previous = context->resultTail;
        context->resultTail->next = head;
    }
    int32_t sinceLastWrite = 0;
    int32_t ringSize = 0;
    for (DragAnalysis* r = head; r; r = r->next == head ? nullptr : r->next) ++ringSize;
    DragAnalysis* at = head;
    while (ringSize > 0) {
        DragAnalysis* following = at->next;
        if (sinceLastWrite >= ringSize || !WaitsForParent(at->object)) {
            write(at);
            sinceLastWrite = 0;
            if (--ringSize == 0) break;
            at->previous->next = following;
            following->previous = at->previous;
        } else {
            ++sinceLastWrite;
        }
        at = following;
    }
    // The ring is gone; the records leave the result list for good.
    context->resultHead = context->resultTail = nullptr;
    int32_t count = 0;
    for (int32_t i = 0; i < written; ++i) {
        if (list[i].flags & (kDragMoves | kDragIndependent | kDragNoDriver | kDragValueObject)) ++count;
    }
    *planCount = count;
    return list;
}

bool ObjectHasParent(const SketchObject* object, const SketchObject* parent) {
    int32_t count = 0;
    SketchObject* const* parents = ParentItems(object, &count);
    for (int32_t i = 0; i < count; ++i) {
        if (parents[i] == parent) return true;
    }
    return false;
}

DragPlanEntry* BuildDragPlan(ObjectFlagsEntry* list, int32_t count) {
    auto* plan = static_cast<DragPlanEntry*>(AllocMemory(sizeof(DragPlanEntry) * (count + 1), kAllocZero));
    if (plan == nullptr) return nullptr;
    constexpr uint16_t kPlanned = kDragMoves | kDragIndependent | kDragNoDriver;
    int32_t last = -1;
    int32_t seen = 0;
    for (int32_t i = 0; list[i].object; ++i) {
        if (list[i].flags & kDragValueObject) list[i].flags = kDragPlannedValue;
        if ((list[i].flags & kPlanned) && ++seen <= count) last = i;
    }
    int32_t made = 0;
    for (int32_t i = last; i >= 0; --i) {
        if (!(list[i].flags & kPlanned)) continue;
        DragPlanEntry& entry = plan[made];
        SketchObject* object = list[i].object;
        entry.object = object;
        entry.flags = list[i].flags;
        entry.driverIndex = -1;
        if (!(entry.flags & kDragNoDriver)) {
            for (int32_t j = made - 1; j >= 0; --j) {
                if (!ObjectHasParent(plan[j].object, object)) continue;
                entry.driverIndex = static_cast<int16_t>(j);
                ++plan[j].referenceCount;
                // Dragging an image moves its pre-image through the image's inverse.
                SketchObject* image = plan[j].object;
                if (ConstructionTypeTable[image->constructionType].transformOp != kNoTransformOp &&
                    PtrListItem(image->parents, 0) == object) {
                    entry.behind = image;
                }
                entry.groupDiffers = object->dragRecord->group != plan[j].object->dragRecord->group;
                break;
            }
        }
        ++made;
    }
    // Entries that nothing hangs on and that do not move by themselves go; their drivers
    // lose a reference, which may let them go too. Drivers always come first.
    bool* removed = static_cast<bool*>(AllocMemory(made + 1, kAllocZero));
    if (removed == nullptr) {
        FreeMemory(plan);
        return nullptr;
    }
    for (int32_t i = made - 1; i >= 0; --i) {
        if (plan[i].referenceCount != 0 || (plan[i].flags & kDragIndependent)) continue;
        removed[i] = true;
        if (plan[i].driverIndex >= 0) --plan[plan[i].driverIndex].referenceCount;
    }
    int32_t kept = 0;
    for (int32_t i = 0; i < made; ++i) {
        if (removed[i]) continue;
        DragPlanEntry entry = plan[i];
        if (entry.driverIndex >= 0) {
            int32_t below = 0;
            for (int32_t j = 0; j < entry.driverIndex; ++j) below += removed[j] ? 1 : 0;
            entry.driverIndex = static_cast<int16_t>(entry.driverIndex - below);
        }
        plan[kept++] = entry;
    }
    std::memset(&plan[kept], 0, sizeof(DragPlanEntry) * (made - kept + 1));
    FreeMemory(removed);
    return plan;
}

}  // namespace

uint8_t DragCodeAt(const SketchObject* object, int32_t mode, int32_t position) {
    const int32_t type = object->constructionType;
    if (type < 0 || type >= kConstructionTypeCount || mode < 0 || mode >= kDragModeCount) {
        return kDragCodeNone;
    }
    if (position > kDragPositionCount - 1) position = kDragPositionCount - 1;
    return ConstructionTypeTable[type].dragCodes[mode][position];
}

uint8_t ChildDragCode(const SketchObject* parent, const SketchObject* child, int32_t mode) {
    int32_t count = 0;
    SketchObject* const* parents = ParentItems(child, &count);
    for (int32_t i = 0; i < count; ++i) {
        if (parents[i] != parent) continue;
        uint8_t code = DragCodeAt(child, mode, i);
        if (child->constructionType == kTypeLocus && i == 1 && count > 2 &&
            parents[2]->constructionType != kTypePointOnPath &&
            FirstParent(parents[2]) != parent) {
            code = kDragCodeDefining;
        }
        if (code != kDragCodeNone) return code;
    }
    return kDragCodeNone;
}

int32_t AnalyzeDragSet(const DragRequest* request) {
    *request->plan = nullptr;
    *request->moveList = nullptr;
    DragContext context = {};
    context.mode = request->mode;
    context.groupCount = 1;
    bool ok = true;
    context.blocks = CreateChunkedArray(sizeof(void*), 16, 8, kAllocZero);
    context.groups = CreateChunkedArray(sizeof(void*), 50, 50, kAllocZero);
    ok = context.blocks && context.groups;
    for (SketchObject* o = request->firstDragged; ok && o; o = o->tempLink) {
        ok = MarkForDrag(&context, o, nullptr, kStateDraggedValue, 0);
    }
    ok = ok && ProcessDragQueue(&context);
    while (DragAnalysis* record = TakeFromQueue(&context)) {
        if (record->next == kDragNotListed) AppendToResult(&context, record);
    }
    if (ok) {
        int32_t count = 0;
        ObjectFlagsEntry* list = BuildDragMoveList(&context, &count);
        DragPlanEntry* plan = list ? BuildDragPlan(list, count) : nullptr;
        if (plan == nullptr) {
            FreeMemory(list);
            ok = false;
        } else {
            *request->plan = plan;
            *request->moveList = list;
        }
    }
    FreeRecords(&context);
    return ok ? 1 : 0;
}

bool CollectAffectedObjects(SketchObject* first, ObjectFlagsEntry** out) {
    *out = nullptr;
    // The marks live in dragRecord meanwhile, so no analysis may run at the same time.
    auto markOf = [](const SketchObject* o) {
        return static_cast<uint16_t>(reinterpret_cast<uintptr_t>(o->dragRecord));
    };
    auto setMark = [](SketchObject* o, uint16_t mark) {
        o->dragRecord = reinterpret_cast<DragAnalysis*>(static_cast<uintptr_t>(mark));
    };
    for (SketchObject* o = first; o; o = o->tempLink) setMark(o, 0xc);
    // Depth first through the children, with an explicit stack: chains can be long.
    int32_t capacity = 64;
    int32_t depth = 0;
    auto** stack = static_cast<SketchObject**>(AllocMemory(sizeof(SketchObject*) * capacity, 0));
    bool ok = stack != nullptr;
    for (SketchObject* o = first; ok && o; o = o->tempLink) {
        stack[depth++] = o;
        while (ok && depth > 0) {
            SketchObject* at = stack[--depth];
            int32_t count = 0;
            void** children = PtrListItems(at->children, &count);
            for (int32_t i = 0; i < count; ++i) {
                auto* child = static_cast<SketchObject*>(children[i]);
                if (markOf(child) & 0x1) continue;
                if (ChildDragCode(at, child, kDragTranslate) == kDragCodeNone) continue;
                setMark(child, markOf(child) | 0x1);
                if (depth == capacity) {
                    if (!ReallocMemoryOf(&stack, sizeof(SketchObject*) * capacity * 2, false)) {
                        ok = false;
                        break;
                    }
                    capacity *= 2;
                }
                stack[depth++] = child;
            }
        }
        depth = 0;
    }
    FreeMemory(stack);
    int32_t marked = 0;
    Sketch* sketch = CurrentSketch();
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) marked += markOf(o) ? 1 : 0;
    ObjectFlagsEntry* list = ok
        ? static_cast<ObjectFlagsEntry*>(AllocMemory(sizeof(ObjectFlagsEntry) * (marked + 1), kAllocZero))
        : nullptr;
    int32_t n = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        const uint16_t mark = markOf(o);
        if (mark == 0) continue;
        if (list) list[n++] = { o, mark };
        o->dragRecord = nullptr;
    }
    // Listed objects outside the sketch order still carry a mark.
    for (SketchObject* o = first; o; o = o->tempLink) o->dragRecord = nullptr;
    *out = list;
    return list != nullptr;
}
