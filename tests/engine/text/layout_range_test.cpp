#include <gtest/gtest.h>

#include <string>

#include "engine/core/memory.h"
#include "engine/text/layout_range.h"
#include "tests/engine/text/layout_test_util.h"

namespace {

LayoutPtr Normalised(const std::string& text, const LayoutDrawState& state) {
    return MeasuredLayout(text, state, true);
}

LayoutNode* TextRun(const char* text) { return CreateTextRunWith(text, nullptr); }

// One edit of a script: 'i' inserts text at a, 'c' cuts [a, b), 'r' cuts [a, b) putting
// text in its place, 'b' breaks the row at a (b: breaks inside structures allowed).
struct Step {
    char        op;
    int32_t     a, b;
    const char* text;
};

struct Outcome {
    std::string tree;
    std::string cut;
    int32_t     answer;
    int32_t     caret;
};

Outcome Apply(LayoutPtr& tree, const Step& s, const LayoutDrawState& state) {
    LayoutNode* root = tree.release();
    Outcome o{ "", "", 0, s.a };
    switch (s.op) {
    case 'i': o.answer = InsertNodeAtCaret(&root, s.a, &state, TextRun(s.text)); break;
    case 'b': o.answer = BreakRowAtCaret(&root, s.a, &state, s.b); break;
    default: {
        int32_t start = s.a, end = s.b;
        LayoutNode* cut = nullptr;
        o.answer = CutLayoutRange(&root, &start, &end, &state, s.op == 'r' ? TextRun(s.text) : nullptr,
                                  &cut);
        EXPECT_EQ(start, end);
        o.caret = start;
        if (cut) o.cut = WriteLayout(cut);
        FreeLayoutNode(cut);
    }
    }
    tree.reset(root);
    EXPECT_EQ(root->parent, nullptr);
    o.tree = WriteLayout(root);
    return o;
}

TEST(LayoutRange, ScriptedEdits) {
    struct Case {
        const char* start;
        Step        step;
        const char* tree;
        const char* cut;
        int32_t     answer;
        int32_t     caret;
    };
    const Case cases[] = {
        { "<T'abc'>", { 'i', 1, 0, "X" }, "<T4xaXbc>", "", 1, 1 },
        { "<T'abc'>", { 'i', 3, 0, "X" }, "<T4xabcX>", "", 1, 3 },
        { "<T'abc'>", { 'i', 0, 0, "X" }, "<T4xXabc>", "", 1, 0 },
        { "<0>", { 'i', 0, 0, "X" }, "<T1xX>", "", 1, 0 },
        { "<H<T'a'><(<T'bc'>>>", { 'i', 1, 0, "X" }, "<H<T2xaX><(<T2xbc>>>", "", 1, 1 },
        { "<H<T'a'><(<T'bc'>>>", { 'i', 2, 0, "X" }, "<H<T1xa><(<T3xXbc>>>", "", 1, 2 },
        { "<H<T'a'><(<T'bc'>>>", { 'i', 4, 0, "X" }, "<H<T1xa><(<T3xbcX>>>", "", 1, 4 },
        { "<H<T'a'></<T'b'><T'c'>>>", { 'i', 3, 0, "X" }, "<H<T1xa></<T2xbX><T1xc>>>", "", 1, 3 },
        { "<H<T'a'><+<T'x'><T'2'>>>", { 'i', 2, 0, "X" }, "<H<T1xa><+<T2xxX><T1x2>>>", "", 1, 2 },
        { "<T'abc'>", { 'c', 1, 1, "" }, "<T3xabc>", "", 1, 1 },
        { "<T'abc'>", { 'c', 1, 3, "" }, "<T1xa>", "<T2xbc>", 1, 1 },
        { "<T'abc'>", { 'c', 0, 3, "" }, "<0>", "<T3xabc>", 1, 0 },
        { "<H<T'a'><(<T'bc'>><T'd'>>", { 'c', 0, 3, "" }, "<T2xcd>", "<H<T1xa><(<T1xb>>>", 1, 0 },
        { "<H<T'a'><(<T'bc'>><T'd'>>", { 'c', 3, 6, "" }, "<T2xab>", "<H<(<T1xc>><T1xd>>", 1, 2 },
        { "<H<T'a'><(<T'bc'>><T'd'>>", { 'c', 0, 6, "" }, "<0>", "<H<T1xa><(<T2xbc>><T1xd>>", 1, 0 },
        { "<H<T'a'><R<T'bc'>><T'd'>>", { 'c', 3, 6, "" }, "<H<T1xa><R<T1xb>>>", "<T2xcd>", 1, 3 },
        { "<H<T'one '><SW2<T'two'>><T' three'>>", { 'r', 4, 7, "X" }, "<H<T4xone ><SW2<T1xX>><T6x three>>", "<T3xtwo>", 1, 4 },
        { "<H<T'a'></<T'b+c'><T'd'>>>", { 'c', 3, 7, "" }, "<T2xab>", "</<T2x+c><T1xd>>", 1, 2 },
        { "<H<T'a'></<T'bc'><T'de'>>>", { 'r', 1, 3, "X" }, "<H<T1xa></<T2xXc><T2xde>>>", "<T1xb>", 1, 1 },
        { "<VL<T'ab'><T'cd'>>", { 'c', 1, 4, "" }, "<T2xad>", "<VL<T1xb><T1xc>>", 1, 1 },
        { "<H<T'a'><+<T'x'><T'23'>>>", { 'c', 1, 4, "" }, "<H<T1xa><+<0><T1x3>>>", "<+<T1xx><T1x2>>", 1, 1 },
        { "<T'abcd'>", { 'b', 2, 0, "" }, "<VL<T2xab><T2xcd>>", "", 1, 2 },
        { "<T'abcd'>", { 'b', 4, 0, "" }, "<VL<T4xabcd><0>>", "", 1, 4 },
        { "<H<T'a'><(<T'bcd'>>>", { 'b', 3, 1, "" }, "<H<T1xa><(<VC<T1xb><T2xcd>>>>", "", 1, 3 },
        { "<H<T'a'><(<T'bcd'>>>", { 'b', 3, 0, "" }, "<H<T1xa><(<T3xbcd>>>", "", 0, 3 },
        { "<H<T'a'><(<T'bcd'>>>", { 'b', 1, 0, "" }, "<VL<T1xa><(<T3xbcd>>>", "", 1, 1 },
        { "<H<T'a'><(<T'bcd'>>>", { 'b', 5, 1, "" }, "<H<T1xa><(<VC<T3xbcd><0>>>>", "", 1, 5 },
        { "<VL<T'ab'><T'cd'>>", { 'b', 1, 0, "" }, "<VL<T1xa><T1xb><T2xcd>>", "", 1, 1 },
        { "<VL<T'ab'><T'cd'>>", { 'b', 2, 0, "" }, "<VL<T2xab><0><T2xcd>>", "", 1, 2 },
        { "<H<+<T'xy'><T'2'>>>", { 'b', 1, 1, "" }, "<+<VR<T1xx><T1xy>><T1x2>>", "", 1, 1 },
        { "<H<+<T'xy'><T'23'>>>", { 'b', 4, 1, "" }, "<+<T2xxy><VL<T1x2><T1x3>>>", "", 1, 4 },
        { "<H<+<T'xy'><T'2'>>>", { 'b', 1, 0, "" }, "<+<T2xxy><T1x2>>", "", 0, 1 },
        { "<SW2<T'abcd'>>", { 'b', 2, 0, "" }, "<SW2<VL<T2xab><T2xcd>>>", "", 1, 2 },
        { "<H<T'a'></<T'bc'><T'de'>>>", { 'b', 3, 1, "" }, "<H<T1xa></<VC<T1xb><T1xc>><T2xde>>>", "", 1, 3 },
    };
    const LayoutDrawState state = TestDrawState();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " " + c.step.op + std::to_string(c.step.a) + "," +
                     std::to_string(c.step.b));
        LayoutPtr tree = Normalised(c.start, state);
        const Outcome o = Apply(tree, c.step, state);
        EXPECT_EQ(o.tree, c.tree);
        EXPECT_EQ(o.cut, c.cut);
        EXPECT_EQ(o.answer, c.answer);
        EXPECT_EQ(o.caret, c.caret);
        // Whatever an edit builds is written and read back whole.
        LayoutPtr again = ParseLayout(o.tree);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(WriteLayout(again.get()), o.tree);
    }
}

