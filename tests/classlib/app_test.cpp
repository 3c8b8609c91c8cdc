#include <gtest/gtest.h>

#include "classlib/app.h"
#include "classlib/frame.h"
#include "classlib/portable/dde_command.h"
#include "classlib/recent.h"
#include "test_support.h"

using classlib_test::Log;

namespace {
Log appLog;
}  // namespace

// Records its idle counts; posts input at count 4 and quits at the second count 3.
class IdleApp : public CWinApp {
public:
    IdleApp() : CWinApp("ClassLibIdleApp") {}
    std::vector<LONG> counts;
    HWND target = nullptr;
    bool OnIdle(LONG count) override {
        counts.push_back(count);
        bool library = CWinApp::OnIdle(count);
        if (count == 4 && counts.size() == 5) ::PostMessageA(target, WM_USER, 0, 0);
        if (count == 3 && counts.size() > 5) ::PostQuitMessage(17);
        return library || count < 6;
    }
    int ExitInstance() override { return CWinThread::ExitInstance(); }
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) appLog.Add("thread");
        return CWinApp::PreTranslateMessage(msg);
    }
};

class LoggingFrame : public CFrameWnd {
public:
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) appLog.Add("frame");
        return CFrameWnd::PreTranslateMessage(msg);
    }
};

class LoggingChild : public CWnd {
public:
    std::string name;
    bool consume = false;
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) appLog.Add(name);
        return consume;
    }

