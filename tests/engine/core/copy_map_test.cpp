#include "engine/core/copy_map.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/core/paths.h"
#include "engine/core/points.h"
#include "sketch_fixture.h"

namespace {

void SetLabel(SketchObject* o, const char* text) {
    std::memset(o->label.text.inlineText, 0, 4);
    std::memcpy(o->label.text.inlineText, text, std::strlen(text));
    o->label.heapLength = 0;
}

std::string LabelOf(const SketchObject* o) {
    if (o->label.heapLength) return o->label.text.heapText;
    return std::string(o->label.text.inlineText, strnlen(o->label.text.inlineText, 4));
}

}  // namespace

// The target is the fixture's sketch; the source a second sketch with two given points,
// the segment between them and its midpoint.
class CopyMapTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        source = CreateSketch(0, nullptr);
        ASSERT_NE(source, nullptr);
        SetCurrentSketch(source, nullptr);
        a = PointAt(10, 20);
        b = PointAt(50, 60);
        segment = Build(kTypeSegment, { a, b });
        midpoint = Build(kTypeMidpoint, { segment });
        SetLabel(a, "A");
        SetLabel(b, "B");
        ASSERT_TRUE(PtrListAppend(&source->givenList, a));
        ASSERT_TRUE(PtrListAppend(&source->givenList, b));
        SetCurrentSketch(sketch, nullptr);
    }
    void TearDown() override {
        FreeCopyMap(&map, false);
        sketch->cloneMode = 0;
        if (source) FreeSketch(source);
        SetCurrentSketch(sketch, nullptr);
        SketchTest::TearDown();
    }

    // Clones every source object in order; the first failing code, else 0.
    ResultCode CloneAll() {
        for (int32_t i = 0; i < map.objectCount; ++i) {
            SketchObject* copy = nullptr;
            const ResultCode rc = CloneObjectIntoSketch(&map, map.sources[i], &copy);
            if (rc != kResultOK) return rc;
        }
        return kResultOK;
    }
    SketchObject* CopyOf(const SketchObject* o) const { return map.entries[o->givenIndex].copy; }

    Sketch* source = nullptr;
    SketchObject *a = nullptr, *b = nullptr, *segment = nullptr, *midpoint = nullptr;
    CopyMap map{};
};

TEST_F(CopyMapTest, SetupNumbersGivensFirstAndFreeForgetsTheNumbers) {
    ASSERT_TRUE(SetupCopyMap(&map, source, true));
    EXPECT_EQ(map.givenCount, 2);
    EXPECT_EQ(map.objectCount, 4);
    // Points have no match group: no room is added for matching.
    EXPECT_EQ(map.capacity, 4);
    EXPECT_EQ(a->givenIndex, 0);
    EXPECT_EQ(b->givenIndex, 1);
    EXPECT_EQ(segment->givenIndex, 2);
    EXPECT_EQ(midpoint->givenIndex, 3);
    FreeCopyMap(&map, false);
    for (SketchObject* o : { a, b, segment, midpoint }) EXPECT_EQ(o->givenIndex, -1);
}

TEST_F(CopyMapTest, GivensOfAMatchGroupGetRoomForMatching) {
    SetCurrentSketch(source, nullptr);
    ASSERT_TRUE(PtrListAppend(&source->givenList, segment));
    SetCurrentSketch(sketch, nullptr);
    ASSERT_TRUE(SetupCopyMap(&map, source, true));
    EXPECT_EQ(map.givenCount, 3);
    EXPECT_EQ(map.capacity, 4 + 2);
    FreeCopyMap(&map, false);
    ASSERT_TRUE(SetupCopyMap(&map, source, false));
    EXPECT_EQ(map.capacity, 4);
}

// A paste copies geometry and existence; the copies are built on the copies.
TEST_F(CopyMapTest, PasteCopiesGeometryAndRebuildsParentsThroughTheMap) {
    ASSERT_TRUE(SetupCopyMap(&map, source, false));
    sketch->cloneMode = kClonePaste;
    ASSERT_EQ(CloneAll(), kResultOK);
    EXPECT_EQ(PointPosition(CopyOf(a)).x, 10);
    EXPECT_EQ(PointPosition(CopyOf(b)).y, 60);
    EXPECT_EQ(Parents(CopyOf(segment)), (std::vector<SketchObject*>{ CopyOf(a), CopyOf(b) }));
    EXPECT_EQ(Parents(CopyOf(midpoint)), (std::vector<SketchObject*>{ CopyOf(segment) }));
    EXPECT_EQ(LabelOf(CopyOf(a)), "A");
    EXPECT_EQ(SketchOrder().size(), 4u);
    EXPECT_NE(CopyOf(a), a);
}