TEST(LayoutRange, LeafBoundariesSplitRunsAndMoveTheHolder) {
    const LayoutDrawState state = TestDrawState();
    LayoutPtr tree = Normalised("<T'abc'>", state);
    LayoutNode* root = tree.release();
    LayoutNode* old = root;
    LayoutNode* leaf = nullptr;
    int32_t atStart = -1;
    EXPECT_EQ(LeafBoundaryOffset(&root, 1, &state, &leaf, &atStart), 1);
    tree.reset(root);
    EXPECT_NE(root, old);  // the split put a Row above the old root
    EXPECT_EQ(root->parent, nullptr);
    EXPECT_EQ(WriteLayout(root), "<H<T1xa><T2xbc>>");
    EXPECT_EQ(leaf, old);
    EXPECT_EQ(atStart, 0);
    EXPECT_EQ(root->dirty, 0);
    // At a run's first stop nothing is split; at the very end the last leaf answers.
    root = tree.release();
    EXPECT_EQ(LeafBoundaryOffset(&root, 1, &state, &leaf, &atStart), 1);
    EXPECT_EQ(WriteLayout(leaf), "<T2xbc>");
    EXPECT_EQ(atStart, 1);
    EXPECT_EQ(LeafBoundaryOffset(&root, 3, &state, &leaf, &atStart), 3);
    tree.reset(root);
    EXPECT_EQ(WriteLayout(leaf), "<T2xbc>");
    EXPECT_EQ(WriteLayout(root), "<H<T1xa><T2xbc>>");
}

