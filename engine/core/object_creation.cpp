// Object construction, destruction, hiding and the dependency update.
#include "engine/core/object_creation.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/action_buttons.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/motions.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/text_data.h"
#include "engine/core/services/undo.h"

int16_t NestedEvaluationDepth = 0;

namespace {

SketchObject* Item(PtrList list, int32_t index) {
    return static_cast<SketchObject*>(PtrListItem(list, index));
}

void FreeLabelBlock(ObjectLabel* label) {
    if (!label) return;
    if (label->heapLength != 0) FreeMemory(label->text.heapText);
    FreeMemory(label);
}

void ReleaseExtra(int32_t objectClass, void* extraData) {
    if (objectClass < 0 || objectClass >= kClassCount) return;
    if (InitExtraFn init = ObjectClassTable[objectClass].initExtra) init(nullptr, extraData);
}

// Everything a construction was handed goes when it makes nothing.
SketchObject* FailConstruction(const ConstructRequest* r, int32_t objectClass) {
    ReleaseExtra(objectClass, r->extraData);
    PtrList parents = r->parents;
    PtrList data = r->constructionData;
    FreePtrList(&parents);
    FreePtrList(&data);
    FreeLabelBlock(r->label);
    return nullptr;
}

bool TypeHasFlag(int32_t type, uint32_t flag) {
    return type >= 0 && type < kConstructionTypeCount && (ConstructionTypeTable[type].flags & flag);
}

// The first two doubles of a construction-data block (bytes 0 and 8).
bool ReadTwoReals(PtrList list, double* first, double* second) {
    int32_t count = 0;
    const int32_t capacity = PtrListSize(list, &count);
    if (static_cast<size_t>(capacity) * sizeof(void*) < 2 * sizeof(double)) return false;
    const auto* bytes = reinterpret_cast<const uint8_t*>(PtrListData(list));
    std::memcpy(first, bytes, sizeof(double));
    std::memcpy(second, bytes + sizeof(double), sizeof(double));
    return true;
}

constexpr double kTurnsPerRadian = 0.15915494309189498;

bool IsWholeTurn(double turns) {
    const double f = std::fabs(std::fmod(turns, 1.0));
    return f < 1e-12 || f > 0.999999999999;
}

// A chain of fixed rotations about one centre that adds up to whole turns leads back to
// its first pre-image.
SketchObject* FindRotationChainStart(SketchObject* preImage, SketchObject* centre, PtrList data) {
    double first, second;
    if (!ReadTwoReals(data, &first, &second)) return nullptr;
    double turns = std::atan2(first, second) * kTurnsPerRadian;
    SketchObject* current = preImage;
    while (!IsWholeTurn(turns)) {
        if (!current || current->constructionType != kTypeRotateFixed ||
            Item(current->parents, 1) != centre ||
            !ReadTwoReals(current->constructionData, &first, &second)) {
            return nullptr;
        }
        turns += std::atan2(first, second) * kTurnsPerRadian;
        current = Item(current->parents, 0);
    }
    return current;
}

bool PointLiesOn(SketchObject* point, SketchObject* b) {
    const uint32_t flags = ConstructionTypeTable[b->constructionType].flags;
    if ((flags & kTypeFirstParentOn) && Item(b->parents, 0) == point) return true;
    if ((flags & kTypeSecondParentOn) && Item(b->parents, 1) == point) return true;
    return TypeHasFlag(point->constructionType, kTypePointOnParents) && Item(point->parents, 0) == b;
}

bool ShareOneWay(SketchObject* a, SketchObject* b, SketchObject** point) {
    const uint32_t flags = ConstructionTypeTable[a->constructionType].flags;
    const uint32_t onA[2] = { kTypeFirstParentOn, kTypeSecondParentOn };
    for (int32_t i = 0; i < 2; ++i) {
        if (!(flags & onA[i])) continue;
        SketchObject* p = Item(a->parents, i);
        if (p && PointLiesOn(p, b)) {
            *point = p;
            return true;
        }
    }
    return false;
}

void LinkChain(SketchObject* const* objects, int32_t count) {
    for (int32_t i = 0; i < count; ++i) objects[i]->tempLink = (i + 1 < count) ? objects[i + 1] : nullptr;
}

// The selected objects chained oldest first (most recent last); answers the count.
int32_t LinkSelectionOldestFirst(SketchObject** first) {
    SketchObject* chain = nullptr;
    int32_t count = 0;
    for (SketchObject* o = CurrentSketch()->selectionHead; o; o = o->nextSelected) {
        o->tempLink = chain;
        chain = o;
        ++count;
    }
    *first = chain;
    return count;
}

}  // namespace

