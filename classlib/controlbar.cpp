#include "classlib/controlbar.h"

#include "classlib/gdi.h"

#include <algorithm>
#include <cstring>
#include <iterator>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

namespace {

// The fly-by prompt is taken back a moment after the pointer has left the bar.
constexpr UINT_PTR kFlyByTimer = 0x0F1B;
constexpr UINT kFlyByCheckMs = 200;

// Thickness of one drawn border of a bar.
constexpr int kBorder = 2;

bool SentByChild(HWND bar, HWND from) {
    return from != nullptr && ::GetAncestor(from, GA_PARENT) == bar;
}

// Tool tips of bar buttons: the text after the newline of the command's string.
bool FillToolTip(NMHDR* hdr) {
    if (hdr->code != TTN_GETDISPINFOA && hdr->code != TTN_GETDISPINFOW) return false;
    UINT id = static_cast<UINT>(hdr->idFrom);
    // A tool named by its window, or one whose text is given already, is left alone.
    if (hdr->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(hdr);
        if ((info->uFlags & TTF_IDISHWND) || info->szText[0]) return false;
    } else {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(hdr);
        if ((info->uFlags & TTF_IDISHWND) || info->szText[0]) return false;
    }
    char full[256];
    if (id == 0 || ::LoadStringA(ResourceModule(), id, full, sizeof full) <= 0) return false;
    const char* tip = std::strchr(full, '\n');
    tip = tip ? tip + 1 : full;
    if (hdr->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(hdr);
        lstrcpynA(info->szText, tip, static_cast<int>(std::size(info->szText)));
        info->lpszText = info->szText;
        info->hinst = nullptr;
    } else {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(hdr);
        ::MultiByteToWideChar(CP_ACP, 0, tip, -1, info->szText, static_cast<int>(std::size(info->szText)));
        info->szText[std::size(info->szText) - 1] = 0;
        info->lpszText = info->szText;
        info->hinst = nullptr;
    }
    return true;
}

}  // namespace

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(FrameLayoutMessage, OnSizeParent)
    ON_MESSAGE(IdleUpdateMessage, OnIdleUpdateCmdUIMsg)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_TIMER()
    ON_WM_NCCALCSIZE()
    ON_WM_NCPAINT()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CControlBar::CControlBar() = default;

CControlBar::~CControlBar() {
    delete m_pDockContext;
    m_pDockContext = nullptr;
    if (m_hWnd) DestroyWindow();
}

void CControlBar::SetBorders(int left, int top, int right, int bottom) {
    m_cxLeftBorder = left;
    m_cyTopBorder = top;
    m_cxRightBorder = right;
    m_cyBottomBorder = bottom;
}

void CControlBar::SetBarStyle(DWORD style) {
    if (m_dwStyle == style) return;
    m_dwStyle = style;
    if (m_hWnd) {
        // The drawn borders live in the non-client area: have it measured again.
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void CControlBar::EnableDocking(DWORD style) {
    m_dwDockStyle = style & BAR_ALIGN_ANY;
    if (m_pDockContext == nullptr) m_pDockContext = new CDockContext(this);
    if (m_pDockSite == nullptr) {
        CWnd* owner = GetBarOwner();
        m_pDockSite = owner && owner->IsFrameWnd() ? static_cast<CFrameWnd*>(owner) : GetParentFrame();
    }
}

bool CControlBar::IsFloating() const {
    return m_pDockBar != nullptr && m_pDockBar->m_bFloating;
}

bool CControlBar::IsVisible() const {
    return m_hWnd && (GetStyle() & WS_VISIBLE) != 0;
}

CFrameWnd* CControlBar::GetDockingFrame() const {
    CFrameWnd* frame = GetParentFrame();
    if (frame && frame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd))) frame = frame->GetParentFrame();
    return frame;
}

CFrameWnd* CControlBar::GetCommandFrame() const {
    CWnd* owner = GetBarOwner();
    if (owner && owner->IsFrameWnd()) return static_cast<CFrameWnd*>(owner);
    if (m_pDockSite) return m_pDockSite;
    return GetParentFrame();
}

void CControlBar::CalcInsideRect(CRect& rect, bool horz) const {
    (void)horz;
    rect.left += m_cxLeftBorder;
    rect.top += m_cyTopBorder;
    rect.right -= m_cxRightBorder;
    rect.bottom -= m_cyBottomBorder;
}

