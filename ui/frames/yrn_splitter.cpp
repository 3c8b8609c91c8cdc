#include "ui/frames/yrn_splitter.h"

#include <algorithm>

#include "classlib/gdi.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/frames/page_tabs.h"
#include "ui/view/sketch_view.h"

IMPLEMENT_DYNAMIC(CYrnSplitter, CSplitterWnd)

BEGIN_MESSAGE_MAP(CYrnSplitter, CSplitterWnd)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
    ON_WM_SETTINGCHANGE()
    ON_NOTIFY(TCN_SELCHANGE, kPageTabControlId, OnPageTabChange)
END_MESSAGE_MAP()

int32_t DraggedStripWidth(int32_t x, int32_t firstColumnWidth) {
    const int32_t least = std::min(x, firstColumnWidth - 20);
    return least < 6 ? kHiddenStripWidth : least + 2;
}

StripDrop DroppedStripWidth(int32_t width, int32_t firstTabRight, int32_t tabCount) {
    // The natural width: the first tab, and with more pages a glimpse of the second.
    const int32_t natural = firstTabRight + (tabCount < 2 ? 9 : 39);
    if (width < natural / 2) return { kHiddenStripWidth, false };
    return { std::max(width, natural), true };
}

int32_t FittedStripWidth(int32_t lastTabRight, int32_t firstColumnWidth, int32_t margin) {
    return std::min(lastTabRight + 8, firstColumnWidth - margin);
}

int32_t LaidOutStripWidth(int32_t width, int32_t tabCount, int32_t scrollBarWidth) {
    if (tabCount < 2) width = 0;
    return std::min(width, std::max<int32_t>(0, scrollBarWidth - 50));
}

bool DocumentShowsPageTabs(const EngineDocument* document) {
    return document && document->documentValue != 0;
}

void SetDocumentShowsPageTabs(EngineDocument* document, bool show) {
    if (document) document->documentValue = show ? 1 : 0;
}

namespace {
// The tab control adds this much to the height asked for its tabs; without taking it
// off, tabs as tall as the scroll bar would reach above the strip and lose their tops.
constexpr int kTabControlPadding = 4;
}  // namespace

CYrnSplitter::CYrnSplitter() = default;

CYrnSplitter::~CYrnSplitter() {
    delete m_tabs;
    if (m_tabFont) ::DeleteObject(m_tabFont);
}

void CYrnSplitter::MakeTabFont() {
    LOGFONTA lf{};
    lf.lfHeight = -TabFontHeight(::GetSystemMetrics(SM_CYHSCROLL));
    lf.lfPitchAndFamily = FF_SWISS | VARIABLE_PITCH;
    lf.lfCharSet = DEFAULT_CHARSET;
    HFONT font = ::CreateFontIndirectA(&lf);
    if (m_tabs && m_tabs->m_hWnd) m_tabs->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (m_tabFont) ::DeleteObject(m_tabFont);
    m_tabFont = font;
}

bool CYrnSplitter::CreateScrollBarCtrl(DWORD style, UINT id) {
    if (id == IDW_SPLIT_HSCROLL_FIRST && !m_tabs) {
        auto* tabs = new PageTabCtrl;
        const int cy = ::GetSystemMetrics(SM_CYHSCROLL);
        const DWORD tabStyle =
            WS_CHILD | WS_VISIBLE | TCS_OWNERDRAWFIXED | TCS_BOTTOM | TCS_FOCUSNEVER | TCS_SINGLELINE;
        if (!tabs->Create(tabStyle, CRect(0, 0, m_stripWidth, cy), this, kPageTabControlId)) {
            delete tabs;
            return false;
        }
        m_tabs = tabs;
        m_tabs->SetItemSize(CSize(20, cy - kTabControlPadding));
        m_tabs->SetMinTabWidth(20);
        m_tabs->AddTab("1");
        MakeTabFont();
    }
    return CSplitterWnd::CreateScrollBarCtrl(style, id);
}

int32_t CYrnSplitter::FirstColumnWidth() const {
    int cur = 0, min = 0;
    GetColumnInfo(0, cur, min);
    return cur;
}

