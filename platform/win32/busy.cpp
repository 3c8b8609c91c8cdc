// Busy feedback of long engine operations: nothing for half a second, then the wait
// cursor and a status text, and from one second a progress window that the operation
// moves and whose Cancel button it polls.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/busy.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/status_text.h"
#include "engine/text/string_groups.h"
#include "platform/rules/shell_rules.h"
#include "platform/win32/busy_feedback.h"
#include "platform/win32/shell_windows.h"

struct BusyTask {
    uint32_t startTick;
    int32_t  kind;          // item of the progress string group: title and status text
    int32_t  maximum;       // 0 or less: no progress bar
    int32_t  cancelable;
    int32_t  statusShown;   // this task's status-text provider was installed
    HWND     window;        // the progress window, null until it opens
};

namespace {

int32_t gGoOn = 1;          // the Cancel button clears it; every update answers it
bool gBusyCursor = false;

// Stand-in: the progress dialog (template 210) is not built; until it is, the progress
// window is a plain pop-up with a progress bar and, for a cancelable task, a Cancel
// button, which do what the dialog's do.
constexpr int kProgressBarId = 1001;
constexpr int kCancelHeight = 36;
const char kProgressClass[] = "FigProgressStandin";

LRESULT CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        gGoOn = 0;
        ShowWindow(window, SW_HIDE);
        return 0;
    }
    if (message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateProgressStandin(const char* title, int32_t maximum, bool cancelable) {
    static bool registered = false;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!registered) {
        INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_PROGRESS_CLASS };
        InitCommonControlsEx(&controls);
        WNDCLASSA wc{};
        wc.lpfnWndProc = ProgressProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kProgressClass;
        if (!RegisterClassA(&wc)) return nullptr;
        registered = true;
    }
    const DWORD style = WS_POPUP | WS_CAPTION | (cancelable ? WS_SYSMENU : 0);
    HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME, kProgressClass, title, style, 200, 200, 300,
                                  cancelable ? 90 + kCancelHeight : 90, MainWindow(), nullptr,
                                  instance, nullptr);
    if (!window) return nullptr;
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | (maximum > 0 ? WS_VISIBLE : 0), 10,
                               10, 270, 18, window, reinterpret_cast<HMENU>(kProgressBarId), instance,
                               nullptr);
    if (bar) SendMessageA(bar, PBM_SETRANGE32, 0, maximum > 0 ? maximum : 0);
    if (cancelable)
        CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 110, 40, 80, 24,
                        window, reinterpret_cast<HMENU>(IDCANCEL), instance, nullptr);
    return window;
}

void OpenProgressWindow(HWND* window, const char* title, int32_t maximum, bool cancelable) {
    *window = CreateProgressStandin(title, maximum, cancelable);
    if (!*window) return;
    ShowWindow(*window, SW_SHOW);
    UpdateWindow(*window);
    if (HWND main = MainWindow()) EnableWindow(main, FALSE);
    EnableWindow(*window, TRUE);
}

// Moves the bar and lets waiting messages through, so that Cancel and painting work.
// A quit request met here is posted again for the application's own loop.
void SetProgressPosition(HWND window, int32_t position) {
    SendDlgItemMessageA(window, kProgressBarId, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (!GetMessageA(&message, nullptr, 0, 0)) {
            PostQuitMessage(0);
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void CloseProgressWindow(HWND window) {
    if (HWND main = MainWindow()) EnableWindow(main, TRUE);
    SendMessageA(window, WM_CLOSE, 0, 0);
}

void BusyStatusText(char** text, StatusTextProvider* provider) {
    const char* item = GroupText(kGroupProgress, static_cast<int32_t>(provider->key));
    const size_t length = std::strlen(item);
    *text = static_cast<char*>(AllocMemory(length + 1, 0));
    if (*text) std::memcpy(*text, item, length + 1);
}

}  // namespace

bool BusyCursorWanted() { return gBusyCursor; }
HWND ProgressWindowOf(const BusyTask* task) { return task ? task->window : nullptr; }

BusyTask* BeginBusyTask(int32_t kind, uint32_t progressMaximum, bool cancelable) {
    auto* task = static_cast<BusyTask*>(AllocMemory(sizeof(BusyTask), kAllocZero));
    if (task) {
        task->startTick = TickCount();
        task->kind = kind;
        task->maximum = static_cast<int32_t>(progressMaximum);
        task->cancelable = cancelable ? 1 : 0;
    }
    gGoOn = 1;
    return task;
}

bool UpdateBusyTask(BusyTask* task, uint32_t position) {
    if (!task) return gGoOn != 0;
    switch (BusyStageFor(task->startTick, TickCount(), task->window != nullptr)) {
    case BusyStage::kOpenWindow: {
        gBusyCursor = false;
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        char title[256];
        CopyGroupString256(kGroupProgress, task->kind, title);
        OpenProgressWindow(&task->window, title, task->maximum, task->cancelable != 0);
        break;
    }
    case BusyStage::kShowStatus: {
        const StatusTextProvider provider = { BusyStatusText, static_cast<uint32_t>(task->kind) };
        SetStatusTextProvider(&provider, 1);
        gBusyCursor = true;
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        task->statusShown = 1;
        if (task->window) SetProgressPosition(task->window, static_cast<int32_t>(position));
        break;
    }
    case BusyStage::kNothing:
        break;
    }
    return gGoOn != 0;
}

void EndBusyTask(BusyTask* task) {
    gBusyCursor = false;
    if (!task) return;
    if (task->statusShown) ClearStatusTextProvider(0);
    if (task->window) CloseProgressWindow(task->window);
    FreeMemory(task);
}
