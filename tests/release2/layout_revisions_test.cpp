// figlate's layout kinds: caret stops, the split operations, its measure and the editor
// keeping a wrapped block's break characters in step, against the shared forms in one run.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/memory.h"
#include "engine/core/services/text_port.h"
#include "engine/text/layout_range.h"
#include "layout_forms_installed.h"
#include "release2/text/layout_revisions.h"
#include "release2/text/wrap_width.h"
#include "tests/engine/text/layout_test_util.h"

namespace {

TEST(LaterLayoutKinds, CaretStopsSettledWithoutAPort) {
    struct Case { const char* text; int32_t figlate; int32_t figmantle; };
    const Case cases[] = {
        { "</<T'a'><T'b'>>", 5, 5 },        // 1 + 1 + 3
        { "<VL<0><0><0>>", 2, 3 },          // three empty rows: the rows' stops between them
        { "<VL<T'ab'><T'c'>>", 4, 5 },
        { "<H<T'ab'><!41><0>>", 3, 3 },
        { "<(<T'ab'>>", 4, 4 },
        { "<R<T'ab'>>", 4, 4 },
        { "<+<T'a'><T'bc'>>", 5, 5 },
        { "<SW2<H<T'ab'><T'c'>>>", 3, 3 },
        { "<?1<T'abc'>>", 1, 1 },
        { "<0>", 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LayoutPtr settled = ParseLayout(c.text);
        ASSERT_NE(settled, nullptr);
        SettleDirtyLayoutNodes(settled.get());
        EXPECT_EQ(settled->caretCount, c.figlate);
        EXPECT_EQ(settled->width, 0);  // nothing measured
        EXPECT_EQ(CaretStopCount(settled.get()), c.figlate);
        // figmantle's measure counts a stop after a block's last row too.
        const LayoutDrawState state = TestDrawState();
        EXPECT_EQ(MeasuredLayout(c.text, state)->caretCount, c.figmantle);
    }
}

// Splits the first node of `text` as figlate's split of its kind does.
struct SplitResult {
    bool ok;
    std::string first, second;
    int32_t breakChar;
};

SplitResult SplitText(LayoutNode* node, int32_t width, int32_t mode) {
    LayoutDrawState state = TestDrawState();
    PortBeginMeasure(&state);
    PortApplyTextStyle(&state);
    LayoutSplit split{};
    split.state = &state;
    split.width = width;
    split.mode = mode;
    SplitResult r{ SplitLayoutNode(node, &split), "", "", split.breakChar };
    PortEndMeasure(&state);
    if (r.ok) {
        r.first = WriteLayout(split.first);
        r.second = WriteLayout(split.second);
    }
    EXPECT_EQ(r.ok, split.first != nullptr);
    FreeLayoutNode(split.first);
    FreeLayoutNode(split.second);
    return r;
}

TEST(LaterLayoutKinds, TextRunsSplitAtABlank) {
    // Six pixels a character: "ab cd" is 30 wide.
    struct Case { const char* text; int32_t width, mode; bool ok; const char* first; const char* second; };
    const Case cases[] = {
        { "ab cd ef", 31, 1, true, "<T5xab cd>", "<T2xef>" },   // the last blank that fits
        { "ab cd ef", 30, 1, true, "<T2xab>", "<T5xcd ef>" },   // text before must be narrower
        { "ab cd ef", 7, 0, true, "<T2xab>", "<T5xcd ef>" },    // the first blank reaching it
        { "ab cd ef", 13, 0, true, "<T5xab cd>", "<T2xef>" },
        { "ab cd ef", -1, 1, true, "<T5xab cd>", "<T2xef>" },   // any: the last
        { "ab cd ef", -1, 0, true, "<T2xab>", "<T5xcd ef>" },   // any: the first
        { "ab cd ef", 6, 1, false, "", "" },
        { "ab cd ef", 31, 0, false, "", "" },
        { "abcdef", 100, 1, false, "", "" },
        { " ab", 10, 1, true, "<0>", "<T2xab>" },
        { "ab ", 100, 1, true, "<T2xab>", "<0>" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " " << c.width << " " << c.mode);
        LayoutPtr run(CreateTextRunWith(c.text, nullptr));
        const SplitResult r = SplitText(run.get(), c.width, c.mode);
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(r.first, c.first);
        EXPECT_EQ(r.second, c.second);
        if (c.ok) {
            EXPECT_EQ(r.breakChar, ' ');
        }
        EXPECT_EQ(WriteLayout(run.get()), "<T" + std::to_string(std::string(c.text).size()) + "x" + c.text + ">");
    }
}

TEST(LaterLayoutKinds, RowsAndStylesSplitAmongTheirChildren) {
    const LayoutDrawState state = TestDrawState();
    LayoutPtr row = MeasuredLayout("<H<T'ab cd'></<T'x'><T'y'>><T'ef gh'>>", state);
    LayoutNode* last = LayoutChildAt(row.get(), 2);
    // No blank of the last run fits its room: mode 1 goes back to the earlier children,
    // mode 0 takes the first blank.
    SplitResult r = SplitText(row.get(), last->x + 3, 1);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.first, "<H<T2xab>>");
    EXPECT_EQ(r.second, "<H<T2xcd></<T1xx><T1xy>><T5xef gh>>");
    r = SplitText(row.get(), last->x + 3, 0);
    EXPECT_EQ(r.first, "<H<T5xab cd></<T1xx><T1xy>><T2xef>>");
    EXPECT_EQ(r.second, "<H<T2xgh>>");
    // Mode 0 past a child that cannot split: the later ones with any width.
    LayoutPtr fraction = MeasuredLayout("<H</<T'x'><T'y'>><T'ef gh'>>", state);
    r = SplitText(fraction.get(), 1, 0);
    EXPECT_EQ(r.first, "<H</<T1xx><T1xy>><T2xef>>");
    EXPECT_EQ(r.second, "<H<T2xgh>>");
    EXPECT_FALSE(SplitText(fraction.get(), 1, 1).ok);

    LayoutPtr styled = MeasuredLayout("<SW2<T'ab cd'>>", state);
    r = SplitText(styled.get(), 20, 1);
    EXPECT_EQ(r.first, "<SW2<T2xab>>");
    EXPECT_EQ(r.second, "<SW2<T2xcd>>");
    // Kinds that do not split.
    for (const char* text : { "</<T'a b'><T'c d'>>", "<VL<T'a b'><T'c d'>>", "<(<T'a b'>>", "<0>" }) {
        LayoutPtr tree = MeasuredLayout(text, state);
        EXPECT_FALSE(SplitText(tree.get(), 6, 1).ok) << text;
    }
}

TEST(LaterLayoutKinds, SplittingWithoutMemoryLeavesNothing) {
    const LayoutDrawState state = TestDrawState();
    LayoutPtr row = MeasuredLayout("<H<SW2<T'ab cd'>></<T'x'><T'y'>><T'ef gh'>>", state);
    const std::string before = WriteLayout(row.get());
    for (uint32_t n = 1;; ++n) {
        SCOPED_TRACE(n);
        LayoutDrawState s = TestDrawState();
        PortBeginMeasure(&s);
        PortApplyTextStyle(&s);
        LayoutSplit split{};
        split.state = &s;
        split.width = LayoutChildAt(row.get(), 2)->x + 3;
        split.mode = 1;
        SetAllocFailureAfter(n);
        const bool ok = SplitLayoutNode(row.get(), &split);
        SetAllocFailureAfter(0);
        PortEndMeasure(&s);
        EXPECT_EQ(WriteLayout(row.get()), before);
        if (ok) {
            EXPECT_EQ(WriteLayout(split.first), "<H<SW2<T2xab>>>");
            FreeLayoutNode(split.first);
            FreeLayoutNode(split.second);
            break;
        }
        EXPECT_EQ(split.outOfMemory, 1);
        EXPECT_EQ(split.first, nullptr);
        EXPECT_EQ(split.second, nullptr);
    }
}

// Every node's metrics and place, in tree order.
std::string Metrics(LayoutNode* tree) {
    std::string out;
    ForEachLayoutNode(tree, [&](LayoutNode* n) {
        out += std::to_string(n->width) + "," + std::to_string(n->ascent) + "," + std::to_string(n->descent) +
               "," + std::to_string(n->caretCount) + "@" + std::to_string(n->x) + "," + std::to_string(n->y) +
               (n->dirty ? " dirty;" : ";");
        return true;
    });
    return out;
}

TEST(LaterLayoutKinds, MeasureGivesTheSharedMetricsForUnwrappedText) {
    const char* texts[] = {
        "<H<T'ab'></<T'x'><SW2<T'yz'>>><+<T'e'><T'2'>><R<T'q'>>>",
        "<VC<T'abc'><H<T'd'><-<T'x'><T'i'>>><T'z'>>",
        "<SI2<VR<T'a'><T'bcd'>>>",
        "<(<[<{<|<T'a'>>>>>>",
        "<H<?1<T'abc'><T'de'>><T'q'>>",
    };
    const LayoutDrawState state = TestDrawState();
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        LayoutPtr shared = MeasuredLayout(text, state);
        LayoutPtr revised;
        {
            LaterLayoutInstalled later;
            revised = MeasuredLayout(text, state);
        }
        EXPECT_EQ(Metrics(revised.get()), Metrics(shared.get()));
        // A change deep down is measured again up the tree.
        for (LayoutNode* tree : { shared.get(), revised.get() }) {
            LayoutNode* leaf = DeepestLastNode(tree);
            ASSERT_EQ(leaf->kind, kLayoutTextRun);
            SetTextRunString(leaf, "wwwwwwwwww");
            MarkLayoutDirty(leaf);
        }
        MeasureLayout(shared.get(), &state);
        {
            LaterLayoutInstalled later;
            MeasureLayout(revised.get(), &state);
        }
        EXPECT_EQ(Metrics(revised.get()), Metrics(shared.get()));
    }
}