CSize CControlBar::CalcFixedLayout(bool stretch, bool horz) {
    CSize size;
    if (stretch) {
        size = horz ? CSize(32767, 0) : CSize(0, 32767);
    }
    // The drawn borders are outside the client area.
    CRect frame(0, 0, 0, 0);
    if (m_dwStyle & BAR_BORDER_LEFT) frame.left = kBorder;
    if (m_dwStyle & BAR_BORDER_RIGHT) frame.right = kBorder;
    if (m_dwStyle & BAR_BORDER_TOP) frame.top = kBorder;
    if (m_dwStyle & BAR_BORDER_BOTTOM) frame.bottom = kBorder;
    if (horz) size.cy += frame.top + frame.bottom;
    else size.cx += frame.left + frame.right;
    return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD mode) {
    return CalcFixedLayout((mode & LM_FULL_LENGTH) != 0, (mode & LM_HORZ) != 0);
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
    auto* params = reinterpret_cast<SizeParentParams*>(lParam);
    DWORD align = m_dwStyle & BAR_ALIGN_ANY;
    if (!IsVisible() || align == 0 || IsFloating()) return 0;
    m_rectLayout = params->rect;
    bool horz = (m_dwStyle & BAR_HORIZONTAL) != 0;
    DWORD mode = horz ? (LM_HORZ | LM_DOCKED_HORZ) : LM_DOCKED_VERT;
    if (params->bStretch) mode |= LM_FULL_LENGTH;
    CSize size = CalcDynamicLayout(-1, mode);
    CRect room(params->rect);
    size.cx = std::min<LONG>(size.cx, room.Width());
    size.cy = std::min<LONG>(size.cy, room.Height());
    CRect place = room;
    switch (align) {
    case BAR_ALIGN_TOP:
        place.bottom = place.top + size.cy;
        params->rect.top += size.cy;
        break;
    case BAR_ALIGN_BOTTOM:
        place.top = place.bottom - size.cy;
        params->rect.bottom -= size.cy;
        break;
    case BAR_ALIGN_LEFT:
        place.right = place.left + size.cx;
        params->rect.left += size.cx;
        break;
    case BAR_ALIGN_RIGHT:
        place.left = place.right - size.cx;
        params->rect.right -= size.cx;
        break;
    default:
        return 0;
    }
    if (horz) {
        place.right = place.left + size.cx;
        params->sizeTotal.cy += size.cy;
        params->sizeTotal.cx = std::max(params->sizeTotal.cx, size.cx);
    } else {
        place.bottom = place.top + size.cy;
        params->sizeTotal.cx += size.cx;
        params->sizeTotal.cy = std::max(params->sizeTotal.cy, size.cy);
    }
    if (params->hDWP) {
        params->hDWP = ::DeferWindowPos(params->hDWP, m_hWnd, nullptr, place.left, place.top,
                                        place.Width(), place.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUIMsg(WPARAM wParam, LPARAM) {
    if (!IsVisible()) return 0;
    CFrameWnd* target = GetCommandFrame();
    if (target) OnUpdateCmdUI(target, wParam != 0);
    return 0;
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnWndMsg(message, wParam, lParam, &result)) return result;
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (SentByChild(m_hWnd, hdr->hwndFrom) &&
            hdr->code != TTN_GETDISPINFOA && hdr->code != TTN_GETDISPINFOW) {
            // Notifications of the bar's controls and tool bars go the command road
            // from the owning frame.
            CWnd* owner = GetBarOwner();
            if (owner && owner->m_hWnd != m_hWnd) return owner->SendMessage(message, wParam, lParam);
        }
        result = CWnd::WindowProc(message, wParam, lParam);
        if (FillToolTip(hdr)) return 0;
        return result;
    }
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: {
        LRESULT result = 0;
        if (OnWndMsg(message, wParam, lParam, &result)) return result;
        CWnd* owner = GetBarOwner();
        if (owner && owner->m_hWnd != m_hWnd) return owner->SendMessage(message, wParam, lParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CControlBar::ShowFlyBy(UINT id) {
    CFrameWnd* frame = GetCommandFrame();
    if (frame == nullptr) return;
    frame->SendMessage(StatusPromptMessage, id != 0 ? id : IDS_LIB_READY);
    m_nFlyByID = id;
}

bool CControlBar::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_MOUSEMOVE && (m_dwStyle & BAR_FLYBY_PROMPTS) && m_hWnd &&
        (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd)) && ::GetCapture() == nullptr) {
        CPoint point;
        ::GetCursorPos(&point);
        ScreenToClient(&point);
        int hit = OnToolHitTest(point, nullptr);
        UINT id = hit > 0 ? static_cast<UINT>(hit) : 0;
        if (id != m_nFlyByID) {
            ShowFlyBy(id);
            if (id != 0) SetTimer(kFlyByTimer, kFlyByCheckMs);
        }
    }
    return CWnd::PreTranslateMessage(msg);
}

void CControlBar::OnTimer(UINT_PTR id) {
    if (id != kFlyByTimer) {
        Default();
        return;
    }
    CPoint point;
    ::GetCursorPos(&point);
    HWND under = ::WindowFromPoint(point);
    if (under != m_hWnd && !::IsChild(m_hWnd, under)) {
        KillTimer(kFlyByTimer);
        if (m_nFlyByID != 0) ShowFlyBy(0);
    }
}

void CControlBar::OnLButtonDown(UINT flags, CPoint point) {
    // A press on the bar itself (not on a button) drags it.
    if (m_pDockContext && OnToolHitTest(point, nullptr) <= 0 && (m_dwStyle & BAR_SIZE_FIXED) == 0) {
        ClientToScreen(&point);
        m_pDockContext->StartDrag(point);
        return;
    }
    CWnd::OnLButtonDown(flags, point);
}

void CControlBar::OnLButtonDblClk(UINT flags, CPoint point) {
    if (m_pDockContext && OnToolHitTest(point, nullptr) <= 0) {
        m_pDockContext->ToggleDocking();
        return;
    }
    CWnd::OnLButtonDblClk(flags, point);
}

void CControlBar::OnNcCalcSize(BOOL calcValid, NCCALCSIZE_PARAMS* params) {
    CWnd::OnNcCalcSize(calcValid, params);
    RECT& r = params->rgrc[0];
    if (m_dwStyle & BAR_BORDER_LEFT) r.left += kBorder;
    if (m_dwStyle & BAR_BORDER_TOP) r.top += kBorder;
    if (m_dwStyle & BAR_BORDER_RIGHT) r.right -= kBorder;
    if (m_dwStyle & BAR_BORDER_BOTTOM) r.bottom -= kBorder;
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
}

void CControlBar::OnNcPaint() {
    CWnd::OnNcPaint();
    if ((m_dwStyle & BAR_BORDER_ANY) == 0) return;
    HDC dc = ::GetWindowDC(m_hWnd);
    CRect window;
    GetWindowRect(&window);
    window.OffsetRect(-window.left, -window.top);
    HBRUSH shadow = ::GetSysColorBrush(COLOR_BTNSHADOW);
    HBRUSH light = ::GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    // An etched line on each bordered side.
    auto etch = [&](RECT line, bool vertical) {
        ::FillRect(dc, &line, shadow);
        if (vertical) ::OffsetRect(&line, 1, 0);
        else ::OffsetRect(&line, 0, 1);
        ::FillRect(dc, &line, light);
    };
    if (m_dwStyle & BAR_BORDER_TOP) etch({window.left, window.top, window.right, window.top + 1}, false);
    if (m_dwStyle & BAR_BORDER_BOTTOM) etch({window.left, window.bottom - 2, window.right, window.bottom - 1}, false);
    if (m_dwStyle & BAR_BORDER_LEFT) etch({window.left, window.top, window.left + 1, window.bottom}, true);
    if (m_dwStyle & BAR_BORDER_RIGHT) etch({window.right - 2, window.top, window.right - 1, window.bottom}, true);
    ::ReleaseDC(m_hWnd, dc);
}

void CControlBar::OnDestroy() {
    KillTimer(kFlyByTimer);
    if (m_pDockBar) {
        CDockBar* dockBar = m_pDockBar;
        m_pDockBar = nullptr;
        dockBar->RemoveControlBar(this);
    }
    CWnd::OnDestroy();
}

void CControlBar::PostNcDestroy() {
    if (m_bAutoDelete) delete this;
}

// Command-UI of bar buttons and panes.

void CBarCmdUI::Enable(bool on) {
    m_bEnableChanged = true;
    if (auto* toolBar = dynamic_cast<CToolBar*>(m_pOther)) {
        UINT state = static_cast<UINT>(toolBar->SendMessage(TB_GETSTATE, m_nID));
        if (state == static_cast<UINT>(-1)) return;
        UINT wanted = on ? (state | TBSTATE_ENABLED) : (state & ~(TBSTATE_ENABLED | TBSTATE_PRESSED));
        if (wanted != state) toolBar->SendMessage(TB_SETSTATE, m_nID, MAKELONG(wanted, 0));
    } else if (auto* statusBar = dynamic_cast<CStatusBar*>(m_pOther)) {
        UINT style = statusBar->GetPaneStyle(static_cast<int>(m_nIndex));
        UINT wanted = on ? (style & ~PANE_DISABLED) : (style | PANE_DISABLED);
        if (wanted != style) statusBar->SetPaneStyle(static_cast<int>(m_nIndex), wanted);
    }
}

void CBarCmdUI::SetCheck(int check) {
    if (auto* toolBar = dynamic_cast<CToolBar*>(m_pOther)) {
        UINT state = static_cast<UINT>(toolBar->SendMessage(TB_GETSTATE, m_nID));
        if (state == static_cast<UINT>(-1)) return;
        UINT wanted = state & ~(TBSTATE_CHECKED | TBSTATE_INDETERMINATE);
        if (check == 1) wanted |= TBSTATE_CHECKED;
        else if (check == 2) wanted |= TBSTATE_INDETERMINATE;
        if (wanted != state) toolBar->SendMessage(TB_SETSTATE, m_nID, MAKELONG(wanted, 0));
    } else if (auto* statusBar = dynamic_cast<CStatusBar*>(m_pOther)) {
        UINT style = statusBar->GetPaneStyle(static_cast<int>(m_nIndex));
        UINT wanted = check ? (style | PANE_POPOUT) : (style & ~PANE_POPOUT);
        if (wanted != style) statusBar->SetPaneStyle(static_cast<int>(m_nIndex), wanted);
    }
}

void CBarCmdUI::SetText(const char* text) {
    if (auto* statusBar = dynamic_cast<CStatusBar*>(m_pOther)) {
        statusBar->SetPaneText(static_cast<int>(m_nIndex), text);
    }
}
