#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "ui/dialogs/doc_options_dialog.h"

namespace {

TEST(DocOptionsDrop, MovesOnlyWhenThePlaceChanges) {
    struct Case {
        int32_t source, target;
        bool moves;
        int32_t to;
    };
    // Three lines; target 3 is the end position below the last line.
    const Case cases[] = {
        {2, 3, false, 0},  // just below itself
        {2, 2, false, 0},  // onto itself
        {0, 1, false, 0},  // just below itself, at the top
        {2, 0, true, 0},   // above the first line
        {0, 3, true, 2},   // to the end: the lines between move up
        {0, 2, true, 1},   // before line 2, moving down
        {2, 1, true, 1},
        {-1, 1, false, 0},
        {1, -1, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.source) + " -> " + std::to_string(c.target));
        int32_t to = -5;
        EXPECT_EQ(DocOptionsDropMove(c.source, c.target, &to), c.moves);
        if (c.moves) {
            EXPECT_EQ(to, c.to);
        }
    }
}

TEST(DocOptionsDrop, BandIsFourPixelsOnTheItemEdgeWithinTheClient) {
    struct Case {
        RECT item;
        bool end;
        bool inside;
        RECT band;
    };
    const RECT client{0, 0, 120, 60};
    const Case cases[] = {
        {{0, 13, 120, 26}, false, true, {0, 11, 120, 15}},
        {{0, 13, 120, 26}, true, true, {0, 24, 120, 28}},
        {{0, 0, 120, 13}, false, true, {0, 0, 120, 2}},     // first line: cut at the top
        {{0, 47, 120, 60}, true, true, {0, 58, 120, 60}},   // end at the bottom edge
        {{0, 70, 120, 83}, false, false, {0, 0, 0, 0}},     // scrolled out of the client
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.item.top) + (c.end ? " end" : ""));
        RECT band{};
        ASSERT_EQ(DocOptionsInsertBand(client, c.item, c.end, &band), c.inside);
        if (!c.inside) continue;
        EXPECT_EQ(band.left, c.band.left);
        EXPECT_EQ(band.top, c.band.top);
        EXPECT_EQ(band.right, c.band.right);
        EXPECT_EQ(band.bottom, c.band.bottom);
    }
}

TEST(CopiedPageName, TitleWithoutExtensionAndNumberWhenItFits) {
    const std::string t78(78, 'x'), t77(77, 'y'), t90(90, 'z');
    struct Case {
        std::string title;
        int32_t page;
        bool several;
        std::string name;
    };
    const Case cases[] = {
        {"Shapes.yrn", 2, true, "Shapes:2"},
        {"Shapes.yrn", 1, false, "Shapes"},
        {"Notes.backup", 1, true, "Notes.backup:1"},  // the dot is not within the last four
        {"a.b.c", 3, true, "a.b:3"},                  // only the last dot
        {"Untitled 2", 12, true, "Untitled 2:12"},
        {t78 + ".yrn", 2, true, t78 + ":2"},          // 80 characters fit
        {t78 + ".yrn", 12, true, t78},                // 81 do not: no number
        {t77 + "x", 123, true, t77 + "x"},
        {t90, 1, false, std::string(80, 'z')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(CopiedPageName(c.title.c_str(), c.page, c.several), c.name);
    }
}

struct Line {
    std::string text;
    UINT id;
    bool grey;
    HMENU sub;
};

std::vector<Line> LinesOf(HMENU menu) {
    std::vector<Line> lines;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[100] = "";
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, UINT(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) lines.push_back({"-", 0, false, nullptr});
        else lines.push_back({text, info.hSubMenu ? 0 : info.wID, (info.fState & MFS_GRAYED) != 0, info.hSubMenu});
    }
    return lines;
}

std::string Texts(const std::vector<Line>& lines) {
    std::string all;
    for (const Line& l : lines) all += (all.empty() ? "" : ",") + l.text;
    return all;
}

TEST(AddPageMenu, BlankPageAndDuplicatesOfEveryOpenDocument) {
    std::vector<AddPageChoice> choices;
    HMENU menu = BuildAddPageMenu("&Add Page", {"1", "A&B"},
                                  {{"Shapes.yrn", {"1", "2"}}, {"One.yrn", {"Cover"}}}, &choices);
    ASSERT_NE(menu, nullptr);
    const std::vector<Line> top = LinesOf(menu);
    EXPECT_EQ(Texts(top), "&Add Page,-,&Blank Page,&Duplicate");
    EXPECT_TRUE(top[0].grey);
    EXPECT_EQ(top[2].id, kBlankPageItem);
    ASSERT_NE(top[3].sub, nullptr);

    const std::vector<Line> duplicate = LinesOf(top[3].sub);
    EXPECT_EQ(Texts(duplicate), "From This Document:,1,A&&B,-,Other Open Documents:,Shapes.yrn,One.yrn");
    EXPECT_TRUE(duplicate[0].grey);
    EXPECT_TRUE(duplicate[4].grey);
    ASSERT_NE(duplicate[5].sub, nullptr);      // several pages: a submenu
    EXPECT_EQ(duplicate[6].sub, nullptr);      // one page: an item
    EXPECT_EQ(Texts(LinesOf(duplicate[5].sub)), "1,2,-,All Pages");

    // Each item's id leads to its document and page (-1 all of them).
    struct Want {
        UINT id;
        int32_t source, page;
    };
    const std::vector<Line> shapes = LinesOf(duplicate[5].sub);
    const Want wanted[] = {
        {duplicate[1].id, -1, 0}, {duplicate[2].id, -1, 1}, {shapes[0].id, 0, 0},
        {shapes[1].id, 0, 1},     {shapes[3].id, 0, -1},    {duplicate[6].id, 1, 0},
    };
    ASSERT_EQ(choices.size(), std::size(wanted));
    for (const Want& w : wanted) {
        ASSERT_GE(w.id, kFirstDuplicateItem);
        ASSERT_LT(w.id - kFirstDuplicateItem, choices.size());
        const AddPageChoice& c = choices[w.id - kFirstDuplicateItem];
        EXPECT_EQ(c.source, w.source) << w.id;
        EXPECT_EQ(c.page, w.page) << w.id;
    }
    DestroyMenu(menu);

    // Alone, the document offers only its own pages.
    menu = BuildAddPageMenu("&Add Page", {"1"}, {}, &choices);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Texts(LinesOf(LinesOf(menu)[3].sub)), "From This Document:,1");
    EXPECT_EQ(choices.size(), 1u);
    DestroyMenu(menu);
}

}  // namespace
