#include "engine/interact/merge_split.h"

#include <cmath>
#include <cstring>

#include "engine/core/alerts.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_stack.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/point_objects.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/motions.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/services/user_interface.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"

namespace {

constexpr uint32_t kPtr = sizeof(void*);
constexpr int32_t kMarksHidden = 1;

// Menu texts (string group 1) and undo names (string group 8).
constexpr uint16_t kTextSplitFrom = 54;
constexpr uint16_t kTextSplitPoint = 55;
constexpr uint16_t kTextMergeTo = 56;
constexpr uint16_t kTextMergePoints = 57;
constexpr uint16_t kUndoNameMergePoints = 3;
constexpr uint16_t kUndoNameSplitPoint = 6;
constexpr uint16_t kUndoNameSplitFrom = 7;
constexpr ResultCode kAlertCannotSplit = 110;

constexpr double kSplitRadius = 15.0;
constexpr double kSplitFirstAngle = 0.26179938779915;  // 15 degrees
constexpr double kSplitFromOffset = 10.0;
constexpr double kTwoPi = 6.283185307179586;
constexpr int32_t kAnimateSteps = 25;
constexpr uint32_t kAnimateStepMs = 20;

SketchObject* Item(PtrList list, int32_t i) { return static_cast<SketchObject*>(PtrListItem(list, i)); }
int32_t Count(PtrList list) {
    int32_t n = 0;
    PtrListSize(list, &n);
    return n;
}
bool HasTypeFlag(const SketchObject* o, uint32_t flag) { return (ConstructionTypeTable[o->constructionType].flags & flag) != 0; }
bool IsFreePoint(const SketchObject* o) { return o->objectClass == kClassPoint && o->constructionType == kTypeFree; }

template <typename T>
T Get(const uint8_t* at) {
    T v;
    std::memcpy(&v, at, sizeof v);
    return v;
}
template <typename T>
void Put(uint8_t* at, T v) {
    std::memcpy(at, &v, sizeof v);
}

// ---- dependency tests

bool DependsOnStamped(SketchObject* o, const SketchObject* point, uint32_t stamp) {
    if (o == point) return true;
    if (o->traversalStamp == stamp) return false;
    o->traversalStamp = stamp;
    for (int32_t i = 0; i < Count(o->parents); ++i)
        if (DependsOnStamped(Item(o->parents, i), point, stamp)) return true;
    return false;
}
bool DependsOn(SketchObject* o, const SketchObject* point) {
    return DependsOnStamped(o, point, ++CurrentSketch()->traversalGeneration);
}

// ---- rebinding primitives, shared by the commands and their undo entries

// The object's parents list becomes `list`; the old one is answered. Children lists
// follow, one entry per occurrence.
PtrList SwapParents(SketchObject* o, PtrList list) {
    UnlinkFromParents(o);
    const PtrList old = o->parents;
    o->parents = list;
    for (int32_t i = 0; i < Count(list); ++i) PtrListAppend(&Item(list, i)->children, o);
    ++CurrentSketch()->structureChangeCount;
    return old;
}

// Whether the children lists can take the new list's entries (appending needs room).
bool ReserveChildren(PtrList list, const SketchObject* o) {
    for (int32_t i = 0; i < Count(list); ++i) {
        SketchObject* p = Item(list, i);
        if (!PtrListAppend(&p->children, const_cast<SketchObject*>(o))) return false;
        PtrListRemove(p->children, o, false);
    }
    return true;
}

// Every object moved behind its parents again, with what hangs on it.
void RestoreOrderOf(SketchObject* o) {
    if (IsLinkedIntoSketch(o)) RestoreDependencyOrder(o, true, false);
}

void Reverse(SketchObject* o) {
    if (o->constructionType == 11 || o->constructionType == 12) {
        o->constructionType = o->constructionType == 11 ? 12 : 11;
    } else if (o->constructionType == kTypePointOnPath && Count(o->parents) > 0) {
        const int32_t pathClass = PathClassOf(Item(o->parents, 0));
        PathParameterBlock block{};
        // Straight paths keep the parameter itself; t runs the other way.
        if (pathClass >= 0 && pathClass <= 2 && ReadPathParameter(o, &block)) {
            SetPathBlockReal(&block, 0, 1.0 - PathBlockReal(block, 0));
            WritePathParameter(o, block, PathMethodsOf(Item(o->parents, 0))->parameterWords);
        }
    }
    AddObjectToDirtyRect(o);
}

void RecomputeFrom(SketchObject* o) {
    if (!IsLinkedIntoSketch(o)) return;
    o->tempLink = nullptr;
    SketchObject* head = o;
    CollectDependents(&head, false);
    RecomputeObjects(head, true, nullptr);
}

// ---- split groups

void Restamp(SketchObject* point, uint32_t from, uint32_t to) {
    for (int32_t i = 0; i < Count(point->children); ++i) {
        SketchObject* c = Item(point->children, i);
        if (c->traversalStamp == from) c->traversalStamp = to;
        for (int32_t j = 0; j < Count(c->parents); ++j)
            if (Item(c->parents, j)->traversalStamp == from) Item(c->parents, j)->traversalStamp = to;
    }
}

// Stamps a parent of a tying child with the group, joining groups that meet.
void StampInto(SketchObject* point, SketchObject* o, uint32_t group, uint32_t base, int32_t* count) {
    if (o == point) return;
    if (o->traversalStamp > base && o->traversalStamp != group) {
        Restamp(point, o->traversalStamp, group);
        --*count;
    }
    o->traversalStamp = group;
}

// ---- menu state

int32_t SelectionCount(SketchObject** first, SketchObject** second) {
    int32_t n = 0;
    for (SketchObject* o = CurrentSketch()->selectionHead; o; o = o->nextSelected) {
        if (n == 0) *first = o;
        if (n == 1) *second = o;
        ++n;
    }
    return n;
}

bool TiedIntoOwnChildren(SketchObject* point) {
    for (int32_t i = 0; i < Count(point->parents); ++i) {
        SketchObject* parent = Item(point->parents, i);
        if (!IsFreePoint(parent)) continue;
        uint32_t base = 0;
        CountSplitGroups(parent, &base);
        // The parent is tied to one of this point's children when the point and that
        // child landed in one group of the parent's children.
        const uint32_t group = point->traversalStamp;
        for (int32_t j = 0; j < Count(point->children); ++j)
            if (group > base && Item(point->children, j)->traversalStamp == group) return true;
    }
    return false;
}

// ---- merge work

// What a merge did, in the order it did it, so that a failure can take it back.
struct MergeOp {
    int32_t       type;    // 3 removal, 24 new parents, 27 reversal
    SketchObject* object;
    SketchObject* into;    // 3: the target or null
    PtrList       list;    // 24: the list the object had before
    int32_t       hidden;  // 3: the target's hidden state before
};

struct MergeWork {
    SketchObject** pairs = nullptr;  // {from, to} pairs, to null = deleted
    int32_t pairCount = 0, pairRoom = 0;
    MergeOp* ops = nullptr;
    int32_t opCount = 0, opRoom = 0;
    bool failed = false;

