// Undo records as the engine's construction, selection and deletion code makes them:
// one undoable action is a single block of typed entries, committed as the newest step
// of the current sketch's history. The undo machinery (engine/interact) owns the
// records, replays their entries in either direction and frees them.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct Sketch;
struct SketchObject;
struct UndoRecord;

// What a command passes to make a record.
struct UndoDescriptor {
    uint16_t    nameIndex;  // item of string group 8 (for the one-entry recorders also the entry type)
    int16_t     nounIndex;  // item of string group 0; -1 worked out, -2 none
    int32_t     hidden;     // nonzero: the name reads with " Hidden"
    const char* nameText;   // or null; when set the record carries this name instead
};

constexpr int16_t kUndoNounWorkedOut = -1;
constexpr int16_t kUndoNounNone      = -2;

// Entry types (the head word's top byte). Types 21 to 24 follow the entry that reads them.
enum UndoEntryType : int32_t {
    kUndoEntryCreated        = 1,
    kUndoEntryDeleted        = 2,
    kUndoEntryMergePoints    = 3,
    kUndoEntryMergeTo        = 4,
    kUndoEntryMergeText      = 5,
    kUndoEntrySplitPoint     = 6,
    kUndoEntrySplitFrom      = 7,
    kUndoEntrySplitText      = 8,
    kUndoEntryHidden         = 9,
    kUndoEntryShown          = 10,
    kUndoEntryLocusRange     = 11,
    kUndoEntryPolarGrid      = 12,
    kUndoEntrySquareGrid     = 13,
    kUndoEntryRectGrid       = 14,
    kUndoEntryCaptionEdit    = 15,
    kUndoEntryExpressionEdit = 16,
    kUndoEntryPlottedPoint   = 17,
    kUndoEntryRescale        = 18,
    kUndoEntryPictureResize  = 19,
    kUndoEntryAnimate        = 20,
    kUndoEntryStateBlocks    = 21,
    kUndoEntryConstructionData = 22,
    kUndoEntryParameterValues  = 23,
    kUndoEntryRebindTail     = 24,
    kUndoEntryIdentity       = 25,
    kUndoEntrySelection      = 26,
    kUndoEntryReversal       = 27,
    kUndoEntryTerminator     = 28,
    kUndoEntryHeader         = 29,
    kUndoEntryName           = 30,
};

// Undo names (items of string group 8).
constexpr uint16_t kUndoNameConstruct = 1;
constexpr uint16_t kUndoNameDelete    = 2;
constexpr uint16_t kUndoNameHide      = 9;
constexpr uint16_t kUndoNameShow      = 10;

// Payload bytes of an object-list entry of `count` objects (pointers, without the head).
uint32_t UndoObjectListBytes(int32_t count);

// A record with room for `entryCount` head words and `payloadBytes` of entry payloads;
// *cursor is where the caller writes its entries, which must fill that room exactly.
// Null when memory runs out (the caller then takes back what it did).
UndoRecord* UndoRecordCreate(const UndoDescriptor* descriptor, int32_t entryCount, uint32_t payloadBytes,
                             uint8_t** cursor);
// One entry head word (type << 24 | payload length); the caller writes the payload after it.
void UndoPutEntryHead(uint8_t** cursor, int32_t type, uint32_t length);
// One entry listing `count` objects of a tempLink chain.
void UndoPutObjectList(uint8_t** cursor, int32_t count, SketchObject* first, int32_t type);
// Drops the redo side and links the record as the newest step of the current sketch.
// With doNow the record is replayed forward at once (the command's action is its own
// redo); the result is that replay's.
ResultCode UndoRecordCommit(UndoRecord* record, bool doNow);
// Frees a record that was never committed, without releasing what its entries hold.
void UndoRecordDiscard(UndoRecord* record);

// A committed one-entry record whose entry type is the descriptor's name index, listing
// a tempLink chain or one object; 0, or 100 when memory runs out.
ResultCode UndoRecordObjectList(const UndoDescriptor* descriptor, SketchObject* first, bool doNow);
ResultCode UndoRecordOneObject(const UndoDescriptor* descriptor, SketchObject* object, bool doNow);

// Frees records of the sketch's history: with 0 the whole history, else records in
// effect from the oldest, then undone ones from the newest, until that many bytes are
// freed. Answers the bytes freed.
uint32_t UndoTrimHistory(Sketch* sketch, uint32_t bytesWanted);
