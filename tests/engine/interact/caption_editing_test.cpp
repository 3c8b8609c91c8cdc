#include "engine/interact/caption_editing.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/core/drawing_pass.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/sketch_keys.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/mouse.h"
#include "engine/interact/motion.h"
#include "engine/interact/selection_census.h"
#include "engine/interact/undo.h"
#include "engine/text/captions.h"
#include "engine/text/layout_edit_session.h"
#include "tests/engine/text/layout_test_util.h"
#include "tests/support/caption_edit_port_double.h"
#include "tests/support/document_services_double.h"
#include "tests/support/views_double.h"

namespace {

class CaptionEditing : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        gEngine.frontSketch = sketch;
        ActivityWord() = 0;
        ResetCaptionEditPort();
        ResetTextPort();
    }
    void TearDown() override {
        if (sketch->editSession) EndCaptionEditing();
        gEngine.frontSketch = nullptr;
        ActivityWord() = 0;
        SketchTest::TearDown();
    }

    SketchObject* Caption(const char* text) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
        SketchObject* c = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(c, nullptr);
        CaptionInit init{ ParseLayout(text).release(), c->textStyle, 40, 50 };
        EXPECT_TRUE(SetObjectTextLayout(c, &init));
        UpdateCaptionBounds(c);
        return c;
    }

    bool InSketch(const SketchObject* object) const {
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
            if (o == object) return true;
        return false;
    }

    int32_t UndoDepth() const {
        int32_t n = 0;
        for (UndoRecord* r = sketch->undoPosition; r; r = UndoRecordOlder(r)) ++n;
        return n;
    }

    static LayoutEditSession* Session() { return ActiveEditSession(); }
    static std::string Text(SketchObject* o) { return WriteLayout(CaptionDataOf(o)->layout); }
};

TEST_F(CaptionEditing, WhileEditingTheObjectIsHiddenAndTheSessionStandsInItsPlace) {
    SketchObject* c = Caption("<T'abc'>");
    SelectSketchObject(c);
    ASSERT_EQ(BeginCaptionEditing(c, false), kResultOK);
    LayoutEditSession* s = Session();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(sketch->editSession, s);
    EXPECT_EQ(EditedObject(), c);
    EXPECT_EQ(c->hidden, kHiddenAsConsumed);
    EXPECT_EQ(sketch->selectionHead, nullptr);
    EXPECT_NE(ActivityWord() & kActivityCaptionEditing, 0u);
    EXPECT_TRUE(CaptionEditorRect(&s->frame));
    EXPECT_EQ(s->frame.left, c->bounds.left + DrawingMetrics.intMetricsB[kMetricCaptionMarginX]);
    EXPECT_EQ(s->frame.top, c->bounds.top + DrawingMetrics.intMetricsB[kMetricCaptionMarginY]);
    EXPECT_EQ(s->frame.right - s->frame.left, s->tree->width + s->tree->overhang);
    EXPECT_EQ(WriteLayout(s->tree), Text(c));
    EXPECT_NE(s->tree, CaptionDataOf(c)->layout);  // a copy is edited

    // The drawing hook erases and outlines the frame grown by 5 and 3, then draws the text.
    ResetTextPort();
    const ScreenRect all{ -1000, -1000, 1000, 1000 };
    RunDrawHooks(&all, nullptr);
    const std::vector<int32_t> grown{ s->frame.left - 5, s->frame.top - 3, s->frame.right + 5,
                                      s->frame.bottom + 3 };
    ASSERT_GE(TextPortCalls().size(), 2u);
    EXPECT_EQ(TextPortCalls()[0].op, "erase");
    EXPECT_EQ(TextPortCalls()[0].args, grown);
    bool framed = false, drawn = false;
    for (const PortCall& call : TextPortCalls()) {
        framed |= call.op == "frame" && call.args == grown;
        drawn |= call.op == "text";
    }
    EXPECT_TRUE(framed && drawn);

    // A second start on the same object does nothing.
    EXPECT_EQ(BeginCaptionEditing(c, false), kResultOK);
    EXPECT_EQ(Session(), s);
    EXPECT_EQ(CaptionEditPort().begins, 1);
}

