#include "command_fixture.h"
#include "engine/core/engine_startup.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/menu_state_queries.h"
#include "engine/interact/mouse.h"
#include "engine/interact/menu_texts.h"
#include "engine/docio/engine_document.h"
#include "tests/engine/text/edit_session_util.h"
#include "tests/support/dialogs_double.h"
#include "tests/support/document_services_double.h"

using namespace menu_text;

using CommandStateTest = CommandFixture;

namespace {
uint32_t Add(uint32_t row, uint32_t position = 0) {
    return CmdStateAddItem(CommandStateOwner{kOwnerMenuItem, 0x1234, position}, row);
}
// The document in front: none, or one that is modified or not and has its own file or not.
EngineDocument gDocument{};
void SetDocument(int32_t active, int32_t modified, int32_t hasFile) {
    gDocument = EngineDocument{};
    gDocument.modified = modified;
    gEngine.frontDocument = active ? &gDocument : nullptr;
    RecordedDocumentServices().documentsWithFile.clear();
    if (hasFile) RecordedDocumentServices().documentsWithFile.insert(&gDocument);
}
// A caption in editing, for the cases that only ask whether there is one.
// The session the Undo rows see while a caption is edited.
LayoutEditSession* gUndoableSession = nullptr;
void RunIdle() {
    while (RunIdleTasks()) {}
}
}  // namespace

TEST_F(CommandStateTest, PoolReservesAddsRemovesAndFinds) {
    ASSERT_TRUE(CmdStateReserveItems(3));
    EXPECT_EQ(CmdStateFreeCount(), 3u);
    const uint32_t a = Add(1), b = Add(20), c = Add(15);
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(b, 1u);
    EXPECT_EQ(c, 2u);
    EXPECT_EQ(CmdStateFreeCount(), 0u);
    EXPECT_EQ(CmdStateItemRow(b), 20u);
    uint32_t found = 99;
    ASSERT_TRUE(CmdStateFindItem(20, &found));
    EXPECT_EQ(found, b);
    EXPECT_FALSE(CmdStateFindItem(30, &found));

    CmdStateRemoveItem(b);
    CmdStateRemoveItem(b);  // a second removal changes nothing
    EXPECT_EQ(CmdStateFreeCount(), 1u);
    EXPECT_FALSE(CmdStateFindItem(20, &found));
    ASSERT_TRUE(CmdStateFindItem(1, &found));
    EXPECT_EQ(found, a);
    EXPECT_EQ(Add(30), b);  // the freed item is reused

    // Growing keeps the slots; the new items are handed out first.
    ASSERT_TRUE(CmdStateReserveItems(2));
    EXPECT_EQ(CmdStateFreeCount(), 2u);
    EXPECT_EQ(Add(47), 3u);
    EXPECT_EQ(CmdStateItemRow(a), 1u);
    EXPECT_EQ(CmdStateItemRow(c), 15u);
}

TEST_F(CommandStateTest, AddingToAnExhaustedPoolFailsCleanly) {
    ASSERT_TRUE(CmdStateReserveItems(2));
    const uint32_t a = Add(1), b = Add(2);
    // The context menu adds its entries without reserving.
    EXPECT_EQ(Add(3), kCmdStateNoSlot);
    EXPECT_EQ(Add(4), kCmdStateNoSlot);
    EXPECT_EQ(CmdStateItemRow(a), 1u);
    EXPECT_EQ(CmdStateItemRow(b), 2u);
    uint32_t found = 0;
    EXPECT_FALSE(CmdStateFindItem(3, &found));
    // Refreshing and running the refused entry's slot do nothing.
    RunIdle();
    EXPECT_EQ(CmdStateExecuteItem(kCmdStateNoSlot), kResultOK);
    EXPECT_EQ(ExecutorCallCount(), 0);
    // A row that does not exist and a pool that was never made refuse likewise.
    CmdStateFreeItems();
    EXPECT_EQ(Add(1), kCmdStateNoSlot);
    ASSERT_TRUE(CmdStateReserveItems(1));
    EXPECT_EQ(Add(112), kCmdStateNoSlot);
}

TEST_F(CommandStateTest, PoolStaysWithinSixteenBitChains) {
    EXPECT_FALSE(CmdStateReserveItems(70000));
    ASSERT_TRUE(CmdStateReserveItems(65000));
    EXPECT_FALSE(CmdStateReserveItems(65536));
    EXPECT_EQ(CmdStateFreeCount(), 65000u);
}

