#include "classlib/controlbar.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CDockBar::CDockBar(bool floating) : m_bFloating(floating) {
    m_bDockBar = true;
}

bool CDockBar::Create(CWnd* parent, DWORD style, UINT id) {
    m_dwStyle = style & BAR_STYLE_MASK;
    DWORD windowStyle = (style & ~BAR_STYLE_MASK) | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (!CWnd::CreateEx(0, ChildWindowClass(), nullptr, windowStyle, CRect(0, 0, 0, 0), parent, id)) {
        return false;
    }
    m_pOwner = parent;
    if (parent && parent->IsFrameWnd()) m_pDockSite = static_cast<CFrameWnd*>(parent);
    return true;
}

void CDockBar::DockControlBar(CControlBar* bar, const RECT* rect) {
    if (bar->m_pDockBar && bar->m_pDockBar != this) bar->m_pDockBar->RemoveControlBar(bar);
    else if (bar->m_pDockBar == this) RemoveControlBar(bar);

    // The row whose band holds the rectangle's leading edge takes the bar.
    size_t insertAt = m_arrBars.size();
    if (rect && !m_bFloating) {
        bool horz = (m_dwStyle & BAR_HORIZONTAL) != 0;
        CRect target(rect);
        ScreenToClient(&target);
        int probe = horz ? target.top : target.left;
        size_t rowStart = 0;
        for (size_t i = 0; i < m_arrBars.size(); ++i) {
            if (m_arrBars[i] != nullptr) continue;
            int low = 32767, high = -32767;
            for (size_t j = rowStart; j < i; ++j) {
                CRect r;
                m_arrBars[j]->GetWindowRect(&r);
                ScreenToClient(&r);
                low = std::min<int>(low, horz ? r.top : r.left);
                high = std::max<int>(high, horz ? r.bottom : r.right);
            }
            if (probe >= low && probe < high) {
                insertAt = i;
                break;
            }
            rowStart = i + 1;
        }
    }
    if (insertAt == m_arrBars.size()) {
        m_arrBars.push_back(bar);
        m_arrBars.push_back(nullptr);
    } else {
        m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(insertAt), bar);
    }

    if (::GetParent(bar->m_hWnd) != m_hWnd) ::SetParent(bar->m_hWnd, m_hWnd);
    if (bar->m_pOwner == nullptr) bar->m_pOwner = m_pOwner;
    bar->m_pDockBar = this;
    if (m_pDockSite) bar->m_pDockSite = m_pDockSite;
    DWORD style = bar->m_dwStyle & ~(BAR_ALIGN_ANY | BAR_FLOATING);
    if (m_bFloating) style |= BAR_FLOATING | (bar->m_dwStyle & BAR_ALIGN_ANY ? bar->m_dwStyle & BAR_ALIGN_ANY : BAR_ALIGN_TOP);
    else style |= m_dwStyle & BAR_ALIGN_ANY;
    bar->SetBarStyle(style);
}

bool CDockBar::RemoveControlBar(CControlBar* bar) {
    auto found = std::find(m_arrBars.begin(), m_arrBars.end(), bar);
    if (found == m_arrBars.end()) return false;
    m_arrBars.erase(found);
    // No empty rows: two row ends in a row, or one at the start, go.
    for (size_t i = 0; i < m_arrBars.size();) {
        if (m_arrBars[i] == nullptr && (i == 0 || m_arrBars[i - 1] == nullptr)) {
            m_arrBars.erase(m_arrBars.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    if (bar->m_pDockBar == this) bar->m_pDockBar = nullptr;
    return true;
}

int CDockBar::GetDockedCount() const {
    return static_cast<int>(std::count_if(m_arrBars.begin(), m_arrBars.end(), [](CControlBar* b) { return b; }));
}

int CDockBar::GetDockedVisibleCount() const {
    return static_cast<int>(std::count_if(m_arrBars.begin(), m_arrBars.end(),
                                          [](CControlBar* b) { return b && b->IsVisible(); }));
}

CControlBar* CDockBar::GetFirstBar() const {
    for (CControlBar* bar : m_arrBars) {
        if (bar) return bar;
    }
    return nullptr;
}

bool CDockBar::Holds(const CControlBar* bar) const {
    return std::find(m_arrBars.begin(), m_arrBars.end(), bar) != m_arrBars.end();
}

CSize CDockBar::CalcFixedLayout(bool stretch, bool horz) {
    // Rows of bars from the dock bar's inside edge outwards; each bar at its own
    // docked size, side by side along the row.
    int along = 0;
    int across = 0;
    int rowThickness = 0;
    int longest = 0;
    for (CControlBar* bar : m_arrBars) {
        if (bar == nullptr) {
            across += rowThickness;
            longest = std::max(longest, along);
            along = rowThickness = 0;
            continue;
        }
        if (!bar->IsVisible()) continue;
        DWORD mode = horz ? (LM_HORZ | LM_DOCKED_HORZ) : LM_DOCKED_VERT;
        CSize size = bar->CalcDynamicLayout(-1, mode);
        CRect place = horz ? CRect(CPoint(along, across), size) : CRect(CPoint(across, along), size);
        CRect now;
        bar->GetWindowRect(&now);
        ScreenToClient(&now);
        if (now != place) {
            ::SetWindowPos(bar->m_hWnd, nullptr, place.left, place.top, place.Width(), place.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
        along += horz ? size.cx : size.cy;
        rowThickness = std::max<int>(rowThickness, horz ? size.cy : size.cx);
    }
    across += rowThickness;
    longest = std::max(longest, along);
    if (stretch) longest = 32767;
    return horz ? CSize(longest, across) : CSize(across, longest);
}

void CDockBar::OnUpdateCmdUI(CFrameWnd*, bool) {
    // The docked bars are windows of their own and update themselves.
}

void CDockBar::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    ::FillRect(dc, &ps.rcPaint, ::GetSysColorBrush(COLOR_BTNFACE));
    ::EndPaint(m_hWnd, &ps);
}
