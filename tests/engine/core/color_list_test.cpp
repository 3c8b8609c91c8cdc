#include "engine/core/color_list.h"

#include "engine/core/memory.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> Stored(uint32_t count, uint32_t present) {
    std::vector<uint8_t> bytes(4 + 4 * size_t{present}, 0);
    bytes[0] = static_cast<uint8_t>(count);
    bytes[1] = static_cast<uint8_t>(count >> 8);
    for (uint32_t i = 0; i < present; ++i) {
        bytes[4 + 4 * i] = static_cast<uint8_t>(i);
        bytes[5 + 4 * i] = 0x80;
        bytes[6 + 4 * i] = static_cast<uint8_t>(0xF0 + i % 16);
        bytes[7 + 4 * i] = 0x55;
    }
    return bytes;
}

TEST(ColorList, ReadsAtMostSixteenAndNoMoreThanTheBytesHold) {
    struct Case { uint32_t count, present; int32_t read; };
    const Case cases[] = { { 20, 20, 16 }, { 3, 3, 3 }, { 5, 2, 2 }, { 0, 4, 0 }, { 300, 1, 1 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        const std::vector<uint8_t> bytes = Stored(c.count, c.present);
        CustomColorBlock* list = ReadColorList(bytes.data(), static_cast<uint32_t>(bytes.size()));
        if (c.read == 0) {
            EXPECT_EQ(list, nullptr);
            continue;
        }
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->count, c.read);
        EXPECT_EQ(list->colors[1 % c.read], 0x00F08000u + ((1u % c.read) << 16) + (1u % c.read));
        FreeMemory(list);
    }
    const uint8_t shortBytes[2] = { 1, 0 };
    EXPECT_EQ(ReadColorList(shortBytes, 2), nullptr);
    EXPECT_EQ(ReadColorList(nullptr, 0), nullptr);
}

TEST(ColorList, WritesWhatItReads) {
    const std::vector<uint8_t> bytes = Stored(4, 4);
    CustomColorBlock* list = ReadColorList(bytes.data(), static_cast<uint32_t>(bytes.size()));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(WriteColorList(list, nullptr), 20u);
    std::vector<uint8_t> out(20, 0xEE);
    EXPECT_EQ(WriteColorList(list, out.data()), 20u);
    std::vector<uint8_t> expected = bytes;
    for (size_t i = 7; i < expected.size(); i += 4) expected[i] = 0;  // the unused byte
    EXPECT_EQ(out, expected);
    FreeMemory(list);
    EXPECT_EQ(WriteColorList(nullptr, nullptr), 4u);

    SetAllocFailureAfter(1, true);
    EXPECT_EQ(ReadColorList(bytes.data(), static_cast<uint32_t>(bytes.size())), nullptr);
    SetAllocFailureAfter(0);
}

}  // namespace