TEST_F(CommandStateTest, ReserveFailureLeavesThePoolAsItWas) {
    ASSERT_TRUE(CmdStateReserveItems(1));
    const uint32_t a = Add(1);
    SetAllocFailureAfter(1);
    EXPECT_FALSE(CmdStateReserveItems(5));
    EXPECT_EQ(CmdStateFreeCount(), 0u);
    EXPECT_EQ(CmdStateItemRow(a), 1u);
    CmdStateFreeItems();
    SetAllocFailureAfter(1);
    EXPECT_FALSE(CmdStateReserveItems(5));
    EXPECT_EQ(Add(1), kCmdStateNoSlot);
    EXPECT_TRUE(CmdStateReserveItems(5));
}

TEST_F(CommandStateTest, DirtyGroupsRefreshLowestFirstOnePerPass) {
    ASSERT_TRUE(CmdStateReserveItems(8));
    const uint32_t undo = Add(23);       // group 6
    const uint32_t midpoint = Add(1);    // group 1
    const uint32_t quit = Add(15);       // group 0
    const uint32_t toolbox = Add(76);    // group 9
    RunIdle();
    ResetElementUpdates();

    CmdStateInvalidate(9);
    EXPECT_TRUE(CmdStateInvalidate(9));  // dirty already
    CmdStateInvalidate(6);
    CmdStateInvalidate(1);
    CmdStateInvalidate(0);
    EXPECT_EQ(CmdStateDirtyMask(), 0x243);
    // The full updates happen because these rows show marks or nouns only when their
    // variant is not 0; force it by making every item fresh again.
    for (uint32_t slot : {undo, midpoint, quit, toolbox})
        CmdStateSetItem(slot, 0, 0, 0xffff, 0, 0);
    ResetElementUpdates();
    EXPECT_TRUE(RunIdleTasks());
    EXPECT_EQ(CmdStateDirtyMask(), 0x242);
    EXPECT_TRUE(RunIdleTasks());
    EXPECT_TRUE(RunIdleTasks());
    EXPECT_FALSE(RunIdleTasks());
    EXPECT_EQ(CmdStateDirtyMask(), 0);
    const ElementUpdateLog& log = ElementUpdates();
    ASSERT_EQ(log.orderCount, 4u);
    EXPECT_EQ(log.order[0], quit);
    EXPECT_EQ(log.order[1], midpoint);
    EXPECT_EQ(log.order[2], undo);
    EXPECT_EQ(log.order[3], toolbox);
    for (uint32_t slot : {undo, midpoint, quit, toolbox}) EXPECT_EQ(log.fullUpdates[slot], 1u);
}

TEST_F(CommandStateTest, ElementsAreUpdatedOnlyOnChange) {
    ASSERT_TRUE(CmdStateReserveItems(4));
    // A fresh item is fully updated on its first refresh even when its state is
    // text 0, variant 0, disabled (row 0 with nothing selected is "&Point On Object").
    const uint32_t slot = Add(0);
    RunIdle();
    EXPECT_EQ(ElementUpdates().fullUpdates[slot], 1u);
    uint16_t text = 99, variant = 99;
    int32_t enabled = 9, argument = 9;
    ASSERT_TRUE(CmdStateGetItem(slot, &text, &variant, &enabled, &argument));
    EXPECT_EQ(text, kTextPointOnObject);
    EXPECT_EQ(variant, 0);
    EXPECT_EQ(enabled, 0);

    // Nothing changed: the element is left alone.
    CmdStateInvalidate(1);
    RunIdle();
    EXPECT_EQ(ElementUpdates().fullUpdates[slot], 1u);
    EXPECT_EQ(ElementUpdates().enabledUpdates[slot], 0u);

    // Only the enabled state changes (Select All: a front sketch comes and goes).
    const uint32_t all = Add(46);
    RunIdle();
    ResetElementUpdates();
    SetFrontSketch(nullptr);
    CmdStateInvalidate(10);
    RunIdle();
    EXPECT_EQ(ElementUpdates().fullUpdates[all], 0u);
    EXPECT_EQ(ElementUpdates().enabledUpdates[all], 1u);

    // A noun text is rebuilt at every refresh of its group.
    SetFrontSketch(&sketch);
    const uint32_t hide = Add(20);
    Select(Point(1, 1));
    RunIdle();
    ResetElementUpdates();
    CmdStateInvalidate(1);
    RunIdle();
    EXPECT_EQ(ElementUpdates().fullUpdates[hide], 1u);
}

