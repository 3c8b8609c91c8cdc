#include "sketch_fixture.h"
#include "engine/core/point_objects.h"
#include "engine/core/services/text_data.h"
#include "engine/text/text_style.h"

#include <algorithm>

using Construction = SketchTest;

namespace {

constexpr double kPi = 3.1415926535898;

uint32_t CountObjects(const Sketch* sketch) {
    uint32_t n = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) ++n;
    return n;
}

}  // namespace

TEST_F(Construction, NewObjectTakesTypeKindStyleAndParents) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SetPointPosition(b, 10, 0, 1, nullptr, false);  // a segment needs two distinct ends
    uint16_t flags = 0xffff;
    SketchObject* s = Build(kTypeSegment, { a, b }, &flags);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(flags, kConstructedNew);
    EXPECT_EQ(s->objectClass, kClassStraight);
    EXPECT_EQ(s->objectKind, kKindSegment);
    EXPECT_EQ(s->color, sketch->settings.palette[1]);
    EXPECT_EQ(s->givenIndex, -1);
    EXPECT_EQ(s->selectable, 1);
    EXPECT_EQ(s->exists, 1);
    EXPECT_EQ(Children(a), std::vector<SketchObject*>{ s });
    EXPECT_EQ(SketchOrder().back(), s);

    // Images take the first parent's image class, kind, style and colour.
    s->color = 0x123456;
    s->lineStyle = 2;
    SketchObject* m = Build(kTypeReflection, { s, a });
    EXPECT_EQ(m->objectClass, kClassStraight);
    EXPECT_EQ(m->objectKind, kKindSegment);
    EXPECT_EQ(m->color, 0x123456u);
    EXPECT_EQ(m->lineStyle, 2);
    SketchObject* mid = Build(kTypeMidpoint, { s });
    EXPECT_EQ(Build(kTypeTranslateByVector, { mid, a, b })->objectKind, kKindPoint);

    // A construction without parents becomes a free object.
    SketchObject* lone = Build(kTypeMidpoint, {});
    EXPECT_EQ(lone->constructionType, kTypeFree);
    EXPECT_EQ(lone->objectKind, kKindMidpoint);
    // A locus of a point has the point-locus kind.
    EXPECT_EQ(Build(kTypeLocus, { mid, s, a, mid })->objectKind, kKindPointLocus);
}

TEST_F(Construction, TextObjectsKeepTheDefaultStyleInTheirTextData) {
    sketch->settings.palette[ObjectClassTable[kClassCaption].colorSlot] = 0x204060;
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
    SketchObject* caption = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->textStyle.field[kStyleRed], 0x60 + 1);  // colours kept as value + 1
    EXPECT_EQ(caption->textStyle.field[kStyleBlue], 0x20 + 1);

    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* distance = Build(41, { a, b });  // the value display made without a record
    ASSERT_NE(distance, nullptr);
    for (SketchObject* o : { caption, distance }) {
        SCOPED_TRACE(o->objectClass);
        ASSERT_NE(TextDataStyleOf(o), nullptr);
        EXPECT_TRUE(TextStylesEqual(TextDataStyleOf(o), &o->textStyle));
        EXPECT_FALSE(IsTextStyleEmpty(&o->textStyle));
    }
    EXPECT_EQ(TextDataStyleOf(a), nullptr);
}

