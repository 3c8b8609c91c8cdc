// The given table of a custom tool's sketch.
#pragma once

struct Sketch;

// Orders the sketch's givens so that those matched automatically (their label is used
// in custom tools: a marked coordinate system, a named object) come before the others,
// each group keeping its order.
void SortToolGivens(Sketch* sketch);