// A wrapped block of "aa bb cc" over "dd", broken at 20 pixels into aa|bb|cc|dd.
LayoutPtr WrappedBlock(const LayoutDrawState& state) {
    LayoutNode* root = ParseLayout("<VL<T'aa bb cc'><T'dd'>>").release();
    EXPECT_TRUE(SetLayoutWrapWidth(&root, 20, 1));
    MeasureLayout(root, &state);
    return LayoutPtr(root);
}


TEST(LaterLayoutKinds, EditingKeepsTheBreakCharactersInStep) {
    LaterLayoutInstalled later;
    const LayoutDrawState state = TestDrawState();
    LayoutPtr tree = WrappedBlock(state);
    ASSERT_EQ(WriteLayout(tree.get(), kWritePlainText), "aa\r\nbb\r\ncc\r\ndd");
    ASSERT_EQ(RowBreakChars(tree.get()), "  00");
    // The user's line break inside "bb" (stop 4) ends the first half in a hard break.
    LayoutNode* root = tree.release();
    ASSERT_TRUE(BreakRowAtCaret(&root, 4, &state, 1));
    tree.reset(root);
    EXPECT_EQ(WriteLayout(tree.get(), kWritePlainText), "aa\r\nb\r\nb\r\ncc\r\ndd");
    EXPECT_EQ(RowBreakChars(tree.get()), " 0 00");
    // Cutting from inside "aa" over the soft break joins two rows: the row keeps the later
    // one's hard break.
    int32_t start = 1, end = 4;
    root = tree.release();
    ASSERT_TRUE(CutLayoutRange(&root, &start, &end, &state, nullptr, nullptr));
    tree.reset(root);
    EXPECT_EQ(WriteLayout(tree.get(), kWritePlainText), "a\r\nb\r\ncc\r\ndd");
    EXPECT_EQ(RowBreakChars(tree.get()), "0 00");
    EXPECT_EQ(GetLayoutWrapWidth(tree.get(), nullptr), 20);
}

}  // namespace

