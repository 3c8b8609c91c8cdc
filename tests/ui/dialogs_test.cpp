#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "classlib/wnd.h"
#include "engine/core/engine_startup.h"
#include "engine/core/memory.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "engine/text/layout.h"
#include "platform/win32/shell.h"
#include "platform/win32/shell_windows.h"
#include "ui/dialogs/alert_dialog.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/dialogs/popup_menu_button.h"
#include "ui/dialogs/smart_edit.h"
#include "ui/dialogs/state_button.h"
#include "ui/dialogs/yrn_dialog.h"
#include "ui/resource_ids.h"

namespace {

constexpr UINT kFieldsTemplate = 9001;
enum : int {
    kRadio = 201, kCheck = 210, kList = 211, kCombo = 212, kText = 213, kInteger = 214, kSlider = 215,
    kSmart = 216, kPlainReal = 217, kOwnedText = 218, kPush = 219, kListB = 220,
};

// Boxes and alerts that came up while a test ran: their caption and texts, in order.
std::vector<std::string> gBoxes;
HWND gKeepOpen = nullptr;

BOOL CALLBACK CollectText(HWND child, LPARAM text) {
    char buffer[256] = "";
    char cls[32] = "";
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && IsWindowVisible(child)) {
        GetWindowTextA(child, buffer, sizeof buffer);
        if (buffer[0]) *reinterpret_cast<std::string*>(text) += std::string("|") + buffer;
    }
    return TRUE;
}

BOOL CALLBACK CloseBoxes(HWND window, LPARAM) {
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (window == gKeepOpen || !IsWindowVisible(window) || std::strcmp(cls, "#32770") != 0) return TRUE;
    char caption[128] = "";
    GetWindowTextA(window, caption, sizeof caption);
    std::string seen = caption;
    EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&seen));
    gBoxes.push_back(seen);
    // The message boxes answer OK, the alert its one button.
    HWND button = GetDlgItem(window, IDOK);
    if (!button || !IsWindowVisible(button)) button = GetDlgItem(window, IDCANCEL);
    PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID(button)), reinterpret_cast<LPARAM>(button));
    return TRUE;
}

void CALLBACK CloseBoxesTimer(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), CloseBoxes, 0); }

// Answers every box that comes up while it lives (the boxes run their own loops).
struct BoxCloser {
    UINT_PTR timer = SetTimer(nullptr, 0, 30, CloseBoxesTimer);
    BoxCloser() { gBoxes.clear(); }
    ~BoxCloser() { KillTimer(nullptr, timer); }
};

void Pump(int ms = 50) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (static_cast<int32_t>(GetTickCount() - end) < 0) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) PumpOneMessage();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void Type(HWND control, const char* keys) {
    for (const char* k = keys; *k; ++k) PostMessageA(control, WM_CHAR, static_cast<unsigned char>(*k), 1);
    Pump(30);
}

std::string TextOf(HWND control) {
    char text[256] = "";
    GetWindowTextA(control, text, sizeof text);
    return text;
}

// A visible main window that the services and the dialogs stand on.
class Dialogs : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartEngine()); }
    static void TearDownTestSuite() { ShutdownEngine(); }
    void SetUp() override {
        main_ = CreateWindowExA(0, "STATIC", "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600, 450, nullptr,
                                nullptr, nullptr, nullptr);
        RegisterMainWindow(main_, true, false);
        InstallServiceDialogs();
        SharedDialogPosition() = RememberedPosition{};
    }
    void TearDown() override {
        RegisterServiceDialogs(nullptr);
        RegisterMainWindow(nullptr, false, false);
        DestroyWindow(main_);
    }
    HWND main_ = nullptr;
};

// A modeless dialog over the test template whose fields the tests exchange.
class FieldsDialog : public CYRNDialog {
public:
    FieldsDialog(void* record = nullptr, DialogChangeFn apply = nullptr)
        : CYRNDialog(kFieldsTemplate, record, apply, false) {}
    std::vector<std::pair<int, DialogField*>> fields;
    SmartEdit smart;
    bool Open() {
        if (!Create(kFieldsTemplate, nullptr)) return false;
        smart.Attach(GetDlgItem(kSmart)->m_hWnd, GetFont());
        ShowWindow(SW_SHOW);
        SetForegroundWindow();
        return true;
    }
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }

