#include "ui/frames/page_tabs.h"

#include <algorithm>
#include <cstdio>

IMPLEMENT_DYNAMIC(PageTabCtrl, CTabCtrl)

StoredTabText StoreTabText(const char* text) {
    StoredTabText stored{};
    std::snprintf(stored.text, sizeof stored.text, "%s", text ? text : "");
    for (int i = 0; stored.text[i]; ++i) {
        if (stored.text[i] != '&') continue;
        stored.text[i] = 'm';
        stored.hadAmpersand = true;
        if (i < 32) stored.mask |= uint32_t{1} << i;
    }
    return stored;
}

void RestoreTabText(char* text, uint32_t mask) {
    for (int i = 0; i < 32 && text[i]; ++i) {
        if (mask & (uint32_t{1} << i)) text[i] = '&';
    }
}

int32_t TabFontHeight(int32_t scrollBarHeight) {
    return std::max<int32_t>(8, (2 * scrollBarHeight + 1) / 3);
}

bool PageTabCtrl::AddTab(const char* text) {
    StoredTabText stored = StoreTabText(text);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = stored.text;
    if (stored.hadAmpersand) {
        item.mask |= TCIF_PARAM;
        item.lParam = static_cast<LPARAM>(stored.mask);
    }
    return InsertItem(GetItemCount(), &item) >= 0;
}

CString PageTabCtrl::ShownText(int index) const {
    // Forty characters: a longer page name is cut in its tab.
    char text[40] = "";
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (!GetItem(index, &item)) return CString();
    text[sizeof text - 1] = '\0';
    RestoreTabText(text, static_cast<uint32_t>(item.lParam));
    return CString(text);
}

void PageTabCtrl::DrawItem(LPDRAWITEMSTRUCT dis) {
    const bool selected = static_cast<int>(dis->itemID) == GetCurSel();
    RECT r = dis->rcItem;
    ::FillRect(dis->hDC, &r, selected ? static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))
                                      : ::GetSysColorBrush(COLOR_BTNFACE));
    const CString text = ShownText(static_cast<int>(dis->itemID));
    const int shift = selected ? 5 : 0;
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    HGDIOBJ oldFont = font ? ::SelectObject(dis->hDC, font) : nullptr;
    const int oldMode = ::SetBkMode(dis->hDC, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(dis->hDC, ::GetSysColor(COLOR_BTNTEXT));
    // Bottom tabs reach above a control no taller than the scroll bar, by as much as the
    // tab control's own padding: the text is centred in the part of the tab that shows.
    RECT client;
    GetClientRect(&client);
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dis->hDC, &metrics);
    const int top = std::max<int>(r.top, client.top);
    const int bottom = std::min<int>(r.bottom, client.bottom);
    const int y = top + (bottom - top - static_cast<int>(metrics.tmHeight)) / 2;
    // TextOut, not DrawText: an "&" is shown as itself, never taken as a mnemonic.
    ::TextOutA(dis->hDC, r.left + 4 + shift, y, text.c_str(), text.GetLength());
    ::SetTextColor(dis->hDC, oldColor);
    ::SetBkMode(dis->hDC, oldMode);
    if (oldFont) ::SelectObject(dis->hDC, oldFont);
}
