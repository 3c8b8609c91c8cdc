#include "engine/calc/tables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/calc/standin_engine.h"
#include "engine/core/alerts.h"
#include "engine/core/copy_map.h"
#include "engine/core/iterations.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/command_groups.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/text_objects.h"
#include "engine/core/services/text_port.h"
#include "engine/text/layout.h"

namespace {

constexpr int32_t kGroupTableTexts = 3;
constexpr int32_t kItemIterationNumber = 21;  // "n"
// Room kept under the clamped bottom of a table drawn up to the screen's limit.
constexpr int32_t kClampedBottomMargin = 50;

TableCell* At(TableData* d, int32_t row, int32_t column) {
    return &d->cells[static_cast<size_t>(row) * static_cast<size_t>(d->columnCount) + static_cast<size_t>(column)];
}

int32_t Gap() { return DrawingMetrics.intMetricsB[kMetricTableGap]; }
int32_t CellMargin() { return DrawingMetrics.intMetricsB[kMetricTableCellMargin]; }

void FreeCellLayouts(TableCell* cells, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (cells[i].layout) FreeLayoutNode(cells[i].layout);
        cells[i].layout = nullptr;
    }
}

void FreeGridRecordCells(TableGridRecord* record) {
    if (!record || !record->cells) return;
    if (record->rows > 0 && record->columns > 0)
        FreeCellLayouts(record->cells, static_cast<size_t>(record->rows) * static_cast<size_t>(record->columns));
    FreeMemory(record->cells);
    record->cells = nullptr;
}

void ReleaseGrid(TableData* d) {
    if (d->cells) {
        FreeCellLayouts(d->cells, static_cast<size_t>(std::max(d->rowCapacity, 0)) *
                                      static_cast<size_t>(std::max(d->columnCount, 0)));
        FreeMemory(d->cells);
    }
    d->cells = nullptr;
    d->rowCount = 0;
    d->rowCapacity = 0;
}

// Bytes of a grid, or 0 when the count cannot be had on this machine.
size_t GridBytes(int32_t rows, int32_t columns) {
    if (rows <= 0 || columns <= 0) return 0;
    const uint64_t bytes = uint64_t(rows) * uint64_t(columns) * sizeof(TableCell);
    return bytes > std::numeric_limits<size_t>::max() / 2 ? 0 : static_cast<size_t>(bytes);
}

bool IsGiven(const SketchObject* o) {
    const Sketch* s = CurrentSketch();
    return s && o->givenIndex >= 0 && o->givenIndex < s->givenKindCount;
}

LayoutNode* TextLayout(const char* text) { return CreateTextRunWith(text, nullptr); }

// The images the iteration makes (its seeds' own row not counted); 0 for anything else.
int32_t IterationImageCount(const SketchObject* iteration) {
    if (!iteration || iteration->objectClass != kClassIteration) return 0;
    return std::max(IterationDataOf(iteration)->imageCount, 0);
}

// The only text run of a subtree, or null when it has none or several, or other leaves.
LayoutNode* OnlyTextRun(LayoutNode* root) {
    LayoutNode* found = nullptr;
    bool other = false;
    ForEachLayoutNode(root, [&](LayoutNode* node) {
        if (node->kind == kLayoutTextRun) {
            other = other || found;
            found = node;
        } else if (!node->firstChild && node != root) {
            other = true;
        }
        return !other;
    });
    return other ? nullptr : found;
}

// In a table of iterated values a name subscripted "0" reads "n", one subscripted "1"
// reads "n+1": the columns show every step, not the first.
void SubscriptsForIteration(LayoutNode* root) {
    if (!root) return;
    ForEachLayoutNode(root, [](LayoutNode* node) {
        // A subscript node holds the base and, last, the subscript itself.
        if (node->kind == kLayoutSubscript && LayoutChildCount(node) == 2) {
            if (LayoutNode* run = OnlyTextRun(LastLayoutChild(node))) {
                int32_t length = 0;
                const char* text = GetTextRun(run, &length);
                if (length == 1 && text[0] == '0') SetTextRunString(run, "n");
                else if (length == 1 && text[0] == '1') SetTextRunString(run, "n+1");
            }
        }
        return true;
    });
}

