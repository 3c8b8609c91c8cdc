#include "classlib/splitter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A pane that counts the scroll messages reaching it.
class PaneView : public CView {
    DECLARE_DYNCREATE(PaneView)
public:
    int hScrolls = 0;
    int vScrolls = 0;
    void OnDraw(CDC*) override {}
    void OnHScroll(UINT, UINT, CScrollBar*) { ++hScrolls; }
    void OnVScroll(UINT, UINT, CScrollBar*) { ++vScrolls; }

protected:
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(PaneView, CView)

BEGIN_MESSAGE_MAP(PaneView, CView)
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

// Records the scroll bars it is asked to make.
class CountingSplitter : public CSplitterWnd {
public:
    std::vector<UINT> made;
    bool CreateScrollBarCtrl(DWORD style, UINT id) override {
        made.push_back(id);
        return CSplitterWnd::CreateScrollBarCtrl(style, id);
    }
};

class SplitFrame : public CFrameWnd {
public:
    CountingSplitter splitter;
    bool OnCreateClient(LPCREATESTRUCT, CCreateContext* context) override {
        return splitter.Create(this, 1, 2, CSize(10, 10), context);
    }
};

class Splitter : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new SplitFrame;
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(PaneView);
        ASSERT_TRUE(frame->Create(nullptr, "Split", WS_OVERLAPPEDWINDOW, CRect(0, 0, 500, 400), nullptr, nullptr, 0,
                                  &context));
    }
    void TearDown() override {
        if (frame && frame->m_hWnd) frame->DestroyWindow();
    }
    PaneView* Pane(int col) { return dynamic_cast<PaneView*>(frame->splitter.GetPane(0, col)); }
    HWND Bar(UINT id) { return ::GetDlgItem(frame->splitter.m_hWnd, static_cast<int>(id)); }
    CPoint Center(int ht) {
        CRect rect;
        frame->splitter.GetHitRect(ht, rect);
        return rect.CenterPoint();
    }
    void Drag(CPoint from, CPoint to) {
        CSplitterWnd& s = frame->splitter;
        s.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        s.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        s.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }

    SplitFrame* frame = nullptr;   // deletes itself with its window
};

TEST_F(Splitter, StartsWithOnePaneAndSharedScrollBarsMadeByTheOverridable) {
    CSplitterWnd& s = frame->splitter;
    EXPECT_EQ(s.GetColumnCount(), 1);
    ASSERT_NE(Pane(0), nullptr);
    EXPECT_EQ(Pane(0)->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(frame->splitter.made, (std::vector<UINT>{ IDW_SPLIT_HSCROLL_FIRST, IDW_SPLIT_VSCROLL_FIRST, IDW_SPLIT_SIZE_BOX }));
    EXPECT_EQ(s.GetStyle() & (WS_HSCROLL | WS_VSCROLL), 0u);
    EXPECT_EQ(s.HitTest(Center(CSplitterWnd::hitSplitBox)), CSplitterWnd::hitSplitBox);
    EXPECT_EQ(s.HitTest(CPoint(100, 100)), CSplitterWnd::hitNothing);
}

TEST_F(Splitter, SplitBoxDragMakesASecondPaneOfTheSameClass) {
    CSplitterWnd& s = frame->splitter;
    Drag(Center(CSplitterWnd::hitSplitBox), CPoint(180, 100));
    ASSERT_EQ(s.GetColumnCount(), 2);
    ASSERT_NE(Pane(1), nullptr);
    int cur = 0, min = 0;
    s.GetColumnInfo(0, cur, min);
    EXPECT_EQ(cur, 180);
    EXPECT_EQ(frame->splitter.made.back(), IDW_SPLIT_HSCROLL_FIRST + 1u);
    // The box is gone (no third column); the bar between the panes is hit instead.
    EXPECT_EQ(s.HitTest(CPoint(2, Center(CSplitterWnd::hitSplitBox).y)), CSplitterWnd::hitNothing);
    EXPECT_EQ(s.HitTest(CPoint(182, 50)), CSplitterWnd::hitColumnBarFirst);

    // Dragging the bar to the left edge closes the first pane; the second one stays.
    PaneView* second = Pane(1);
    Drag(CPoint(182, 50), CPoint(2, 50));
    EXPECT_EQ(s.GetColumnCount(), 1);
    EXPECT_EQ(Pane(0), second);
    EXPECT_EQ(Bar(IDW_SPLIT_HSCROLL_FIRST + 1), nullptr);
}

TEST_F(Splitter, PanesScrollThroughTheSharedBars) {
    CSplitterWnd& s = frame->splitter;
    ASSERT_TRUE(s.SplitColumn(200));
    PaneView* left = Pane(0);
    PaneView* right = Pane(1);
    ASSERT_NE(right, nullptr);

    // A pane's scroll calls reach the row's vertical bar and its column's horizontal bar.
    left->SetScrollRange(SB_VERT, 0, 100);
    left->SetScrollPos(SB_VERT, 40);
    EXPECT_EQ(::GetScrollPos(Bar(IDW_SPLIT_VSCROLL_FIRST), SB_CTL), 40);
    EXPECT_EQ(right->GetScrollPos(SB_VERT), 40);
    right->SetScrollRange(SB_HORZ, 0, 50);
    right->SetScrollPos(SB_HORZ, 7);
    EXPECT_EQ(::GetScrollPos(Bar(IDW_SPLIT_HSCROLL_FIRST + 1), SB_CTL), 7);
    EXPECT_EQ(left->GetScrollPos(SB_HORZ), 0);

    // The vertical bar's messages reach both panes, a column's bar only its own.
    s.SendMessage(WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(Bar(IDW_SPLIT_VSCROLL_FIRST)));
    EXPECT_EQ(left->vScrolls, 1);
    EXPECT_EQ(right->vScrolls, 1);
    s.SendMessage(WM_HSCROLL, SB_LINERIGHT, reinterpret_cast<LPARAM>(Bar(IDW_SPLIT_HSCROLL_FIRST + 1)));
    EXPECT_EQ(left->hScrolls, 0);
    EXPECT_EQ(right->hScrolls, 1);
}

TEST_F(Splitter, NextAndPreviousPaneAlternate) {
    CSplitterWnd& s = frame->splitter;
    EXPECT_FALSE(s.CanActivateNext());
    ASSERT_TRUE(s.SplitColumn(200));
    s.SetActivePane(0, 0);
    int row = -1, col = -1;
    s.ActivateNext();
    ASSERT_NE(s.GetActivePane(&row, &col), nullptr);
    EXPECT_EQ(col, 1);
    s.ActivateNext(true);
    s.GetActivePane(&row, &col);
    EXPECT_EQ(col, 0);
}

}  // namespace
