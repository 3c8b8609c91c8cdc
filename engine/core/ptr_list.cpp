#include "engine/core/ptr_list.h"

#include "engine/core/memory.h"

#include <cstring>

unsigned char* gPtrListArenaBytes = nullptr;  // the current arena

namespace {

constexpr uint32_t kWordBytes = sizeof(ArenaWord);
constexpr uint32_t kFirstBlock = 2 * kWordBytes;  // after {first hole, arena size}
constexpr uint32_t kArenaSizeWord = kWordBytes;   // byte offset of word 1

// A word is an integer (hole links and sizes, list headers) or a pointer (list items),
// and changes role as lists come and go. Integers are copied in and out with memcpy,
// items are only ever read and written as pointers, so no word is read as a type other
// than the one it was stored as.
ArenaWord LoadWord(uint32_t offset) {
    ArenaWord word;
    std::memcpy(&word, gPtrListArenaBytes + offset, kWordBytes);
    return word;
}
void StoreWord(uint32_t offset, ArenaWord word) { std::memcpy(gPtrListArenaBytes + offset, &word, kWordBytes); }

// Holes.
uint32_t HoleNext(uint32_t hole) { return static_cast<uint32_t>(LoadWord(hole)); }
uint32_t HoleSize(uint32_t hole) { return static_cast<uint32_t>(LoadWord(hole + kWordBytes)); }
void SetHoleNext(uint32_t hole, uint32_t next) { StoreWord(hole, next); }
void SetHoleSize(uint32_t hole, uint32_t size) { StoreWord(hole + kWordBytes, size); }
uint32_t HoleEnd(uint32_t hole) { return hole + (HoleSize(hole) + 1) * kWordBytes; }

uint32_t FirstHole() { return static_cast<uint32_t>(LoadWord(0)); }
void SetFirstHole(uint32_t hole) { StoreWord(0, hole); }
uint32_t ArenaBytes() { return static_cast<uint32_t>(LoadWord(kArenaSizeWord)); }

// Lists. The header word holds the capacity in its low 16 bits and the count in the
// next 16, which on a 4-byte word is exactly {u16 capacity, u16 count}.
int32_t ListCapacity(PtrList list) { return static_cast<int32_t>(LoadWord(list) & 0xFFFF); }
int32_t ListCount(PtrList list) { return static_cast<int32_t>((LoadWord(list) >> 16) & 0xFFFF); }
void SetListHeader(PtrList list, int32_t capacity, int32_t count) {
    StoreWord(list, static_cast<ArenaWord>(capacity) | (static_cast<ArenaWord>(count) << 16));
}
void** ListItems(PtrList list) {
    return reinterpret_cast<void**>(gPtrListArenaBytes + list + kWordBytes);
}
uint32_t ListEnd(PtrList list) {
    return list + static_cast<uint32_t>(ListCapacity(list) + 1) * kWordBytes;
}

// Absorbs `next` into `hole` when `hole` ends exactly where `next` begins.
bool MergePtrListHoles(uint32_t hole, uint32_t next) {
    if (next == 0 || HoleEnd(hole) != next) return false;
    SetHoleSize(hole, HoleSize(hole) + HoleSize(next) + 1);
    SetHoleNext(hole, HoleNext(next));
    return true;
}

// Makes the words at `offset` a hole of `size`, in address order, merged with its
// successor and then its predecessor. `below` is a hole known to lie below `offset`
// (0 = search from the start). Answers the hole that now covers `offset`.
uint32_t InsertHole(uint32_t offset, uint32_t size, uint32_t below) {
    uint32_t prev = below;
    uint32_t next = prev != 0 ? HoleNext(prev) : FirstHole();
    while (next != 0 && next < offset) {
        prev = next;
        next = HoleNext(next);
    }
    SetHoleNext(offset, next);
    SetHoleSize(offset, size);
    if (prev != 0) SetHoleNext(prev, offset);
    else SetFirstHole(offset);
    MergePtrListHoles(offset, next);
    if (prev != 0 && MergePtrListHoles(prev, offset)) return prev;
    return offset;
}

// First fit. Answers the hole and the word that links to it (0 = the arena's word 0).
bool FindHole(int32_t capacity, uint32_t* hole, uint32_t* link) {
    uint32_t prev = 0;
    for (uint32_t h = FirstHole(); h != 0; prev = h, h = HoleNext(h)) {
        if (HoleSize(h) >= static_cast<uint32_t>(capacity)) {
            *hole = h;
            *link = prev;
            return true;
        }
    }
    return false;
}

// The slack that growth trims to, and the arena (if any) known to hold no list that
// such a trim would shorten. Trimming walks the whole arena; skipping it when it would
// change nothing keeps filling a large arena from costing the square of its lists.
constexpr int32_t kGrowthTrimSlack = 4;
PtrListArena* gTrimCleanArena = nullptr;

bool TrimWouldShorten(int64_t capacity, int64_t count, int64_t slack) {
    int64_t wanted = count + slack;
    if (wanted <= 1) wanted = 2;
    return capacity - wanted >= 3;
}

// Called whenever a list's capacity or count has just changed.
void NoteListShape(PtrList list) {
    if (gTrimCleanArena == reinterpret_cast<PtrListArena*>(gPtrListArenaBytes) &&
        TrimWouldShorten(ListCapacity(list), ListCount(list), kGrowthTrimSlack))
        gTrimCleanArena = nullptr;
}

// Adds `words` (at least 2) at the end of the current arena as a hole. The arena may
// move: every pointer into it is stale afterwards.
bool GrowPtrListArena(uint32_t words = kPtrListArenaGrowWords) {
    const uint32_t oldBytes = ArenaBytes();
    const uint64_t newBytes = uint64_t{oldBytes} + uint64_t{words} * kWordBytes;
    if (newBytes > UINT32_MAX) return false;  // handles are 32-bit offsets
    void* block = gPtrListArenaBytes;
    if (!ReallocMemory(&block, static_cast<size_t>(newBytes), true)) return false;
    const bool clean = gTrimCleanArena == reinterpret_cast<PtrListArena*>(gPtrListArenaBytes);
    gPtrListArenaBytes = static_cast<unsigned char*>(block);
    if (clean) gTrimCleanArena = reinterpret_cast<PtrListArena*>(gPtrListArenaBytes);
    StoreWord(kArenaSizeWord, static_cast<ArenaWord>(newBytes));

    uint32_t last = 0;
    for (uint32_t h = FirstHole(); h != 0; h = HoleNext(h)) last = h;
    SetHoleNext(oldBytes, 0);
    SetHoleSize(oldBytes, words - 1);
    if (last == 0) SetFirstHole(oldBytes);
    else if (!MergePtrListHoles(last, oldBytes)) SetHoleNext(last, oldBytes);
    return true;
}

// Growth before an allocation that found no hole. Each growth follows a trim, which walks
// the whole arena, so a large arena grows by whole steps in proportion to its size
// (an eighth): filling it then costs time in proportion to its lists, not their square.
// Arenas under 8 steps' worth of words grow by one step, as before; when the larger
// block cannot be had, one step is tried before giving up.
bool GrowPtrListArenaInSteps() {
    const uint32_t words = ArenaBytes() / kWordBytes;
    const uint32_t steps = words / (8 * kPtrListArenaGrowWords);
    if (steps > 1 && GrowPtrListArena(steps * kPtrListArenaGrowWords)) return true;
    return GrowPtrListArena();
}

}  // namespace

