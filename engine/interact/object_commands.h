// The commands that act on the selected objects beyond the command table's executors
// (command_executors.h): the deletion that Delete, Clear and Cut share, and Escape.
#pragma once
#include "engine/core/result_codes.h"

// Deletes the selection with everything that depends on it as one undo step. When the
// step cannot be recorded, every object is put back and 100 is answered.
ResultCode DeleteSelectionWithDependents();
// The Escape key: ends caption editing; else, with no button tracked, the toolbox takes
// its default tool and, when that changed nothing, the front sketch is deselected, its
// animations stopped, or its traces erased, whichever comes first.
void EscapeCommand();
