// A caption's wrap width as the user sets it: the handle of a selected caption (hit before
// the body, never below 10, fitted on release, one undo step of its own type), and the
// handle of the caption being edited. Each revised behaviour is checked with figlate's
// forms installed and with the shared ones.
#include "release2/text/caption_width.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/later_release.h"
#include "engine/core/sketch_fixture.h"
#include "engine/interact/caption_editing.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/motion.h"
#include "engine/interact/mouse.h"
#include "engine/interact/undo.h"
#include "engine/text/captions.h"
#include "engine/text/layout_edit_session.h"
#include "release2/text/layout_forms.h"
#include "release2/text/wrap_width.h"
#include "tests/engine/text/layout_test_util.h"
#include "tests/support/caption_edit_port_double.h"
#include "tests/support/clock_double.h"
#include "tests/support/views_double.h"

namespace {

int gPointerWaits = 0;
void CountPointerWait() { ++gPointerWaits; }

constexpr const char* kLongText = "<T'one two three four five six seven eight'>";

class CaptionWidth : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        gEngine.frontSketch = sketch;
        ResetMouseState();
        SetCurrentTool(kToolTranslateArrow);
        SetTestTickCount(1000);
        ResetCaptionEditPort();
        Install(true);
    }
    void TearDown() override {
        if (sketch->editSession) EndCaptionEditing();
        ResetMouseState();
        gEngine.frontSketch = nullptr;
        ActivityWord() = 0;
        // The history is freed with the forms still in: they free what width steps hold.
        SketchTest::TearDown();
        ResetLaterForms();
    }
    static void Install(bool later) {
        ResetLaterForms();
        if (!later) return;
        LaterReleaseForms forms{};
        AddLayoutForms(&forms);
        AddCaptionForms(&forms);
        forms.caption.waitForPointer = CountPointerWait;
        InstallLaterForms(forms);
    }

    SketchObject* Caption(const char* text, int32_t x = 40, int32_t y = 50) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
        SketchObject* c = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(c, nullptr);
        CaptionInit init{ ParseLayout(text).release(), c->textStyle, x, y };
        EXPECT_TRUE(SetObjectTextLayout(c, &init));
        UpdateCaptionBounds(c);
        c->exists = 1;
        c->selectable = 1;
        return c;
    }
    static ScreenPoint At(int32_t x, int32_t y) { return { static_cast<int16_t>(x), static_cast<int16_t>(y) }; }
    // A point inside the handle: one pixel in from the box's bottom-right corner.
    static ScreenPoint HandleOf(const SketchObject* c) { return At(c->bounds.right - 2, c->bounds.bottom - 2); }
    static int32_t Margin() { return DrawingMetrics.intMetricsB[kMetricCaptionMarginX]; }
    static int32_t WidthOf(SketchObject* c) { return GetLayoutWrapWidth(CaptionDataOf(c)->layout, nullptr); }
    static std::string Text(SketchObject* c) { return WriteLayout(CaptionDataOf(c)->layout); }
    static int32_t RowCount(SketchObject* c) {
        int32_t n = 0;
        if (LayoutNode* block = FindRowsNode(CaptionDataOf(c)->layout))
            for (LayoutNode* row = block->firstChild; row; row = row->nextSibling) ++n;
        return n;
    }
    int32_t UndoDepth() const {
        int32_t n = 0;
        for (UndoRecord* r = sketch->undoPosition; r; r = UndoRecordOlder(r)) ++n;
        return n;
    }
    // A whole drag of the handle with the mouse: press, moves, release.
    void Drag(ScreenPoint from, std::initializer_list<ScreenPoint> moves) {
        SketchMouseDown(0, from);
        ScreenPoint last = from;
        for (ScreenPoint p : moves) {
            AdvanceTestTickCount(20);
            SketchMouseHover(0, p, 0);
            last = p;
        }
        SketchMouseUp(0, last);
    }
};

