// The Calculator over the engine's real editing model: keypad and keys, the key states
// on the controls, the plain calculation's layout, the splitter and the anchors, the
// pop-up items' sizes, the help texts, and Enter refused while OK is grey.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/calc/calc_editor.h"
#include "engine/core/engine_startup.h"
#include "engine/core/services/later_release.h"
#include "engine/core/sketch.h"
#include "engine/text/layout.h"
#include "platform/win32/shell.h"
#include "platform/win32/shell_windows.h"
#include "ui/dialogs/alert_dialog.h"
#include "ui/dialogs/calc_dialog.h"
#include "ui/portable/calc_keys.h"
#include "ui/resource_ids.h"
#include "tests/ui/calc_model_support.h"

namespace {

constexpr int32_t kFormYofX = 0;
constexpr int32_t kFormCalculation = 4;

std::vector<ExpressionToken> Tokens() {
    std::vector<ExpressionToken> out(64);
    out.resize(CalcEditorTokens(out.data(), static_cast<uint32_t>(out.size())));
    return out;
}

RECT RectOf(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
bool Shown(HWND dialog, int id) { return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; }

class Calculator : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartEngine()); }
    static void TearDownTestSuite() { ShutdownEngine(); }
    void SetUp() override {
        main_ = CreateWindowExA(0, "STATIC", "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600, 450, nullptr,
                                nullptr, nullptr, nullptr);
        RegisterMainWindow(main_, true, false);
        InstallServiceDialogs();
        sketch_ = CreateSketch(0, nullptr);
        ASSERT_NE(sketch_, nullptr);
        SetCurrentSketch(sketch_, &previous_);
    }
    void TearDown() override {
        if (dialog_) {
            dialog_->DestroyWindow();
            delete dialog_;
        }
        EndCalcModelForTest();
        SetCurrentSketch(previous_, nullptr);
        FreeSketch(sketch_);
        RegisterServiceDialogs(nullptr);
        RegisterMainWindow(nullptr, false, false);
        DestroyWindow(main_);
    }
    // The model on an empty expression of the form, and the dialog over it, modeless.
    HWND Open(int32_t form) {
        EXPECT_TRUE(BeginCalcModelForTest(form));
        dialog_ = new CCalcDialog(31, 35);
        EXPECT_TRUE(dialog_->Create(kCalcTemplate, nullptr));
        dialog_->ShowWindow(SW_SHOW);
        return dialog_->m_hWnd;
    }
    bool Key(UINT message, WPARAM key) {
        MSG m{ GetDlgItem(dialog_->m_hWnd, kCalcExpression), message, key, 1, 0, {} };
        return dialog_->PreTranslateMessage(&m);
    }
    HWND main_ = nullptr;
    Sketch* sketch_ = nullptr;
    Sketch* previous_ = nullptr;
    CCalcDialog* dialog_ = nullptr;
};

TEST_F(Calculator, KeypadAndKeysDriveTheModel) {
    Open(kFormCalculation);
    using T = std::vector<ExpressionToken>;
    dialog_->OnKeypad(1082);                // "2"
    dialog_->OnKeypad(1095);                // "*"
    EXPECT_EQ(Tokens(), (T{ 2, 4098 }));
    dialog_->OnKeypad(1098);                // deletes like Backspace
    EXPECT_EQ(Tokens(), (T{ 2 }));
    dialog_->OnKeypad(1090);                // the point
    dialog_->OnKeypad(1085);
    EXPECT_EQ(Tokens(), (T{ 2, 10, 5 }));
    dialog_->OnKeypad(1099);                // a plain calculation has no variable
    EXPECT_EQ(Tokens(), (T{ 2, 10, 5 }));

    EXPECT_TRUE(Key(WM_KEYDOWN, VK_SPACE));
    EXPECT_TRUE(Key(WM_CHAR, '+'));
    EXPECT_TRUE(Key(WM_CHAR, '3'));
    EXPECT_EQ(Tokens(), (T{ 2, 10, 5, 4096, 3 }));
    uint32_t caret = 0, anchor = 0;
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_HOME));
    CalcEditorSelection(&caret, &anchor);
    EXPECT_EQ(caret, 0u);
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_DELETE));
    EXPECT_EQ(Tokens(), (T{ 10, 5, 4096, 3 }));
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_RIGHT));
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_END));
    CalcEditorSelection(&caret, &anchor);
    EXPECT_EQ(caret, 4u);
    EXPECT_TRUE(Key(WM_CHAR, '\b'));
    EXPECT_EQ(Tokens(), (T{ 10, 5, 4096 }));
    EXPECT_TRUE(Key(WM_CHAR, 1));           // Ctrl+A's character does nothing more
    EXPECT_EQ(Tokens(), (T{ 10, 5, 4096 }));
}

