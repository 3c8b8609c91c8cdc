// Plot Table Data: which cells are numbers, which rows become points, the dialog's
// record, the one undo step and the coordinate system fitted to the data, with the later
// release's forms installed (and the shared making of a system checked without them).
#include "release2/engine/plot_table_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/calc/tables.h"
#include "engine/core/construction_data.h"
#include "engine/core/points.h"
#include "engine/core/marks.h"
#include "engine/core/services/coord_systems.h"
#include "engine/text/layout.h"
#include "engine/text/layout_test_util.h"
#include "engine/interact/command_table.h"
#include "release2/engine/command_forms.h"
#include "release2/engine/engine_forms.h"
#include "support/alerts_double.h"
#include "support/dialogs_double.h"
#include "tests/engine/core/sketch_fixture.h"
#include "tests/release2/later_text_source.h"

namespace {

constexpr int32_t kTypeDistance = 41;

// A table of two distances whose cells the test writes, in a 400 x 300 window.
class PlotTableTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        LaterReleaseForms forms = LaterForms();
        AddEngineForms(&forms);
        InstallLaterForms(forms);
        sketch->windowRect = { 0, 0, 400, 300 };
        SketchObject* a = PointAt(0, 0);
        SketchObject* b = PointAt(30, 40);
        SketchObject* c = PointAt(60, 0);
        SketchObject* ab = ConstructObject(kTypeDistance, nullptr, List({ a, b }), 0, true, false, nullptr);
        SketchObject* ac = ConstructObject(kTypeDistance, nullptr, List({ a, c }), 0, true, false, nullptr);
        ASSERT_TRUE(ab && ac);
        table = ConstructObject(kTypeMeasurementTable, nullptr, List({ ab, ac }), 0, true, false, nullptr);
        ASSERT_NE(table, nullptr);
        ResetAlertDoubles();
        ResetDialogDoubles();
    }
    void TearDown() override {
        ResetDialogDoubles();
        SketchTest::TearDown();
    }

    // Entry rows (from row 2) of the two columns; "" leaves a cell empty.
    void Fill(const std::vector<std::pair<std::string, std::string>>& rows) {
        const int32_t count = 2 + static_cast<int32_t>(rows.size());
        ASSERT_TRUE(ResizeTableCells(table, count, 3));
        TableDataOf(table)->rowCount = count;
        TableDataOf(table)->trackLastRow = 0;  // the rows stay as written
        for (size_t i = 0; i < rows.size(); ++i) {
            const int32_t row = 2 + static_cast<int32_t>(i);
            for (int32_t column : { 1, 2 }) {
                const std::string& text = column == 1 ? rows[i].first : rows[i].second;
                SetTableCell(table, row, column,
                             text.empty() ? nullptr : LayoutFromPlainText(text.c_str(), int32_t(text.size()), 0));
            }
        }
    }
    // The dialog answers Plot with the given columns and form.
    static DialogScript Choose(int32_t first, int32_t second, int32_t polar) {
        return { { [=](void* record) {
                      auto* r = static_cast<PlotTableDialogRecord*>(record);
                      r->firstColumn.value.integer = first + 1;
                      r->secondColumn.value.integer = second + 1;
                      r->polar.value.integer = polar;
                  } },
                 true };
    }
    std::vector<SketchObject*> PlottedPoints() const {
        std::vector<SketchObject*> out;
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
            if (o->constructionType == 71 || o->constructionType == 72) out.push_back(o);
        return out;
    }
    static std::vector<double> Pair(SketchObject* point) {
        double v[2] = { 0, 0 };
        ReadConstructionData(point, v, sizeof v);
        return { v[0], v[1] };
    }
    int32_t Plot() {
        DeselectAll();
        SelectSketchObject(table);
        return PlotTableData();
    }

    LaterTextsInstalled texts;
    SketchObject* table = nullptr;
};

