#include "classlib/controlbar.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kPoint = 100;
constexpr UINT kCompass = 101;
constexpr UINT kArrow = 102;      // a drop-down button
constexpr UINT kNoHandler = 103;
constexpr UINT kText = 104;
constexpr UINT kCombo = 1247;     // the control over a separator

// A frame that records what reaches it by the command road.
class BarFrame : public CFrameWnd {
public:
    int dropDownItem = -1;
    int editChanges = 0;
    bool checkPoint = true;

    void OnPoint() {}
    void OnCompass() {}
    void OnArrow() {}
    void OnText() {}
    void OnUpdateCompass(CCmdUI* ui) { ui->Enable(false); }
    void OnUpdatePoint(CCmdUI* ui) { ui->SetCheck(checkPoint ? 1 : 0); }
    void OnDropDown(NMHDR* hdr, LRESULT* result) {
        dropDownItem = reinterpret_cast<NMTOOLBARA*>(hdr)->iItem;
        *result = TBDDRET_DEFAULT;
    }
    void OnEditChange() { ++editChanges; }
    void GetMessageString(UINT id, CString& message) const override {
        char text[32];
        wsprintfA(text, "Prompt %u", id);
        message = text;
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BarFrame, CFrameWnd)
    ON_COMMAND(kPoint, OnPoint)
    ON_COMMAND(kCompass, OnCompass)
    ON_COMMAND(kArrow, OnArrow)
    ON_COMMAND(kText, OnText)
    ON_UPDATE_COMMAND_UI(kCompass, OnUpdateCompass)
    ON_UPDATE_COMMAND_UI(kPoint, OnUpdatePoint)
    ON_NOTIFY(TBN_DROPDOWN, AFX_IDW_TOOLBAR, OnDropDown)
    ON_EN_CHANGE(kCombo, OnEditChange)
END_MESSAGE_MAP()

// A bar whose buttons take their states only from the program.
class SilentBar : public CToolBar {
public:
    void OnUpdateCmdUI(CFrameWnd*, bool) override {}
};

// Resizes by the sides, remembering that it was asked.
class ResizeContext : public CDockContext {
public:
    using CDockContext::CDockContext;
    int hitSeen = 0;
    void StartResize(int hitTest, CPoint point) override {
        hitSeen = hitTest;
        m_bDragging = false;
        m_nHitTest = hitTest;
        InitLoop();
        CRect rect;
        m_pBar->GetWindowRect(&rect);
        CSize size = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
        m_rectRequestedSize = m_rectActualSize = CRect(rect.TopLeft(), size);
        m_ptStart = point;
        Stretch(point);
        Track();
    }
};

const UINT kButtons[] = { kPoint, kCompass, kArrow, ID_SEPARATOR, kNoHandler, kText };

class Bars : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new BarFrame;
        ASSERT_TRUE(frame->Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW, CRect(0, 0, 640, 480)));
        ASSERT_TRUE(toolBar.Create(frame, WS_CHILD | WS_VISIBLE | BAR_TOP | BAR_FLYBY_PROMPTS | BAR_TOOLTIPS |
                                                            BAR_SIZE_VARIABLE));
        toolBar.SetSizes(CSize(27, 27), CSize(20, 20));
        ASSERT_TRUE(toolBar.SetButtons(kButtons, static_cast<int>(std::size(kButtons))));
        toolBar.SetButtonStyle(2, BARBTN_DROPDOWN);
        ASSERT_TRUE(statusBar.Create(frame));
        const UINT indicators[] = { ID_SEPARATOR };
        ASSERT_TRUE(statusBar.SetIndicators(indicators, 1));
        frame->EnableDocking(BAR_ALIGN_ANY);
        toolBar.EnableDocking(BAR_ALIGN_ANY);
        frame->DockControlBar(&toolBar, IDW_DOCK_TOP);
    }
    void TearDown() override {
        if (frame && frame->m_hWnd) frame->DestroyWindow();
    }
    CMiniDockFrameWnd* FloatingFrame() {
        return dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(::GetParent(toolBar.m_hWnd))));
    }
    CRect ClientRectIn(const CWnd& wnd, const CWnd& of) {
        CRect r;
        wnd.GetWindowRect(&r);
        of.ScreenToClient(&r);
        return r;
    }

    BarFrame* frame = nullptr;   // deletes itself with its window
    CToolBar toolBar;
    CStatusBar statusBar;
};