SketchObject* ConstructObject(int32_t type, void* extraData, PtrList parents,
                              PtrList constructionData, bool link, bool undo, uint16_t* outFlags) {
    ConstructRequest r = {};
    r.extraData = extraData;
    r.parents = parents;
    r.constructionData = constructionData;
    r.link = link;
    r.undo = undo;
    r.outFlags = outFlags;
    r.allowReuse = true;
    if (type < 0 || type >= kConstructionTypeCount) return FailConstruction(&r, kNoClass);
    SketchObject* first = Item(parents, 0);
    const int32_t objectClass = ResolveObjectClass(type, first);
    if (objectClass == kNoClass) return FailConstruction(&r, kNoClass);
    const ConstructionTypeRecord& row = ConstructionTypeTable[type];
    const bool fromParent = (row.flags & kTypeStyleFromParent) && first;

    ObjectTemplate& t = r.objectTemplate;
    t.constructionType = type;
    t.objectClass = objectClass;
    t.objectKind = (type == kTypeDerivative) ? kKindDerivative : kKindPoint;
    if (fromParent) {
        t.lineStyle = first->lineStyle;
        t.color = first->color;
    } else {
        t.lineStyle = ObjectClassTable[objectClass].hasLineStyle ? ThePreferences().newLineStyle : 1;
        t.color = CurrentSketch()->settings.palette[ObjectClassTable[objectClass].colorSlot];
    }
    return ConstructObjectWithTemplate(&r);
}

SketchObject* ConstructObjectEx(const ObjectTemplate* objectTemplate, void* extraData,
                                PtrList parents, PtrList constructionData, ObjectLabel* label,
                                uint16_t* outFlags, bool allowReuse) {
    ConstructRequest r = { *objectTemplate, extraData, parents, constructionData, label,
                           true, false, outFlags, allowReuse };
    return ConstructObjectWithTemplate(&r);
}

