// The print layout: scale, margin and page size from the device, fit to page, the grid
// of pages and its centring, where each page lies, and layouts that give no page.
#include "engine/docio/print_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/core/geometry.h"
#include "engine/core/sketch_fixture.h"
#include "support/printing_double.h"
#include "support/scoped_preferences.h"

namespace {

class PrintLayout : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        prefs.SetResolution(96);
        settings = sketch->printSettings;
    }
    void TearDown() override {
        EndPrinting(nullptr);
        SketchTest::TearDown();
    }
    // A device of the screen's resolution without margin: one sketch unit per pixel.
    void PlainDevice(int16_t width, int16_t height) {
        settings.resolution = 96;
        settings.noMargin = 1;
        settings.pageWidth = width;
        settings.pageHeight = height;
    }

    ScopedPreferences prefs;
    PrintSettings settings{};
};

TEST_F(PrintLayout, EachSketchStartsWithTheDefaultSettings) {
    EXPECT_EQ(settings.scalePercent, 100.0);
    EXPECT_EQ(settings.fitToPage, 0u);
    EXPECT_EQ(settings.noMargin, 0u);
    EXPECT_EQ(settings.uiFlag, 1u);
    EXPECT_EQ(settings.clipLargePlots, 1u);
    EXPECT_EQ(settings.resolution, 0);
    EXPECT_TRUE(ScreenRectIsEmpty(sketch->printExtent));
}

TEST_F(PrintLayout, SixHundredDotsGiveScale625AndAMarginOf24Units) {
    settings.resolution = 600;
    settings.pageWidth = 4800;
    settings.pageHeight = 6600;
    sketch->printExtent = { 0, 0, 100, 100 };
    ComputePrintLayout(sketch, &settings);
    EXPECT_DOUBLE_EQ(PrintState().scale, 6.25);
    EXPECT_EQ(settings.marginUnits, 24);  // 150 device pixels
    EXPECT_EQ(settings.pageWidthUnits, 768);
    EXPECT_EQ(settings.pageHeightUnits, 1056);
    ScreenRect r;
    PrintableSketchRect(sketch, &settings, &r);
    EXPECT_EQ(r.left, -24);
    EXPECT_EQ(r.bottom, 124);
    EXPECT_EQ(CountPrintPages(sketch, &settings), 1);
    // Centred: half of what the page exceeds the printable rectangle by.
    EXPECT_EQ(settings.centreOffsetX, (768 - 148) / 2);
    EXPECT_EQ(settings.centreOffsetY, (1056 - 148) / 2);
}

TEST_F(PrintLayout, FitToPageTakesTheSmallerPercent) {
    PlainDevice(500, 1000);
    settings.fitToPage = 1;
    sketch->printExtent = { 0, 0, 1000, 100 };  // twice the page's width, the height fits
    ComputePrintLayout(sketch, &settings);
    EXPECT_DOUBLE_EQ(settings.scalePercent, 50.0);
    EXPECT_DOUBLE_EQ(PrintState().scale, 0.5);
    EXPECT_EQ(CountPrintPages(sketch, &settings), 1);
}

TEST_F(PrintLayout, PageGridAndCentring) {
    struct Case {
        ScreenRect extent;
        double percent;
        int32_t across, down;
        int16_t offsetX, offsetY, pageWidth;
    };
    const Case cases[] = {
        { { 0, 0, 200, 100 }, 100, 1, 1, 0, 50, 200 },    // exactly one page wide
        { { 0, 0, 201, 100 }, 100, 2, 1, 99, 50, 200 },   // one unit more: two pages
        { { 0, 0, 760, 450 }, 100, 4, 3, 20, 75, 200 },
        { { 0, 0, 100, 100 }, 0.5, 1, 1, 14950, 14950, 30000 },  // 40000 units: clamped
    };
    PlainDevice(200, 200);
    for (const Case& c : cases) {
        sketch->printExtent = c.extent;
        settings.scalePercent = c.percent;
        ComputePrintLayout(sketch, &settings);
        int32_t across = 0, down = 0;
        ComputePageGrid(sketch, &settings, &across, &down);
        EXPECT_EQ(across, c.across) << c.extent.right;
        EXPECT_EQ(down, c.down) << c.extent.right;
        EXPECT_EQ(settings.centreOffsetX, c.offsetX) << c.extent.right;
        EXPECT_EQ(settings.centreOffsetY, c.offsetY) << c.extent.right;
        EXPECT_EQ(settings.pageWidthUnits, c.pageWidth) << c.extent.right;
    }
}

TEST_F(PrintLayout, LayoutsWithoutAPageCountNoneAndKeepNumbersFinite) {
    struct Case {
        const char* what;
        int32_t resolution;
        int16_t pageWidth;
        double percent;
        ScreenRect extent;
    };
    const Case cases[] = {
        { "empty extent", 96, 200, 100, kEmptyScreenRect },
        { "device resolution 0", 0, 200, 100, { 0, 0, 100, 100 } },
        { "page of 0 pixels", 96, 0, 100, { 0, 0, 100, 100 } },
        { "percent 0", 96, 200, 0, { 0, 0, 100, 100 } },
        { "percent NaN", 96, 200, std::nan(""), { 0, 0, 100, 100 } },
    };
    for (const Case& c : cases) {
        PlainDevice(c.pageWidth, 200);
        settings.resolution = c.resolution;
        settings.scalePercent = c.percent;
        settings.fitToPage = 0;
        sketch->printExtent = c.extent;
        ComputePrintLayout(sketch, &settings);
        EXPECT_EQ(CountPrintPages(sketch, &settings), 0) << c.what;
        EXPECT_TRUE(std::isfinite(PrintState().scale)) << c.what;
        EXPECT_GE(settings.pageWidthUnits, 0) << c.what;
        const int32_t backgrounds = PrintCalls().backgrounds;
        settings.pageNumber = 1;
        DrawPrintPage(sketch, nullptr, &settings);
        EXPECT_EQ(PrintCalls().backgrounds, backgrounds) << c.what << ": nothing printed";
    }
    // Fit to page with an empty extent keeps the percent it had.
    PlainDevice(200, 200);
    settings.scalePercent = 80;
    settings.fitToPage = 1;
    sketch->printExtent = kEmptyScreenRect;
    ComputePrintLayout(sketch, &settings);
    EXPECT_EQ(settings.scalePercent, 80);
}