    bool AddPair(SketchObject* from, SketchObject* to) {
        for (int32_t i = 0; i < pairCount; ++i)
            if (pairs[2 * i] == from) return true;  // each object merges once
        if (pairCount == pairRoom) {
            const int32_t room = pairRoom ? 2 * pairRoom : 8;
            if (!ReallocMemoryOf(&pairs, size_t(room) * 2 * sizeof(SketchObject*), false)) return failed = true, false;
            pairRoom = room;
        }
        pairs[2 * pairCount] = from;
        pairs[2 * pairCount + 1] = to;
        ++pairCount;
        return true;
    }
    bool AddOp(const MergeOp& op) {
        if (opCount == opRoom) {
            const int32_t room = opRoom ? 2 * opRoom : 8;
            if (!ReallocMemoryOf(&ops, size_t(room) * sizeof(MergeOp), false)) return failed = true, false;
            opRoom = room;
        }
        ops[opCount++] = op;
        return true;
    }
    ~MergeWork() {
        FreeMemory(pairs);
        FreeMemory(ops);
    }
};

// A copy of `from`'s parents list with `from` replaced by `to`; 0 without memory.
PtrList ReplacedParents(const SketchObject* c, const SketchObject* from, SketchObject* to) {
    const int32_t n = Count(c->parents);
    PtrList list = 0;
    if (!AllocPtrList(n, n, &list)) return 0;
    for (int32_t i = 0; i < n; ++i) {
        SketchObject* p = Item(c->parents, i);
        PtrListData(list)[i] = p == from ? to : p;
    }
    return list;
}

// Records the oriented dependants of an object matched in reverse, and reverses them.
bool ReverseDependants(MergeWork* w, SketchObject* c) {
    for (int32_t i = 0; i < Count(c->children); ++i) {
        SketchObject* d = Item(c->children, i);
        const int32_t t = d->constructionType;
        if (t != 11 && t != 12 && t != kTypePointOnPath) continue;
        bool listed = false;
        for (int32_t k = 0; k < w->opCount; ++k) listed |= w->ops[k].type == 27 && w->ops[k].object == d;
        if (listed) continue;
        if (!w->AddOp({ 27, d, nullptr, 0, 0 })) return false;
        Reverse(d);
    }
    return true;
}

// One pair: each child of `from` is merged into an equal object, deleted, or rebound.
bool WorkPair(MergeWork* w, SketchObject* from, SketchObject* to) {
    const int32_t n = Count(from->children);
    if (n == 0) return true;
    auto** children = static_cast<SketchObject**>(AllocMemory(size_t(n) * sizeof(SketchObject*), 0));
    if (!children) return false;
    for (int32_t i = 0; i < n; ++i) children[i] = Item(from->children, i);
    bool ok = true;
    const uint32_t seen = ++CurrentSketch()->traversalGeneration;
    for (int32_t i = n - 1; i >= 0 && ok; --i) {
        SketchObject* c = children[i];
        if (c->traversalStamp == seen) continue;  // listed once per occurrence
        c->traversalStamp = seen;
        if (!to) {
            ok = w->AddPair(c, nullptr);
            continue;
        }
        PtrList list = ReplacedParents(c, from, to);
        if (!list) {
            ok = false;
            break;
        }
        bool reversed = false;
        SketchObject* equal = FindEquivalentObject(ConstructionTypeTable[c->constructionType].duplicateRule, list,
                                                   c->constructionData, c->constructionType, &reversed, c);
        int32_t count = Count(list);
        SketchObject* const* items = reinterpret_cast<SketchObject* const*>(PtrListData(list));
        if (equal && equal != c) {
            FreePtrList(&list);
            ok = w->AddPair(c, equal) && (!reversed || ReverseDependants(w, c));
        } else if (!CheckParentsDistinct(c->constructionType, items, count)) {
            FreePtrList(&list);
            if (c->constructionType == kTypeSegment || c->constructionType == kTypeCircleByPoint) {
                for (int32_t k = 0; k < Count(c->children) && ok; ++k) {
                    SketchObject* on = Item(c->children, k);
                    if (on->constructionType == kTypePointOnPath) ok = w->AddPair(on, to);
                }
            }
            ok = ok && w->AddPair(c, nullptr);
        } else if (!ReserveChildren(list, c) || !w->AddOp({ 24, c, nullptr, 0, 0 })) {
            FreePtrList(&list);
            ok = false;
        } else {
            w->ops[w->opCount - 1].list = SwapParents(c, list);
        }
    }
    FreeMemory(children);
    return ok;
}

// Takes back every op, newest first. The sketch order is left alone while the work
// runs, so it is as it was.
void TakeBack(MergeWork* w) {
    for (int32_t i = w->opCount - 1; i >= 0; --i) {
        MergeOp& op = w->ops[i];
        if (op.type == 24) {
            PtrList mine = SwapParents(op.object, op.list);
            FreePtrList(&mine);
        } else if (op.type == 27) {
            Reverse(op.object);
        }
    }
    w->opCount = 0;
}

// The removals at the end of the work: deepest first, so that nothing removed still has
// a child in the sketch. Targets take the lower hidden state.
void RemoveMerged(MergeWork* w) {
    for (int32_t i = w->pairCount - 1; i >= 0; --i) {
        SketchObject* from = w->pairs[2 * i];
        if (!IsLinkedIntoSketch(from)) continue;
        if (SketchObject* to = w->pairs[2 * i + 1]) {
            if (from->hidden < to->hidden) ChangeObjectHidden(to, from->hidden, false);
        }
        UndoRemoveObject(from, kMarksHidden);
    }
}

constexpr uint32_t kRemovalBytes = 2 * kPtr + 4;

// Builds the record (the caller's leading entry 4, then 24 new parents, 3 removals, 27
// reversals), makes the removals and commits it; false without memory, with nothing
// removed.
bool CommitMerge(MergeWork* w, const UndoDescriptor& name, const uint8_t* lead, uint32_t leadLength) {
    int32_t rebinds = 0, reversals = 0;
    for (int32_t i = 0; i < w->opCount; ++i) {
        rebinds += w->ops[i].type == 24;
        reversals += w->ops[i].type == 27;
    }
    const int32_t removals = w->pairCount;
    const int32_t entries = (lead ? 1 : 0) + (rebinds ? 1 : 0) + (removals ? 1 : 0) + (reversals ? 1 : 0);
    const uint32_t bytes = leadLength + uint32_t(rebinds) * (kPtr + 4) + uint32_t(removals) * kRemovalBytes +
                           (reversals ? UndoObjectListBytes(reversals) : 0);
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(&name, entries, bytes, &cursor);
    if (!record) return false;
    if (lead) {
        UndoPutEntryHead(&cursor, kUndoEntryMergeTo, leadLength);
        std::memcpy(cursor, lead, leadLength);
        cursor += leadLength;
    }
    if (rebinds) {
        UndoPutEntryHead(&cursor, kUndoEntryRebindTail, uint32_t(rebinds) * (kPtr + 4));
        for (int32_t i = 0; i < w->opCount; ++i) {
            if (w->ops[i].type != 24) continue;
            Put(cursor, w->ops[i].object);
            Put(cursor + kPtr, w->ops[i].list);
            cursor += kPtr + 4;
        }
    }
    if (removals) {
        UndoPutEntryHead(&cursor, kUndoEntryMergePoints, uint32_t(removals) * kRemovalBytes);
        for (int32_t i = 0; i < w->pairCount; ++i) {
            Put(cursor, w->pairs[2 * i]);
            Put(cursor + kPtr, w->pairs[2 * i + 1]);
            Put(cursor + 2 * kPtr, int32_t(w->pairs[2 * i + 1] ? w->pairs[2 * i + 1]->hidden : 0));
            cursor += kRemovalBytes;
        }
    }
    if (reversals) {
        SketchObject* chain = nullptr;
        for (int32_t i = w->opCount - 1; i >= 0; --i) {
            if (w->ops[i].type != 27) continue;
            w->ops[i].object->tempLink = chain;
            chain = w->ops[i].object;
        }
        UndoPutObjectList(&cursor, reversals, chain, kUndoEntryReversal);
    }
    RemoveMerged(w);
    UndoRecordCommit(record, false);
    return true;
}

bool IsMergedAway(const MergeWork* w, const SketchObject* o) {
    for (int32_t i = 0; i < w->pairCount; ++i)
        if (w->pairs[2 * i] == o) return true;
    return false;
}

// Whether `ancestor` is among the parents of `object`, walked all the way up; *ok turns
// false when memory runs out.
bool DependsOn(SketchObject* object, const SketchObject* ancestor, bool* ok) {
    const uint32_t stamp = ++CurrentSketch()->traversalGeneration;
    ObjectStack stack;
    if (!stack.Push(object)) return !(*ok = false);
    while (!stack.Empty()) {
        SketchObject* o = stack.Pop();
        for (int32_t i = 0; i < Count(o->parents); ++i) {
            SketchObject* p = Item(o->parents, i);
            if (p == ancestor) return true;
            if (p->traversalStamp == stamp) continue;
            p->traversalStamp = stamp;
            if (!stack.Push(p)) return !(*ok = false);
        }
    }
    return false;
}

// Loci whose path has come to depend on their own driver would drive themselves: each is
// paired with null (deleted, with what depends on it). False without memory.
bool PairSelfDrivenLoci(MergeWork* w) {
    bool ok = true;
    for (SketchObject* o = CurrentSketch()->firstObject; o && ok; o = o->nextInSketch) {
        if (o->constructionType != kTypeLocus || Count(o->parents) < 3 || IsMergedAway(w, o)) continue;
        if (DependsOn(Item(o->parents, 1), Item(o->parents, 2), &ok) && ok) ok = w->AddPair(o, nullptr);
    }
    return ok;
}

// Works the pair list from its start, then the pairs of loci that the work made
// self-driven; false without memory.
bool WorkPairs(MergeWork* w) {
    int32_t i = 0;
    for (bool lociChecked = false;; lociChecked = true) {
        for (; i < w->pairCount; ++i)
            if (!WorkPair(w, w->pairs[2 * i], w->pairs[2 * i + 1])) return false;
        if (lociChecked) break;
        if (!PairSelfDrivenLoci(w)) return false;
    }
    return !w->failed;
}

void SelectOnly(SketchObject* a, SketchObject* b) {
    DeselectAll();
    if (a && IsLinkedIntoSketch(a)) SelectSketchObject(a);
    if (b && IsLinkedIntoSketch(b) && !IsSelected(b)) SelectSketchObject(b);
}

void SelectIfShownAndLinked(SketchObject* o) {
    if (IsLinkedIntoSketch(o) && o->hidden == kShown && o->exists == 1 && !IsSelected(o)) SelectSketchObject(o);
}

void SetPosition(SketchObject* point, RealPoint p) { SetPointPosition(point, p.x, p.y, point->exists, nullptr, true); }

// ---- attaching a point to a path (entry 4: point, path, old x, old y)

constexpr uint32_t kAttachBytes = 2 * kPtr + 16;

bool AttachToPath(SketchObject* point, SketchObject* path) {
    const PathMethods* methods = PathMethodsOf(path);
    if (!methods) return false;
    const int32_t word = int32_t(kPtr);
    const int32_t words = (methods->parameterWords * 4 + word - 1) / word;
    PtrList data = 0, parents = 0;
    if (!AllocPtrList(words, words, &data)) return false;
    std::memset(PtrListData(data), 0, size_t(words) * kPtr);
    if (!AllocPtrList(1, 1, &parents) || (PtrListData(parents)[0] = path, !ReserveChildren(parents, point))) {
        FreePtrList(&data);
        FreePtrList(&parents);
        return false;
    }
    point->constructionData = data;
    PtrList none = SwapParents(point, parents);
    FreePtrList(&none);
    point->constructionType = kTypePointOnPath;
    point->objectKind = kKindPointOnPath;
    PathParameterBlock block{};
    double t = 0;
    RealPoint nearest{};
    methods->parameterOfPoint(path, PointPosition(point), &nearest, &t, &block);
    WritePathParameter(point, block, methods->parameterWords);
    RecomputeObject(point, nullptr, true);
    RestoreOrderOf(point);
    RelinkObjectInLayer(point);
    return true;
}

void DetachFromPath(SketchObject* point, RealPoint old) {
    PtrList parents = SwapParents(point, 0);
    FreePtrList(&parents);
    FreePtrList(&point->constructionData);
    point->constructionType = kTypeFree;
    point->objectKind = kKindPoint;
    SetPosition(point, old);
    RelinkObjectInLayer(point);
}

}  // namespace