TEST_F(Construction, DuplicatesAreReused) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* c = FreePoint();
    SketchObject* d = FreePoint();
    uint16_t flags = 0;
    SketchObject* ab = Build(kTypeSegment, { a, b }, &flags, 0, true);
    const int32_t depth = UndoDepth();
    SketchObject* mid = Build(kTypeMidpoint, { ab }, &flags, 0, true);
    EXPECT_EQ(UndoDepth(), depth + 1);
    EXPECT_EQ(Build(kTypeMidpoint, { ab }, &flags, 0, true), mid);
    EXPECT_EQ(flags, kReusedEqual);
    EXPECT_EQ(UndoDepth(), depth + 1);  // no undo step for a reuse

    EXPECT_EQ(Build(kTypeSegment, { b, a }, &flags, 0, true), ab);
    EXPECT_EQ(flags, kReusedReversed);
    EXPECT_EQ(UndoDepth(), depth + 1);

    SketchObject* m = Build(kTypeLine, { a, c });
    SketchObject* n = Build(kTypeLine, { b, d });
    SketchObject* x = Build(kTypeIntersectStraights, { n, m });
    EXPECT_EQ(Build(kTypeIntersectStraights, { m, n }, &flags), x);
    EXPECT_EQ(flags, kReusedEqual);  // either order, never reported as reversed

    // Two segments that share an end point meet in that end point.
    SketchObject* ac = Build(kTypeSegment, { a, c });
    EXPECT_EQ(Build(kTypeIntersectStraights, { ab, ac }, &flags), a);
    EXPECT_EQ(Build(kTypeIntersectStraights, { m, ab }, &flags), a);

    // Rays are not reversible (rule 1).
    SketchObject* ray = Build(kTypeRay, { a, b });
    EXPECT_NE(Build(kTypeRay, { b, a }), ray);
    EXPECT_EQ(Build(kTypeRay, { a, b }), ray);
}

TEST_F(Construction, RotationsAndReflectionsThatCancel) {
    SketchObject* a = FreePoint();
    SketchObject* o = FreePoint();
    SketchObject* mirror = Build(kTypeLine, { a, o });
    const double third = 2 * kPi / 3;
    SketchObject* r1 = Build(kTypeRotateFixed, { a, o }, nullptr, Reals(std::sin(third), std::cos(third)));
    SketchObject* r2 = Build(kTypeRotateFixed, { r1, o }, nullptr, Reals(std::sin(third), std::cos(third)));
    ASSERT_NE(r1, r2);
    uint16_t flags = 0;
    EXPECT_EQ(Build(kTypeRotateFixed, { r2, o }, &flags, Reals(std::sin(third), std::cos(third))), a);
    EXPECT_EQ(flags, kReusedEqual);
    // The same rotation twice is one object (rule 6 first compares data).
    EXPECT_EQ(Build(kTypeRotateFixed, { a, o }, nullptr, Reals(std::sin(third), std::cos(third))), r1);
    // A chain about another centre does not cancel.
    SketchObject* other = FreePoint();
    SketchObject* r3 = Build(kTypeRotateFixed, { r2, other }, nullptr, Reals(std::sin(third), std::cos(third)));
    EXPECT_NE(r3, a);
    EXPECT_EQ(r3->objectClass, kClassPoint);

    SketchObject* p = FreePoint();
    SketchObject* image = Build(kTypeReflection, { p, mirror });
    EXPECT_EQ(Build(kTypeReflection, { image, mirror }), p);
}

TEST_F(Construction, ReusingAHiddenObjectShowsItWithAnUndoStep) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* ab = Build(kTypeSegment, { a, b });
    ASSERT_EQ(ChangeObjectHidden(ab, kHiddenByUser, false), kResultOK);
    EXPECT_EQ(sketch->hiddenCount, 1);
    const int32_t depth = UndoDepth();
    uint16_t flags = 0;
    EXPECT_EQ(Build(kTypeSegment, { b, a }, &flags, 0, true), ab);
    EXPECT_EQ(flags, kReusedReversed | kReusedAndShown);
    EXPECT_EQ(ab->hidden, kShown);
    EXPECT_EQ(sketch->hiddenCount, 0);
    ASSERT_EQ(UndoDepth(), depth + 1);
    EXPECT_EQ(UndoRecordNameIndex(sketch->undoPosition), kUndoNameShow);
    UndoEntry e;
    ASSERT_TRUE(UndoRecordEntry(sketch->undoPosition, 0, &e));
    EXPECT_EQ(e.type, kUndoEntryShown);
    EXPECT_EQ(UndoObjectListItem(e, 0), ab);
}