TEST_F(Bars, DockOnEachSideTakesThatEdgeAndWrapsWhenUpright) {
    struct Case {
        UINT dockBar;
        bool upright;
    };
    const Case cases[] = {
        { IDW_DOCK_TOP, false },
        { IDW_DOCK_BOTTOM, false },
        { IDW_DOCK_LEFT, true },
        { IDW_DOCK_RIGHT, true },
    };
    CRect client;
    frame->GetClientRect(&client);
    CRect status = ClientRectIn(statusBar, *frame);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dockBar);
        frame->DockControlBar(&toolBar, c.dockBar);
        EXPECT_EQ(::GetParent(toolBar.m_hWnd), ::GetDlgItem(frame->m_hWnd, static_cast<int>(c.dockBar)));
        EXPECT_FALSE(toolBar.IsFloating());
        CRect bar = ClientRectIn(toolBar, *frame);
        if (c.upright) {
            // One button a row: five buttons and a separator's gap.
            EXPECT_GT(bar.Height(), bar.Width());
            EXPECT_GE(bar.Height(), 5 * 27);
            // The control itself lays the buttons out one under the other.
            CRect first, last;
            toolBar.SendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
            toolBar.SendMessage(TB_GETITEMRECT, std::size(kButtons) - 1, reinterpret_cast<LPARAM>(&last));
            EXPECT_EQ(last.left, first.left);
            EXPECT_GE(last.top, first.top + 4 * 27);
        } else {
            EXPECT_GT(bar.Width(), bar.Height());
            EXPECT_LT(bar.Height(), 2 * 27);
        }
        switch (c.dockBar) {
        case IDW_DOCK_TOP: EXPECT_EQ(bar.top, client.top); break;
        case IDW_DOCK_BOTTOM: EXPECT_EQ(bar.bottom, status.top); break;
        case IDW_DOCK_LEFT: EXPECT_EQ(bar.left, client.left); break;
        default: EXPECT_EQ(bar.right, client.right); break;
        }
        // Only the side holding the bar takes room.
        int thick = 0;
        for (UINT id = IDW_DOCK_TOP; id <= IDW_DOCK_BOTTOM; ++id) {
            CRect dock = ClientRectIn(*CWnd::FromHandle(::GetDlgItem(frame->m_hWnd, static_cast<int>(id))), *frame);
            if (id != c.dockBar) thick += (id == IDW_DOCK_TOP || id == IDW_DOCK_BOTTOM) ? dock.Height() : dock.Width();
        }
        EXPECT_EQ(thick, 0);
    }
}

TEST_F(Bars, FloatingBarLivesInAMiniFrameThatHidesWithIt) {
    frame->FloatControlBar(&toolBar, CPoint(200, 150));
    ASSERT_TRUE(toolBar.IsFloating());
    CMiniDockFrameWnd* mini = FloatingFrame();
    ASSERT_NE(mini, nullptr);
    EXPECT_TRUE(mini->IsWindowVisible());
    CRect rect;
    mini->GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(200, 150));
    EXPECT_EQ(::GetWindow(mini->m_hWnd, GW_OWNER), frame->m_hWnd);
    // The top dock bar gave its room back.
    CRect top = ClientRectIn(*CWnd::FromHandle(::GetDlgItem(frame->m_hWnd, IDW_DOCK_TOP)), *frame);
    EXPECT_EQ(top.Height(), 0);

    frame->ShowControlBar(&toolBar, false, false);
    EXPECT_FALSE(toolBar.IsWindowVisible());
    EXPECT_FALSE(mini->IsWindowVisible());
    frame->ShowControlBar(&toolBar, true, false);
    EXPECT_TRUE(mini->IsWindowVisible());
    EXPECT_TRUE(toolBar.IsWindowVisible());

    // The close box hides the bar, not the frame's contents.
    mini->SendMessage(WM_CLOSE);
    EXPECT_FALSE(mini->IsWindowVisible());
    EXPECT_TRUE(::IsWindow(mini->m_hWnd));
    frame->ShowControlBar(&toolBar, true, false);

    HWND miniHwnd = mini->m_hWnd;
    frame->DockControlBar(&toolBar, IDW_DOCK_BOTTOM);
    EXPECT_FALSE(toolBar.IsFloating());
    EXPECT_FALSE(::IsWindow(miniHwnd));
    EXPECT_EQ(frame->GetControlBar(AFX_IDW_TOOLBAR), &toolBar);
}