TEST(LayoutRange, CaretLinesFollowTheStops) {
    const LayoutDrawState state = TestDrawState();
    LayoutPtr tree = Normalised("<H<T'ab'><(<T'c'>></<T'd'><T'e'>>>", state);
    ASSERT_EQ(tree->caretCount, 10);
    LayoutNode* parens = tree->firstChild->nextSibling;
    LayoutNode* fraction = parens->nextSibling;
    struct Case { int32_t index; int32_t x; };
    const Case cases[] = {
        // In text the port moves the line one pixel left of the character's edge.
        { 0, -1 }, { 1, 5 },
        { 2, parens->x },                                     // before the parentheses
        { 3, parens->x + parens->firstChild->x - 1 },         // before "c"
        { 4, parens->x + parens->firstChild->x + 6 },         // after the content
        { 5, fraction->x },                                   // before the fraction
        { 7, fraction->x + fraction->firstChild->x + 6 },     // after the numerator
        { 10, fraction->x + fraction->width },                // the very end
    };
    int32_t previous = -1;
    for (int32_t i = 0; i <= tree->caretCount; ++i) {
        ScreenPoint top{}, bottom{};
        LayoutCaretRect(tree.get(), &state, i, &top, &bottom);
        EXPECT_LT(top.y, bottom.y) << i;
        EXPECT_EQ(top.x, bottom.x) << i;
        if (i <= 5) {
            EXPECT_GE(top.x, previous) << i;
        }
        previous = top.x;
        for (const Case& c : cases)
            if (c.index == i) {
                EXPECT_EQ(top.x, c.x) << i;
            }
    }
}

TEST(LayoutRange, WordsRunThroughStylesAndGlyphs) {
    struct Case { const char* tree; int32_t index; int32_t stepBack; int32_t start, end; };
    const Case cases[] = {
        { "<T'one two'>", 1, 0, 0, 3 },
        { "<T'one two'>", 5, 0, 4, 7 },
        { "<T'one two'>", 3, 0, 0, 3 },   // on the blank: the word before it
        { "<T'one two'>", 4, 1, 4, 7 },   // stepping back onto the blank: the word after
        { "<T'one two'>", 7, 1, 4, 7 },   // at the end, stepping back
        { "<H<T'ab'><SW2<T'cd'>><T'e f'>>", 1, 0, 0, 5 },
        { "<H<T'ab'><SW2<T'cd'>><T'e f'>>", 3, 0, 0, 5 },
        { "<H<T'a'><!70><T'b c'>>", 1, 0, 0, 3 },
        { "<H<T'a '><(<T'b'>>>", 2, 0, 2, 5 },  // a structure's own stop: the whole node
        { "<H<T'a'><(<T'bc d'>>>", 2, 0, 2, 4 },  // no word runs out of parentheses
        { "<SW2<T'ab'><T'cd'>>", 0, 0, 0, 2 },  // malformed: only the first child has stops
    };
    const LayoutDrawState state = TestDrawState();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tree) + " " + std::to_string(c.index));
        LayoutPtr tree = Normalised(c.tree, state);
        int32_t start = -1, end = -1;
        LayoutWordBounds(tree.get(), &state, c.index, &start, &end, c.stepBack);
        EXPECT_EQ(start, c.start);
        EXPECT_EQ(end, c.end);
    }
}