TEST_F(CommandStateTest, ExecutionRunsTheCachedExecutorAndArgument) {
    ASSERT_TRUE(CmdStateReserveItems(6));
    const uint32_t open = Add(16);
    const uint32_t save = Add(17);
    const uint32_t properties = Add(75);
    SetDocument(1, 1, 0);
    SketchObject& first = Point(0, 0);
    Select(first);
    RunIdle();
    ResetDialogDoubles();

    EXPECT_EQ(CmdStateExecuteItem(open), kResultOK);
    EXPECT_EQ(LastExecutorCall().slot, 7);
    EXPECT_EQ(LastExecutorCall().argument, 16);  // a fixed row passes its own number
    CmdStateExecuteItem(save);
    EXPECT_EQ(LastExecutorCall().slot, 8);
    EXPECT_EQ(LastExecutorCall().argument, 17);
    CmdStateExecuteItem(properties);  // enabled for one selected object: the sheet runs
    ASSERT_EQ(RanDialogs().size(), 1u);
    EXPECT_EQ(RanDialogs()[0].kind, kDialogProperties);

    // The cached state is what runs until the next refresh: two selected objects
    // disable the row, but it runs once more (on the first selected).
    Select(first, Point(4, 0));
    CmdStateExecuteItem(properties);
    EXPECT_EQ(RanDialogs().size(), 2u);
    EXPECT_EQ(sketch.selectionHead, &first);  // the sheet selected its object alone
    ResetDialogDoubles();
    SetDocument(0, 0, 0);
}

TEST_F(CommandStateTest, RefusalsDuringADragAndWhenMemoryIsShort) {
    ASSERT_TRUE(CmdStateReserveItems(6));
    const uint32_t properties = Add(75);  // flags 0x02
    const uint32_t trace = Add(27);   // 0x13: runs while the mouse is held and when short
    const uint32_t quit = Add(15);    // 0x01
    SketchObject& point = Point(2, 2);
    Select(point);
    RunIdle();

    SetMouseState(kMouseDragging);
    CmdStateExecuteItem(properties);
    EXPECT_EQ(ExecutorCallCount(), 0);
    EXPECT_FALSE(CmdRowIsAvailable(75));
    CmdStateExecuteItem(trace);
    EXPECT_EQ(point.traced, 1);
    SetMouseState(kMouseIdle);

    // The large reserve is given up and cannot be taken back.
    ASSERT_TRUE(InstallMemoryReserves(nullptr));
    SetAllocFailureAfter(1);
    void* block = AllocMemory(64, 0);
    ASSERT_NE(block, nullptr);
    ASSERT_FALSE(LargeReserveHeld());
    SetAllocFailureAfter(1, true);
    ResetExecutorLog();
    CmdStateExecuteItem(properties);
    EXPECT_EQ(ExecutorCallCount(), 0);
    CmdStateExecuteItem(quit);
    int32_t save = 0, really = 0;
    EXPECT_TRUE(TakeAppQuitRequest(&save, &really));
    ClearAppQuitRequest();
    SetAllocFailureAfter(0);
    FreeMemory(block);
    ResetDialogDoubles();
    CmdStateExecuteItem(properties);
    EXPECT_EQ(RanDialogs().size(), 1u);
    ResetDialogDoubles();
}

TEST_F(CommandStateTest, CaptionEditingEndsUnlessTheRowKeepsIt) {
    ASSERT_TRUE(CmdStateReserveItems(4));
    const uint32_t copy = Add(98);  // 0x20
    const uint32_t properties = Add(75);
    Select(Point(2, 2));
    RunIdle();
    ResetDialogDoubles();
    ActivityWord() = kActivityCaptionEditing;
    sketch.editSession = BareEditSession("<T'a'>").release();  // ending it frees it
    CmdStateExecuteItem(copy);
    EXPECT_EQ(ActivityWord(), kActivityCaptionEditing);
    EXPECT_NE(sketch.editSession, nullptr);
    CmdStateExecuteItem(properties);
    EXPECT_EQ(ActivityWord(), 0u);
    EXPECT_EQ(sketch.editSession, nullptr);
    EXPECT_EQ(RanDialogs().size(), 1u);
    ResetDialogDoubles();
}

