#include "ui/frames/main_frame.h"

#include "classlib/menu.h"
#include "engine/core/engine_startup.h"
#include "engine/core/memory.h"
#include "engine/core/random.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/motions.h"
#include "engine/core/sketch.h"
#include "engine/core/status_text.h"
#include "engine/core/sketch_keys.h"
#include "engine/interact/command_state.h"
#include "engine/interact/command_table.h"
#include "engine/interact/motion.h"
#include "engine/interact/pick_session.h"
#include "engine/interact/selection_census.h"
#include "platform/win32/clipboard.h"
#include "platform/win32/shell.h"
#include "ui/app/main_app.h"
#include "ui/doc/document_services.h"
#include "ui/dialogs/yrn_dialog.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/engine_calls.h"
#include "ui/frames/engine_commands.h"
#include "ui/menus.h"
#include "ui/input_state.h"
#include "ui/resource_ids.h"
#include "ui/view/sketch_view.h"
#include "ui/splash/splash_wnd.h"

namespace {

constexpr UINT_PTR kScreenSaverTimer = 1;
constexpr uint32_t kKeepExceptToolMask = 14;
constexpr uint32_t kActivityToolInProgress = 1;
constexpr uint32_t kQuitMenuCode = 15;
constexpr uint16_t kStepToolForward = kKeyRight;
constexpr int32_t kHelpTopicsTopic = 1;
constexpr int32_t kHelpMenuItemTopic = 44;


UINT_PTR gMenuIdleTimer = 0;
bool gMenuIdleSkip = false;


}  // namespace

