// The engine's services of the shell: commands and dialogs, alerts and questions, idle
// updates, input polling, keys, and the start and end of the platform services.
#include <windows.h>
#include <shellapi.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/core/services/later_release.h"
#include "engine/core/alerts.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/services/alerts.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/motions.h"
#include "engine/core/services/number_locale.h"
#include "engine/core/services/user_interface.h"
#include "engine/core/services/shell.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_keys.h"
#include "engine/core/status_text.h"
#include "engine/core/tool_list.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/command_state.h"
#include "engine/interact/custom_tool_library.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/mouse.h"
#include "engine/interact/selection_census.h"
#include "engine/text/string_groups.h"
#include "classlib/app.h"
#include "classlib/command_ids.h"
#include "classlib/wnd.h"
#include "platform/rules/shell_rules.h"
#include "platform/win32/fonts.h"
#include "platform/win32/shell.h"
#include "platform/win32/shell_windows.h"
#include "platform/win32/test_hooks.h"
#include "platform/win32/ui_fonts.h"

namespace {

HWND gMainWindow = nullptr;
bool gStartupComplete = false;
bool gMenusBuilt = false;
bool gAlertShowing = false;
bool gCommandVariantFlag = false;
char gDecimalSeparator = '.';
IdleTask gStatusTask{};
LayoutBehindCheck gLayoutBehind = nullptr;
CommandDialogScript gDialogScript = nullptr;
NewToolNameScript gNewToolNameScript = nullptr;
const ServiceDialogs* gServiceDialogs = nullptr;
HWND gCalculatorArea = nullptr;
constexpr DWORD kMouseWaitMs = 10;

constexpr uint32_t kKeepToolInProgress = 14;  // EndActivitiesExcept: only a tool in progress ends
constexpr ResultCode kAlertDuplicateToolName = 205;

// Raises alertShowing for the life of a question or an alert that is not nested.
class AlertShowingScope {
public:
    explicit AlertShowingScope(uint32_t nested) : raise_(nested == 0), previous_(gAlertShowing) {
        if (raise_) gAlertShowing = true;
    }
    ~AlertShowingScope() {
        if (raise_) gAlertShowing = previous_;
    }
    AlertShowingScope(const AlertShowingScope&) = delete;
    AlertShowingScope& operator=(const AlertShowingScope&) = delete;

private:
    bool raise_;
    bool previous_;
};

// Makes the front sketch current for a scope and puts the previous current sketch back.
class FrontSketchScope {
public:
    FrontSketchScope() { SetCurrentSketch(gEngine.frontSketch, &previous_); }
    ~FrontSketchScope() { SetCurrentSketch(previous_, nullptr); }
    FrontSketchScope(const FrontSketchScope&) = delete;
    FrontSketchScope& operator=(const FrontSketchScope&) = delete;

private:
    Sketch* previous_ = nullptr;
};

bool KeyDown(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

// A test's script answers first; then the user interface's dialog of the kind, if any.
int RunKindDialog(int32_t kind, void* record, DialogChangeFn change, int32_t helpTopic, int32_t mode) {
    int answer = gDialogScript ? gDialogScript(kind, record) : kNoCommandDialog;
    if (answer == kNoCommandDialog && gServiceDialogs && gServiceDialogs->runCommandDialog)
        answer = gServiceDialogs->runCommandDialog(kind, record, change, helpTopic, mode);
    return answer == kNoCommandDialog ? IDCANCEL : answer;
}

// The top-level window that owns what an alert shows.
HWND SafeOwner() {
    HWND owner = GetActiveWindow();
    if (!owner) owner = gMainWindow;
    if (owner) owner = GetLastActivePopup(owner);
    while (owner && (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD)) owner = GetParent(owner);
    return owner;
}

// The menu idle timer of the main frame keeps the idle update going while an alert is up.
void CALLBACK AlertIdleTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!gAlertShowing) IdleUpdate(0);
}

// Waits for the release that belongs to a press just taken from the queue. The release
// may have gone to another window (or be lost), so the wait lasts only while the button
// or key is still down; a release that does come is removed.
void TakeRelease(UINT releaseMessage, int virtualKey) {
    MSG message;
    for (;;) {
        if (PeekMessageA(&message, nullptr, releaseMessage, releaseMessage, PM_REMOVE)) return;
        if ((GetAsyncKeyState(virtualKey) & 0x8000) == 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_INPUT);
    }
}

