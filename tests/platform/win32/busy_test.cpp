// Busy feedback by the time an update comes, with the tick count moved by the test.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "engine/core/services/busy.h"
#include "engine/core/services/clock.h"
#include "engine/core/status_text.h"
#include "platform/win32/busy_feedback.h"
#include "platform/win32/test_hooks.h"

namespace {

class BusyFeedback : public ::testing::TestWithParam<uint32_t> {
protected:
    void SetUp() override {
        InitStatusText();
        FreezeTickCountForTest(GetParam());
    }
    void TearDown() override {
        ReleaseTickCountForTest();
        FreeStatusText();
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    }
    static std::string StatusText() {
        const char* text = nullptr;
        FetchStatusText(&text);
        return text ? text : "";
    }
};

// From a tick count far from the wrap, and from one just before it.
INSTANTIATE_TEST_SUITE_P(Starts, BusyFeedback, ::testing::Values(1000u, 0xFFFFFE00u));

TEST_P(BusyFeedback, NothingBeforeHalfASecondThenStatusAndCursorThenAWindow) {
    BusyTask* task = BeginBusyTask(1, 100, true);
    ASSERT_NE(task, nullptr);
    AdvanceTickCountForTest(499);
    EXPECT_TRUE(UpdateBusyTask(task, 1));
    EXPECT_FALSE(BusyCursorWanted());
    EXPECT_EQ(StatusText(), "");

    AdvanceTickCountForTest(1);  // 500 ms
    EXPECT_TRUE(UpdateBusyTask(task, 2));
    EXPECT_TRUE(BusyCursorWanted());
    EXPECT_EQ(StatusText(), "Opening...");
    EXPECT_EQ(ProgressWindowOf(task), nullptr);

    AdvanceTickCountForTest(500);  // 1000 ms: the window opens, with the arrow cursor
    EXPECT_TRUE(UpdateBusyTask(task, 3));
    HWND window = ProgressWindowOf(task);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(BusyCursorWanted());
    char title[64];
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Opening...");

    AdvanceTickCountForTest(100);  // later updates move the bar
    EXPECT_TRUE(UpdateBusyTask(task, 40));
    EXPECT_TRUE(BusyCursorWanted());
    HWND bar = FindWindowExA(window, nullptr, "msctls_progress32", nullptr);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 40);

    EndBusyTask(task);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(BusyCursorWanted());
    EXPECT_EQ(StatusText(), "");
}

TEST_P(BusyFeedback, CancelStopsTheOperationUntilTheNextBegin) {
    BusyTask* task = BeginBusyTask(2, 10, true);
    AdvanceTickCountForTest(1000);
    UpdateBusyTask(task, 0);
    HWND window = ProgressWindowOf(task);
    ASSERT_NE(window, nullptr);
    HWND cancel = GetDlgItem(window, IDCANCEL);
    ASSERT_NE(cancel, nullptr);
    PostMessageA(window, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(cancel));
    AdvanceTickCountForTest(10);
    EXPECT_FALSE(UpdateBusyTask(task, 1));  // the pump delivered the Cancel
    EXPECT_FALSE(IsWindowVisible(window));
    EndBusyTask(task);

    task = BeginBusyTask(2, 10, false);
    EXPECT_TRUE(UpdateBusyTask(task, 1));
    EndBusyTask(task);
}

TEST_P(BusyFeedback, AQuitMetWhileMovingTheBarIsPostedAgain) {
    BusyTask* task = BeginBusyTask(3, 10, false);
    AdvanceTickCountForTest(1000);
    UpdateBusyTask(task, 0);
    ASSERT_NE(ProgressWindowOf(task), nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(ProgressWindowOf(task), IDCANCEL)));
    PostQuitMessage(7);
    AdvanceTickCountForTest(10);
    EXPECT_TRUE(UpdateBusyTask(task, 5));
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EndBusyTask(task);
}

TEST_P(BusyFeedback, TheWindowShowsOnlyWhatTheTaskHas) {
    struct Case { uint32_t maximum; bool cancelable; bool bar, cancel, systemMenu; int lower; };
    const Case cases[] = {
        { 10, true, true, true, true, 0 },
        { 0, true, false, true, true, 0 },     // the Cancel button alone, centred
        { 10, false, true, false, false, 36 },
        { 0, false, false, false, false, 36 }, // only the title bar
    };
    int fullHeight = 0;
    for (const Case& c : cases) {
        BusyTask* task = BeginBusyTask(1, c.maximum, c.cancelable);
        AdvanceTickCountForTest(1000);
        UpdateBusyTask(task, 0);
        HWND window = ProgressWindowOf(task);
        ASSERT_NE(window, nullptr);
        HWND bar = GetDlgItem(window, 1205), cancel = GetDlgItem(window, IDCANCEL);
        EXPECT_EQ(IsWindowVisible(bar) != FALSE, c.bar) << c.maximum << c.cancelable;
        EXPECT_EQ(IsWindowVisible(cancel) != FALSE, c.cancel) << c.maximum << c.cancelable;
        EXPECT_EQ((GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU) != 0, c.systemMenu);
        RECT r{}, client{}, button{};
        GetWindowRect(window, &r);
        if (fullHeight == 0) fullHeight = r.bottom - r.top;
        EXPECT_EQ(r.bottom - r.top, fullHeight - c.lower);
        if (c.cancelable && c.maximum == 0) {
            GetClientRect(window, &client);
            GetWindowRect(cancel, &button);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&button), 2);
            EXPECT_NEAR((button.left + button.right) / 2, client.right / 2, 1);
        }
        EndBusyTask(task);
        EXPECT_FALSE(IsWindow(window));   // no window is left once the task ends
    }
}

TEST_P(BusyFeedback, ANullTaskIsAccepted) {
    EXPECT_TRUE(UpdateBusyTask(nullptr, 5));
    EndBusyTask(nullptr);
}

TEST_P(BusyFeedback, DeadlinesAcrossTheWrap) {
    uint32_t deadline = 1;
    SetDeadline(&deadline, 0);
    EXPECT_EQ(deadline, 0u);
    EXPECT_TRUE(DeadlinePassed(0));

    SetDeadline(&deadline, 0x300);  // past the wrap for the start just before it
    EXPECT_NE(deadline, 0u);
    AdvanceTickCountForTest(0x2FF);
    EXPECT_FALSE(DeadlinePassed(deadline));
    AdvanceTickCountForTest(1);
    EXPECT_TRUE(DeadlinePassed(deadline));
}

}  // namespace