TEST_F(CaptionWidth, OnlyASelectedShownFreeCaptionHasAHandleAtItsCorner) {
    SketchObject* c = Caption(kLongText);
    EXPECT_FALSE(HasCaptionWidthHandle(c));  // not selected
    SelectSketchObject(c);
    EXPECT_TRUE(HasCaptionWidthHandle(c));
    c->exists = 0;
    EXPECT_FALSE(HasCaptionWidthHandle(c));
    c->exists = 1;
    c->constructionType = kTypeMergedText;
    EXPECT_FALSE(HasCaptionWidthHandle(c));
    c->constructionType = kTypeFree;

    // The 6 by 6 square whose bottom-right corner is the box's (exclusive).
    const ScreenRect& b = c->bounds;
    struct Case { int32_t dx, dy; bool hit; };
    const Case cases[] = {
        { -1, -1, true }, { -6, -6, true }, { -7, -1, false }, { -1, -7, false }, { 0, -1, false }, { -1, 0, false },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.dx << "," << k.dy);
        EXPECT_EQ(HitCaptionWidthHandle(c, At(b.right + k.dx, b.bottom + k.dy)), k.hit);
    }
    const ScreenRect drawn = CaptionWidthHandleRect(c);
    EXPECT_EQ(drawn.right - drawn.left, 5);
    EXPECT_EQ(drawn.bottom - drawn.top, 5);
    EXPECT_EQ(drawn.right, b.right);
    EXPECT_EQ(drawn.bottom, b.bottom);
}

// The press on the handle begins the width drag before the body is hit; figmantle's shared
// form takes the same press as a press on the body.
TEST_F(CaptionWidth, TheHandleIsHitBeforeTheBodyInTheLaterReleaseOnly) {
    for (const bool later : { false, true }) {
        SCOPED_TRACE(later ? "figlate" : "figmantle");
        Install(later);
        SketchObject* c = Caption(kLongText);
        SelectSketchObject(c);
        const int32_t depth = UndoDepth();
        SketchMouseDown(0, HandleOf(c));
        EXPECT_EQ(GetMouseState(), later ? kMouseCaptionWidth : kMouseDragPending);
        EXPECT_EQ(UndoDepth() - depth, later ? 1 : 0);
        SketchMouseUp(0, HandleOf(c));
        EXPECT_EQ(GetMouseState(), kMouseIdle);
        // Elsewhere in the box it is a press on the body.
        SelectSketchObject(c);
        SketchMouseDown(0, At(c->bounds.left + 3, c->bounds.top + 3));
        EXPECT_EQ(GetMouseState(), kMouseDragPending);
        SketchMouseUp(0, At(c->bounds.left + 3, c->bounds.top + 3));
        DeselectAll();
    }
}

TEST_F(CaptionWidth, TheDragSetsThePointersWidthNeverBelowTenInOneUndoStep) {
    // Words of one letter: no row is wider than 10 pixels, so the text never makes the
    // width grow past what the handle sets.
    SketchObject* c = Caption("<T'a b c d e f g h i j k l m n o p'>");
    SelectSketchObject(c);
    const int32_t boxWidth = c->bounds.right - c->bounds.left;
    const ScreenPoint press = HandleOf(c);
    // Not wrapped: the width starts as the box's less both margins, so the grab offset is
    // where the press lies beyond it.
    const int32_t grab = press.x - c->bounds.left - (boxWidth - 2 * Margin());
    const int32_t depth = UndoDepth();

    SketchMouseDown(0, press);
    ASSERT_EQ(GetMouseState(), kMouseCaptionWidth);
    SketchMouseHover(0, At(press.x - 40, press.y), 0);
    EXPECT_EQ(WidthOf(c), press.x - 40 - c->bounds.left - grab);
    // The rows are broken to it at once, and the box follows them.
    EXPECT_GT(RowCount(c), 1);
    EXPECT_LE(c->bounds.right - c->bounds.left - 2 * Margin(), WidthOf(c));
    SketchMouseHover(0, At(c->bounds.left - 30, press.y), 0);  // far past the left edge
    EXPECT_EQ(WidthOf(c), kMinCaptionWrapWidth);
    SketchMouseUp(0, At(c->bounds.left - 30, press.y));
    EXPECT_EQ(GetMouseState(), kMouseIdle);
    EXPECT_FALSE(CaptionWidthDragging());

    // One step, of the width's own type (not the state exchange of drags and Animate).
    EXPECT_EQ(UndoDepth() - depth, 1);
    UndoEntry entry{};
    ASSERT_TRUE(UndoRecordEntry(sketch->undoPosition, 0, &entry));
    EXPECT_EQ(entry.type, kUndoEntryCaptionWidth);
    EXPECT_NE(entry.type, kUndoEntryAnimate);
    EXPECT_FALSE(UndoRecordEntry(sketch->undoPosition, 1, &entry));
    EXPECT_EQ(UndoRecordNameIndex(sketch->undoPosition), 15);  // "Edit Caption"
}