int32_t CountSplitGroups(SketchObject* point, uint32_t* baseOut) {
    Sketch* sketch = CurrentSketch();
    const uint32_t base = ++sketch->traversalGeneration;
    *baseOut = base;
    int32_t count = 0;
    for (int32_t i = 0; i < Count(point->children); ++i) {
        SketchObject* c = Item(point->children, i);
        if (!HasTypeFlag(c, kTypeTiesOnSplit)) continue;
        if (c->traversalStamp <= base) {
            c->traversalStamp = ++sketch->traversalGeneration;
            ++count;
        }
        const uint32_t group = c->traversalStamp;
        for (int32_t j = 0; j < Count(c->parents); ++j) StampInto(point, Item(c->parents, j), group, base, &count);
        // The pieces of a coordinate system stay together: an axis or unit point takes
        // the system's axes with their origin and unit points into its group.
        const SketchObject* system = c->objectKind == kKindAxis || c->objectKind == kKindUnitPoint
                                         ? OwningCoordSystem(c) : nullptr;
        for (int32_t a = 0; system && a < Count(system->parents); ++a) {
            SketchObject* axis = Item(system->parents, a);
            StampInto(point, axis, group, base, &count);
            for (int32_t j = 0; j < Count(axis->parents); ++j) {
                SketchObject* member = Item(axis->parents, j);
                if (member->objectClass == kClassPoint) StampInto(point, member, group, base, &count);
            }
        }
    }
    for (int32_t i = 0; i < Count(point->children); ++i) {
        SketchObject* c = Item(point->children, i);
        if (c->traversalStamp <= base) {
            c->traversalStamp = ++sketch->traversalGeneration;
            ++count;
        }
    }
    return count;
}

