#include "classlib/frame.h"

#include "classlib/app.h"
#include "classlib/doc.h"
#include "classlib/menu.h"
#include "classlib/thread_state.h"
#include "classlib/view.h"

const RECT CFrameWnd::rectDefault = { static_cast<LONG>(CW_USEDEFAULT), static_cast<LONG>(CW_USEDEFAULT), 0, 0 };

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_INITMENUPOPUP()
    ON_WM_MENUSELECT()
    ON_WM_ENTERIDLE()
    ON_WM_DROPFILES()
    ON_WM_SETCURSOR()
    ON_WM_QUERYENDSESSION()
    ON_WM_ENDSESSION()
    ON_MESSAGE(StatusPromptMessage, OnSetMessageString)
    ON_MESSAGE(IdleUpdateMessage, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_DDE_INITIATE, OnDDEInitiate)
    ON_MESSAGE(WM_DDE_EXECUTE, OnDDEExecute)
    ON_MESSAGE(WM_DDE_TERMINATE, OnDDETerminate)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() = default;

// The accelerator table is not destroyed here: a table loaded from resources
// belongs to the module, and a program that builds its own replaces (and frees) it.
CFrameWnd::~CFrameWnd() = default;

bool CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass) cs.lpszClass = FrameWindowClass();
    return true;
}

bool CFrameWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect,
                       CWnd* parent, const char* menuName, DWORD exStyle, CCreateContext* context) {
    m_strTitle = title;
    HMENU menu = nullptr;
    if (menuName) menu = ::LoadMenuA(ResourceModule(), menuName);
    if (!CreateEx(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr, menu, context)) {
        if (menu) ::DestroyMenu(menu);
        return false;
    }
    return true;
}

bool CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    m_nIDHelp = resourceId;
    CString full;
    full.LoadString(resourceId);
    ExtractField(m_strTitle, full, 0);
    // The menu resource is optional: a frame without one has no menu bar.
    if (!Create(nullptr, m_strTitle, style, rectDefault, parent, MAKEINTRESOURCEA(resourceId), 0, context)) {
        return false;
    }
    m_hMenuDefault = ::GetMenu(m_hWnd);
    LoadAccelTable(MAKEINTRESOURCEA(resourceId));
    if (!context) SendMessageToDescendants(InitialUpdateMessage, 0, 0, true, true);
    return true;
}

bool CFrameWnd::LoadAccelTable(const char* name) {
    if (m_hAccelTable) return false;
    m_hAccelTable = ::LoadAcceleratorsA(ResourceModule(), name);
    return m_hAccelTable != nullptr;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT cs) {
    return OnCreateHelper(cs, static_cast<CCreateContext*>(cs->lpCreateParams));
}

int CFrameWnd::OnCreateHelper(LPCREATESTRUCT cs, CCreateContext* context) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    if (!OnCreateClient(cs, context)) return -1;
    PostMessage(StatusPromptMessage, IDS_LIB_READY);
    RecalcLayout();
    return 0;
}

bool CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* context) {
    if (context && context->m_pNewViewClass) {
        return CreateView(context, AFX_IDW_PANE_FIRST) != nullptr;
    }
    return true;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
    CObject* made = context->m_pNewViewClass->CreateObject();
    if (!made || !made->IsKindOf(RUNTIME_CLASS(CWnd))) {
        delete made;
        return nullptr;
    }
    CWnd* view = static_cast<CWnd*>(made);
    RECT none = { 0, 0, 0, 0 };
    // A view that fails to create deletes itself on the way out (PostNcDestroy).
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, none, this, id, context)) return nullptr;
    return view;
}

void CFrameWnd::PostNcDestroy() { delete this; }

void CFrameWnd::OnDestroy() { CWnd::OnDestroy(); }

