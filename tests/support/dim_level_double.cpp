#include "tests/support/dim_level_double.h"

#include "engine/core/services/object_drawing.h"

namespace {
std::vector<int32_t> gLevels;
int32_t gLevel = 0;
}  // namespace

std::vector<int32_t>& RecordedDimLevels() { return gLevels; }

void SetDimLevel(int32_t level) {
    gLevel = level;
    gLevels.push_back(level);
}
int32_t GetDimLevel() { return gLevel; }
