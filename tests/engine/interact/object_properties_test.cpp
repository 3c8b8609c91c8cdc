// The Properties model with a scripted sheet: which pages an object gets, hidden objects
// shown while the sheet is open and put back on Cancel or changed with one undo step on
// OK, the label's effect on Display With, the presentation page's rules, retargeting by a
// pick with and without Shift, the iteration depth bound, and the paths where memory runs
// out while pages are prepared.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/calc/value_objects.h"
#include "engine/core/iterations.h"
#include "engine/core/locus.h"
#include "engine/core/marks.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/services/preferences.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/transform_maps.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/stream_bytes.h"
#include "engine/calc/edit_record.h"
#include "engine/interact/action_buttons.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/motion_params.h"
#include "engine/interact/object_properties.h"
#include "engine/interact/pick_session.h"
#include "engine/interact/selection_census.h"
#include "engine/text/object_labels.h"
#include "tests/support/alerts_double.h"
#include "tests/support/dialogs_double.h"

namespace {

DialogField* Page(int32_t page) { return PropertiesPageSet.pages[page]; }

class PropertiesTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetDialogDoubles();
        ResetAlertDoubles();
        SetShiftState(0);
    }
    void TearDown() override {
        SetShiftState(0);
        PropertiesFreePages();
        ResetDialogDoubles();
        ResetAlertDoubles();
        SketchTest::TearDown();
    }
    SketchObject* Button(int32_t type, std::initializer_list<SketchObject*> targets) {
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
        EXPECT_NE(b, nullptr);
        return b;
    }
    // Runs the sheet on the object with the edits; answers what it returned.
    int32_t Open(SketchObject* o, int32_t page, bool ok, std::function<void()> edit, bool* cancelled = nullptr) {
        DialogScript script;
        script.ok = ok;
        if (edit) script.edits.push_back([edit](void*) { edit(); });
        ScriptDialogs({ script });
        return PropertiesOpenForObject(o, page, cancelled);
    }
    static uint32_t Pages(SketchObject* o) {
        uint32_t bits = 0;
        for (int32_t p = 0; p < kPropertyPageCount; ++p)
            if (PropertyPageApplies(o, p)) bits |= 1u << p;
        return bits;
    }
};

constexpr uint32_t Bit(int32_t page) { return 1u << page; }

}  // namespace

TEST_F(PropertiesTest, PagesThatApply) {
    SketchObject* a = PointAt(10, 10);
    SketchObject* b = PointAt(50, 10);
    SketchObject* m = Value(3);
    SketchObject* hide = Button(kButtonHide, { a });
    SketchObject* move = Button(kButtonMove, { a, b });
    SketchObject* scroll = Button(kButtonScroll, { a });
    SketchObject* show = Button(kButtonShow, { a });
    SketchObject* present = Button(kButtonPresentation, { hide, show });
    const uint32_t objectLabel = Bit(kPageObject) | Bit(kPageLabel);
    struct Case { SketchObject* o; uint32_t pages; };
    const Case cases[] = {
        { a, objectLabel },
        { m, objectLabel | Bit(kPageValue) },
        { hide, objectLabel | Bit(kPageHideShow) },
        { move, objectLabel | Bit(kPageMove) },
        { scroll, objectLabel | Bit(kPageScroll) },
        { present, objectLabel | Bit(kPagePresentation) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.o->objectKind);
        EXPECT_EQ(Pages(c.o), c.pages);
    }
    EXPECT_EQ(PropertyPageForButton(a), kPageLabel);

    // A given of the tool whose body is the sketch: Object and Label, whatever it is.
    ASSERT_TRUE(PtrListAppend(&sketch->givenList, m));
    m->givenIndex = 0;
    EXPECT_EQ(Pages(m), objectLabel);
    PropertiesPreparePages(m, kPageObject);
    EXPECT_EQ(Page(kPageObject)[2].state & kFieldEnabled, 0u);  // Hidden
    EXPECT_EQ(Page(kPageObject)[6].state & kFieldEnabled, 0u);  // Arrow Selectable
    ASSERT_NE(Page(kPageObject)[7].value.text, nullptr);
    EXPECT_NE(std::strstr(Page(kPageObject)[7].value.text, "given object"), nullptr);
    EXPECT_EQ(Page(kPageLabel)[4].value.integer, 82);
    PropertiesFinishPages(false);
    m->givenIndex = -1;
}

