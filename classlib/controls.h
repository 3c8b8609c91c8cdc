// The scroll bar and tab controls as window objects.
#pragma once

#include "classlib/wnd.h"

class CScrollBar : public CWnd {
    DECLARE_DYNAMIC(CScrollBar)
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
    int SetScrollPos(int pos, bool redraw = true) { return ::SetScrollPos(m_hWnd, SB_CTL, pos, redraw); }
    void GetScrollRange(int* minPos, int* maxPos) const { ::GetScrollRange(m_hWnd, SB_CTL, minPos, maxPos); }
    void SetScrollRange(int minPos, int maxPos, bool redraw = true) {
        ::SetScrollRange(m_hWnd, SB_CTL, minPos, maxPos, redraw);
    }
    void ShowScrollBar(bool show = true) { ::ShowScrollBar(m_hWnd, SB_CTL, show); }
    bool EnableScrollBar(UINT arrows = ESB_ENABLE_BOTH) { return ::EnableScrollBar(m_hWnd, SB_CTL, arrows) != FALSE; }
    bool SetScrollInfo(SCROLLINFO* info, bool redraw = true) {
        info->cbSize = sizeof(SCROLLINFO);
        ::SetScrollInfo(m_hWnd, SB_CTL, info, redraw);
        return true;
    }
    bool GetScrollInfo(SCROLLINFO* info, UINT mask = SIF_ALL) {
        info->cbSize = sizeof(SCROLLINFO);
        info->fMask = mask;
        return ::GetScrollInfo(m_hWnd, SB_CTL, info) != FALSE;
    }
};

class CTabCtrl : public CWnd {
    DECLARE_DYNAMIC(CTabCtrl)
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetItemCount() const { return TabCtrl_GetItemCount(m_hWnd); }
    int GetCurSel() const { return TabCtrl_GetCurSel(m_hWnd); }
    int SetCurSel(int item) { return TabCtrl_SetCurSel(m_hWnd, item); }
    bool GetItem(int item, TCITEMA* info) const {
        return SendMessage(TCM_GETITEMA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(info)) != 0;
    }
    bool SetItem(int item, TCITEMA* info) {
        return SendMessage(TCM_SETITEMA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(info)) != 0;
    }
    int InsertItem(int item, TCITEMA* info) {
        return static_cast<int>(SendMessage(TCM_INSERTITEMA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(info)));
    }
    int InsertItem(int item, const char* text);
    bool DeleteItem(int item) { return TabCtrl_DeleteItem(m_hWnd, item) != FALSE; }
    bool DeleteAllItems() { return TabCtrl_DeleteAllItems(m_hWnd) != FALSE; }
    bool GetItemRect(int item, RECT* r) const { return TabCtrl_GetItemRect(m_hWnd, item, r) != FALSE; }
    CSize SetItemSize(CSize size);
    int SetMinTabWidth(int cx) { return TabCtrl_SetMinTabWidth(m_hWnd, cx); }
    void AdjustRect(bool larger, RECT* r) { TabCtrl_AdjustRect(m_hWnd, larger, r); }
    int HitTest(TCHITTESTINFO* info) const { return TabCtrl_HitTest(m_hWnd, info); }

    // Owner-drawn tabs draw themselves: the parent's WM_DRAWITEM comes here.
    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
