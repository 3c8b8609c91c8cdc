#include "ui/app/main_app.h"
#include "ui/portable/startup_stages.h"

#include <cstdio>
#include <cstring>

#include "classlib/controlbar.h"
#include "classlib/docmgr.h"
#include "classlib/doctempl.h"
#include "engine/core/engine_startup.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/motions.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/command_state.h"
#include "platform/win32/fonts.h"
#include "platform/win32/preferences_path.h"
#include "platform/win32/shell.h"
#include "platform/win32/shell_windows.h"
#include "platform/win32/tool_folder.h"
#include "ui/app/app_paths.h"
#include "ui/app/command_line_options.h"
#include "ui/dialogs/alert_dialog.h"
#include "ui/doc/doc_manager.h"
#include "ui/doc/document_services.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/engine_calls.h"
#include "ui/frames/child_frame.h"
#include "ui/frames/inplace_frame.h"
#include "ui/frames/main_frame.h"
#include "ui/input_state.h"
#include "ui/resource_ids.h"
#include "ui/splash/splash_wnd.h"
#include "ui/view/sketch_view.h"

#include <ole2.h>

// {9FA53D8A-BAC8-4FBF-8595-7AA32F7B5FF9}
const CLSID kDocumentClassId = { 0x9fa53d8a, 0xbac8, 0x4fbf, { 0x85, 0x95, 0x7a, 0xa3, 0x2f, 0x7b, 0x5f, 0xf9 } };

char gPreferencesPath[kAppPathChars] = "";
char gToolFolderPath[kAppPathChars] = "Tool Folder\\";

void DefaultPreferencesPath(const char* windowsFolder, char* out) {
    char folder[256];
    std::snprintf(folder, sizeof folder, "%s", windowsFolder);
    size_t n = std::strlen(folder);
    if (n > 0 && folder[n - 1] == '\\') folder[n - 1] = '\0';
    std::snprintf(out, kAppPathChars, "%s\\Velmora Preferences.dat", folder);
}

namespace {

// How far the start got (ui/portable/startup_stages.h); the end undoes that much.
int32_t gStartupStage = 0;
constexpr uint32_t kActivityToolInProgress = 1;

uint32_t HoverFlags() {
    uint32_t flags = KeyHeld(VK_SHIFT) ? kMouseFlagShift : 0;
    if (KeyHeld(VK_MENU)) flags += kMouseFlagAlt;
    return flags;
}

CYRNView* SketchViewOf(HWND hwnd) {
    CWnd* wnd = hwnd ? CWnd::FromHandlePermanent(hwnd) : nullptr;
    return wnd && wnd->IsKindOf(RUNTIME_CLASS(CYRNView)) ? static_cast<CYRNView*>(wnd) : nullptr;
}

// Whether the point lies over a control bar or a window inside one.
bool OverControlBar(POINT point) {
    for (HWND hwnd = WindowFromPoint(point); hwnd; hwnd = GetParent(hwnd)) {
        CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
        if (wnd && wnd->IsKindOf(RUNTIME_CLASS(CControlBar))) return true;
    }
    return false;
}

}  // namespace

IMPLEMENT_DYNAMIC(CMainApp, CWinApp)

BEGIN_MESSAGE_MAP(CMainApp, CWinApp)
    ON_COMMAND(CMD_ABOUT, OnAppAbout)
    ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, CWinApp::OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, CWinApp::OnFilePrintSetup)
    ON_COMMAND(CMD_QUIT, CWinApp::OnAppExit)
END_MESSAGE_MAP()

CMainApp::CMainApp() : CWinApp(nullptr) {
    m_screenDC = GetDC(nullptr);
    m_largeFonts = m_screenDC && GetDeviceCaps(m_screenDC, LOGPIXELSX) >= 120;
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    m_newerWindows = GetVersionExA(&version) && version.dwMajorVersion > 3;
}

CMainApp::~CMainApp() {
    if (m_screenDC) ReleaseDC(nullptr, m_screenDC);
}