int32_t StatusTaskBody(IdleTask*, int32_t) {
    const char* text = nullptr;
    if (FetchStatusText(&text)) SetStatusBarText(text);
    return 0;
}

// Names are unique within the front document's tools; without a list every name is free.
bool ToolNameTaken(const char* name) {
    ToolList* tools = gEngine.frontDocument ? DocumentToolList(gEngine.frontDocument) : nullptr;
    return tools && !UniqueToolName(tools, name);
}

}  // namespace

// ---- Windows the services act on ---------------------------------------------------

void RegisterMainWindow(HWND window, bool startupComplete, bool menusBuilt) {
    gMainWindow = window;
    gStartupComplete = window && startupComplete;
    gMenusBuilt = window && menusBuilt;
}
void RegisterLayoutBehindCheck(LayoutBehindCheck check) { gLayoutBehind = check; }
void RegisterServiceDialogs(const ServiceDialogs* dialogs) { gServiceDialogs = dialogs; }
HWND MainWindow() { return gMainWindow; }
bool StartupComplete() { return gStartupComplete; }
bool MenusBuilt() { return gMenusBuilt; }
HWND GetMainWindow() { return gMainWindow; }
HINSTANCE GetAppInstance() { return GetModuleHandleA(nullptr); }
bool AlertShowing() { return gAlertShowing; }
bool SetAlertShowing(bool showing) {
    const bool previous = gAlertShowing;
    gAlertShowing = showing;
    return previous;
}

void ScriptCommandDialogsForTest(CommandDialogScript script) { gDialogScript = script; }
void ScriptNewToolNameForTest(NewToolNameScript script) { gNewToolNameScript = script; }

// ---- Commands and dialogs -----------------------------------------------------------

void RunEngineCommand(uint32_t slot) {
    uint16_t text, variant;
    int32_t enabled = 0, argument;
    CmdStateRefreshNow();
    if (!CmdStateGetItem(slot, &text, &variant, &enabled, &argument) || !enabled) return;
    {
        FrontSketchScope front;
        EndActivitiesExcept(kKeepToolInProgress);
        CmdStateRefreshItemNow(slot);
        if (CmdStateGetItem(slot, &text, &variant, &enabled, &argument) && enabled) CmdStateExecuteItem(slot);
        if (gEngine.frontSketch) {
            // Setting the cursor where it is makes Windows send a fresh mouse move, so
            // the cursor shape follows the new state.
            ResetHoverPosition();
            POINT cursor;
            if (GetCursorPos(&cursor)) SetCursorPos(cursor.x, cursor.y);
        }
        FlushPendingRedraw(0);
    }
}

bool RunCommandDialog(int32_t kind, void* record, DialogChangeFn change, int32_t helpTopic, int32_t mode) {
    if (!gMainWindow) return false;
    if (kind < kDialogTranslate || kind > kDialogLabelMultiple || kind == 3 || kind == 8) return false;
    // An outer dialog or sheet running its own modal loop (from which, say, a page opened
    // this dialog) stays disabled while this one runs and is given back the focus after.
    HWND outer = GetActiveWindow();
    const CWnd* outerObject = outer ? CWnd::FromHandlePermanent(outer) : nullptr;
    if (!outerObject || (outerObject->m_nFlags & WINDOW_IN_MODAL_LOOP) == 0) outer = nullptr;
    CWinApp* app = CurrentApp();
    if (outer) {
        EnableWindow(outer, FALSE);
        if (app) app->EnableModeless(false);
    }
    const bool ok = RunKindDialog(kind, record, change, helpTopic, mode) == IDOK;
    if (outer) {
        EnableWindow(gMainWindow, FALSE);
        EnableWindow(outer, TRUE);
        SetActiveWindow(outer);
        // The library counts the switches, so giving back this call's own leaves
        // modeless dialogs off as the outer dialog's loop keeps them.
        if (app) app->EnableModeless(true);
    }
    return ok;
}

bool RunCalculatorDialog(int32_t mode, int32_t titleItem) {
    if (!gMainWindow || !gServiceDialogs || !gServiceDialogs->runCalculator) return false;
    return gServiceDialogs->runCalculator(mode, titleItem);
}

void SetCalculatorArea(HWND area) { gCalculatorArea = area; }
HWND CalculatorArea() { return gCalculatorArea; }

