// The engine side of the Iterate dialog: the selected objects become the seeds of an
// iteration, and the user maps each seed, for each map, to a destination by clicking it
// in the sketch. The model keeps the mapping, the grid of formatted cells that shows it
// (seeds, an arrow column, one column per visible map), a live preview, and the dialog
// record whose entries the platform's dialog shows and edits. The executor
// IterateCommand (slot 60) is declared with the others in command_executors.h.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/core/services/dialogs.h"

struct GraphicsPort;
struct LayoutNode;
struct SketchObject;

// One cell's measured box. Column 0 holds each row's height record, row 0 each
// column's width record.
struct IterateCell {
    int32_t valid;
    int32_t ascent;
    int32_t descent;
    int32_t width;
    int32_t style;  // 0 normal size, 1 small size, 2 clipped
};

constexpr int32_t kIterateGridColumns = 8;  // columns of the cell array, column 0 included
constexpr int32_t kIterateMessageRoom = 256;

struct IterateModel {
    SketchObject** seeds;          // n, in selection order (newest first)
    SketchObject** destinations;   // m x n: map k's destination of seed i at (k - 1) n + i; null = not mapped
    uint16_t       n, m;
    int16_t        prompt;         // 51 points, 52 values, 53 both
    SketchObject*  depthValue;     // the value that gives the depth, or null
    uint16_t       currentRow;     // the seed index
    uint16_t       currentMap;     // 1-based
    int32_t        pickingAllowed;
    int32_t        changed;
    int32_t        skipNextRebuild;
    char           message[kIterateMessageRoom];
    SketchObject*  preview;
    int32_t        previewHasNonPointImages;
    int32_t        previewHasPointImages;
    int32_t        previewHasTable;
    int32_t        previewSeed;    // the generator's seed for every preview and the final build
    int32_t        gridValid;
    int32_t        gridWidth, gridHeight;
    int32_t        font, size, smallSize;  // what the grid was measured with
    int32_t        columns;
    IterateCell*   cells;          // (n + 2) rows x kIterateGridColumns
};

// Entries of the dialog record.
enum IterateEntry : int32_t {
    kIterateHeader        = 0,
    kIterateConfirm       = 1,  // enabled while a preview exists
    kIterateFinalOnly     = 2,  // 0 full orbit, 1 final iteration only
    kIterateNonPointOnly  = 3,  // 0 all object images, 1 non-point images only
    kIterateTabulate      = 4,
    kIterateRandomPlaces  = 5,  // points on objects: 0 same relative location, 1 random
    kIterateAddMap        = 6,  // request
    kIterateRemoveMap     = 7,  // request
    kIterateDepth         = 8,
    kIterateMessage       = 9,
    kIterateEntryCount    = 10,
};

// Entry state bits: enabled, and changed by the model since the dialog last looked.
constexpr uint32_t kEntryEnabled = 1;
constexpr uint32_t kEntryChanged = 2;

// The record the dialog edits; entry 0 is the header that stands for the model.
struct IterateDialogFields {
    DialogField   entry[kIterateEntryCount];
    IterateModel* model;
};

bool PrepareIterateModel(IterateModel* model, bool toDepth);
void FreeIterateModel(IterateModel* model);
void InitIterateDialog(IterateDialogFields* dialog, IterateModel* model);

// Map and column numbers of the grid (columns and rows 1-based as drawn).
int32_t MapOfColumn(const IterateModel* model, int32_t column);
int32_t ColumnOfMap(const IterateModel* model, int32_t map);
bool    IsMapCell(const IterateModel* model, int32_t column, int32_t row);

// The cell's content as a new layout tree (the caller frees it), or null.
LayoutNode* IterateCellContent(const IterateModel* model, int32_t column, int32_t row);
void MeasureIterateGrid(IterateDialogFields* dialog, GraphicsPort* port, int32_t font, int32_t size,
                        int32_t smallSize, int32_t* width, int32_t* height);
void DrawIterateGrid(IterateDialogFields* dialog, GraphicsPort* port, int32_t x, int32_t y);
bool IterateGridHitTest(IterateDialogFields* dialog, ScreenPoint point, bool select, int32_t x, int32_t y);
void IterateDialogCommand(IterateDialogFields* dialog, int32_t command);
void InvalidateIterateCell(IterateModel* model, int32_t column, int32_t row);
void InvalidateIterateGrid(IterateModel* model);

// The change routine handed to RunCommandDialog.
int32_t IterateDialogChanged(void* dialog);
bool    BuildIterationPreview(IterateDialogFields* dialog, bool preview);
int32_t RefreshIterateEntries(void* dialog);
void    SetIterateMessage(IterateDialogFields* dialog, int32_t item);

// The picking routines handed to the pick session while the dialog is open.
bool IteratePickFilter(SketchObject* object, void* dialog);
void IteratePickAccept(SketchObject* object, void* dialog, int32_t (**apply)(void*));
void IteratePickRefused(SketchObject* object, void* dialog, int32_t (**apply)(void*));
