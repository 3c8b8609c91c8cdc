#include "engine/interact/toolbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/services/custom_tools.h"
#include "engine/interact/current_tool.h"
#include "tests/support/document_services_double.h"

namespace {

class Toolbox : public testing::Test {
protected:
    void TearDown() override {
        ToolboxEntry* previous = nullptr;
        InstallToolbox(nullptr, &previous);
        FreeMemory(previous);
        for (ToolboxEntry* l : layouts) FreeMemory(l);
    }

    // A heap copy of the entries, freed at the end unless installed.
    ToolboxEntry* Layout(std::vector<ToolboxEntry> entries) {
        auto* copy = static_cast<ToolboxEntry*>(AllocMemory(entries.size() * sizeof(ToolboxEntry), 0));
        std::memcpy(copy, entries.data(), entries.size() * sizeof(ToolboxEntry));
        return copy;
    }

    ResultCode Install(ToolboxEntry* layout) {
        ToolboxEntry* previous = nullptr;
        const ResultCode rc = InstallToolbox(layout, &previous);
        if (rc == kResultBadToolbox || rc == kResultNoToolAvailable) layouts.push_back(layout);
        FreeMemory(previous);
        return rc;
    }

    struct Item {
        int32_t tool;
        bool hasMembers;
    };
    std::vector<Item> Items() {
        std::vector<Item> items;
        for (int32_t i = 1; ToolboxItemField(i) != 0; ++i) {
            Item it{};
            bool current = false;
            EXPECT_TRUE(ToolboxItemInfo(i, kToolboxNone, &it.tool, &current, &it.hasMembers, nullptr));
            items.push_back(it);
        }
        return items;
    }

    std::vector<ToolboxEntry*> layouts;
};

}  // namespace

TEST_F(Toolbox, DefaultLayoutShowsSixItemsWithTwoGroupsOfThree) {
    EXPECT_EQ(DefaultToolboxLayoutSize(), 112u);
    ASSERT_EQ(Install(CopyDefaultToolboxLayout()), kResultOK);
    const std::vector<Item> items = Items();
    ASSERT_EQ(items.size(), 6u);
    const int32_t tools[6] = { kToolTranslateArrow, kToolPoint, kToolCompass, kToolSegment, kToolText,
                               kToolCustomButton };
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].tool, tools[i]);
        EXPECT_EQ(items[i].hasMembers, i == 0 || i == 3);
    }
    EXPECT_EQ(ToolboxItemField(1), 3);  // a group's visible members
    EXPECT_EQ(ToolboxItemField(2), kToolPoint);
    // The default entry is the translate arrow, the first member of the first group.
    int32_t item = 0, member = 0;
    GetToolboxSelection(&item, &member);
    EXPECT_EQ(item, 1);
    EXPECT_EQ(member, 1);
    EXPECT_EQ(CurrentToolId(), kToolTranslateArrow);
    int32_t tool = 0;
    EXPECT_TRUE(ToolboxItemInfo(4, 3, &tool, nullptr, nullptr, nullptr));
    EXPECT_EQ(tool, kToolLine);
    EXPECT_TRUE(ToolboxFindTool(kToolRay, &item, &member));
    EXPECT_EQ(item, 4);
    EXPECT_EQ(member, 2);
    EXPECT_TRUE(ToolboxFindTool(kToolCompass, &item, &member));
    EXPECT_EQ(item, 3);
    EXPECT_EQ(member, kToolboxNone);
}

TEST_F(Toolbox, SelectingAGroupSelectsItsRememberedMember) {
    ASSERT_EQ(Install(CopyDefaultToolboxLayout()), kResultOK);
    const int32_t refreshes = RecordedDocumentServices().toolboxRefreshes;
    // No sketch is in front: the construction tools become current without a run.
    SelectToolboxEntry(4, kToolboxNone, false);
    EXPECT_EQ(CurrentToolId(), kToolSegment);
    int32_t item = 0, member = 0;
    GetToolboxSelection(&item, &member);
    EXPECT_EQ(item, 4);
    EXPECT_EQ(member, 1);
    EXPECT_GT(RecordedDocumentServices().toolboxRefreshes, refreshes);

    SelectToolboxEntry(4, 3, false);  // the line tool is remembered
    SelectToolboxEntry(2, kToolboxNone, false);
    SelectToolboxEntry(4, kToolboxNone, false);
    EXPECT_EQ(CurrentToolId(), kToolLine);
    bool current = false;
    EXPECT_TRUE(ToolboxItemInfo(4, 3, nullptr, &current, nullptr, nullptr));
    EXPECT_TRUE(current);

    SelectToolboxEntry(kToolboxNone, kToolboxNone, false);
    GetToolboxSelection(&item, &member);
    EXPECT_EQ(item, kToolboxNone);
    EXPECT_EQ(CurrentToolId(), kToolTranslateArrow);
    EXPECT_TRUE(ChooseCurrentTool());
    EXPECT_FALSE(ChooseCurrentTool());
    GetToolboxSelection(&item, &member);
    EXPECT_EQ(item, 1);
}