protected:
    void OnKeyDown(UINT, UINT, UINT) { appLog.Add(name + "-dispatched"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(LoggingChild, CWnd)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

// Ends its modal loop after a number of idle kicks.
class KickedWnd : public CWnd {
public:
    std::vector<LONG> kicks;
    bool sawModalFlag = false;
    int endAfter = 3;

protected:
    LRESULT OnKickIdle(WPARAM, LPARAM count) {
        kicks.push_back(static_cast<LONG>(count));
        sawModalFlag = (m_nFlags & WINDOW_IN_MODAL_LOOP) != 0;
        if (static_cast<int>(kicks.size()) == endAfter) EndModalLoop(7);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(KickedWnd, CWnd)
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

namespace {

TEST(MessageLoop, IdleCountsRiseAndStartAgainAfterInput) {
    IdleApp app;
    CWnd target;
    ASSERT_TRUE(target.CreateEx(0, nullptr, "target", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
    app.target = target.m_hWnd;
    classlib_test::DrainMessages();
    EXPECT_EQ(app.Run(), 17);   // WM_QUIT ends the loop with its exit code
    // 0..4, then the posted message, then 0..3 (other input may restart it earlier).
    ASSERT_GE(app.counts.size(), 9u);
    EXPECT_EQ(app.counts[0], 0);
    for (size_t i = 1; i < app.counts.size(); ++i) {
        EXPECT_TRUE(app.counts[i] == app.counts[i - 1] + 1 || app.counts[i] == 0) << i;
    }
    EXPECT_EQ(app.counts.back(), 3);
    target.DestroyWindow();
}

TEST(MessageLoop, PreTranslationGoesFromThreadThroughTheWindowsUpToTheMainWindow) {
    IdleApp app;
    auto* frame = new LoggingFrame;
    ASSERT_TRUE(frame->Create(nullptr, "main", WS_OVERLAPPEDWINDOW));
    app.m_pMainWnd = frame;
    LoggingChild outer, inner;
    outer.name = "outer";
    inner.name = "inner";
    CRect r(0, 0, 10, 10);
    ASSERT_TRUE(outer.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, r, frame, 1));
    ASSERT_TRUE(inner.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, r, &outer, 2));
    classlib_test::DrainMessages();
    for (bool consume : { false, true }) {
        SCOPED_TRACE(consume);
        outer.consume = consume;
        appLog.Clear();
        ::PostMessageA(inner.m_hWnd, WM_KEYDOWN, 'A', 0);
        // Other messages of the windows may come first.
        for (int i = 0; i < 100 && appLog.entries.empty(); ++i) ASSERT_TRUE(app.PumpMessage());
        EXPECT_EQ(appLog.Joined(), consume ? "thread inner outer" : "thread inner outer frame inner-dispatched");
    }
    ::PostQuitMessage(3);
    bool quit = false;
    for (int i = 0; i < 100 && !quit; ++i) quit = !app.PumpMessage();
    EXPECT_TRUE(quit);   // WM_QUIT is reported
    EXPECT_EQ(app.m_msgCur.wParam, 3u);
    frame->DestroyWindow();
    classlib_test::DrainMessages();
}

TEST(MessageLoop, ModalLoopKicksIdleAndKeepsTheModalFlag) {
    KickedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "modal", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
    classlib_test::DrainMessages();
    EXPECT_EQ(wnd.RunModalLoop(), 7);
    EXPECT_EQ(wnd.kicks, (std::vector<LONG>{ 0, 1, 2 }));
    EXPECT_TRUE(wnd.sawModalFlag);
    EXPECT_EQ(wnd.m_nFlags & (WINDOW_IN_MODAL_LOOP | WINDOW_MODAL_GOES_ON), 0);

    // A quit while the loop runs ends it and stays queued for the outer loop.
    wnd.kicks.clear();
    wnd.endAfter = 100;
    ::PostQuitMessage(5);
    EXPECT_EQ(wnd.RunModalLoop(), -1);
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    wnd.DestroyWindow();
}

TEST(MessageLoop, SafeOwnerIsTheMainWindowsLastActivePopup) {
    CWinApp app("owner");
    auto* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "main", WS_OVERLAPPEDWINDOW));
    app.m_pMainWnd = frame;
    HWND top = nullptr;
    EXPECT_EQ(CWnd::GetSafeOwner_(nullptr, &top), frame->m_hWnd);
    EXPECT_EQ(top, nullptr);
    frame->DestroyWindow();
    classlib_test::DrainMessages();
}

TEST(WaitCursor, Nests) {
    CWinApp app("wait");
    HCURSOR arrow = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    HCURSOR wait = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));
    ::SetCursor(arrow);
    {
        CWaitCursor outer;
        EXPECT_EQ(::GetCursor(), wait);
        {
            CWaitCursor inner;
        }
        EXPECT_EQ(::GetCursor(), wait);   // the outer one still holds
    }
    EXPECT_EQ(::GetCursor(), arrow);
}

TEST(CommandLine, SwitchesAndNames) {
    struct Case {
        std::vector<const char*> args;
        int command;
        const char* file;
        bool splash;
        const char* printer;
    };
    const Case cases[] = {
        { {}, CCommandLineInfo::FileNew, "", true, "" },
        { { "C:\\a.yrn" }, CCommandLineInfo::FileOpen, "C:\\a.yrn", true, "" },
        { { "/p", "C:\\a.yrn" }, CCommandLineInfo::FilePrint, "C:\\a.yrn", false, "" },
        { { "-pt", "C:\\a.yrn", "Printer", "Driver", "Port" }, CCommandLineInfo::FilePrintTo, "C:\\a.yrn", false, "Printer" },
        { { "/dde" }, CCommandLineInfo::FileDDE, "", true, "" },
        { { "/Embedding" }, CCommandLineInfo::FileNew, "", false, "" },
        { { "-automation" }, CCommandLineInfo::FileNew, "", false, "" },
        { { "/Unregserver" }, CCommandLineInfo::AppUnregister, "", true, "" },
        { { "/ma", "C:\\b.yrn" }, CCommandLineInfo::FileOpen, "C:\\b.yrn", true, "" },
    };
    for (const Case& c : cases) {
        CCommandLineInfo info;
        for (size_t i = 0; i < c.args.size(); ++i) {
            const char* a = c.args[i];
            bool isSwitch = a[0] == '/' || a[0] == '-';
            info.ParseParam(isSwitch ? a + 1 : a, isSwitch, i + 1 == c.args.size());
        }
        SCOPED_TRACE(c.args.empty() ? "" : c.args[0]);
        if (c.args.empty()) info.ParseParam("", false, true);
        EXPECT_EQ(info.m_nShellCommand, c.command);
        EXPECT_EQ(info.m_strFileName, c.file);
        EXPECT_EQ(info.m_bShowSplash, c.splash);
        EXPECT_EQ(info.m_strPrinterName, c.printer);
    }
}

TEST(DdeCommands, ParsedWithinBoundsAndTheRestIgnored) {
    struct Case { std::string text; std::vector<std::string> names; std::vector<std::string> firstArgs; };
    const std::string longPath(300, 'x');
    const Case cases[] = {
        { "[open(\"C:\\a b.yrn\")]", { "open" }, { "C:\\a b.yrn" } },
        { " [ open ( \"C:\\a.yrn\" ) ] [print(\"C:\\b.yrn\")]", { "open", "print" }, { "C:\\a.yrn" } },
        { "[printto(\"C:\\a.yrn\",\"P\",\"D\",\"Port\")]", { "printto" }, { "C:\\a.yrn", "P", "D", "Port" } },
        { "[open(C:\\plain.yrn)]", { "open" }, { "C:\\plain.yrn" } },
        { "[open(\"C:\\a.yrn\")][open(\"" + longPath + "\")]", { "open" }, { "C:\\a.yrn" } },
        { "[open(\"unterminated)]", {}, {} },
        { "[a(\"1\",\"2\",\"3\",\"4\",\"5\")]", {}, {} },
        { "open(\"C:\\a.yrn\")", {}, {} },
        { std::string("[open(\"C:\\a.yrn\")]\0[open(\"hidden\")]", 36), { "open" }, { "C:\\a.yrn" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<classlib::DdeCommand> commands;
        EXPECT_EQ(classlib::ParseDdeCommands(c.text.data(), c.text.size(), &commands), !c.names.empty());
        ASSERT_EQ(commands.size(), c.names.size());
        for (size_t i = 0; i < commands.size(); ++i) EXPECT_EQ(commands[i].name, c.names[i]);
        if (!commands.empty()) {
            EXPECT_EQ(commands[0].arguments, c.firstArgs);
        }
    }
}

// The profile lives under a key of its own, removed again at the end.
class RecentFiles : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\ClassLibTests"); }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\ClassLibTests"); }
};

