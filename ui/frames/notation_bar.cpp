#include "ui/frames/notation_bar.h"

#include "classlib/frame.h"
#include "ui/resource_ids.h"

IMPLEMENT_DYNAMIC(NotationBar, CToolBar)

BEGIN_MESSAGE_MAP(NotationBar, CToolBar)
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

bool NotationBar::CreateBar(CFrameWnd* frame, bool largeButtons) {
    const DWORD style = WS_CHILD | BAR_TOP | BAR_TOOLTIPS | BAR_FLYBY_PROMPTS | BAR_HIDE_IN_PLACE | BAR_SIZE_VARIABLE;
    if (!Create(frame, style, IDW_NOTATION_BAR)) return false;
    const int image = largeButtons ? 24 : 16;
    SetSizes(CSize(image + 7, image + 6), CSize(image, image));
    if (!LoadBitmap(largeButtons ? IDB_NOTATION_BAR_LARGE : IDB_NOTATION_BAR)) return false;
    static const UINT buttons[19] = {
        32800, 32801, 32802, 32803, ID_SEPARATOR, 32804, 32805, 32806, 32807, ID_SEPARATOR,
        32808, 32809, 32810, 32811, ID_SEPARATOR, 32812, 32813, 32814, kSymbolMenuCommand,
    };
    if (!SetButtons(buttons, 19)) return false;
    CString title;
    title.LoadString(IDS_NOTATION_BAR);
    SetWindowText(title);
    SetWindowPos(nullptr, 0, 0, 200, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    placedByUser = false;
    return true;
}

void NotationBar::OnWindowPosChanged(WINDOWPOS* pos) {
    Default();
    if (pos && !(pos->flags & SWP_NOMOVE)) placedByUser = true;
}

void NotationBar::OnLButtonDown(UINT flags, CPoint point) {
    // The symbol menu opens on the press, not after the button's own tracking.
    const int index = CommandToIndex(kSymbolMenuCommand);
    RECT button{};
    if (index >= 0) GetItemRect(index, &button);
    if (index >= 0 && PtInRect(&button, point)) {
        if (CWnd* owner = GetBarOwner()) owner->SendMessage(WM_COMMAND, kSymbolMenuCommand);
        return;
    }
    CToolBar::OnLButtonDown(flags, point);
}

// ---- Sizing the floating Script View -------------------------------------------------------

namespace {

BarSize AskLayout(void* bar, int32_t length, bool byHeight) {
    const CSize size = static_cast<CControlBar*>(bar)->CalcDynamicLayout(length, LM_HORZ | (byHeight ? LM_LENGTHY : 0));
    return { size.cx, size.cy };
}

BarRect ToBarRect(const RECT& r) { return { r.left, r.top, r.right, r.bottom }; }

}  // namespace

void ScriptViewDockContext::StartResize(int hitTest, CPoint point) {
    m_bDragging = false;
    m_nHitTest = hitTest;
    InitLoop();
    const CSize size = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
    CRect bar;
    m_pBar->GetWindowRect(&bar);
    bar.right = bar.left + size.cx;
    bar.bottom = bar.top + size.cy;
    m_rectRequestedSize = m_rectActualSize = m_rectDragHorz = m_rectDragVert = bar;
    RECT frame = bar;
    ::AdjustWindowRectEx(&frame, WS_CAPTION | WS_THICKFRAME, FALSE, 0);
    ::InflateRect(&frame, -1, -1);
    m_rectActualFrameSize = m_rectFrameDragHorz = m_rectFrameDragVert = frame;
    m_sizeFrameBorders = CSize((frame.right - frame.left) - bar.Width(), (frame.bottom - frame.top) - bar.Height());
    insets_ = RECT{ bar.left - frame.left, bar.top - frame.top, frame.right - bar.right, frame.bottom - bar.bottom };
    requestedFrame_ = ToBarRect(frame);
    m_ptStart = point;
    Stretch(point);
    Track();
}

void ScriptViewDockContext::Stretch(CPoint point) {
    const int dx = point.x - m_ptStart.x, dy = point.y - m_ptStart.y;
    const int h = m_nHitTest;
    const bool left = h == HTLEFT || h == HTTOPLEFT || h == HTBOTTOMLEFT;
    const bool top = h == HTTOP || h == HTTOPLEFT || h == HTTOPRIGHT;
    // The request follows the mouse; what is shown is what the bar's layout allows of it.
    if (left) requestedFrame_.left += dx;
    else requestedFrame_.right += dx;
    if (top) requestedFrame_.top += dy;
    else requestedFrame_.bottom += dy;
    const BarRect actual = ToBarRect(m_rectActualFrameSize);
    const int32_t towardX = left ? requestedFrame_.left - actual.left : requestedFrame_.right - actual.right;
    const int32_t towardY = top ? requestedFrame_.top - actual.top : requestedFrame_.bottom - actual.bottom;
    RECT desktop{};
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    const BarRect r = StretchFloatingFrame(h, actual, { m_sizeFrameBorders.cx, m_sizeFrameBorders.cy }, towardX, towardY,
                                           AskLayout, m_pBar, ToBarRect(desktop));
    m_rectActualFrameSize = CRect(r.left, r.top, r.right, r.bottom);
    m_rectActualSize = CRect(r.left + insets_.left, r.top + insets_.top, r.right - insets_.right, r.bottom - insets_.bottom);
    m_ptStart = point;
    DrawFocusRect();
}