bool CreatePtrListArena(PtrListArena** arena, int32_t capacityWords) {
    if (capacityWords < 4) capacityWords = 1024;
    const uint64_t bytes = (uint64_t{static_cast<uint32_t>(capacityWords)} + 2) * kWordBytes;
    *arena = nullptr;
    if (bytes > UINT32_MAX) return false;
    void* block = AllocMemory(static_cast<size_t>(bytes), 0);
    if (block == nullptr) return false;
    // Filled as the current arena, through the same word accessors.
    unsigned char* current = gPtrListArenaBytes;
    gPtrListArenaBytes = static_cast<unsigned char*>(block);
    SetFirstHole(kFirstBlock);
    StoreWord(kArenaSizeWord, static_cast<ArenaWord>(bytes));
    SetHoleNext(kFirstBlock, 0);
    SetHoleSize(kFirstBlock, static_cast<uint32_t>(capacityWords - 1));
    gPtrListArenaBytes = current;
    *arena = static_cast<PtrListArena*>(block);
    return true;
}

PtrListArena* SetCurrentPtrListArena(PtrListArena* arena) {
    PtrListArena* previous = reinterpret_cast<PtrListArena*>(gPtrListArenaBytes);
    gPtrListArenaBytes = reinterpret_cast<unsigned char*>(arena);
    return previous;
}

PtrListArena* CurrentPtrListArena() {
    return reinterpret_cast<PtrListArena*>(gPtrListArenaBytes);
}

void FreeCurrentPtrListArena() {
    if (gTrimCleanArena == reinterpret_cast<PtrListArena*>(gPtrListArenaBytes)) gTrimCleanArena = nullptr;
    FreeMemory(gPtrListArenaBytes);
    gPtrListArenaBytes = nullptr;
}