bool CalcMouseStillDown(ScreenPoint* point) {
    HWND area = gCalculatorArea;
    if (!area || !IsWindow(area)) return false;
    // Waits for the next mouse message or a few milliseconds, so that holding the
    // button still costs no processor time.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kMouseWaitMs, QS_MOUSE);
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
    }
    const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    if (!(GetAsyncKeyState(button) & 0x8000)) return false;
    if (PeekMessageA(&message, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE)) return false;
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(area, &p);
    point->x = static_cast<int16_t>(p.x < -32768 ? -32768 : p.x > 32767 ? 32767 : p.x);
    point->y = static_cast<int16_t>(p.y < -32768 ? -32768 : p.y > 32767 ? 32767 : p.y);
    return true;
}

bool AskNewToolName(NewToolNameRequest* request) {
    if (!gMainWindow) return false;
    if (gServiceDialogs && gServiceDialogs->askNewToolName) return gServiceDialogs->askNewToolName(request);
    // Without the user interface (the platform's own tests) a test script answers.
    return gNewToolNameScript ? gNewToolNameScript(request->name) : false;
}

bool PromptNewToolName(char* name) {
    if (!gMainWindow) return false;
    char proposal[256];
    for (int n = 1;; ++n) {
        std::snprintf(proposal, sizeof proposal, "Tool #%i", n);
        if (!ToolNameTaken(proposal)) break;
    }
    for (;;) {
        std::snprintf(name, 256, "%s", proposal);
        NewToolNameRequest request = { "New Tool", "Tool Name:", name };
        if (!AskNewToolName(&request)) return false;
        if (!ToolNameTaken(name)) return true;
        ShowAlertByCode(kAlertDuplicateToolName, 1);
    }
}

// ---- Alerts and questions -----------------------------------------------------------

void ShowAlert(const char* caption, const char* text, int32_t, int32_t helpTopic, uint32_t nested, bool okButton) {
    AlertShowingScope showing(nested);
    if (!gStartupComplete) {
        MessageBoxA(gMainWindow, text, caption, MB_OK);
        if (gMainWindow && !IsWindowEnabled(gMainWindow)) EnableWindow(gMainWindow, TRUE);
        return;
    }
    HWND owner = SafeOwner();
    if (owner) EnableWindow(owner, FALSE);
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, AlertIdleTimer);
    if (gServiceDialogs && gServiceDialogs->runAlert) {
        gServiceDialogs->runAlert(owner, caption, text, okButton ? 1 : 2, helpTopic);
    } else {
        MessageBoxA(owner, text, caption, MB_OK);
    }
    KillTimer(nullptr, timer);
    if (owner) EnableWindow(owner, TRUE);
}

bool AskQuestion(const char* caption, const char* text, uint32_t buttons, int32_t, uint32_t nested) {
    AlertShowingScope showing(nested);
    UINT type = MB_OK;
    if (buttons & 1) type = (buttons & 2) ? MB_OKCANCEL : MB_OK;
    else if ((buttons & 4) && (buttons & 8)) type = (buttons & 2) ? MB_YESNOCANCEL : MB_YESNO;
    if (buttons & kQuestionDefaultNo) type |= MB_DEFBUTTON2;
    const int answer = MessageBoxA(gMainWindow, text, caption, type);
    return answer == IDOK || answer == IDYES;
}

bool AskQuestionFromTable(int32_t group, int32_t item, const char* text, uint32_t buttons, uint32_t nested) {
    char caption[256];
    CopyGroupString256(group, item, caption);
    return AskQuestion(caption, text, buttons, 0, nested);
}

// ---- Idle, input and status ---------------------------------------------------------

bool IdleUpdate(int32_t count) {
    FrontSketchScope front;
    const bool shift = IsShiftDown();
    if (CensusShiftState() != 0 && !shift) SetShiftState(0);
    else if (CensusShiftState() == 0 && shift) SetShiftState(1);
    bool remain = false;
    if (gEngine.frontSketch && gMenusBuilt) {
        FlushPendingRedraw(1);
        if (!gAlertShowing) remain = RunIdleTasks();
        if ((count & 0xFF) == 255 && gLayoutBehind && gLayoutBehind(gEngine.frontSketch))
            UpdateSketchExtentAndLayout(false);
    }
    return remain;
}

