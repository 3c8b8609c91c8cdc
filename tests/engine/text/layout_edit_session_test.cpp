#include "engine/text/layout_edit_session.h"

#include <gtest/gtest.h>

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

}  // namespace
