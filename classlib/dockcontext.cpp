#include "classlib/controlbar.h"

#include <algorithm>

namespace {

// How far into the frame a dock bar catches a dragged bar, beyond its own edge.
constexpr int kDockReach = 16;

CSize FloatingFrameBorders(DWORD barStyle) {
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    if (barStyle & BAR_SIZE_VARIABLE) style |= WS_THICKFRAME;
    CRect r(0, 0, 0, 0);
    ::AdjustWindowRectEx(&r, style, FALSE, WS_EX_TOOLWINDOW);
    return r.Size();
}

CRect FrameAround(const CRect& bar, DWORD barStyle) {
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    if (barStyle & BAR_SIZE_VARIABLE) style |= WS_THICKFRAME;
    CRect r(0, 0, bar.Width(), bar.Height());
    ::AdjustWindowRectEx(&r, style, FALSE, WS_EX_TOOLWINDOW);
    r.OffsetRect(bar.left, bar.top);
    return r;
}

}  // namespace

CDockContext::CDockContext(CControlBar* bar) : m_pBar(bar) {
    m_pDockSite = bar->m_pDockSite;
    m_dwDockStyle = bar->m_dwDockStyle;
}

CDockContext::~CDockContext() {
    if (m_hDC) CancelLoop();
}

void CDockContext::InitLoop() {
    m_rectLast.SetRectEmpty();
    m_sizeLast = CSize(0, 0);
    m_bDitherLast = false;
    m_bFlip = m_bForceFrame = false;
    m_dwOverDockStyle = 0;
    if (m_pDockSite == nullptr) m_pDockSite = m_pBar->m_pDockSite;
    m_dwDockStyle = m_pBar->m_dwDockStyle;
    m_dwStyle = m_pBar->m_dwStyle;
    HWND desktop = ::GetDesktopWindow();
    m_hDC = ::GetDCEx(desktop, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
}

void CDockContext::CancelLoop() {
    DrawFocusRect(true);
    if (::GetCapture() == m_pBar->m_hWnd) ::ReleaseCapture();
    if (m_hDC) {
        ::ReleaseDC(::GetDesktopWindow(), m_hDC);
        m_hDC = nullptr;
    }
}

void CDockContext::DrawFocusRect(bool remove) {
    if (m_hDC == nullptr) return;
    CRect rect;
    if (!remove) {
        if (m_bDragging) {
            bool horz = m_dwOverDockStyle ? (m_dwOverDockStyle & BAR_HORIZONTAL) != 0
                                          : ((m_dwStyle & BAR_HORIZONTAL) != 0) != m_bFlip;
            rect = m_dwOverDockStyle ? (horz ? m_rectDragHorz : m_rectDragVert)
                                     : (horz ? m_rectFrameDragHorz : m_rectFrameDragVert);
        } else {
            rect = m_rectActualFrameSize;
        }
    }
    if (rect == m_rectLast) return;
    // Focus rectangles draw by inverting: the old one is taken off by drawing it again.
    if (!m_rectLast.IsRectEmpty()) ::DrawFocusRect(m_hDC, &m_rectLast);
    if (!rect.IsRectEmpty()) ::DrawFocusRect(m_hDC, &rect);
    m_rectLast = rect;
}

UINT CDockContext::CanDock(const CRect& rect, DWORD dockStyle) const {
    if (m_pDockSite == nullptr || dockStyle == 0) return 0;
    for (const DockSide& side : kDockSides) {
        if (!(dockStyle & side.align)) continue;
        CWnd* dockBar = m_pDockSite->GetDlgItem(static_cast<int>(side.id));
        if (dockBar == nullptr) continue;
        CRect area;
        dockBar->GetWindowRect(&area);
        switch (side.align) {
        case BAR_ALIGN_TOP: area.bottom += kDockReach; break;
        case BAR_ALIGN_BOTTOM: area.top -= kDockReach; break;
        case BAR_ALIGN_LEFT: area.right += kDockReach; break;
        default: area.left -= kDockReach; break;
        }
        CRect overlap;
        if (overlap.IntersectRect(&area, &rect)) return side.id;
    }
    return 0;
}

void CDockContext::StartDrag(CPoint point) {
    m_bDragging = true;
    InitLoop();
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    m_ptLast = point;
    bool dynamic = (m_dwStyle & BAR_SIZE_VARIABLE) != 0;
    CSize horz = m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_DOCKED_HORZ);
    CSize vert = m_pBar->CalcDynamicLayout(-1, LM_DOCKED_VERT);
    m_rectDragHorz = CRect(rect.TopLeft(), horz);
    m_rectDragVert = CRect(rect.TopLeft(), vert);
    CSize floatHorz = dynamic ? m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH)
                              : m_pBar->CalcDynamicLayout(-1, LM_HORZ);
    CSize floatVert = dynamic ? floatHorz : m_pBar->CalcDynamicLayout(-1, 0);
    m_rectFrameDragHorz = FrameAround(CRect(rect.TopLeft(), floatHorz), m_dwStyle);
    m_rectFrameDragVert = FrameAround(CRect(rect.TopLeft(), floatVert), m_dwStyle);
    // The layouts above changed the bar's wrapping: put back the current one.
    if (m_pBar->IsFloating()) m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
    else m_pBar->CalcDynamicLayout(-1, (m_dwStyle & BAR_HORIZONTAL) ? (LM_HORZ | LM_DOCKED_HORZ) : LM_DOCKED_VERT);
    Track();
}

