#include "ui/portable/menu_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/services/string_groups.h"
#include "engine/interact/command_table.h"

using namespace menu_stream;

namespace {

// Writes streams for the tests: words little-endian, titles with their pad byte.
struct StreamWriter {
    std::vector<uint8_t> bytes;

    StreamWriter& Word(uint16_t w) {
        bytes.push_back(uint8_t(w & 0xff));
        bytes.push_back(uint8_t(w >> 8));
        return *this;
    }
    StreamWriter& Title(const std::string& title) {
        bytes.insert(bytes.end(), title.begin(), title.end());
        bytes.push_back(0);
        if (title.size() % 2 == 0) bytes.push_back(0);
        return *this;
    }
    // A block header with its title and no attributes; the items follow.
    StreamWriter& Block(uint16_t count, const std::string& title) {
        return Word(0).Word(count).Word(0).Word(0).Title(title).Word(0);
    }
};

// A stream of one pop-up under the menu bar holding the given item words.
std::vector<uint8_t> OnePopupStream(const std::vector<uint16_t>& items, uint16_t endWord = 1 + 4) {
    StreamWriter w;
    w.Word(0).Word(1).Word(4).Block(1, "").Word(kItemPopup).Block(uint16_t(items.size()), "Abc");
    for (uint16_t item : items) w.Word(item);
    w.Word(endWord);
    return w.bytes;
}

// Pop-ups nested `depth` levels below the menu bar, each holding only the next.
std::vector<uint8_t> NestedStream(int depth) {
    StreamWriter w;
    w.Word(0).Word(uint16_t(depth)).Word(0).Block(1, "");
    for (int d = 1; d <= depth; ++d) w.Word(kItemPopup).Block(d < depth ? 1 : 0, "P");
    w.Word(uint16_t(depth));
    return w.bytes;
}

MenuStreamTree Read(const std::vector<uint8_t>& bytes, ReadResult expected) {
    MenuStreamTree tree;
    EXPECT_EQ(ReadMenuStream(bytes.data(), bytes.size(), &tree), expected);
    return tree;
}

}  // namespace

TEST(MenuStream, DefaultStreamDescribesTheMenuBar) {
    size_t length = 0;
    const uint8_t* bytes = DefaultMenuStreamBytes(&length);
    ASSERT_EQ(length, 550u);
    EXPECT_EQ(bytes[548] | bytes[549] << 8, 156);

    MenuStreamTree tree;
    ASSERT_EQ(ReadMenuStream(bytes, length, &tree), ReadResult::Ok);
    EXPECT_EQ(tree.popupCount, 11);
    EXPECT_EQ(tree.reserveCount, 145);
    ASSERT_EQ(tree.popups.size(), 12u);
    EXPECT_EQ(CountCommandItems(tree), 105u);
    EXPECT_FALSE(HasSkippedItems(tree));

    // Every command names a row, and no row twice.
    std::vector<int> seen(kCommandRowCount, 0);
    for (const MenuStreamPopup& popup : tree.popups) {
        for (const MenuStreamItem& item : popup.items) {
            if (item.kind != ItemKind::Command) continue;
            uint32_t row = 0;
            ASSERT_TRUE(MenuCodeToCommandRow(item.code, &row)) << item.code;
            EXPECT_EQ(++seen[row], 1) << row;
        }
    }

    struct Expected { const char* title; const char* shown; int depth; size_t items; bool color; };
    const Expected expected[] = {
        { "File", "&File", 1, 14, false },           { "Edit", "&Edit", 1, 20, false },
        { "Action Buttons", "Action &Buttons", 2, 7, false },
        { "Display", "&Display", 1, 20, false },     { "Line Width", "Line &Width", 2, 3, false },
        { "Color", "&Color", 2, 3, true },           { "Construct", "&Construct", 1, 19, false },
        { "Transform", "&Transform", 1, 13, false }, { "Measure", "&Measure", 1, 19, false },
        { "Graph", "&Graph", 1, 19, false },         { "Graph Form", "G&rid Form", 2, 3, false },
    };
    EXPECT_EQ(tree.popups[0].depth, 0);
    EXPECT_EQ(tree.popups[0].items.size(), 7u);
    for (size_t i = 0; i < std::size(expected); ++i) {
        const MenuStreamPopup& p = tree.popups[i + 1];
        SCOPED_TRACE(expected[i].title);
        EXPECT_EQ(p.title, expected[i].title);
        EXPECT_STREQ(GroupText(kGroupMenuTitles, p.titleItem - 1), expected[i].shown);
        EXPECT_EQ(p.depth, expected[i].depth);
        EXPECT_EQ(p.items.size(), expected[i].items);
        EXPECT_EQ(p.colorPopup, expected[i].color);
    }
}