namespace {

TEST(LaterLayoutKinds, ABlockTakesOverTheRowsOfAStyledBlockInIt) {
    const char* text = "<VL<T'x'><SW2<VR<T'a'><T'b'>>><T'y'>>";
    LayoutPtr shared(NormalizeLayout(ParseLayout(text).release(), nullptr));
    EXPECT_EQ(WriteLayout(shared.get()), "<VL<T1xx><SW2<VR<T1xa><T1xb>>><T1xy>>");
    LaterLayoutInstalled later;
    LayoutPtr revised(NormalizeLayout(ParseLayout(text).release(), nullptr));
    EXPECT_EQ(WriteLayout(revised.get()), "<VL<T1xx><SW2<T1xa>><SW2<T1xb>><T1xy>>");
    // A wrapped block takes the inner block's breaks, the last row keeping the one it
    // replaces.
    LayoutParseContext keep{ nullptr, nullptr, nullptr, kParseKeepWrapWidth };
    LayoutPtr wrapped = ParseLayout("<VL<T'x'><SW2<VL<T'a'><T'b'><F19xxC8x2Dx8x>>><T'y'><F19xxC8x20xCx>>", nullptr, &keep);
    ASSERT_NE(wrapped, nullptr);
    ASSERT_EQ(RowBreakChars(wrapped.get()), "  0");
    wrapped.reset(NormalizeLayout(wrapped.release(), nullptr));
    EXPECT_EQ(WriteLayout(wrapped.get(), kWritePlainText), "x\r\na\r\nb\r\ny");
    EXPECT_EQ(RowBreakChars(wrapped.get()), " - 0");
}

}  // namespace