void CDockContext::Move(CPoint point) {
    CPoint delta(point.x - m_ptLast.x, point.y - m_ptLast.y);
    m_rectDragHorz.OffsetRect(delta);
    m_rectDragVert.OffsetRect(delta);
    m_rectFrameDragHorz.OffsetRect(delta);
    m_rectFrameDragVert.OffsetRect(delta);
    m_ptLast = point;
    m_dwOverDockStyle = 0;
    if (!m_bForceFrame) {
        UINT id = CanDock(m_rectDragHorz, m_dwDockStyle & BAR_HORIZONTAL);
        if (id == 0) id = CanDock(m_rectDragVert, m_dwDockStyle & BAR_VERTICAL);
        for (const DockSide& side : kDockSides) {
            if (side.id == id) m_dwOverDockStyle = side.align;
        }
    }
    DrawFocusRect();
}

void CDockContext::OnKey(int ch, bool down) {
    if (ch == VK_CONTROL) m_bForceFrame = down;
    else if (ch == VK_SHIFT) m_bFlip = down;
    else return;
    Move(m_ptLast);
}

void CDockContext::EndDrag() {
    CancelLoop();
    if (m_pDockSite == nullptr) return;
    if (m_dwOverDockStyle) {
        UINT id = 0;
        for (const DockSide& side : kDockSides) {
            if (side.align == m_dwOverDockStyle) id = side.id;
        }
        const CRect& rect = (m_dwOverDockStyle & BAR_HORIZONTAL) ? m_rectDragHorz : m_rectDragVert;
        m_uMRUDockID = id;
        m_rectMRUDockPos = rect;
        m_pDockSite->DockControlBar(m_pBar, id, &rect);
    } else {
        bool horz = ((m_dwStyle & BAR_HORIZONTAL) != 0) != m_bFlip;
        if ((m_dwStyle & BAR_ALIGN_ANY) == 0) horz = true;
        const CRect& rect = horz ? m_rectFrameDragHorz : m_rectFrameDragVert;
        m_ptMRUFloatPos = rect.TopLeft();
        m_pDockSite->FloatControlBar(m_pBar, rect.TopLeft(), horz ? BAR_ALIGN_TOP : BAR_ALIGN_LEFT);
    }
}

void CDockContext::StartResize(int hitTest, CPoint point) {
    m_bDragging = false;
    m_nHitTest = hitTest;
    InitLoop();
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    m_rectRequestedSize = m_rectActualSize = rect;
    m_sizeFrameBorders = FloatingFrameBorders(m_dwStyle);
    m_rectActualFrameSize = FrameAround(rect, m_dwStyle);
    m_ptStart = point;
    Stretch(point);
    Track();
}

