// Stand-in: tables of iterated values are not built yet: a table takes any size and
// shows no rows.
#include "engine/core/services/iteration_tables.h"

bool SetTableRowsForIteration(SketchObject*, int32_t) { return true; }
void FillIterationTableRows(SketchObject*, int32_t, int32_t) {}