IMPLEMENT_DYNCREATE(CMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_TIMER()
    ON_WM_DRAWCLIPBOARD()
    ON_WM_CHANGECBCHAIN()
    ON_WM_ACTIVATEAPP()
    ON_WM_ACTIVATE()
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(kRaiseFloatingBarsMessage, OnRaiseFloatingBars)
    ON_WM_INITMENU()
    ON_WM_INITMENUPOPUP()
    ON_WM_EXITMENULOOP()
    ON_MESSAGE(StatusPromptMessage, OnSetMessageString)
    ON_WM_SYSCOMMAND()
    ON_WM_HELPINFO()
    ON_COMMAND(CMD_HELP_TOPICS, OnHelpCommand)
    ON_COMMAND(ID_HELP, OnHelpCommand)
    ON_COMMAND(CMD_DEFAULT_HELP, OnHelpCommand)
    ON_COMMAND_RANGE(kHelpMenuFirst, kHelpMenuLast, OnHelpMenuItem)
    ON_COMMAND(kArcSegmentCommand, OnArcSegment)
    ON_COMMAND_RANGE(kFirstToolCommand, kLastToolCommand, OnToolboxCommand)
    ON_COMMAND_RANGE(kMotionAnimateId, kMotionSpinId, OnAnimateCommand)
    ON_UPDATE_COMMAND_UI_RANGE(kFirstToolCommand, kLastToolCommand, OnUpdateToolboxCommand)
    ON_NOTIFY(TBN_DROPDOWN, AFX_IDW_TOOLBAR, OnToolboxDropDown)
    ON_COMMAND(kColorPopupCommand, OnColorPopupCommand)
    ON_COMMAND_RANGE(kFirstColorSwatchCommand, kFirstColorSwatchCommand + kColorSwatchCount - 1, OnColorSwatch)
    ON_COMMAND_RANGE(kFirstOverbarCommand, kLastOverbarCommand, OnOverbar)
    ON_UPDATE_COMMAND_UI_RANGE(kFirstOverbarCommand, kLastOverbarCommand, OnUpdateOverbar)
    ON_COMMAND_RANGE(kFirstNotationCommand, kLastNotationCommand, OnNotationEdit)
    ON_UPDATE_COMMAND_UI_RANGE(kFirstNotationCommand, kLastNotationCommand, OnUpdateEditorCommand)
    ON_COMMAND(kSymbolMenuCommand, OnSymbolMenu)
    ON_UPDATE_COMMAND_UI(kSymbolMenuCommand, OnUpdateEditorCommand)
    ON_COMMAND(kNotationToggleCommand, OnToggleNotationBar)
    ON_UPDATE_COMMAND_UI(kNotationToggleCommand, OnUpdateToggleNotationBar)
    ON_WM_MEASUREITEM()
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CMainFrame::CMainFrame() {
    // Menu items keep the states the run-time menus and the command states give them.
    m_bAutoMenuEnable = false;
    SetRandomSeed(GetTickCount());
}

CMainFrame::~CMainFrame() {
    if (m_symbolFont) DeleteObject(m_symbolFont);
}

bool CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CMDIFrameWnd::PreCreateWindow(cs)) return false;
    cs.lpszClass = kMainWindowClass;
    cs.style |= WS_HSCROLL | WS_VSCROLL;
    return true;
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs) {
    if (CMDIFrameWnd::OnCreate(cs) == -1) return -1;

    m_toolbox = new ToolboxBar;
    // Tool tips are asked for at creation: the bar's tip window is made with the bar.
    if (!m_toolbox->Create(this, WS_CHILD | WS_VISIBLE | BAR_LEFT | BAR_TOOLTIPS | BAR_FLYBY_PROMPTS, AFX_IDW_TOOLBAR)) {
        return -1;
    }
    if (!LoadToolboxButtons(m_toolbox)) return -1;

    static const UINT indicators[] = { ID_SEPARATOR };
    if (!m_statusBar.Create(this, WS_CHILD | WS_VISIBLE | BAR_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_statusBar.SetIndicators(indicators, 1)) {
        return -1;
    }

    m_toolbox->SetBarStyle(m_toolbox->GetBarStyle() | BAR_TOOLTIPS | BAR_FLYBY_PROMPTS | BAR_SIZE_VARIABLE);
    m_toolbox->EnableDocking(BAR_ALIGN_ANY);
    // The custom-tool button keeps the width of the others: the bar draws no drop-down
    // arrows, so a wider button only shows its picture out of line with the column.

    EnableDocking(BAR_ALIGN_ANY);
    DockControlBar(m_toolbox, IDW_DOCK_LEFT);
    if (!CreatePalettes()) return -1;

    CreateMenuLists();
    SetMenuAcceleratorTable(&m_hAccelTable);
    m_timerId = SetTimer(kScreenSaverTimer, 1000);
    if (!UsesClipboardPolling()) JoinClipboardChain(m_hWnd, &m_clipboardViewer);
    SplashWnd::Show(this, false);

    m_toolboxLayout = CopyDefaultToolboxLayout();
    ToolboxEntry* previous = nullptr;
    const int32_t installed = m_toolboxLayout ? InstallToolbox(m_toolboxLayout, &previous) : 300;
    FreeMemory(previous);
    if (installed == 300 || installed == 35) PostQuitMessage(0);

    m_currentToolboxButton = 0;
    m_arrowVariant = 0;
    m_straightedgeVariant = 5;
    m_created = 1;
    return 0;
}

bool CMainFrame::CreatePalettes() {
    if (!m_scriptView.CreateBar(this) || !m_textPalette.CreatePalette(this, false) || !m_notationBar.CreateBar(this, false) ||
        !m_motionController.CreateBar(this, false))
        return false;
    m_motionController.LayoutControls();

    ::LockWindowUpdate(::GetDesktopWindow());
    m_textPalette.EnableDocking(BAR_ALIGN_TOP | BAR_ALIGN_BOTTOM);
    DockControlBar(&m_textPalette, IDW_DOCK_BOTTOM);
    ShowControlBar(&m_textPalette, false, false);
    m_notationBar.EnableDocking(BAR_ALIGN_ANY);
    ShowControlBar(&m_notationBar, false, false);
    m_notationBar.placedByUser = false;

    CRect frame;
    GetWindowRect(&frame);
    m_motionController.EnableDocking(BAR_ALIGN_TOP | BAR_ALIGN_BOTTOM);
    FloatControlBar(&m_motionController, CPoint(frame.left + 43, frame.bottom - 45 - 40));
    ShowControlBar(&m_motionController, false, false);
    m_scriptView.EnableDocking(0);
    // The floating Script View is sized from any edge or corner.
    delete m_scriptView.m_pDockContext;
    m_scriptView.m_pDockContext = new ScriptViewDockContext(&m_scriptView);
    FloatControlBar(&m_scriptView, CPoint(frame.right - 27 - 180, frame.top + 47));
    m_scriptView.CalcDynamicLayout(180, LM_HORZ);
    if (CFrameWnd* floating = m_scriptView.GetParentFrame(); floating && floating != this) {
        floating->ModifyStyle(MFS_4THICKFRAME, 0);
        floating->RecalcLayout();
        CRect placed;
        floating->GetWindowRect(&placed);
        floating->SetWindowPos(nullptr, frame.right - 27 - placed.Width(), frame.top + 47, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowControlBar(&m_scriptView, false, false);
    ::LockWindowUpdate(nullptr);
    return true;
}

void CMainFrame::OnDestroy() {
    // The bars going with the window tell the engine nothing from here on.
    m_created = 0;
    LeaveClipboardChain(m_hWnd, &m_clipboardViewer);
    if (m_timerId) KillTimer(m_timerId);
    m_timerId = 0;
    if (m_toolbox) {
        m_toolbox->DestroyWindow();
        delete m_toolbox;
        m_toolbox = nullptr;
    }
    ToolboxEntry* previous = nullptr;
    InstallToolbox(nullptr, &previous);
    FreeMemory(previous);
    m_toolboxLayout = nullptr;
    StopMenuIdleTimer();
    SetMenuAcceleratorTable(nullptr);
    DestroyMenuLists();
    StopEngineAndServices();
    CMDIFrameWnd::OnDestroy();
}

void CMainFrame::OnClose() { CMDIFrameWnd::OnClose(); }

void CMainFrame::OnActivate(UINT state, CWnd* other, BOOL minimized) {
    CMDIFrameWnd::OnActivate(state, other, minimized);
    // Under Wine the activated frame can cover its own floating bars on the screen once
    // the activation is done; they are put back on top then, where owned windows belong.
    if (state != WA_INACTIVE) PostMessage(kRaiseFloatingBarsMessage);
}

int CMainFrame::OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message) {
    // A click anywhere in the frame raises it on the screen too.
    PostMessage(kRaiseFloatingBarsMessage);
    return CMDIFrameWnd::OnMouseActivate(topParent, hitTest, message);
}

LRESULT CMainFrame::OnRaiseFloatingBars(WPARAM, LPARAM) {
    for (CControlBar* bar : { static_cast<CControlBar*>(&m_motionController), static_cast<CControlBar*>(&m_textPalette),
                              static_cast<CControlBar*>(&m_notationBar), static_cast<CControlBar*>(&m_scriptView) }) {
        if (!bar->m_hWnd || !bar->IsFloating() || !(bar->GetStyle() & WS_VISIBLE)) continue;
        if (HWND floating = ::GetAncestor(bar->m_hWnd, GA_ROOT))
            ::SetWindowPos(floating, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return 0;
}

bool CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam) {
    uint32_t slot = 0;
    if (EngineCommandSlot(wParam, &slot)) {
        RunEngineCommand(slot);
        return true;
    }
    return CMDIFrameWnd::OnCommand(wParam, lParam);
}

bool CMainFrame::PreTranslateMessage(MSG* msg) {
    if (MenuIdleTimerRunning() && !PrimaryButtonDown()) StopMenuIdleTimer();
    // The print preview's keys are the library's own: no engine command reaches a sketch
    // hidden behind it.
    if (m_lpfnCloseProc) return CMDIFrameWnd::PreTranslateMessage(msg);

    switch (msg->message) {
    case WM_MBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        if (IsToolboxVisible()) {
            SketchScope scope(gEngine.frontSketch);
            HandleViewCommand(kStepToolForward, kKeyStepsToolbox);
            return true;
        }
        break;
    case WM_KEYDOWN:
        if (KeyHeld(VK_CONTROL) && msg->wParam != VK_CONTROL) {
            if (const UINT id = LookupCtrlKeyCommand(static_cast<UINT>(msg->wParam), KeyHeld(VK_SHIFT))) {
                SendMessage(WM_COMMAND, id);
                return true;
            }
        }
        if (FocusIsEdit(::GetFocus())) {
            if (msg->wParam == VK_BACK) {
                ::SendMessageA(::GetFocus(), WM_CHAR, 8, 0);
                return true;
            }
            if (msg->wParam == VK_DELETE) {
                ::SendMessageA(::GetFocus(), WM_KEYDOWN, VK_DELETE, 0);
                return true;
            }
            break;
        }
        if (TranslateSpecialKey(static_cast<uint32_t>(msg->wParam))) return true;
        break;
    case WM_SYSCHAR:
        if (KeyHeld(VK_MENU)) {
            if (const UINT id = LookupAltKeyCommand(static_cast<char>(msg->wParam))) {
                SendMessage(WM_COMMAND, id);
                return true;
            }
        }
        break;
    case WM_SYSKEYDOWN:
        if (TranslateSpecialKey(static_cast<uint32_t>(msg->wParam))) return true;
        break;
    default:
        break;
    }
    return CMDIFrameWnd::PreTranslateMessage(msg);
}

void CMainFrame::GetMessageString(UINT id, CString& message) const {
    if (id >= kEngineCommandFirst && id <= kEngineCommandLast) {
        message = EngineCommandPrompt(id - kEngineCommandFirst);
        return;
    }
    if (id >= kHelpMenuFirst && id <= kHelpMenuLast) {
        message = HelpItemPrompt();
        return;
    }
    CMDIFrameWnd::GetMessageString(id, message);
}

// Where the class library would show its idle text (after a fly-by prompt or a menu) the
// status line shows the engine's text again, the tool's or the hover prompt, which is
// not sent again until it changes.
LRESULT CMainFrame::OnSetMessageString(WPARAM id, LPARAM text) {
    if (id == IDS_LIB_READY && text == 0) {
        const char* engineText = nullptr;
        FetchStatusText(&engineText);
        return CMDIFrameWnd::OnSetMessageString(0, reinterpret_cast<LPARAM>(engineText ? engineText : ""));
    }
    return CMDIFrameWnd::OnSetMessageString(id, text);
}

void CMainFrame::SetStatusText(const char* text) {
    if (!m_created) return;
    m_statusBar.SetPaneText(0, text ? text : "", true);
}

void CMainFrame::ReportClipboardFormats() {
    // A clipboard viewer has been told already.
    if (UsesClipboardPolling()) UpdatePasteAvailability();
}

void CMainFrame::OnDrawClipboard() {
    UpdatePasteAvailability();
    PassDrawClipboard(m_clipboardViewer);
}

void CMainFrame::OnChangeCbChain(HWND removed, HWND after) { PassChangeCbChain(&m_clipboardViewer, removed, after); }

bool UsesClipboardPolling() {
    const auto form = LaterForms().window.usesClipboardPolling;
    return !form || form();
}

bool CMainFrame::IsToolboxVisible() const {
    return m_toolbox && m_toolbox->m_hWnd && (m_toolbox->GetStyle() & WS_VISIBLE) != 0;
}

void CMainFrame::OnTimer(UINT_PTR id) {
    if (id == kScreenSaverTimer) {
        BOOL running = FALSE;
        SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
        if (CMainApp* app = TheApp()) app->m_idleSuspended[0] = running ? 1 : 0;
    }
    Default();
}

void CMainFrame::OnActivateApp(BOOL active, DWORD threadId) {
    CMDIFrameWnd::OnActivateApp(active, threadId);
    CYRNView* view = m_activeDocument ? m_activeDocument->FrontView() : nullptr;
    POINT cursor;
    GetCursorPos(&cursor);
    if (active) {
        if (gEngine.frontSketch && view && view->m_hWnd) {
            POINT client = cursor;
            view->ScreenToClient(&client);
            view->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
        }
        ReportClipboardFormats();
        // A sketch-interactive dialog that is up takes its pick hook back.
        if (DialogActiveFlag() && InteractiveChainHead())
            InteractiveChainHead()->Window()->SendMessage(WM_ACTIVATE, WA_ACTIVE, 0);
        return;
    }
    EndActivitiesExcept(kKeepExceptToolMask);
    if (GetMouseState() != 0 && view && view->m_hWnd) {
        POINT client = cursor;
        view->ScreenToClient(&client);
        if (PrimaryButtonDown() && gEngine.frontSketch) {
            view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
        } else if (gEngine.frontSketch) {
            SketchScope scope(gEngine.frontSketch);
            SketchMouseUp(0, view->DeviceToSketchPoint(client.x, client.y));
        }
    }
    // While the program is in the background, a modal sketch-interactive dialog is the
    // only window that takes input, as with any other modal dialog.
    InteractiveDialog* head = InteractiveChainHead();
    if (head && DialogActiveFlag() && (head->Window()->m_nFlags & WINDOW_IN_MODAL_LOOP)) {
        EnableWindow(false);
        head->Window()->EnableWindow(true);
    }
}

void CMainFrame::OnInitMenu(CMenu* menu) {
    Sketch* front = gEngine.frontSketch;
    const bool toolInProgress = front && (ActivityWord() & kActivityToolInProgress);
    EndActivitiesExcept(kKeepExceptToolMask);
    if (front) {
        if (toolInProgress && m_activeDocument) m_activeDocument->InvalidateViews(true, true, false);
        SketchScope scope(front);
        UpdateFontPopupItem();
        SetShiftState(KeyHeld(VK_SHIFT) ? 1 : 0);
        CmdStateRefreshNow();
        RefreshMenuKeyTexts();
        StartMenuIdleTimer();
    }
    CMDIFrameWnd::OnInitMenu(menu);
}

void CMainFrame::OnInitMenuPopup(CMenu* popup, UINT index, BOOL sysMenu) {
    CMDIFrameWnd::OnInitMenuPopup(popup, index, sysMenu);
    if (popup && !sysMenu) MarkFontMenu(popup->m_hMenu);
}

void CMainFrame::OnExitMenuLoop(BOOL trackPopup) {
    if (m_activeDocument) {
        m_activeDocument->m_menuJustClosed = 1;
        if (PrimaryButtonDown()) {
            MSG pending;
            while (PeekMessageA(&pending, m_hWnd, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE)) {
            }
        }
    }
    CMDIFrameWnd::OnExitMenuLoop(trackPopup);
}

void CMainFrame::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) != SC_CLOSE) {
        CMDIFrameWnd::OnSysCommand(id, lParam);
        return;
    }
    uint32_t row = 0;
    uint32_t slot = 0;
    if (MenuCodeToCommandRow(kQuitMenuCode, &row) && CmdStateFindItem(row, &slot)) {
        RunEngineCommand(slot);
        return;
    }
    // Menus without a Quit item (their build ran short of memory) still let the close
    // box quit: it posts the Quit command's own request (save the preferences, really quit).
    RequestAppQuit(1, 1);
}

