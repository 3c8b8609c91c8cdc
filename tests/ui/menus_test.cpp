#include "ui/menus.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "classlib/command_ids.h"
#include "engine/core/engine_startup.h"
#include "engine/core/services/user_interface.h"
#include "engine/interact/command_state.h"
#include "engine/interact/command_table.h"
#include "engine/interact/selection_census.h"
#include "ui/frames/engine_commands.h"
#include "ui/portable/menu_stream.h"
#include "ui/resource_ids.h"

namespace {

std::string Text(HMENU menu, int position) {
    char text[512] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

// The menu as text, one line per item: depth, text, identifier, greyed and checked marks.
void Dump(HMENU menu, int depth, std::string* out) {
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        *out += std::string(size_t(depth), ' ') + Text(menu, i) + "|" + std::to_string(GetMenuItemID(menu, i)) +
                ((state & MF_GRAYED) ? "|grey" : "") + ((state & MF_CHECKED) ? "|check" : "") + "\n";
        if (HMENU sub = GetSubMenu(menu, i)) Dump(sub, depth + 1, out);
    }
}
std::string Dump(HMENU menu) {
    std::string out;
    Dump(menu, 0, &out);
    return out;
}

HMENU SubMenuTitled(HMENU menu, const std::string& title) {
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        if (Text(menu, i) == title) return GetSubMenu(menu, i);
    }
    return nullptr;
}

std::vector<uint8_t> DefaultStream() {
    uint32_t length = 0;
    const uint8_t* bytes = DefaultMenuStream(&length);
    return std::vector<uint8_t>(bytes, bytes + length);
}

ResultCode Build(const std::vector<uint8_t>& bytes) {
    return BuildMenuBarFromStream(bytes.data(), uint32_t(bytes.size()));
}

UINT IdOfRow(uint32_t row) {
    uint32_t slot = 0;
    return CmdStateFindItem(row, &slot) ? kEngineCommandFirst + slot : 0;
}

void CountCommands(HMENU menu, int* commands) {
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            CountCommands(sub, commands);
        } else {
            const UINT id = GetMenuItemID(menu, i);
            *commands += id >= kEngineCommandFirst && id <= kEngineCommandLast;
        }
    }
}

// A stream with one command in "&File" (merged by its title item) and a new pop-up.
std::vector<uint8_t> SmallStream(uint16_t extraItem) {
    std::vector<uint8_t> b;
    auto w = [&](uint16_t v) { b.push_back(uint8_t(v & 0xff)); b.push_back(uint8_t(v >> 8)); };
    auto block = [&](uint16_t count, const char* title, uint16_t attribute) {
        w(0); w(count); w(0); w(0);
        const std::string t = title;
        b.insert(b.end(), t.begin(), t.end());
        b.push_back(0);
        if (t.size() % 2 == 0) b.push_back(0);
        if (attribute) w(attribute);
        w(0);
    };
    w(0); w(2); w(10);
    block(2, "", 0);
    w(1); block(1, "File", 1); w(0x8000 | 16);
    w(1); block(2, "Extra", 0); w(0x8000 | 1); w(extraItem);
    w(12);
    return b;
}

class RuntimeMenus : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(StartEngine());
        CreateMenuLists();
    }
    static void TearDownTestSuite() {
        DestroyMenuLists();
        ShutdownEngine();
    }
    void SetUp() override {
        ASSERT_NE(RuntimeMenuBar(), nullptr);
        ASSERT_EQ(Build(DefaultStream()), kResultOK);
        CmdStateRefreshNow();
    }
};

}  // namespace

