// The start-up stages the program has reached, in order: 1 the first (nothing to undo),
// 2 the engine, 3 the platform services. The end undoes only the stages reached,
// highest first, so a start that failed half way stops only what it started.
#pragma once
#include <cstdint>

constexpr int32_t kStageFirst = 1, kStageEngine = 2, kStagePlatformServices = 3;

struct StartupUndo {
    void (*stopPlatformServices)();
    void (*shutdownEngine)();
};

// Counts `stage` down to 0, undoing each stage on the way.
void UndoStartupStages(int32_t* stage, const StartupUndo& undo);
