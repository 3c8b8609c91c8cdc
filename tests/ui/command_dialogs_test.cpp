#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "engine/core/parametric_color.h"
#include "ui/dialogs/iterate_dialog.h"
#include "ui/dialogs/param_color_dialogs.h"
#include "ui/dialogs/transform_dialogs.h"

namespace {

const TranslateVisibilityRow* RowOf(int32_t id) {
    for (const TranslateVisibilityRow& row : TranslateVisibility)
        if (row.controlId == id) return &row;
    return nullptr;
}

struct ShapeCase {
    const char* what;
    uint8_t mode;
    uint8_t states;
    int32_t control;
    bool shown;
    bool enabled;
};

// States: fixed distance 1, marked 2; fixed angle 4, marked 8; fixed vertical 0x10, marked 0x20.
const ShapeCase kCases[] = {
    {"polar, fixed: the distance edit", 1, 0x15, 1019, true, true},
    {"polar, fixed: the Marked Distance radio stays shown, disabled", 1, 0x15, 1042, true, false},
    {"polar, marked distance: the edit hides", 1, 0x16, 1019, false, false},
    {"polar, marked distance: Fixed Distance stays enabled", 1, 0x16, 1041, true, true},
    {"polar, marked distance: its caption button", 1, 0x16, 1023, true, true},
    {"polar: the group reads By:", 1, 0x15, 1056, true, true},
    {"polar: no Horizontal: group", 1, 0x15, 1055, false, false},
    {"polar: no vertical edit", 1, 0x15, 1030, false, false},
    {"polar, fixed angle: the angle edit", 1, 0x15, 1032, true, true},
    {"polar, marked angle: the angle edit hides", 1, 0x19, 1032, false, false},
    {"rectangular: the Horizontal: group", 2, 0x15, 1055, true, true},
    {"rectangular: the vertical edit", 2, 0x15, 1030, true, true},
    {"rectangular: no angle edit", 2, 0x15, 1032, false, false},
    {"rectangular, marked vertical: Fixed Distance (vertical) stays enabled", 2, 0x25, 1043, true, true},
    {"rectangular, marked vertical: its caption button", 2, 0x25, 1031, true, true},
    {"marked vector: the tail", 4, 0x15, 1029, true, true},
    {"marked vector: no distance radio", 4, 0x15, 1041, false, false},
};

TEST(TranslateVisibility, EachRowByModeAndState) {
    for (const ShapeCase& c : kCases) {
        const TranslateVisibilityRow* row = RowOf(c.control);
        ASSERT_NE(row, nullptr) << c.what;
        const ControlShape shape = TranslateControlShape(*row, c.mode, c.states);
        EXPECT_EQ(shape.shown, c.shown) << c.what;
        EXPECT_EQ(shape.enabled, c.enabled) << c.what;
    }
}

}  // namespace

namespace {

struct MenuLine {
    UINT id;
    std::string text;
    bool grey;
    bool checked;
};

std::vector<MenuLine> LinesOf(HMENU menu) {
    std::vector<MenuLine> lines;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[80] = "";
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) lines.push_back({0, "-", false, false});
        else lines.push_back({info.wID, text, (info.fState & MFS_GRAYED) != 0, (info.fState & MFS_CHECKED) != 0});
    }
    DestroyMenu(menu);
    return lines;
}

IterateDialogFields IterateFields() {
    IterateDialogFields f{};
    f.entry[kIterateFinalOnly] = {0, kEntryEnabled, {.integer = 0}, 0, 0};
    f.entry[kIterateNonPointOnly] = {0, 0, {.integer = 0}, 0, 0};
    f.entry[kIterateTabulate] = {1, kEntryEnabled, {.integer = 1}, 0, 0};
    f.entry[kIterateRandomPlaces] = {0, kEntryEnabled, {.integer = 1}, 0, 0};
    f.entry[kIterateAddMap] = {1, kEntryEnabled, {.integer = 0}, 0, 0};
    f.entry[kIterateRemoveMap] = {1, 0, {.integer = 0}, 0, 0};
    f.entry[kIterateDepth] = {5, kEntryEnabled, {.integer = 3}, 10, 1};
    return f;
}

