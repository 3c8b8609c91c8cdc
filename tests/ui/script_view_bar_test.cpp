// The Script View bar on its own in a frame, with no tool in the engine: what shows with
// and without a tool, the status line, sizing, and scrolling a row into view.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "classlib/frame.h"
#include "engine/core/engine_startup.h"
#include "ui/frames/script_view_bar.h"
#include "ui/portable/script_view_rules.h"

namespace {

class ScriptViewBarTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartEngine()); }
    static void TearDownTestSuite() { ShutdownEngine(); }
    void SetUp() override {
        frame = new CFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, "Script", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 500)));
        ASSERT_TRUE(bar.CreateBar(frame));
    }
    void TearDown() override {
        if (bar.m_hWnd) bar.DestroyWindow();
        if (frame && frame->m_hWnd) frame->DestroyWindow();
    }
    bool Visible(UINT id) { return (::GetWindowLongA(::GetDlgItem(bar.m_hWnd, int(id)), GWL_STYLE) & WS_VISIBLE) != 0; }
    std::string Text(UINT id) {
        char text[256] = "";
        ::GetDlgItemTextA(bar.m_hWnd, int(id), text, sizeof text);
        return text;
    }
    RECT Rect(UINT id) {
        RECT r{};
        HWND child = ::GetDlgItem(bar.m_hWnd, int(id));
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, bar.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    CFrameWnd* frame = nullptr;
    ScriptViewBar bar;
};

}  // namespace

TEST_F(ScriptViewBarTest, HelpWithoutToolControlsWithOne) {
    // No tool: only the help text.
    EXPECT_TRUE(Visible(kScriptHelpId));
    for (UINT id : { kScriptCommentId, kScriptStepListId, kScriptNextStepId, kScriptStatusId, kScriptApplyLabelId,
                     kScriptAllStepsId })
        EXPECT_FALSE(Visible(id)) << id;
    EXPECT_EQ(Text(kScriptCommentId), "Create or choose a custom tool.");
    ASSERT_NE(bar.Printer(), nullptr);

    bar.ShowTool(5, "Bisects the angle.");
    EXPECT_EQ(bar.stepList.GetCount(), 5);
    EXPECT_EQ(bar.rowCount, 5);
    EXPECT_EQ(Text(kScriptCommentId), "Bisects the angle.");
    EXPECT_TRUE(Visible(kScriptCommentId));
    EXPECT_TRUE(Visible(kScriptStepListId));
    EXPECT_FALSE(Visible(kScriptHelpId));
    // Nothing to apply with no tool in the engine: the status line, not the buttons.
    EXPECT_TRUE(Visible(kScriptStatusId));
    EXPECT_FALSE(Visible(kScriptNextStepId));
    EXPECT_FALSE(Visible(kScriptAllStepsId));
    EXPECT_FALSE(Visible(kScriptApplyLabelId));

    bar.SetStepCount(2);
    EXPECT_EQ(bar.stepList.GetCount(), 2);
    bar.ShowTool(0, "");
    EXPECT_EQ(bar.stepList.GetCount(), 0);
    EXPECT_TRUE(Visible(kScriptHelpId));
    EXPECT_FALSE(Visible(kScriptStepListId));
}

TEST_F(ScriptViewBarTest, FloatingSizesAreRaisedToTheLeastAndRemembered) {
    const CSize least = bar.minimumSize;
    ASSERT_GT(least.cx, 0);
    ASSERT_GT(least.cy, 0);
    CSize size = bar.CalcDynamicLayout(10, LM_HORZ | LM_LENGTHY);
    EXPECT_EQ(size.cy, least.cy);
    size = bar.CalcDynamicLayout(5, LM_HORZ);
    EXPECT_EQ(size.cx, least.cx);

    const RECT listBefore = Rect(kScriptStepListId);
    const RECT nextBefore = Rect(kScriptNextStepId);
    size = bar.CalcDynamicLayout(least.cx + 60, LM_HORZ);
    size = bar.CalcDynamicLayout(least.cy + 90, LM_HORZ | LM_LENGTHY);
    EXPECT_EQ(size, CSize(least.cx + 60, least.cy + 90));
    // The most recent floating size is what a floating frame asks for next.
    EXPECT_EQ(bar.CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH), size);
    // The list stretches both ways with the bar; the buttons keep to the bottom.
    const RECT listAfter = Rect(kScriptStepListId);
    EXPECT_EQ(listAfter.right - listBefore.right, 60);
    EXPECT_EQ(listAfter.bottom - listBefore.bottom, 90);
    EXPECT_EQ(listAfter.left, listBefore.left);
    EXPECT_EQ(Rect(kScriptNextStepId).top - nextBefore.top, 90);
    EXPECT_EQ(Rect(kScriptNextStepId).left, nextBefore.left);

    // Docked, the bar keeps its docked size whatever the floating one became.
    EXPECT_EQ(bar.CalcDynamicLayout(-1, LM_HORZ | LM_DOCKED_HORZ), bar.dockedSize);
}

TEST_F(ScriptViewBarTest, RowsScrollIntoViewByTheirHeights) {
    bar.ShowTool(12, "");
    CScriptStepListBox& list = bar.stepList;
    // Rows without text in the engine measure as separators.
    EXPECT_EQ(list.SendMessage(LB_GETITEMHEIGHT, 0), kScriptSeparatorHeight);
    const int heights[12] = { 22, 4, 30, 22, 40, 22, 22, 22, 60, 22, 22, 22 };
    for (int i = 0; i < 12; ++i) list.SendMessage(LB_SETITEMHEIGHT, WPARAM(i), heights[i]);
    // A list 100 pixels high inside.
    RECT client{}, window{};
    list.GetClientRect(&client);
    list.GetWindowRect(&window);
    const int frameHeight = (window.bottom - window.top) - (client.bottom - client.top);
    list.SetWindowPos(nullptr, 0, 0, window.right - window.left, 100 + frameHeight, SWP_NOMOVE | SWP_NOZORDER);
    list.GetClientRect(&client);
    ASSERT_EQ(client.bottom, 100);

    list.SetTopIndex(0);
    list.EnsureStepVisible(4);   // visible: nothing moves
    EXPECT_EQ(list.GetTopIndex(), 0);
    list.EnsureStepVisible(6);   // below: it and the next row at the bottom
    EXPECT_EQ(list.GetTopIndex(), 4);
    list.EnsureStepVisible(3);   // above, and every row up to it fits: back to the start
    EXPECT_EQ(list.GetTopIndex(), 0);
}
