#include "classlib/app.h"

#include "classlib/docmgr.h"
#include "classlib/doctempl.h"
#include "classlib/frame.h"
#include "classlib/handle_maps.h"
#include "classlib/recent.h"
#include "classlib/thread_state.h"

#include <cstring>

namespace {
CWinApp* currentApp = nullptr;
HINSTANCE resourceHandle = nullptr;
}  // namespace

HINSTANCE ModuleInstance() {
    if (currentApp && currentApp->m_hInstance) return currentApp->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE ResourceModule() { return resourceHandle ? resourceHandle : ModuleInstance(); }

void SetResourceModule(HINSTANCE instance) { resourceHandle = instance; }

CWinApp* CurrentApp() { return currentApp; }

CWinThread* CurrentUiThread() {
    CWinThread* thread = CurrentThreadState()->thread;
    return thread ? thread : currentApp;
}

CWnd* CurrentMainWindow() {
    CWinThread* thread = CurrentUiThread();
    return thread ? thread->GetMainWnd() : nullptr;
}

int ShowAppMessage(const char* text, UINT type, UINT helpId) {
    if (CWinApp* app = CurrentApp()) return app->DoMessageBox(text, type, helpId);
    return ::MessageBoxA(nullptr, text, nullptr, type);
}

int ShowAppMessage(UINT promptId, UINT type, UINT helpId) {
    CString text;
    text.LoadString(promptId);
    return ShowAppMessage(text, type, helpId == UINT(-1) ? promptId : helpId);
}

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread() = default;

CWinThread::~CWinThread() {
    if (CurrentThreadState()->thread == this) CurrentThreadState()->thread = nullptr;
}

bool CWinThread::InitInstance() { return false; }

int CWinThread::ExitInstance() {
    FreeTemporaryObjects();
    return static_cast<int>(m_msgCur.wParam);
}

bool CWinThread::IsIdleMessage(MSG* msg) { return CountsAsIdleMessage(msg); }

int CWinThread::Run() {
    CurrentThreadState()->thread = this;
    bool idle = true;
    LONG idleCount = 0;
    for (;;) {
        while (idle && !::PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = false;
        }
        do {
            if (!PumpMessage()) return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                idle = true;
                idleCount = 0;
            }
        } while (::PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
    }
}

bool CWinThread::PumpMessage() {
    if (!::GetMessageA(&m_msgCur, nullptr, 0, 0)) return false;
    if (m_msgCur.message != WM_KICKIDLE && !PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return true;
}

bool CWinThread::PreTranslateMessage(MSG* msg) {
    // A thread message (no window) goes to the thread's own message map.
    if (!msg->hwnd) {
        if (const MsgMapEntry* entry = FindMessageEntry(msg->message)) {
            MsgCall call{ msg->message, msg->wParam, msg->lParam, 0, 0, 0, nullptr };
            entry->thunk(this, call);
            return true;
        }
        return false;
    }
    CWnd* main = GetMainWnd();
    HWND stop = main ? main->m_hWnd : nullptr;
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg)) return true;
        if (hwnd == stop) return false;
    }
    // A window outside the main window's family: the main window still gets its
    // chance (its accelerators work over modeless pop-ups).
    if (main && main->m_hWnd && ::IsWindowEnabled(main->m_hWnd) && main->PreTranslateMessage(msg)) {
        return true;
    }
    return false;
}

// The first passes are the library's own: at 0 the frames and bars bring their
// commands' states and titles up to date, at 1 the temporary objects are freed.
bool CWinThread::OnIdle(LONG count) {
    if (count <= 0) {
        CWnd* main = GetMainWnd();
        if (main && main->m_hWnd && ::IsWindowVisible(main->m_hWnd)) {
            CallWindowHandler(main, main->m_hWnd, IdleUpdateMessage, TRUE, 0);
            main->SendMessageToDescendants(IdleUpdateMessage, TRUE, 0, true, true);
            // Floating windows are pop-ups owned by the main window.
            struct Walk {
                HWND owner;
                static BOOL CALLBACK Visit(HWND hwnd, LPARAM data) {
                    auto* walk = reinterpret_cast<Walk*>(data);
                    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
                    if (wnd && ::GetWindow(hwnd, GW_OWNER) == walk->owner && ::IsWindowVisible(hwnd)) {
                        CallWindowHandler(wnd, hwnd, IdleUpdateMessage, TRUE, 0);
                        wnd->SendMessageToDescendants(IdleUpdateMessage, TRUE, 0, true, true);
                    }
                    return TRUE;
                }
            } walk{ main->m_hWnd };
            ::EnumThreadWindows(::GetCurrentThreadId(), Walk::Visit, reinterpret_cast<LPARAM>(&walk));
        }
        return true;
    }
    if (count == 1) {
        FreeTemporaryObjects();
        return true;
    }
    return false;
}

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
    ON_COMMAND_EX_RANGE(CMD_RECENT_FIRST, CMD_RECENT_LAST, OnOpenRecentFile)
    ON_UPDATE_COMMAND_UI(CMD_RECENT_FIRST, OnUpdateRecentFileMenu)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName) {
    currentApp = this;
    if (appName) {
        appName_ = appName;
        m_pszAppName = appName_;
    }
}