TEST_F(PlotTableTest, ACellIsANumberUpToItsFirstOtherCharacter) {
    struct Case { const char* text; bool number; double value; };
    const Case cases[] = {
        { "3.5 cm", true, 3.5 },     // cut at the blank
        { "-2", true, -2 },
        { "2^3", true, 8 },          // an expression
        { "1+2*3 units", true, 7 },
        { "cm 3", false, 0 },        // begins with a letter
        { "9^999", false, 0 },       // overflows: no finite value
        { "1e999", false, 0 },
        { "^", false, 0 },
    };
    std::vector<std::pair<std::string, std::string>> rows;
    for (const Case& c : cases) rows.push_back({ c.text, "" });
    Fill(rows);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].text);
        double v = -99;
        EXPECT_EQ(ParseCellNumber(table, 2 + int32_t(i), 1, &v), cases[i].number);
        if (cases[i].number) {
            EXPECT_DOUBLE_EQ(v, cases[i].value);
        }
    }
    // An empty cell, a cell past the grid and the header row are no numbers.
    double v = 0;
    EXPECT_FALSE(ParseCellNumber(table, 2, 2, &v));
    EXPECT_FALSE(ParseCellNumber(table, 99, 1, &v));
    EXPECT_FALSE(ParseCellNumber(table, 2, 3, &v));
    // A text of 512 characters or more is no number, however it starts.
    const std::string longText = "5" + std::string(511, ' ');
    SetTableCell(table, 2, 2, LayoutFromPlainText(longText.c_str(), int32_t(longText.size()), 0));
    EXPECT_FALSE(ParseCellNumber(table, 2, 2, &v));
    const std::string shorter = "5" + std::string(510, ' ');
    SetTableCell(table, 2, 2, LayoutFromPlainText(shorter.c_str(), int32_t(shorter.size()), 0));
    EXPECT_TRUE(ParseCellNumber(table, 2, 2, &v));
}

TEST_F(PlotTableTest, RowsWithTwoNumbersBecomePointsInOneUndoStep) {
    Fill({ { "1", "2" }, { "abc", "3" }, { "4", "" }, { "9^999", "1" }, { "-5 cm", "6.5" } });
    ScriptDialogs({ Choose(1, 2, 0) });
    const int32_t depth = UndoDepth();
    EXPECT_EQ(Plot(), 1);
    ASSERT_EQ(RanDialogs().size(), 1u);
    EXPECT_EQ(RanDialogs()[0].kind, kDialogPlotTableData);
    const std::vector<SketchObject*> points = PlottedPoints();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(Pair(points[0]), (std::vector<double>{ 1, 2 }));
    EXPECT_EQ(Pair(points[1]), (std::vector<double>{ -5, 6.5 }));
    for (SketchObject* p : points) {
        EXPECT_EQ(p->constructionType, 71);
        EXPECT_TRUE(IsSelected(p));
    }
    // The new system is a step of its own; one Undo takes all the points back.
    EXPECT_EQ(UndoDepth(), depth + 2);
    EXPECT_EQ(UndoReplay(1), kResultOK);
    EXPECT_TRUE(PlottedPoints().empty());
    EXPECT_NE(GetCoordinateSystem(1, false, nullptr), nullptr);
    EXPECT_TRUE(ShownAlerts().empty());
}

TEST_F(PlotTableTest, OneNumericColumnIsBothChoicesAndPolarDegreesTurnToRadians) {
    Fill({ { "2", "x" }, { "3", "y" } });
    sketch->settings.angleUnit = kAngleDegrees;
    int32_t offeredFirst = 0, offeredSecond = 0;
    DialogScript script = Choose(1, 1, 1);
    script.edits.insert(script.edits.begin(), [&](void* record) {
        auto* r = static_cast<PlotTableDialogRecord*>(record);
        offeredFirst = r->firstColumn.value.integer;
        offeredSecond = r->secondColumn.value.integer;
        // The headings: the coordinate names, then each column's name and whether it holds numbers.
        auto* h = static_cast<ColumnHeadingEntry*>(r->headings.value.pointer);
        EXPECT_EQ(r->headings.upper, 3 + 3);
        EXPECT_EQ(WriteLayout(h[kHeadingTheta].layout, kWritePlainText), "theta");
        EXPECT_TRUE(h[HeadingEntryOfColumn(1)].hasNumbers);
        EXPECT_FALSE(h[HeadingEntryOfColumn(2)].hasNumbers);
        LayoutNode* pair = BuildCoordinatePairLayout(r);
        ASSERT_NE(pair, nullptr);
        const std::string name = WriteLayout(h[HeadingEntryOfColumn(1)].layout, kWritePlainText);
        EXPECT_EQ(WriteLayout(pair, kWritePlainText), "(" + name + ", " + name + ")");
        FreeLayoutNode(pair);
    });
    ScriptDialogs({ script });
    EXPECT_EQ(Plot(), 1);
    EXPECT_EQ(offeredFirst, 2);
    EXPECT_EQ(offeredSecond, 2);
    const std::vector<SketchObject*> points = PlottedPoints();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0]->constructionType, 72);
    EXPECT_DOUBLE_EQ(Pair(points[0])[1], 2 * 0.017453292519943334);
    SketchObject* system = GetCoordinateSystem(1, false, nullptr);
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(CoordSystemOf(system)->gridForm, kGridPolar);
}

