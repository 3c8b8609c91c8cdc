// Measured sizes, drawn output and hit tests under the test port's metrics: at 12
// pixels ascent 10, descent 3 and 6 pixels a character; at 10 pixels (one script level
// down) ascent 8, descent 2 and 5 a character.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/engine/text/layout_test_util.h"

namespace {

struct Metrics {
    int32_t width, overhang, caretAscent, ascent, descent, caretCount;
};

Metrics MetricsOf(const LayoutNode* n) {
    return { n->width, n->overhang, n->caretAscent, n->ascent, n->descent, n->caretCount };
}

bool operator==(const Metrics& a, const Metrics& b) {
    return a.width == b.width && a.overhang == b.overhang && a.caretAscent == b.caretAscent &&
           a.ascent == b.ascent && a.descent == b.descent && a.caretCount == b.caretCount;
}

std::ostream& operator<<(std::ostream& os, const Metrics& m) {
    return os << "{w " << m.width << ", oh " << m.overhang << ", ca " << m.caretAscent << ", a "
              << m.ascent << ", d " << m.descent << ", stops " << m.caretCount << "}";
}

struct Placement { int32_t x, y; };

struct MeasureCase {
    const char* text;
    int16_t size;
    Metrics metrics;
    std::vector<Placement> children;  // x, y of each child, in order
};

TEST(LayoutMeasure, SizesAndPlacements) {
    const MeasureCase cases[] = {
        // Leaves.
        { "<T'abc'>", 12, { 18, 0, 10, 10, 3, 3 }, {} },
        { "<Tx>", 12, { 0, 0, 10, 10, 3, 0 }, {} },
        { "<0>", 12, { 0, 0, 10, 10, 3, 0 }, {} },
        { "<!70>", 12, { 6, 0, 10, 10, 3, 1 }, {} },
        { "<!100>", 12, { 10, 0, 10, 10, 3, 1 }, {} },
        { "<!101>", 12, { 8, 0, 10, 10, 3, 1 }, {} },
        // Overmarks add to the ascent: bar, arrow, arc.
        { "<SO2<T'ab'>>", 12, { 12, 0, 10, 12, 3, 2 }, { { 0, 0 } } },
        { "<SO3<T'ab'>>", 12, { 12, 0, 10, 17, 3, 2 }, { { 0, 0 } } },
        { "<SO5<T'ab'>>", 12, { 12, 0, 10, 13, 3, 2 }, { { 0, 0 } } },
        { "<SO2<Tx>>", 12, { 0, 0, 10, 10, 3, 0 }, { { 0, 0 } } },
        // A slanted run of ascent 16 leaves 3 pixels for what follows.
        { "<SS2<T'ab'>>", 20, { 20, 3, 16, 16, 5, 2 }, { { 0, 0 } } },
        // A structure after text is lifted by half the text's ascent; text after it
        // comes back down.
        { "<H<T'a'></<T'b'><T'c'>><T'd'>>", 12, { 26, 0, 21, 21, 12, 7 },
          { { 0, 0 }, { 6, -5 }, { 20, 0 } } },
        { "<H</<T'b'><T'c'>><T'd'>>", 12, { 20, 0, 16, 16, 17, 6 }, { { 0, 0 }, { 14, 5 } } },
        { "<H<SS2<T'a'>><T'b'>>", 20, { 20, 0, 16, 16, 5, 2 }, { { 0, 0 }, { 10, 0 } } },
        // Stacked rows.
        { "<VR<T'a'><T'aaa'>>", 20, { 30, 0, 16, 16, 26, 6 }, { { 20, 0 }, { 0, 21 } } },
        { "<VC<T'a'><T'aaa'>>", 20, { 30, 0, 16, 16, 26, 6 }, { { 10, 0 }, { 0, 21 } } },
        { "<VL<T'a'><T'aaa'>>", 20, { 30, 0, 16, 16, 26, 6 }, { { 0, 0 }, { 0, 21 } } },
        // Scripts: the worked example (base 10 over 3, script 8 over 2).
        { "<+<T'x'><T'2'>>", 12, { 11, 0, 11, 11, 3, 4 }, { { 0, 0 }, { 6, -3 } } },
        { "<-<T'x'><T'1'>>", 12, { 11, 0, 10, 10, 5, 4 }, { { 0, 0 }, { 6, 3 } } },
        // Fractions: bar 1 at 12 pixels, 3 at 36; side extension w / 32, at least 2.
        { "</<T'b'><T'cc'>>", 12, { 20, 0, 16, 16, 17, 6 }, { { 7, -6 }, { 4, 14 } } },
        { "</<T'a'><T'b'>>", 36, { 26, 0, 43, 43, 44, 5 }, { { 4, -13 }, { 4, 35 } } },
        { "</<T'aaaa'><T'aaaaaaaaaa'>>", 20, { 110, 0, 24, 24, 25, 17 }, { { 35, -8 }, { 5, 20 } } },
        // Delimiters: one line of the current font draws with its characters.
        { "<(<T'ab'>>", 12, { 24, 0, 10, 10, 3, 4 }, { { 6, 0 } } },
        { "<[<T'ab'>>", 12, { 24, 0, 10, 10, 3, 4 }, { { 6, 0 } } },
        // Taller content takes Symbol characters centred on it.
        { "<(</<T'b'><T'c'>>>", 12, { 46, 0, 17, 17, 18, 7 }, { { 16, 0 } } },
        { "<|<T'ab'>>", 12, { 22, 0, 12, 12, 5, 4 }, { { 5, 0 } } },
        // A radical around content 80 high: t 1, height 82, sign 41, gap 1.
        { "<R<VL<T'a'><T'a'><T'a'><T'a'><T'a'><S#F<T'a'>>>>", 12, { 52, 0, 13, 13, 70, 14 },
          { { 43, 0 } } },
        // Style nodes measure as their content; alternatives as the shown tree.
        { "<S#14<T'a'>>", 12, { 10, 0, 16, 16, 5, 1 }, { { 0, 0 } } },
        { "<S#C>", 12, { 0, 0, 0, 0, 0, 0 }, {} },
        { "<?2<T'a'><T'bb'>>", 12, { 12, 0, 10, 10, 3, 1 }, {} },
        { "<?0<T'a'><T'bb'>>", 12, { 0, 0, 0, 0, 0, 0 }, {} },
        // An alternatives node is as text-like as what it shows.
        { "<H<T'a'><?1</<T'b'><T'c'>>><?1<T'd'>>>", 12, { 26, 0, 21, 21, 12, 3 },
          { { 0, 0 }, { 6, -5 }, { 20, 0 } } },
    };
    for (const MeasureCase& c : cases) {
        SCOPED_TRACE(c.text);
        ResetTextPort();
        const LayoutDrawState state = TestDrawState(c.size);
        LayoutPtr tree = MeasuredLayout(c.text, state);
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(MetricsOf(tree.get()), c.metrics);
        EXPECT_EQ(tree->dirty, 0);
        EXPECT_EQ(TextPortDepth(), 0);
        int32_t i = 0;
        for (LayoutNode* child = tree->firstChild; child && i < static_cast<int32_t>(c.children.size());
             child = child->nextSibling, ++i) {
            EXPECT_EQ(child->x, c.children[i].x) << "child " << i;
            EXPECT_EQ(child->y, c.children[i].y) << "child " << i;
        }
    }
}

TEST(LayoutMeasure, MalformedStructuresMeasureWithoutFailing) {
    const LayoutDrawState state = TestDrawState();
    for (const char* text : { "</>", "</<T'a'>>", "<+>", "<-<T'a'>>", "<+<T'a'><T'b'><T'c'>>",
                              "<(>", "<R>", "<|<T'a'><T'b'>>", "<VL>", "<H>" }) {
        SCOPED_TRACE(text);
        LayoutPtr tree = MeasuredLayout(text, state);
        ASSERT_NE(tree, nullptr);
        DrawLayout(tree.get(), &state);
        int32_t index = -1, side = -1;
        LayoutCaretFromPoint(tree.get(), &state, ScreenPoint{ 3, 1 }, &index, &side);
        EXPECT_GE(index, 0);
        EXPECT_LE(index, tree->caretCount);
    }
}

TEST(LayoutMeasure, OnlyDirtyNodesAreMeasuredAgain) {
    const LayoutDrawState state = TestDrawState();
    LayoutPtr tree = MeasuredLayout("<H<T'a'><(<T'b'>>>", state);
    EXPECT_EQ(tree->width, 6 + 18);
    LayoutDrawState copy = state;
    EXPECT_EQ(MeasureLayoutNode(tree.get(), &copy), 0);  // nothing dirty: nothing changes
    LayoutNode* inner = tree->firstChild->nextSibling->firstChild;
    SetTextRunString(inner, "bbb");
    EXPECT_EQ(tree->dirty, 2);
    EXPECT_EQ(tree->firstChild->dirty, 0);
    MeasureLayout(tree.get(), &state);
    EXPECT_EQ(tree->width, 6 + 30);
    EXPECT_EQ(tree->caretCount, 1 + 5);
    // A change of the caret ascent alone is neither stored nor reported.
    LayoutNode m = *tree;
    m.caretAscent += 4;
    EXPECT_EQ(StoreLayoutMetrics(tree.get(), m), 0);
    EXPECT_EQ(tree->caretAscent, 10);
    m.width += 1;
    EXPECT_EQ(StoreLayoutMetrics(tree.get(), m), 1);
    EXPECT_EQ(tree->caretAscent, 14);
    MeasureLayout(nullptr, &state);
    DrawLayout(nullptr, &state);
}

struct DrawCase {
    const char* text;
    const char* calls;
};

TEST(LayoutDraw, DrawsAtThePen) {
    const DrawCase cases[] = {
        { "<H<T'ab'><SW2<T'c'>>>", "text 'ab' 100 50 10 3 12\ntext 'c' 112 50 10 3 12\n" },
        { "<+<T'x'><T'2'>>", "text 'x' 100 50 10 3 12\ntext '2' 106 47 8 2 10\n" },
        { "<-<T'x'><S+1<T'1'>>>", "text 'x' 100 50 10 3 12\ntext '1' 106 52 7 2 9\n" },
        { "<H<Tx><0><!70>>", "glyph 112 100 50 10\n" },
        { "<SO2<!70>>", "glyph 112 100 50 10\npen 1\nlines 100 39 105 39\npen 1\n" },
        { "<SO4<T'ab'>>",
          "text 'ab' 100 50 10 3 12\npen 1\nlines 100 37 111 37\nlines 109 35 111 37\n"
          "lines 109 39 111 37\nlines 102 35 100 37\nlines 102 39 100 37\npen 1\n" },
        { "<SO5<T'ab'>>", "text 'ab' 100 50 10 3 12\npen 1\narc 98 37 114 53\npen 1\n" },
        { "</<T'b'><T'cc'>>",
          "text 'b' 107 44 10 3 12\ntext 'cc' 104 64 10 3 12\noutline\nfill 102 50 118 51\n"
          "endoutline\n" },
        { "<(<T'ab'>>", "text 'ab' 106 50 10 3 12\nglyph 40 100 50 10\nglyph 41 118 50 10\n" },
        { "<(</<T'b'><T'c'>>>",
          "text 'b' 120 44 10 3 12\ntext 'c' 120 64 10 3 12\noutline\nfill 118 50 128 51\n"
          "endoutline\noutline\nsymbols '()' 100 60 33 30\nendoutline\n" },
        { "<|<T'ab'>>",
          "text 'ab' 105 50 10 3 12\noutline\nfill 102 39 103 54\nfill 119 39 120 54\nendoutline\n" },
        { "<R<T'a'>>",
          "text 'a' 109 50 10 3 12\noutline\npen 1\nlines 101 48 102 48 104 53 108 38 116 38\n"
          "pen 1\nendoutline\n" },
        { "<?1<T'a'>>", "text 'a' 100 50 10 3 12\n" },
        { "<VR<T'a'><T'aa'>>", "text 'a' 106 50 10 3 12\ntext 'aa' 100 63 10 3 12\n" },
    };
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.text);
        LayoutDrawState state = TestDrawState();
        state.x = 100;
        state.y = 50;
        LayoutPtr tree = ParseLayout(c.text);
        ASSERT_NE(tree, nullptr);
        ResetTextPort();
        DrawLayout(tree.get(), &state);  // measures the dirty tree first
        EXPECT_EQ(DescribeTextPortCalls(), c.calls);
        EXPECT_EQ(TextPortDepth(), 0);
    }
}

