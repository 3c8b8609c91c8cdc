// The shell services with and without a main window. Message boxes and alerts are
// closed by a helper thread, which first notes the buttons they show.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "classlib/command_ids.h"
#include "classlib/wnd.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/services/alerts.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/services/number_locale.h"
#include "engine/core/services/shell.h"
#include "engine/core/services/user_interface.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/command_state.h"
#include "platform/win32/shell.h"
#include "platform/win32/shell_windows.h"
#include "platform/win32/test_hooks.h"
#include "tests/support/command_executors_double.h"

namespace {

// What the closer saw of a box: which buttons it had, and whether alertShowing was up.
struct SeenBox {
    bool ok = false, cancel = false, yes = false, no = false;
    std::string okText, cancelText;
    RECT okRect{}, cancelRect{};
    bool alertShowing = false;
    bool found = false;
};

// Waits for a top-level window with this caption to be shown (its controls exist by
// then), notes its buttons and answers with `answer`.
std::thread CloseBox(const char* caption, int answer, SeenBox* seen) {
    return std::thread([caption, answer, seen] {
        HWND box = nullptr;
        for (int i = 0; i < 500 && !box; ++i) {
            box = FindWindowA(nullptr, caption);
            if (box && !IsWindowVisible(box)) box = nullptr;
            if (!box) Sleep(10);
        }
        if (!box) return;
        seen->found = true;
        seen->alertShowing = AlertShowing();
        const auto note = [box](int id, bool* has, std::string* text, RECT* rect) {
            HWND button = GetDlgItem(box, id);
            *has = button != nullptr;
            if (button && text) {
                char buffer[32] = "";
                GetWindowTextA(button, buffer, sizeof buffer);
                *text = buffer;
                GetWindowRect(button, rect);
            }
        };
        note(IDOK, &seen->ok, &seen->okText, &seen->okRect);
        note(IDCANCEL, &seen->cancel, &seen->cancelText, &seen->cancelRect);
        note(IDYES, &seen->yes, nullptr, nullptr);
        note(IDNO, &seen->no, nullptr, nullptr);
        PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
    });
}

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

void DrainMessages() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "FigTestMain";
        RegisterClassA(&wc);
        main_ = CreateWindowExA(0, "FigTestMain", "Main", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                nullptr, wc.hInstance, nullptr);
        ASSERT_NE(main_, nullptr);
        ShowWindow(main_, SW_SHOW);
        RegisterMainWindow(main_, true, true);
        DrainMessages();
    }
    void TearDown() override {
        RegisterMainWindow(nullptr, false, false);
        ScriptCommandDialogsForTest(nullptr);
        ScriptNewToolNameForTest(nullptr);
        DestroyWindow(main_);
        DrainMessages();
    }
    HWND main_ = nullptr;
};

std::vector<int32_t> gDialogKinds;
int AnswerOk(int32_t kind, void*) {
    gDialogKinds.push_back(kind);
    return IDOK;
}

TEST(ShellWithoutMainWindow, ServicesDoNothing) {
    RegisterMainWindow(nullptr, false, false);
    gDialogKinds.clear();
    ScriptCommandDialogsForTest(AnswerOk);
    EXPECT_FALSE(RunCommandDialog(kDialogTextStyle, nullptr, nullptr, 28, 0));
    EXPECT_TRUE(gDialogKinds.empty());
    char name[256] = "";
    EXPECT_FALSE(PromptNewToolName(name));
    EXPECT_EQ(GetMainWindow(), nullptr);
    EXPECT_FALSE(IdleUpdate(255));
    ScriptCommandDialogsForTest(nullptr);
}

TEST_F(Shell, DialogKindsWithoutADialogGiveFalse) {
    gDialogKinds.clear();
    ScriptCommandDialogsForTest(AnswerOk);
    for (int32_t kind : { 3, 8, 18, 40, -1 }) EXPECT_FALSE(RunCommandDialog(kind, nullptr, nullptr, 0, 0)) << kind;
    EXPECT_TRUE(gDialogKinds.empty());
    EXPECT_TRUE(RunCommandDialog(kDialogTextStyle, nullptr, nullptr, 28, 0));
    EXPECT_TRUE(RunCommandDialog(kDialogRemoveTableData, nullptr, nullptr, 45, 0));
    // figlate's kinds (Plot Table Data, Label Multiple Objects) reach the dialogs too.
    EXPECT_TRUE(RunCommandDialog(kDialogPlotTableData, nullptr, nullptr, 0, 0));
    EXPECT_TRUE(RunCommandDialog(kDialogLabelMultiple, nullptr, nullptr, 0, 0));
    EXPECT_EQ(gDialogKinds, (std::vector<int32_t>{ 6, 15, 16, 17 }));
    ScriptCommandDialogsForTest(nullptr);
    EXPECT_FALSE(RunCommandDialog(kDialogIterate, nullptr, nullptr, 41, 0));  // Cancel
}

