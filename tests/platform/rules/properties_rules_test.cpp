#include <gtest/gtest.h>

#include <string>

#include "platform/rules/properties_rules.h"

namespace {

std::string Caption(const std::string& nounAndLabel, const std::string& label) {
    char out[300];
    FormatPropertiesCaption(nounAndLabel.c_str(), label.c_str(), out, sizeof out);
    return out;
}

TEST(PropertiesCaption, ThirtyCharactersKeepTheNounLongerOnesTheLabelFiftyDropThePrefix) {
    const std::string noun30 = "Point " + std::string(24, 'A');       // 30
    const std::string noun31 = "Point " + std::string(25, 'A');       // 31
    const std::string label49(49, 'B'), label50(50, 'B');
    EXPECT_EQ(Caption(noun30, "x"), "Properties of " + noun30);
    EXPECT_EQ(Caption(noun31, std::string(25, 'A')), "Properties of " + std::string(25, 'A'));
    EXPECT_EQ(Caption("Segment " + label49, label49), "Properties of " + label49);
    EXPECT_EQ(Caption("Segment " + label50, label50), label50);
    EXPECT_EQ(Caption("Point A", "A"), "Properties of Point A");
}

TEST(PropertiesControlIdOf, FieldsWithAndWithoutControls) {
    struct Case { int32_t page, field, control; };
    const Case cases[] = {
        { 0, 0, 0 }, { 0, 1, 0 }, { 0, 2, 1066 }, { 0, 3, 0 }, { 0, 7, 1071 }, { 1, 4, 0 }, { 1, 0, 1064 },
        { 2, 4, 1127 }, { 3, 3, 0 }, { 3, 1, 1266 }, { 4, 0, 0 }, { 4, 4, 0 }, { 4, 5, 1330 }, { 4, 13, 1319 },
        { 8, 3, 1153 }, { 9, 6, 1253 }, { 10, 3, 0 }, { 11, 4, 1258 }, { 11, 5, 1266 }, { 12, 0, 1159 },
        { 13, 0, 0 }, { -1, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.page << "." << c.field);
        EXPECT_EQ(PropertiesControlIdOf(c.page, c.field), c.control);
    }
}

TEST(AnimateSheetGrowth, ByTheOverhangPlusFourteenNeverBelowZero) {
    const DialogRect tab{ 7, 7, 350, 250 };
    EXPECT_EQ(AnimateSheetGrowth({ 20, 200, 400, 260 }, tab), (SheetGrowth{ 64, 24 }));
    EXPECT_EQ(AnimateSheetGrowth({ 20, 100, 300, 200 }, tab), (SheetGrowth{ 0, 0 }));
    EXPECT_EQ(AnimateSheetGrowth({ 20, 100, 340, 236 }, tab), (SheetGrowth{ 4, 0 }));
}

TEST(AnimateControlShown, ByTheWordsBitsAndTheRateMode) {
    struct Case { int32_t control; uint32_t word; int32_t rate; bool shown; };
    const Case cases[] = {
        { 1330, 1u << 17, -1, true }, { 1330, 1u << 26, -1, true }, { 1330, 1u << 18, -1, false },
        { 1133, 1u << 18, -1, true }, { 1324, 1u << 28, -1, true }, { 1324, 1u << 27, -1, false },
        { 1314, 1u << 22, 0, true }, { 1314, 1u << 22, 1, false }, { 1314, 1u << 22, -1, false },
        { 1327, 1u << 24, 1, true }, { 1327, 1u << 24, 0, false }, { 1327, 0, 1, false },
        { 1320, 1u << 16, -1, true }, { 1309, 1u << 29, -1, true }, { 1332, 1u << 31, -1, true },
        { 1332, 1u << 30, -1, false }, { 1293, 0, -1, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.control << " " << std::hex << c.word);
        EXPECT_EQ(AnimateControlShown(c.control, c.word, c.rate), c.shown);
    }
}

TEST(AnimateDirectionWords, PathBeforeCircleBeforeNumber) {
    EXPECT_EQ(AnimateDirectionFirstItem((1u << 17) | (1u << 26)), 8);
    EXPECT_EQ(AnimateDirectionFirstItem(1u << 26), 12);
    EXPECT_EQ(AnimateDirectionFirstItem(1u << 27), 16);
}

TEST(DoubleAmpersands, DoublesAndNeverSplitsAPair) {
    struct Case { const char* in; size_t size; const char* out; };
    const Case cases[] = {
        { "A & B", 20, "A && B" }, { "&&", 20, "&&&&" }, { "ab&", 4, "ab" }, { "ab&", 5, "ab&&" },
        { "", 1, "" }, { "abc", 3, "ab" },
    };
    for (const Case& c : cases) {
        char out[32];
        DoubleAmpersands(c.in, out, c.size);
        EXPECT_STREQ(out, c.out) << c.in << " in " << c.size;
    }
}

}  // namespace