TEST_F(Calculator, TheVariableKeyInsertsTheFormsVariable) {
    Open(kFormYofX);
    dialog_->OnKeypad(1099);
    EXPECT_EQ(Tokens(), std::vector<ExpressionToken>{ 15 });
    EXPECT_TRUE(Shown(dialog_->m_hWnd, 1099));
    EXPECT_TRUE(Shown(dialog_->m_hWnd, kCalcFormsButton));
}

TEST_F(Calculator, EachKeyStateReachesItsControls) {
    HWND d = Open(kFormCalculation);
    struct Case { int flag; std::vector<int> controls; };
    const Case cases[] = {
        { 0, { 1080, 1081, 1082, 1083, 1084, 1085, 1086, 1087, 1088, 1089 } },
        { 1, { 1090 } },
        { 2, { 1093, 1095, 1096, 1097 } },   // the minus follows flag 3 alone
        { 3, { 1094 } },
        { 4, { 1092 } },
        { 5, { 1091, 4, 1099, 5 } },
        { 6, { 6 } },
        { 7, { 1098 } },
        { 8, { IDOK } },
    };
    const int all[] = { 1080, 1081, 1082, 1083, 1084, 1085, 1086, 1087, 1088, 1089, 1090, 1091, 1092,
                        1093, 1094, 1095, 1096, 1097, 1098, 1099, 4, 5, 6, IDOK };
    for (const Case& c : cases) {
        bool flags[kKeyGroupCount] = {};
        flags[c.flag] = true;
        dialog_->ApplyKeyStates(flags, false);
        for (int id : all) {
            const bool want = std::find(c.controls.begin(), c.controls.end(), id) != c.controls.end();
            EXPECT_EQ(Enabled(d, id), want) << "flag " << c.flag << " control " << id;
        }
    }
    // With flag 2 the minus goes with flag 3, whatever flag 2 said.
    bool flags[kKeyGroupCount] = {};
    flags[2] = true;
    flags[3] = true;
    dialog_->ApplyKeyStates(flags, true);
    EXPECT_TRUE(Enabled(d, 1094));
    EXPECT_TRUE(dialog_->acceptsPicks);
    // An enabled OK is the default button.
    flags[8] = true;
    dialog_->ApplyKeyStates(flags, false);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(d, IDOK), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(d, IDCANCEL), GWL_STYLE) & 0x0F, BS_PUSHBUTTON);
    EXPECT_FALSE(dialog_->acceptsPicks);
}

TEST_F(Calculator, APlainCalculationHasNoVariableKeyAndAWideZero) {
    // The function form's layout is the template's own.
    HWND f = Open(kFormYofX);
    const RECT variable = RectOf(f, 1099), point = RectOf(f, 1090), zero = RectOf(f, 1080);
    dialog_->DestroyWindow();
    delete dialog_;
    dialog_ = nullptr;
    EndCalcModelForTest();

    HWND d = Open(kFormCalculation);
    EXPECT_FALSE(Shown(d, 1099));
    EXPECT_FALSE(Shown(d, kCalcFormsButton));
    EXPECT_FALSE(Enabled(d, kCalcFormsButton));
    const RECT movedPoint = RectOf(d, 1090), wideZero = RectOf(d, 1080);
    EXPECT_TRUE(EqualRect(&movedPoint, &variable));
    EXPECT_EQ(wideZero.left, zero.left);
    EXPECT_EQ(wideZero.right, point.right);
    EXPECT_EQ(wideZero.top, zero.top);
    EXPECT_EQ(wideZero.bottom, zero.bottom);
}

