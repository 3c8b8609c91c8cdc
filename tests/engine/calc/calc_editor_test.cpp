// The calculator's editing model: automatic parentheses, paired delete, names typed by
// prefix, key groups by trial compiles, the live display, mouse selection, pop-up
// menus, and the record handed back on OK.
#include "engine/calc/calc_editor.h"
#include "engine/calc/expression_compiler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/calc/calc_fixture.h"
#include "engine/core/memory.h"
#include "engine/text/layout.h"
#include "engine/text/layout_test_util.h"
#include "tests/support/calculator_double.h"
#include "tests/support/clock_double.h"
#include "tests/support/text_port_double.h"

using namespace calc_test;

namespace {

std::string PlainText(LayoutNode* node) { return TakePlainText(node); }

std::vector<ExpressionToken> Cells() {
    std::vector<ExpressionToken> out(256);
    out.resize(CalcEditorTokens(out.data(), uint32_t(out.size())));
    return out;
}

// Which of the key groups 0-6 are enabled, as their digits ("0135").
std::string Groups() {
    bool flags[kKeyGroupCount];
    GetCalcKeyStates(flags, nullptr);
    std::string out;
    for (int32_t g = kKeyDigits; g <= kKeyUnits; ++g)
        if (flags[g]) out += char('0' + g);
    return out;
}

class CalcEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetCalculatorDoubles();
        SetTestTickCount(1000);
    }
    void TearDown() override {
        SetAllocFailureAfter(0);
        CalcEditorEnd(nullptr);
    }
    void Begin(int32_t form, std::vector<ExpressionToken> tokens = {}, const char* heading = nullptr) {
        InfixExpression record{form, uint32_t(tokens.size()), tokens.data()};
        ASSERT_TRUE(CalcEditorBegin(&record, &parents, heading, nullptr));
    }
    static void Insert(std::initializer_list<ExpressionToken> tokens) {
        for (ExpressionToken t : tokens) CalcEditorInsertAndDraw(t, nullptr);
    }
    static bool Type(const char* letters) {
        bool inserted = false, consumed = false;
        for (const char* c = letters; *c; ++c) inserted = CalcEditorTypeLetter(*c, nullptr, &consumed);
        return inserted;
    }
    Construction k;
    ParentArray parents{};
};

TEST_F(CalcEditorTest, KeyGroupsFollowWhatMayComeNext) {
    struct Case {
        std::vector<ExpressionToken> tokens;
        const char* groups;
    };
    const Case cases[] = {
        {{}, "0135"},                                 // empty: an operand may start
        {{1, kPlus}, "0135"},                         // after 1+: no ")", operator or unit
        {{kTokenPi}, "236"},                          // after pi: operators and a unit
        {{1}, "012356"},                              // a digit may go on, or take a unit
        {{kOpen, 1}, "0123456"},                      // ")" now closes the "("
        {{kClose}, "0123456"},                        // an error before the caret opens every group
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.tokens));
        Begin(kFormCalculation, c.tokens);
        EXPECT_EQ(Groups(), c.groups);
        CalcEditorEnd(nullptr);
    }
}

TEST_F(CalcEditorTest, StatusAndOkFlagFollowTheWholeExpression) {
    Begin(kFormCalculation);
    int32_t status = 0;
    CalcEditorStatus(&status);
    EXPECT_EQ(status, kCompileEmpty);
    Insert({kOpen, 1});
    bool flags[kKeyGroupCount];
    GetCalcKeyStates(flags, nullptr);
    CalcEditorStatus(&status);
    EXPECT_EQ(status, kCompileOK);  // the automatic ")" closed it
    EXPECT_TRUE(flags[kKeyValid]);
    EXPECT_TRUE(flags[kKeyHasBefore]);
    Insert({kPlus});
    CalcEditorStatus(&status);
    EXPECT_EQ(status, kCompileSyntax);
    GetCalcKeyStates(flags, nullptr);
    EXPECT_FALSE(flags[kKeyValid]);
}

