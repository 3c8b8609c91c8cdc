#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/dialog.h"
#include "classlib/dialog_controls.h"
#include "test_support.h"

using classlib_test::PumpUntil;

namespace {

constexpr UINT kTemplate = 1001;
constexpr int kFirstEdit = 101, kSecondEdit = 102, kList = 103;

// A visible top-level window to own the dialogs.
struct OwnerWindow {
    HWND hwnd = ::CreateWindowExA(0, "STATIC", "Dialog owner", WS_POPUP | WS_VISIBLE | WS_CAPTION, 50, 50, 400, 300,
                                  nullptr, nullptr, nullptr, nullptr);
    CWnd* wnd = CWnd::FromHandle(hwnd);
    ~OwnerWindow() { ::DestroyWindow(hwnd); }
};

// Records what the modal loop shows it while idle, and presses Enter in the first edit
// after a few idle passes.
class KickDialog : public CDialog {
public:
    KickDialog(CWnd* owner) : CDialog(kTemplate, owner) {}
    std::vector<LPARAM> counts;
    bool visibleAtFirstKick = false, modalFlagAtFirstKick = false, ownerEnabledAtFirstKick = true;
    HWND owner = nullptr;
    char text[32] = "typed";

protected:
    LRESULT OnKickIdle(WPARAM, LPARAM count) {
        if (counts.empty()) {
            visibleAtFirstKick = IsWindowVisible();
            modalFlagAtFirstKick = (m_nFlags & WINDOW_IN_MODAL_LOOP) != 0;
            ownerEnabledAtFirstKick = ::IsWindowEnabled(owner) != FALSE;
        }
        counts.push_back(count);
        if (count == 2 && counts.size() == 3) {
            ::PostMessageA(::GetDlgItem(m_hWnd, kFirstEdit), WM_KEYDOWN, VK_RETURN, 1);
        }
        return count < 2 ? TRUE : FALSE;
    }
    void DoDataExchange(CDataExchange* dx) override { ExchangeText(dx, kFirstEdit, text, sizeof text); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(KickDialog, CDialog)
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

TEST(Dialog, ModalRunShowsOnIdleKicksIdleAndEndsOnTheDefaultButton) {
    OwnerWindow owner;
    KickDialog dialog(owner.wnd);
    dialog.owner = owner.hwnd;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_GE(dialog.counts.size(), 3u);
    EXPECT_EQ(dialog.counts[0], 0);
    EXPECT_EQ(dialog.counts[1], 1);
    EXPECT_EQ(dialog.counts[2], 2);
    EXPECT_TRUE(dialog.visibleAtFirstKick);
    EXPECT_TRUE(dialog.modalFlagAtFirstKick);
    EXPECT_FALSE(dialog.ownerEnabledAtFirstKick);
    EXPECT_TRUE(::IsWindowEnabled(owner.hwnd));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_nFlags & (WINDOW_IN_MODAL_LOOP | WINDOW_MODAL_GOES_ON), 0);
    EXPECT_STREQ(dialog.text, "typed");   // loaded at start, saved back by OK
}

TEST(Dialog, MissingTemplateAnswersMinusOneAndLeavesTheOwnerEnabled) {
    OwnerWindow owner;
    CDialog dialog(4321, owner.wnd);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(::IsWindowEnabled(owner.hwnd));
}

// Fails its saving exchange on the second edit, with or without preparing it first.
class FailingDialog : public CDialog {
public:
    enum class Mode { kNone, kPrepared, kUnprepared } mode = Mode::kNone;
    char first[32] = "first", second[32] = "second value";

protected:
    void DoDataExchange(CDataExchange* dx) override {
        ExchangeText(dx, kFirstEdit, first, sizeof first);
        ExchangeText(dx, kSecondEdit, second, sizeof second);
        if (!dx->m_bSaveAndValidate) return;
        if (mode == Mode::kPrepared) {
            dx->PrepareEditCtrl(kSecondEdit);
            dx->Fail();
        }
        if (mode == Mode::kUnprepared) {
            dx->m_hWndLastControl = nullptr;
            dx->Fail();
        }
    }
};

TEST(Dialog, AFailedExchangeFocusesThePreparedEditOrMovesNothing) {
    FailingDialog dialog;
    ASSERT_TRUE(dialog.Create(kTemplate));
    dialog.ShowWindow(SW_SHOW);
    dialog.SetForegroundWindow();
    HWND first = ::GetDlgItem(dialog.m_hWnd, kFirstEdit), second = ::GetDlgItem(dialog.m_hWnd, kSecondEdit);
    EXPECT_EQ(dialog.GetDefID(), IDOK);

    ::SetFocus(first);
    dialog.mode = FailingDialog::Mode::kUnprepared;
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(::GetFocus(), first);

    dialog.mode = FailingDialog::Mode::kPrepared;
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(::GetFocus(), second);
    DWORD start = 0, end = 0;
    ::SendMessageA(second, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, std::string("second value").size());

    dialog.mode = FailingDialog::Mode::kNone;
    ::SetWindowTextA(first, "changed");
    EXPECT_TRUE(dialog.UpdateData(true));
    EXPECT_STREQ(dialog.first, "changed");

    // A modeless dialog ended by a command hides; its window stays until destroyed.
    ::SendMessageA(dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(dialog.IsWindowVisible());
    EXPECT_TRUE(::IsWindow(dialog.m_hWnd));
    dialog.DestroyWindow();
}

// Logs what owner-drawn children are asked to draw.
class LoggingButton : public CButton {
public:
    int drawn = 0;
    void DrawItem(LPDRAWITEMSTRUCT) override { ++drawn; }
};

TEST(Dialog, MenuOwnerDrawIsNeverReflectedToAControl) {
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(kTemplate));
    LoggingButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDOK, &dialog));
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = IDOK;
    dis.hwndItem = button.m_hWnd;
    dialog.SendMessage(WM_DRAWITEM, IDOK, reinterpret_cast<LPARAM>(&dis));
    EXPECT_EQ(button.drawn, 1);
    // A menu item carries the menu in hwndItem and 0 for the control: it stays with the
    // window that tracks the menu.
    HMENU menu = ::CreatePopupMenu();
    dis.CtlType = ODT_MENU;
    dis.CtlID = 0;
    dis.hwndItem = reinterpret_cast<HWND>(menu);
    dialog.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    dialog.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    EXPECT_EQ(button.drawn, 1);
    ::DestroyMenu(menu);
    button.UnsubclassWindow();
    dialog.DestroyWindow();
}

