#include "classlib/controlbar.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {

// Room around a pane's text.
constexpr int kPanePadding = 8;

int TextWidth(HWND wnd, const char* text) {
    HDC dc = ::GetDC(wnd);
    auto font = reinterpret_cast<HFONT>(::SendMessageA(wnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(wnd, dc);
    return size.cx;
}

}  // namespace

CStatusBar::CStatusBar() {
    m_cyTopBorder = 2;
}

bool CStatusBar::Create(CWnd* parent, DWORD style, UINT id) {
    ::InitCommonControls();
    m_dwStyle = style & BAR_STYLE_MASK;
    DWORD windowStyle = (style & ~BAR_STYLE_MASK) | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;
    if (!CWnd::CreateEx(0, STATUSCLASSNAMEA, nullptr, windowStyle, CRect(0, 0, 100, 20), parent, id)) {
        return false;
    }
    m_pOwner = parent;
    if (parent && parent->IsFrameWnd()) m_pDockSite = static_cast<CFrameWnd*>(parent);
    SetFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)), false);
    return true;
}

bool CStatusBar::SetIndicators(const UINT* ids, int count) {
    if (count < 0 || count > 255) return false;
    m_panes.clear();
    for (int i = 0; i < count; ++i) {
        Pane pane{ids ? ids[i] : ID_SEPARATOR, PANE_NORMAL, 0, CString()};
        if (pane.id != ID_SEPARATOR) {
            if (!pane.text.LoadString(pane.id)) return false;
            pane.width = TextWidth(m_hWnd, pane.text);
        }
        m_panes.push_back(pane);
    }
    if (!m_panes.empty()) m_panes[0].style |= PANE_NO_BORDERS | PANE_STRETCH;
    UpdateAllPanes();
    return true;
}

int CStatusBar::CommandToIndex(UINT id) const {
    for (size_t i = 0; i < m_panes.size(); ++i) {
        if (m_panes[i].id == id) return static_cast<int>(i);
    }
    return -1;
}

UINT CStatusBar::GetItemID(int index) const {
    return index >= 0 && index < GetCount() ? m_panes[static_cast<size_t>(index)].id : 0;
}

void CStatusBar::GetItemRect(int index, RECT* rect) const {
    if (!SendMessage(SB_GETRECT, index, reinterpret_cast<LPARAM>(rect))) ::SetRectEmpty(rect);
}

CString CStatusBar::GetPaneText(int index) const {
    return index >= 0 && index < GetCount() ? m_panes[static_cast<size_t>(index)].text : CString();
}

bool CStatusBar::SetPaneText(int index, const char* text, bool update) {
    if (index < 0 || index >= GetCount()) return false;
    Pane& pane = m_panes[static_cast<size_t>(index)];
    CString value(text ? text : "");
    if (pane.text == value) return true;
    pane.text = value;
    if (update) SendPaneText(index);
    return true;
}

void CStatusBar::GetPaneInfo(int index, UINT& id, UINT& style, int& width) const {
    if (index < 0 || index >= GetCount()) {
        id = style = 0;
        width = 0;
        return;
    }
    const Pane& pane = m_panes[static_cast<size_t>(index)];
    id = pane.id;
    style = pane.style;
    width = pane.width;
}

void CStatusBar::SetPaneInfo(int index, UINT id, UINT style, int width) {
    if (index < 0 || index >= GetCount()) return;
    Pane& pane = m_panes[static_cast<size_t>(index)];
    pane.id = id;
    pane.style = style;
    pane.width = width;
    UpdateAllPanes();
}

UINT CStatusBar::GetPaneStyle(int index) const {
    return index >= 0 && index < GetCount() ? m_panes[static_cast<size_t>(index)].style : 0;
}

void CStatusBar::SetPaneStyle(int index, UINT style) {
    if (index < 0 || index >= GetCount()) return;
    Pane& pane = m_panes[static_cast<size_t>(index)];
    if (pane.style == style) return;
    bool relayout = (pane.style ^ style) & PANE_STRETCH;
    pane.style = style;
    if (relayout) UpdateAllPanes();
    else SendPaneText(index);
}

void CStatusBar::SendPaneText(int index) {
    if (!m_hWnd) return;
    const Pane& pane = m_panes[static_cast<size_t>(index)];
    // A disabled pane keeps its text but shows none.
    const char* shown = (pane.style & PANE_DISABLED) ? "" : static_cast<const char*>(pane.text);
    UINT drawStyle = pane.style & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
    CWnd::DefWindowProc(SB_SETTEXTA, static_cast<WPARAM>(index) | drawStyle, reinterpret_cast<LPARAM>(shown));
}

void CStatusBar::UpdateAllPanes() {
    if (!m_hWnd || m_panes.empty()) return;
    CRect client;
    GetClientRect(&client);
    int fixed = 0;
    for (const Pane& pane : m_panes) {
        if (!(pane.style & PANE_STRETCH)) fixed += pane.width + kPanePadding;
    }
    std::vector<int> edges;
    int x = 0;
    for (const Pane& pane : m_panes) {
        int width = (pane.style & PANE_STRETCH) ? std::max(0, static_cast<int>(client.Width()) - fixed)
                                                : pane.width + kPanePadding;
        x += width;
        edges.push_back(x);
    }
    CWnd::DefWindowProc(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (int i = 0; i < GetCount(); ++i) SendPaneText(i);
}

CSize CStatusBar::CalcFixedLayout(bool stretch, bool horz) {
    CSize size = CControlBar::CalcFixedLayout(stretch, horz);
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, GetFont() ? static_cast<HGDIOBJ>(GetFont()) : ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    int borders[3] = {0, 2, 2};
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    size.cy += metrics.tmHeight + 2 * borders[1] + 4 + m_cyTopBorder + m_cyBottomBorder;
    return size;
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) {
    CBarCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(GetCount());
    for (int i = 0; i < GetCount(); ++i) {
        UINT id = m_panes[static_cast<size_t>(i)].id;
        if (id == ID_SEPARATOR) continue;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nID = id;
        // Indicators have no commands: no handler leaves them as they are.
        state.DoUpdate(target, false);
    }
    (void)disableIfNoHandler;
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam) {
    // The bar's window text is its first pane.
    int index = CommandToIndex(ID_SEPARATOR);
    if (index < 0) index = 0;
    if (GetCount() == 0) return Default();
    return SetPaneText(index, reinterpret_cast<const char*>(lParam)) ? TRUE : FALSE;
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam) {
    int index = CommandToIndex(ID_SEPARATOR);
    if (GetCount() == 0) return Default();
    CString text = GetPaneText(index < 0 ? 0 : index);
    if (wParam == 0) return 0;
    lstrcpynA(reinterpret_cast<char*>(lParam), text, static_cast<int>(wParam));
    return lstrlenA(reinterpret_cast<char*>(lParam));
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM) {
    int index = CommandToIndex(ID_SEPARATOR);
    if (GetCount() == 0) return Default();
    return GetPaneText(index < 0 ? 0 : index).GetLength();
}

void CStatusBar::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    UpdateAllPanes();
}