// The release fits the width to the rows as they are broken and moves the box so that the
// text keeps its alignment: by the whole change for right-aligned text, half of it for
// centred text, not at all for left-aligned text.
TEST_F(CaptionWidth, TheReleaseFitsTheWidthAndKeepsTheAlignment) {
    struct Case { const char* text; int32_t part; int32_t whole; };
    const Case cases[] = {
        { "<VL<T'one two three four five six seven'>>", 0, 1 },
        { "<VC<T'one two three four five six seven'>>", 1, 2 },
        { "<VR<T'one two three four five six seven'>>", 1, 1 },
    };
    int32_t y = 20;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        SketchObject* c = Caption(k.text, 40, y += 100);
        SelectSketchObject(c);
        const ScreenPoint press = HandleOf(c);
        SketchMouseDown(0, press);
        // A width that leaves room to spare beside the widest row it gives.
        SketchMouseHover(0, At(press.x - 37, press.y), 0);
        const int32_t dragged = WidthOf(c);
        const int32_t left = c->bounds.left;
        SketchMouseUp(0, At(press.x - 37, press.y));
        const int32_t fitted = WidthOf(c);
        EXPECT_LT(fitted, dragged);
        EXPECT_GT(RowCount(c), 1);
        EXPECT_EQ(c->bounds.left - left, (dragged - fitted) * k.part / k.whole);
        DeselectAll();
    }
}

// Undo and Redo give the text, its width and the box's place back exactly, as often as
// they alternate; a caption that was not wrapped is not wrapped again after Undo.
TEST_F(CaptionWidth, UndoAndRedoRestoreTheWidthExactly) {
    SketchObject* c = Caption(kLongText, 60, 70);
    SelectSketchObject(c);
    const std::string before = Text(c);
    const ScreenRect boxBefore = c->bounds;
    const int32_t widthBefore = WidthOf(c);
    const ScreenPoint press = HandleOf(c);
    Drag(press, { At(press.x - 50, press.y), At(press.x - 60, press.y) });
    const std::string after = Text(c);
    const ScreenRect boxAfter = c->bounds;
    const int32_t widthAfter = WidthOf(c);
    ASSERT_NE(widthAfter, widthBefore);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
        EXPECT_EQ(Text(c), before);
        EXPECT_EQ(WidthOf(c), widthBefore);
        EXPECT_EQ(c->bounds.left, boxBefore.left);
        EXPECT_EQ(c->bounds.top, boxBefore.top);
        EXPECT_EQ(c->bounds.right, boxBefore.right);
        EXPECT_TRUE(IsSelected(c));
        ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
        EXPECT_EQ(Text(c), after);
        EXPECT_EQ(WidthOf(c), widthAfter);
        EXPECT_EQ(c->bounds.left, boxAfter.left);
        EXPECT_EQ(c->bounds.right, boxAfter.right);
    }
}