TEST_F(PropertiesTest, HiddenPointShownWhileOpenThenOkOrCancel) {
    struct Case { bool ok; int32_t hiddenBox; int32_t after; int32_t undoSteps; };
    const Case cases[] = {
        { false, 0, kHiddenByUser, 0 },  // Cancel: hidden again, nothing recorded
        { true,  1, kHiddenByUser, 0 },  // OK with Hidden still checked: nothing changes
        { true,  0, kShown,        1 },  // OK with Hidden cleared: one show step
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ok * 10 + c.hiddenBox);
        SketchObject* a = PointAt(100, 100);
        ChangeObjectHidden(a, kHiddenByUser, false);
        const int32_t before = UndoDepth();
        bool cancelled = false;
        const int32_t result = Open(a, kPageObject, c.ok, [&] {
            EXPECT_EQ(a->hidden, kShown);
            EXPECT_EQ(sketch->selectionHead, a);
            EXPECT_EQ(a->nextSelected, nullptr);  // selected alone
            EXPECT_EQ(Page(kPageObject)[2].value.integer, 1);
            Page(kPageObject)[2].value.integer = c.hiddenBox;
        }, &cancelled);
        EXPECT_EQ(result, c.ok ? 1 : 0);
        EXPECT_EQ(cancelled, !c.ok);
        EXPECT_EQ(a->hidden, c.after);
        EXPECT_EQ(UndoDepth() - before, c.undoSteps);
        if (a->hidden != kShown) {
            EXPECT_EQ(a->nextSelected, kNotLinked);  // a hidden object is not selected
        }
        ASSERT_EQ(RanDialogs().size(), 1u);
        EXPECT_EQ(RanDialogs()[0].kind, kDialogProperties);
        EXPECT_EQ(RanDialogs()[0].helpTopic, 6);
        for (int32_t p = 0; p < kPropertyPageCount; ++p) EXPECT_EQ(Page(p), nullptr);
        EXPECT_FALSE(PickSessionActive());
        ResetDialogDoubles();
    }
}

// A hidden calculation is shown while its sheet is open (its text laid out anew) and
// hidden again on OK: the page then writes the box it reads back.
TEST_F(PropertiesTest, CalculationLeftHiddenWritesTheBoxItReadsBack) {
    ASSERT_TRUE(InitStreamTable());
    SketchObject* c = NewParameter(1234.5678);
    ASSERT_NE(c, nullptr);
    ChangeObjectHidden(c, kHiddenByUser, false);
    ASSERT_EQ(Open(c, kPageValue, true, [] { Page(kPageValue)[0].value.integer = 4; }), 1);
    ASSERT_EQ(c->hidden, kHiddenByUser);
    auto save = [](Sketch* s) {
        StreamHandle h = 0;
        EXPECT_EQ(OpenMemoryStream(0, &h), kResultOK);
        EXPECT_EQ(WriteSketch(h, s, true, false), kResultOK);
        EXPECT_EQ(CloseStream(h), kResultOK);
        return TakeStreamVector(h);
    };
    const std::vector<uint8_t> written = save(sketch);
    StreamHandle h = 0;
    ASSERT_EQ(OpenMemoryStreamCopy(written.data(), uint32_t(written.size()), &h), kResultOK);
    Sketch* back = nullptr;
    EXPECT_EQ(ReadSketch(h, &back, nullptr, kCurrentPageFormat), kResultOK);
    DiscardStream(h);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(save(back) == written);
    FreeSketch(back);
}

// A parameter has no original name: the Value page keeps its display mode when asked for
// one (its text would otherwise stay the old one until it is read back, and then be empty).
TEST_F(PropertiesTest, ParameterKeepsItsDisplayModeWhenAskedForItsOriginalName) {
    SketchObject* c = NewParameter(2.5);
    ASSERT_NE(c, nullptr);
    const int32_t mode = ValueDisplayOf(c)->displayMode;
    ASSERT_NE(mode, int32_t(kDisplayOriginalName));
    ASSERT_EQ(Open(c, kPageValue, true, [] { Page(kPageValue)[1].value.integer = kDisplayOriginalName; }), 1);
    EXPECT_EQ(ValueDisplayOf(c)->displayMode, mode);
    ASSERT_EQ(Open(c, kPageValue, true, [] { Page(kPageValue)[1].value.integer = kDisplayNoName; }), 1);
    EXPECT_EQ(ValueDisplayOf(c)->displayMode, int32_t(kDisplayNoName));
}