TEST_F(Bars, MiniFrameCornersSizeOnlyWithoutTheFourSidedStyle) {
    frame->FloatControlBar(&toolBar, CPoint(200, 150));
    CMiniDockFrameWnd* mini = FloatingFrame();
    ASSERT_NE(mini, nullptr);
    CRect rect;
    mini->GetWindowRect(&rect);
    LPARAM corner = MAKELPARAM(rect.right - 2, rect.bottom - 2);
    EXPECT_EQ(mini->SendMessage(WM_NCHITTEST, 0, corner), HTRIGHT);
    mini->ModifyStyle(MFS_4THICKFRAME, 0);
    EXPECT_EQ(mini->SendMessage(WM_NCHITTEST, 0, corner), HTBOTTOMRIGHT);
}

TEST_F(Bars, DockContextSubclassResizesTheFloatingBar) {
    auto* context = new ResizeContext(&toolBar);
    delete toolBar.m_pDockContext;
    toolBar.m_pDockContext = context;
    // Three buttons a row: two rows.
    toolBar.m_nMRUWidth = 3 * 27 + 2;
    frame->FloatControlBar(&toolBar, CPoint(100, 100));
    CMiniDockFrameWnd* mini = FloatingFrame();
    ASSERT_NE(mini, nullptr);
    CRect before;
    mini->GetWindowRect(&before);
    CRect barRect;
    toolBar.GetWindowRect(&barRect);

    // The right edge dragged 4 buttons further: everything fits in one row.
    CPoint start(before.right - 1, before.top + before.Height() / 2);
    CPoint end(start.x + 4 * 27, start.y);
    CPoint endInBar = end;
    toolBar.ScreenToClient(&endInBar);
    toolBar.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(endInBar.x, endInBar.y));
    toolBar.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(endInBar.x, endInBar.y));
    mini->SendMessage(WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(start.x, start.y));

    EXPECT_EQ(context->hitSeen, HTRIGHT);
    EXPECT_EQ(::GetCapture(), nullptr);
    CRect after;
    mini->GetWindowRect(&after);
    EXPECT_GT(after.Width(), before.Width());
    EXPECT_LT(after.Height(), before.Height());
    EXPECT_EQ(after.TopLeft(), before.TopLeft());
}

TEST_F(Bars, SeparatorMakesRoomForAControlWhoseNotificationsReachTheFrame) {
    CRect plain;
    toolBar.GetItemRect(4, &plain);
    toolBar.SetButtonInfo(3, kCombo, BARBTN_SEPARATOR, 120);
    CRect slot;
    toolBar.GetItemRect(3, &slot);
    EXPECT_EQ(slot.Width(), 120);
    CRect moved;
    toolBar.GetItemRect(4, &moved);
    EXPECT_EQ(moved.left, slot.right);
    UINT id, style;
    int image;
    toolBar.GetButtonInfo(3, id, style, image);
    EXPECT_EQ(id, kCombo);
    EXPECT_EQ(style, static_cast<UINT>(BARBTN_SEPARATOR));
    EXPECT_EQ(image, 120);

    HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, slot.left, slot.top, slot.Width(),
                                  slot.Height(), toolBar.m_hWnd, reinterpret_cast<HMENU>(kCombo), nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    ::SetWindowTextA(edit, "12");
    EXPECT_EQ(frame->editChanges, 1);
}

