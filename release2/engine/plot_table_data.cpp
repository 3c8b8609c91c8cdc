#include "release2/engine/plot_table_data.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/calc/tables.h"
#include "engine/calc/typed_number.h"
#include "engine/core/construction_data.h"
#include "engine/core/marks.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/alerts.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/sketch.h"
#include "engine/core/units.h"
#include "engine/interact/construction_commands.h"
#include "engine/text/layout.h"
#include "release2/text/later_texts.h"

namespace {

constexpr int32_t kDialogPlotTable = kDialogPlotTableData;
constexpr int32_t kPlotTableAlert = 413;
constexpr int32_t kPlotTableHelp = 0;
// The calculator group's coordinate names, in heading order: x, y, r, theta.
constexpr int32_t kCoordinateNameItems[4] = { 34, 35, 37, 36 };
constexpr int32_t kTypePlottedXY = 71;
constexpr int32_t kTypePlottedPolar = 72;
constexpr double kDegreeToRadian = 0.017453292519943334;
// Plain text of this length or more is no number.
constexpr int32_t kCellTextLimit = 512;
constexpr const char kNumberChars[] = "01234567890.-^,*+e";
constexpr const char kPairTemplate[] = "<(<H<%1><T', '><%2>>>";

void AlertNoPlottableData() {
    ShowAlert(GroupText(kGroupAlerts, kLaterItemPlotTableTitle), GroupText(kGroupAlerts, kLaterItemPlotTableText),
              kPlotTableAlert, 0, 0, true);
}

void FreeHeadings(ColumnHeadingEntry* entries, int32_t count) {
    if (!entries) return;
    for (int32_t i = 0; i < count; ++i) FreeLayoutNode(entries[i].layout);
    FreeMemory(entries);
}

struct PlottedPair {
    double first;
    double second;
};

struct PlotContext {
    SketchObject*      system;
    const PlottedPair* pairs;
    int32_t            type;
};

SketchObject* CreatePlottedRowPoint(int32_t row, void* userData, uint16_t* outFlags) {
    const auto* c = static_cast<const PlotContext*>(userData);
    PtrList parents = 0;
    PtrList data = 0;
    const double values[2] = { c->pairs[row].first, c->pairs[row].second };
    if (!AllocPtrList(1, 1, &parents) || !MakeConstructionData(values, sizeof values, &data)) {
        FreePtrList(&parents);
        FreePtrList(&data);
        return nullptr;
    }
    PtrListData(parents)[0] = c->system;
    SketchObject* point = ConstructObject(c->type, nullptr, parents, data, true, false, outFlags);
    return point ? AutoLabelNewObject(point) : nullptr;
}

}  // namespace

bool IsNumberChar(char c) { return c != '\0' && std::strchr(kNumberChars, c) != nullptr; }

void TrimToNumberChars(const char* text, int32_t* length) {
    int32_t n = 0;
    while (n < *length && IsNumberChar(text[n])) ++n;
    if (n > 0) *length = n;
}

bool ParseCellNumber(SketchObject* table, int32_t row, int32_t column, double* value) {
    const TableData* d = TableDataOf(table);
    if (!d->cells || row < 0 || row >= d->rowCount || column < 1 || column >= d->columnCount) return false;
    LayoutNode* layout = TableCellAt(table, row, column)->layout;
    if (!layout) return false;
    LayoutWriteContext context{ nullptr, nullptr, kWritePlainText, nullptr };
    int32_t length = SerializeLayout(layout, nullptr, &context);
    if (length <= 0 || length >= kCellTextLimit) return false;
    char text[kCellTextLimit];
    SerializeLayout(layout, text, &context);
    TrimToNumberChars(text, &length);
    if (!IsNumberChar(text[0])) return false;
    text[length] = '\0';
    double v = 0;
    // An overflow ("1e999", "9^999") is no number: the plot needs finite coordinates.
    if (!ParseTypedNumber(text, &v) || !std::isfinite(v)) return false;
    *value = v;
    return true;
}

bool ColumnHasNumbers(SketchObject* table, int32_t column) {
    double ignored = 0;
    for (int32_t row = 2; row < TableDataOf(table)->rowCount; ++row) {
        if (ParseCellNumber(table, row, column, &ignored)) return true;
    }
    return false;
}

