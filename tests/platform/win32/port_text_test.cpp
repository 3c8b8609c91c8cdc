#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/points.h"
#include "engine/core/services/text_port.h"
#include "engine/text/layout.h"
#include "platform/win32/fonts.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/port_text.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

class PortText : public RenderTest {
protected:
    PortText() {
        static const bool fonts = BuildFontList();
        EXPECT_TRUE(fonts);
        for (int16_t& f : state_.style.field) f = 1;
        state_.style.field[kStyleFont] = 0;
        state_.style.field[kStyleSize] = 16;
        state_.style.field[kStyleScriptLevel] = 0;
        state_.style.field[kStyleRed] = 1;  // black
        state_.style.field[kStyleGreen] = 1;
        state_.style.field[kStyleBlue] = 1;
        state_.port = &port_;
    }
    ~PortText() override {
        while (PortTextDepth() > 0) PortLeaveTextState(canvas_.dc());
        SetViewPort(nullptr);
    }
    static void SetViewPort(GraphicsPort* port) {
        static GraphicsPort* view;
        view = port;
        SketchPortLookupFn lookup = [](Sketch*) { return view; };
        SetSketchPortLookup(port ? lookup : nullptr);
    }
    LayoutDrawState state_{};
};

TEST_F(PortText, NestedStatesPutTheOriginalFontBackOnceAtTheOutermostLeave) {
    HDC dc = canvas_.dc();
    const HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
    EXPECT_EQ(PortEnterTextState(dc), 1);
    PortApplyTextStyle(&state_);
    const HGDIOBJ first = GetCurrentObject(dc, OBJ_FONT);
    EXPECT_NE(first, original);
    EXPECT_EQ(PortEnterTextState(dc), 1);
    state_.style.field[kStyleWeight] = 2;
    PortApplyTextStyle(&state_);
    const HGDIOBJ second = GetCurrentObject(dc, OBJ_FONT);
    EXPECT_EQ(GetObjectType(first), 0u);  // the displaced style font is deleted
    EXPECT_EQ(PortEnterTextState(dc), 2);
    PortLeaveTextState(dc);
    PortLeaveTextState(dc);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), second);
    PortLeaveTextState(dc);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), original);
    EXPECT_EQ(GetObjectType(second), 0u);
    PortLeaveTextState(dc);  // one leave too many changes nothing
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), original);
}

TEST_F(PortText, StyleColourDimsWhileADimmedObjectIsDrawn) {
    SetBackground(RGB(200, 100, 0));
    state_.style.field[kStyleRed] = 1;
    state_.style.field[kStyleGreen] = 201;
    state_.style.field[kStyleBlue] = 101;
    EXPECT_EQ(PortStyleColor(&state_.style), RGB(0, 200, 100));
    PointData* d;
    SketchObject* o = MakeObject(kClassPoint, kKindPoint, 0, &d);
    SetDimmedObject(o);
    SetDimLevel(10);
    EXPECT_EQ(PortStyleColor(&state_.style), RGB(100, 150, 50));
    SetDimLevel(0);
    SetDimmedObject(nullptr);
}

