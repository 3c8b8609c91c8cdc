#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "engine/interact/command_table.h"
#include "engine/interact/menu_rules.h"
#include "engine/interact/neighbour_services.h"

TEST(CommandTable, MenuCodesNameEveryRowOnce) {
    std::set<uint32_t> rows;
    for (uint32_t code = 0; code < kMenuCodeCount; ++code) {
        uint32_t row = 999;
        if (MenuCodeToCommandRow(code, &row)) {
            EXPECT_LT(row, kCommandRowCount);
            EXPECT_TRUE(rows.insert(row).second) << "row " << row << " has two codes";
        }
    }
    EXPECT_EQ(rows.size(), kCommandRowCount);

    struct Case { uint32_t code; bool named; uint32_t row; };
    const Case cases[] = {
        {0, true, 0}, {83, true, 83}, {84, false, 0}, {85, false, 0}, {86, false, 0},
        {87, true, 84}, {88, true, 86}, {91, true, 89}, {92, true, 91}, {105, true, 104},
        {106, true, 90}, {107, true, 105}, {108, true, 85}, {109, true, 106}, {114, true, 111},
        {115, false, 0}, {200, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        uint32_t row = 999;
        EXPECT_EQ(MenuCodeToCommandRow(c.code, &row), c.named);
        if (c.named) EXPECT_EQ(row, c.row);
        else EXPECT_EQ(row, 999u);
    }
}

TEST(CommandTable, RowsHaveTheirQueriesGroupsAndFlags) {
    struct Case { uint32_t row; uint8_t group; uint8_t query; uint8_t flags; };
    const Case cases[] = {
        {1, 1, kQueryMenuRules, 0}, {14, 1, kQueryMenuRules, 0x03}, {15, 0, kQueryFixed, 0x01},
        {17, 4, kQuerySave, 0x05}, {18, 2, kQueryFixedIfSketch, 0x01}, {23, 6, kQueryUndoRedo, 0x25},
        {25, 7, kQuerySplitMerge, 0x02}, {27, 1, kQueryMenuRules, 0x13}, {28, 8, kQueryMenuRules, 0x19},
        {46, 10, kQuerySelectAll, 0x25}, {57, 11, kQuerySnapToGrid, 0x15}, {62, 11, kQueryGridForm, 0x04},
        {65, 13, kQueryEraseTraces, 0x15}, {76, 9, kQueryToolbox, 0x35}, {84, 14, kQueryMenuRules, 0x22},
        {85, 15, kQueryTextPalette, 0x35}, {87, 4, kQueryClose, 0x05}, {91, 8, kQueryMenuRules, 0x05},
        {99, 5, kQueryPaste, 0x24}, {108, 2, kQueryFixedIfSketch, 0x04}, {111, 1, kQueryMenuRules, 0x02},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        const CommandRow& r = CommandRowTable[c.row];
        EXPECT_EQ(r.group, c.group);
        EXPECT_EQ(r.stateQuery, c.query);
        EXPECT_EQ(r.flags, c.flags);
        EXPECT_EQ(r.reserved, 0);
    }
    // No row uses state query 4; every query slot is filled.
    for (const CommandRow& r : CommandRowTable) EXPECT_NE(r.stateQuery, kQueryStopAll);
    for (CommandStateQuery q : CommandStateQueries) EXPECT_NE(q, nullptr);
    for (CommandExecutor e : CommandExecutors) EXPECT_NE(e, nullptr);
    // The fixed rows carry their text and executor: Quit runs executor 6, Open 7.
    EXPECT_EQ(CommandRowTable[15].stateWord & 0xff, 6);
    EXPECT_EQ(CommandRowTable[16].stateWord & 0xff, 7);
    EXPECT_EQ(CommandRowTable[31].stateWord, menu_text::kTextAboutVelmoraEllipsis << 8 | 22);
    EXPECT_EQ(CommandRowTable[23].stateWord, 0);
    EXPECT_EQ(CommandRowTable[24].stateWord, 1);
}

TEST(CommandTable, KeyTextsFollowTheKeyLetter) {
    struct Case { uint32_t row; bool shift; const char* text; };
    const Case cases[] = {
        {1, false, "\tCtrl+M"}, {1, true, "\tShift+Ctrl+M"}, {68, false, "\tShift+Ctrl+F"},
        {68, true, "\tShift+Ctrl+F"}, {85, false, "\tShift+Ctrl+T"}, {43, false, "\tAlt+="},
        {26, false, "\tAlt+`"}, {28, false, "\tAlt+]"}, {29, true, "\tAlt+["}, {75, false, "\tAlt+?"},
        {30, false, "\tDel"}, {100, true, "\tDel"}, {0, false, ""}, {111, false, ""},
        {119, false, "\tAlt++"}, {500, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        char buffer[32];
        const size_t n = FormatCommandKeyText(c.row, c.shift, buffer, sizeof buffer);
        EXPECT_STREQ(buffer, c.text);
        EXPECT_EQ(n, std::strlen(c.text));
    }
    char small[5];
    EXPECT_EQ(FormatCommandKeyText(1, true, small, sizeof small), 4u);
    EXPECT_STREQ(small, "\tShi");
}

TEST(MenuRuleBlock, ProgramsSitAtTheirRowsOffsets) {
    EXPECT_EQ(MenuRules.size(), 3144u);
    std::set<uint16_t> offsets;
    uint32_t ruleRows = 0;
    for (uint32_t r = 0; r < kCommandRowCount; ++r)
        if (CommandRowTable[r].stateQuery == kQueryMenuRules) {
            ++ruleRows;
            offsets.insert(CommandRowTable[r].stateWord);
        }
    EXPECT_EQ(ruleRows, 84u);
    EXPECT_EQ(offsets.size(), 82u);  // rows 81-83 share one program
    for (const MenuRuleProgramStart& s : MenuRuleProgramStarts) {
        SCOPED_TRACE(int(s.row));
        EXPECT_EQ(CommandRowTable[s.row].stateWord, s.offset);
    }

    // Walking every program rule by rule lands exactly on the next program, and every
    // program ends in a result without tests.
    std::set<uint16_t> ends;
    for (uint16_t start : offsets) {
        size_t pc = start;
        size_t lastRule = pc;
        while (true) {
            lastRule = pc;
            const uint8_t op = MenuRules[pc + 1];
            pc += MenuRules[pc];
            if (op == kRuleResult || op == kRuleLineStyle) break;
        }
        EXPECT_EQ(MenuRules[lastRule] == 8 || MenuRules[lastRule] == 3, true) << start;
        ends.insert(uint16_t(pc));
    }
    offsets.erase(offsets.begin());
    offsets.insert(3144);
    EXPECT_EQ(ends, offsets);
}

TEST(MenuRuleBlock, BytesOfKnownPrograms) {
    // Row 1 ("&Midpoint"): two counts, result with argument 10; then #14>=1, #1=#14.
    const uint8_t midpoint[] = {14, 1, 2, 1, 1, 14, 1, 0, menu_text::kTextMidpoint, 0, 1, 0, 0, 10,
                                16, 1, 1, 14, 0x81, 2, 1, 14, 0, 0, menu_text::kTextMidpoints, 0, 1, 0, 0, 10,
                                8, 0, menu_text::kTextMidpoint, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(&MenuRules[120], midpoint, sizeof midpoint));
    // Rows 81-83: F0 => line style 1; line style 0.
    const uint8_t lineStyle[] = {5, 3, 0, 9, 1, 3, 9, 0};
    EXPECT_EQ(0, std::memcmp(&MenuRules[2414], lineStyle, sizeof lineStyle));
    // Row 59's last result keeps its executor and argument although it is disabled.
    const uint8_t plotNew[] = {8, 0, menu_text::kTextPlotNewFunctionEllipsis, 0, 0, 39, 0x80, 0x05};
    EXPECT_EQ(0, std::memcmp(&MenuRules[1797], plotNew, sizeof plotNew));
}