bool MergeSplitState(uint16_t* text, uint16_t* variant, uint16_t* executor, int32_t* argument) {
    SketchObject* first = nullptr;
    SketchObject* second = nullptr;
    const int32_t n = SelectionCount(&first, &second);
    const auto answer = [&](uint16_t t, uint16_t v, uint16_t e, int32_t a) {
        *text = t;
        *variant = v;
        *executor = e;
        *argument = a;
        return true;
    };
    if (n == 1 && first->objectClass == kClassPoint) {
        uint32_t base = 0;
        if (IsFreePoint(first) && CountSplitGroups(first, &base) >= 2) return answer(kTextSplitPoint, 0, 14, 0);
        if (HasTypeFlag(first, kTypeRebindable) && !TiedIntoOwnChildren(first)) return answer(kTextSplitFrom, 5, 14, 1);
        return false;
    }
    if (n >= 2) {
        // A point selected with exactly all its parents.
        for (SketchObject* o = CurrentSketch()->selectionHead; o; o = o->nextSelected) {
            if (o->objectClass != kClassPoint || !HasTypeFlag(o, kTypeRebindable)) continue;
            int32_t parents = Count(o->parents);
            bool all = n == parents + 1;
            for (int32_t i = 0; i < parents && all; ++i) all = IsSelected(Item(o->parents, i));
            // A parent listed twice would leave another selected object unaccounted for.
            for (int32_t i = 0; i < parents && all; ++i)
                for (int32_t j = i + 1; j < parents; ++j) all &= Item(o->parents, i) != Item(o->parents, j);
            if (all) return answer(kTextSplitFrom, 6, 14, 1);
        }
    }
    if (n != 2) return false;
    SketchObject* free = IsFreePoint(second) ? second : IsFreePoint(first) ? first : nullptr;
    if (!free) return false;
    SketchObject* other = free == first ? second : first;
    if (DependsOn(other, free)) return false;
    if (other->objectClass == kClassPoint) return answer(kTextMergePoints, 0, 15, 0);
    if (KindIsA(other->objectKind, kKindPathObject) && PathMethodsOf(other))
        return answer(kTextMergeTo, 6, 15, 1);
    return false;
}

