// Sketch records, the current and front sketch, and the three orders in which a sketch
// holds its objects: the sketch order (dependency order), the draw-layer rings and the
// selection chain.
#include "engine/core/sketch.h"

#include <cstring>
#include <initializer_list>

#include "engine/core/frame_tick.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/action_buttons.h"
#include "engine/core/services/caption_editor.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/motions.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/sketch_hooks.h"
#include "engine/core/services/undo.h"


namespace {

// Takes the object out of the sketch order, leaving its own links as they were.
void DetachFromSketchOrder(Sketch* sketch, SketchObject* object) {
    if (object->prevInSketch) {
        object->prevInSketch->nextInSketch = object->nextInSketch;
    } else {
        sketch->firstObject = object->nextInSketch;
    }
    if (object->nextInSketch) {
        object->nextInSketch->prevInSketch = object->prevInSketch;
    } else {
        sketch->lastObject = object->prevInSketch;
    }
}

void InvalidateSelectionGroups() {
    if (!gEngine.currentIsFront) return;
    for (uint32_t group : { kCommandGroupSelection, kCommandGroupSelectionMotion,
                            kCommandGroupMotion, kCommandGroupTextEditing })
        CmdStateInvalidate(group);
}

// The front sketch goes away, or no sketch is current to become the front one.
void ClearFrontSketch() {
    gEngine.frontSketch = nullptr;
    gEngine.frontDocument = nullptr;
    gEngine.currentIsFront = 0;
}

// Draw-order groups inside the point and straight-object layers: A drawn first, then
// C, then B.
enum LayerGroup { kGroupA, kGroupB, kGroupC };

LayerGroup GroupInLayer(const SketchObject* object) {
    if (object->objectClass == kClassPoint) {
        if (object->constructionType == kTypeFree) return kGroupC;
        if (ConstructionTypeTable[object->constructionType].flags & kTypeValuePositioned) return kGroupB;
        return kGroupA;
    }
    if (object->objectClass == kClassStraight) {
        if (object->objectKind == kKindRay) return kGroupC;
        if (object->objectKind == kKindSegment) return kGroupB;
    }
    return kGroupA;
}

// The group of an object in its ring: other classes count as group A.
LayerGroup GroupOfLinked(const SketchObject* object) {
    const bool grouped =
        object->objectClass == kClassPoint || object->objectClass == kClassStraight;
    return grouped ? GroupInLayer(object) : kGroupA;
}

// The first group-B object from `from` on in drawing order, stopping before `stop`; null
// when there is none.
SketchObject* FirstGroupBBetween(SketchObject* from, const SketchObject* stop) {
    for (SketchObject* o = from; o != stop; o = o->nextInLayer) {
        if (GroupOfLinked(o) == kGroupB) return o;
    }
    return nullptr;
}

SketchObject* FirstGroupBOfRing(SketchObject* head) {
    return GroupOfLinked(head) == kGroupB ? head : FirstGroupBBetween(head->nextInLayer, head);
}

void InsertAfterInRing(SketchObject* object, SketchObject* at) {
    object->prevInLayer = at;
    object->nextInLayer = at->nextInLayer;
    at->nextInLayer->prevInLayer = object;
    at->nextInLayer = object;
}

// Builds a list of a chain, the last chain item first.
bool CollectObjectChain(SketchObject* first, bool selectionChain, int32_t* count, PtrList* list,
                        int32_t spare) {
    int32_t n = 0;
    for (SketchObject* o = first; o; o = selectionChain ? o->nextSelected : o->tempLink) ++n;
    *count = n;
    *list = 0;
    if (n == 0 && spare == 0) return true;
    if (!AllocPtrList(n + spare, n, list)) return false;
    void** items = PtrListData(*list);
    int32_t i = n;
    for (SketchObject* o = first; o; o = selectionChain ? o->nextSelected : o->tempLink) items[--i] = o;
    return true;
}

}  // namespace

Sketch* CreateSketch(uint32_t arenaCapacityWords, EngineDocument* document) {
    auto* sketch = static_cast<Sketch*>(AllocMemory(sizeof(Sketch), kAllocNoReserve | kAllocZero));
    if (!sketch) return nullptr;
    if (!CreatePtrListArena(&sketch->arena, static_cast<int32_t>(arenaCapacityWords))) {
        FreeMemory(sketch);
        return nullptr;
    }
    sketch->document = document;
    sketch->settings = ThePreferences().sketchSettings;
    sketch->tracedArea = kEmptyScreenRect;
    sketch->extent = kEmptyScreenRect;
    sketch->dirtyRect = kEverythingDirty;
    sketch->motion.movingSetInvalid = 1;
    sketch->motion.frameDirty = kEmptyScreenRect;
    InitTransformSettings(&sketch->transformSettings);
    InitPrintSettings(&sketch->printSettings);
    sketch->printExtent = kEmptyScreenRect;
    InitLabelSequences(sketch);
    return sketch;
}