CMainApp* TheApp() {
    CWinApp* app = CurrentApp();
    return app && app->IsKindOf(RUNTIME_CLASS(CMainApp)) ? static_cast<CMainApp*>(app) : nullptr;
}

CMainFrame* TheMainFrame() {
    CWinApp* app = CurrentApp();
    CWnd* main = app ? app->m_pMainWnd : nullptr;
    return main && main->IsKindOf(RUNTIME_CLASS(CMainFrame)) ? static_cast<CMainFrame*>(main) : nullptr;
}

void CMainApp::PublishShellState() {
    HWND main = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    RegisterMainWindow(main, m_startupComplete != 0, m_menusBuilt != 0);
    InstallServiceDialogs();
}

void CMainApp::SetMenusBuilt() {
    m_menusBuilt = 1;
    PublishShellState();
}

bool CMainApp::InitInstance() {
    CommandLineOptions options;
    ParseCommandLine(options);

    char windows[256] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    DefaultPreferencesPath(windows, gPreferencesPath);

    CString value;
    if (options.Lookup("ma", value)) {
        m_nCmdShow = SW_SHOWMAXIMIZED;
    } else if (m_nCmdShow == SW_SHOWMAXIMIZED) {
        m_maximiseChildren = 1;
    }
    if (options.Lookup("md", value)) m_maximiseChildren = 1;
    if (options.Lookup("t", value)) {
        std::snprintf(gToolFolderPath, kAppPathChars, "%s", ToolFolderFromOption(value).c_str());
    }
    SetToolFolderName(gToolFolderPath);
    if (options.Lookup("pref", value)) std::snprintf(gPreferencesPath, kAppPathChars, "%s", value.c_str());
    // The engine reads the file at its start and writes it back at the end.
    SetPreferencesPath(gPreferencesPath);

    bool found = false;
    if (!CheckSingleInstance(&found)) return false;
    if (!found) {
        if (!RegisterMainWindowClass()) return false;
        registeredMainClass_ = true;
    }

    gStartupStage = kStageFirst;
    if (!BuildFontList() || !StartEngine()) {
        MessageBoxA(GetDesktopWindow(), "Initialization failed.", "Serious problem", MB_OK);
        return false;
    }
    gStartupStage = kStageEngine;
    if (!StartPlatformServices()) {
        StopEngineAndServices();
        MessageBoxA(GetDesktopWindow(), "Initialization failed.", "Serious problem", MB_OK);
        return false;
    }
    gStartupStage = kStagePlatformServices;
    InstallDrawingPortServices();
    ChooseMathSymbolFont();
    SplashWnd::EnableSplash(options.m_bShowSplash);

    m_noCancelPrompt = 0;
    m_menusBuilt = 0;
    m_idleSuspended[0] = m_idleSuspended[1] = 0;

    if (FAILED(OleInitialize(nullptr))) {
        ShowAppMessage(IDS_OLE_INIT_FAILED);
        StopEngineAndServices();
        return false;
    }

    SetRegistryKey("Tolvane");
    LoadStdProfileSettings(4);

    auto* tmpl = new CYRNDocTemplate(IDR_DOCUMENT, RUNTIME_CLASS(CFernwickDoc), RUNTIME_CLASS(CChildFrame),
                                     RUNTIME_CLASS(CYRNView));
    if (!m_pDocManager) m_pDocManager = new CYrnDocManager;
    tmpl->SetServerInfo(IDR_SERVER_EMBEDDING, IDR_SERVER_INPLACE, RUNTIME_CLASS(CInPlaceFrame));
    AddDocTemplate(tmpl);
    m_server.ConnectTemplate(kDocumentClassId, tmpl, false);
    if (options.m_bRunEmbedded || options.m_bRunAutomated) m_server.RegisterAll();

    auto* frame = new CMainFrame;
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) return false;
    m_pMainWnd = frame;
    PublishShellState();

    frame->DragAcceptFiles();
    RegisterDdeAtoms();
    RegisterShellFileTypes(true);
    m_server.UpdateRegistry();

    if (options.m_bRunEmbedded || options.m_bRunAutomated) return true;
    if (!ProcessShellCommand(options)) return false;

    frame->ShowWindow(m_nCmdShow);
    frame->UpdateWindow();
    m_startupComplete = 1;
    PublishShellState();
    return true;
}