TEST_F(RuntimeMenus, DefaultStreamMergesIntoTheBaseMenu) {
    HMENU bar = RuntimeMenuBar();
    const char* titles[] = { "&File", "&Edit", "&Display", "&Construct", "&Transform", "&Measure",
                             "&Graph", "&Window", "&Help" };
    ASSERT_EQ(GetMenuItemCount(bar), int(std::size(titles)));
    for (int i = 0; i < int(std::size(titles)); ++i) EXPECT_EQ(Text(bar, i), titles[i]);

    // 105 command items: 104 items and the Text pop-up in place of Text Style.
    int commands = 0;
    CountCommands(bar, &commands);
    EXPECT_EQ(commands, 104);
    EXPECT_EQ(CmdStateFreeCount(), 145u - 106u);  // and the text palette's item

    HMENU file = GetSubMenu(bar, 0);
    // The placeholder separator is gone; the recent files' place and a separator stand
    // before Quit.
    ASSERT_EQ(GetMenuItemCount(file), 16);
    EXPECT_EQ(Text(file, 0), "&New Sketch\tCtrl+N");
    EXPECT_EQ(GetMenuItemID(file, 13), UINT(CMD_RECENT_FIRST));
    EXPECT_TRUE(GetMenuState(file, 14, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(Text(file, 15), "&Quit\tCtrl+Q");

    HMENU display = GetSubMenu(bar, 2);
    EXPECT_EQ(Text(display, 2), "Te&xt");
    HMENU text = GetSubMenu(display, 2);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(GetMenuItemID(text, 0), UINT(ID_LARGER_TEXT));
    EXPECT_EQ(GetMenuItemID(text, 1), UINT(ID_SMALLER_TEXT));
    HMENU color = SubMenuTitled(display, "&Color");
    ASSERT_NE(color, nullptr);
    ASSERT_EQ(GetMenuItemCount(color), 16 + 3);
    EXPECT_EQ(GetMenuItemID(color, 0), kFirstColorSwatchCommand);
    EXPECT_EQ(GetMenuItemID(color, 15), kFirstColorSwatchCommand + 15);
    EXPECT_NE(GetColorPopupCopy(), nullptr);
    EXPECT_EQ(GetMenuItemCount(GetColorPopupCopy()), 16);

    HMENU edit = GetSubMenu(bar, 1);
    HMENU buttons = SubMenuTitled(edit, "Action &Buttons");
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(GetMenuItemCount(buttons), 7);
    // Without a sketch the rule-driven rows show their unconditional texts, greyed.
    HMENU construct = GetSubMenu(bar, 3);
    EXPECT_EQ(Text(construct, 1), "&Midpoint\tCtrl+M");
    EXPECT_TRUE(GetMenuState(construct, 1, MF_BYPOSITION) & MF_GRAYED);
}

TEST_F(RuntimeMenus, ARebuildTakesOutThePreviousBuild) {
    HMENU bar = RuntimeMenuBar();
    const std::string full = Dump(bar);

    // The class library lists two recent files in place of the first one's item.
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemID(file, 13), UINT(CMD_RECENT_FIRST));
    ModifyMenuA(file, 13, MF_BYPOSITION | MF_STRING, CMD_RECENT_FIRST, "&1 C:\\a.yrn");
    InsertMenuA(file, 14, MF_BYPOSITION | MF_STRING, CMD_RECENT_FIRST + 1, "&2 C:\\b.yrn");

    ASSERT_EQ(Build(SmallStream(0)), kResultOK);
    ASSERT_EQ(GetMenuItemCount(bar), 6);
    EXPECT_EQ(Text(bar, 3), "Extra");
    // File holds only Open: the recent files went with the build, and without Quit
    // they have no place.
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 1);
    // Edit was merged into by the previous build: its placeholder does not come back.
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 1)), 0);
    EXPECT_EQ(LookupCtrlKeyCommand('M', false), IdOfRow(1));
    EXPECT_EQ(LookupCtrlKeyCommand('Z', false), 0u);

    ASSERT_EQ(Build(DefaultStream()), kResultOK);
    CmdStateRefreshNow();
    EXPECT_EQ(Dump(bar), full);
}

TEST_F(RuntimeMenus, SkippedItemsGiveTwo) {
    EXPECT_EQ(Build(SmallStream(0x2000 | 7)), 2);  // an item of a later format
    EXPECT_EQ(GetMenuItemCount(SubMenuTitled(RuntimeMenuBar(), "Extra")), 1);
    EXPECT_EQ(Build(SmallStream(0x8000 | 84)), 2);  // a code that names no row
    EXPECT_EQ(Build(SmallStream(0x8000 | 115)), 2);
}

