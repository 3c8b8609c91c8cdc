// The context menu of a sketch, the custom-tool menu and the append helpers that the
// custom-tool and symbol menus are built with.
#include <string>
#include <vector>

#include "classlib/app.h"
#include "classlib/wnd.h"
#include "engine/core/services/calculator.h"
#include "engine/core/services/popup_menus.h"
#include "engine/core/services/user_interface.h"
#include "engine/interact/command_state.h"
#include "engine/interact/command_table.h"
#include "ui/engine_calls.h"
#include "ui/frames/engine_commands.h"
#include "ui/menus.h"

namespace {

constexpr uint32_t kPreferencesRow = 74;
constexpr uint32_t kPropertiesRow = 75;
constexpr UINT kFirstCustomToolMenuId = 1;

int gMenuFontHeight = 0;  // measured on first use

int MenuFontHeight() {
    if (gMenuFontHeight > 0) return gMenuFontHeight;
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    HFONT font = nullptr;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = CreateFontIndirectA(&metrics.lfMenuFont);
    }
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    if (old) SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (font) DeleteObject(font);
    gMenuFontHeight = tm.tmHeight > 0 ? tm.tmHeight : 13;
    return gMenuFontHeight;
}

bool IsGreyed(HMENU menu, int position) {
    return (GetMenuState(menu, position, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) != 0;
}

struct ContextBuild {
    ContextMenuLayout* layout;
    bool overEmptySpace;
    bool overObject;
    HMENU lastSource = nullptr;   // the pop-up the previous copy came from
    bool offsetFound = false;
    int separatorHeight = 0;
};

// Copies an enabled command item that fits the context into `target`.
void CopyCommand(ContextBuild* b, HMENU source, int position, HMENU target, bool countHeight) {
    const UINT id = GetMenuItemID(source, position);
    if (id < kEngineCommandFirst || id > kEngineCommandLast || IsGreyed(source, position)) return;
    const uint32_t sourceSlot = id - kEngineCommandFirst;
    if (!CmdItemFitsContextMenu(sourceSlot, b->overEmptySpace, b->overObject)) return;
    const uint32_t row = CmdStateItemRow(sourceSlot);
    ContextMenuLayout* l = b->layout;
    const UINT at = UINT(GetMenuItemCount(target));
    if (b->lastSource && b->lastSource != source && countHeight) {
        AppendMenuA(target, MF_SEPARATOR, 0, nullptr);
        l->height += b->separatorHeight;
    }
    // No free state item: the entry is left out (the menu bar's build reserved the pool).
    const uint32_t slot = CmdStateAddItem({ kOwnerMenuItem, uint32_t(reinterpret_cast<uintptr_t>(target)), at + 0u }, row);
    if (slot == kCmdStateNoSlot) return;
    char text[512] = "";
    GetMenuStringA(source, position, text, sizeof text, MF_BYPOSITION);
    if (!AppendMenuA(target, MF_STRING, kEngineCommandFirst + slot, text)) {
        CmdStateRemoveItem(slot);
        return;
    }
    if (countHeight) {
        b->lastSource = source;
        ++l->items;
        l->height += l->itemHeight;
        if (!b->offsetFound && (row == kPreferencesRow || row == kPropertiesRow)) {
            b->offsetFound = true;
            l->offset = l->height - l->itemHeight / 2;
        }
    }
}

// The colour pop-up over an object: its swatches and its enabled commands, nested.
void CopyColorPopup(ContextBuild* b, HMENU source, int position) {
    HMENU colors = GetSubMenu(source, position);
    HMENU copy = CreatePopupMenu();
    if (!copy) return;
    for (int i = 0; i < kColorSwatchCount; ++i) {
        const UINT id = kFirstColorSwatchCommand + UINT(i);
        AppendMenuA(copy, MF_OWNERDRAW, id, reinterpret_cast<const char*>(uintptr_t(id)));
    }
    const int n = GetMenuItemCount(colors);
    for (int i = 0; i < n; ++i) CopyCommand(b, colors, i, copy, false);
    ContextMenuLayout* l = b->layout;
    if (b->lastSource && b->lastSource != source) {
        AppendMenuA(l->menu, MF_SEPARATOR, 0, nullptr);
        l->height += b->separatorHeight;
    }
    char title[128] = "";
    GetMenuStringA(source, position, title, sizeof title, MF_BYPOSITION);
    AppendMenuA(l->menu, MF_POPUP, reinterpret_cast<UINT_PTR>(copy), title);
    b->lastSource = source;
    ++l->items;
    l->height += l->itemHeight;
}

void CopyPopup(ContextBuild* b, HMENU source) {
    const int n = GetMenuItemCount(source);
    for (int i = 0; i < n; ++i) {
        if (HMENU sub = GetSubMenu(source, i)) {
            const bool color = GetMenuItemID(sub, 0) == kFirstColorSwatchCommand;
            if (color) {
                if (b->overObject) CopyColorPopup(b, source, i);
            } else {
                CopyPopup(b, sub);
            }
            continue;
        }
        CopyCommand(b, source, i, b->layout->menu, true);
    }
}

void RemoveContextItems(HMENU menu) {
    const int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            RemoveContextItems(sub);
            continue;
        }
        const UINT id = GetMenuItemID(menu, i);
        if (id >= kEngineCommandFirst && id <= kEngineCommandLast) CmdStateRemoveItem(id - kEngineCommandFirst);
    }
}

}  // namespace