CWinApp::~CWinApp() {
    delete m_pDocManager;
    m_pDocManager = nullptr;
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
    SelectPrinter(nullptr, nullptr);
    if (currentApp == this) currentApp = nullptr;
}

bool CWinApp::InitApplication() {
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(m_hInstance, path, sizeof path);
    if (n == 0 || n >= sizeof path) path[0] = 0;
    const char* name = std::strrchr(path, '\\');
    name = name ? name + 1 : path;
    exeName_ = name;
    int dot = exeName_.ReverseFind('.');
    if (dot > 0) exeName_ = exeName_.Left(dot);
    m_pszExeName = exeName_;
    if (!m_pszAppName) {
        CString title;
        if (!title.LoadString(IDS_LIB_APP_TITLE)) title = exeName_;
        appName_ = title;
        m_pszAppName = appName_;
    }
    if (!m_pszProfileName) {
        profileName_ = m_pszAppName;
        m_pszProfileName = profileName_;
    }
    return true;
}

bool CWinApp::InitInstance() { return true; }

int CWinApp::ExitInstance() {
    SaveStdProfileSettings();
    return CWinThread::ExitInstance();
}

bool CWinApp::OnIdle(LONG count) { return CWinThread::OnIdle(count); }

int CWinApp::DoMessageBox(const char* prompt, UINT type, UINT) {
    EnableModeless(false);
    HWND top = nullptr;
    HWND owner = CWnd::GetSafeOwner_(nullptr, &top);
    if (top) ::EnableWindow(top, FALSE);
    const char* caption = m_pszAppName;
    char path[MAX_PATH];
    if (!caption) {
        DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
        if (n >= sizeof path) n = 0;
        path[n] = 0;
        caption = path;
    }
    int result = ::MessageBoxA(owner, prompt, caption, type);
    if (top) ::EnableWindow(top, TRUE);
    EnableModeless(true);
    return result;
}

void CWinApp::DoWaitCursor(int code) {
    ThreadState* state = CurrentThreadState();
    state->waitCursorCount += code;
    if (state->waitCursorCount > 0) {
        HCURSOR old = ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // the hourglass
        if (code > 0 && state->waitCursorCount == 1) state->waitCursorRestore = old;
    } else {
        state->waitCursorCount = 0;
        ::SetCursor(state->waitCursorRestore);
    }
}

void CWinApp::EnableModeless(bool enable) {
    if (!enable) {
        if (modelessDisabled_++ == 0) {
            if (CWnd* main = GetMainWnd(); main && main->IsFrameWnd()) {
                static_cast<CFrameWnd*>(main)->BeginModalState();
            }
        }
    } else if (modelessDisabled_ > 0 && --modelessDisabled_ == 0) {
        if (CWnd* main = GetMainWnd(); main && main->IsFrameWnd()) {
            static_cast<CFrameWnd*>(main)->EndModalState();
        }
    }
}

void CWinApp::AddDocTemplate(CDocTemplate* tmpl) {
    if (!m_pDocManager) m_pDocManager = new CDocManager;
    m_pDocManager->AddDocTemplate(tmpl);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const {
    return m_pDocManager ? m_pDocManager->GetFirstDocTemplatePosition() : nullptr;
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const { return m_pDocManager->GetNextDocTemplate(pos); }

CDocument* CWinApp::OpenDocumentFile(const char* path) {
    return m_pDocManager ? m_pDocManager->OpenDocumentFile(path) : nullptr;
}

bool CWinApp::DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, bool openDialog,
                               CDocTemplate* tmpl) {
    return m_pDocManager && m_pDocManager->DoPromptFileName(fileName, titleId, flags, openDialog, tmpl);
}

bool CWinApp::SaveAllModified() { return !m_pDocManager || m_pDocManager->SaveAllModified(); }

void CWinApp::CloseAllDocuments(bool endSession) {
    if (m_pDocManager) m_pDocManager->CloseAllDocuments(endSession);
}

int CWinApp::GetOpenDocumentCount() { return m_pDocManager ? m_pDocManager->GetOpenDocumentCount() : 0; }

void CWinApp::HideApplication() {
    CWnd* main = GetMainWnd();
    if (!main || !main->m_hWnd) return;
    ::ShowOwnedPopups(main->m_hWnd, FALSE);
    main->ShowWindow(SW_HIDE);
}

void CWinApp::OnFileNew() {
    if (m_pDocManager) m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen() {
    if (m_pDocManager) m_pDocManager->OnFileOpen();
}

void CWinApp::OnAppExit() {
    if (CWnd* main = GetMainWnd()) main->SendMessage(WM_CLOSE);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    for (int i = 1; i < __argc; ++i) {
        const char* arg = __argv[i];
        bool isSwitch = arg[0] == '/' || arg[0] == '-';
        info.ParseParam(isSwitch ? arg + 1 : arg, isSwitch, i == __argc - 1);
    }
}