void SendMouse(DWORD flags, POINT at) {
    ::SetCursorPos(at.x, at.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof input);
}

TEST(DragList, AnItemDraggedOntoAnotherMovesBeforeIt) {
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(kTemplate));
    dialog.SetWindowPos(nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog.ShowWindow(SW_SHOW);
    dialog.SetForegroundWindow();
    CDragListBox list;
    ASSERT_TRUE(list.SubclassDlgItem(kList, &dialog));
    ASSERT_TRUE(list.MakeDragList());
    for (const char* item : { "alpha", "beta", "gamma", "delta" }) list.AddString(item);
    PumpUntil([] { return false; }, 200);

    RECT first, third;
    list.GetItemRect(0, &first);
    list.GetItemRect(2, &third);
    POINT from{ (first.left + first.right) / 2, (first.top + first.bottom) / 2 };
    POINT to{ (third.left + third.right) / 2, (third.top + third.bottom) / 2 };
    list.ClientToScreen(&from);
    list.ClientToScreen(&to);
    SendMouse(MOUSEEVENTF_MOVE, from);
    SendMouse(MOUSEEVENTF_LEFTDOWN, from);
    for (int step = 1; step <= 6; ++step) {
        POINT p{ from.x + 1, from.y + (to.y - from.y) * step / 6 };
        SendMouse(MOUSEEVENTF_MOVE, p);
        PumpUntil([] { return false; }, 30);
    }
    SendMouse(MOUSEEVENTF_LEFTUP, to);
    auto order = [&list] {
        std::string all;
        char text[32];
        for (int i = 0; i < list.GetCount(); ++i) {
            list.GetText(i, text);
            all += std::string(i ? " " : "") + text;
        }
        return all;
    };
    EXPECT_TRUE(PumpUntil([&] { return order() == "beta alpha gamma delta"; }, 3000)) << order();
    list.UnsubclassWindow();
    dialog.DestroyWindow();
}

}  // namespace
