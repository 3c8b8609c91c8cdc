#include "engine/text/string_groups.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/text/layout.h"

TEST(StringGroups, TableRowsAreInGroupOrderWithTheirItemCounts) {
    const uint16_t counts[kStringGroupCount] = { 225, 196, 20, 22, 112, 5,  30, 20, 53, 130, 19, 106,
                                                 16,  127, 58, 11, 41,  84, 23, 5,  16, 48,  18, 4 };
    for (int32_t g = 0; g < kStringGroupCount; ++g) {
        SCOPED_TRACE(g);
        EXPECT_EQ(StringGroupTable[g].group, static_cast<uint32_t>(g));
        EXPECT_EQ(StringGroupTable[g].itemCount, counts[g]);
        for (int32_t i = 0; i < counts[g]; ++i) ASSERT_NE(StringGroupTable[g].items[i], nullptr) << i;
    }
}

TEST(StringGroups, ItemsThatOtherCodeAddressesByNumber) {
    struct Case { int32_t group, item; const char* text; };
    const Case cases[] = {
        { 0, 9, "Point" },        { 0, 10, "Points" },      { 0, 11, "a point" },
        { 0, 54, "Caption" },     { 0, 138, "Triangle" },   { 0, 180, "Picture" },
        { 0, 183, "Parameter" },  { 0, 184, "Parameters" }, { 0, 222, "" },
        { 1, 44, "Loc&us" },      { 1, 50, "&Undo ^A^B ^C" }, { 1, 69, "&About Velmora..." },
        { 1, 103, "&Snap Points" }, { 1, 110, "&Square Grid" }, { 1, 137, "&Dotted" },
        { 1, 140, "Thic&k" },     { 1, 183, "Arc Seg&ments" },
        { 3, 7, "Untitled %d" },  { 3, 18, "Properties of ^A" }, { 3, 19, ", " },
        { 4, 1, "Construct the midpoint of each selected segment" },
        { 4, 30, "Remove the selected objects from the sketch" },
        { 7, 1, "undefined" },    { 7, 10, " in." },        { 7, 12, "\xB0" },
        { 8, 0, " Hidden" },      { 8, 27, "Change" },      { 8, 52, "" },
        { 9, 6, "Error" },        { 9, 7, "That operation could not complete because an error occurred." },
        { 9, 8, "Motion" },       { 9, 124, "Step-By-Step Warning" },
        { 11, 1, "^A is the midpoint of ^B.^#" },
        { 11, 86, "^A is the image of ^B parametrically colored in HSV by (^e, ^d, ^c) over domains from ^9 to ^0 .^#" },
        { 12, 2, " It does not currently exist because ^A does not exist." },
        { 13, 112, " (hidden)" }, { 13, 122, "To apply to selections, first select ^A to match ^B ^D ^C." },
        { 14, 27, "Pi" },         { 14, 28, "p" },          { 14, 29, "+-*/^-" }, { 14, 57, "e" },
        { 16, 25, "Selected: %i %s" }, { 17, 83, "Automatically Match Marked Coordinate System" },
        { 18, 5, "Move ^A -> ^B" }, { 20, 15, "?" },        { 21, 33, "help://hCalculator.htm" },
        { 22, 15, "help://hAdvancedTopics.htm" }, { 23, 3, "Velmora Help/" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.group << "/" << c.item);
        EXPECT_STREQ(GroupText(c.group, c.item), c.text);
    }
    EXPECT_EQ(strlen(GroupText(3, 0)), 128u);  // one key letter per command row
}

TEST(StringGroups, ComputedPairsOutsideTheTableGiveTheEmptyText) {
    struct Case { int32_t group, item; };
    const Case cases[] = { { -1, 0 }, { 24, 0 }, { 9, 130 }, { 0, -3 }, { 0, 225 }, { 23, 4 }, { 7, 20 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.group << "/" << c.item);
        EXPECT_STREQ(GroupText(c.group, c.item), "");
        char buffer[8];
        memset(buffer, 'x', sizeof buffer);
        GetGroupString(c.group, c.item, buffer, sizeof buffer);
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(8, '\0'));
    }
    // Kind 0 and kinds past the table have no noun: 3 x kind - 3 would be -3 or 222.
    EXPECT_EQ(KindNounItem(0, kNounSingular), -1);
    EXPECT_EQ(KindNounItem(75, kNounPlural), -1);
    EXPECT_STREQ(KindNoun(0, kNounSingular), "");
    EXPECT_STREQ(KindNoun(14, kNounPlural), "Segments");
    EXPECT_STREQ(KindNoun(37, kNounPlural), "Loci");
    EXPECT_STREQ(KindNoun(51, kNounWithArticle), "an iteration rule");
}

