#include "release2/ui/win32/owner_draw_menu.h"

#include "engine/core/services/colors.h"
#include "engine/text/layout.h"
#include "platform/win32/menu_items.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"
#include "release2/ui/owner_draw_metrics.h"
#include "ui/dialogs/popup_menu_button.h"

namespace {

LayoutNode* ItemLayout(ULONG_PTR data) { return reinterpret_cast<LayoutNode*>(data); }

}  // namespace

void OwnerDrawMenu::MeasureItem(LPMEASUREITEMSTRUCT mis) {
    LayoutNode* layout = ItemLayout(mis->itemData);
    if (!layout) return;
    if (layout->dirty) MeasureLayoutInMenuFont(layout, GetDesktopWindow());
    const owner_draw::ItemSize size =
        owner_draw::ItemSizeFor(GetSystemMetrics(SM_CXMENUCHECK), layout->width, layout->ascent, layout->descent);
    mis->itemWidth = static_cast<UINT>(size.width);
    mis->itemHeight = static_cast<UINT>(size.height);
}

void OwnerDrawMenu::DrawItem(LPDRAWITEMSTRUCT dis) {
    LayoutNode* layout = ItemLayout(dis->itemData);
    if (!layout) return;
    HDC dc = dis->hDC;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    GraphicsPort port;
    LayoutDrawState state;
    MakeDrawStateForDC(&state, &port, dc, false);
    if (layout->dirty) MeasureLayout(layout, &state);

    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    const RECT& r = dis->rcItem;
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    COLORREF textColor = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    if (dis->itemState & (ODS_GRAYED | ODS_DISABLED)) textColor = GetSysColor(COLOR_GRAYTEXT);
    if (dis->itemState & ODS_CHECKED)
        DrawMenuCheckMark(dc, r.left + owner_draw::kCheckLeft, r.top + owner_draw::kCheckTop, textColor);

    ColorRefToStyle(textColor, &state.style);
    state.x = static_cast<int16_t>(r.left + GetSystemMetrics(SM_CXMENUCHECK) + owner_draw::kLayoutGap);
    state.y = static_cast<int16_t>(owner_draw::BaselineOf(r.top, layout->ascent));
    DrawLayout(layout, &state);
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
}
