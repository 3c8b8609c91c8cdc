// Making and pressing action buttons.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/frame_tick.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/points.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/action_buttons.h"
#include "engine/core/services/clock.h"
#include "engine/interact/action_buttons.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/motion.h"
#include "engine/interact/mouse.h"
#include "engine/interact/object_properties.h"
#include "engine/interact/undo.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"
#include "tests/engine/core/sketch_fixture.h"
#include "support/alerts_double.h"
#include "support/clock_double.h"
#include "support/dialogs_double.h"
#include "support/folders_double.h"
#include "support/views_double.h"

namespace {

class ActionButtonsTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        SetTestTickCount(1000);
        MakeCurrentSketchFront();
        ActivityWord() = 0;
        ResetMouseState();
    }
    void TearDown() override {
        StopMotions(0);
        RemoveIdleTask(&sketch->ticker.task);
        gEngine.frontSketch = nullptr;
        SketchTest::TearDown();
        ActivityWord() = 0;
    }
    bool Frame() {
        AdvanceTestTickCount(kFrameMs);
        return FrameTick(&sketch->ticker.task, 0) != 0;
    }
    static double Gap(const SketchObject* a, const SketchObject* b) {
        const RealPoint p = PointPosition(a), q = PointPosition(b);
        return std::hypot(p.x - q.x, p.y - q.y);
    }
    SketchObject* Make(int32_t type, std::initializer_list<SketchObject*> targets) {
        SketchObject* first = nullptr;
        SketchObject* last = nullptr;
        for (SketchObject* o : targets) {
            o->tempLink = nullptr;
            if (last) last->tempLink = o;
            else first = o;
            last = o;
        }
        ResultCode rc = 0;
        SketchObject* b = MakeActionButton(type, first, false, &rc);
        EXPECT_EQ(rc, kResultOK);
        return b;
    }
    static std::string Caption(SketchObject* button) {
        char text[kLabelBufferSize] = "";
        GetObjectLabelText(button, text, sizeof text);
        return text;
    }
    size_t Selected() const {
        size_t n = 0;
        for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) ++n;
        return n;
    }
};

TEST_F(ActionButtonsTest, NewButtonsTakeTheirTypesDefaults) {
    SketchObject* p = PointAt(0, 0);
    EXPECT_EQ(ActionButtonOf(Make(kButtonHide, { p }))->buttonOptions, 7);
    EXPECT_EQ(ActionButtonOf(Make(kButtonShow, { p }))->buttonOptions, 7);
    EXPECT_EQ(ActionButtonOf(Make(kButtonMove, { p, PointAt(5, 5) }))->buttonOptions, 1);
    // Without a document of several pages a link to page becomes a link to an address.
    EXPECT_EQ(ActionButtonOf(Make(kButtonLinkToPage, {}))->buttonType, kButtonLinkToTarget);
    SketchObject* hide = Make(kButtonHide, { p });
    const ActionButtonData* together = ActionButtonOf(Make(kButtonPresentation, { hide }));
    EXPECT_EQ(together->buttonOptions, 0);
    EXPECT_EQ(together->buttonParam, 600);
    ActionButtonOf(hide)->buttonType = kButtonLinkToPage;
    const ActionButtonData* sequence = ActionButtonOf(Make(kButtonPresentation, { hide }));
    EXPECT_EQ(sequence->buttonOptions, 1);
    EXPECT_EQ(sequence->buttonParam, 0);
    EXPECT_EQ(sequence->runningCount, 0);
    // Made, a button exists and is drawn.
    EXPECT_EQ(hide->exists, 1);
}

