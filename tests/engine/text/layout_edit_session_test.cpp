#include "engine/text/layout_edit_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "engine/text/layout_range.h"
#include "tests/engine/text/edit_session_util.h"
#include "tests/support/caption_edit_port_double.h"
#include "tests/support/clock_double.h"
#include "tests/support/shell_double.h"

namespace {

// One step of a script: 'k' runs a command (arg), 'K' the same extending, 't' types the
// text, 'p' pastes it as layout text, 'P' as plain text, 'u' undoes, 'r' redoes, 'd'
// deletes the selection, 'x' cuts it as text, 'b' makes the selection (or the caret's
// next text) bold.
struct Step {
    char        op;
    int32_t     arg;
    const char* text;
};

struct Owner {
    int32_t   changes = 0;
    int32_t   styles = 0;
    TextStyle style{};
};

void CountChange(LayoutEditSession*, void* user) { ++static_cast<Owner*>(user)->changes; }
void NoteStyle(LayoutEditSession* s, const TextStyle* style) {
    Owner* owner = static_cast<Owner*>(s->userData);
    ++owner->styles;
    owner->style = *style;
}

class EditSession : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTextPort();
        SetTestTickCount(10000);
        SetPointerScript({});
    }

    EditSessionPtr Open(const std::string& text, int32_t kind) {
        const LayoutDrawState state = TestDrawState();
        LayoutNode* tree = ParseLayout(text).release();
        EXPECT_NE(tree, nullptr) << text;
        const ScreenRect frame{ 10, 20, 300, 80 };
        LayoutEditSession* s = CreateLayoutEditSession(tree, &state, &frame, kind, nullptr,
                                                       CountChange, &owner, NoteStyle, nullptr);
        if (!s) FreeLayoutNode(tree);
        return EditSessionPtr(s);
    }

    static void Run(LayoutEditSession* s, const Step& step) {
        const int32_t length = step.text ? int32_t(std::string(step.text).size()) : 0;
        switch (step.op) {
        case 'k': RunLayoutEditCommand(s, step.arg, 0); break;
        case 'K': RunLayoutEditCommand(s, step.arg, 1); break;
        case 't': InsertPlainText(s, step.text, length); break;
        case 'p': PasteIntoEditor(s, step.text, length, 1); break;
        case 'P': PasteIntoEditor(s, step.text, length, 0); break;
        case 'u': UndoEditorChange(s, 0); break;
        case 'r': UndoEditorChange(s, 1); break;
        case 'd': DeleteEditorSelection(s); break;
        case 'x': {
            char* layout = nullptr;
            char* plain = nullptr;
            int32_t n = 0, m = 0;
            if (CutSelectionAsText(s, &layout, &n, &plain, &m)) {
                FreeMemory(layout);
                FreeMemory(plain);
            }
            break;
        }
        case 'b': {
            TextStyle bold{};
            bold.field[kStyleWeight] = 2;
            ApplyStyleToSelection(s, &bold);
            break;
        }
        default: FAIL() << step.op;
        }
    }

    static std::string Tree(LayoutEditSession* s) { return WriteLayout(s->tree); }

    Owner owner;
};