TEST_F(PropertiesTest, LabelTextMovesDisplayWithAndShowLabelShowsIt) {
    SketchObject* m = Value(2);
    SketchObject* a = PointAt(100, 100);
    ValueDisplayOf(m)->displayMode = kDisplayOriginalName;
    Open(m, kPageLabel, true, nullptr);
    DialogScript script;
    script.edits.push_back([](void*) { std::strcpy(Page(kPageLabel)[0].value.text, "len"); });
    script.edits.push_back([](void*) { EXPECT_EQ(Page(kPageValue)[1].value.integer, kDisplayCurrentLabel); });
    script.edits.push_back([](void*) { std::strcpy(Page(kPageLabel)[0].value.text, "   "); });
    script.edits.push_back([](void*) { EXPECT_EQ(Page(kPageValue)[1].value.integer, kDisplayNoName); });
    script.edits.push_back([](void*) { std::strcpy(Page(kPageLabel)[0].value.text, "len"); });
    ScriptDialogs({ script });
    ResetDialogDoubles();
    ScriptDialogs({ script });
    EXPECT_EQ(PropertiesOpenForObject(m, kPageLabel, nullptr), 1);
    // No Name went back to Current Label only from the object's own mode: it stays.
    EXPECT_EQ(ValueDisplayOf(m)->displayMode, kDisplayNoName);
    char text[kLabelBufferSize];
    EXPECT_STREQ(GetObjectLabel(m, 0, text, nullptr), "len");

    // A point named "P" with Show Label set shows it.
    Open(a, kPageLabel, true, [] {
        EXPECT_EQ(Page(kPageLabel)[1].state & kFieldVisible, kFieldVisible);
        std::strcpy(Page(kPageLabel)[0].value.text, "P");
        Page(kPageLabel)[1].value.integer = 1;
    });
    EXPECT_STREQ(GetObjectLabel(a, 0, text, nullptr), "P");
    EXPECT_EQ(a->label.shown, 1);
}

TEST_F(PropertiesTest, PresentationPage) {
    SketchObject* a = PointAt(10, 10);
    SketchObject* hide = Button(kButtonHide, { a });
    SketchObject* show = Button(kButtonShow, { a });
    SketchObject* one = Button(kButtonPresentation, { hide });
    SketchObject* two = Button(kButtonPresentation, { hide, show });
    ActionButtonOf(one)->buttonOptions = 0;
    ActionButtonOf(two)->buttonOptions = 0;

    // One action: no order to choose, and the first action is the last.
    Open(one, kPagePresentation, true, [] {
        DialogField* f = Page(kPagePresentation);
        EXPECT_EQ(f[0].state & (kFieldVisible | kFieldEnabled), 0u);
        EXPECT_EQ(f[4].value.integer, 1);
        f[0].value.integer = 1;
        f[4].value.integer = 2;
        f[5].value.real = 512;
    });
    EXPECT_EQ(ActionButtonOf(one)->buttonOptions & 1, 0);
    EXPECT_EQ(ActionButtonOf(one)->buttonOptions & 0x30, 0x20);
    EXPECT_EQ(ActionButtonOf(one)->buttonParam, 3000);

    struct Case { int32_t order; int32_t rule; double elapsed, pause; int16_t options, tenths; };
    const Case cases[] = {
        { 0, 0, 12.34, 99, 0x00, 123 },
        { 1, 1, 99, 2.5, 0x11, 25 },
        { 1, 0, 0, -4, 0x01, 0 },
        { 0, 2, 1e9, 0, 0x20, 3000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        Open(two, kPagePresentation, true, [&] {
            DialogField* f = Page(kPagePresentation);
            EXPECT_NE(f[0].state & kFieldVisible, 0u);
            f[0].value.integer = c.order;
            f[4].value.integer = c.rule;
            f[5].value.real = c.elapsed;
            f[6].value.real = c.pause;
        });
        EXPECT_EQ(ActionButtonOf(two)->buttonOptions, c.options);
        EXPECT_EQ(ActionButtonOf(two)->buttonParam, c.tenths);
    }
}

TEST_F(PropertiesTest, ButtonPagesStoreTheirWords) {
    SketchObject* a = PointAt(10, 10);
    SketchObject* b = PointAt(50, 10);
    SketchObject* hide = Button(kButtonHide, { a });
    Open(hide, kPageHideShow, true, [] {
        Page(kPageHideShow)[0].value.integer = 0;  // Always Show
        Page(kPageHideShow)[1].value.integer = 0;
        Page(kPageHideShow)[2].value.integer = 1;
    });
    EXPECT_EQ(ActionButtonOf(hide)->buttonType, kButtonShow);
    EXPECT_EQ(ActionButtonOf(hide)->buttonOptions, kButtonFade);

    SketchObject* move = Button(kButtonMove, { a, b });
    Open(move, kPageMove, true, [] {
        Page(kPageMove)[0].value.integer = 3;
        Page(kPageMove)[1].value.integer = 1;
    });
    EXPECT_EQ(ActionButtonOf(move)->buttonOptions, 3);
    EXPECT_EQ(ActionButtonOf(move)->buttonParam & 1, 1);

    SketchObject* scroll = Button(kButtonScroll, { a });
    Open(scroll, kPageScroll, true, [] { Page(kPageScroll)[0].value.integer = 1; });
    EXPECT_EQ(ActionButtonOf(scroll)->buttonOptions, 1);
    Open(scroll, kPageScroll, false, [] { Page(kPageScroll)[0].value.integer = 0; });
    EXPECT_EQ(ActionButtonOf(scroll)->buttonOptions, 1);
}

TEST_F(PropertiesTest, RetargetKeepsTheShownPageOnlyWithShift) {
    SketchObject* a = PointAt(100, 100);
    SketchObject* b = PointAt(200, 100);
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
    SketchObject* caption = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);  // no Label page
    ASSERT_NE(caption, nullptr);
    struct Case { int32_t shift; SketchObject* picked; int32_t start; };
    const Case cases[] = {
        { 1, b, kPageLabel },
        { 0, b, kPageObject },
        { 1, caption, kPageObject },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shift);
        int32_t startAfter = -1;
        Open(a, kPageLabel, true, [&] {
            EXPECT_EQ(PropertiesPageSet.startPage, kPageLabel);
            std::strcpy(Page(kPageLabel)[0].value.text, c.shift ? "S" : "N");
            SetShiftState(c.shift);
            PropertiesPageSet.startPage = kPageLabel;  // the page the sheet shows
            EXPECT_EQ(PickSessionClick(c.picked), 1);
            startAfter = PropertiesPageSet.startPage;
            EXPECT_EQ(Page(kPageObject)[0].value.pointer, c.picked);
            SetShiftState(0);
        });
        EXPECT_EQ(startAfter, c.start);
        char text[kLabelBufferSize];
        EXPECT_STREQ(GetObjectLabel(a, 0, text, nullptr), c.shift ? "S" : "N");  // stored into a
    }
}

