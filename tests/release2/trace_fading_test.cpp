#include "release2/platform/trace_fading.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(TraceFading, TicksBetweenSteps) {
    struct Case { int32_t setting, ticks; };
    const Case cases[] = { { 1, 8 }, { 9, 4 }, { 15, 1 }, { 16, 1 }, { 17, 1 }, { 40, 1 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        EXPECT_EQ(TraceFadeTicksFor(c.setting), c.ticks);
    }
}

TEST(TraceFading, FadeChannelSteps) {
    struct Case { int32_t value, target, range, out; };
    const Case cases[] = {
        { 0, 255, 256, 15 },     // a sixteenth of the way
        { 200, 200, 256, 200 },
        { 252, 255, 256, 255 },  // 3 away: the least step 4 stops at the target
        { 250, 255, 256, 254 },  // 5 away: step 0 -> least step 4
        { 255, 0, 256, 240 },
        { 3, 0, 256, 0 },
        { 30, 255, 32, 31 },     // one unit from the background (255 is 31 in 5 bits)
        { 0, 255, 32, 1 },       // step 1 (31 / 16 rounds to 1)
        { 16, 0, 32, 15 },
        { 31, 8, 32, 30 },       // target 8 is 1 in 5 bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " -> " << c.target << " in " << c.range);
        EXPECT_EQ(FadeChannel(c.value, c.target, kFadeStrength, c.range), c.out);
    }
}

TEST(TraceFading, ChannelsNeverPassTheTargetAndArriveWithinTheCycles) {
    // Every start and target: each step moves toward the target without passing it. The
    // 32 cycles of the fade do not always arrive (black to white takes 39 steps), which
    // is why the end of the countdown clears the area.
    int32_t longest = 0;
    for (int32_t range : { 256, 32 }) {
        for (int32_t target = 0; target < 256; target += 5) {
            const int32_t t = target / (256 / range);
            for (int32_t start = 0; start < range; ++start) {
                int32_t v = start, steps = 0;
                while (v != t) {
                    const int32_t next = FadeChannel(v, target, kFadeStrength, range);
                    ASSERT_TRUE(v < t ? next > v && next <= t : next < v && next >= t) << v << " " << t;
                    v = next;
                    ++steps;
                }
                if (range == 256) longest = std::max(longest, steps);
            }
        }
    }
    EXPECT_EQ(longest, 39);
}

// 32-bit rows are faded four pixels at a time by arithmetic rather than by the tables:
// every channel value, toward backgrounds on either side of it, step after step, must be
// what FadeChannel gives, with the fourth byte kept and a short row's last pixels too.
TEST(TraceFading, WideRowsFadeEveryChannelValueAsFadeChannelDoes) {
    const uint32_t backgrounds[] = { 0x00FFFFFF, 0x00000000, 0x00406080, 0x0003FD7F };
    for (uint32_t background : backgrounds) {
        SCOPED_TRACE(testing::Message() << std::hex << background);
        FadeTables tables;
        BuildFadeTables(background, kFadeStrength, &tables);
        const int32_t target[3] = { int32_t(background >> 16) & 0xFF, int32_t(background >> 8) & 0xFF,
                                    int32_t(background) & 0xFF };  // blue, green, red
        constexpr int32_t kWidth = 259;  // not a multiple of four
        std::vector<uint8_t> row(4 * kWidth), expected(4 * kWidth);
        for (int32_t i = 0; i < kWidth; ++i) {
            const uint8_t pixel[4] = { uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), uint8_t(i ^ 0x5A) };
            std::memcpy(&row[4 * i], pixel, 4);
        }
        expected = row;
        for (int32_t step = 0; step < 40; ++step) {
            FadePixelRows(row.data(), kWidth, 1, 32, tables);
            for (int32_t i = 0; i < 4 * kWidth; ++i) {
                if (i % 4 != 3) expected[i] = uint8_t(FadeChannel(expected[i], target[i % 4], kFadeStrength, 256));
            }
            ASSERT_EQ(row, expected) << "step " << step;
        }
    }
}

