#include "ui/menus.h"

#include <cstring>
#include <string>
#include <vector>

#include "classlib/app.h"
#include "classlib/command_ids.h"
#include "classlib/frame.h"
#include "engine/core/services/later_release.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/bars.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/services/user_interface.h"
#include "engine/interact/command_state.h"
#include "engine/interact/command_table.h"
#include "engine/interact/menu_state_queries.h"
#include "engine/interact/selection_census.h"
#include "engine/interact/undo.h"
#include "engine/text/caret_codes.h"
#include "engine/text/string_groups.h"
#include "platform/win32/fonts.h"
#include "platform/win32/shell.h"
#include "ui/frames/engine_commands.h"
#include "ui/portable/menu_keys.h"
#include "ui/portable/menu_stream.h"
#include "ui/resource_ids.h"

namespace {

using menu_stream::ItemKind;
using menu_stream::MenuStreamPopup;
using menu_stream::MenuStreamTree;

constexpr uint32_t kTextStyleRow = 84;
constexpr uint32_t kTextPaletteRow = 85;
constexpr uint32_t kNoRow = 0xffffffffu;
constexpr UINT kFirstTopLevelPosition = 3;  // after "&File", "&Edit" and "&Display"

// One item or pop-up a build put into the menus, so that the next build can take it out.
struct InsertedItem {
    UINT_PTR item;      // identifier, or the pop-up's handle
    HMENU parent;
    uint32_t row;
    uint16_t position;
    uint16_t flags;     // MF_STRING, MF_SEPARATOR or MF_POPUP
    bool placeholder;   // the base menu's placeholder separator, taken out by the build
};

constexpr uint32_t kQuitRow = 15;
constexpr uint32_t kInteriorRow = 9;   // shown as the arc-interior pop-up for arcs
constexpr UINT kRecentFileFirst = CMD_RECENT_FIRST;
constexpr UINT kRecentFileLast = CMD_RECENT_LAST;

HMENU gBaseMenu = nullptr;
// The pop-up that holds the recent-file place of the current build, or null.
HMENU gRecentFileMenu = nullptr;
std::vector<InsertedItem> gInserted;
std::vector<menu_keys::KeyEntry> gKeyEntries;
HACCEL* gAccelTable = nullptr;
std::vector<ACCEL> gFrameAccelerators;  // the frame's own table, copied at the first build
bool gFrameAcceleratorsRead = false;
HMENU gColorPopup = nullptr;
HMENU gColorPopupCopy = nullptr;
// The arc-interior pop-up (made once) and the slot of the item it stands in for.
HMENU gArcPopup = nullptr;
uint32_t gArcSlot = kCmdStateNoSlot;
bool gFontPopupEnabled = false;

UINT CommandId(uint32_t slot) { return kEngineCommandFirst + slot; }
HMENU MenuOf(const CommandStateItem* item) { return reinterpret_cast<HMENU>(uintptr_t(item->handle)); }

std::string ItemText(HMENU menu, UINT position) {
    char text[512] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

int FindPosition(HMENU menu, UINT id) {
    const int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        if (GetMenuItemID(menu, i) == id) return i;
    }
    return -1;
}

// ---- Texts of the display variants -----------------------------------------------------

const char* Noun(int32_t kind, bool plural) { return KindNoun(kind, plural ? kNounPlural : kNounSingular); }

std::string ParentsNoun() {
    const Sketch* sketch = CurrentSketch();
    const SketchObject* latest = sketch ? sketch->selectionHead : nullptr;
    if (!latest) return "";
    int32_t count = 0;
    void** parents = PtrListItems(latest->parents, &count);
    int32_t kind = 0;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t k = static_cast<const SketchObject*>(parents[i])->objectKind;
        kind = i == 0 ? k : CommonKind(kind, k);
    }
    return count > 0 ? Noun(kind, count > 1) : "";
}