void SetBoundsFromContent(SketchObject* t, const TableData* d) {
    t->bounds.right = RoundToScreen(double(t->bounds.left) + d->contentWidth);
    t->bounds.bottom = RoundToScreen(double(t->bounds.top) + d->contentHeight);
}

uint32_t TextColorOf(const SketchObject* t) {
    const TextStyle& s = t->textStyle;
    if (s.field[kStyleRed] == 0) return t->color;
    return (uint32_t(s.field[kStyleRed] - 1) & 0xFF) | (uint32_t(s.field[kStyleGreen] - 1) & 0xFF) << 8 |
           (uint32_t(s.field[kStyleBlue] - 1) & 0xFF) << 16;
}

void SetStyleColor(TextStyle* style, uint32_t color) {
    style->field[kStyleRed] = static_cast<int16_t>((color & 0xFF) + 1);
    style->field[kStyleGreen] = static_cast<int16_t>((color >> 8 & 0xFF) + 1);
    style->field[kStyleBlue] = static_cast<int16_t>((color >> 16 & 0xFF) + 1);
}

void Line(LayoutDrawState* state, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const ScreenPoint points[2] = { { RoundToScreen(x1), RoundToScreen(y1) }, { RoundToScreen(x2), RoundToScreen(y2) } };
    PortDrawPolyline(state, points, 2);
}

// Recomputes the table with automatic collection held, so that no entry is added by it.
void RecomputeHeld(SketchObject* t) {
    TableData* d = TableDataOf(t);
    const int32_t remaining = d->autoAddRemaining;
    d->autoAddRemaining = 0;
    RecomputeAndRedrawObject(t);
    TableDataOf(t)->autoAddRemaining = remaining;
}

}  // namespace

// ---- Class data

int32_t InitTableData(SketchObject* t, void* parameter) {
    auto* record = static_cast<TableGridRecord*>(parameter);
    if (!t) {
        FreeGridRecordCells(record);
        return 1;
    }
    TableData* d = TableDataOf(t);
    ReleaseGrid(d);
    const int32_t parents = static_cast<int32_t>(ParentCountOf(t));
    d->columnCount = parents + 1;
    d->trackLastRow = 0;
    d->contentWidth = d->contentHeight = 0;
    d->iterationRows = 0;
    if (t->constructionType == kTypeIterationTable) {
        const SketchObject* first = parents > 0 ? ParentItemsOf(t)[0] : nullptr;
        d->iterationRows = IterationImageCount(first) + 1;
        const int32_t rows = std::min(d->iterationRows + 2, kMaxIterationTableRows);
        d->rowCount = ResizeTableCells(t, rows, d->columnCount) ? rows : 0;
        FreeGridRecordCells(record);
    } else if (record && record->rows > 0 && record->cells) {
        if (record->columns != d->columnCount) {
            FreeGridRecordCells(record);
            return 0;
        }
        d->cells = record->cells;
        d->rowCount = d->rowCapacity = record->rows;
        record->cells = nullptr;
        // Every table has its metric and header rows.
        if (d->rowCapacity < 2 && !ResizeTableCells(t, 2, d->columnCount)) {
            ReleaseGrid(d);
            return 0;
        }
        d->rowCount = std::max(d->rowCount, 2);
        // A table played from a custom tool or pasted shows the names of its new parents.
        const int32_t mode = CurrentCloneMode();
        if (mode == kClonePlayback || mode == kClonePaste) {
            for (int32_t c = 1; c < d->columnCount; ++c) {
                TableCell* cell = At(d, 1, c);
                if (cell->layout) FreeLayoutNode(cell->layout);
                *cell = TableCell{};
            }
        }
    } else {
        FreeGridRecordCells(record);
        if (!ResizeTableCells(t, kTableRowStep, d->columnCount)) return 0;
        d->rowCount = 2;
    }
    d->autoAddRemaining = 0;
    d->autoAddDelay = kDefaultAutoAddDelay;
    d->autoAddDeadline = 0;
    t->label.level = kLabelDerived;
    ScreenPoint p{};
    if (record && CurrentCloneMode() != kClonePlayback) p = { record->left, record->top };
    else DefaultObjectPosition(&p, kClassTable);
    t->bounds = { p.x, p.y, p.x, p.y };
    d->trackLastRow = record ? (record->track ? 1 : 0) : (t->constructionType == kTypeIterationTable ? 0 : 1);
    if (d->cells) RelayoutTableCells(t);
    return 1;
}