SketchObject* ConstructObjectWithTemplate(const ConstructRequest* r) {
    const int32_t type = r->objectTemplate.constructionType;
    uint16_t ignored = 0;
    uint16_t* outFlags = r->outFlags ? r->outFlags : &ignored;
    *outFlags = kConstructedNew;
    if (type < 0 || type >= kConstructionTypeCount) return FailConstruction(r, kNoClass);
    SketchObject* first = Item(r->parents, 0);
    int32_t objectClass = (type == kTypeFree) ? r->objectTemplate.objectClass
                                              : ConstructionTypeTable[type].objectClass;
    if (objectClass == kClassOfImage) {
        objectClass = first ? ObjectClassTable[first->objectClass].imageClass : kNoClass;
    }
    if (objectClass < 0 || objectClass >= kClassCount) return FailConstruction(r, kNoClass);

    if (r->allowReuse) {
        bool reversed = false;
        SketchObject* equal = FindEquivalentObject(ConstructionTypeTable[type].duplicateRule,
                                                   r->parents, r->constructionData, type, &reversed);
        if (equal) {
            FailConstruction(r, objectClass);  // the handed-over pieces are not needed
            *outFlags = reversed ? kReusedReversed : kReusedEqual;
            if (r->objectTemplate.hidden == kShown && equal->hidden != kShown) {
                *outFlags |= kReusedAndShown;
                ChangeObjectHidden(equal, kShown, false);
            }
            // Showing a reused object is undoable ("Show"); a plain reuse records nothing.
            if (r->undo) return RecordNewObjectUndo(equal, r->link, *outFlags);
            return equal;
        }
    }

    SketchObject* object = AllocObject(objectClass, &r->objectTemplate);
    if (!object) return FailConstruction(r, objectClass);
    if (!SetObjectParents(object, r->parents)) {
        FreeMemory(object);
        ConstructRequest rest = *r;
        rest.parents = 0;  // already freed
        return FailConstruction(&rest, objectClass);
    }
    object->constructionData = r->constructionData;

    int32_t kind = r->objectTemplate.objectKind;
    if (type != kTypeFree && type != kTypeDerivative) {
        kind = ConstructionTypeTable[type].objectKind;
        if (object->parents == 0) object->constructionType = kTypeFree;
    }
    if (kind == kKindOfImage) {
        kind = first ? ResolveImageKind(first->objectKind) : kKindObject;
    } else if (kind == kKindOfLocus) {
        kind = (first && first->objectClass == kClassPoint) ? kKindPointLocus : kKindOtherLocus;
    }
    object->objectKind = kind;

    // The text style area is zero from the allocation.
    if (ObjectClassTable[objectClass].textFamily != 7) ApplyDefaultTextStyle(object);

    if (r->label) {
        object->label = *r->label;
        FreeMemory(r->label);  // its heap text now belongs to the object
    }
    if (InitExtraFn init = ObjectClassTable[objectClass].initExtra) {
        if (!init(object, r->extraData)) {
            DestroyObject(object, false, true);
            return nullptr;
        }
    }
    if (!r->label) InitObjectLabel(object);
    if (r->link) LinkObjectIntoSketch(object, kNotLinked);
    if (r->undo) return RecordNewObjectUndo(object, r->link, *outFlags);
    return object;
}

SketchObject* AllocObject(int32_t objectClass, const ObjectTemplate* t) {
    auto* object = static_cast<SketchObject*>(
        AllocMemory(ObjectClassTable[objectClass].objectSize, kAllocZero));
    if (!object) return nullptr;
    object->constructionType = t->constructionType;
    object->traced = t->traced;
    object->hidden = t->hidden;
    object->objectClass = objectClass;
    object->lineStyle = t->lineStyle;
    object->color = t->color;
    object->prevInSketch = object->nextInSketch = kNotLinked;
    object->nextSelected = kNotLinked;
    object->prevInLayer = object->nextInLayer = kNotLinked;
    object->nextMoved = kNotLinked;
    object->bounds = kEmptyScreenRect;
    object->coreBounds = kEmptyScreenRect;
    object->selectable = 1;
    object->givenIndex = -1;
    return object;
}

bool SetObjectParents(SketchObject* object, PtrList parents) {
    ++CurrentSketch()->structureChangeCount;
    int32_t count = 0;
    PtrListSize(parents, &count);
    if (count == 0) {
        FreePtrList(&parents);
        object->parents = 0;
        return true;
    }
    object->parents = parents;
    for (int32_t i = 0; i < count; ++i) {
        // Appending may move the arena: read the parent again each time.
        SketchObject* parent = Item(parents, i);
        if (!PtrListAppend(&parent->children, object)) {
            for (int32_t j = 0; j < i; ++j) PtrListRemove(Item(parents, j)->children, object, false);
            FreePtrList(&parents);
            object->parents = 0;
            return false;
        }
    }
    return true;
}

