// The engine side of Merge Text, Merge Text To Point and Split Merged Text, the undoable
// caption edit, and the undo entries these make.
#include "engine/text/merged_texts.h"

#include <cstring>

#include "engine/core/alerts.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/shell.h"
#include "engine/core/services/text_objects.h"
#include "engine/core/services/undo.h"
#include "engine/core/sketch.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/object_text.h"

namespace {

constexpr uint32_t kPointerBytes = sizeof(void*);
constexpr uint32_t kPairBytes = kPointerBytes + 4;

// Undo names (items of string group 8).
constexpr uint16_t kUndoNameMergeText = 5;
constexpr uint16_t kUndoNameSplitText = 8;
constexpr uint16_t kUndoNameEditCaption = 15;

// Questions asked before a merged text is split.
constexpr ResultCode kAskSplitMergedText = 122;
constexpr ResultCode kAskSplitPeggedText = 123;
constexpr ResultCode kAskSplitTemplateFromClick = 124;
constexpr ResultCode kAskSplitTemplate = 125;

uint32_t CaptionColor() {
    return CurrentSketch()->settings.palette[ObjectClassTable[kClassCaption].colorSlot];
}

// A new text takes the style as its label style, and the style's colour when it has one.
void TakeStyle(SketchObject* object, const TextStyle& style) {
    object->textStyle = style;
    if (style.field[kStyleRed] > 0) StyleToColorRef(&style, &object->color);
}

// The selection, oldest first, in a block of the caller's; null when empty or no memory.
SketchObject** SelectedObjects(int32_t* count) {
    *count = 0;
    for (SketchObject* o = CurrentSketch()->selectionHead; o; o = o->nextSelected) ++*count;
    if (*count == 0) return nullptr;
    auto* objects = static_cast<SketchObject**>(AllocMemory(size_t(*count) * sizeof(SketchObject*), 0));
    if (!objects) return nullptr;
    int32_t i = *count;
    for (SketchObject* o = CurrentSketch()->selectionHead; o; o = o->nextSelected) objects[--i] = o;
    return objects;
}

bool HasValue(SketchObject* object) {
    GetDisplayPartsFn get = ObjectClassTable[object->objectClass].getDisplayParts;
    const DisplayPartsOps* ops = get ? get(object) : nullptr;
    return ops && ops->hasValue(object);
}

// Constructs a text of `type` showing `parents`; the tree is taken in every case.
SketchObject* ConstructText(int32_t type, LayoutNode* tree, const TextStyle& style, ScreenPoint at,
                            SketchObject* const* parents, int32_t count) {
    PtrList list = 0;
    if (!AllocPtrList(count, count, &list)) {
        FreeLayoutNode(tree);
        return nullptr;
    }
    int32_t n = 0;
    void** items = PtrListItems(list, &n);
    for (int32_t i = 0; i < count; ++i) items[i] = parents[i];
    const ObjectTemplate t = { type, 0, kShown, kClassCaption, 1, kKindMergedText, CaptionColor() };
    CaptionInit init{ tree, style, at.x, at.y };
    uint16_t flags = 0;
    SketchObject* made = ConstructObjectEx(&t, &init, list, 0, nullptr, &flags, true);
    if (init.layout) FreeLayoutNode(init.layout);
    if (made && flags == kConstructedNew) TakeStyle(made, style);
    return made;
}

// The merged text of the selection with its undo step; false when nothing was made.
bool MergeSelection() {
    int32_t count = 0;
    SketchObject** objects = SelectedObjects(&count);
    if (!objects) return false;
    LayoutNode* tree = nullptr;
    TextStyle style{};
    ScreenPoint at{};
    const int32_t form = TryCustomTemplate(objects, &count, &tree, &style);
    if (form == kNotATemplate) {
        tree = BuildMergedLayout(objects, count, &at, &style);
    } else if (form == kTemplateMade) {
        DefaultObjectPosition(&at, kClassCaption);
    }
    SketchObject* made = tree ? ConstructText(kTypeMergedText, tree, style, at, objects, count) : nullptr;
    if (!made) {
        FreeMemory(objects);
        return false;
    }
    RecomputeAndRedrawObject(made);

    const UndoDescriptor name = { kUndoNameMergeText, kUndoNounNone, 0, nullptr };
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(&name, 2, UndoObjectListBytes(1) + HiddenStatePairBytes(count), &cursor);
    if (!record) {
        DestroyObject(made, true, true);
        FreeMemory(objects);
        return false;
    }
    made->tempLink = nullptr;
    UndoPutObjectList(&cursor, 1, made, kUndoEntryCreated);
    UndoPutEntryHead(&cursor, kUndoEntryMergeText, HiddenStatePairBytes(count));
    for (int32_t i = 0; i < count; ++i) PutHiddenStatePair(&cursor, objects[i], objects[i]->hidden);
    UndoRecordCommit(record, false);
    // The merged text shows the values in place of their own displays.
    if (form == kNotATemplate) {
        for (int32_t i = 0; i < count; ++i)
            if (HasValue(objects[i])) ChangeObjectHidden(objects[i], kHiddenAsConsumed, false);
    }
    FreeMemory(objects);
    DeselectAll();
    SelectSketchObject(made);
    return true;
}

bool MergeToPoint() {
    int32_t count = 0;
    SketchObject** objects = SelectedObjects(&count);
    if (!objects) return false;
    SketchObject* made = nullptr;
    if (count == 2) {
        const bool firstIsPoint = KindIsA(objects[0]->objectKind, kKindPoint);
        SketchObject* point = firstIsPoint ? objects[0] : objects[1];
        SketchObject* shown = firstIsPoint ? objects[1] : objects[0];
        if (KindIsA(point->objectKind, kKindPoint)) made = MakePeggedText(shown, point);
    }
    FreeMemory(objects);
    return made != nullptr;
}

}  // namespace

