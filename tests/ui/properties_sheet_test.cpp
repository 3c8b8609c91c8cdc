// The Properties sheet over the model's pages: a retarget keeps the Object page and
// names the new object; one whose pages cannot be prepared ends the sheet as cancelled.
#include <gtest/gtest.h>

#include "engine/core/engine_startup.h"
#include "engine/core/memory.h"
#include "engine/interact/object_properties.h"
#include "tests/ui/properties_sheet_support.h"

#include <windows.h>

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

}  // namespace