void FreeSketch(Sketch* sketch) {
    if (!sketch) return;
    // The script view lets go of a tool, and stepping of a page, before they go.
    DetachToolSketch(sketch);
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    // An edit still open ends without being recorded.
    if (sketch->editSession) FreeLayoutEditSession(sketch->editSession, 0);
    sketch->editSession = nullptr;
    StopFrameTicks(sketch);
    // No motion outlives its sketch, ticking or not.
    if (sketch->motion.motionsHead) StopMotions(0);
    UndoTrimHistory(sketch, 0);
    // The lists are not maintained while everything goes: the children lists are
    // dropped with the arena below, so no destroyed object is searched for in its
    // parents' lists (with many children that search made freeing quadratic).
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) o->children = 0;
    // Nor are the lists given back one by one: each return searches the arena's holes
    // from the start, and the whole arena goes at once below.
    for (SketchObject* o = sketch->lastObject; o;) {
        SketchObject* before = o->prevInSketch;
        DestroyObject(o, false, false);
        o = before;
    }
    sketch->firstObject = sketch->lastObject = nullptr;
    FreeCurrentPtrListArena();
    FreeMemory(sketch->title);
    FreeMemory(sketch->toolText);
    FreeMemory(sketch->givenKinds);
    FreeMemory(sketch->motion.movedList);
    SetCurrentSketch(nullptr, nullptr);
    // No sketch is current here, so the front cannot pass to one: it becomes none.
    if (gEngine.frontSketch == sketch) ClearFrontSketch();
    if (previous && previous != sketch) SetCurrentSketch(previous, nullptr);
    NotifySketchFreed();
    FreeMemory(sketch);
}

ResultCode SetSketchTitle(Sketch* sketch, const char* text) {
    // The new copy is made first, so that running out of memory keeps the old title.
    char* copy = nullptr;
    if (text) {
        const size_t length = std::strlen(text);
        copy = static_cast<char*>(AllocMemory(length + 1, 0));
        if (!copy) return kResultOutOfMemory;
        std::memcpy(copy, text, length + 1);
    }
    FreeMemory(sketch->title);
    sketch->title = copy;
    UpdateToolSketchName(sketch);
    ShowToolStatus(sketch, nullptr);
    return kResultOK;
}

void SetCurrentSketch(Sketch* sketch, Sketch** previous) {
    Sketch* old = gEngine.currentSketch;
    if (previous) *previous = old;
    if (sketch != old) {
        gEngine.currentSketch = sketch;
        gEngine.currentDocument = sketch ? sketch->document : nullptr;
        gEngine.currentIsFront = (sketch && sketch == gEngine.frontSketch) ? 1 : 0;
        // The old sketch's arena may have moved while it was current.
        PtrListArena* was = SetCurrentPtrListArena(sketch ? sketch->arena : nullptr);
        if (old) old->arena = was;
        gEngine.currentArena = sketch ? sketch->arena : nullptr;
    } else if (!sketch) {
        gEngine.currentIsFront = 0;
    }
}

void MakeCurrentSketchFront() {
    Sketch* sketch = gEngine.currentSketch;
    if (!sketch) {
        ClearFrontSketch();
        return;
    }
    SyncAnimationState(gEngine.frontSketch, sketch);
    EndActivitiesExcept(6);
    gEngine.frontSketch = sketch;
    gEngine.frontDocument = sketch->document;
    sketch->frameDeadline = 0;  // a zero deadline has passed: the next tick runs at once
    gEngine.currentIsFront = 1;
    for (uint32_t group = kCommandGroupSelection; group < kCommandGroupCount; ++group)
        CmdStateInvalidate(group);
    ScheduleLocusCandidateSearch(0, 0);
}