TEST_F(RuntimeMenus, BadStreamsLeaveTheMenusAsTheyWere) {
    HMENU bar = RuntimeMenuBar();
    const std::string before = Dump(bar);
    const UINT quit = IdOfRow(15);

    std::vector<uint8_t> wrongEnd = DefaultStream();
    wrongEnd[548] = 157;
    std::vector<uint8_t> cut = DefaultStream();
    cut.resize(300);
    // Pop-ups nested far deeper than any menu.
    std::vector<uint8_t> deep = { 0, 0, 40, 0, 0, 0 };
    for (int d = 0; d <= 40; ++d) {
        const uint8_t block[] = { 0, 0, 1, 0, 0, 0, 0, 0, 'P', 0, 0, 0, 1, 0 };
        deep.insert(deep.end(), block, block + sizeof block);
    }
    for (const auto* bytes : { &wrongEnd, &cut, &deep }) {
        EXPECT_EQ(Build(*bytes), 4);
        EXPECT_EQ(Dump(bar), before);
        EXPECT_EQ(IdOfRow(15), quit);
    }
}

TEST_F(RuntimeMenus, KeyLettersAndAccelerators) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(table, nullptr);
    SetMenuAcceleratorTable(&table);
    ASSERT_EQ(Build(DefaultStream()), kResultOK);
    SetMenuAcceleratorTable(nullptr);

    EXPECT_EQ(LookupCtrlKeyCommand('M', false), IdOfRow(1));
    EXPECT_EQ(LookupCtrlKeyCommand('F', true), IdOfRow(68));   // a small letter: Shift+Ctrl
    EXPECT_EQ(LookupCtrlKeyCommand('F', false), IdOfRow(92));
    EXPECT_EQ(LookupCtrlKeyCommand('Z', true), 0u);            // the twin is an accelerator
    EXPECT_EQ(LookupAltKeyCommand('='), IdOfRow(43));
    EXPECT_EQ(LookupAltKeyCommand('/'), IdOfRow(75));
    EXPECT_EQ(LookupAltKeyCommand('`'), IdOfRow(26));

    const int n = CopyAcceleratorTableA(table, nullptr, 0);
    std::vector<ACCEL> accels(static_cast<size_t>(n));
    CopyAcceleratorTableA(table, accels.data(), n);
    auto command = [&](BYTE flags, WORD key) -> UINT {
        for (const ACCEL& a : accels) {
            if ((a.fVirt & ~FNOINVERT) == flags && a.key == key) return a.cmd;
        }
        return 0;
    };
    const BYTE ctrl = FVIRTKEY | FCONTROL;
    EXPECT_EQ(command(ctrl, 'Z'), IdOfRow(23));
    EXPECT_EQ(command(ctrl | FSHIFT, 'Z'), IdOfRow(23));     // Undo All replaces the frame's undo
    EXPECT_EQ(command(ctrl, 'N'), IdOfRow(22));              // New Sketch replaces the frame's New
    EXPECT_EQ(command(ctrl, VK_DELETE), IdOfRow(100));      // Clear's key letter 8
    EXPECT_EQ(command(FVIRTKEY, VK_DELETE), 57632u);        // the frame's own keys stay
    EXPECT_EQ(command(FVIRTKEY, VK_F1), 57670u);
    EXPECT_EQ(command(ctrl | FSHIFT, 'F'), 0u);              // small letters are looked up
    DestroyAcceleratorTable(table);
}