TEST_F(ActionButtonsTest, InteractiveButtonsOpenTheirPageAndLeaveNothingWhenCancelled) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(10, 0);
    a->tempLink = b;
    b->tempLink = nullptr;
    SelectSketchObject(a);
    SelectSketchObject(b);
    const auto count = [this] {
        int n = 0;
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) ++n;
        return n;
    };
    const int before = count();
    UndoRecord* const undoBefore = sketch->undoPosition;

    ResetDialogDoubles();
    ScriptDialogs({ DialogScript{ {}, false } });
    EXPECT_EQ(ActionButtonCreate(kButtonMove, a, true), kResultOK);
    ASSERT_EQ(RanDialogs().size(), 1u);
    EXPECT_EQ(RanDialogs()[0].kind, kDialogProperties);
    EXPECT_EQ(count(), before);
    EXPECT_EQ(sketch->undoPosition, undoBefore);
    EXPECT_EQ(Selected(), 2u);   // the user's selection comes back

    ScriptDialogs({ DialogScript{ { [](void* record) {
        // The sheet opened on the Move page of the new button.
        EXPECT_EQ(static_cast<PropertiesPages*>(record)->startPage, kPageMove);
    } }, true } });
    a->tempLink = b;
    b->tempLink = nullptr;
    EXPECT_EQ(ActionButtonCreate(kButtonMove, a, true), kResultOK);
    EXPECT_EQ(count(), before + 1);
    EXPECT_NE(sketch->undoPosition, undoBefore);
    ASSERT_EQ(Selected(), 1u);
    EXPECT_EQ(sketch->selectionHead->objectClass, kClassActionButton);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    int shown = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) shown += o->exists && o->objectClass == kClassActionButton;
    EXPECT_EQ(shown, 0);
}

TEST_F(ActionButtonsTest, HideThenShowWithOneUndoRecordEachSelectingTheShownTargets) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(10, 0);
    SketchObject* hide = Make(kButtonHide, { a, b });
    SketchObject* show = Make(kButtonShow, { a, b });
    // Buttons that keep their modes.
    ActionButtonOf(hide)->buttonOptions = kButtonSelectShown | kButtonFade;
    ActionButtonOf(show)->buttonOptions = kButtonSelectShown | kButtonFade;
    ASSERT_EQ(PressActionButton(hide), kResultOK);
    EXPECT_EQ(a->hidden, kHiddenByUser);
    EXPECT_EQ(b->hidden, kHiddenByUser);
    EXPECT_EQ(Selected(), 0u);
    ASSERT_EQ(PressActionButton(show), kResultOK);
    EXPECT_EQ(a->hidden, kShown);
    EXPECT_EQ(Selected(), 2u);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(a->hidden, kHiddenByUser);
    EXPECT_EQ(b->hidden, kHiddenByUser);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(a->hidden, kShown);

    // Without bit 0 the shown targets are not selected.
    ActionButtonOf(show)->buttonOptions = kButtonFade;
    ASSERT_EQ(PressActionButton(hide), kResultOK);
    ASSERT_EQ(PressActionButton(show), kResultOK);
    EXPECT_EQ(b->hidden, kShown);
    EXPECT_EQ(Selected(), 0u);
}

TEST_F(ActionButtonsTest, LinksAnswerTheirCodes) {
    SketchObject* page = Make(kButtonLinkToTarget, {});
    SketchObject* presentation = Make(kButtonPresentation, { page });
    struct Case { int32_t type; SketchObject* presentation; int32_t sequence; ResultCode rc; };
    const Case cases[] = {
        { kButtonLinkToTarget, nullptr, 0, 403 },        // no address
        { kButtonLinkToTarget, presentation, 1, 149 },   // never from a presentation
        { kButtonLinkToPage, presentation, 0, 148 },     // only ending a sequence
        { kButtonLinkToPage, nullptr, 0, 400 },          // no such page
        { kButtonLinkToPage, presentation, 1, 400 },     // ending a sequence: it goes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rc);
        ActionButtonOf(page)->buttonType = c.type;
        ActionButtonOf(page)->buttonOptions = 77;
        ActionButtonOf(presentation)->buttonOptions = static_cast<int16_t>(c.sequence);
        EXPECT_EQ(RunActionButton(page, c.presentation), c.rc);
    }
    // Not the last member of the sequence.
    SketchObject* longer = Make(kButtonPresentation, { page, Make(kButtonHide, { PointAt(0, 0) }) });
    ActionButtonOf(longer)->buttonOptions = 1;
    EXPECT_EQ(RunActionButton(page, longer), 148);
}