HWND gOuter = nullptr;
bool gOuterEnabledDuring = true;
int NoteOuter(int32_t, void*) {
    gOuterEnabledDuring = IsWindowEnabled(gOuter) != 0;
    return IDCANCEL;
}
INT_PTR CALLBACK OuterProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST_F(Shell, AnOuterDialogIsDisabledAndActiveAgainAfterwards) {
    alignas(DWORD) WORD buffer[64] = {};
    auto* tpl = reinterpret_cast<DLGTEMPLATE*>(buffer);
    *tpl = DLGTEMPLATE{ WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 10, 10, 100, 50 };
    gOuter = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), tpl, main_, OuterProc, 0);
    ASSERT_NE(gOuter, nullptr);
    SetActiveWindow(gOuter);
    ASSERT_EQ(GetActiveWindow(), gOuter);
    ScriptCommandDialogsForTest(NoteOuter);

    // A dialog that runs no modal loop of the library is no outer dialog: left alone.
    CWnd outer;
    outer.Attach(gOuter);
    EXPECT_FALSE(RunCommandDialog(kDialogTextStyle, nullptr, nullptr, 28, 0));
    EXPECT_TRUE(gOuterEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(main_));

    outer.m_nFlags |= WINDOW_IN_MODAL_LOOP;
    EnableWindow(main_, FALSE);  // as a modal sheet leaves it
    SetActiveWindow(gOuter);
    EXPECT_FALSE(RunCommandDialog(kDialogTextStyle, nullptr, nullptr, 28, 0));
    EXPECT_FALSE(gOuterEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(gOuter));
    EXPECT_EQ(GetActiveWindow(), gOuter);
    EXPECT_FALSE(IsWindowEnabled(main_));
    outer.Detach();
    DestroyWindow(gOuter);
    EnableWindow(main_, TRUE);
}

TEST_F(Shell, QuestionButtonsByFlags) {
    struct Case { uint32_t flags; int answer; bool result; bool ok, cancel, yes, no; };
    const Case cases[] = {
        { 3, IDOK, true, true, true, false, false },
        { 3, IDCANCEL, false, true, true, false, false },
        { 12, IDNO, false, false, false, true, true },
        { 14, IDYES, true, false, true, true, true },
        { 1, IDOK, true, true, false, false, false },
        { 4, IDOK, true, true, false, false, false },  // Yes without No: a plain OK box
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        SeenBox seen;
        std::thread closer = CloseBox("Question", c.answer, &seen);
        const bool result = AskQuestion("Question", "Go on?", c.flags, 0, 0);
        closer.join();
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(seen.ok, c.ok);
        EXPECT_EQ(seen.cancel, c.cancel);
        EXPECT_EQ(seen.yes, c.yes);
        EXPECT_EQ(seen.no, c.no);
        EXPECT_TRUE(seen.alertShowing);
        EXPECT_FALSE(AlertShowing());
    }
}

// What the alert dialog of the user interface was asked to show.
struct AlertRequest {
    std::string caption, text;
    int32_t buttons, helpTopic;
    bool ownerEnabled, alertShowing;
};
std::vector<AlertRequest> gAlerts;
void RecordAlert(HWND owner, const char* caption, const char* text, int32_t buttons, int32_t helpTopic) {
    gAlerts.push_back({ caption, text, buttons, helpTopic, owner && IsWindowEnabled(owner) != FALSE, AlertShowing() });
}