int32_t CYrnSplitter::TabRight(int index) const {
    if (!m_tabs || !m_tabs->m_hWnd || index < 0 || index >= m_tabs->GetItemCount()) return 0;
    // The control answers false for a tab outside its (possibly empty) window but still
    // gives the tab's place, which is what the strip is sized by.
    RECT r{};
    m_tabs->GetItemRect(index, &r);
    return r.right;
}

bool CYrnSplitter::StripShown() const {
    return m_tabs && m_tabs->m_hWnd && (::GetWindowLongA(m_tabs->m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

CRect CYrnSplitter::SizingBoxRect() const {
    const CRect inside = InsideRect();
    return CRect(m_stripWidth - m_cxSplitterGap + 2, inside.bottom, m_stripWidth + 2,
                 inside.bottom + ::GetSystemMetrics(SM_CYHSCROLL));
}

void CYrnSplitter::RecalcLayout() {
    if (!m_hWnd) return;
    if (!m_pColInfo.empty()) m_pColInfo[0].nMinSize = 23;
    CSplitterWnd::RecalcLayout();
    HWND bar = ::GetDlgItem(m_hWnd, IDW_SPLIT_HSCROLL_FIRST);
    if (!bar) return;
    CRect barRect;
    ::GetWindowRect(bar, &barRect);
    ScreenToClient(&barRect);
    const int tabCount = m_tabs && m_tabs->m_hWnd ? m_tabs->GetItemCount() : 0;
    m_stripWidth = LaidOutStripWidth(m_stripWidth, tabCount, barRect.Width());
    const bool splitBoxShown = m_bDynamic && m_nCols < m_nMaxCols;
    barRect.left += m_stripWidth - (splitBoxShown ? m_cxSplitterGap : 0);
    if (barRect.left > barRect.right) barRect.left = barRect.right;
    ::MoveWindow(bar, barRect.left, barRect.top, barRect.Width(), barRect.Height(), !m_dragging);
    // A strip of no width leaves the control no room at all, wherever it was.
    if (m_tabs && m_tabs->m_hWnd) {
        CRect client;
        GetClientRect(&client);
        const CRect inside = InsideRect();
        // The selected tab is drawn 2 pixels wider on each side than its place, and the
        // control scrolls its tabs when that does not fit: it gets those pixels too.
        const int width = m_stripWidth > m_cxSplitterGap ? m_stripWidth - m_cxSplitterGap + 4 : 0;
        m_tabs->MoveWindow(inside.left, barRect.top, width,
                           std::max<int>(0, client.bottom - barRect.top - 2), !m_dragging);
    }
}

void CYrnSplitter::OnDrawSplitter(CDC* dc, SplitterPart type, const CRect& rect) {
    CSplitterWnd::OnDrawSplitter(dc, type, rect);
    // The split box already stands where the sizing box is (GetHitRect); beside a
    // splitter bar the sizing box is drawn as well.
    if (type == partSplitBar) CSplitterWnd::OnDrawSplitter(dc, partSplitBox, SizingBoxRect());
}

int CYrnSplitter::HitTestButton(CPoint point, bool buttonDown) const {
    if (SizingBoxRect().PtInRect(point)) return buttonDown ? kSizingBoxHit : hitSplitBox;
    const int ht = CSplitterWnd::HitTest(point);
    // The split box lies under the sizing box: it splits nothing.
    return ht == hitSplitBox ? hitNothing : ht;
}

int CYrnSplitter::HitTest(CPoint point) const {
    const int primary = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return HitTestButton(point, (::GetKeyState(primary) & 0x8000) != 0);
}

void CYrnSplitter::GetHitRect(int ht, CRect& rect) {
    if (ht == hitSplitBox) {
        rect = SizingBoxRect();
        return;
    }
    CSplitterWnd::GetHitRect(ht, rect);
    // The bar between the columns keeps clear of the tab strip.
    if (ht == hitColumnBarFirst) m_rectLimit.left = std::max<LONG>(m_rectLimit.left, m_stripWidth + 20);
}

void CYrnSplitter::OnLButtonDown(UINT flags, CPoint point) {
    const int ht = HitTestButton(point, true);
    if (ht == kSizingBoxHit) {
        m_dragging = 1;
        SetCapture();
        return;
    }
    if (ht != hitSplitBox) CSplitterWnd::OnLButtonDown(flags, point);
}

void CYrnSplitter::OnMouseMove(UINT flags, CPoint point) {
    if (!m_dragging) {
        CSplitterWnd::OnMouseMove(flags, point);
        return;
    }
    const int32_t width = DraggedStripWidth(point.x, FirstColumnWidth());
    if (m_tabs && m_tabs->m_hWnd && !StripShown()) m_tabs->ShowWindow(SW_SHOWNA);
    const bool changed = width != m_stripWidth;
    m_stripWidth = width;
    RecalcLayout();
    if (changed) UpdateWindow();
}

void CYrnSplitter::OnLButtonUp(UINT flags, CPoint point) {
    if (!m_dragging) {
        CSplitterWnd::OnLButtonUp(flags, point);
        return;
    }
    m_dragging = 0;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    const int tabCount = m_tabs && m_tabs->m_hWnd ? m_tabs->GetItemCount() : 0;
    const StripDrop drop = DroppedStripWidth(m_stripWidth, TabRight(0), tabCount);
    m_stripWidth = drop.width;
    if (m_tabs && m_tabs->m_hWnd) m_tabs->ShowWindow(drop.shown ? SW_SHOWNA : SW_HIDE);
    SetDocumentShowsPageTabs(gEngine.frontDocument, drop.shown);
    RecalcLayout();
    UpdateWindow();
}

void CYrnSplitter::DeleteAllTabs() {
    if (m_tabs && m_tabs->m_hWnd) m_tabs->DeleteAllItems();
}

void CYrnSplitter::AddTab(const char* text) {
    if (m_tabs && m_tabs->m_hWnd) m_tabs->AddTab(text);
}

void CYrnSplitter::SelectTab(int index) {
    if (m_tabs && m_tabs->m_hWnd) m_tabs->SetCurSel(index);
}

void CYrnSplitter::ShowTabStrip(bool show) {
    if (!m_tabs || !m_tabs->m_hWnd) return;
    if (show) {
        m_tabs->ShowWindow(SW_SHOWNA);
        m_stripWidth = FittedStripWidth(TabRight(m_tabs->GetItemCount() - 1), FirstColumnWidth(), 50);
    } else {
        m_stripWidth = kHiddenStripWidth;
        m_tabs->ShowWindow(SW_HIDE);
    }
    RecalcLayout();
    UpdateWindow();
}

void CYrnSplitter::OnSettingChange(UINT flags, LPCSTR section) {
    CWnd::OnSettingChange(flags, section);
    if (flags == SPI_SETNONCLIENTMETRICS && m_tabs && m_tabs->m_hWnd) {
        MakeTabFont();
        m_tabs->SetItemSize(CSize(20, ::GetSystemMetrics(SM_CYHSCROLL) - kTabControlPadding));
        if (StripShown()) {
            m_stripWidth = FittedStripWidth(TabRight(m_tabs->GetItemCount() - 1), FirstColumnWidth(), 18);
        }
    }
    RecalcLayout();
    UpdateWindow();
}

void CYrnSplitter::UpdateDocumentScrollRanges() {
    CWnd* pane = GetPane(0, 0);
    if (!pane || !pane->IsKindOf(RUNTIME_CLASS(CYRNView))) return;
    if (CFernwickDoc* doc = static_cast<CYRNView*>(pane)->GetFernwickDoc()) doc->UpdateScrollRanges();
}

void CYrnSplitter::OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
    CSplitterWnd::OnHScroll(code, pos, bar);
    UpdateDocumentScrollRanges();
}

void CYrnSplitter::OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
    CSplitterWnd::OnVScroll(code, pos, bar);
    if (code != SB_THUMBPOSITION) UpdateDocumentScrollRanges();
}

BOOL CYrnSplitter::OnMouseWheel(UINT flags, short delta, CPoint point) {
    return CSplitterWnd::OnMouseWheel(flags, delta, point);
}

void CYrnSplitter::OnPageTabChange(NMHDR*, LRESULT* result) {
    if (m_tabs && gEngine.frontDocument) GoToPage(gEngine.frontDocument, m_tabs->GetCurSel());
    if (result) *result = 0;
}