TEST_F(PropertiesTest, IterationDepthBoundFollowsTheImageBudget) {
    SketchObject* seed = PointAt(10, 10);
    SketchObject* images[3];
    for (int32_t i = 0; i < 3; ++i) {
        const FixedDistanceEntry shift[2] = { { 10.0 * (i + 1), 5.0 * i, 0, 0 }, { 0, 0, 0, 0 } };
        images[i] = Build(21, { seed }, nullptr, DataBlock(shift, sizeof shift));
        ASSERT_NE(images[i], nullptr);
    }
    SketchObject* entries[4] = { seed, images[0], images[1], images[2] };
    IterationBuild build{};
    build.entries = entries;
    build.seedCount = 1;
    build.mapCount = 3;
    build.depth = 2;
    SketchObject* iteration = BuildIteration(&build);
    ASSERT_NE(iteration, nullptr);
    const int32_t budget = ThePreferences().iterationSamples;
    ThePreferences().iterationSamples = 2500;
    const int32_t depth = IterationDataOf(iteration)->parameters.depth;
    Open(iteration, kPageIteration, false, [&] {
        DialogField* f = Page(kPageIteration);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f[0].upper, 6);
        EXPECT_EQ(f[0].lower, 1);
        f[0].value.integer = 4;
        f[1].value.integer = 1;
        PropertiesApplyLive(&PropertiesPageSet);  // applied at once
        EXPECT_EQ(IterationDataOf(iteration)->parameters.depth, 4);
        EXPECT_EQ(IterationDataOf(iteration)->parameters.finalOnly, 1);
    });
    // Cancel puts back what was loaded.
    EXPECT_EQ(IterationDataOf(iteration)->parameters.depth, depth);
    EXPECT_EQ(IterationDataOf(iteration)->parameters.finalOnly, 0);
    ThePreferences().iterationSamples = budget;
}