void PointAndOthersNouns(std::string* point, std::string* others) {
    const Sketch* sketch = CurrentSketch();
    int32_t pointKind = -1, otherKind = 0, otherCount = 0;
    for (const SketchObject* o = sketch ? sketch->selectionHead : nullptr; o; o = o->nextSelected) {
        if (o->objectClass == kClassPoint) {
            pointKind = o->objectKind;  // the chain runs newest first: the earliest wins
        } else {
            otherKind = otherCount == 0 ? o->objectKind : CommonKind(otherKind, o->objectKind);
            ++otherCount;
        }
    }
    *point = pointKind >= 0 ? Noun(pointKind, false) : "";
    *others = otherCount > 0 ? Noun(otherKind, otherCount > 1) : "";
}

// The item's text for a full update, before its key text.
std::string VariantText(uint16_t text, uint16_t variant) {
    char buffer[512];
    GetGroupString(kGroupMenuItems, text, buffer, sizeof buffer);
    if (variant == kVariantUndoText) {
        char undo[256];
        BuildUndoMenuText(undo, text);
        return undo;
    }
    int32_t kind = 0, count = 0;
    char noun[256] = "";
    std::string first, second;
    switch (variant) {
    case kVariantNoun:
    case kVariantNounChecked:
    case kVariantNounPartly:
        GetSelectionCensusSummary(&kind, &count, noun);
        first = noun;
        break;
    case kVariantParentNouns:
        GetSelectionCensusSummary(&kind, &count, noun);
        first = noun;
        second = ParentsNoun();
        break;
    case kVariantPointAndOthers:
        PointAndOthersNouns(&first, &second);
        break;
    case kVariantPolygonNoun:
        GetSelectionCensusSummary(&kind, &count, noun);
        first = KindNoun(count + 44, kNounSingular);
        break;
    default:
        return buffer;
    }
    const char* args[2] = { first.c_str(), second.c_str() };
    SubstituteCaretArgs(buffer, args, 2, sizeof buffer, false);
    return buffer;
}

std::string KeyText(uint32_t slot) {
    char key[32];
    FormatCommandKeyText(CmdStateItemRow(slot), CensusShiftState() != 0, key, sizeof key);
    return key;
}

// ---- The arc-interior pop-up -----------------------------------------------------------

void SetArcPopupTexts(uint32_t slot) {
    const Sketch* sketch = CurrentSketch();
    const bool plural = sketch && sketch->selectionHead && sketch->selectionHead->nextSelected;
    const std::string sector = GroupText(kGroupMenuItems, plural ? menu_text::kTextArcSectors : menu_text::kTextArcSector) + KeyText(slot);
    ModifyMenuA(gArcPopup, 0, MF_BYPOSITION | MF_STRING, CommandId(slot), sector.c_str());
    ModifyMenuA(gArcPopup, 1, MF_BYPOSITION | MF_STRING, kArcSegmentCommand,
                GroupText(kGroupMenuItems, plural ? menu_text::kTextArcSegments : menu_text::kTextArcSegment));
}

// Puts the pop-up in place of the slot's item; the sector program is chosen until the
// segment item says otherwise.
void MakeArcPopup(uint32_t slot, const std::string& text) {
    const CommandStateItem* item = CmdStateItemAt(slot);
    if (!item) return;
    HMENU menu = MenuOf(item);
    if (!gArcPopup) {
        gArcPopup = CreatePopupMenu();
        if (!gArcPopup) return;
        AppendMenuA(gArcPopup, MF_STRING, CommandId(slot), "");
        AppendMenuA(gArcPopup, MF_STRING, kArcSegmentCommand, "");
    }
    SetArcPopupTexts(slot);
    if (gArcSlot == slot) {
        ModifyMenuA(menu, item->position, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(gArcPopup), text.c_str());
        return;
    }
    const int position = FindPosition(menu, CommandId(slot));
    if (position < 0) return;
    DeleteMenu(menu, position, MF_BYPOSITION);
    InsertMenuA(menu, position, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(gArcPopup), text.c_str());
    gArcSlot = slot;
    SetCommandVariantFlag(true);
}