// The four ways an edit ends.
TEST_F(CaptionEditing, EndCases) {
    struct Case {
        const char* name;
        bool        isNew;
        const char* start;
        const char* typed;      // null: everything deleted
        bool        survives;
        int32_t     undoSteps;  // added by the edit
    };
    const Case cases[] = {
        { "new and empty: no object, no undo step", true, "<0>", "", false, 0 },
        { "new with text: Construct Caption", true, "<0>", "hi", true, 1 },
        { "existing with text: Edit Caption", false, "<T'ab'>", "c", true, 1 },
        { "existing emptied: deleted", false, "<T'ab'>", nullptr, false, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SketchObject* o = Caption(c.start);
        const int32_t depth = UndoDepth();
        ASSERT_EQ(BeginCaptionEditing(o, c.isNew), kResultOK);
        LayoutEditSession* s = Session();
        if (c.typed) {
            RunLayoutEditCommand(s, kEditTextEnd, 0);
            InsertPlainText(s, c.typed, int32_t(std::string(c.typed).size()));
        } else {
            SelectAllInEditor(s);
            DeleteEditorSelection(s);
        }
        EndSketchActivity(kActivityCaptionEditing);
        EXPECT_EQ(sketch->editSession, nullptr);
        EXPECT_EQ(ActiveEditSession(), nullptr);
        EXPECT_EQ(ActivityWord() & kActivityCaptionEditing, 0u);
        EXPECT_FALSE(CaptionEditPort().editing);
        EXPECT_EQ(InSketch(o), c.survives);
        EXPECT_EQ(UndoDepth() - depth, c.undoSteps);
        if (c.survives) {
            EXPECT_EQ(o->hidden, kShown);
            EXPECT_EQ(sketch->selectionHead, o);
            EXPECT_EQ(WriteLayout(CaptionDataOf(o)->layout).find(c.typed) != std::string::npos, true);
        }
        if (!c.isNew && c.survives) {
            // Undo gives the text back; the object stays selected.
            EXPECT_EQ(UndoRecordNameIndex(sketch->undoPosition), 15);
            ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
            EXPECT_EQ(WriteLayout(CaptionDataOf(o)->layout), WriteLayout(ParseLayout(c.start).get()));
            EXPECT_TRUE(IsSelected(o));
            ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
            EXPECT_NE(WriteLayout(CaptionDataOf(o)->layout).find(c.typed), std::string::npos);
        }
        if (c.isNew && c.survives) {
            EXPECT_EQ(UndoRecordNameIndex(sketch->undoPosition), kUndoNameConstruct);
            EXPECT_EQ(UndoRecordNounIndex(sketch->undoPosition), 54);
            // Undoing the creation takes the caption away again.
            ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
            EXPECT_FALSE(InSketch(o));
            ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
            EXPECT_TRUE(InSketch(o));
        }
        DeselectAll();
    }
}

TEST_F(CaptionEditing, TheEditedTextSetsTheLabelStyleAndColour) {
    SketchObject* c = Caption("<T'ab'>");
    ASSERT_EQ(BeginCaptionEditing(c, false), kResultOK);
    SelectAllInEditor(Session());
    ApplyTextColor(0x0000FF, 0);
    EXPECT_TRUE(ToggleStyleField(kStyleWeight, 2, false));
    EndCaptionEditing();
    EXPECT_EQ(c->color, 0x0000FFu);
    EXPECT_EQ(c->textStyle.field[kStyleWeight], 2);
    EXPECT_EQ(CaptionDataOf(c)->style.field[kStyleWeight], 2);
}

// The bold button: on the selection while editing, on the selected captions otherwise; a
// second click sets plain.
TEST_F(CaptionEditing, BoldWithAndWithoutEditing) {
    SketchObject* c = Caption("<T'ab'>");
    ASSERT_EQ(BeginCaptionEditing(c, false), kResultOK);
    LayoutEditSession* s = Session();
    SelectAllInEditor(s);
    EXPECT_TRUE(ToggleStyleField(kStyleWeight, 2, false));
    EXPECT_EQ(WriteLayout(s->tree), "<SW2<T2xab>>");
    EXPECT_TRUE(ToggleStyleField(kStyleWeight, 2, false));
    TextStyle style{};
    ASSERT_TRUE(GetCurrentTextStyle(&style));
    EXPECT_EQ(style.field[kStyleWeight], 1);
    EndCaptionEditing();

    DeselectAll();
    TextStyle none{};
    EXPECT_FALSE(GetCurrentTextStyle(&none));  // nothing edited, nothing selected
    EXPECT_FALSE(ToggleStyleField(kStyleWeight, 2, true));
    SelectSketchObject(c);
    c->textStyle.field[kStyleWeight] = 1;
    TakeSelectionCensus();  // as the text commands' refresh does between clicks
    EXPECT_TRUE(ToggleStyleField(kStyleWeight, 2, true));
    EXPECT_EQ(c->textStyle.field[kStyleWeight], 2);
    TakeSelectionCensus();
    EXPECT_TRUE(ToggleStyleField(kStyleWeight, 2, true));
    EXPECT_EQ(c->textStyle.field[kStyleWeight], 1);
}

TEST_F(CaptionEditing, FailuresToStartChangeNothing) {
    SketchObject* c = Caption("<T'ab'>");
    CaptionEditPort().beginResult = 101;  // the sketch has no view
    EXPECT_EQ(BeginCaptionEditing(c, false), 101);
    EXPECT_EQ(sketch->editSession, nullptr);
    EXPECT_EQ(c->hidden, kShown);
    CaptionEditPort().beginResult = 0;

    for (uint32_t n = 1; n < 100; ++n) {
        const uint64_t requests = AllocRequestCount();
        SetAllocFailureAfter(n);
        const ResultCode rc = BeginCaptionEditing(c, false);
        const bool failed = AllocRequestCount() - requests >= n;
        SetAllocFailureAfter(0);
        if (!failed) {
            EXPECT_EQ(rc, kResultOK);
            break;
        }
        EXPECT_TRUE(rc == kCaptionEditNoMemory || rc == kCaptionEditNoSession) << rc;
        EXPECT_EQ(sketch->editSession, nullptr);
        EXPECT_EQ(c->hidden, kShown);
        EXPECT_FALSE(CaptionEditPort().editing);
    }
    EXPECT_NE(sketch->editSession, nullptr);
}

// Memory running out while an edit ends: the session still ends, the port is closed and
// the object is either back, shown, or gone with nothing leaked. A new caption whose
// creation cannot be recorded goes again, with its text.
TEST_F(CaptionEditing, OutOfMemoryWhileAnEditEnds) {
    struct Case { const char* name; bool isNew; const char* start; const char* typed; };
    const Case cases[] = {
        { "new with text", true, "<0>", "x" },
        { "existing with text", false, "<T'ab'>", "x" },
        { "existing emptied", false, "<T'ab'>", nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool completed = false;
        for (uint32_t n = 1; n < 200 && !completed; ++n) {
            SketchObject* o = Caption(c.start);
            ASSERT_EQ(BeginCaptionEditing(o, c.isNew), kResultOK);
            if (c.typed) {
                InsertPlainText(Session(), c.typed, 1);
            } else {
                SelectAllInEditor(Session());
                DeleteEditorSelection(Session());
            }
            const uint64_t requests = AllocRequestCount();
            SetAllocFailureAfter(n);
            EndCaptionEditing();
            completed = AllocRequestCount() - requests < n;
            SetAllocFailureAfter(0);
            EXPECT_EQ(sketch->editSession, nullptr);
            EXPECT_FALSE(CaptionEditPort().editing);
            if (InSketch(o)) {
                EXPECT_EQ(o->hidden, kShown);
            }
            if (completed) {
                EXPECT_EQ(InSketch(o), c.typed != nullptr);
            }
            if (c.isNew && !InSketch(o)) {
                EXPECT_EQ(sketch->undoPosition, nullptr);
            }
            DeselectAll();
        }
        EXPECT_TRUE(completed);
    }
}

TEST_F(CaptionEditing, ASketchFreedWhileEditingEndsTheEdit) {
    SketchObject* c = Caption("<T'ab'>");
    ASSERT_EQ(BeginCaptionEditing(c, true), kResultOK);
    gEngine.frontSketch = nullptr;
    FreeSketch(sketch);
    sketch = nullptr;
    EXPECT_EQ(EditedObject(), nullptr);
    EXPECT_FALSE(CaptionEditPort().editing);
    sketch = CreateSketch(0, nullptr);
    SetCurrentSketch(sketch, nullptr);
    gEngine.frontSketch = sketch;
}

// Keys and characters of the front sketch go to the editor while a caption is edited.
TEST_F(CaptionEditing, KeysAndCharactersReachTheEditor) {
    SketchObject* c = Caption("<T'ab'>");
    ASSERT_EQ(BeginCaptionEditing(c, false), kResultOK);
    LayoutEditSession* s = Session();
    EXPECT_TRUE(HandleViewCommand(kKeyRight, 0));
    EXPECT_TRUE(HandleSketchChar('x'));
    EXPECT_TRUE(HandleViewCommand(kKeyRight, kKeyStepsToolbox));  // with Shift: extends
    EXPECT_EQ(WriteLayout(s->tree), "<T3xaxb>");
    EXPECT_EQ(s->selStart, 2);
    EXPECT_EQ(s->selEnd, 3);
    EXPECT_TRUE(HandleViewCommand(kKeyBackspace, 0));
    EXPECT_TRUE(HandleSketchChar('\r'));
    EXPECT_EQ(WriteLayout(s->tree), "<VL<T2xax><0>>");
    EXPECT_TRUE(UndoRedoCommand(0) == kResultOK);  // the editor's own undo
    EXPECT_EQ(WriteLayout(s->tree), "<T3xaxb>");
    EXPECT_EQ(UndoDepth(), 0);
}

// A double click on an empty place makes an empty caption there and edits it; left
// empty, it goes again without an undo step. Without memory nothing is left behind.
TEST_F(CaptionEditing, EditCaptionAtMakesAnEmptyCaptionAtThePoint) {
    SketchObject* c = Caption("<T'c'>");
    ASSERT_EQ(EditCaptionAt(c, ScreenPoint{ 0, 0 }), kResultOK);
    EXPECT_EQ(EditedObject(), c);
    EndCaptionEditing();
    const int32_t depth = UndoDepth();
    ASSERT_EQ(EditCaptionAt(nullptr, ScreenPoint{ 120, 64 }), kResultOK);
    SketchObject* made = EditedObject();
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(InSketch(made));
    EXPECT_EQ(made->constructionType, kTypeFree);
    EXPECT_EQ(made->objectKind, kKindCaption);
    EXPECT_EQ(made->exists, 1);
    EXPECT_EQ(made->bounds.left, 120);
    EXPECT_EQ(made->bounds.top, 64);
    EXPECT_EQ(Text(made), "<0>");
    EndCaptionEditing();
    EXPECT_FALSE(InSketch(made));
    EXPECT_EQ(UndoDepth(), depth);

    auto count = [this] {
        int32_t n = 0;
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) ++n;
        return n;
    };
    const int32_t objects = count();
    ResultCode rc = kResultOutOfMemory;
    for (int32_t n = 1; n < 100 && rc != kResultOK; ++n) {
        SetAllocFailureAfter(n);
        rc = EditCaptionAt(nullptr, ScreenPoint{ 1, 1 });
        SetAllocFailureAfter(0);
        if (rc == kResultOK) {
            EXPECT_EQ(count(), objects + 1);
            EndCaptionEditing();
        }
        EXPECT_EQ(count(), objects);
    }
    EXPECT_EQ(rc, kResultOK);
}

}  // namespace

