#include <gtest/gtest.h>

#include <windows.h>

#include "ui/view/view_math.h"

TEST(ViewConversion, RoundsHalfUpAndClampsToSketchRange) {
    struct Case { int32_t device; int32_t scroll; double scale; int16_t sketch; };
    const Case cases[] = {
        { 0, 0, 0.5, 0 },           { 15001, 0, 0.5, 30000 },   { -15001, 0, 0.5, -30000 },
        { 7, 0, 2.0, 4 },           { -7, 0, 2.0, -3 },         { 10, 90, 1.0, 100 },
        { 40000, 0, 1.0, 30000 },   { 3, 0, 1.25, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        EXPECT_EQ(DeviceToSketch(c.device, c.scroll, c.scale), c.sketch);
    }
    EXPECT_EQ(SketchToDevice(100, 90, 1.0), 10);
    EXPECT_EQ(SketchToDevice(-3, 0, 0.5), -1);   // -1.5 rounds up to -1
    EXPECT_EQ(SketchToDevice(29000, -5000, 1.0), 30000);
}

TEST(ViewConversion, ZoomViewportExtentIsClamped) {
    EXPECT_EQ(ZoomViewportExtent(1.0), 1000);
    EXPECT_EQ(ZoomViewportExtent(1.25), 1250);
    EXPECT_EQ(ZoomViewportExtent(40.0), 30000);
    EXPECT_EQ(ZoomViewportExtent(-40.0), -30000);
}

TEST(ViewScrolling, EachCodeMovesWithinTheRange) {
    // Range 0..1000 with a page of 200: positions run from 0 to 800.
    const ScrollBarState bar{ 0, 1000, 200, 700 };
    struct Case { int32_t code; int32_t thumb; int32_t target; };
    const Case cases[] = {
        { SB_LINEUP, 0, 692 },      { SB_LINEDOWN, 0, 708 },    { SB_PAGEUP, 0, 500 },
        { SB_PAGEDOWN, 0, 800 },    { SB_TOP, 0, 0 },           { SB_BOTTOM, 0, 800 },
        { SB_THUMBTRACK, 950, 800 }, { SB_THUMBTRACK, -20, 0 }, { SB_THUMBTRACK, 333, 333 },
        { SB_ENDSCROLL, 0, 700 },   { SB_THUMBPOSITION, 10, 700 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(ScrollTarget(bar, c.code, c.thumb), c.target);
    }
    // Page down at the end of the range stays at maximum − page.
    EXPECT_EQ(ScrollTarget(ScrollBarState{ 0, 1000, 200, 800 }, SB_PAGEDOWN, 0), 800);
}

TEST(ViewScrolling, RangeHoldsTheExtentThePositionAndAPage) {
    const ScrollBarState inside = ScrollRangeFor(-5, 605, 0, 400);
    EXPECT_EQ(inside.minimum, -5);
    EXPECT_EQ(inside.maximum, 605);
    EXPECT_EQ(inside.page, 400);
    // Scrolled past the extent: the range grows to keep the position and a full page.
    const ScrollBarState past = ScrollRangeFor(0, 300, 500, 400);
    EXPECT_EQ(past.minimum, 0);
    EXPECT_EQ(past.maximum, 900);
    const ScrollBarState before = ScrollRangeFor(100, 300, 20, 50);
    EXPECT_EQ(before.minimum, 20);
}

TEST(ViewScrolling, ScrollExtentOfAPage) {
    const PixelRect client{ 0, 0, 640, 480 };
    const PixelRect empty = ScrollExtentFor(kEmptyScreenRect, 1, 1, client);
    EXPECT_EQ(empty.right, 640);
    EXPECT_EQ(empty.bottom, 480);
    const PixelRect r = ScrollExtentFor(ScreenRect{ -10, 20, 301, 401 }, 1.5, 1.0, client);
    EXPECT_EQ(r.left, -20);    // -15 truncated toward zero, then the margin
    EXPECT_EQ(r.top, 15);
    EXPECT_EQ(r.right, 456);   // 451.5 truncated
    EXPECT_EQ(r.bottom, 406);
}

TEST(ViewWheel, OneToolStepPerStartedNotch) {
    struct Case { int32_t delta; int32_t steps; };
    const Case cases[] = { { 120, 1 }, { 240, 2 }, { 100, 1 }, { 121, 2 }, { -120, -1 }, { -241, -3 }, { 0, 0 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delta);
        EXPECT_EQ(WheelToolSteps(c.delta), c.steps);
    }
}

TEST(ViewRedraw, LineBoundsWidenOnlyWhenTheClientLeavesThem) {
    const PixelRect client{ 0, 0, 100, 50 };
    const PixelRect wide = WidenLineBounds(PixelRect{ 0, 0, 0, 0 }, client);
    EXPECT_EQ(wide.left, -100);
    EXPECT_EQ(wide.top, -50);
    EXPECT_EQ(wide.right, 200);
    EXPECT_EQ(wide.bottom, 100);
    const PixelRect kept = WidenLineBounds(wide, PixelRect{ 10, 10, 110, 60 });
    EXPECT_EQ(kept.right, 200);
    const PixelRect moved = WidenLineBounds(wide, PixelRect{ 150, 0, 250, 50 });
    EXPECT_EQ(moved.left, 50);
}