bool PollUserAbort(uint32_t flags) {
    MSG message;
    if ((flags & kAbortOnClick) && PeekMessageA(&message, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE)) {
        TakeRelease(WM_LBUTTONUP, VK_LBUTTON);
        return true;
    }
    if ((flags & kAbortOnKey) && PeekMessageA(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
        TakeRelease(WM_KEYUP, static_cast<int>(message.wParam));
        return true;
    }
    if ((flags & kAbortOnEscape) && PeekMessageA(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) &&
        message.wParam == VK_ESCAPE) {
        PeekMessageA(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
        TakeRelease(WM_KEYUP, VK_ESCAPE);
        return true;
    }
    return false;
}

bool TranslateSpecialKey(uint32_t virtualKey) {
    const uint16_t code = EngineKeyCodeFor(virtualKey, KeyDown(VK_MENU), KeyDown(VK_CONTROL));
    if (code == 0) return false;
    FrontSketchScope front;
    return HandleViewCommand(code, KeyDown(VK_SHIFT) ? kKeyStepsToolbox : 0);
}

bool ReadArrowKeyNudge(int32_t, int16_t* dx, int16_t* dy) {
    const auto held = [](int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; };
    *dx = static_cast<int16_t>((held(VK_RIGHT) ? 1 : 0) - (held(VK_LEFT) ? 1 : 0));
    *dy = static_cast<int16_t>((held(VK_DOWN) ? 1 : 0) - (held(VK_UP) ? 1 : 0));
    const bool any = held(VK_LEFT) || held(VK_RIGHT) || held(VK_UP) || held(VK_DOWN);
    MSG message;
    if (gMainWindow)
        while (PeekMessageA(&message, gMainWindow, WM_KEYFIRST, WM_SYSDEADCHAR, PM_REMOVE)) {}
    return any;
}

bool IsShiftDown() { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }
void RefusalBeep() { MessageBeep(0xFFFFFFFF); }

void SetStatusBarText(const char* text) {
    if (!gMainWindow) return;
    // The status bar takes its window text into its first pane.
    if (HWND bar = GetDlgItem(gMainWindow, AFX_IDW_STATUS_BAR)) SetWindowTextA(bar, text ? text : "");
    UpdateWindow(gMainWindow);
}

void ScheduleStatusTextRefresh(int32_t stop) {
    if (stop == 0) {
        if (!gStatusTask.queued) AddIdleTask(&gStatusTask, StatusTaskBody, kIdleStatusTextRefresh);
        return;
    }
    if (gStatusTask.queued) RemoveIdleTask(&gStatusTask);
    StatusTaskBody(&gStatusTask, 1);
}

// ---- Other services ------------------------------------------------------------------

bool OpenWithShell(const char* target) {
    if (auto form = LaterForms().shell.openAddress) return form(target);
    const HINSTANCE result = ShellExecuteA(gMainWindow, nullptr, target, nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void SetCommandVariantFlag(bool set) { gCommandVariantFlag = set; }

ResultCode RunCommandVariantProgram(int32_t) {
    return ConstructByProgramCommand(gCommandVariantFlag ? 123 : 126);
}

ResultCode CloseActiveWindow(int32_t) {
    StopToolPlayback();
    if (!gMainWindow) return kResultOK;
    HWND client = FindWindowExA(gMainWindow, nullptr, "MDICLIENT", nullptr);
    HWND child = client ? reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
    if (child) SendMessageA(child, WM_CLOSE, 0, 0);
    return kResultOK;
}

bool IsFiniteReal(double value) { return std::isfinite(value); }
bool IsNanReal(double value) { return std::isnan(value); }

char DecimalSeparator() { return gDecimalSeparator; }

bool StartPlatformServices() {
    std::setlocale(LC_ALL, ".1252");
    char text[32];
    std::snprintf(text, sizeof text, "%f", 1.1);
    if (text[0] == '1' && text[1] != 0) gDecimalSeparator = text[1];
    if (auto start = LaterForms().drawing.startDrawing) start();
    // The run-time menus are built by the frame with its menu bar, which reports their
    // failure itself; nothing started here can fail.
    return true;
}

void StopPlatformServices() {
    if (auto form = LaterForms().platform.freePortCaches) form();
    if (auto stop = LaterForms().drawing.stopDrawing) stop();
    DeleteUiFonts();
    // The font list lives as long as the process.
}
