#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/core/memory.h"
#include "tests/engine/text/layout_test_util.h"

namespace {

TEST(LayoutTree, CreatingUnderAParentAppendsAndMarksTheChainDirty) {
    const LayoutDrawState state = TestDrawState();
    LayoutPtr root = ParseLayout("<H<T'a'><(<H<T'b'>>>>");
    MeasureLayout(root.get(), &state);
    LayoutNode* inner = root->firstChild->nextSibling->firstChild;
    ASSERT_EQ(root->dirty, 0);
    LayoutNode* added = CreateLayoutNode(kLayoutGlyph, inner, 7);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(LayoutChildAt(inner, LayoutChildCount(inner) - 1), added);
    EXPECT_EQ(added->value, 7);
    EXPECT_EQ(added->dirty, 1);
    EXPECT_EQ(inner->dirty, 2);
    EXPECT_EQ(inner->parent->dirty, 2);
    EXPECT_EQ(root->dirty, 2);
    EXPECT_EQ(root->firstChild->dirty, 0);  // a sibling is not touched
    MeasureLayout(root.get(), &state);
    EXPECT_EQ(root->width, 6 + 6 + 6 + 12);
}

TEST(LayoutTree, LinkingOperations) {
    LayoutPtr root = ParseLayout("<H<T'a'><T'b'><T'c'>>");
    LayoutNode* a = root->firstChild;
    LayoutNode* b = a->nextSibling;
    // Wrapping puts the wrapper in the node's place.
    LayoutNode* wrapper = CreateLayoutNode(kLayoutParens, nullptr, 0);
    WrapLayoutNode(b, wrapper);
    EXPECT_EQ(WriteLayout(root.get()), "<H<T1xa><(<T1xb>><T1xc>>");
    // Unwrapping puts the children back in its place.
    UnwrapLayoutNode(wrapper);
    EXPECT_EQ(WriteLayout(root.get()), "<H<T1xa><T1xb><T1xc>>");
    // Unlinking with a replacement, then without.
    LayoutNode* glyph = CreateLayoutNode(kLayoutGlyph, nullptr, 0);
    SetGlyphCode(glyph, 0x70);
    UnlinkLayoutChild(root.get(), b, glyph);
    EXPECT_EQ(WriteLayout(root.get()), "<H<T1xa><!70><T1xc>>");
    EXPECT_EQ(b->parent, nullptr);
    FreeLayoutNode(b);
    UnlinkLayoutChild(root.get(), a, nullptr);
    EXPECT_EQ(WriteLayout(root.get()), "<H<!70><T1xc>>");
    FreeLayoutNode(a);
    // A childless node that is unwrapped simply goes.
    LayoutNode* empty = CreateLayoutNode(kLayoutRow, root.get(), 0);
    ASSERT_NE(empty, nullptr);
    UnwrapLayoutNode(empty);
    EXPECT_EQ(WriteLayout(root.get()), "<H<!70><T1xc>>");
    // Grouping puts a new row in the leaf's place.
    LayoutNode* leaf = root->firstChild->nextSibling;
    LayoutNode* added = CreateLayoutNode(kLayoutEmptySlot, nullptr, 0);
    EXPECT_EQ(GroupWithNode(added, leaf, 1), 1);
    EXPECT_EQ(WriteLayout(root.get()), "<H<!70><H<0><T1xc>>>");
    EXPECT_NE(leaf->needsNormalize, 0);
    EXPECT_NE(root->needsNormalize, 0);
    // Freeing a child takes it out of its parent.
    FreeLayoutNode(root->firstChild);
    EXPECT_EQ(WriteLayout(root.get()), "<H<H<0><T1xc>>>");
    LayoutPtr row(CreateEmptySlotRow(nullptr));
    EXPECT_EQ(WriteLayout(row.get()), "<H<0>>");
}

TEST(LayoutTree, NormalisationSimplifies) {
    struct Case { const char* text; const char* normalised; };
    const Case cases[] = {
        { "<H<T'a'>>", "<T1xa>" },
        { "<H<0><T'a'>>", "<T1xa>" },
        { "<H<T'a'><0><0>>", "<T1xa>" },
        { "<H<0><0>>", "<0>" },
        { "<H<T'ab'><T'c'>>", "<T3xabc>" },
        { "<H<T'a'><H<T'b'><T'c'>>>", "<T3xabc>" },
        { "<H<T'a'><T'b'><!70>>", "<H<T2xab><!70>>" },
        { "<H<T'a'><VL<T'b'><T'c'>><T'd'>>", "<VL<T2xab><T2xcd>>" },
        { "<H<VR<T'b'><T'c'>><T'd'>>", "<VR<T1xb><T2xcd>>" },
        { "<VC<T'a'>>", "<T1xa>" },
        { "<VL<VL<T'a'><T'b'>><T'c'>>", "<VL<T1xa><T1xb><T1xc>>" },
        { "<VL<VR<T'a'><T'b'>><T'c'>>", "<VL<VR<T1xa><T1xb>><T1xc>>" },
        { "<SW2<SW2<T'a'>>>", "<SW2<T1xa>>" },
        { "<SW2<SU2<T'a'>>>", "<SW2U2<T1xa>>" },
        { "<S<T'a'>>", "<T1xa>" },
        { "<SW2<0>>", "<0>" },
        { "<SW2<T'a'><T'b'>>", "<SW2<T1xa><T1xb>>" },  // extra content is kept
        { "<H<SW2<T'a'>><SW2<T'b'>>>", "<SW2<T2xab>>" },
        { "<H<SW2<T'a'>><SU2<T'b'>>>", "<H<SW2<T1xa>><SU2<T1xb>>>" },
        { "<(<SW2<T'a'>>>", "<SW2<(<T1xa>>>" },
        { "</<SW2<T'a'>><SW2<T'b'>>>", "<SW2</<T1xa><T1xb>>>" },
        { "<+<T'x'><0>>", "<T1xx>" },
        { "<-<T'x'><H<0>>>", "<T1xx>" },
        { "<+<T'x'><T'2'>>", "<+<T1xx><T1x2>>" },
        { "<+<T'x'><0><T'y'>>", "<+<T1xx><0><T1xy>>" },  // malformed: left whole
        { "<VL<SW2<T'a'>><SW2<T'b'>>>", "<SW2<VL<T1xa><T1xb>>>" },
        { "<H<SW2<T'a'>><SW2<T'b'>><SW2<T'c'>><T'd'><SW2<T'e'>>>",
          "<H<SW2<T3xabc>><T1xd><SW2<T1xe>>>" },
        { "<H>", "<H>" },
        { "<S#C>", "<S#C>" },
        { "<?1<H<T'a'>>>", "<?1<H<T1xa>>>" },  // alternatives are separate trees
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LayoutPtr tree = ParseLayout(c.text);
        ASSERT_NE(tree, nullptr);
        tree.reset(NormalizeLayout(tree.release(), nullptr));
        EXPECT_EQ(WriteLayout(tree.get()), c.normalised);
        EXPECT_EQ(tree->parent, nullptr);
        EXPECT_EQ(tree->needsNormalize, 0);
    }
}

TEST(LayoutTree, NormalisationDropsStylesTheOwnerAlreadyHas) {
    TextStyle inherited;
    FillTextStyle(&inherited, 0);
    inherited.field[kStyleWeight] = 2;
    LayoutPtr tree = ParseLayout("<H<T'a'><SW2#C<T'b'>>>");
    tree.reset(NormalizeLayout(tree.release(), &inherited));
    EXPECT_EQ(WriteLayout(tree.get()), "<H<T1xa><S#C<T1xb>>>");
    tree = ParseLayout("<SW2<T'b'>>");
    tree.reset(NormalizeLayout(tree.release(), &inherited));
    EXPECT_EQ(WriteLayout(tree.get()), "<T1xb>");
}

TEST(LayoutTree, NormalisationWithoutMemoryLeavesAUsableTree) {
    const char* text = "<H<SW2<T'a'>><SW2<T'b'>><VL<T'c'><T'd'>><T'e'>>";
    LayoutPtr expected = ParseLayout(text);
    expected.reset(NormalizeLayout(expected.release(), nullptr));
    const std::string want = WriteLayout(expected.get());
    const LayoutDrawState state = TestDrawState();
    for (uint32_t n = 1; n < 40; ++n) {
        SCOPED_TRACE(n);
        LayoutPtr tree = ParseLayout(text);
        ASSERT_NE(tree, nullptr);
        SetAllocFailureAfter(n);
        tree.reset(NormalizeLayout(tree.release(), nullptr));
        SetAllocFailureAfter(0);
        MeasureLayout(tree.get(), &state);
        const std::string got = WriteLayout(tree.get());
        // Whatever was left undone is done by the next pass.
        MarkNeedsNormalize(tree.get());
        tree.reset(NormalizeLayout(tree.release(), nullptr));
        EXPECT_EQ(WriteLayout(tree.get()), want) << got;
    }
}

TEST(LayoutTree, CopiesTakeTheKindFields) {
    LayoutPtr tree = ParseLayout("<H<T'abc'><!b0><SW2<T'x'>><VR<T'a'>><?1<T'a'>>>");
    struct Case { int32_t child; const char* written; };
    const Case cases[] = { { 0, "<T3xabc>" }, { 1, "<!B0>" }, { 2, "<SW2>" }, { 3, "<VR>" },
                           { 4, "<?1x2A<T1xa>>" } };
    for (const Case& c : cases) {
        LayoutNode* source = LayoutChildAt(tree.get(), c.child);
        source->value = 42;
        LayoutPtr copy(CopyLayoutNode(source));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(WriteLayout(copy.get()), c.written);
        EXPECT_EQ(copy->value, 42);
    }
}

TEST(LayoutTree, TextRunsKeepSpareRoomForTyping) {
    LayoutPtr run(CreateLayoutNode(kLayoutTextRun, nullptr, 0));
    ASSERT_EQ(SetTextRunString(run.get(), "ab"), 1);
    auto* t = static_cast<TextRunNode*>(run.get());
    EXPECT_EQ(t->capacity, 19);
    const char* block = t->text;
    for (int i = 0; i < 16; ++i) ASSERT_EQ(AppendTextRunBytes(run.get(), "x", 1), 1);
    EXPECT_EQ(t->text, block);  // 2 + 16 + NUL fits in 19
    ASSERT_EQ(AppendTextRunBytes(run.get(), "y", 1), 1);
    EXPECT_EQ(t->capacity, 18 + 1 + 1 + 16);
    int32_t length = 0;
    EXPECT_EQ(std::string(GetTextRun(run.get(), &length)), "abxxxxxxxxxxxxxxxxy");
    EXPECT_EQ(length, 19);
    SetAllocFailureAfter(1);
    EXPECT_EQ(SetTextRunString(run.get(), "new"), 0);
    SetAllocFailureAfter(0);
    EXPECT_EQ(length, t->length);  // the old text is kept
    LayoutPtr empty(CreateLayoutNode(kLayoutTextRun, nullptr, 0));
    EXPECT_EQ(GetTextRun(empty.get(), &length), nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(AppendTextRunBytes(empty.get(), "q", 1), 1);
    EXPECT_EQ(WriteLayout(empty.get()), "<T1xq>");
}

TEST(LayoutTree, AlternativesShowOneTreeOrNone) {
    const LayoutDrawState state = TestDrawState();
    LayoutPtr alt = ParseLayout("<?0<T'a'><T'bb'>>");
    MeasureLayout(alt.get(), &state);
    EXPECT_EQ(alt->width, 0);
    EXPECT_EQ(alt->ascent, 0);
    EXPECT_EQ(alt->caretCount, 0);
    SelectAlternative(alt.get(), 2);
    EXPECT_EQ(alt->dirty, 1);
    MeasureLayout(alt.get(), &state);
    EXPECT_EQ(alt->width, 12);
    EXPECT_EQ(alt->caretCount, 1);
    EXPECT_EQ(AlternativeCount(alt.get()), 2);
    int32_t index = 0;
    EXPECT_EQ(WriteLayout(ShownAlternative(alt.get(), &index)), "<T2xbb>");
    EXPECT_EQ(index, 2);
    // A shown tree that changes makes the node dirty when refreshed.
    SetTextRunString(ShownAlternative(alt.get(), nullptr), "bbb");
    RefreshAlternative(alt.get(), 1);
    EXPECT_EQ(alt->dirty, 0);
    RefreshAlternative(alt.get(), 2);
    EXPECT_EQ(alt->dirty, 1);
    MeasureLayout(alt.get(), &state);
    EXPECT_EQ(alt->width, 18);
    // Growing past the first five entries.
    for (int i = 0; i < 6; ++i) {
        LayoutNode* tree = CreateLayoutNode(kLayoutGlyph, nullptr, 0);
        EXPECT_EQ(AddAlternative(alt.get(), tree), 3 + i);
    }
    RemoveAlternative(alt.get(), 2);
    EXPECT_EQ(ShownAlternative(alt.get(), &index), nullptr);
    EXPECT_EQ(AlternativeCount(alt.get()), 7);
    EXPECT_EQ(WriteLayout(alt.get()), "<?<T1xa><!><!><!><!><!><!>>");
}

TEST(LayoutTree, GroupingAnswers) {
    struct Case { const char* text; int32_t needs; };
    const Case cases[] = {
        { "<T'ab'>", 0 }, { "<T'a b'>", 1 }, { "<T'a-b'>", 1 }, { "<!b0>", 0 }, { "<!3F>", 0 },
        { "<!d0>", 0 }, { "<!70>", 1 }, { "<H<T'x'><!70>>", 1 }, { "<H<T'x'><T'y'>>", 0 },
        { "<VL<T'x'>>", 1 }, { "</<T'a+b'><T'c'>>", 0 }, { "<(<T'a+b'>>", 0 },
        { "<+<T'a+b'><T'2'>>", 1 }, { "<+<T'a'><T'2+1'>>", 0 }, { "<SW2<T'a*b'>>", 1 },
        { "<?1<T'a b'>>", 1 }, { "<?0<T'a b'>>", 0 }, { "<0>", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LayoutPtr tree = ParseLayout(c.text);
        EXPECT_EQ(NodeNeedsGrouping(tree.get()), c.needs);
    }
}

TEST(LayoutTree, InsertTemplatesHoldQuestionMarks) {
    struct Case { int32_t kind; const char* written; bool twoSlots; };
    const Case cases[] = {
        { kLayoutParens, "<(<T1x?>>", false }, { kLayoutBrackets, "<[<T1x?>>", false },
        { kLayoutBraces, "<{<T1x?>>", false }, { kLayoutAbsBars, "<|<T1x?>>", false },
        { kLayoutRadical, "<R<T1x?>>", false }, { kLayoutFraction, "</<T1x?><T1x?>>", true },
        { kLayoutSuperscript, "<+<T1x?><T1x?>>", true },
        { kLayoutSubscript, "<-<T1x?><T1x?>>", true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        LayoutNode *caret = nullptr, *start = nullptr, *end = nullptr;
        LayoutPtr node(LayoutKindTable[c.kind].makeInsertTemplate(&caret, &start, &end));
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(WriteLayout(node.get()), c.written);
        EXPECT_EQ(caret, node->firstChild);
        EXPECT_EQ(start, c.twoSlots ? node->firstChild->nextSibling : node->firstChild);
        EXPECT_EQ(end, node->firstChild);
        (void)end;
    }
    // Without memory nothing is made.
    SetAllocFailureAfter(2);
    LayoutNode *caret = nullptr, *start = nullptr, *end = nullptr;
    EXPECT_EQ(LayoutKindTable[kLayoutFraction].makeInsertTemplate(&caret, &start, &end), nullptr);
    SetAllocFailureAfter(0);
}

TEST(LayoutTree, KindTableRowsMatchTheLanguageLetters) {
    const char letters[] = "HV([{|RT/S+!-0%?F";
    for (int32_t kind = 0; kind < kLayoutKindCount; ++kind) {
        EXPECT_EQ(LayoutKindTable[kind].letter, static_cast<uint32_t>(letters[kind]));
        EXPECT_EQ(LayoutKindTable[kind].parse != nullptr, true);
        EXPECT_EQ(LayoutKindTable[kind].nodeSize == 0, kind == kLayoutPlaceholder);
    }
    EXPECT_EQ(CreateLayoutNode(kLayoutPlaceholder, nullptr, 0), nullptr);
    EXPECT_EQ(CreateLayoutNode(kLayoutKindCount, nullptr, 0), nullptr);
}

}  // namespace

namespace {

TEST(LayoutTree, LongHostileRowsStayLinear) {
    // Long rows of each kind are read, normalised, measured and written whole, without
    // deep recursion; the work, counted in allocations, grows with the row and not with
    // its square. Their speed is layout_tree_bench's.
    constexpr int kItems = 50000;
    for (const char* item : { "<T'a'>", "<0>", "<SW2<T'a'>>", "<H<T'a'>>" }) {
        SCOPED_TRACE(item);
        std::string text = "<H<T'x'>";
        for (int i = 0; i < kItems; ++i) text += item;
        text += ">";
        const uint64_t before = AllocRequestCount();
        LayoutPtr tree = ParseLayout(text);
        ASSERT_NE(tree, nullptr);
        tree.reset(NormalizeLayout(tree.release(), nullptr));
        const LayoutDrawState state = TestDrawState();
        MeasureLayout(tree.get(), &state);
        EXPECT_GE(tree->width, 6);
        EXPECT_FALSE(WriteLayout(tree.get()).empty());
        EXPECT_LT(AllocRequestCount() - before, uint64_t(kItems) * 16);
    }
    std::string alternatives = "<?1";
    for (int i = 0; i < kItems; ++i) alternatives += "<0>";
    alternatives += ">";
    const uint64_t before = AllocRequestCount();
    LayoutPtr tree = ParseLayout(alternatives);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(AlternativeCount(tree.get()), kItems);
    EXPECT_LT(AllocRequestCount() - before, uint64_t(kItems) * 16);
}

TEST(LayoutTree, RunsWrittenWithAReplacement) {
    LayoutPtr glyph = ParseLayout("<!70>");
    struct Case { const char* text; const char* written; };
    const Case cases[] = {
        { "<T'2 pi r'>", "<H<T2x2 ><!70><T2x r>>" },
        { "<T'pi'>", "<!70>" },
        { "<T'pi r'>", "<H<!70><T2x r>>" },
        { "<T'2r'>", "<T2x2r>" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LayoutPtr run = ParseLayout(c.text);
        const int32_t n = WriteRunReplacing(run.get(), "pi", glyph.get(), nullptr, nullptr);
        std::string out(static_cast<size_t>(n), '\0');
        char* cursor = out.data();
        EXPECT_EQ(WriteRunReplacing(run.get(), "pi", glyph.get(), &cursor, nullptr), n);
        EXPECT_EQ(cursor, out.data() + n);
        EXPECT_EQ(out, c.written);
        EXPECT_EQ(glyph->parent, nullptr);  // the replacement comes back out
        EXPECT_EQ(glyph->nextSibling, nullptr);
    }
}

TEST(LayoutTree, RowAlignment) {
    LayoutPtr tree = ParseLayout("<VL<T'a'><T'b'>>");
    const LayoutDrawState state = TestDrawState();
    MeasureLayout(tree.get(), &state);
    SetRowAlignment(tree.get(), 0);
    EXPECT_EQ(tree->dirty, 0);
    SetRowAlignment(tree.get(), 2);
    EXPECT_EQ(tree->dirty, 1);
    EXPECT_EQ(WriteLayout(tree.get()), "<VR<T1xa><T1xb>>");
}

}  // namespace

namespace {

TEST(LayoutTree, AnObsoleteNodeIsWrittenAsTheEmptySlotItReadsAs) {
    LayoutPtr row = ParseLayout("<H<T'a'>>");
    ASSERT_NE(CreateLayoutNode(kLayoutObsolete, row.get(), 0), nullptr);
    EXPECT_EQ(WriteLayout(row.get()), "<H<T1xa><0>>");
}

}  // namespace
