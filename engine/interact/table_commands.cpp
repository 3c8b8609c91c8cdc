// Add Table Data and Remove Table Data: the two dialogs on the most recently selected
// table, and what their choices do to it.
#include "engine/interact/table_commands.h"

#include "engine/calc/tables.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/sketch.h"
#include "engine/interact/command_executors.h"

namespace {

constexpr int32_t kHelpTableData = 45;

SketchObject* SelectedTable() {
    const Sketch* sketch = CurrentSketch();
    for (SketchObject* o = sketch ? sketch->selectionHead : nullptr; o; o = o->nextSelected)
        if (o->objectClass == kClassTable) return o;
    return nullptr;
}

}  // namespace

void InitTableEntryDialogRecord(TableEntryDialogRecord* record, const SketchObject* table) {
    const TableData* d = TableDataOf(table);
    *record = TableEntryDialogRecord{};
    record->count.value.integer = d->autoAddRemaining > 0 ? d->autoAddRemaining : kDefaultEntryCount;
    record->seconds.value.real = d->autoAddDelay / 1000.0;
}

ResultCode AddTableEntryCommand(int32_t) {
    SketchObject* table = SelectedTable();
    if (!table) return kResultOK;
    TableEntryDialogRecord record;
    InitTableEntryDialogRecord(&record, table);
    if (!RunCommandDialog(kDialogAddTableData, &record, nullptr, kHelpTableData, 0)) return kResultOK;
    if (record.choice.value.integer == kAddOneEntryNow) return AddTableEntry(table);
    StartTableCollection(table, record.count.value.integer, record.seconds.value.real);
    return kResultOK;
}

ResultCode RemoveTableEntryCommand(int32_t) {
    SketchObject* table = SelectedTable();
    if (!table) return kResultOK;
    TableRemoveDialogRecord record{};
    if (!RunCommandDialog(kDialogRemoveTableData, &record, nullptr, kHelpTableData, 0)) return kResultOK;
    if (record.choice.value.integer == kRemoveAllEntries) RemoveAllTableEntries(table);
    else RemoveTableEntry(table);
    return kResultOK;
}