TEST_F(CommandStateTest, ContextMenuFit) {
    ASSERT_TRUE(CmdStateReserveItems(6));
    const uint32_t hide = Add(20);      // 0x02: over objects
    const uint32_t showAll = Add(21);   // 0x04: over empty space
    const uint32_t plotFn = Add(59);    // from the argument
    const uint32_t animate = Add(26);
    SketchObject& p = Point(0, 0);
    p.hidden = 0;
    sketch.hiddenCount = 1;
    Select(p);
    RunIdle();
    EXPECT_TRUE(CmdItemFitsContextMenu(hide, false, true));
    EXPECT_FALSE(CmdItemFitsContextMenu(hide, true, false));
    EXPECT_TRUE(CmdItemFitsContextMenu(showAll, true, false));
    EXPECT_FALSE(CmdItemFitsContextMenu(showAll, false, true));
    EXPECT_TRUE(CmdItemFitsContextMenu(animate, false, true));   // argument bit 14
    EXPECT_FALSE(CmdItemFitsContextMenu(animate, true, false));
    // With a point selected "Plot New Function..." is still offered over empty space.
    EXPECT_TRUE(CmdItemFitsContextMenu(plotFn, true, false));
    EXPECT_FALSE(CmdItemFitsContextMenu(plotFn, false, true));
    DeselectAll();
    RunIdle();
    EXPECT_TRUE(CmdItemFitsContextMenu(plotFn, true, false));    // argument bit 15
    EXPECT_FALSE(CmdItemFitsContextMenu(plotFn, false, true));
    EXPECT_FALSE(CmdItemFitsContextMenu(hide, false, true));     // disabled now
}

