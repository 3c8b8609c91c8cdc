#include "engine/core/status_text.h"

#include "engine/core/clipboard_availability.h"
#include "engine/core/memory.h"
#include "engine/interact/command_state.h"
#include "tests/support/views_double.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

int gCallbacks = 0;

// Writes "key N" as the text, or nothing when memory fails.
void KeyText(char** text, StatusTextProvider* provider) {
    ++gCallbacks;
    *text = static_cast<char*>(AllocMemory(32, 0));
    if (*text != nullptr) std::snprintf(*text, 32, "key %u", provider->key);
}

class StatusTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitStatusText();
        ResetViewRequests();
        gCallbacks = 0;
    }
    void TearDown() override {
        SetAllocFailureAfter(0);
        FreeStatusText();
    }
};

TEST_F(StatusTextTest, TheProviderIsAskedOnlyWhenTheTextIsOutOfDate) {
    const char* text = nullptr;
    EXPECT_FALSE(FetchStatusText(&text));
    EXPECT_EQ(text, nullptr);

    const StatusTextProvider provider = { KeyText, 7 };
    SetStatusTextProvider(&provider, 0);
    ASSERT_TRUE(FetchStatusText(&text));
    EXPECT_STREQ(text, "key 7");
    EXPECT_FALSE(FetchStatusText(&text));
    EXPECT_STREQ(text, "key 7");

    // The same callback and key again: nothing to refresh.
    const StatusTextProvider same = { KeyText, 7 };
    SetStatusTextProvider(&same, 0);
    EXPECT_FALSE(FetchStatusText(&text));
    EXPECT_EQ(RecordedViewRequests().statusTextRefreshes, (std::vector<int32_t>{ 0 }));
    EXPECT_EQ(gCallbacks, 1);

    const StatusTextProvider other = { KeyText, 8 };
    SetStatusTextProvider(&other, 0);
    ASSERT_TRUE(FetchStatusText(&text));
    EXPECT_STREQ(text, "key 8");

    ClearStatusTextProvider(1);
    ClearStatusTextProvider(1);  // none installed: nothing
    EXPECT_EQ(RecordedViewRequests().statusTextRefreshes, (std::vector<int32_t>{ 0, 0, 1 }));
    ASSERT_TRUE(FetchStatusText(&text));
    EXPECT_EQ(text, nullptr);
}

TEST_F(StatusTextTest, NoMemoryForTheTextLeavesNone) {
    const StatusTextProvider provider = { KeyText, 3 };
    SetStatusTextProvider(&provider, 0);
    SetAllocFailureAfter(1, true);
    const char* text = "stale";
    EXPECT_TRUE(FetchStatusText(&text));
    EXPECT_EQ(text, nullptr);
}

TEST(ClipboardAvailabilityTest, OnlyAChangeMarksPasteDirty) {
    constexpr uint16_t kPasteGroup = 1u << 5;
    UpdateClipboardAvailability(false, false, false, false);
    CmdStateRefreshNow();
    UpdateClipboardAvailability(false, false, false, false);
    EXPECT_EQ(CmdStateDirtyMask() & kPasteGroup, 0);
    UpdateClipboardAvailability(false, true, false, true);
    EXPECT_EQ(CmdStateDirtyMask() & kPasteGroup, kPasteGroup);
    const ClipboardAvailability now = CurrentClipboardAvailability();
    EXPECT_EQ(now.plainText, 1);
    EXPECT_EQ(now.picture, 1);
    EXPECT_EQ(now.sketchObjects, 0);
    CmdStateRefreshNow();
    UpdateClipboardAvailability(false, true, false, true);
    EXPECT_EQ(CmdStateDirtyMask() & kPasteGroup, 0);
    UpdateClipboardAvailability(false, false, false, false);
    CmdStateRefreshNow();  // leaves no refresh task queued
}

}  // namespace
