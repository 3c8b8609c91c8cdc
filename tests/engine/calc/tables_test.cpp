// Tables of measured values made and recomputed by the engine: entries collected on
// request and automatically (with the test clock), removed, iteration rows, headers,
// size and drawing.
#include <string>
#include <vector>

#include "engine/calc/calc_fixture.h"
#include "engine/calc/table_fixture.h"
#include "engine/calc/tables.h"
#include "engine/core/alerts.h"
#include "engine/core/iterations.h"
#include "engine/core/transform_maps.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/text_objects.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "support/alerts_double.h"
#include "support/clock_double.h"
#include "support/object_drawing_double.h"
#include "support/text_port_double.h"

using namespace calc_test;

namespace {

constexpr int32_t kTypeDistance = 41;

std::string CellText(SketchObject* table, int32_t row, int32_t column) { return TableCellText(table, row, column); }

// Two distances from a to b and from a to c, and a table of them.
class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTestTickCount(100000);
        ResetAlertDoubles();
        a = FreePointAt(0, 0);
        b = FreePointAt(30, 40);
        c = FreePointAt(0, 7);
        ab = ConstructObject(kTypeDistance, nullptr, ObjectList({a, b}), 0, true, false, nullptr);
        ac = ConstructObject(kTypeDistance, nullptr, ObjectList({a, c}), 0, true, false, nullptr);
        ASSERT_NE(ab, nullptr);
        ASSERT_NE(ac, nullptr);
        // Named by their labels, as the headers then are.
        SetObjectLabel(ab, "d1", false);
        SetObjectLabel(ac, "d2", false);
        DisplayWithCurrentLabel(ab);
        DisplayWithCurrentLabel(ac);
        RecomputeObject(ab, nullptr, true);
        RecomputeObject(ac, nullptr, true);
        table = MakeTable(kTypeMeasurementTable, {ab, ac});
        ASSERT_NE(table, nullptr);
    }

    SketchObject* MakeTable(int32_t type, std::initializer_list<SketchObject*> parents) {
        const ObjectTemplate tmpl = {type, 0, 0, kClassTable, 1, type == kTypeMeasurementTable ? 66 : 67, 0};
        SketchObject* t = ConstructObjectEx(&tmpl, nullptr, ObjectList(parents), 0, nullptr, nullptr, false);
        if (t) RecomputeAndRedrawObject(t);
        return t;
    }

    // One frame of a drag of b: b moves, and everything built on it is recomputed.
    void DragB(double x, double y) {
        ClassData<PointData>(b)->position = {x, y};
        b->tempLink = nullptr;
        SketchObject* chain = b;
        CollectDependents(&chain, true);
        RecomputeObjects(chain, true, nullptr);
    }

    TableData* Data() { return TableDataOf(table); }

    Construction k;
    SketchObject* a = nullptr;
    SketchObject* b = nullptr;
    SketchObject* c = nullptr;
    SketchObject* ab = nullptr;
    SketchObject* ac = nullptr;
    SketchObject* table = nullptr;
};

}  // namespace

TEST_F(TableTest, NewTableShowsHeadersAndOneTrackedRowOfValues) {
    EXPECT_EQ(Data()->columnCount, 3);
    EXPECT_EQ(Data()->rowCount, 3);  // metrics, headers, one row of values
    EXPECT_EQ(Data()->trackLastRow, 1);
    EXPECT_FALSE(TableCanRemoveEntry(table));
    EXPECT_EQ(CellText(table, 1, 1), "d1");
    EXPECT_EQ(CellText(table, 1, 2), "d2");
    EXPECT_NE(CellText(table, 2, 1).find("50"), std::string::npos) << CellText(table, 2, 1);
    EXPECT_NE(CellText(table, 2, 2).find("7"), std::string::npos) << CellText(table, 2, 2);
    EXPECT_EQ(table->label.level, kLabelDerived);

    // The size: three gaps, and each column (row) with a gap after it.
    const int32_t g = DrawingMetrics.intMetricsB[kMetricTableGap];
    int32_t width = 3 * g, height = 3 * g;
    for (int32_t col = 1; col < 3; ++col) width += TableCellAt(table, 0, col)->metric + g;
    for (int32_t row = 1; row < 3; ++row) height += TableCellAt(table, row, 0)->metric + g;
    EXPECT_EQ(table->bounds.right - table->bounds.left, width);
    EXPECT_EQ(table->bounds.bottom - table->bounds.top, height);
    EXPECT_GT(TableCellAt(table, 0, 1)->metric, 2 * DrawingMetrics.intMetricsB[kMetricTableCellMargin]);

    // The tracked row follows the values; an added entry freezes the values above it.
    DragB(60, 80);
    EXPECT_NE(CellText(table, 2, 1).find("100"), std::string::npos) << CellText(table, 2, 1);
    EXPECT_EQ(AddTableEntry(table), kResultOK);
    EXPECT_EQ(Data()->rowCount, 4);
    EXPECT_TRUE(TableCanRemoveEntry(table));
    DragB(3, 4);
    EXPECT_NE(CellText(table, 2, 1).find("100"), std::string::npos) << CellText(table, 2, 1);
    EXPECT_NE(CellText(table, 3, 1).find("5"), std::string::npos) << CellText(table, 3, 1);
}