void TurnArcPopupBack() {
    if (gArcSlot == kCmdStateNoSlot) return;
    const uint32_t slot = gArcSlot;
    gArcSlot = kCmdStateNoSlot;
    const CommandStateItem* item = CmdStateItemAt(slot);
    if (!item) return;
    HMENU menu = MenuOf(item);
    const int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        if (GetSubMenu(menu, i) != gArcPopup) continue;
        const std::string text = ItemText(menu, i);
        RemoveMenu(menu, i, MF_BYPOSITION);  // the pop-up itself is kept for next time
        InsertMenuA(menu, i, MF_BYPOSITION | MF_STRING, CommandId(slot), text.c_str());
        return;
    }
}

// ---- Building --------------------------------------------------------------------------

void Record(UINT_PTR item, HMENU parent, uint32_t row, UINT position, UINT flags, bool placeholder = false) {
    gInserted.push_back({ item, parent, row, uint16_t(position), uint16_t(flags), placeholder });
}

// Owner-drawn: the main frame measures and draws them in their colours.
bool AppendColorSwatches(HMENU menu) {
    for (int i = 0; i < kColorSwatchCount; ++i) {
        const UINT id = kFirstColorSwatchCommand + UINT(i);
        if (!AppendMenuA(menu, MF_OWNERDRAW, id, reinterpret_cast<const char*>(uintptr_t(id)))) return false;
    }
    return true;
}

HMENU MakeColorPopup() {
    if (!gColorPopup) {
        HMENU popup = CreatePopupMenu();
        if (!popup || !AppendColorSwatches(popup)) {
            if (popup) DestroyMenu(popup);
            return nullptr;
        }
        gColorPopup = popup;
    }
    if (!gColorPopupCopy) {
        HMENU copy = CreatePopupMenu();
        if (copy && !AppendColorSwatches(copy)) {
            DestroyMenu(copy);
            copy = nullptr;
        }
        gColorPopupCopy = copy;
    }
    return gColorPopup;
}

// The "Te&xt" pop-up that stands for the Text Style row: larger, smaller and the faces.
HMENU MakeTextPopup(uint32_t slot, UINT position) {
    HMENU bar = LoadMenuA(ResourceModule(), MAKEINTRESOURCEA(IDM_TEXT_POPUP));
    HMENU popup = bar ? GetSubMenu(bar, 0) : nullptr;
    if (popup) RemoveMenu(bar, 0, MF_BYPOSITION);
    if (bar) DestroyMenu(bar);
    if (popup) AppendFontMenuItems(popup, int32_t(slot), int32_t(position));
    return popup;
}

struct BuildState {
    const MenuStreamTree* tree;
    const char* keys;       // key letters by row
    UINT nextTopLevel;
    bool incomplete;
    bool hasTextRows;
};

