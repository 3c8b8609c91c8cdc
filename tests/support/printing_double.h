// Test double of the printed page's platform services: records the calls.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

struct PrintServiceCalls {
    int32_t    backgrounds;
    ScreenRect lastPage;
    int32_t    measureDCsEnded;
};
PrintServiceCalls& PrintCalls();
