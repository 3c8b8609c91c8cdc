// The Preferences sheet over the model's page set, run modeless: the pages it builds and
// the page it remembers, the Apply To pair, the maximum sample count, Reset All
// Preferences, the font list, and the colour menu's round trip through the colour dialog.
#include <gtest/gtest.h>

#include <windows.h>
#include <colordlg.h>

#include <cstring>
#include <string>
#include <vector>

#include "classlib/wnd.h"
#include "engine/core/color_list.h"
#include "engine/core/engine_startup.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/later_release.h"
#include "engine/interact/preferences.h"
#include "engine/interact/preferences_dialog.h"
#include "platform/rules/font_list.h"
#include "platform/win32/fonts.h"
#include "platform/rules/colors.h"
#include "platform/win32/shell.h"
#include "platform/win32/shell_windows.h"
#include "ui/dialogs/alert_dialog.h"
#include "ui/dialogs/pref_dialog.h"
#include "ui/dialogs/yrn_dialog.h"
#include "ui/portable/preference_rules.h"

namespace {

void Pump(int ms = 50) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (static_cast<int32_t>(GetTickCount() - end) < 0) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) PumpOneMessage();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::string TextOf(HWND control) {
    char text[256] = "";
    GetWindowTextA(control, text, sizeof text);
    return text;
}

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

// Message boxes that came up, answered with OK.
int gBoxes = 0;
HWND gSheet = nullptr;
BOOL CALLBACK AnswerBox(HWND window, LPARAM) {
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (window == gSheet || !IsWindowVisible(window) || std::strcmp(cls, "#32770") != 0) return TRUE;
    ++gBoxes;
    PostMessageA(window, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    return TRUE;
}
void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0); }

class PrefSheet : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(BuildFontList());
        ASSERT_TRUE(StartEngine());
    }
    static void TearDownTestSuite() { ShutdownEngine(); }
    void SetUp() override {
        main_ = CreateWindowExA(0, "STATIC", "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600, 450, nullptr,
                                nullptr, nullptr, nullptr);
        RegisterMainWindow(main_, true, false);
        InstallServiceDialogs();
        PreferencesWorkingCopy() = ThePreferences();
        PreferencesApplyMode() = kApplyThisSketch;
        SetCustomColors(NewDefaultCustomColors());
    }
    void TearDown() override {
        PreferencesFreePages();
        RegisterServiceDialogs(nullptr);
        RegisterMainWindow(nullptr, false, false);
        DestroyWindow(main_);
    }
    // A modeless sheet over the pages of `mode`, opened on `start`.
    CPrefDlg* Open(int32_t mode, int32_t start) {
        EXPECT_TRUE(PreferencesPreparePages(mode));
        ThePreferencePageSet().startPage = start;
        auto* sheet = new CPrefDlg(&ThePreferencePageSet(), PreferencesSheetApply);
        EXPECT_TRUE(sheet->Create(nullptr));
        gSheet = sheet->m_hWnd;
        Pump();
        return sheet;
    }
    HWND Page(CPrefDlg* sheet) { return sheet->GetActivePage()->m_hWnd; }
    HWND main_ = nullptr;
};

TEST_F(PrefSheet, PagesTopicsAndTheRememberedPage) {
    struct Case { int32_t mode, pages, start, moveTo; };
    const Case cases[] = { { 0, 3, 1, 2 }, { 1, 6, 3, 5 } };
    const char* const captions[] = { "Units", "Color", "Text", "Export", "Sampling", "System" };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        CPrefDlg* sheet = Open(c.mode, c.start);
        ASSERT_EQ(sheet->GetPageCount(), c.pages);
        EXPECT_EQ(sheet->GetActiveIndex(), c.start);
        for (int i = 0; i < c.pages; ++i) {
            auto* page = static_cast<PrefPageBase*>(sheet->GetPage(i));
            EXPECT_EQ(page->GetHelpTopic(), 21 + i);
            EXPECT_EQ(page->pageIndex, i);
        }
        HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet->m_hWnd, PSM_GETTABCONTROL, 0, 0));
        for (int i = 0; i < c.pages; ++i) {
            char text[32] = "";
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            EXPECT_STREQ(text, captions[i]);
        }
        ASSERT_TRUE(sheet->SetActivePage(c.moveTo));
        Pump();
        delete sheet;
        // The page that exchanged its controls last is where the next run starts.
        EXPECT_EQ(ThePreferencePageSet().startPage, c.moveTo);
        PreferencesFinishPages(false);
    }
}

