// Tables of measured values (class 17) as the type tables and the readers reach them:
// the class data, the class routines and the update routines of construction types 91
// and 92. The table code (engine/calc/tables.h) defines them; the record codec lives
// with the other record codecs (engine/docio).
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/sketch_object.h"

struct GraphicsPort;
struct LayoutNode;
struct OutputScale;
struct TextEditOps;
struct TransferContext;

// One cell. Row 0 and column 0 hold no layout, only a metric: in row 0, column c the
// width of column c; in column 0, row r the height of row r. In row 1 (the headers),
// column c also keeps the generation of parent c - 1 when its value was last written
// into the last row.
struct TableCell {
    LayoutNode* layout;  // owned, or null
    int32_t     metric;
};

// A grid read from a record or copied with an object: what InitTableData takes over.
struct TableGridRecord {
    int16_t    left, top;   // the table's position
    int32_t    rows;        // 0 when the record carried no cells
    int32_t    columns;
    int32_t    track;       // the "Track Changing Values In Last Row" property
    TableCell* cells;       // rows x columns, owned until taken over
};

struct TableData {
    int32_t    rowCount;       // rows in use, counting row 0
    int32_t    rowCapacity;    // rows allocated
    int32_t    columnCount;    // parents + 1
    int32_t    trackLastRow;   // while set the last row follows the current values
    TableCell* cells;          // rowCapacity x columnCount, row by row; owned
    int32_t    contentWidth;
    int32_t    contentHeight;
    uint32_t   autoAddDeadline;   // when the next automatic entry is due
    int32_t    autoAddRemaining;  // automatic entries still to add; 0 = not collecting
    int32_t    autoAddDelay;      // milliseconds between automatic entries
    int32_t    iterationRows;     // type 92: iteration images + 1; 0 for type 91
    // A record read before the object's parents were known; InitTableData takes it over
    // once they are (FinishTableFromRecord). Owned.
    TableGridRecord* readRecord;
};

inline TableData* TableDataOf(SketchObject* table) { return ClassData<TableData>(table); }
inline const TableData* TableDataOf(const SketchObject* table) { return ClassData<TableData>(table); }

// initExtra of class 17: `record` is a TableGridRecord or null; with a null object the
// record's cells are freed. 1 done, 0 failure.
int32_t InitTableData(SketchObject* table, void* record);
void    FreeTableData(SketchObject* table);
// Record 2317 (the table's class data).
ResultCode TransferTableData(TransferContext* context);
// A table whose class record was read before its parents were set (a page being read, an
// object being copied) is initialised from that record now. Unless 0, the object must not
// be made: kResultGridDoesNotFit when the record's grid does not fit the parents (the
// readers leave such an object out with that warning), 100 when memory runs out.
constexpr ResultCode kResultGridDoesNotFit = 9;
ResultCode FinishTableFromRecord(SketchObject* table);

// Whether a table can show the object: a measurement, calculation, coordinate or equation
// display or merged text (as a custom tool's given, the kind it stands for) whose class
// shows a value.
bool IsTabulatable(const SketchObject* object);

// Update routines of construction types 91 and 92.
void UpdateTable(SketchObject* table, SketchObject* const* parents);
void UpdateIterationTable(SketchObject* table, SketchObject* const* parents);

// Re-lays out every cell and the table's size: the class's text-metrics refresh and its
// relayout as text family 4.
void RelayoutTableCells(SketchObject* table);
// The class's scaled drawing for print.
void DrawTableForPrint(GraphicsPort* port, SketchObject* table, const OutputScale* scale);

extern const TextEditOps TableTextEditOps;
