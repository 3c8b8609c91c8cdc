#include "classlib/splitter.h"

#include "classlib/gdi.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
    ON_WM_CANCELMODE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

void ReadInfo(const std::vector<CSplitterWnd::CRowColInfo>& infos, int index, int& cur, int& min) {
    if (index < 0 || static_cast<size_t>(index) >= infos.size()) {
        cur = min = 0;
        return;
    }
    cur = infos[static_cast<size_t>(index)].nCurSize;
    min = infos[static_cast<size_t>(index)].nMinSize;
}

void WriteInfo(std::vector<CSplitterWnd::CRowColInfo>& infos, int index, int ideal, int min) {
    if (index < 0 || static_cast<size_t>(index) >= infos.size()) return;
    infos[static_cast<size_t>(index)].nIdealSize = ideal;
    infos[static_cast<size_t>(index)].nMinSize = min;
}

}  // namespace

CSplitterWnd::CSplitterWnd() = default;

CSplitterWnd::~CSplitterWnd() {
    for (CScrollBar* bar : m_scrollBars) {
        bar->Detach();
        delete bar;
    }
}

bool CSplitterWnd::Create(CWnd* parent, int maxRows, int maxCols, SIZE sizeMin, CCreateContext* context,
                          DWORD style, UINT id) {
    // One row of one or two columns is what the splitter lays out and tracks.
    if (context == nullptr || context->m_pNewViewClass == nullptr || maxRows != 1 || maxCols < 1 || maxCols > 2) {
        return false;
    }
    m_pDynamicViewClass = context->m_pNewViewClass;
    m_nMaxRows = maxRows;
    m_nMaxCols = maxCols;
    m_pRowInfo.assign(static_cast<size_t>(maxRows), CRowColInfo{static_cast<int>(sizeMin.cy), -1, 0});
    m_pColInfo.assign(static_cast<size_t>(maxCols), CRowColInfo{static_cast<int>(sizeMin.cx), -1, 0});
    m_bHasHScroll = (style & WS_HSCROLL) != 0;
    m_bHasVScroll = (style & WS_VSCROLL) != 0;
    m_bDynamic = (style & SPLITTER_DYNAMIC) != 0;
    // The splitter keeps the scroll bars for its panes: it has none of its own.
    DWORD windowStyle = style & ~(WS_HSCROLL | WS_VSCROLL);
    if (!CWnd::CreateEx(0, ChildWindowClass(), nullptr, windowStyle, CRect(0, 0, 0, 0), parent, id)) {
        return false;
    }
    m_nRows = m_nCols = 1;
    if (m_bHasHScroll && !CreateScrollBarCtrl(SBS_HORZ, IDW_SPLIT_HSCROLL_FIRST)) return false;
    if (m_bHasVScroll && !CreateScrollBarCtrl(SBS_VERT, IDW_SPLIT_VSCROLL_FIRST)) return false;
    if (m_bHasHScroll && m_bHasVScroll && !CreateScrollBarCtrl(SBS_SIZEBOX | WS_DISABLED, IDW_SPLIT_SIZE_BOX)) {
        return false;
    }
    AttachScrollBar(IDW_SPLIT_HSCROLL_FIRST);
    AttachScrollBar(IDW_SPLIT_VSCROLL_FIRST);
    if (!CreateView(0, 0, m_pDynamicViewClass, sizeMin, context)) return false;
    RecalcLayout();
    return true;
}

bool CSplitterWnd::CreateScrollBarCtrl(DWORD style, UINT id) {
    HWND bar = ::CreateWindowExA(0, "SCROLLBAR", nullptr, style | WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ModuleInstance(), nullptr);
    return bar != nullptr;
}

void CSplitterWnd::AttachScrollBar(UINT id) {
    HWND hwnd = ::GetDlgItem(m_hWnd, static_cast<int>(id));
    if (hwnd == nullptr || FromHandlePermanent(hwnd)) return;
    auto* bar = new CScrollBar;
    bar->Attach(hwnd);
    m_scrollBars.push_back(bar);
}

