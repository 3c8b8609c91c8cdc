#include "release2/platform/picture_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/result_codes.h"

namespace {

uint16_t Word(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// A packed DIB with a 40-byte header: `colors` table entries (biClrUsed), then the rows.
std::vector<uint8_t> Dib(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0,
                         uint32_t colorsUsed = 0, uint32_t tableEntries = 0, uint32_t extra = 0) {
    const uint32_t rowBytes = (uint32_t(width) * bits + 31) / 32 * 4;
    const uint32_t rows = uint32_t(height < 0 ? -height : height);
    std::vector<uint8_t> d(40 + tableEntries * 4 + (compression == 3 ? 12 : 0) + rowBytes * rows + extra);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(d.data() + at, &v, 4); };
    put32(0, 40);
    put32(4, uint32_t(width));
    put32(8, uint32_t(height));
    d[12] = 1;
    d[14] = uint8_t(bits);
    put32(16, compression);
    put32(32, colorsUsed);
    return d;
}

}  // namespace

TEST(PlaceableHeader, SizesUnitsAndChecksum) {
    uint8_t h[22];
    // Picture scale 2: the 100 by 50 rectangle is 200 by 100.
    ASSERT_TRUE(BuildPlaceableHeader(2 * 100, 2 * 50, 96, h));
    EXPECT_EQ(Word(h) | Word(h + 2) << 16, kPlaceableKey);
    EXPECT_EQ(Word(h + 4), 0);
    EXPECT_EQ(Word(h + 6), 0);
    EXPECT_EQ(Word(h + 8), 0);
    EXPECT_EQ(Word(h + 10), 200);
    EXPECT_EQ(Word(h + 12), 100);
    EXPECT_EQ(Word(h + 14), 96);
    EXPECT_EQ(Word(h + 16) | Word(h + 18), 0);
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= Word(h + 2 * i);
    EXPECT_EQ(Word(h + 20), sum);
    EXPECT_EQ(sum, 0xCDD7 ^ 0x9AC6 ^ 200 ^ 100 ^ 96);
    for (auto [w, hgt, units] : { std::tuple{ 0, 10, 96 }, { 10, -1, 96 }, { 40000, 10, 96 }, { 10, 10, 0 } })
        EXPECT_FALSE(BuildPlaceableHeader(w, hgt, units, h));
}

TEST(PictureMapping, SquarePixelsAtScaleTwo) {
    const PictureMappingInput in = { { 10, 20, 110, 70 }, 2, 96, 100, 254, 254, 960, 960 };
    PictureMapping m{};
    ASSERT_TRUE(ComputePictureMappingNumbers(in, false, &m));
    EXPECT_EQ(m.lineBounds.left, 22);
    EXPECT_EQ(m.lineBounds.top, 42);
    EXPECT_EQ(m.lineBounds.right, 218);
    EXPECT_EQ(m.lineBounds.bottom, 138);
    EXPECT_EQ(m.frame.left, 529);
    EXPECT_EQ(m.frame.top, 1058);
    EXPECT_EQ(m.frame.right, 5820);
    EXPECT_EQ(m.frame.bottom, 3704);
    EXPECT_EQ(m.windowExtentX, 200);
    EXPECT_EQ(m.windowExtentY, 100);
    EXPECT_EQ(m.windowOriginX, 20);
    EXPECT_EQ(m.windowOriginY, 40);

    ASSERT_TRUE(ComputePictureMappingNumbers(in, true, &m));
    EXPECT_EQ(m.windowExtentX, 100);
    EXPECT_EQ(m.windowExtentY, 50);
    EXPECT_EQ(m.viewportExtentX, 100);
    EXPECT_EQ(m.viewportExtentY, 50);
    EXPECT_EQ(m.windowOriginX, 0);
}

