// Tables of measured values (class 17): a header row of their parents' names and one row
// per collected entry. Construction type 91 tabulates measurements and calculations and
// collects entries on request or automatically as values change; type 92 tabulates
// values under an iteration, one row per iteration step.
//
// Row 0 and column 0 hold the row heights and column widths; row 1 holds the headers;
// rows 2 .. rowCount - 1 the entries. Column c (from 1) belongs to parent c - 1; in a
// type-92 table column 1 holds the iteration number n.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/services/iteration_tables.h"
#include "engine/core/services/tables.h"

struct LayoutNode;

constexpr int32_t kTypeMeasurementTable = 91;
constexpr int32_t kTypeIterationTable   = 92;

// Rows a new type-91 table allocates, and the step by which a full table grows.
constexpr int32_t kTableRowStep = 10;
// Rows of an iteration table at most: n = 0..18, a row "...", the last step.
constexpr int32_t kMaxIterationTableRows = 23;
// Milliseconds between automatic entries of a new table.
constexpr int32_t kDefaultAutoAddDelay = 1000;

// The cell's address; the caller keeps row and column within the allocated grid.
TableCell* TableCellAt(SketchObject* table, int32_t row, int32_t column);

// Grows (or first allocates) the grid to `rows` x `columns`, clearing the new rows; the
// rows kept keep their cells when the column count stays. False when memory runs out
// (the grid is then as it was).
bool ResizeTableCells(SketchObject* table, int32_t rows, int32_t columns);
// Stores a layout (owned from now on, even on failure) in a cell, freeing the old one;
// true when the table's size must be recomputed.
bool SetTableCell(SketchObject* table, int32_t row, int32_t column, LayoutNode* layout);
// The size of a cell's layout with the cell margins; margins alone for an empty cell.
void MeasureTableCell(SketchObject* table, LayoutNode* layout, int32_t* width, int32_t* height);
bool FitRowHeight(SketchObject* table, int32_t row);
bool FitColumnWidth(SketchObject* table, int32_t column);
void ComputeTableSize(SketchObject* table);
void RemoveLastTableRow(SketchObject* table);

bool FillTableHeaders(SketchObject* table);
LayoutNode* TableHeaderLayout(SketchObject* table, int32_t column);
// The heading with the label built at a level: 1 as a name inside a description.
LayoutNode* TableHeaderLayoutAtLevel(SketchObject* table, int32_t column, int32_t labelLevel);
// A layout of the object's current value (its display part 0 with the alternatives shown
// fixed), or null when it does not exist or has no display parts.
LayoutNode* ValueLayoutOf(SketchObject* object);

bool AppendTableRow(SketchObject* table);
ResultCode AddTableEntry(SketchObject* table);
bool TableCanRemoveEntry(const SketchObject* table);
// 1 removed, 0 nothing to remove.
int32_t RemoveTableEntry(SketchObject* table);
// "Remove All Table Entries": entries until none is left, and without tracking the
// value row too.
void RemoveAllTableEntries(SketchObject* table);
void SetTableCollectFlag(SketchObject* table, int32_t flag);
// "Add" n "Entries As Values Change": one entry every `seconds` while values change.
void StartTableCollection(SketchObject* table, int32_t count, double seconds);

// Iteration tables are sized by the iteration (SetTableRowsForIteration) and filled for
// each image (FillIterationTableRows): engine/core/services/iteration_tables.h.

// The colour of the tracked row: each component halfway between the text colour and the
// sketch's background.
uint32_t ShadeTrackingRow(uint32_t textColor, uint32_t background);
// Draws the table, rows from the top while their top stays within `limit`.
void DrawTable(GraphicsPort* port, SketchObject* table, int32_t limit);