TEST_F(PlotTableTest, NinetyDegreesLiesOnThePositiveYAxis) {
    Fill({ { "2", "90" } });
    sketch->settings.angleUnit = kAngleDegrees;
    ScriptDialogs({ Choose(1, 2, 1) });
    ASSERT_EQ(Plot(), 1);
    SketchObject* point = PlottedPoints().at(0);
    SketchObject* system = GetCoordinateSystem(1, false, nullptr);
    const CoordSystemData* cs = CoordSystemOf(system);
    const RealPoint at = PointPosition(point);
    EXPECT_NEAR(at.x, cs->origin.x, 1e-6);
    EXPECT_NEAR(cs->origin.y - at.y, 2 * cs->unitY, 1e-6);  // screen y grows downwards
}

TEST_F(PlotTableTest, NothingToPlotAlerts413AndChangesNothing) {
    struct Case { std::vector<std::pair<std::string, std::string>> rows; int32_t first, second; bool dialog; };
    const Case cases[] = {
        { { { "a", "b" }, { "c", "" } }, 1, 2, false },   // no column holds a number
        { {}, 1, 2, false },                              // no entries at all
        { { { "1", "" }, { "", "2" } }, 1, 2, true },     // no row holds two numbers
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows.size());
        ResetAlertDoubles();
        ResetDialogDoubles();
        Fill(c.rows);
        ScriptDialogs({ Choose(c.first, c.second, 0) });
        const int32_t depth = UndoDepth();
        EXPECT_EQ(Plot(), 0);
        EXPECT_EQ(RanDialogs().size(), c.dialog ? 1u : 0u);
        ASSERT_EQ(ShownAlerts().size(), 1u);
        EXPECT_EQ(ShownAlerts()[0].code, 413);
        EXPECT_EQ(ShownAlerts()[0].caption, "Plot Table Data");
        EXPECT_EQ(ShownAlerts()[0].text, "That table's columns do not contain plottable numeric data.");
        EXPECT_TRUE(PlottedPoints().empty());
        EXPECT_EQ(GetCoordinateSystem(1, false, nullptr), nullptr);
        EXPECT_EQ(UndoDepth(), depth);
    }
}

TEST_F(PlotTableTest, CancelOrAColumnWithoutNumbersPlotsNothing) {
    Fill({ { "1", "x" } });
    DialogScript cancel = Choose(1, 1, 0);
    cancel.ok = false;
    ScriptDialogs({ cancel, Choose(1, 2, 0) });
    EXPECT_EQ(Plot(), 0);
    EXPECT_EQ(Plot(), 0);
    EXPECT_TRUE(PlottedPoints().empty());
    EXPECT_TRUE(ShownAlerts().empty());
}

TEST_F(PlotTableTest, NewSystemIsFittedToTheDataOnlyInTheLaterRelease) {
    // Data up to x = 500 in a window 400 pixels wide: 550 units fill half the window.
    Fill({ { "500", "1" }, { "-20", "2" } });
    ScriptDialogs({ Choose(1, 2, 0) });
    ASSERT_EQ(Plot(), 1);
    const CoordSystemData* fitted = CoordSystemOf(GetCoordinateSystem(1, false, nullptr));
    EXPECT_NEAR(fitted->unitX, 200.0 / 550.0, 1e-9);
    EXPECT_GT(fitted->unitY, fitted->unitX);
    EXPECT_EQ(fitted->gridForm, kGridRectangular);

    // figmantle's form keeps the default unit whatever the data.
    TearDown();
    ResetLaterForms();
    SetUp();
    ResetLaterForms();
    Fill({ { "500", "1" } });
    ScriptDialogs({ Choose(1, 2, 0) });
    ASSERT_EQ(Plot(), 1);
    const CoordSystemData* plain = CoordSystemOf(GetCoordinateSystem(1, false, nullptr));
    EXPECT_GE(plain->unitX, 10.0);
    EXPECT_EQ(plain->unitY, plain->unitX);
}