TEST_F(Construction, UndoStepListsTheSelectionOldestFirst) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SelectSketchObject(a);
    SelectSketchObject(b);
    SketchObject* s = Build(kTypeSegment, { a, b }, nullptr, 0, true);
    UndoRecord* r = sketch->undoPosition;
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(UndoRecordNameIndex(r), kUndoNameConstruct);
    EXPECT_EQ(UndoRecordNounIndex(r), 3 * (kKindSegment - 1));
    UndoEntry e;
    ASSERT_TRUE(UndoRecordEntry(r, 0, &e));
    EXPECT_EQ(e.type, kUndoEntryCreated);
    EXPECT_EQ(UndoObjectListItem(e, 0), s);
    ASSERT_TRUE(UndoRecordEntry(r, 1, &e));
    EXPECT_EQ(e.type, kUndoEntrySelection);
    ASSERT_EQ(UndoObjectListCount(e), 2);
    EXPECT_EQ(UndoObjectListItem(e, 0), a);
    EXPECT_EQ(UndoObjectListItem(e, 1), b);
    EXPECT_FALSE(UndoRecordEntry(r, 2, &e));
}

TEST_F(Construction, ExistenceRule) {
    // A real segment, so that running the midpoint's update would always move it to
    // (5, 0): a midpoint still elsewhere shows the update was skipped.
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SetPointPosition(b, 10, 0, 1, nullptr, false);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* mid = Build(kTypeMidpoint, { ab });
    SketchObject* button = Build(kTypeActionButton, { ab });
    ASSERT_EQ(ab->exists, 1);
    auto midAt = [&]() { return ClassData<PointData>(mid)->position; };
    const RealPoint elsewhere = { 99, 99 };

    ab->exists = 0;
    ClassData<PointData>(mid)->position = elsewhere;
    const uint32_t generation = mid->generation;
    RecomputeObject(mid, nullptr, true);
    EXPECT_EQ(mid->exists, 0);  // needs every parent
    EXPECT_TRUE(RealPointsEqual(midAt(), elsewhere));  // and its update did not run
    EXPECT_EQ(mid->generation, generation + 1);
    RecomputeObject(button, nullptr, false);
    EXPECT_EQ(button->exists, 1);  // its type does not ask for its parents
    ab->exists = 1;
    RecomputeObject(mid, nullptr, false);
    EXPECT_EQ(mid->exists, 1);
    EXPECT_TRUE(RealPointsEqual(midAt(), RealPoint{ 5, 0 }));
    // A tool given is never recomputed: its index is answered.
    mid->givenIndex = 3;
    mid->exists = 0;
    ClassData<PointData>(mid)->position = elsewhere;
    EXPECT_EQ(RecomputeObject(mid, nullptr, true), 3);
    EXPECT_EQ(mid->exists, 0);
    EXPECT_TRUE(RealPointsEqual(midAt(), elsewhere));
    mid->givenIndex = -1;
}

TEST_F(Construction, BoundsCountOnlyForShownExistingObjects) {
    SketchObject* a = FreePoint();
    a->bounds = { 1, 2, 5, 6 };
    ScreenRect r = kEmptyScreenRect;
    EXPECT_EQ(RecomputeObject(a, &r, false), 1);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.bottom, 6);
    a->hidden = kHiddenByUser;
    r = kEmptyScreenRect;
    EXPECT_EQ(AddObjectBounds(&r, a), 0);
    a->hidden = kShown;
    a->label.shown = 1;
    a->labelPlace = { 10, -20, 8, 12 };
    EXPECT_EQ(AddObjectBounds(&r, a), 1);
    EXPECT_EQ(r.top, -18);
    EXPECT_EQ(r.right, 19);

    sketch->dirtyRect = kEmptyScreenRect;
    const ScreenRect all = RecomputeSketch(false);
    EXPECT_EQ(all.left, 1);

    SketchObject* b = FreePoint();
    b->bounds = { 100, 100, 104, 104 };
    const ObjectFlagsEntry items[] = { { a, 0xc }, { b, 0x1 }, { nullptr, 0 } };
    ScreenRect caller = { -5, -5, -4, -4 };
    sketch->dirtyRect = kEmptyScreenRect;
    RecomputeListedObjects(items, &caller, false);
    EXPECT_EQ(caller.left, 1);
    EXPECT_EQ(caller.right, 104);
    EXPECT_EQ(sketch->dirtyRect.left, -5);
}