LayoutNode* BuildColumnHeadingLayout(SketchObject* table, int32_t column, int32_t labelLevel) {
    return TableHeaderLayoutAtLevel(table, column, labelLevel);
}

LayoutNode* CreateGroupTextNode(int32_t item) {
    const char* text = GroupText(kGroupCalculator, item);
    return LayoutFromPlainText(text, static_cast<int32_t>(std::strlen(text)), 0);
}

int32_t FillPairPlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                            LayoutParseContext* context) {
    *out = nullptr;
    const auto* r = static_cast<const PlotTableDialogRecord*>(context->user);
    if (length != 1 || (content[0] != '1' && content[0] != '2')) return kLayoutParseSyntax;
    const DialogField& choice = content[0] == '1' ? r->firstColumn : r->secondColumn;
    auto* table = static_cast<SketchObject*>(r->table.value.pointer);
    LayoutNode* heading = BuildColumnHeadingLayout(table, choice.value.integer - 1, 0);
    if (!heading) return kLayoutParseNoMemory;
    if (parent) AppendLayoutChild(parent, heading);
    *out = heading;
    return kLayoutParseOK;
}

LayoutNode* BuildCoordinatePairLayout(const PlotTableDialogRecord* record) {
    LayoutParseContext context{ nullptr, FillPairPlaceholder, const_cast<PlotTableDialogRecord*>(record), 0 };
    LayoutNode* pair = nullptr;
    if (ParseLayoutString(&pair, kPairTemplate, &context) >= kLayoutParseNoMemory) {
        FreeLayoutNode(pair);
        return nullptr;
    }
    return pair;
}

bool ChoosePlotColumns(SketchObject* table, int32_t* firstColumn, int32_t* secondColumn, bool* polar) {
    const int32_t columns = TableDataOf(table)->columnCount;
    if (columns < 2) {
        AlertNoPlottableData();
        return false;
    }
    // A cell whose parse ran out of memory would pass for text: any failed request ends
    // the command.
    const uint64_t failures = FailedAllocCount();
    const int32_t count = columns + 3;
    auto* entries = static_cast<ColumnHeadingEntry*>(AllocMemory(sizeof(ColumnHeadingEntry) * size_t(count), 0));
    if (!entries) return false;
    std::memset(entries, 0, sizeof(ColumnHeadingEntry) * size_t(count));
    for (int32_t i = 0; i < 4; ++i) {
        entries[i].layout = CreateGroupTextNode(kCoordinateNameItems[i]);
        if (!entries[i].layout) {
            FreeHeadings(entries, count);
            return false;
        }
    }
    int32_t first = 0, second = 0;
    for (int32_t c = 1; c < columns; ++c) {
        ColumnHeadingEntry& e = entries[HeadingEntryOfColumn(c)];
        e.layout = BuildColumnHeadingLayout(table, c, 1);
        if (!e.layout) {
            FreeHeadings(entries, count);
            return false;
        }
        e.hasNumbers = ColumnHasNumbers(table, c);
        if (!e.hasNumbers) continue;
        if (first == 0) first = c;
        else if (second == 0) second = c;
    }
    if (FailedAllocCount() != failures) {
        FreeHeadings(entries, count);
        return false;
    }
    if (first == 0) {
        AlertNoPlottableData();
        FreeHeadings(entries, count);
        return false;
    }
    if (second == 0) second = first;

    PlotTableDialogRecord r{};
    r.firstColumn = { kFieldInteger, kFieldEnabled | kFieldVisible, {}, columns, 1 };
    r.firstColumn.value.integer = first + 1;
    r.secondColumn = { kFieldInteger, kFieldEnabled | kFieldVisible, {}, columns, 1 };
    r.secondColumn.value.integer = second + 1;
    r.polar = { kFieldFlag, kFieldEnabled | kFieldVisible, {}, 1, 0 };
    r.polar.value.integer = *polar ? 1 : 0;
    r.headings = { kFieldObjectList, 0, {}, count, 0 };
    r.headings.value.pointer = entries;
    r.table = { kFieldObject, 0, {}, 0, 0 };
    r.table.value.pointer = table;
    bool ok = RunCommandDialog(kDialogPlotTable, &r, nullptr, kPlotTableHelp, 0);
    if (ok) {
        // Only a column that holds numbers can be plotted, whatever the dialog answered.
        const int32_t a = r.firstColumn.value.integer - 1, b = r.secondColumn.value.integer - 1;
        ok = a >= 1 && a < columns && b >= 1 && b < columns && entries[HeadingEntryOfColumn(a)].hasNumbers &&
             entries[HeadingEntryOfColumn(b)].hasNumbers;
        if (ok) {
            *firstColumn = a;
            *secondColumn = b;
            *polar = r.polar.value.integer != 0;
        }
    }
    FreeHeadings(entries, count);
    return ok;
}

