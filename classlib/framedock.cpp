// The frame's side of docking: its four dock bars, and docking, floating and
// showing its bars.
#include "classlib/controlbar.h"

namespace {

CMiniDockFrameWnd* FloatingFrameOf(CControlBar* bar) {
    if (!bar->IsFloating()) return nullptr;
    CWnd* frame = bar->m_pDockBar->GetParent();
    return frame && frame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)) ? static_cast<CMiniDockFrameWnd*>(frame)
                                                                       : nullptr;
}

struct FindBar {
    HWND owner;
    UINT id;
    CControlBar* found;
    static BOOL CALLBACK Visit(HWND hwnd, LPARAM data) {
        auto* find = reinterpret_cast<FindBar*>(data);
        if (::GetWindow(hwnd, GW_OWNER) != find->owner) return TRUE;
        auto* frame = dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(hwnd));
        if (frame == nullptr) return TRUE;
        CControlBar* bar = frame->GetBar();
        if (bar && static_cast<UINT>(bar->GetDlgCtrlID()) == find->id) {
            find->found = bar;
            return FALSE;
        }
        return TRUE;
    }
};

}  // namespace

void CFrameWnd::EnableDocking(DWORD dockStyle) {
    for (const DockSide& side : kDockSides) {
        if (!(dockStyle & side.align) || GetDlgItem(static_cast<int>(side.id))) continue;
        auto* dockBar = new CDockBar;
        dockBar->m_bAutoDelete = true;
        if (!dockBar->Create(this, WS_CHILD | WS_VISIBLE | side.align, side.id)) {
            delete dockBar;
            continue;
        }
        // Behind the bars made so far, so that RepositionBars gives those (the
        // status bar) their room first.
        ::SetWindowPos(dockBar->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

CControlBar* CFrameWnd::GetControlBar(UINT id) const {
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
        auto* wnd = dynamic_cast<CControlBar*>(FromHandlePermanent(child));
        if (wnd == nullptr) continue;
        if (static_cast<UINT>(::GetDlgCtrlID(child)) == id) return wnd;
        if (wnd->IsDockBar()) {
            for (CControlBar* bar : static_cast<CDockBar*>(wnd)->m_arrBars) {
                if (bar && static_cast<UINT>(bar->GetDlgCtrlID()) == id) return bar;
            }
        }
    }
    FindBar find{ m_hWnd, id, nullptr };
    ::EnumThreadWindows(::GetCurrentThreadId(), FindBar::Visit, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

void CFrameWnd::DockControlBar(CControlBar* bar, UINT dockBarId, const RECT* rect) {
    CDockBar* dockBar = nullptr;
    if (dockBarId != 0) {
        dockBar = dynamic_cast<CDockBar*>(FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(dockBarId))));
    } else {
        for (const DockSide& side : kDockSides) {
            if (!(bar->m_dwDockStyle & side.align)) continue;
            dockBar = dynamic_cast<CDockBar*>(FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(side.id))));
            if (dockBar) break;
        }
    }
    if (dockBar == nullptr) return;
    CMiniDockFrameWnd* floating = FloatingFrameOf(bar);
    bar->m_pDockSite = this;
    if (bar->m_pDockContext) bar->m_pDockContext->m_pDockSite = this;
    dockBar->DockControlBar(bar, rect);
    if (floating) floating->DestroyWindow();
    RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* bar, CPoint point, DWORD style) {
    bar->m_pDockSite = this;
    if (bar->m_pDockContext) bar->m_pDockContext->m_pDockSite = this;
    DWORD align = (style & BAR_ALIGN_ANY) ? (style & BAR_ALIGN_ANY) : BAR_ALIGN_TOP;
    CMiniDockFrameWnd* frame = FloatingFrameOf(bar);
    if (frame == nullptr) {
        frame = new CMiniDockFrameWnd;
        if (!frame->Create(this, bar->m_dwStyle)) {
            delete frame;
            return;
        }
        bool wasDocked = bar->m_pDockBar != nullptr;
        bar->SetBarStyle((bar->m_dwStyle & ~BAR_ALIGN_ANY) | align);
        frame->m_wndDockBar.DockControlBar(bar);
        if (wasDocked) RecalcLayout();
    } else {
        bar->SetBarStyle((bar->m_dwStyle & ~BAR_ALIGN_ANY) | align | BAR_FLOATING);
    }
    frame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    frame->RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* bar, bool show, bool delay) {
    if (bar == nullptr || bar->m_hWnd == nullptr) return;
    bar->ShowWindow(show ? SW_SHOWNA : SW_HIDE);
    if (CMiniDockFrameWnd* frame = FloatingFrameOf(bar)) {
        // The floating frame shows and hides with its bar.
        frame->RecalcLayout();
        return;
    }
    if (delay) DelayRecalcLayout();
    else RecalcLayout();
}
