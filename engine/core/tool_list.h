// The custom tools of a document (or of a library of other documents' tools): a
// growable block of entries, each the sketch that is the body of one tool.
#pragma once
#include "engine/core/result_codes.h"

#include <cstdint>

struct Sketch;

constexpr ResultCode kResultToolUnavailable = 204;  // an empty slot: the tool's file is missing

struct ToolListEntry {
    Sketch*  sketch;    // null for an empty slot
    uint32_t value;     // the owner's
    int32_t  useCount;  // holders of the sketch (ToolListAcquire)
    uint8_t  flags;     // the owner's bits
};

// The header; `capacity` entries follow it in the same block.
struct alignas(ToolListEntry) ToolList {
    int32_t  count;
    int32_t  capacity;
    uint32_t ownerData;
};

// Where a pointer is 4 bytes this is the block's layout: a 12-byte header, 16-byte entries.
static_assert(sizeof(void*) != 4 || (sizeof(ToolList) == 12 && sizeof(ToolListEntry) == 16));

inline ToolListEntry* ToolListEntries(ToolList* list) {
    return reinterpret_cast<ToolListEntry*>(list + 1);
}

// What ToolListAdd appends.
struct ToolListNewEntry {
    Sketch* sketch;
    uint8_t flags;
};

// The list owns its tool sketches: freeing the list, or removing an entry with
// freeing asked, detaches the sketch from the tool machinery and frees it.

// Capacity 0 means 5. Null without memory.
ToolList* CreateToolList(int32_t capacity, uint32_t ownerData);
void      FreeToolList(ToolList* list);
// Appends {sketch, value, use count 0, flags}, an empty slot for a null entry. A full
// list grows by 5 entries and may move; false without memory, the list unchanged.
bool      ToolListAdd(ToolList** list, const ToolListNewEntry* entry, uint32_t value);
// Later entries move up one place.
void      ToolListRemove(ToolList* list, int32_t index, bool freeSketch);
int32_t   ToolListCount(const ToolList* list);
// The tool's name in `buffer` (at most size - 1 characters and a NUL): the sketch's
// title, "Construction" when it has none, "(Unavailable)" for an empty slot. True
// when the slot holds a tool.
bool      ToolListName(ToolList* list, int32_t index, char* buffer, uint32_t size);
bool      ToolListSetName(ToolList* list, int32_t index, const char* text);
// The sketch with its use count raised; 204 for an empty slot.
ResultCode ToolListAcquire(ToolList* list, int32_t index, Sketch** sketch);
void      ToolListRelease(ToolList* list, int32_t index);
uint32_t  ToolListValue(ToolList* list, int32_t index);
void      ToolListSetValue(ToolList* list, int32_t index, uint32_t value);
void      ToolListSetFlags(ToolList* list, int32_t index, uint8_t mask);
void      ToolListClearFlags(ToolList* list, int32_t index, uint8_t mask);
// Whether any bit of the mask is set.
bool      ToolListTestFlags(ToolList* list, int32_t index, uint8_t mask);
void      ToolListSwap(ToolList* list, int32_t i, int32_t j);
uint32_t  ToolListUserData(const ToolList* list);
void      SetToolListUserData(ToolList* list, uint32_t data);