void FreeTableData(SketchObject* t) {
    TableData* d = TableDataOf(t);
    ReleaseGrid(d);
    if (d->readRecord) {
        FreeGridRecordCells(d->readRecord);
        FreeMemory(d->readRecord);
        d->readRecord = nullptr;
    }
}

ResultCode FinishTableFromRecord(SketchObject* t) {
    TableData* d = TableDataOf(t);
    TableGridRecord* record = d->readRecord;
    d->readRecord = nullptr;
    // A stored grid for other parents cannot be shown; any other failure is memory.
    const bool fits = !record || t->constructionType == kTypeIterationTable || record->rows <= 0 || !record->cells ||
                      record->columns == static_cast<int32_t>(ParentCountOf(t)) + 1;
    // A new table's label is derived; a read one keeps the label read with it.
    const int32_t level = t->label.level;
    const int32_t ok = InitTableData(t, record);
    if (level != kLabelNone) t->label.level = level;
    if (record) {
        FreeGridRecordCells(record);
        FreeMemory(record);
    }
    if (!fits) return kResultGridDoesNotFit;
    return ok ? kResultOK : kResultOutOfMemory;
}

TableCell* TableCellAt(SketchObject* t, int32_t row, int32_t column) { return At(TableDataOf(t), row, column); }

bool ResizeTableCells(SketchObject* t, int32_t rows, int32_t columns) {
    TableData* d = TableDataOf(t);
    const size_t bytes = GridBytes(rows, columns);
    if (bytes == 0) return false;
    if (d->cells && columns == d->columnCount) {
        if (rows <= d->rowCapacity) return true;
        if (!ReallocMemoryOf(&d->cells, bytes, false)) return false;
        const size_t kept = static_cast<size_t>(d->rowCapacity) * static_cast<size_t>(columns);
        std::memset(d->cells + kept, 0, bytes - kept * sizeof(TableCell));
        d->rowCapacity = rows;
        return true;
    }
    auto* cells = static_cast<TableCell*>(AllocMemory(bytes, kAllocZero));
    if (!cells) return false;
    if (d->cells) {
        // Only a grid made before its parents were known changes its columns.
        for (int32_t r = 0; r < d->rowCapacity; ++r) {
            for (int32_t c = 0; c < d->columnCount; ++c) {
                TableCell* old = At(d, r, c);
                if (r < rows && c < columns) cells[size_t(r) * size_t(columns) + size_t(c)] = *old;
                else if (old->layout) FreeLayoutNode(old->layout);
            }
        }
        FreeMemory(d->cells);
    }
    d->cells = cells;
    d->rowCapacity = rows;
    d->rowCount = std::min(d->rowCount, rows);
    d->columnCount = columns;
    return true;
}

void MeasureTableCell(SketchObject* t, LayoutNode* layout, int32_t* width, int32_t* height) {
    const int32_t m = CellMargin();
    *width = 2 * m;
    *height = 2 * m;
    if (!layout) return;
    if (layout->dirty) {
        Sketch* sketch = CurrentSketch();
        GraphicsPort* port = AcquireMeasurePort(sketch);
        LayoutDrawState state{ port, t->textStyle, 0, 0 };
        MeasureLayout(layout, &state);
        ReleaseMeasurePort(sketch, port);
    }
    *width += layout->width + layout->overhang;
    *height += layout->ascent + layout->descent;
}

namespace {

// Stores in the metric cell the largest height (or width) of cells 1 .. count - 1 of a row
// (or column), `at` giving the cell of each index; whether it changed.
template <typename CellAt>
bool FitMetric(SketchObject* t, TableCell* metric, int32_t count, bool height, CellAt at) {
    int32_t most = 0;
    for (int32_t i = 1; i < count; ++i) {
        int32_t w = 0, h = 0;
        MeasureTableCell(t, at(i)->layout, &w, &h);
        most = std::max(most, height ? h : w);
    }
    if (metric->metric == most) return false;
    metric->metric = most;
    return true;
}

}  // namespace