int Height(HWND d, int id) {
    const RECT r = RectOf(d, id);
    return r.bottom - r.top;
}

TEST_F(Calculator, TheSplitterAndTheGripKeepBothPanesAt36Pixels) {
    HWND d = Open(kFormCalculation);
    const int frame = Height(d, kCalcDisplayFrame), area = Height(d, kCalcExpression);
    ASSERT_GT(frame, 40);
    ASSERT_GT(area, 40);
    const int displayGap = RectOf(d, kCalcDisplayFrame).bottom - RectOf(d, kCalcDisplay).bottom;
    const int areaGap = RectOf(d, kCalcExpression).top - RectOf(d, kCalcExpressionFrame).top;
    struct Case { int32_t dy; int32_t applied; int frameAfter; int areaAfter; };
    const Case cases[] = {
        { -5, -5, frame - 5, area + 5 },
        { 5, 5, frame, area },
        { -1000, 36 - frame, 36, area + frame - 36 },
        { 1000, frame + area - 72, frame + area - 36, 36 },
        { 1, 0, frame + area - 36, 36 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dialog_->MoveSplitter(c.dy), c.applied) << c.dy;
        EXPECT_EQ(Height(d, kCalcDisplayFrame), c.frameAfter) << c.dy;
        EXPECT_EQ(Height(d, kCalcExpression), c.areaAfter) << c.dy;
        // The display and its message go with the frame, the area's frame with the area.
        EXPECT_EQ(RectOf(d, kCalcDisplayFrame).bottom - RectOf(d, kCalcDisplay).bottom, displayGap);
        EXPECT_EQ(RectOf(d, kCalcMessage).bottom, RectOf(d, kCalcDisplay).bottom);
        EXPECT_EQ(RectOf(d, kCalcExpression).top - RectOf(d, kCalcExpressionFrame).top, areaGap);
    }
    // Back to the middle, then a taller dialog: the display takes the extra height.
    dialog_->MoveSplitter(-(frame + area - 36 - frame));
    ASSERT_EQ(Height(d, kCalcExpression), area);
    const int display = Height(d, kCalcDisplay);
    RECT w{};
    GetWindowRect(d, &w);
    SetWindowPos(d, nullptr, 0, 0, w.right - w.left, w.bottom - w.top + 50, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Height(d, kCalcDisplay), display + 50);
    EXPECT_EQ(Height(d, kCalcExpression), area);
}

TEST_F(Calculator, PopupItemsAreMeasuredFromTheirLayouts) {
    Open(kFormCalculation);
    HMENU menu = CreatePopupMenu();
    uint32_t counter = 1;
    ASSERT_TRUE(BuildCalcPopupMenu(reinterpret_cast<PopupMenu*>(menu), kCalcMenuFunctions, &counter));
    ASSERT_GT(counter, 3u);
    for (uint32_t key = 1; key < counter; ++key) {
        LayoutNode* layout = CalcMenuItemLayout(key);
        if (!layout) continue;   // a separator
        MEASUREITEMSTRUCT mis{ ODT_MENU, 0, key, 0, 0, key };
        dialog_->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
        EXPECT_GT(layout->width, 0) << key;
        EXPECT_EQ(static_cast<int>(mis.itemWidth), GetSystemMetrics(SM_CXMENUCHECK) + layout->width + 4) << key;
        EXPECT_EQ(static_cast<int>(mis.itemHeight), layout->ascent + layout->descent) << key;
    }
    FreeCalcPopupMenu();
    DestroyMenu(menu);
}