ResultCode MergeTextCommand(int32_t toPoint) {
    if (!CurrentSketch()) return kResultOK;
    if (!(toPoint ? MergeToPoint() : MergeSelection())) RefusalBeep();
    return kResultOK;
}

SketchObject* MakePeggedText(SketchObject* shown, SketchObject* point) {
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    LayoutNode* reference = row ? CreateReferenceNode(2, 0) : nullptr;
    if (!reference) {
        if (row) FreeLayoutNode(row);
        return nullptr;
    }
    AppendLayoutChild(row, reference);
    const CaptionData* d = CaptionDataOf(shown);
    const TextStyle style = d ? d->style : shown->textStyle;
    ScreenPoint at{};
    DefaultObjectPosition(&at, kClassCaption);
    SketchObject* const parents[2] = { point, shown };
    SketchObject* made = ConstructText(kTypePeggedText, row, style, at, parents, 2);
    if (!made) return nullptr;
    DeselectAll();
    RecomputeAndRedrawObject(made);
    made = RecordNewObjectUndo(made, true, kConstructedNew);
    if (made) SelectSketchObject(made);
    return made;
}

ResultCode SplitTextCommand(int32_t) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    SketchObject* text = nullptr;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected)
        if (IsMergedOrPeggedText(o)) text = o;  // the oldest selected
    if (!text) {
        RefusalBeep();
        return kResultOK;
    }
    if (HasOwnText(text) && !AskQuestionByCode(kAskSplitTemplate, false, 0)) return kResultOK;
    if (!SplitText(text)) RefusalBeep();
    return kResultOK;
}

void SplitTextFromClick(SketchObject* object) {
    if (!IsMergedOrPeggedText(object)) return;
    const ResultCode question = object->constructionType == kTypePeggedText ? kAskSplitPeggedText
                                : HasOwnText(object)                        ? kAskSplitTemplateFromClick
                                                                            : kAskSplitMergedText;
    if (!AskQuestionByCode(question, false, 0)) return;
    if (!SplitText(object)) RefusalBeep();
}

bool SplitText(SketchObject* object) {
    if (!IsMergedOrPeggedText(object)) return false;
    int32_t count = 0;
    PtrListSize(object->parents, &count);
    int32_t dependents = 0;
    PtrListSize(object->children, &dependents);
    // A text that others show or that is hidden stays, hidden, for them. It is hidden
    // through a pair of its own, so that undo gives it back the state it had (a text
    // merged into another is hidden as consumed, and must not show after an undo).
    const bool keep = dependents > 0 || object->hidden != kShown;
    const int32_t pairs = count + (keep ? 1 : 0);
    const UndoDescriptor name = { kUndoNameSplitText, kUndoNounNone, 0, nullptr };
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(&name, keep ? 1 : 2,
                                          HiddenStatePairBytes(pairs) + (keep ? 0 : UndoObjectListBytes(1)), &cursor);
    if (!record) return false;
    UndoPutEntryHead(&cursor, kUndoEntrySplitText, HiddenStatePairBytes(pairs));
    for (int32_t i = 0; i < count; ++i)
        PutHiddenStatePair(&cursor, static_cast<SketchObject*>(PtrListItem(object->parents, i)), kShown);
    if (keep) {
        PutHiddenStatePair(&cursor, object, kHiddenByUser);
    } else {
        object->tempLink = nullptr;
        UndoPutObjectList(&cursor, 1, object, kUndoEntryDeleted);
    }
    return UndoRecordCommit(record, true) == kResultOK;
}