void AnimateMerge(SketchObject* point, RealPoint target) {
    const RealPoint start = PointPosition(point);
    uint32_t deadline = TickCount();
    for (int32_t k = 1; k <= kAnimateSteps; ++k) {
        deadline += kAnimateStepMs;
        const double f = k * 0.04;
        const RealPoint at = k < kAnimateSteps ? RealPoint{ start.x + (target.x - start.x) * f,
                                                            start.y + (target.y - start.y) * f }
                                               : target;
        AddObjectToDirtyRect(point);
        SetPosition(point, at);
        RecomputeFrom(point);
        RunIdleTasks();
        FlushPendingRedraw(0);
        if (k == kAnimateSteps) break;
        if (PollUserAbort(false)) {
            k = kAnimateSteps - 1;
            continue;
        }
        if (DeadlinePassed(deadline)) {
            // Late steps are skipped, so that the animation keeps its length.
            const int32_t late = int32_t((TickCount() - deadline) / kAnimateStepMs);
            const int32_t skip = k + late > kAnimateSteps - 1 ? kAnimateSteps - 1 - k : late;
            k += skip;
            deadline += uint32_t(skip) * kAnimateStepMs;
        } else {
            WaitForDeadline(deadline);
        }
    }
}

ResultCode MergeCommand(int32_t argument) {
    SketchObject* first = nullptr;
    SketchObject* second = nullptr;
    if (SelectionCount(&first, &second) != 2) return kResultOK;
    // Of two free points the one selected first is merged onto the other.
    SketchObject* p = IsFreePoint(second) ? second : first;
    SketchObject* q = p == first ? second : first;
    if (!IsFreePoint(p)) return kResultOK;
    NotifyMotionsObjectChanged(p, 1, 0);
    const RealPoint old = PointPosition(p);
    MergeWork w;
    ResultCode rc = kResultOK;
    uint8_t lead[kAttachBytes];
    if (argument == 0) {
        AnimateMerge(p, PointPosition(q));
        if (!w.AddPair(p, q) || !WorkPairs(&w)) rc = kResultOutOfMemory;
    } else {
        const PathMethods* methods = PathMethodsOf(q);
        if (!methods) return kResultOK;
        RealPoint nearest = old;
        double t = 0;
        PathParameterBlock block{};
        methods->parameterOfPoint(q, old, &nearest, &t, &block);
        AnimateMerge(p, nearest);
        Put(lead, p);
        Put(lead + kPtr, q);
        Put(lead + 2 * kPtr, old.x);
        Put(lead + 2 * kPtr + 8, old.y);
        if (!AttachToPath(p, q) || !WorkPairs(&w)) rc = kResultOutOfMemory;
    }
    if (rc == kResultOK) {
        const int16_t noun = argument == 0 ? kUndoNounNone : int16_t(3 * (q->objectKind - 1));
        const UndoDescriptor name = { kUndoNameMergePoints, noun, 0, nullptr };
        if (!CommitMerge(&w, name, argument == 1 ? lead : nullptr, argument == 1 ? kAttachBytes : 0))
            rc = kResultOutOfMemory;
    }
    if (rc != kResultOK) {
        TakeBack(&w);
        if (argument == 1 && p->constructionType == kTypePointOnPath) DetachFromPath(p, old);
        SetPosition(p, old);
        RecomputeFrom(p);
        SelectOnly(p, q);
        return rc;
    }
    if (argument == 0) SetPosition(p, old);  // out of the sketch now; undo brings it back here
    // Rebound children follow their new parents, which may have come after them.
    for (int32_t i = 0; i < w.opCount; ++i)
        if (w.ops[i].type == 24) RestoreOrderOf(w.ops[i].object);
    RecomputeFrom(q);
    for (int32_t i = 0; i < w.opCount; ++i) RecomputeFrom(w.ops[i].object);
    SelectOnly(argument == 0 ? q : p, nullptr);
    return kResultOK;
}

// ---- splitting

namespace {

// Entry 6: {point, x, y}, then {child, point it hangs on} pairs.
constexpr uint32_t kSplitHead = kPtr + 16;
constexpr uint32_t kSplitPair = 2 * kPtr;

// Replaces `from` by `to` among the child's parents, moving the children entries.
void Rebind(SketchObject* child, SketchObject* from, SketchObject* to) {
    for (int32_t i = 0; i < Count(child->parents); ++i) {
        if (Item(child->parents, i) != from) continue;
        PtrListData(child->parents)[i] = to;
        PtrListRemove(from->children, child, false);
        PtrListAppend(&to->children, child);
    }
    ++CurrentSketch()->structureChangeCount;
}

// The loci that trace the point without being driven by it, and everything that depends
// on them, chained through tempLink from gTracingLoci with dependants first; the count.
SketchObject* gTracingLoci = nullptr;
int32_t ChainTracingLoci(SketchObject* point) {
    Sketch* sketch = CurrentSketch();
    const uint32_t stamp = ++sketch->traversalGeneration;
    SketchObject* head = nullptr;
    SketchObject* tail = nullptr;
    for (int32_t i = 0; i < Count(point->children); ++i) {
        SketchObject* c = Item(point->children, i);
        if (c->constructionType != kTypeLocus || c->traversalStamp == stamp || Item(c->parents, 2) == point) continue;
        c->traversalStamp = stamp;
        c->tempLink = nullptr;
        if (tail) tail->tempLink = c;
        else head = c;
        tail = c;
    }
    gTracingLoci = nullptr;
    if (!head) return 0;
    CollectDependents(&head, false);
    int32_t count = 0;
    while (head) {
        SketchObject* next = head->tempLink;
        head->tempLink = gTracingLoci;
        gTracingLoci = head;
        head = next;
        ++count;
    }
    return count;
}

void PlaceLabel(SketchObject* o) {
    if (o->label.shown) PlaceObjectLabel(o);
}

}  // namespace

