// Axes drawn through their class's draw slot: tick numbers as text, the tick layout over
// the paint rectangle, and the line, marks and numbers in pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/straight_objects.h"
#include "platform/win32/render/axis_drawing.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

TEST(TickNumbers, PlainBetweenTheLimitsAndAPowerOfTenOutside) {
    struct Case { double value; const char* text; const char* exponent; };
    const Case cases[] = {
        { 0.5, "0.5", "" },          { 2.0, "2", "" },
        { -3.25, "-3.25", "" },      { 9999999, "9999999", "" },
        { 1e-6, "0.000001", "" },    { 1e-7, "1\xB7" "10", "-7" },
        { 12345678, "1.234568\xB7" "10", "7" },
        { -1.5e8, "-1.5\xB7" "10", "8" }, { 2.5e-12, "2.5\xB7" "10", "-12" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        char text[32], exponent[32];
        FormatTickNumber(text, exponent, c.value);
        EXPECT_STREQ(text, c.text);
        EXPECT_STREQ(exponent, c.exponent);
    }
}

class AxisDrawing : public RenderTest {
protected:
    static constexpr COLORREF kAxisColor = RGB(0, 0, 160);

    AxisDrawing() : saved_(DrawingMetrics), savedScale_(CurrentOutputScale) {
        EXPECT_TRUE(InitDrawingMetrics());
        EXPECT_TRUE(CreatePtrListArena(&arena_, 64));
        previousArena_ = SetCurrentPtrListArena(arena_);
        port_.paintRect = { 0, 0, canvas_.width(), canvas_.height() };
    }
    ~AxisDrawing() override {
        FreeCurrentPtrListArena();
        SetCurrentPtrListArena(previousArena_);
        DrawingMetrics = saved_;
        CurrentOutputScale = savedScale_;
    }

    // An axis through `origin` whose unit is `unit` pixels, with its tick ladder.
    SketchObject* Axis(bool horizontal, RealPoint origin, double unit) {
        AxisData* d;
        SketchObject* axis = MakeObject(kClassAxis, kKindAxis, kAxisColor, &d);
        d->horizontal = horizontal ? 1 : 0;
        d->origin = origin;
        d->unitDistance = unit;
        d->tickSpacing = unit;
        AxisTickLadder(&d->tickSpacing, &d->minorCount, &d->labelInterval, horizontal);
        axes_.push_back(axis);
        return axis;
    }
    // Hangs a coordinate system of the given grid form on the axis.
    void GiveSystem(SketchObject* axis, int32_t form) {
        CoordSystemData* c;
        SketchObject* system = MakeObject(kClassCoordinateSystem, kKindCoordinateSystem, kBlack, &c);
        c->gridForm = form;
        ASSERT_TRUE(PtrListAppend(&axis->children, system));
    }
    // Non-background pixels within the rectangle.
    int Ink(int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += canvas_.At(x, y) != kWhite;
        return n;
    }
    // The columns (as a string of '#' and '.') that hold ink within the rows.
    std::string InkColumns(int left, int right, int top, int bottom) const {
        std::string s;
        for (int x = left; x < right; ++x) s += Ink(x, top, x + 1, bottom) ? '#' : '.';
        return s;
    }

    DrawingMetricsRecord saved_;
    OutputScale savedScale_;
    std::vector<SketchObject*> axes_;
    PtrListArena* arena_ = nullptr;
    PtrListArena* previousArena_ = nullptr;
};

TEST_F(AxisDrawing, LaddersTicksOverThePaintRangeWidenedOnlyOnScreen) {
    // A unit of 40 pixels: a minor tick every 8 pixels, a mark every 5, a number every 25.
    SketchObject* axis = Axis(true, { 100, 60 }, 40);
    AxisTickLayout screen{}, printed{};
    ASSERT_TRUE(ComputeAxisTicks(&screen, axis, 0, 200));
    EXPECT_EQ(screen.across, 60);
    EXPECT_EQ(screen.markFrom, 56);
    EXPECT_EQ(screen.markTo, 65);
    EXPECT_DOUBLE_EQ(screen.pixelsPerTick, 8);
    CurrentOutputScale.printing = 1;
    ASSERT_TRUE(ComputeAxisTicks(&printed, axis, 0, 200));
    // Printed: ticks from the origin's left, 12 ticks of 8 pixels back to 4, 25 in all.
    EXPECT_EQ(printed.firstTick, 12);
    EXPECT_EQ(printed.tickCount, 25);
    EXPECT_EQ(printed.markPhase, 2);
    EXPECT_EQ(printed.numberPhase, 12);
    // On screen half a number field more at each end.
    const int32_t half = DrawingMetrics.intMetricsB[kMetricNumberFieldWidth] / 2;
    EXPECT_GT(half, 0);
    EXPECT_GT(screen.firstTick, printed.firstTick);
    EXPECT_GT(screen.tickCount, printed.tickCount);
    // A tick left of the origin takes the phases of a negative index, not negative ones.
    ASSERT_TRUE(ComputeAxisTicks(&printed, axis, 150, 200));
    EXPECT_EQ(printed.firstTick, -7);
    EXPECT_EQ(printed.markPhase, 3);
    EXPECT_EQ(printed.numberPhase, 18);
}

TEST_F(AxisDrawing, RefusesAnAxisWithoutUsableTicks) {
    for (double spacing : { 0.0, -4.0, 1e-300 }) {
        SCOPED_TRACE(spacing);
        SketchObject* axis = Axis(true, { 100, 60 }, 40);
        ClassData<AxisData>(axis)->tickSpacing = spacing;
        AxisTickLayout ticks{};
        EXPECT_FALSE(ComputeAxisTicks(&ticks, axis, 0, 200));
        canvas_.Fill(kWhite);
        DrawAxisObject(&port_, axis);
        // The line is still there.
        EXPECT_EQ(canvas_.At(150, 60), kAxisColor);
    }
}

TEST_F(AxisDrawing, HorizontalAxisMarksEveryUnitAndNumbersButNotTheOrigin) {
    // A unit of 20 pixels: a minor tick every 4, a mark every 20 (one unit), a number
    // every 100 pixels (5 units).
    SketchObject* axis = Axis(true, { 50, 80 }, 20);
    DrawAxisObject(&port_, axis);
    EXPECT_EQ(canvas_.At(5, 80), kAxisColor);
    EXPECT_EQ(canvas_.At(195, 80), kAxisColor);
    for (int x : { 10, 30, 50, 70, 90, 110, 190 }) {
        SCOPED_TRACE(x);
        EXPECT_EQ(canvas_.At(x, 76), kAxisColor);
        EXPECT_EQ(canvas_.At(x, 84), kAxisColor);
        EXPECT_EQ(canvas_.At(x, 75), kWhite);
        EXPECT_EQ(canvas_.At(x, 85), kWhite);
        EXPECT_EQ(canvas_.At(x + 4, 77), kWhite);  // a minor tick has no mark
    }
    // "5" under x = 150, starting 2 pixels below the mark; nothing under the origin.
    const int top = 85 + 2;
    EXPECT_GT(Ink(140, top, 160, top + 16), 0);
    EXPECT_EQ(Ink(35, top, 65, top + 16), 0);
    EXPECT_EQ(Ink(0, 86, 200, top), 0);
}

TEST_F(AxisDrawing, VerticalNumbersEndLeftOfTheMarksAndPolarOnesLoseTheirSign) {
    // A unit of 20 pixels: numbers every 10 minor ticks of 4 pixels, 2 units apart.
    SketchObject* axis = Axis(false, { 100, 100 }, 20);
    DrawAxisObject(&port_, axis);
    const std::string above = InkColumns(40, 95, 52, 68), below = InkColumns(40, 95, 132, 148);
    // Right-aligned to end 2 pixels left of the marks' start (x = 96); both end alike.
    ASSERT_NE(above.find('#'), std::string::npos);
    const int lastInk = 40 + int(above.rfind('#'));
    EXPECT_LE(lastInk, 93);
    EXPECT_GE(lastInk, 86);
    EXPECT_EQ(below.rfind('#'), above.rfind('#'));
    // "-2" below the origin is wider than "2" above it.
    EXPECT_LT(below.find('#'), above.find('#'));

    canvas_.Fill(kWhite);
    SketchObject* polar = Axis(false, { 100, 100 }, 20);
    GiveSystem(polar, kGridPolar);
    DrawAxisObject(&port_, polar);
    EXPECT_EQ(InkColumns(40, 95, 132, 148), above);
}

TEST_F(AxisDrawing, HighlightedAxisHasASelectionLineAndPlainTicks) {
    SketchObject* axis = Axis(true, { 50, 80 }, 20);
    axis->markFlags = 0x01;
    DrawAxisObject(&port_, axis);
    // Two pixels wider than a normal line, in the selection colour.
    int wide = 0;
    for (int y = 74; y < 87; ++y) wide += canvas_.At(60, y) == kSelection;
    EXPECT_EQ(wide, 2);
    EXPECT_EQ(canvas_.At(70, 76), kAxisColor);
}

}  // namespace
