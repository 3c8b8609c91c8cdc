// Add Table Data and Remove Table Data through their dialogs (scripted), and a table
// copied as a custom tool's body or to the clipboard and pasted.
#include "engine/interact/table_commands.h"

#include <string>
#include <vector>

#include "engine/calc/table_fixture.h"
#include "engine/calc/tables.h"
#include "engine/calc/value_display.h"
#include "engine/core/copy_map.h"
#include "engine/core/object_creation.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/services/document_io.h"
#include "engine/core/sketch_fixture.h"
#include "engine/docio/seed_files.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/stream_bytes.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/mouse.h"
#include "engine/interact/paste.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "support/clock_double.h"
#include "support/dialogs_double.h"
#include "support/shell_double.h"

namespace {

std::string CellText(SketchObject* table, int32_t row, int32_t column) { return TableCellText(table, row, column); }

// The table selected.
class TableCommandTest : public TableSketchTest {
protected:
    void SetUp() override {
        ResetDialogDoubles();
        SetTestTickCount(5000);
        TableSketchTest::SetUp();
        SelectSketchObject(table);
    }
    void TearDown() override {
        ResetDialogDoubles();
        TableSketchTest::TearDown();
    }
};

template <typename Record>
DialogScript Choose(std::function<void(Record*)> edit, bool ok = true) {
    return DialogScript{ { [edit](void* r) { edit(static_cast<Record*>(r)); } }, ok };
}

}  // namespace

TEST_F(TableCommandTest, AddTableDataAddsOneEntryOrStartsCollecting) {
    // The dialog proposes ten entries at the table's interval.
    TableEntryDialogRecord shown{};
    ScriptDialogs({ Choose<TableEntryDialogRecord>([&](TableEntryDialogRecord* r) { shown = *r; }, false) });
    EXPECT_EQ(AddTableEntryCommand(0), kResultOK);
    ASSERT_EQ(RanDialogs().size(), 1u);
    EXPECT_EQ(RanDialogs()[0].kind, kDialogAddTableData);
    EXPECT_EQ(RanDialogs()[0].helpTopic, 45);
    EXPECT_EQ(shown.count.value.integer, 10);
    EXPECT_DOUBLE_EQ(shown.seconds.value.real, 1.0);
    EXPECT_EQ(Data()->rowCount, 3);  // cancelled

    ScriptDialogs({ Choose<TableEntryDialogRecord>([](TableEntryDialogRecord* r) { r->choice.value.integer = kAddOneEntryNow; }) });
    EXPECT_EQ(AddTableEntryCommand(0), kResultOK);
    EXPECT_EQ(Data()->rowCount, 4);

    ScriptDialogs({ Choose<TableEntryDialogRecord>([](TableEntryDialogRecord* r) {
        r->choice.value.integer = kAddEntriesAsChanging;
        r->count.value.integer = 3;
        r->seconds.value.real = 2.5;
    }) });
    EXPECT_EQ(AddTableEntryCommand(0), kResultOK);
    EXPECT_EQ(Data()->rowCount, 4);
    EXPECT_EQ(Data()->autoAddRemaining, 3);
    EXPECT_EQ(Data()->autoAddDelay, 2500);
    EXPECT_EQ(Data()->autoAddDeadline, 7500u);

    // The next dialog proposes what is still to come.
    ScriptDialogs({ Choose<TableEntryDialogRecord>([&](TableEntryDialogRecord* r) { shown = *r; }, false) });
    AddTableEntryCommand(0);
    EXPECT_EQ(shown.count.value.integer, 3);
    EXPECT_DOUBLE_EQ(shown.seconds.value.real, 2.5);
}

TEST_F(TableCommandTest, RemoveTableDataRemovesTheLastOrAllEntries) {
    for (int32_t i = 0; i < 3; ++i) ASSERT_EQ(AddTableEntry(table), kResultOK);
    ASSERT_EQ(Data()->rowCount, 6);
    ScriptDialogs({ Choose<TableRemoveDialogRecord>([](TableRemoveDialogRecord* r) { r->choice.value.integer = kRemoveLastEntry; }) });
    EXPECT_EQ(RemoveTableEntryCommand(0), kResultOK);
    EXPECT_EQ(RanDialogs().back().kind, kDialogRemoveTableData);
    EXPECT_EQ(RanDialogs().back().helpTopic, 45);
    EXPECT_EQ(Data()->rowCount, 5);
    ScriptDialogs({ Choose<TableRemoveDialogRecord>([](TableRemoveDialogRecord* r) { r->choice.value.integer = kRemoveAllEntries; }) });
    EXPECT_EQ(RemoveTableEntryCommand(0), kResultOK);
    EXPECT_EQ(Data()->rowCount, 3);
    EXPECT_EQ(CellText(table, 1, 1), "AB");
    LayoutNode* now = ValueLayoutOf(distance);
    ASSERT_NE(now, nullptr);
    std::string value(static_cast<size_t>(SerializeLayout(now, nullptr, nullptr)), '\0');
    SerializeLayout(now, value.data(), nullptr);
    FreeLayoutNode(now);
    std::string cell(static_cast<size_t>(SerializeLayout(TableCellAt(table, 2, 1)->layout, nullptr, nullptr)), '\0');
    SerializeLayout(TableCellAt(table, 2, 1)->layout, cell.data(), nullptr);
    EXPECT_EQ(cell, value);

    // Nothing selected: no dialog.
    DeselectAll();
    const size_t ran = RanDialogs().size();
    EXPECT_EQ(RemoveTableEntryCommand(0), kResultOK);
    EXPECT_EQ(RanDialogs().size(), ran);
}

