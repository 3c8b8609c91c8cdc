// Where the steps of a custom tool's printed script fall on the pages: each step below
// the one before, a page ending where the next step would pass the bottom margin.
#pragma once
#include <cstdint>

struct ScriptPageSpace {
    int32_t bottom;        // the lowest y a step may reach (page height less the margin)
    int32_t stepGap;       // below each step with text
    int32_t emptyStepGap;  // the whole room of a step without text
};

// The height of a step's text, or -1 when the step has none.
using ScriptStepHeightFn = int32_t (*)(void* context, int32_t step);
// A step placed with its top at y (null when the page is only being laid out).
using ScriptStepPlaceFn = void (*)(void* context, int32_t step, int32_t y);

// Places steps first..count (1-based) from y on and answers the first step of the next
// page (count + 1 when all are placed). A step that would end below the bottom begins
// the next page, unless no step with text is on this page yet: a step taller than the
// page then fills this page alone (its drawing is cut at the bottom margin), so that
// every page takes at least one step and printing always ends.
int32_t PlaceScriptSteps(const ScriptPageSpace& space, int32_t y, int32_t first, int32_t count,
                         ScriptStepHeightFn height, ScriptStepPlaceFn place, void* context);