TEST(IterateMenus, DisplayMenuByTheDepthAndTheDisplayForm) {
    IterateDialogFields f = IterateFields();
    std::vector<MenuLine> m = LinesOf(BuildIterateDisplayMenu(&f));
    ASSERT_EQ(m.size(), 7u);
    EXPECT_EQ(m[0].text, "-- Iterations --");
    EXPECT_TRUE(m[0].grey);
    EXPECT_EQ(m[0].id, 0u);
    EXPECT_EQ(m[1].id, 1007u);
    EXPECT_EQ(m[1].text, "Increase Iterations\t+");
    EXPECT_FALSE(m[1].grey);
    EXPECT_EQ(m[2].id, 1008u);
    EXPECT_FALSE(m[2].grey);
    EXPECT_EQ(m[3].text, "-");
    EXPECT_EQ(m[4].text, "-- Display As --");
    EXPECT_EQ(m[5].id, 1009u);
    EXPECT_TRUE(m[5].checked);
    EXPECT_EQ(m[6].id, 1010u);
    EXPECT_FALSE(m[6].checked);

    // At the upper bound Increase greys; at the lower bound Decrease; a depth given by a
    // value disables both. Final Iteration Only checked; the form disabled greys both.
    f.entry[kIterateDepth].value.integer = 10;
    f.entry[kIterateFinalOnly].value.integer = 1;
    m = LinesOf(BuildIterateDisplayMenu(&f));
    EXPECT_TRUE(m[1].grey);
    EXPECT_FALSE(m[2].grey);
    EXPECT_FALSE(m[5].checked);
    EXPECT_TRUE(m[6].checked);
    f.entry[kIterateDepth].value.integer = 1;
    f.entry[kIterateFinalOnly].state = 0;
    m = LinesOf(BuildIterateDisplayMenu(&f));
    EXPECT_FALSE(m[1].grey);
    EXPECT_TRUE(m[2].grey);
    EXPECT_TRUE(m[5].grey && m[6].grey);
    f.entry[kIterateDepth].value.integer = 5;
    f.entry[kIterateDepth].state = 0;
    m = LinesOf(BuildIterateDisplayMenu(&f));
    EXPECT_TRUE(m[1].grey && m[2].grey);
}

TEST(IterateMenus, StructureMenuByTheEntries) {
    IterateDialogFields f = IterateFields();
    const std::vector<MenuLine> m = LinesOf(BuildIterateStructureMenu(&f));
    struct Row { UINT id; const char* text; bool grey; bool checked; };
    const Row rows[] = {
        {0, "-- Mappings --", true, false},
        {1000, "&Add New Map\tCtrl+A", false, false},
        {1001, "Remove This &Map", true, false},
        {0, "-", false, false},
        {0, "-- Create --", true, false},
        {1002, "All &Object Images", true, true},
        {1003, "&Non-Point Images Only", true, false},
        {0, "-", false, false},
        {1004, "&Tabulate Iterated Values", false, true},
        {0, "-", false, false},
        {0, "-- Move Points On Objects --", true, false},
        {1005, "To &Same Relative Location", false, false},
        {1006, "To New &Random Locations", false, true},
    };
    ASSERT_EQ(m.size(), std::size(rows));
    for (size_t i = 0; i < m.size(); ++i) {
        SCOPED_TRACE(rows[i].text);
        EXPECT_EQ(m[i].id, rows[i].id);
        EXPECT_EQ(m[i].text, rows[i].text);
        EXPECT_EQ(m[i].grey, rows[i].grey);
        EXPECT_EQ(m[i].checked, rows[i].checked);
    }
}

TEST(IterateKeys, EachKeyItsCommand) {
    struct Case { UINT message; WPARAM key; int32_t command; };
    const Case cases[] = {
        {WM_KEYDOWN, VK_BACK, 17}, {WM_KEYDOWN, VK_DELETE, 17}, {WM_KEYDOWN, VK_LEFT, 13},
        {WM_KEYDOWN, VK_UP, 11},   {WM_KEYDOWN, VK_RIGHT, 14},  {WM_KEYDOWN, VK_DOWN, 12},
        {WM_KEYDOWN, VK_ADD, 7},   {WM_KEYDOWN, VK_SUBTRACT, 8}, {WM_CHAR, 1, 0},
        {WM_CHAR, '+', 7},         {WM_CHAR, '-', 8},           {WM_CHAR, 'a', -1},
        {WM_KEYDOWN, VK_RETURN, -1}, {WM_KEYDOWN, VK_ESCAPE, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(IterateKeyCommand(c.message, c.key), c.command);
    }
}

TEST(ParamColorBars, BlackMarksAroundTheRangeAndTheColoursOfTheModel) {
    constexpr int32_t w = 282;   // step 0.01: the marks at columns 90 and 191
    std::vector<COLORREF> columns(w, 0xFFFFFFFF);
    for (int32_t mode = 0; mode < 3; ++mode) {
        for (bool spectrum : {true, false}) {
            SCOPED_TRACE(mode * 2 + spectrum);
            ParamColorBarColumns(w, mode, spectrum, columns.data());
            EXPECT_EQ(columns[90], RGB(0, 0, 0));
            EXPECT_EQ(columns[191], RGB(0, 0, 0));
            EXPECT_EQ(columns[0], 0xFFFFFFFFu) << "the frame's column is left alone";
            for (int32_t i : {1, 60, 140, 240, w - 2}) {
                uint8_t r, g, b;
                ParametricColorFromValue(-0.9 + (i - 1) * 0.01, 0, 1, mode, spectrum, &r, &g, &b);
                EXPECT_EQ(columns[size_t(i)], RGB(r, g, b)) << i;
            }
        }
    }
    // Grey at t = 0.5 (column 141) is the middle grey; beyond the range the repeat modes differ.
    ParamColorBarColumns(w, 0, false, columns.data());
    EXPECT_EQ(columns[141], RGB(127, 127, 127));
    EXPECT_EQ(columns[240], RGB(255, 255, 255));
    ParamColorBarColumns(w, 2, false, columns.data());
    EXPECT_NE(columns[240], RGB(255, 255, 255));
}

}  // namespace