// Points 10 and 40 away arrive in the same frame; pressed again the button answers 107;
// instant moves need no frames; a running button pressed stops.
TEST_F(ActionButtonsTest, MoveButtonsBringTheirPointsHomeTogether) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* homeA = PointAt(10, 0);
    SketchObject* b = PointAt(0, 50);
    SketchObject* homeB = PointAt(40, 50);
    SketchObject* move = Make(kButtonMove, { a, homeA, b, homeB, PointAt(7, 7) });  // the last is unpaired
    ASSERT_EQ(PressActionButton(move), kResultOK);
    int32_t frames = 0;
    while (Gap(b, homeB) > 1e-6 && frames < 1000) {
        Frame();
        ++frames;
        if (Gap(b, homeB) > 1e-6) {
            EXPECT_GT(Gap(a, homeA), 1e-6) << "frame " << frames;
        }
    }
    EXPECT_GT(frames, 2);
    EXPECT_LT(Gap(a, homeA), 1e-6);
    for (int32_t i = 0; i < 3; ++i) Frame();
    EXPECT_EQ(PressActionButton(move), kAlertAtDestination);

    // Instant.
    ActionButtonOf(move)->buttonOptions = 3;
    ChangeObjectHidden(a, kShown, false);
    ClassData<PointData>(a)->position = RealPoint{ -30, 0 };
    RecomputeObject(a, nullptr, true);
    ASSERT_EQ(PressActionButton(move), kResultOK);
    Frame();
    Frame();
    EXPECT_LT(Gap(a, homeA), 1e-6);

    // Pressed while running, it stops its motions.
    ActionButtonOf(move)->buttonOptions = 0;
    ClassData<PointData>(a)->position = RealPoint{ -300, 0 };
    RecomputeObject(a, nullptr, true);
    ASSERT_EQ(PressActionButton(move), kResultOK);
    Frame();
    ASSERT_EQ(PressActionButton(move), kResultOK);
    const double stopped = Gap(a, homeA);
    Frame();
    Frame();
    EXPECT_GT(stopped, 1);
    EXPECT_DOUBLE_EQ(Gap(a, homeA), stopped);
}

TEST_F(ActionButtonsTest, CaptionsNameTheTypeAndTheTargets) {
    SketchObject* p = PointAt(0, 0);
    SketchObject* q = PointAt(10, 0);
    SketchObject* named = PointAt(20, 0);
    SetObjectLabel(named, "K", false);
    SetObjectLabel(p, "A", false);
    SetObjectLabel(q, "B", false);
    SketchObject* address = Make(kButtonLinkToTarget, {});
    SketchObject* hide = Make(kButtonHide, { p, q });
    SketchObject* one = Make(kButtonPresentation, { hide });
    struct Case { SketchObject* button; const char* caption; };
    const Case cases[] = {
        { hide, "Hide Points" },
        { Make(kButtonShow, { named }), "Show Point K" },
        { Make(kButtonMove, { p, q }), "Move A -> B" },
        { Make(kButtonMove, { p, q, named, PointAt(30, 0) }), "Move Points" },
        { Make(kButtonScroll, { p }), "Scroll" },
        { address, "Link" },
        { one, "Present Action" },
        { Make(kButtonPresentation, { hide, one }), "Present 2 Actions" },
        { Make(kButtonAnimate, { p }), "Animate Point A" },
    };
    for (const Case& c : cases) EXPECT_EQ(Caption(c.button), c.caption);

    // An address names itself; a sequence counts its members.
    ActionButtonData* a = ActionButtonOf(address);
    a->linkTarget = static_cast<char*>(AllocMemory(16, 0));
    std::strcpy(a->linkTarget, "www.example.org");
    int32_t level = 0;
    char text[kLabelBufferSize];
    ActionButtonCaption(address, text, sizeof text, &level);
    EXPECT_STREQ(text, "www.example.org");
    ActionButtonOf(one)->buttonOptions = 1;
    ActionButtonCaption(one, text, sizeof text, &level);
    EXPECT_STREQ(text, "Sequence 1 Actions");
    // The frame follows the caption.
    const ActionButtonData* h = ActionButtonOf(hide);
    EXPECT_GT(h->captionWidth, 0);
    EXPECT_EQ(hide->bounds.right - hide->bounds.left, h->frameWidth);
    EXPECT_GT(h->frameWidth, h->captionWidth);
}

