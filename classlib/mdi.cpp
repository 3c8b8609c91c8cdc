#include "classlib/mdi.h"

#include "classlib/app.h"
#include "classlib/doc.h"
#include "classlib/menu.h"
#include "classlib/thread_state.h"
#include "classlib/view.h"

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_COMMAND_EX(CMD_ARRANGE_ICONS, OnMDIWindowCmd)
    ON_COMMAND_EX(CMD_CASCADE, OnMDIWindowCmd)
    ON_COMMAND_EX(CMD_TILE_HORIZONTAL, OnMDIWindowCmd)
    ON_COMMAND_EX(CMD_TILE_VERTICAL, OnMDIWindowCmd)
    ON_UPDATE_COMMAND_UI_RANGE(CMD_ARRANGE_ICONS, CMD_TILE_VERTICAL, OnUpdateMDIWindowCmd)
END_MESSAGE_MAP()

bool CMDIFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CFrameWnd::PreCreateWindow(cs)) return false;
    cs.style |= WS_CLIPCHILDREN;
    return true;
}

bool CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT cs, CCreateContext*) {
    HMENU popup = GetWindowMenuPopup(cs->hMenu);
    return CreateClient(cs, popup ? CMenu::FromHandle(popup) : nullptr);
}

bool CMDIFrameWnd::CreateClient(LPCREATESTRUCT cs, CMenu* windowMenu) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | MDIS_ALLCHILDSTYLES;
    DWORD scrollBars = static_cast<DWORD>(cs->style) & (WS_HSCROLL | WS_VSCROLL);
    style |= scrollBars;
    if (scrollBars) ModifyStyle(scrollBars, 0, SWP_NOREDRAW | SWP_FRAMECHANGED);
    CLIENTCREATESTRUCT ccs{ windowMenu ? windowMenu->m_hMenu : nullptr, IDM_WINDOW_LIST_FIRST };
    m_hWndMDIClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, style, 0, 0, 0, 0, m_hWnd,
                                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)),
                                        ModuleInstance(), &ccs);
    return m_hWndMDIClient != nullptr;
}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU menuBar) {
    if (!menuBar) return nullptr;
    int count = ::GetMenuItemCount(menuBar);
    for (int i = count - 1; i >= 0; --i) {
        HMENU popup = ::GetSubMenu(menuBar, i);
        if (!popup) continue;
        int items = ::GetMenuItemCount(popup);
        for (int j = 0; j < items; ++j) {
            UINT id = ::GetMenuItemID(popup, j);
            if ((id >= CMD_NEW_WINDOW && id <= CMD_SPLIT_WINDOW) || (id >= IDM_WINDOW_LIST_FIRST && id != UINT(-1))) {
                return popup;
            }
        }
    }
    return nullptr;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefFrameProcA(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

// The frame lays out its bars and the client itself; the default frame procedure
// would stretch the client over the bars.
void CMDIFrameWnd::OnSize(UINT type, int, int) {
    if (type != SIZE_MINIMIZED) RecalcLayout();
}

void CMDIFrameWnd::OnDestroy() {
    m_hWndMDIClient = nullptr;   // destroyed with its parent; the default procedure must not use it now
    CFrameWnd::OnDestroy();
}

bool CMDIFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam);
    if (!lParam && id >= IDM_WINDOW_LIST_FIRST) {
        // The Window menu's list of child windows.
        DefWindowProc(WM_COMMAND, wParam, lParam);
        return true;
    }
    return CFrameWnd::OnCommand(wParam, lParam);
}

bool CMDIFrameWnd::OnCmdMsg(UINT id, int code, void* extra, CommandHandlerInfo* handlerInfo) {
    RoutingFramePush routing(this);
    if (CMDIChildWnd* child = MDIGetActive()) {
        if (child->OnCmdMsg(id, code, extra, handlerInfo)) return true;
    }
    return CFrameWnd::OnCmdMsg(id, code, extra, handlerInfo);
}