TEST_F(TableTest, AutomaticEntriesOnlyWhileValuesChangeAtMostOnePerInterval) {
    StartTableCollection(table, 3, 2.0);
    EXPECT_EQ(Data()->autoAddDelay, 2000);

    // Still: the interval passes, the table is recomputed, nothing has changed.
    AdvanceTestTickCount(5000);
    RecomputeAndRedrawObject(table);
    RecomputeAndRedrawObject(table);
    EXPECT_EQ(Data()->rowCount, 3);
    EXPECT_EQ(Data()->autoAddRemaining, 3);

    // Dragging for ten seconds at a frame every 100 ms.
    std::vector<uint32_t> addedAt;
    for (int32_t frame = 0; frame < 100; ++frame) {
        AdvanceTestTickCount(100);
        const int32_t before = Data()->rowCount;
        DragB(30 + frame, 40);
        if (Data()->rowCount != before) {
            EXPECT_EQ(Data()->rowCount, before + 1);
            addedAt.push_back(TickCount());
        }
    }
    ASSERT_EQ(addedAt.size(), 3u);
    EXPECT_GE(addedAt[1] - addedAt[0], 2000u);
    EXPECT_GE(addedAt[2] - addedAt[1], 2000u);
    EXPECT_EQ(Data()->rowCount, 6);
    EXPECT_EQ(Data()->autoAddRemaining, 0);
    // The frozen entries hold the values of their moments.
    EXPECT_NE(CellText(table, 2, 1), CellText(table, 3, 1));
    EXPECT_NE(CellText(table, 3, 1), CellText(table, 4, 1));
}

TEST_F(TableTest, RemovingEntriesKeepsTheHeaderAndTheValueRow) {
    struct Case {
        const char* name;
        int32_t track;
        bool all;
        int32_t rowsAfter;
    };
    const Case cases[] = {
        { "tracking, last entry", 1, false, 4 },   // two out, one back
        { "tracking, all", 1, true, 3 },
        { "not tracking, last entry", 0, false, 4 },
        { "not tracking, all", 0, true, 3 },       // the value row is rebuilt from now
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        SketchObject* t = MakeTable(kTypeMeasurementTable, {ab, ac});
        ASSERT_NE(t, nullptr);
        SetTableCollectFlag(t, test.track);
        DragB(3, 4);
        ASSERT_EQ(AddTableEntry(t), kResultOK);
        DragB(6, 8);
        ASSERT_EQ(AddTableEntry(t), kResultOK);
        ASSERT_EQ(TableDataOf(t)->rowCount, 5);
        DragB(9, 12);
        if (test.all) RemoveAllTableEntries(t);
        else EXPECT_EQ(RemoveTableEntry(t), 1);
        EXPECT_EQ(TableDataOf(t)->rowCount, test.rowsAfter);
        EXPECT_EQ(CellText(t, 1, 1), "d1");
        const int32_t last = TableDataOf(t)->rowCount - 1;
        if (test.track || test.all) {
            EXPECT_NE(CellText(t, last, 1).find("15"), std::string::npos) << CellText(t, last, 1);
        } else {  // the first entry
            EXPECT_NE(CellText(t, last, 1).find("5"), std::string::npos) << CellText(t, last, 1);
            EXPECT_EQ(CellText(t, last, 1).find("15"), std::string::npos) << CellText(t, last, 1);
        }
        for (int32_t col = 1; col < 3; ++col) EXPECT_EQ(TableCellAt(t, last + 1, col)->layout, nullptr);
    }
    // With the header and one value row nothing is left to remove.
    EXPECT_EQ(RemoveTableEntry(table), 0);
    EXPECT_EQ(Data()->rowCount, 3);
}

TEST_F(TableTest, AnEntryThatFindsNoMemoryIsNotAdded) {
    while (Data()->rowCount < Data()->rowCapacity) ASSERT_EQ(AddTableEntry(table), kResultOK);
    const int32_t rows = Data()->rowCount;
    SetAllocFailureAfter(1, true);
    EXPECT_EQ(AddTableEntry(table), kResultOutOfMemory);
    SetAllocFailureAfter(0);
    EXPECT_EQ(Data()->rowCount, rows);
    ASSERT_EQ(ShownAlerts().size(), 1u);
    EXPECT_EQ(ShownAlerts()[0].code, kResultOutOfMemory);
    EXPECT_EQ(AddTableEntry(table), kResultOK);  // and then grows by ten rows
    EXPECT_EQ(Data()->rowCapacity, rows + kTableRowStep);
}