// A toggling button follows its targets: automatic captions are made again, a typed one
// has its leading word swapped.
TEST_F(ActionButtonsTest, TogglingButtonsSwitchTypeAndCaption) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(10, 0);
    SketchObject* toggle = Make(kButtonHide, { a, b });
    SketchObject* typed = Make(kButtonHide, { a, b });
    SetObjectLabel(typed, "HIDE points now", false);
    ASSERT_EQ(Caption(toggle), "Hide Points");
    ASSERT_EQ(PressActionButton(toggle), kResultOK);
    EXPECT_EQ(a->hidden, kHiddenByUser);
    EXPECT_EQ(ActionButtonOf(toggle)->buttonType, kButtonShow);
    EXPECT_EQ(Caption(toggle), "Show Points");
    EXPECT_EQ(Caption(typed), "SHOW points now");
    ASSERT_EQ(PressActionButton(toggle), kResultOK);
    EXPECT_EQ(a->hidden, kShown);
    EXPECT_EQ(Selected(), 2u);
    EXPECT_EQ(ActionButtonOf(toggle)->buttonType, kButtonHide);
    EXPECT_EQ(Caption(typed), "HIDE points now");
    // Undo puts the targets back, and the buttons follow.
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(b->hidden, kHiddenByUser);
    EXPECT_EQ(Caption(toggle), "Show Points");
}

TEST_F(ActionButtonsTest, TheTabSelectsAndTheFacePushes) {
    SketchObject* button = Make(kButtonScroll, { PointAt(0, 0) });
    button->bounds = { 100, 100, 160, 120 };
    const int32_t faceStarts = 100 + DrawingMetrics.intMetricsB[kMetricButtonTab] + 2;
    EXPECT_FALSE(HitTestActionButton(ScreenPoint{ static_cast<int16_t>(faceStarts - 1), 110 }, button));
    EXPECT_TRUE(HitTestActionButton(ScreenPoint{ static_cast<int16_t>(faceStarts), 110 }, button));
    EXPECT_FALSE(HitTestActionButton(ScreenPoint{ 170, 110 }, button));
    EXPECT_TRUE(ObjectClassTable[kClassActionButton].hitTest(ScreenPoint{ 101, 110 }, button));
}

// What a custom tool asks of each target when a button is among its givens' children.
TEST_F(ActionButtonsTest, ParentKindsFollowTheType) {
    SketchObject* p = PointAt(0, 0);
    SketchObject* q = PointAt(5, 0);
    SketchObject* segment = Build(kTypeSegment, { p, q });
    SketchObject* hide = Make(kButtonHide, { segment });
    struct Case { SketchObject* button; int32_t index; int32_t kind; };
    const Case cases[] = {
        { hide, 0, kKindObject },
        { Make(kButtonMove, { p, q }), 1, kKindPoint },
        { Make(kButtonScroll, { q }), 0, kKindPoint },
        { Make(kButtonPresentation, { hide }), 0, kKindActionButton },
    };
    for (const Case& c : cases) {
        ParentKindRuleFn rule = GetParentKindRule(c.button);
        ASSERT_NE(rule, nullptr);
        EXPECT_EQ(rule(c.button, c.index), c.kind);
    }
}

// ---- Scroll

