#include "engine/interact/undo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/points.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/sketch_fixture.h"
#include "engine/interact/command_executors.h"
#include "engine/core/services/clock.h"
#include "tests/support/clock_double.h"
#include "tests/support/command_elements_double.h"
#include "tests/support/views_double.h"
#include "tests/engine/text/edit_session_util.h"

namespace {

class Undo : public SketchTest {
protected:
    // Two points, the segment between them (made with undo while both are selected)
    // and its midpoint.
    void BuildSegment() {
        a = PointAt(10, 10);
        b = PointAt(50, 10);
        SelectSketchObject(a);
        SelectSketchObject(b);
        ab = Build(kTypeSegment, { a, b }, nullptr, 0, true);
        mid = Build(kTypeMidpoint, { ab });
        ASSERT_TRUE(a && b && ab && mid);
    }

    // Deletes an object and what goes with it as one record, as Delete does.
    ResultCode Delete(SketchObject* object) {
        SketchObject* head = nullptr;
        SketchObject* tail = nullptr;
        CollectDeletionSet(object, &head, &tail);
        tail->tempLink = nullptr;
        const UndoDescriptor d = { kUndoNameDelete, kUndoNounWorkedOut, 0, nullptr };
        int32_t n = 0;
        for (SketchObject* o = head; o; o = o->tempLink) ++n;
        uint8_t* cursor = nullptr;
        UndoRecord* r = UndoRecordCreate(&d, 1, UndoObjectListBytes(n), &cursor);
        if (!r) {
            // Nothing is deleted: every collected object goes back, last first.
            std::vector<SketchObject*> chain;
            for (SketchObject* o = head; o; o = o->tempLink) chain.push_back(o);
            for (auto o = chain.rbegin(); o != chain.rend(); ++o) EXPECT_EQ(UndoRestoreObject(*o), kResultOK);
            return kResultOutOfMemory;
        }
        UndoPutObjectList(&cursor, n, head, kUndoEntryDeleted);
        return UndoRecordCommit(r, false);
    }

    // Every object of the sketch with its parents' children lists naming it once.
    void ExpectSoundLinks() {
        for (SketchObject* o : SketchOrder()) {
            for (SketchObject* p : Parents(o)) {
                const std::vector<SketchObject*> c = Children(p);
                EXPECT_EQ(std::count(c.begin(), c.end(), o), 1);
                EXPECT_TRUE(IsLinkedIntoSketch(p));
            }
        }
    }

    int32_t RedoDepth() const {
        int32_t n = 0;
        for (UndoRecord* r = sketch->redoPosition; r; r = UndoRecordNewer(r)) ++n;
        return n;
    }

    std::string MenuText(int32_t index) {
        char text[256];
        BuildUndoMenuText(text, index);
        return text;
    }

    SketchObject* a = nullptr;
    SketchObject* b = nullptr;
    SketchObject* ab = nullptr;
    SketchObject* mid = nullptr;
};

}  // namespace

TEST_F(Undo, ARecordIsOneBlockOfHeaderNameEntriesAndTerminator) {
    const std::string longName(300, 'n');
    const UndoDescriptor d = { 7, kUndoNounNone, 1, longName.c_str() };
    uint8_t* cursor = nullptr;
    UndoRecord* r = UndoRecordCreate(&d, 1, 4, &cursor);
    ASSERT_NE(r, nullptr);
    UndoPutEntryHead(&cursor, kUndoEntryReversal, 4);
    std::memset(cursor, 0, 4);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(r);
    uint32_t head;
    std::memcpy(&head, bytes, 4);
    EXPECT_EQ(head, 0x1D000004u + 2 * sizeof(void*));  // 0x1D00000C where pointers have 4 bytes
    std::memcpy(&head, bytes + 8 + 2 * sizeof(void*), 4);
    EXPECT_EQ(head, 0x1E000000u + 256);
    EXPECT_EQ(UndoRecordNameIndex(r), 0);  // a record with its own name has no name index
    EXPECT_EQ(std::string(UndoRecordNameText(r)), std::string(255, 'n'));
    const uint32_t size = UndoRecordSize(r);
    EXPECT_EQ(size, 8 + 2 * sizeof(void*) + 4 + 256 + 4 + 4 + 4);
    std::memcpy(&head, bytes + size - 4, 4);
    EXPECT_EQ(head, 0x1C000000u);
    UndoEntry e;
    ASSERT_TRUE(UndoRecordEntry(r, 0, &e));
    EXPECT_EQ(e.type, kUndoEntryReversal);
    EXPECT_FALSE(UndoRecordEntry(r, 1, &e));
    UndoRecordDiscard(r);
}