int32_t FitCoordSystemUnits(double halfWidth, double halfHeight, double unit, double maxX, double maxY,
                            double* unitX, double* unitY) {
    *unitX = *unitY = unit;
    if (!(halfWidth / unit < maxX || halfHeight / unit < maxY)) return kGridSquare;
    const double extentX = std::max(halfWidth / unit, 1.1 * maxX);
    const double extentY = std::max(halfHeight / unit, 1.1 * maxY);
    const double scaleX = halfWidth / extentX, scaleY = halfHeight / extentY;
    if (extentX > 10 * extentY || extentY > 10 * extentX) {
        *unitX = scaleX;
        *unitY = scaleY;
        return kGridRectangular;
    }
    *unitX = *unitY = std::min(scaleX, scaleY);
    return kGridSquare;
}

int32_t PlotTableData() {
    Sketch* sketch = CurrentSketch();
    SketchObject* table = sketch ? sketch->selectionHead : nullptr;
    if (!table || table->objectClass != kClassTable) return 0;
    const SketchObject* existing = GetCoordinateSystem(kGridSquare, false, nullptr);
    bool polar = existing && CoordSystemOf(existing)->gridForm == kGridPolar;
    int32_t first = 0, second = 0;
    if (!ChoosePlotColumns(table, &first, &second, &polar)) return 0;

    const int32_t rows = TableDataOf(table)->rowCount;
    auto* pairs = static_cast<PlottedPair*>(AllocMemory(sizeof(PlottedPair) * size_t(std::max(rows, 1)), 0));
    if (!pairs) return 0;
    if (rows < 3) {
        AlertNoPlottableData();
        FreeMemory(pairs);
        return 0;
    }
    const bool degrees = CurrentSketchAngleUnit() != kAngleRadians;
    int32_t taken = 0;
    CoordSystemExtents extents{ 0, 0 };
    const uint64_t failures = FailedAllocCount();
    // A batch counts its objects in 16 bits.
    for (int32_t row = 2; row < rows && taken < 0xFFFF; ++row) {
        double a = 0, b = 0;
        if (!ParseCellNumber(table, row, first, &a) || !ParseCellNumber(table, row, second, &b)) continue;
        if (polar && degrees) b *= kDegreeToRadian;
        pairs[taken++] = { a, b };
        extents.maxX = std::max(extents.maxX, std::fabs(a));
        extents.maxY = std::max(extents.maxY, std::fabs(b));
    }
    // Rows skipped for want of memory would make a partial plot.
    if (FailedAllocCount() != failures) {
        FreeMemory(pairs);
        return 0;
    }
    if (taken == 0) {
        AlertNoPlottableData();
        FreeMemory(pairs);
        return 0;
    }
    SketchObject* made = nullptr;
    if (SketchObject* system = GetCoordinateSystemEx(polar ? kGridPolar : kGridSquare, true, nullptr, false, &extents)) {
        PlotContext context{ system, pairs, polar ? kTypePlottedPolar : kTypePlottedXY };
        const ObjectBatch batch = { 1, 0, uint16_t(taken), CreatePlottedRowPoint, StandardBatchUnwind, &context, -1 };
        made = BuildObjectsWithUndo(&batch);
    }
    FreeMemory(pairs);
    return made ? 1 : 0;
}