TEST(TraceFading, PixelRowsByDepth) {
    FadeTables tables;
    BuildFadeTables(0x00FFFFFF, kFadeStrength, &tables);  // white
    // Two pixels a row, two rows; the rows' padding must stay untouched.
    {
        uint8_t bits[2 * 8];
        const uint8_t pixel[4] = { 0x00, 0x80, 0xFF, 0x42 };
        for (int32_t i = 0; i < 4; ++i) std::memcpy(bits + 4 * i, pixel, 4);
        FadePixelRows(bits, 2, 2, 32, tables);
        for (int32_t i = 0; i < 4; ++i) {
            EXPECT_EQ(bits[4 * i + 0], 15);
            EXPECT_EQ(bits[4 * i + 1], 135);
            EXPECT_EQ(bits[4 * i + 2], 255);
            EXPECT_EQ(bits[4 * i + 3], 0x42);  // the fourth byte is kept
        }
    }
    {
        uint8_t bits[2 * 8];
        std::memset(bits, 0, sizeof bits);
        bits[6] = bits[7] = 0xEE;  // padding of row 0
        FadePixelRows(bits, 2, 2, 24, tables);
        EXPECT_EQ(bits[0], 15);
        EXPECT_EQ(bits[5], 15);
        EXPECT_EQ(bits[6], 0xEE);
        EXPECT_EQ(bits[7], 0xEE);
        EXPECT_EQ(bits[8], 15);
    }
    {
        // 5-5-5: red 0, green 16, blue 30 -> red 1, green 17, blue 31.
        uint16_t px = uint16_t((0 << 10) | (16 << 5) | 30);
        uint8_t bits[4] = { uint8_t(px), uint8_t(px >> 8), 0x99, 0x99 };
        FadePixelRows(bits, 1, 1, 16, tables);
        const uint16_t out = uint16_t(bits[0] | (bits[1] << 8));
        EXPECT_EQ(out, (1 << 10) | (17 << 5) | 31);
        EXPECT_EQ(bits[2], 0x99);
    }
    {
        uint8_t bits[4] = { 1, 2, 3, 4 };
        FadePixelRows(bits, 4, 1, 8, tables);
        EXPECT_EQ(bits[0], 1);
        EXPECT_EQ(bits[3], 4);
    }
}

TEST(TraceFading, BandsAndCountdown) {
    // Rows 10..30 (20 high): bands of 5, the last to the bottom; the countdown goes down
    // once per four steps, and the area saved at band 0 serves the other three.
    int32_t index = 0, countdown = 3;
    ScreenRect saved{}, band{};
    const ScreenRect grown = { 0, 10, 50, 31 };
    const int16_t tops[4] = { 10, 15, 20, 25 }, bottoms[4] = { 15, 20, 25, 31 };
    for (int32_t i = 0; i < 4; ++i) {
        const ScreenRect moved = { 0, 0, 50, 100 };  // later changes wait for band 0
        ASSERT_TRUE(NextFadeBand(i == 0 ? grown : moved, &index, &saved, &countdown, &band));
        EXPECT_EQ(band.top, tops[i]);
        EXPECT_EQ(band.bottom, bottoms[i]);
        EXPECT_EQ(band.right, 50);
        EXPECT_EQ(countdown, 2);
    }
    EXPECT_EQ(index, 0);

    // Three rows: whole at band 0, nothing at 1..3.
    const ScreenRect low = { 0, 0, 8, 3 };
    countdown = 5;
    for (int32_t i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const bool faded = NextFadeBand(low, &index, &saved, &countdown, &band);
        EXPECT_EQ(faded, i % 4 == 0);
        if (faded) {
            EXPECT_EQ(band.top, 0);
            EXPECT_EQ(band.bottom, 3);
        }
    }
    EXPECT_EQ(countdown, 3);

    // An index out of range restarts at band 0.
    index = 7;
    countdown = 1;
    EXPECT_TRUE(NextFadeBand(grown, &index, &saved, &countdown, &band));
    EXPECT_EQ(band.top, 10);
    EXPECT_EQ(countdown, 0);
}

