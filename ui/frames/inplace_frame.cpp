#include "ui/frames/inplace_frame.h"

#include <iterator>

#include "classlib/doc.h"
#include "platform/win32/shell.h"
#include "ui/app/main_app.h"
#include "ui/frames/engine_commands.h"
#include "ui/frames/main_frame.h"
#include "ui/menus.h"
#include "ui/resource_ids.h"
#include "ui/toolbox_bar.h"

namespace {

constexpr int kToolboxWidth = 33;  // a 27-pixel button and the bar's borders

CInPlaceFrame* gActiveInPlaceFrame = nullptr;

}  // namespace

IMPLEMENT_DYNCREATE(CInPlaceFrame, COleIPFrameWnd)

BEGIN_MESSAGE_MAP(CInPlaceFrame, COleIPFrameWnd)
    ON_WM_CREATE()
    ON_NOTIFY(TBN_DROPDOWN, AFX_IDW_TOOLBAR, OnToolboxDropDown)
    ON_UPDATE_COMMAND_UI_RANGE(kFirstToolCommand, kLastToolCommand, OnUpdateToolboxCommand)
END_MESSAGE_MAP()

CInPlaceFrame::CInPlaceFrame() { m_bAutoMenuEnable = false; }

// The engine and the platform services run until the main frame goes: an activation
// that ends stops nothing, so the next one finds them running.
CInPlaceFrame::~CInPlaceFrame() {
    if (gActiveInPlaceFrame == this) gActiveInPlaceFrame = nullptr;
}

CInPlaceFrame* CInPlaceFrame::Active() { return gActiveInPlaceFrame; }

// The container's window is no descendant of the main window, so no idle pass reaches this
// bar: the main frame's refresh brings it the current button and the group images.
void CInPlaceFrame::RefreshToolbox(CMainFrame* main) {
    if (!m_toolbox.m_hWnd) return;
    SetBarButtonImage(&m_toolbox, ID_TOOL_ARROW, main->m_arrowVariant);
    SetBarButtonImage(&m_toolbox, ID_TOOL_STRAIGHTEDGE, main->m_straightedgeVariant);
    m_toolbox.OnUpdateCmdUI(this, false);
}

void CInPlaceFrame::OnUpdateToolboxCommand(CCmdUI* cmdUI) {
    if (CMainFrame* main = TheMainFrame()) UpdateToolboxCommand(main, cmdUI);
}

int CInPlaceFrame::OnCreate(LPCREATESTRUCT cs) {
    if (COleIPFrameWnd::OnCreate(cs) == -1) return -1;
    if (!m_resizeBar.Create(this, WS_CHILD | WS_VISIBLE, AFX_IDW_RESIZE_BAR)) return -1;
    m_dropTarget.Register(this);
    gActiveInPlaceFrame = this;
    return 0;
}

bool CInPlaceFrame::OnCreateControlBars(HWND containerFrame, HWND) {
    if (m_toolbox.m_hWnd) return true;
    CWnd* container = CWnd::FromHandle(containerFrame);
    if (!container || !m_toolbox.Create(container, WS_CHILD | WS_VISIBLE | BAR_LEFT, AFX_IDW_TOOLBAR)) return false;
    // The bar lives in the container's window but speaks to this frame.
    m_toolbox.SetBarOwner(this);
    m_toolbox.SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(m_hWnd));
    if (!LoadToolboxButtons(&m_toolbox)) return false;
    m_toolbox.SetBarStyle(m_toolbox.GetBarStyle() | BAR_TOOLTIPS | BAR_FLYBY_PROMPTS | BAR_SIZE_VARIABLE);
    // No dock bar lays it out in the container's frame: one button a row, as docked at
    // the left, or every button but the first lies beyond the bar's width.
    const CSize size = m_toolbox.CalcFixedLayout(false, false);
    const RECT place = ClaimLeftBorder(size.cx > 0 ? static_cast<int>(size.cx) : kToolboxWidth);
    ::SetWindowPos(m_toolbox.m_hWnd, HWND_TOP, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
}

HMENU CInPlaceFrame::BuildInPlaceMenu() {
    // The run-time menu bar, built for the document the first time (which also lets the
    // shell's idle work begin).
    CDocument* doc = GetActiveDocument();
    return doc ? doc->GetDefaultMenu() : RuntimeMenuBar();
}

// The group buttons choose their variant or open their pop-out here as in the main frame.
void CInPlaceFrame::OnToolboxDropDown(NMHDR* note, LRESULT* result) {
    if (CMainFrame* main = TheMainFrame()) ToolboxDropDown(main, reinterpret_cast<NMTOOLBARA*>(note), &m_toolbox);
    *result = TBDDRET_DEFAULT;
}

bool CInPlaceFrame::OnCommand(WPARAM wParam, LPARAM lParam) {
    uint32_t slot = 0;
    if (EngineCommandSlot(wParam, &slot)) {
        RunEngineCommand(slot);
        return true;
    }
    const UINT id = LOWORD(wParam);
    if (id >= kFirstToolCommand && id <= kLastToolCommand) {
        if (CMainFrame* main = TheMainFrame()) RunToolboxCommand(main, id);
        return true;
    }
    return COleIPFrameWnd::OnCommand(wParam, lParam);
}