TEST_F(CalcEditorTest, OpeningsGetTheirCloseAndCloseStepsOverIt) {
    Begin(kFormCalculation);
    Insert({kOpen});
    EXPECT_EQ(Cells(), (std::vector<ExpressionToken>{kOpen, kClose}));
    uint32_t caret, anchor;
    CalcEditorSelection(&caret, &anchor);
    EXPECT_EQ(caret, 1u);
    Insert({2, kClose});
    EXPECT_EQ(Cells(), (std::vector<ExpressionToken>{kOpen, 2, kClose}));
    CalcEditorSelection(&caret, &anchor);
    EXPECT_EQ(caret, 3u);
    // Inside a closed pair an opening before only ")" gets its own.
    CalcEditorMoveCaret(kCaretLeft, false, nullptr);
    Insert({Fn(kFnSin)});
    EXPECT_EQ(Cells(), (std::vector<ExpressionToken>{kOpen, 2, Fn(kFnSin), kClose, kClose}));
    // With more ")" than needed a typed one is inserted, not stepped over.
    CalcEditorMoveCaret(kCaretEnd, false, nullptr);
    Insert({kClose});
    EXPECT_EQ(Cells().size(), 6u);
}

TEST_F(CalcEditorTest, AnOpeningReplacingOneCellOfAFullRowGetsRoomForItsClose) {
    Begin(kFormCalculation, std::vector<ExpressionToken>(20, 1));
    for (int i = 0; i < 20; ++i) Insert({1});  // the row is full: 40 cells
    CalcEditorMoveCaret(kCaretLeft, true, nullptr);
    Insert({kOpen});
    std::vector<ExpressionToken> expected(39, 1);
    expected.push_back(kOpen);
    expected.push_back(kClose);
    EXPECT_EQ(Cells(), expected);
}

TEST_F(CalcEditorTest, DeletingAnEmptyPairDeletesBoth) {
    Begin(kFormCalculation);
    Insert({kOpen});
    CalcEditorMoveCaret(kCaretBackspace, false, nullptr);
    EXPECT_TRUE(Cells().empty());
    // Forward delete of a function with its ")".
    Insert({1, kPlus, Fn(kFnSqrt)});
    CalcEditorMoveCaret(kCaretLeft, false, nullptr);
    CalcEditorMoveCaret(kCaretDelete, false, nullptr);
    EXPECT_EQ(Cells(), (std::vector<ExpressionToken>{1, kPlus}));
    // An unbalanced expression keeps its ")".
    Begin(kFormCalculation, {kOpen, kOpen, kClose});
    CalcEditorMoveCaret(kCaretHome, false, nullptr);
    CalcEditorMoveCaret(kCaretRight, false, nullptr);
    CalcEditorMoveCaret(kCaretDelete, false, nullptr);
    EXPECT_EQ(Cells(), (std::vector<ExpressionToken>{kOpen, kClose}));
}

TEST_F(CalcEditorTest, SelectionIsReplacedAndCaretCommandsCollapseIt) {
    Begin(kFormCalculation, {1, 2, 3});
    CalcEditorMoveCaret(kCaretSelectAll, false, nullptr);
    uint32_t caret, anchor;
    CalcEditorSelection(&caret, &anchor);
    EXPECT_EQ(anchor, 0u);
    EXPECT_EQ(caret, 3u);
    CalcEditorMoveCaret(kCaretLeft, false, nullptr);
    CalcEditorSelection(&caret, &anchor);
    EXPECT_EQ(caret, 0u);
    EXPECT_EQ(anchor, 0u);
    CalcEditorMoveCaret(kCaretRight, true, nullptr);
    CalcEditorMoveCaret(kCaretRight, true, nullptr);
    Insert({9});
    EXPECT_EQ(Cells(), (std::vector<ExpressionToken>{9, 3}));
}