TEST_F(RuntimeMenus, ItemUpdatesByVariant) {
    const uint32_t row = 9;  // Interior
    const UINT id = IdOfRow(row);
    const uint32_t slot = id - kEngineCommandFirst;
    HMENU construct = GetSubMenu(RuntimeMenuBar(), 3);
    const int position = 16;
    ASSERT_EQ(GetMenuItemID(construct, position), id);

    UpdateMenuCommandItem(slot, menu_text::kTextInterior, 8, 0, false, true);
    EXPECT_EQ(Text(construct, position), "I&nterior\tCtrl+P");
    EXPECT_EQ(GetMenuState(construct, position, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED), UINT(MF_CHECKED | MF_GRAYED));
    UpdateMenuCommandItem(slot, menu_text::kTextInterior, 8, 8, true, false);
    EXPECT_EQ(GetMenuState(construct, position, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED), UINT(MF_CHECKED));
    // State-only updates set and clear the check mark by the variant too.
    UpdateMenuCommandItem(slot, menu_text::kTextInterior, 0, 8, true, false);
    EXPECT_EQ(GetMenuState(construct, position, MF_BYPOSITION) & MF_CHECKED, 0u);
    UpdateMenuCommandItem(slot, menu_text::kTextInterior, 2, 0, false, false);
    EXPECT_EQ(GetMenuState(construct, position, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED), UINT(MF_CHECKED | MF_GRAYED));
    UpdateMenuCommandItem(slot, menu_text::kTextInterior, 8, 2, true, false);

    // The arc-interior pop-up takes the item's place, and gives it back.
    UpdateMenuCommandItem(slot, menu_text::kTextArcInterior, 11, 8, true, true);
    HMENU arc = GetSubMenu(construct, position);
    ASSERT_NE(arc, nullptr);
    EXPECT_EQ(Text(construct, position), "Arc I&nterior");
    EXPECT_EQ(GetMenuItemID(arc, 0), id);
    EXPECT_EQ(Text(arc, 0), "Arc Sec&tor\tCtrl+P");
    EXPECT_EQ(GetMenuItemID(arc, 1), kArcSegmentCommand);
    EXPECT_EQ(Text(arc, 1), "Arc Seg&ment");
    UpdateMenuCommandItem(slot, menu_text::kTextInterior, 0, 11, true, true);
    EXPECT_EQ(GetSubMenu(construct, position), nullptr);
    EXPECT_EQ(GetMenuItemID(construct, position), id);
    EXPECT_EQ(Text(construct, position), "I&nterior\tCtrl+P");

    // A rebuild while the pop-up shows turns it back first.
    ASSERT_EQ(Build(DefaultStream()), kResultOK);
    CmdStateRefreshNow();
    const std::string plain = Dump(RuntimeMenuBar());
    UpdateMenuCommandItem(IdOfRow(row) - kEngineCommandFirst, menu_text::kTextArcInterior, 11, 0, true, true);
    ASSERT_NE(Dump(RuntimeMenuBar()), plain);
    ASSERT_EQ(Build(DefaultStream()), kResultOK);
    CmdStateRefreshNow();
    EXPECT_EQ(Dump(RuntimeMenuBar()), plain);
}

TEST_F(RuntimeMenus, KeyTextsFollowTheShiftStateWhenAMenuOpens) {
    HMENU construct = GetSubMenu(RuntimeMenuBar(), 3);
    const UINT segment = IdOfRow(3);
    auto text = [&] {
        char t[256] = "";
        GetMenuStringA(construct, segment, t, sizeof t, MF_BYCOMMAND);
        return std::string(t);
    };
    ASSERT_EQ(text(), "&Segment\tCtrl+L");
    for (int32_t shift : { 1, 0 }) {
        SCOPED_TRACE(shift);
        // The refresh renews only the rows whose rules read Shift; the segment's is not one.
        SetShiftState(shift);
        CmdStateRefreshNow();
        RefreshMenuKeyTexts();
        EXPECT_EQ(text(), shift ? "&Segment\tShift+Ctrl+L" : "&Segment\tCtrl+L");
        EXPECT_TRUE(GetMenuState(construct, segment, MF_BYCOMMAND) & MF_GRAYED);
    }
}

