// The printed page's background on a DIB: the output rectangle at the print scale, the
// fill and the mix mode by the background's brightness, and the window's traces laid
// in where the window's part of the sketch falls on the page.
#include "engine/core/print_state.h"
#include "engine/core/services/printing.h"
#include "platform/win32/print_page.h"
#include "platform/win32/ui_fonts.h"
#include "render_fixture.h"

namespace {

class PrintBackground : public RenderTest {
protected:
    PrintBackground() {
        ResetPrintState();
        PrintState().printing = 1;
    }
    ~PrintBackground() override {
        ResetPrintState();
        EndPrintMeasureDC();
        if (window_) DestroyWindow(window_);
    }
    // A window of the given client size whose traces layer is `traces` scrolled by (sx, sy).
    void AttachTraces(DibCanvas* traces, int width, int height, int sx, int sy) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PrintBackgroundView";
        RegisterClassA(&wc);
        RECT r = { 0, 0, width, height };
        AdjustWindowRect(&r, WS_POPUP, FALSE);
        window_ = CreateWindowA("PrintBackgroundView", "", WS_POPUP, 0, 0, r.right - r.left, r.bottom - r.top,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        SetViewportOrgEx(traces->dc(), -sx, -sy, nullptr);
        port_.hwnd = window_;
        port_.tracesDC = traces->dc();
    }
    HWND window_ = nullptr;
};

TEST_F(PrintBackground, FillAndMixModeFollowTheBackground) {
    struct Case { COLORREF background; bool filled; int rop; };
    const Case cases[] = {
        { kWhite,            false, R2_MASKPEN },
        { kBlack,            true,  R2_MERGEPEN },
        { RGB(200, 230, 255), true, R2_MASKPEN },
        { RGB(48, 48, 48),   true,  R2_MERGEPEN },  // 144: dark
        { RGB(49, 48, 48),   true,  R2_MASKPEN },   // 145: light
    };
    PrintState().scale = 0.5;
    const ScreenRect page = { 0, 0, 300, 200 };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.background);
        sketch_->settings.palette[kColorSlotBackground] = c.background;
        canvas_.Fill(RGB(1, 2, 3));
        SelectClipRgn(canvas_.dc(), nullptr);
        PaintPrintBackground(&port_, &page);
        EXPECT_EQ(PrintMeasureDC(), canvas_.dc());
        EXPECT_EQ(port_.paintRect.right, 150);
        EXPECT_EQ(port_.paintRect.bottom, 100);
        EXPECT_EQ(port_.lineBounds.right, 150);
        EXPECT_EQ(canvas_.At(10, 10), c.filled ? c.background : RGB(1, 2, 3));
        EXPECT_EQ(canvas_.At(160, 50), RGB(1, 2, 3));  // outside the page
        EXPECT_EQ(port_.ropMode, c.rop);
        // Drawing afterwards stays inside the page.
        PatBlt(canvas_.dc(), 0, 0, 200, 200, BLACKNESS);
        EXPECT_EQ(canvas_.At(160, 50), RGB(1, 2, 3));
        EndPrintMeasureDC();
        EXPECT_EQ(PrintMeasureDC(), nullptr);
    }
    SelectClipRgn(canvas_.dc(), nullptr);
}

TEST_F(PrintBackground, OutputBeyondThirtyThousandUnitsIsClamped) {
    PrintState().scale = 3.125;
    const ScreenRect page = { -20000, 0, 20000, 100 };
    PaintPrintBackground(&port_, &page);
    EXPECT_EQ(port_.paintRect.right, 30000);
    EXPECT_EQ(port_.paintRect.bottom, 313);  // 312.5 rounds up
    SelectClipRgn(canvas_.dc(), nullptr);
}

TEST_F(PrintBackground, TracesCoverWhatTheWindowShowsAtThePrintScale) {
    // The window shows sketch (50, 40) to (130, 100): scrolled by (50, 40), 80 x 60.
    DibCanvas traces(200, 200);
    traces.Fill(kWhite);
    PatBlt(traces.dc(), 20, 10, 4, 4, BLACKNESS);  // sketch (70, 50) .. (74, 54)
    AttachTraces(&traces, 80, 60, 50, 40);
    sketch_->tracedArea = { 70, 50, 74, 54 };
    // The page begins at sketch (40, 30); twice the size.
    PrintState().scale = 2.0;
    PrintState().pageOffsetX = -40;
    PrintState().pageOffsetY = -30;
    sketch_->settings.palette[kColorSlotBackground] = RGB(200, 230, 255);
    const ScreenRect page = { 40, 30, 140, 130 };
    PaintPrintBackground(&port_, &page);
    // (70 - 40) x 2 = 60 .. 68 across, (50 - 30) x 2 = 40 .. 48 down.
    EXPECT_EQ(canvas_.At(61, 41), kBlack);
    EXPECT_EQ(canvas_.At(67, 47), kBlack);
    EXPECT_EQ(canvas_.At(69, 41), RGB(200, 230, 255));
    EXPECT_EQ(canvas_.At(59, 41), RGB(200, 230, 255));
    EXPECT_EQ(canvas_.At(19, 19), RGB(200, 230, 255));  // the window's white, ANDed away
    SetViewportOrgEx(traces.dc(), 0, 0, nullptr);
    port_.tracesDC = nullptr;
    SelectClipRgn(canvas_.dc(), nullptr);
}

TEST_F(PrintBackground, RunsOfMarksMixLikeTheRasterOperation) {
    // The same traces laid with the raster operation and as runs give the same page.
    for (bool dark : { false, true }) {
        SCOPED_TRACE(dark);
        const COLORREF background = dark ? RGB(20, 40, 90) : RGB(200, 230, 255);
        DibCanvas traces(40, 30), byRop(120, 90), byRuns(120, 90);
        traces.Fill(dark ? kBlack : kWhite);
        for (int i = 0; i < 12; ++i) SetPixel(traces.dc(), 3 + i, 5 + i / 3, RGB(255, 40 * (i % 3), 0));
        PatBlt(traces.dc(), 25, 20, 6, 3, dark ? WHITENESS : BLACKNESS);
        byRop.Fill(background);
        byRuns.Fill(background);
        const RECT to = { 0, 0, 120, 90 }, from = { 0, 0, 40, 30 };
        StretchBlt(byRop.dc(), 0, 0, 120, 90, traces.dc(), 0, 0, 40, 30, dark ? SRCPAINT : SRCAND);
        ASSERT_TRUE(PaintTracesByRuns(byRuns.dc(), to, traces.dc(), from, background, dark));
        // Colours only: the raster operation also carries the layer's unused top byte.
        std::vector<uint32_t> runs = byRuns.Snapshot(), rop = byRop.Snapshot();
        for (uint32_t& p : runs) p &= 0xFFFFFF;
        for (uint32_t& p : rop) p &= 0xFFFFFF;
        EXPECT_EQ(runs, rop);
    }
}

}  // namespace
