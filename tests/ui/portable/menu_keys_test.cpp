#include "ui/portable/menu_keys.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/services/string_groups.h"
#include "engine/interact/command_table.h"

using namespace menu_keys;

namespace {

// Commands are 0x9000 + row here, as if every row had one menu item in row order.
uint16_t CommandOfRow(uint32_t row) { return uint16_t(0x9000 + row); }

std::vector<KeyEntry> EntriesOfAllRows() {
    const char* keys = GroupText(kGroupMiscellany, 0);
    std::vector<KeyEntry> entries;
    for (uint32_t row = 0; row < kCommandRowCount && row < std::strlen(keys); ++row) {
        const CommandGroup group = CommandRowTable[row].group;
        AddKeyEntries(&entries, CommandOfRow(row), keys[row],
                      group == kCommandGroupUndo || group == kCommandGroupSelectionMotion);
    }
    return entries;
}

}  // namespace

TEST(MenuKeys, EntriesByKindOfKey) {
    struct Case { char key; bool twin; size_t count; KeyEntry first; };
    const Case cases[] = {
        { 'M', false, 1, { 7, 'M', 0, 1, 0, 0 } },
        { 'f', false, 1, { 7, 'f', 0, 1, 0, 1 } },
        { '=', false, 1, { 7, '=', 0, 0, 1, 0 } },
        { '8', false, 1, { 7, '8', 0, 0, 0, 0 } },
        { 'Z', true,  2, { 7, 'Z', 0, 1, 0, 0 } },
        { '`', true,  2, { 7, '`', 0, 0, 1, 0 } },
        { ' ', true,  0, {} },
        { '5', false, 0, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        std::vector<KeyEntry> entries;
        EXPECT_EQ(AddKeyEntries(&entries, 7, c.key, c.twin), c.count > 0);
        ASSERT_EQ(entries.size(), c.count);
        if (c.count == 0) continue;
        const KeyEntry& e = entries[0];
        EXPECT_EQ(e.key, c.first.key);
        EXPECT_EQ(e.twin, 0);
        EXPECT_EQ(e.letter, c.first.letter);
        EXPECT_EQ(e.alt, c.first.alt);
        EXPECT_EQ(e.shifted, c.first.shifted);
        if (c.count == 2) {
            EXPECT_EQ(entries[1].twin, 1);
            EXPECT_EQ(entries[1].shifted, !e.shifted);
            EXPECT_EQ(entries[1].command, 7);
        }
    }
}

TEST(MenuKeys, LookupsOfTheCommandTablesKeys) {
    const std::vector<KeyEntry> entries = EntriesOfAllRows();
    struct CtrlCase { uint32_t vk; bool shift; uint32_t row; };
    const CtrlCase ctrl[] = {
        { 'M', false, 1 },  { 'Z', false, 23 }, { 'R', false, 24 }, { 'F', true, 68 },
        { 'T', true, 85 },  { 'P', true, 108 }, { 'P', false, 9 },  { 'A', false, 46 },
    };
    for (const CtrlCase& c : ctrl) {
        SCOPED_TRACE(testing::Message() << char(c.vk) << c.shift);
        EXPECT_EQ(FindCtrlKeyCommand(entries, c.vk, c.shift), CommandOfRow(c.row));
    }
    // Shift+Ctrl with a capital's key is the accelerator's (the twin), not a lookup;
    // Ctrl with a small letter's key needs Shift; only letters are looked up.
    EXPECT_EQ(FindCtrlKeyCommand(entries, 'Z', true), 0);
    EXPECT_EQ(FindCtrlKeyCommand(entries, 'F', false), CommandOfRow(92));
    EXPECT_EQ(FindCtrlKeyCommand(entries, 'J', false), 0);
    EXPECT_EQ(FindCtrlKeyCommand(entries, '8', false), 0);

    EXPECT_EQ(FindAltKeyCommand(entries, '='), CommandOfRow(43));
    EXPECT_EQ(FindAltKeyCommand(entries, '`'), CommandOfRow(26));
    EXPECT_EQ(FindAltKeyCommand(entries, ']'), CommandOfRow(28));
    EXPECT_EQ(FindAltKeyCommand(entries, '?'), CommandOfRow(75));
    EXPECT_EQ(FindAltKeyCommand(entries, '/'), CommandOfRow(75));
    EXPECT_EQ(FindAltKeyCommand(entries, 'M'), 0);
}

TEST(MenuKeys, LaterEntriesWin) {
    std::vector<KeyEntry> entries;
    AddKeyEntries(&entries, 1, 'Q', false);
    AddKeyEntries(&entries, 2, 'Q', false);
    AddKeyEntries(&entries, 3, '+', false);
    AddKeyEntries(&entries, 4, '+', false);
    EXPECT_EQ(FindCtrlKeyCommand(entries, 'Q', false), 2);
    EXPECT_EQ(FindAltKeyCommand(entries, '+'), 4);
}

TEST(MenuKeys, AcceleratorsJoinTheFramesTable) {
    const uint8_t ctrl = kAccelVirtKey | kAccelControl;
    std::vector<Accelerator> table = {
        { uint8_t(ctrl | kAccelShift), 'Z', 57643 },  // the frame's undo
        { ctrl, 'N', 57600 },
        { kAccelVirtKey, kVirtualKeyDelete, 57632 },
    };
    std::vector<KeyEntry> entries;
    AddKeyEntries(&entries, 0x9001, 'Z', true);
    AddKeyEntries(&entries, 0x9002, 'N', false);
    AddKeyEntries(&entries, 0x9003, '8', false);
    AddKeyEntries(&entries, 0x9004, 'f', false);
    AddKeyEntries(&entries, 0x9005, '=', false);
    MergeKeyAccelerators(&table, entries);

    struct Expected { uint8_t flags; uint16_t key; uint16_t command; };
    const Expected expected[] = {
        { uint8_t(ctrl | kAccelShift), 'Z', 0x9001 },  // the Shift twin replaced it
        { ctrl, 'N', 0x9002 },
        { kAccelVirtKey, kVirtualKeyDelete, 57632 },   // plain Delete stays the frame's
        { ctrl, 'Z', 0x9001 },
        { ctrl, kVirtualKeyDelete, 0x9003 },
    };
    ASSERT_EQ(table.size(), std::size(expected));
    for (size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table[i].flags, expected[i].flags);
        EXPECT_EQ(table[i].key, expected[i].key);
        EXPECT_EQ(table[i].command, expected[i].command);
    }
}