SketchObject* FindEquivalentObject(int32_t rule, PtrList parents, PtrList constructionData,
                                   int32_t type, bool* reversed, const SketchObject* pattern) {
    *reversed = false;
    if (rule == 0) return nullptr;
    SketchObject* first = Item(parents, 0);
    if (!first) return nullptr;
    int32_t count = 0;
    void** children = PtrListItems(first->children, &count);
    const bool reversible = rule == 4 || rule == 5;
    const bool sameData = rule == 2 || rule == 3 || rule == 6;
    for (int32_t i = 0; i < count; ++i) {
        auto* c = static_cast<SketchObject*>(children[i]);
        if (c->constructionType != type) continue;
        if (auto same = LaterForms().engine.sameCalculation;
            same && pattern && c->objectClass == kClassCalculation && !same(c, pattern))
            continue;
        if (rule == 9) {
            if (Item(c->parents, 0) == first) return c;
            continue;
        }
        bool wasReversed = false;
        if (!PtrListEqual(c->parents, parents, reversible, &wasReversed)) continue;
        if (sameData && !PtrListEqual(c->constructionData, constructionData, false, nullptr)) continue;
        *reversed = wasReversed && rule == 4;
        return c;
    }
    SketchObject* second = Item(parents, 1);
    switch (rule) {
    case 5: {
        SketchObject* point = nullptr;
        if (second && ShareDefiningParent(first, second, &point)) return point;
        return nullptr;
    }
    case 6:
        return FindRotationChainStart(first, second, constructionData);
    case 7:
        if (first->constructionType == kTypeReflection && Item(first->parents, 1) == second) {
            return Item(first->parents, 0);
        }
        return nullptr;
    default:
        return nullptr;
    }
}

bool ShareDefiningParent(SketchObject* a, SketchObject* b, SketchObject** point) {
    return ShareOneWay(a, b, point) || ShareOneWay(b, a, point);
}

bool DefaultTextStyle(int32_t objectClass, TextStyle* style) {
    const ObjectClassRecord& row = ObjectClassTable[objectClass];
    if (row.textFamily < 0 || row.textFamily > 4) return false;
    *style = ThePreferences().defaultTextStyles[row.textFamily];
    if (row.textFamily == 1 || row.textFamily == 2) {
        // Style colours are stored as value plus one (0 = inherit). Before any sketch
        // exists the colours a new sketch would get serve.
        const Sketch* sketch = CurrentSketch();
        const uint32_t c = (sketch ? sketch->settings : ThePreferences().sketchSettings)
                               .palette[row.colorSlot];
        style->field[kStyleRed] = static_cast<int16_t>((c & 0xff) + 1);
        style->field[kStyleGreen] = static_cast<int16_t>(((c >> 8) & 0xff) + 1);
        style->field[kStyleBlue] = static_cast<int16_t>(((c >> 16) & 0xff) + 1);
    }
    return true;
}

void ApplyDefaultTextStyle(SketchObject* object) {
    TextStyle style;
    if (!DefaultTextStyle(object->objectClass, &style)) return;
    object->textStyle = style;
    if (TextStyle* kept = TextDataStyleOf(object)) *kept = style;
}

SketchObject* RecordNewObjectUndo(SketchObject* object, bool linked, uint16_t flags) {
    if (flags == kReusedEqual || flags == kReusedReversed) return object;
    const bool shown = (flags & kReusedAndShown) != 0;
    SketchObject* selection = nullptr;
    int32_t selected = 0;
    for (SketchObject* o = CurrentSketch()->selectionHead; o; o = o->nextSelected) ++selected;

    const UndoDescriptor header = { shown ? kUndoNameShow : kUndoNameConstruct,
                                    int16_t(3 * (object->objectKind - 1)), 0, nullptr };
    const uint32_t bytes = UndoObjectListBytes(1) + (selected ? UndoObjectListBytes(selected) : 0);
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(&header, selected ? 2 : 1, bytes, &cursor);
    if (!record) {
        if (shown) {
            // A reused object may have children: hide it again rather than free it.
            ChangeObjectHidden(object, kHiddenByUser, false);
        } else {
            DestroyObject(object, linked, true);
        }
        return nullptr;
    }
    object->tempLink = nullptr;
    UndoPutObjectList(&cursor, 1, object, shown ? kUndoEntryShown : kUndoEntryCreated);
    if (selected) {
        LinkSelectionOldestFirst(&selection);
        UndoPutObjectList(&cursor, selected, selection, kUndoEntrySelection);
    }
    UndoRecordCommit(record, false);
    return object;
}

void StandardBatchUnwind(int32_t, void*, SketchObject* object, uint16_t flags) {
    if (flags == kConstructedNew) {
        DestroyObject(object, true, true);
    } else if (flags & kReusedAndShown) {
        ChangeObjectHidden(object, kHiddenByUser, false);
    }
}

