// The Graph menu: defining, showing and hiding the coordinate system, snapping, the grid
// form with its undo entries, and plotting points by their coordinates.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/services/dialogs.h"
#include "engine/interact/undo.h"

struct SketchObject;

// Whether the system's grid can take the form (0 polar, 1 square, 2 rectangular); with
// `testOnly` false the change is made as one undo step.
bool ChangeGridForm(SketchObject* system, int32_t form, bool testOnly);

// Undo entries 12-14 (grid form) and 17 (plotted point edit): each swaps its values with
// the objects', so the same handler serves both directions.
ResultCode SwapCoordSystemUndo(const UndoEntry& entry, int32_t direction);
ResultCode SwapPlottedPointUndo(const UndoEntry& entry, int32_t direction);

// The Plot Points dialog's engine callback (true when the numbers were converted), and
// the plot or edit it leads to.
int32_t PlotPointsConvert(void* record);
void    PlotPoint(PlotPointsRecord* record);