bool BuildCommand(BuildState* s, HMENU menu, uint16_t code) {
    uint32_t row = 0;
    if (!MenuCodeToCommandRow(code, &row)) {
        s->incomplete = true;
        return true;
    }
    const UINT position = UINT(GetMenuItemCount(menu));
    const bool textStyle = row == kTextStyleRow;
    const uint32_t slot = CmdStateAddItem({ textStyle ? kOwnerFontPopup : kOwnerMenuItem,
                                            uint32_t(reinterpret_cast<uintptr_t>(menu)), position }, row);
    if (slot == kCmdStateNoSlot || CommandId(slot) > kEngineCommandLast) {
        if (slot != kCmdStateNoSlot) CmdStateRemoveItem(slot);
        s->incomplete = true;
        return true;
    }
    s->hasTextRows = s->hasTextRows || textStyle || row == kTextPaletteRow;
    if (textStyle) {
        HMENU popup = MakeTextPopup(slot, position);
        CString title;
        title.LoadString(IDS_TEXT_POPUP);
        if (!popup || !AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), title)) {
            if (popup) DestroyMenu(popup);
            CmdStateRemoveItem(slot);
            return false;
        }
        Record(reinterpret_cast<UINT_PTR>(popup), menu, row, position, MF_POPUP);
        return true;
    }
    const CommandGroup group = CommandRowAt(row)->group;
    const char key = row < std::strlen(s->keys) ? s->keys[row] : ' ';
    menu_keys::AddKeyEntries(&gKeyEntries, uint16_t(CommandId(slot)), key,
                             group == kCommandGroupUndo || group == kCommandGroupSelectionMotion);
    char keyText[32];
    FormatCommandKeyText(row, false, keyText, sizeof keyText);
    if (!AppendMenuA(menu, MF_STRING, CommandId(slot), keyText)) {
        CmdStateRemoveItem(slot);
        return false;
    }
    Record(CommandId(slot), menu, row, position, MF_STRING);
    return true;
}

bool BuildPopup(BuildState* s, uint32_t index, HMENU parent);

bool BuildItems(BuildState* s, const MenuStreamPopup& popup, HMENU menu) {
    for (const menu_stream::MenuStreamItem& item : popup.items) {
        switch (item.kind) {
        case ItemKind::Popup:
            if (!BuildPopup(s, item.popup, menu)) return false;
            break;
        case ItemKind::Separator: {
            const UINT position = UINT(GetMenuItemCount(menu));
            if (!AppendMenuA(menu, MF_SEPARATOR, 0, nullptr)) return false;
            Record(0, menu, kNoRow, position, MF_SEPARATOR);
            break;
        }
        case ItemKind::Command:
            if (!BuildCommand(s, menu, item.code)) return false;
            break;
        case ItemKind::Skipped:
            s->incomplete = true;
            break;
        }
    }
    return true;
}

// A block below the menu bar merges into the parent's pop-up of the same title, or
// becomes a new pop-up of the parent.
bool BuildPopup(BuildState* s, uint32_t index, HMENU parent) {
    const MenuStreamPopup& popup = s->tree->popups[index];
    const std::string title = popup.titleItem ? GroupText(kGroupMenuTitles, popup.titleItem - 1) : popup.title;
    const int n = GetMenuItemCount(parent);
    for (int i = 0; i < n; ++i) {
        HMENU existing = GetSubMenu(parent, i);
        if (!existing || ItemText(parent, i) != title) continue;
        // The base menu's top-level pop-ups hold a placeholder separator until merged into.
        if (popup.depth == 1 && GetMenuItemCount(existing) == 1 && GetMenuItemID(existing, 0) == 0 &&
            (GetMenuState(existing, 0, MF_BYPOSITION) & MF_SEPARATOR)) {
            DeleteMenu(existing, 0, MF_BYPOSITION);
            Record(0, existing, kNoRow, 0, MF_SEPARATOR, true);
        }
        return BuildItems(s, popup, existing);
    }
    HMENU made = popup.colorPopup ? MakeColorPopup() : CreatePopupMenu();
    if (!made) return false;
    UINT position = UINT(n);
    if (popup.depth == 1) position = std::min(s->nextTopLevel++, UINT(n));
    if (!InsertMenuA(parent, position, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(made), title.c_str())) {
        if (made != gColorPopup) DestroyMenu(made);
        return false;
    }
    Record(reinterpret_cast<UINT_PTR>(made), parent, kNoRow, position, MF_POPUP);
    return BuildItems(s, popup, made);
}

bool IsRecentFileItem(HMENU menu, int position) {
    const UINT id = GetMenuItemID(menu, position);
    return id >= kRecentFileFirst && id <= kRecentFileLast;
}