bool CMDIFrameWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
        if (CFrameWnd::PreTranslateMessage(msg)) return true;
        if ((msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && m_hWndMDIClient &&
            ::TranslateMDISysAccel(m_hWndMDIClient, msg)) {
            return true;
        }
    }
    return false;
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame() {
    CMDIChildWnd* child = MDIGetActive();
    return child ? static_cast<CFrameWnd*>(child) : this;
}

void CMDIFrameWnd::OnUpdateFrameTitle(bool addToTitle) {
    if (!(GetStyle() & FWS_ADDTOTITLE)) return;
    CMDIChildWnd* child = MDIGetActive();
    CDocument* doc = GetActiveDocument();
    if (addToTitle && child && !(child->GetStyle() & WS_MAXIMIZE) && doc) {
        int own = m_nWindow;
        m_nWindow = child->m_nWindow;
        UpdateFrameTitleForDocument(doc->GetTitle());
        m_nWindow = own;
    } else {
        UpdateFrameTitleForDocument(nullptr);
    }
}

void CMDIFrameWnd::OnUpdateFrameMenu(HMENU menuAlt) {
    if (!menuAlt) {
        if (CDocument* doc = GetActiveDocument()) menuAlt = doc->GetDefaultMenu();
    }
    if (!menuAlt) {
        CMDIChildWnd* child = MDIGetActive();
        if (child && child->m_hMenuShared) menuAlt = child->m_hMenuShared;
    }
    if (!menuAlt) menuAlt = m_hMenuDefault;
    if (menuAlt) MDISetMenu(menuAlt, GetWindowMenuPopup(menuAlt));
}

HMENU CMDIFrameWnd::MDISetMenu(HMENU frameMenu, HMENU windowMenu) {
    if (!m_hWndMDIClient) return nullptr;
    auto old = reinterpret_cast<HMENU>(::SendMessageA(m_hWndMDIClient, WM_MDISETMENU,
                                                      reinterpret_cast<WPARAM>(frameMenu),
                                                      reinterpret_cast<LPARAM>(windowMenu)));
    ::DrawMenuBar(m_hWnd);
    return old;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* maximized) const {
    if (maximized) *maximized = FALSE;
    if (!m_hWndMDIClient) return nullptr;
    BOOL max = FALSE;
    auto hwnd = reinterpret_cast<HWND>(::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0,
                                                      reinterpret_cast<LPARAM>(&max)));
    CWnd* wnd = FromHandlePermanent(hwnd);
    if (!wnd || !wnd->IsKindOf(RUNTIME_CLASS(CMDIChildWnd))) return nullptr;
    if (maximized) *maximized = max;
    return static_cast<CMDIChildWnd*>(wnd);
}

void CMDIFrameWnd::MDIActivate(CWnd* child) {
    ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child->m_hWnd), 0);
}

void CMDIFrameWnd::MDIMaximize(CWnd* child) {
    ::SendMessageA(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->m_hWnd), 0);
}

void CMDIFrameWnd::MDIRestore(CWnd* child) {
    ::SendMessageA(m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child->m_hWnd), 0);
}

void CMDIFrameWnd::MDINext() { ::SendMessageA(m_hWndMDIClient, WM_MDINEXT, 0, 0); }

void CMDIFrameWnd::MDIPrev() { ::SendMessageA(m_hWndMDIClient, WM_MDINEXT, 0, 1); }

void CMDIFrameWnd::MDICascade() { ::SendMessageA(m_hWndMDIClient, WM_MDICASCADE, 0, 0); }

void CMDIFrameWnd::MDITile(int how) { ::SendMessageA(m_hWndMDIClient, WM_MDITILE, static_cast<WPARAM>(how), 0); }

void CMDIFrameWnd::MDIIconArrange() { ::SendMessageA(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0); }

bool CMDIFrameWnd::OnMDIWindowCmd(UINT id) {
    switch (id) {
    case CMD_ARRANGE_ICONS: MDIIconArrange(); return true;
    case CMD_CASCADE: MDICascade(); return true;
    case CMD_TILE_HORIZONTAL: MDITile(MDITILE_HORIZONTAL); return true;
    case CMD_TILE_VERTICAL: MDITile(MDITILE_VERTICAL); return true;
    default: return false;
    }
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* ui) { ui->Enable(MDIGetActive() != nullptr); }

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_MDIACTIVATE()
    ON_WM_SIZE()
    ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

