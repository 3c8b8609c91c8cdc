// Pointer lists: counted lists of pointer-sized items (as a rule object pointers) kept
// together in one relocatable block per sketch, the arena.
//
// The arena is a block of words. Word 0 is the byte offset of the first hole (0 =
// none), word 1 the arena's size in bytes; from word 2 on, lists and holes tile the
// rest exactly. A list is one header word (u16 capacity in the low half, u16 count
// above it) followed by `capacity` items. A hole is {byte offset of the next hole,
// size s} and spans s + 1 words, so it could hold a list of capacity s; holes are
// chained in address order and two touching holes are always merged.
//
// Handles are byte offsets, not pointers: the arena may move when any list grows,
// so re-read item pointers after every call that can allocate.
#pragma once
#include <cstdint>
#include <cstring>

using ArenaWord = uintptr_t;
static_assert(sizeof(ArenaWord) == sizeof(void*));

// The handle of a list in the current arena; 0 is the empty list (no block).
using PtrList = uint32_t;

// Opaque: a block of ArenaWords laid out as above.
struct PtrListArena;

// The largest capacity a list may have; keeps every capacity, whole holes given to
// a list included, within the 16-bit header field.
constexpr int32_t kMaxPtrListCapacity = 0xFFFF - 2;
// Words added each time an arena grows (8192 bytes where a word is 4 bytes).
constexpr uint32_t kPtrListArenaGrowWords = 2048;

// A new arena of `capacityWords` + 2 words (below 4 means 1024) with one hole.
bool CreatePtrListArena(PtrListArena** arena, int32_t capacityWords);
// Every list operation acts on the current arena. Answers the previous one, which is
// how the owner of that arena learns where it is now (it may have moved).
PtrListArena* SetCurrentPtrListArena(PtrListArena* arena);
PtrListArena* CurrentPtrListArena();
// Frees the current arena; none is current afterwards.
void FreeCurrentPtrListArena();
// Grows the current arena once, when needed, so that lists of `words` words in all fit
// at its end: a reader that knows how many lists are coming saves the arena from growing
// (and moving) step by step. On failure the arena is as it was.
bool ReservePtrListArena(uint32_t words);
// The words the current arena would need with every list trimmed to its count.
uint32_t PtrListArenaWordsInUse();

// A new list with its count set (the items are not cleared; the capacity is at least
// the count); may trim other lists.
bool AllocPtrList(int32_t capacity, int32_t count, PtrList* list);
// A new list of at least `capacity` items, count 0. On failure *list is 0.
bool AllocPtrListRaw(int32_t capacity, PtrList* list, bool mayTrim);
// Returns the list to the arena and sets *list to 0; the empty handle is a no-op.
void FreePtrList(PtrList* list);

// Appends an item, making or moving the list as needed. On failure the list is as
// it was and false is answered.
bool PtrListAppend(PtrList* list, void* item);
// Removes the first occurrence; without `keepOrder` the last item takes its place.
void PtrListRemove(PtrList list, const void* item, bool keepOrder);
// Index of the first occurrence; -1 when absent.
int32_t PtrListIndexOf(PtrList list, const void* item);
// The item, or null for the empty handle or an index outside the count.
void* PtrListItem(PtrList list, int32_t index);
// The current arena's bytes, for the inline reader below; only this module's own calls
// change it.
extern unsigned char* gPtrListArenaBytes;

// The first item and the count (null and 0 for the empty handle). Inline: every
// recompute reads its parents through it.
inline void** PtrListItems(PtrList list, int32_t* count) {
    if (list == 0) {
        *count = 0;
        return nullptr;
    }
    ArenaWord header;  // u16 capacity, then u16 count
    std::memcpy(&header, gPtrListArenaBytes + list, sizeof header);
    *count = static_cast<int32_t>((header >> 16) & 0xFFFF);
    return reinterpret_cast<void**>(gPtrListArenaBytes + list + sizeof(ArenaWord));
}
// The capacity, and the count through `count` (0 and 0 for the empty handle).
int32_t PtrListSize(PtrList list, int32_t* count);
// Whether the list holds no item (the empty handle holds none).
inline bool PtrListIsEmpty(PtrList list) {
    int32_t count = 0;
    PtrListSize(list, &count);
    return count == 0;
}
// The first item; the handle must not be empty.
void** PtrListData(PtrList list);
// Sets the count, kept within the list's capacity.
void PtrListSetCount(PtrList list, int32_t count);

// Same items in the same order, or with `allowReversed` in exactly reversed order
// (then *reversed is set). Different counts are never equal; two empty lists are.
bool PtrListEqual(PtrList a, PtrList b, bool allowReversed, bool* reversed);
// The items that differ from their cyclic predecessor; at least 1 for a non-empty list.
int32_t PtrListCountCyclicRuns(PtrList list);
// A new list without repeats, or 0 when the source is empty or memory fails.
// Not cyclic: only the first occurrence of each item is kept. Cyclic: runs of one
// item collapse to one, and a last item equal to the first goes.
PtrList CopyPtrListUnique(PtrList list, bool cyclic, int32_t* count);
// Shrinks every list of the current arena to its count + slack (at least 2) where
// that frees 3 words or more; the cut-off tails become holes.
void TrimPtrLists(int32_t slack);
