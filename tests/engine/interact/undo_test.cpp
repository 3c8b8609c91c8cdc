#include "engine/interact/undo.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"

namespace {

std::vector<SketchObject*> gReplayed;
int32_t gDirection = -1;
int gReleased = 0;

void HideListed(uint8_t* payload, uint32_t, int32_t direction) {
    gDirection = direction;
    for (int32_t i = 0; i < UndoObjectListCount(payload); ++i) {
        SketchObject* o = UndoObjectListItem(payload, i);
        gReplayed.push_back(o);
        ChangeObjectHidden(o, kHiddenByUser, false);
    }
}

void CountRelease(uint8_t*, uint32_t) { ++gReleased; }

}  // namespace

TEST(UndoRecords, CarriedOutRecordsActThroughTheirHandlers) {
    Sketch* sketch = CreateSketch(0, nullptr);
    ASSERT_NE(sketch, nullptr);
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    RegisterUndoEntryHandler(kUndoEntryHidden, HideListed, CountRelease);

    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    SketchObject* a = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    SketchObject* b = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_TRUE(a && b);
    a->tempLink = b;
    b->tempLink = nullptr;
    const UndoListDescriptor hide = { kUndoNameHide, -1 };
    // Kept only: nothing happens to the objects.
    EXPECT_EQ(UndoRecordObjectList(&hide, a, false), kResultOK);
    EXPECT_TRUE(gReplayed.empty());
    EXPECT_EQ(a->hidden, kShown);
    // Carried out: the handler hides them.
    EXPECT_EQ(UndoRecordObjectList(&hide, a, true), kResultOK);
    EXPECT_EQ(gReplayed, (std::vector<SketchObject*>{ a, b }));
    EXPECT_EQ(gDirection, 1);
    EXPECT_EQ(a->hidden, kHiddenByUser);
    EXPECT_EQ(sketch->hiddenCount, 2);
    ASSERT_NE(sketch->undoHistory, nullptr);
    EXPECT_EQ(sketch->undoHistory->undoName, kUndoNameHide);

    SetAllocFailureAfter(1, true);
    EXPECT_EQ(UndoRecordObjectList(&hide, a, true), kResultOutOfMemory);
    SetAllocFailureAfter(0);

    // Discarding the history runs each entry's release routine.
    UndoTrimHistory(sketch, 0, 0);
    EXPECT_EQ(gReleased, 2);
    EXPECT_EQ(sketch->undoHistory, nullptr);
    RegisterUndoEntryHandler(kUndoEntryHidden, nullptr, nullptr);
    FreeSketch(sketch);
    SetCurrentSketch(previous, nullptr);
}

TEST(UndoRecords, NounFromTheSelection) {
    Sketch* sketch = CreateSketch(0, nullptr);
    ASSERT_NE(sketch, nullptr);
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    const ObjectTemplate line = { kTypeFree, 0, 0, kClassStraight, 1, kKindLine, 0 };
    const ObjectTemplate ray = { kTypeFree, 0, 0, kClassStraight, 1, kKindRay, 0 };
    SketchObject* l = ConstructObjectEx(&line, nullptr, 0, 0, nullptr, nullptr, false);
    SketchObject* r = ConstructObjectEx(&ray, nullptr, 0, 0, nullptr, nullptr, false);
    SelectSketchObject(l);
    const UndoHeader header = { kUndoNameConstruct, -1, 0, nullptr };
    uint8_t* cursor = nullptr;
    UndoRecord* one = UndoRecordCreate(&header, 0, 0, &cursor);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->nounIndex, 3 * kKindLine - 3);
    SelectSketchObject(r);
    UndoRecord* two = UndoRecordCreate(&header, 0, 0, &cursor);
    EXPECT_EQ(two->nounIndex, 3 * kKindStraight - 3 + 1);  // "Straight Objects"
    UndoRecordDiscard(one);
    UndoRecordDiscard(two);
    FreeSketch(sketch);
    SetCurrentSketch(previous, nullptr);
}