TEST_F(RecentFiles, FourMostRecentKeptInTheRegistryAtExit) {
    {
        CWinApp app("Recent");
        app.SetRegistryKey("ClassLibTests");
        app.LoadStdProfileSettings(4);
        ASSERT_NE(app.m_pRecentFileList, nullptr);
        for (const char* name : { "C:\\1.yrn", "C:\\2.yrn", "C:\\3.yrn", "C:\\4.yrn", "C:\\5.yrn", "c:\\3.YRN" }) {
            app.AddToRecentFileList(name);
        }
        CRecentFileList& list = *app.m_pRecentFileList;
        ASSERT_EQ(list.GetCount(), 4);
        EXPECT_EQ(list[0], "c:\\3.YRN");   // a repeat moves to the front, not in twice
        EXPECT_EQ(list[1], "C:\\5.yrn");
        EXPECT_EQ(list[3], "C:\\2.yrn");
        app.ExitInstance();
    }
    CWinApp app("Recent");
    app.SetRegistryKey("ClassLibTests");
    // Damage written by someone else: an overlong entry and an empty one are skipped.
    std::string overlong(400, 'y');
    app.WriteProfileString("Recent File List", "File2", overlong.c_str());
    app.WriteProfileString("Recent File List", "File3", "");
    app.LoadStdProfileSettings(4);
    CRecentFileList& list = *app.m_pRecentFileList;
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list[0], "c:\\3.YRN");
    EXPECT_EQ(list[1], "C:\\2.yrn");
}

}  // namespace