TEST(LayoutRange, StylesAndRowAlignment) {
    const LayoutDrawState state = TestDrawState();
    LayoutPtr tree = Normalised("<T'abcd'>", state);
    LayoutNode* root = tree.release();
    TextStyle bold;
    FillTextStyle(&bold, 0);
    bold.field[kStyleWeight] = 2;
    ApplyStyleToRange(&root, &state, 1, 3, &bold);
    tree.reset(root);
    EXPECT_EQ(WriteLayout(root), "<H<T1xa><SW2<T2xbc>><T1xd>>");
    TextStyle common;
    GetRangeStyle(&root, &state, 1, 3, &common);
    EXPECT_EQ(common.field[kStyleWeight], 2);
    GetRangeStyle(&root, &state, 0, 3, &common);
    EXPECT_EQ(common.field[kStyleWeight], 0);  // differs across the range
    EXPECT_EQ(common.field[kStyleSize], 12);
    // Bold again over a range that is partly bold only wraps what is not.
    root = tree.release();
    ApplyStyleToRange(&root, &state, 0, 3, &bold);
    tree.reset(root);
    EXPECT_EQ(WriteLayout(root), "<H<SW2<T3xabc>><T1xd>>");

    LayoutPtr rows = Normalised("<H<T'x'><(<VL<T'ab'><T'cd'>>>>", state);
    EXPECT_EQ(SetRangeRowAlignment(rows.get(), &state, 2, 3, 2), 1);
    EXPECT_EQ(WriteLayout(rows.get()), "<H<T1xx><(<VR<T2xab><T2xcd>>>>");
    EXPECT_EQ(SetRangeRowAlignment(rows.get(), &state, 0, 1, 1), 0);  // no rows around "x"
}

TEST(LayoutRange, InversionCoversWholeNodesAndParts) {
    const LayoutDrawState state = TestDrawState();
    LayoutPtr tree = Normalised("<H<T'ab'><(<T'c'>>>>", state);
    ResetTextPort();
    InvertLayoutRange(tree.get(), &state, 1, 2);
    EXPECT_EQ(DescribeTextPortCalls(), "invert 6 -10 12 3\n");
    ResetTextPort();
    InvertLayoutRange(tree.get(), &state, 0, tree->caretCount);
    ASSERT_EQ(TextPortCalls().size(), 1u);  // the whole box at once
    EXPECT_EQ(TextPortCalls()[0].args[2], tree->width);
    ResetTextPort();
    InvertLayoutRange(tree.get(), &state, 1, 1);
    EXPECT_TRUE(TextPortCalls().empty());
}

std::string Nested(int32_t depth, const char* inner) {
    std::string s;
    for (int32_t i = 0; i < depth; ++i) s += "<(";
    s += inner;
    for (int32_t i = 0; i < depth; ++i) s += ">";
    return s;
}

// Edits never build a tree deeper than the reader accepts: such a caption could be
// written but would be lost when its document is opened again.
TEST(LayoutRange, EditsThatWouldNestTooDeepAreRefused) {
    const LayoutDrawState state = TestDrawState();
    const int32_t deepest = kMaxLayoutDepth - 1;  // parentheses around one text run
    LayoutPtr tree = Normalised(Nested(deepest, "<T'ab'>"), state);
    ASSERT_NE(tree, nullptr);
    LayoutNode* root = tree.release();
    // Typing at the deepest level still works: the text merges into the run.
    EXPECT_EQ(InsertNodeAtCaret(&root, deepest + 1, &state, TextRun("X")), 1);
    LayoutPtr typed = ParseLayout(WriteLayout(root));
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(WriteLayout(typed.get()), Nested(deepest, "<T3xaXb>"));
    // A structure there is refused, and so is a row break inside.
    LayoutNode* parens = ParseLayout("<(<T'c'>>").release();
    EXPECT_EQ(InsertNodeAtCaret(&root, deepest + 1, &state, parens), 0);
    EXPECT_EQ(BreakRowAtCaret(&root, deepest + 1, &state, 1), 0);
    EXPECT_EQ(WriteLayout(root), Nested(deepest, "<T3xaXb>"));
    // A replacement typed over a selection there is refused in the same way.
    int32_t start = deepest + 1, end = deepest + 2;
    EXPECT_EQ(CutLayoutRange(&root, &start, &end, &state, ParseLayout("<(<T'c'>>").release(),
                             nullptr),
              0);
    tree.reset(root);
    LayoutPtr back = ParseLayout(WriteLayout(root));
    EXPECT_NE(back, nullptr);
    // Two levels shallower the same structure fits.
    LayoutPtr shallow = Normalised(Nested(deepest - 2, "<T'ab'>"), state);
    root = shallow.release();
    EXPECT_EQ(InsertNodeAtCaret(&root, deepest - 1, &state, ParseLayout("<(<T'c'>>").release()), 1);
    shallow.reset(root);
    EXPECT_NE(ParseLayout(WriteLayout(root)), nullptr);
}