void CSplitterWnd::DestroyScrollBar(UINT id) {
    HWND hwnd = ::GetDlgItem(m_hWnd, static_cast<int>(id));
    if (hwnd == nullptr) return;
    auto found = std::find_if(m_scrollBars.begin(), m_scrollBars.end(),
                              [hwnd](CScrollBar* bar) { return bar->m_hWnd == hwnd; });
    if (found != m_scrollBars.end()) {
        (*found)->Detach();
        delete *found;
        m_scrollBars.erase(found);
    }
    ::DestroyWindow(hwnd);
}

CScrollBar* CSplitterWnd::GetPaneScrollBar(const CWnd* pane, int bar) const {
    int row = 0, col = 0;
    if (!IsChildPane(const_cast<CWnd*>(pane), &row, &col)) return nullptr;
    UINT id = bar == SB_HORZ ? IDW_SPLIT_HSCROLL_FIRST + col : IDW_SPLIT_VSCROLL_FIRST + row;
    return dynamic_cast<CScrollBar*>(FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(id))));
}

bool CSplitterWnd::CreateView(int row, int col, CRuntimeClass* viewClass, SIZE initSize, CCreateContext* context) {
    if (viewClass == nullptr || GetPane(row, col)) return false;
    CObject* object = viewClass->CreateObject();
    auto* wnd = dynamic_cast<CWnd*>(object);
    if (wnd == nullptr) {
        delete object;
        return false;
    }
    CRect rect(CPoint(0, 0), initSize);
    // A view that fails after its window existed is deleted by its own PostNcDestroy.
    return wnd->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rect, this, static_cast<UINT>(IdFromRowCol(row, col)),
                       context);
}

void CSplitterWnd::DeleteView(int row, int col) {
    CWnd* pane = GetPane(row, col);
    if (pane == nullptr) return;
    int activeRow = -1, activeCol = -1;
    bool active = GetActivePane(&activeRow, &activeCol) == pane;
    pane->DestroyWindow();
    if (active) {
        CFrameWnd* frame = GetParentFrame();
        CWnd* other = nullptr;
        for (int c = 0; c < m_nCols && !other; ++c) {
            if (c != col) other = GetPane(row, c);
        }
        if (frame && other && other->IsKindOf(RUNTIME_CLASS(CView))) frame->SetActiveView(static_cast<CView*>(other));
    }
}

CWnd* CSplitterWnd::GetPane(int row, int col) const {
    if (!m_hWnd) return nullptr;
    return FromHandlePermanent(::GetDlgItem(m_hWnd, IdFromRowCol(row, col)));
}

bool CSplitterWnd::IsChildPane(CWnd* wnd, int* row, int* col) const {
    if (wnd == nullptr || !wnd->m_hWnd || ::GetParent(wnd->m_hWnd) != m_hWnd) return false;
    int id = wnd->GetDlgCtrlID() - AFX_IDW_PANE_FIRST;
    if (id < 0 || id / 16 >= m_nRows || id % 16 >= m_nCols) return false;
    if (row) *row = id / 16;
    if (col) *col = id % 16;
    return true;
}

void CSplitterWnd::GetColumnInfo(int col, int& cur, int& min) const {
    ReadInfo(m_pColInfo, col, cur, min);
}

void CSplitterWnd::SetColumnInfo(int col, int ideal, int min) {
    WriteInfo(m_pColInfo, col, ideal, min);
}

void CSplitterWnd::GetRowInfo(int row, int& cur, int& min) const {
    ReadInfo(m_pRowInfo, row, cur, min);
}

void CSplitterWnd::SetRowInfo(int row, int ideal, int min) {
    WriteInfo(m_pRowInfo, row, ideal, min);
}

DWORD CSplitterWnd::GetScrollStyle() const {
    return (m_bHasHScroll ? WS_HSCROLL : 0) | (m_bHasVScroll ? WS_VSCROLL : 0);
}

