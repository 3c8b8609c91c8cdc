// "When Speed Permits": every redraw gets a time budget, and the outcome of the redraws
// moves a small state machine that turns anti-aliasing off when redraws are slow and
// back on once enough large redraws were fast again.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

constexpr uint32_t kAntiAliasedBudgetMs = 100;
constexpr uint32_t kPlainBudgetMs       = 50;

enum SpeedState : int32_t {
    kSpeedOn = 0,
    kSpeedOnProbation = 1,
    kSpeedOff = 2,
    kSpeedOffProbation = 3,
};

struct SpeedPolicy {
    int32_t  state;     // SpeedState
    uint32_t deadline;  // tick count at which the redraw under way is slow
    uint32_t penalty;   // fast large plain redraws owed before a retry; +10 per switch-off
    int32_t  offCount;  // of them still owed while off
    int32_t  recovery;  // score while off on probation
};

// The process's one policy (starts on probation).
SpeedPolicy& TheSpeedPolicy();
void         ResetSpeedPolicy();

// Whether this redraw may be anti-aliased; starts its budget either way.
void AllowAntiAliasThisRedraw(bool* allow);
// After a redraw: `redrawn` against the sketch's `window` decides whether it was large
// (more than a quarter of the window).
void UpdateAntiAliasPolicy(const ScreenRect& redrawn, const ScreenRect& window);
// The next redraw tries anti-aliasing again (the preference was just changed).
void ForceAntiAliasRedraw();
