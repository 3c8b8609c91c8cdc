#include "engine/core/chunked_array.h"

#include "engine/core/memory.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ChunkedArray, ChunkAndDirectoryArithmetic) {
    struct Case { int32_t size, expected, chunk; int32_t elementSize, perChunk, shift, directory; };
    const Case cases[] = {
        { 10, 0, 3, 10, 8, 3, 25 },
        { 7, 1000, 100, 8, 128, 7, 15 },
        { 4, 2, 8, 4, 8, 3, 1 },        // directory of at least one slot
        { 12, 100, 64, 12, 64, 6, 3 },  // a power of two stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size * 1000 + c.chunk);
        ChunkedArray* a = CreateChunkedArray(c.size, c.expected, c.chunk, 0);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->elementSize, c.elementSize);
        EXPECT_EQ(a->indexMask + 1, c.perChunk);
        EXPECT_EQ(a->shift, c.shift);
        EXPECT_EQ(a->directoryCapacity, c.directory);
        EXPECT_EQ(ChunkedArrayLastIndex(a), -1);
        FreeChunkedArray(a);
    }
}

TEST(ChunkedArray, ElementsNeverMoveWhileTheDirectoryGrows) {
    ChunkedArray* a = CreateChunkedArray(10, 0, 3, 0);  // 8 per chunk, 25 slots
    ASSERT_NE(a, nullptr);
    auto* first = static_cast<char*>(ChunkedArrayAt(a, 0));
    ASSERT_NE(first, nullptr);
    std::memcpy(first, "kept", 5);
    EXPECT_EQ(static_cast<char*>(ChunkedArrayAt(a, 1)), first + 10);

    ASSERT_NE(ChunkedArrayAt(a, 25 * 8), nullptr);  // slot 25: 25 % more is enough
    EXPECT_EQ(a->directoryCapacity, 31);
    ASSERT_NE(ChunkedArrayAt(a, 1000 * 8 + 3), nullptr);  // 25 % more falls short
    EXPECT_EQ(a->directoryCapacity, 1001);
    EXPECT_EQ(ChunkedArrayLastIndex(a), 8003);
    EXPECT_EQ(ChunkedArrayAt(a, 0), first);
    EXPECT_STREQ(first, "kept");
    // A new chunk starts zeroed.
    auto* fresh = static_cast<unsigned char*>(ChunkedArrayAt(a, 40));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(fresh[i], 0);
    EXPECT_EQ(ChunkedArrayAt(a, -1), nullptr);
    FreeChunkedArray(a);
}

TEST(ChunkedArray, TruncateKeepsTheChunkOfTheIndexAndClearZeroes) {
    ChunkedArray* a = CreateChunkedArray(4, 0, 8, 0);
    ASSERT_NE(a, nullptr);
    for (int32_t i = 0; i < 40; ++i) *static_cast<int32_t*>(ChunkedArrayAt(a, i)) = i + 1;

    ChunkedArrayTruncate(a, 9);  // keeps chunks 0 and 1
    EXPECT_EQ(ChunkedArrayLastIndex(a), 9);
    EXPECT_NE(a->directory[1], nullptr);
    EXPECT_EQ(a->directory[2], nullptr);
    EXPECT_EQ(*static_cast<int32_t*>(ChunkedArrayAt(a, 15)), 16);

    ChunkedArrayTruncate(a, -1);  // chunk 0 stays even now
    EXPECT_EQ(ChunkedArrayLastIndex(a), -1);
    EXPECT_NE(a->directory[0], nullptr);
    EXPECT_EQ(a->directory[1], nullptr);

    ChunkedArrayClear(a);
    EXPECT_EQ(ChunkedArrayLastIndex(a), -1);
    EXPECT_EQ(*static_cast<int32_t*>(a->directory[0]), 0);
    FreeChunkedArray(a);
}

TEST(ChunkedArray, OutOfMemoryLeavesTheArrayAsItWas) {
    for (uint32_t failing : { 1u, 2u }) {  // header, then directory
        SetAllocFailureAfter(failing, true);
        EXPECT_EQ(CreateChunkedArray(4, 0, 8, 0), nullptr);
    }
    SetAllocFailureAfter(0);
    ChunkedArray* a = CreateChunkedArray(4, 8, 8, 0);  // 2 slots
    ASSERT_NE(a, nullptr);
    ASSERT_NE(ChunkedArrayAt(a, 3), nullptr);

    SetAllocFailureAfter(1, true);
    EXPECT_EQ(ChunkedArrayAt(a, 100), nullptr);  // directory growth fails
    EXPECT_EQ(a->directoryCapacity, 2);
    EXPECT_EQ(ChunkedArrayAt(a, 12), nullptr);   // chunk fails
    EXPECT_EQ(a->directory[1], nullptr);
    EXPECT_EQ(ChunkedArrayLastIndex(a), 3);
    EXPECT_NE(ChunkedArrayAt(a, 5), nullptr);    // an existing chunk needs nothing
    SetAllocFailureAfter(0);
    FreeChunkedArray(a);
}

}  // namespace