ResultCode SplitCommand(int32_t argument) {
    Sketch* sketch = CurrentSketch();
    SketchObject* point = nullptr;
    for (SketchObject* o = sketch->selectionHead; o && !point; o = o->nextSelected)
        if (o->objectClass == kClassPoint) point = o;
    if (!point) return kResultOK;
    NotifyMotionsObjectChanged(point, 1, 0);
    if (argument == 1) {
        if (point->constructionType == kTypeFree) return kResultOK;
        int32_t kind = 0;
        for (int32_t i = 0; i < Count(point->parents); ++i) kind = CommonKind(kind, Item(point->parents, i)->objectKind);
        const int16_t noun = int16_t(kind > 0 ? 3 * (kind - 1) + (Count(point->parents) > 1 ? 1 : 0) : kUndoNounNone);
        // A free point no longer follows a driver: loci that trace the point without
        // being driven by it go, with everything that depends on them (dependants first).
        const int32_t deleted = ChainTracingLoci(point);
        SketchObject* doomed = deleted ? gTracingLoci : nullptr;
        const UndoDescriptor name = { kUndoNameSplitFrom, noun, 0, nullptr };
        const uint32_t bytes = kPtr + 16;
        uint8_t* cursor = nullptr;
        UndoRecord* record = UndoRecordCreate(&name, deleted ? 2 : 1, bytes + (deleted ? UndoObjectListBytes(deleted) : 0),
                                              &cursor);
        if (!record) return kResultOutOfMemory;
        if (deleted) UndoPutObjectList(&cursor, deleted, doomed, kUndoEntryDeleted);
        UndoPutEntryHead(&cursor, kUndoEntrySplitFrom, bytes);
        Put(cursor, point);
        Put(cursor + kPtr, int32_t(point->constructionType));
        Put(cursor + kPtr + 4, int32_t(point->objectKind));
        Put(cursor + kPtr + 8, PtrList(0));
        Put(cursor + kPtr + 12, PtrList(0));
        return UndoRecordCommit(record, true);
    }
    uint32_t base = 0;
    const int32_t groups = CountSplitGroups(point, &base);
    if (groups < 2) {
        ShowAlertByCode(kAlertCannotSplit, 0);
        return kResultOK;
    }
    const int32_t children = Count(point->children);
    // Each child once, with the group it is in.
    auto* list = static_cast<SketchObject**>(AllocMemory(size_t(children) * sizeof(SketchObject*), 0));
    auto* news = static_cast<SketchObject**>(AllocMemory(size_t(groups) * sizeof(SketchObject*), kAllocZero));
    auto* groupOf = static_cast<uint32_t*>(AllocMemory(size_t(groups) * sizeof(uint32_t), kAllocZero));
    int32_t unique = 0, groupCount = 0;
    ResultCode rc = list && news && groupOf ? kResultOK : kResultOutOfMemory;
    for (int32_t i = 0; i < children && rc == kResultOK; ++i) {
        SketchObject* c = Item(point->children, i);
        bool seen = false;
        for (int32_t k = 0; k < unique; ++k) seen |= list[k] == c;
        if (seen) continue;
        list[unique++] = c;
        bool known = false;
        for (int32_t g = 0; g < groupCount; ++g) known |= groupOf[g] == c->traversalStamp;
        if (!known && groupCount < groups) groupOf[groupCount++] = c->traversalStamp;
    }
    const RealPoint old = PointPosition(point);
    const int32_t n = groupCount;
    // Group 0 stays with the point; every other group gets a new free point.
    for (int32_t g = 1; g < n && rc == kResultOK; ++g) {
        news[g] = ConstructObject(kTypeFree, nullptr, 0, 0, false, false, nullptr);
        if (!news[g]) {
            rc = kResultOutOfMemory;
            break;
        }
        news[g]->label.shown = point->label.shown;
    }
    int32_t moved = 0;
    for (int32_t i = 0; i < unique && rc == kResultOK; ++i)
        moved += list[i]->traversalStamp != groupOf[0];
    UndoRecord* record = nullptr;
    uint8_t* cursor = nullptr;
    if (rc == kResultOK) {
        const UndoDescriptor name = { kUndoNameSplitPoint, kUndoNounNone, 0, nullptr };
        const uint32_t bytes = kSplitHead + uint32_t(moved) * kSplitPair;
        record = UndoRecordCreate(&name, 1, bytes, &cursor);
        if (!record) {
            rc = kResultOutOfMemory;
        } else {
            UndoPutEntryHead(&cursor, kUndoEntrySplitPoint, bytes);
        }
    }
    if (rc != kResultOK) {
        for (int32_t g = 1; g < n && news; ++g)
            if (news[g]) DestroyObject(news[g], false, true);
    } else {
        // On a circle of radius 15 around the old place; the entry keeps the split point's
        // new place and the point stays where it was until the entry is applied.
        for (int32_t g = 0; g < n; ++g) {
            const double a = kSplitFirstAngle + kTwoPi * g / n;
            const RealPoint at = { old.x + kSplitRadius * std::cos(a), old.y - kSplitRadius * std::sin(a) };
            if (g == 0) {
                Put(cursor, point);
                Put(cursor + kPtr, at.x);
                Put(cursor + kPtr + 8, at.y);
            } else {
                SetPointPosition(news[g], at.x, at.y, 1, nullptr, false);
            }
        }
        uint8_t* pair = cursor + kSplitHead;
        for (int32_t i = 0; i < unique; ++i) {
            int32_t g = 0;
            while (g < n && groupOf[g] != list[i]->traversalStamp) ++g;
            if (g == 0 || g == n) continue;
            Put(pair, list[i]);
            Put(pair + kPtr, news[g]);
            pair += kSplitPair;
        }
        rc = UndoRecordCommit(record, true);
    }
    FreeMemory(list);
    FreeMemory(news);
    FreeMemory(groupOf);
    return rc;
}

