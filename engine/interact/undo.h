// The undo history of a sketch. A record is one heap block of entries, each a 32-bit
// head (type << 24 | payload length) and its payload, packed without padding:
//   header (type 29): newer record, older record (pointer-sized), u16 name index
//                     (bit 15: " Hidden"), i16 noun index;
//   name (type 30), only when the record carries its own name: the text and its NUL;
//   the command's entries;
//   terminator (type 28).
// Records are linked newest to oldest; the sketch's undo position and everything older
// are in effect, its redo position and everything newer have been undone.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/services/undo.h"

constexpr int32_t kUndoDirectionRedo = 0;
constexpr int32_t kUndoDirectionUndo = 1;

// No record at the position replayed.
constexpr ResultCode kResultNothingToUndo = 101;

// One entry of a record as the handlers see it; `next` is the head of the entry after it.
struct UndoEntry {
    int32_t  type;
    uint8_t* payload;
    uint32_t length;
    uint8_t* next;
};

using UndoEntryHandler = ResultCode (*)(const UndoEntry& entry, int32_t direction);
using UndoEntryRelease = void (*)(const UndoEntry& entry);

// One row per entry type 0..30: the handler of each direction and what a discarded
// record releases, by the side of the history it was on. A handler either applies its
// whole entry or nothing of it.
struct UndoEntryTypeRecord {
    UndoEntryHandler undo;
    UndoEntryHandler redo;
    UndoEntryRelease releaseUndoSide;  // records in effect
    UndoEntryRelease releaseRedoSide;  // undone records
};
extern const UndoEntryTypeRecord UndoEntryTypeTable[31];

// Replays the record at the undo (direction 1) or redo (0) position: the selection is
// emptied, the entries applied in stored order and the positions moved. A failing entry
// takes back what this replay applied and its code is answered; the positions stay.
ResultCode UndoReplay(int32_t direction);
// Sets the undo position; the modified state of the document may change with it.
void UndoSetPosition(UndoRecord* record);
// Frees every undone record, newest first, adding their sizes to *freed when given.
void UndoDropRedo(uint32_t* freed);

// Takes an object out of the sketch for undo (its remaining dependants are destroyed);
// the record then owns it. marksCode: 2 undoing a creation, 1 redoing a deletion.
void UndoRemoveObject(SketchObject* object, int32_t marksCode);
// Puts a removed object back at the end of the sketch order; 100 when its parents
// cannot take it back (then it is out again, as before).
ResultCode UndoRestoreObject(SketchObject* object);
// Collects, for Delete, the object and everything that must go with it into a tempLink
// chain from *head to *tail (dependants first), each taken out of the sketch as it is
// collected. The tail's link is left for the caller to end.
void CollectDeletionSet(SketchObject* object, SketchObject** head, SketchObject** tail);

// "&Undo ^A^B ^C" (textIndex 50, the undo position's record) or "&Redo ^A^B ^C" (52, the
// redo position's) with the record's name, " Hidden" and noun; 256 bytes.
void BuildUndoMenuText(char* text, int32_t textIndex);

// Reading records: the name and noun indexes, the links, and the command's entry
// `index` (header and name not counted), false past the last.
uint16_t    UndoRecordNameIndex(const UndoRecord* record);
int16_t     UndoRecordNounIndex(const UndoRecord* record);
const char* UndoRecordNameText(const UndoRecord* record);
UndoRecord* UndoRecordOlder(const UndoRecord* record);
UndoRecord* UndoRecordNewer(const UndoRecord* record);
uint32_t    UndoRecordSize(const UndoRecord* record);
bool        UndoRecordEntry(const UndoRecord* record, int32_t index, UndoEntry* entry);
int32_t       UndoObjectListCount(const UndoEntry& entry);
SketchObject* UndoObjectListItem(const UndoEntry& entry, int32_t index);