// The noun of a record is worked out from the selection: kind k gives item 3k - 3 for
// one object, 3k - 2 for several, and nothing selected reads as one "Object".
TEST_F(Undo, NounFromTheSelection) {
    const ObjectTemplate line = { kTypeFree, 0, 0, kClassStraight, 1, kKindLine, 0 };
    const ObjectTemplate ray = { kTypeFree, 0, 0, kClassStraight, 1, kKindRay, 0 };
    SketchObject* l = ConstructObjectEx(&line, nullptr, 0, 0, nullptr, nullptr, false);
    SketchObject* r = ConstructObjectEx(&ray, nullptr, 0, 0, nullptr, nullptr, false);
    const UndoDescriptor d = { kUndoNameConstruct, kUndoNounWorkedOut, 0, nullptr };
    uint8_t* cursor = nullptr;
    struct Case { std::vector<SketchObject*> selected; int16_t noun; };
    const Case cases[] = {
        { {}, 0 },
        { { l }, int16_t(3 * kKindLine - 3) },
        { { l, r }, int16_t(3 * kKindStraight - 2) },  // "Straight Objects"
    };
    for (const Case& c : cases) {
        DeselectAll();
        for (SketchObject* o : c.selected) SelectSketchObject(o);
        UndoRecord* record = UndoRecordCreate(&d, 0, 0, &cursor);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(UndoRecordNounIndex(record), c.noun);
        UndoRecordDiscard(record);
    }
}

TEST_F(Undo, UndoingAConstructionSelectsItsParentsAndRedoPutsItBack) {
    BuildSegment();
    DeselectAll();
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    // The midpoint depended on the segment: it goes for good.
    EXPECT_EQ(SketchOrder(), (std::vector<SketchObject*>{ a, b }));
    EXPECT_TRUE(IsSelected(a));  // the selection of the record is back
    EXPECT_TRUE(IsSelected(b));
    EXPECT_TRUE(Children(a).empty());
    EXPECT_EQ(sketch->undoPosition, nullptr);
    EXPECT_EQ(RedoDepth(), 1);

    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_EQ(SketchOrder(), (std::vector<SketchObject*>{ a, b, ab }));
    EXPECT_TRUE(IsSelected(ab));
    ExpectSoundLinks();
    EXPECT_EQ(RedoDepth(), 0);
    EXPECT_EQ(UndoReplay(kUndoDirectionRedo), kResultNothingToUndo);
    EXPECT_EQ(sketch->selectionHead, nullptr);  // emptied all the same
}

TEST_F(Undo, DeleteTakesDependantsAndRestoresThemExactly) {
    BuildSegment();
    SketchObject* c = PointAt(90, 90);
    ASSERT_EQ(Delete(a), kResultOK);
    EXPECT_EQ(SketchOrder(), (std::vector<SketchObject*>{ b, c }));
    EXPECT_TRUE(Children(b).empty());
    UndoEntry e;
    ASSERT_TRUE(UndoRecordEntry(sketch->undoPosition, 0, &e));
    // Dependants before what they depend on.
    ASSERT_EQ(UndoObjectListCount(e), 3);
    EXPECT_EQ(UndoObjectListItem(e, 0), mid);
    EXPECT_EQ(UndoObjectListItem(e, 1), ab);
    EXPECT_EQ(UndoObjectListItem(e, 2), a);

    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
        // Restored last to first, after the objects in the sketch, and selected.
        EXPECT_EQ(SketchOrder(), (std::vector<SketchObject*>{ b, c, a, ab, mid }));
        ExpectSoundLinks();
        EXPECT_TRUE(IsSelected(a) && IsSelected(ab) && IsSelected(mid));
        EXPECT_EQ(Children(ab), std::vector<SketchObject*>{ mid });
        ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
        EXPECT_EQ(SketchOrder(), (std::vector<SketchObject*>{ b, c }));
        EXPECT_TRUE(Children(b).empty());
    }
    // The deleted objects belong to the record in effect; freeing the sketch frees them.
}

// Committing after an undo drops the undone records (and the objects they own) for good.
TEST_F(Undo, CommittingDropsTheRedoSideAndItsObjects) {
    BuildSegment();
    ASSERT_NE(Build(kTypeSegment, { a, PointAt(30, 60) }, nullptr, 0, true), nullptr);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(RedoDepth(), 2);
    SketchObject* d = PointAt(5, 5);
    const UndoDescriptor hide = { kUndoNameHide, kUndoNounWorkedOut, 0, nullptr };
    ASSERT_EQ(UndoRecordOneObject(&hide, d, true), kResultOK);
    EXPECT_EQ(d->hidden, kHiddenByUser);
    EXPECT_EQ(RedoDepth(), 0);
    EXPECT_EQ(UndoReplay(kUndoDirectionRedo), kResultNothingToUndo);
    EXPECT_EQ(UndoDepth(), 1);
}

