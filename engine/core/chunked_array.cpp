#include "engine/core/chunked_array.h"

#include "engine/core/memory.h"

#include <cstring>

namespace {

// Beyond this a chunk would not fit a 32-bit address space anyway.
constexpr int32_t kLargestChunkShift = 24;

size_t ChunkBytes(const ChunkedArray* array) {
    return (size_t{1} << array->shift) * static_cast<size_t>(array->elementSize);
}

bool ChunkedArrayGrowDirectory(ChunkedArray* array, int32_t slot) {
    int64_t capacity = int64_t{array->directoryCapacity} + array->directoryCapacity / 4;
    if (capacity <= slot) capacity = int64_t{slot} + 1;
    if (!ReallocMemoryOf(&array->directory, static_cast<size_t>(capacity) * sizeof(void*), true))
        return false;
    std::memset(array->directory + array->directoryCapacity, 0,
                static_cast<size_t>(capacity - array->directoryCapacity) * sizeof(void*));
    array->directoryCapacity = static_cast<int32_t>(capacity);
    return true;
}

bool ChunkedArrayAllocChunk(ChunkedArray* array, int32_t slot) {
    array->directory[slot] = AllocMemory(ChunkBytes(array), array->flags | kAllocZero);
    return array->directory[slot] != nullptr;
}

}  // namespace

ChunkedArray* CreateChunkedArray(int32_t elementSize, int32_t expectedCount,
                                 int32_t elementsPerChunk, uint32_t flags) {
    if (elementSize <= 0) return nullptr;
    auto* array = static_cast<ChunkedArray*>(AllocMemory(sizeof(ChunkedArray), flags));
    if (array == nullptr) return nullptr;
    array->elementSize = (elementSize + 1) & ~1;
    int32_t shift = 3;
    while (shift < kLargestChunkShift && (int32_t{1} << shift) < elementsPerChunk) ++shift;
    array->shift = shift;
    array->indexMask = (int32_t{1} << shift) - 1;
    if (expectedCount <= 0) expectedCount = 100;
    int64_t slots = (int64_t{2} * expectedCount) >> shift;
    array->directoryCapacity = slots < 1 ? 1 : static_cast<int32_t>(slots);
    array->flags = static_cast<uint16_t>(flags);
    array->lastIndex = -1;
    array->directory = static_cast<void**>(
        AllocMemory(static_cast<size_t>(array->directoryCapacity) * sizeof(void*), flags | kAllocZero));
    if (array->directory == nullptr) {
        FreeMemory(array);
        return nullptr;
    }
    return array;
}

void FreeChunkedArray(ChunkedArray* array) {
    if (array == nullptr) return;
    for (int32_t k = 0; k < array->directoryCapacity; ++k) FreeMemory(array->directory[k]);
    FreeMemory(array->directory);
    FreeMemory(array);
}

void* ChunkedArrayAt(ChunkedArray* array, int32_t index) {
    if (index < 0) return nullptr;
    const int32_t slot = index >> array->shift;
    if (slot >= array->directoryCapacity && !ChunkedArrayGrowDirectory(array, slot)) return nullptr;
    if (array->directory[slot] == nullptr && !ChunkedArrayAllocChunk(array, slot)) return nullptr;
    if (array->lastIndex < index) array->lastIndex = index;
    const size_t offset = static_cast<size_t>(index & array->indexMask) * static_cast<size_t>(array->elementSize);
    return static_cast<char*>(array->directory[slot]) + offset;
}

int32_t ChunkedArrayLastIndex(const ChunkedArray* array) {
    return array->lastIndex;
}

void ChunkedArrayTruncate(ChunkedArray* array, int32_t index) {
    if (index < -1) index = -1;
    // Division toward zero keeps chunk 0 even for index -1.
    const int32_t firstFreed = index / (array->indexMask + 1) + 1;
    for (int32_t k = firstFreed; k < array->directoryCapacity; ++k) {
        FreeMemory(array->directory[k]);
        array->directory[k] = nullptr;
    }
    array->lastIndex = index;
}

void ChunkedArrayClear(ChunkedArray* array) {
    for (int32_t k = 0; k < array->directoryCapacity; ++k)
        if (array->directory[k] != nullptr) std::memset(array->directory[k], 0, ChunkBytes(array));
}
