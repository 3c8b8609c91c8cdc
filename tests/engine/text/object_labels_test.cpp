#include "engine/text/object_labels.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "engine/calc/value_display.h"
#include "engine/core/object_stack.h"
#include "named_objects.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/object_text.h"
#include "tests/support/text_port_double.h"

namespace {

class LabelTest : public NamedObjectsTest {
protected:
    std::string Label(SketchObject* o, int32_t level = kLabelNumbered) {
        char text[kLabelBufferSize];
        return GetObjectLabel(o, level, text, nullptr);
    }

    std::string Next(int32_t sequence) {
        char text[kLabelBufferSize];
        NextAutoLabel(sequence, text);
        return text;
    }


    static std::string PlainText(LayoutNode* node) {
        LayoutWriteContext w{ nullptr, nullptr, kWritePlainText | kWriteShownAlternativeOnly, nullptr };
        std::string text(size_t(SerializeLayout(node, nullptr, &w)), '\0');
        SerializeLayout(node, text.data(), &w);
        return text;
    }
};

TEST_F(LabelTest, SequencesRunThroughTheirLettersAndRounds) {
    struct Case {
        int32_t sequence;
        int32_t skip;  // labels taken before
        const char* next;
    };
    const Case cases[] = {
        { 1, 0, "A" }, { 1, 25, "Z" }, { 1, 26, "A[1]" }, { 1, 52, "A[2]" },
        { 2, 0, "j" }, { 0, 0, "t[1]" }, { 0, 1, "t[2]" }, { 3, 0, "c[1]" },
        // Iteration rules, iterated images and pictures have no letters.
        { 14, 0, "[1]" }, { 16, 1, "[2]" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sequence);
        InitLabelSequences(sketch);
        for (int32_t i = 0; i < c.skip; ++i) Next(c.sequence);
        EXPECT_EQ(Next(c.sequence), c.next);
    }
    // "[1]" is too short to count as a subscript.
    EXPECT_EQ(FindLabelSubscript("[1]", 3), 0u);
    EXPECT_EQ(FindLabelSubscript("A[1]", 4), 1u);
    EXPECT_EQ(FindLabelSubscript("B'[2]", 5), 2u);
    EXPECT_EQ(FindLabelSubscript("A[]", 3), 0u);
    EXPECT_EQ(FindLabelSubscript("x[a[1]]", 7), 1u);
}

TEST_F(LabelTest, StoredPositionsNeverReadOutsideTheLetters) {
    // A position from a damaged file: past the end of the letters, or any position of a
    // sequence without letters.
    sketch->labelSequences[3] = { 400, 0, 1 };
    EXPECT_EQ(Next(3), "c");
    sketch->labelSequences[14] = { 7, 0, 1 };
    EXPECT_EQ(Next(14), "[1]");
    sketch->labelSequences[1] = { -3, 0, 1 };
    EXPECT_EQ(Next(1), "A");
}

TEST_F(LabelTest, NewObjectsAreNumberedUntilALetterIsAskedFor) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* m = Build(kTypeMidpoint, { ab });
    ASSERT_TRUE(a && b && ab && m);
    EXPECT_EQ(Label(a), "#1");
    EXPECT_EQ(Label(b), "#2");
    EXPECT_EQ(Label(m), "#3");
    EXPECT_EQ(a->label.level, kLabelNumbered);
    SetLabelShown(m, true, nullptr, true);
    EXPECT_EQ(Label(m), "A");
    EXPECT_EQ(m->label.level, kLabelSequence);
    // The segment is named after its points, which take the next letters.
    EXPECT_EQ(Label(ab, kLabelFromParents), "BC");
    EXPECT_EQ(ab->label.level, kLabelFromParents);
    char noun[64];
    EXPECT_EQ(FormatNounAndLabel(m, kLabelNumbered, noun, sizeof noun, true), 11u);
    EXPECT_STREQ(noun, "Midpoint A");
    // Cut to what fits, the full length still answered.
    EXPECT_EQ(FormatNounAndLabel(m, kLabelNumbered, noun, 6, true), 11u);
    EXPECT_STREQ(noun, "Midpo");
}