// A width step replayed where the later release's forms are gone (figmantle's table) is
// passed over: nothing is read as the state exchange of a drag.
TEST_F(CaptionWidth, TheSharedTablePassesOverTheWidthEntry) {
    SketchObject* c = Caption(kLongText);
    SelectSketchObject(c);
    const ScreenPoint press = HandleOf(c);
    Drag(press, { At(press.x - 50, press.y) });
    const LayoutNode* tree = CaptionDataOf(c)->layout;
    const ScreenRect box = c->bounds;
    Install(false);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(CaptionDataOf(c)->layout, tree);
    EXPECT_EQ(c->bounds.left, box.left);
    EXPECT_EQ(c->bounds.right, box.right);
    // Freeing the history with the forms back frees the held tree (the leak check sees it).
    Install(true);
}

TEST_F(CaptionWidth, NoMemoryForTheStepLeavesTheCaptionAsItWas) {
    SketchObject* c = Caption(kLongText);
    SelectSketchObject(c);
    const std::string before = Text(c);
    const int32_t depth = UndoDepth();
    for (uint32_t n = 1; n <= 2; ++n) {
        SCOPED_TRACE(n);
        SetAllocFailureAfter(n);
        SketchMouseDown(0, HandleOf(c));
        SetAllocFailureAfter(0);
        if (GetMouseState() == kMouseCaptionWidth) {
            SketchMouseUp(0, HandleOf(c));
            continue;  // this allocation was not one the step needs
        }
        SketchMouseUp(0, HandleOf(c));
        EXPECT_EQ(UndoDepth(), depth);
        EXPECT_EQ(Text(c), before);
        SelectSketchObject(c);
    }
}

// The caption being edited: the frame is the text box grown by 5 and 3, its handle the 5 by
// 5 square at the frame's corner; dragging it sets the width from the pointer's movement
// while the button is down, and the frame follows the text.
TEST_F(CaptionWidth, TheEditFramesHandleFollowsThePointerWhileTheButtonIsDown) {
    SketchObject* c = Caption(kLongText);
    ASSERT_EQ(BeginCaptionEditing(c, false), kResultOK);
    LayoutEditSession* s = ActiveEditSession();
    ASSERT_NE(s, nullptr);
    const ScreenRect frame = CaptionEditFrame(s);
    EXPECT_EQ(frame.left, s->frame.left - 5);
    EXPECT_EQ(frame.right, s->frame.right + 5);
    EXPECT_EQ(frame.top, s->frame.top - 3);
    EXPECT_EQ(frame.bottom, s->frame.bottom + 3);
    bool onHandle = false;
    EXPECT_TRUE(HitCaptionEditFrame(s, At(frame.right - 1, frame.bottom - 1), &onHandle));
    EXPECT_TRUE(onHandle);
    EXPECT_TRUE(HitCaptionEditFrame(s, At(frame.right - 6, frame.bottom - 1), &onHandle));
    EXPECT_FALSE(onHandle);
    EXPECT_FALSE(HitCaptionEditFrame(s, At(frame.right, frame.bottom - 1), &onHandle));

    const int32_t textWidth = s->tree->width;
    const ScreenPoint press = At(frame.right - 2, frame.bottom - 2);
    SetPointerScript({ { true, At(press.x - 30, press.y), 10 },
                       { true, At(press.x - 45, press.y), 10 },
                       { false, At(press.x - 45, press.y), 10 } });
    gPointerWaits = 0;
    SketchMouseDown(0, press);
    EXPECT_EQ(GetLayoutWrapWidth(s->tree, nullptr), textWidth - 45);
    EXPECT_GE(gPointerWaits, 2);  // the loop waited for the mouse between its passes
    EXPECT_EQ(ActiveEditSession(), s);  // still editing
    EXPECT_EQ(s->frame.right, s->frame.left + s->tree->width + s->tree->overhang + 1);
    SketchMouseUp(0, press);

    // figmantle: the same press at the corner is the editor's (or ends the editing).
    Install(false);
    SetPointerScript({ { false, press, 10 } });
    const int32_t width = GetLayoutWrapWidth(s->tree, nullptr);
    SketchMouseDown(0, press);
    SketchMouseUp(0, press);
    if (LayoutEditSession* still = ActiveEditSession()) {
        EXPECT_EQ(GetLayoutWrapWidth(still->tree, nullptr), width);
    }
}

}  // namespace