ContextMenuLayout BuildContextMenu(bool overEmptySpace, bool overObject) {
    ContextMenuLayout layout;
    layout.menu = CreatePopupMenu();
    if (!layout.menu) return layout;
    const int font = MenuFontHeight();
    layout.itemHeight = font + 5;
    ContextBuild b{ &layout, overEmptySpace, overObject };
    b.separatorHeight = (font + 6) / 3 + 1;
    HMENU bar = RuntimeMenuBar();
    const int n = bar ? GetMenuItemCount(bar) : 0;
    for (int i = 0; i < n; ++i) {
        if (HMENU sub = GetSubMenu(bar, i)) CopyPopup(&b, sub);
    }
    return layout;
}

POINT ContextMenuPlace(POINT pointer, const ContextMenuLayout& layout, const RECT& workArea) {
    POINT at{ pointer.x - 1, pointer.y - layout.offset };
    if (at.y < 0) {
        at.y = 0;
        at.x += 21;
    } else if (at.y + layout.height > workArea.bottom - 5) {
        at.y = workArea.bottom - 5 - layout.height;
        at.x += 21;
    }
    return at;
}

void FreeContextMenu(ContextMenuLayout* layout) {
    if (!layout->menu) return;
    RemoveContextItems(layout->menu);
    DestroyMenu(layout->menu);
    layout->menu = nullptr;
}

void ShowContextMenu(bool overEmptySpace, bool overObject) {
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    CmdStateRefreshNow();
    ContextMenuLayout layout = BuildContextMenu(overEmptySpace, overObject);
    CWnd* main = CurrentMainWindow();
    if (layout.items > 0 && main && main->m_hWnd) {
        POINT pointer;
        GetCursorPos(&pointer);
        RECT work{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        const POINT at = ContextMenuPlace(pointer, layout, work);
        // The choice runs before the copies leave the registry: a posted command would
        // find their slots free.
        const UINT chosen = UINT(TrackPopupMenu(layout.menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                                at.x, at.y, 0, main->m_hWnd, nullptr));
        if (chosen) main->SendMessage(WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    }
    FreeContextMenu(&layout);
}

bool AppendMenuTextItem(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
    std::string shown;
    for (const char* p = text ? text : ""; *p && shown.size() < 255; ++p) {
        if (*p == '&') shown += '&';
        shown += *p;
    }
    if (shown.size() > 255) shown.resize(255);
    return AppendMenuA(menu, flags | MF_STRING, id, shown.c_str()) != FALSE;
}

bool AppendPopupItem(HMENU menu, int kind, const char* text, bool checked, bool ownerDrawn,
                     UINT* idCounter, UINT* id) {
    if (kind == 0) return AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) != FALSE;
    const UINT mark = checked ? MF_CHECKED : MF_UNCHECKED;
    if (kind == 1 || kind == 2) return AppendMenuTextItem(menu, MF_GRAYED | mark, 0, text);
    const UINT next = (*idCounter)++;
    if (id) *id = next;
    if (ownerDrawn) {
        return AppendMenuA(menu, MF_OWNERDRAW | mark, next, reinterpret_cast<const char*>(uintptr_t(next))) != FALSE;
    }
    return AppendMenuTextItem(menu, mark, next, text);
}

// The engine's calculator menus hand the platform's menu over as an opaque pointer.
bool AppendPopupItem(PopupMenu* menu, int32_t kind, const char* text, bool checked, bool ownerDrawn,
                     uint32_t* counter, uint32_t* id) {
    UINT next = *counter, made = 0;
    const bool ok = AppendPopupItem(reinterpret_cast<HMENU>(menu), kind, text, checked, ownerDrawn, &next, &made);
    *counter = next;
    if (id) *id = made;
    return ok;
}

bool AppendPopupCommand(PopupMenu* menu, const char* text, bool enabled, bool checked, uint32_t* counter,
                        uint32_t* id) {
    const UINT next = (*counter)++;
    if (id) *id = next;
    const UINT flags = (checked ? MF_CHECKED : MF_UNCHECKED) | (enabled ? MF_ENABLED : MF_GRAYED);
    return AppendMenuTextItem(reinterpret_cast<HMENU>(menu), flags, next, text);
}

bool AppendPopupHeading(PopupMenu* menu, const char* text) {
    return AppendMenuTextItem(reinterpret_cast<HMENU>(menu), MF_GRAYED, 0, text);
}

bool AppendPopupSubmenu(PopupMenu* menu, PopupMenu** submenu, const char* title) {
    HMENU popup = nullptr;
    const bool ok = AppendSubmenu(reinterpret_cast<HMENU>(menu), &popup, title);
    *submenu = reinterpret_cast<PopupMenu*>(popup);
    return ok;
}

bool AppendSubmenu(HMENU menu, HMENU* popup, const char* title) {
    *popup = CreatePopupMenu();
    if (!*popup) return false;
    if (!AppendMenuTextItem(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(*popup), title)) {
        DestroyMenu(*popup);
        *popup = nullptr;
        return false;
    }
    return true;
}

bool ShowCustomToolPopup(int x, int y, UINT flags, HWND window) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return false;
    ToolMenuModel model{};
    uint32_t counter = kFirstCustomToolMenuId;
    bool chosen = false;
    if (BuildCustomToolMenu(reinterpret_cast<PopupMenu*>(menu), &model, &counter)) {
        const bool shiftBefore = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        const UINT id = UINT(TrackPopupMenu(menu, flags | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0, window, nullptr));
        const bool shiftAfter = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        if (id) {
            ChooseCustomToolFromMenu(id, &model, shiftBefore || shiftAfter);
            chosen = true;
        }
    }
    FreeToolMenuEntry(&model);
    DestroyMenu(menu);
    return chosen;
}