SketchObject* BuildObjectsWithUndo(const ObjectBatch* batch) {
    struct BatchItem { SketchObject* object; uint16_t flags; };
    const int32_t count = batch->count;
    if (count == 0) return nullptr;
    // The items, then three object arrays: created, shown, parents hidden.
    const size_t bytes = count * sizeof(BatchItem) + 3 * count * sizeof(SketchObject*);
    auto* items = static_cast<BatchItem*>(AllocMemory(bytes, kAllocZero));
    if (!items) return nullptr;
    auto** created = reinterpret_cast<SketchObject**>(items + count);
    SketchObject** shown = created + count;
    SketchObject** hidden = shown + count;

    int32_t made = 0;
    for (; made < count; ++made) {
        uint16_t flags = 0;
        SketchObject* object = batch->create(made, batch->userData, &flags);
        if (!object) break;
        items[made] = { object, flags };
        if (flags == kConstructedNew) RecomputeObject(object, nullptr, true);
    }
    auto unwindAll = [&]() {
        for (int32_t i = made - 1; i >= 0; --i) {
            batch->unwind(i, batch->userData, items[i].object, items[i].flags);
        }
    };
    if (made < count) {
        unwindAll();
        FreeMemory(items);
        return nullptr;
    }

    if (batch->replaceSelection) DeselectAll();
    int32_t createdCount = 0, shownCount = 0, hiddenCount = 0;
    for (int32_t i = 0; i < count; ++i) {
        SketchObject* object = items[i].object;
        if (object->exists == 1 && object->hidden == kShown) {
            if (batch->replaceSelection && ObjectClassTable[object->objectClass].drawSelected) {
                SelectSketchObject(object);
            }
            AddObjectToDirtyRect(object);
        }
        if (items[i].flags & kReusedAndShown) {
            shown[shownCount++] = object;
        } else if (items[i].flags == kConstructedNew) {
            created[createdCount++] = object;
        }
        SketchObject* parent = Item(object->parents, 0);
        if (batch->hideFirstParents && parent && parent->hidden == kShown) {
            hidden[hiddenCount++] = parent;
            ChangeObjectHidden(parent, kHiddenAsConsumed, false);
        }
    }

    if (batch->undoNoun != kBatchNoUndo && (createdCount || shownCount)) {
        const UndoDescriptor header = { createdCount ? kUndoNameConstruct : kUndoNameShow,
                                        int16_t(batch->undoNoun), 0, nullptr };
        const int32_t counts[3] = { createdCount, shownCount, hiddenCount };
        uint32_t payload = 0;
        int32_t entries = 0;
        for (int32_t n : counts) {
            if (n) {
                payload += UndoObjectListBytes(n);
                ++entries;
            }
        }
        uint8_t* cursor = nullptr;
        UndoRecord* record = UndoRecordCreate(&header, entries, payload, &cursor);
        if (!record) {
            if (batch->replaceSelection) DeselectAll();
            // The consumed parents were shown before this batch: show them again.
            for (int32_t i = hiddenCount - 1; i >= 0; --i) ChangeObjectHidden(hidden[i], kShown, false);
            unwindAll();
            FreeMemory(items);
            return nullptr;
        }
        // Newest first: undo takes a later item out before the earlier ones it may be
        // built on, and redo puts them back last to first.
        for (int32_t i = 0, j = createdCount - 1; i < j; ++i, --j) std::swap(created[i], created[j]);
        SketchObject** lists[3] = { created, shown, hidden };
        const int32_t types[3] = { kUndoEntryCreated, kUndoEntryShown, kUndoEntryHidden };
        for (int32_t l = 0; l < 3; ++l) {
            if (!counts[l]) continue;
            LinkChain(lists[l], counts[l]);
            UndoPutObjectList(&cursor, counts[l], lists[l][0], types[l]);
        }
        UndoRecordCommit(record, false);
    }
    SketchObject* last = items[count - 1].object;
    FreeMemory(items);
    return last;
}