bool CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CFrameWnd::PreCreateWindow(cs)) return false;
    cs.style |= WS_CHILD;
    return true;
}

bool CMDIChildWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    m_nIDHelp = resourceId;
    CWnd* main = parent ? parent : CurrentMainWindow();
    if (!main || !main->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd))) {
        PostNcDestroy();
        return false;
    }
    if (!Create(nullptr, nullptr, style | WS_CHILD, rectDefault, static_cast<CMDIFrameWnd*>(main), context)) {
        return false;
    }
    LoadAccelTable(MAKEINTRESOURCEA(resourceId));
    return true;
}

bool CMDIChildWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect,
                          CMDIFrameWnd* parent, CCreateContext* context) {
    if (!parent) {
        CWnd* main = CurrentMainWindow();
        if (main && main->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd))) parent = static_cast<CMDIFrameWnd*>(main);
    }
    if (!parent || !parent->m_hWndMDIClient) {
        PostNcDestroy();
        return false;
    }
    CREATESTRUCTA cs{};
    cs.style = static_cast<LONG>(style | WS_CHILD);
    cs.lpszClass = className;
    cs.lpszName = title;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    if (rect.left == CW_USEDEFAULT) cs.cx = cs.cy = CW_USEDEFAULT;
    cs.hwndParent = parent->m_hWnd;
    cs.hInstance = ModuleInstance();
    cs.lpCreateParams = context;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return false;
    }
    // The child appears when its frame is activated (ActivateFrame).
    MDICREATESTRUCTA mcs{};
    mcs.szClass = cs.lpszClass;
    mcs.szTitle = cs.lpszName;
    mcs.hOwner = cs.hInstance;
    mcs.x = cs.x;
    mcs.y = cs.y;
    mcs.cx = cs.cx;
    mcs.cy = cs.cy;
    mcs.style = static_cast<DWORD>(cs.style) & ~(WS_MAXIMIZE | WS_VISIBLE);
    mcs.lParam = reinterpret_cast<LPARAM>(cs.lpCreateParams);
    HookWindowCreation(this);
    HWND hwnd = reinterpret_cast<HWND>(::SendMessageA(parent->m_hWndMDIClient, WM_MDICREATE, 0,
                                                      reinterpret_cast<LPARAM>(&mcs)));
    UnhookWindowCreation();
    return hwnd != nullptr;
}

int CMDIChildWnd::OnCreate(LPCREATESTRUCT cs) {
    auto* mcs = static_cast<MDICREATESTRUCTA*>(cs->lpCreateParams);
    return OnCreateHelper(cs, mcs ? reinterpret_cast<CCreateContext*>(mcs->lParam) : nullptr);
}

bool CMDIChildWnd::DestroyWindow() {
    if (!m_hWnd) return false;
    // The main frame's title names the active document, which may have been this
    // frame's: it is renewed once the frame is gone (the frame may delete itself).
    CMDIFrameWnd* frame = GetMDIFrame();
    MDIDestroy();
    if (frame) frame->DelayUpdateFrameTitle();
    return true;
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = ::DefMDIChildProcA(m_hWnd, message, wParam, lParam);
    // The window menu lists the children by title; not every system renews an entry
    // when its child is retitled, and a new child gets its title only after it was
    // listed, so the list is renewed at once.
    if (message == WM_SETTEXT) {
        if (HWND client = ::GetParent(m_hWnd)) ::SendMessageA(client, WM_MDIREFRESHMENU, 0, 0);
    }
    return result;
}

bool CMDIChildWnd::PreTranslateMessage(MSG* msg) {
    CMDIFrameWnd* frame = GetMDIFrame();
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && m_hAccelTable && frame &&
        ::TranslateAcceleratorA(frame->m_hWnd, m_hAccelTable, msg)) {
        return true;
    }
    return false;
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const {
    HWND client = ::GetParent(m_hWnd);
    CWnd* frame = FromHandlePermanent(client ? ::GetParent(client) : nullptr);
    return frame && frame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)) ? static_cast<CMDIFrameWnd*>(frame) : nullptr;
}