TEST_F(PrintLayout, PagesArePlacedInRowsAndEachSetsThePageOffset) {
    PlainDevice(200, 200);
    sketch->printExtent = { 0, 0, 500, 300 };  // 3 across, 2 down; offsets 50, 50
    BeginPrintPage(sketch, 5, &settings);
    ASSERT_EQ(CountPrintPages(sketch, &settings), 6);
    struct Case { uint32_t page; int16_t left, top; };
    for (const Case& c : { Case{ 1, -50, -50 }, Case{ 3, 350, -50 }, Case{ 5, 150, 150 } }) {
        settings.pageNumber = c.page;
        DrawPrintPage(sketch, nullptr, &settings);
        EXPECT_EQ(PrintCalls().lastPage.left, c.left) << c.page;
        EXPECT_EQ(PrintCalls().lastPage.top, c.top) << c.page;
        EXPECT_EQ(PrintCalls().lastPage.right, c.left + 200) << c.page;
        EXPECT_EQ(PrintState().pageOffsetX, -c.left) << c.page;
        EXPECT_EQ(PrintState().pageOffsetY, -c.top) << c.page;
    }
    const int32_t backgrounds = PrintCalls().backgrounds;
    settings.pageNumber = 7;
    DrawPrintPage(sketch, nullptr, &settings);
    EXPECT_EQ(PrintCalls().backgrounds, backgrounds);  // beyond the grid
    EXPECT_EQ(PrintState().printing, 0);               // the draw pass clears the flag
    EndPrinting(sketch);
    EXPECT_EQ(PrintState().scale, 1.0);
    EXPECT_EQ(PrintState().pageOffsetX, 0);
    EXPECT_EQ(PrintState().pageNumber, 0);
}

TEST_F(PrintLayout, PreviewUsesTheWholeResolutionQuotientWithoutMargin) {
    settings.resolution = 300;  // 300 / 96 is 3 in whole numbers
    settings.pageWidth = 2400;
    settings.pageHeight = 3000;
    ComputePreviewLayout(&settings);
    EXPECT_DOUBLE_EQ(PrintState().scale, 3.0);
    EXPECT_EQ(settings.pageWidthUnits, 800);
    EXPECT_EQ(settings.marginUnits, 0);
    EXPECT_EQ(PrintState().printing, 1);
    ComputePreviewLayout(nullptr);
    EXPECT_EQ(PrintState().scale, 1.0);
    EXPECT_EQ(PrintState().printing, 0);
}

TEST_F(PrintLayout, ExtentComesFromShownExistingObjects) {
    SketchObject* a = PointAt(10, 20);
    SketchObject* b = PointAt(110, 70);
    SketchObject* hidden = PointAt(500, 500);
    hidden->hidden = 1;
    ASSERT_TRUE(ComputePrintExtent(false));
    ScreenRect expected = a->bounds;
    ScreenRectUnion(b->bounds, &expected);
    EXPECT_EQ(sketch->printExtent.left, expected.left);
    EXPECT_EQ(sketch->printExtent.right, expected.right);
    EXPECT_EQ(sketch->printExtent.bottom, expected.bottom);
    EXPECT_EQ(PrintState().printing, 0);
    ScreenRect without, with;
    EXPECT_TRUE(PrintExtentsMatch(sketch, &without, &with));  // no labels shown
    a->exists = 0;
    b->exists = 0;
    EXPECT_FALSE(ComputePrintExtent(true));
}

TEST_F(PrintLayout, LargeLociCanBeCutToTheWindow) {
    // A locus is large when wider or taller than seven screen resolutions (672 here);
    // its bounds are all that the extents read.
    sketch->windowRect = { 0, 0, 400, 300 };
    SketchObject* point = PointAt(10, 20);
    SketchObject* plot = PointAt(100, 55);
    const int32_t ownClass = plot->objectClass;
    plot->objectClass = kClassLocus;
    struct Case { ScreenRect bounds; bool match; int16_t cutLeft, cutRight; };
    const Case cases[] = {
        { { -2000, 50, 3000, 60 }, false, 0, 400 },      // wide: cut to the window
        { { 100, -900, 110, 900 }, false, 100, 110 },     // tall
        { { -100, 50, 500, 60 }, true, -100, 500 },       // 600 wide: printed whole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bounds.left);
        plot->bounds = c.bounds;
        sketch->printExtent = { 1, 2, 3, 4 };
        ScreenRect whole, cut;
        EXPECT_EQ(LargePlotExtentsMatch(sketch, false, &whole, &cut), c.match);
        EXPECT_EQ(sketch->printExtent.left, 1);  // the sketch keeps its own
        EXPECT_EQ(whole.left, std::min<int16_t>(c.bounds.left, point->bounds.left));
        EXPECT_EQ(cut.left, std::min<int16_t>(c.cutLeft, point->bounds.left));
        EXPECT_EQ(cut.right, std::max<int16_t>(c.cutRight, point->bounds.right));
    }
    plot->objectClass = ownClass;
}

}  // namespace
