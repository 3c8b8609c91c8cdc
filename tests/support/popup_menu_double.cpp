#include <deque>
#include <vector>

#include "engine/core/services/popup_menus.h"
#include "tests/support/calculator_double.h"

namespace {
std::vector<PopupEntry> gEntries;
// Submenus are told apart by address: the n-th one made is element n - 1.
std::deque<int32_t> gSubmenus;

int32_t MenuNumber(PopupMenu* menu) {
    for (size_t i = 0; i < gSubmenus.size(); ++i)
        if (reinterpret_cast<PopupMenu*>(&gSubmenus[i]) == menu) return int32_t(i) + 1;
    return 0;
}
}  // namespace

PopupMenu* RecordingPopupMenu() {
    gSubmenus.clear();
    return reinterpret_cast<PopupMenu*>(&gEntries);
}
std::vector<PopupEntry>& RecordedPopupEntries() { return gEntries; }

bool AppendPopupItem(PopupMenu* menu, int32_t kind, const char* text, bool checked, bool ownerDrawn, uint32_t* counter,
                     uint32_t* id) {
    uint32_t next = 0;
    if (kind != kPopupSeparator && kind != 1 && kind != 2) next = (*counter)++;
    if (id) *id = next;
    gEntries.push_back({kind, checked, ownerDrawn, next, text ? text : "", kind != 1 && kind != 2, MenuNumber(menu)});
    return true;
}

bool AppendPopupCommand(PopupMenu* menu, const char* text, bool enabled, bool checked, uint32_t* counter,
                        uint32_t* id) {
    const uint32_t next = (*counter)++;
    if (id) *id = next;
    gEntries.push_back({kPopupCommand, checked, false, next, text ? text : "", enabled, MenuNumber(menu)});
    return true;
}

bool AppendPopupHeading(PopupMenu* menu, const char* text) {
    gEntries.push_back({1, false, false, 0, text ? text : "", false, MenuNumber(menu)});
    return true;
}

bool AppendPopupSubmenu(PopupMenu* menu, PopupMenu** submenu, const char* title) {
    gSubmenus.push_back(0);
    const int32_t number = int32_t(gSubmenus.size());
    gEntries.push_back({2, false, false, 0, title ? title : "", true, MenuNumber(menu), number});
    *submenu = reinterpret_cast<PopupMenu*>(&gSubmenus.back());
    return true;
}