void LinkObjectIntoSketch(SketchObject* object, SketchObject* after) {
    Sketch* sketch = CurrentSketch();
    ++sketch->structureChangeCount;
    UpdateMarksOnObjectChange(object, 3);
    if (after == kNotLinked) after = sketch->lastObject;
    object->prevInSketch = after;
    object->nextInSketch = after ? after->nextInSketch : sketch->firstObject;
    if (object->nextInSketch) {
        object->nextInSketch->prevInSketch = object;
    } else {
        sketch->lastObject = object;
    }
    if (after) {
        after->nextInSketch = object;
    } else {
        sketch->firstObject = object;
    }
    LinkObjectIntoLayer(object);
    if (object->hidden == kHiddenByUser) ++sketch->hiddenCount;
    if (gEngine.currentIsFront) CmdStateInvalidate(kCommandGroupGridAndHidden);
}

void UnlinkObjectFromSketch(SketchObject* object) {
    if (!IsLinkedIntoSketch(object)) return;
    Sketch* sketch = CurrentSketch();
    NotifyMotionsObjectChanged(object, 1, 1);
    ActionButtonStop(object);
    ++sketch->structureChangeCount;
    DetachFromSketchOrder(sketch, object);
    object->prevInSketch = object->nextInSketch = kNotLinked;
    UnlinkObjectFromLayer(object);
    if (object->hidden == kHiddenByUser) --sketch->hiddenCount;
}

void LinkObjectIntoLayer(SketchObject* object) {
    Sketch* sketch = CurrentSketch();
    const int32_t layer = ObjectDrawLayer(object);
    SketchObject*& head = sketch->layerHeads[layer];
    SketchObject*& firstB = sketch->layerGroupB[layer];
    const LayerGroup group = GroupOfLinked(object);
    if (!head) {
        object->prevInLayer = object->nextInLayer = object;
        head = object;
        firstB = group == kGroupB ? object : nullptr;
        return;
    }
    // The kept boundary is trusted only while it still is a group-B object with no
    // group-B object before it; an object whose group changed in place makes it stale,
    // and the ring is then searched as it stands.
    if (firstB && (GroupOfLinked(firstB) != kGroupB ||
                   (firstB != head && GroupOfLinked(firstB->prevInLayer) == kGroupB))) {
        firstB = FirstGroupBOfRing(head);
    } else if (!firstB && GroupOfLinked(head->prevInLayer) == kGroupB) {
        firstB = FirstGroupBOfRing(head);
    }
    switch (group) {
    case kGroupA:
        InsertAfterInRing(object, head->prevInLayer);
        head = object;
        break;
    case kGroupB:
        InsertAfterInRing(object, head->prevInLayer);
        if (!firstB) firstB = object;
        break;
    case kGroupC:
        // Before the first group-B object, or last when there is none; a group-B head
        // makes the object the new head.
        InsertAfterInRing(object, firstB ? firstB->prevInLayer : head->prevInLayer);
        if (firstB == head) head = object;
        break;
    }
}

void UnlinkObjectFromLayer(SketchObject* object) {
    if (object->nextInLayer == kNotLinked) return;
    Sketch* sketch = CurrentSketch();
    // Found by the ring heads rather than the class's layer, which may just have changed.
    const bool alone = object->nextInLayer == object;
    for (int32_t layer = 0; layer < 11; ++layer) {
        SketchObject*& head = sketch->layerHeads[layer];
        if (sketch->layerGroupB[layer] == object) {
            // The next group-B object after it, up to the end of the ring.
            sketch->layerGroupB[layer] = alone ? nullptr : FirstGroupBBetween(object->nextInLayer, head);
        }
        if (head == object) head = alone ? nullptr : object->nextInLayer;
    }
    if (!alone) {
        object->prevInLayer->nextInLayer = object->nextInLayer;
        object->nextInLayer->prevInLayer = object->prevInLayer;
    }
    object->prevInLayer = object->nextInLayer = kNotLinked;
    for (SketchObject*& last : sketch->lastSelected) {
        if (last == object) last = nullptr;
    }
}

void RelinkObjectInLayer(SketchObject* object) {
    UnlinkObjectFromLayer(object);
    LinkObjectIntoLayer(object);
}

void SelectSketchObject(SketchObject* object) {
    if (IsSelected(object)) return;
    Sketch* sketch = CurrentSketch();
    object->nextSelected = sketch->selectionHead;
    sketch->selectionHead = object;
    InvalidateSelectionGroups();
    AddObjectToDirtyRect(object);
    ++sketch->selectionChangeCount;
    sketch->lastSelected[ObjectDrawLayer(object)] = object;
}

