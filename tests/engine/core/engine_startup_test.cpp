#include "engine/core/engine_startup.h"

#include "engine/core/memory.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/colors.h"
#include "tests/support/colors_double.h"
#include "tests/support/drawing_metrics_double.h"
#include "tests/support/views_double.h"

#include <gtest/gtest.h>

namespace {

class EngineStartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAllocFailureAfter(0);
        SetDrawingMetricsResult(true);
        ResetViewRequests();
    }
    void TearDown() override {
        SetAllocFailureAfter(0);
        SetDrawingMetricsResult(true);
    }
    // What a failed start must leave: nothing held, nothing installed.
    void ExpectNothingLeft() {
        EXPECT_FALSE(SmallReserveHeld());
        EXPECT_FALSE(LargeReserveHeld());
        EXPECT_EQ(GetCustomColors(), nullptr);
        EXPECT_EQ(RecordedViewRequests().toolFolderScans, 0);
    }
};

TEST_F(EngineStartupTest, StartsAndShutsDown) {
    const uint32_t starts = EngineStartCounter();
    RequestAppQuit(1, 1);  // a request from before the start is forgotten
    ASSERT_TRUE(StartEngine());
    EXPECT_TRUE(SmallReserveHeld());
    EXPECT_TRUE(LargeReserveHeld());
    EXPECT_NE(GetCustomColors(), nullptr);
    EXPECT_EQ(RecordedViewRequests().toolFolderScans, 1);
    EXPECT_EQ(EngineStartCounter(), starts + 1);
    int32_t save = -1, value = -1;
    EXPECT_FALSE(TakeAppQuitRequest(&save, &value));

    const int32_t stops = RecordedViewRequests().toolFolderScanStops;
    ShutdownEngine();
    EXPECT_FALSE(SmallReserveHeld());
    EXPECT_FALSE(LargeReserveHeld());
    EXPECT_EQ(GetCustomColors(), nullptr);
    EXPECT_EQ(RecordedViewRequests().toolFolderScanStops, stops + 1);  // an unfinished scan lets go of its search
}

TEST_F(EngineStartupTest, TheQuitRequestsSaveChoiceLastsUntilShutdown) {
    struct Case { int32_t save; };
    for (const Case& c : { Case{ 1 }, Case{ 0 } }) {
        SCOPED_TRACE(c.save);
        ASSERT_TRUE(StartEngine());
        RequestAppQuit(c.save, 1);
        int32_t save = -1, value = -1;
        ASSERT_TRUE(TakeAppQuitRequest(&save, &value));
        EXPECT_EQ(save, c.save);
        EXPECT_EQ(value, 1);
        EXPECT_TRUE(TakeAppQuitRequest(&save, &value));  // still pending
        ClearAppQuitRequest();  // what idle processing does after taking it
        EXPECT_FALSE(TakeAppQuitRequest(&save, &value));
        ShutdownEngine();
    }
}

TEST_F(EngineStartupTest, FailedStepsAreUndoneInReverse) {
    // The reserves (requests 1 and 2), then the stream table (3 on).
    for (uint32_t failing : { 1u, 2u, 3u, 4u }) {
        SCOPED_TRACE(failing);
        SetAllocFailureAfter(failing, true);
        EXPECT_FALSE(StartEngine());
        SetAllocFailureAfter(0);
        ExpectNothingLeft();
    }
    SetDrawingMetricsResult(false);
    EXPECT_FALSE(StartEngine());
    ExpectNothingLeft();
    EXPECT_GT(CustomColorInstallCount(), 0);  // installed, then dropped again
}

TEST_F(EngineStartupTest, EveryAllocationFailureEndsCleanly) {
    // Allocations beyond the ones start-up needs fail nothing at all, so the loop ends.
    for (uint32_t failing = 1;; ++failing) {
        SCOPED_TRACE(failing);
        ResetViewRequests();
        SetAllocFailureAfter(failing, true);
        const bool started = StartEngine();
        SetAllocFailureAfter(0);
        if (!started) {
            ExpectNothingLeft();
            continue;
        }
        ShutdownEngine();
        EXPECT_FALSE(SmallReserveHeld());
        EXPECT_EQ(GetCustomColors(), nullptr);
        if (failing > 8) break;
    }
}

}  // namespace
