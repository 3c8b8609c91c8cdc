#include "engine/interact/expression_edit.h"
#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/interact/undo.h"

#include <cstring>

#include "engine/calc/standin_engine.h"
#include "engine/core/services/later_release.h"
#include "engine/core/drag_analysis.h"
#include "engine/core/memory.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/later_release.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/motions.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/services/user_interface.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/docio/record_codecs.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/locus_commands.h"
#include "engine/interact/graph_commands.h"
#include "engine/interact/merge_split.h"
#include "engine/interact/neighbour_services.h"
#include "engine/interact/picture_commands.h"
#include "engine/text/caret_codes.h"
#include "engine/text/merged_texts.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"
#include "engine/text/layout_edit_session.h"

namespace {

constexpr uint32_t kHeadBytes = 4;
constexpr uint32_t kPointerBytes = sizeof(void*);
// Header payload: newer, older, then the u16 name index and the i16 noun index.
constexpr uint32_t kHeaderPayload = 2 * kPointerBytes + 4;
constexpr uint32_t kNameIndexOffset = kHeadBytes + 2 * kPointerBytes;
constexpr uint16_t kHiddenNameBit = 0x8000;
constexpr uint32_t kMaxNameChars = 255;
constexpr uint32_t kUndoAllStepMs = 50;
// Undo and Redo keep animations and caption editing running.
constexpr uint32_t kKeepActivities = kActivityAnimating | kActivityPaused | kActivityCaptionEditing;
constexpr int32_t kUndoAllFlag = 0x200;
constexpr int32_t kUndoMenuText = 50;
constexpr int32_t kHiddenNameItem = 0;
constexpr int32_t kCommandGroupModified = 4;
constexpr int32_t kCommandGroupUndo = 6;
constexpr int32_t kMarksShown = 2;
constexpr int32_t kMarksHidden = 1;
constexpr int32_t kMarksRestored = 3;

// A saved position that no record can equal: the record saved was freed, so the
// document stays modified until it is saved again.
uint8_t gSavedRecordFreed;
UndoRecord* const kSavedRecordGone = reinterpret_cast<UndoRecord*>(&gSavedRecordFreed);

uint8_t* Bytes(const UndoRecord* record) { return reinterpret_cast<uint8_t*>(const_cast<UndoRecord*>(record)); }

uint32_t Head(const uint8_t* at) {
    uint32_t head;
    std::memcpy(&head, at, 4);
    return head;
}

UndoEntry EntryAt(uint8_t* at) {
    const uint32_t head = Head(at);
    const uint32_t length = head & 0xffffffu;
    return { static_cast<int32_t>(head >> 24), at + kHeadBytes, length, at + kHeadBytes + length };
}

UndoRecord* Link(const UndoRecord* record, uint32_t index) {
    UndoRecord* link;
    std::memcpy(&link, Bytes(record) + kHeadBytes + index * kPointerBytes, kPointerBytes);
    return link;
}

void SetLink(UndoRecord* record, uint32_t index, UndoRecord* link) {
    std::memcpy(Bytes(record) + kHeadBytes + index * kPointerBytes, &link, kPointerBytes);
}

constexpr uint32_t kNewer = 0;
constexpr uint32_t kOlder = 1;

// The first entry after the header and the name.
uint8_t* FirstEntry(const UndoRecord* record) {
    uint8_t* at = Bytes(record) + kHeadBytes + kHeaderPayload;
    const UndoEntry e = EntryAt(at);
    return e.type == kUndoEntryName ? e.next : at;
}

bool IsTrailing(int32_t type) { return type >= kUndoEntryStateBlocks && type <= kUndoEntryRebindTail; }

SketchObject* ListItem(const UndoEntry& e, int32_t i) {
    SketchObject* o;
    std::memcpy(&o, e.payload + size_t(i) * kPointerBytes, kPointerBytes);
    return o;
}
int32_t ListCount(const UndoEntry& e) { return static_cast<int32_t>(e.length / kPointerBytes); }

bool Shows(const SketchObject* o) { return o->exists == 1 && o->hidden == kShown; }

void SelectIfShown(SketchObject* o) {
    if (Shows(o) && IsLinkedIntoSketch(o) && !IsSelected(o)) SelectSketchObject(o);
}

int16_t NounOfKind(int32_t kind, bool several) {
    if (kind <= kKindNone) kind = 1;  // "Object"
    return static_cast<int16_t>(3 * kind - (several ? 2 : 3));
}

int16_t NounFromSelection() {
    const Sketch* sketch = CurrentSketch();
    int32_t kind = kKindNone;
    int32_t count = 0;
    for (SketchObject* o = sketch ? sketch->selectionHead : nullptr; o; o = o->nextSelected, ++count)
        kind = count == 0 ? o->objectKind : CommonKind(kind, o->objectKind);
    return NounOfKind(kind, count > 1);
}

void InvalidateUndoCommands() {
    if (gEngine.currentIsFront) CmdStateInvalidate(kCommandGroupUndo);
}

// ---- entry handlers

ResultCode RemoveListed(const UndoEntry& e, int32_t marksCode, bool selectParents) {
    const int32_t n = ListCount(e);
    for (int32_t i = 0; i < n; ++i) UndoRemoveObject(ListItem(e, i), marksCode);
    if (!selectParents) return kResultOK;
    for (int32_t i = 0; i < n; ++i) {
        SketchObject* o = ListItem(e, i);
        int32_t count = 0;
        void** parents = PtrListItems(o->parents, &count);
        for (int32_t p = 0; p < count; ++p) {
            SketchObject* parent = static_cast<SketchObject*>(parents[p]);
            if (parent->objectClass != kClassCoordinateSystem) SelectIfShown(parent);
        }
    }
    return kResultOK;
}

// Last to first, so that every object finds its parents back in the sketch; a failure
// takes out again what this entry put back.
ResultCode RestoreListed(const UndoEntry& e) {
    const int32_t n = ListCount(e);
    for (int32_t i = n - 1; i >= 0; --i) {
        if (UndoRestoreObject(ListItem(e, i)) != kResultOK) {
            for (int32_t j = i + 1; j < n; ++j) UndoRemoveObject(ListItem(e, j), kMarksHidden);
            return kResultOutOfMemory;
        }
    }
    for (int32_t i = 0; i < n; ++i) {
        SketchObject* o = ListItem(e, i);
        if (o->objectClass != kClassCoordinateSystem) SelectIfShown(o);
    }
    return kResultOK;
}

ResultCode CreatedUndo(const UndoEntry& e, int32_t) { return RemoveListed(e, kMarksShown, true); }
ResultCode CreatedRedo(const UndoEntry& e, int32_t) { return RestoreListed(e); }
ResultCode DeletedUndo(const UndoEntry& e, int32_t) { return RestoreListed(e); }
ResultCode DeletedRedo(const UndoEntry& e, int32_t) { return RemoveListed(e, kMarksHidden, false); }

void FreeListed(const UndoEntry& e) {
    // Dependants come first, so no object is freed before one that names it as parent.
    for (int32_t i = 0; i < ListCount(e); ++i) DestroyObject(ListItem(e, i), false, true);
}

ResultCode ShowListed(const UndoEntry& e, bool select) {
    for (int32_t i = 0; i < ListCount(e); ++i) {
        SketchObject* o = ListItem(e, i);
        ChangeObjectHidden(o, kShown, false);
        if (select && o->exists == 1) SelectIfShown(o);
    }
    return kResultOK;
}
ResultCode HideListed(const UndoEntry& e) {
    for (int32_t i = 0; i < ListCount(e); ++i) ChangeObjectHidden(ListItem(e, i), kHiddenByUser, false);
    return kResultOK;
}
ResultCode HiddenUndo(const UndoEntry& e, int32_t) { return ShowListed(e, true); }
ResultCode HiddenRedo(const UndoEntry& e, int32_t) { return HideListed(e); }
ResultCode ShownUndo(const UndoEntry& e, int32_t) { return HideListed(e); }
ResultCode ShownRedo(const UndoEntry& e, int32_t) { return ShowListed(e, true); }

ResultCode SelectListed(const UndoEntry& e, int32_t) {
    for (int32_t i = 0; i < ListCount(e); ++i) SelectIfShown(ListItem(e, i));
    return kResultOK;
}
ResultCode PasteUndo(const UndoEntry& e, int32_t direction) {
    DeselectAll();
    return SelectListed(e, direction);
}
ResultCode Nothing(const UndoEntry&, int32_t) { return kResultOK; }

// Entries 5 and 8 (text merge and split) and 15 (caption edit) belong to the merged-text
// code; their payloads are its own.
ResultCode HiddenStatesEntry(const UndoEntry& e, int32_t) { return ReplayHiddenStates(e.payload, e.length); }
ResultCode CaptionEditEntry(const UndoEntry& e, int32_t) { return SwapCaptionLayout(e.payload, e.length); }
void ReleaseCaptionEdit(const UndoEntry& e) { FreeHeldLayout(e.payload, e.length); }

// Entries 18 and 20: the listed objects exchange their state with the saved one; the
// same in both directions, so applying it twice restores the sketch. What needs memory
// is taken first, so that a failure changes nothing.
ResultCode ExchangeStates(const UndoEntry& e, int32_t) {
    const int32_t n = ListCount(e);
    if (n == 0) return kResultOK;
    for (int32_t i = 0; i < n; ++i) ListItem(e, i)->tempLink = i + 1 < n ? ListItem(e, i + 1) : nullptr;
    ObjectFlagsEntry* affected = nullptr;
    if (!CollectAffectedObjects(ListItem(e, 0), &affected)) return kResultOutOfMemory;
    UndoEntry blocks = {};
    for (UndoEntry t = EntryAt(e.next); IsTrailing(t.type); t = EntryAt(t.next)) {
        if (t.type == kUndoEntryStateBlocks) blocks = t;
        // Each 22 holds an object and its saved construction-data words.
        if (t.type == kUndoEntryConstructionData && t.length >= kPointerBytes) {
            SketchObject* o;
            std::memcpy(&o, t.payload, kPointerBytes);
            NotifyMotionsObjectChanged(o, 1, 0);
            int32_t count = 0;
            void** words = PtrListItems(o->constructionData, &count);
            const uint32_t saved = (t.length - kPointerBytes) / kPointerBytes;
            for (uint32_t w = 0; w < saved && int32_t(w) < count; ++w) {
                uint8_t* slot = t.payload + kPointerBytes * (w + 1);
                void* kept;
                std::memcpy(&kept, slot, kPointerBytes);
                std::memcpy(slot, &words[w], kPointerBytes);
                words[w] = kept;
            }
        }
        // Each 23 holds pairs of a parameter and its saved value, ended by a null pointer.
        if (t.type == kUndoEntryParameterValues) {
            constexpr uint32_t kItem = kPointerBytes + sizeof(double);
            for (uint32_t at = 0; at + kItem <= t.length; at += kItem) {
                SketchObject* o;
                std::memcpy(&o, t.payload + at, kPointerBytes);
                if (!o) break;
                double saved;
                std::memcpy(&saved, t.payload + at + kPointerBytes, sizeof saved);
                const double now = CalculationValue(o);
                if (IsParameterForm(o) && SetParameterValue(o, saved, false))
                    std::memcpy(t.payload + at + kPointerBytes, &now, sizeof now);
            }
        }
    }
    // Each state block is laid out as its object is, so that the class's geometry codec
    // exchanges field for field.
    uint8_t* block = blocks.payload;
    const uint8_t* end = blocks.payload ? blocks.payload + blocks.length : nullptr;
    for (int32_t i = 0; i < n; ++i) {
        SketchObject* o = ListItem(e, i);
        const ObjectClassRecord& row = ObjectClassTable[o->objectClass];
        NotifyMotionsObjectChanged(o, 1, 0);
        AddObjectToDirtyRect(o);
        if (block && row.transferGeometry && block + row.objectSize <= end) {
            SwapCodecFields(row.transferGeometry, o, block);
            block += row.objectSize;
        }
        if (o->objectClass == kClassPoint && (ConstructionTypeTable[o->constructionType].flags & kTypeValuePositioned)) {
            const RealPoint p = PointPosition(o);
            SetPointPosition(o, p.x, p.y, o->exists, nullptr, true);
        }
        if (row.textFamily >= 1 && row.textFamily <= 4) RelayoutObjectText(o, false);
    }
    ScreenRect rect = kEmptyScreenRect;
    RecomputeListedObjects(affected, &rect, false);
    FreeMemory(affected);
    return kResultOK;
}

}  // namespace