TEST_F(CommandStateTest, HandWrittenQueries) {
    struct Case {
        uint32_t row;
        void (*setup)(Sketch&);
        uint16_t text;
        uint16_t variant;
        bool enabled;
        uint16_t executor;
        int32_t argument;
    };
    EditSessionPtr undoable = EditSessionWithUndo();
    gUndoableSession = undoable.get();
    const Case cases[] = {
        {23, [](Sketch&) {}, kTextUndo, 0, false, 13, 0},
        {23, [](Sketch& s) { s.undoPosition = reinterpret_cast<UndoRecord*>(&s); }, kTextUndoRecord, kVariantUndoText, true, 13, 0},
        {24, [](Sketch& s) { s.redoPosition = reinterpret_cast<UndoRecord*>(&s); SetShiftState(1); }, kTextRedoAll, 0, true, 13, 0x201},
        {23, [](Sketch& s) { s.editSession = gUndoableSession; }, kTextUndo, 0, true, 13, 0},
        {24, [](Sketch& s) { s.editSession = gUndoableSession; }, kTextRedo, 0, false, 13, 1},
        {17, [](Sketch&) { SetDocument(1, 0, 0); }, kTextSaveEllipsis, 0, false, 8, 17},
        {17, [](Sketch&) { SetDocument(1, 1, 0); }, kTextSaveEllipsis, 0, true, 8, 17},
        {17, [](Sketch&) { SetDocument(1, 1, 1); }, kTextSave, 0, true, 8, 17},
        {87, [](Sketch&) { SetDocument(1, 1, 1); }, kTextCloseEllipsis, 0, true, 45, 0},
        {87, [](Sketch&) { SetDocument(1, 0, 0); }, kTextClose, 0, true, 45, 0},
        {87, [](Sketch&) {}, kTextClose, 0, false, 45, 0},
        {74, [](Sketch&) { SetDocument(1, 0, 0); SetShiftState(1); }, kTextAdvancedPreferencesEllipsis, 0, true, 35, 1},
        {76, [](Sketch&) {}, kTextHideToolbox, 0, true, 37, 0},
        {76, [](Sketch&) { RecordedDocumentServices().toolboxHidden = true; }, kTextShowToolbox, 0, true, 37, 1},
        // The palette as its own command left it: the item offers the other way.
        {85, [](Sketch&) { ShowTextPaletteCommand(1); }, kTextHideTextPalette, 0, true, 43, 0},
        {85, [](Sketch&) { ShowTextPaletteCommand(1); ShowTextPaletteCommand(0); }, kTextShowTextPalette, 0, true, 43, 1},
        {21, [](Sketch& s) { s.hiddenCount = 2; }, kTextShowAllHidden, 0, true, 11, 0},
        {65, [](Sketch&) {}, kTextEraseTraces, 0, false, 31, 0},
        {65, [](Sketch& s) { s.tracedArea = {0, 0, 20, 20}; }, kTextEraseTraces, 0, true, 31, 0},
        {46, [](Sketch&) {}, kTextSelectAll, 0, true, 23, 1},
        {46, [](Sketch&) { SetCurrentTool(kToolText); }, kTextSelectAllText, 0, true, 23, 17},
        {31, [](Sketch&) {}, kTextAboutVelmoraEllipsis, 0, true, 22, 31},
        {52, [](Sketch&) {}, kTextLinkEllipsis, 0, true, 25, 52},
        {18, [](Sketch&) { SetCurrentSketch(nullptr, nullptr); SetFrontSketch(nullptr); }, kTextSaveAsEllipsis, 0, false, 8, 18},
        {56, [](Sketch&) { SetShiftState(1); }, kTextShowCoordinateSystem, 0, true, 27, 2},
        {57, [](Sketch&) {}, kTextSnapPoints, 0, false, 28, 0},
        {61, [](Sketch&) {}, kTextSquareGrid, 0, true, 30, 1},
        {25, [](Sketch&) {}, kTextSplitMerge, 0, false, 14, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        CmdStateFreeItems();
        // The sketch's arena outlives the reset (while the sketch is current it is the
        // current arena, else the sketch holds it).
        PtrListArena* kept = gEngine.currentSketch ? CurrentPtrListArena() : sketch.arena;
        sketch = Sketch{};
        sketch.arena = kept;
        SetCurrentSketch(&sketch, nullptr);
        SetFrontSketch(&sketch);
        SetShiftState(0);
        RecordedMotionBar() = MotionBarRecord{};
        RecordedDocumentServices().toolboxHidden = false;
        SetCurrentTool(kToolTranslateArrow);
        SetDocument(0, 0, 0);
        c.setup(sketch);
        ASSERT_TRUE(CmdStateReserveItems(1));
        const uint32_t slot = Add(c.row);
        CmdStateRefreshNow();
        uint16_t text = 0, variant = 0;
        int32_t enabled = 0, argument = 0;
        ASSERT_TRUE(CmdStateGetItem(slot, &text, &variant, &enabled, &argument));
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(variant, c.variant);
        EXPECT_EQ(enabled != 0, c.enabled);
        EXPECT_EQ(CmdStateItemAt(slot)->executor, c.executor);
        EXPECT_EQ(argument, c.argument);
    }
}

TEST_F(CommandStateTest, GridFormAndSnapFollowTheMarkedSystem) {
    SketchObject& system = CoordSystem(1);
    sketch.marks[kMarkSlotCoordSystem] = { { &system }, kMarkSet };
    sketch.pageFlags = 1;  // snap points to the grid
    ASSERT_TRUE(CmdStateReserveItems(4));
    const uint32_t polar = Add(60), square = Add(61), snap = Add(57);
    CmdStateRefreshNow();
    uint16_t text = 0, variant = 0;
    int32_t enabled = 0;
    CmdStateGetItem(square, &text, &variant, &enabled, nullptr);
    EXPECT_EQ(variant, kVariantChecked);
    CmdStateGetItem(polar, &text, &variant, &enabled, nullptr);
    EXPECT_EQ(text, kTextPolarGrid);
    EXPECT_EQ(variant, kVariantPlain);
    CmdStateGetItem(snap, &text, &variant, &enabled, nullptr);
    EXPECT_EQ(variant, kVariantChecked);
    EXPECT_EQ(enabled, 1);
}

TEST_F(CommandStateTest, RefreshesWorkOnTheFrontSketchAndPutTheCurrentOneBack) {
    Sketch other{};
    ASSERT_TRUE(CmdStateReserveItems(2));
    const uint32_t midpoint = Add(1);
    Select(Segment({0, 0}, {2, 0}));
    SetCurrentSketch(&other, nullptr);
    CmdStateRefreshItemNow(midpoint);
    EXPECT_EQ(CurrentSketch(), &other);
    int32_t enabled = 0;
    CmdStateGetItem(midpoint, nullptr, nullptr, &enabled, nullptr);
    EXPECT_EQ(enabled, 1);  // the front sketch's segment, not the current sketch's nothing
    CmdStateInvalidate(1);
    CmdStateRefreshNow();
    EXPECT_EQ(CurrentSketch(), &other);
    EXPECT_EQ(CmdStateDirtyMask(), 0);
    SetCurrentSketch(&sketch, nullptr);
}