TEST_F(ActionButtonsTest, ScrollGlidesInEightStepsToTheClampedPoint) {
    sketch->windowRect = { 0, 0, 400, 300 };
    SketchObject* target = PointAt(1000, 504);
    SketchObject* scroll = Make(kButtonScroll, { target });
    ResetViewRequests();
    ASSERT_EQ(PressActionButton(scroll), kResultOK);
    const std::vector<ScreenPoint>& steps = RecordedViewRequests().scrollOrigins;
    ASSERT_EQ(steps.size(), 8u);
    EXPECT_EQ(steps[0].x, 125);
    EXPECT_EQ(steps[0].y, 63);
    EXPECT_EQ(steps[7].x, 1000);
    EXPECT_EQ(steps[7].y, 504);

    // Centred, from where the last press left the window; far points are clamped.
    ActionButtonOf(scroll)->buttonOptions = 1;
    SetPointPosition(target, 1e9, -1e9, 1, nullptr, false);
    RecomputeObject(target, nullptr, true);
    ResetViewRequests();
    ASSERT_EQ(PressActionButton(scroll), kResultOK);
    ASSERT_EQ(steps.size(), 8u);
    EXPECT_EQ(steps[7].x, 30000 - 200);
    EXPECT_EQ(steps[7].y, -30000 - 150);
}

// ---- Presentations

class PresentationsTest : public ActionButtonsTest {
protected:
    SketchObject* Present(std::initializer_list<SketchObject*> members, int16_t options, int16_t param) {
        SketchObject* p = Make(kButtonPresentation, members);
        ActionButtonOf(p)->buttonOptions = options;
        ActionButtonOf(p)->buttonParam = param;
        return p;
    }
    // A Move button taking a point `distance` pixels to the right, at slow speed.
    SketchObject* Mover(double y, double distance) {
        SketchObject* b = Make(kButtonMove, { PointAt(0, y), PointAt(distance, y) });
        ActionButtonOf(b)->buttonOptions = 0;
        return b;
    }
    void RunMs(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += kFrameMs) Frame();
    }
};

TEST_F(PresentationsTest, ASequencePausesAfterEachMemberThatEndsAtOnce) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(10, 0);
    SketchObject* hideA = Make(kButtonHide, { a });
    SketchObject* hideB = Make(kButtonHide, { b });
    SketchObject* sequence = Present({ hideA, hideB }, 1, 10);
    ASSERT_EQ(PressActionButton(sequence), kResultOK);
    EXPECT_EQ(a->hidden, kHiddenByUser);
    EXPECT_EQ(b->hidden, kShown);
    EXPECT_TRUE(IsButtonRunning(sequence));
    RunMs(900);
    EXPECT_EQ(b->hidden, kShown);
    RunMs(200);
    EXPECT_EQ(b->hidden, kHiddenByUser);
    EXPECT_FALSE(IsButtonRunning(sequence));
    EXPECT_EQ(sketch->pendingPresentations, 0);
}

TEST_F(PresentationsTest, ASequenceGoesOnWhenARunningMemberEnds) {
    SketchObject* mover = Mover(0, 30);
    SketchObject* b = PointAt(10, 50);
    SketchObject* sequence = Present({ mover, Make(kButtonHide, { b }) }, 1, 0);
    ASSERT_EQ(PressActionButton(sequence), kResultOK);
    EXPECT_TRUE(IsButtonRunning(mover));
    EXPECT_EQ(ActionButtonOf(sequence)->runningCount, 2);
    for (int32_t i = 0; i < 500 && b->hidden == kShown; ++i) Frame();
    EXPECT_EQ(b->hidden, kHiddenByUser);
    EXPECT_FALSE(IsButtonRunning(mover));
    EXPECT_FALSE(IsButtonRunning(sequence));
}

TEST_F(PresentationsTest, OptionOneStopsEveryMemberWhenTheFirstEnds) {
    SketchObject* quick = Mover(0, 10);
    SketchObject* slow = Mover(50, 1000);
    SketchObject* together = Present({ quick, slow }, 0x10, 0);
    ASSERT_EQ(PressActionButton(together), kResultOK);
    EXPECT_EQ(ActionButtonOf(together)->runningCount, 3);
    for (int32_t i = 0; i < 200 && IsButtonRunning(quick); ++i) Frame();
    EXPECT_FALSE(IsButtonRunning(quick));
    EXPECT_FALSE(IsButtonRunning(slow));
    EXPECT_FALSE(IsButtonRunning(together));
    EXPECT_EQ(sketch->motion.motionsHead, nullptr);
}