const UndoEntryTypeRecord UndoEntryTypeTable[31] = {
    //  undo            redo            release, undo side   release, redo side
    { nullptr,        nullptr,        nullptr,             nullptr },    //  0
    { CreatedUndo,    CreatedRedo,    nullptr,             FreeListed }, //  1 construct
    { DeletedUndo,    DeletedRedo,    FreeListed,          nullptr },    //  2 delete
    { ApplyRebindUndo, ApplyRebindUndo, ReleaseReverseUndo, nullptr },  //  3 merge points
    { ApplyPointOnPathUndo, ApplyPointOnPathUndo, nullptr,  nullptr },    //  4 merge to path
    { HiddenStatesEntry, HiddenStatesEntry, nullptr,       nullptr },    //  5 merge text
    { ApplyMergeUndo, ApplyMergeUndo, nullptr,             ReleaseSplitUndoObjects }, //  6 split point
    { ApplySplitUndo, ApplySplitUndo, ReleaseMergeUndoLists, ReleaseMergeUndoLists }, //  7 split from
    { HiddenStatesEntry, HiddenStatesEntry, nullptr,       nullptr },    //  8 split text
    { HiddenUndo,     HiddenRedo,     nullptr,             nullptr },    //  9 hide
    { ShownUndo,      ShownRedo,      nullptr,             nullptr },    // 10 show
    { RestoreLocusRange, RestoreLocusRange, nullptr,       nullptr },    // 11 locus range
    { SwapCoordSystemUndo, SwapCoordSystemUndo, nullptr,  nullptr },    // 12 polar grid
    { SwapCoordSystemUndo, SwapCoordSystemUndo, nullptr,  nullptr },    // 13 square grid
    { SwapCoordSystemUndo, SwapCoordSystemUndo, nullptr,  nullptr },    // 14 rectangular grid
    { CaptionEditEntry, CaptionEditEntry, ReleaseCaptionEdit, ReleaseCaptionEdit }, // 15 caption edit
    { SwapExpressionUndo, SwapExpressionUndo, FreeExpressionUndoRecord, FreeExpressionUndoRecord },  // 16 expression edit
    { SwapPlottedPointUndo, SwapPlottedPointUndo, nullptr, nullptr },  // 17 plotted point
    { ExchangeStates, ExchangeStates, nullptr,             nullptr },    // 18 rescale
    { ApplyPictureResizeUndo, ApplyPictureResizeUndo, nullptr, nullptr }, // 19 picture resize
    { ExchangeStates, ExchangeStates, nullptr,             nullptr },    // 20 animate
    { nullptr,        nullptr,        nullptr,             nullptr },    // 21 read by 18, 20
    { nullptr,        nullptr,        nullptr,             nullptr },    // 22 read by 18, 20
    { nullptr,        nullptr,        nullptr,             nullptr },    // 23 read by 18, 20
    { ApplyNewParentsUndo, ApplyNewParentsUndo, ReleaseRebindUndo, ReleaseRebindUndo }, // 24 merged children's parents
    { SelectListed,   SelectListed,   nullptr,             nullptr },    // 25 identity
    { PasteUndo,      Nothing,        nullptr,             nullptr },    // 26 paste, selection
    { ApplyReverseUndo, ApplyReverseUndo, nullptr,         nullptr },    // 27 reversal
    { nullptr,        nullptr,        nullptr,             nullptr },    // 28 terminator
    { nullptr,        nullptr,        nullptr,             nullptr },    // 29 header
    { nullptr,        nullptr,        nullptr,             nullptr },    // 30 name
};