TEST_F(PortText, FittingUsesAFixedBufferBelow256AndHeapAbove) {
    HDC dc = canvas_.dc();
    PortEnterTextState(dc);
    PortApplyTextStyle(&state_);
    int32_t w = 0, h = 0;
    PortTextWidth(&state_, "W", 1, &w, &h);
    ASSERT_GT(w, 1);
    for (int n : { 255, 300 }) {
        SCOPED_TRACE(n);
        const std::string text(static_cast<size_t>(n), 'W');
        int32_t count = -1, side = -1;
        const uint64_t before = AllocRequestCount();
        // Ten and a bit characters: under half of the eleventh stays out.
        PortFitTextToWidth(text.data(), n, &state_, 10 * w + w / 2 - 1, &count, &side);
        EXPECT_EQ(AllocRequestCount() - before, n >= 256 ? 1u : 0u);
        EXPECT_EQ(count, 10);
        EXPECT_EQ(side, 1);
        PortFitTextToWidth(text.data(), n, &state_, 10 * w + w / 2 + 1, &count, &side);
        EXPECT_EQ(count, 11);
        EXPECT_EQ(side, 0);
        // Everything fits: the whole count, nothing measured past the text.
        PortFitTextToWidth(text.data(), n, &state_, 100000, &count, &side);
        EXPECT_EQ(count, n);
        EXPECT_EQ(side, 1);
    }
    // Without heap memory the long text answers the start rather than leaving garbage.
    const std::string text(300, 'W');
    int32_t count = -1, side = -1;
    SetAllocFailureAfter(1, true);
    PortFitTextToWidth(text.data(), 300, &state_, 5 * w, &count, &side);
    SetAllocFailureAfter(0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(side, 1);
    PortLeaveTextState(dc);
}

TEST_F(PortText, GlyphWidthsByCode) {
    PortEnterTextState(canvas_.dc());
    PortApplyTextStyle(&state_);
    int32_t question = 0, h = 0;
    PortTextWidth(&state_, "?", 1, &question, &h);
    EXPECT_EQ(PortGlyphWidth(&state_, 256, 20), 20);
    EXPECT_EQ(PortGlyphWidth(&state_, 257, 20), 17);
    EXPECT_EQ(PortGlyphWidth(&state_, 258, 20), 20);
    EXPECT_EQ(PortGlyphWidth(&state_, 255, 20), question);
    EXPECT_EQ(PortGlyphWidth(&state_, 300, 20), question);
    EXPECT_GT(PortGlyphWidth(&state_, 'p', 20), 0);  // a Symbol-font character
    PortLeaveTextState(canvas_.dc());
}

TEST_F(PortText, GlyphShapesFollowTheirIntegerFormulas) {
    // Pixel size 16: pen width p = 2; glyph size s = 20 at pen (50, 100).
    state_.x = 50;
    state_.y = 100;
    struct Case { int32_t code; POINT ink[3]; POINT blank[2]; };
    const Case cases[] = {
        // 256: ring (52, 85)-(67, 100), dot (58, 91)-(61, 94).
        { 256, { { 52, 92 }, { 59, 92 }, { 59, 85 } }, { { 55, 96 }, { 70, 92 } } },
        // 257: bars at x 56 and 61 from y 99 up to 85.
        { 257, { { 56, 92 }, { 61, 92 }, { 56, 86 } }, { { 58, 92 }, { 64, 92 } } },
        // 258: base (54, 99)-(66, 99), apex (60, 85).
        { 258, { { 60, 99 }, { 60, 86 }, { 55, 98 } }, { { 60, 94 }, { 70, 99 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        canvas_.Fill(kWhite);
        PortDrawGlyph(&state_, c.code, 20);
        for (const POINT& p : c.ink) EXPECT_EQ(canvas_.At(p.x, p.y), kBlack) << p.x << "," << p.y;
        for (const POINT& p : c.blank) EXPECT_EQ(canvas_.At(p.x, p.y), kWhite) << p.x << "," << p.y;
    }
    EXPECT_EQ(GlyphPenWidth(&state_.style), 2);
}

TEST_F(PortText, SymbolPairIsMeasuredAndDrawnInTheSymbolFont) {
    int32_t w1 = 0, w2 = 0, ascent = 0, descent = 0;
    PortMeasureSymbolPair(&state_, '(', ')', 40, &w1, &w2, &ascent, &descent);
    EXPECT_GT(w1, 0);
    EXPECT_GT(w2, 0);
    EXPECT_GT(ascent, 20);
    EXPECT_GT(descent, 0);
    state_.x = 20;
    state_.y = 100;
    PortDrawSymbolPair(&state_, '(', ')', 40, 60);
    const RECT e = canvas_.Extent(kWhite);
    EXPECT_GE(e.left, 20);
    EXPECT_GT(e.right, 80);  // the second moved right by the offset
    EXPECT_LT(e.top, 100);
    // Measuring leaves the DC's font alone.
    const HGDIOBJ font = GetCurrentObject(canvas_.dc(), OBJ_FONT);
    PortMeasureSymbolPair(&state_, '[', ']', 30, &w1, &w2, &ascent, &descent);
    EXPECT_EQ(GetCurrentObject(canvas_.dc(), OBJ_FONT), font);
}

TEST_F(PortText, CaretLineGoesToTheCaretDCOrToTheStateOnlyWhenItIsTheViewsWindow) {
    DibCanvas caret(50, 50);
    caret.Fill(kWhite);
    const ScreenPoint top{ 10, 5 }, bottom{ 10, 30 };
    PortDrawCaretLine(&state_, top, bottom, 0);  // no caret DC: nothing
    PortDrawCaretLine(&state_, top, bottom, 1);
    EXPECT_EQ(canvas_.Count(kWhite), 200 * 200);
    PortSetCaretDC(nullptr, caret.dc());
    PortDrawCaretLine(&state_, top, bottom, 1);  // the caret DC is not this port's window
    EXPECT_EQ(canvas_.Count(kWhite), 200 * 200);
    PortDrawCaretLine(&state_, top, bottom, 0);
    EXPECT_EQ(caret.At(10, 20), kBlack);
    port_.windowDC = caret.dc();
    PortDrawCaretLine(&state_, top, bottom, 1);
    EXPECT_EQ(canvas_.At(10, 20), kBlack);
    EXPECT_EQ(GetROP2(canvas_.dc()), R2_COPYPEN);
    PortEndCaptionEdit(nullptr);
    EXPECT_EQ(PortCaretDC(), nullptr);
}

TEST_F(PortText, CaptionEditingNeedsAView) {
    GraphicsPort* port = &port_;
    EXPECT_EQ(PortBeginCaptionEdit(&port), 101);
    EXPECT_EQ(port, nullptr);
    port_.windowDC = canvas_.dc();
    SetViewPort(&port_);
    EXPECT_EQ(PortBeginCaptionEdit(&port), 0);
    EXPECT_EQ(port, &port_);
    EXPECT_EQ(PortCaretDC(), canvas_.dc());
    PortEndCaptionEdit(nullptr);
}

TEST_F(PortText, DrawStateForADCTakesItsFaceAndHeight) {
    HDC dc = canvas_.dc();
    HFONT font = CreateFontA(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    for (bool emphasised : { false, true }) {
        LayoutDrawState state;
        GraphicsPort port;
        MakeDrawStateForDC(&state, &port, dc, emphasised);
        EXPECT_EQ(state.port, &port);
        EXPECT_EQ(port.dc, dc);
        EXPECT_EQ(state.style.field[kStyleFont], FindFontIndex("Arial"));
        EXPECT_EQ(state.style.field[kStyleSize], tm.tmHeight - tm.tmInternalLeading + (emphasised ? 2 : 0));
        EXPECT_EQ(state.style.field[kStyleWeight], emphasised ? 2 : 1);
        EXPECT_EQ(state.style.field[kStyleScriptLevel], 0);
        EXPECT_EQ(state.style.field[kStyleSlant], 1);
    }
    SelectObject(dc, old);
    DeleteObject(font);
}

TEST(PortTextRules, RunEndsSelectionFillAndMeasuringDC) {
    TextStyle slanted{};
    slanted.field[kStyleSlant] = 2;
    ScreenPoint top{ 40, 0 }, bottom{ 40, 25 };
    PortAdjustRunEnds(&top, &bottom, &slanted);
    EXPECT_EQ(bottom.x, 38);
    EXPECT_EQ(top.x, 43);
    TextStyle upright{};
    top = { 40, 0 };
    bottom = { 40, 25 };
    PortAdjustRunEnds(&top, &bottom, &upright);
    EXPECT_EQ(top.x, 39);
    EXPECT_EQ(bottom.x, 39);

    COLORREF fill;
    SelectionFillColor(&fill);
    const COLORREF w = GetSysColor(COLOR_WINDOW);
    auto less = [](int c) { return c <= 25 ? 1 : c - 25; };
    EXPECT_EQ(fill, RGB(less(GetRValue(w)), less(GetGValue(w)), less(GetBValue(w))));

    HDC given = reinterpret_cast<HDC>(0x1234);
    EXPECT_EQ(PortAcquireMeasureDC(nullptr, &given), &given);
    HDC* desktop = PortAcquireMeasureDC(nullptr, nullptr);
    ASSERT_NE(desktop, nullptr);
    EXPECT_NE(*desktop, nullptr);
    PortReleaseMeasureDC();
    EXPECT_EQ(*desktop, nullptr);
}

}  // namespace