bool CSplitterWnd::SplitColumn(int cxBefore) {
    if (m_nCols >= m_nMaxCols || m_nCols != 1) return false;
    CWnd* first = GetPane(0, 0);
    CCreateContext context;
    context.m_pNewViewClass = m_pDynamicViewClass;
    context.m_pCurrentFrame = GetParentFrame();
    if (first && first->IsKindOf(RUNTIME_CLASS(CView))) {
        context.m_pLastView = static_cast<CView*>(first);
        context.m_pCurrentDoc = context.m_pLastView->GetDocument();
    }
    m_pColInfo[0].nIdealSize = cxBefore;
    m_nCols = 2;
    UINT scrollId = IDW_SPLIT_HSCROLL_FIRST + 1;
    if (m_bHasHScroll) {
        if (!CreateScrollBarCtrl(SBS_HORZ, scrollId)) {
            m_nCols = 1;
            return false;
        }
        AttachScrollBar(scrollId);
    }
    CRect inside = InsideRect();
    CSize size(std::max(0, static_cast<int>(inside.right) - cxBefore - m_cxSplitter), inside.Height());
    if (!CreateView(0, 1, m_pDynamicViewClass, size, &context)) {
        m_nCols = 1;
        DestroyScrollBar(scrollId);
        RecalcLayout();
        return false;
    }
    // The new pane starts where the vertical scroll bar shared with the first one is.
    if (CWnd* pane = GetPane(0, 1)) pane->SendMessage(InitialUpdateMessage);
    RecalcLayout();
    return true;
}

void CSplitterWnd::DeleteColumn(int colDelete) {
    if (m_nCols < 2 || colDelete < 0 || colDelete >= m_nCols) return;
    DeleteView(0, colDelete);
    // The remaining pane becomes the first column; the first column's scroll bar stays.
    if (colDelete == 0) {
        if (CWnd* pane = GetPane(0, 1)) pane->SetDlgCtrlID(IdFromRowCol(0, 0));
        m_pColInfo[0].nCurSize = m_pColInfo[1].nCurSize;
    }
    DestroyScrollBar(IDW_SPLIT_HSCROLL_FIRST + 1);
    m_nCols = 1;
    RecalcLayout();
}

CRect CSplitterWnd::InsideRect() const {
    CRect rect;
    GetClientRect(&rect);
    if (m_bHasVScroll) rect.right -= ::GetSystemMetrics(SM_CXVSCROLL);
    if (m_bHasHScroll) rect.bottom -= ::GetSystemMetrics(SM_CYHSCROLL);
    if (rect.right < rect.left) rect.right = rect.left;
    if (rect.bottom < rect.top) rect.bottom = rect.top;
    return rect;
}

int CSplitterWnd::ColumnLeft(int col) const {
    return col == 0 ? 0 : m_pColInfo[0].nCurSize + m_cxSplitter;
}