TEST_F(Construction, CollectDependentsInSketchOrder) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* unrelated = FreePoint();
    SketchObject* c = FreePoint();
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* cc = Build(kTypeSegment, { unrelated, c });
    SketchObject* mid = Build(kTypeMidpoint, { ab });
    SketchObject* other = Build(kTypeSegment, { c, unrelated });  // reused as cc reversed
    EXPECT_EQ(other, cc);

    a->tempLink = c;
    c->tempLink = nullptr;
    SketchObject* head = a;
    EXPECT_EQ(CollectDependents(&head, false), 5);
    std::vector<SketchObject*> chain;
    for (SketchObject* o = head; o; o = o->tempLink) chain.push_back(o);
    const std::vector<SketchObject*> expected = { a, c, ab, cc, mid };
    EXPECT_EQ(chain, expected);

    head = b;
    b->tempLink = nullptr;
    EXPECT_EQ(CollectDependents(&head, true), 3);
    EXPECT_EQ(head, b);
    EXPECT_EQ(b->tempLink, ab);
    EXPECT_EQ(ab->tempLink, mid);
    EXPECT_EQ(mid->tempLink, nullptr);
}

TEST_F(Construction, HidingKeepsCountsAndRecordsUndo) {
    SketchObject* a = FreePoint();
    const int32_t depth = UndoDepth();
    EXPECT_EQ(SetObjectHidden(a, kHiddenByUser, true), kResultOK);
    EXPECT_EQ(sketch->hiddenCount, 1);
    EXPECT_EQ(UndoDepth(), depth + 1);
    EXPECT_EQ(UndoRecordNameIndex(sketch->undoPosition), kUndoNameHide);
    EXPECT_EQ(SetObjectHidden(a, kHiddenByUser, true), kResultOK);  // same state: nothing
    EXPECT_EQ(UndoDepth(), depth + 1);
    EXPECT_EQ(ChangeObjectHidden(a, kHiddenAsConsumed, false), kResultOK);
    EXPECT_EQ(sketch->hiddenCount, 0);
    SetAllocFailureAfter(1, true);
    EXPECT_EQ(ChangeObjectHidden(a, kShown, true), kResultOutOfMemory);
    SetAllocFailureAfter(0);
    EXPECT_EQ(a->hidden, kShown);

    // An object outside the sketch only takes the state.
    UnlinkObjectFromSketch(a);
    EXPECT_EQ(ChangeObjectHidden(a, kHiddenByUser, true), kResultOK);
    EXPECT_EQ(sketch->hiddenCount, 0);
    LinkObjectIntoSketch(a, kNotLinked);
    EXPECT_EQ(sketch->hiddenCount, 1);
}

TEST_F(Construction, DestroyingUnlinksEverywhere) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* twice = Build(kTypeAngleBisector, { a, b, a });
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SelectSketchObject(twice);
    SelectSketchObject(a);
    EXPECT_EQ(Children(a).size(), 3u);
    DestroyObject(twice, true, true);
    EXPECT_EQ(Children(a), std::vector<SketchObject*>{ ab });
    EXPECT_EQ(Children(b), std::vector<SketchObject*>{ ab });
    EXPECT_EQ(sketch->selectionHead, a);
    EXPECT_EQ(a->nextSelected, nullptr);
    EXPECT_EQ(SketchOrder().size(), 3u);
    EXPECT_EQ(LayerOrder(6), std::vector<SketchObject*>{ ab });
}