TEST_F(PropertiesTest, PreparingFailingPartWayLeavesTheSketchAsBefore) {
    SketchObject* a = PointAt(100, 100);
    SketchObject* b = PointAt(200, 100);
    SketchObject* s = Build(kTypeSegment, { a, b });
    ChangeObjectHidden(s, kHiddenByUser, false);
    const uint32_t words = PtrListArenaWordsInUse();
    const int32_t undo = UndoDepth();
    bool opened = false;
    for (uint32_t n = 1; n < 40 && !opened; ++n) {
        SCOPED_TRACE(n);
        ScriptDialogs({ DialogScript{ {}, false } });
        SetAllocFailureAfter(n);
        const uint64_t failed = FailedAllocCount();
        const bool prepared = PropertiesPreparePages(s, kPageObject);
        SetAllocFailureAfter(0);
        if (prepared) {
            opened = true;
            PropertiesFinishPages(false);
            PropertiesFreePages();
        } else {
            EXPECT_GT(FailedAllocCount(), failed);
            for (int32_t p = 0; p < kPropertyPageCount; ++p) EXPECT_EQ(Page(p), nullptr);
        }
        EXPECT_EQ(s->hidden, kHiddenByUser);
        EXPECT_EQ(PtrListArenaWordsInUse(), words);
        EXPECT_EQ(UndoDepth(), undo);
    }
    EXPECT_TRUE(opened);
}

TEST_F(PropertiesTest, RetargetThatCannotPrepareEndsTheSheetCancelled) {
    SketchObject* a = PointAt(100, 100);
    SketchObject* b = Value(4);  // its Value page needs an array the point's sheet has not
    ChangeObjectHidden(b, kHiddenByUser, false);
    bool cancelled = false;
    const int32_t result = Open(a, kPageObject, true, [&] {
        Page(kPageObject)[6].value.integer = 0;  // Arrow Selectable cleared: stored into a
        Page(kPageObject)[1].value.pointer = b;
        SetAllocFailureAfter(1, true);
        EXPECT_EQ(PropertiesRetarget(), 0);
        SetAllocFailureAfter(0);
        for (int32_t p = 0; p < kPropertyPageCount; ++p) EXPECT_EQ(Page(p), nullptr);
    }, &cancelled);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(cancelled);  // what the retarget stored into a stays stored
    EXPECT_EQ(a->selectable, 0);
    EXPECT_EQ(b->hidden, kHiddenByUser);  // b's page was cancelled, once
}

TEST_F(PropertiesTest, CommandOpensTheFirstSelectedObjectOnTheLastPage) {
    SketchObject* a = PointAt(100, 100);
    SketchObject* b = PointAt(200, 100);
    DeselectAll();
    SelectSketchObject(a);
    SelectSketchObject(b);
    SketchObject* seen = nullptr;
    DialogScript script;
    script.edits.push_back([&](void*) {
        seen = static_cast<SketchObject*>(Page(kPageObject)[0].value.pointer);
        PropertiesPageSet.startPage = kPageLabel;
    });
    ScriptDialogs({ script, DialogScript{ { [&](void*) { EXPECT_EQ(PropertiesPageSet.startPage, kPageLabel); } }, false } });
    PropertiesCommand(0);
    EXPECT_EQ(seen, a);
    PropertiesCommand(0);
    EXPECT_EQ(RanDialogs().size(), 2u);
}

TEST_F(PropertiesTest, LinkPageNamesPagesAndButtonsOneBased) {
    EngineDocument* document = nullptr;
    ASSERT_EQ(CreateEngineDocument(&document, nullptr), kResultOK);
    void* items[2] = {};
    for (void*& item : items) ASSERT_EQ(AddDocumentItem(document, &item, kDocumentItemPage, nullptr), kResultOK);
    Sketch* first = static_cast<Sketch*>(items[0]);
    Sketch* second = static_cast<Sketch*>(items[1]);
    Sketch* previous = nullptr;
    SetCurrentSketch(second, &previous);
    SketchObject* p = PointAt(10, 10);
    SketchObject* hide = Button(kButtonHide, { p });
    SketchObject* url = Button(kButtonLinkToTarget, {});
    SketchObject* show = Button(kButtonShow, { p });
    ActionButtonOf(hide)->buttonId = 5;
    SetCurrentSketch(first, nullptr);
    SketchObject* link = Button(kButtonLinkToTarget, {});
    ASSERT_NE(link, nullptr);
    ASSERT_NE(url, nullptr);

    Open(link, kPageLink, true, [] {
        DialogField* f = Page(kPageLink);
        EXPECT_EQ(f[0].value.integer, 1);
        EXPECT_NE(f[1].state & kFieldVisible, 0u);  // two pages
        EXPECT_EQ(f[1].upper, 2);
        f[0].value.integer = 0;  // Page:
        f[1].value.integer = 2;
        f[2].value.integer = 2;  // the second button that is not a link: Show
    });
    const ActionButtonData* b = ActionButtonOf(link);
    EXPECT_EQ(b->buttonType, kButtonLinkToPage);
    EXPECT_EQ(uint16_t(b->buttonOptions), second->pageId);
    EXPECT_EQ(ActionButtonOf(show)->buttonId, 6);  // one more than the page's largest
    EXPECT_EQ(b->buttonParam, 6);
    EXPECT_EQ(b->linkTarget, nullptr);  // the default address is not kept for a page link

    Open(link, kPageLink, false, [] {
        EXPECT_EQ(Page(kPageLink)[1].value.integer, 2);
        EXPECT_EQ(Page(kPageLink)[2].value.integer, 2);
        EXPECT_EQ(Page(kPageLink)[2].upper, 2);
    });
    // A link to its own page loads as no page.
    ActionButtonOf(link)->buttonOptions = static_cast<int16_t>(first->pageId);
    Open(link, kPageLink, false, [] { EXPECT_EQ(Page(kPageLink)[1].value.integer, 0); });

    SetCurrentSketch(previous, nullptr);
    FreeEngineDocument(document);
}

