// Shift+Enter in the sketch: the selected free texts (captions, measurements, buttons,
// calculations) are stacked into a column under the first one selected, animated; a
// column already stacked opens up by one pixel, and from 200 pixels back to 2.
#pragma once
#include <cstdint>

constexpr int32_t kStackSpacing = 2;      // pixels between the texts of a new column
constexpr int32_t kStackWidestGap = 200;  // a column this far apart starts over
constexpr int32_t kStackSteps = 10;       // steps of the animated move
constexpr uint32_t kStackStepMs = 20;

// Stacks the selection of the current sketch; false when fewer than two texts stand
// free in it (nothing moves then).
bool StackSelectedTextObjects();