namespace {

// The handler of an entry in a direction: the shared table's row, or for the later
// release's own types past it, its form (none in figmantle, so such an entry does nothing).
UndoEntryHandler HandlerOf(int32_t type, int32_t direction) {
    if (type > kUndoEntryName) return LaterForms().caption.replayUndoEntry;
    const UndoEntryTypeRecord& row = UndoEntryTypeTable[type];
    return direction == kUndoDirectionUndo ? row.undo : row.redo;
}

}  // namespace

// ---- reading records

uint16_t UndoRecordNameIndex(const UndoRecord* record) {
    uint16_t v;
    std::memcpy(&v, Bytes(record) + kNameIndexOffset, 2);
    return v;
}

int16_t UndoRecordNounIndex(const UndoRecord* record) {
    int16_t v;
    std::memcpy(&v, Bytes(record) + kNameIndexOffset + 2, 2);
    return v;
}

const char* UndoRecordNameText(const UndoRecord* record) {
    const UndoEntry e = EntryAt(Bytes(record) + kHeadBytes + kHeaderPayload);
    return e.type == kUndoEntryName ? reinterpret_cast<const char*>(e.payload) : nullptr;
}

UndoRecord* UndoRecordOlder(const UndoRecord* record) { return Link(record, kOlder); }
UndoRecord* UndoRecordNewer(const UndoRecord* record) { return Link(record, kNewer); }

