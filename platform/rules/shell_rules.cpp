#include "platform/rules/shell_rules.h"

#include <cstdio>

#include "engine/core/services/bars.h"
#include "engine/core/services/shell.h"

namespace {

// Windows virtual keys the engine takes.
enum : uint32_t {
    kVkBack = 8, kVkReturn = 13, kVkEscape = 27, kVkEnd = 35, kVkHome = 36,
    kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40, kVkDelete = 46,
};

// One row per key: the code without Alt, and with Alt (0: Alt refuses the key).
struct KeyRow { uint32_t virtualKey; uint16_t code; uint16_t altCode; };
const KeyRow kSpecialKeys[] = {
    { kVkBack,   6,  0 }, { kVkReturn, 8,  0 }, { kVkEscape, 1,  0 }, { kVkEnd,  11, 0 },
    { kVkHome,  10,  0 }, { kVkDelete, 7,  0 },
    { kVkLeft,   2, 12 }, { kVkUp,     4, 14 }, { kVkRight,  3, 13 }, { kVkDown,  5, 15 },
};

char gSpeedRangeText[64];

int Decimals(double v) {
    if (v == 0) return 1;
    double scaled = v;
    for (int d = 1; d <= 3; ++d, scaled *= 10)
        if (scaled >= 1) return d;
    return 4;
}

}  // namespace

uint16_t EngineKeyCodeFor(uint32_t virtualKey, bool altDown, bool ctrlDown) {
    if (ctrlDown) return 0;
    for (const KeyRow& row : kSpecialKeys)
        if (row.virtualKey == virtualKey) return altDown ? row.altCode : row.code;
    return 0;
}

void SpeedRangeText(double low, double high, char* out, size_t size) {
    if (high - low >= 0.0001)
        std::snprintf(out, size, "%.*f...%.*f", Decimals(low), low, Decimals(high), high);
    else if (low == 0)
        std::snprintf(out, size, "%s", "");
    else
        std::snprintf(out, size, "%.*f", Decimals(low), low);
}

void FormatSpeedRangeText(double low, double high) {
    SpeedRangeText(low, high, gSpeedRangeText, sizeof gSpeedRangeText);
}
const char* CurrentSpeedRangeText() { return gSpeedRangeText; }

BusyStage BusyStageFor(uint32_t startTick, uint32_t now, bool windowOpen) {
    const uint32_t elapsed = now - startTick;
    if (!windowOpen && elapsed >= kBusyWindowAfterMs) return BusyStage::kOpenWindow;
    if (elapsed >= kBusyStatusAfterMs) return BusyStage::kShowStatus;
    return BusyStage::kNothing;
}

uint32_t DeadlineAfter(uint32_t now, uint32_t ms) {
    if (ms == 0) return 0;
    const uint32_t deadline = now + ms;
    // 0 means none; a real deadline that lands on it moves one tick on.
    return deadline == 0 ? 1 : deadline;
}

bool DeadlineReached(uint32_t now, uint32_t deadline) {
    return deadline == 0 || static_cast<int32_t>(now - deadline) >= 0;
}

int32_t MapLocusClassCode(int32_t* code) {
    const int32_t given = *code;
    if (given == 10) *code = 6;
    else if (given == 6) *code = 3;
    return given;
}
