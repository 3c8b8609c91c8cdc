// Undo records: one undoable action as a block of typed entries, kept newest first in
// the sketch's history.
// Stand-in: the undo machinery keeps records and replays them through registered entry
// handlers (which is how carried-out records act); undo, redo and the redo side come
// with the undo subsystem.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/sketch.h"

struct UndoHeader {
    int32_t     undoName;   // item of string group 8
    int32_t     nounIndex;  // item of string group 0; -1 from the selection, -2 none
    uint32_t    flags;      // 0x8000: " Hidden"
    const char* nameText;   // or null
};

// Entry types the engine makes.
constexpr int32_t kUndoEntryCreated   = 1;
constexpr int32_t kUndoEntryDeleted   = 2;
constexpr int32_t kUndoEntryHidden    = 9;
constexpr int32_t kUndoEntryShown     = 10;
constexpr int32_t kUndoEntrySelection = 26;

// Undo names (items of string group 8).
constexpr int32_t kUndoNameConstruct = 1;
constexpr int32_t kUndoNameHide      = 9;
constexpr int32_t kUndoNameShow      = 10;

struct UndoRecord {
    UndoRecord* older;
    int32_t     undoName;
    int32_t     nounIndex;
    uint32_t    flags;
    uint32_t    capacity;  // payload bytes
    uint8_t*    payload;   // entries: head word (type << 24 | length), then the payload
};

// direction: 0 undo, 1 redo (and carry-out).
using UndoEntryHandler = void (*)(uint8_t* payload, uint32_t length, int32_t direction);
using UndoEntryRelease = void (*)(uint8_t* payload, uint32_t length);
void RegisterUndoEntryHandler(int32_t type, UndoEntryHandler handler, UndoEntryRelease release);

// Bytes an object-list entry of `count` objects needs after its head word.
uint32_t UndoObjectListBytes(int32_t count);

// Room for `entryCount` head words and `payloadBytes` of entry payloads. Null when
// memory runs out (the caller then takes back what it did).
UndoRecord* UndoRecordCreate(const UndoHeader* header, int32_t entryCount, uint32_t payloadBytes,
                             uint8_t** cursor);
void UndoPutEntryHead(uint8_t** cursor, int32_t type, uint32_t length);
// One entry listing `count` objects of a tempLink chain.
void UndoPutObjectList(uint8_t** cursor, int32_t count, SketchObject* first, int32_t type);
// Links the record as the newest step of the current sketch; with carryOut it is
// replayed forward at once through its entry handlers.
void UndoRecordCommit(UndoRecord* record, bool carryOut);
// Frees a record that was never committed.
void UndoRecordDiscard(UndoRecord* record);

struct UndoListDescriptor {
    int32_t undoName;
    int32_t nounIndex;
};
ResultCode UndoRecordObjectList(const UndoListDescriptor* descriptor, SketchObject* first,
                                bool carryOut);
void UndoTrimHistory(Sketch* sketch, int32_t, int32_t);

// Reading records (tests and handlers): entry `index` of a record, false past the end.
bool UndoRecordEntry(const UndoRecord* record, int32_t index, int32_t* type, uint8_t** payload,
                     uint32_t* length);
// The objects of an object-list entry payload.
int32_t UndoObjectListCount(const uint8_t* payload);
SketchObject* UndoObjectListItem(const uint8_t* payload, int32_t index);