bool ReservePtrListArena(uint32_t words) {
    if (gPtrListArenaBytes == nullptr) return false;
    // Room that already lies in the hole at the arena's end counts.
    uint32_t tail = 0;
    for (uint32_t h = FirstHole(); h != 0; h = HoleNext(h))
        if (HoleEnd(h) == ArenaBytes()) tail = HoleSize(h) + 1;
    if (tail >= words) return true;
    const uint32_t more = words - tail;
    return GrowPtrListArena(more > kPtrListArenaGrowWords ? more : kPtrListArenaGrowWords);
}

uint32_t PtrListArenaWordsInUse() {
    if (gPtrListArenaBytes == nullptr) return 0;
    uint32_t words = 3;
    uint32_t nextHole = FirstHole();
    for (uint32_t at = kFirstBlock; at < ArenaBytes();) {
        if (at == nextHole) {
            at = HoleEnd(nextHole);
            nextHole = HoleNext(nextHole);
            continue;
        }
        const int32_t count = ListCount(at);
        words += static_cast<uint32_t>(count > 2 ? count : 2) + 1;
        at = ListEnd(at);
    }
    return words;
}

namespace {

// A new list block of at least `capacity` items, count 0, without noting its shape.
bool AllocListBlock(int32_t capacity, PtrList* list, bool mayTrim) {
    *list = 0;
    if (gPtrListArenaBytes == nullptr || capacity > kMaxPtrListCapacity) return false;
    if (capacity < 2) capacity = 2;

    uint32_t hole = 0, link = 0;
    bool trimmed = false;
    while (!FindHole(capacity, &hole, &link)) {
        if (mayTrim && !trimmed) {
            trimmed = true;
            if (gTrimCleanArena != reinterpret_cast<PtrListArena*>(gPtrListArenaBytes)) TrimPtrLists(kGrowthTrimSlack);
        } else if (!GrowPtrListArenaInSteps()) {
            return false;
        }
    }

    // Split only when 3 words or more would be left over; a smaller rest stays with
    // the list as extra capacity.
    const uint32_t size = HoleSize(hole);
    uint32_t rest = HoleNext(hole);
    int32_t granted = static_cast<int32_t>(size);
    if (size >= static_cast<uint32_t>(capacity) + 3) {
        const uint32_t split = hole + static_cast<uint32_t>(capacity + 1) * kWordBytes;
        SetHoleNext(split, rest);
        SetHoleSize(split, size - static_cast<uint32_t>(capacity) - 1);
        rest = split;
        granted = capacity;
    }
    if (link != 0) SetHoleNext(link, rest);
    else SetFirstHole(rest);

    SetListHeader(hole, granted, 0);
    *list = hole;
    return true;
}

}  // namespace

bool AllocPtrListRaw(int32_t capacity, PtrList* list, bool mayTrim) {
    if (!AllocListBlock(capacity, list, mayTrim)) return false;
    NoteListShape(*list);
    return true;
}

bool AllocPtrList(int32_t capacity, int32_t count, PtrList* list) {
    if (count < 0) count = 0;
    if (capacity < count) capacity = count;
    if (!AllocListBlock(capacity, list, true)) return false;
    SetListHeader(*list, ListCapacity(*list), count);
    NoteListShape(*list);
    return true;
}

void FreePtrList(PtrList* list) {
    if (*list == 0) return;
    InsertHole(*list, static_cast<uint32_t>(ListCapacity(*list)), 0);
    *list = 0;
}

bool PtrListAppend(PtrList* list, void* item) {
    if (*list == 0 && !AllocListBlock(2, list, true)) return false;
    const int32_t capacity = ListCapacity(*list);
    const int32_t count = ListCount(*list);
    if (count < capacity) {
        ListItems(*list)[count] = item;
        SetListHeader(*list, capacity, count + 1);
        return true;
    }

    int32_t grown = capacity <= 30 ? capacity + capacity : capacity + 32;
    if (grown > kMaxPtrListCapacity) grown = kMaxPtrListCapacity;
    if (grown <= capacity) return false;
    PtrList moved = 0;
    if (!AllocListBlock(grown, &moved, true)) return false;
    // The arena may have moved: item pointers are taken only now.
    std::memcpy(ListItems(moved), ListItems(*list), static_cast<size_t>(count) * kWordBytes);
    ListItems(moved)[count] = item;
    SetListHeader(moved, ListCapacity(moved), count + 1);
    NoteListShape(moved);
    FreePtrList(list);
    *list = moved;
    return true;
}

void PtrListRemove(PtrList list, const void* item, bool keepOrder) {
    const int32_t i = PtrListIndexOf(list, item);
    if (i < 0) return;
    const int32_t count = ListCount(list);
    void** items = ListItems(list);
    if (i != count - 1) {
        if (keepOrder)
            std::memmove(&items[i], &items[i + 1], static_cast<size_t>(count - 1 - i) * kWordBytes);
        else
            items[i] = items[count - 1];
    }
    SetListHeader(list, ListCapacity(list), count - 1);
    NoteListShape(list);
}

