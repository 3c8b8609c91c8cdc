// Test double of the render state's dim level: every level set is recorded.
#pragma once
#include <cstdint>
#include <vector>

std::vector<int32_t>& RecordedDimLevels();