TEST_F(PrefSheet, ApplyToPairLoadsSavesAndKeepsOneBoxChecked) {
    PreferencesApplyMode() = kApplyNewSketches;
    CPrefDlg* sheet = Open(0, 0);
    HWND page = Page(sheet);
    EXPECT_FALSE(Checked(page, 1263));
    EXPECT_TRUE(Checked(page, 1264));
    // Unchecking the only checked box checks the other one.
    SendMessageA(GetDlgItem(page, 1264), BM_CLICK, 0, 0);
    EXPECT_TRUE(Checked(page, 1263));
    EXPECT_FALSE(Checked(page, 1264));
    ASSERT_TRUE(sheet->GetActivePage()->UpdateData(true));
    EXPECT_EQ(PreferencesApplyMode(), kApplyThisSketch);
    SendMessageA(GetDlgItem(page, 1264), BM_CLICK, 0, 0);
    ASSERT_TRUE(sheet->GetActivePage()->UpdateData(true));
    EXPECT_EQ(PreferencesApplyMode(), kApplyBoth);
    // The other pages show the mode the Units page saved.
    ASSERT_TRUE(sheet->SetActivePage(2));
    Pump();
    EXPECT_TRUE(Checked(Page(sheet), 1263));
    EXPECT_TRUE(Checked(Page(sheet), 1264));
    // The fading speed's slider takes its range from its field.
    ASSERT_TRUE(sheet->SetActivePage(1));
    Pump();
    HWND slider = GetDlgItem(Page(sheet), 1166);
    const DialogField& speed = ThePreferencePageSet().pages[kPrefPageColor][1];
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0), speed.lower);
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMAX, 0, 0), speed.upper);
    EXPECT_EQ(SendMessageA(slider, TBM_GETPOS, 0, 0), speed.value.integer);
    // The combo boxes were filled before their selection was set.
    ASSERT_TRUE(sheet->SetActivePage(0));
    Pump();
    EXPECT_EQ(TextOf(GetDlgItem(Page(sheet), 1110)), "cm");
    EXPECT_EQ(SendMessageA(GetDlgItem(Page(sheet), 1111), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(GetDlgItem(Page(sheet), 1112), CB_GETCOUNT, 0, 0), 6);
    delete sheet;
}

TEST_F(PrefSheet, TheTypedMaximumRaisesTheCountsBoundsAtOnce) {
    CPrefDlg* sheet = Open(1, 4);
    HWND page = Page(sheet);
    DialogField* sampling = ThePreferencePageSet().pages[kPrefPageSampling];
    const int32_t maximum = sampling[2].value.integer;
    UINT_PTR timer = SetTimer(nullptr, 0, 30, AnswerBoxes);
    gBoxes = 0;
    // A number partly typed changes nothing and asks nothing.
    SetWindowTextA(GetDlgItem(page, 1258), "1");
    Pump();
    EXPECT_EQ(sampling[0].upper, maximum);
    const std::string higher = std::to_string(maximum + 1000);
    SetWindowTextA(GetDlgItem(page, 1258), higher.c_str());
    Pump();
    EXPECT_EQ(sampling[0].upper, maximum + 1000);
    EXPECT_EQ(sampling[1].upper, maximum + 1000);
    SetWindowTextA(GetDlgItem(page, 1256), std::to_string(maximum + 500).c_str());
    EXPECT_TRUE(sheet->GetActivePage()->UpdateData(true));
    EXPECT_EQ(sampling[0].value.integer, maximum + 500);
    EXPECT_EQ(gBoxes, 0);
    // Above the new maximum the page refuses and keeps the focus.
    SetWindowTextA(GetDlgItem(page, 1257), std::to_string(maximum + 2000).c_str());
    EXPECT_FALSE(sheet->GetActivePage()->UpdateData(true));
    EXPECT_EQ(gBoxes, 1);
    EXPECT_EQ(sheet->GetActiveIndex(), 4);
    KillTimer(nullptr, timer);
    delete sheet;
}