void UnlinkFromParents(SketchObject* object) {
    int32_t count = 0;
    PtrListSize(object->parents, &count);
    for (int32_t i = 0; i < count; ++i) {
        // One children entry per occurrence in the parents list.
        if (SketchObject* parent = Item(object->parents, i)) PtrListRemove(parent->children, object, false);
    }
    if (Sketch* sketch = CurrentSketch()) ++sketch->structureChangeCount;
}

void DestroyObject(SketchObject* object, bool linked, bool freeLists) {
    ClearObjectLabel(object);
    UnlinkFromParents(object);
    if (linked) {
        // A destroyed object must not stay in the selection chain.
        DeselectSketchObject(object);
        UnlinkObjectFromSketch(object);
    } else {
        NotifyMotionsObjectChanged(object, 1, 1);
        ActionButtonStop(object);
    }
    UpdateMarksOnObjectChange(object, 0);
    if (ObjectFn freeExtra = ObjectClassTable[object->objectClass].freeExtra) freeExtra(object);
    if (freeLists) {
        FreePtrList(&object->parents);
        FreePtrList(&object->children);
        FreePtrList(&object->constructionData);
    }
    FreeMemory(object);
}

namespace {

// The geometry part of a recompute, shared by the single call and the runs that sampling
// makes (a locus pays for it once per object per sample).
inline void RecomputeGeometry(SketchObject* object) {
    const ConstructionTypeRecord& row = ConstructionTypeTable[object->constructionType];
    int32_t count = 0;
    void** parents = PtrListItems(object->parents, &count);
    object->exists = 1;
    if (row.flags & kTypeNeedsParents) {
        for (int32_t i = 0; i < count; ++i) {
            if (static_cast<SketchObject*>(parents[i])->exists != 1) {
                object->exists = 0;
                break;
            }
        }
    }
    if (object->exists && row.update) {
        row.update(object, reinterpret_cast<SketchObject* const*>(parents));
    }
}

}  // namespace

void RecomputeObjectRun(SketchObject* const* objects, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        SketchObject* object = objects[i];
        if (object->givenIndex == -1) RecomputeGeometry(object);
    }
}

bool gSkipScreenExtents = false;

void RecomputeGeometryRun(SketchObject* const* objects, int32_t count) {
    const bool saved = gSkipScreenExtents;
    gSkipScreenExtents = true;
    RecomputeObjectRun(objects, count);
    gSkipScreenExtents = saved;
}

int32_t RecomputeObject(SketchObject* object, ScreenRect* rect, bool bump) {
    if (object->givenIndex != -1) return object->givenIndex;
    if (bump) ++object->generation;
    RecomputeGeometry(object);
    if (bump && object->label.shown) {
        ObjectPredicateFn follows = ObjectClassTable[object->objectClass].labelFollowsGeometry;
        if (follows && follows(object)) PlaceObjectLabel(object);
    }
    return rect ? AddObjectBounds(rect, object) : 0;
}

int32_t AddObjectBounds(ScreenRect* rect, const SketchObject* object) {
    if (object->exists != 1 || object->hidden != kShown) return 0;
    UniteRect(rect, object->bounds);
    // Most objects show no label: a frame of many objects saves the call for them.
    ScreenRect label;
    if (object->label.shown && ObjectLabelRect(object, &label)) UniteRect(rect, label);
    return 1;
}

void RecomputeAndRedrawObject(SketchObject* object) {
    Sketch* sketch = CurrentSketch();
    AddObjectBounds(&sketch->dirtyRect, object);
    RecomputeObject(object, &sketch->dirtyRect, true);
}