void CDockContext::Stretch(CPoint point) {
    CPoint delta(point.x - m_ptStart.x, point.y - m_ptStart.y);
    CRect& req = m_rectRequestedSize;
    bool width = false;
    bool height = false;
    // The sides alone: sizing from a corner is left to a context that knows its bar.
    switch (m_nHitTest) {
    case HTLEFT: req.left += delta.x; width = true; break;
    case HTRIGHT: req.right += delta.x; width = true; break;
    case HTTOP: req.top += delta.y; height = true; break;
    case HTBOTTOM: req.bottom += delta.y; height = true; break;
    default: break;
    }
    m_ptStart = point;
    if (!width && !height) {
        DrawFocusRect();
        return;
    }
    CSize size = width ? m_pBar->CalcDynamicLayout(std::max(0, static_cast<int>(req.Width())), LM_HORZ)
                       : m_pBar->CalcDynamicLayout(std::max(0, static_cast<int>(req.Height())), LM_HORZ | LM_LENGTHY);
    CRect actual = m_rectActualSize;
    if (m_nHitTest == HTLEFT) actual.left = actual.right - size.cx;
    else actual.right = actual.left + size.cx;
    if (m_nHitTest == HTTOP) actual.top = actual.bottom - size.cy;
    else actual.bottom = actual.top + size.cy;
    m_rectActualSize = actual;
    m_rectActualFrameSize = FrameAround(actual, m_dwStyle);
    DrawFocusRect();
}

void CDockContext::EndResize() {
    CancelLoop();
    const CRect& actual = m_rectActualSize;
    bool byHeight = m_nHitTest == HTTOP || m_nHitTest == HTBOTTOM;
    m_pBar->CalcDynamicLayout(byHeight ? actual.Height() : actual.Width(),
                              LM_HORZ | LM_REMEMBER | (byHeight ? LM_LENGTHY : 0));
    CFrameWnd* frame = m_pBar->GetParentFrame();
    if (frame && m_pBar->IsFloating()) {
        frame->SetWindowPos(nullptr, m_rectActualFrameSize.left, m_rectActualFrameSize.top, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        frame->RecalcLayout();
    }
}

void CDockContext::ToggleDocking() {
    if (m_pDockSite == nullptr) m_pDockSite = m_pBar->m_pDockSite;
    if (m_pDockSite == nullptr) return;
    if (m_pBar->IsFloating()) {
        if (m_pBar->m_dwDockStyle == 0) return;
        UINT id = m_uMRUDockID;
        m_pDockSite->DockControlBar(m_pBar, id, m_uMRUDockID ? &m_rectMRUDockPos : nullptr);
    } else {
        CRect rect;
        m_pBar->GetWindowRect(&rect);
        CPoint where = m_ptMRUFloatPos.x >= 0 ? m_ptMRUFloatPos : rect.TopLeft();
        if (m_pBar->m_pDockBar) m_uMRUDockID = static_cast<UINT>(m_pBar->m_pDockBar->GetDlgCtrlID());
        m_rectMRUDockPos = rect;
        m_pDockSite->FloatControlBar(m_pBar, where, BAR_ALIGN_TOP);
    }
}

bool CDockContext::Track() {
    if (::GetCapture() != nullptr) return false;
    ::SetCapture(m_pBar->m_hWnd);
    while (::GetCapture() == m_pBar->m_hWnd) {
        MSG msg;
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        switch (msg.message) {
        case WM_LBUTTONUP:
            if (m_bDragging) EndDrag();
            else EndResize();
            return true;
        case WM_MOUSEMOVE: {
            CPoint point(msg.lParam);
            ::ClientToScreen(msg.hwnd, &point);
            if (m_bDragging) Move(point);
            else Stretch(point);
            break;
        }
        case WM_KEYUP:
            if (m_bDragging) OnKey(static_cast<int>(msg.wParam), false);
            break;
        case WM_KEYDOWN:
            if (m_bDragging) OnKey(static_cast<int>(msg.wParam), true);
            if (msg.wParam == VK_ESCAPE) {
                CancelLoop();
                return false;
            }
            break;
        case WM_RBUTTONDOWN:
            CancelLoop();
            return false;
        default:
            ::DispatchMessageA(&msg);
            break;
        }
    }
    CancelLoop();
    return false;
}
