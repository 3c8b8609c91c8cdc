// Undo records as the engine's construction, selection and deletion code makes them:
// one undoable action is a block of typed entries, committed as the newest step of the
// current sketch's history. The undo machinery (engine/interact) owns the records,
// replays their entries and frees them.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct Sketch;
struct SketchObject;
struct UndoRecord;

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

// Bytes an object-list entry of `count` objects needs after its head word.
uint32_t UndoObjectListBytes(int32_t count);

// Room for `entryCount` head words and `payloadBytes` of entry payloads. Null when
// memory runs out (the caller then takes back what it did).
UndoRecord* UndoRecordCreate(const UndoHeader* header, int32_t entryCount, uint32_t payloadBytes,
                             uint8_t** cursor);
// One entry head word (type << 24 | payload length); the caller writes the payload after it.
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
// Builds and commits a one-entry record listing a tempLink chain; 0 or 100 (no memory).
ResultCode UndoRecordObjectList(const UndoListDescriptor* descriptor, SketchObject* first,
                                bool carryOut);
// Frees the whole undo history of a sketch.
void UndoTrimHistory(Sketch* sketch, int32_t, int32_t);