uint32_t UndoRecordSize(const UndoRecord* record) {
    uint8_t* at = FirstEntry(record);
    for (UndoEntry e = EntryAt(at); e.type != kUndoEntryTerminator; e = EntryAt(e.next)) at = e.next;
    return static_cast<uint32_t>(at + kHeadBytes - Bytes(record));
}

bool UndoRecordEntry(const UndoRecord* record, int32_t index, UndoEntry* entry) {
    UndoEntry e = EntryAt(FirstEntry(record));
    for (int32_t i = 0; e.type != kUndoEntryTerminator; ++i, e = EntryAt(e.next)) {
        if (i == index) {
            *entry = e;
            return true;
        }
    }
    return false;
}

int32_t UndoObjectListCount(const UndoEntry& entry) { return ListCount(entry); }
SketchObject* UndoObjectListItem(const UndoEntry& entry, int32_t index) { return ListItem(entry, index); }

// ---- making records

uint32_t UndoObjectListBytes(int32_t count) { return static_cast<uint32_t>(count) * kPointerBytes; }

UndoRecord* UndoRecordCreate(const UndoDescriptor* d, int32_t entryCount, uint32_t payloadBytes, uint8_t** cursor) {
    uint32_t nameBytes = 0;
    if (d->nameText) {
        const size_t n = std::strlen(d->nameText);
        nameBytes = static_cast<uint32_t>(n < kMaxNameChars ? n : kMaxNameChars) + 1;
    }
    const uint32_t size = kHeadBytes + kHeaderPayload + (nameBytes ? kHeadBytes + nameBytes : 0) +
                          kHeadBytes * static_cast<uint32_t>(entryCount) + payloadBytes + kHeadBytes;
    uint8_t* block = static_cast<uint8_t*>(AllocMemory(size, kAllocZero));
    if (!block) return nullptr;
    uint8_t* at = block;
    UndoPutEntryHead(&at, kUndoEntryHeader, kHeaderPayload);
    at += 2 * kPointerBytes;  // no neighbours yet
    const uint16_t name = d->nameText ? 0 : static_cast<uint16_t>(d->nameIndex | (d->hidden ? kHiddenNameBit : 0));
    const int16_t noun = d->nounIndex == kUndoNounWorkedOut ? NounFromSelection() : d->nounIndex;
    std::memcpy(at, &name, 2);
    std::memcpy(at + 2, &noun, 2);
    at += 4;
    if (nameBytes) {
        UndoPutEntryHead(&at, kUndoEntryName, nameBytes);
        std::memcpy(at, d->nameText, nameBytes - 1);
        at += nameBytes;
    }
    uint8_t* end = block + size - kHeadBytes;
    UndoPutEntryHead(&end, kUndoEntryTerminator, 0);
    *cursor = at;
    return reinterpret_cast<UndoRecord*>(block);
}