TEST_F(PropertiesTest, AnimatePageEditsACopyOfTheRecords) {
    const MidpointLocusParts m = MidpointLocus(200, 200, 100, false);
    SketchObject* animate = Button(kButtonAnimate, { m.driver });
    ASSERT_NE(animate, nullptr);
    int32_t targets = 0;
    PtrListSize(animate->parents, &targets);
    ASSERT_GE(targets, 1);
    const MotionParams before = MotionParamsAt(animate->constructionData, 0);
    auto edit = [] {
        DialogField* f = Page(kPageAnimate);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f[4].value.integer, 1);
        EXPECT_NE(f[6].state & kFieldVisible, 0u);  // a point on a path has a speed
        f[6].value.integer = f[6].value.integer == 2 ? 0 : 2;
        f[5].value.integer = 1;
        PropertiesApplyLive(&PropertiesPageSet);
    };
    Open(animate, kPageAnimate, false, edit);
    const MotionParams cancelled = MotionParamsAt(animate->constructionData, 0);
    EXPECT_EQ(std::memcmp(&before, &cancelled, sizeof before), 0);
    Open(animate, kPageAnimate, true, edit);
    const MotionParams after = MotionParamsAt(animate->constructionData, 0);
    EXPECT_NE(after.speed, before.speed);
    EXPECT_EQ((after.motionFlags & kMotionFlagDirection) >> kMotionDirectionShift, 1u);
}

TEST_F(PropertiesTest, PlotPageOrdersTheDomainAndClampsSamples) {
    bool created = false;
    SketchObject* system = GetCoordinateSystem(0, true, &created);
    ASSERT_NE(system, nullptr);
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCalculation, 1, kKindFunction, 0 };
    SketchObject* function = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(function, nullptr);
    SketchObject* plot = Build(kTypeFunctionPlot, { function, system });
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(Pages(plot), Bit(kPageObject) | Bit(kPagePlot) | (LocusHasOwnLabel(plot) ? Bit(kPageLabel) : 0));
    struct Case { double from, to; int32_t samples; double lo, hi; int32_t count; int32_t steps; };
    const Case cases[] = {
        { 5, 1, 5, 1, 5, 10, 1 },        // reversed ends are ordered; too few samples become 10
        { 3, 3, 50, 3, 4, 50, 1 },       // equal ends: the upper is one more
        { 3, 4, 60, 3, 4, 60, 0 },       // the same range records nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        const int32_t before = UndoDepth();
        Open(plot, kPagePlot, true, [&] {
            DialogField* f = Page(kPagePlot);
            EXPECT_EQ(f[2].value.pointer, function);
            EXPECT_NE(f[3].state & kFieldVisible, 0u);
            EXPECT_EQ(f[0].lower, 10);
            f[0].value.integer = c.samples;
            f[3].value.real = c.from;
            f[4].value.real = c.to;
        });
        EXPECT_EQ(LocusDataOf(plot)->lo, c.lo);
        EXPECT_EQ(LocusDataOf(plot)->hi, c.hi);
        EXPECT_EQ(LocusDataOf(plot)->sampleCount, c.count);
        EXPECT_EQ(UndoDepth() - before, c.steps);
    }
}