TEST_F(LabelTest, DerivedNamesFollowTheirParents) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* c = FreePoint();
    ASSERT_EQ(SetObjectLabel(a, "A", false), 0);
    ASSERT_EQ(SetObjectLabel(b, "B", false), 0);
    ASSERT_EQ(SetObjectLabel(c, "C", false), 0);
    SketchObject* polygon = Raw(kTypePolygonInterior, kClassPolygonInterior, kKindPolygonInterior, { a, b, c, a });
    EXPECT_EQ(Label(polygon, kLabelFromParents), "ABC");
    SketchObject* ab = Build(kTypeSegment, { a, b });
    EXPECT_EQ(Label(ab, kLabelFromParents), "AB");

    // Images put a prime in front of a subscript.
    ASSERT_EQ(SetObjectLabel(b, "B[2]", false), 0);
    EXPECT_EQ(b->label.subscriptAt, 1);
    SketchObject* mirror = Build(kTypeLine, { a, c });
    SketchObject* image = Raw(kTypeReflection, kClassPoint, kKindPoint, { b, mirror });
    EXPECT_EQ(Label(image, kLabelAutomatic), "B'[2]");
    EXPECT_EQ(image->label.level, kLabelDerived);
    // The segment followed B's new name.
    EXPECT_EQ(Label(ab), "AB[2]");

    // Relabelling A renames what is named after it, and the measurement showing it.
    ASSERT_EQ(SetObjectLabel(b, "B", false), 0);
    SketchObject* length = Build(40, { ab });
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(PlainText(ValueDisplayOf(length)->caption.layout).substr(0, 4), "m AB");
    ASSERT_EQ(SetObjectLabel(a, "Q", false), 0);
    EXPECT_EQ(Label(ab), "QB");
    EXPECT_EQ(Label(polygon), "QBC");
    EXPECT_EQ(PlainText(ValueDisplayOf(length)->caption.layout).substr(0, 4), "m QB");
    // A typed label is never replaced by a derived one.
    ASSERT_EQ(SetObjectLabel(ab, "s", false), 0);
    ASSERT_EQ(SetObjectLabel(a, "P", false), 0);
    EXPECT_EQ(Label(ab), "s");
}

TEST_F(LabelTest, LongTextsLiveOnTheHeapAndNoMemoryLeavesThemEmpty) {
    SketchObject* a = FreePoint();
    ASSERT_EQ(SetObjectLabel(a, "abcd", false), 0);
    EXPECT_EQ(a->label.heapLength, 0);
    EXPECT_EQ(Label(a), "abcd");
    ASSERT_EQ(SetObjectLabel(a, "P[12]", false), 0);
    EXPECT_EQ(a->label.heapLength, 5);
    EXPECT_EQ(a->label.subscriptAt, 1);
    EXPECT_EQ(Label(a), "P[12]");
    const std::string longer(300, 'x');
    ASSERT_EQ(SetObjectLabel(a, longer.c_str(), false), 0);
    EXPECT_EQ(Label(a), std::string(kMaxLabelLength, 'x'));
    SetAllocFailureAfter(1);
    EXPECT_EQ(StoreLabelText(a, "quite long", false), kResultOutOfMemory);
    SetAllocFailureAfter(0);
    EXPECT_EQ(Label(a), "");
}