bool FitRowHeight(SketchObject* t, int32_t row) {
    TableData* d = TableDataOf(t);
    return FitMetric(t, At(d, row, 0), d->columnCount, true, [&](int32_t c) { return At(d, row, c); });
}

bool FitColumnWidth(SketchObject* t, int32_t column) {
    TableData* d = TableDataOf(t);
    return FitMetric(t, At(d, 0, column), d->rowCount, false, [&](int32_t r) { return At(d, r, column); });
}

bool SetTableCell(SketchObject* t, int32_t row, int32_t column, LayoutNode* layout) {
    TableData* d = TableDataOf(t);
    TableCell* cell = At(d, row, column);
    const bool hadOld = cell->layout != nullptr;
    int32_t oldWidth = 0, oldHeight = 0;
    if (hadOld) {
        MeasureTableCell(t, cell->layout, &oldWidth, &oldHeight);
        FreeLayoutNode(cell->layout);
    }
    cell->layout = layout;
    int32_t width = 0, height = 0;
    MeasureTableCell(t, layout, &width, &height);
    bool changed = false;
    const int32_t rowHeight = At(d, row, 0)->metric, columnWidth = At(d, 0, column)->metric;
    if (height > rowHeight || (hadOld && oldHeight == rowHeight)) changed |= FitRowHeight(t, row);
    if (width > columnWidth || (hadOld && oldWidth == columnWidth)) changed |= FitColumnWidth(t, column);
    return changed;
}

void ComputeTableSize(SketchObject* t) {
    TableData* d = TableDataOf(t);
    const int64_t g = Gap();
    int64_t width = 3 * g, height = 3 * g;
    if (d->cells) {
        for (int32_t c = 1; c < d->columnCount; ++c) width += At(d, 0, c)->metric + g;
        for (int32_t r = 1; r < d->rowCount; ++r) height += At(d, r, 0)->metric + g;
    }
    d->contentWidth = static_cast<int32_t>(std::min<int64_t>(width, 2 * kScreenLimit));
    d->contentHeight = static_cast<int32_t>(std::min<int64_t>(height, 2 * kScreenLimit));
    SetBoundsFromContent(t, d);
}

void RelayoutTableCells(SketchObject* t) {
    TableData* d = TableDataOf(t);
    if (!d->cells) return;
    for (int32_t r = 1; r < d->rowCount; ++r)
        for (int32_t c = 1; c < d->columnCount; ++c)
            if (LayoutNode* l = At(d, r, c)->layout) MarkLayoutSubtreeDirty(l);
    for (int32_t r = 1; r < d->rowCount; ++r) FitRowHeight(t, r);
    for (int32_t c = 1; c < d->columnCount; ++c) FitColumnWidth(t, c);
    ComputeTableSize(t);
}

void RemoveLastTableRow(SketchObject* t) {
    TableData* d = TableDataOf(t);
    if (!d->cells || d->rowCount <= 0) return;
    const int32_t row = --d->rowCount;
    for (int32_t c = 1; c < d->columnCount; ++c) {
        TableCell* cell = At(d, row, c);
        if (!cell->layout) continue;
        int32_t w = 0, h = 0;
        MeasureTableCell(t, cell->layout, &w, &h);
        FreeLayoutNode(cell->layout);
        cell->layout = nullptr;
        if (w == At(d, 0, c)->metric) FitColumnWidth(t, c);
    }
    At(d, row, 0)->metric = 0;
}

// ---- Headers and values

LayoutNode* TableHeaderLayout(SketchObject* t, int32_t column) { return TableHeaderLayoutAtLevel(t, column, 0); }