TEST_F(CalcEditorTest, NamesAreTypedByPrefix) {
    Begin(kFormYofX);
    bool consumed = false;
    EXPECT_FALSE(CalcEditorTypeLetter('s', nullptr, &consumed));
    EXPECT_TRUE(consumed);  // sin, sqrt and sgn all start so
    EXPECT_TRUE(Cells().empty());
    EXPECT_TRUE(CalcEditorTypeLetter('I', nullptr, &consumed));
    EXPECT_EQ(Cells(), (std::vector<ExpressionToken>{Fn(kFnSin), kClose}));
    EXPECT_TRUE(Type("sq"));
    EXPECT_EQ(Cells(), (std::vector<ExpressionToken>{Fn(kFnSin), Fn(kFnSqrt), kClose, kClose}));
    // The variable letter is the form's; keys and operators by their characters.
    EXPECT_TRUE(Type("x"));
    EXPECT_TRUE(Type("+"));
    EXPECT_TRUE(Type("2"));
    EXPECT_EQ(Cells(), (std::vector<ExpressionToken>{Fn(kFnSin), Fn(kFnSqrt), kX, kPlus, 2, kClose, kClose}));
    // After a number, "c" is cm or cos: the units count too.
    EXPECT_FALSE(Type("c"));
    EXPECT_TRUE(Type("m"));
    EXPECT_EQ(Cells()[5], kCm);
    CalcEditorEnd(nullptr);

    // In r = f(theta) "t" is the variable first of all.
    Begin(kFormRofTheta);
    EXPECT_TRUE(Type("t"));
    EXPECT_EQ(Cells(), (std::vector<ExpressionToken>{kX}));
}

