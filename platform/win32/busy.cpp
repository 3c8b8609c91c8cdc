// Busy feedback of long engine operations: nothing for half a second, then the wait
// cursor and a status text, and from one second a progress window that the operation
// moves and whose Cancel button it polls.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <new>

#include "engine/core/memory.h"
#include "engine/core/services/busy.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/status_text.h"
#include "engine/text/string_groups.h"
#include "platform/rules/shell_rules.h"
#include "platform/win32/busy_feedback.h"
#include "platform/win32/dialog_ids.h"
#include "platform/win32/progress_dialog.h"
#include "platform/win32/shell_windows.h"
#include "platform/win32/test_hooks.h"

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
uint32_t gPauseForTest = 0;

// Lets messages through for a while (see PauseBusyUpdatesForTest).
void PauseForTest() {
    const DWORD end = GetTickCount() + gPauseForTest;
    while (static_cast<int32_t>(GetTickCount() - end) < 0) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!PumpOneMessage()) {
                PostQuitMessage(0);
                return;
            }
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void OpenProgressWindow(HWND* window, const char* title, int32_t maximum, bool cancelable) {
    *window = nullptr;
    HWND main = MainWindow();
    auto* dialog = new (std::nothrow) ProgressDialog(title, maximum, cancelable, CWnd::FromHandle(main));
    if (!dialog) return;
    if (!dialog->Create(IDD_PROGRESS, CWnd::FromHandle(main))) {
        delete dialog;
        return;
    }
    *window = dialog->m_hWnd;
    dialog->ShowWindow(SW_SHOW);
    dialog->UpdateWindow();
    dialog->BeginWaitCursor();
    if (main) EnableWindow(main, FALSE);
    dialog->EnableWindow(true);
}

// Moves the bar and lets waiting messages through the application's pump, so that
// Cancel, its keys and painting work. A quit request met here is posted again for the
// application's own loop.
void SetProgressPosition(HWND window, int32_t position) {
    SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (!PumpOneMessage()) {
            PostQuitMessage(0);
            return;
        }
    }
}

// Destroys the window outright: a window without Cancel would refuse a close request,
// and none may be left behind once the operation ends.
void CloseProgressWindow(HWND window) {
    if (HWND main = MainWindow()) EnableWindow(main, TRUE);
    CWnd* object = CWnd::FromHandlePermanent(window);
    if (object) object->EndWaitCursor();
    DestroyWindow(window);
    delete static_cast<ProgressDialog*>(object);
}

void BusyStatusText(char** text, StatusTextProvider* provider) {
    const char* item = GroupText(kGroupProgress, static_cast<int32_t>(provider->key));
    const size_t length = std::strlen(item);
    *text = static_cast<char*>(AllocMemory(length + 1, 0));
    if (*text) std::memcpy(*text, item, length + 1);
}

}  // namespace

bool BusyCursorWanted() { return gBusyCursor; }
void StopBusyTask() { gGoOn = 0; }
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

void PauseBusyUpdatesForTest(uint32_t ms) { gPauseForTest = ms; }

bool UpdateBusyTask(BusyTask* task, uint32_t position) {
    if (!task) return gGoOn != 0;
    if (gPauseForTest) PauseForTest();
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
    if (gPauseForTest && task->window) PauseForTest();
    return gGoOn != 0;
}

void EndBusyTask(BusyTask* task) {
    gBusyCursor = false;
    if (!task) return;
    if (task->statusShown) ClearStatusTextProvider(0);
    if (task->window) CloseProgressWindow(task->window);
    FreeMemory(task);
}