TEST_F(PrefSheet, SystemPageFontsAndResetAll) {
    CPrefDlg* sheet = Open(1, 5);
    HWND page = Page(sheet);
    HWND fonts = GetDlgItem(page, 1280);
    const FontList& list = TheFontList();
    EXPECT_EQ(SendMessageA(fonts, CB_GETCOUNT, 0, 0), list.size - 1);
    const int32_t preselected = PreselectMathFont(list.items + 1, list.size - 1, "Symbol");
    EXPECT_EQ(SendMessageA(fonts, CB_GETCURSEL, 0, 0), preselected);

    // The samples and the apply mode edited, then Reset All: both back to the defaults.
    DialogField* sampling = ThePreferencePageSet().pages[kPrefPageSampling];
    Preferences defaults{};
    PreferencesDefaults(&defaults);
    sampling[0].value.integer = defaults.locusSamples + 7;
    CustomColorBlock* block = ThePreferencePageSet().pages[kPrefPageSystem][5].value.colors;
    ASSERT_NE(block, nullptr);
    block->colors[0] = 0x123456;
    SendMessageA(GetDlgItem(page, 1260), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(PreferencesApplyMode(), kApplyBoth);
    EXPECT_EQ(sampling[0].value.integer, defaults.locusSamples);
    EXPECT_EQ(ThePreferencePageSet().pages[kPrefPageSystem][5].value.colors->colors[0], kDefaultCustomColors[0]);
    ASSERT_TRUE(sheet->SetActivePage(4));
    Pump();
    EXPECT_EQ(TextOf(GetDlgItem(Page(sheet), 1256)), std::to_string(defaults.locusSamples));
    delete sheet;
}

// What the colour dialog does while it is up: its red, green and blue typed, the colour
// added to the first custom colour, then OK or Cancel.
bool gColorOk = true;
std::string gColorCaption;
BOOL CALLBACK DriveColorDialog(HWND window, LPARAM) {
    if (!IsWindowVisible(window) || !GetDlgItem(window, COLOR_ADD)) return TRUE;
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    gColorCaption = caption;
    SetDlgItemTextA(window, COLOR_RED, "10");
    SetDlgItemTextA(window, COLOR_GREEN, "20");
    SetDlgItemTextA(window, COLOR_BLUE, "30");
    HWND add = GetDlgItem(window, COLOR_ADD);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(COLOR_ADD, BN_CLICKED), reinterpret_cast<LPARAM>(add));
    const int button = gColorOk ? IDOK : IDCANCEL;
    PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(button), reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
    return FALSE;
}
void CALLBACK DriveColorDialogs(HWND, UINT, UINT_PTR id, DWORD) {
    if (EnumThreadWindows(GetCurrentThreadId(), DriveColorDialog, 0) == FALSE) KillTimer(nullptr, id);
}

TEST_F(PrefSheet, EditColorMenuRoundTripsTheBlockOnOkOnly) {
    for (bool ok : { false, true }) {
        SCOPED_TRACE(ok);
        CPrefDlg* sheet = Open(1, 5);
        CustomColorBlock* block = ThePreferencePageSet().pages[kPrefPageSystem][5].value.colors;
        ASSERT_NE(block, nullptr);
        block->count = 4;
        const uint32_t first = block->colors[0], fifth = block->colors[4];
        gColorOk = ok;
        gColorCaption.clear();
        SetTimer(nullptr, 0, 100, DriveColorDialogs);
        SendMessageA(GetDlgItem(Page(sheet), 1262), BM_CLICK, 0, 0);
        EXPECT_EQ(gColorCaption, "Edit Color Menu");
        EXPECT_EQ(block->colors[0], ok ? 10u | 20u << 8 | 30u << 16 : first);
        // Only as many colours as the block holds come back.
        EXPECT_EQ(block->colors[4], fifth);
        delete sheet;
    }
}

}  // namespace

namespace {
std::vector<int32_t> gHelpTopics;
bool RecordPickerHelp(void*, uint32_t message, uintptr_t wParam, intptr_t, int32_t topic) {
    if (message != WM_COMMAND || LOWORD(wParam) != pshHelp) return false;
    gHelpTopics.push_back(topic);
    return true;
}
}  // namespace

TEST(ColorPickerHelp, EachPickerAsksForItsOwnTopicOnlyWhereTheProgramHooksIt) {
    gHelpTopics.clear();
    // Without the later release's hook form the dialog keeps every message.
    EXPECT_EQ(ColorPickerHelpHook(nullptr, WM_COMMAND, pshHelp, 0), 0u);
    LaterReleaseForms forms = {};
    forms.window.colorPickerMessage = RecordPickerHelp;
    InstallLaterForms(forms);
    EXPECT_EQ(ColorPickerHelpHook(nullptr, WM_COMMAND, pshHelp, 0), 1u);
    EXPECT_EQ(ColorPagePickerHelpHook(nullptr, WM_COMMAND, pshHelp, 0), 1u);
    EXPECT_EQ(ColorPagePickerHelpHook(nullptr, WM_COMMAND, IDOK, 0), 0u);
    ResetLaterForms();
    EXPECT_EQ(gHelpTopics, (std::vector<int32_t>{ 47, 48 }));
}