TEST_F(TableTest, IterationRowsShowTheFirstStepsAndTheLast) {
    struct Case {
        int32_t depth;
        int32_t rows;
        std::vector<std::string> column;  // the n column from row 2 on
    };
    std::vector<std::string> first19;
    for (int32_t n = 0; n <= 18; ++n) first19.push_back(std::to_string(n));
    auto with = [&](std::vector<std::string> tail) {
        std::vector<std::string> v = first19;
        v.insert(v.end(), tail.begin(), tail.end());
        return v;
    };
    const Case cases[] = {
        { 2, 5, { "0", "1", "2" } },
        { 20, 23, with({ "19", "20" }) },     // 21 images fill the table exactly
        { 21, 23, with({ "...", "21" }) },
        { 30, 23, with({ "...", "30" }) },
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.depth);
        SketchObject* t = MakeTable(kTypeIterationTable, {a, ab});
        ASSERT_NE(t, nullptr);
        const int32_t images = test.depth + 1;
        ASSERT_TRUE(SetTableRowsForIteration(t, images));
        for (int32_t i = 0; i < images; ++i) FillIterationTableRows(t, i, i);
        RecomputeAndRedrawObject(t);
        EXPECT_EQ(t->exists, 1);
        EXPECT_EQ(TableDataOf(t)->rowCount, test.rows);
        EXPECT_EQ(CellText(t, 1, 1), "n");
        std::vector<std::string> shown;
        for (int32_t row = 2; row < TableDataOf(t)->rowCount; ++row) shown.push_back(CellText(t, row, 1));
        EXPECT_EQ(shown, test.column);
        EXPECT_NE(CellText(t, 2, 2).find("50"), std::string::npos);
        if (test.depth >= 21) {
            EXPECT_EQ(CellText(t, 21, 2), "...");
        }
    }
}

TEST_F(TableTest, IterationHeadersCountSubscriptsByStep) {
    SetObjectLabel(ab, "x[0]", false);
    SetObjectLabel(ac, "x[1]", false);
    SketchObject* t = MakeTable(kTypeIterationTable, {a, ab, ac});
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(SetTableRowsForIteration(t, 2));
    FillIterationTableRows(t, 0, 0);
    FillIterationTableRows(t, 1, 1);
    RecomputeAndRedrawObject(t);
    EXPECT_EQ(CellText(t, 1, 1), "n");
    EXPECT_EQ(CellText(t, 1, 2), "x[n]");
    EXPECT_EQ(CellText(t, 1, 3), "x[n+1]");
    // A table of measurements names them as they are.
    SketchObject* plain = MakeTable(kTypeMeasurementTable, {ab, ac});
    EXPECT_EQ(CellText(plain, 1, 1), "x[0]");
    EXPECT_EQ(CellText(plain, 1, 2), "x[1]");
    // A type-92 table without enough rows does not exist.
    SketchObject* empty = MakeTable(kTypeIterationTable, {a, ab});
    ASSERT_TRUE(SetTableRowsForIteration(empty, 0));
    RecomputeAndRedrawObject(empty);
    EXPECT_EQ(empty->exists, 0);
}

TEST_F(TableTest, HeadersFollowARenamedParent) {
    ASSERT_NE(ObjectClassTable[kClassTable].textEditOps, nullptr);
    const TextEditOps& ops = *ObjectClassTable[kClassTable].textEditOps;
    EXPECT_FALSE(ops.needsTextRefresh(table, 0));
    EXPECT_TRUE(ops.needsTextRefresh(table, 1));
    SetObjectLabel(ab, "side", false);  // passed on to what shows it
    EXPECT_EQ(CellText(table, 1, 1), "side");
    EXPECT_EQ(Data()->rowCount, 3);

    // A larger text style lays every cell out again.
    const int32_t width = table->bounds.right - table->bounds.left;
    TextStyle big = table->textStyle;
    big.field[kStyleSize] = 48;
    ops.setStyle(table, &big);
    EXPECT_EQ(ops.textStyleOf(table)->field[kStyleSize], 48);
    EXPECT_GT(table->bounds.right - table->bounds.left, width);
}