// ---- undo entries

ResultCode ApplyMergeUndo(const UndoEntry& e, int32_t direction) {
    if (e.length < kSplitHead) return kResultOK;
    auto* point = Get<SketchObject*>(e.payload);
    const RealPoint stored = { Get<double>(e.payload + kPtr), Get<double>(e.payload + kPtr + 8) };
    const int32_t pairs = int32_t((e.length - kSplitHead) / kSplitPair);
    const uint8_t* at = e.payload + kSplitHead;
    // What needs memory first: linking the new points' children entries.
    for (int32_t i = 0; i < pairs; ++i) {
        auto* child = Get<SketchObject*>(at + i * kSplitPair);
        auto* np = Get<SketchObject*>(at + i * kSplitPair + kPtr);
        SketchObject* to = direction == kUndoDirectionUndo ? point : np;
        if (!PtrListAppend(&to->children, child)) return kResultOutOfMemory;
        PtrListRemove(to->children, child, false);
    }
    AddObjectToDirtyRect(point);
    const RealPoint now = PointPosition(point);
    SetPosition(point, stored);
    Put(e.payload + kPtr, now.x);
    Put(e.payload + kPtr + 8, now.y);
    for (int32_t i = 0; i < pairs; ++i) {
        auto* child = Get<SketchObject*>(at + i * kSplitPair);
        auto* np = Get<SketchObject*>(at + i * kSplitPair + kPtr);
        if (direction == kUndoDirectionRedo) {
            if (!IsLinkedIntoSketch(np)) LinkObjectIntoSketch(np, kNotLinked);
            Rebind(child, point, np);
            PlaceLabel(np);
            if (!IsSelected(np)) SelectSketchObject(np);
        } else {
            Rebind(child, np, point);
            if (IsLinkedIntoSketch(np) && Count(np->children) == 0) {
                DeselectSketchObject(np);
                AddObjectToDirtyRect(np);
                UnlinkObjectFromSketch(np);
            }
        }
    }
    RestoreDependencyOrder(point, false, false);
    for (int32_t i = 0; i < pairs && direction == kUndoDirectionRedo; ++i)
        RestoreOrderOf(Get<SketchObject*>(at + i * kSplitPair + kPtr));
    PlaceLabel(point);
    RecomputeFrom(point);
    for (int32_t i = 0; i < pairs && direction == kUndoDirectionRedo; ++i)
        RecomputeFrom(Get<SketchObject*>(at + i * kSplitPair + kPtr));
    if (!IsSelected(point)) SelectSketchObject(point);
    return kResultOK;
}

void ReleaseSplitUndoObjects(const UndoEntry& e) {
    if (e.length < kSplitHead) return;
    const int32_t pairs = int32_t((e.length - kSplitHead) / kSplitPair);
    for (int32_t i = 0; i < pairs; ++i) {
        auto* np = Get<SketchObject*>(e.payload + kSplitHead + i * kSplitPair + kPtr);
        // Several children may name one new point: it goes once.
        if (np && !IsLinkedIntoSketch(np)) {
            for (int32_t k = i + 1; k < pairs; ++k)
                if (Get<SketchObject*>(e.payload + kSplitHead + k * kSplitPair + kPtr) == np)
                    Put(e.payload + kSplitHead + k * kSplitPair + kPtr, static_cast<SketchObject*>(nullptr));
            DestroyObject(np, false, true);
        }
    }
}

// Entry 7: {point, type, kind, parents, construction data}; the entry holds what the
// point does not have at the moment, so that each direction exchanges them.
ResultCode ApplySplitUndo(const UndoEntry& e, int32_t direction) {
    auto* point = Get<SketchObject*>(e.payload);
    const int32_t type = Get<int32_t>(e.payload + kPtr);
    const int32_t kind = Get<int32_t>(e.payload + kPtr + 4);
    const PtrList parents = Get<PtrList>(e.payload + kPtr + 8);
    const PtrList data = Get<PtrList>(e.payload + kPtr + 12);
    AddObjectToDirtyRect(point);
    if (direction == kUndoDirectionRedo) {
        const RealPoint at = PointPosition(point);
        const auto place = [](double v) {
            const double r = std::floor(v + kSplitFromOffset + 0.5);
            return r > 30000 ? 30000.0 : r < -30000 ? -30000.0 : r;
        };
        Put(e.payload + kPtr + 8, SwapParents(point, 0));
        Put(e.payload + kPtr + 12, point->constructionData);
        point->constructionData = 0;
        point->constructionType = kTypeFree;
        point->objectKind = kKindPoint;
        SetPosition(point, { place(at.x), place(at.y) });
    } else {
        if (!ReserveChildren(parents, point)) return kResultOutOfMemory;
        SwapParents(point, parents);
        point->constructionData = data;
        point->constructionType = type;
        point->objectKind = kind;
        Put(e.payload + kPtr + 8, PtrList(0));
        Put(e.payload + kPtr + 12, PtrList(0));
        RecomputeObject(point, nullptr, true);
        RestoreOrderOf(point);
    }
    RelinkObjectInLayer(point);
    RecomputeFrom(point);
    if (!IsSelected(point)) SelectSketchObject(point);
    return kResultOK;
}