// The recent files are listed before Quit, in the pop-up that holds it, followed by a
// separator: the class library puts the names in place of the first recent-file item.
void InsertRecentFilePlace() {
    uint32_t slot = 0;
    const CommandStateItem* quit = CmdStateFindItem(kQuitRow, &slot) ? CmdStateItemAt(slot) : nullptr;
    if (!quit || quit->ownerKind != kOwnerMenuItem) return;
    HMENU menu = MenuOf(quit);
    const int at = FindPosition(menu, CommandId(slot));
    if (at < 0) return;
    if (!InsertMenuA(menu, UINT(at), MF_BYPOSITION | MF_STRING | MF_GRAYED, kRecentFileFirst, "Recent File")) return;
    if (!InsertMenuA(menu, UINT(at + 1), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr)) {
        DeleteMenu(menu, UINT(at), MF_BYPOSITION);
        return;
    }
    gRecentFileMenu = menu;
}

// Takes the recent files and their separator out again, so that every item the build
// recorded is back at its recorded position.
void TakeOutRecentFilePlace() {
    HMENU menu = gRecentFileMenu;
    gRecentFileMenu = nullptr;
    if (!menu) return;
    int first = -1;
    for (int i = 0, n = GetMenuItemCount(menu); i < n && first < 0; ++i) {
        if (IsRecentFileItem(menu, i)) first = i;
    }
    if (first < 0) return;
    while (first < GetMenuItemCount(menu) && IsRecentFileItem(menu, first)) DeleteMenu(menu, UINT(first), MF_BYPOSITION);
    if (first < GetMenuItemCount(menu) && (GetMenuState(menu, UINT(first), MF_BYPOSITION) & MF_SEPARATOR)) {
        DeleteMenu(menu, UINT(first), MF_BYPOSITION);
    }
}

// Takes out what the previous build put in, last first; pop-ups of the base menu that
// were merged into stay (without their placeholders), the colour pop-up is kept for the
// next build. A build that failed half-way gives its placeholders back, so that the
// menu bar is as it was before it.
void TakeOutBuild(bool failedBuild = false) {
    TakeOutRecentFilePlace();
    TurnArcPopupBack();
    for (size_t i = gInserted.size(); i-- > 0;) {
        const InsertedItem& r = gInserted[i];
        if (r.placeholder) {
            if (failedBuild) InsertMenuA(r.parent, r.position, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        } else if (r.flags & MF_POPUP) {
            HMENU popup = reinterpret_cast<HMENU>(r.item);
            RemoveMenu(r.parent, r.position, MF_BYPOSITION);
            if (popup != gColorPopup) DestroyMenu(popup);
        } else {
            DeleteMenu(r.parent, r.position, MF_BYPOSITION);
        }
    }
    gInserted.clear();
    gKeyEntries.clear();
}

void RebuildAccelerators() {
    if (!gAccelTable) return;
    if (!gFrameAcceleratorsRead) {
        gFrameAcceleratorsRead = true;
        if (*gAccelTable) {
            const int n = CopyAcceleratorTableA(*gAccelTable, nullptr, 0);
            gFrameAccelerators.resize(size_t(n));
            if (n > 0) CopyAcceleratorTableA(*gAccelTable, gFrameAccelerators.data(), n);
        }
    }
    std::vector<menu_keys::Accelerator> table;
    for (const ACCEL& a : gFrameAccelerators) table.push_back({ a.fVirt, a.key, a.cmd });
    menu_keys::MergeKeyAccelerators(&table, gKeyEntries);
    std::vector<ACCEL> accels;
    for (const menu_keys::Accelerator& a : table) accels.push_back({ a.flags, a.key, a.command });
    HACCEL made = accels.empty() ? nullptr : CreateAcceleratorTableA(accels.data(), int(accels.size()));
    if (!made) return;  // the frame keeps the table it has
    if (*gAccelTable) DestroyAcceleratorTable(*gAccelTable);
    *gAccelTable = made;
}

}  // namespace

void CreateMenuLists() { gInserted.reserve(160); }

