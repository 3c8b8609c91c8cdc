// Undo records: one undoable action as a block of typed entries, kept newest first in
// the sketch's history.
// Stand-in: the undo machinery keeps records and replays them through registered entry
// handlers (which is how carried-out records act). Undo takes the newest record back and
// frees it; redo and the redo side come with the undo subsystem.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/services/undo.h"
#include "engine/core/sketch.h"

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

// UndoRedoCommand (command_executors.h): flags bit 0 clear undoes the newest record of
// the current sketch, its entries newest first: created objects (entry 1) are destroyed,
// shown ones (10) hidden again, hidden ones (9) shown, the selection (26) restored, other
// entries go to their handlers. 0 on success; 104 when there is no record, or for redo.

// Reading records (tests and handlers): entry `index` of a record, false past the end.
bool UndoRecordEntry(const UndoRecord* record, int32_t index, int32_t* type, uint8_t** payload,
                     uint32_t* length);
// The objects of an object-list entry payload.
int32_t UndoObjectListCount(const uint8_t* payload);
SketchObject* UndoObjectListItem(const uint8_t* payload, int32_t index);