LayoutNode* TableHeaderLayoutAtLevel(SketchObject* t, int32_t column, int32_t labelLevel) {
    const bool iteration = t->constructionType == kTypeIterationTable;
    if (iteration && column == 1) {
        char text[64];
        GetGroupString(kGroupTableTexts, kItemIterationNumber, text, sizeof text);
        return TextLayout(text);
    }
    const int32_t count = static_cast<int32_t>(ParentCountOf(t));
    if (column < 1 || column > count) return nullptr;
    SketchObject* o = ParentItemsOf(t)[column - 1];
    if (KindIsA(o->objectKind, kKindMergedText)) {
        // A merged text that shows one value is named by that value.
        SketchObject* shown = nullptr;
        int32_t matches = 0;
        const int32_t n = static_cast<int32_t>(ParentCountOf(o));
        SketchObject* const* items = ParentItemsOf(o);
        for (int32_t i = 0; i < n; ++i) {
            if (KindIsA(items[i]->objectKind, kKindCalculation) || KindIsA(items[i]->objectKind, kKindAnalyticMeasure)) {
                shown = items[i];
                ++matches;
            }
        }
        if (matches == 1) o = shown;
    }
    if (KindIsA(o->objectKind, kKindAnalyticMeasure) && ParentCountOf(o) > 0) o = ParentItemsOf(o)[0];
    LayoutNode* name = BuildObjectLabelLayout(o, nullptr, false, labelLevel != 0);
    if (iteration) SubscriptsForIteration(name);
    return name;
}

bool FillTableHeaders(SketchObject* t) {
    TableData* d = TableDataOf(t);
    if (!d->cells || d->rowCapacity < 2) return false;
    bool changed = false;
    for (int32_t c = 1; c < d->columnCount; ++c) {
        if (At(d, 1, c)->layout) continue;
        if (LayoutNode* header = TableHeaderLayout(t, c)) {
            changed |= SetTableCell(t, 1, c, header);
            d = TableDataOf(t);
        }
    }
    return changed;
}

LayoutNode* ValueLayoutOf(SketchObject* o) {
    if (!o || o->exists != 1) return nullptr;
    GetDisplayPartsFn parts = ObjectClassTable[o->objectClass].getDisplayParts;
    const DisplayPartsOps* ops = parts ? parts(o) : nullptr;
    if (!ops || !ops->hasValue(o) || ops->partCount(o) <= 0) return nullptr;
    int32_t flatten = 0, join = 0, wrap = 0, owned = 0;
    TextStyle style{};
    LayoutNode* part = ops->buildPart(o, 0, &flatten, &join, &wrap, &style, &owned);
    if (!part) return nullptr;
    LayoutNode* copy = FlattenLayoutCopy(part, flatten != 0, join != 0);
    if (owned) FreeLayoutNode(part);
    return copy;
}

bool IsTabulatable(const SketchObject* o) {
    const int32_t kind = EffectiveKind(o);
    if (!KindIsA(kind, kKindCalculation) && !KindIsA(kind, kKindAnalyticMeasure) && !KindIsA(kind, kKindMergedText))
        return false;
    GetDisplayPartsFn parts = ObjectClassTable[o->objectClass].getDisplayParts;
    const DisplayPartsOps* ops = parts ? parts(o) : nullptr;
    return ops && ops->hasValue(o);
}

// ---- Entries

bool AppendTableRow(SketchObject* t) {
    TableData* d = TableDataOf(t);
    if (!d->cells) return false;
    if (d->rowCount >= d->rowCapacity) {
        if (d->rowCapacity > std::numeric_limits<int32_t>::max() - kTableRowStep) return false;
        if (!ResizeTableCells(t, d->rowCapacity + kTableRowStep, d->columnCount)) return false;
    }
    ++d->rowCount;
    const int32_t track = d->trackLastRow;
    d->trackLastRow = 1;
    RecomputeAndRedrawObject(t);
    TableDataOf(t)->trackLastRow = track;
    return true;
}

ResultCode AddTableEntry(SketchObject* t) {
    if (!TableCanRemoveEntry(t)) CmdStateInvalidate(kCommandGroupSelection);
    if (AppendTableRow(t)) return kResultOK;
    ShowAlertByCode(kResultOutOfMemory, 0);
    return kResultOutOfMemory;
}

bool TableCanRemoveEntry(const SketchObject* t) { return TableDataOf(t)->rowCount > 3; }