TEST(PictureMapping, PixelShapeStretchesOneSide) {
    // The screen here: 1024 x 768 pixels on 271 x 203 mm, a little narrower than tall.
    PictureMappingInput in = { { 0, 0, 400, 300 }, 1, 96, 100, 271, 203, 1024, 768 };
    PictureMapping m{};
    ASSERT_TRUE(ComputePictureMappingNumbers(in, false, &m));
    EXPECT_EQ(m.frame.right - m.frame.left, MulDivRounded(400 * 2540 / 96, 271 * 768, 203 * 1024));
    EXPECT_EQ(m.frame.bottom, 300 * 2540 / 96);
    EXPECT_EQ(m.windowExtentX, MulDivRounded(400, 271 * 768, 203 * 1024));
    EXPECT_EQ(m.windowExtentY, 300);
    // The other way round the height is stretched.
    in = { { 0, 0, 400, 300 }, 1, 96, 100, 203, 271, 768, 1024 };
    ASSERT_TRUE(ComputePictureMappingNumbers(in, false, &m));
    EXPECT_EQ(m.frame.right, 400 * 2540 / 96);
    EXPECT_EQ(m.windowExtentY, MulDivRounded(300, 271 * 768, 203 * 1024));

    for (PictureMappingInput bad : { PictureMappingInput{ { 0, 0, 0, 10 }, 1, 96, 100, 1, 1, 1, 1 },
                                     PictureMappingInput{ { 0, 0, 10, 10 }, 1, 0, 100, 1, 1, 1, 1 },
                                     PictureMappingInput{ { 0, 0, 10, 10 }, 1, 96, 100, 0, 1, 1, 1 } })
        EXPECT_FALSE(ComputePictureMappingNumbers(bad, true, &m));
}

TEST(PictureMapping, MulDivRoundsHalfAwayFromZero) {
    struct Case { int32_t a, b, c, out; };
    const Case cases[] = { { 5, 1, 2, 3 }, { -5, 1, 2, -3 }, { 7, 3, 2, 11 }, { 1, 1, 0, -1 },
                           { 0x40000000, 8, 2, -1 }, { 100000, 100000, 100000, 100000 } };
    for (const Case& c : cases) EXPECT_EQ(MulDivRounded(c.a, c.b, c.c), c.out) << c.a << " " << c.b << " " << c.c;
}

TEST(DibChecks, BitsOnlyWhenTheBlockHoldsTableAndRows) {
    struct Case { std::vector<uint8_t> dib; int32_t bitsAt; };
    std::vector<uint8_t> core(12 + 2 * 3 + 4);
    core[0] = 12; core[4] = 3; core[6] = 1; core[8] = 1; core[10] = 1;  // 3 x 1, 1 bit
    const Case cases[] = {
        { Dib(2, 2, 8, 0, 0, 256), 40 + 1024 },        // 2^8 colours when none is counted
        { Dib(2, 2, 8, 0, 3, 3), 40 + 12 },
        { Dib(2, 2, 8, 0, 300, 3), -1 },               // a table past the block
        { Dib(2, -2, 24), 40 },
        { Dib(2, 2, 32, 3), 52 },                      // masks after the header
        { Dib(2, 2, 24, 0, 0, 0, 0), 40 },
        { core, 18 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bitsAt);
        const uint8_t* bits = GetDibBits(c.dib.data(), uint32_t(c.dib.size()));
        EXPECT_EQ(bits ? int32_t(bits - c.dib.data()) : -1, c.bitsAt);
    }
    // Rows cut short by one byte.
    std::vector<uint8_t> shortRows = Dib(2, 2, 24);
    shortRows.pop_back();
    EXPECT_EQ(GetDibBits(shortRows.data(), uint32_t(shortRows.size())), nullptr);
}

TEST(DibChecks, BottomUpSwapsRowsOfSoundTopDownDibsOnly) {
    std::vector<uint8_t> dib = Dib(1, -3, 24);  // rows of 4 bytes
    for (int r = 0; r < 3; ++r) std::memset(dib.data() + 40 + 4 * r, 'a' + r, 4);
    EXPECT_EQ(MakeDibBottomUp(dib.data(), uint32_t(dib.size())), kResultOK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dib.data()) + 40, 12), "ccccbbbbaaaa");
    int32_t height = 0;
    std::memcpy(&height, dib.data() + 8, 4);
    EXPECT_EQ(height, 3);

    // Already bottom-up, or with rows past the block: left as it is.
    const std::vector<uint8_t> upright = dib;
    EXPECT_EQ(MakeDibBottomUp(dib.data(), uint32_t(dib.size())), kResultOK);
    EXPECT_EQ(dib, upright);
    std::vector<uint8_t> cut = Dib(1, -3, 24);
    const std::vector<uint8_t> cutBefore = cut;
    EXPECT_EQ(MakeDibBottomUp(cut.data(), uint32_t(cut.size() - 1)), kResultOK);
    EXPECT_EQ(cut, cutBefore);

    std::vector<uint8_t> starved = Dib(1, -3, 24);
    starved[40] = 'x';
    const std::vector<uint8_t> starvedBefore = starved;
    SetAllocFailureAfter(1, true);
    EXPECT_EQ(MakeDibBottomUp(starved.data(), uint32_t(starved.size())), kResultOutOfMemory);
    SetAllocFailureAfter(0);
    EXPECT_EQ(starved, starvedBefore);
}
