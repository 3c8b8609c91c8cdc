#include "engine/core/object_slabs.h"

#include <algorithm>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"

// A slab: this head, then records, each behind a word that points back to the head.
// The head counts the records still alive, and one more while a filler holds the slab.
struct alignas(8) ObjectSlab {
    uint32_t users;
    uint32_t size;  // bytes, the head included
    uint32_t used;
};

namespace {

constexpr uint32_t kBackLinkBytes = 8;  // keeps the record 8-byte aligned on every target
static_assert(sizeof(ObjectSlab*) <= kBackLinkBytes);
static_assert(sizeof(ObjectSlab) % 8 == 0);

// Slabs are sized by the records still expected, at a typical record size, within bounds:
// a small sketch takes a small block. A large one takes many blocks of 60 KB rather than
// a few large ones: the C library hands out a block of 128 KB or more as pages mapped
// for it alone and gives them back when it is freed, so that every page read again
// would be faulted in and cleared anew (measured: sixteen times the page faults of
// single records, and slower than they are). Blocks below that size are reused from
// the heap as single records are.
constexpr uint32_t kTypicalRecordBytes = 320;
constexpr uint32_t kSmallestSlab = 4096;
constexpr uint32_t kLargestSlab = 60u << 10;

uint32_t RoundUp8(uint32_t n) { return (n + 7u) & ~7u; }

void ReleaseSlab(ObjectSlab* slab) {
    if (--slab->users == 0) FreeMemory(slab);
}

ObjectSlab* NewSlab(uint32_t expected, uint32_t need) {
    const uint64_t wanted = uint64_t{expected} * kTypicalRecordBytes + sizeof(ObjectSlab);
    const uint32_t size = static_cast<uint32_t>(
        std::max<uint64_t>(std::clamp<uint64_t>(wanted, kSmallestSlab, kLargestSlab), need + sizeof(ObjectSlab)));
    auto* slab = static_cast<ObjectSlab*>(AllocMemory(size, 0));
    if (!slab) return nullptr;
    slab->users = 1;  // the filler's
    slab->size = size;
    slab->used = sizeof(ObjectSlab);
    return slab;
}

}  // namespace

SketchObject* AllocObjectFromSlab(ObjectSlabFiller* filler, int32_t objectClass, const ObjectTemplate* t) {
    const uint32_t need = kBackLinkBytes + RoundUp8(ObjectClassTable[objectClass].objectSize);
    ObjectSlab* slab = filler->slab;
    if (!slab || slab->size - slab->used < need) {
        ObjectSlab* fresh = NewSlab(filler->expected, need);
        if (!fresh) return AllocObject(objectClass, t);
        if (slab) ReleaseSlab(slab);
        filler->slab = slab = fresh;
    }
    uint8_t* at = reinterpret_cast<uint8_t*>(slab) + slab->used;
    slab->used += need;
    ++slab->users;
    if (filler->expected) --filler->expected;
    std::memcpy(at, &slab, sizeof slab);
    auto* object = reinterpret_cast<SketchObject*>(at + kBackLinkBytes);
    // The record is zeroed here, as it is filled, while its lines are in the cache.
    std::memset(object, 0, need - kBackLinkBytes);
    InitObjectRecord(object, objectClass, t);
    object->inSlab = 1;
    return object;
}

void EndObjectSlabs(ObjectSlabFiller* filler) {
    if (filler->slab) ReleaseSlab(filler->slab);
    filler->slab = nullptr;
}

void FreeObjectRecord(SketchObject* object) {
    if (!object || !object->inSlab) {
        FreeMemory(object);
        return;
    }
    ObjectSlab* slab = nullptr;
    std::memcpy(&slab, reinterpret_cast<uint8_t*>(object) - kBackLinkBytes, sizeof slab);
    ReleaseSlab(slab);
}