// Reuse of an equal object: never while a tool is made from a selection (mode 3).
TEST_F(CopyMapTest, AnEqualObjectIsReusedExceptInMode3) {
    for (int32_t mode : { kCloneToolFromSelection, kClonePaste, kCloneNone }) {
        SCOPED_TRACE(mode);
        ASSERT_TRUE(SetupCopyMap(&map, source, false));
        sketch->cloneMode = mode;
        SketchObject* p = FreePoint();
        SketchObject* q = FreePoint();
        SketchObject* existing = Build(kTypeSegment, { p, q });
        map.entries[0].copy = p;
        map.entries[1].copy = q;
        SketchObject* copy = nullptr;
        ASSERT_EQ(CloneObjectIntoSketch(&map, segment, &copy), kResultOK);
        if (mode == kCloneToolFromSelection) {
            EXPECT_NE(copy, existing);
            EXPECT_EQ(map.entries[2].flags, 0);
        } else {
            EXPECT_EQ(copy, existing);
            EXPECT_EQ(map.entries[2].flags, kCopyReused);
        }
        FreeCopyMap(&map, false);
    }
}

// Two givens played back on the same point: the segment between them cannot be made.
TEST_F(CopyMapTest, ParentsThatAreNotDistinctGive202) {
    ASSERT_TRUE(SetupCopyMap(&map, source, false));
    sketch->cloneMode = kClonePlayback;
    SketchObject* p = FreePoint();
    map.entries[0].copy = p;
    map.entries[1].copy = p;
    SketchObject* copy = nullptr;
    EXPECT_EQ(CloneObjectIntoSketch(&map, segment, &copy), kResultParentsNotDistinct);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(SketchOrder().size(), 1u);
}

// A straight object matched in reverse flips the side of a straight-and-circle
// intersection, and a perpendicular through it inherits the orientation flag.
TEST_F(CopyMapTest, ReversedMatchesFlipIntersectionsAndOrientation) {
    SetCurrentSketch(source, nullptr);
    SketchObject* circle = Build(kTypeCircleByPoint, { a, b });
    SketchObject* side1 = Build(11, { segment, circle });
    SketchObject* perpendicular = Build(kTypePerpendicular, { a, segment });
    SetCurrentSketch(sketch, nullptr);
    ASSERT_TRUE(SetupCopyMap(&map, source, false));
    sketch->cloneMode = kCloneNone;
    SketchObject* copy = nullptr;
    for (SketchObject* o : { a, b, segment, circle }) ASSERT_EQ(CloneObjectIntoSketch(&map, o, &copy), kResultOK);
    map.entries[segment->givenIndex].flags |= kCopyReversed;
    ASSERT_EQ(CloneObjectIntoSketch(&map, side1, &copy), kResultOK);
    EXPECT_EQ(copy->constructionType, 12);
    ASSERT_EQ(CloneObjectIntoSketch(&map, perpendicular, &copy), kResultOK);
    EXPECT_EQ(map.entries[perpendicular->givenIndex].flags & kCopyReversed, kCopyReversed);
}

// In playback a point on a path gets a fresh zero block for its parameter; a tool's
// body keeps none.
TEST_F(CopyMapTest, PointOnPathDataDependsOnTheMode) {
    SetCurrentSketch(source, nullptr);
    SketchObject* onPath = Build(kTypePointOnPath, { segment }, nullptr, Reals(0.25, 0));
    SetCurrentSketch(sketch, nullptr);
    struct Case { int32_t mode; bool hasData; bool zero; };
    const Case cases[] = { { kCloneToolFromSelection, false, false }, { kClonePlayback, true, true }, { kClonePaste, true, false } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ASSERT_TRUE(SetupCopyMap(&map, source, false));
        sketch->cloneMode = c.mode;
        SketchObject* copy = nullptr;
        for (SketchObject* o : { a, b, segment, onPath }) ASSERT_EQ(CloneObjectIntoSketch(&map, o, &copy), kResultOK);
        EXPECT_EQ(copy->constructionData != 0, c.hasData);
        if (c.hasData) {
            int32_t words = 0;
            void** data = PtrListItems(copy->constructionData, &words);
            double first = -1;
            std::memcpy(&first, data, 8);
            EXPECT_EQ(first, c.zero ? 0.0 : 0.25);
            if (c.zero) {
                EXPECT_EQ(words * static_cast<int32_t>(sizeof(void*)), PathMethodsOf(segment)->parameterWords * 4);
            }
        }
        FreeCopyMap(&map, false);
    }
}

