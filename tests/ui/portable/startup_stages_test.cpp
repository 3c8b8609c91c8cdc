#include "ui/portable/startup_stages.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string gUndone;
void StopServices() { gUndone += "services "; }
void ShutDown() { gUndone += "engine "; }
}  // namespace

TEST(StartupStages, UndoesOnlyTheStagesReachedHighestFirst) {
    struct Case {
        int32_t reached;
        const char* undone;
    };
    const Case cases[] = {
        { 0, "" },  // the window went before anything started
        { kStageFirst, "" },
        { kStageEngine, "engine " },  // the platform services failed to start
        { kStagePlatformServices, "services engine " },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reached);
        gUndone.clear();
        int32_t stage = c.reached;
        UndoStartupStages(&stage, { StopServices, ShutDown });
        EXPECT_EQ(gUndone, c.undone);
        EXPECT_EQ(stage, 0);
        // A second end finds nothing left to undo.
        UndoStartupStages(&stage, { StopServices, ShutDown });
        EXPECT_EQ(gUndone, c.undone);
    }
}
