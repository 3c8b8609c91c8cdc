#include <gtest/gtest.h>

#include <string>

#include "engine/core/memory.h"
#include "engine/text/layout_range.h"
#include "tests/engine/text/layout_test_util.h"

namespace {

LayoutPtr Normalised(const std::string& text, const LayoutDrawState& state) {
    return MeasuredLayout(text, state, true);
}

LayoutNode* Run(const char* text) { return CreateTextRunWith(text, nullptr); }

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
    case 'i': o.answer = InsertNodeAtCaret(&root, s.a, &state, Run(s.text)); break;
    case 'b': o.answer = BreakRowAtCaret(&root, s.a, &state, s.b); break;
    default: {
        int32_t start = s.a, end = s.b;
        LayoutNode* cut = nullptr;
        o.answer = CutLayoutRange(&root, &start, &end, &state, s.op == 'r' ? Run(s.text) : nullptr,
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

}  // namespace