int32_t RemoveTableEntry(SketchObject* t) {
    TableData* d = TableDataOf(t);
    if (d->rowCount < 4) return 0;
    if (d->trackLastRow) {
        // The tracked row goes with the entry above it and comes back empty: the
        // recompute fills it with the current values.
        RemoveLastTableRow(t);
        RemoveLastTableRow(t);
        ++d->rowCount;
        RecomputeHeld(t);
    } else {
        RemoveLastTableRow(t);
        AddObjectToDirtyRect(t);
        ComputeTableSize(t);
        AddObjectToDirtyRect(t);
    }
    d = TableDataOf(t);
    if (d->autoAddRemaining > 0) SetDeadline(&d->autoAddDeadline, static_cast<uint32_t>(d->autoAddDelay));
    if (!TableCanRemoveEntry(t)) CmdStateInvalidate(kCommandGroupSelection);
    return 1;
}

void RemoveAllTableEntries(SketchObject* t) {
    while (RemoveTableEntry(t)) {
    }
    TableData* d = TableDataOf(t);
    if (d->trackLastRow || d->rowCount < 3) return;
    RemoveLastTableRow(t);
    RecomputeHeld(t);
}

void SetTableCollectFlag(SketchObject* t, int32_t flag) {
    TableData* d = TableDataOf(t);
    const int32_t track = flag ? 1 : 0;
    if (d->trackLastRow == track) return;
    d->trackLastRow = track;
    RecomputeAndRedrawObject(t);
}

void StartTableCollection(SketchObject* t, int32_t count, double seconds) {
    TableData* d = TableDataOf(t);
    // A delay the dialog could not have given (negative, not a number, beyond the clock's
    // range) leaves the one in force.
    if (std::isfinite(seconds) && seconds >= 0 && seconds * 1000 <= double(std::numeric_limits<int32_t>::max()))
        d->autoAddDelay = static_cast<int32_t>(std::lround(seconds * 1000));
    d->autoAddRemaining = std::max(count, 0);
    SetDeadline(&d->autoAddDeadline, static_cast<uint32_t>(d->autoAddDelay));
}

// ---- Update routines

void UpdateTable(SketchObject* t, SketchObject* const* parents) {
    TableData* d = TableDataOf(t);
    const bool due = d->autoAddRemaining > 0 && DeadlinePassed(d->autoAddDeadline);
    t->exists = 1;
    if (CanSkipValueText(t) && d->autoAddRemaining == 0) return;
    if (!d->cells || d->rowCount < 2) return;
    bool resized = FillTableHeaders(t);
    d = TableDataOf(t);
    bool addEntry = d->rowCount == 2;
    if (d->rowCount > 2 && (d->trackLastRow || due)) {
        bool change = false;
        const int32_t last = d->rowCount - 1;
        const int32_t count = std::min(static_cast<int32_t>(ParentCountOf(t)), d->columnCount - 1);
        for (int32_t c = 1; c <= count; ++c) {
            SketchObject* p = parents[c - 1];
            TableCell* header = At(d, 1, c);
            if (static_cast<uint32_t>(header->metric) == p->generation && At(d, last, c)->layout) continue;
            change = true;
            if (due) break;
            header->metric = static_cast<int32_t>(p->generation);
            resized |= SetTableCell(t, last, c, ValueLayoutOf(p));
            d = TableDataOf(t);
        }
        addEntry = change && due;
    }
    if (addEntry) {
        const int32_t remaining = d->autoAddRemaining;
        d->autoAddRemaining = 0;
        resized |= AppendTableRow(t);
        d = TableDataOf(t);
        if (remaining > 0) {
            d->autoAddRemaining = remaining - 1;
            SetDeadline(&d->autoAddDeadline, static_cast<uint32_t>(d->autoAddDelay));
        }
    }
    if (resized) ComputeTableSize(t);
    else SetBoundsFromContent(t, d);
}

void UpdateIterationTable(SketchObject* t, SketchObject* const*) {
    TableData* d = TableDataOf(t);
    if (!d->cells || d->rowCount <= 2) {
        t->exists = 0;
        return;
    }
    t->exists = 1;
    if (FillTableHeaders(t)) ComputeTableSize(t);
    else SetBoundsFromContent(t, TableDataOf(t));
}

