#include "release2/ui/window_forms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/engine_startup.h"
#include "engine/docio/engine_document.h"
#include "tests/engine/interact/command_fixture.h"

namespace {

// The floating Motion Controller's buttons: the target button, the three motion buttons,
// the speed label, box and spin, and Pause, each group after a plain separator.
constexpr int32_t kButton = 57;
const std::vector<BarButtonExtent> kMotionBar = {
    { 171, false },  // target
    { 8, true },  { kButton, false }, { kButton, false }, { kButton, false },
    { 8, true },  { 36, false }, { 53, false }, { 12, false },
    { 8, true },  { kButton, false },
};
constexpr int32_t kTarget = 171, kMotions = 8 + 3 * kButton, kSpeed = 8 + 36 + 53 + 12, kPause = 8 + kButton;

std::string RowEnds(const std::vector<bool>& ends) {
    std::string s;
    for (bool e : ends) s += e ? '|' : '.';
    return s;
}

}  // namespace

TEST(MotionBarWrap, ChunksStayWholeAndEveryRowCountsForTheWidth) {
    struct Case {
        int32_t limit;
        int32_t width, height;
        const char* ends;
    };
    const int32_t h = 24, row = h + 6;
    const Case cases[] = {
        // Everything in one row.
        { 10000, kTarget + kMotions + kSpeed + kPause, h, "..........." },
        // The speed chunk would pass the limit: it starts a row without its separator.
        { kTarget + kMotions, kTarget + kMotions, h + row, ".....|....." },
        // One chunk per row. The target's row alone is the widest: a row of one chunk
        // counts, so the bar is never narrower than its widest chunk.
        { 1, kTarget, h + 3 * row, ".|...|...|." },
        // Pause fits beside the speed controls.
        { kSpeed - 8 + kPause, kTarget, h + 2 * row, ".|...|....." },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        std::vector<bool> ends(kMotionBar.size());
        std::unique_ptr<bool[]> raw(new bool[kMotionBar.size()]);
        const BarWrapSize size = WrapBarByChunks(kMotionBar.data(), int32_t(kMotionBar.size()), h, c.limit, raw.get());
        for (size_t i = 0; i < ends.size(); ++i) ends[i] = raw[i];
        EXPECT_EQ(size.width, c.width);
        EXPECT_EQ(size.height, c.height);
        EXPECT_EQ(RowEnds(ends), c.ends);
    }
}

TEST(MotionBarWrap, HiddenButtonsTakeNoRoomAndAnEmptyBarIsEmpty) {
    const BarWrapSize none = WrapBarByChunks(nullptr, 0, 24, 100, nullptr);
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(none.height, 0);
    const BarButtonExtent hidden[] = { { 40, false }, { 8, true }, { 0, false }, { 8, true }, { 30, false } };
    const BarWrapSize size = WrapBarByChunks(hidden, 5, 24, 1000, nullptr);
    EXPECT_EQ(size.width, 40 + 8 + 8 + 30);
}

TEST(MotionBarWrap, FloatingSizeKeepsTheHeightAndNarrowsToTheWidestRow) {
    const int32_t h = 24, bx = 4, by = 6;
    // The library's one-row width: the chunks fit one row, nothing narrower keeps the height.
    int32_t width = kTarget + kMotions + kSpeed + kPause + bx, height = h + by;
    FloatingBarSize(kMotionBar.data(), int32_t(kMotionBar.size()), h, bx, by, &width, &height, nullptr);
    EXPECT_EQ(width, kTarget + kMotions + kSpeed + kPause + bx);
    EXPECT_EQ(height, h + by);

    // Narrowed by the user to a little less than the target and the motion buttons: the
    // library wrapped per button into three rows; the chunks keep three rows (the target,
    // the motion buttons, the speed controls with Pause) at the widest row's width.
    std::vector<bool> ends(kMotionBar.size());
    std::unique_ptr<bool[]> raw(new bool[kMotionBar.size()]);
    width = kTarget + kMotions - 10 + bx;
    height = h + 2 * (h + 6) + by;
    FloatingBarSize(kMotionBar.data(), int32_t(kMotionBar.size()), h, bx, by, &width, &height, raw.get());
    for (size_t i = 0; i < ends.size(); ++i) ends[i] = raw[i];
    EXPECT_EQ(height, h + 2 * (h + 6) + by);
    EXPECT_EQ(width, kTarget + bx);
    EXPECT_EQ(RowEnds(ends), ".|...|.....");

    // Narrower than any chunk: one chunk per row, and the height grows to hold them.
    width = 50;
    height = h + by;
    FloatingBarSize(kMotionBar.data(), int32_t(kMotionBar.size()), h, bx, by, &width, &height, nullptr);
    EXPECT_EQ(width, kTarget + bx);
    EXPECT_EQ(height, h + 3 * (h + 6) + by);
}

namespace {

// Menu code 89 is the Close row; the test document decides whether it is enabled.
EngineDocument gCloseDocument{};

class ChildCloseTest : public CommandFixture {
protected:
    void TearDown() override {
        gEngine.frontDocument = nullptr;
        CommandFixture::TearDown();
    }
    uint32_t RegisterClose() {
        uint32_t row = 0;
        EXPECT_TRUE(MenuCodeToCommandRow(89, &row));
        EXPECT_TRUE(CmdStateReserveItems(1));
        return CmdStateAddItem(CommandStateOwner{ kOwnerMenuItem, 0x1234, 0 }, row);
    }
};

}  // namespace

TEST_F(ChildCloseTest, RunsTheCloseCommandOnlyWhenRegisteredAndEnabled) {
    // Not registered: taken, nothing runs.
    EXPECT_TRUE(ChildCloseCommand());
    EXPECT_EQ(ExecutorCallCount(), 0);

    const uint32_t slot = RegisterClose();
    ASSERT_NE(slot, kCmdStateNoSlot);
    // Disabled (no document in front): the window stays.
    gEngine.frontDocument = nullptr;
    CmdStateRefreshItemNow(slot);
    EXPECT_TRUE(ChildCloseCommand());
    EXPECT_EQ(ExecutorCallCount(), 0);

    gCloseDocument = EngineDocument{};
    gEngine.frontDocument = &gCloseDocument;
    CmdStateRefreshItemNow(slot);
    EXPECT_TRUE(ChildCloseCommand());
    EXPECT_EQ(ExecutorCallCount(), 1);
    EXPECT_EQ(LastExecutorCall().slot, 45);  // the close executor
}