TEST_F(TableTest, DrawingOnScreenAndForPrint) {
    ASSERT_EQ(AddTableEntry(table), kResultOK);
    ASSERT_EQ(AddTableEntry(table), kResultOK);  // rows: headers and three value rows
    auto texts = [] {
        int32_t n = 0;
        for (const PortCall& call : TextPortCalls()) n += call.op == "text";
        return n;
    };
    ResetTextPort();
    DrawTable(nullptr, table, 30000);
    EXPECT_GE(texts(), 8);  // two columns, four rows of texts
    int32_t lines = 0;
    for (const PortCall& call : TextPortCalls()) lines += call.op == "lines";
    EXPECT_EQ(lines, 1 + 1 + 3 + 1);  // frame, one vertical rule, three horizontal, shadow
    ASSERT_FALSE(TextPortCalls().empty());
    EXPECT_EQ(TextPortCalls()[0].op, "erase");

    // Only rows whose top lies within the limit are drawn.
    ResetTextPort();
    const int32_t g = DrawingMetrics.intMetricsB[kMetricTableGap];
    DrawTable(nullptr, table, table->bounds.top + 2 * g + TableCellAt(table, 1, 0)->metric);
    EXPECT_LT(texts(), 8);
    EXPECT_GT(texts(), 0);

    // Printed, the table is drawn at its place on the page, then is where it was.
    const ScreenRect before = table->bounds;
    ResetRecordedDraws();
    const OutputScale page = { 1, 2.0, 100, 50 };
    ObjectClassTable[kClassTable].drawScaled(nullptr, table, &page);
    ASSERT_EQ(SeenGeometries().size(), 1u);
    EXPECT_EQ(SeenGeometries()[0].x, before.left * 2 + 100);
    EXPECT_EQ(SeenGeometries()[0].y, before.top * 2 + 50);
    EXPECT_EQ(std::memcmp(&table->bounds, &before, sizeof before), 0);

    EXPECT_EQ(ShadeTrackingRow(0x000000, 0xFFFFFF), 0x7F7F7Fu);
    EXPECT_EQ(ShadeTrackingRow(0x0000FF, 0x00FF00), 0x007F7Fu);
}

TEST_F(TableTest, EveryAllocationThatFailsLeavesAWholeTableOrNone) {
    for (uint32_t n = 1; n < 80; ++n) {
        SCOPED_TRACE(n);
        SetAllocFailureAfter(n);
        SketchObject* t = MakeTable(kTypeMeasurementTable, {ab, ac});
        if (t) {
            AddTableEntry(t);
            DragB(n, 40);
            RemoveTableEntry(t);
        }
        SetAllocFailureAfter(0);
        if (!t) continue;
        const TableData* d = TableDataOf(t);
        ASSERT_NE(d->cells, nullptr);
        EXPECT_GE(d->rowCount, 2);
        EXPECT_LE(d->rowCount, d->rowCapacity);
        EXPECT_EQ(d->columnCount, 3);
    }
}

namespace {

class IterationTableTest : public TableSketchTest {};

}  // namespace

// An iteration of depth 30 whose steps move a point 10 pixels on: its table shows the
// seeds' row and the steps n = 1..18, a row "...", and the last step.
TEST_F(IterationTableTest, ADeepIterationShowsItsFirstStepsAndItsLast) {
    sketch->settings.distanceUnit = 0;  // pixels
    SketchObject* origin = PointAt(0, 0);
    SketchObject* seed = PointAt(5, 0);
    const FixedDistanceEntry shift[2] = { { 10, 10, 0, 0 }, { 0, 0, 0, 0 } };
    SketchObject* next = Build(21, { seed }, nullptr, DataBlock(shift, sizeof shift));
    ASSERT_NE(next, nullptr);
    SketchObject* reach = ConstructObject(kTypeDistance, nullptr, List({ origin, next }), 0, true, false, nullptr);
    ASSERT_NE(reach, nullptr);
    RecomputeSketch(false);
    SketchObject* iteration = IterateOneSeed(seed, next, 30, true);
    ASSERT_NE(iteration, nullptr);
    RecomputeSketch(false);
    SketchObject* t = nullptr;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
        if (o->constructionType == kTypeIterationTable) t = o;
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->exists, 1);
    ASSERT_EQ(TableDataOf(t)->rowCount, kMaxIterationTableRows);
    EXPECT_EQ(TableCellText(t, 1, 1), "n");
    std::vector<std::string> steps, values;
    for (int32_t row = 2; row < kMaxIterationTableRows; ++row) {
        steps.push_back(TableCellText(t, row, 1));
        values.push_back(TableCellText(t, row, 2));
    }
    std::vector<std::string> expected;
    for (int32_t n = 0; n <= 18; ++n) expected.push_back(std::to_string(n));
    expected.push_back("...");
    expected.push_back("30");
    EXPECT_EQ(steps, expected);
    EXPECT_NE(values[0].find("15"), std::string::npos) << values[0];    // the seed: 5 + 10
    EXPECT_NE(values[18].find("195"), std::string::npos) << values[18]; // n = 18
    EXPECT_EQ(values[19], "...");
    EXPECT_NE(values[20].find("315"), std::string::npos) << values[20]; // n = 30
}
