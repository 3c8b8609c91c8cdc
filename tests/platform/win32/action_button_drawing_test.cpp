// Action buttons through their class's slots: the face's grey tells pushed from raised
// (running and held cancel out), the tab takes the object's colour, dimming greys the
// face, and both selection frames.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/core/action_button_data.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/drawing_metrics.h"
#include "platform/win32/render/object_style.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

constexpr COLORREF kRaised = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF kPushed = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kTab = RGB(0, 160, 0);

class ActionButtonDrawing : public RenderTest {
protected:
    ActionButtonDrawing() : saved_(DrawingMetrics) { EXPECT_TRUE(InitDrawingMetrics()); }
    ~ActionButtonDrawing() override { DrawingMetrics = saved_; }

    SketchObject* Button() {
        ActionButtonData* d;
        SketchObject* button = MakeObject(kClassActionButton, 20, kTab, &d);
        d->pendingNext = kNotPending;
        button->bounds = { 40, 40, 140, 70 };
        data_ = d;
        return button;
    }
    // Inside the face, clear of the bevel and the caption's first line.
    COLORREF Face() const { return canvas_.At(130, 60); }
    void Draw(SketchObject* button) {
        canvas_.Fill(kWhite);
        ObjectClassTable[kClassActionButton].draw(&port_, button);
    }

    DrawingMetricsRecord saved_;
    ActionButtonData* data_ = nullptr;
};

TEST_F(ActionButtonDrawing, RunningAndHeldEachPushTheFaceButNotTogether) {
    SketchObject* button = Button();
    struct Case { int32_t running; uint32_t mark; COLORREF face; };
    const Case cases[] = {
        { 0, 0x00, kRaised },
        { 1, 0x00, kPushed },
        { 0, 0x02, kPushed },
        { 2, 0x02, kRaised },  // held while running: a release would stop it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.running * 10 + static_cast<int32_t>(c.mark));
        data_->runningCount = c.running;
        button->markFlags = c.mark;
        Draw(button);
        EXPECT_EQ(Face(), c.face);
        EXPECT_EQ(canvas_.At(43, 55), kTab);
        EXPECT_EQ(canvas_.At(40, 55), kBlack);  // the frame
    }
    // The bevel: white above a raised face, black above a pushed one.
    data_->runningCount = 0;
    button->markFlags = 0;
    Draw(button);
    const int32_t faceLeft = 40 + DrawingMetrics.intMetricsB[kMetricButtonTab] + 2;
    EXPECT_EQ(canvas_.At(100, 41), kWhite);
    EXPECT_EQ(canvas_.At(100, 68), kBlack);
    EXPECT_EQ(canvas_.At(faceLeft, 55), kWhite);
    data_->runningCount = 1;
    Draw(button);
    EXPECT_EQ(canvas_.At(100, 41), kBlack);
    EXPECT_EQ(canvas_.At(100, 68), kWhite);
}

TEST_F(ActionButtonDrawing, DimmedButtonsFadeTowardTheBackground) {
    SketchObject* button = Button();
    button->markFlags = 0x04;
    Draw(button);
    const COLORREF face = Face();
    EXPECT_GT(GetRValue(face), 0xC0);
    EXPECT_EQ(GetRValue(face), GetBValue(face));
    const COLORREF tab = canvas_.At(43, 55);
    EXPECT_NE(tab, kTab);
    EXPECT_GT(GetRValue(tab), 0);
}

TEST_F(ActionButtonDrawing, HighlightedAndSelectedFrames) {
    SketchObject* button = Button();
    button->markFlags = 0x01;
    Draw(button);
    EXPECT_EQ(canvas_.At(38, 55), kSelection);   // 3 pixels round (L - 2, T - 2)
    EXPECT_EQ(canvas_.At(141, 55), kSelection);
    EXPECT_EQ(canvas_.At(35, 55), kWhite);
    button->markFlags = 0;
    canvas_.Fill(kWhite);
    ObjectClassTable[kClassActionButton].drawSelected(&port_, button);
    EXPECT_EQ(canvas_.At(38, 55), kHighlight);   // 2 pixels, reaching to (R + 3, B + 3)
    EXPECT_EQ(canvas_.At(142, 55), kHighlight);
    EXPECT_EQ(Face(), kRaised);
    EXPECT_EQ(button->markFlags, 0u);
}

}  // namespace