TEST_F(LabelTest, PlacementOnPathsAndOffsetClamps) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    ClassData<PointData>(b)->position = { 100, 0 };
    RecomputeObject(b, nullptr, true);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    ASSERT_TRUE(ab);
    SetLabelShown(ab, true, nullptr, true);
    ASSERT_EQ(ab->label.shown, 1);
    // A quarter of the way along a segment, the top-left 8 right and 5 below the anchor.
    EXPECT_DOUBLE_EQ(ab->label.pathParameter, 0.25);
    ScreenRect r;
    ASSERT_TRUE(GetLabelRect(ab, &r));
    EXPECT_EQ(r.left, 25 + 8);
    EXPECT_EQ(r.top, 0 + 5);
    EXPECT_TRUE(LabelHitTest({ r.left, r.top }, ab));
    EXPECT_TRUE(LabelHitTest({ r.right, r.bottom }, ab));
    EXPECT_FALSE(LabelHitTest({ static_cast<int16_t>(r.right + 1), r.bottom }, ab));

    // A point has no path: its label hangs at its bounds' centre.
    a->bounds = { -3, -3, 4, 4 };
    SetLabelShown(a, true, nullptr, true);
    EXPECT_EQ(a->label.pathParameter, 0);
    ASSERT_TRUE(GetLabelRect(a, &r));
    EXPECT_EQ(r.left, 0 + 8);
    EXPECT_EQ(r.top, 0 + 5);

    // Dragged far away, the label stops 8 right of or 5 below the anchor, or its width
    // and 8 left of it, or its height and 5 above it.
    const int16_t w = a->labelPlace.width, h = a->labelPlace.height;
    struct Case {
        ScreenPoint to;
        int16_t offsetX, offsetY;
    };
    const Case cases[] = {
        { { 900, 900 }, 8, 5 },
        { { 2, -900 }, 2, int16_t(-h - 5) },
        { { -900, 3 }, int16_t(-w - 8), 3 },
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(GetLabelRect(a, &r));
        BeginLabelDrag(a, { r.left, r.top });
        EndLabelDrag(c.to);
        EXPECT_EQ(a->label.offsetX, c.offsetX);
        EXPECT_EQ(a->label.offsetY, c.offsetY);
    }
    // On a path the label slides with the projection of the point.
    ASSERT_TRUE(GetLabelRect(ab, &r));
    BeginLabelDrag(ab, { r.left, r.top });
    EndLabelDrag({ 60, 900 });
    EXPECT_DOUBLE_EQ(ab->label.pathParameter, 0.6);
    EXPECT_EQ(ab->label.offsetY, 5);

    // A point whose stored kind is a segment's has no path of its own: its bounds' centre.
    SketchObject* odd = Raw(kTypeFree, kClassPoint, kKindSegment, {});
    odd->bounds = { 10, 10, 20, 20 };
    InitObjectLabelWith(odd, false);
    SetLabelShown(odd, true, nullptr, true);
    ASSERT_TRUE(GetLabelRect(odd, &r));
    EXPECT_EQ(r.left, 15 + 8);

    // An offset stored far off (kept while the label was hidden) comes back within reach
    // when the label is shown, as it does when the document opens: the label is drawn
    // beside its object, and the same offset is written out as will be read back.
    SetLabelShown(a, false, nullptr, true);
    a->label.offsetX = 0x7777;
    a->label.offsetY = -0x7777;
    SetLabelShown(a, true, nullptr, true);
    EXPECT_EQ(a->label.offsetX, 8);
    EXPECT_EQ(a->label.offsetY, int16_t(-a->labelPlace.height - 5));

    // A parameter that is not finite (a damaged record) is placed as a new label.
    ab->label.pathParameter = std::numeric_limits<double>::quiet_NaN();
    PlaceObjectLabel(ab);
    EXPECT_DOUBLE_EQ(ab->label.pathParameter, 0.25);
}