TEST_F(RuntimeMenus, ContextMenuCopiesWhatFitsTheContext) {
    const uint32_t freeBefore = CmdStateFreeCount();
    for (const bool overObject : { false, true }) {
        SCOPED_TRACE(overObject);
        ContextMenuLayout layout = BuildContextMenu(!overObject, overObject);
        ASSERT_NE(layout.menu, nullptr);
        bool colorPopup = false;
        int separators = 0;
        for (int i = 0, n = GetMenuItemCount(layout.menu); i < n; ++i) {
            if (HMENU sub = GetSubMenu(layout.menu, i)) {
                colorPopup = GetMenuItemID(sub, 0) == kFirstColorSwatchCommand;
                continue;
            }
            const UINT id = GetMenuItemID(layout.menu, i);
            if (id == 0) {
                ++separators;
                EXPECT_GT(i, 0);
                continue;
            }
            const uint32_t row = CmdStateItemRow(id - kEngineCommandFirst);
            const uint8_t flags = CommandRowTable[row].flags;
            EXPECT_TRUE((flags & RowContextFromArgument) ||
                        (flags & (overObject ? RowInObjectContextMenu : RowInSketchContextMenu)))
                << row;
        }
        EXPECT_EQ(colorPopup, overObject);
        EXPECT_EQ(layout.height, layout.items * layout.itemHeight +
                                     separators * ((layout.itemHeight + 1) / 3 + 1));
        if (!overObject) {
            // Show Toolbox is always enabled and offered over empty space.
            std::string all = Dump(layout.menu);
            EXPECT_NE(all.find("Show Tool&box"), std::string::npos) << all;
        }
        FreeContextMenu(&layout);
        EXPECT_EQ(CmdStateFreeCount(), freeBefore);
    }
}

TEST(ContextMenuPlace, OpensWithTheNamedItemUnderThePointer) {
    ContextMenuLayout layout;
    layout.height = 200;
    layout.offset = 90;
    const RECT work{ 0, 0, 1024, 740 };
    struct Case { POINT pointer; POINT at; };
    const Case cases[] = {
        { { 300, 400 }, { 299, 310 } },
        { { 300, 50 }, { 320, 0 } },     // would start above the screen
        { { 300, 700 }, { 320, 535 } },  // would end within 5 pixels of the work area's bottom
    };
    for (const Case& c : cases) {
        const POINT at = ContextMenuPlace(c.pointer, layout, work);
        EXPECT_EQ(at.x, c.at.x);
        EXPECT_EQ(at.y, c.at.y);
    }
}

TEST(MenuHelpers, IdentifiersTextsAndItems) {
    uint32_t slot = 0;
    EXPECT_TRUE(MenuIdToSlot(0x9000, &slot));
    EXPECT_EQ(slot, 0u);
    EXPECT_TRUE(MenuIdToSlot(0xAFFF, &slot));
    EXPECT_EQ(slot, 0x1FFFu);
    EXPECT_FALSE(MenuIdToSlot(0xB000, &slot));
    EXPECT_FALSE(MenuIdToSlot(0x8FFF, &slot));

    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuTextItem(menu, 0, 5, "Tom & Jerry"));
    EXPECT_EQ(Text(menu, 0), "Tom && Jerry");
    ASSERT_TRUE(AppendMenuTextItem(menu, 0, 6, std::string(300, 'x').c_str()));
    EXPECT_EQ(Text(menu, 1).size(), 255u);

    UINT counter = 40, id = 0;
    ASSERT_TRUE(AppendPopupItem(menu, 0, nullptr, false, false, &counter, &id));
    ASSERT_TRUE(AppendPopupItem(menu, 1, "Heading", false, false, &counter, &id));
    ASSERT_TRUE(AppendPopupItem(menu, 3, "Tool", true, false, &counter, &id));
    EXPECT_EQ(id, 40u);
    EXPECT_EQ(counter, 41u);
    EXPECT_TRUE(GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(menu, 3, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_EQ(GetMenuState(menu, 4, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED), UINT(MF_CHECKED));
    EXPECT_EQ(GetMenuItemID(menu, 4), 40u);

    HMENU sub = nullptr;
    ASSERT_TRUE(AppendSubmenu(menu, &sub, "Doc & Co"));
    EXPECT_EQ(GetSubMenu(menu, 5), sub);
    EXPECT_EQ(Text(menu, 5), "Doc && Co");
    DestroyMenu(menu);
}
