#include <gtest/gtest.h>

#include "classlib/app.h"
#include "classlib/docmgr.h"
#include "classlib/doc.h"
#include "classlib/doctempl.h"
#include "classlib/mdi.h"
#include "classlib/menu.h"
#include "classlib/recent.h"
#include "classlib/view.h"
#include "test_support.h"

#include <shlobj.h>

#include <cstring>

using classlib_test::Log;

namespace {
Log docLog;
int liveDocs = 0;
// The answer every save prompt of TestDoc gives.
bool saveAnswer = true;
}  // namespace

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp("ClassLibTestApp") {}
    std::vector<std::string> opened;
    bool recordOnly = false;
    CDocument* OpenDocumentFile(const char* path) override {
        if (recordOnly) {
            opened.push_back(path);
            return nullptr;
        }
        return CWinApp::OpenDocumentFile(path);
    }

protected:
    void OnAppCommand() { docLog.Add("app"); }
    void OnShared() { docLog.Add("app-shared"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
    ON_COMMAND(300, OnAppCommand)
    ON_COMMAND(399, OnShared)
    ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
END_MESSAGE_MAP()

class TestDoc : public CDocument {
    DECLARE_DYNCREATE(TestDoc)
public:
    TestDoc() { ++liveDocs; }
    ~TestDoc() override { --liveDocs; }
    HMENU menu = nullptr;
    bool OnOpenDocument(const char* path) override {
        docLog.Add(std::string("open:") + path);
        return std::strstr(path, "bad") == nullptr;
    }
    bool SaveModified() override {
        docLog.Add("save-prompt:" + std::string(GetTitle()));
        return !IsModified() || saveAnswer;
    }
    HMENU GetDefaultMenu() override {
        if (!menu) {
            menu = ::CreateMenu();
            HMENU window = ::CreatePopupMenu();
            ::AppendMenuA(window, MF_STRING, CMD_CASCADE, "&Cascade");
            ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "&Window");
        }
        return menu;
    }

protected:
    void OnDocCommand() { docLog.Add("doc"); }
    void OnDropDown(NMHDR* nm, LRESULT* result) {
        docLog.Add("doc-dropdown:" + std::to_string(nm->idFrom));
        *result = TBDDRET_DEFAULT;
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestDoc, CDocument)

BEGIN_MESSAGE_MAP(TestDoc, CDocument)
    ON_COMMAND(301, OnDocCommand)
    ON_COMMAND(399, OnDocCommand)
    ON_NOTIFY(TBN_DROPDOWN, AFX_IDW_TOOLBAR, OnDropDown)
END_MESSAGE_MAP()

class TestView : public CView {
    DECLARE_DYNCREATE(TestView)
public:
    void OnDraw(CDC*) override {}

protected:
    void OnViewCommand() { docLog.Add("view"); }
    void OnRange(UINT id) { docLog.Add("view-range:" + std::to_string(id)); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestView, CView)

BEGIN_MESSAGE_MAP(TestView, CView)
    ON_COMMAND(302, OnViewCommand)
    ON_COMMAND_RANGE(310, 319, OnRange)
END_MESSAGE_MAP()

class TestChild : public CMDIChildWnd {
    DECLARE_DYNCREATE(TestChild)
protected:
    void OnChildCommand() { docLog.Add("child"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestChild, CMDIChildWnd)

BEGIN_MESSAGE_MAP(TestChild, CMDIChildWnd)
    ON_COMMAND(303, OnChildCommand)
END_MESSAGE_MAP()

class TestMain : public CMDIFrameWnd {
public:
    bool OnCommand(WPARAM wParam, LPARAM lParam) override {
        // The frame sees every command first; 0x9000 and up it takes itself.
        if (LOWORD(wParam) >= 0x9000 && LOWORD(wParam) <= 0xAFFF) {
            docLog.Add("frame-oncommand");
            return true;
        }
        return CMDIFrameWnd::OnCommand(wParam, lParam);
    }

protected:
    void OnMainCommand() { docLog.Add("main"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestMain, CMDIFrameWnd)
    ON_COMMAND(304, OnMainCommand)
END_MESSAGE_MAP()

class TestTemplate : public CMultiDocTemplate {
public:
    TestTemplate()
        : CMultiDocTemplate(129, RUNTIME_CLASS(TestDoc), RUNTIME_CLASS(TestChild), RUNTIME_CLASS(TestView)) {
        m_strDocStrings = "\nSketch\nSketch\nVelmora Document (*.yrn)\n.yrn\nVelmora.Document\nVelmora Document";
    }

protected:
    void OnTemplateCommand() { docLog.Add("template"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestTemplate, CMultiDocTemplate)
    ON_COMMAND(305, OnTemplateCommand)
END_MESSAGE_MAP()

// The other end of a shell DDE conversation: counts the acknowledgements.
class DdeClient : public CWnd {
public:
    int acks = 0;
    ATOM ackedApp = 0;

protected:
    LRESULT OnAck(WPARAM, LPARAM lParam) {
        if (++acks == 1) ackedApp = LOWORD(lParam);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DdeClient, CWnd)
    ON_MESSAGE(WM_DDE_ACK, OnAck)
END_MESSAGE_MAP()

namespace {

class Documents : public ::testing::Test {
protected:
    void SetUp() override {
        docLog.Clear();
        saveAnswer = true;
        app_ = new TestApp;
        app_->InitApplication();
        tmpl_ = new TestTemplate;
        app_->AddDocTemplate(tmpl_);
        main_ = new TestMain;
        ASSERT_TRUE(main_->Create(nullptr, "App", WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE | WS_HSCROLL | WS_VSCROLL));
        // Left hidden: hiding a shown top-level window makes the X driver wait for
        // a window manager that Xvfb does not have.
        app_->m_pMainWnd = main_;
    }
    void TearDown() override {
        if (app_->m_pMainWnd) {
            app_->CloseAllDocuments(false);
            app_->m_pMainWnd->DestroyWindow();
        }
        classlib_test::DrainMessages();
        delete app_;
    }
    int ChildCount() const {
        int n = 0;
        for (HWND h = ::GetTopWindow(main_->m_hWndMDIClient); h; h = ::GetNextWindow(h, GW_HWNDNEXT)) ++n;
        return n;
    }

    TestApp* app_ = nullptr;
    TestTemplate* tmpl_ = nullptr;
    TestMain* main_ = nullptr;
};

TEST_F(Documents, NewDocumentMakesChildFrameAndView) {
    // The MDI client took the frame's scroll bars.
    EXPECT_TRUE(::GetWindowLongA(main_->m_hWndMDIClient, GWL_STYLE) & WS_HSCROLL);
    EXPECT_FALSE(main_->GetStyle() & (WS_HSCROLL | WS_VSCROLL));

    CDocument* doc = app_->OpenDocumentFile(nullptr);
    ASSERT_EQ(doc, nullptr);   // a null path opens nothing: new documents come from File New
    app_->OnCmdMsg(ID_FILE_NEW, ROUTE_COMMAND, nullptr, nullptr);
    ASSERT_EQ(liveDocs, 1);
    CMDIChildWnd* child = main_->MDIGetActive();
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(child->IsKindOf(RUNTIME_CLASS(TestChild)));
    CView* view = child->GetActiveView();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->IsKindOf(RUNTIME_CLASS(TestView)));
    doc = view->GetDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetTitle(), "Sketch1");
    CString title;
    child->GetWindowText(title);
    EXPECT_EQ(title, "Sketch1");
    main_->GetWindowText(title);
    EXPECT_EQ(title, "App - Sketch1");
    // The menu bar is the active document's, with its Window pop-up.
    EXPECT_EQ(::GetMenu(main_->m_hWnd), static_cast<TestDoc*>(doc)->menu);

    app_->OnCmdMsg(ID_FILE_NEW, ROUTE_COMMAND, nullptr, nullptr);
    EXPECT_EQ(main_->GetActiveDocument()->GetTitle(), "Sketch2");
    EXPECT_EQ(ChildCount(), 2);

    // With the last document closed the main frame's title names none.
    main_->GetActiveDocument()->OnCloseDocument();
    doc->OnCloseDocument();
    ASSERT_EQ(ChildCount(), 0);
    main_->ShowWindow(SW_SHOWNA);   // idle passes bring only shown frames up to date
    app_->OnIdle(0);
    main_->GetWindowText(title);
    EXPECT_EQ(title, "App");
}

TEST_F(Documents, CommandsRouteFromViewToApplication) {
    app_->OnCmdMsg(ID_FILE_NEW, ROUTE_COMMAND, nullptr, nullptr);
    struct Case { UINT id; const char* handler; };
    const Case cases[] = {
        { 302, "view" }, { 314, "view-range:314" }, { 301, "doc" }, { 305, "template" },
        { 303, "child" }, { 304, "main" }, { 300, "app" },
        { 399, "doc" },              // handled by the document before the application
        { 0x9000, "frame-oncommand" }, { 0xAFFF, "frame-oncommand" }, { 306, "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        docLog.Clear();
        main_->SendMessage(WM_COMMAND, MAKEWPARAM(c.id, 0), 0);
        EXPECT_EQ(docLog.Joined(), c.handler);
    }
}

TEST_F(Documents, BarNotificationsTakeTheCommandRoad) {
    app_->OnCmdMsg(ID_FILE_NEW, ROUTE_COMMAND, nullptr, nullptr);
    CWnd bar;
    CRect r(0, 0, 10, 10);
    ASSERT_TRUE(bar.Create("STATIC", nullptr, WS_CHILD, r, main_, AFX_IDW_TOOLBAR));
    NMTOOLBARA notify{};
    notify.hdr = { bar.m_hWnd, AFX_IDW_TOOLBAR, static_cast<UINT>(TBN_DROPDOWN) };
    docLog.Clear();
    EXPECT_EQ(main_->SendMessage(WM_NOTIFY, AFX_IDW_TOOLBAR, reinterpret_cast<LPARAM>(&notify)), TBDDRET_DEFAULT);
    EXPECT_EQ(docLog.Joined(), "doc-dropdown:" + std::to_string(AFX_IDW_TOOLBAR));
    bar.DestroyWindow();
}

TEST_F(Documents, FailedOpenLeavesNoFrameAndNoDocument) {
    EXPECT_EQ(app_->OpenDocumentFile("C:\\bad.yrn"), nullptr);
    EXPECT_EQ(docLog.Joined(), "open:C:\\bad.yrn");
    EXPECT_EQ(liveDocs, 0);
    EXPECT_EQ(ChildCount(), 0);
    EXPECT_EQ(main_->MDIGetActive(), nullptr);

    CDocument* doc = app_->OpenDocumentFile("C:\\good.yrn");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPathName(), "C:\\good.yrn");
    EXPECT_EQ(doc->GetTitle(), "good.yrn");
    // The same path again activates the open document instead of reading it.
    docLog.Clear();
    EXPECT_EQ(app_->OpenDocumentFile("c:\\GOOD.yrn"), doc);
    EXPECT_EQ(docLog.Joined(), "");
    EXPECT_EQ(liveDocs, 1);
}

TEST_F(Documents, MatchDocTypeConfidences) {
    CDocument* doc = app_->OpenDocumentFile("C:\\open.yrn");
    ASSERT_NE(doc, nullptr);
    struct Case { const char* path; CDocTemplate::Confidence confidence; bool match; };
    const Case cases[] = {
        { "C:\\open.yrn", CDocTemplate::yesAlreadyOpen, true },
        { "C:\\other.YRN", CDocTemplate::yesAttemptNative, false },
        { "C:\\other.txt", CDocTemplate::yesAttemptForeign, false },
        { "C:\\dir.yrn\\noext", CDocTemplate::yesAttemptForeign, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CDocument* match = nullptr;
        EXPECT_EQ(tmpl_->MatchDocType(c.path, match), c.confidence);
        EXPECT_EQ(match, c.match ? doc : nullptr);
    }
}

TEST_F(Documents, ClosingTheMainWindowAsksEveryDocumentAndCancelKeepsAll) {
    CDocument* a = app_->OpenDocumentFile("C:\\a.yrn");
    CDocument* b = app_->OpenDocumentFile("C:\\b.yrn");
    ASSERT_TRUE(a && b);
    a->SetModifiedFlag();
    b->SetModifiedFlag();
    saveAnswer = false;
    docLog.Clear();
    main_->SendMessage(WM_CLOSE);
    EXPECT_EQ(docLog.Joined(), "save-prompt:a.yrn");
    EXPECT_TRUE(::IsWindow(main_->m_hWnd));
    EXPECT_EQ(liveDocs, 2);

    saveAnswer = true;
    docLog.Clear();
    HWND hwnd = main_->m_hWnd;
    main_->SendMessage(WM_CLOSE);
    EXPECT_EQ(docLog.Joined(), "save-prompt:a.yrn save-prompt:b.yrn");
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(liveDocs, 0);
    EXPECT_EQ(app_->m_pMainWnd, nullptr);
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));   // the quit road
}

TEST_F(Documents, LastChildClosedRestoresTheFrameMenu) {
    HMENU frameMenu = ::CreateMenu();
    main_->m_hMenuDefault = frameMenu;
    CDocument* doc = app_->OpenDocumentFile("C:\\m.yrn");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(::GetMenu(main_->m_hWnd), static_cast<TestDoc*>(doc)->menu);
    HMENU docMenu = static_cast<TestDoc*>(doc)->menu;
    doc->OnCloseDocument();
    EXPECT_EQ(::GetMenu(main_->m_hWnd), frameMenu);
    ::DestroyMenu(docMenu);
}

TEST_F(Documents, DroppedFilesOpenInOrderAndOverlongNamesAreSkipped) {
    app_->recordOnly = true;
    std::string longName = "C:\\" + std::string(300, 'x') + ".yrn";
    std::vector<std::string> names = { "C:\\one.yrn", longName, "C:\\two.yrn" };
    size_t chars = 1;
    for (const std::string& n : names) chars += n.size() + 1;
    HGLOBAL drop = ::GlobalAlloc(GHND, sizeof(DROPFILES) + chars);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    char* p = reinterpret_cast<char*>(header + 1);
    for (const std::string& n : names) {
        std::memcpy(p, n.c_str(), n.size() + 1);
        p += n.size() + 1;
    }
    ::GlobalUnlock(drop);
    main_->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
    EXPECT_EQ(app_->opened, (std::vector<std::string>{ "C:\\one.yrn", "C:\\two.yrn" }));
}

TEST_F(Documents, ShellDdeOpensTheNamedDocuments) {
    app_->recordOnly = true;
    app_->m_atomApp = ::GlobalAddAtomA("ClassLibTestApp");
    app_->m_atomSystemTopic = ::GlobalAddAtomA("system");
    DdeClient client;
    ASSERT_TRUE(client.CreateEx(0, nullptr, "dde client", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
    // A conversation about another topic is not answered.
    ATOM otherTopic = ::GlobalAddAtomA("other");
    main_->SendMessage(WM_DDE_INITIATE, reinterpret_cast<WPARAM>(client.m_hWnd),
                       MAKELPARAM(app_->m_atomApp, otherTopic));
    EXPECT_EQ(client.acks, 0);
    main_->SendMessage(WM_DDE_INITIATE, reinterpret_cast<WPARAM>(client.m_hWnd),
                       MAKELPARAM(app_->m_atomApp, app_->m_atomSystemTopic));
    ASSERT_EQ(client.acks, 1);
    char name[64] = {};
    ::GlobalGetAtomNameA(client.ackedApp, name, sizeof name);
    EXPECT_STREQ(name, "ClassLibTestApp");

    const char command[] = "[open(\"C:\\dde one.yrn\")][print(\"C:\\two.yrn\")][bogus(";
    HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof command);
    std::memcpy(::GlobalLock(data), command, sizeof command);
    ::GlobalUnlock(data);
    ASSERT_TRUE(main_->PostMessage(WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(client.m_hWnd),
                                   ::PackDDElParam(WM_DDE_EXECUTE, 0, reinterpret_cast<UINT_PTR>(data))));
    EXPECT_TRUE(classlib_test::PumpUntil([&] { return client.acks == 2; }));
    EXPECT_EQ(app_->opened, (std::vector<std::string>{ "C:\\dde one.yrn", "C:\\two.yrn" }));
    ::GlobalFree(data);
    ::GlobalDeleteAtom(otherTopic);
    client.DestroyWindow();
}

}  // namespace