int32_t PtrListIndexOf(PtrList list, const void* item) {
    if (list == 0) return -1;
    const int32_t count = ListCount(list);
    void** items = ListItems(list);
    for (int32_t i = 0; i < count; ++i)
        if (items[i] == item) return i;
    return -1;
}

void* PtrListItem(PtrList list, int32_t index) {
    if (list == 0 || index < 0 || index >= ListCount(list)) return nullptr;
    return ListItems(list)[index];
}

int32_t PtrListSize(PtrList list, int32_t* count) {
    if (list == 0) {
        *count = 0;
        return 0;
    }
    *count = ListCount(list);
    return ListCapacity(list);
}

void** PtrListData(PtrList list) {
    return ListItems(list);
}

void PtrListSetCount(PtrList list, int32_t count) {
    if (list == 0) return;
    const int32_t capacity = ListCapacity(list);
    if (count < 0) count = 0;
    if (count > capacity) count = capacity;
    SetListHeader(list, capacity, count);
    NoteListShape(list);
}

bool PtrListEqual(PtrList a, PtrList b, bool allowReversed, bool* reversed) {
    if (reversed != nullptr) *reversed = false;
    int32_t na = 0, nb = 0;
    void** ia = PtrListItems(a, &na);
    void** ib = PtrListItems(b, &nb);
    if (na != nb) return false;
    bool same = true;
    for (int32_t i = 0; i < na && same; ++i) same = ia[i] == ib[i];
    if (same) return true;
    if (!allowReversed) return false;
    for (int32_t i = 0; i < na; ++i)
        if (ia[i] != ib[na - 1 - i]) return false;
    if (reversed != nullptr) *reversed = true;
    return true;
}

int32_t PtrListCountCyclicRuns(PtrList list) {
    int32_t count = 0;
    void** items = PtrListItems(list, &count);
    if (count == 0) return 0;
    int32_t runs = 0;
    for (int32_t i = 0; i < count; ++i)
        if (items[i] != items[i == 0 ? count - 1 : i - 1]) ++runs;
    return runs > 0 ? runs : 1;
}

PtrList CopyPtrListUnique(PtrList list, bool cyclic, int32_t* count) {
    *count = 0;
    int32_t n = 0;
    PtrListItems(list, &n);
    if (n == 0) return 0;
    PtrList copy = 0;
    if (!AllocPtrList(n, 0, &copy)) return 0;
    // Taken after the allocation, which may have moved the arena.
    void** from = ListItems(list);
    void** to = ListItems(copy);
    int32_t kept = 0;
    for (int32_t i = 0; i < n; ++i) {
        void* item = from[i];
        bool repeat = false;
        if (cyclic) {
            repeat = kept > 0 && to[kept - 1] == item;
        } else {
            for (int32_t j = 0; j < kept && !repeat; ++j) repeat = to[j] == item;
        }
        if (!repeat) to[kept++] = item;
    }
    if (cyclic && kept > 1 && to[kept - 1] == to[0]) --kept;
    SetListHeader(copy, ListCapacity(copy), kept);
    NoteListShape(copy);
    *count = kept;
    return copy;
}

void TrimPtrLists(int32_t slack) {
    if (gPtrListArenaBytes == nullptr) return;
    if (slack < 0) slack = 0;  // never cut into counted items
    uint32_t prevHole = 0;
    uint32_t nextHole = FirstHole();
    for (uint32_t at = kFirstBlock; at < ArenaBytes();) {
        if (at == nextHole) {
            prevHole = nextHole;
            at = HoleEnd(nextHole);
            nextHole = HoleNext(nextHole);
            continue;
        }
        const int64_t capacity = ListCapacity(at);
        int64_t wanted = int64_t{ListCount(at)} + slack;
        if (wanted <= 1) wanted = 2;
        if (capacity - wanted < 3) {
            at = ListEnd(at);
            continue;
        }
        SetListHeader(at, static_cast<int32_t>(wanted), ListCount(at));
        // The tail spans capacity - wanted words, so its hole size is one less. No hole
        // can touch it from below (this list is there), but one may follow it.
        const uint32_t tail = ListEnd(at);
        const uint32_t hole = InsertHole(tail, static_cast<uint32_t>(capacity - wanted - 1), prevHole);
        prevHole = hole;
        at = HoleEnd(hole);
        nextHole = HoleNext(hole);
    }
    // No list is left that a trim with the growth slack would shorten.
    if (slack <= kGrowthTrimSlack) gTrimCleanArena = reinterpret_cast<PtrListArena*>(gPtrListArenaBytes);
}
