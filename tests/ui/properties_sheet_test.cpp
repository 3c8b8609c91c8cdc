// The Properties sheet over the model's pages: a retarget keeps the Object page and
// names the new object; one whose pages cannot be prepared ends the sheet as cancelled.
#include <gtest/gtest.h>

#include "engine/core/engine_startup.h"
#include "engine/core/memory.h"
#include "engine/core/action_button_data.h"
#include "engine/interact/object_properties.h"
#include "engine/interact/pick_session.h"
#include "tests/ui/properties_sheet_support.h"

#include <windows.h>

#include <memory>
#include <string>

#include "classlib/wnd.h"
#include "platform/win32/shell_windows.h"
#include "ui/dialogs/properties_sheet.h"

namespace {

std::string Title(HWND w) {
    char text[320] = "";
    GetWindowTextA(w, text, sizeof text);
    return text;
}

void Pump() {
    MSG m;
    for (int i = 0; i < 20; ++i) {
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(10);
    }
}

class PropertiesSheet : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartEngine()); }
    static void TearDownTestSuite() { ShutdownEngine(); }
    void SetUp() override {
        main_ = CreateWindowExA(0, "STATIC", "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600, 450, nullptr,
                                nullptr, nullptr, nullptr);
        RegisterMainWindow(main_, true, false);
        sketch_ = BeginPropertiesSketch();
        ASSERT_NE(sketch_, nullptr);
    }
    void TearDown() override {
        PropertiesFreePages();
        EndPropertiesSketch(sketch_);
        RegisterMainWindow(nullptr, false, false);
        DestroyWindow(main_);
    }
    HWND main_ = nullptr;
    Sketch* sketch_ = nullptr;
};

TEST_F(PropertiesSheet, ARetargetKeepsTheObjectPageAndOneThatCannotPrepareCancels) {
    SketchObject* a = PropertiesTestPoint(100, 100);
    SketchObject* b = PropertiesTestPoint(200, 100);
    SketchObject* value = PropertiesTestValue(4);
    ASSERT_TRUE(a && b && value);
    ASSERT_TRUE(PropertiesPreparePages(a, kPageLabel));
    CPropDlg sheet(&PropertiesPageSet, PropertiesApplyLive);
    ASSERT_TRUE(sheet.Create(nullptr));
    EXPECT_EQ(sheet.GetPageCount(), 2);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);   // opened on the Label page
    const std::string first = Title(sheet.m_hWnd);
    EXPECT_EQ(first.rfind("Properties of Point", 0), 0u) << first;
    CPropertyPage* objectPage = sheet.GetPage(0);

    PropertiesPageSet.pages[kPageObject][1].value.pointer = b;
    sheet.RetargetFromObjectPage();
    EXPECT_EQ(sheet.GetPage(0), objectPage);
    EXPECT_EQ(sheet.GetPageCount(), 2);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_NE(Title(sheet.m_hWnd), first);
    EXPECT_NE(::SendMessageA(sheet.m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0), 0);

    // The measurement's Value page needs an array the points' sheet has not.
    PropertiesPageSet.pages[kPageObject][1].value.pointer = value;
    SetAllocFailureAfter(1, true);
    sheet.RetargetFromObjectPage();
    SetAllocFailureAfter(0);
    EXPECT_EQ(PropertiesPageSet.pages[kPageObject], nullptr);
    Pump();
    EXPECT_EQ(::SendMessageA(sheet.m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0), 0);   // ended
    EXPECT_EQ(sheet.Result(), IDCANCEL);
}

// A sheet opened on a page of an object, closed with Cancel at the end of the scope.
struct OpenSheet {
    OpenSheet(SketchObject* object, int32_t page) {
        ok = PropertiesPreparePages(object, page);
        if (ok) {
            sheet = std::make_unique<CPropDlg>(&PropertiesPageSet, PropertiesApplyLive);
            ok = sheet->Create(nullptr);
        }
    }
    ~OpenSheet() {
        sheet.reset();
        PropertiesFinishPages(false);
        PropertiesFreePages();
    }
    HWND Page() const { return reinterpret_cast<HWND>(::SendMessageA(sheet->m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0)); }
    bool Checked(int id) const { return IsDlgButtonChecked(Page(), id) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(Page(), id)) != 0; }
    void Click(int id) const { SendMessageA(GetDlgItem(Page(), id), BM_CLICK, 0, 0); }
    bool ok = false;
    std::unique_ptr<CPropDlg> sheet;
};