void UndoPutEntryHead(uint8_t** cursor, int32_t type, uint32_t length) {
    const uint32_t head = (static_cast<uint32_t>(type) << 24) | (length & 0xffffffu);
    std::memcpy(*cursor, &head, 4);
    *cursor += 4;
}

void UndoPutObjectList(uint8_t** cursor, int32_t count, SketchObject* first, int32_t type) {
    UndoPutEntryHead(cursor, type, UndoObjectListBytes(count));
    SketchObject* o = first;
    for (int32_t i = 0; i < count; ++i, o = o->tempLink) {
        std::memcpy(*cursor, &o, kPointerBytes);
        *cursor += kPointerBytes;
    }
}

void UndoRecordDiscard(UndoRecord* record) { FreeMemory(record); }

ResultCode UndoRecordCommit(UndoRecord* record, bool doNow) {
    Sketch* sketch = CurrentSketch();
    UndoDropRedo(nullptr);
    SetLink(record, kOlder, sketch->undoPosition);
    SetLink(record, kNewer, nullptr);
    if (sketch->undoPosition) SetLink(sketch->undoPosition, kNewer, record);
    ResultCode rc = kResultOK;
    if (doNow) {
        sketch->redoPosition = record;
        rc = UndoReplay(kUndoDirectionRedo);
    } else {
        UndoSetPosition(record);
    }
    InvalidateUndoCommands();
    return rc;
}

