#include <gtest/gtest.h>

#include <string>

#include "classlib/propsheet.h"
#include "test_support.h"

using classlib_test::PumpUntil;

namespace {

constexpr UINT kFirstPage = 1002, kSecondPage = 1003;
constexpr int kEdit = 101;

// A page exchanging its edit with a text member; refuses to be left while refuse is set.
class TextPage : public CPropertyPage {
public:
    explicit TextPage(UINT id) : CPropertyPage(id) {}
    CString text = "start";
    bool refuse = false;
    int applies = 0;

    bool OnApply() override {
        ++applies;
        return CPropertyPage::OnApply();
    }

protected:
    void DoDataExchange(CDataExchange* dx) override {
        ExchangeText(dx, kEdit, text);
        if (dx->m_bSaveAndValidate && refuse) {
            dx->PrepareEditCtrl(kEdit);
            dx->Fail();
        }
    }
};

// Counts its idle kicks and presses OK after the third.
class KickSheet : public CPropertySheet {
public:
    KickSheet() : CPropertySheet("Kick Sheet") {}
    int kicks = 0;
    bool modalFlag = false;

protected:
    LRESULT OnKickIdle(WPARAM, LPARAM count) {
        ++kicks;
        modalFlag = (m_nFlags & WINDOW_IN_MODAL_LOOP) != 0;
        if (count == 2) PostMessage(PSM_PRESSBUTTON, PSBTN_OK);
        return count < 2 ? TRUE : FALSE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(KickSheet, CPropertySheet)
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

int TabCount(const CPropertySheet& sheet) {
    HWND tabs = reinterpret_cast<HWND>(::SendMessageA(sheet.m_hWnd, PSM_GETTABCONTROL, 0, 0));
    return static_cast<int>(::SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
}

TEST(Sheets, AModalSheetRunsInTheLibrarysLoopAndEndsOnOk) {
    KickSheet sheet;
    TextPage first(kFirstPage), second(kSecondPage);
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_GE(sheet.kicks, 3);
    EXPECT_TRUE(sheet.modalFlag);
    EXPECT_EQ(first.applies, 1);
    EXPECT_EQ(sheet.m_hWnd, nullptr);
}

TEST(Sheets, PagesChangeWhileOpenAndReloadWhenShownAgain) {
    CPropertySheet sheet("Open Sheet");
    TextPage first(kFirstPage), second(kSecondPage), third(kSecondPage);
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(TabCount(sheet), 2);
    char text[32] = "";
    ::GetDlgItemTextA(first.m_hWnd, kEdit, text, sizeof text);
    EXPECT_STREQ(text, "start");

    ::SetDlgItemTextA(first.m_hWnd, kEdit, "typed");
    ASSERT_TRUE(sheet.SetActivePage(1));
    EXPECT_EQ(first.text, "typed");   // leaving a page saves it
    first.text = "changed elsewhere";
    ASSERT_TRUE(sheet.SetActivePage(0));
    ::GetDlgItemTextA(first.m_hWnd, kEdit, text, sizeof text);
    EXPECT_STREQ(text, "changed elsewhere");   // shown again: reloaded

    sheet.AddPage(&third);
    EXPECT_EQ(TabCount(sheet), 3);
    sheet.RemovePage(&second);
    EXPECT_EQ(TabCount(sheet), 2);
    EXPECT_EQ(sheet.GetPageCount(), 2);
    ASSERT_TRUE(sheet.SetActivePage(&third));
    EXPECT_EQ(sheet.GetActivePage(), &third);
    sheet.DestroyWindow();
}

TEST(Sheets, APageRefusingItsValuesKeepsTheSheetOpen) {
    CPropertySheet sheet("Refusing Sheet");
    TextPage first(kFirstPage), second(kSecondPage);
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    ASSERT_TRUE(sheet.Create());
    first.refuse = true;
    sheet.SetActivePage(1);
    EXPECT_EQ(sheet.GetActivePage(), &first);
    sheet.m_nFlags |= WINDOW_MODAL_GOES_ON;
    ::SendMessageA(sheet.m_hWnd, PSM_PRESSBUTTON, PSBTN_OK, 0);
    PumpUntil([] { return false; }, 100);
    EXPECT_TRUE(sheet.ContinueModal());   // still open on the refusing page
    EXPECT_EQ(sheet.GetActivePage(), &first);

    first.refuse = false;
    ::SendMessageA(sheet.m_hWnd, PSM_PRESSBUTTON, PSBTN_OK, 0);
    PumpUntil([&] { return !sheet.ContinueModal(); }, 2000);
    EXPECT_FALSE(sheet.ContinueModal());
    EXPECT_TRUE(::IsWindow(sheet.m_hWnd));   // ended, not yet destroyed
    EXPECT_EQ(sheet.Result(), IDOK);
    sheet.DestroyWindow();
}

}  // namespace