int CMainApp::ExitInstance() {
    if (registeredMainClass_) UnregisterClassA(kMainWindowClass, ModuleInstance());
    RegisterMainWindow(nullptr, false, false);
    m_server.RevokeAll();
    OleUninitialize();
    return CWinApp::ExitInstance();
}

bool CMainApp::OnIdle(LONG count) {
    // The first time the queue runs dry after start-up, the shown frame has reached the
    // screen: the splash comes back above it.
    if (!splashRaised_ && m_startupComplete) {
        splashRaised_ = true;
        if (SplashWnd* splash = SplashWnd::Current()) splash->BringAboveFrame();
    }
    if (CWinApp::OnIdle(count)) return true;

    int32_t savePreferences = 0;
    int32_t reallyQuit = 0;
    if (TakeAppQuitRequest(&savePreferences, &reallyQuit)) {
        if (!(savePreferences && reallyQuit)) {
            m_noCancelPrompt = reallyQuit ? 0 : 1;
            if (savePreferences) SaveAllModified();
            HideApplication();
            CloseAllDocuments(false);
        }
        // The engine is gone once the main window closed; the request dies with it.
        const bool closing = reallyQuit != 0;
        OnAppExit();
        if (closing && m_pMainWnd) ClearAppQuitRequest();
        return false;
    }

    TrackHover();
    if (m_idleSuspended[0] || m_idleSuspended[1]) return false;
    return IdleUpdate(static_cast<int32_t>(count));
}

void CMainApp::HoverViewAt(CYRNView* view, POINT screenPoint, bool toolIdle) {
    CFernwickDoc* doc = view->GetFernwickDoc();
    if (!doc || !doc->CurrentPage()) return;
    SketchScope scope(gEngine.frontSketch);
    POINT client = screenPoint;
    view->ScreenToClient(&client);
    const ScreenPoint point = view->DeviceToSketchPoint(client.x, client.y);
    if (toolIdle) {
        ToolIdle();
    } else {
        SketchMouseHover(HoverFlags(), point, 0);
        view->SetViewCursor();
    }
}

void CMainApp::TrackHover() {
    Sketch* front = gEngine.frontSketch;
    CFernwickDoc* doc = front ? DocumentOfSketch(front) : nullptr;
    if (!doc) return;
    POINT cursor;
    if (!GetCursorPos(&cursor)) return;
    CYRNView* over = SketchViewOf(WindowFromPoint(cursor));
    if (over && over->GetDocument() != doc) over = nullptr;
    CYRNView* captured = SketchViewOf(GetCapture());

    if (over) {
        if (captured && captured != over) {
            if (captured->m_altDown) {
                over = captured;
            } else {
                ReleaseCapture();
                over->SetCapture();
            }
        }
        HoverViewAt(over, cursor, false);
        return;
    }
    CYRNView* target = doc->FrontView();
    if (!target) return;
    if (GetMouseState() == kMouseToolTracking && !captured) {
        if (PrimaryButtonDown() && !OverControlBar(cursor)) {
            EndSketchActivity(kActivityToolInProgress);
            HoverViewAt(target, cursor, false);
        } else {
            // Out of the sketch before the run's first click: its provisional point must
            // not stay behind looking like a real one; moving back in starts it again.
            SketchScope scope(front);
            SketchMouseLeave();
            if (GetMouseState() == kMouseToolTracking) HoverViewAt(target, cursor, true);
            else FlushPendingRedraw(1);
        }
        return;
    }
    const uint32_t changes = SketchChangeCount(front);
    if (changes == lastChangeCount_) return;
    lastChangeCount_ = changes;
    if (captured) HoverViewAt(target, cursor, false);
}