// The document counts as modified while the undo position is not the saved one.
TEST_F(Undo, TheModifiedStateFollowsTheHistory) {
    BuildSegment();
    ASSERT_NE(Build(kTypeSegment, { a, PointAt(30, 60) }, nullptr, 0, true), nullptr);
    sketch->savedPosition = sketch->undoPosition;  // saved here
    EXPECT_FALSE(sketch->undoPosition != sketch->savedPosition);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_TRUE(sketch->undoPosition != sketch->savedPosition);
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_FALSE(sketch->undoPosition != sketch->savedPosition);
    // Undone past the save, then a new step: the saved record is gone, and no later
    // record may pass for it.
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    SketchObject* d = PointAt(1, 1);
    const UndoDescriptor hide = { kUndoNameHide, kUndoNounWorkedOut, 0, nullptr };
    ASSERT_EQ(UndoRecordOneObject(&hide, d, true), kResultOK);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(sketch->undoPosition != sketch->savedPosition);
        if (sketch->undoPosition) UndoReplay(kUndoDirectionUndo);
    }
}

// A failing entry takes back what the replay applied before it: the next undo then
// applies the record once, not twice.
TEST_F(Undo, AFailingEntryLeavesTheSketchAndThePositionsAsTheyWere) {
    SketchObject* p = PointAt(10, 10);
    SketchObject* q = PointAt(20, 20);
    // One record: hide p, then move q (a state exchange with its saved block).
    const uint32_t blockBytes = ObjectClassTable[kClassPoint].objectSize;
    std::vector<uint8_t> saved(blockBytes);
    std::memcpy(saved.data(), q, blockBytes);
    ClassData<PointData>(reinterpret_cast<SketchObject*>(saved.data()))->position = { 70, 80 };
    const UndoDescriptor d = { kUndoNameHide, kUndoNounNone, 0, nullptr };
    uint8_t* cursor = nullptr;
    UndoRecord* r = UndoRecordCreate(&d, 3, 2 * UndoObjectListBytes(1) + blockBytes, &cursor);
    ASSERT_NE(r, nullptr);
    p->tempLink = nullptr;
    q->tempLink = nullptr;
    UndoPutObjectList(&cursor, 1, p, kUndoEntryHidden);
    UndoPutObjectList(&cursor, 1, q, kUndoEntryAnimate);
    UndoPutEntryHead(&cursor, kUndoEntryStateBlocks, blockBytes);
    std::memcpy(cursor, saved.data(), blockBytes);
    ASSERT_EQ(UndoRecordCommit(r, true), kResultOK);
    EXPECT_EQ(p->hidden, kHiddenByUser);
    EXPECT_EQ(PointPosition(q).x, 70);

    // The state exchange needs memory and fails; the hide before it is taken back.
    SetAllocFailureAfter(1, true);
    EXPECT_EQ(UndoReplay(kUndoDirectionUndo), kResultOutOfMemory);
    SetAllocFailureAfter(0);
    EXPECT_EQ(p->hidden, kHiddenByUser);
    EXPECT_EQ(PointPosition(q).x, 70);
    EXPECT_EQ(sketch->undoPosition, r);

    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(p->hidden, kShown);
    EXPECT_EQ(PointPosition(q).x, 20);
    EXPECT_EQ(PointPosition(q).y, 20);
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_EQ(PointPosition(q).y, 80);
}

// Whatever allocation fails while records are made and replayed, each step either
// happens whole or not at all, and nothing leaks.
TEST_F(Undo, MemoryFailureAtEveryAllocationOfCreatingAndReplaying) {
    for (uint32_t n = 1; n < 40; ++n) {
        SCOPED_TRACE(n);
        FreeSketch(sketch);
        sketch = CreateSketch(0, nullptr);
        ASSERT_NE(sketch, nullptr);
        SetCurrentSketch(sketch, nullptr);
        BuildSegment();
        SetAllocFailureAfter(n);
        const ResultCode deleted = Delete(a);
        if (deleted != kResultOK) {
            SetAllocFailureAfter(0);
            EXPECT_EQ(SketchOrder().size(), 4u);
            ExpectSoundLinks();
            continue;
        }
        const std::vector<SketchObject*> before = SketchOrder();
        const ResultCode undone = UndoReplay(kUndoDirectionUndo);
        SetAllocFailureAfter(0);
        if (undone != kResultOK) {
            EXPECT_EQ(SketchOrder(), before);
            ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
        }
        EXPECT_EQ(SketchOrder().size(), 4u);
        ExpectSoundLinks();
    }
}

