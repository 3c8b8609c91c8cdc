// The Parametric Color command: images of the selected objects coloured by one or three
// selected measurements, through a dialog whose choices last until the program ends.
#pragma once
#include <cstdint>

#include "engine/core/services/dialogs.h"
#include "engine/core/sketch_object.h"

// The fields of both dialogs' records (dialog kinds 10 and 11), in order.
constexpr int32_t kParamColorFieldModel  = 0;  // 0 spectrum or RGB, 1 grey or HSV
constexpr int32_t kParamColorFieldRepeat = 1;  // 0 no repeat, 1 one way, 2 both ways
constexpr int32_t kParamColorFieldFrom   = 2;
constexpr int32_t kParamColorFieldTo     = 3;
constexpr int32_t kParamColorFieldCount  = 4;

// The values a classification found: the newest selected first, at most three.
struct ParametricColorValues {
    SketchObject* items[3];
    int32_t       count;
};

// Walks the selection newest first: measurements go into the value list, objects that
// can be coloured are counted and stay selected; with `deselect` everything else (the
// values too) is deselected. Answers the number of objects to colour.
int32_t ClassifyParametricColorSelection(ParametricColorValues* values, bool deselect);