// Scripted sequences, compared as the written tree and the selection after them.
TEST_F(EditSession, ScriptedSequences) {
    struct Case {
        const char*       name;
        const char*       start;
        int32_t           kind;
        std::vector<Step> steps;
        const char*       tree;
        int32_t           selStart, selEnd;
        int32_t           beeps;
    };
    const Case cases[] = {
        { "typing at the end", "<T'ab'>", kEditCaretAtEnd, { { 't', 0, "cd" } }, "<T4xabcd>", 4, 4, 0 },
        { "Shift+Left selects the previous offset", "<T'abc'>", kEditCaretAtEnd,
          { { 'K', kEditLeft, nullptr } }, "<T3xabc>", 2, 3, 0 },
        { "Left collapses to the start", "<T'abc'>", kEditCaretAtEnd,
          { { 'K', kEditLeft, nullptr }, { 'K', kEditLeft, nullptr }, { 'k', kEditLeft, nullptr } },
          "<T3xabc>", 1, 1, 0 },
        { "Right collapses to the end", "<T'abc'>", kEditCaretAtStart,
          { { 'K', kEditRight, nullptr }, { 'K', kEditRight, nullptr }, { 'k', kEditRight, nullptr } },
          "<T3xabc>", 2, 2, 0 },
        { "the active end crosses the fixed one", "<T'abc'>", kEditCaretAtStart,
          { { 'k', kEditRight, nullptr }, { 'K', kEditRight, nullptr }, { 'K', kEditLeft, nullptr },
            { 'K', kEditLeft, nullptr } }, "<T3xabc>", 0, 1, 0 },
        { "no move before the start or past the end", "<T'ab'>", kEditCaretAtStart,
          { { 'k', kEditLeft, nullptr }, { 'k', kEditTextEnd, nullptr }, { 'k', kEditRight, nullptr } },
          "<T2xab>", 2, 2, 0 },
        { "Shift+End from the start", "<T'abc'>", kEditCaretAtStart, { { 'K', kEditTextEnd, nullptr } },
          "<T3xabc>", 0, 3, 0 },
        { "delete backward at the start does nothing", "<T'ab'>", kEditCaretAtStart,
          { { 'k', kEditDeleteBackward, nullptr } }, "<T2xab>", 0, 0, 0 },
        { "delete forward at the end does nothing", "<T'ab'>", kEditCaretAtEnd,
          { { 'k', kEditDeleteForward, nullptr } }, "<T2xab>", 2, 2, 0 },
        { "delete both ways", "<T'abcd'>", kEditCaretAtStart,
          { { 'k', kEditRight, nullptr }, { 'k', kEditRight, nullptr }, { 'k', kEditDeleteBackward, nullptr },
            { 'k', kEditDeleteForward, nullptr } }, "<T2xad>", 1, 1, 0 },
        { "a cut across an opening parenthesis keeps the rest of its content", "<H<T'a'><(<T'bc'>><T'd'>>",
          kEditCaretAtStart, { { 'K', kEditRight, nullptr }, { 'K', kEditRight, nullptr }, { 'K', kEditRight, nullptr },
                               { 'k', kEditDeleteBackward, nullptr } }, "<T2xcd>", 0, 0, 0 },
        { "typing over a styled word keeps its style", "<H<T'a '><SW2<T'bold'>>>", kEditCaretAtEnd,
          { { 'K', kEditLeft, nullptr }, { 'K', kEditLeft, nullptr }, { 'K', kEditLeft, nullptr },
            { 'K', kEditLeft, nullptr }, { 't', 0, "x" } }, "<H<T2xa ><SW2<T1xx>>>", 3, 3, 0 },
        { "a break inside parentheses stacks the parts there, centred", "<(<T'ab'>>", kEditCaretAtStart,
          { { 'k', kEditRight, nullptr }, { 'k', kEditRight, nullptr }, { 'k', kEditNewRow, nullptr } },
          "<(<VC<T1xa><T1xb>>>", 3, 3, 0 },
        { "a break at the end of a styled text", "<SW2<T'ab'>>", kEditCaretAtEnd,
          { { 'k', kEditNewRow, nullptr }, { 't', 0, "c" } }, "<SW2<VL<T2xab><T1xc>>>", 4, 4, 0 },
        { "a break replaces the selection", "<T'abc'>", kEditCaretAtEnd,
          { { 'K', kEditLeft, nullptr }, { 'k', kEditNewRow, nullptr } }, "<VL<T2xab><0>>", 3, 3, 0 },
        { "Down on the last row goes to the end", "<VL<T'ab'><T'cd'>>", kEditCaretAtStart,
          { { 'k', kEditDown, nullptr }, { 'k', kEditDown, nullptr } }, "<VL<T2xab><T2xcd>>", 6, 6, 0 },
        { "Up keeps the remembered x", "<VL<T'abcd'><T'a'><T'abcd'>>", kEditCaretAtEnd,
          { { 'k', kEditLeft, nullptr }, { 'k', kEditLeft, nullptr }, { 'k', kEditUp, nullptr }, { 'k', kEditUp, nullptr } },
          "<VL<T4xabcd><T1xa><T4xabcd>>", 3, 3, 0 },
        { "Up on the first row goes to the start", "<VL<T'ab'><T'cd'>>", kEditCaretAtStart,
          { { 'k', kEditRight, nullptr }, { 'k', kEditUp, nullptr } }, "<VL<T2xab><T2xcd>>", 0, 0, 0 },
        { "Shift+Down extends", "<VL<T'ab'><T'cd'>>", kEditCaretAtStart, { { 'K', kEditDown, nullptr } },
          "<VL<T2xab><T2xcd>>", 0, 3, 0 },
        { "three pasted lines make two row breaks", "<0>", kEditCaretAtEnd, { { 'P', 0, "a\r\nb\r\nc" } },
          "<VL<T1xa><T1xb><T1xc>>", 5, 5, 0 },
        { "line feeds alone end lines too", "<0>", kEditCaretAtEnd, { { 'P', 0, "a\nb" } },
          "<VL<T1xa><T1xb>>", 3, 3, 0 },
        { "bad layout text beeps and inserts nothing", "<T'a'>", kEditCaretAtEnd, { { 'p', 0, "<T'b'" } },
          "<T1xa>", 1, 1, 1 },
        { "a parse warning is refused too", "<T'a'>", kEditCaretAtEnd, { { 'p', 0, "<H<T'b'><%>>" } },
          "<T1xa>", 1, 1, 1 },
        { "layout text is pasted over the selection", "<T'abc'>", kEditCaretAtEnd,
          { { 'K', kEditLeft, nullptr }, { 'p', 0, "</<T'1'><T'2'>>" } }, "<H<T2xab></<T1x1><T1x2>>>", 7, 7, 0 },
        { "no text to paste beeps", "<T'a'>", kEditCaretAtEnd, { { 'P', 0, "" } }, "<T1xa>", 1, 1, 1 },
        { "a refused paste beeps once", "<T'a'>", kEditCaretAtEnd,
          { { 'P', 0, "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww"
                      "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww"
                      "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww"
                      "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww"
                      "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww" } },
          "<T1xa>", 1, 1, 1 },
        { "typing ends a vertical move", "<VL<T'abcd'><T'abcd'>>", kEditCaretAtStart,
          { { 'k', kEditRight, nullptr }, { 'k', kEditRight, nullptr }, { 'k', kEditRight, nullptr },
            { 'k', kEditDown, nullptr }, { 't', 0, "x" }, { 'k', kEditUp, nullptr } },
          "<VL<T4xabcd><T5xabcxd>>", 4, 4, 0 },
        { "a fraction around a selected sum takes it as numerator", "<T'a+b'>", kEditSelectAllText,
          { { 'k', kEditFraction, nullptr } }, "</<T3xa+b><T1x?>>", 5, 6, 0 },
        { "parentheses around a selection", "<T'a+b'>", kEditSelectAllText, { { 'k', kEditParens, nullptr } },
          "<(<T3xa+b>>", 5, 5, 0 },
        { "a template at the caret selects its first slot", "<T'x'>", kEditCaretAtEnd,
          { { 'k', kEditSuperscript, nullptr }, { 't', 0, "2" } }, "<H<T1xx><+<T1x2><T1x?>>>", 2, 2, 0 },
        { "each template kind", "<0>", kEditCaretAtEnd,
          { { 'k', kEditBrackets, nullptr }, { 'k', kEditBraces, nullptr }, { 'k', kEditRadical, nullptr },
            { 'k', kEditAbsBars, nullptr }, { 'k', kEditSubscript, nullptr } },
          // Each "?" left selected is wrapped by the next delimiter; a caret takes the rest.
          "<[<H<{<T1x?>><R<H<|<T1x?>><-<T1x?><T1x?>>>>>>", 8, 9, 0 },
        { "a Symbol glyph", "<T'ab'>", kEditCaretAtEnd, { { 'k', kEditGlyph + 0x70, nullptr } },
          "<H<T2xab><!70>>", 3, 3, 0 },
        { "the port's own glyphs up to 258", "<0>", kEditCaretAtEnd,
          { { 'k', kEditGlyph + 258, nullptr }, { 'k', kEditGlyph + 259, nullptr } }, "<!102>", 1, 1, 0 },
        { "bold at the caret applies to the next text", "<T'ab'>", kEditCaretAtEnd,
          { { 'b', 0, nullptr }, { 't', 0, "c" } }, "<H<T2xab><SW2<T1xc>>>", 3, 3, 0 },
        { "moving the caret drops the pending style", "<T'ab'>", kEditCaretAtEnd,
          { { 'b', 0, nullptr }, { 'k', kEditLeft, nullptr }, { 't', 0, "c" } }, "<T3xacb>", 2, 2, 0 },
        { "bold on a selection", "<T'abc'>", kEditCaretAtEnd,
          { { 'K', kEditLeft, nullptr }, { 'b', 0, nullptr } }, "<H<T2xab><SW2<T1xc>>>", 2, 3, 0 },
        { "cut as text removes the selection", "<T'abc'>", kEditCaretAtEnd,
          { { 'K', kEditLeft, nullptr }, { 'x', 0, nullptr } }, "<T2xab>", 2, 2, 0 },
        { "an empty cut changes nothing", "<T'abc'>", kEditCaretAtEnd, { { 'x', 0, nullptr } }, "<T3xabc>", 3, 3, 0 },
        { "aligning the rows", "<VL<T'ab'><T'cd'>>", kEditCaretAtStart, { { 'k', kEditAlignRight, nullptr } },
          "<VR<T2xab><T2xcd>>", 0, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        owner = Owner{};
        EditSessionPtr s = Open(c.start, c.kind);
        ASSERT_NE(s, nullptr);
        const int32_t beeps = RefusalBeepCount();
        for (const Step& step : c.steps) Run(s.get(), step);
        EXPECT_EQ(Tree(s.get()), c.tree);
        EXPECT_EQ(s->selStart, c.selStart);
        EXPECT_EQ(s->selEnd, c.selEnd);
        EXPECT_EQ(RefusalBeepCount() - beeps, c.beeps);
        EXPECT_EQ(s->caretShown != 0, s->selStart == s->selEnd);
    }
}

// One level of undo: the edits between two selection changes are one step, and whatever
// follows an undo drops the redo.
TEST_F(EditSession, UndoKeepsTheTextBeforeTheLastRunOfTyping) {
    EditSessionPtr s = Open("<T'a'>", kEditCaretAtEnd);
    EXPECT_FALSE(CanUndoEditorChange(s.get(), 0));
    InsertPlainText(s.get(), "b", 1);
    InsertPlainText(s.get(), "c", 1);
    RunLayoutEditCommand(s.get(), kEditLeft, 0);
    InsertPlainText(s.get(), "x", 1);
    InsertPlainText(s.get(), "y", 1);
    EXPECT_EQ(Tree(s.get()), "<T5xabxyc>");
    EXPECT_TRUE(CanUndoEditorChange(s.get(), 0));
    EXPECT_FALSE(CanUndoEditorChange(s.get(), 1));

    const int32_t changes = owner.changes;
    EXPECT_TRUE(UndoEditorChange(s.get(), 0));
    EXPECT_EQ(Tree(s.get()), "<T3xabc>");
    EXPECT_EQ(s->selStart, 2);
    EXPECT_EQ(owner.changes, changes + 1);
    EXPECT_FALSE(CanUndoEditorChange(s.get(), 0));
    EXPECT_TRUE(CanUndoEditorChange(s.get(), 1));
    EXPECT_FALSE(UndoEditorChange(s.get(), 0));  // one level only

    EXPECT_TRUE(UndoEditorChange(s.get(), 1));
    EXPECT_EQ(Tree(s.get()), "<T5xabxyc>");
    EXPECT_EQ(s->selStart, 4);
    EXPECT_TRUE(UndoEditorChange(s.get(), 0));

    // A selection change after the undo replaces the copy: the redo is gone.
    RunLayoutEditCommand(s.get(), kEditTextStart, 0);
    EXPECT_FALSE(CanUndoEditorChange(s.get(), 1));
    EXPECT_TRUE(CanUndoEditorChange(s.get(), 0));
    InsertPlainText(s.get(), "z", 1);
    EXPECT_TRUE(UndoEditorChange(s.get(), 0));
    EXPECT_EQ(Tree(s.get()), "<T3xabc>");
}

TEST_F(EditSession, AnEditAfterAnUndoDropsTheRedo) {
    EditSessionPtr s = Open("<T'a'>", kEditCaretAtEnd);
    InsertPlainText(s.get(), "b", 1);
    ASSERT_TRUE(UndoEditorChange(s.get(), 0));
    InsertPlainText(s.get(), "c", 1);
    EXPECT_FALSE(CanUndoEditorChange(s.get(), 1));
    ASSERT_TRUE(UndoEditorChange(s.get(), 0));
    EXPECT_EQ(Tree(s.get()), "<T1xa>");
}

// Clicks: a second click within 4 pixels and 500 ms selects the word; a slower or
// farther one places the caret; holding past 250 ms drags a selection.
TEST_F(EditSession, ClicksAndDrags) {
    // "ab cd": 6 pixels a character from x 10, baseline at y 30.
    const ScreenPoint inSecondWord{ 35, 27 };
    struct Case {
        const char* name;
        uint32_t    pause;  // between the two clicks
        int16_t     dx;     // how far the second click is from the first
        int32_t     selStart, selEnd;
    };
    const Case cases[] = {
        { "fast and near: the word", 100, 4, 3, 5 },
        { "slow: a caret", 600, 0, 4, 4 },
        { "too far: a caret", 100, 5, 5, 5 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditSessionPtr s = Open("<T'ab cd'>", kEditCaretAtStart);
        SetPointerScript({ { false, inSecondWord, 20 } });  // released at once
        TrackEditorMouse(s.get(), inSecondWord, 0);
        EXPECT_EQ(s->selStart, 4);
        AdvanceTestTickCount(c.pause);
        SetPointerScript({ { false, inSecondWord, 20 } });
        TrackEditorMouse(s.get(), ScreenPoint{ int16_t(inSecondWord.x + c.dx), inSecondWord.y }, 0);
        EXPECT_EQ(s->selStart, c.selStart);
        EXPECT_EQ(s->selEnd, c.selEnd);
    }

    // Held past the wait, the pointer drags a selection from the first point.
    EditSessionPtr s = Open("<T'ab cd'>", kEditCaretAtStart);
    SetPointerScript({ { true, inSecondWord, 100 }, { true, inSecondWord, 200 },
                       { true, ScreenPoint{ 14, 27 }, 10 }, { false, ScreenPoint{ 14, 27 }, 10 } });
    TrackEditorMouse(s.get(), inSecondWord, 0);
    EXPECT_EQ(s->selStart, 1);
    EXPECT_EQ(s->selEnd, 4);
    EXPECT_EQ(s->activeEnd, 0);
    // Shift extends from the fixed end.
    SetPointerScript({});
    TrackEditorMouse(s.get(), ScreenPoint{ 100, 27 }, 1);
    EXPECT_EQ(s->selStart, 4);
    EXPECT_EQ(s->selEnd, 5);
}

TEST_F(EditSession, TheCaretBlinksEvery500MsAndNotOverASelection) {
    EditSessionPtr s = Open("<T'ab'>", kEditCaretAtEnd);
    auto carets = [] {
        int32_t n = 0;
        for (const PortCall& call : TextPortCalls()) n += call.op == "caret";
        return n;
    };
    EXPECT_EQ(s->caretShown, 1);
    const int32_t drawn = carets();
    BlinkEditorCaret(s.get());
    EXPECT_EQ(carets(), drawn);  // not yet
    AdvanceTestTickCount(500);
    BlinkEditorCaret(s.get());
    EXPECT_EQ(s->caretShown, 0);
    AdvanceTestTickCount(499);
    BlinkEditorCaret(s.get());
    EXPECT_EQ(s->caretShown, 0);
    AdvanceTestTickCount(1);
    BlinkEditorCaret(s.get());
    EXPECT_EQ(s->caretShown, 1);
    EXPECT_EQ(carets(), drawn + 2);
    // A blink keeps the style pending at the caret.
    TextStyle bold{};
    bold.field[kStyleWeight] = 2;
    ApplyStyleToSelection(s.get(), &bold);
    AdvanceTestTickCount(500);
    BlinkEditorCaret(s.get());
    EXPECT_EQ(s->insertStyle.field[kStyleWeight], 2);
    RunLayoutEditCommand(s.get(), kEditSelectAll, 0);
    const int32_t selected = carets();
    AdvanceTestTickCount(1000);
    BlinkEditorCaret(s.get());
    EXPECT_EQ(carets(), selected);
}

// The style reported to the owner, and the style a row break hands on to the next text
// only when there is an owner to report it to.
TEST_F(EditSession, CaretStyleAndTheStyleAfterARowBreak) {
    EditSessionPtr s = Open("<H<T'a'><SW2<T'b'>>>", kEditCaretAtEnd);
    EXPECT_EQ(owner.style.field[kStyleWeight], 2);
    RunLayoutEditCommand(s.get(), kEditLeft, 0);
    EXPECT_EQ(owner.style.field[kStyleWeight], 1);
    RunLayoutEditCommand(s.get(), kEditSelectAll, 0);
    EXPECT_EQ(owner.style.field[kStyleWeight], 0);  // mixed

    EditSessionPtr styled = Open("<H<T'a'><SW2<T'b'>>>", kEditCaretAtEnd);
    RunLayoutEditCommand(styled.get(), kEditNewRow, 0);
    EXPECT_EQ(styled->insertStyle.field[kStyleWeight], 2);
    InsertPlainText(styled.get(), "c", 1);
    EXPECT_EQ(Tree(styled.get()), "<VL<H<T1xa><SW2<T1xb>>><SW2<T1xc>>>");

    EditSessionPtr bare = BareEditSession("<H<T'a'><SW2<T'b'>>>");
    RunLayoutEditCommand(bare.get(), kEditNewRow, 0);
    EXPECT_TRUE(IsTextStyleEmpty(&bare->insertStyle));
}

TEST_F(EditSession, PlainTextPiecesAndTheirLengthRule) {
    const std::string word(500, 'w');
    const std::string blanked = std::string(450, 'w') + " end";
    struct Case {
        const char* name;
        std::string text;
        bool        answer;
        int32_t     length;  // of the text after it
    };
    const Case cases[] = {
        { "a 500-character word is not inserted", word, false, 1 },
        { "a long piece with a blank after its 400th character", blanked, true, 1 + 454 },
        { "pieces before a long word stay", "ab\r" + word, true, 1 + 2 + 1 + 0 + 1 },
        { "a NUL ends the text", std::string("ab\0cd", 5), true, 3 },
        { "CR LF counts once", "a\r\nb", true, 1 + 1 + 1 + 1 + 1 },
        { "an empty line", "a\r\rb", true, 1 + 1 + 1 + 0 + 1 + 1 + 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditSessionPtr s = Open("<T'x'>", kEditCaretAtEnd);
        EXPECT_EQ(InsertPlainText(s.get(), c.text.data(), int32_t(c.text.size())), c.answer);
        EXPECT_EQ(s->tree->caretCount, c.length) << Tree(s.get());
    }
}

TEST_F(EditSession, CopyAndCutGiveLayoutAndPlainText) {
    EditSessionPtr s = Open("<H<T'a'></<T'1'><T'2'>><T'b'>>", kEditSelectAllText);
    char* layout = nullptr;
    char* plain = nullptr;
    int32_t n = 0, m = 0;
    ASSERT_TRUE(CopySelectionAsText(s.get(), &layout, &n, &plain, &m));
    EXPECT_EQ(std::string(layout, size_t(n)), "<H<T1xa></<T1x1><T1x2>><T1xb>>");
    EXPECT_EQ(std::string(plain), "a(1/2)b");
    EXPECT_EQ(int32_t(std::strlen(plain)), m);
    FreeMemory(layout);
    FreeMemory(plain);
    EXPECT_EQ(Tree(s.get()), "<H<T1xa></<T1x1><T1x2>><T1xb>>");  // copying leaves the text

    ASSERT_TRUE(CutSelectionAsText(s.get(), &layout, &n, &plain, &m));
    FreeMemory(layout);
    FreeMemory(plain);
    EXPECT_EQ(Tree(s.get()), "<0>");
    ASSERT_TRUE(UndoEditorChange(s.get(), 0));
    EXPECT_EQ(Tree(s.get()), "<H<T1xa></<T1x1><T1x2>><T1xb>>");

    RunLayoutEditCommand(s.get(), kEditTextEnd, 0);
    const int32_t beeps = RefusalBeepCount();
    EXPECT_FALSE(CopySelectionAsText(s.get(), &layout, &n, &plain, &m));
    EXPECT_EQ(layout, nullptr);
    EXPECT_EQ(RefusalBeepCount(), beeps);  // nothing selected is no failure
}

// An edit that would nest deeper than the reader accepts is refused with the beep and
// leaves the text as it was: such a caption could not be read back.
TEST_F(EditSession, EditsNestingTooDeepAreRefused) {
    std::string deep;
    for (int32_t i = 0; i < kMaxLayoutDepth - 1; ++i) deep += "<(";
    deep += "<T'a'>";
    for (int32_t i = 0; i < kMaxLayoutDepth - 1; ++i) deep += ">";
    struct Case { const char* name; std::vector<Step> steps; };
    const Case cases[] = {
        { "a template at the caret", { { 'k', kEditFraction, nullptr } } },
        { "a template around the selection", { { 'K', kEditLeft, nullptr }, { 'k', kEditRadical, nullptr } } },
        { "pasted structure", { { 'p', 0, "<(<(<T'b'>>>" } } },
        { "a row break", { { 'k', kEditNewRow, nullptr } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditSessionPtr s = Open(deep, kEditCaretAtStart);
        ASSERT_NE(s, nullptr);
        const std::string before = Tree(s.get());
        for (int32_t i = 0; i < kMaxLayoutDepth; ++i) RunLayoutEditCommand(s.get(), kEditRight, 0);
        const int32_t beeps = RefusalBeepCount();
        for (const Step& step : c.steps) Run(s.get(), step);
        EXPECT_EQ(RefusalBeepCount(), beeps + 1);
        EXPECT_EQ(Tree(s.get()), before);
        EXPECT_NE(ParseLayout(Tree(s.get())), nullptr);
        EXPECT_FALSE(CanUndoEditorChange(s.get(), 1));
    }
}

// Memory running out at any allocation of an edit: the text stays whole (as it was, or
// edited), nothing leaks, the selection stays inside it, and enough memory gives the edit.
TEST_F(EditSession, OutOfMemoryInEveryOperation) {
    struct Case { const char* name; int32_t kind; Step step; };
    const Case cases[] = {
        { "typing", kEditCaretAtEnd, { 't', 0, "xy" } },
        { "typing over", kEditSelectAllText, { 't', 0, "x" } },
        { "delete", kEditSelectAllText, { 'k', kEditDeleteBackward, nullptr } },
        { "new row", kEditCaretAtEnd, { 'k', kEditNewRow, nullptr } },
        { "fraction around", kEditSelectAllText, { 'k', kEditFraction, nullptr } },
        { "glyph", kEditCaretAtEnd, { 'k', kEditGlyph + 0x61, nullptr } },
        { "paste layout", kEditCaretAtEnd, { 'p', 0, "<H<T'x'></<T'1'><T'2'>>>" } },
        { "paste lines", kEditCaretAtEnd, { 'P', 0, "x\r\ny" } },
        { "bold", kEditSelectAllText, { 'b', 0, nullptr } },
        { "cut", kEditSelectAllText, { 'x', 0, nullptr } },
        { "undo", kEditCaretAtEnd, { 'u', 0, nullptr } },
        { "align", kEditSelectAllText, { 'k', kEditAlignCentre, nullptr } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool completed = false;
        for (uint32_t n = 1; n < 2000 && !completed; ++n) {
            EditSessionPtr s = Open("<H<T'ab '><SW2<T'cd'>><(<T'e'>>>", c.kind);
            ASSERT_NE(s, nullptr);
            if (c.step.op == 'u') InsertPlainText(s.get(), "z", 1);
            const uint64_t requests = AllocRequestCount();
            SetAllocFailureAfter(n);
            Run(s.get(), c.step);
            completed = AllocRequestCount() - requests < n;
            SetAllocFailureAfter(0);
            const std::string text = Tree(s.get());
            EXPECT_NE(ParseLayout(text), nullptr) << n << " " << text;
            EXPECT_LE(0, s->selStart);
            EXPECT_LE(s->selStart, s->selEnd);
            EXPECT_LE(s->selEnd, s->tree->caretCount);
        }
        EXPECT_TRUE(completed);
    }
    // A session that cannot be made leaves the tree to the caller.
    const LayoutDrawState state = TestDrawState();
    LayoutPtr tree = ParseLayout("<T'a'>");
    const ScreenRect frame{ 0, 0, 10, 10 };
    SetAllocFailureAfter(1);
    EXPECT_EQ(CreateLayoutEditSession(tree.get(), &state, &frame, 0, nullptr, nullptr, nullptr,
                                      nullptr, nullptr), nullptr);
    SetAllocFailureAfter(0);
}

}  // namespace
