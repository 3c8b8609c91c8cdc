// figlate's tool prompts (typed arguments, givens numbered by their sort) and the
// highlight of a stepped object under the pointer, each checked both ways in one run.
#include "release2/engine/tool_prompts.h"

#include <gtest/gtest.h>

#include <optional>

#include "engine/interact/custom_tools_fixture.h"
#include "engine/interact/tool_run_fixture.h"
#include "later_text_source.h"
#include "release2/engine/engine_forms.h"

namespace {

constexpr int32_t kSegmentItem = 4;

class LaterToolRun : public ToolRun {};

TEST_F(LaterToolRun, MatchingPromptsNumberEachSortOfGivenFromOne) {
    MakeTwoSidesTool();  // A (matched by its label when the sketch has one), B, C
    struct Case { bool figlate; bool named; const char* first; const char* second; };
    const Case cases[] = {
        // A is clicked too: figmantle goes on counting, figlate starts again at B.
        { false, false, "1. Match Point A...", "2. Match Point #2..." },
        { true, false, "1. Match Point A...", "1. Match Point #2..." },
        { true, true, "1. Match Point #2...", "2. Match Point #3..." },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.figlate << " " << c.named);
        std::optional<LaterTextsInstalled> later;
        if (c.figlate) later.emplace(AddEngineForms);
        // The named case comes last: its point stays.
        if (c.named) Label(PointAt(200, 200), "A", false);
        ASSERT_TRUE(SelectCustomToolSketch(toolSketch));
        Hover(10, 10);
        EXPECT_EQ(Prompt(), c.first);
        Down(10, 10);
        Up(10, 10);
        Hover(120, 20);
        EXPECT_EQ(Prompt(), c.second);
        EndToolInProgress();
        ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    }
}

TEST_F(LaterToolRun, BuiltInToolsReadTheSameInBoth) {
    PointAt(100, 100);
    for (bool figlate : { false, true }) {
        SCOPED_TRACE(figlate);
        std::optional<LaterTextsInstalled> later;
        if (figlate) later.emplace(AddEngineForms);
        SelectToolboxItem(kSegmentItem, kToolboxNone);
        std::vector<std::string> prompts;
        // From empty space (a new place each time) to the existing point.
        const int16_t y = figlate ? 50 : 10;
        for (const ScreenPoint p : { ScreenPoint{ 10, y }, ScreenPoint{ 100, 100 } }) {
            Hover(p.x, p.y);
            prompts.push_back(Prompt());
            Click(p.x, p.y);
        }
        EXPECT_EQ(prompts, (std::vector<std::string>{ "Construct Segment...", "...to Point." }));
        SetCurrentTool(kToolTranslateArrow);
    }
}

TEST(ToolMatchPrompt, WithoutGivensOrMemory) {
    LaterTextsInstalled later(AddEngineForms);
    // Without givens the number is empty; a kind beyond the nouns gives no noun.
    char* text = ToolMatchPromptText(0, 0, nullptr, 0, -1);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, ". Match ...");
    FreeMemory(text);
    SetAllocFailureAfter(1);
    EXPECT_EQ(ToolMatchPromptText(5, kKindPoint, nullptr, 0, -1), nullptr);
    SetAllocFailureAfter(0);
}

class LaterPlayback : public CustomTools {};

TEST_F(LaterPlayback, TheStepUnderThePointerIsHighlightedWhileStepping) {
    ShowMidpointTool();
    const int32_t firstStep = ToolScriptHeaderRows() + 1;
    for (bool figlate : { false, true }) {
        SCOPED_TRACE(figlate);
        std::optional<LaterTextsInstalled> later;
        if (figlate) later.emplace(AddEngineForms);
        Select({ PointAt(200, 200 + 50 * figlate), PointAt(300, 200) });
        EXPECT_FALSE(HoverToolScriptRow(firstStep));  // not stepping yet
        ApplyNextToolStep(false);
        ASSERT_EQ(PlaybackMode(), kPlaybackStepping);
        SketchObject* made = SketchOrder().back();
        ASSERT_EQ(made->objectClass, kClassStraight);
        EXPECT_EQ(HoverToolScriptRow(firstStep), figlate);
        EXPECT_EQ((made->stateFlags & kObjectHot) != 0, figlate);
        // The next step is not made yet, and a given's row names no step: nothing is lit.
        for (int32_t row : { firstStep + 1, 2, 0 }) {
            EXPECT_FALSE(HoverToolScriptRow(row)) << row;
            EXPECT_FALSE(made->stateFlags & kObjectHot) << row;
        }
        EXPECT_EQ(HoverToolScriptRow(firstStep), figlate);
        EXPECT_EQ(HoverToolScriptRow(firstStep), figlate);  // over it still
        StopToolPlayback();
        EXPECT_FALSE(made->stateFlags & kObjectHot);  // stepping ended: the light went with it
        EXPECT_FALSE(HoverToolScriptRow(firstStep));
    }
}

}  // namespace