TEST(StringGroups, GetGroupStringCutsZeroFillsAndTerminates) {
    char buffer[10];
    memset(buffer, 'x', sizeof buffer);
    GetGroupString(9, 4, buffer, 10);  // "Memory"
    EXPECT_EQ(std::string(buffer, 10), std::string("Memory\0\0\0\0", 10));
    GetGroupString(3, 1, buffer, 10);  // "Construction"
    EXPECT_STREQ(buffer, "Construct");

    char big[256];
    memset(big, 'x', sizeof big);
    const uint32_t n = CopyGroupString256(9, 7, big);
    EXPECT_EQ(n, strlen(GroupText(9, 7)));
    EXPECT_STREQ(big, GroupText(9, 7));
}

TEST(StringGroups, IndexOfMapsTypedCharactersOntoKeyNumbers) {
    int32_t index = -1;
    EXPECT_TRUE(GroupStringIndexOf('-', 14, 29, &index));
    EXPECT_EQ(index, 1);  // the first match, so "-" is always the minus operator
    EXPECT_TRUE(GroupStringIndexOf('p', 14, 26, &index));
    EXPECT_EQ(index, 13);
    EXPECT_FALSE(GroupStringIndexOf('q', 14, 26, &index));
    EXPECT_FALSE(GroupStringIndexOf('a', 40, 0, &index));
}

TEST(StringGroups, AppendToFixedBufferStaysInsideTheBuffer) {
    char buffer[8] = "abc";
    EXPECT_EQ(AppendToFixedBuffer(buffer, 8, "de", 0), 2u);
    EXPECT_STREQ(buffer, "abcde");
    EXPECT_EQ(AppendToFixedBuffer(buffer, 8, "fghij", 0), 2u);  // room for two more
    EXPECT_STREQ(buffer, "abcdefg");
    EXPECT_EQ(AppendToFixedBuffer(buffer, 8, "z", 0), 0u);      // full
    EXPECT_STREQ(buffer, "abcdefg");

    char partial[8] = "";
    EXPECT_EQ(AppendToFixedBuffer(partial, 8, "xyz", 2), 2u);
    EXPECT_STREQ(partial, "xy");
    EXPECT_EQ(AppendToFixedBuffer(partial, 8, "q", 5), 1u);  // a count past the text's end
    EXPECT_STREQ(partial, "xyq");

    char unterminated[4] = { 'a', 'b', 'c', 'd' };
    EXPECT_EQ(AppendToFixedBuffer(unterminated, 4, "e", 0), 0u);
    EXPECT_EQ(unterminated[3], 'd');
}

namespace {

// Every placeholder becomes an empty slot, whatever its content.
ResultCode AnyPlaceholder(LayoutNode** out, const char*, int32_t, LayoutNode* parent,
                          LayoutParseContext*) {
    *out = CreateLayoutNode(kLayoutEmptySlot, parent, 0);
    return *out ? kLayoutParseOK : kLayoutParseNoMemory;
}

}  // namespace

TEST(StringGroups, LayoutTemplatesParseWhole) {
    struct Range { int32_t group, first, last; };
    const Range ranges[] = {
        { 6, 0, 29 }, { 13, 0, 111 }, { 13, 113, 114 }, { 14, 13, 25 }, { 14, 32, 33 },
        { 14, 47, 55 }, { 17, 25, 29 }, { 17, 42, 50 },
    };
    LayoutParseContext context{ nullptr, AnyPlaceholder, nullptr, 0 };
    for (const Range& r : ranges) {
        for (int32_t item = r.first; item <= r.last; ++item) {
            SCOPED_TRACE(testing::Message() << r.group << "/" << item << " " << GroupText(r.group, item));
            const char* text = GroupText(r.group, item);
            LayoutNode* root = nullptr;
            const size_t length = strlen(text);
            LayoutTextCursor cursor{ text, text + length, 0 };
            EXPECT_LT(ParseLayoutElement(&root, &cursor, nullptr, &context), kLayoutParseNoMemory);
            EXPECT_NE(root, nullptr);
            // Two description layouts carry one closing ">" more than they open; the
            // parser reads one element and leaves it, so it does no harm.
            const bool strayClose = r.group == 13 && (item == 70 || item == 82);
            EXPECT_EQ(cursor.next, text + length - (strayClose ? 1 : 0)) << "unread: " << cursor.next;
            FreeLayoutNode(root);
        }
    }
}
