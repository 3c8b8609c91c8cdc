#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "classlib/frame.h"
#include "engine/core/engine_startup.h"
#include "engine/core/services/bars.h"
#include "platform/rules/shell_rules.h"
#include "ui/frames/motion_controller_bar.h"

namespace {

class MotionControllerBarTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartEngine()); }
    static void TearDownTestSuite() { ShutdownEngine(); }
    void SetUp() override {
        frame = new CFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, "Motion", WS_OVERLAPPEDWINDOW, CRect(0, 0, 800, 200)));
        ASSERT_TRUE(bar.CreateBar(frame, false));
        bar.LayoutControls();
    }
    void TearDown() override {
        if (bar.m_hWnd) bar.DestroyWindow();
        if (frame && frame->m_hWnd) frame->DestroyWindow();
    }
    bool ButtonEnabled(UINT id) { return bar.SendMessage(TB_ISBUTTONENABLED, id) != 0; }
    bool ButtonChecked(UINT id) { return bar.SendMessage(TB_ISBUTTONCHECKED, id) != 0; }
    std::string Text(CWnd& w) {
        char text[128] = "";
        w.GetWindowText(text, sizeof text);
        return text;
    }
    CFrameWnd* frame = nullptr;
    MotionControllerBar bar;
};

}  // namespace

TEST_F(MotionControllerBarTest, EveryItemFollowsEveryState) {
    const UINT buttons[] = { kMotionAnimateId, kMotionStopId, kMotionPauseId, 0, 0, 0, 0, kMotionReverseId };
    for (int32_t item = 0; item < kMotionBarItemCount; ++item) {
        for (int32_t state : { 0, 1, 2, 0 }) {
            SCOPED_TRACE(testing::Message() << "item " << item << " state " << state);
            bar.SetItemState(item, state);
            if (buttons[item]) {
                EXPECT_EQ(ButtonEnabled(buttons[item]), state != 2);
                EXPECT_EQ(ButtonChecked(buttons[item]), state == 1);
                continue;
            }
            CWnd* control = item == 5 ? static_cast<CWnd*>(bar.speedBox)
                          : item == 6 ? static_cast<CWnd*>(&bar.targetButton)
                                      : &bar.spin;
            EXPECT_EQ(control->IsWindowEnabled() != 0, state != 2);
        }
    }
    // The target's caption by its state (no front sketch: no selection to name).
    bar.SetItemState(6, 1);
    EXPECT_EQ(Text(bar.targetButton), "Target: All motions");
    EXPECT_FALSE(bar.targetButton.arrowActive);  // nothing moves
    bar.SetItemState(6, 2);
    EXPECT_EQ(Text(bar.targetButton), "Target: None");
}

TEST_F(MotionControllerBarTest, SpeedTextIsWrittenOnlyWhileTheUserIsNotTyping) {
    FormatSpeedRangeText(1, 2);
    bar.SetItemState(5, 0);
    const std::string range = CurrentSpeedRangeText();
    ASSERT_NE(range.find("..."), std::string::npos);
    EXPECT_EQ(Text(*bar.speedBox), range);
    EXPECT_FALSE(bar.speedUnderEdit);

    // The user is typing and nothing changed in the sketch: the typed text stays.
    bar.speedUnderEdit = true;
    bar.changeCountAtEdit = 0;
    bar.speedBox->SetWindowText("3");
    FormatSpeedRangeText(4, 4);
    bar.SetItemState(5, 0);
    EXPECT_EQ(Text(*bar.speedBox), "3");
    bar.SetItemState(5, 2);
    EXPECT_EQ(Text(*bar.speedBox), "3");

    // Not typing: a disabled box is empty, an enabled one shows the engine's text.
    bar.speedUnderEdit = false;
    bar.SetItemState(5, 2);
    EXPECT_EQ(Text(*bar.speedBox), "");
    bar.SetItemState(5, 0);
    EXPECT_EQ(Text(*bar.speedBox), CurrentSpeedRangeText());
}

TEST_F(MotionControllerBarTest, SpinRestsAtTheMiddleOfAnInvertedRange) {
    int low = 0, high = 0;
    bar.spin.SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 200);
    EXPECT_EQ(high, 0);
    EXPECT_EQ(bar.spin.SendMessage(UDM_GETPOS32), 100);
    // The controls sit in their slots: the speed box right of the label, the spin after it.
    RECT label{}, box{}, spin{};
    bar.speedLabel.GetWindowRect(&label);
    bar.speedBox->GetWindowRect(&box);
    bar.spin.GetWindowRect(&spin);
    EXPECT_LE(label.right, box.left);
    EXPECT_LE(box.right, spin.left + 1);
}