bool RecordCaptionEditUndo(SketchObject* object, LayoutNode* tree) {
    const UndoDescriptor name = { kUndoNameEditCaption, kUndoNounNone, 0, nullptr };
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(&name, 1, kCaptionEditEntryBytes, &cursor);
    if (!record) {
        FreeLayoutNode(tree);
        return false;
    }
    UndoPutEntryHead(&cursor, kUndoEntryCaptionEdit, kCaptionEditEntryBytes);
    std::memcpy(cursor, &object, kPointerBytes);
    std::memcpy(cursor + kPointerBytes, &tree, kPointerBytes);
    if (SwapCaptionLayout(cursor, kCaptionEditEntryBytes) != kResultOK) {
        UndoRecordDiscard(record);
        FreeLayoutNode(tree);
        return false;
    }
    UndoRecordCommit(record, false);
    return true;
}

// ---- undo entries

uint32_t HiddenStatePairBytes(int32_t count) { return uint32_t(count) * kPairBytes; }

void PutHiddenStatePair(uint8_t** cursor, SketchObject* object, int32_t state) {
    std::memcpy(*cursor, &object, kPointerBytes);
    std::memcpy(*cursor + kPointerBytes, &state, 4);
    *cursor += kPairBytes;
}

ResultCode ReplayHiddenStates(uint8_t* pairs, uint32_t size) {
    for (uint32_t at = 0; at + kPairBytes <= size; at += kPairBytes) {
        SketchObject* o;
        int32_t state;
        std::memcpy(&o, pairs + at, kPointerBytes);
        std::memcpy(&state, pairs + at + kPointerBytes, 4);
        if (!o || state == o->hidden) continue;
        const int32_t previous = o->hidden;
        ChangeObjectHidden(o, state, false);
        std::memcpy(pairs + at + kPointerBytes, &previous, 4);
    }
    for (uint32_t at = 0; at + kPairBytes <= size; at += kPairBytes) {
        SketchObject* o;
        std::memcpy(&o, pairs + at, kPointerBytes);
        if (o && o->exists == 1 && o->hidden == kShown && IsLinkedIntoSketch(o) && !IsSelected(o))
            SelectSketchObject(o);
    }
    return kResultOK;
}

ResultCode SwapCaptionLayout(uint8_t* entry, uint32_t size) {
    if (size < kCaptionEditEntryBytes) return kResultOK;
    SketchObject* object;
    LayoutNode* held;
    std::memcpy(&object, entry, kPointerBytes);
    std::memcpy(&held, entry + kPointerBytes, kPointerBytes);
    CaptionData* d = object ? CaptionDataOf(object) : nullptr;
    if (!d || !held) return kResultOK;
    LayoutNode* old = d->layout;
    d->layout = held;
    if (IsMergedOrPeggedText(object)) {
        // The records point into the tree: they follow it, or the old tree stays.
        if (!AllocCaptionSlots(object)) {
            d->layout = old;
            AllocCaptionSlots(object);
            return kResultOutOfMemory;
        }
    } else {
        ClearValueSlots(object);
    }
    std::memcpy(entry + kPointerBytes, &old, kPointerBytes);
    MarkLayoutSubtreeDirty(d->layout);
    RelayoutObjectText(object, true);
    SketchObject* head = object;
    object->tempLink = nullptr;
    CollectDependents(&head, true);
    RecomputeObjects(head, true, nullptr);
    // The edited object stays selected across undo and redo.
    if (object->exists == 1 && object->hidden == kShown && IsLinkedIntoSketch(object) && !IsSelected(object))
        SelectSketchObject(object);
    return kResultOK;
}

void FreeHeldLayout(uint8_t* entry, uint32_t size) {
    if (size < kCaptionEditEntryBytes) return;
    LayoutNode* held;
    std::memcpy(&held, entry + kPointerBytes, kPointerBytes);
    if (held) FreeLayoutNode(held);
    held = nullptr;
    std::memcpy(entry + kPointerBytes, &held, kPointerBytes);
}