bool SetTableRowsForIteration(SketchObject* t, int32_t valueRows) {
    TableData* d = TableDataOf(t);
    // One row of values per step (the seeds' own row among them), after the metric and
    // header rows.
    const int32_t depth = std::max(valueRows, 0);
    const int32_t rows = depth >= kMaxIterationTableRows - 2 ? kMaxIterationTableRows : depth + 2;
    if ((!d->cells || d->rowCapacity < rows) && !ResizeTableCells(t, rows, d->columnCount)) return false;
    d = TableDataOf(t);
    while (d->rowCount > 2) RemoveLastTableRow(t);
    d->rowCount = rows;
    d->iterationRows = depth;
    return true;
}

void FillIterationTableRows(SketchObject* t, int32_t image, int32_t number) {
    TableData* d = TableDataOf(t);
    if (!d->cells || d->rowCapacity < 3 || image < 0) return;
    const int32_t k = std::min(static_cast<int32_t>(ParentCountOf(t)), d->columnCount - 1);
    SketchObject* const* parents = ParentItemsOf(t);
    bool changed = false;
    // The rows the iteration sized the table to (never more than are allocated).
    const int32_t rows = std::min(d->rowCount, d->rowCapacity);
    int32_t row = image + 2;
    // More images than rows: the last two rows show "..." and the last step.
    if (d->iterationRows + 2 > rows && row >= rows - 2) {
        if (row == rows - 2) {
            for (int32_t c = 1; c <= k; ++c) changed |= SetTableCell(t, row, c, TextLayout("..."));
        }
        row = image + 1 == d->iterationRows ? rows - 1 : -1;
    }
    if (row >= 2 && row < rows) {
        char text[16];
        std::snprintf(text, sizeof text, "%i", number);
        if (k >= 1) changed |= SetTableCell(t, row, 1, TextLayout(text));
        for (int32_t c = 2; c <= k; ++c) changed |= SetTableCell(t, row, c, ValueLayoutOf(parents[c - 1]));
    }
    if (changed) {
        AddObjectToDirtyRect(t);
        ComputeTableSize(t);
        AddObjectToDirtyRect(t);
    }
}

// ---- Drawing

uint32_t ShadeTrackingRow(uint32_t text, uint32_t background) {
    uint32_t shade = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t a = text >> shift & 0xFF, b = background >> shift & 0xFF;
        shade |= (a + b) / 2 << shift;
    }
    return shade;
}

