// Rules of the shell services that need no Windows call: which special keys the engine
// takes, the Motion Controller's speed-range text, the stages of busy feedback and the
// tick-count deadlines.
#pragma once
#include <cstddef>
#include <cstdint>

// The engine's code for a Windows virtual key, or 0 when the engine does not take the
// key with these modifiers: Alt turns the arrows into codes 12 to 15 and refuses every
// other key; Ctrl refuses every key.
uint16_t EngineKeyCodeFor(uint32_t virtualKey, bool altDown, bool ctrlDown);

// The speed-range text: "a...b" when b exceeds a, else a alone (empty for 0), each with
// the decimals its size needs. Written into `out` (at most size bytes, terminated).
void SpeedRangeText(double low, double high, char* out, size_t size);
// The text the last FormatSpeedRangeText wrote, for the Motion Controller bar.
const char* CurrentSpeedRangeText();

// What one update of a busy task does, by the time since its start.
enum class BusyStage {
    kNothing,         // below 500 ms
    kShowStatus,      // status text and wait cursor (and the bar moves when a window is open)
    kOpenWindow,      // the first update at or after 1000 ms: the progress window opens
};
constexpr uint32_t kBusyStatusAfterMs = 500;
constexpr uint32_t kBusyWindowAfterMs = 1000;
BusyStage BusyStageFor(uint32_t startTick, uint32_t now, bool windowOpen);

// A deadline is a tick count; 0 stands for none and has always passed. Ticks wrap after
// about 49.7 days, so a deadline is compared by the signed difference, which stays
// right across the wrap for any wait shorter than 24.8 days.
uint32_t DeadlineAfter(uint32_t now, uint32_t ms);
bool DeadlineReached(uint32_t now, uint32_t deadline);
