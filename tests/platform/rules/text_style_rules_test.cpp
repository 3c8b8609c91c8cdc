#include "platform/rules/text_style_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/core/services/text_style.h"

namespace {

TEST(SizeText, ParsesTypedSizesAndRefusesWhatCannotBeApplied) {
    struct Case { const char* text; int32_t twentieths; uint32_t message; };
    const Case cases[] = {
        { "9", 180, 0 },          { " 10.5\t", 210, 0 },    { "", kSizeEmpty, 0 },
        { "  ", kSizeEmpty, 0 },  { "12abc", kSizeNotANumber, 214 },
        { "1638", 32760, 0 },     { "1639", kSizeTooLarge, 215 }, { "0", 0, 215 },
        { "0.5", 10, 215 },       { "-3", 0, 215 },
        // Too large for any integer: refused before it is converted.
        { "1e99", kSizeTooLarge, 215 }, { "inf", kSizeTooLarge, 215 }, { "nan", kSizeNotANumber, 214 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const int32_t size = ParseSizeText(c.text);
        EXPECT_EQ(size, c.twentieths);
        EXPECT_EQ(SizeRefusalMessage(size), c.message);
        EXPECT_EQ(IsAcceptableSize(size), c.message == 0 && size != kSizeEmpty);
    }
}

TEST(SizeText, ShowsWholeAndHalfPoints) {
    struct Case { int32_t twentieths; const char* text; };
    const Case cases[] = { { 180, "9" }, { 210, "10.5" }, { 214, "10.5" }, { 215, "11" }, { -1, "" }, { 0, "0" } };
    for (const Case& c : cases) {
        char text[16] = "x";
        FormatSizeText(c.twentieths, text, sizeof text);
        EXPECT_EQ(std::string(text), c.text) << c.twentieths;
    }
}

TEST(SizeText, OddSizesGoInOrderAndFieldsKeepDigits) {
    EXPECT_EQ(OfferedSizeInsertIndex(11), 2);   // between 10 and 12
    EXPECT_EQ(OfferedSizeInsertIndex(72), 9);   // after 48
    EXPECT_EQ(OfferedSizeInsertIndex(8), 0);
    EXPECT_EQ(OfferedSizeInsertIndex(12), -1);  // offered already
    EXPECT_EQ(OfferedSizeInsertIndex(0), -1);
    EXPECT_EQ(DigitPrefixLength("1a2"), 1u);
    EXPECT_EQ(DigitPrefixLength("240"), 3u);
    EXPECT_EQ(DigitPrefixLength(""), 0u);
    EXPECT_TRUE(IsSizeCharacter('7'));
    EXPECT_FALSE(IsSizeCharacter('.'));
    EXPECT_FALSE(IsSizeCharacter('e'));
}

TextStyle FlagStyle(int16_t size, int16_t weight, int16_t slant, int16_t underline) {
    TextStyle s{};
    s.field[kStyleFont] = 3;
    s.field[kStyleSize] = size;
    s.field[kStyleWeight] = weight;
    s.field[kStyleSlant] = slant;
    s.field[kStyleUnderline] = underline;
    return s;
}

// What each command makes of the current style: a mixed flag (0) turns on, a set one over;
// the steps empty the size; every other field goes on as it was.
TEST(TextStyleCommands, ChangeTheCurrentStyleAsEachCommandSays) {
    struct Case { uint32_t command; TextStyle before; int16_t size, weight, slant, underline; int32_t step; };
    const Case cases[] = {
        { 32882, FlagStyle(12, 0, 1, 1), 12, 2, 1, 1, 0 },   // bold on a mixed weight
        { 32882, FlagStyle(12, 2, 1, 1), 12, 1, 1, 1, 0 },   // bold again: plain
        { 32882, FlagStyle(12, 1, 1, 1), 12, 2, 1, 1, 0 },
        { 32884, FlagStyle(12, 1, 0, 2), 12, 1, 2, 2, 0 },   // italic
        { 32883, FlagStyle(12, 1, 1, 2), 12, 1, 1, 1, 0 },   // underline
        { 32881, FlagStyle(12, 2, 0, 2), 12, 1, 1, 1, 0 },   // plain
        { 32885, FlagStyle(12, 2, 0, 2), 12, 2, 0, 2, 0 },   // overbar: unchanged
        { 32886, FlagStyle(12, 1, 1, 1), 9, 1, 1, 1, 0 },
        { 32891, FlagStyle(0, 1, 1, 1), 24, 1, 1, 1, 0 },
        { 32892, FlagStyle(12, 1, 1, 1), 0, 1, 1, 1, 1 },
        { 32893, FlagStyle(12, 1, 1, 1), 0, 1, 1, 1, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        TextStyle style = c.before;
        int32_t step = 7;
        ASSERT_TRUE(StyleForTextCommand(c.command, &style, &step));
        EXPECT_EQ(style.field[kStyleFont], 3);
        EXPECT_EQ(style.field[kStyleSize], c.size);
        EXPECT_EQ(style.field[kStyleWeight], c.weight);
        EXPECT_EQ(style.field[kStyleSlant], c.slant);
        EXPECT_EQ(style.field[kStyleUnderline], c.underline);
        EXPECT_EQ(step, c.step);
    }
    TextStyle style = FlagStyle(12, 1, 1, 1);
    int32_t step = 0;
    EXPECT_FALSE(StyleForTextCommand(32894, &style, &step));
    EXPECT_FALSE(StyleForTextCommand(32880, &style, &step));
}

TEST(TextStyleCommands, ChecksFollowTheCurrentStyle) {
    struct Case { uint32_t command; TextStyle style; bool checked; };
    const Case cases[] = {
        { 32881, FlagStyle(12, 1, 1, 1), true },  { 32881, FlagStyle(12, 1, 0, 1), false },
        { 32882, FlagStyle(12, 2, 1, 1), true },  { 32882, FlagStyle(12, 0, 1, 1), false },
        { 32883, FlagStyle(12, 1, 1, 2), true },  { 32884, FlagStyle(12, 1, 2, 1), true },
        { 32888, FlagStyle(12, 1, 1, 1), true },  { 32889, FlagStyle(12, 1, 1, 1), false },
        { 32885, FlagStyle(12, 1, 1, 1), false }, { 32892, FlagStyle(12, 1, 1, 1), false },
    };
    for (const Case& c : cases) EXPECT_EQ(TextCommandChecked(c.command, c.style), c.checked) << c.command;
}

// Each swatch item applies the colour it is drawn in, the last one included.
TEST(NotationCommands, SwatchesOverbarsAndEditorCodes) {
    EXPECT_EQ(SwatchColorIndex(32858), -1);
    EXPECT_EQ(SwatchColorIndex(32859), 0);
    EXPECT_EQ(SwatchColorIndex(32874), 15);
    EXPECT_EQ(SwatchColorIndex(32875), -1);
    EXPECT_EQ(OverbarValue(32800), 2);
    EXPECT_EQ(OverbarValue(32803), 5);
    EXPECT_EQ(OverbarValue(32804), 0);
    EXPECT_EQ(NotationEditorCode(32804), 16);
    EXPECT_EQ(NotationEditorCode(32807), 23);
    EXPECT_EQ(NotationEditorCode(32813), 0x870);
    EXPECT_EQ(NotationEditorCode(32815), -1);
    EXPECT_EQ(kSymbolCodes[0], 0x102);
    EXPECT_EQ(kSymbolCodes[kSymbolCount - 1], 0x6A);
    EXPECT_EQ(SymbolEditorCode(2000 + 0x70), 0x870);
    EXPECT_EQ(SymbolEditorCode(2000 + 0x102), 0x902);
}

TEST(NotationPlacement, BesideTheDockedPaletteOrBelowTheFloatingOne) {
    const BarRect dock{ 0, 500, 800, 530 };
    const BarRect palette{ 0, 502, 450, 528 };
    const NotationPlacement beside = PlaceNotationBar(false, palette, dock, { 300, 26 }, 1, 1);
    EXPECT_FALSE(beside.floating);
    EXPECT_EQ(beside.rect, (BarRect{ 450, 502, 750, 528 }));
    const NotationPlacement nextRow = PlaceNotationBar(false, palette, dock, { 400, 26 }, 1, 1);
    EXPECT_EQ(nextRow.rect, (BarRect{ 0, 528, 400, 554 }));
    const NotationPlacement below = PlaceNotationBar(true, { 100, 200, 400, 240 }, dock, { 300, 30 }, 1, 2);
    EXPECT_TRUE(below.floating);
    EXPECT_EQ(below.rect.left, 98);
    EXPECT_EQ(below.rect.top, 244);
}

// A bar that wraps its buttons: 20 pixels a button, 24 a row, 12 buttons.
BarSize WrappingLayout(void* asked, int32_t length, bool byHeight) {
    static_cast<std::string*>(asked)->push_back(byHeight ? 'h' : 'w');
    if (byHeight) {
        const int32_t rows = std::max(1, length / 24);
        return { ((12 + rows - 1) / rows) * 20, rows * 24 };
    }
    const int32_t perRow = std::max(1, length / 20);
    return { perRow * 20, ((12 + perRow - 1) / perRow) * 24 };
}

TEST(StretchFrame, EdgesFollowTheMouseAsTheLayoutAllows) {
    const BarRect desktop{ 0, 0, 1024, 768 };
    const BarSize extra{ 8, 20 };
    const BarRect frame{ 100, 100, 100 + 120 + 8, 100 + 48 + 20 };  // 6 per row, 2 rows
    struct Case { int32_t hit, dx, dy; const char* asked; BarRect result; };
    const Case cases[] = {
        // Wider by a button: 12 in one row; only the right edge moves.
        { kHitRight, 125, 0, "w", { 100, 100, 100 + 240 + 8, 168 } },
        // Taller by two rows from the bottom-right corner: asked by width, then by height.
        { kHitBottomRight, -40, 48, "wh", { 100, 100, 100 + 60 + 8, 100 + 96 + 20 } },
        // The left edge: the right one stays.
        { kHitLeft, -120, 0, "w", { 228 - 248, 100, 228, 168 } },
        // A top edge that does not move asks by height.
        { kHitTop, 0, 0, "h", frame },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hit);
        std::string asked;
        const BarRect r = StretchFloatingFrame(c.hit, frame, extra, c.dx, c.dy, WrappingLayout, &asked, desktop);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(r, c.result);
    }
}

TEST(StretchFrame, AnEdgeThatWouldLeaveTheDesktopStays) {
    const BarRect desktop{ 0, 0, 1024, 768 };
    const BarSize extra{ 8, 20 };
    // Far right of the desktop: shrinking from the left would leave nothing on it.
    const BarRect frame{ 1020, 100, 1020 + 248, 168 };
    std::string asked;
    const BarRect r = StretchFloatingFrame(kHitLeft, frame, extra, 200, 0, WrappingLayout, &asked, desktop);
    EXPECT_EQ(r, frame);
    const BarRect onScreen{ 900, 100, 900 + 248, 168 };
    const BarRect moved = StretchFloatingFrame(kHitLeft, onScreen, extra, 120, 0, WrappingLayout, &asked, desktop);
    EXPECT_EQ(moved.right, onScreen.right);
    EXPECT_EQ(moved.left, onScreen.right - 128);
}

}  // namespace
