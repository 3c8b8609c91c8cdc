// The per-sketch frame ticker: an idle task run on every pass that steps the motions of
// its sketch every 16 ms, fades its traces, blinks the caption caret and flushes the
// redraw; and the adaptive delay that slows sketches in the background under load.
#pragma once
#include <cstdint>

#include "engine/core/idle_tasks.h"

struct Sketch;

constexpr uint32_t kFrameMs           = 16;
constexpr uint32_t kFrameWatchdogMs   = 100;
constexpr int32_t  kBackgroundDelayUp   = 30;
constexpr int32_t  kBackgroundDelayDown = 15;
// Fading steps after the last trace was drawn by which the traces have faded away.
constexpr int32_t  kFadeStepsToClear  = 16;

void StartFrameTicks(Sketch* sketch);
void StopFrameTicks(Sketch* sketch);
// With reset, when the current sketch ticks, its frame is made due and run at once.
void RestartFrameTicks(bool reset);
// The task of the current sketch when task is null. Nonzero while the sketch still needs
// ticks.
int32_t FrameTick(IdleTask* task, int32_t finish);


// The process-wide background delay in ms (0..270).
int32_t BackgroundFrameDelay();
void    ResetBackgroundFrameDelay();