TEST_F(PropertiesSheet, TheValuePageShowsCurrentLabelAsTheThirdRadioAndKeepsAModeWithoutOne) {
    struct Case { int32_t mode; bool first, second, third; };
    const Case cases[] = {
        { 0, true, false, false }, { 1, false, true, false }, { 2, false, false, false }, { 3, false, false, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        SketchObject* value = PropertiesTestValue(4);
        SetValueDisplayMode(value, c.mode);
        OpenSheet open(value, kPageValue);
        ASSERT_TRUE(open.ok);
        EXPECT_EQ(open.Checked(1266), c.first);
        EXPECT_EQ(open.Checked(1267), c.second);
        EXPECT_EQ(open.Checked(1268), c.third);
        ASSERT_TRUE(open.sheet->GetActivePage()->UpdateData(true));
        EXPECT_EQ(PropertiesPageSet.pages[kPageValue][1].value.integer, c.mode);
    }
    SketchObject* value = PropertiesTestValue(4);
    OpenSheet open(value, kPageValue);
    ASSERT_TRUE(open.ok);
    open.Click(1268);
    EXPECT_EQ(PropertiesPageSet.pages[kPageValue][1].value.integer, 3);
}

TEST_F(PropertiesSheet, ButtonPagesEnableFromTheirChoices) {
    SketchObject* a = PropertiesTestPoint(10, 10);
    SketchObject* b = PropertiesTestPoint(50, 10);
    {
        OpenSheet open(PropertiesTestButton(kButtonHide, a, nullptr), kPageHideShow);
        ASSERT_TRUE(open.ok);
        EXPECT_TRUE(open.Checked(1268));   // a new button toggles
        EXPECT_TRUE(open.Enabled(1129));
        open.Click(1267);
        EXPECT_FALSE(open.Enabled(1129));   // nothing is shown to select
        open.Click(1266);
        EXPECT_TRUE(open.Enabled(1129));
    }
    {
        OpenSheet open(PropertiesTestButton(kButtonMove, a, b), kPageMove);
        ASSERT_TRUE(open.ok);
        HWND combo = GetDlgItem(open.Page(), 1130);
        EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 4);
        EXPECT_TRUE(open.Enabled(1266));
        SendMessageA(combo, CB_SETCURSEL, 3, 0);   // instant
        SendMessageA(open.Page(), WM_COMMAND, MAKEWPARAM(1130, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        EXPECT_FALSE(open.Enabled(1266));
        EXPECT_FALSE(open.Enabled(1267));
    }
}

CPropDlg* gRunning = nullptr;
bool gFocusWhileOpen = false;

void CALLBACK CancelAnimateSheet(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    gFocusWhileOpen = DialogFocusObject() != nullptr;
    PostMessageA(gRunning->m_hWnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

TEST_F(PropertiesSheet, CancelOnTheAnimatePageGivesItsTargetBackHidden) {
    SketchObject* target = PropertiesTestPoint(10, 10);
    SketchObject* button = PropertiesTestButton(kButtonAnimate, target, nullptr);
    ASSERT_NE(button, nullptr);
    SetObjectHiddenForTest(target, true);
    ASSERT_TRUE(PropertiesPreparePages(button, kPageAnimate));
    {
        CPropDlg sheet(&PropertiesPageSet, PropertiesApplyLive);
        gRunning = &sheet;
        SetTimer(nullptr, 0, 300, CancelAnimateSheet);
        EXPECT_EQ(sheet.DoModal(), IDCANCEL);
        gRunning = nullptr;
    }
    PropertiesFinishPages(false);
    EXPECT_TRUE(gFocusWhileOpen);   // the page showed its target
    EXPECT_EQ(DialogFocusObject(), nullptr);
    EXPECT_TRUE(ObjectHiddenForTest(target));
}

}  // namespace
