#include "ui/portable/startup_stages.h"

void UndoStartupStages(int32_t* stage, const StartupUndo& undo) {
    for (; *stage > 0; --*stage) {
        if (*stage == kStagePlatformServices) undo.stopPlatformServices();
        else if (*stage == kStageEngine) undo.shutdownEngine();
    }
}
