// Turning part of the current sketch into a sketch of its own: the payload of Copy and
// Cut (the selection and what it needs, as a partial sketch).
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"

struct SketchObject;

struct CustomToolPayload {
    bool       cut;     // in: Cut takes every dependant along, Copy only those that do not exist
    uint8_t*   bytes;   // out: the partial sketch in an engine block (FreeMemory), or null
    uint32_t   size;
    ScreenRect extent;  // out: the selection's extent
};

// Extends the selection by the dependants the copy takes along, then writes the selected
// objects (the steps) with the objects they are built on (the givens, stored as free
// objects) as a partial sketch. 0, or 100 and the stream's or the cloning's own code.
ResultCode MakeCustomTool(CustomToolPayload* payload);