void CSplitterWnd::RecalcLayout() {
    if (!m_hWnd) return;
    CRect client;
    GetClientRect(&client);
    CRect inside = InsideRect();
    int cxVScroll = ::GetSystemMetrics(SM_CXVSCROLL);
    int cyHScroll = ::GetSystemMetrics(SM_CYHSCROLL);

    // Column widths: the first keeps its ideal size within what leaves the second
    // its minimum.
    if (m_nCols == 1) {
        m_pColInfo[0].nCurSize = inside.Width();
    } else {
        int ideal = m_pColInfo[0].nIdealSize >= 0 ? m_pColInfo[0].nIdealSize : inside.Width() / 2;
        int width = std::clamp(ideal, 0, std::max(0, static_cast<int>(inside.Width()) - m_cxSplitter));
        m_pColInfo[0].nCurSize = width;
        m_pColInfo[1].nCurSize = std::max(0, static_cast<int>(inside.Width()) - width - m_cxSplitter);
    }
    m_pRowInfo[0].nCurSize = inside.Height();

    HDWP defer = ::BeginDeferWindowPos(8);
    auto place = [&](HWND hwnd, const CRect& r) {
        if (hwnd && defer) {
            defer = ::DeferWindowPos(defer, hwnd, nullptr, r.left, r.top, std::max(0, static_cast<int>(r.Width())),
                                     std::max(0, static_cast<int>(r.Height())), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    };
    for (int col = 0; col < m_nCols; ++col) {
        int left = ColumnLeft(col);
        CRect pane(left, inside.top, left + m_pColInfo[static_cast<size_t>(col)].nCurSize, inside.bottom);
        if (CWnd* wnd = GetPane(0, col)) place(wnd->m_hWnd, pane);
        if (m_bHasHScroll) {
            CRect bar(pane.left, inside.bottom, pane.right, inside.bottom + cyHScroll);
            // The split box sits at the left end of the first column's scroll bar
            // while another column can be made.
            if (col == 0 && m_bDynamic && m_nCols < m_nMaxCols) bar.left += m_cxSplitterGap;
            place(::GetDlgItem(m_hWnd, static_cast<int>(IDW_SPLIT_HSCROLL_FIRST + col)), bar);
        }
    }
    if (m_bHasVScroll) {
        place(::GetDlgItem(m_hWnd, static_cast<int>(IDW_SPLIT_VSCROLL_FIRST)),
              CRect(inside.right, inside.top, inside.right + cxVScroll, inside.bottom));
    }
    if (m_bHasHScroll && m_bHasVScroll) {
        place(::GetDlgItem(m_hWnd, IDW_SPLIT_SIZE_BOX),
              CRect(inside.right, inside.bottom, client.right, client.bottom));
    }
    if (defer) ::EndDeferWindowPos(defer);
    Invalidate();
}

void CSplitterWnd::GetHitRect(int ht, CRect& rect) {
    CRect inside = InsideRect();
    if (ht == hitSplitBox) {
        rect.SetRect(0, inside.bottom, m_cxSplitterGap, inside.bottom + ::GetSystemMetrics(SM_CYHSCROLL));
    } else if (ht == hitColumnBarFirst) {
        int left = m_pColInfo[0].nCurSize;
        rect.SetRect(left, inside.top, left + m_cxSplitter, inside.bottom);
    } else {
        rect.SetRectEmpty();
    }
}

int CSplitterWnd::HitTest(CPoint point) const {
    auto* self = const_cast<CSplitterWnd*>(this);
    CRect rect;
    if (m_bDynamic && m_bHasHScroll && m_nCols < m_nMaxCols) {
        self->GetHitRect(hitSplitBox, rect);
        if (rect.PtInRect(point)) return hitSplitBox;
    }
    if (m_nCols > 1) {
        self->GetHitRect(hitColumnBarFirst, rect);
        if (rect.PtInRect(point)) return hitColumnBarFirst;
    }
    return hitNothing;
}

void CSplitterWnd::OnDrawSplitter(CDC* dc, SplitterPart type, const CRect& rect) {
    if (dc == nullptr) {
        InvalidateRect(&rect);
        return;
    }
    HDC hdc = dc->GetSafeHdc();
    ::FillRect(hdc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
    if (type == partSplitBox || type == partSplitBar) {
        // A raised edge.
        CRect edge = rect;
        ::DrawEdge(hdc, &edge, EDGE_RAISED, BF_RECT);
    }
}

void CSplitterWnd::OnPaint() {
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    CDC* dc = CDC::FromHandle(hdc);
    CRect rect;
    if (m_bDynamic && m_bHasHScroll && m_nCols < m_nMaxCols) {
        GetHitRect(hitSplitBox, rect);
        OnDrawSplitter(dc, partSplitBox, rect);
    }
    if (m_nCols > 1) {
        GetHitRect(hitColumnBarFirst, rect);
        OnDrawSplitter(dc, partSplitBar, rect);
    }
    ::EndPaint(m_hWnd, &ps);
}

void CSplitterWnd::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    if (type != SIZE_MINIMIZED) RecalcLayout();
}

BOOL CSplitterWnd::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    if (wnd == this && hitTest == HTCLIENT) {
        CPoint point;
        ::GetCursorPos(&point);
        ScreenToClient(&point);
        int ht = HitTest(point);
        if (ht == hitSplitBox || (ht >= hitColumnBarFirst && ht < hitColumnBarFirst + 15)) {
            ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
            return TRUE;
        }
    }
    return CWnd::OnSetCursor(wnd, hitTest, message);
}

void CSplitterWnd::DrawTracker() {
    if (m_rectTracker.IsRectEmpty()) return;
    HDC hdc = ::GetDCEx(m_hWnd, nullptr, DCX_CACHE | DCX_PARENTCLIP);
    if (hdc == nullptr) hdc = ::GetDC(m_hWnd);
    ::PatBlt(hdc, m_rectTracker.left, m_rectTracker.top, m_rectTracker.Width(), m_rectTracker.Height(), DSTINVERT);
    ::ReleaseDC(m_hWnd, hdc);
    m_bTrackerShown = !m_bTrackerShown;
}

void CSplitterWnd::StartTracking(int ht) {
    if (ht != hitSplitBox && ht != hitColumnBarFirst) return;
    CRect inside = InsideRect();
    // Limits first: an overriding GetHitRect may narrow them.
    m_rectLimit = inside;
    m_rectLimit.right = std::max<LONG>(m_rectLimit.left, inside.right - m_cxSplitter);
    GetHitRect(ht, m_rectTracker);
    // Tracking draws a bar the full height of the panes.
    m_rectTracker.top = inside.top;
    m_rectTracker.bottom = inside.bottom;
    m_rectTracker.right = m_rectTracker.left + m_cxSplitter;
    m_htTrack = ht;
    m_bTracking = true;
    SetCapture();
    SetFocus();
    DrawTracker();
}

void CSplitterWnd::StopTracking(bool accept) {
    if (!m_bTracking) return;
    if (m_bTrackerShown) DrawTracker();
    m_bTracking = false;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    if (!accept) return;
    CRect inside = InsideRect();
    int x = m_rectTracker.left;
    if (m_htTrack == hitSplitBox) {
        // Far enough in from both ends for two panes of their minimum widths.
        if (x >= m_pColInfo[0].nMinSize && inside.right - x - m_cxSplitter >= m_pColInfo[1].nMinSize) SplitColumn(x);
    } else if (m_htTrack == hitColumnBarFirst) {
        if (x < m_pColInfo[0].nMinSize) {
            DeleteColumn(0);
        } else if (inside.right - x - m_cxSplitter < m_pColInfo[1].nMinSize) {
            DeleteColumn(1);
        } else {
            m_pColInfo[0].nIdealSize = x;
            RecalcLayout();
        }
    }
}

void CSplitterWnd::OnLButtonDown(UINT flags, CPoint point) {
    if (m_bTracking) return;
    int ht = HitTest(point);
    if (ht == hitSplitBox || ht == hitColumnBarFirst) {
        StartTracking(ht);
        // A bar moves with the point where it was taken; from the split box a new
        // bar starts at the pointer.
        m_ptTrackOffset = CPoint(ht == hitSplitBox ? 0 : point.x - m_rectTracker.left, 0);
        return;
    }
    CWnd::OnLButtonDown(flags, point);
}

void CSplitterWnd::OnMouseMove(UINT flags, CPoint point) {
    if (!m_bTracking) {
        CWnd::OnMouseMove(flags, point);
        return;
    }
    int x = std::clamp<int>(point.x - m_ptTrackOffset.x, m_rectLimit.left, m_rectLimit.right);
    if (x == m_rectTracker.left) return;
    if (m_bTrackerShown) DrawTracker();
    m_rectTracker.OffsetRect(x - m_rectTracker.left, 0);
    DrawTracker();
}

void CSplitterWnd::OnLButtonUp(UINT flags, CPoint point) {
    if (m_bTracking) {
        StopTracking(true);
        return;
    }
    CWnd::OnLButtonUp(flags, point);
}

void CSplitterWnd::OnCancelMode() {
    StopTracking(false);
    CWnd::OnCancelMode();
}

void CSplitterWnd::OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
    // A column's scroll bar scrolls the panes of that column.
    HWND from = bar ? bar->m_hWnd : nullptr;
    int col = from ? ::GetDlgCtrlID(from) - static_cast<int>(IDW_SPLIT_HSCROLL_FIRST) : 0;
    for (int row = 0; row < m_nRows; ++row) {
        if (CWnd* pane = GetPane(row, col)) {
            pane->SendMessage(WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(from));
        }
    }
}