TEST_F(Shell, AlertAsksForOneButtonOkOrCancelWithItsOwnerDisabled) {
    const ServiceDialogs dialogs = { RecordAlert, nullptr, nullptr, nullptr };
    RegisterServiceDialogs(&dialogs);
    gAlerts.clear();
    ShowAlert("Notice", "Saved.", 0, 12, 0, true);
    ShowAlert("Notice", "Stopped.", 0, 0, 1, false);
    RegisterServiceDialogs(nullptr);

    ASSERT_EQ(gAlerts.size(), 2u);
    EXPECT_EQ(gAlerts[0].caption, "Notice");
    EXPECT_EQ(gAlerts[0].text, "Saved.");
    EXPECT_EQ(gAlerts[0].buttons, 1);
    EXPECT_EQ(gAlerts[0].helpTopic, 12);
    EXPECT_FALSE(gAlerts[0].ownerEnabled);
    EXPECT_TRUE(gAlerts[0].alertShowing);
    EXPECT_EQ(gAlerts[1].buttons, 2);
    EXPECT_FALSE(gAlerts[1].alertShowing);  // a nested alert leaves the flag alone
    EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(Shell, BeforeStartUpCompletesAnAlertIsAPlainMessageBox) {
    RegisterMainWindow(main_, false, false);
    SeenBox seen;
    std::thread closer = CloseBox("Start", IDOK, &seen);
    ShowAlert("Start", "Fonts are missing.", 0, 0, 1, false);
    closer.join();
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(seen.ok);  // the message box's OK, whatever the OK flag said
    EXPECT_FALSE(seen.cancel);
    EXPECT_TRUE(IsWindowEnabled(main_));
}

bool gDuplicateTried = false;
std::vector<std::string> gProposals;
bool EnterName(char* name) {
    gProposals.push_back(name);
    std::strcpy(name, gDuplicateTried ? name : "Tool #1");
    gDuplicateTried = true;
    return true;
}

TEST_F(Shell, NewToolNameProposesTheFirstFreeNumberAndRefusesDuplicates) {
    EngineDocument* document = nullptr;
    ASSERT_EQ(CreateEngineDocument(&document, nullptr), kResultOK);
    for (const char* title : { "Tool #1", "Tool #2" }) {
        Sketch* tool = CreateSketch(0, nullptr);
        ASSERT_NE(tool, nullptr);
        ASSERT_EQ(SetSketchTitle(tool, title), kResultOK);
        ASSERT_EQ(InsertDocumentItem(document, tool, kDocumentItemTool, nullptr), kResultOK);
    }
    EngineDocument* savedFront = gEngine.frontDocument;
    gEngine.frontDocument = document;
    gDuplicateTried = false;
    gProposals.clear();
    ScriptNewToolNameForTest(EnterName);

    SeenBox alert;
    std::thread closer = CloseBox("Duplicate Name", IDOK, &alert);
    char name[256] = "";
    EXPECT_TRUE(PromptNewToolName(name));
    closer.join();
    EXPECT_TRUE(alert.found);
    EXPECT_EQ(gProposals, (std::vector<std::string>{ "Tool #3", "Tool #3" }));
    EXPECT_STREQ(name, "Tool #3");

    gEngine.frontDocument = savedFront;
    FreeEngineDocument(document);
}

TEST_F(Shell, PollUserAbortTakesThePressWithItsRelease) {
    PostMessageA(main_, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageA(main_, WM_LBUTTONUP, 0, 0);
    PostMessageA(main_, WM_USER + 5, 0, 0);
    EXPECT_TRUE(PollUserAbort(kAbortOnClick));
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 5, WM_USER + 5, PM_REMOVE));

    // A key press is no click, and a key other than Escape stays for the flag 4 poll.
    PostMessageA(main_, WM_KEYDOWN, 'A', 0);
    PostMessageA(main_, WM_KEYUP, 'A', 0);
    EXPECT_FALSE(PollUserAbort(kAbortOnClick));
    EXPECT_FALSE(PollUserAbort(kAbortOnEscape));
    EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
    EXPECT_TRUE(PollUserAbort(kAbortOnKey));
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));

    PostMessageA(main_, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(main_, WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_TRUE(PollUserAbort(kAbortOnEscape));
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
}

TEST_F(Shell, PollUserAbortDoesNotWaitForAReleaseThatWentElsewhere) {
    // The button is up and its release is not in this queue: the poll must not hang.
    PostMessageA(main_, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageA(main_, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PollUserAbort(kAbortOnClick | kAbortOnKey));
    MSG m;
    EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
    EXPECT_TRUE(PollUserAbort(kAbortOnKey));
    EXPECT_FALSE(PollUserAbort(kAbortOnKey | kAbortOnClick | kAbortOnEscape));
}

TEST_F(Shell, SpecialKeysWithModifiers) {
    BYTE saved[256], keys[256] = {};
    GetKeyboardState(saved);
    SetKeyboardState(keys);
    // Escape is used with or without a sketch in front; an arrow only nudges a front
    // sketch's selection, and there is none here.
    EXPECT_TRUE(TranslateSpecialKey(VK_ESCAPE));
    EXPECT_FALSE(TranslateSpecialKey(VK_LEFT));
    EXPECT_FALSE(TranslateSpecialKey('A'));
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    EXPECT_FALSE(TranslateSpecialKey(VK_ESCAPE));  // Alt refuses it
    EXPECT_FALSE(TranslateSpecialKey(VK_RETURN));
    keys[VK_MENU] = 0;
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    for (UINT key : { VK_LEFT, VK_ESCAPE, VK_DELETE, VK_HOME }) EXPECT_FALSE(TranslateSpecialKey(key)) << key;
    SetKeyboardState(saved);
}

TEST_F(Shell, StatusTextGoesToTheStatusBarsFirstPane) {
    // The frame's status bar takes its window text into its first pane; a static with
    // the bar's identifier stands for it.
    HWND bar = CreateWindowExA(0, "STATIC", "old", WS_CHILD | WS_VISIBLE, 0, 180, 300, 20, main_,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_STATUS_BAR)),
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(bar, nullptr);
    char text[64] = "";
    SetStatusBarText("Click to construct a point.");
    GetWindowTextA(bar, text, sizeof text);
    EXPECT_STREQ(text, "Click to construct a point.");
    SetStatusBarText(nullptr);
    GetWindowTextA(bar, text, sizeof text);
    EXPECT_STREQ(text, "");

    RegisterMainWindow(nullptr, false, false);
    SetStatusBarText("lost");
    GetWindowTextA(bar, text, sizeof text);
    EXPECT_STREQ(text, "");
}

TEST_F(Shell, ArrowNudgeReadsHeldArrowsAndDropsTheMainWindowsKeys) {
    // Arrows held through the system's input, so the asynchronous state sees them.
    const auto key = [](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &input, sizeof input);
    };
    struct Case { std::vector<WORD> held; bool any; int16_t dx, dy; };
    const Case cases[] = {
        { {}, false, 0, 0 },
        { { VK_LEFT }, true, -1, 0 },
        { { VK_RIGHT, VK_DOWN }, true, 1, 1 },
        { { VK_LEFT, VK_RIGHT, VK_UP }, true, 0, -1 },
    };
    const auto allHeld = [](const std::vector<WORD>& keys) {
        for (WORD vk : keys)
            if ((GetAsyncKeyState(vk) & 0x8000) == 0) return false;
        return true;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.held.size());
        // The X11 driver resets the key state from the X server when a window's focus
        // changes (other programs may share the display). A read is judged only when the
        // keys were held before and after it; otherwise the presses are made again.
        bool judged = false;
        for (int tries = 0; tries < 200 && !judged; ++tries) {
            for (WORD vk : c.held) key(vk, false);
            DrainMessages();
            if (!allHeld(c.held)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
                continue;
            }
            PostMessageA(main_, WM_KEYDOWN, VK_LEFT, 0);
            PostMessageA(main_, WM_CHAR, 'x', 0);
            PostMessageA(main_, WM_USER + 7, 0, 0);
            int16_t dx = 9, dy = 9;
            const bool any = ReadArrowKeyNudge(0, &dx, &dy);
            MSG m;
            const bool keysLeft = PeekMessageA(&m, main_, WM_KEYFIRST, WM_SYSDEADCHAR, PM_NOREMOVE) != 0;
            const bool otherKept = PeekMessageA(&m, main_, WM_USER + 7, WM_USER + 7, PM_REMOVE) != 0;
            judged = allHeld(c.held);
            if (judged) {
                EXPECT_EQ(any, c.any);
                EXPECT_EQ(dx, c.dx);
                EXPECT_EQ(dy, c.dy);
                EXPECT_FALSE(keysLeft);
                EXPECT_TRUE(otherKept);
            }
            DrainMessages();
        }
        EXPECT_TRUE(judged);
        for (WORD vk : c.held) key(vk, true);
        DrainMessages();
    }
}

