#include <gtest/gtest.h>

#include "engine/core/color_list.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/text_style.h"
#include "platform/rules/colors.h"

namespace {

TEST(StyleColors, ComponentsPlusOneAndNoColor) {
    TextStyle style{};
    uint32_t color = 1;
    StyleToColorRef(&style, &color);
    EXPECT_EQ(color, kNoStyleColor);

    ColorRefToStyle(RgbColor(0, 0, 0), &style);
    EXPECT_EQ(style.field[kStyleRed], 1);
    EXPECT_EQ(style.field[kStyleBlue], 1);
    StyleToColorRef(&style, &color);
    EXPECT_EQ(color, 0u);

    ColorRefToStyle(RgbColor(255, 128, 7), &style);
    EXPECT_EQ(style.field[kStyleRed], 256);
    StyleToColorRef(&style, &color);
    EXPECT_EQ(color, RgbColor(255, 128, 7));

    uint8_t rgb[3];
    UnpackRgb(rgb, RgbColor(1, 2, 3) | 0x02000000);
    PackRgb(&color, rgb[0], rgb[1], rgb[2]);
    EXPECT_EQ(color, RgbColor(1, 2, 3));
    EXPECT_TRUE(SameRgb(0x02123456, 0x00123456));
    EXPECT_FALSE(SameRgb(0x123456, 0x123457));
}

TEST(HueSatLum, PrimariesMixturesAndGreys) {
    struct Case { int32_t r, g, b, hue, sat, lum; };
    const Case cases[] = {
        { 255, 0, 0, 0, 240, 120 },   { 255, 0, 255, 200, 240, 120 }, { 0, 255, 255, 120, 240, 120 },
        { 0, 255, 0, 80, 240, 120 },  { 0, 0, 128, 160, 240, 60 },    { 255, 128, 0, 20, 240, 120 },
        // Greys have no hue: saturation 0 and hue 0, with no division by max - min.
        { 255, 255, 255, 0, 0, 240 }, { 192, 192, 192, 0, 0, 180 },   { 0, 0, 0, 0, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.r << "," << c.g << "," << c.b);
        int32_t hue = -1, sat = -1, lum = -1;
        RgbToHueSatLum(c.r, c.g, c.b, &hue, &sat, &lum);
        EXPECT_EQ(hue, c.hue);
        EXPECT_EQ(sat, c.sat);
        EXPECT_EQ(lum, c.lum);
    }
    RgbToHueSatLum(10, 20, 30, nullptr, nullptr, nullptr);  // every output may be left out
}

TEST(SelectionColor, KeepsClearOfTheBackgroundAndTheHighlight) {
    struct Case { uint32_t background, highlight, contrast, selection; };
    const uint32_t white = RgbColor(255, 255, 255), black = 0, magenta = RgbColor(255, 0, 255);
    const uint32_t red = RgbColor(255, 0, 0), cyan = RgbColor(0, 255, 255);
    const Case cases[] = {
        { white, magenta, black, cyan },                    // red 30, magenta 1205, cyan 25
        { black, magenta, white, cyan },                    // a black background has no hue either
        { RgbColor(192, 192, 192), magenta, black, cyan },  // light grey: sum 576
        { white, white, black, red },                       // nothing to avoid: the first candidate
        { RgbColor(0, 200, 200), red, black, magenta },     // cyan background, red highlight
        { RgbColor(96, 96, 96), magenta, black, cyan },     // sum exactly 288 counts as light
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.background << " " << c.highlight);
        const SelectionColors s = SelectionColorsFor(c.background, c.highlight);
        EXPECT_EQ(s.contrast, c.contrast);
        EXPECT_EQ(s.selection, c.selection);
    }
}

TEST(DefaultColors, PaletteFollowsTheWindowColour) {
    uint32_t palette[12];
    DefaultPaletteFor(RgbColor(96, 96, 96), palette);  // sum 288: light
    EXPECT_EQ(palette[0], RgbColor(255, 0, 0));
    EXPECT_EQ(palette[6], RgbColor(255, 0, 255));
    EXPECT_EQ(palette[7], RgbColor(96, 96, 96));
    EXPECT_EQ(palette[8], RgbColor(192, 192, 192));
    for (int32_t i = 9; i < 12; ++i) EXPECT_EQ(palette[i], 0u);
    DefaultPaletteFor(RgbColor(96, 96, 95), palette);
    for (int32_t i = 9; i < 12; ++i) EXPECT_EQ(palette[i], RgbColor(255, 255, 255));

    CustomColorBlock block{};
    FillDefaultCustomColors(&block);
    EXPECT_EQ(block.count, 16);
    EXPECT_EQ(block.colors[8], RgbColor(138, 102, 217));
    EXPECT_EQ(block.colors[13], RgbColor(192, 133, 74));
    EXPECT_EQ(block.colors[15], RgbColor(128, 128, 128));
}

TEST(DefaultColors, ColorMenuMarkKeepsItsColourWhenCleared) {
    SetColorMenuMark(true, RgbColor(1, 2, 3));
    EXPECT_TRUE(CurrentColorMenuMark().shown);
    SetColorMenuMark(false, 0);
    EXPECT_FALSE(CurrentColorMenuMark().shown);
    EXPECT_EQ(CurrentColorMenuMark().color, RgbColor(1, 2, 3));
}

}  // namespace