void CMDIChildWnd::MDIDestroy() {
    HWND client = ::GetParent(m_hWnd);
    ::SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIActivate() {
    if (CMDIFrameWnd* frame = GetMDIFrame()) frame->MDIActivate(this);
}

void CMDIChildWnd::MDIMaximize() {
    if (CMDIFrameWnd* frame = GetMDIFrame()) frame->MDIMaximize(this);
}

void CMDIChildWnd::MDIRestore() {
    if (CMDIFrameWnd* frame = GetMDIFrame()) frame->MDIRestore(this);
}

// The default show command keeps the maximised state of the child that was active.
void CMDIChildWnd::ActivateFrame(int showCommand) {
    CMDIFrameWnd* frame = GetMDIFrame();
    bool wasVisible = IsWindowVisible();
    if (showCommand == -1) {
        BOOL maximized = FALSE;
        if (frame) frame->MDIGetActive(&maximized);
        DWORD style = GetStyle();
        if (maximized || (style & WS_MAXIMIZE)) {
            showCommand = SW_SHOWMAXIMIZED;
        } else if (style & WS_MINIMIZE) {
            showCommand = SW_SHOWMINIMIZED;
        }
    }
    CFrameWnd::ActivateFrame(showCommand);
    if (frame) {
        ::SendMessageA(frame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
        if (!wasVisible || frame->MDIGetActive() != this) MDIActivate();
    }
}

void CMDIChildWnd::OnUpdateFrameTitle(bool addToTitle) {
    CDocument* doc = GetActiveDocument();
    if ((GetStyle() & FWS_ADDTOTITLE) && addToTitle && doc) {
        UpdateFrameTitleForDocument(doc->GetTitle());
    } else {
        UpdateFrameTitleForDocument(nullptr);
    }
    if (CMDIFrameWnd* frame = GetMDIFrame()) frame->OnUpdateFrameTitle(true);
}

// The MDI frame shows the menu bar of the active child's document; when the last
// child goes, the frame's own menu comes back.
void CMDIChildWnd::OnUpdateFrameMenu(bool activate, CWnd* activateWnd, HMENU menuAlt) {
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame) return;
    if (activate) {
        if (!menuAlt) {
            if (CDocument* doc = GetActiveDocument()) menuAlt = doc->GetDefaultMenu();
        }
        if (!menuAlt) menuAlt = m_hMenuShared;
        if (menuAlt) frame->MDISetMenu(menuAlt, frame->GetWindowMenuPopup(menuAlt));
    } else if (!activateWnd && frame->m_hMenuDefault) {
        frame->MDISetMenu(frame->m_hMenuDefault, frame->GetWindowMenuPopup(frame->m_hMenuDefault));
    }
}

void CMDIChildWnd::OnMDIActivate(BOOL activate, CWnd* activated, CWnd*) {
    Default();
    CView* view = GetActiveView();
    if (view) view->OnActivateView(activate != FALSE, view, view);
    OnUpdateFrameMenu(activate != FALSE, activated, nullptr);
    if (CMDIFrameWnd* frame = GetMDIFrame()) {
        frame->OnUpdateFrameTitle(true);
        frame->DrawMenuBar();
    }
}

void CMDIChildWnd::OnSize(UINT type, int cx, int cy) {
    CFrameWnd::OnSize(type, cx, cy);
    if (CMDIFrameWnd* frame = GetMDIFrame()) frame->DelayUpdateFrameTitle();
}

int CMDIChildWnd::OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message) {
    int result = static_cast<int>(Default());
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT) return result;
    CMDIFrameWnd* frame = GetMDIFrame();
    if (frame && frame->MDIGetActive() != this) MDIActivate();
    (void)topParent;
    (void)hitTest;
    (void)message;
    return result;
}