TEST_F(CaptionEditing, TheSketchScrollsToShowTheCaret) {
    SketchObject* c = Caption("<T'abc'>");
    ASSERT_EQ(BeginCaptionEditing(c, false), kResultOK);
    LayoutEditSession* s = Session();
    ASSERT_NE(s, nullptr);
    struct Case { ScreenRect window; ScreenPoint top, bottom; int16_t left, originTop; };
    const Case cases[] = {
        // left of and above the window: its edges go 5 beyond the caret
        { { 100, 100, 500, 400 }, { 30, 40 }, { 30, 60 }, 25, 35 },
        // right of and below: just far enough for the caret and its margin
        { { 0, 0, 400, 300 }, { 700, 600 }, { 700, 620 }, 305, 325 },
        // inside: nothing moves
        { { 0, 0, 400, 300 }, { 200, 100 }, { 200, 120 }, 0, 0 },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.top.x);
        ResetViewRequests();
        sketch->windowRect = k.window;
        s->caretShown = 1;
        s->caretTop = k.top;
        s->caretBottom = k.bottom;
        ScrollToEditorCaret();
        EXPECT_EQ(sketch->windowRect.left, k.left);
        EXPECT_EQ(sketch->windowRect.top, k.originTop);
        EXPECT_EQ(sketch->windowRect.right - sketch->windowRect.left, k.window.right - k.window.left);
        EXPECT_EQ(RecordedViewRequests().scrollOrigins.size(), k.left == k.window.left ? 0u : 1u);
    }
}