TEST_F(PresentationsTest, OptionTwoStopsTheMembersWhenTheTimeIsUp) {
    MidpointLocusParts m = MidpointLocus(200, 200, 100, false);
    SketchObject* animate = Make(kButtonAnimate, { m.driver });
    SketchObject* slow = Mover(50, 5000);
    SketchObject* timed = Present({ animate, slow }, 0x20, 50);
    ASSERT_EQ(PressActionButton(timed), kResultOK);
    EXPECT_TRUE(IsButtonRunning(animate));
    RunMs(4900);
    EXPECT_TRUE(IsButtonRunning(animate));
    EXPECT_TRUE(IsButtonRunning(timed));
    RunMs(200);
    EXPECT_FALSE(IsButtonRunning(animate));
    EXPECT_FALSE(IsButtonRunning(slow));
    EXPECT_FALSE(IsButtonRunning(timed));
}

TEST_F(PresentationsTest, PressingARunningPresentationStopsItAndRestartsRunningMembers) {
    SketchObject* first = Mover(0, 2000);
    SketchObject* second = Mover(50, 2000);
    ASSERT_EQ(PressActionButton(first), kResultOK);  // already running on its own
    RunMs(100);
    SketchObject* together = Present({ first, second }, 0, 600);
    ASSERT_EQ(PressActionButton(together), kResultOK);
    EXPECT_EQ(ActionButtonOf(first)->ownerPresentation, together);
    EXPECT_EQ(ActionButtonOf(together)->runningCount, 3);
    ASSERT_EQ(PressActionButton(together), kResultOK);
    EXPECT_FALSE(IsButtonRunning(first));
    EXPECT_FALSE(IsButtonRunning(second));
    EXPECT_FALSE(IsButtonRunning(together));
    EXPECT_EQ(sketch->motion.motionsHead, nullptr);
}

TEST_F(PresentationsTest, AnInstantMoveMemberArrivesAtOnce) {
    SketchObject* point = PointAt(0, 0);
    SketchObject* home = PointAt(300, 0);
    SketchObject* instant = Make(kButtonMove, { point, home });
    ActionButtonOf(instant)->buttonOptions = 3;
    SketchObject* together = Present({ instant }, 0, 0);
    ASSERT_EQ(PressActionButton(together), kResultOK);
    EXPECT_LT(Gap(point, home), 1e-6);
    EXPECT_FALSE(IsButtonRunning(together));
}

// Presentations of presentations, deeper than any stack would take one call per level.
TEST_F(PresentationsTest, DeepChainsArePressedStoppedAndDeletedWithinABound) {
    SketchObject* innermost = Present({ Mover(40, 3000) }, 0, 600);
    SketchObject* level = innermost;
    // Made directly: finding each a free place on the page would take the test's time.
    for (int32_t i = 0; i < 100000 && level; ++i) {
        ActionButtonInit init{ kButtonPresentation, 0, 0, 600, 0, 0, nullptr };
        PtrList members = 0;
        ASSERT_TRUE(PtrListAppend(&members, level));
        level = ConstructObject(kTypeActionButton, &init, members, 0, true, false, nullptr);
    }
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(PressActionButton(level), kResultOK);
    EXPECT_FALSE(IsButtonRunning(innermost));  // beyond the bound: passed over
    EXPECT_EQ(PressActionButton(level), kResultOK);
    EXPECT_EQ(PressActionButton(innermost), kResultOK);
    EXPECT_TRUE(IsButtonRunning(innermost));
    RunMs(50);
    EXPECT_EQ(PressActionButton(innermost), kResultOK);
    EXPECT_FALSE(IsButtonRunning(innermost));
}