TEST_F(Shell, OpenWithShellReportsAMissingTarget) {
    EXPECT_FALSE(OpenWithShell("C:\\no such folder\\no such file.fgx"));
}

int32_t gIdleRuns = 0;
int32_t CountIdleRun(IdleTask*, int32_t) {
    ++gIdleRuns;
    return 0;
}

std::vector<Sketch*> gLayoutChecks;
bool NoteLayoutCheck(Sketch* sketch) {
    gLayoutChecks.push_back(sketch);
    return false;
}

TEST_F(Shell, IdleUpdateRunsIdleTasksOnlyWithAFrontSketchAndNoAlert) {
    Sketch* sketch = CreateSketch(0, nullptr);
    ASSERT_NE(sketch, nullptr);
    Sketch* savedFront = gEngine.frontSketch;
    IdleTask task{};
    gIdleRuns = 0;
    AddIdleTask(&task, CountIdleRun, 0);

    gEngine.frontSketch = nullptr;
    IdleUpdate(0);
    EXPECT_EQ(gIdleRuns, 0);

    gEngine.frontSketch = sketch;
    RegisterMainWindow(main_, true, false);  // no menu bar yet
    IdleUpdate(0);
    EXPECT_EQ(gIdleRuns, 0);

    RegisterMainWindow(main_, true, true);
    const bool wasShowing = SetAlertShowing(true);
    IdleUpdate(0);
    EXPECT_EQ(gIdleRuns, 0);
    SetAlertShowing(wasShowing);
    Sketch* current = CurrentSketch();
    gLayoutChecks.clear();
    RegisterLayoutBehindCheck(NoteLayoutCheck);
    IdleUpdate(254);
    EXPECT_EQ(gIdleRuns, 1);
    EXPECT_EQ(CurrentSketch(), current);  // the front sketch was current only meanwhile
    EXPECT_TRUE(gLayoutChecks.empty());
    IdleUpdate(0x1FF);  // only the low byte counts: every 256th pass
    EXPECT_EQ(gLayoutChecks, std::vector<Sketch*>{ sketch });
    RegisterLayoutBehindCheck(nullptr);

    if (task.queued) RemoveIdleTask(&task);
    gEngine.frontSketch = savedFront;
    FreeSketch(sketch);
}

