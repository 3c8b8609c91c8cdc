// Wrapped text blocks: the wrap element read and written, rows re-broken to a width, the
// width fitted and taken away; each in figlate's forms and, where figmantle differs, in the
// shared ones within the same run.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/memory.h"
#include "layout_forms_installed.h"
#include "release2/text/wrap_width.h"
#include "tests/engine/text/layout_test_util.h"

namespace {

StackedRowsNode* BlockOf(LayoutNode* tree) { return static_cast<StackedRowsNode*>(FindRowsNode(tree)); }


// A block of rows "a" to "e" broken at blank, none, blank, blank, none, 200 wide.
LayoutPtr FiveRows() {
    LayoutPtr tree = ParseLayout("<VL<T'a'><T'b'><T'c'><T'd'><T'e'>>");
    LayoutNode* root = tree.release();
    EXPECT_TRUE(SetLayoutWrapWidth(&root, 200, 1));
    const char breaks[] = { ' ', 0, ' ', ' ', 0 };
    for (int32_t i = 0; i < 5; ++i) SetRowBreakChar(root, i, breaks[i]);
    return LayoutPtr(root);
}

constexpr const char* kFiveRowsText = "<VL<T1xa><T1xb><T1xc><T1xd><T1xe><F1AxxC8x20xB0x>>";

TEST(WrapElement, WrittenAfterTheRowsOnlyByFiglate) {
    LayoutPtr tree = FiveRows();
    EXPECT_EQ(WriteLayout(tree.get()), "<VL<T1xa><T1xb><T1xc><T1xd><T1xe>>");
    LaterLayoutInstalled later;
    EXPECT_EQ(WriteLayout(tree.get()), kFiveRowsText);
    // Never in plain text, nor where the rows are written as one row.
    EXPECT_EQ(WriteLayout(tree.get(), kWritePlainText), "a\r\nb\r\nc\r\nd\r\ne");
    EXPECT_EQ(WriteLayout(tree.get(), kWriteRowsAsOneRow).find("<F"), std::string::npos);

    // A second character nests a level for it; levels go by ascending character.
    SetRowBreakChar(tree.get(), 1, '-');
    EXPECT_EQ(WriteLayout(tree.get()),
              "<VL<T1xa><T1xb><T1xc><T1xd><T1xe><F1AxxC8x20xB0x<F1AxxC8x2Dx40x>>>");
}

TEST(WrapElement, WrittenOnlyWithAWidthRowsAndABreak) {
    LaterLayoutInstalled later;
    struct Case { const char* rows; int32_t width; bool breaks; const char* why; };
    const Case cases[] = {
        { "<VL<T'a'><T'b'>>", 0, true, "no width" },
        { "<VL<T'a'>>", 200, true, "one row" },
        { "<VL<T'a'><T'b'>>", 200, false, "no break character" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        LayoutNode* root = ParseLayout(c.rows).release();
        ASSERT_TRUE(SetLayoutWrapWidth(&root, c.width, 1));
        if (c.breaks) SetRowBreakChar(root, 0, ' ');
        LayoutPtr tree(root);
        EXPECT_EQ(WriteLayout(tree.get()).find("<F"), std::string::npos) << WriteLayout(tree.get());
    }
}

TEST(WrapElement, ReadByFiglateAsTheBlocksBreaksAndWidth) {
    LaterLayoutInstalled later;
    // The context's bit 0 keeps the stored width, else it is refitted (-1); bit 1 ignores it.
    struct Case { uint32_t options; int32_t width; const char* breaks; };
    const Case cases[] = {
        { 0, -1, " 0  0" },
        { kParseKeepWrapWidth, 200, " 0  0" },
        { kParseIgnoreWrapWidth, 0, "00000" },
        { kParseKeepWrapWidth | kParseIgnoreWrapWidth, 0, "00000" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        LayoutParseContext context{ nullptr, nullptr, nullptr, c.options };
        ResultCode result = -1;
        LayoutPtr tree = ParseLayout(kFiveRowsText, &result, &context);
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(result, kLayoutParseOK);
        EXPECT_EQ(LayoutChildCount(tree.get()), 5);
        EXPECT_EQ(BlockOf(tree.get())->wrapWidth, c.width);
        EXPECT_EQ(RowBreakChars(tree.get()), c.breaks);
    }
    // Kept, it writes back exactly as read.
    LayoutParseContext keep{ nullptr, nullptr, nullptr, kParseKeepWrapWidth };
    EXPECT_EQ(WriteLayout(ParseLayout(kFiveRowsText, nullptr, &keep).get()), kFiveRowsText);
    const std::string nested = "<VL<T1xa><T1xb><T1xc><T1xd><T1xe><F1AxxC8x20xB0x<F1AxxC8x2Dx40x>>>";
    EXPECT_EQ(WriteLayout(ParseLayout(nested, nullptr, &keep).get()), nested);
}

TEST(WrapElement, FigmantleReadsTheSameRowsUnwrapped) {
    LayoutParseContext keep{ nullptr, nullptr, nullptr, kParseKeepWrapWidth };
    LayoutPtr tree = ParseLayout(kFiveRowsText, nullptr, &keep);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(LayoutChildCount(tree.get()), 5);
    EXPECT_EQ(BlockOf(tree.get())->wrapWidth, 0);
    EXPECT_EQ(BlockOf(tree.get())->breakChars, nullptr);
    EXPECT_EQ(WriteLayout(tree.get()), "<VL<T1xa><T1xb><T1xc><T1xd><T1xe>>");
}

TEST(WrapElement, MaskBitsPastTheLastRowAreIgnored) {
    LaterLayoutInstalled later;
    // Two rows, masks for twelve: every bit set.
    LayoutParseContext keep{ nullptr, nullptr, nullptr, kParseKeepWrapWidth };
    LayoutPtr tree = ParseLayout("<VL<T'a'><T'b'><F1BxxC8x20xFFFx>>", nullptr, &keep);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(RowBreakChars(tree.get()), "  ");
    EXPECT_EQ(BlockOf(tree.get())->breakCount, 2);
}

TEST(WrapElement, NestedLevelsCountTowardTheDepthLimit) {
    LaterLayoutInstalled later;
    auto levels = [](int32_t n) {
        std::string s = "<VL<T'a'><T'b'>";
        for (int32_t i = 0; i < n; ++i) s += "<F1AxxC8x20xC0x";
        return s + std::string(static_cast<size_t>(n), '>') + ">";
    };
    ResultCode result = -1;
    EXPECT_NE(ParseLayout(levels(kMaxLayoutDepth - 2), &result), nullptr);
    EXPECT_EQ(result, kLayoutParseOK);
    EXPECT_EQ(ParseLayout(levels(kMaxLayoutDepth + 5), &result), nullptr);
    EXPECT_EQ(result, kLayoutParseSyntax);
    // A malformed element fails the whole text in figlate too.
    EXPECT_EQ(ParseLayout("<VL<T'a'><T'b'><F1AxxC8x20xB0>>", &result), nullptr);
    EXPECT_EQ(result, kLayoutParseSyntax);
}

// ---- Re-breaking (the test port: 6 pixels a character at 12) ----

struct WrapCase {
    const char* text;   // the rows
    const char* soft;   // break characters given before, or null
    int32_t width;
    int32_t grow;
    const char* rows;   // plain text after wrapping, rows by "|"
    const char* breaks;
    int32_t widthAfter;
};

std::string RowsOf(LayoutNode* tree) {
    LayoutNode* block = FindRowsNode(tree);
    std::string out;
    for (LayoutNode* r = block->firstChild; r; r = r->nextSibling) {
        if (r != block->firstChild) out += "|";
        out += WriteLayout(r, kWritePlainText);
    }
    return out;
}

TEST(WrapRows, BreaksJoinsAndGrows) {
    LaterLayoutInstalled later;
    const WrapCase cases[] = {
        // Split at the last blank that fits, rows after a soft break joined while they fit.
        { "<VL<T'aaa bbb ccc'>>", nullptr, 45, 1, "aaa bbb|ccc", " 0", 45 },
        { "<VL<T'aaa'><T'bbb'><T'ccc'>>", nullptr, 45, 1, "aaa|bbb|ccc", "000", 45 },
        { "<VL<T'aaa'><T'bbb'><T'ccc'>>", "  0", 45, 1, "aaa bbb|ccc", " 0", 45 },
        // No blank fits: the first one past the width, then growing to the row.
        { "<VL<T'aaaaaa bb'>>", nullptr, 20, 0, "aaaaaa|bb", " 0", 20 },
        { "<VL<T'aaaaaa bb'>>", nullptr, 20, 1, "aaaaaa|bb", " 0", 37 },
        { "<VL<T'aaaaaaaa'>>", nullptr, 20, 1, "aaaaaaaa", "0", 49 },
        // A hard line break stays; the soft ones re-break.
        { "<VL<T'aa bb'><T'cc dd ee'>>", nullptr, 40, 1, "aa bb|cc dd|ee", "0 0", 40 },
        // The first part of a row after a soft break moves up where it fits.
        { "<VL<T'aa'><T'bb cc'>>", " 0", 40, 1, "aa bb|cc", " 0", 40 },
    };
    for (const WrapCase& c : cases) {
        SCOPED_TRACE(c.text + std::string(" at ") + std::to_string(c.width));
        LayoutNode* root = ParseLayout(c.text).release();
        ASSERT_TRUE(SetLayoutWrapWidth(&root, c.width, c.grow));
        LayoutPtr tree(root);
        for (int32_t i = 0; c.soft && c.soft[i]; ++i) SetRowBreakChar(root, i, c.soft[i] == '0' ? 0 : c.soft[i]);
        const LayoutDrawState state = TestDrawState();
        MeasureLayout(tree.get(), &state);
        EXPECT_EQ(RowsOf(tree.get()), c.rows);
        EXPECT_EQ(RowBreakChars(tree.get()), c.breaks);
        EXPECT_EQ(BlockOf(tree.get())->wrapWidth, c.widthAfter);
    }
}

TEST(WrapRows, ReBreaksAtANewWidthKeepingTheCaretStops) {
    LaterLayoutInstalled later;
    LayoutPtr tree = ParseLayout("<VL<T'aa bb cc dd'><T'ee'>>");
    const LayoutDrawState state = TestDrawState();
    MeasureLayout(tree.get(), &state);
    const int32_t stops = tree->caretCount;
    // One block re-broken at each width in turn: soft breaks join where the rows fit,
    // and narrower than a blank's room a row splits between its children too.
    struct Step { int32_t width; const char* rows; const char* breaks; };
    const Step steps[] = {
        { 40, "aa bb|cc dd|ee", " 00" },
        { 70, "aa bb cc dd|ee", "00" },
        { 55, "aa bb cc|dd|ee", " 00" },
        { 30, "aa|bb|cc|dd|ee", "   00" },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.width);
        LayoutNode* root = tree.release();
        ASSERT_TRUE(SetLayoutWrapWidth(&root, step.width, 1));
        tree.reset(root);
        MeasureLayout(tree.get(), &state);
        EXPECT_EQ(RowsOf(tree.get()), step.rows);
        EXPECT_EQ(RowBreakChars(tree.get()), step.breaks);
        EXPECT_EQ(tree->caretCount, stops);
    }
}

TEST(WrapRows, StyledTextKeepsItsStyleInBothParts) {
    LaterLayoutInstalled later;
    LayoutNode* root = ParseLayout("<VL<SW2<T'aaa bbb'>>>").release();
    ASSERT_TRUE(SetLayoutWrapWidth(&root, 30, 0));
    LayoutPtr tree(root);
    const LayoutDrawState state = TestDrawState();
    MeasureLayout(tree.get(), &state);
    EXPECT_EQ(WriteLayout(tree.get()), "<VL<SW2<T3xaaa>><SW2<T3xbbb>><F19xx1Ex20x8x>>");
}

TEST(WrapWidth, SetPutsABlockAroundTextAndUnderItsStyle) {
    LaterLayoutInstalled later;
    struct Case { const char* text; const char* written; };
    const Case cases[] = {
        { "<T'ab'>", "<VL<T2xab>>" },
        { "<SW2<T'ab'>>", "<SW2<VL<T2xab>>>" },
        { "<VR<T'ab'><T'cd'>>", "<VR<T2xab><T2xcd>>" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LayoutNode* root = ParseLayout(c.text).release();
        ASSERT_TRUE(SetLayoutWrapWidth(&root, 100, 1));
        LayoutPtr tree(root);
        EXPECT_EQ(WriteLayout(tree.get()), c.written);
        int32_t alignment = -1;
        EXPECT_EQ(GetLayoutWrapWidth(tree.get(), &alignment), 100);
        EXPECT_EQ(alignment, std::string(c.text).find("VR") != std::string::npos ? 2 : 0);
        // Normalising keeps a wrapped block of one row.
        tree.reset(NormalizeLayout(tree.release(), nullptr));
        EXPECT_EQ(GetLayoutWrapWidth(tree.get(), nullptr), 100);
        // Width 0 unwraps and frees the breaks.
        root = tree.release();
        ASSERT_TRUE(SetLayoutWrapWidth(&root, 0, 1));
        tree.reset(root);
        EXPECT_EQ(BlockOf(tree.get())->breakChars, nullptr);
    }
    EXPECT_EQ(GetLayoutWrapWidth(nullptr, nullptr), 0);
}

TEST(WrapWidth, FittingShiftsByTheAlignment) {
    LaterLayoutInstalled later;
    // "aaa bbb" / "ccc" need 43 pixels; broken at 60 they are fitted to 43.
    struct Case { char letter; int32_t shift; };
    const Case cases[] = { { 'L', 0 }, { 'C', 8 }, { 'R', 17 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        LayoutNode* root = ParseLayout(std::string("<V") + c.letter + "<T'aaa bbb ccc'>>").release();
        ASSERT_TRUE(SetLayoutWrapWidth(&root, 60, 1));
        LayoutPtr tree(root);
        const LayoutDrawState state = TestDrawState();
        MeasureLayout(tree.get(), &state);
        EXPECT_EQ(RowsOf(tree.get()), "aaa bbb|ccc");
        EXPECT_EQ(FitLayoutWrapWidth(tree.get(), &state), c.shift);
        EXPECT_EQ(GetLayoutWrapWidth(tree.get(), nullptr), 43);
        EXPECT_EQ(RowsOf(tree.get()), "aaa bbb|ccc");
    }
    LayoutPtr plain = ParseLayout("<T'abc'>");
    const LayoutDrawState state = TestDrawState();
    EXPECT_EQ(FitLayoutWrapWidth(plain.get(), &state), 0);
}

TEST(WrapWidth, RefittedWidthOfAReadBlockKeepsItsRows) {
    LaterLayoutInstalled later;
    LayoutPtr tree = ParseLayout("<VL<T'aaa bbb'><T'ccc'><F1AxxC8x20x80x>>");
    ASSERT_NE(tree, nullptr);
    const LayoutDrawState state = TestDrawState();
    MeasureLayout(tree.get(), &state);
    EXPECT_EQ(RowsOf(tree.get()), "aaa bbb|ccc");
    EXPECT_EQ(GetLayoutWrapWidth(tree.get(), nullptr), 43);
}

TEST(WrapWidth, UnwrappingPutsTheBreakCharactersBack) {
    LaterLayoutInstalled later;
    LayoutNode* root = ParseLayout("<SW2<VL<T'aa bb cc'><T'dd'>>>").release();
    ASSERT_TRUE(SetLayoutWrapWidth(&root, 20, 1));
    const LayoutDrawState state = TestDrawState();
    MeasureLayout(root, &state);
    ASSERT_EQ(RowsOf(root), "aa|bb|cc|dd");
    ASSERT_TRUE(UnwrapRowsNode(&root));
    LayoutPtr tree(root);
    EXPECT_EQ(FindRowsNode(tree.get()), nullptr);
    EXPECT_EQ(WriteLayout(tree.get(), kWritePlainText), "aa bb ccdd");
    EXPECT_EQ(tree->kind, kLayoutStyle);
    EXPECT_EQ(tree->firstChild->kind, kLayoutRow);
}

TEST(WrapWidth, CopiesKeepTheWidthAndBreaks) {
    LayoutPtr tree = FiveRows();
    LayoutPtr copy(CloneLayoutTree(tree.get()));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(BlockOf(copy.get())->wrapWidth, 200);
    EXPECT_EQ(RowBreakChars(copy.get()), " 0  0");
    EXPECT_NE(BlockOf(copy.get())->breakChars, BlockOf(tree.get())->breakChars);
}

TEST(WrapWidth, OlderCaptionsTakeTheirBoxWidthAboveTen) {
    LaterLayoutInstalled later;
    struct Case { int32_t box; int32_t width; };
    for (const Case c : { Case{ 0, 0 }, Case{ 10, 0 }, Case{ 11, 11 }, Case{ 120, 120 } }) {
        SCOPED_TRACE(c.box);
        LayoutPtr tree(LayoutFromPlainTextWithWidth("one two\nthree", 13, c.box));
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(GetLayoutWrapWidth(tree.get(), nullptr), c.width);
        EXPECT_EQ(WriteLayout(tree.get(), kWritePlainText), "one two\r\nthree");
    }
}

TEST(WrapRows, RunningOutOfMemoryLosesNoText) {
    LaterLayoutInstalled later;
    for (uint32_t n = 1; n < 400; ++n) {
        SCOPED_TRACE(n);
        LayoutNode* root = ParseLayout("<VL<SW2<T'aa bb cc dd'>><T'ee ff'>>").release();
        ASSERT_NE(root, nullptr);
        SetAllocFailureAfter(n);
        const bool set = SetLayoutWrapWidth(&root, 25, 1);
        const LayoutDrawState state = TestDrawState();
        MeasureLayout(root, &state);
        SetAllocFailureAfter(0);
        LayoutPtr tree(root);
        // However the rows were left, the text reads the same.
        ASSERT_NE(UnwrapRowsNode(&root), false);
        tree.release();
        tree.reset(root);
        (void)set;
        EXPECT_EQ(WriteLayout(tree.get(), kWritePlainText), "aa bb cc ddee ff");
    }
}

}  // namespace
