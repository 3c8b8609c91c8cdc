// figlate's wording of a tool run's status prompt and the highlight of a stepped object
// under the pointer in the script view.
#pragma once
#include <cstdint>

struct SketchObject;

// Heap text (512 bytes, FreeMemory) of item `item` of the tool-matching group: "^A" the
// noun of `nounKind`, or for the matching prompt the noun and label of the given being
// matched when it has a label; "^B" that given's number among the givens of its sort
// (those matched automatically, then the others, each counted from 1). Null without
// memory.
char* ToolMatchPromptText(int32_t item, int32_t nounKind, SketchObject* const* givens, int32_t givenCount,
                          int32_t given);

// While a tool is stepped: the object made by the step on script row `row` is
// highlighted, and the one highlighted before is not any more (row 0 clears). True when
// an object is highlighted.
bool HighlightStepObject(int32_t row);