void CSplitterWnd::OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
    // The row's scroll bar scrolls every pane of the row.
    HWND from = bar ? bar->m_hWnd : nullptr;
    int row = from ? ::GetDlgCtrlID(from) - static_cast<int>(IDW_SPLIT_VSCROLL_FIRST) : 0;
    for (int col = 0; col < m_nCols; ++col) {
        if (CWnd* pane = GetPane(row, col)) {
            pane->SendMessage(WM_VSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(from));
        }
    }
}

BOOL CSplitterWnd::OnMouseWheel(UINT flags, short delta, CPoint point) {
    CWnd* pane = GetActivePane();
    if (pane == nullptr) pane = GetPane(0, 0);
    if (pane == nullptr) return FALSE;
    return pane->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(flags, static_cast<WORD>(delta)), MAKELPARAM(point.x, point.y))
        != 0;
}

void CSplitterWnd::OnDestroy() {
    for (CScrollBar* bar : m_scrollBars) {
        bar->Detach();
        delete bar;
    }
    m_scrollBars.clear();
    CWnd::OnDestroy();
}

CWnd* CSplitterWnd::GetActivePane(int* row, int* col) {
    CWnd* pane = nullptr;
    if (CFrameWnd* frame = GetParentFrame()) pane = frame->GetActiveView();
    if (pane == nullptr || !IsChildPane(pane, nullptr, nullptr)) pane = GetFocus();
    if (!IsChildPane(pane, row, col)) return nullptr;
    return pane;
}