// ---- Links, opening presses, deleting

TEST_F(ActionButtonsTest, AnAddressLinkOpensTheResolvedAddress) {
    ResetOpenedAddresses();
    ResetAlertDoubles();
    SketchObject* link = Make(kButtonLinkToTarget, {});
    ActionButtonData* b = ActionButtonOf(link);
    b->linkTarget = static_cast<char*>(AllocMemory(16, 0));
    std::strcpy(b->linkTarget, "www.example.org");
    ASSERT_EQ(PressActionButton(link), kResultOK);
    ASSERT_EQ(OpenedAddresses().size(), 1u);
    EXPECT_EQ(OpenedAddresses()[0], "http://www.example.org");
    EXPECT_TRUE(AskedQuestions().empty());
    SetOpenWithShellResult(false);
    EXPECT_EQ(PressActionButton(link), 403);

    // Selected in a document that opens, it asks first, even for a web page.
    SetOpenWithShellResult(true);
    SketchObject* a = PointAt(0, 0);
    SketchObject* hide = Make(kButtonHide, { a });
    DeselectAll();
    SelectSketchObject(hide);
    SelectSketchObject(link);
    ScriptQuestionAnswers({ false });
    ResultCode failure = 0;
    EXPECT_TRUE(PressSelectedButtons(&failure));
    EXPECT_EQ(failure, kResultCancelled);
    EXPECT_EQ(a->hidden, kHiddenByUser);  // oldest first
    EXPECT_EQ(AskedQuestions().size(), 1u);
    EXPECT_EQ(OpenedAddresses().size(), 2u);
    // Only buttons: a selected point keeps them all from running.
    SelectSketchObject(a);
    EXPECT_FALSE(PressSelectedButtons(nullptr));
    ResetOpenedAddresses();
    ResetAlertDoubles();
}

TEST_F(ActionButtonsTest, PointsThatTakeEachOtherOverAreToldWhileAnimationPauses) {
    ResetAlertDoubles();
    SketchObject* a = PointAt(0, 0);
    // The midpoint moves by moving its segment's ends, a among them.
    SketchObject* middle = Build(kTypeMidpoint, { Build(kTypeSegment, { a, PointAt(40, 0) }) });
    SketchObject* move = Make(kButtonMove, { a, PointAt(100, 0), middle, PointAt(0, 100) });
    ASSERT_EQ(PressActionButton(move), kResultOK);
    ASSERT_EQ(ShownAlerts().size(), 1u);
    EXPECT_NE(ShownAlerts()[0].text.find("geometrically defined"), std::string::npos);
    EXPECT_EQ(ShownAlerts()[0].caption, "Motion");
    EXPECT_EQ(sketch->motion.paused, 0);
    EXPECT_TRUE(IsButtonRunning(move));
    ResetAlertDoubles();
}

// A deleted member is forgotten by its presentation, which goes on at the next frame.
TEST_F(ActionButtonsTest, StoppingAButtonClearsItsCountAndItsPresentationsHold) {
    SketchObject* mover = Make(kButtonMove, { PointAt(0, 0), PointAt(2000, 0) });
    SketchObject* b = PointAt(0, 50);
    SketchObject* sequence = Make(kButtonPresentation, { mover, Make(kButtonHide, { b }) });
    ActionButtonOf(sequence)->buttonOptions = 1;
    ActionButtonOf(sequence)->buttonParam = 0;
    ASSERT_EQ(PressActionButton(sequence), kResultOK);
    ASSERT_EQ(ActionButtonOf(sequence)->runningCount, 2);
    ActionButtonStop(mover);
    EXPECT_EQ(ActionButtonOf(mover)->runningCount, 0);
    EXPECT_EQ(ActionButtonOf(sequence)->runningCount, 1);
    Frame();
    EXPECT_EQ(b->hidden, kHiddenByUser);
    EXPECT_FALSE(IsButtonRunning(sequence));
    ActionButtonStop(sequence);
    EXPECT_EQ(sketch->pendingPresentationHead, nullptr);
}

