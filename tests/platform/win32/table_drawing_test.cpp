// Tables drawn through their class's draw slot with GDI: the frame and rules in the text
// colour, the shadow and the tracked row in the shade halfway to the background.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/calc/tables.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/text/layout.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

class TableDrawing : public RenderTest {
protected:
    // The gap and margin of the screen.
    TableDrawing() : saved_(DrawingMetrics) {
        DrawingMetrics.intMetricsB[kMetricTableGap] = kScreenTableGap;
        DrawingMetrics.intMetricsB[kMetricTableCellMargin] = kScreenTableCellMargin;
    }

    // A type-91 table of one column: the header and `values` rows of "00", at (20, 20).
    SketchObject* Table(int32_t values, bool track) {
        TableData* d;
        SketchObject* t = MakeObject(kClassTable, 66, kBlack, &d);
        t->constructionType = kTypeMeasurementTable;
        t->textStyle.field[kStyleSize] = 14;
        const int32_t rows = 2 + values;
        EXPECT_TRUE(ResizeTableCells(t, rows, 2));
        d->rowCount = rows;
        d->trackLastRow = track ? 1 : 0;
        for (int32_t r = 1; r < rows; ++r) SetTableCell(t, r, 1, CreateTextRunWith(r == 1 ? "x" : "00", nullptr));
        t->bounds = { 20, 20, 20, 20 };
        RelayoutTableCells(t);
        tables_.push_back(t);
        return t;
    }
    ~TableDrawing() override {
        for (SketchObject* t : tables_) FreeTableData(t);
        DrawingMetrics = saved_;
    }

    // Pixels of the colour inside a rectangle.
    int CountIn(COLORREF color, int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += canvas_.At(x, y) == color;
        return n;
    }

    DrawingMetricsRecord saved_;
    std::vector<SketchObject*> tables_;
};

TEST_F(TableDrawing, TheTrackedRowAndTheShadowTakeTheShade) {
    const COLORREF shade = RGB(127, 127, 127);
    SketchObject* t = Table(2, true);
    ObjectClassTable[kClassTable].draw(&port_, t);
    const ScreenRect r = t->bounds;
    const int32_t g = DrawingMetrics.intMetricsB[kMetricTableGap];
    EXPECT_EQ(canvas_.At(r.left, (r.top + r.bottom) / 2), kBlack);           // frame
    EXPECT_EQ(canvas_.At(r.right, (r.top + r.bottom) / 2), shade);           // shadow
    EXPECT_EQ(canvas_.At((r.left + r.right) / 2, r.bottom), shade);
    // The last row's text is shaded, the rows above it are not.
    const int32_t lastTop = r.bottom - 2 * g - TableCellAt(t, 3, 0)->metric;
    EXPECT_GT(CountIn(shade, r.left + g, lastTop, r.right - 2 * g, r.bottom - 2 * g), 0);
    EXPECT_EQ(CountIn(kBlack, r.left + 2 * g, lastTop + g, r.right - 3 * g, r.bottom - 2 * g), 0);
    const int32_t firstValueTop = r.top + 3 * g + TableCellAt(t, 1, 0)->metric;
    EXPECT_GT(CountIn(kBlack, r.left + 2 * g, firstValueTop, r.right - 3 * g, lastTop - g), 0);

    // Without tracking every row is in the text colour.
    canvas_.Fill(kWhite);
    SketchObject* plain = Table(2, false);
    ObjectClassTable[kClassTable].draw(&port_, plain);
    EXPECT_EQ(CountIn(shade, plain->bounds.left + g, lastTop, plain->bounds.right - 2 * g, plain->bounds.bottom - 2 * g), 0);
}

TEST_F(TableDrawing, HighlightAndSelectionKeepTheTableAndItsColours) {
    // Highlighted: the frame takes the selection colour for the drawing only.
    SketchObject* t = Table(1, false);
    t->markFlags = 0x01;
    ObjectClassTable[kClassTable].draw(&port_, t);
    const ScreenRect r = t->bounds;
    EXPECT_EQ(canvas_.At(r.left, (r.top + r.bottom) / 2), kSelection);
    EXPECT_EQ(t->color, kBlack);
    EXPECT_EQ(t->textStyle.field[kStyleRed], 0);

    // Selected: the table itself (its layer shows only the highlight) inside two
    // highlight frames, 2 pixels out and 2 pixels in.
    canvas_.Fill(kWhite);
    t->markFlags = 0;
    ASSERT_NE(ObjectClassTable[kClassTable].drawSelected, nullptr);
    ObjectClassTable[kClassTable].drawSelected(&port_, t);
    const int midY = (r.top + r.bottom) / 2;
    EXPECT_EQ(canvas_.At(r.left, midY), kBlack);
    EXPECT_EQ(canvas_.At(r.left - 2, midY), kHighlight);
    EXPECT_EQ(canvas_.At(r.right + 2, midY), kHighlight);
    EXPECT_EQ(canvas_.At(r.left + 2, midY), kHighlight);
}

}  // namespace