// 32-bit rows against FadeChannel for every channel value toward every target: 256
// pixels hold every value in each channel, faded toward 256 backgrounds whose channels
// differ. Rows of 263 pixels leave a group of four and three single pixels after the
// blocks of sixteen.
TEST(TraceFading, WideRowsMatchFadeChannelForEveryPair) {
    constexpr int32_t kWidth = 263;
    for (int32_t b = 0; b < 256; ++b) {
        const uint8_t red = uint8_t(b), green = uint8_t(255 - b), blue = uint8_t(b * 37 + 11);
        const uint32_t background = uint32_t(red) | uint32_t(green) << 8 | uint32_t(blue) << 16;
        FadeTables tables;
        BuildFadeTables(background, kFadeStrength, &tables);
        const uint8_t target[3] = { blue, green, red };
        std::vector<uint8_t> row(4 * kWidth);
        for (int32_t i = 0; i < kWidth; ++i) {
            const uint8_t pixel[4] = { uint8_t(i), uint8_t(i * 3 + 1), uint8_t(255 - i), uint8_t(i ^ 0xA5) };
            std::memcpy(&row[4 * i], pixel, 4);
        }
        std::vector<uint8_t> expected = row;
        for (int32_t i = 0; i < 4 * kWidth; ++i) {
            if (i % 4 != 3) expected[i] = uint8_t(FadeChannel(expected[i], target[i % 4], kFadeStrength, 256));
        }
        FadePixelRows(row.data(), kWidth, 1, 32, tables);
        ASSERT_EQ(row, expected) << "background " << std::hex << background;
    }
}

// A row at the background is passed over sixteen pixels at a time: one channel of one
// pixel a unit off (the least step then lands on the background) must still be faded,
// wherever in a block it is, and an unusual fourth byte alone is no reason to change.
TEST(TraceFading, OneChannelOffTheBackgroundIsFadedWhereverItIsInTheRow) {
    constexpr int32_t kWidth = 37;
    FadeTables tables;
    BuildFadeTables(0x00406080, kFadeStrength, &tables);  // 0x00BBGGRR
    const uint8_t pixel[3] = { 0x40, 0x60, 0x80 };         // blue, green, red in memory
    std::vector<uint8_t> clear(4 * kWidth);
    for (int32_t i = 0; i < kWidth; ++i) {
        std::memcpy(&clear[4 * i], pixel, 3);
        clear[4 * i + 3] = uint8_t(i);
    }
    for (int32_t byte = 0; byte < 4 * kWidth; ++byte) {
        SCOPED_TRACE(byte);
        std::vector<uint8_t> row = clear;
        row[byte] ^= 1;
        FadePixelRows(row.data(), kWidth, 1, 32, tables);
        if (byte % 4 == 3) row[byte] ^= 1;  // the fourth byte is kept as it was
        EXPECT_EQ(row, clear);
    }
}

// 5-5-5 pixels go through the 32-entry tables, whose least step is 1: every 5-bit value
// toward every background.
TEST(TraceFading, FiveBitChannelsMatchFadeChannelForEveryPair) {
    for (int32_t b = 0; b < 256; ++b) {
        const int32_t red = b, green = 255 - b, blue = (b * 37 + 11) & 0xFF;
        FadeTables tables;
        BuildFadeTables(uint32_t(red | green << 8 | blue << 16), kFadeStrength, &tables);
        std::vector<uint8_t> row(2 * 32);
        for (int32_t v = 0; v < 32; ++v) {
            const uint16_t px = uint16_t(v | (31 - v) << 5 | ((v * 7) & 31) << 10 | (v & 1) << 15);
            row[2 * v] = uint8_t(px);
            row[2 * v + 1] = uint8_t(px >> 8);
        }
        FadePixelRows(row.data(), 32, 1, 16, tables);
        for (int32_t v = 0; v < 32; ++v) {
            SCOPED_TRACE(testing::Message() << "background " << b << " value " << v);
            const uint16_t out = uint16_t(row[2 * v] | row[2 * v + 1] << 8);
            EXPECT_EQ(out & 31, FadeChannel(v, blue, kFadeStrength, 32));
            EXPECT_EQ((out >> 5) & 31, FadeChannel(31 - v, green, kFadeStrength, 32));
            EXPECT_EQ((out >> 10) & 31, FadeChannel((v * 7) & 31, red, kFadeStrength, 32));
            EXPECT_EQ(out >> 15, v & 1);
        }
    }
}
