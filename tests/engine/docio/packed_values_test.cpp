#include "engine/docio/packed_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

TEST(PackedReal32, WorkedValues) {
    struct Case { double in; uint32_t out; };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        { 1.0, 0x40800000u }, { 0.5, 0x3f800000u }, { 3.0, 0x41c00000u }, { -1.0, 0xc0800000u },
        { 0.0, 0u }, { -0.0, 0u },
        { std::ldexp(1.0, 64), 0x7fffffffu }, { 1.5 * std::ldexp(1.0, 64), 0x7fffffffu },
        { -std::ldexp(1.0, 70), 0xffffffffu }, { inf, 0x7fffffffu }, { -inf, 0xffffffffu },
        { 1 + std::ldexp(1.0, -24), 0x40800001u },            // 25th bit rounds up
        { 2 - std::ldexp(1.0, -25), 0x41800000u },            // carry to the next exponent
        { std::ldexp(1.0, -70), 0x00020000u },                // e = 0, bit 23 clear
        { std::ldexp(1.0, -88), 0x00000001u },                // smallest step
        { 1.5 * std::ldexp(1.0, -88), 0x00000001u },
        { std::ldexp(1.0, -90), 0u },
        { -std::ldexp(1.0, -90), 0x80000000u },               // sign kept on underflow
        { std::nan(""), 0x80000000u },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(PackReal32(c.in), c.out);
    }
}

TEST(PackedReal32, RoundTripsEveryValueOf24Bits) {
    const uint32_t mantissas[] = { 1, 0x800000, 0xffffff, 0xabcdef, 0x123457, 3 };
    for (int exp = -64; exp <= 63; exp += 7) {
        for (uint32_t m : mantissas) {
            for (double sign : { 1.0, -1.0 }) {
                // A 24-bit mantissa scaled so that the value lies in [2^exp, 2^(exp+1)).
                int top = 0;
                while ((m >> top) > 1) ++top;
                double x = sign * std::ldexp(static_cast<double>(m), exp - top);
                SCOPED_TRACE(x);
                EXPECT_EQ(UnpackReal32(PackReal32(x)), x);
            }
        }
    }
    EXPECT_EQ(UnpackReal32(0x7fffffffu), std::ldexp(static_cast<double>(0xffffff), 40));
}

TEST(FileOrderReals, LittleEndianIeee) {
    const double in[2] = { 1.0, -2.5 };
    uint8_t bytes[16];
    EXPECT_EQ(RealsToFileOrder(bytes, in, 2), 16u);
    const uint8_t one[8] = { 0, 0, 0, 0, 0, 0, 0xf0, 0x3f };
    EXPECT_EQ(std::memcmp(bytes, one, 8), 0);
    double out[2];
    EXPECT_EQ(RealsFromFileOrder(out, bytes, 2), 16u);
    EXPECT_EQ(out[0], 1.0);
    EXPECT_EQ(out[1], -2.5);
}

TEST(CountedString, PackedSizes) {
    EXPECT_EQ(PackCountedString(nullptr, "abc", 0), 6u);
    EXPECT_EQ(PackCountedString(nullptr, "ab", 0), 6u);
    EXPECT_EQ(PackCountedString(nullptr, "", 0), 4u);
    EXPECT_EQ(PackCountedString(nullptr, "abcdef", 3), 6u);
}

TEST(CountedString, PacksAndUnpacks) {
    uint8_t buf[8];
    std::memset(buf, 0xee, sizeof buf);
    EXPECT_EQ(PackCountedString(buf, "ab", 0), 6u);
    const uint8_t want[5] = { 2, 0, 'a', 'b', 0 };
    EXPECT_EQ(std::memcmp(buf, want, 5), 0);
    EXPECT_EQ(buf[5], 0xee);  // the pad byte is the caller's
    char text[8];
    EXPECT_EQ(UnpackCountedString(text, buf), 3u);
    EXPECT_STREQ(text, "ab");
    EXPECT_EQ(UnpackCountedString(nullptr, buf), 3u);
}

TEST(CountedString, BoundedCheckRefusesStringsThatLeaveTheirBlock) {
    const uint8_t good[6] = { 2, 0, 'a', 'b', 0, 0 };
    uint32_t n = 0, size = 0;
    EXPECT_TRUE(CheckCountedString(good, 6, &n, &size));
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(size, 6u);
    EXPECT_TRUE(CheckCountedString(good, 5, &n, &size));  // pad byte missing at the very end
    EXPECT_EQ(size, 5u);
    EXPECT_FALSE(CheckCountedString(good, 4, &n, &size));  // NUL outside
    const uint8_t huge[6] = { 0xff, 0xff, 'a', 'b', 0, 0 };
    EXPECT_FALSE(CheckCountedString(huge, 6, &n, &size));
    const uint8_t noNul[6] = { 2, 0, 'a', 'b', 'c', 0 };
    EXPECT_FALSE(CheckCountedString(noNul, 6, &n, &size));
    EXPECT_FALSE(CheckCountedString(good, 2, &n, &size));
}

TEST(ShortStrings, CopyCutsAt255) {
    char src[300];
    std::memset(src, 'x', 299);
    src[299] = 0;
    char buf[256];
    CopyString255(buf, src);
    EXPECT_EQ(StringLength(buf), 255u);
    EXPECT_STREQ(ClearString(buf), "");
    CopyText255(buf, "hi");
    EXPECT_STREQ(buf, "hi");
}
