// Grids of coordinate systems drawn through their class's slots: the line style picks
// dots, lines or both; polar grids are rings and spokes; a selected grid is outlined.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/core/object_tables.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/object_drawing.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

class GridDrawing : public RenderTest {
protected:
    static constexpr COLORREF kGridColor = RGB(0, 128, 0);

    GridDrawing() : saved_(DrawingMetrics) {
        EXPECT_TRUE(InitDrawingMetrics());
        port_.paintRect = { 0, 0, canvas_.width(), canvas_.height() };
    }
    ~GridDrawing() override { DrawingMetrics = saved_; }

    // A grid about (100, 100) with a spacing of 20 pixels both ways.
    SketchObject* Grid(int32_t form, int32_t lineStyle) {
        CoordSystemData* c;
        SketchObject* system = MakeObject(kClassCoordinateSystem, kKindCoordinateSystem, kGridColor, &c);
        c->origin = { 100, 100 };
        c->unitX = c->unitY = c->tickX = c->tickY = 20;
        c->gridForm = form;
        system->lineStyle = lineStyle;
        return system;
    }

    DrawingMetricsRecord saved_;
};

TEST_F(GridDrawing, LineStyleChoosesDotsLinesOrBoth) {
    struct Case { int32_t lineStyle; bool lines; bool dots; };
    const Case cases[] = { { 0, false, true }, { 1, true, false }, { 2, true, true } };
    for (int32_t form : { kGridSquare, kGridRectangular }) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "form " << form << " style " << c.lineStyle);
            canvas_.Fill(kWhite);
            DrawCoordinateGrid(&port_, Grid(form, c.lineStyle));
            // (110, 120) lies on a row between two columns; (121, 121) on no line but
            // within the 5-pixel dot of the grid point (120, 120).
            EXPECT_EQ(canvas_.At(110, 120) == kGridColor, c.lines);
            EXPECT_EQ(canvas_.At(121, 121) == kGridColor, c.dots);
            EXPECT_EQ(canvas_.At(120, 120), kGridColor);
            EXPECT_EQ(canvas_.At(110, 110), kWhite);
            // Grid points reach the paint rectangle's edges.
            EXPECT_EQ(canvas_.At(0, 0), kGridColor);
            EXPECT_EQ(canvas_.At(180, 180), kGridColor);
        }
    }
}

TEST_F(GridDrawing, PolarGridIsRingsAndSpokesWithDotsEvery15Degrees) {
    DrawCoordinateGrid(&port_, Grid(kGridPolar, 1));
    EXPECT_EQ(canvas_.At(100, 60), kGridColor);   // ring 2, on the vertical spoke
    EXPECT_EQ(canvas_.At(186, 100), kGridColor);  // the horizontal spoke beyond ring 4
    EXPECT_EQ(canvas_.At(150, 50), kGridColor);   // the 45-degree spoke
    EXPECT_EQ(canvas_.At(128, 89), kWhite);       // between rings and spokes
    // Rings reach the corners of the paint rectangle: ring 8 passes (100, 260) and
    // crosses the corner region near (2, 170).
    int cornerInk = 0;
    for (int y = 150; y < 200; ++y) cornerInk += canvas_.At(2, y) == kGridColor;
    EXPECT_GT(cornerInk, 0);

    canvas_.Fill(kWhite);
    DrawCoordinateGrid(&port_, Grid(kGridPolar, 0));
    // Dots only: the ring point at 15 degrees of ring 2, nothing on the ring between.
    EXPECT_EQ(canvas_.At(139, 90), kGridColor);
    EXPECT_EQ(canvas_.At(100, 60), kGridColor);
    EXPECT_EQ(canvas_.At(137, 85), kWhite);
    EXPECT_EQ(canvas_.At(186, 100), kWhite);
}

TEST_F(GridDrawing, HighlightAndSelectionColours) {
    SketchObject* grid = Grid(kGridSquare, 1);
    grid->markFlags = 0x01;
    DrawCoordinateGrid(&port_, grid);
    EXPECT_EQ(canvas_.At(110, 120), kSelection);

    canvas_.Fill(kWhite);
    grid->markFlags = 0;
    DrawCoordinateGridSelection(&port_, grid);
    // The grid's own thin lines over 3-pixel lines of the highlight colour.
    EXPECT_EQ(canvas_.At(110, 120), kGridColor);
    EXPECT_EQ(canvas_.At(110, 121), kHighlight);
    EXPECT_EQ(canvas_.At(110, 119), kHighlight);
    EXPECT_EQ(canvas_.At(110, 123), kWhite);
}

}  // namespace