void DeselectSketchObject(SketchObject* object) {
    if (!IsSelected(object)) return;
    Sketch* sketch = CurrentSketch();
    for (SketchObject** link = &sketch->selectionHead; *link; link = &(*link)->nextSelected) {
        if (*link == object) {
            *link = object->nextSelected;
            break;
        }
    }
    object->nextSelected = kNotLinked;
    AddObjectToDirtyRect(object);
    InvalidateSelectionGroups();
    ++sketch->selectionChangeCount;
}

void DeselectAll() {
    Sketch* sketch = CurrentSketch();
    if (!sketch->selectionHead) return;
    InvalidateSelectionGroups();
    ++sketch->selectionChangeCount;
    for (SketchObject* o = sketch->selectionHead; o;) {
        SketchObject* next = o->nextSelected;
        o->nextSelected = kNotLinked;
        AddObjectToDirtyRect(o);
        o = next;
    }
    sketch->selectionHead = nullptr;
    for (SketchObject*& last : sketch->lastSelected) last = nullptr;
}

bool CollectSelection(int32_t* count, PtrList* list, int32_t spare) {
    return CollectObjectChain(CurrentSketch()->selectionHead, true, count, list, spare);
}

bool CollectTempList(SketchObject* first, int32_t* count, PtrList* list, int32_t spare) {
    return CollectObjectChain(first, false, count, list, spare);
}

SketchObject* LinkSelection() {
    SketchObject* first = CurrentSketch()->selectionHead;
    for (SketchObject* o = first; o; o = o->nextSelected) o->tempLink = o->nextSelected;
    return first;
}

SketchObject* LinkPtrListItems(PtrList list) {
    int32_t count = 0;
    void** items = PtrListItems(list, &count);
    for (int32_t i = 0; i < count; ++i) {
        static_cast<SketchObject*>(items[i])->tempLink =
            (i + 1 < count) ? static_cast<SketchObject*>(items[i + 1]) : nullptr;
    }
    return count ? static_cast<SketchObject*>(items[0]) : nullptr;
}

int32_t EffectiveKind(const SketchObject* object) {
    const Sketch* sketch = CurrentSketch();
    if (sketch && object->givenIndex >= 0 && object->givenIndex < sketch->givenKindCount) {
        for (int32_t i = 0; i < sketch->givenKindCount; ++i) {
            if (sketch->givenKinds[i].object == object) return sketch->givenKinds[i].kind;
        }
    }
    return object->objectKind;
}

bool ObjectLabelRect(const SketchObject* object, ScreenRect* rect) {
    if (!object->label.shown || object->labelPlace.width <= 0) return false;
    rect->left = static_cast<int16_t>(object->bounds.left + object->labelPlace.originX);
    rect->top = static_cast<int16_t>(object->bounds.top + object->labelPlace.originY);
    rect->right = static_cast<int16_t>(rect->left + object->labelPlace.width);
    rect->bottom = static_cast<int16_t>(rect->top + object->labelPlace.height);
    return true;
}

void AddObjectToDirtyRect(SketchObject* object) {
    if (object->exists != 1 || object->hidden != kShown) return;
    Sketch* sketch = CurrentSketch();
    UniteRect(&sketch->dirtyRect, object->bounds);
    ScreenRect label;
    if (ObjectLabelRect(object, &label)) UniteRect(&sketch->dirtyRect, label);
}

const ScreenRect* UnionDirtyRect(const ScreenRect* rect) {
    Sketch* sketch = CurrentSketch();
    UniteRect(&sketch->dirtyRect, rect ? *rect : kAllDirty);
    return &sketch->dirtyRect;
}

void NumberSketchObjects() {
    Sketch* sketch = CurrentSketch();
    uint32_t position = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) o->traversalStamp = position++;
    sketch->traversalGeneration = position;
}

namespace {

// Stamp of an object taken out of the order while it waits for a parent to be placed.
constexpr uint32_t kAwaitingParents = 0xffffffff;

// Every parent in the sketch order is placed: its stamp is below `placed`. Objects not
// yet reached keep their old positions, which are at least `placed`.
bool ParentsPlaced(const SketchObject* object, uint32_t placed) {
    int32_t count = 0;
    void** parents = PtrListItems(object->parents, &count);
    for (int32_t i = 0; i < count; ++i) {
        const auto* parent = static_cast<const SketchObject*>(parents[i]);
        if (IsLinkedIntoSketch(parent) && parent->traversalStamp >= placed) return false;
    }
    return true;
}

// The object may have to move: the root, or a parent taken out and still waiting.
bool HasMovingParent(const SketchObject* object, const SketchObject* root) {
    int32_t count = 0;
    void** parents = PtrListItems(object->parents, &count);
    for (int32_t i = 0; i < count; ++i) {
        const auto* parent = static_cast<const SketchObject*>(parents[i]);
        if (parent == root || parent->traversalStamp == kAwaitingParents) return true;
    }
    return false;
}

// Objects waiting for a parent, chained through their own (unused) sketch-order links.
struct AwaitingChain {
    SketchObject* head = nullptr;
    uint32_t      count = 0;

