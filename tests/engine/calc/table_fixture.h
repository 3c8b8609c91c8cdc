// What the tests of tables share in every test program: a page with a table of one
// distance, and the plain text of a cell.
#pragma once
#include <string>

#include "engine/calc/tables.h"
#include "engine/core/object_creation.h"
#include "engine/core/sketch_fixture.h"
#include "engine/text/layout_test_util.h"

// "" for an empty cell.
inline std::string TableCellText(SketchObject* table, int32_t row, int32_t column) {
    LayoutNode* l = TableCellAt(table, row, column)->layout;
    return l ? WriteLayout(l, kWritePlainText) : "";
}

// The distance from a (0, 0) to b (30, 40), and a table of it showing its first row.
class TableSketchTest : public SketchTest {
protected:
    static constexpr int32_t kTypeDistance = 41;

    void SetUp() override {
        SketchTest::SetUp();
        a = PointAt(0, 0);
        b = PointAt(30, 40);
        distance = ConstructObject(kTypeDistance, nullptr, List({ a, b }), 0, true, false, nullptr);
        ASSERT_NE(distance, nullptr);
        RecomputeObject(distance, nullptr, true);
        table = ConstructObject(kTypeMeasurementTable, nullptr, List({ distance }), 0, true, false, nullptr);
        ASSERT_NE(table, nullptr);
        RecomputeAndRedrawObject(table);
    }

    TableData* Data() { return TableDataOf(table); }

    SketchObject* a = nullptr;
    SketchObject* b = nullptr;
    SketchObject* distance = nullptr;
    SketchObject* table = nullptr;
};
