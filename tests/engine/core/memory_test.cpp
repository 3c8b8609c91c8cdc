#include "engine/core/memory.h"

#include "tests/support/alerts_double.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class MemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAllocFailureAfter(0);
        FreeMemoryReserves();
        ResetAlertDoubles();
    }
    void TearDown() override {
        SetAllocFailureAfter(0);
        FreeMemoryReserves();
    }
};

TEST_F(MemoryTest, NoReserveFlagFailsWithoutGivingUpAReserve) {
    ASSERT_TRUE(InstallMemoryReserves(nullptr));
    SetAllocFailureAfter(1);
    EXPECT_EQ(AllocMemory(16, kAllocNoReserve | 0x1000), nullptr);
    EXPECT_TRUE(SmallReserveHeld());
    EXPECT_TRUE(LargeReserveHeld());
}

TEST_F(MemoryTest, FailuresGiveUpTheLargeReserveThenTheSmallOneThenFail) {
    ASSERT_TRUE(InstallMemoryReserves(nullptr));
    SetAllocFailureAfter(1);
    void* first = AllocMemory(16, 0);
    EXPECT_NE(first, nullptr);
    EXPECT_FALSE(LargeReserveHeld());
    EXPECT_TRUE(SmallReserveHeld());

    SetAllocFailureAfter(1);
    void* second = AllocMemory(16, 0);
    EXPECT_NE(second, nullptr);
    EXPECT_FALSE(SmallReserveHeld());

    SetAllocFailureAfter(1);
    EXPECT_EQ(AllocMemory(16, 0), nullptr);
    FreeMemory(first);
    FreeMemory(second);
}

TEST_F(MemoryTest, ZeroFlagClearsTheBlock) {
    auto* bytes = static_cast<unsigned char*>(AllocMemory(256, kAllocZero));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(bytes[i], 0) << i;
    FreeMemory(bytes);
}

TEST_F(MemoryTest, FailedReallocKeepsTheBlockAndItsBytes) {
    ASSERT_TRUE(InstallMemoryReserves(nullptr));
    char* block = static_cast<char*>(AllocMemory(8, 0));
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "figures", 8);
    char* before = block;

    // Without release the first failure is final and the reserves stay.
    SetAllocFailureAfter(1);
    EXPECT_FALSE(ReallocMemoryOf(&block, 4000, false));
    EXPECT_EQ(block, before);
    EXPECT_STREQ(block, "figures");
    EXPECT_TRUE(LargeReserveHeld());

    // With release both reserves go before the answer is no.
    SetAllocFailureAfter(1, true);
    EXPECT_FALSE(ReallocMemoryOf(&block, 4000, true));
    EXPECT_EQ(block, before);
    EXPECT_STREQ(block, "figures");
    EXPECT_FALSE(LargeReserveHeld());
    EXPECT_FALSE(SmallReserveHeld());

    SetAllocFailureAfter(0);
    EXPECT_TRUE(ReallocMemoryOf(&block, 4000, true));
    EXPECT_STREQ(block, "figures");
    FreeMemory(block);
}

TEST_F(MemoryTest, RepeatingHookFailsEveryRequestUntilReset) {
    const uint64_t start = AllocRequestCount();
    SetAllocFailureAfter(2, true);
    void* ok = AllocMemory(4, 0);
    EXPECT_NE(ok, nullptr);
    EXPECT_EQ(AllocMemory(4, 0), nullptr);
    EXPECT_EQ(AllocMemory(4, 0), nullptr);
    SetAllocFailureAfter(0);
    void* again = AllocMemory(4, 0);
    EXPECT_NE(again, nullptr);
    EXPECT_EQ(AllocRequestCount() - start, 4u);
    FreeMemory(ok);
    FreeMemory(again);
}

TEST_F(MemoryTest, InstallReportsFailureAndHoldsNothing) {
    for (uint32_t failing : { 1u, 2u }) {  // the small reserve, then the large one
        SCOPED_TRACE(failing);
        SetAllocFailureAfter(failing);
        EXPECT_FALSE(InstallMemoryReserves(nullptr));
        EXPECT_FALSE(SmallReserveHeld());
        EXPECT_FALSE(LargeReserveHeld());
        // Nothing installed: nothing to restore and nothing to warn about.
        SetAllocFailureAfter(0);
        EXPECT_FALSE(CheckMemoryReserve());
        EXPECT_FALSE(SmallReserveHeld());
        EXPECT_TRUE(ShownAlerts().empty());
    }
}

TEST_F(MemoryTest, RestoreTakesBackWhateverWasGivenUp) {
    struct Case { uint32_t givenUp; uint32_t failOnRestore; bool shortAfter; bool smallAfter; bool largeAfter; };
    const Case cases[] = {
        { 1, 0, false, true, true },   // large gone: taken back
        { 2, 0, false, true, true },   // both gone: both taken back, not only the large one
        { 2, 2, true, true, false },   // memory for the small one only: still short
        { 2, 1, true, false, false },  // no memory at all: the large one is not even tried
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.givenUp * 10 + c.failOnRestore);
        ASSERT_TRUE(InstallMemoryReserves(nullptr));
        void* blocks[2] = {};
        for (uint32_t i = 0; i < c.givenUp; ++i) {
            SetAllocFailureAfter(1);
            blocks[i] = AllocMemory(32, 0);
        }
        SetAllocFailureAfter(c.failOnRestore, true);
        EXPECT_EQ(RestoreMemoryReserve(), c.shortAfter);
        SetAllocFailureAfter(0);
        EXPECT_EQ(SmallReserveHeld(), c.smallAfter);
        EXPECT_EQ(LargeReserveHeld(), c.largeAfter);
        // Once memory is there again everything comes back.
        EXPECT_FALSE(RestoreMemoryReserve());
        EXPECT_TRUE(SmallReserveHeld());
        EXPECT_TRUE(LargeReserveHeld());
        for (void* b : blocks) FreeMemory(b);
        FreeMemoryReserves();
    }
}

TEST_F(MemoryTest, CheckWarnsOncePerCallOnlyWhileMemoryIsShort) {
    ASSERT_TRUE(InstallMemoryReserves(nullptr));
    EXPECT_FALSE(CheckMemoryReserve());
    EXPECT_TRUE(ShownAlerts().empty());

    SetAllocFailureAfter(1, true);
    EXPECT_EQ(AllocMemory(16, 0), nullptr);  // gives up both reserves and fails
    EXPECT_TRUE(CheckMemoryReserve());
    EXPECT_TRUE(CheckMemoryReserve());
    ASSERT_EQ(ShownAlerts().size(), 2u);
    EXPECT_EQ(ShownAlerts()[0].code, 100);
    EXPECT_EQ(ShownAlerts()[0].caption, "Memory");

    // One bad moment does not leave every later action warning.
    SetAllocFailureAfter(0);
    EXPECT_FALSE(CheckMemoryReserve());
    EXPECT_EQ(ShownAlerts().size(), 2u);
    EXPECT_TRUE(SmallReserveHeld());
    EXPECT_TRUE(LargeReserveHeld());
}

TEST_F(MemoryTest, FreeReservesEndsRestoring) {
    ASSERT_TRUE(InstallMemoryReserves(nullptr));
    FreeMemoryReserves();
    EXPECT_FALSE(RestoreMemoryReserve());
    EXPECT_FALSE(SmallReserveHeld());
    EXPECT_FALSE(LargeReserveHeld());
}

}  // namespace