int32_t CollectDependents(SketchObject** head, bool single) {
    Sketch* sketch = CurrentSketch();
    SketchObject* first = *head;
    if (!first) return 0;
    const uint32_t g = ++sketch->traversalGeneration;
    SketchObject* tail = nullptr;
    SketchObject* scan;
    if (single || !first->tempLink) {
        first->traversalStamp = g;
        tail = first;
        scan = first->nextInSketch;
    } else {
        for (SketchObject* o = first; o; o = o->tempLink) o->traversalStamp = g;
        *head = nullptr;
        scan = sketch->firstObject;
    }
    int32_t count = tail ? 1 : 0;
    for (SketchObject* o = scan; o && o != kNotLinked; o = o->nextInSketch) {
        bool take = o->traversalStamp == g;
        if (!take) {
            int32_t n = 0;
            void** parents = PtrListItems(o->parents, &n);
            for (int32_t i = 0; i < n && !take; ++i) {
                take = static_cast<SketchObject*>(parents[i])->traversalStamp == g;
            }
            if (take) o->traversalStamp = g;
        }
        if (!take) continue;
        if (tail) {
            tail->tempLink = o;
        } else {
            *head = o;
        }
        tail = o;
        ++count;
    }
    if (tail) tail->tempLink = nullptr;
    return count;
}

void RecomputeObjects(SketchObject* object, bool linked, SketchObject* const* array) {
    if (linked) {
        for (SketchObject* o = object; o; o = o->tempLink) RecomputeAndRedrawObject(o);
        return;
    }
    for (; array && *array; ++array) RecomputeAndRedrawObject(*array);
}

void RecomputeListedObjects(const ObjectFlagsEntry* items, ScreenRect* rect, bool skipOldBounds) {
    ScreenRect running = kEmptyScreenRect;
    for (; items->object; ++items) {
        if ((items->flags & 0x4) && !(items->flags & 0x1)) {
            AddObjectBounds(&running, items->object);
            continue;
        }
        if (!skipOldBounds) AddObjectBounds(&running, items->object);
        RecomputeObject(items->object, &running, true);
    }
    Sketch* sketch = CurrentSketch();
    UniteRect(&sketch->dirtyRect, running);
    UniteRect(&sketch->dirtyRect, *rect);
    *rect = running;
}

ScreenRect RecomputeSketch(bool accumulateOldBounds) {
    return RecomputeSketchFrom(CurrentSketch()->firstObject, accumulateOldBounds);
}

ScreenRect RecomputeSketchFrom(SketchObject* first, bool accumulateOldBounds) {
    Sketch* sketch = CurrentSketch();
    ScreenRect running = kEmptyScreenRect;
    for (SketchObject *o = first, *next; o; o = next) {
        // The next record is asked for while this one is recomputed.
        next = o->nextInSketch;
        if (next) PrefetchRecomputedRecord(next);
        if (accumulateOldBounds) AddObjectBounds(&running, o);
        RecomputeObject(o, &running, true);
    }
    UniteRect(&sketch->dirtyRect, running);
    return sketch->dirtyRect;
}

ResultCode SetObjectHidden(SketchObject* object, int32_t state, bool recordUndo) {
    if (object->hidden == state) return kResultOK;
    return ChangeObjectHidden(object, state, recordUndo);
}

ResultCode ChangeObjectHidden(SketchObject* object, int32_t state, bool recordUndo) {
    if (!IsLinkedIntoSketch(object)) {
        object->hidden = state;
        return kResultOK;
    }
    Sketch* sketch = CurrentSketch();
    if (gEngine.currentIsFront) CmdStateInvalidate(kCommandGroupGridAndHidden);
    AddObjectToDirtyRect(object);
    const int32_t old = object->hidden;
    object->hidden = state;
    // The count holds the objects in state 1, whatever the other state is.
    if (state == kHiddenByUser && old != kHiddenByUser) ++sketch->hiddenCount;
    if (state != kHiddenByUser && old == kHiddenByUser) --sketch->hiddenCount;
    if (state == kShown) {
        RecomputeObject(object, nullptr, false);
        ObjectPredicateFn follows = ObjectClassTable[object->objectClass].labelFollowsGeometry;
        if (object->label.shown && follows && follows(object)) PlaceObjectLabel(object);
    }
    AddObjectToDirtyRect(object);
    ResultCode result = kResultOK;
    if (recordUndo) {
        const UndoDescriptor descriptor = { state == kShown ? kUndoNameShow : kUndoNameHide,
                                            int16_t(3 * (object->objectKind - 1)), 0, nullptr };
        result = UndoRecordOneObject(&descriptor, object, false);
    }
    ActionButtonsOfObject(object);
    return result;
}