void DestroyMenuLists() {
    TakeOutBuild();
    std::vector<InsertedItem>().swap(gInserted);
    std::vector<menu_keys::KeyEntry>().swap(gKeyEntries);
    if (gColorPopup) DestroyMenu(gColorPopup);
    if (gColorPopupCopy) DestroyMenu(gColorPopupCopy);
    if (gArcPopup) DestroyMenu(gArcPopup);
    gColorPopup = gColorPopupCopy = gArcPopup = nullptr;
}

HMENU RuntimeMenuBar() {
    if (!gBaseMenu) gBaseMenu = LoadMenuA(ResourceModule(), MAKEINTRESOURCEA(IDR_DOCUMENT));
    return gBaseMenu;
}

void SetMenuAcceleratorTable(HACCEL* table) {
    gAccelTable = table;
    gFrameAcceleratorsRead = false;
    gFrameAccelerators.clear();
}

ResultCode BuildMenuBarFromStream(const uint8_t* bytes, uint32_t length) {
    HMENU base = RuntimeMenuBar();
    if (!base) return 4;
    // The whole description is read before anything changes: a bad one leaves the
    // menus, the key letters and the command states as they are.
    MenuStreamTree tree;
    if (menu_stream::ReadMenuStream(bytes, length, &tree) != menu_stream::ReadResult::Ok) return 4;

    TakeOutBuild();
    CmdStateFreeItems();
    if (!CmdStateReserveItems(tree.reserveCount)) return 3;

    BuildState state{ &tree, GroupText(kGroupMiscellany, 0), kFirstTopLevelPosition, false, false };
    bool built = false;
    try {
        built = BuildItems(&state, tree.popups[0], base);
    } catch (const std::bad_alloc&) {
        built = false;
    }
    if (!built) {
        TakeOutBuild(true);
        CmdStateFreeItems();
        return 4;
    }
    RebuildAccelerators();
    InsertRecentFilePlace();
    if (CWnd* main = CurrentMainWindow(); main && main->m_hWnd && GetMenu(main->m_hWnd) == base) {
        DrawMenuBar(main->m_hWnd);
    }
    if (state.hasTextRows) CmdStateAddItem({ kOwnerTextPalette, 0, 0 }, kTextStyleRow);
    return state.incomplete ? 2 : kResultOK;
}

const uint8_t* DefaultMenuStream(uint32_t* length) {
    if (auto form = LaterForms().commands.defaultMenuStream) return form(length);
    size_t n = 0;
    const auto later = LaterForms().commands.defaultMenuStream;
    const uint8_t* bytes = later ? later(&n) : menu_stream::DefaultMenuStreamBytes(&n);
    *length = uint32_t(n);
    return bytes;
}

const uint8_t* ProgramMenuStream(uint32_t* length) {
    // No menu description is loaded for the program: documents fall back to the default.
    *length = 0;
    return nullptr;
}

void UpdateCommandElement(uint32_t slot, uint16_t text, uint16_t variant, uint16_t oldVariant,
                          bool enabled, bool full) {
    const CommandStateItem* item = CmdStateItemAt(slot);
    if (!item) return;
    if (item->ownerKind == kOwnerTextPalette) {
        UpdateTextPalette(enabled);
        return;
    }
    UpdateMenuCommandItem(slot, text, variant, oldVariant, enabled, full);
}