// With the mouse: the face pushes in while held and runs the button on release, telling
// what it could not do; the tab selects the button instead.
TEST_F(ActionButtonsTest, TheMousePushesTheFaceAndTellsWhatAPressCouldNotDo) {
    ResetAlertDoubles();
    SetCurrentTool(kToolTranslateArrow);
    SketchObject* a = PointAt(300, 300);
    SketchObject* move = Make(kButtonMove, { a, PointAt(300, 300) });
    move->bounds = { 20, 20, 120, 40 };
    const ScreenPoint face{ 100, 30 };
    SketchMouseDown(0, face);
    EXPECT_NE(move->markFlags & 0x02u, 0u);
    SketchMouseHover(0, ScreenPoint{ 200, 200 }, 0);  // off the face: released look
    EXPECT_EQ(move->markFlags & 0x02u, 0u);
    SketchMouseHover(0, face, 0);
    SketchMouseUp(0, face);
    EXPECT_EQ(move->markFlags & 0x02u, 0u);
    ASSERT_EQ(ShownAlerts().size(), 1u);
    EXPECT_EQ(ShownAlerts()[0].code, kAlertAtDestination);

    DeselectAll();
    SketchMouseDown(0, ScreenPoint{ 22, 30 });
    SketchMouseUp(0, ScreenPoint{ 22, 30 });
    EXPECT_EQ(sketch->selectionHead, move);
    EXPECT_EQ(ShownAlerts().size(), 1u);
    ResetAlertDoubles();
}

// Many members ending in one frame: the presentation stops the rest once the frame is
// over, and every count comes back to 0.
TEST_F(PresentationsTest, ManyMembersEndingInOneFrameLeaveNothingCounted) {
    std::vector<SketchObject*> quick;
    for (int32_t i = 0; i < 40; ++i) quick.push_back(Mover(10.0 * i, 12));
    SketchObject* slow = Mover(500, 3000);
    SketchObject* together = Make(kButtonPresentation, {});
    PtrList members = 0;
    for (SketchObject* m : quick) ASSERT_TRUE(PtrListAppend(&members, m));
    ASSERT_TRUE(PtrListAppend(&members, slow));
    ActionButtonInit init{ kButtonPresentation, 0, 0x10, 0, 0, 0, nullptr };
    together = ConstructObject(kTypeActionButton, &init, members, 0, true, false, nullptr);
    ASSERT_NE(together, nullptr);
    ASSERT_EQ(PressActionButton(together), kResultOK);
    EXPECT_EQ(ActionButtonOf(together)->runningCount, 42);
    for (int32_t i = 0; i < 200 && IsButtonRunning(together); ++i) Frame();
    EXPECT_FALSE(IsButtonRunning(together));
    EXPECT_FALSE(IsButtonRunning(slow));
    for (SketchObject* m : quick) EXPECT_FALSE(IsButtonRunning(m));
    EXPECT_EQ(sketch->motion.motionsHead, nullptr);
}

// Made by a tool's playback, a button takes the buttons' place of this page, clear of
// the one already there.
TEST_F(ActionButtonsTest, APlayedButtonTakesTheButtonsPlace) {
    sketch->windowRect = { 0, 0, 400, 300 };
    SketchObject* first = Make(kButtonScroll, { PointAt(0, 0) });
    ActionButtonInit init{ kButtonHide, 0, 7, 0, 300, 250, nullptr };
    SketchObject* played = ConstructObject(kTypeActionButton, &init, List({ PointAt(5, 5) }), 0, true, false, nullptr);
    ASSERT_NE(played, nullptr);
    PlaceNewActionButton(played);
    EXPECT_EQ(played->bounds.left, first->bounds.left);
    EXPECT_GE(played->bounds.top, first->bounds.bottom);
    EXPECT_LT(played->bounds.top, 250);
    EXPECT_EQ(played->bounds.right - played->bounds.left, ActionButtonOf(played)->frameWidth);
}

}  // namespace
