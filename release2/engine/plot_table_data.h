// "Plot Table Data": a plotted point for every row of a table whose two chosen cells
// hold numbers, as rectangular (x, y) or polar (r, theta) coordinates, in the sketch's
// coordinate system, made and fitted to the data when there is none.
#pragma once
#include <cstdint>

#include "engine/core/services/dialogs.h"

struct LayoutNode;
struct LayoutParseContext;
struct SketchObject;

// A column's heading in the dialog's menus and whether any of its cells is a number.
struct ColumnHeadingEntry {
    LayoutNode* layout;
    bool        hasNumbers;
};
// Entries 0 to 3 of the headings: the coordinate names "x", "y", "r" and "theta".
constexpr int32_t kHeadingX = 0, kHeadingY = 1, kHeadingR = 2, kHeadingTheta = 3;
// Entry of column c (1 .. column count - 1).
constexpr int32_t HeadingEntryOfColumn(int32_t column) { return column + 3; }

// The record of the Plot Table Data dialog. Columns are given as their menu items
// (column + 1), within 1 .. the table's column count.
struct PlotTableDialogRecord {
    DialogField firstColumn;   // kFieldInteger
    DialogField secondColumn;  // kFieldInteger
    DialogField polar;         // kFieldFlag: 0 rectangular, 1 polar
    DialogField headings;      // kFieldObjectList: ColumnHeadingEntry[column count + 3]
    DialogField table;         // kFieldObject
};

// The command: 1 when points were made, else 0.
int32_t PlotTableData();

// Runs the dialog; true when the user chose Plot, with the columns and the form in the
// out arguments (*polar is also the form the dialog starts with).
bool ChoosePlotColumns(SketchObject* table, int32_t* firstColumn, int32_t* secondColumn, bool* polar);

// Whether a cell of the column (rows from 2) is a number.
bool ColumnHasNumbers(SketchObject* table, int32_t column);
// The cell's value when its plain text starts with a number or an expression that
// evaluates to a finite value.
bool ParseCellNumber(SketchObject* table, int32_t row, int32_t column, double* value);
bool IsNumberChar(char c);
// Cuts *length to the leading run of number characters; a text that does not start with
// one keeps its length (and is then no number).
void TrimToNumberChars(const char* text, int32_t* length);

// The column's heading (the table's own heading builder at the label level).
LayoutNode* BuildColumnHeadingLayout(SketchObject* table, int32_t column, int32_t labelLevel);
// "(first, second)" from the record's chosen columns; null when it cannot be built.
LayoutNode* BuildCoordinatePairLayout(const PlotTableDialogRecord* record);
// The parser's placeholder routine of the pair: "%1" and "%2" are the chosen columns'
// headings, anything else a syntax error.
int32_t FillPairPlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                            LayoutParseContext* context);
// A text node holding the item of the calculator's string group.
LayoutNode* CreateGroupTextNode(int32_t item);

// The units of a new rectangular system fitted to data reaching maxX and maxY in a window
// of the given half size (the later release's form of the coordinate system's making).
int32_t FitCoordSystemUnits(double halfWidth, double halfHeight, double unit, double maxX, double maxY,
                            double* unitX, double* unitY);