void ReleaseMergeUndoLists(const UndoEntry& e) {
    PtrList parents = Get<PtrList>(e.payload + kPtr + 8);
    PtrList data = Get<PtrList>(e.payload + kPtr + 12);
    FreePtrList(&parents);
    FreePtrList(&data);
}

// Entry 3: {object, target or null, target's hidden state before}.
ResultCode ApplyRebindUndo(const UndoEntry& e, int32_t direction) {
    const int32_t n = int32_t(e.length / kRemovalBytes);
    const auto object = [&](int32_t i) { return Get<SketchObject*>(e.payload + i * kRemovalBytes); };
    const auto into = [&](int32_t i) { return Get<SketchObject*>(e.payload + i * kRemovalBytes + kPtr); };
    if (direction == kUndoDirectionRedo) {
        for (int32_t i = n - 1; i >= 0; --i) {
            SketchObject* o = object(i);
            if (SketchObject* to = into(i)) {
                if (o->hidden < to->hidden) ChangeObjectHidden(to, o->hidden, false);
                PlaceLabel(to);
                RecomputeFrom(to);
            }
            if (IsLinkedIntoSketch(o)) UndoRemoveObject(o, kMarksHidden);
        }
        return kResultOK;
    }
    for (int32_t i = 0; i < n; ++i) {
        if (UndoRestoreObject(object(i)) != kResultOK) {
            for (int32_t k = i - 1; k >= 0; --k) UndoRemoveObject(object(k), kMarksHidden);
            return kResultOutOfMemory;
        }
    }
    for (int32_t i = 0; i < n; ++i) {
        if (SketchObject* to = into(i)) {
            const int32_t hidden = Get<int32_t>(e.payload + i * kRemovalBytes + 2 * kPtr);
            if (to->hidden != hidden) ChangeObjectHidden(to, hidden, false);
        }
    }
    // The restored objects went to the end of the sketch order; what hangs on them
    // follows them again.
    for (int32_t i = 0; i < n; ++i) RestoreDependencyOrder(object(i), false, false);
    for (int32_t i = 0; i < n; ++i) {
        RecomputeFrom(object(i));
        SelectIfShownAndLinked(object(i));
    }
    return kResultOK;
}

void ReleaseReverseUndo(const UndoEntry& e) {
    // Records in effect: the merged objects are out of the sketch for good. Deepest first.
    const int32_t n = int32_t(e.length / kRemovalBytes);
    for (int32_t i = n - 1; i >= 0; --i) {
        auto* o = Get<SketchObject*>(e.payload + i * kRemovalBytes);
        if (!IsLinkedIntoSketch(o)) DestroyObject(o, false, true);
    }
}

// Entry 24: {object, the parents list it does not have at the moment}.
ResultCode ApplyNewParentsUndo(const UndoEntry& e, int32_t) {
    const int32_t n = int32_t(e.length / (kPtr + 4));
    const auto object = [&](int32_t i) { return Get<SketchObject*>(e.payload + i * (kPtr + 4)); };
    const auto list = [&](int32_t i) { return Get<PtrList>(e.payload + i * (kPtr + 4) + kPtr); };
    for (int32_t i = 0; i < n; ++i)
        if (!ReserveChildren(list(i), object(i))) return kResultOutOfMemory;
    for (int32_t i = 0; i < n; ++i) Put(e.payload + i * (kPtr + 4) + kPtr, SwapParents(object(i), list(i)));
    // Children follow their new parents in the sketch order (when those are in it: an
    // undo brings removed parents back after this entry, and orders them there).
    for (int32_t i = 0; i < n; ++i) {
        SketchObject* o = object(i);
        bool placed = true;
        for (int32_t k = 0; k < Count(o->parents); ++k) placed &= IsLinkedIntoSketch(Item(o->parents, k));
        if (placed) RestoreOrderOf(o);
    }
    return kResultOK;
}

void ReleaseRebindUndo(const UndoEntry& e) {
    const int32_t n = int32_t(e.length / (kPtr + 4));
    for (int32_t i = 0; i < n; ++i) {
        PtrList list = Get<PtrList>(e.payload + i * (kPtr + 4) + kPtr);
        FreePtrList(&list);
    }
}

ResultCode ApplyReverseUndo(const UndoEntry& e, int32_t) {
    for (uint32_t at = 0; at + kPtr <= e.length; at += kPtr) {
        SketchObject* o = Get<SketchObject*>(e.payload + at);
        Reverse(o);
        RecomputeFrom(o);
    }
    return kResultOK;
}

// Entry 4: {point, path, old x, old y}.
ResultCode ApplyPointOnPathUndo(const UndoEntry& e, int32_t direction) {
    auto* point = Get<SketchObject*>(e.payload);
    auto* path = Get<SketchObject*>(e.payload + kPtr);
    const RealPoint old = { Get<double>(e.payload + 2 * kPtr), Get<double>(e.payload + 2 * kPtr + 8) };
    AddObjectToDirtyRect(point);
    if (direction == kUndoDirectionRedo) {
        if (point->constructionType != kTypePointOnPath && !AttachToPath(point, path)) return kResultOutOfMemory;
    } else if (point->constructionType == kTypePointOnPath) {
        DetachFromPath(point, old);
    }
    RecomputeFrom(point);
    DeselectAll();
    SelectSketchObject(point);
    if (direction == kUndoDirectionUndo && !IsSelected(path)) SelectSketchObject(path);
    return kResultOK;
}
