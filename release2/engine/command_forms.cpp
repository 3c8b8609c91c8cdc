#include "release2/engine/command_forms.h"

#include <vector>

#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"
#include "engine/interact/menu_state_queries.h"
#include "engine/interact/menu_texts.h"
#include "engine/interact/selection_census.h"
#include "engine/text/object_labels.h"
#include "release2/engine/label_multiple.h"
#include "release2/engine/plot_table_data.h"
#include "release2/text/later_texts.h"
#include "ui/portable/menu_stream.h"

namespace {

constexpr uint16_t kHostSaveExecutor = 8;
constexpr int32_t kSaveAsDocument = 1;
constexpr int32_t kSaveAsWebPage = 2;

// "Save As" takes its text from Shift: it sits in the group that the Shift state and
// the opening and closing of documents refresh.
constexpr CommandRow kSaveAsRow = { FixedStateWord(menu_text::kTextSaveAsEllipsis, kHostSaveExecutor),
                                    kCommandGroupPreferences, kQuerySaveAs, RowRunsWhenMemoryShort, 0 };
constexpr CommandRow kLabelRow = { 0, kCommandGroupSelection, kQueryLabel, RowInObjectContextMenu, 0 };
constexpr uint32_t kSaveAsRowNumber = 18;
// Plot Table Data works on the selection and is offered by the context menu over a table.
constexpr CommandRow kPlotTableDataRowEntry = { 0, kCommandGroupSelection, kQueryPlotTableData,
                                                RowInObjectContextMenu, 0 };
// Menu codes of the items the later commands follow: "Show Labels", "Plot Points".
constexpr uint16_t kShowLabelsMenuCode = 67;
constexpr uint16_t kPlotPointsMenuCode = 58;

int32_t ExecuteLater(uint32_t executor, int32_t argument) {
    switch (executor) {
    case kLabelCommandExecutor: return LabelCommand(argument);
    case kPlotTableDataExecutor: PlotTableData(); return kResultOK;
    default: return 0;
    }
}

bool QueryLater(uint32_t query, uint32_t item, uint16_t stateWord, uint16_t* text, uint16_t* variant,
                uint16_t* executor, int32_t* argument) {
    switch (query) {
    case kQuerySaveAs: return SaveAsMenuState(item, stateWord, text, variant, executor, argument);
    case kQueryLabel: return LabelMenuState(item, stateWord, text, variant, executor, argument);
    case kQueryPlotTableData: return PlotTableDataMenuState(item, stateWord, text, variant, executor, argument);
    default: return false;
    }
}

bool CanBeLabelled(const SketchObject* o) {
    return LabelFollowsGeometry(o) || o->objectClass == kClassCalculation || o->objectClass == kClassMeasurement;
}

}  // namespace

bool SaveAsMenuState(uint32_t, uint16_t, uint16_t* text, uint16_t* variant, uint16_t* executor, int32_t* argument) {
    const bool shift = CensusShiftState() != 0;
    *text = shift ? uint16_t(kLaterItemSaveAsHtml) : uint16_t(menu_text::kTextSaveAsEllipsis);
    *variant = kVariantPlain;
    *executor = kHostSaveExecutor;
    *argument = shift ? kSaveAsWebPage : kSaveAsDocument;
    return CurrentSketch() != nullptr;
}

bool LabelMenuState(uint32_t, uint16_t, uint16_t* text, uint16_t* variant, uint16_t* executor, int32_t* argument) {
    const Sketch* sketch = CurrentSketch();
    const SketchObject* first = sketch ? sketch->selectionHead : nullptr;
    const bool several = first && first->nextSelected;
    *text = several ? kLaterItemLabelMultiple : kLaterItemLabelObject;
    *variant = kVariantPlain;
    *executor = kLabelCommandExecutor;
    *argument = 0;
    return several || (first && CanBeLabelled(first));
}

bool PlotTableDataMenuState(uint32_t, uint16_t, uint16_t* text, uint16_t* variant, uint16_t* executor,
                            int32_t* argument) {
    *text = kLaterItemPlotTableData;
    *variant = kVariantPlain;
    *executor = kPlotTableDataExecutor;
    *argument = 0;
    const Sketch* sketch = CurrentSketch();
    const SketchObject* only = sketch ? sketch->selectionHead : nullptr;
    return only && !only->nextSelected && only->objectClass == kClassTable;
}

const CommandRow* LaterCommandRow(uint32_t row) {
    switch (row) {
    case kSaveAsRowNumber: return &kSaveAsRow;
    case kLabelCommandRow: return &kLabelRow;
    case kPlotTableDataRow: return &kPlotTableDataRowEntry;
    default: return nullptr;
    }
}

bool LaterMenuCodeToRow(uint32_t code, uint32_t* row) {
    switch (code) {
    case kLabelCommandMenuCode: *row = kLabelCommandRow; return true;
    case kPlotTableDataMenuCode: *row = kPlotTableDataRow; return true;
    default: return false;
    }
}

const uint8_t* LaterDefaultMenuStream(uint32_t* length) {
    // Built once.
    static const std::vector<uint8_t> stream = [] {
        size_t n = 0;
        const uint8_t* shared = menu_stream::DefaultMenuStreamBytes(&n);
        std::vector<uint8_t> labelled, out;
        if (!menu_stream::InsertCommandAfter(shared, n, kShowLabelsMenuCode, kLabelCommandMenuCode, &labelled) ||
            !menu_stream::InsertCommandAfter(labelled.data(), labelled.size(), kPlotPointsMenuCode,
                                             kPlotTableDataMenuCode, &out))
            out.assign(shared, shared + n);
        return out;
    }();
    *length = uint32_t(stream.size());
    return stream.data();
}

void AddCommandForms(LaterReleaseForms* forms) {
    forms->commands.row = LaterCommandRow;
    forms->commands.menuCodeToRow = LaterMenuCodeToRow;
    forms->commands.execute = ExecuteLater;
    forms->commands.queryState = QueryLater;
    forms->commands.defaultMenuStream = LaterDefaultMenuStream;
}