TEST_F(Construction, EveryAllocationFailureLeavesTheSketchAsItWas) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SelectSketchObject(a);
    const uint32_t objects = CountObjects(sketch);
    const size_t children = Children(a).size();
    const int32_t depth = UndoDepth();
    SketchObject* made = nullptr;
    for (uint32_t n = 1; n < 40 && !made; ++n) {
        SCOPED_TRACE(n);
        // The parents list is made first, outside the failure window.
        PtrList parents = List({ a, ab });
        SetAllocFailureAfter(n, true);
        uint16_t flags = 0;
        made = ConstructObject(kTypePerpendicular, nullptr, parents, 0, true, true, &flags);
        SetAllocFailureAfter(0);
        if (made) break;
        EXPECT_EQ(CountObjects(sketch), objects);
        EXPECT_EQ(Children(a).size(), children);
        EXPECT_EQ(UndoDepth(), depth);
    }
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(CountObjects(sketch), objects + 1);
    EXPECT_EQ(UndoDepth(), depth + 1);
}

TEST_F(Construction, FailedUndoStepHidesAReusedObjectAgain) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* mid = Build(kTypeMidpoint, { ab });
    ASSERT_EQ(ChangeObjectHidden(ab, kHiddenByUser, false), kResultOK);
    PtrList parents = List({ a, b });
    SetAllocFailureAfter(1, true);
    uint16_t flags = 0;
    EXPECT_EQ(ConstructObject(kTypeSegment, nullptr, parents, 0, true, true, &flags), nullptr);
    SetAllocFailureAfter(0);
    EXPECT_EQ(flags, kReusedEqual | kReusedAndShown);
    // Still there, with its child, hidden again.
    EXPECT_EQ(ab->hidden, kHiddenByUser);
    EXPECT_EQ(Children(ab), std::vector<SketchObject*>{ mid });
    EXPECT_EQ(sketch->hiddenCount, 1);
}

TEST_F(Construction, SetObjectParentsTakesBackPartialLinks) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* c = FreePoint();
    SketchObject* ab = Build(kTypeSegment, { a, b });  // a: 1 child of 2, b: 1 of 2
    Build(kTypeSegment, { b, c });                       // b: 2 of 2, full
    const ObjectTemplate t = { kTypeSegment, 0, 0, kClassStraight, 1, kKindSegment, 0 };
    SketchObject* o = AllocObject(kClassStraight, &t);
    ASSERT_NE(o, nullptr);
    PtrList parents = List({ a, b });
    // Use up the arena so that b's list cannot grow without more memory. Lists of
    // capacity 6 and 2 with nothing in them are too small to be trimmed.
    SetAllocFailureAfter(1, true);
    PtrList filler = 0;
    for (int32_t capacity : { 6, 2 }) {
        while (AllocPtrListRaw(capacity, &filler, false)) {}
    }
    const bool linked = SetObjectParents(o, parents);
    SetAllocFailureAfter(0);
    EXPECT_FALSE(linked);
    EXPECT_EQ(o->parents, 0u);
    EXPECT_EQ(Children(a), std::vector<SketchObject*>{ ab });
    EXPECT_EQ(Children(b).size(), 2u);
    FreeMemory(o);
}

namespace {

struct BatchLog {
    std::vector<SketchObject*> parents;
    int32_t failAt = -1;
    std::vector<int32_t> unwound;
};

SketchObject* MakeMidpointItem(int32_t index, void* user, uint16_t* flags) {
    auto* log = static_cast<BatchLog*>(user);
    if (index == log->failAt) return nullptr;
    PtrList parents = 0;
    if (!PtrListAppend(&parents, log->parents[index])) return nullptr;
    return ConstructObject(kTypeMidpoint, nullptr, parents, 0, true, false, flags);
}

void LogUnwind(int32_t index, void* user, SketchObject* object, uint16_t flags) {
    static_cast<BatchLog*>(user)->unwound.push_back(index);
    StandardBatchUnwind(index, user, object, flags);
}

}  // namespace