BOOL CMainFrame::OnHelpInfo(HELPINFO* info) {
    if (info && info->iContextType == HELPINFO_MENUITEM) {
        OpenHelpTopic(kHelpMenuItemTopic);
        return TRUE;
    }
    return CMDIFrameWnd::OnHelpInfo(info);
}

void CMainFrame::OnArcSegment() { RunArcSegmentCommand(m_hWnd); }

void CMainFrame::OnToolboxCommand(UINT id) { RunToolboxCommand(this, id); }

void CMainFrame::OnAnimateCommand(UINT id) {
    if (m_motionController.m_hWnd) m_motionController.OnAnimateCommand(id);
}

void CMainFrame::OnUpdateToolboxCommand(CCmdUI* cmdUI) { UpdateToolboxCommand(this, cmdUI); }

void CMainFrame::OnToolboxDropDown(NMHDR* note, LRESULT* result) {
    ToolboxDropDown(this, reinterpret_cast<NMTOOLBARA*>(note));
    *result = TBDDRET_DEFAULT;
}

void CMainFrame::OnHelpCommand() { OpenHelpTopic(kHelpTopicsTopic); }

void CMainFrame::OnHelpMenuItem(UINT id) { OpenHelpMenuLink(static_cast<int32_t>(id - kHelpMenuFirst)); }

void StartMenuIdleTimer() {
    if (!gMenuIdleTimer) gMenuIdleTimer = SetTimer(nullptr, 0, 20, MenuIdleTimerProc);
}

void StopMenuIdleTimer() {
    if (gMenuIdleTimer) KillTimer(nullptr, gMenuIdleTimer);
    gMenuIdleTimer = 0;
}

bool MenuIdleTimerRunning() { return gMenuIdleTimer != 0; }

void CALLBACK MenuIdleTimerProc(HWND, UINT, UINT_PTR, DWORD time) {
    if (gMenuIdleSkip) {
        gMenuIdleSkip = false;
        return;
    }
    if (AlertShowing()) return;
    IdleUpdate(0);
    if (GetTickCount() - time > 20) gMenuIdleSkip = true;
}

