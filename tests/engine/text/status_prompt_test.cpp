#include "engine/text/status_prompt.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/core/memory.h"
#include "support/views_double.h"

namespace {

class StatusPrompt : public testing::Test {
protected:
    void SetUp() override {
        InitStatusText();
        ResetViewRequests();
    }
    void TearDown() override {
        SetAllocFailureAfter(0);
        ClearStatusTextProvider(0);
        FreeStatusText();
    }
    // The status line's text after an idle fetch, or "(none)".
    std::string Fetch(bool* changed = nullptr) {
        const char* text = nullptr;
        const bool c = FetchStatusText(&text);
        if (changed) *changed = c;
        return text ? text : "(none)";
    }
};

}  // namespace

TEST_F(StatusPrompt, ShowsTheItemOfTheStatusPromptGroup) {
    SetStatusPrompt(16, 2);
    EXPECT_EQ(Fetch(), "Drag to stretch or shrink");
    EXPECT_EQ(RecordedViewRequests().statusTextRefreshes.size(), 1u);

    SetStatusPrompt(16, 2);  // the same prompt: no new refresh
    bool changed = true;
    EXPECT_EQ(Fetch(&changed), "Drag to stretch or shrink");
    EXPECT_FALSE(changed);
    EXPECT_EQ(RecordedViewRequests().statusTextRefreshes.size(), 1u);

    SetStatusPrompt(16, 38);
    EXPECT_EQ(Fetch(), "Click to view this object's properties");
    SetStatusPrompt(16, 1);  // an empty item shows nothing
    EXPECT_EQ(Fetch(), "");
}

TEST_F(StatusPrompt, OtherGroupsAndItemsOutsideTheGroupShowNoText) {
    SetStatusPrompt(16, 10);
    EXPECT_EQ(Fetch(), "Double-click to create a caption");
    SetStatusPrompt(9, 6);  // refused: the prompt stays
    bool changed = true;
    EXPECT_EQ(Fetch(&changed), "Double-click to create a caption");
    EXPECT_FALSE(changed);
    SetStatusPrompt(16, 41);
    EXPECT_EQ(Fetch(), "");
    SetStatusPrompt(16, -1);
    EXPECT_EQ(Fetch(), "");
}

TEST_F(StatusPrompt, NoMemoryGivesNoText) {
    SetStatusPrompt(16, 0);
    SetAllocFailureAfter(1);
    EXPECT_EQ(Fetch(), "(none)");
    SetAllocFailureAfter(0);
    SetStatusPrompt(16, 13);
    EXPECT_EQ(Fetch(), "Edit text");
}
