#include "release2/platform/port_object_stack.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/memory.h"

namespace {

void Record(void* object, void* context) {
    static_cast<std::vector<intptr_t>*>(context)->push_back(reinterpret_cast<intptr_t>(object));
}
void* Object(intptr_t n) { return reinterpret_cast<void*>(n); }

}  // namespace

TEST(PortObjectStack, LeavingADepthReleasesWhatWasMadeThereOrDeeperTopDown) {
    PortObjectStack stack;
    std::vector<intptr_t> released;
    ASSERT_TRUE(PortStackPush(&stack, Object(100), 0));  // the base font: never released
    for (intptr_t i = 1; i <= 20; ++i) ASSERT_TRUE(PortStackPush(&stack, Object(i), i <= 10 ? 1 : 2));
    EXPECT_GE(stack.capacity, 21);
    PortStackLeave(&stack, 2, Record, &released);
    EXPECT_EQ(released.size(), 10u);
    EXPECT_EQ(released.front(), 20);
    EXPECT_EQ(stack.count, 11);
    EXPECT_EQ(PortStackFind(stack, [](void* o) { return reinterpret_cast<intptr_t>(o) % 2 == 0; }), Object(10));
    released.clear();
    PortStackLeave(&stack, 0, Record, &released);  // the outermost level: nothing is left
    EXPECT_EQ(released.size(), 10u);
    EXPECT_EQ(stack.count, 0);
    PortStackFree(&stack);
}

TEST(PortObjectStack, AStackThatCannotGrowLeavesTheObjectToTheCaller) {
    PortObjectStack stack;
    SetAllocFailureAfter(1, true);
    EXPECT_FALSE(PortStackPush(&stack, Object(1), 1));
    SetAllocFailureAfter(0);
    EXPECT_EQ(stack.count, 0);
    PortStackFree(&stack);
}

TEST(PortObjectStack, GlyphPenWidths) {
    struct Case { int32_t size, width; };
    for (const Case& c : { Case{ 5, 1 }, Case{ 13, 1 }, Case{ 17, 1 }, Case{ 18, 2 }, Case{ 24, 2 }, Case{ 27, 3 } })
        EXPECT_EQ(GlyphPenWidthForSize(c.size), c.width) << c.size;
}