// The main window's close saves and closes every document first; a frame of a
// document asks the document whether it may close (its last frame closes it).
void CFrameWnd::OnClose() {
    if (m_lpfnCloseProc) {
        m_lpfnCloseProc(this);
        return;
    }
    CWinApp* app = CurrentApp();
    CDocument* doc = m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
    if (doc && !doc->CanCloseFrame(this)) return;
    if (app && app->m_pMainWnd == this) {
        if (!doc && !app->SaveAllModified()) return;
        app->HideApplication();
        app->CloseAllDocuments(false);
        if (!app->m_pMainWnd) return;
    }
    if (doc && doc->m_bAutoDelete) {
        bool otherFrame = false;
        for (POSITION pos = doc->GetFirstViewPosition(); pos;) {
            CView* view = doc->GetNextView(pos);
            if (view->GetParentFrame() != this) {
                otherFrame = true;
                break;
            }
        }
        if (!otherFrame) {
            doc->OnCloseDocument();
            return;
        }
        doc->PreCloseFrame(this);
    }
    DestroyWindow();
}

BOOL CFrameWnd::OnQueryEndSession() {
    CWinApp* app = CurrentApp();
    if (app && app->m_pMainWnd == this) return app->SaveAllModified();
    return TRUE;
}

void CFrameWnd::OnEndSession(BOOL ending) {
    if (!ending) return;
    CWinApp* app = CurrentApp();
    if (app && app->m_pMainWnd == this) {
        app->CloseAllDocuments(true);
        app->ExitInstance();
    }
}

void CFrameWnd::OnSize(UINT type, int, int) {
    CWnd::Default();
    if (type != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::RecalcLayout(bool) {
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, layoutAddInset, nullptr, nullptr, true);
    m_nIdleFlags &= ~pendingLayout;
}

void CFrameWnd::DelayRecalcLayout(bool) {
    m_nIdleFlags |= pendingLayout;
}

void CFrameWnd::OnSetFocus(CWnd* old) {
    if (m_pViewActive && m_pViewActive->m_hWnd) {
        m_pViewActive->SetFocus();
    } else {
        CWnd::OnSetFocus(old);
    }
}

bool CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
        HACCEL table = GetDefaultAccelerator();
        if (table && ::TranslateAcceleratorA(m_hWnd, table, msg)) return true;
    }
    return false;
}

HACCEL CFrameWnd::GetDefaultAccelerator() {
    HACCEL table = nullptr;
    if (CDocument* doc = GetActiveDocument()) table = doc->GetDefaultAccelerator();
    return table ? table : m_hAccelTable;
}

bool CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    RoutingFramePush routing(this);
    return CWnd::OnCommand(wParam, lParam);
}

bool CFrameWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    RoutingFramePush routing(this);
    return CWnd::OnNotify(wParam, lParam, result);
}

bool CFrameWnd::OnCmdMsg(UINT id, int code, void* extra, CommandHandlerInfo* handlerInfo) {
    RoutingFramePush routing(this);
    if (m_pViewActive && m_pViewActive->OnCmdMsg(id, code, extra, handlerInfo)) return true;
    if (CWnd::OnCmdMsg(id, code, extra, handlerInfo)) return true;
    if (GetParentFrame()) return false;  // the outer frame asks the application
    CWinApp* app = CurrentApp();
    return app && app->OnCmdMsg(id, code, extra, handlerInfo);
}

void CFrameWnd::SetActiveView(CView* view, bool notify) {
    CView* old = m_pViewActive;
    if (view == old) return;
    m_pViewActive = nullptr;
    if (notify && old) old->OnActivateView(false, view, old);
    if (view && !view->m_hWnd) view = nullptr;
    m_pViewActive = view;
    if (notify && view) {
        view->OnActivateView(true, view, old);
    }
}

CFrameWnd* CFrameWnd::GetActiveFrame() { return this; }

CDocument* CFrameWnd::GetActiveDocument() {
    CView* view = GetActiveFrame() ? GetActiveFrame()->GetActiveView() : nullptr;
    return view ? view->GetDocument() : nullptr;
}

void CFrameWnd::ActivateFrame(int showCommand) {
    if (showCommand == -1) {
        if (!IsWindowVisible()) {
            showCommand = SW_SHOWNORMAL;
        } else if (IsIconic()) {
            showCommand = SW_RESTORE;
        }
    }
    if (showCommand != -1) {
        BringWindowToTop();
        ShowWindow(showCommand);
    }
}

