#include "release2/commands/later_commands.h"

#include <iterator>
#include <vector>

#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"
#include "release2/commands/plot_table_data.h"
#include "release2/text/later_texts.h"
#include "ui/portable/menu_stream.h"

namespace {

// Rows from kCommandRowCount on. Plot Table Data works on the selection and is offered by
// the context menu over a table.
const CommandRow kLaterRows[] = {
    // stateWord, group, stateQuery, flags, reserved
    { 0, kCommandGroupSelection, kQueryPlotTableData, RowInObjectContextMenu, 0 },  // Plot Table Data
};

// Enabled when the one selected object of the current sketch is a table.
bool PlotTableDataMenuState(uint16_t* text, uint16_t* variant, uint16_t* executor, int32_t* argument) {
    *text = kLaterItemPlotTableData;
    *variant = 0;
    *executor = kPlotTableDataExecutor;
    *argument = 0;
    const Sketch* sketch = CurrentSketch();
    const SketchObject* only = sketch ? sketch->selectionHead : nullptr;
    return only && !only->nextSelected && only->objectClass == kClassTable;
}

}  // namespace

const CommandRow* LaterCommandRow(uint32_t row) {
    if (row < kCommandRowCount || row - kCommandRowCount >= std::size(kLaterRows)) return nullptr;
    return &kLaterRows[row - kCommandRowCount];
}

bool LaterMenuCodeRow(uint32_t code, uint32_t* row) {
    if (code != kPlotTableDataCode) return false;
    *row = kPlotTableDataRow;
    return true;
}

bool LaterStateQuery(uint8_t query, uint32_t, uint16_t, uint16_t* text, uint16_t* variant, uint16_t* executor,
                     int32_t* argument) {
    if (query != kQueryPlotTableData) return false;
    return PlotTableDataMenuState(text, variant, executor, argument);
}

int32_t RunLaterExecutor(uint16_t executor, int32_t) {
    if (executor == kPlotTableDataExecutor) PlotTableData();
    return kResultOK;
}

const uint8_t* LaterMenuStream(size_t* length) {
    static const std::vector<uint8_t> stream = [] {
        using namespace menu_stream;
        std::vector<uint8_t> bytes;
        size_t n = 0;
        const uint8_t* shared = DefaultMenuStreamBytes(&n);
        MenuStreamTree tree;
        if (ReadMenuStream(shared, n, &tree) != ReadResult::Ok) return bytes;
        for (MenuStreamPopup& popup : tree.popups) {
            for (size_t i = 0; i < popup.items.size(); ++i) {
                const MenuStreamItem& item = popup.items[i];
                if (item.kind != ItemKind::Command || item.code != kPlotPointsCode) continue;
                popup.items.insert(popup.items.begin() + std::ptrdiff_t(i) + 1,
                                   { ItemKind::Command, uint16_t(kPlotTableDataCode), 0 });
                ++tree.reserveCount;
                if (!WriteMenuStream(tree, &bytes)) bytes.clear();
                return bytes;
            }
        }
        return bytes;
    }();
    if (stream.empty()) return menu_stream::DefaultMenuStreamBytes(length);
    *length = stream.size();
    return stream.data();
}