TEST_F(Undo, TrimmingFreesTheOldestRecordsInEffectFirst) {
    BuildSegment();
    SketchObject* c = PointAt(3, 3);
    const UndoDescriptor hide = { kUndoNameHide, kUndoNounWorkedOut, 0, nullptr };
    ASSERT_EQ(UndoRecordOneObject(&hide, c, true), kResultOK);
    ASSERT_EQ(UndoRecordOneObject(&hide, a, true), kResultOK);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);  // one undone record
    UndoRecord* newest = sketch->undoPosition;
    const uint32_t freed = UndoTrimHistory(sketch, 1);
    EXPECT_GT(freed, 0u);
    EXPECT_EQ(UndoDepth(), 1);  // the construction went
    EXPECT_EQ(sketch->undoPosition, newest);
    EXPECT_EQ(UndoRecordOlder(newest), nullptr);
    EXPECT_EQ(RedoDepth(), 1);
    EXPECT_GT(UndoTrimHistory(sketch, 0), 0u);
    EXPECT_EQ(sketch->undoPosition, nullptr);
    EXPECT_EQ(sketch->redoPosition, nullptr);
}

TEST_F(Undo, MenuTextNamesTheRecordAtEachPosition) {
    BuildSegment();
    EXPECT_EQ(MenuText(50), std::string("&Undo Construct ") + GroupText(kGroupKindNouns, 3 * kKindSegment - 3));
    EXPECT_EQ(MenuText(52), "&Redo  ");
    const UndoDescriptor hidden = { kUndoNameConstruct, kUndoNounNone, 1, nullptr };
    const UndoDescriptor named = { kUndoNameConstruct, 3, 1, "Perpendicular Bisector" };
    uint8_t* cursor = nullptr;
    ASSERT_EQ(UndoRecordCommit(UndoRecordCreate(&hidden, 0, 0, &cursor), false), kResultOK);
    EXPECT_EQ(MenuText(50), "&Undo Construct Hidden ");
    // A record named by text shows the text alone.
    ASSERT_EQ(UndoRecordCommit(UndoRecordCreate(&named, 0, 0, &cursor), false), kResultOK);
    EXPECT_EQ(MenuText(50), "&Undo Perpendicular Bisector ");
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(MenuText(52), "&Redo Perpendicular Bisector ");
}

// Undo All undoes one record every 50 ms, redrawing between the steps; Escape stops it
// after the current step.
TEST_F(Undo, UndoAllStepsEveryFiftyMillisecondsUntilEscape) {
    BuildSegment();
    const UndoDescriptor hide = { kUndoNameHide, kUndoNounWorkedOut, 0, nullptr };
    ASSERT_EQ(UndoRecordOneObject(&hide, a, true), kResultOK);
    ASSERT_EQ(UndoRecordOneObject(&hide, b, true), kResultOK);
    ResetViewRequests();
    SetUserAbortAtPoll(0);
    const uint32_t start = TickCount();
    EXPECT_EQ(UndoRedoCommand(0x200), kResultOK);
    EXPECT_EQ(UndoDepth(), 0);
    EXPECT_EQ(TickCount() - start, 100u);  // two waits between three steps
    EXPECT_EQ(RecordedViewRequests().redrawFlushes.size(), 2u);

    SetUserAbortAtPoll(1);
    EXPECT_EQ(UndoRedoCommand(0x201), 1);
    EXPECT_EQ(UndoDepth(), 1);
    EXPECT_EQ(RedoDepth(), 2);
    SetUserAbortAtPoll(0);
    EXPECT_EQ(UndoRedoCommand(1), kResultOK);  // one step
    EXPECT_EQ(RedoDepth(), 1);
    EXPECT_EQ(UndoRedoCommand(1 | 0x200), kResultOK);
    EXPECT_EQ(RedoDepth(), 0);
    EXPECT_EQ(UndoRedoCommand(1), kResultNothingToUndo);
}

TEST_F(Undo, WhileACaptionIsEditedTheEditorTakesTheCommand) {
    BuildSegment();
    gEngine.frontSketch = sketch;
    EditSessionPtr session = EditSessionWithUndo();
    sketch->editSession = session.get();
    EXPECT_EQ(UndoRedoCommand(0), kResultOK);
    EXPECT_EQ(UndoDepth(), 1);
    EXPECT_TRUE(CanUndoEditorChange(session.get(), 1));  // the editor's change was undone
    sketch->editSession = nullptr;
    gEngine.frontSketch = nullptr;
}