TEST_F(Construction, BatchBuildsSelectsHidesAndRecordsOneStep) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* c = FreePoint();
    SetPointPosition(b, 10, 0, 1, nullptr, false);  // real segments: their midpoints exist
    SetPointPosition(c, 10, 10, 1, nullptr, false);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* bc = Build(kTypeSegment, { b, c });
    SketchObject* oldMid = Build(kTypeMidpoint, { bc });
    ASSERT_EQ(ChangeObjectHidden(oldMid, kHiddenByUser, false), kResultOK);
    SelectSketchObject(a);
    BatchLog log;
    log.parents = { ab, bc };
    const ObjectBatch batch = { 1, 1, 2, MakeMidpointItem, LogUnwind, &log, -1 };
    const int32_t depth = UndoDepth();
    SketchObject* last = BuildObjectsWithUndo(&batch);
    EXPECT_EQ(last, oldMid);  // reused and shown again
    EXPECT_EQ(oldMid->hidden, kShown);
    EXPECT_EQ(ab->hidden, kHiddenAsConsumed);
    EXPECT_EQ(bc->hidden, kHiddenAsConsumed);
    ASSERT_EQ(UndoDepth(), depth + 1);
    UndoRecord* r = sketch->undoPosition;
    EXPECT_EQ(UndoRecordNameIndex(r), kUndoNameConstruct);
    UndoEntry e;
    std::vector<int32_t> types;
    for (int32_t i = 0; UndoRecordEntry(r, i, &e); ++i) types.push_back(e.type);
    EXPECT_EQ(types, (std::vector<int32_t>{ kUndoEntryCreated, kUndoEntryShown, kUndoEntryHidden }));
    ASSERT_TRUE(UndoRecordEntry(r, 2, &e));
    EXPECT_EQ(UndoObjectListCount(e), 2);
    // The batch replaced the selection with the objects it made or showed.
    ASSERT_TRUE(UndoRecordEntry(r, 0, &e));
    ASSERT_EQ(UndoObjectListCount(e), 1);
    SketchObject* newMid = UndoObjectListItem(e, 0);
    EXPECT_EQ(Parents(newMid), std::vector<SketchObject*>{ ab });
    EXPECT_EQ(newMid->exists, 1);
    EXPECT_EQ(oldMid->exists, 1);
    EXPECT_FALSE(IsSelected(a));
    EXPECT_TRUE(IsSelected(newMid));
    EXPECT_TRUE(IsSelected(oldMid));
    EXPECT_EQ(sketch->selectionHead, oldMid);  // the last one selected comes first
    EXPECT_TRUE(log.unwound.empty());
}

TEST_F(Construction, FailedBatchTakesBackEveryItemInReverse) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* c = FreePoint();
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* bc = Build(kTypeSegment, { b, c });
    SketchObject* ca = Build(kTypeSegment, { c, a });
    const uint32_t objects = CountObjects(sketch);
    BatchLog log;
    log.parents = { ab, bc, ca };
    log.failAt = 2;
    const ObjectBatch batch = { 1, 0, 3, MakeMidpointItem, LogUnwind, &log, -1 };
    EXPECT_EQ(BuildObjectsWithUndo(&batch), nullptr);
    EXPECT_EQ(log.unwound, (std::vector<int32_t>{ 1, 0 }));
    EXPECT_EQ(CountObjects(sketch), objects);
}