TEST(LayoutHitTest, CaretIndexUnderAPoint) {
    struct Case { const char* text; int16_t x, y; int32_t index; };
    const Case cases[] = {
        { "<T'abc'>", 8, 0, 1 },      // less than half of "b" is passed
        { "<T'abc'>", 10, 0, 2 },     // more than half
        { "<T'abc'>", 100, 0, 3 },    // right of the text: its end
        { "<H<T'ab'><T'cd'>>", 15, 0, 2 },
        { "<H<T'ab'><T'cd'>>", 16, 0, 3 },
        { "<(<T'ab'>>", 1, 0, 0 },    // on the opening parenthesis
        { "<(<T'ab'>>", 4, 0, 1 },
        { "<(<T'ab'>>", 23, 0, 4 },   // right half of the closing one: after the structure
        { "<(<T'ab'>>", 19, 0, 3 },
        { "</<T'b'><T'c'>>", 7, -2, 2 },   // on the bar band, above the baseline
        { "</<T'b'><T'c'>>", 7, 2, 3 },
        { "</<T'b'><T'c'>>", 7, -10, 1 },  // in the numerator
        { "</<T'b'><T'c'>>", 11, 14, 4 },  // in the denominator, past half of "c"
        { "<+<T'x'><T'2'>>", 9, -5, 3 },   // in the script, at 10 pixels
        { "<+<T'x'><T'2'>>", 4, 0, 1 },
        { "<H<T'a'><SW2<T'bc'>>>", 13, 0, 2 },
        { "<VL<T'ab'><T'cd'>>", 7, 9, 4 },  // second row: after its row-break stop
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " at " << c.x << "," << c.y);
        const LayoutDrawState state = TestDrawState();
        LayoutPtr tree = ParseLayout(c.text);
        int32_t index = -1, side = -1;
        LayoutNode* at = LayoutCaretFromPoint(tree.get(), &state, ScreenPoint{ c.x, c.y }, &index, &side);
        EXPECT_NE(at, nullptr);
        EXPECT_EQ(index, c.index);
        EXPECT_EQ(TextPortDepth(), 0);
    }
}