void CFrameWnd::InitialUpdateFrame(CDocument* doc, bool makeVisible) {
    CView* view = nullptr;
    if (!GetActiveView()) {
        CWnd* pane = GetDescendantWindow(AFX_IDW_PANE_FIRST, true);
        if (pane && pane->IsKindOf(RUNTIME_CLASS(CView))) {
            view = static_cast<CView*>(pane);
            SetActiveView(view, false);
        }
    }
    if (makeVisible) {
        SendMessageToDescendants(InitialUpdateMessage, 0, 0, true, true);
        ActivateFrame(-1);
        if (view) view->OnActivateView(true, view, view);
    }
    if (doc) doc->UpdateFrameCounts();
    OnUpdateFrameTitle(true);
}

void CFrameWnd::OnUpdateFrameTitle(bool addToTitle) {
    if (!(GetStyle() & FWS_ADDTOTITLE)) return;
    CDocument* doc = GetActiveDocument();
    UpdateFrameTitleForDocument(addToTitle && doc ? doc->GetTitle().c_str() : nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(const char* docName) {
    CString text;
    if (docName) {
        CString name(docName);
        if (m_nWindow > 0) {
            CString number;
            number.Format(":%d", m_nWindow);
            name += number;
        }
        text = m_strTitle.IsEmpty() ? name : m_strTitle + " - " + name;
    } else {
        text = m_strTitle;
    }
    CString current;
    GetWindowText(current);
    if (current != text) SetWindowText(text);
}

void CFrameWnd::OnUpdateFrameMenu(HMENU menuAlt) {
    HMENU menu = menuAlt ? menuAlt : m_hMenuDefault;
    if (menu && ::GetMenu(m_hWnd) != menu) ::SetMenu(m_hWnd, menu);
}

void CFrameWnd::GetMessageString(UINT id, CString& message) const {
    CString full;
    if (full.LoadString(id)) {
        ExtractField(message, full, 0);
    } else {
        message.Empty();
    }
}

CWnd* CFrameWnd::GetMessageBar() { return GetDescendantWindow(AFX_IDW_STATUS_BAR, true); }

void CFrameWnd::SetMessageText(const char* text) { SendMessage(StatusPromptMessage, 0, reinterpret_cast<LPARAM>(text)); }

void CFrameWnd::SetMessageText(UINT id) { SendMessage(StatusPromptMessage, id); }

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
    UINT last = m_nIDLastMessage;
    m_nIDLastMessage = static_cast<UINT>(wParam);
    CWnd* bar = GetMessageBar();
    if (!bar) return last;
    CString text;
    if (lParam) {
        text = reinterpret_cast<const char*>(lParam);
    } else if (wParam == IDS_LIB_READY) {
        text.LoadString(IDS_LIB_READY);
    } else if (wParam) {
        GetMessageString(static_cast<UINT>(wParam), text);
    }
    bar->SetWindowText(text);
    return last;
}

// Menu prompts follow the highlighted item; closing the menu shows the idle text.
void CFrameWnd::OnMenuSelect(UINT item, UINT flags, HMENU menu) {
    if (flags == 0xFFFF && !menu) {
        m_nIDTracking = IDS_LIB_READY;
    } else if (flags & (MF_SEPARATOR | MF_POPUP)) {
        m_nIDTracking = 0;
    } else if (item >= SC_SIZE && item < IDM_WINDOW_LIST_FIRST) {
        m_nIDTracking = 0;  // system menu commands have no prompt
    } else {
        m_nIDTracking = item;
    }
    if (m_nIDTracking != m_nIDLastMessage) SendMessage(StatusPromptMessage, m_nIDTracking);
}

void CFrameWnd::OnEnterIdle(UINT why, CWnd* who) {
    CWnd::OnEnterIdle(why, who);
    if (why == MSGF_MENU && m_nIDTracking != m_nIDLastMessage) {
        SendMessage(StatusPromptMessage, m_nIDTracking);
    }
}

// Each item of the opening pop-up asks the command targets for its state. Without
// automatic enabling an item no target handles keeps the state it has.
void CFrameWnd::OnInitMenuPopup(CMenu* popup, UINT, BOOL sysMenu) {
    if (sysMenu) return;
    CCmdUI state;
    state.m_pMenu = popup;
    state.m_nIndexMax = popup->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = popup->GetMenuItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0) continue;   // a separator
        state.m_pSubMenu = nullptr;
        if (state.m_nID == UINT(-1)) {
            // A nested pop-up takes the state of its first command.
            CMenu* sub = popup->GetSubMenu(static_cast<int>(state.m_nIndex));
            if (!sub) continue;
            UINT first = sub->GetMenuItemID(0);
            if (first == 0 || first == UINT(-1)) continue;
            state.m_nID = first;
            state.m_pSubMenu = sub;
            state.DoUpdate(this, false);
        } else {
            state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < SC_SIZE);
        }
        // An update handler may have added or removed items.
        UINT count = popup->GetMenuItemCount();
        if (count < state.m_nIndexMax) {
            state.m_nIndex -= state.m_nIndexMax - count;
            while (state.m_nIndex < count && popup->GetMenuItemID(static_cast<int>(state.m_nIndex)) == state.m_nID) {
                ++state.m_nIndex;
            }
        }
        state.m_nIndexMax = count;
    }
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
    if (!IsWindowVisible() && !(GetStyle() & WS_CHILD)) return 0;
    if (m_nIdleFlags & pendingTitle) {
        m_nIdleFlags &= ~pendingTitle;
        OnUpdateFrameTitle(true);
    }
    if (m_nIdleFlags & pendingLayout) RecalcLayout(m_nIdleFlags & pendingNotify);
    m_nIdleFlags &= ~(pendingLayout | pendingNotify);
    return 0;
}

