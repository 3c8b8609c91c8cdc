#include "engine/core/tool_list.h"

#include "engine/core/memory.h"
#include "engine/core/sketch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Sketch* NamedSketch(const char* title) {
    Sketch* sketch = CreateSketch(0, nullptr);
    EXPECT_NE(sketch, nullptr);
    if (title != nullptr) {
        EXPECT_EQ(SetSketchTitle(sketch, title), kResultOK);
    }
    return sketch;
}

bool AddTool(ToolList** list, const char* title, uint32_t value) {
    const ToolListNewEntry entry = { NamedSketch(title), 0 };
    return ToolListAdd(list, &entry, value);
}

std::string NameOf(ToolList* list, int32_t index) {
    char buffer[256];
    ToolListName(list, index, buffer, sizeof buffer);
    return buffer;
}

class ToolListTest : public ::testing::Test {
protected:
    ToolList* list = nullptr;
    void TearDown() override {
        SetAllocFailureAfter(0);
        FreeToolList(list);  // frees every tool sketch still held
    }
};

TEST_F(ToolListTest, GrowsByFiveAndKeepsItsEntriesWhenGrowthFails) {
    list = CreateToolList(0, 0x1234);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ToolListUserData(list), 0x1234u);
    for (uint32_t i = 0; i < 5; ++i) ASSERT_TRUE(AddTool(&list, "t", i));
    EXPECT_EQ(list->capacity, 5);
    ASSERT_TRUE(AddTool(&list, "sixth", 5));
    EXPECT_EQ(list->capacity, 10);
    EXPECT_EQ(ToolListCount(list), 6);
    EXPECT_EQ(ToolListValue(list, 5), 5u);

    while (ToolListCount(list) < 10) ASSERT_TRUE(ToolListAdd(&list, nullptr, 0));
    ToolList* before = list;
    SetAllocFailureAfter(1, true);
    EXPECT_FALSE(ToolListAdd(&list, nullptr, 0));
    SetAllocFailureAfter(0);
    EXPECT_EQ(list, before);
    EXPECT_EQ(ToolListCount(list), 10);
    EXPECT_EQ(list->capacity, 10);
    EXPECT_EQ(NameOf(list, 5), "sixth");
    EXPECT_EQ(ToolListCount(nullptr), 0);
}

TEST_F(ToolListTest, RemovingMovesLaterEntriesUp) {
    list = CreateToolList(3, 0);
    ASSERT_TRUE(AddTool(&list, "zero", 0));
    ASSERT_TRUE(AddTool(&list, "one", 1));
    ASSERT_TRUE(AddTool(&list, "two", 2));
    ToolListSetFlags(list, 2, 0x06);

    ToolListRemove(list, 0, true);
    ASSERT_EQ(ToolListCount(list), 2);
    EXPECT_EQ(NameOf(list, 0), "one");
    EXPECT_EQ(NameOf(list, 1), "two");
    EXPECT_EQ(ToolListValue(list, 1), 2u);
    EXPECT_TRUE(ToolListTestFlags(list, 1, 0x04));

    // Removing without freeing hands the sketch back to the caller.
    Sketch* kept = nullptr;
    ASSERT_EQ(ToolListAcquire(list, 0, &kept), kResultOK);
    ToolListRemove(list, 0, false);
    EXPECT_EQ(ToolListCount(list), 1);
    FreeSketch(kept);
    ToolListRemove(list, 5, true);  // outside the count: nothing
    EXPECT_EQ(ToolListCount(list), 1);
}

TEST_F(ToolListTest, NamesOfTitledUntitledAndMissingTools) {
    list = CreateToolList(0, 0);
    const std::string longTitle(300, 'x');
    ASSERT_TRUE(AddTool(&list, nullptr, 0));
    ASSERT_TRUE(AddTool(&list, longTitle.c_str(), 0));
    ASSERT_TRUE(ToolListAdd(&list, nullptr, 0));

    char buffer[256];
    EXPECT_TRUE(ToolListName(list, 0, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "Construction");
    EXPECT_TRUE(ToolListName(list, 1, buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer), longTitle.substr(0, 255));
    EXPECT_FALSE(ToolListName(list, 2, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "(Unavailable)");
    EXPECT_TRUE(ToolListName(list, 0, buffer, 6));
    EXPECT_STREQ(buffer, "Const");

    EXPECT_TRUE(ToolListSetName(list, 0, "Square"));
    EXPECT_EQ(NameOf(list, 0), "Square");
    EXPECT_FALSE(ToolListSetName(list, 2, "Nothing there"));
    SetAllocFailureAfter(1, true);
    EXPECT_FALSE(ToolListSetName(list, 0, "Hexagon"));
    SetAllocFailureAfter(0);
    EXPECT_EQ(NameOf(list, 0), "Square");
}

TEST_F(ToolListTest, AcquireReleaseFlagsAndSwap) {
    list = CreateToolList(0, 0);
    ASSERT_TRUE(AddTool(&list, "a", 10));
    ASSERT_TRUE(ToolListAdd(&list, nullptr, 20));

    Sketch* sketch = reinterpret_cast<Sketch*>(1);
    EXPECT_EQ(ToolListAcquire(list, 1, &sketch), 204);
    EXPECT_EQ(sketch, nullptr);
    ASSERT_EQ(ToolListAcquire(list, 0, &sketch), kResultOK);
    ASSERT_EQ(ToolListAcquire(list, 0, &sketch), kResultOK);
    EXPECT_EQ(ToolListEntries(list)[0].useCount, 2);
    ToolListRelease(list, 0);
    EXPECT_EQ(ToolListEntries(list)[0].useCount, 1);

    ToolListSetFlags(list, 0, 0x81);
    ToolListClearFlags(list, 0, 0x01);
    EXPECT_TRUE(ToolListTestFlags(list, 0, 0x83));
    EXPECT_FALSE(ToolListTestFlags(list, 0, 0x01));

    ToolListSwap(list, 0, 1);
    EXPECT_EQ(ToolListValue(list, 0), 20u);
    EXPECT_EQ(NameOf(list, 1), "a");
    EXPECT_TRUE(ToolListTestFlags(list, 1, 0x80));
    ToolListSetValue(list, 1, 99);
    EXPECT_EQ(ToolListValue(list, 1), 99u);
    SetToolListUserData(list, 7);
    EXPECT_EQ(ToolListUserData(list), 7u);
}

TEST_F(ToolListTest, CreationWithoutMemoryAnswersNull) {
    SetAllocFailureAfter(1, true);
    EXPECT_EQ(CreateToolList(0, 0), nullptr);
}

}  // namespace