void CSplitterWnd::SetActivePane(int row, int col, CWnd* wnd) {
    CWnd* pane = wnd ? wnd : GetPane(row, col);
    if (pane == nullptr) return;
    CFrameWnd* frame = GetParentFrame();
    if (frame && pane->IsKindOf(RUNTIME_CLASS(CView))) frame->SetActiveView(static_cast<CView*>(pane));
    else pane->SetFocus();
}

bool CSplitterWnd::CanActivateNext(bool) {
    return m_nRows * m_nCols > 1;
}

void CSplitterWnd::ActivateNext(bool previous) {
    int row = 0, col = 0;
    if (GetActivePane(&row, &col) == nullptr) {
        SetActivePane(0, 0);
        return;
    }
    int count = m_nRows * m_nCols;
    int index = row * m_nCols + col;
    index = (index + (previous ? count - 1 : 1)) % count;
    SetActivePane(index / m_nCols, index % m_nCols);
}

// The view's side: its scroll bars are the splitter's shared ones, and the
// next-pane commands step through the splitter's panes.

CScrollBar* CView::GetScrollBarCtrl(int bar) const {
    auto* splitter = dynamic_cast<CSplitterWnd*>(GetParent());
    return splitter ? splitter->GetPaneScrollBar(this, bar) : nullptr;
}

bool CView::OnNextPaneCmd(UINT id) {
    auto* splitter = dynamic_cast<CSplitterWnd*>(GetParent());
    if (splitter == nullptr || !splitter->CanActivateNext(id == CMD_PREVIOUS_PANE)) return false;
    splitter->ActivateNext(id == CMD_PREVIOUS_PANE);
    return true;
}

void CView::OnUpdateNextPaneMenu(CCmdUI* ui) {
    auto* splitter = dynamic_cast<CSplitterWnd*>(GetParent());
    ui->Enable(splitter != nullptr && splitter->CanActivateNext(ui->m_nID == CMD_PREVIOUS_PANE));
}