protected:
    void DoDataExchange(CDataExchange* dx) override {
        CYRNDialog::DoDataExchange(dx);
        bool ok = true;
        for (auto& [id, field] : fields) ok = ExchangeDialogField(this, id, field, !dx->m_bSaveAndValidate, false, dx) && ok;
        if (!ok) dx->Fail();
    }
};

DialogField Whole(int32_t kind, int32_t value, int32_t upper = 0, int32_t lower = 0) {
    DialogField f{ kind, kFieldEnabled | kFieldVisible, {}, upper, lower };
    f.value.integer = value;
    return f;
}

DialogField Real(double value) {
    DialogField f{ kFieldNumber, kFieldEnabled | kFieldVisible, {}, 0, 0 };
    f.value.real = value;
    return f;
}

TEST_F(Dialogs, EachFieldKindLoadsAndSaves) {
    FieldsDialog d;
    char text[8] = "abc";
    char* owned = static_cast<char*>(AllocMemory(4, 0));
    std::strcpy(owned, "old");
    DialogField radio = Whole(kFieldChoice, 1, 2), check = Whole(kFieldFlag, 1), list = Whole(kFieldSelection, 2),
                combo = Whole(kFieldListChoice, 1), textField = Whole(kFieldText, 0, sizeof text),
                integer = Whole(kFieldInteger, 20, 50, 10), slider = Whole(kFieldInteger, 30, 40, 5),
                smartReal = Real(1.5), plainReal = Real(-2.25), ownedText = Whole(kFieldOwnedText, 0),
                onPush = Whole(kFieldFlag, 1);
    textField.value.text = text;
    ownedText.value.text = owned;
    d.fields = { { kRadio, &radio },       { kCheck, &check },   { kList, &list },          { kCombo, &combo },
                 { kText, &textField },    { kInteger, &integer }, { kSlider, &slider },   { kSmart, &smartReal },
                 { kPlainReal, &plainReal }, { kOwnedText, &ownedText }, { kPush, &onPush }, { 0, &check } };
    ASSERT_TRUE(d.Open());
    for (const char* s : { "a", "b", "c" }) {
        SendMessageA(d.Item(kList), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        SendMessageA(d.Item(kCombo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    }
    ASSERT_TRUE(d.UpdateData(false));
    EXPECT_EQ(SendMessageA(d.Item(kRadio + 1), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(d.Item(kRadio), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(d.Item(kCheck), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(d.Item(kList), LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageA(d.Item(kCombo), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(TextOf(d.Item(kText)), "abc");
    EXPECT_EQ(TextOf(d.Item(kInteger)), "20");
    EXPECT_EQ(SendMessageA(d.Item(kSlider), TBM_GETPOS, 0, 0), 30);
    EXPECT_EQ(SendMessageA(d.Item(kSlider), TBM_GETRANGEMAX, 0, 0), 40);
    EXPECT_EQ(TextOf(d.Item(kSmart)), "1.5");
    EXPECT_EQ(TextOf(d.Item(kPlainReal)), "-2.25");
    EXPECT_EQ(TextOf(d.Item(kOwnedText)), "old");

    SendMessageA(d.Item(kRadio + 1), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(d.Item(kRadio + 2), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(d.Item(kCheck), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(d.Item(kList), LB_SETCURSEL, 0, 0);
    SendMessageA(d.Item(kCombo), CB_SETCURSEL, 2, 0);
    SetWindowTextA(d.Item(kText), "a longer text");   // ends within the buffer
    SetWindowTextA(d.Item(kInteger), "37");
    SendMessageA(d.Item(kSlider), TBM_SETPOS, TRUE, 12);
    SetWindowTextA(d.Item(kSmart), "2*3");
    SetWindowTextA(d.Item(kPlainReal), "1/4");
    SetWindowTextA(d.Item(kOwnedText), "new text");
    ASSERT_TRUE(d.UpdateData(true));
    EXPECT_EQ(radio.value.integer, 2);
    EXPECT_EQ(check.value.integer, 0);
    EXPECT_EQ(list.value.integer, 0);
    EXPECT_EQ(combo.value.integer, 2);
    EXPECT_STREQ(text, "a longe");
    EXPECT_EQ(integer.value.integer, 37);
    EXPECT_EQ(slider.value.integer, 12);
    EXPECT_DOUBLE_EQ(smartReal.value.real, 6);
    EXPECT_DOUBLE_EQ(plainReal.value.real, 0.25);
    EXPECT_STREQ(ownedText.value.text, "new text");
    EXPECT_EQ(onPush.value.integer, 1);   // a push button has no check state to read

    // A disabled field keeps its value; a hidden, disabled radio group keeps its
    // checked button enabled.
    radio.state = 0;
    SetWindowTextA(d.Item(kInteger), "44");
    EnableWindow(d.Item(kInteger), FALSE);
    ASSERT_TRUE(d.UpdateData(true));
    EXPECT_EQ(integer.value.integer, 37);
    ASSERT_TRUE(d.UpdateData(false));
    EXPECT_FALSE(IsWindowVisible(d.Item(kRadio)));
    EXPECT_TRUE(IsWindowEnabled(d.Item(kRadio + 2)));
    EXPECT_FALSE(IsWindowEnabled(d.Item(kRadio)));
    FreeMemory(ownedText.value.text);
    d.DestroyWindow();
}

TEST_F(Dialogs, IntegerFieldsRefuseWithTheBoundsMessage) {
    struct Case { const char* typed; int32_t stored; const char* shown; };
    const Case cases[] = {
        { "5", 10, "10" }, { "51", 50, "50" }, { "4294967306", 50, "50" }, { "x1", 20, "20" },
    };
    for (const Case& c : cases) {
        FieldsDialog d;
        DialogField integer = Whole(kFieldInteger, 20, 50, 10);
        d.fields = { { kInteger, &integer } };
        ASSERT_TRUE(d.Open());
        gKeepOpen = d.m_hWnd;
        d.UpdateData(false);
        SetWindowTextA(d.Item(kInteger), c.typed);
        {
            BoxCloser closer;
            EXPECT_FALSE(d.UpdateData(true)) << c.typed;
            ASSERT_EQ(gBoxes.size(), 1u) << c.typed;
            EXPECT_NE(gBoxes[0].find("Please type a value between 10 and 50"), std::string::npos) << gBoxes[0];
        }
        EXPECT_EQ(integer.value.integer, c.stored) << c.typed;
        EXPECT_EQ(TextOf(d.Item(kInteger)), c.shown);
        EXPECT_EQ(GetFocus(), d.Item(kInteger));
        d.DestroyWindow();
    }
}

int32_t gApplied = 0;
int32_t CountApply(void*) {
    ++gApplied;
    return 0;
}

TEST_F(Dialogs, ARefusedSaveIsNeitherAppliedNorHalfRead) {
    DialogField integer = Whole(kFieldInteger, 20, 50, 10), real = Real(1);
    FieldsDialog d(&integer, CountApply);
    d.fields = { { kInteger, &integer }, { kPlainReal, &real } };
    ASSERT_TRUE(d.Open());
    gKeepOpen = d.m_hWnd;
    d.UpdateData(false);
    gApplied = 0;
    SetWindowTextA(d.Item(kInteger), "30");
    EXPECT_TRUE(d.ExchangeWithEngine(true));
    EXPECT_EQ(gApplied, 1);
    SetWindowTextA(d.Item(kPlainReal), "2*(");
    {
        BoxCloser closer;
        EXPECT_FALSE(d.ExchangeWithEngine(true));
        ASSERT_EQ(gBoxes.size(), 1u);
        EXPECT_EQ(gBoxes[0], "Value Needed|Please type a valid number.");
    }
    EXPECT_EQ(gApplied, 1);   // not applied over the refused field
    EXPECT_EQ(TextOf(d.Item(kPlainReal)), "1.0");
    EXPECT_EQ(GetFocus(), d.Item(kPlainReal));
    // The apply request of a number field goes through the same exchange.
    SetWindowTextA(d.Item(kPlainReal), "3");
    EXPECT_EQ(d.SendMessage(0x8000), 1);
    EXPECT_EQ(gApplied, 2);
    // The library's first idle passes, then the engine's.
    EXPECT_EQ(d.SendMessage(WM_KICKIDLE, 0, 2), TRUE);
    EXPECT_EQ(d.SendMessage(WM_KICKIDLE, 0, 3), FALSE);   // no idle work without a sketch
    d.DestroyWindow();
}

TEST_F(Dialogs, NumberFieldTypingEnterAndTheSymbolFont) {
    FieldsDialog d;
    ASSERT_TRUE(d.Open());
    HWND smart = d.Item(kSmart);
    SetFocus(smart);
    d.smart.SetValue(0);
    SendMessageA(smart, EM_SETSEL, 0, -1);
    Type(smart, "2*pi");   // the i is not taken
    EXPECT_EQ(TextOf(smart), "2*p");
    PostMessageA(smart, WM_KEYDOWN, VK_RETURN, 1);
    Pump(30);
    EXPECT_EQ(TextOf(smart), "2p");
    EXPECT_TRUE(d.IsWindowVisible());   // the expression became its value: still open
    SendMessageA(smart, EM_SETSEL, 0, -1);
    Type(smart, "3");
    PostMessageA(smart, WM_KEYDOWN, VK_RETURN, 1);
    Pump(30);
    EXPECT_FALSE(d.IsWindowVisible());   // a plain number goes on to OK
    d.DestroyWindow();

    // A value shown rounded is no edit: read back untouched it keeps all its digits.
    FieldsDialog r;
    ASSERT_TRUE(r.Open());
    r.smart.SetValue(1.23456);
    EXPECT_EQ(TextOf(r.Item(kSmart)), "1.235");
    double kept = 0;
    EXPECT_TRUE(r.smart.Validate(&kept, nullptr));
    EXPECT_DOUBLE_EQ(kept, 1.23456);
    r.DestroyWindow();

    // An integer field takes digits only; a value shows without its decimals.
    FieldsDialog e;
    ASSERT_TRUE(e.Open());
    SmartEdit integer("0123456789");
    ASSERT_TRUE(integer.Attach(e.Item(kPlainReal), e.GetFont()));
    SetFocus(integer.m_hWnd);
    Type(integer.m_hWnd, "3.7");
    EXPECT_EQ(TextOf(integer.m_hWnd), "37");
    integer.SetValue(2.5);
    EXPECT_EQ(TextOf(integer.m_hWnd), "2");

    // With the symbol font "^" is character 217 on the screen and "^" when read.
    HFONT symbol = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 18, "Symbol");
    SmartEdit power;
    ASSERT_TRUE(power.Attach(e.Item(kOwnedText), symbol));
    EXPECT_TRUE(power.symbolCharset);
    SetFocus(power.m_hWnd);
    Type(power.m_hWnd, "2^3");
    EXPECT_EQ(TextOf(power.m_hWnd), std::string("2") + kSymbolCaret + "3");
    double v = 0;
    EXPECT_TRUE(power.Validate(&v, nullptr));
    EXPECT_DOUBLE_EQ(v, 8);
    integer.UnsubclassWindow();
    power.UnsubclassWindow();
    e.DestroyWindow();
    DeleteObject(symbol);
}

// A modal dialog with a number field that holds an unfinished expression when the user
// clicks a button (Cancel, or OK and then, with timer 2, Cancel).
class CancelDialog : public CYRNDialog {
public:
    explicit CancelDialog(int clicked = IDCANCEL) : CYRNDialog(kFieldsTemplate, nullptr, nullptr, false), clicked_(clicked) {}
    SmartEdit smart;
    DialogField real = Real(1);

protected:
    bool OnInitDialog() override {
        gKeepOpen = m_hWnd;
        smart.Attach(GetDlgItem(kSmart)->m_hWnd, GetFont());
        CYRNDialog::OnInitDialog();
        ::SetFocus(smart.m_hWnd);
        ::SetWindowTextA(smart.m_hWnd, "2*(");
        SetTimer(1, 50, nullptr);
        return false;
    }
    void DoDataExchange(CDataExchange* dx) override {
        if (!ExchangeDialogField(this, kSmart, &real, !dx->m_bSaveAndValidate, false, dx)) dx->Fail();
    }
    void OnTimer(UINT_PTR id) {
        KillTimer(id);
        if (id == 2) {
            EndDialog(IDCANCEL);
            return;
        }
        if (clicked_ != IDCANCEL) SetTimer(2, 1500, nullptr);
        // A real click: the press reaches the button through the message loop.
        HWND button = ::GetDlgItem(m_hWnd, clicked_);
        RECT r{};
        ::GetWindowRect(button, &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof input[0]);
    }
    DECLARE_MESSAGE_MAP()

private:
    int clicked_;
};

BEGIN_MESSAGE_MAP(CancelDialog, CYRNDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST_F(Dialogs, CancelOverAnUnfinishedExpressionShowsNoAlert) {
    CancelDialog d;
    BoxCloser closer;
    EXPECT_EQ(d.DoModal(), IDCANCEL);
    EXPECT_TRUE(gBoxes.empty()) << gBoxes[0];
}

// Leaving the field by the click on OK reports the refusal; the same click then reaching
// OK must not report it a second time, nor close the dialog.
TEST_F(Dialogs, OkOverAnUnfinishedExpressionAlertsOnceAndStays) {
    CancelDialog d(IDOK);
    BoxCloser closer;
    EXPECT_EQ(d.DoModal(), IDCANCEL);
    std::string seen;
    for (const std::string& box : gBoxes) seen += box + " / ";
    ASSERT_EQ(gBoxes.size(), 1u) << seen;
    EXPECT_NE(gBoxes[0].find("Value Needed"), std::string::npos) << gBoxes[0];
}

TEST_F(Dialogs, NothingShowsWhileTheMainWindowIsHidden) {
    ShowWindow(main_, SW_HIDE);
    CYRNDialog d(kFieldsTemplate, nullptr);
    EXPECT_EQ(d.DoModal(), IDCANCEL);   // nobody confirmed anything
    RegisterMainWindow(nullptr, false, false);
    EXPECT_EQ(d.DoModal(), IDCANCEL);
}

TEST_F(Dialogs, PositionsAreRememberedAndKeptOnTheDesktop) {
    RECT mainRect{};
    GetWindowRect(main_, &mainRect);
    FieldsDialog first;
    ASSERT_TRUE(first.Open());
    RECT r{};
    first.GetWindowRect(&r);
    const DialogCorner expected = FirstDialogCorner({ r.left, r.top, r.right, r.bottom },
                                                    { mainRect.left, mainRect.top, mainRect.right, mainRect.bottom });
    EXPECT_EQ(r.left, expected.x);
    EXPECT_EQ(r.top, expected.y);
    first.SetWindowPos(nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    first.DestroyWindow();

    FieldsDialog second;   // another class sharing the position comes back there
    ASSERT_TRUE(second.Open());
    second.GetWindowRect(&r);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 30);
    second.SetWindowPos(nullptr, 1000, 700, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const int width = r.right - r.left, height = r.bottom - r.top;
    second.DestroyWindow();

    FieldsDialog third;   // partly off the desktop: pulled back onto it
    ASSERT_TRUE(third.Open());
    third.GetWindowRect(&r);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.bottom - r.top, height);
    third.DestroyWindow();
}

TEST_F(Dialogs, AnchoredControlsFollowTheSizeAndTheGripAnswers) {
    const ControlAnchor anchors[] = {
        { kListB, kAnchorStretchX | kAnchorMoveY | kAnchorGroupB, 0 },
        { kList, kAnchorStretchX | kAnchorStretchY | kAnchorGroupA, 20 },
        { IDOK, kAnchorMoveX | kAnchorMoveY, 0 },
        { 0, 0, 0 },
    };
    FieldsDialog d;
    d.SetAnchors(anchors, true);
    ASSERT_TRUE(d.Open());
    RECT before{}, client{};
    GetWindowRect(d.Item(IDOK), &before);
    d.GetClientRect(&client);
    RECT w{};
    d.GetWindowRect(&w);
    d.SetWindowPos(nullptr, 0, 0, w.right - w.left + 40, w.bottom - w.top + 30, SWP_NOMOVE | SWP_NOZORDER);
    RECT after{};
    GetWindowRect(d.Item(IDOK), &after);
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 30);
    MINMAXINFO limits{};
    d.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, w.right - w.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, w.bottom - w.top);
    d.GetClientRect(&client);
    POINT corner{ client.right - 2, client.bottom - 2 };
    d.ClientToScreen(&corner);
    EXPECT_EQ(d.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBOTTOMRIGHT);
    d.DestroyWindow();
}

// Runs an alert and reads what it showed before answering.
struct AlertSeen {
    RECT window{}, ok{}, cancel{}, help{};
    bool okShown = false, cancelShown = false, yesShown = false, noShown = false, helpShown = false;
    int result = 0;
};

AlertSeen gSeen;
BOOL CALLBACK FindShownDialog(HWND w, LPARAM out) {
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (IsWindowVisible(w) && std::strcmp(cls, "#32770") == 0) *reinterpret_cast<HWND*>(out) = w;
    return TRUE;
}
void CALLBACK ReadAlert(HWND, UINT, UINT_PTR id, DWORD) {
    HWND alert = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindShownDialog, reinterpret_cast<LPARAM>(&alert));
    if (!alert) return;
    KillTimer(nullptr, id);
    GetWindowRect(alert, &gSeen.window);
    GetWindowRect(GetDlgItem(alert, IDOK), &gSeen.ok);
    GetWindowRect(GetDlgItem(alert, IDCANCEL), &gSeen.cancel);
    GetWindowRect(GetDlgItem(alert, ID_HELP), &gSeen.help);
    gSeen.okShown = IsWindowVisible(GetDlgItem(alert, IDOK));
    gSeen.cancelShown = IsWindowVisible(GetDlgItem(alert, IDCANCEL));
    gSeen.yesShown = IsWindowVisible(GetDlgItem(alert, IDYES));
    gSeen.noShown = IsWindowVisible(GetDlgItem(alert, IDNO));
    gSeen.helpShown = IsWindowVisible(GetDlgItem(alert, ID_HELP));
    // Enter answers the default button.
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
}

AlertSeen RunAlertSeen(const char* message, int32_t buttons, int32_t help) {
    gSeen = AlertSeen{};
    AlertDialog alert(nullptr, "Caption", message, buttons, help);
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, ReadAlert);
    gSeen.result = static_cast<int>(alert.DoModal());
    KillTimer(nullptr, timer);
    return gSeen;
}

TEST_F(Dialogs, TheAlertFitsItsMessageAndShowsTheButtonsAskedFor) {
    const AlertSeen plain = RunAlertSeen("Saved.", kAlertOk, 0);
    EXPECT_EQ(plain.result, kAlertOk);
    EXPECT_TRUE(plain.okShown);
    EXPECT_FALSE(plain.cancelShown || plain.yesShown || plain.noShown || plain.helpShown);

    const AlertSeen lone = RunAlertSeen("Stopped.", kAlertCancel, 0);
    EXPECT_EQ(lone.result, kAlertCancel);
    EXPECT_TRUE(lone.cancelShown);
    EXPECT_FALSE(lone.okShown);
    EXPECT_TRUE(EqualRect(&lone.cancel, &lone.ok));   // where OK would stand

    std::string words;
    for (int i = 0; i < 60; ++i) words += "several words ";
    const AlertSeen tall = RunAlertSeen(words.c_str(), kAlertOk, 5);
    EXPECT_TRUE(tall.helpShown);
    EXPECT_GT(tall.window.bottom - tall.window.top, plain.window.bottom - plain.window.top);
    EXPECT_EQ(tall.help.left - tall.window.left, plain.help.left - plain.window.left);
    // A one-word message is narrower than the template.
    EXPECT_LT(plain.window.right - plain.window.left, tall.window.right - tall.window.left);
}

}  // namespace

namespace {

// Plays the user of the New Tool dialog: each step answers the next dialog that shows.
struct NewToolUser {
    std::vector<std::string> seen;   // title|label|name|limit|checked, or the alert's texts
    std::vector<std::pair<std::string, int>> answers;   // the name to type (empty: none) and the button
    size_t step = 0;
    HWND last = nullptr;
};
NewToolUser gUser;

void CALLBACK PlayNewToolUser(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindShownDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog || dialog == gUser.last || gUser.step >= gUser.answers.size()) return;
    gUser.last = dialog;
    std::ostringstream line;
    line << TextOf(dialog);
    if (HWND edit = GetDlgItem(dialog, IDC_TOOL_NAME)) {
        line << "|" << TextOf(GetDlgItem(dialog, IDC_TOOL_NAME_LABEL)) << "|" << TextOf(edit) << "|"
             << SendMessageA(edit, EM_GETLIMITTEXT, 0, 0) << "|"
             << SendMessageA(GetDlgItem(dialog, IDC_SHOW_SCRIPT_VIEW), BM_GETCHECK, 0, 0);
    } else {
        line << "|" << TextOf(GetDlgItem(dialog, IDC_ALERT_MESSAGE));
    }
    gUser.seen.push_back(line.str());
    const auto& [name, button] = gUser.answers[gUser.step++];
    if (!name.empty()) SetWindowTextA(GetDlgItem(dialog, IDC_TOOL_NAME), name.c_str());
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

TEST_F(Dialogs, NewToolNamesAUsedNameAgainAndCancelMakesNone) {
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

    gUser = NewToolUser{};
    gUser.answers = { { "Tool #1", IDOK }, { "", IDCANCEL }, { "", IDOK } };
    UINT_PTR timer = SetTimer(nullptr, 0, 40, PlayNewToolUser);
    char name[256] = "";
    EXPECT_TRUE(PromptNewToolName(name));
    KillTimer(nullptr, timer);
    ASSERT_EQ(gUser.seen.size(), 3u);
    EXPECT_EQ(gUser.seen[0], "New Tool|Tool Name:|Tool #3|255|0");
    EXPECT_NE(gUser.seen[1].find("Duplicate Name|"), std::string::npos) << gUser.seen[1];
    EXPECT_EQ(gUser.seen[2], "New Tool|Tool Name:|Tool #3|255|0");   // the proposal again
    EXPECT_STREQ(name, "Tool #3");

    gUser = NewToolUser{};
    gUser.answers = { { "Mine", IDCANCEL } };
    timer = SetTimer(nullptr, 0, 40, PlayNewToolUser);
    EXPECT_FALSE(PromptNewToolName(name));
    KillTimer(nullptr, timer);
    EXPECT_STREQ(name, "Mine");   // what was typed comes back, also after Cancel

    gEngine.frontDocument = savedFront;
    FreeEngineDocument(document);
}

TEST_F(Dialogs, AStateButtonShrinksItsLayoutUntilItFits) {
    FieldsDialog d;
    ASSERT_TRUE(d.Open());
    StateButton button(kPush);
    ASSERT_TRUE(button.SubclassDlgItem(kPush, &d));
    EXPECT_FALSE(button.SetLayout(nullptr));
    LayoutNode* tree = nullptr;
    const char text[] = "<T'wwwwwwwwwwwwwwww'>";
    ASSERT_EQ(ParseLayoutString(&tree, text, sizeof text - 1, nullptr), 0);
    ASSERT_TRUE(button.SetLayout(tree));

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 40);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{ 0, 0, 200, 40 };
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.hwndItem = button.m_hWnd;
    dis.hDC = dc;
    dis.rcItem = { 0, 0, 200, 40 };
    button.DrawItem(&dis);
    const int32_t roomy = tree->width;
    EXPECT_LT(roomy, 196);
    dis.rcItem = { 0, 0, 60, 40 };   // too narrow at the first size: drawn smaller
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    button.DrawItem(&dis);
    EXPECT_LT(tree->width, roomy);
    bool inked = false;
    for (int x = 2; x < 58 && !inked; ++x)
        for (int y = 2; y < 38 && !inked; ++y) inked = GetPixel(dc, x, y) != RGB(255, 255, 255);
    EXPECT_TRUE(inked);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    button.UnsubclassWindow();
    d.DestroyWindow();
}

TEST(PopupMenuButtonMenu, TitleSeparatorAndItemsNumberedFromTheFirstId) {
    HMENU menu = BuildButtonMenu("Colour", { "Red", "-", "Blue" }, 1000);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    struct Row { UINT id; bool separator, grey; const char* text; };
    const Row rows[] = {
        { 0, false, true, "Colour" }, { 0, true, false, "" }, { 1000, false, false, "Red" },
        { 0, true, false, "" },       { 1002, false, false, "Blue" },
    };
    for (int i = 0; i < 5; ++i) {
        char text[32] = "";
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info));
        EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, rows[i].separator) << i;
        if (rows[i].separator) continue;
        EXPECT_EQ(info.wID, rows[i].id) << i;
        EXPECT_EQ((info.fState & MFS_GRAYED) != 0, rows[i].grey) << i;
        EXPECT_STREQ(text, rows[i].text);
    }
    DestroyMenu(menu);
    EXPECT_EQ(MnemonicOf("&Colour"), 'C');
    EXPECT_EQ(MnemonicOf("Plain"), 0);
}

}  // namespace