TEST_F(Construction, BatchWhoseUndoStepFailsLeavesNothingBehind) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* c = FreePoint();
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* bc = Build(kTypeSegment, { b, c });
    SelectSketchObject(a);
    const uint32_t objects = CountObjects(sketch);
    const int32_t depth = UndoDepth();
    for (uint32_t n = 1; n < 40; ++n) {
        SCOPED_TRACE(n);
        BatchLog log;
        log.parents = { ab, bc };
        const ObjectBatch batch = { 1, 1, 2, MakeMidpointItem, LogUnwind, &log, -1 };
        SetAllocFailureAfter(n, true);
        SketchObject* last = BuildObjectsWithUndo(&batch);
        SetAllocFailureAfter(0);
        if (last) {
            EXPECT_EQ(UndoDepth(), depth + 1);
            break;
        }
        EXPECT_EQ(CountObjects(sketch), objects);
        EXPECT_EQ(ab->hidden, kShown);
        EXPECT_EQ(bc->hidden, kShown);
        EXPECT_EQ(UndoDepth(), depth);
        EXPECT_EQ(Children(ab).size(), 0u);
    }
}

TEST_F(Construction, BatchWithoutUndo) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* ab = Build(kTypeSegment, { a, b });
    BatchLog log;
    log.parents = { ab };
    const ObjectBatch batch = { 0, 0, 1, MakeMidpointItem, LogUnwind, &log, kBatchNoUndo };
    const int32_t depth = UndoDepth();
    SketchObject* mid = BuildObjectsWithUndo(&batch);
    ASSERT_NE(mid, nullptr);
    EXPECT_EQ(UndoDepth(), depth);
    EXPECT_EQ(mid->nextSelected, kNotLinked);
}

TEST_F(Construction, HandedOverLabelBlocksAreNeverLost) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* ab = Build(kTypeSegment, { a, b });
    auto makeLabel = []() {
        auto* label = static_cast<ObjectLabel*>(AllocMemory(sizeof(ObjectLabel), kAllocZero));
        label->text.heapText = static_cast<char*>(AllocMemory(8, 0));
        std::memcpy(label->text.heapText, "Segment", 8);
        label->heapLength = 7;
        label->shown = 1;
        return label;
    };
    const ObjectTemplate t = { kTypeSegment, 0, 0, kClassStraight, 1, kKindSegment, 0 };
    // Reused: the block goes (the sanitizer's leak check watches the heap text).
    uint16_t flags = 0;
    EXPECT_EQ(ConstructObjectEx(&t, nullptr, List({ a, b }), 0, makeLabel(), &flags, true), ab);
    // Made: the block's contents become the object's label.
    SketchObject* copy = ConstructObjectEx(&t, nullptr, List({ a, b }), 0, makeLabel(), &flags, false);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->label.text.heapText, "Segment");
    EXPECT_EQ(copy->label.shown, 1);
    // No memory for the record: everything handed over is freed.
    ObjectLabel* label = makeLabel();
    PtrList parents = List({ a, b });
    PtrList data = Reals(1, 2);
    SetAllocFailureAfter(1, true);
    EXPECT_EQ(ConstructObjectEx(&t, nullptr, parents, data, label, &flags, false), nullptr);
    SetAllocFailureAfter(0);
}

TEST_F(Construction, RecomputeChainsAndLists) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* mid = Build(kTypeMidpoint, { ab });
    const uint32_t g = mid->generation;
    PtrList list = List({ ab, mid });
    EXPECT_EQ(LinkPtrListItems(list), ab);
    EXPECT_EQ(ab->tempLink, mid);
    EXPECT_EQ(mid->tempLink, nullptr);
    RecomputeObjects(ab, true, nullptr);
    EXPECT_EQ(mid->generation, g + 1);
    SketchObject* const array[] = { mid, nullptr };
    RecomputeObjects(nullptr, false, array);
    EXPECT_EQ(mid->generation, g + 2);
    EXPECT_EQ(LinkPtrListItems(0), nullptr);
    FreePtrList(&list);
}
