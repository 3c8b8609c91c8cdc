#include "classlib/controls.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)

bool CScrollBar::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("SCROLLBAR", nullptr, style, rect, parent, id);
}

bool CTabCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    INITCOMMONCONTROLSEX init = { sizeof init, ICC_TAB_CLASSES };
    ::InitCommonControlsEx(&init);
    return CWnd::Create(WC_TABCONTROLA, nullptr, style, rect, parent, id);
}

int CTabCtrl::InsertItem(int item, const char* text) {
    TCITEMA info{};
    info.mask = TCIF_TEXT;
    info.pszText = const_cast<char*>(text);
    return InsertItem(item, &info);
}

CSize CTabCtrl::SetItemSize(CSize size) {
    DWORD old = static_cast<DWORD>(TabCtrl_SetItemSize(m_hWnd, size.cx, size.cy));
    return CSize(LOWORD(old), HIWORD(old));
}

void CTabCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

bool CTabCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (result) *result = TRUE;
        return true;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}