// The text tool's double click arrives after a press and release that found nothing:
// it is still the text tool's on this sketch, so it makes a caption and edits it.
TEST_F(CaptionEditing, TheTextToolsDoubleClickOnEmptySpaceMakesACaption) {
    ASSERT_TRUE(SetCurrentTool(kToolText));
    const ScreenPoint at{ 120, 64 };
    SketchMouseDown(0, at);
    SketchMouseUp(0, at);
    EXPECT_EQ(sketch->firstObject, nullptr);  // a single click makes nothing
    SketchDoubleClick(0, at);
    SketchObject* made = EditedObject();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->objectKind, kKindCaption);
    EXPECT_EQ(made->bounds.left, 120);
    SketchMouseUp(0, at);
    EndCaptionEditing();
    SetCurrentTool(kToolTranslateArrow);
}

namespace {

// The size commands pass an empty size with a step: each selected caption moves one rung
// of the size ladder from its own size, its text with it, and the other fields apply too.
TEST_F(CaptionEditing, SizeStepsMoveEachSelectedCaptionFromItsOwnSize) {
    SketchObject* a = Caption("<T'ab'>");
    SketchObject* b = Caption("<T'cd'>");
    a->textStyle.field[kStyleSize] = 12;
    b->textStyle.field[kStyleSize] = 11;
    SelectSketchObject(a);
    SelectSketchObject(b);
    struct Case { int32_t step; int16_t a, b; };
    const Case cases[] = { { 1, 14, 12 }, { 1, 18, 14 }, { -1, 14, 12 }, { 0, 14, 12 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        TextStyle style{};
        style.field[kStyleWeight] = 2;
        ApplyTextStyle(style, c.step, true);
        EXPECT_EQ(a->textStyle.field[kStyleSize], c.a);
        EXPECT_EQ(b->textStyle.field[kStyleSize], c.b);
        EXPECT_EQ(CaptionDataOf(a)->style.field[kStyleSize], c.a);
        EXPECT_EQ(CaptionDataOf(b)->style.field[kStyleWeight], 2);
    }
}

// Ending an edit hides the notation bar; whether the user wants it stays for the next edit.
TEST_F(CaptionEditing, EndingAnEditHidesTheNotationBar) {
    SketchObject* c = Caption("<T'ab'>");
    RecordedDocumentServices().notationBarShown = true;
    RecordedDocumentServices().notationBarWanted = true;
    ASSERT_EQ(BeginCaptionEditing(c, false), kResultOK);
    EndCaptionEditing();
    EXPECT_FALSE(RecordedDocumentServices().notationBarShown);
    EXPECT_TRUE(RecordedDocumentServices().notationBarWanted);
    RecordedDocumentServices().notationBarWanted = false;
}

}  // namespace