TEST(LayoutHitTest, BelowEveryRowIsTheEnd) {
    const LayoutDrawState state = TestDrawState();
    LayoutPtr tree = MeasuredLayout("<VL<T'ab'><T'cd'>>", state);
    LayoutNode* holder = tree.get();
    LayoutDrawState copy = state;
    int32_t side = 0;
    EXPECT_EQ(LayoutKindTable[kLayoutStackedRows].caretFromPoint(&holder, &copy, ScreenPoint{ 3, 40 }, &side),
              6);
    EXPECT_EQ(holder, tree.get());
}

}  // namespace

namespace {

TEST(LayoutMeasure, HugeTextStaysWithinBounds) {
    // A run so long and so large that its width, and the sums above it, would overflow.
    std::string run(200000, 'w');
    std::string text = "<H";
    for (int i = 0; i < 40; ++i) {
        char count[16];
        std::snprintf(count, sizeof count, "%X", static_cast<unsigned>(run.size()));
        text += std::string("<+<S#7FFF<T") + count + "x" + run + ">><T'2'>>";
    }
    text += ">";
    const LayoutDrawState state = TestDrawState();
    LayoutPtr tree = MeasuredLayout(text, state);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->width, kMaxLayoutExtent);
    EXPECT_LE(tree->firstChild->width, kMaxLayoutExtent);
    LayoutPtr stack = MeasuredLayout("<VL" + text.substr(2) , state);
    ASSERT_NE(stack, nullptr);
    EXPECT_LE(stack->descent, kMaxLayoutExtent);
}

}  // namespace