TEST(FitCoordSystemUnits, KeepsTheDefaultOrFitsOneOrBothAxes) {
    struct Case { double maxX, maxY; double unitX, unitY; int32_t form; };
    // Half window 200 x 150 with a default of 20 pixels per unit: 10 x 7.5 units fit.
    const Case cases[] = {
        { 5, 5, 20, 20, kGridSquare },                          // fits already
        { 20, 1, 200.0 / 22, 200.0 / 22, kGridSquare },         // 22 x 7.5 units: the smaller scale
        { 500, 1, 200.0 / 550, 20, kGridRectangular },          // 550 x 7.5: more than 10 times apart
        { 1, 100, 20, 150.0 / 110, kGridRectangular },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.maxX);
        double x = 0, y = 0;
        EXPECT_EQ(FitCoordSystemUnits(200, 150, 20, c.maxX, c.maxY, &x, &y), c.form);
        EXPECT_NEAR(x, c.unitX, 1e-9);
        EXPECT_NEAR(y, c.unitY, 1e-9);
    }
}

}  // namespace

namespace {

TEST_F(PlotTableTest, RunningOutOfMemoryPlotsAllOrNothing) {
    Fill({ { "1", "2" }, { "3", "4" } });
    bool plotted = false;
    int32_t n = 1;
    for (; n < 400 && !plotted; ++n) {
        SCOPED_TRACE(n);
        const size_t before = PlottedPoints().size();
        ScriptDialogs({ Choose(1, 2, 0) });
        SetAllocFailureAfter(n);
        plotted = Plot() == 1;
        SetAllocFailureAfter(0);
        EXPECT_EQ(PlottedPoints().size(), plotted ? before + 2 : before);
        ResetDialogDoubles();
    }
    EXPECT_TRUE(plotted);
    EXPECT_GT(n, 10);  // the early allocations did fail
}

TEST_F(PlotTableTest, TheCommandIsALaterRowReachedThroughItsMenuCode) {
    Fill({ { "1", "2" } });
    for (bool later : { true, false }) {
        SCOPED_TRACE(later);
        if (!later) ResetLaterForms();
        uint32_t row = 0;
        EXPECT_EQ(MenuCodeToCommandRow(kPlotTableDataMenuCode, &row), later);
        EXPECT_EQ(CommandRowAt(kPlotTableDataRow) != nullptr, later);
        if (later) {
            EXPECT_EQ(row, kPlotTableDataRow);
            // Enabled with the table alone selected; the text is figlate's.
            const CommandRow& r = *CommandRowAt(row);
            EXPECT_EQ(r.stateQuery, kQueryPlotTableData);
            uint16_t text = 0, variant = 0, executor = 0;
            int32_t argument = 0;
            DeselectAll();
            EXPECT_FALSE(RunCommandStateQuery(r.stateQuery, 0, r.stateWord, &text, &variant, &executor, &argument));
            SelectSketchObject(table);
            EXPECT_TRUE(RunCommandStateQuery(r.stateQuery, 0, r.stateWord, &text, &variant, &executor, &argument));
            EXPECT_STREQ(GroupText(kGroupMenuItems, text), "Plot &Table Data...");
            SelectSketchObject(sketch->firstObject);
            EXPECT_FALSE(RunCommandStateQuery(r.stateQuery, 0, r.stateWord, &text, &variant, &executor, &argument));
            DeselectAll();
            SelectSketchObject(table);
            ScriptDialogs({ Choose(1, 2, 0) });
            EXPECT_EQ(RunCommandExecutor(executor, argument), kResultOK);
            EXPECT_EQ(PlottedPoints().size(), 1u);
        } else {
            // figmantle has no such executor either: nothing runs.
            ResetDialogDoubles();
            SelectSketchObject(table);
            EXPECT_EQ(RunCommandExecutor(kPlotTableDataExecutor, 0), kResultOK);
            EXPECT_TRUE(RanDialogs().empty());
        }
    }
}

}  // namespace
