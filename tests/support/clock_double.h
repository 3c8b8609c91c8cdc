// Test double of the tick clock: time stands still until a test moves it.
#pragma once
#include <cstdint>

void SetTestTickCount(uint32_t ticks);
void AdvanceTestTickCount(uint32_t ms);
