// A growable array of fixed-size elements kept in power-of-two chunks. Elements never
// move, so callers may keep element pointers while the array grows.
#pragma once
#include <cstdint>

struct ChunkedArray {
    int32_t  elementSize;        // bytes, the requested size rounded up to even
    int32_t  indexMask;          // elements per chunk - 1
    int32_t  shift;              // log2 of the elements per chunk
    int32_t  directoryCapacity;  // chunk slots
    void**   directory;          // chunk pointers; null = not allocated yet
    uint16_t flags;              // AllocMemory flags of the directory and every chunk
    int32_t  lastIndex;          // highest index handed out; -1 when none
};

// Chunks hold the smallest power of two of elements that is at least
// max(elementsPerChunk, 8); an expected count of 0 means 100.
ChunkedArray* CreateChunkedArray(int32_t elementSize, int32_t expectedCount,
                                 int32_t elementsPerChunk, uint32_t flags);
void FreeChunkedArray(ChunkedArray* array);
// The address of element `index` (any non-negative index); its chunk is made on
// demand, zero-filled. Null when memory fails or the index is negative.
void* ChunkedArrayAt(ChunkedArray* array, int32_t index);
int32_t ChunkedArrayLastIndex(const ChunkedArray* array);
// Frees every chunk after the one holding `index` and makes `index` the last index.
void ChunkedArrayTruncate(ChunkedArray* array, int32_t index);
// Zeroes every allocated chunk; chunks and last index stay.
void ChunkedArrayClear(ChunkedArray* array);