TEST_F(CalcEditorTest, LiveDisplayShowsTheValidPrefix) {
    struct Case {
        std::vector<ExpressionToken> tokens;
        const char* shown;
    };
    const Case cases[] = {
        {{1, kPlus, 2}, "1+2 = 3.00"},
        {{1, kPlus, 2, kTimes}, "1+2 ...?"},
        {{kOpen, 1, kPlus, 2}, "1+2"},  // closed, but not evaluated
        {{1, kOver, 0, kMinus, 1, kOver, 0}, "(1/0)-(1/0) = undefined"},
        {{}, "(none)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        Begin(kFormCalculation, c.tokens);
        std::string shown = PlainText(BuildCalcDisplay());
        EXPECT_EQ(shown, c.shown);
        CalcEditorEnd(nullptr);
    }
    // An empty function, or one that starts wrongly, shows its head.
    Begin(kFormYofX, {}, "f");
    EXPECT_EQ(PlainText(BuildCalcDisplay()), "f(x) = ");
    CalcEditorEnd(nullptr);
    Begin(kFormYofX, {kTimes}, "f");
    EXPECT_EQ(PlainText(BuildCalcDisplay()), "f(x) =  ...?");
}

TEST_F(CalcEditorTest, DisplayNoticesChangedParentValues) {
    SketchObject* m = k.Given(3);
    Construction::SetLabel(m, "m");
    ValueDisplayOf(m)->displayMode = kDisplayCurrentLabel;
    parents = ParentArray{&m, 1};
    Begin(kFormCalculation, {Value(0), kTimes, 2});
    LayoutNode* shown = BuildCalcDisplay();
    ASSERT_NE(shown, nullptr);
    FreeLayoutNode(shown);
    EXPECT_FALSE(CalcEditorIdle());
    ++m->generation;
    EXPECT_FALSE(CalcEditorIdle());  // checked every 500 ms
    AdvanceTestTickCount(500);
    EXPECT_TRUE(CalcEditorIdle());
    parents = ParentArray{};
}

TEST_F(CalcEditorTest, OkClosesParenthesesWithRoomForEveryCell) {
    // The caller's buffer is far too small for what is typed.
    auto* tokens = static_cast<ExpressionToken*>(AllocMemory(sizeof(ExpressionToken), 0));
    tokens[0] = 1;
    InfixExpression record{kFormCalculation, 1, tokens};
    ASSERT_TRUE(CalcEditorBegin(&record, &parents, nullptr, nullptr));
    for (int i = 0; i < 150; ++i) Insert({kPlus, 1});
    Insert({kPlus, kOpen, 2});
    CalcEditorMoveCaret(kCaretDelete, false, nullptr);  // the automatic ")"
    CalcEditorEnd(&record);
    ASSERT_EQ(record.count, 1u + 150 * 2 + 4);
    EXPECT_EQ(record.tokens[record.count - 1], kClose);
    EXPECT_EQ(CompileExpression(&record, nullptr, 0, nullptr, nullptr, nullptr, nullptr), kCompileOK);
    FreeMemory(record.tokens);

    // Typed without its automatic ")" (the user deleted it): closed on OK.
    Begin(kFormCalculation, {kOpen, kOpen, 2});
    InfixExpression out{kFormYofX, 0, nullptr};
    CalcEditorEnd(&out);
    EXPECT_EQ(std::vector<ExpressionToken>(out.tokens, out.tokens + out.count),
              (std::vector<ExpressionToken>{kOpen, kOpen, 2, kClose, kClose}));
    EXPECT_EQ(out.form, kFormCalculation);
    FreeMemory(out.tokens);
}

TEST_F(CalcEditorTest, OutOfMemoryChangesNothing) {
    InfixExpression record{kFormCalculation, 0, nullptr};
    SetAllocFailureAfter(1);
    EXPECT_FALSE(CalcEditorBegin(&record, &parents, nullptr, nullptr));
    SetAllocFailureAfter(0);
    // Cells full: growing fails, the cells stay and the keys go off.
    std::vector<ExpressionToken> full(20, 1);
    Begin(kFormCalculation, full);
    Insert({kPlus});
    for (int i = 0; i < 19; ++i) Insert({1});
    ASSERT_EQ(Cells().size(), 40u);
    SetAllocFailureAfter(1);
    Insert({kPlus});
    SetAllocFailureAfter(0);
    EXPECT_EQ(Cells().size(), 40u);
    EXPECT_EQ(Groups(), "");
    // A record that cannot be given its tokens is left empty.
    record = InfixExpression{kFormCalculation, 0, nullptr};
    SetAllocFailureAfter(1);
    CalcEditorEnd(&record);
    SetAllocFailureAfter(0);
    EXPECT_EQ(record.count, 0u);
    EXPECT_EQ(record.tokens, nullptr);
}

class CalcEditorMouseTest : public CalcEditorTest {
protected:
    void SetUp() override {
        CalcEditorTest::SetUp();
        // 2 * -1.5: cells of 6 pixels, operators 18, from x = 2.
        Begin(kFormCalculation, {2, kTimes, kNeg, 1, kDot, 5});
        const ScreenRect frame{0, 0, 300, 40};
        DrawCalcEditor(&port, &frame);
    }
    static void Click(int16_t x, bool extend = false) {
        CalcEditorMouseDown(ScreenPoint{x, 8}, extend, nullptr);
    }
    static std::pair<uint32_t, uint32_t> Selection() {
        uint32_t caret, anchor;
        CalcEditorSelection(&caret, &anchor);
        return {anchor, caret};
    }
    LayoutDrawState port = TestDrawState();
};

TEST_F(CalcEditorMouseTest, ClicksPlaceTheCaretByHalves) {
    Click(3);  // left half of "2"
    EXPECT_EQ(Selection(), (std::pair<uint32_t, uint32_t>{0, 0}));
    AdvanceTestTickCount(600);
    Click(6);  // right half of "2"
    EXPECT_EQ(Selection(), (std::pair<uint32_t, uint32_t>{1, 1}));
    AdvanceTestTickCount(600);
    Click(250);  // past every cell
    EXPECT_EQ(Selection(), (std::pair<uint32_t, uint32_t>{6, 6}));
    AdvanceTestTickCount(600);
    Click(3, true);
    EXPECT_EQ(Selection(), (std::pair<uint32_t, uint32_t>{6, 0}));
}

TEST_F(CalcEditorMouseTest, DoubleClickSelectsTheNumberWithItsMinus) {
    Click(46);  // in "1.5"
    AdvanceTestTickCount(300);
    Click(48);
    EXPECT_EQ(Selection(), (std::pair<uint32_t, uint32_t>{2, 6}));
    // Too late, or too far, is a new click.
    AdvanceTestTickCount(600);
    Click(46);
    AdvanceTestTickCount(600);
    Click(46);
    EXPECT_EQ(Selection().first, Selection().second);
    AdvanceTestTickCount(600);
    Click(46);
    Click(52);
    EXPECT_EQ(Selection().first, Selection().second);
}

TEST_F(CalcEditorMouseTest, HeldButtonDragsTheSelectionAfter250ms) {
    // Moves within the first 250 ms do not select.
    ScriptMousePolls({{{250, 8}, 100}, {{250, 8}, 100}});
    Click(3);
    EXPECT_EQ(Selection(), (std::pair<uint32_t, uint32_t>{0, 0}));
    AdvanceTestTickCount(600);
    ScriptMousePolls({{{40, 8}, 100}, {{250, 8}, 200}});
    Click(3);
    EXPECT_EQ(Selection(), (std::pair<uint32_t, uint32_t>{0, 6}));
    // A drag does not start a double click.
    Click(3);
    EXPECT_EQ(Selection(), (std::pair<uint32_t, uint32_t>{0, 0}));
}

TEST_F(CalcEditorMouseTest, CellsAreDrawnWithSelectionInverted) {
    ResetTextPort();
    CalcEditorMoveCaret(kCaretSelectAll, false, &port);
    int32_t inverted = 0;
    for (const PortCall& call : TextPortCalls()) inverted += call.op == "invert";
    EXPECT_EQ(inverted, 6);
}

TEST_F(CalcEditorTest, VerticalMovesKeepTheirColumn) {
    // Five digits of 6 pixels fit on a line of a 40-pixel frame: lines of 5, 5 and 2.
    Begin(kFormCalculation, std::vector<ExpressionToken>(12, 7));
    LayoutDrawState port = TestDrawState();
    const ScreenRect frame{0, 0, 40, 100};
    DrawCalcEditor(&port, &frame);
    uint32_t caret, anchor;
    std::vector<uint32_t> visited;
    for (int32_t command : {kCaretUp, kCaretUp, kCaretUp, kCaretDown, kCaretDown, kCaretDown}) {
        CalcEditorMoveCaret(command, false, &port);
        CalcEditorSelection(&caret, &anchor);
        visited.push_back(caret);
    }
    EXPECT_EQ(visited, (std::vector<uint32_t>{7, 2, 0, 7, 12, 12}));
}

TEST_F(CalcEditorTest, PopupMenusOfferTokensAndForms) {
    SketchObject* m = k.Given(3);
    Construction::SetLabel(m, "m");
    ValueDisplayOf(m)->displayMode = kDisplayCurrentLabel;
    parents = ParentArray{&m, 1};
    Begin(kFormYofX);
    uint32_t counter = 100;
    ASSERT_TRUE(BuildCalcPopupMenu(RecordingPopupMenu(), kCalcMenuValues, &counter));
    // x | m | New Parameter... | pi e
    std::string shape;
    for (const PopupEntry& e : RecordedPopupEntries()) shape += e.kind == 0 ? '|' : 'i';
    EXPECT_EQ(shape, "i|i|i|ii");
    EXPECT_EQ(CalcMenuItemObject(101), m);
    EXPECT_NE(CalcMenuItemLayout(104), nullptr);
    EXPECT_TRUE(DoCalcMenuItem(101));
    EXPECT_EQ(Cells(), (std::vector<ExpressionToken>{Value(0)}));

    RecordedPopupEntries().clear();
    ASSERT_TRUE(BuildCalcPopupMenu(RecordingPopupMenu(), kCalcMenuForms, &counter));
    shape.clear();
    for (const PopupEntry& e : RecordedPopupEntries()) shape += e.kind == 0 ? '|' : e.checked ? 'X' : 'i';
    EXPECT_EQ(shape, "Xi|ii");
    const uint32_t polar = RecordedPopupEntries()[3].id;
    EXPECT_TRUE(DoCalcMenuItem(polar));
    EXPECT_EQ(CalcEditorForm(), kFormRofTheta);
    FreeCalcPopupMenu();
    EXPECT_EQ(CalcMenuItemLayout(polar), nullptr);
    parents = ParentArray{};
}

}  // namespace
