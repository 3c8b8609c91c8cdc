// Turning part of the current sketch into a sketch of its own: a new custom tool made
// from the selection, and the payload of Copy and Cut (the selection and what it needs,
// as a partial sketch).
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"

struct Sketch;
struct SketchObject;

// The selection holds no object built on other selected objects.
constexpr ResultCode kResultNoToolDefined = 200;
// Asked once when the selection defines objects that do not exist now.
constexpr ResultCode kQuestionIncludeMissing = 201;

// Roles of a tool entry's step.
constexpr int32_t kToolRoleIntermediate = 2;
constexpr int32_t kToolRoleResult       = 3;

// One object of a tool being made. The entry array leaves index 0 empty, then lists the
// givens, then the steps; while the array is in use each listed object's traversal stamp
// holds its entry index.
struct ToolEntry {
    SketchObject* object;
    int32_t       kind;        // the most specific kind every use of it accepts
    int32_t       role;        // steps only
    int32_t       visibility;  // a result's hidden flag; an intermediate's 3 hidden, else 2
};

// Kinds that cannot be met by one object: the caller puts the object's own general kind
// in its place.
constexpr int32_t kKindNoAgreement = 82;

// The meet of two kinds in the kind lattice (unions of two kinds from 68 on):
// kKindNoAgreement when nothing is both.
int32_t CombineToolKinds(int32_t a, int32_t b);

// The required kinds of entries 1..givens+steps from what the steps ask of their parents.
void ComputeGivenKinds(ToolEntry* entries, int32_t givens, int32_t steps);

// Recomputes the kinds of a tool sketch's givens from its own steps. A tool read from a
// document is refreshed before it is used: the stored kinds are not trusted.
void RefreshToolGivenKinds(Sketch* tool);

// A new tool from the current sketch's selection, named by the user. 0 with the tool in
// *out; 200, 100, 104 (the name was cancelled) or the cloning's code with nothing made.
ResultCode MakeToolFromSelection(Sketch** out);

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
