#include <gtest/gtest.h>

#include "classlib/controls.h"
#include "classlib/frame.h"
#include "classlib/gdi.h"
#include "classlib/menu.h"
#include "test_support.h"

using classlib_test::Log;

namespace {
Log wndLog;
UINT registeredPing = ::RegisterWindowMessageA("ClassLibTestPing");
}  // namespace

// A window that records its creation messages; with failCreate it refuses WM_CREATE.
class HookedWnd : public CWnd {
public:
    bool failCreate = false;
    bool* deleted = nullptr;
    bool deleteOnDestroy = false;
    void PostNcDestroy() override {
        wndLog.Add("postncdestroy");
        if (deleteOnDestroy) delete this;
    }
    ~HookedWnd() override {
        if (deleted) *deleted = true;
    }

protected:
    BOOL OnNcCreate(LPCREATESTRUCT cs) {
        wndLog.Add(std::string("nccreate:") + (m_hWnd ? "attached" : "detached"));
        return CWnd::OnNcCreate(cs);
    }
    int OnCreate(LPCREATESTRUCT cs) {
        wndLog.Add(std::string("create:") + (cs->lpszName ? cs->lpszName : ""));
        if (failCreate) return -1;
        return CWnd::OnCreate(cs);
    }
    LRESULT OnPing(WPARAM w, LPARAM) {
        wndLog.Add("ping:" + std::to_string(w));
        return 42;
    }
    LRESULT OnUserMessage(WPARAM, LPARAM) {
        wndLog.Add("base-user");
        return 1;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(HookedWnd, CWnd)
    ON_WM_NCCREATE()
    ON_WM_CREATE()
    ON_REGISTERED_MESSAGE(registeredPing, OnPing)
    ON_MESSAGE(WM_USER + 1, OnUserMessage)
    ON_MESSAGE(WM_USER + 2, OnUserMessage)
END_MESSAGE_MAP()

// Overrides one entry of its base's map and inherits the other.
class DerivedHookedWnd : public HookedWnd {
protected:
    LRESULT OnDerivedUser(WPARAM, LPARAM) {
        wndLog.Add("derived-user");
        return 2;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedHookedWnd, HookedWnd)
    ON_MESSAGE(WM_USER + 1, OnDerivedUser)
END_MESSAGE_MAP()

namespace {

TEST(WindowCreation, HookAttachesBeforeTheFirstMessage) {
    struct Case { const char* cls; const char* name; };
    // A library class and a system class the library subclasses.
    const Case cases[] = { { nullptr, "plain" }, { "STATIC", "static" } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wndLog.Clear();
        HookedWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, c.cls, c.name, WS_POPUP, 0, 0, 50, 20, nullptr, nullptr));
        EXPECT_EQ(wndLog.Joined(), std::string("nccreate:attached create:") + c.name);
        EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
        // Default() reaches the window's own procedure: the text is kept.
        wnd.SetWindowText("changed");
        CString text;
        wnd.GetWindowText(text);
        EXPECT_EQ(text, "changed");
        HWND hwnd = wnd.m_hWnd;
        wnd.DestroyWindow();
        EXPECT_FALSE(::IsWindow(hwnd));
        EXPECT_EQ(wnd.m_hWnd, nullptr);
        EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    }
}

TEST(WindowCreation, RefusedCreateEndsInPostNcDestroy) {
    wndLog.Clear();
    bool deleted = false;
    auto* wnd = new HookedWnd;
    wnd->failCreate = true;
    wnd->deleteOnDestroy = true;
    wnd->deleted = &deleted;
    EXPECT_FALSE(wnd->CreateEx(0, nullptr, "refused", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_TRUE(deleted);
    EXPECT_EQ(wndLog.Joined(), "nccreate:attached create:refused postncdestroy");
}

TEST(WindowCreation, AttachDetachAndSubclass) {
    HWND hwnd = ::CreateWindowExA(0, "STATIC", "outside", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hwnd, nullptr);
    CWnd* temporary = CWnd::FromHandle(hwnd);
    EXPECT_NE(temporary, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);

    HookedWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), &wnd);
    wndLog.Clear();
    EXPECT_EQ(::SendMessageA(hwnd, registeredPing, 5, 0), 42);
    EXPECT_EQ(wndLog.Joined(), "ping:5");
    EXPECT_EQ(wnd.UnsubclassWindow(), hwnd);
    wndLog.Clear();
    ::SendMessageA(hwnd, registeredPing, 6, 0);
    EXPECT_EQ(wndLog.Joined(), "");

    CWnd plain;
    plain.Attach(hwnd);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), &plain);
    EXPECT_EQ(plain.Detach(), hwnd);
    EXPECT_TRUE(::IsWindow(hwnd));   // detaching leaves the window alone
    ::DestroyWindow(hwnd);
    FreeTemporaryObjects();
}

