// A pop-up menu whose items show formatted text. Every item it draws carries a
// LayoutNode tree as its item data; the owner window appends the items owner-drawn with
// keys of its own, and in its WM_MEASUREITEM and WM_DRAWITEM replaces the key by the
// item's layout before it hands the request to the menu. The owner keeps the layouts;
// the menu measures a dirty one and never frees it.
#pragma once
#include "classlib/menu.h"

class OwnerDrawMenu : public CMenu {
public:
    // No menu handle until the owner attaches a new pop-up menu; the destructor (the
    // class library's) destroys whatever is attached.
    OwnerDrawMenu() = default;

    // itemData holds the item's LayoutNode; nothing is drawn or measured without one.
    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT mis);
};