bool CMainApp::PreTranslateMessage(MSG* msg) {
    if (SplashWnd::DismissOnInput(msg)) return true;
    if (m_menusBuilt && (msg->message == WM_KEYDOWN || msg->message == WM_COMMAND) && gEngine.frontSketch) {
        SketchScope scope(gEngine.frontSketch);
        CmdStateRefreshNow();
    }
    return CWinApp::PreTranslateMessage(msg);
}

CDocument* CMainApp::OpenDocumentFile(const char* path) {
    CDocument* doc = CWinApp::OpenDocumentFile(path);
    if (!doc || !doc->IsKindOf(RUNTIME_CLASS(CFernwickDoc))) return doc;
    auto* fdoc = static_cast<CFernwickDoc*>(doc);
    if (!fdoc->m_needsNewName) return doc;
    char name[kAppPathChars];
    std::snprintf(name, sizeof name, "%s", doc->GetPathName().c_str());
    char* dot = std::strrchr(name, '.');
    char* slash = std::strrchr(name, '\\');
    if (dot && (!slash || dot > slash)) *dot = '\0';
    MakeCopyName(name, sizeof name);
    // The copy's name names no file until it is saved: the recent files list only
    // documents under a name of their own (the file just opened is listed already).
    doc->SetPathName(name, false);
    doc->CDocument::SetModifiedFlag(true);
    return doc;
}

int CMainApp::DoMessageBox(const char* prompt, UINT type, UINT helpId) {
    const UINT buttons = type & MB_TYPEMASK;
    if ((type & MB_ICONMASK) == 0 &&
        (buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNO || buttons == MB_YESNOCANCEL)) {
        type |= MB_ICONEXCLAMATION;
    }
    return CWinApp::DoMessageBox(prompt, type, helpId);
}

void CMainApp::OnAppAbout() {
    SplashWnd::Show(m_pMainWnd, true);
}

void StopEngineAndServices() {
    UndoStartupStages(&gStartupStage, { StopPlatformServices, ShutdownEngine });
}

bool CheckSingleInstance(bool* found) {
    *found = false;
    HWND other = FindWindowA(kMainWindowClass, nullptr);
    if (!other) return true;
    *found = true;
    HWND popup = GetLastActivePopup(other);
    if (IsIconic(other)) ShowWindow(other, SW_RESTORE);
    bool go = false;
    if (!IsWindowEnabled(other)) {
        CString question;
        question.LoadString(IDS_SECOND_COPY);
        go = MessageBoxA(nullptr, question, "Velmora", MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
    SetForegroundWindow(popup ? popup : other);
    return go;
}

bool RegisterMainWindowClass() {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = ModuleInstance();
    wc.hIcon = LoadIconA(ResourceModule(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassA(&wc) != 0;
}

void RegisterDdeAtoms() {
    CWinApp* app = CurrentApp();
    char path[MAX_PATH] = "";
    GetModuleFileNameA(ModuleInstance(), path, sizeof path);
    char shortPath[MAX_PATH] = "";
    const DWORD n = GetShortPathNameA(path, shortPath, sizeof shortPath);
    const char* chosen = (n > 0 && n < sizeof shortPath) ? shortPath : path;
    const char* slash = std::strrchr(chosen, '\\');
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%s", slash ? slash + 1 : chosen);
    if (char* dot = std::strrchr(name, '.')) *dot = '\0';
    app->m_atomApp = GlobalAddAtomA(name);
    app->m_atomSystemTopic = GlobalAddAtomA("system");
    if (auto form = LaterForms().shell.registerDocumentType) {
        char templateText[512] = "";
        LoadStringA(ResourceModule(), IDR_DOCUMENT, templateText, sizeof templateText);
        form(name, templateText);
    }
}