TEST_F(Calculator, TheHelpTextsStandInPlaceOfTheDisplay) {
    char text[512] = "";
    LoadStringA(GetModuleHandleA(nullptr), IDS_CALC_EMPTY_HELP, text, sizeof text);
    EXPECT_STREQ(text, "\nCreate an expression using the keypad\nor keyboard and pop-up menus,\n"
                       "or insert existing values and functions\nby clicking them in the sketch.");
    LoadStringA(GetModuleHandleA(nullptr), IDS_CALC_TOO_COMPLEX, text, sizeof text);
    EXPECT_STREQ(text, "\nThat expression is too complex.\nPlease simplify it or break it\ninto multiple expressions.");

    HWND d = Open(kFormCalculation);
    EXPECT_TRUE(Shown(d, kCalcMessage));
    EXPECT_FALSE(Shown(d, kCalcDisplay));
    GetDlgItemTextA(d, kCalcMessage, text, sizeof text);
    EXPECT_EQ(std::string(text).rfind("\nCreate an expression", 0), 0u);
    dialog_->OnKeypad(1081);
    EXPECT_FALSE(Shown(d, kCalcMessage));
    EXPECT_TRUE(Shown(d, kCalcDisplay));
    EXPECT_EQ(GetFocus(), GetDlgItem(d, kCalcExpression));
}

TEST_F(Calculator, CtrlLettersDoNothingUnlessTheMenusGiveThem) {
    Open(kFormCalculation);
    dialog_->OnKeypad(1081);
    dialog_->OnKeypad(1082);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    // No menus were built here: Ctrl+A is nobody's shortcut and selects nothing.
    Key(WM_KEYDOWN, 'A');
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    uint32_t caret = 0, anchor = 0;
    CalcEditorSelection(&caret, &anchor);
    EXPECT_EQ(caret, anchor);
}

TEST_F(Calculator, EnterActsAsOkOnlyWhileOkIsEnabled) {
    HWND d = Open(kFormCalculation);
    dialog_->OnKeypad(1082);
    dialog_->OnKeypad(1095);
    ASSERT_FALSE(Enabled(d, IDOK));
    EXPECT_TRUE(Key(WM_CHAR, '\r'));
    EXPECT_TRUE(IsWindowVisible(d));   // still open over the unfinished 2*
    EXPECT_EQ(Tokens(), (std::vector<ExpressionToken>{ 2, 4098 }));
    dialog_->SendMessage(WM_COMMAND, IDOK);   // the dialog manager's Enter
    EXPECT_TRUE(IsWindowVisible(d));
    dialog_->OnKeypad(1083);
    ASSERT_TRUE(Enabled(d, IDOK));
    EXPECT_TRUE(Key(WM_CHAR, '\r'));
    EXPECT_FALSE(IsWindowVisible(d));  // ended with OK
}

}  // namespace

namespace {
uint32_t HalfSecond() { return 500; }
}  // namespace

TEST_F(Calculator, TheEditorRunsOnItsOwnTimerOnlyWhereTheProgramSaysSo) {
    Open(kFormCalculation);
    EXPECT_FALSE(KillTimer(dialog_->m_hWnd, 2));  // idle steps only
    dialog_->DestroyWindow();
    delete dialog_;
    dialog_ = nullptr;
    EndCalcModelForTest();

    LaterReleaseForms forms = {};
    forms.window.calculatorTimerMs = HalfSecond;
    InstallLaterForms(forms);
    Open(kFormCalculation);
    // The timer's step keeps the caret going while no idle messages come.
    const bool shown = CalcEditorCaretShown();
    Sleep(600);
    dialog_->SendMessage(WM_TIMER, 2, 0);
    EXPECT_NE(CalcEditorCaretShown(), shown);
    EXPECT_TRUE(KillTimer(dialog_->m_hWnd, 2));
    ResetLaterForms();
}
