#include "classlib/controlbar.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CMiniFrameWnd)

namespace {

bool IsSizingCode(UINT hit) {
    return hit >= HTLEFT && hit <= HTBOTTOMRIGHT;
}

}  // namespace

BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
    ON_WM_NCHITTEST()
END_MESSAGE_MAP()

CMiniFrameWnd::CMiniFrameWnd() = default;

bool CMiniFrameWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                             const RECT& rect, CWnd* parent, UINT) {
    // The mini frame styles share the low word with the class styles of a top-level
    // window, which Windows leaves alone; the sizing border is Windows' own.
    if (style & MINI_THICK_FRAME) style |= WS_THICKFRAME;
    return Create(className, windowName, style, rect, parent, nullptr, exStyle | WS_EX_TOOLWINDOW);
}

LRESULT CMiniFrameWnd::OnNcHitTest(CPoint point) {
    LRESULT hit = Default();
    DWORD style = GetStyle();
    if (!IsSizingCode(static_cast<UINT>(hit))) return hit;
    if (!(style & MINI_THICK_FRAME)) return HTBORDER;
    if (style & MFS_4THICKFRAME) {
        // No sizing from the corners: they size the side they lie on.
        switch (hit) {
        case HTTOPLEFT:
        case HTBOTTOMLEFT:
            return HTLEFT;
        case HTTOPRIGHT:
        case HTBOTTOMRIGHT:
            return HTRIGHT;
        default:
            break;
        }
    }
    (void)point;
    return hit;
}

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CMiniFrameWnd)
    ON_WM_NCLBUTTONDOWN()
    ON_WM_NCLBUTTONDBLCLK()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CMiniDockFrameWnd::CMiniDockFrameWnd() = default;

bool CMiniDockFrameWnd::Create(CWnd* parent, DWORD barStyle) {
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | MINI_MOVE_FRAME | MINI_SYNC_ACTIVE | MFS_4THICKFRAME;
    if (barStyle & BAR_SIZE_VARIABLE) style |= MINI_THICK_FRAME;
    if (!CreateEx(0, nullptr, "", style, CRect(0, 0, 40, 40), parent)) return false;
    if (!m_wndDockBar.Create(this, WS_CHILD | WS_VISIBLE | BAR_ALIGN_TOP, IDW_DOCK_FLOATING)) {
        DestroyWindow();
        return false;
    }
    m_wndDockBar.m_bFloating = true;
    m_wndDockBar.SetBarOwner(parent);
    if (parent && parent->IsFrameWnd()) m_wndDockBar.m_pDockSite = static_cast<CFrameWnd*>(parent);
    return true;
}

void CMiniDockFrameWnd::RecalcLayout(bool) {
    if (m_bInRecalcLayout || !m_hWnd) return;
    m_bInRecalcLayout = true;
    CControlBar* bar = GetBar();
    if (bar == nullptr || !bar->IsVisible()) {
        // A floating frame shows only while its bar does.
        if (IsWindowVisible()) ShowWindow(SW_HIDE);
        m_bInRecalcLayout = false;
        return;
    }
    bool horz = (bar->m_dwStyle & BAR_HORIZONTAL) != 0 || (bar->m_dwStyle & BAR_ALIGN_ANY) == 0;
    CSize size = (bar->m_dwStyle & BAR_SIZE_VARIABLE)
        ? bar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH)
        : bar->CalcDynamicLayout(-1, horz ? LM_HORZ : 0);
    size.cx = std::max<LONG>(size.cx, 0);
    size.cy = std::max<LONG>(size.cy, 0);
    ::SetWindowPos(bar->m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(m_wndDockBar.m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    CRect frame(0, 0, size.cx, size.cy);
    ::AdjustWindowRectEx(&frame, GetStyle() & 0xFFFF0000, FALSE, GetExStyle());
    CRect now;
    GetWindowRect(&now);
    if (now.Size() != frame.Size()) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, frame.Width(), frame.Height(),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CString title;
    bar->GetWindowText(title);
    CString shown;
    GetWindowText(shown);
    if (!(shown == title)) SetWindowText(title);
    if (!IsWindowVisible()) ShowWindow(SW_SHOWNA);
    m_bInRecalcLayout = false;
}

void CMiniDockFrameWnd::OnNcLButtonDown(UINT hitTest, CPoint point) {
    CControlBar* bar = GetBar();
    if (bar && bar->m_pDockContext) {
        if (IsSizingCode(hitTest) && (bar->m_dwStyle & BAR_SIZE_VARIABLE)) {
            bar->m_pDockContext->StartResize(static_cast<int>(hitTest), point);
            return;
        }
        if (hitTest == HTCAPTION && bar->m_dwDockStyle != 0) {
            ::SetActiveWindow(m_hWnd);
            bar->m_pDockContext->StartDrag(point);
            return;
        }
    }
    CMiniFrameWnd::OnNcLButtonDown(hitTest, point);
}

void CMiniDockFrameWnd::OnNcLButtonDblClk(UINT hitTest, CPoint point) {
    CControlBar* bar = GetBar();
    if (hitTest == HTCAPTION && bar && bar->m_pDockContext && bar->m_dwDockStyle != 0) {
        bar->m_pDockContext->ToggleDocking();
        return;
    }
    CMiniFrameWnd::OnNcLButtonDblClk(hitTest, point);
}

void CMiniDockFrameWnd::OnClose() {
    // The close box hides the bar; the frame stays for its next showing.
    CControlBar* bar = GetBar();
    CFrameWnd* site = bar ? bar->m_pDockSite : nullptr;
    if (bar && site) {
        site->ShowControlBar(bar, false, false);
    } else if (bar) {
        bar->ShowWindow(SW_HIDE);
        RecalcLayout();
    }
}