ResultCode UndoRecordObjectList(const UndoDescriptor* descriptor, SketchObject* first, bool doNow) {
    int32_t count = 0;
    int32_t kind = kKindNone;
    for (SketchObject* o = first; o; o = o->tempLink, ++count)
        kind = count == 0 ? o->objectKind : CommonKind(kind, o->objectKind);
    UndoDescriptor d = *descriptor;
    if (d.nounIndex == kUndoNounWorkedOut) d.nounIndex = NounOfKind(kind, count > 1);
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(&d, 1, UndoObjectListBytes(count), &cursor);
    if (!record) return kResultOutOfMemory;
    UndoPutObjectList(&cursor, count, first, d.nameIndex);
    return UndoRecordCommit(record, doNow);
}

ResultCode UndoRecordOneObject(const UndoDescriptor* descriptor, SketchObject* object, bool doNow) {
    object->tempLink = nullptr;
    return UndoRecordObjectList(descriptor, object, doNow);
}

// ---- positions and replay

void UndoSetPosition(UndoRecord* record) {
    Sketch* sketch = CurrentSketch();
    UndoRecord* old = sketch->undoPosition;
    sketch->undoPosition = record;
    if (old == sketch->savedPosition || record == sketch->savedPosition) CmdStateInvalidate(kCommandGroupModified);
}

ResultCode UndoReplay(int32_t direction) {
    Sketch* sketch = CurrentSketch();
    DeselectAll();
    UndoRecord* record = direction == kUndoDirectionUndo ? sketch->undoPosition : sketch->redoPosition;
    if (!record) return kResultNothingToUndo;
    ResultCode rc = kResultOK;
    int32_t applied = 0;
    for (UndoEntry e = EntryAt(FirstEntry(record)); e.type != kUndoEntryTerminator; e = EntryAt(e.next)) {
        const UndoEntryHandler handler = HandlerOf(e.type, direction);
        if (!handler) continue;
        rc = handler(e, direction);
        if (rc != kResultOK) break;
        ++applied;
    }
    if (rc != kResultOK) {
        // Take back, newest first, what this replay applied, so that the record can be
        // replayed again from the same positions.
        const int32_t back = 1 - direction;
        for (int32_t k = applied - 1; k >= 0; --k) {
            int32_t seen = 0;
            for (UndoEntry e = EntryAt(FirstEntry(record)); e.type != kUndoEntryTerminator; e = EntryAt(e.next)) {
                if (!HandlerOf(e.type, direction)) continue;
                if (seen++ == k) {
                    if (const UndoEntryHandler reverse = HandlerOf(e.type, back)) reverse(e, back);
                    break;
                }
            }
        }
        DeselectAll();
    }
    InvalidateUndoCommands();
    if (rc != kResultOK) return rc;
    if (direction == kUndoDirectionUndo) {
        sketch->redoPosition = record;
        UndoSetPosition(UndoRecordOlder(record));
    } else {
        UndoSetPosition(record);
        sketch->redoPosition = UndoRecordNewer(record);
    }
    return kResultOK;
}

namespace {

void FreeRecord(Sketch* sketch, UndoRecord* record, bool redoSide, uint32_t* freed) {
    for (UndoEntry e = EntryAt(FirstEntry(record)); e.type != kUndoEntryTerminator; e = EntryAt(e.next)) {
        if (e.type > kUndoEntryName) {
            if (auto form = LaterForms().caption.releaseUndoEntry) form(e);
            continue;
        }
        const UndoEntryTypeRecord& row = UndoEntryTypeTable[e.type];
        const UndoEntryRelease release = redoSide ? row.releaseRedoSide : row.releaseUndoSide;
        if (release) release(e);
    }
    if (freed) *freed += UndoRecordSize(record);
    if (sketch->savedPosition == record) sketch->savedPosition = kSavedRecordGone;
    FreeMemory(record);
}

}  // namespace