// Every operation survives memory running out at any allocation: the tree stays whole,
// nothing leaks, and a large enough allowance gives the full result.
TEST(LayoutRange, OutOfMemoryInEveryOperation) {
    const LayoutDrawState state = TestDrawState();
    const char* start = "<H<T'ab '><SW2<T'cd'>><(<T'ef'>></<T'g'><T'h'>><VL<T'i'><T'j'>>>";
    using Op = int32_t (*)(LayoutNode** root, const LayoutDrawState& state, LayoutNode* made);
    struct Case { const char* name; const char* made; Op op; };
    const Case cases[] = {
        { "insert", "<T'X'>", [](LayoutNode** r, const LayoutDrawState& s, LayoutNode* n) {
              return InsertNodeAtCaret(r, 4, &s, n); } },
        { "insert structure", "</<T'1'><T'2'>>",
          [](LayoutNode** r, const LayoutDrawState& s, LayoutNode* n) {
              return InsertNodeAtCaret(r, 8, &s, n); } },
        { "cut", nullptr, [](LayoutNode** r, const LayoutDrawState& s, LayoutNode*) {
              int32_t a = 1, b = 12;
              LayoutNode* cut = nullptr;
              const int32_t ok = CutLayoutRange(r, &a, &b, &s, nullptr, &cut);
              FreeLayoutNode(cut);
              return ok; } },
        { "replace", "<T'X'>", [](LayoutNode** r, const LayoutDrawState& s, LayoutNode* n) {
              int32_t a = 3, b = 5;
              return CutLayoutRange(r, &a, &b, &s, n, nullptr); } },
        { "break", nullptr, [](LayoutNode** r, const LayoutDrawState& s, LayoutNode*) {
              return BreakRowAtCaret(r, 8, &s, 1); } },
        { "break at top", nullptr, [](LayoutNode** r, const LayoutDrawState& s, LayoutNode*) {
              return BreakRowAtCaret(r, 1, &s, 0); } },
        { "style", nullptr, [](LayoutNode** r, const LayoutDrawState& s, LayoutNode*) {
              TextStyle italic;
              FillTextStyle(&italic, 0);
              italic.field[kStyleSlant] = 2;
              ApplyStyleToRange(r, &s, 1, 9, &italic);
              return 1; } },
        { "leaf", nullptr, [](LayoutNode** r, const LayoutDrawState& s, LayoutNode*) {
              LayoutNode* leaf = nullptr;
              int32_t atStart = 0;
              LeafBoundaryOffset(r, 1, &s, &leaf, &atStart);
              return leaf ? 1 : 0; } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string full;
        for (uint32_t n = 1; n < 400; ++n) {
            LayoutPtr tree = Normalised(start, state);
            LayoutNode* made = c.made ? ParseLayout(c.made).release() : nullptr;
            LayoutNode* root = tree.release();
            const uint64_t requests = AllocRequestCount();
            SetAllocFailureAfter(n);
            const int32_t answer = c.op(&root, state, made);
            const bool failed = AllocRequestCount() - requests >= n;
            SetAllocFailureAfter(0);
            tree.reset(root);
            ASSERT_NE(root, nullptr);
            EXPECT_EQ(root->parent, nullptr);
            const std::string text = WriteLayout(root);
            LayoutPtr back = ParseLayout(text);
            ASSERT_NE(back, nullptr) << n << " " << text;
            if (!failed) {
                EXPECT_EQ(answer, 1);
                full = text;
                break;
            }
        }
        EXPECT_FALSE(full.empty());
    }
}

}  // namespace
