// The property page base over a sheet: every field exchanged through the sheet's
// control table, refusals, the apply callback and the reload it asks for.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "classlib/wnd.h"
#include "engine/core/services/later_release.h"
#include "platform/win32/shell_windows.h"
#include "ui/dialogs/yrn_prop_page.h"
#include "ui/dialogs/yrn_prop_sheet.h"

namespace {

constexpr UINT kPageTemplate = 9002;

// Field 0 -> 301, field 1 -> 302; field 2 has no control (303 stays the page's own).
int32_t IdOf(int32_t, int32_t field) { return field == 0 ? 301 : field == 1 ? 302 : 0; }

DialogField Integer(int32_t value) {
    DialogField f{ kFieldInteger, kFieldEnabled | kFieldVisible, {}, 10, 1 };
    f.value.integer = value;
    return f;
}

struct Record {
    DialogField fields[3];
    int applies = 0;
    int32_t answer = 0;   // what the apply callback answers
};

int32_t Apply(void* record) {
    auto* r = static_cast<Record*>(record);
    ++r->applies;
    if (r->answer) r->fields[1].value.integer = 9;   // the engine changes a value
    return r->answer;
}

// Answers the message boxes of the thread (their text is the static 0xFFFF).
BOOL CALLBACK AnswerBox(HWND w, LPARAM) {
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (IsWindowVisible(w) && lstrcmpA(cls, "#32770") == 0 && GetDlgItem(w, 0xFFFF))
        PostMessageA(w, WM_COMMAND, IDOK, 0);
    return TRUE;
}
void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0); }

std::string TextOf(HWND w) {
    char text[64] = "";
    GetWindowTextA(w, text, sizeof text);
    return text;
}

class PropPage : public testing::Test {
protected:
    void SetUp() override {
        main_ = CreateWindowExA(0, "STATIC", "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600, 450, nullptr,
                                nullptr, nullptr, nullptr);
        RegisterMainWindow(main_, true, false);
        record_.fields[0] = Integer(3);
        record_.fields[1] = Integer(4);
        record_.fields[2] = DialogField{ kFieldFlag, kFieldEnabled | kFieldVisible, {}, 1, 0 };
        record_.fields[2].value.integer = 1;
        page_ = new YRNPropPage(kPageTemplate, record_.fields, nullptr, IdOf, 7, 3);
        sheet_ = new CYRNPropSheet("Sheet", false, &record_, true, Apply, nullptr, 0);
        sheet_->AddPageWithHelp(page_, 12);
        ASSERT_TRUE(sheet_->Create(nullptr));
    }
    void TearDown() override {
        delete sheet_;
        delete page_;
        RegisterMainWindow(nullptr, false, false);
        DestroyWindow(main_);
    }
    HWND Item(int id) const { return GetDlgItem(page_->m_hWnd, id); }

    HWND main_ = nullptr;
    Record record_{};
    YRNPropPage* page_ = nullptr;
    CYRNPropSheet* sheet_ = nullptr;
};

TEST_F(PropPage, LoadsMappedFieldsOnlyAndNotesTheCurrentPage) {
    EXPECT_EQ(TextOf(Item(301)), "3");
    EXPECT_EQ(TextOf(Item(302)), "4");
    // The unmapped field says checked; its control is the page's own business.
    EXPECT_EQ(IsDlgButtonChecked(page_->m_hWnd, 303), BST_UNCHECKED);
    EXPECT_EQ(sheet_->currentPage, 7);
    EXPECT_EQ(page_->GetHelpTopic(), 12);
}

TEST_F(PropPage, ARefusedFieldFailsTheSaveButEveryFieldIsVisitedAndNothingApplied) {
    SetWindowTextA(Item(301), "50");
    SetWindowTextA(Item(302), "7");
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerBoxes);
    EXPECT_FALSE(page_->UpdateData(true));
    KillTimer(nullptr, timer);
    EXPECT_EQ(TextOf(Item(301)), "10");   // the bound it passed
    EXPECT_EQ(record_.fields[1].value.integer, 7);
    EXPECT_EQ(record_.applies, 0);
}

TEST_F(PropPage, ASaveAppliesAndReloadsWhatTheEngineChanged) {
    SetWindowTextA(Item(302), "6");
    EXPECT_TRUE(page_->UpdateData(true));
    EXPECT_EQ(record_.applies, 1);
    EXPECT_EQ(TextOf(Item(302)), "6");
    record_.answer = 1;
    EXPECT_TRUE(page_->UpdateData(true));
    EXPECT_EQ(record_.applies, 2);
    EXPECT_EQ(TextOf(Item(302)), "9");
}

}  // namespace

namespace {
bool Always() { return true; }
int32_t NoChange(void*) { return 0; }
}  // namespace

TEST(PropSheetConstruction, BothConstructorsShareOneInitialisationAndTheCaptionIdOneKeepsApplyInFigmantle) {
    int record = 0;
    struct Case {
        bool withoutApplyForm;
        bool captionIdApply;
    };
    for (const Case c : { Case{ false, true }, Case{ true, false } }) {
        SCOPED_TRACE(c.withoutApplyForm);
        LaterReleaseForms forms = {};
        if (c.withoutApplyForm) forms.window.sheetsWithoutApply = Always;
        InstallLaterForms(forms);
        CYRNPropSheet byId(1206u, true, &record, true, NoChange, nullptr, 0);
        CYRNPropSheet byText("Sheet", true, &record, true, NoChange, nullptr, 0);
        EXPECT_EQ((byId.m_psh.dwFlags & PSH_NOAPPLYNOW) == 0, c.captionIdApply);
        EXPECT_NE(byText.m_psh.dwFlags & PSH_NOAPPLYNOW, 0u);
        for (CYRNPropSheet* sheet : { &byId, &byText }) {
            EXPECT_NE(sheet->m_psh.dwFlags & PSH_HASHELP, 0u);
            EXPECT_TRUE(sheet->sketchInteractive);
            EXPECT_TRUE(sheet->interactiveOnActivation);
            EXPECT_TRUE(sheet->hasApplyCallback);
            EXPECT_EQ(sheet->record, &record);
            EXPECT_EQ(sheet->applyCallback, NoChange);
            EXPECT_EQ(sheet->pickHook, nullptr);
        }
        ResetLaterForms();
    }
}