BOOL CFrameWnd::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    if (CurrentThreadState()->waitCursorCount > 0 && hitTest == HTCLIENT) {
        if (CWinApp* app = CurrentApp()) app->DoWaitCursor(0);
        return TRUE;
    }
    return CWnd::OnSetCursor(wnd, hitTest, message);
}

// Files dropped from the shell open as documents, in the order given. Names that
// do not fit a path are skipped.
void CFrameWnd::OnDropFiles(HDROP drop) {
    SetActiveWindow();
    UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    CWinApp* app = CurrentApp();
    for (UINT i = 0; i < count && app; ++i) {
        UINT length = ::DragQueryFileA(drop, i, nullptr, 0);
        if (length == 0 || length >= MAX_PATH) continue;
        char name[MAX_PATH];
        if (::DragQueryFileA(drop, i, name, sizeof name) != length) continue;
        app->OpenDocumentFile(name);
    }
    ::DragFinish(drop);
}

void CFrameWnd::BeginModalState() {
    if (modalDepth_++ > 0) return;
    struct Collect {
        HWND frame;
        std::vector<HWND>* list;
        static BOOL CALLBACK Visit(HWND hwnd, LPARAM data) {
            auto* c = reinterpret_cast<Collect*>(data);
            if (hwnd != c->frame && ::GetWindow(hwnd, GW_OWNER) == c->frame && ::IsWindowEnabled(hwnd) &&
                ::IsWindowVisible(hwnd)) {
                c->list->push_back(hwnd);
            }
            return TRUE;
        }
    } collect{ m_hWnd, &modalDisabled_ };
    modalDisabled_.clear();
    ::EnumThreadWindows(::GetCurrentThreadId(), Collect::Visit, reinterpret_cast<LPARAM>(&collect));
    for (HWND hwnd : modalDisabled_) ::EnableWindow(hwnd, FALSE);
}

void CFrameWnd::EndModalState() {
    if (modalDepth_ == 0 || --modalDepth_ > 0) return;
    for (HWND hwnd : modalDisabled_) {
        if (::IsWindow(hwnd)) ::EnableWindow(hwnd, TRUE);
    }
    modalDisabled_.clear();
}