void UndoDropRedo(uint32_t* freed) {
    Sketch* sketch = CurrentSketch();
    UndoRecord* record = sketch->redoPosition;
    if (!record) return;
    // Free newest first: a newer record may name objects an older one owns.
    UndoRecord* newest = record;
    while (UndoRecordNewer(newest)) newest = UndoRecordNewer(newest);
    for (UndoRecord* r = newest; r;) {
        UndoRecord* older = r == record ? nullptr : UndoRecordOlder(r);
        FreeRecord(sketch, r, true, freed);
        r = older;
    }
    sketch->redoPosition = nullptr;
    if (sketch->undoPosition) SetLink(sketch->undoPosition, kNewer, nullptr);
}

uint32_t UndoTrimHistory(Sketch* sketch, uint32_t bytesWanted) {
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    uint32_t freed = 0;
    if (bytesWanted == 0) UndoDropRedo(&freed);
    // Records in effect, oldest first.
    UndoRecord* oldest = sketch->undoPosition;
    while (oldest && UndoRecordOlder(oldest)) oldest = UndoRecordOlder(oldest);
    while (oldest && (bytesWanted == 0 || freed < bytesWanted)) {
        UndoRecord* newer = UndoRecordNewer(oldest);
        const bool last = oldest == sketch->undoPosition;
        if (newer) SetLink(newer, kOlder, nullptr);
        FreeRecord(sketch, oldest, false, &freed);
        if (last) {
            sketch->undoPosition = nullptr;
            break;
        }
        oldest = newer;
    }
    // Then undone records, newest first.
    while (sketch->redoPosition && freed < bytesWanted) {
        UndoRecord* newest = sketch->redoPosition;
        while (UndoRecordNewer(newest)) newest = UndoRecordNewer(newest);
        UndoRecord* older = UndoRecordOlder(newest);
        if (newest == sketch->redoPosition) sketch->redoPosition = nullptr;
        if (older) SetLink(older, kNewer, nullptr);
        FreeRecord(sketch, newest, true, &freed);
    }
    if (!sketch->redoPosition && sketch->undoPosition) SetLink(sketch->undoPosition, kNewer, nullptr);
    if (sketch->redoPosition && !sketch->undoPosition) SetLink(sketch->redoPosition, kOlder, nullptr);
    SetCurrentSketch(previous, nullptr);
    return freed;
}

// ---- objects

void UndoRemoveObject(SketchObject* object, int32_t marksCode) {
    // Dependants made after the record are gone for good with it.
    int32_t count = 0;
    while (PtrListSize(object->children, &count), count > 0) {
        SketchObject* child = static_cast<SketchObject*>(PtrListItem(object->children, 0));
        UndoRemoveObject(child, marksCode);
        DestroyObject(child, false, true);
    }
    if (IsSelected(object)) DeselectSketchObject(object);
    AddObjectToDirtyRect(object);
    UnlinkFromParents(object);
    UnlinkObjectFromSketch(object);
    UpdateMarksOnObjectChange(object, marksCode);
}

ResultCode UndoRestoreObject(SketchObject* object) {
    LinkObjectIntoSketch(object, kNotLinked);
    object->nextSelected = kNotLinked;
    object->tempLink = nullptr;
    if (!SetObjectParents(object, object->parents)) {
        UnlinkFromParents(object);
        UnlinkObjectFromSketch(object);
        return kResultOutOfMemory;
    }
    if (ObjectClassTable[object->objectClass].textEditOps) RelayoutObjectText(object, false);
    // A name made from the parents is made again: they may have been renamed meanwhile.
    const int32_t level = object->label.level;
    if (level == kLabelFromParents || level == kLabelDerived) {
        object->label.level = kLabelNone;
        GenerateObjectLabel(object, kLabelFromParents, nullptr, true, false);
        object->label.level = level;
    }
    AddObjectToDirtyRect(object);
    UpdateMarksOnObjectChange(object, kMarksRestored);
    return kResultOK;
}

