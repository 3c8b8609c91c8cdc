#include <windows.h>

#include <gtest/gtest.h>

#include "engine/core/idle_tasks.h"
#include "engine/core/object_tables.h"
#include "engine/core/points.h"
#include "engine/core/random.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/object_drawing.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/traces.h"
#include "platform/win32/test_hooks.h"
#include "tests/platform/win32/render_fixture.h"
#include "tests/support/views_double.h"

namespace {

// A hidden view window with its own DC, and a port on it.
class CanvasTest : public RenderTest {
protected:
    CanvasTest() {
        static bool registered = [] {
            WNDCLASSA c{};
            c.style = CS_OWNDC;
            c.lpfnWndProc = DefWindowProcA;
            c.hInstance = GetModuleHandleA(nullptr);
            c.lpszClassName = "CanvasTestView";
            return RegisterClassA(&c) != 0;
        }();
        EXPECT_TRUE(registered);
        view_ = MakeView(&port_, 160, 120);
        views_[0] = &port_;
        views_[1] = nullptr;
        SetCanvasReclaimHandler(ReclaimViews);
    }
    ~CanvasTest() override {
        for (GraphicsPort* p : { &port_, &other_ }) ReleaseOffscreenCanvas(p, nullptr, nullptr);
        SetCanvasReclaimHandler(nullptr);
        SetRedrawFlushCallback(nullptr);
        if (otherView_) DestroyWindow(otherView_);
        DestroyWindow(view_);
        SetCanvasAllocator(nullptr);
        if (LowMemoryWarningTask()->queued) RemoveIdleTask(LowMemoryWarningTask());
    }
    static HWND MakeView(GraphicsPort* port, int width, int height) {
        HWND hwnd = CreateWindowA("CanvasTestView", "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        *port = {};
        port->hwnd = hwnd;
        port->windowDC = port->dc = GetDC(hwnd);
        port->tracesDirty = kTracesClean;
        port->ropMode = R2_MASKPEN;
        port->contrastColor = kBlack;
        port->selectionColor = kSelection;
        return hwnd;
    }
    void MakeOtherView() {
        otherView_ = MakeView(&other_, 100, 100);
        views_[1] = &other_;
        RebuildOffscreenCanvas(&other_);
    }
    // What the documents do for a reclaim pass, over this test's views.
    static bool ReclaimViews(int32_t pass, HDC failingDC) {
        bool freed = false;
        for (GraphicsPort* view : views_)
            if (view && (pass == 1 || view->windowDC != failingDC))
                freed = FreeOffscreenBuffers(view, pass == 1) || freed;
        return freed;
    }
    static inline GraphicsPort* views_[2] = {};
    static COLORREF Pixel(HDC dc, int x, int y) { return GetPixel(dc, x, y) & 0xFFFFFF; }

    HWND view_;
    HWND otherView_ = nullptr;
    GraphicsPort other_{};
};

TEST_F(CanvasTest, RebuildMakesBothBuffersAndStartsAPaint) {
    SetBackground(RGB(10, 20, 30));
    RebuildOffscreenCanvas(&port_);
    ASSERT_NE(port_.backDC, nullptr);
    ASSERT_NE(port_.tracesDC, nullptr);
    EXPECT_EQ(port_.dc, port_.backDC);
    EXPECT_EQ(port_.bufferRect.right, 160);
    EXPECT_EQ(port_.bufferRect.bottom, 120);
    EXPECT_EQ(Pixel(port_.backDC, 159, 119), RGB(10, 20, 30));
    EXPECT_EQ(Pixel(port_.tracesDC, 5, 5), kBlack);  // a dark sketch's traces background
    EXPECT_EQ(port_.ropMode, R2_MERGEPEN);
    EXPECT_FALSE(LowMemoryWarningTask()->queued);
}

struct FailingAllocator {
    static inline int dcFailures = 0;      // -1: always
    static inline int bitmapFailures = 0;
    static inline GraphicsPort* whileBuffered = nullptr;  // fail while this port holds a bitmap
    static HDC CreateDC(HDC dc) {
        if (dcFailures != 0) {
            if (dcFailures > 0) --dcFailures;
            return nullptr;
        }
        return CreateCompatibleDC(dc);
    }
    static HBITMAP CreateBitmap(HDC dc, int32_t w, int32_t h) {
        if (whileBuffered && (whileBuffered->tracesBitmapSlot || whileBuffered->backBitmapSlot)) return nullptr;
        if (bitmapFailures != 0) {
            if (bitmapFailures > 0) --bitmapFailures;
            return nullptr;
        }
        return CreateCompatibleBitmap(dc, w, h);
    }
    static void Use(int dcs, int bitmaps, GraphicsPort* holder = nullptr) {
        dcFailures = dcs;
        bitmapFailures = bitmaps;
        whileBuffered = holder;
        const CanvasAllocator a{ CreateDC, CreateBitmap };
        SetCanvasAllocator(&a);
    }
};

TEST_F(CanvasTest, FailuresFallBackToWhatCouldBeMade) {
    struct Case { const char* name; int dcs, bitmaps; bool back, traces; };
    const Case cases[] = {
        { "no memory DC", -1, 0, false, false },
        { "no back bitmap", 0, -1, false, false },
        { "no traces DC", 1 - 1, 0, true, true },  // baseline
        { "no traces bitmap", 0, 0, true, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseOffscreenCanvas(&port_, nullptr, nullptr);
        if (LowMemoryWarningTask()->queued) RemoveIdleTask(LowMemoryWarningTask());
        FreezeTickCountForTest(1000000u + 100000u * static_cast<uint32_t>(&c - cases));
        FailingAllocator::Use(c.dcs, c.bitmaps);
        if (std::string(c.name) == "no traces bitmap") {
            // The back bitmap is made, the traces bitmap is not.
            FailingAllocator::bitmapFailures = 0;
            RebuildOffscreenCanvas(&port_);
            ReleaseOffscreenCanvas(&port_, nullptr, nullptr);
            FailingAllocator::Use(0, 0);
            const CanvasAllocator a{ FailingAllocator::CreateDC, [](HDC dc, int32_t w, int32_t h) -> HBITMAP {
                static int made = 0;
                return made++ % 2 == 0 ? CreateCompatibleBitmap(dc, w, h) : nullptr;
            } };
            SetCanvasAllocator(&a);
        }
        RebuildOffscreenCanvas(&port_);
        EXPECT_EQ(port_.backDC != nullptr, c.back);
        EXPECT_EQ(port_.tracesDC != nullptr, c.traces);
        EXPECT_EQ(port_.dc, c.back ? port_.backDC : port_.windowDC);
        EXPECT_EQ(LowMemoryWarningTask()->queued != 0, !(c.back && c.traces));
    }
    ReleaseTickCountForTest();
}

TEST_F(CanvasTest, AllocationRetriesThroughBothReclaimPasses) {
    MakeOtherView();
    ASSERT_NE(other_.tracesDC, nullptr);
    // Fails while the other view holds any bitmap: the first pass takes its traces layer,
    // the second its back buffer, and then the bitmap is made.
    FailingAllocator::Use(0, 0, &other_);
    RebuildOffscreenCanvas(&port_);
    EXPECT_NE(port_.backDC, nullptr);
    EXPECT_EQ(other_.tracesDC, nullptr);
    EXPECT_EQ(other_.backDC, nullptr);
    EXPECT_EQ(other_.dc, other_.windowDC);
    EXPECT_FALSE(LowMemoryWarningTask()->queued);

    // One pass is enough when the traces layer was what stood in the way.
    ReleaseOffscreenCanvas(&port_, nullptr, nullptr);
    FailingAllocator::Use(0, 0);
    RebuildOffscreenCanvas(&other_);
    struct TracesOnly {
        static HBITMAP Make(HDC dc, int32_t w, int32_t h) {
            return FailingAllocator::whileBuffered->tracesBitmapSlot ? nullptr : CreateCompatibleBitmap(dc, w, h);
        }
    };
    FailingAllocator::whileBuffered = &other_;
    const CanvasAllocator a{ FailingAllocator::CreateDC, TracesOnly::Make };
    SetCanvasAllocator(&a);
    RebuildOffscreenCanvas(&port_);
    EXPECT_NE(port_.backDC, nullptr);
    EXPECT_EQ(other_.tracesDC, nullptr);
    EXPECT_NE(other_.backDC, nullptr);
    // After the first pass only the traces layer is missing: it is made at the back
    // buffer's size.
    SetCanvasAllocator(nullptr);
    RebuildOffscreenCanvas(&other_);
    ASSERT_NE(other_.tracesDC, nullptr);
    BITMAP b{};
    GetObject(GetCurrentObject(other_.tracesDC, OBJ_BITMAP), sizeof b, &b);
    EXPECT_EQ(b.bmWidth, 100);
    EXPECT_EQ(b.bmHeight, 100);
}

TEST_F(CanvasTest, LowMemoryWarningAtMostOnceAMinute) {
    FreezeTickCountForTest(5000000);
    WarnLowMemory();
    EXPECT_TRUE(LowMemoryWarningTask()->queued);
    WarnLowMemory();  // already queued: stays one task
    RemoveIdleTask(LowMemoryWarningTask());
    AdvanceTickCountForTest(59000);
    WarnLowMemory();
    EXPECT_FALSE(LowMemoryWarningTask()->queued);
    AdvanceTickCountForTest(1001);
    WarnLowMemory();
    EXPECT_TRUE(LowMemoryWarningTask()->queued);
    ReleaseTickCountForTest();
}

TEST_F(CanvasTest, PaintStartChoosesTheInteriorMixModeAndLaysInTraces) {
    struct Case { COLORREF background; int rop; };
    const Case cases[] = { { RGB(48, 48, 48), R2_MERGEPEN }, { RGB(48, 48, 49), R2_MASKPEN },
                           { kWhite, R2_MASKPEN }, { kBlack, R2_MERGEPEN } };
    RebuildOffscreenCanvas(&port_);
    for (const Case& c : cases) {
        SetBackground(c.background);
        BeginCanvasPaint(&port_, nullptr);
        EXPECT_EQ(port_.ropMode, c.rop) << c.background;
        EXPECT_EQ(Pixel(port_.backDC, 80, 60), c.background);
    }
    // A light sketch with traces: the marks are ANDed in while the fade runs.
    SetBackground(kWhite);
    ClearTracesLayer(&port_);
    PatBlt(port_.tracesDC, 10, 10, 5, 5, BLACKNESS);
    sketch_->tracedArea = { 10, 10, 15, 15 };
    port_.fadeCounter = 1;
    BeginCanvasPaint(&port_, nullptr);
    EXPECT_EQ(Pixel(port_.backDC, 12, 12), kBlack);
    port_.fadeCounter = 0;
    BeginCanvasPaint(&port_, nullptr);
    EXPECT_EQ(Pixel(port_.backDC, 12, 12), kWhite);
    // Without a back buffer the window itself is filled.
    ReleaseOffscreenCanvas(&port_, nullptr, nullptr);
    BeginCanvasPaint(&port_, nullptr);
    EXPECT_EQ(port_.dc, port_.windowDC);
}

TEST_F(CanvasTest, ResizeWhileFadingKeepsTheMarks) {
    RebuildOffscreenCanvas(&port_);
    PointData* d;
    SketchObject* point = MakeObject(kClassPoint, kKindPoint, RGB(0, 0, 0), &d);
    d->position = { 150, 20 };
    point->bounds = { 148, 18, 153, 23 };
    point->markFlags = kMarkHighlighted;
    DrawObjectTrace(&port_, point);
    EXPECT_EQ(point->markFlags, kMarkHighlighted);
    EXPECT_EQ(port_.fadeCounter, 32);
    // Drawn with the flags exactly 0x80: no highlight ring (radius 4), no outline.
    const COLORREF mark = Pixel(port_.tracesDC, 150, 20);
    EXPECT_EQ(mark, kBlack);
    EXPECT_EQ(Pixel(port_.tracesDC, 146, 20), kWhite);
    port_.fadeCounter = 20;
    const ScreenRect dirty = port_.tracesDirty;

    SetWindowPos(view_, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    RebuildOffscreenCanvas(&port_);
    EXPECT_EQ(port_.bufferRect.right, 200);
    EXPECT_EQ(Pixel(port_.tracesDC, 150, 20), mark);
    EXPECT_EQ(Pixel(port_.tracesDC, 190, 20), kWhite);
    EXPECT_EQ(port_.fadeCounter, 32);
    EXPECT_EQ(port_.tracesDirty.left, dirty.left);
    EXPECT_EQ(port_.tracesDirty.bottom, dirty.bottom);
    EXPECT_EQ(port_.dc, port_.backDC);

    // Shrunk below the mark: the copy is clipped, nothing is kept past the new size.
    SetWindowPos(view_, nullptr, 0, 0, 100, 50, SWP_NOMOVE | SWP_NOZORDER);
    RebuildOffscreenCanvas(&port_);
    EXPECT_EQ(port_.bufferRect.right, 100);
    EXPECT_EQ(port_.fadeCounter, 32);

    // Not fading: the traces go with the old buffers.
    port_.fadeCounter = 0;
    PatBlt(port_.tracesDC, 0, 0, 10, 10, BLACKNESS);
    SetWindowPos(view_, nullptr, 0, 0, 120, 60, SWP_NOMOVE | SWP_NOZORDER);
    RebuildOffscreenCanvas(&port_);
    EXPECT_EQ(Pixel(port_.tracesDC, 5, 5), kWhite);
    EXPECT_EQ(port_.fadeCounter, 0);
}

TEST_F(CanvasTest, ScrollStripsFlushOnceOrTwice) {
    static int flushes;
    flushes = 0;
    SetRedrawFlushCallback([](int32_t) { ++flushes; });
    EXPECT_EQ(FillScrolledStrips(sketch_, &port_, 5, 0), 0);  // no back buffer yet
    RebuildOffscreenCanvas(&port_);
    SetBackground(RGB(1, 2, 3));
    struct Case { int dx, dy, flushes; };
    const Case cases[] = { { 5, 0, 1 }, { 0, -5, 1 }, { 5, 5, 2 }, { -5, 5, 2 }, { 100, 5, 1 }, { 5, -70, 1 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dx * 1000 + c.dy);
        flushes = 0;
        sketch_->dirtyRect = kEmptyScreenRect;
        EXPECT_EQ(FillScrolledStrips(sketch_, &port_, c.dx, c.dy), 1);
        EXPECT_EQ(flushes, c.flushes);
        // Both strips are dirty: the separate flushes repaint each, the single one both.
        ScreenRect expected = kEmptyScreenRect;
        if (c.dx) ScreenRectUnion({ static_cast<int16_t>(c.dx < 0 ? 160 + c.dx : 0), 0,
                                    static_cast<int16_t>(c.dx < 0 ? 160 : c.dx), 120 }, &expected);
        if (c.dy) ScreenRectUnion({ 0, static_cast<int16_t>(c.dy < 0 ? 120 + c.dy : 0), 160,
                                    static_cast<int16_t>(c.dy < 0 ? 120 : c.dy) }, &expected);
        EXPECT_EQ(sketch_->dirtyRect.left, expected.left);
        EXPECT_EQ(sketch_->dirtyRect.bottom, expected.bottom);
    }
    EXPECT_EQ(FillScrolledStrips(sketch_, &port_, 0, 0), 0);
    // The exposed strip is filled with the background in the back buffer.
    PatBlt(port_.backDC, 0, 0, 160, 120, WHITENESS);
    FillScrolledStrips(sketch_, &port_, -10, 0);
    EXPECT_EQ(Pixel(port_.backDC, 155, 60), RGB(1, 2, 3));
    EXPECT_EQ(Pixel(port_.backDC, 145, 60), kWhite);
}

// The traces layer on its own: a DIB as the traces DC.
class TracesLayer : public RenderTest {};

TEST_F(TracesLayer, ThirtyTwoFadeStepsReturnEveryPixel) {
    for (COLORREF background : { kWhite, RGB(40, 40, 40) }) {
        SetBackground(background);
        const bool dark = background != kWhite;
        const COLORREF blank = dark ? kBlack : kWhite, ink = dark ? kWhite : kBlack;
        canvas_.Fill(blank);
        PatBlt(canvas_.dc(), 20, 30, 100, 50, dark ? WHITENESS : BLACKNESS);
        port_.tracesDC = canvas_.dc();
        port_.tracesDirty = { 21, 31, 120, 80 };  // faded from one pixel left of and above it
        port_.fadeCounter = 32;
        port_.nextPattern = 7;
        for (int step = 1; step <= 32; ++step) {
            EXPECT_TRUE(FadeTracesStep(&port_));
            if (step == 31) {
                EXPECT_GT(canvas_.Count(ink), 0);
            }
        }
        EXPECT_EQ(canvas_.Count(blank), 200 * 200) << background;
        EXPECT_EQ(port_.fadeCounter, 0);
        EXPECT_TRUE(port_.tracesDirty.left >= port_.tracesDirty.right);
        EXPECT_EQ(port_.nextPattern, 7);
        port_.tracesDC = nullptr;
    }
}

TEST(DissolvePatterns, EachPositionClearsInExactlyOnePatternAndTheyAreBuiltOnce) {
    const uint8_t* p = DissolvePatterns();
    std::vector<uint8_t> first(p, p + 256);
    int zerosAt[64] = {};
    for (int k = 0; k < kDissolvePatternCount; ++k) {
        int zeros = 0;
        for (int r = 0; r < 8; ++r)
            for (int b = 0; b < 8; ++b)
                if (!(p[(k / 2) * 16 + r * 2 + k % 2] >> b & 1)) {
                    ++zeros;
                    ++zerosAt[r * 8 + b];
                }
        EXPECT_EQ(zeros, 2) << k;
    }
    for (int j = 0; j < 64; ++j) EXPECT_EQ(zerosAt[j], 1) << j;
    SetRandomSeed(12345);
    BuildDissolvePatterns();
    EXPECT_EQ(std::vector<uint8_t>(DissolvePatterns(), DissolvePatterns() + 256), first);
}

TEST_F(TracesLayer, ClearingPaintsTheTracesBackgroundAndStopsTheFade) {
    port_.tracesDC = canvas_.dc();
    port_.fadeCounter = 12;
    port_.tracesDirty = { 1, 1, 5, 5 };
    SetBackground(RGB(48, 48, 48));  // sum 144: dark for the traces
    canvas_.Fill(kWhite);
    ClearTracesLayer(&port_);
    EXPECT_EQ(port_.fadeCounter, 0);
    EXPECT_TRUE(port_.tracesDirty.left >= port_.tracesDirty.right);
    port_.tracesDC = nullptr;
}

TEST_F(TracesLayer, MarqueeIsADashedFrameInTheContrastColour) {
    DrawSelectionMarquee(&port_, { 20, 20, 120, 80 });
    EXPECT_EQ(canvas_.At(60, 50), kWhite);
    int ink = 0;
    for (int x = 20; x < 120; ++x) ink += canvas_.At(x, 20) == kBlack;
    EXPECT_GT(ink, 30);
    EXPECT_LT(ink, 100);
    EXPECT_TRUE(CanDragMarquee());
}

}  // namespace

namespace {

TEST_F(TracesLayer, PrintedBackgroundStretchesTheTracesBackToViewPixels) {
    DibCanvas traces(100, 100);
    traces.Fill(kWhite);
    PatBlt(traces.dc(), 10, 10, 5, 5, BLACKNESS);  // a mark at view pixels (10..15, 10..15)
    port_.tracesDC = traces.dc();
    port_.backDC = canvas_.dc();
    port_.paintRect = { 0, 0, 100, 100 };
    sketch_->tracedArea = { 10, 10, 15, 15 };
    const OutputScale scale{ 1, 2.0, 0, 0 };
    canvas_.Fill(RGB(9, 9, 9));
    PaintBackgroundScaled(&port_, sketch_, &scale);  // white: no fill of its own
    EXPECT_EQ(canvas_.At(60, 60), RGB(9, 9, 9));
    EXPECT_EQ(canvas_.At(24, 24), kBlack);  // the mark, twice as large
    EXPECT_EQ(canvas_.At(35, 35), RGB(9, 9, 9));
    EXPECT_EQ(port_.ropMode, R2_MASKPEN);
    // Dark: filled with the background, the traces (white marks on black) ORed in.
    sketch_->settings.palette[kColorSlotBackground] = RGB(40, 40, 60);
    traces.Fill(kBlack);
    PatBlt(traces.dc(), 10, 10, 5, 5, WHITENESS);
    canvas_.Fill(RGB(9, 9, 9));
    PaintBackgroundScaled(&port_, sketch_, &scale);
    EXPECT_EQ(canvas_.At(60, 60), RGB(40, 40, 60));
    EXPECT_EQ(canvas_.At(24, 24), kWhite);
    EXPECT_EQ(canvas_.At(150, 150), RGB(9, 9, 9));  // outside the output rectangle
    EXPECT_EQ(port_.ropMode, R2_MERGEPEN);
    port_.tracesDC = port_.backDC = nullptr;
}

}  // namespace