TEST_F(Toolbox, UnavailableToolIsHiddenWith301) {
    ToolboxEntry* layout = Layout({ { 0, 2, 0, 0 }, { 2, 3, 0, 0 }, { 1, 4, 0, 0 }, { 1, 9, 0, 0 }, { 1, 5, 0, 0 } });
    ASSERT_EQ(Install(layout), kResultSomeToolsUnavailable);
    EXPECT_EQ(ToolboxItemField(1), kToolPoint);
    EXPECT_EQ(ToolboxItemField(2), kToolCompass);
    EXPECT_EQ(ToolboxItemField(3), 0);
    int32_t item = 0, member = 0;
    EXPECT_FALSE(ToolboxFindTool(9, &item, &member));
    EXPECT_EQ(layout[3].c, 0);
}

// A damaged layout or one without an available tool leaves the old one in place.
TEST_F(Toolbox, RefusedLayoutsKeepTheInstalledOne) {
    ASSERT_EQ(Install(CopyDefaultToolboxLayout()), kResultOK);
    const ToolboxEntry* installed = InstalledToolbox();
    struct Case {
        std::vector<ToolboxEntry> entries;
        ResultCode code;
    };
    const Case cases[] = {
        { { { 0, 2, 0, 0 }, { 2, 1, 0, 0 }, { 1, 4, 0, 0 } }, kResultBadToolbox },                // one member
        { { { 1, 2, 0, 0 }, { 2, 2, 0, 0 }, { 1, 4, 0, 0 }, { 1, 5, 0, 0 } }, kResultBadToolbox },  // header
        { { { 0, 2, 0, 0 }, { 2, 2, 0, 0 }, { 1, 4, 0, 0 }, { 7, 5, 0, 0 } }, kResultBadToolbox },  // entry type
        { { { 0, 2, 0, 0 }, { 2, 2, 0, 0 }, { 1, 4, 0, 0 }, { 2, 1, 0, 0 }, { 1, 5, 0, 0 } },
          kResultBadToolbox },  // a nested group of one
        { { { 0, 2, 0, 0 }, { 2, 2, 0, 0 }, { 1, 9, 0, 0 }, { 3, 0, 0, 0 } }, kResultNoToolAvailable },
    };
    for (const Case& c : cases) {
        ToolboxEntry* previous = reinterpret_cast<ToolboxEntry*>(1);
        ToolboxEntry* layout = Layout(c.entries);
        layouts.push_back(layout);
        EXPECT_EQ(InstallToolbox(layout, &previous), c.code);
        EXPECT_EQ(previous, nullptr);
        EXPECT_EQ(InstalledToolbox(), installed);
    }
    EXPECT_EQ(Items().size(), 6u);
}

TEST_F(Toolbox, NestedGroupCountsWhenItShowsAMember) {
    // Top group: a nested group of two unavailable tools, then a nested group of the
    // point tool and tool 9, then the compass.
    ToolboxEntry* layout = Layout({ { 0, 6, 0, 0 }, { 2, 3, 0, 0 }, { 2, 2, 0, 0 }, { 1, 9, 0, 0 }, { 1, 9, 0, 0 },
                                    { 2, 2, 0, 0 }, { 1, 4, 0, 0 }, { 1, 9, 0, 0 }, { 1, 5, 0, 0 } });
    ASSERT_EQ(Install(layout), kResultSomeToolsUnavailable);
    const std::vector<Item> items = Items();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].tool, kToolPoint);
    EXPECT_FALSE(items[0].hasMembers);  // one visible member
    EXPECT_EQ(items[1].tool, kToolCompass);
    // The default entry, entry 6 (the point tool in the second nested group), shows and
    // is chosen.
    EXPECT_EQ(CurrentToolId(), kToolPoint);
}

TEST_F(Toolbox, CustomToolButton) {
    EXPECT_EQ(ToolboxSelectCustomTool(), 0);  // no toolbox
    ASSERT_EQ(Install(CopyDefaultToolboxLayout()), kResultOK);
    SelectToolboxEntry(6, kToolboxNone, false);
    EXPECT_EQ(CurrentToolId(), kToolCustomButton);
    EXPECT_EQ(ToolboxSelectCustomTool(), 1);  // back to the default entry
    EXPECT_EQ(CurrentToolId(), kToolTranslateArrow);
    SelectToolboxEntry(2, kToolboxNone, false);
    EXPECT_EQ(ToolboxSelectCustomTool(), 2);
    EXPECT_EQ(CurrentToolId(), kToolPoint);

    ToolboxEntry* noButton = Layout({ { 0, 2, 0, 0 }, { 2, 2, 0, 0 }, { 1, 4, 0, 0 }, { 1, 5, 0, 0 } });
    ASSERT_EQ(Install(noButton), kResultOK);
    EXPECT_EQ(ToolboxSelectCustomTool(), 0);
}