// "=" templates of playback: references name the copies of the givens; what cannot be
// resolved becomes "?", and the result is at most 255 characters.
TEST_F(CopyMapTest, LabelTemplatesExpandReferencesToGivenNames) {
    ASSERT_TRUE(SetupCopyMap(&map, source, false));
    sketch->cloneMode = kClonePlayback;
    ASSERT_EQ(CloneAll(), kResultOK);
    struct Case { std::string templ; std::string label; };
    const Case cases[] = {
        { "w{1}+{2}", "wA+B" }, { "{0}", "?" }, { "{3}", "?" }, { "x{1", "x?" }, { "{}", "{}" },
        { "{99999999999}", "?" }, { std::string(300, 'q'), std::string(255, 'q') },
        { std::string(254, 'q') + "{1}", std::string(254, 'q') + "A" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.templ);
        char out[512];
        ExpandLabelTemplate(&map, c.templ.c_str(), out, 256);
        EXPECT_EQ(std::string(out), c.label);
    }
    // Cloned: the label of the copy is the expansion.
    SetCurrentSketch(source, nullptr);
    SketchObject* named = Build(kTypeMidpoint, { segment });
    SetCurrentSketch(sketch, nullptr);
    char* text = static_cast<char*>(AllocMemory(16, 0));
    std::strcpy(text, "=m{1}{2}");
    named->label.text.heapText = text;
    named->label.heapLength = 8;
    FreeCopyMap(&map, false);
    ASSERT_TRUE(SetupCopyMap(&map, source, false));
    ASSERT_EQ(CloneAll(), kResultOK);
    EXPECT_EQ(LabelOf(CopyOf(named)), "mAB");
    sketch->cloneMode = kClonePaste;
    FreeCopyMap(&map, false);
    ASSERT_TRUE(SetupCopyMap(&map, source, false));
    ASSERT_EQ(CloneAll(), kResultOK);
    EXPECT_EQ(LabelOf(CopyOf(named)), "=m{1}{2}");
}

// Without memory a clone answers 100 and leaves nothing behind in the target.
// A tool's givens without a name take the next letters of their sequence that the
// named givens leave free.
TEST_F(CopyMapTest, UnnamedGivensOfANewToolTakeFreeLetters) {
    SetCurrentSketch(source, nullptr);
    SketchObject* c = PointAt(90, 20);
    SetLabel(a, "A");
    a->label.level = 7;
    b->label.level = 1;
    c->label.level = 1;
    const CopyItem items[] = { { a, kKindPoint, kShown }, { b, kKindPoint, kShown }, { c, kKindPoint, kShown } };
    Sketch* tool = nullptr;
    ASSERT_EQ(BuildSketchFromObjects(items, false, 3, 3, nullptr, &tool), kResultOK);
    SetCurrentSketch(tool, nullptr);
    std::vector<std::string> names;
    for (SketchObject* o = tool->firstObject; o && o != kNotLinked; o = o->nextInSketch) names.push_back(LabelOf(o));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{ "A", "B", "C" }));
    FreeSketch(tool);
    SetCurrentSketch(sketch, nullptr);
}

TEST_F(CopyMapTest, OutOfMemoryLeavesTheTargetAsItWas) {
    ASSERT_TRUE(SetupCopyMap(&map, source, false));
    sketch->cloneMode = kClonePaste;
    SketchObject* copy = nullptr;
    ASSERT_EQ(CloneObjectIntoSketch(&map, a, &copy), kResultOK);
    ASSERT_EQ(CloneObjectIntoSketch(&map, b, &copy), kResultOK);
    bool succeeded = false;
    for (uint32_t n = 1; n < 50 && !succeeded; ++n) {
        SetAllocFailureAfter(n);
        const ResultCode rc = CloneObjectIntoSketch(&map, segment, &copy);
        SetAllocFailureAfter(0);
        if (rc == kResultOK) {
            succeeded = true;
        } else {
            EXPECT_EQ(rc, kResultOutOfMemory);
            EXPECT_EQ(SketchOrder().size(), 2u);
        }
    }
    EXPECT_TRUE(succeeded);
}