TEST_F(Bars, DropDownButtonNotifiesTheRoutedTarget) {
    CRect button;
    toolBar.GetItemRect(2, &button);
    CPoint center = button.CenterPoint();
    toolBar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(center.x, center.y));
    toolBar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(center.x, center.y));
    EXPECT_EQ(frame->dropDownItem, static_cast<int>(kArrow));
}

TEST_F(Bars, ButtonsTakeTheirStatesAtIdle) {
    frame->SendMessageToDescendants(IdleUpdateMessage, TRUE, 0, true, true);
    struct Case {
        UINT id;
        bool enabled;
        bool checked;
    };
    const Case cases[] = {
        { kPoint, true, true },
        { kCompass, false, false },
        { kArrow, true, false },
        { kNoHandler, false, false },
        { kText, true, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(toolBar.SendMessage(TB_ISBUTTONENABLED, c.id) != 0, c.enabled);
        EXPECT_EQ(toolBar.SendMessage(TB_ISBUTTONCHECKED, c.id) != 0, c.checked);
    }
    frame->checkPoint = false;
    frame->SendMessageToDescendants(IdleUpdateMessage, TRUE, 0, true, true);
    EXPECT_EQ(toolBar.SendMessage(TB_ISBUTTONCHECKED, kPoint), 0);
}

TEST_F(Bars, BarOverridingTheUpdateKeepsItsOwnStates) {
    SilentBar silent;
    ASSERT_TRUE(silent.Create(frame, WS_CHILD | WS_VISIBLE | BAR_TOP, 0xE806));
    const UINT ids[] = { kCompass, kNoHandler };
    ASSERT_TRUE(silent.SetButtons(ids, 2));
    frame->DockControlBar(&silent, IDW_DOCK_TOP);
    frame->SendMessageToDescendants(IdleUpdateMessage, TRUE, 0, true, true);
    EXPECT_NE(silent.SendMessage(TB_ISBUTTONENABLED, kCompass), 0);
    EXPECT_NE(silent.SendMessage(TB_ISBUTTONENABLED, kNoHandler), 0);
}

TEST_F(Bars, StatusBarShowsPromptsAndButtonFlyBy) {
    frame->SendMessage(StatusPromptMessage, kCompass);
    EXPECT_EQ(statusBar.GetPaneText(0), CString("Prompt 101"));
    statusBar.SetWindowText("Working");
    EXPECT_EQ(statusBar.GetPaneText(0), CString("Working"));
    char text[32] = {};
    statusBar.GetWindowText(text, sizeof text);
    EXPECT_STREQ(text, "Working");

    // The pointer over a button shows that button's prompt.
    CRect button;
    toolBar.GetItemRect(4, &button);
    CPoint over = button.CenterPoint();
    toolBar.ClientToScreen(&over);
    ASSERT_TRUE(::SetCursorPos(over.x, over.y));
    MSG move{ toolBar.m_hWnd, WM_MOUSEMOVE, 0, 0, 0, over };
    toolBar.PreTranslateMessage(&move);
    EXPECT_EQ(statusBar.GetPaneText(0), CString("Prompt 103"));
}

TEST_F(Bars, DynamicLayoutFollowsTheLengthAsked) {
    // Five buttons of 27 and an 8-pixel separator.
    CSize oneRow = toolBar.CalcDynamicLayout(-1, LM_HORZ | LM_DOCKED_HORZ);
    CSize narrow = toolBar.CalcDynamicLayout(2 * 27 + 2, LM_HORZ);
    EXPECT_LT(narrow.cx, oneRow.cx);
    EXPECT_GT(narrow.cy, oneRow.cy);
    // Asking for the height of one row gives back the single row.
    CSize byHeight = toolBar.CalcDynamicLayout(oneRow.cy, LM_HORZ | LM_LENGTHY);
    EXPECT_EQ(byHeight, oneRow);
    // The committed width is the one floating frames come back to.
    CSize committed = toolBar.CalcDynamicLayout(3 * 27 + 2, LM_HORZ | LM_REMEMBER);
    EXPECT_EQ(toolBar.CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH), committed);
}

}  // namespace