void UpdateMenuCommandItem(uint32_t slot, uint16_t text, uint16_t variant, uint16_t oldVariant,
                           bool enabled, bool full) {
    const CommandStateItem* item = CmdStateItemAt(slot);
    if (!item) return;
    HMENU menu = MenuOf(item);
    const UINT id = CommandId(slot);
    if (variant == kVariantFontPopup || oldVariant == kVariantFontPopup) gFontPopupEnabled = enabled;
    if (item->ownerKind == kOwnerFontPopup) return;
    if (full) {
        if (oldVariant == kVariantArcInteriorPopup && variant != kVariantArcInteriorPopup && gArcSlot == slot) {
            TurnArcPopupBack();
        }
        std::string shown = VariantText(text, variant);
        if (variant == kVariantArcInteriorPopup) {
            MakeArcPopup(slot, shown);
        } else if (!shown.empty()) {
            shown += KeyText(slot);
            ModifyMenuA(menu, id, MF_BYCOMMAND | MF_STRING, id, shown.c_str());
        }
    }
    const UINT grey = enabled ? MF_ENABLED : MF_GRAYED;
    if (variant == kVariantArcInteriorPopup && gArcSlot == slot) {
        const int n = GetMenuItemCount(menu);
        for (int i = 0; i < n; ++i) {
            if (GetSubMenu(menu, i) == gArcPopup) EnableMenuItem(menu, i, MF_BYPOSITION | grey);
        }
        return;
    }
    EnableMenuItem(menu, id, MF_BYCOMMAND | grey);
    // A state-only update can move an item into or out of a checked variant as well.
    const bool checked = variant == kVariantNounChecked || variant == kVariantChecked;
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void UpdateFontPopupItem() {
    uint32_t slot = 0;
    if (!CmdStateFindItem(kTextStyleRow, &slot)) return;
    for (const InsertedItem& r : gInserted) {
        if (r.row == kTextStyleRow && (r.flags & MF_POPUP)) {
            EnableMenuItem(r.parent, r.position, MF_BYPOSITION | (gFontPopupEnabled ? MF_ENABLED : MF_GRAYED));
        }
    }
}

void RefreshMenuKeyTexts() {
    for (const InsertedItem& r : gInserted) {
        if (r.placeholder || (r.flags & (MF_POPUP | MF_SEPARATOR)) || r.row == kNoRow) continue;
        const UINT id = UINT(r.item);
        uint32_t slot = 0;
        if (!MenuIdToSlot(id, &slot)) continue;
        if (slot == gArcSlot) {
            SetArcPopupTexts(slot);
            continue;
        }
        char text[512] = "";
        if (GetMenuStringA(r.parent, id, text, sizeof text, MF_BYCOMMAND) <= 0) continue;
        std::string shown = text;
        const size_t tab = shown.find('\t');
        const std::string key = KeyText(slot);
        if (tab == std::string::npos && key.empty()) continue;
        shown = shown.substr(0, tab) + key;
        if (shown == text) continue;
        // The state bits stay: ModifyMenu keeps only what the flags name.
        const UINT state = GetMenuState(r.parent, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
        ModifyMenuA(r.parent, id, MF_BYCOMMAND | MF_STRING | state, id, shown.c_str());
    }
}

void RunArcSegmentCommand(HWND frame) {
    if (gArcSlot == kCmdStateNoSlot) return;
    SetCommandVariantFlag(false);
    SendMessageA(frame, WM_COMMAND, MAKEWPARAM(CommandId(gArcSlot), 0), 0);
}

void RunArcInteriorCommand(HWND frame, bool sector) {
    uint32_t slot = gArcSlot;
    if (slot == kCmdStateNoSlot && !CmdStateFindItem(kInteriorRow, &slot)) return;
    SetCommandVariantFlag(sector);
    SendMessageA(frame, WM_COMMAND, MAKEWPARAM(CommandId(slot), 0), 0);
}

UINT LookupCtrlKeyCommand(UINT virtualKey, bool shift) {
    return menu_keys::FindCtrlKeyCommand(gKeyEntries, virtualKey, shift);
}

UINT LookupAltKeyCommand(char character) { return menu_keys::FindAltKeyCommand(gKeyEntries, character); }

bool MenuIdToSlot(UINT id, uint32_t* slot) {
    const uint32_t s = uint16_t(id + 0x7000);
    if (s > 8191) return false;
    *slot = s;
    return true;
}

HMENU GetColorPopupCopy() { return gColorPopupCopy; }