TEST_F(Shell, EngineCommandsRunOnlyWhileEnabled) {
    ASSERT_TRUE(CmdStateReserveItems(2));
    const uint32_t open = CmdStateAddItem(CommandStateOwner{ kOwnerMenuItem, 0x1234, 0 }, 16);
    const uint32_t save = CmdStateAddItem(CommandStateOwner{ kOwnerMenuItem, 0x1234, 1 }, 17);
    ASSERT_NE(open, kCmdStateNoSlot);
    ASSERT_NE(save, kCmdStateNoSlot);
    EngineDocument* savedFront = gEngine.frontDocument;
    gEngine.frontDocument = nullptr;  // nothing to save
    ResetExecutorLog();

    RunEngineCommand(save);
    EXPECT_EQ(ExecutorCallCount(), 0);
    RunEngineCommand(open);
    EXPECT_EQ(ExecutorCallCount(), 1);
    EXPECT_EQ(LastExecutorCall().slot, 7);
    EXPECT_EQ(LastExecutorCall().argument, 16);

    gEngine.frontDocument = savedFront;
    CmdStateRemoveItem(save);
    CmdStateRemoveItem(open);
}

TEST_F(Shell, StartUpLearnsTheDecimalSeparator) {
    EXPECT_TRUE(StartPlatformServices());
    EXPECT_EQ(DecimalSeparator(), '.');
    StopPlatformServices();
}

TEST(ShellAnswers, RealsAndLocusCodes) {
    EXPECT_TRUE(IsFiniteReal(1.5));
    EXPECT_FALSE(IsFiniteReal(HUGE_VAL));
    EXPECT_FALSE(IsNanReal(HUGE_VAL));
    EXPECT_TRUE(IsNanReal(std::nan("")));
    for (auto [in, out] : { std::pair{ 10, 6 }, std::pair{ 6, 3 }, std::pair{ 3, 3 } }) {
        int32_t code = in;
        EXPECT_EQ(MapLocusClassCode(&code), in);
        EXPECT_EQ(code, out);
    }
}

}  // namespace