// Copied for the clipboard or a custom tool (a tool sketch built from the selection), a
// table keeps only its metric and header rows; pasted, it names its new parents and
// starts with one row of their values.
TEST_F(TableCommandTest, ACopiedTableIsPastedWithItsHeaderOnly) {
    ASSERT_TRUE(InitStreamTable());
    for (int32_t i = 0; i < 3; ++i) ASSERT_EQ(AddTableEntry(table), kResultOK);
    ASSERT_EQ(Data()->rowCount, 6);
    const CopyItem items[] = {
        { a, kKindPoint, kShown }, { b, kKindPoint, kShown }, { distance, distance->objectKind, kShown },
        { table, table->objectKind, kShown },
    };
    Sketch* copy = nullptr;
    ASSERT_EQ(BuildSketchFromObjects(items, false, 2, 4, nullptr, &copy), kResultOK);
    SketchObject* copiedTable = nullptr;
    SetCurrentSketch(copy, nullptr);
    for (SketchObject* o = copy->firstObject; o; o = o->nextInSketch)
        if (o->objectClass == kClassTable) copiedTable = o;
    ASSERT_NE(copiedTable, nullptr);
    EXPECT_LE(TableDataOf(copiedTable)->rowCount, 3);
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    ASSERT_EQ(WriteSketch(h, copy, false, false), kResultOK);
    ASSERT_EQ(CloseStream(h), kResultOK);
    std::vector<uint8_t> clip = TakeStreamVector(h);
    SaveFuzzSeed("paste_fuzz", "table", clip);
    FreeSketch(copy);
    SetCurrentSketch(sketch, nullptr);

    const ScreenRect from = { 0, 0, 40, 40 };
    ASSERT_EQ(PasteSketchData(clip.data(), uint32_t(clip.size()), &from), kResultOK);
    SketchObject* pasted = nullptr;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
        if (o->objectClass == kClassTable && o != table) pasted = o;
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(TableDataOf(pasted)->rowCount, 3);
    EXPECT_FALSE(CellText(pasted, 1, 1).empty());
    EXPECT_EQ(Data()->rowCount, 6);  // the original keeps its entries
}

// "Tabulate" on selected values makes a table of them that shows their names and values
// at once.
TEST_F(TableCommandTest, TabulateMakesATableOfTheSelectedValues) {
    SketchObject* c = PointAt(0, 7);
    SketchObject* other = ConstructObject(41, nullptr, List({ a, c }), 0, true, false, nullptr);
    ASSERT_NE(other, nullptr);
    RecomputeObject(other, nullptr, true);
    EXPECT_TRUE(IsTabulatable(distance));
    EXPECT_FALSE(IsTabulatable(a));
    EXPECT_FALSE(IsTabulatable(table));
    DeselectAll();
    SelectSketchObject(distance);
    SelectSketchObject(other);
    ASSERT_EQ(ConstructByProgramCommand(139), kResultOK);
    SketchObject* made = nullptr;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
        if (o->objectClass == kClassTable && o != table) made = o;
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(TableDataOf(made)->columnCount, 3);
    EXPECT_EQ(TableDataOf(made)->rowCount, 3);
    EXPECT_EQ(CellText(made, 1, 1), "AB");
    EXPECT_EQ(CellText(made, 1, 2), "AC");
    EXPECT_FALSE(CellText(made, 2, 2).empty());
}

TEST_F(TableCommandTest, ShiftDoubleClickOnATableWithNothingToRemoveBeeps) {
    gEngine.frontSketch = sketch;
    ResetMouseState();
    SetCurrentTool(kToolTranslateArrow);
    table->selectable = 1;
    DeselectSketchObject(table);  // the first click selects it, the second is its double
    const ScreenRect r = table->bounds;
    const ScreenPoint inside = { static_cast<int16_t>((r.left + r.right) / 2), static_cast<int16_t>((r.top + r.bottom) / 2) };
    const int32_t beeps = RefusalBeepCount();
    SketchMouseDown(0, inside);
    SketchMouseUp(0, inside);
    SketchDoubleClick(kMouseShift, inside);
    SketchMouseUp(kMouseShift, inside);
    EXPECT_EQ(RefusalBeepCount(), beeps + 1);
    ResetMouseState();
    gEngine.frontSketch = nullptr;
}

