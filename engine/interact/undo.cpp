// Stand-in: see undo.h.
#include "engine/interact/undo.h"

#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/command_states.h"
#include "engine/interact/command_executors.h"

namespace {

struct HandlerRow {
    UndoEntryHandler handler;
    UndoEntryRelease release;
};
HandlerRow gHandlers[64] = {};

uint32_t EntryHead(int32_t type, uint32_t length) {
    return (static_cast<uint32_t>(type) << 24) | (length & 0xffffffu);
}

// 3 x (the selection's common kind) - 3, plus 1 for several objects.
int32_t NounFromSelection() {
    const Sketch* sketch = CurrentSketch();
    if (!sketch) return -2;
    int32_t kind = kKindNone;
    int32_t count = 0;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) {
        kind = CommonKind(kind, o->objectKind);
        ++count;
    }
    if (count == 0) return -2;
    return 3 * kind - 3 + (count > 1 ? 1 : 0);
}

void ForEachEntry(UndoRecord* record, bool release, int32_t direction) {
    int32_t type;
    uint8_t* payload;
    uint32_t length;
    for (int32_t i = 0; UndoRecordEntry(record, i, &type, &payload, &length); ++i) {
        const HandlerRow& row = gHandlers[type & 63];
        if (release) {
            if (row.release) row.release(payload, length);
        } else if (row.handler) {
            row.handler(payload, length, direction);
        }
    }
}

void FreeRecord(UndoRecord* record) {
    ForEachEntry(record, true, 0);
    FreeMemory(record);
}

}  // namespace

void RegisterUndoEntryHandler(int32_t type, UndoEntryHandler handler, UndoEntryRelease release) {
    gHandlers[type & 63] = { handler, release };
}

uint32_t UndoObjectListBytes(int32_t count) {
    return 4 + static_cast<uint32_t>(count) * sizeof(SketchObject*);
}

UndoRecord* UndoRecordCreate(const UndoHeader* header, int32_t entryCount, uint32_t payloadBytes,
                             uint8_t** cursor) {
    const uint32_t capacity = static_cast<uint32_t>(entryCount) * 4 + payloadBytes;
    auto* record = static_cast<UndoRecord*>(AllocMemory(sizeof(UndoRecord) + capacity, kAllocZero));
    if (!record) return nullptr;
    record->undoName = header->undoName | ((header->flags & 0x8000) ? 0x8000 : 0);
    record->nounIndex = header->nounIndex == -1 ? NounFromSelection() : header->nounIndex;
    record->flags = header->flags;
    record->capacity = capacity;
    record->payload = reinterpret_cast<uint8_t*>(record + 1);
    *cursor = record->payload;
    return record;
}

void UndoPutEntryHead(uint8_t** cursor, int32_t type, uint32_t length) {
    const uint32_t head = EntryHead(type, length);
    std::memcpy(*cursor, &head, 4);
    *cursor += 4;
}

void UndoPutObjectList(uint8_t** cursor, int32_t count, SketchObject* first, int32_t type) {
    UndoPutEntryHead(cursor, type, UndoObjectListBytes(count));
    const uint32_t n = static_cast<uint32_t>(count);
    std::memcpy(*cursor, &n, 4);
    *cursor += 4;
    SketchObject* o = first;
    for (int32_t i = 0; i < count; ++i, o = o->tempLink) {
        std::memcpy(*cursor, &o, sizeof o);
        *cursor += sizeof o;
    }
}

void UndoRecordCommit(UndoRecord* record, bool carryOut) {
    Sketch* sketch = CurrentSketch();
    record->older = sketch->undoHistory;
    sketch->undoHistory = record;
    CmdStateInvalidate(kCommandGroupUndo);
    if (carryOut) ForEachEntry(record, false, 1);
}

void UndoRecordDiscard(UndoRecord* record) {
    if (record) FreeRecord(record);
}

ResultCode UndoRecordObjectList(const UndoListDescriptor* descriptor, SketchObject* first,
                                bool carryOut) {
    int32_t count = 0;
    for (SketchObject* o = first; o; o = o->tempLink) ++count;
    const UndoHeader header = { descriptor->undoName, descriptor->nounIndex, 0, nullptr };
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(&header, 1, UndoObjectListBytes(count), &cursor);
    if (!record) return kResultOutOfMemory;
    UndoPutObjectList(&cursor, count, first, descriptor->undoName);
    UndoRecordCommit(record, carryOut);
    return kResultOK;
}

void UndoTrimHistory(Sketch* sketch, int32_t, int32_t) {
    while (UndoRecord* record = sketch->undoHistory) {
        sketch->undoHistory = record->older;
        FreeRecord(record);
    }
}

bool UndoRecordEntry(const UndoRecord* record, int32_t index, int32_t* type, uint8_t** payload,
                     uint32_t* length) {
    uint32_t at = 0;
    for (int32_t i = 0;; ++i) {
        if (at + 4 > record->capacity) return false;
        uint32_t head;
        std::memcpy(&head, record->payload + at, 4);
        if (head == 0) return false;  // the unused tail is zero
        const uint32_t size = head & 0xffffffu;
        if (i == index) {
            *type = static_cast<int32_t>(head >> 24);
            *payload = record->payload + at + 4;
            *length = size;
            return true;
        }
        at += 4 + size;
    }
}

int32_t UndoObjectListCount(const uint8_t* payload) {
    uint32_t n;
    std::memcpy(&n, payload, 4);
    return static_cast<int32_t>(n);
}

SketchObject* UndoObjectListItem(const uint8_t* payload, int32_t index) {
    SketchObject* o;
    std::memcpy(&o, payload + 4 + index * sizeof o, sizeof o);
    return o;
}

namespace {

void UndoEntry(int32_t type, uint8_t* payload, uint32_t length) {
    const int32_t count = UndoObjectListCount(payload);
    switch (type) {
    case kUndoEntryCreated:
        // Later objects may hang on earlier ones: the newest go first.
        for (int32_t i = count - 1; i >= 0; --i) {
            SketchObject* o = UndoObjectListItem(payload, i);
            DestroyObject(o, IsLinkedIntoSketch(o), true);
        }
        break;
    case kUndoEntryShown:
        for (int32_t i = count - 1; i >= 0; --i) ChangeObjectHidden(UndoObjectListItem(payload, i), kHiddenByUser, false);
        break;
    case kUndoEntryHidden:
        for (int32_t i = count - 1; i >= 0; --i) ChangeObjectHidden(UndoObjectListItem(payload, i), kShown, false);
        break;
    case kUndoEntrySelection:
        DeselectAll();
        for (int32_t i = 0; i < count; ++i) SelectSketchObject(UndoObjectListItem(payload, i));
        break;
    default:
        if (gHandlers[type & 63].handler) gHandlers[type & 63].handler(payload, length, 0);
        break;
    }
}

}  // namespace

ResultCode UndoRedoCommand(int32_t flags) {
    Sketch* sketch = CurrentSketch();
    if ((flags & 1) || !sketch || !sketch->undoHistory) return kResultCancelled;
    UndoRecord* record = sketch->undoHistory;
    sketch->undoHistory = record->older;
    int32_t count = 0, type;
    uint8_t* payload;
    uint32_t length;
    while (UndoRecordEntry(record, count, &type, &payload, &length)) ++count;
    for (int32_t i = count - 1; i >= 0; --i) {
        UndoRecordEntry(record, i, &type, &payload, &length);
        UndoEntry(type, payload, length);
    }
    FreeRecord(record);
    CmdStateInvalidate(kCommandGroupUndo);
    return kResultOK;
}