TEST(MessageMaps, DerivedMapsComeFirstAndBaseMapsAreSearched) {
    DerivedHookedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "maps", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    struct Case { UINT message; LRESULT result; const char* log; };
    const Case cases[] = {
        { WM_USER + 1, 2, "derived-user" },
        { WM_USER + 2, 1, "base-user" },
        { registeredPing, 42, "ping:0" },
        { WM_USER + 3, 0, "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        wndLog.Clear();
        EXPECT_EQ(wnd.SendMessage(c.message), c.result);
        EXPECT_EQ(wndLog.Joined(), c.log);
    }
    wnd.DestroyWindow();
}

// Children that take their own notifications back from the parent.
class ReflectingButton : public CWnd {
protected:
    void OnClickedReflect() { wndLog.Add("child-clicked"); }
    void OnNotifyReflect(NMHDR*, LRESULT* result) {
        wndLog.Add("child-notify");
        *result = 7;
    }
    void MeasureItem(LPMEASUREITEMSTRUCT mis) {
        wndLog.Add("child-measure");
        mis->itemHeight = 33;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingButton, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClickedReflect)
    ON_NOTIFY_REFLECT(NM_CLICK, OnNotifyReflect)
    ON_WM_MEASUREITEM_REFLECT()
END_MESSAGE_MAP()

class OwnerDrawnTabs : public CTabCtrl {
public:
    void DrawItem(LPDRAWITEMSTRUCT dis) override { wndLog.Add("tab-draw:" + std::to_string(dis->itemID)); }
};

class NotifiedParent : public CWnd {
protected:
    void OnPlainClicked() { wndLog.Add("parent-clicked"); }
    void OnParentNotify(NMHDR*, LRESULT* result) {
        wndLog.Add("parent-notify");
        *result = 9;
    }
    void OnRangeClicked(UINT id) { wndLog.Add("parent-range:" + std::to_string(id)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(NotifiedParent, CWnd)
    ON_BN_CLICKED(101, OnPlainClicked)
    ON_CONTROL_RANGE(BN_CLICKED, 110, 119, OnRangeClicked)
    ON_NOTIFY(NM_CLICK, 101, OnParentNotify)
    ON_NOTIFY(NM_CLICK, 102, OnParentNotify)
END_MESSAGE_MAP()

TEST(MessageMaps, NotificationsReflectToTheirControlElseReachTheParent) {
    NotifiedParent parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    CWnd plain;
    ReflectingButton reflecting;
    OwnerDrawnTabs tabs;
    CRect r(0, 0, 50, 20);
    ASSERT_TRUE(plain.Create("BUTTON", "plain", WS_CHILD, r, &parent, 101));
    ASSERT_TRUE(reflecting.Create("BUTTON", "reflecting", WS_CHILD, r, &parent, 102));
    ASSERT_TRUE(tabs.Create(WS_CHILD | TCS_OWNERDRAWFIXED, r, &parent, 103));
    CWnd ranged;
    ASSERT_TRUE(ranged.Create("BUTTON", "ranged", WS_CHILD, r, &parent, 115));

    NMHDR plainNotify{ plain.m_hWnd, 101, static_cast<UINT>(NM_CLICK) };
    NMHDR reflectNotify{ reflecting.m_hWnd, 102, static_cast<UINT>(NM_CLICK) };
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_TAB;
    draw.CtlID = 103;
    draw.itemID = 4;
    draw.hwndItem = tabs.m_hWnd;
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_BUTTON;
    measure.CtlID = 102;

    struct Case { const char* name; UINT message; WPARAM wParam; LPARAM lParam; LRESULT result; const char* log; };
    const Case cases[] = {
        { "command to parent", WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), reinterpret_cast<LPARAM>(plain.m_hWnd), 1, "parent-clicked" },
        { "command reflected", WM_COMMAND, MAKEWPARAM(102, BN_CLICKED), reinterpret_cast<LPARAM>(reflecting.m_hWnd), 1, "child-clicked" },
        { "command range", WM_COMMAND, MAKEWPARAM(115, BN_CLICKED), reinterpret_cast<LPARAM>(ranged.m_hWnd), 1, "parent-range:115" },
        { "notify to parent", WM_NOTIFY, 101, reinterpret_cast<LPARAM>(&plainNotify), 9, "parent-notify" },
        { "notify reflected", WM_NOTIFY, 102, reinterpret_cast<LPARAM>(&reflectNotify), 7, "child-notify" },
        { "draw reflected", WM_DRAWITEM, 103, reinterpret_cast<LPARAM>(&draw), TRUE, "tab-draw:4" },
        { "measure reflected", WM_MEASUREITEM, 102, reinterpret_cast<LPARAM>(&measure), TRUE, "child-measure" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wndLog.Clear();
        EXPECT_EQ(parent.SendMessage(c.message, c.wParam, c.lParam), c.result);
        EXPECT_EQ(wndLog.Joined(), c.log);
    }
    EXPECT_EQ(measure.itemHeight, 33u);
    parent.DestroyWindow();
}

// Command-UI: a frame's menu items with and without handlers.
class UiFrame : public CFrameWnd {
public:
    bool checkB = true;

protected:
    void OnA() {}
    void OnUpdateB(CCmdUI* ui) {
        ui->Enable(false);
        ui->SetCheck(checkB ? 1 : 0);
    }
    void OnUpdateRenamed(CCmdUI* ui) { ui->SetText("Renamed"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(UiFrame, CFrameWnd)
    ON_COMMAND(201, OnA)
    ON_UPDATE_COMMAND_UI(202, OnUpdateB)
    ON_UPDATE_COMMAND_UI(204, OnUpdateRenamed)
END_MESSAGE_MAP()

TEST(CommandUi, MenuPopupItemsAskTheirTargets) {
    for (bool autoEnable : { true, false }) {
        SCOPED_TRACE(autoEnable);
        auto* frame = new UiFrame;
        frame->m_bAutoMenuEnable = autoEnable;
        ASSERT_TRUE(frame->Create(nullptr, "ui", WS_OVERLAPPEDWINDOW));
        CMenu popup;
        popup.CreatePopupMenu();
        popup.AppendMenu(MF_STRING | MF_GRAYED, 201, "handled, starts grayed");
        popup.AppendMenu(MF_STRING, 202, "update handler");
        popup.AppendMenu(MF_STRING, 203, "no handler");
        popup.AppendMenu(MF_STRING, 204, "old text");
        frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.m_hMenu), 0);
        auto grayed = [&](UINT id) { return (popup.GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
        EXPECT_EQ(grayed(201), !autoEnable);    // enabled only by the automatic pass
        EXPECT_TRUE(grayed(202));
        EXPECT_TRUE(popup.GetMenuState(202, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_EQ(grayed(203), autoEnable);     // without automatic enabling it keeps its state
        CString text;
        popup.GetMenuString(204, text, MF_BYCOMMAND);
        EXPECT_EQ(text, "Renamed");
        frame->DestroyWindow();
    }
}

}  // namespace