    void Add(SketchObject* object) {
        object->prevInSketch = nullptr;
        object->nextInSketch = head;
        if (head) head->prevInSketch = object;
        head = object;
        object->traversalStamp = kAwaitingParents;
        ++count;
    }
    void Remove(SketchObject* object) {
        if (object->prevInSketch) object->prevInSketch->nextInSketch = object->nextInSketch;
        else head = object->nextInSketch;
        if (object->nextInSketch) object->nextInSketch->prevInSketch = object->prevInSketch;
        --count;
    }
};

void InsertAfter(Sketch* sketch, SketchObject* object, SketchObject* target) {
    object->prevInSketch = target;
    object->nextInSketch = target->nextInSketch;
    if (target->nextInSketch) target->nextInSketch->prevInSketch = object;
    else sketch->lastObject = object;
    target->nextInSketch = object;
}

// The object was just placed (the last placed one): the waiting objects whose parents
// are now all placed follow it, and in turn the waiting children of those. The placed
// run after the object is the queue, so nothing is allocated.
void PlaceReadyChildren(Sketch* sketch, SketchObject* object, AwaitingChain* waiting,
                        uint32_t* placed) {
    SketchObject* last = object;
    for (SketchObject* from = object; waiting->count != 0; from = from->nextInSketch) {
        int32_t count = 0;
        void** children = PtrListItems(from->children, &count);
        for (int32_t i = 0; i < count && waiting->count != 0; ++i) {
            auto* child = static_cast<SketchObject*>(children[i]);
            if (child->traversalStamp != kAwaitingParents || !ParentsPlaced(child, *placed)) continue;
            waiting->Remove(child);
            InsertAfter(sketch, child, last);
            child->traversalStamp = (*placed)++;
            last = child;
        }
        if (from == last) break;
    }
}

}  // namespace

// One pass along the sketch order from the first object that may move. An object that
// must follow a parent not yet reached is taken out and waits; once its last parent is
// placed it goes in behind it. Placing renumbers as it goes, and the pass ends as soon as
// nothing waits: from there on the order and the positions are as they were. Linear in
// the objects passed and their links, with no recursion and no allocation.
void RestoreDependencyOrder(SketchObject* object, bool checkItself, bool numbered) {
    if (!numbered) NumberSketchObjects();
    Sketch* sketch = CurrentSketch();
    SketchObject* start = (checkItself && IsLinkedIntoSketch(object)) ? object : nullptr;
    int32_t count = 0;
    void** children = PtrListItems(object->children, &count);
    for (int32_t i = 0; i < count; ++i) {
        auto* child = static_cast<SketchObject*>(children[i]);
        if (IsLinkedIntoSketch(child) && (!start || child->traversalStamp < start->traversalStamp))
            start = child;
    }
    if (!start) return;

    uint32_t placed = start->traversalStamp;
    AwaitingChain waiting;
    for (SketchObject* o = start; o;) {
        SketchObject* next = o->nextInSketch;
        const bool mayMove = o == object ? checkItself : HasMovingParent(o, object);
        if (mayMove && !ParentsPlaced(o, placed)) {
            DetachFromSketchOrder(sketch, o);
            waiting.Add(o);
            ++sketch->structureChangeCount;
        } else {
            o->traversalStamp = placed++;
            if (waiting.count == 0) break;
            PlaceReadyChildren(sketch, o, &waiting, &placed);
            if (waiting.count == 0) break;
        }
        o = next;
    }
    // Only parents that depend on their own children can leave objects waiting here; they
    // go to the end rather than out of the sketch.
    while (SketchObject* o = waiting.head) {
        waiting.Remove(o);
        if (sketch->lastObject) {
            InsertAfter(sketch, o, sketch->lastObject);
        } else {
            o->prevInSketch = o->nextInSketch = nullptr;
            sketch->firstObject = sketch->lastObject = o;
        }
        o->traversalStamp = placed++;
    }
}