TEST(MenuStream, TitlesTakeAnEvenNumberOfBytes) {
    // "Abc" (odd) has no pad byte, "Ab" (even) has one; either way the items that
    // follow are read from the right place.
    for (const std::string title : { "Abc", "Ab", "" }) {
        SCOPED_TRACE(title);
        StreamWriter w;
        w.Word(0).Word(0).Word(2).Block(2, title).Word(kItemSeparator).Word(kItemCommandBit | 1).Word(2);
        const MenuStreamTree tree = Read(w.bytes, ReadResult::Ok);
        ASSERT_EQ(tree.popups.size(), 1u);
        EXPECT_EQ(tree.popups[0].title, title);
        ASSERT_EQ(tree.popups[0].items.size(), 2u);
        EXPECT_EQ(tree.popups[0].items[1].kind, ItemKind::Command);
        EXPECT_EQ(tree.popups[0].items[1].code, 1);
    }
}

TEST(MenuStream, TaggedAttributesAreSkippedByTheirLength) {
    StreamWriter w;
    w.Word(0).Word(0).Word(1).Word(0).Word(1).Word(0).Word(0).Title("T");
    w.Word(300).Word(3).Word(0x4142).bytes.push_back(0x43);  // an unknown tag with 3 bytes
    w.Word(kColorPopupTag).Word(0).Word(7).Word(0);
    w.Word(kItemCommandBit | 3).Word(1);
    const MenuStreamTree tree = Read(w.bytes, ReadResult::Ok);
    ASSERT_EQ(tree.popups.size(), 1u);
    EXPECT_TRUE(tree.popups[0].colorPopup);
    EXPECT_EQ(tree.popups[0].titleItem, 7);
    ASSERT_EQ(tree.popups[0].items.size(), 1u);
    EXPECT_EQ(tree.popups[0].items[0].code, 3);
}

TEST(MenuStream, LaterFormatsAndUnknownWordsAreSkipped) {
    const MenuStreamTree tree = Read(OnePopupStream({ kItemCommandBit | 1, kItemLaterFormatBit | 5, 2 }),
                                     ReadResult::Ok);
    ASSERT_EQ(tree.popups.size(), 2u);
    const auto& items = tree.popups[1].items;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].kind, ItemKind::Command);
    EXPECT_EQ(items[1].kind, ItemKind::Skipped);
    EXPECT_EQ(items[2].kind, ItemKind::Skipped);
    EXPECT_TRUE(HasSkippedItems(tree));
    EXPECT_EQ(CountCommandItems(tree), 1u);
}

TEST(MenuStream, BadStreamsGiveNothing) {
    size_t length = 0;
    const uint8_t* defaultBytes = DefaultMenuStreamBytes(&length);
    std::vector<uint8_t> wrongEnd(defaultBytes, defaultBytes + length);
    wrongEnd[548] = 155;

    StreamWriter noNul;
    noNul.Word(0).Word(0).Word(0).Word(0).Word(0).Word(0).Word(0);
    noNul.bytes.insert(noNul.bytes.end(), { 'A', 'B', 'C' });

    StreamWriter tagPastEnd;
    tagPastEnd.Word(0).Word(0).Word(0).Block(0, "").bytes.resize(tagPastEnd.bytes.size() - 2);
    tagPastEnd.Word(400).Word(50).Word(0).Word(0);

    StreamWriter countPastEnd;
    countPastEnd.Word(0).Word(0).Word(0).Block(60000, "").Word(kItemSeparator).Word(0);

    struct Case { const char* what; std::vector<uint8_t> bytes; };
    const Case cases[] = {
        { "wrong end word", wrongEnd },
        { "end word of a one-pop-up stream", OnePopupStream({ kItemSeparator }, 4) },
        { "no end word", std::vector<uint8_t>(defaultBytes, defaultBytes + length - 2) },
        { "title without NUL", noNul.bytes },
        { "tagged attribute past the end", tagPastEnd.bytes },
        { "item count past the end", countPastEnd.bytes },
        { "nested too deep", NestedStream(kMaxDepth + 1) },
        { "empty", {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MenuStreamTree tree = Read(c.bytes, ReadResult::Bad);
        EXPECT_TRUE(tree.popups.empty());
    }
    Read(NestedStream(kMaxDepth), ReadResult::Ok);
}

TEST(MenuStream, EveryCutOfTheDefaultStreamIsBad) {
    size_t length = 0;
    const uint8_t* bytes = DefaultMenuStreamBytes(&length);
    for (size_t n = 0; n < length; ++n) {
        // A copy of exactly n bytes, so that the sanitizer sees a read past them.
        std::vector<uint8_t> cut(bytes, bytes + n);
        MenuStreamTree tree;
        EXPECT_EQ(ReadMenuStream(cut.data(), cut.size(), &tree), ReadResult::Bad) << n;
    }
}