void DrawTable(GraphicsPort* port, SketchObject* t, int32_t limit) {
    TableData* d = TableDataOf(t);
    if (!d->cells || d->rowCount < 2) return;
    const int32_t g = Gap();
    const ScreenRect r = t->bounds;
    if (limit >= kScreenLimit - 1 && r.bottom >= kScreenLimit) {
        const double scale = CurrentOutputScale.printing ? CurrentOutputScale.factor : 1.0;
        limit = kScreenLimit - static_cast<int32_t>(std::lround(kClampedBottomMargin * scale));
    }
    const Sketch* sketch = CurrentSketch();
    const uint32_t text = TextColorOf(t);
    const uint32_t shade = ShadeTrackingRow(text, sketch ? sketch->settings.palette[kColorSlotBackground] : 0xFFFFFF);
    TextStyle plain = t->textStyle;
    SetStyleColor(&plain, text);
    TextStyle shaded = t->textStyle;
    SetStyleColor(&shaded, shade);
    const int32_t shadedRow = t->constructionType == kTypeMeasurementTable && d->trackLastRow && d->rowCount >= 3
                                  ? d->rowCount - 1
                                  : -1;

    LayoutDrawState state{ port, plain, 0, 0 };
    PortBeginDraw(&state);
    PortEraseRect(&state, &r);
    // Lines are given by the top-left corner of the pen, which covers g pixels right and
    // down from it: the port's pens are centred on the line, so every line moves by half
    // a pen. Between the frame and the cells, and between the rules and the cells, lies
    // one gap; the cell margins keep the texts off the lines.
    const int32_t half = g / 2;
    int32_t y = r.top + 2 * g;
    for (int32_t row = 1; row < d->rowCount && y <= limit; ++row) {
        const int32_t h = At(d, row, 0)->metric;
        int32_t x = r.left + 2 * g;
        for (int32_t c = 1; c < d->columnCount; ++c) {
            const int32_t w = At(d, 0, c)->metric;
            if (LayoutNode* l = At(d, row, c)->layout) {
                LayoutDrawState cell{ port, row == shadedRow ? shaded : plain, 0, 0 };
                if (l->dirty) MeasureLayout(l, &cell);
                cell.x = RoundToScreen(x + (w - l->width - l->overhang) / 2);
                cell.y = RoundToScreen(y + (h - l->ascent - l->descent) / 2 + l->ascent);
                DrawLayout(l, &cell);
            }
            x += w + g;
        }
        y += h + g;
    }

    state.style = plain;
    PortSelectStylePen(&state, g, g);
    const int32_t left = r.left + half, top = r.top + half;
    const int32_t right = r.right - g + half, bottom = r.bottom - g + half;
    const ScreenPoint frame[5] = { { RoundToScreen(left), RoundToScreen(top) },
                                   { RoundToScreen(right), RoundToScreen(top) },
                                   { RoundToScreen(right), RoundToScreen(bottom) },
                                   { RoundToScreen(left), RoundToScreen(bottom) },
                                   { RoundToScreen(left), RoundToScreen(top) } };
    PortDrawPolyline(&state, frame, 5);
    // The rules between the columns, and between the rows while within the limit.
    int32_t x = r.left + g + half;
    for (int32_t c = 1; c + 1 < d->columnCount; ++c) {
        x += At(d, 0, c)->metric + g;
        Line(&state, x, r.top + g + half, x, r.bottom - 2 * g + half);
    }
    y = r.top + g + half;
    for (int32_t row = 1; row + 1 < d->rowCount; ++row) {
        y += At(d, row, 0)->metric + g;
        if (y - half > limit) break;
        Line(&state, r.left + g + half, y, r.right - 2 * g + half, y);
    }
    // The shadow lies along the right and bottom edges, outside them.
    state.style = shaded;
    PortSelectStylePen(&state, g, g);
    const ScreenPoint shadow[3] = { { RoundToScreen(r.right + half), RoundToScreen(r.top + 1 + half) },
                                    { RoundToScreen(r.right + half), RoundToScreen(r.bottom + half) },
                                    { RoundToScreen(r.left + g + half), RoundToScreen(r.bottom + half) } };
    PortDrawPolyline(&state, shadow, 3);
    PortEndDraw(&state);
}

void DrawTableForPrint(GraphicsPort* port, SketchObject* t, const OutputScale* scale) {
    if (!scale) return;
    const ScreenRect saved = t->bounds;
    auto map = [&](int16_t v, int32_t offset) { return RoundToScreen(v * scale->factor + offset); };
    t->bounds = { map(saved.left, scale->offsetX), map(saved.top, scale->offsetY),
                  map(saved.right, scale->offsetX), map(saved.bottom, scale->offsetY) };
    RelayoutTableCells(t);
    if (DrawFn draw = ObjectClassTable[t->objectClass].draw) draw(port, t);
    // The cells measured for the page are measured for the screen again.
    t->bounds = saved;
    RelayoutTableCells(t);
}

// ---- Text-edit operations

namespace {

TextStyle* TableTextStyleOf(SketchObject* t) { return &t->textStyle; }
int32_t TableWriteText(SketchObject*, void*) { return 0; }

void TableSetStyle(SketchObject* t, const TextStyle* style) {
    AddObjectToDirtyRect(t);
    t->textStyle = *style;
    RelayoutTableCells(t);
    AddObjectToDirtyRect(t);
}

// Tables show their parents' names and values: they follow a parent's label and a text
// they show, never their own.
bool TableCanEditText(const SketchObject* t, int32_t reason) { return !IsGiven(t) && (reason == 1 || reason == 2); }

void TableRefreshText(SketchObject* t) {
    TableData* d = TableDataOf(t);
    if (IsGiven(t) || !d->cells || d->rowCapacity < 2) return;
    for (int32_t c = 1; c < d->columnCount; ++c) {
        TableCell* header = At(d, 1, c);
        if (header->layout) FreeLayoutNode(header->layout);
        header->layout = nullptr;
    }
    RecomputeHeld(t);
}

}  // namespace

const TextEditOps TableTextEditOps = {
    TableTextStyleOf, TableWriteText, TableSetStyle, TableCanEditText, TableRefreshText,
};