void CollectDeletionSet(SketchObject* object, SketchObject** head, SketchObject** tail) {
    int32_t count = 0;
    while (PtrListSize(object->children, &count), count > 0)
        CollectDeletionSet(static_cast<SketchObject*>(PtrListItem(object->children, 0)), head, tail);
    if (!IsLinkedIntoSketch(object)) return;
    UndoRemoveObject(object, kMarksHidden);
    if (*tail) (*tail)->tempLink = object;
    else *head = object;
    *tail = object;
    const auto orphan = [](SketchObject* p) {
        int32_t n = 0;
        PtrListSize(p->children, &n);
        return IsLinkedIntoSketch(p) && n == 0;
    };
    int32_t parents = 0;
    PtrListSize(object->parents, &parents);
    SketchObject* first = parents > 0 ? static_cast<SketchObject*>(PtrListItem(object->parents, 0)) : nullptr;
    SketchObject* second = parents > 1 ? static_cast<SketchObject*>(PtrListItem(object->parents, 1)) : nullptr;
    switch ((ConstructionTypeTable[object->constructionType].flags & kTypeDeletionRuleMask) >> 15) {
    case 1:
        for (int32_t i = 0; i < parents; ++i) {
            SketchObject* p = static_cast<SketchObject*>(PtrListItem(object->parents, i));
            if (IsLinkedIntoSketch(p)) CollectDeletionSet(p, head, tail);
        }
        break;
    case 2:
        if (first && orphan(first)) CollectDeletionSet(first, head, tail);
        break;
    case 3:
        if (second && orphan(second)) CollectDeletionSet(second, head, tail);
        break;
    case 4:
        if (first && orphan(first)) CollectDeletionSet(first, head, tail);
        if (second && IsLinkedIntoSketch(second)) CollectDeletionSet(second, head, tail);
        break;
    default: break;
    }
}

// ---- menu text and the command

void BuildUndoMenuText(char* text, int32_t textIndex) {
    if (auto form = LaterForms().engine.undoMenuText) return form(text, textIndex);
    const Sketch* sketch = CurrentSketch();
    const UndoRecord* record = !sketch ? nullptr : textIndex == kUndoMenuText ? sketch->undoPosition : sketch->redoPosition;
    std::strncpy(text, GroupText(kGroupMenuItems, textIndex), 255);
    text[255] = '\0';
    const char* name = "";
    const char* hidden = "";
    const char* noun = "";
    if (record) {
        const uint16_t index = UndoRecordNameIndex(record);
        const int16_t nounIndex = UndoRecordNounIndex(record);
        if (const char* own = UndoRecordNameText(record)) {
            name = own;
        } else {
            name = GroupText(kGroupUndoNames, index & ~kHiddenNameBit);
            if (index & kHiddenNameBit) hidden = GroupText(kGroupUndoNames, kHiddenNameItem);
            if (nounIndex != kUndoNounNone) noun = KindNounOfItem(nounIndex);
        }
    }
    const char* args[3] = { name, hidden, noun };
    SubstituteCaretArgs(text, args, 3, 256, false);
}

ResultCode UndoRedoCommand(int32_t argument) {
    if (!CurrentSketch()) return kResultNothingToUndo;
    EndActivitiesExcept(kKeepActivities);
    const Sketch* front = GetFrontSketch();
    if (front && front->editSession) {
        UndoEditorChange(front->editSession, argument & 1);
        return kResultOK;
    }
    const int32_t direction = (argument & 1) ? kUndoDirectionRedo : kUndoDirectionUndo;
    for (;;) {
        uint32_t deadline = 0;
        SetDeadline(&deadline, kUndoAllStepMs);
        const ResultCode rc = UndoReplay(direction);
        if (rc != kResultOK || !(argument & kUndoAllFlag)) return rc;
        const Sketch* sketch = CurrentSketch();
        if (!(direction == kUndoDirectionUndo ? sketch->undoPosition : sketch->redoPosition)) return kResultOK;
        DeselectAll();
        FlushPendingRedraw(1);
        WaitForDeadline(deadline);
        if (PollUserAbort(kAbortOnEscape)) return 1;
    }
}