TEST_F(LabelTest, SubscriptsAreDrawnSmallerBesideTheBase) {
    SketchObject* a = FreePoint();
    ASSERT_EQ(SetObjectLabel(a, "A[12]", false), 0);
    a->bounds = { -3, -3, 4, 4 };
    SetLabelShown(a, true, nullptr, true);
    a->textStyle.field[kStyleSize] = 20;
    RemeasureLabel(a);
    PlaceObjectLabel(a);
    ResetTextPort();
    DrawObjectLabel(nullptr, a);
    ScreenRect r;
    ASSERT_TRUE(GetLabelRect(a, &r));
    // The base run at the label's corner; the subscript at 0.8 of the size, after the
    // base's width and a third of the height down.
    const int32_t baseWidth = 10;  // one character at size 20
    const int32_t height = a->labelPlace.height;
    EXPECT_EQ(DescribeTextPortCalls(), "line 'A' " + std::to_string(r.left) + " " + std::to_string(r.top) + " 20\n" +
                                           "line '12' " + std::to_string(r.left + baseWidth) + " " +
                                           std::to_string(r.top + height / 3) + " 16\n");
}

TEST_F(LabelTest, PolygonsShowTheirVerticesLabels) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* c = FreePoint();
    SketchObject* polygon = Raw(kTypePolygonInterior, kClassPolygonInterior, kKindPolygonInterior, { a, b, c, a });
    EXPECT_FALSE(IsLabelShownOrImplied(polygon));
    SetLabelShown(polygon, true, nullptr, true);
    EXPECT_EQ(polygon->label.shown, 0);
    EXPECT_TRUE(a->label.shown && b->label.shown && c->label.shown);
    EXPECT_TRUE(IsLabelShownOrImplied(polygon));
    // A vertex with a longer typed label stops the polygon from standing for them.
    SetLabelShown(a, false, nullptr, true);
    ASSERT_EQ(SetObjectLabel(a, "Ax1", false), 0);
    SetLabelShown(polygon, true, nullptr, true);
    EXPECT_EQ(polygon->label.shown, 1);
}

TEST_F(LabelTest, ChainsAsLongAsADocumentDoNotRecurse) {
    // 100,000 reflections, each of the one before: every walk along the chain must
    // iterate (a recursion this deep overflows the stack).
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    ASSERT_EQ(SetObjectLabel(a, "A", false), 0);
    SketchObject* mirror = nullptr;
    SketchObject* image = a;
    SketchObject* first = nullptr;
    for (int32_t i = 0; i < 100000; ++i) {
        // A list holds a bounded number of children: a new mirror now and then.
        if (i % 20000 == 0) mirror = Build(kTypeLine, { b, FreePoint() });
        image = Raw(kTypeReflection, kClassPoint, kKindPoint, { image, mirror });
        if (!first) first = image;
    }
    std::string primes(kMaxLabelLength, '\'');
    primes[0] = 'A';
    EXPECT_EQ(Label(image, kLabelFromParents), primes);
    EXPECT_EQ(Label(first), "A'");
    ParentLabelSource source{};
    int32_t from = 0, to = 0;
    ParentLabelRange(image, &from, &to, &source);
    EXPECT_EQ(source.several, 0);
    EXPECT_EQ(source.sourceLevel, kLabelGiven);
    ShowParentLabels(image);
    // A chain of hidden texts each showing the one before: the walk for a shown one
    // goes down the whole chain.
    SketchObject* text = a;
    for (int32_t i = 0; i < 100000; ++i) {
        text = Raw(90, kClassCaption, kKindCaption, { text });
        text->hidden = kHiddenByUser;
    }
    EXPECT_FALSE(HasTextDependent(a));
    text->hidden = kShown;
    EXPECT_TRUE(HasTextDependent(a));
    // Relabelling the source renames the whole chain.
    ASSERT_EQ(SetObjectLabel(a, "R", false), 0);
    EXPECT_EQ(Label(first), "R'");
    EXPECT_EQ(Label(image).substr(0, 2), "R'");
    LayoutNode* name = BuildObjectLabelLayout(image, nullptr, false, false);
    ASSERT_NE(name, nullptr);
    FreeLayoutNode(name);
}

}  // namespace
