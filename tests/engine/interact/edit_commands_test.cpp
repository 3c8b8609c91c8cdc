#include "engine/interact/edit_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/clipboard_availability.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/memory.h"
#include "engine/core/picture_objects.h"
#include "engine/core/points.h"
#include "engine/core/services/clipboard.h"
#include "engine/core/services/clock.h"
#include "engine/core/sketch_fixture.h"
#include "engine/docio/streams.h"
#include "engine/interact/caption_editing.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/custom_tools.h"
#include "engine/interact/menu_state_queries.h"
#include "engine/interact/menu_texts.h"
#include "engine/interact/motion.h"
#include "engine/interact/paste.h"
#include "engine/interact/picture_commands.h"
#include "engine/interact/undo.h"
#include "engine/text/captions.h"
#include "engine/text/layout_edit_session.h"
#include "tests/engine/text/layout_test_util.h"
#include "tests/support/alerts_double.h"
#include "tests/support/caption_edit_port_double.h"
#include "tests/support/clipboard_double.h"
#include "tests/support/clock_double.h"
#include "tests/support/color_picker_double.h"
#include "tests/support/dim_level_double.h"
#include "tests/support/shell_double.h"
#include "tests/support/views_double.h"

namespace {

using namespace menu_text;

class EditCommands : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ASSERT_TRUE(InitStreamTable());
        gEngine.frontSketch = sketch;
        ActivityWord() = 0;
        sketch->windowRect = { 0, 0, 400, 300 };
        ResetTestClipboard();
        ResetAlertDoubles();
        ResetCaptionEditPort();
        ResetTextPort();
        UpdateClipboardAvailability(false, false, false, false);
    }
    void TearDown() override {
        if (sketch->editSession) EndCaptionEditing();
        gEngine.frontSketch = nullptr;
        ActivityWord() = 0;
        SetRedrawFlushCallback(nullptr);
        ResetTestClipboard();
        SketchTest::TearDown();
    }

    int32_t ObjectCount() const {
        int32_t n = 0;
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) ++n;
        return n;
    }
    // Points of the sketch in sketch order.
    std::vector<RealPoint> Points() const {
        std::vector<RealPoint> out;
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
            if (o->objectClass == kClassPoint) out.push_back(PointPosition(o));
        return out;
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
    SketchObject* Picture() {
        SketchObject* anchors[2] = {};
        uint16_t flags = 0;
        SketchObject* p = BuildPastedPicture(0, anchors, &flags);
        EXPECT_NE(p, nullptr);
        if (p) p->bounds = { 30, 30, 90, 70 };
        return p;
    }
    struct Segment {
        SketchObject *a, *b, *ab;
    };
    Segment MakeSegment() {
        SketchObject* a = PointAt(10, 20);
        SketchObject* b = PointAt(50, 60);
        return { a, b, Build(kTypeSegment, { a, b }) };
    }
    struct RowState {
        uint16_t text, variant, executor;
        int32_t argument;
        bool enabled;
    };
    static RowState PasteState() {
        RowState r{};
        r.enabled = PasteMenuState(99, 0, &r.text, &r.variant, &r.executor, &r.argument);
        return r;
    }
};

// Copy of a segment with its endpoints: the clipboard gets the objects behind an 8-byte
// header holding the selection's rectangle, and a picture of the selection rectangle
// grown by 10. Pastes into the page copied from land 20, then 40 units off, one undo
// step each.
TEST_F(EditCommands, CopyAndPasteIntoThePageCopiedFrom) {
    const Segment s = MakeSegment();
    SelectSketchObject(s.a);
    SelectSketchObject(s.b);
    SelectSketchObject(s.ab);
    ASSERT_EQ(CopyCommand(0), kResultOK);
    const ClipboardStore& clip = TestClipboard();
    ASSERT_GT(clip.objectBlock.size(), 12u);
    uint32_t headerBytes = 0;
    std::memcpy(&headerBytes, clip.objectBlock.data(), 4);
    EXPECT_EQ(headerBytes, kSketchDataHeaderBytes);
    ScreenRect header{};
    std::memcpy(&header, clip.objectBlock.data() + 4, 8);
    ScreenRect extent{};
    GetSelectionExtent(&extent, false, false);
    EXPECT_EQ(std::memcmp(&header, &extent, 8), 0);
    EXPECT_TRUE(clip.renderedPicture);
    EXPECT_EQ(clip.renderedRect.left, 0);  // clipped to the window
    EXPECT_EQ(clip.renderedRect.top, extent.top - 10);
    EXPECT_EQ(clip.renderedRect.bottom, extent.bottom + 10);
    EXPECT_EQ(sketch->pasteCounter, -1);
    EXPECT_EQ(ObjectCount(), 3);  // copying changes nothing

    const RowState state = PasteState();
    EXPECT_TRUE(state.enabled);
    EXPECT_EQ(state.text, kTextPaste);
    ASSERT_EQ(PasteCommand(0), kResultOK);
    ASSERT_EQ(PasteCommand(0), kResultOK);
    const std::vector<RealPoint> points = Points();
    // The givens come most recently selected first: b, then a.
    ASSERT_EQ(points.size(), 6u);
    const double expected[4][2] = { { 70, 80 }, { 30, 40 }, { 90, 100 }, { 50, 60 } };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(points[size_t(i) + 2].x, expected[i][0]);
        EXPECT_EQ(points[size_t(i) + 2].y, expected[i][1]);
    }
    ASSERT_EQ(UndoRedoCommand(0), kResultOK);
    EXPECT_EQ(ObjectCount(), 6);
    ASSERT_EQ(UndoRedoCommand(0), kResultOK);
    EXPECT_EQ(ObjectCount(), 3);
}

// A segment copied without its endpoints takes them along as free givens; a midpoint
// copied alone is a free point; a point that does not exist follows its parent.
TEST_F(EditCommands, CopyTakesAlongWhatTheSelectionNeeds) {
    const Segment s = MakeSegment();
    SketchObject* mid = Build(kTypeMidpoint, { s.ab });
    ASSERT_NE(mid, nullptr);

    SelectSketchObject(s.ab);
    ASSERT_EQ(CopyCommand(0), kResultOK);
    DeselectAll();
    ASSERT_EQ(PasteCommand(0), kResultOK);
    EXPECT_EQ(ObjectCount(), 4 + 3);
    int32_t freePoints = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
        if (IsSelected(o) && o->objectClass == kClassPoint && o->constructionType == kTypeFree) ++freePoints;
    EXPECT_EQ(freePoints, 2);

    DeselectAll();
    SelectSketchObject(mid);
    ASSERT_EQ(CopyCommand(0), kResultOK);
    DeselectAll();
    ASSERT_EQ(PasteCommand(0), kResultOK);
    ASSERT_NE(sketch->selectionHead, nullptr);
    EXPECT_EQ(sketch->selectionHead->nextSelected, nullptr);
    EXPECT_EQ(sketch->selectionHead->constructionType, kTypeFree);
}

// Copy takes along the dependants that do not exist (a paste could not rebuild them),
// Cut every dependant (it deletes them too).
TEST_F(EditCommands, CopyAndCutExtendTheSelectionByDependants) {
    const Segment s = MakeSegment();
    SketchObject* mid = Build(kTypeMidpoint, { s.ab });
    s.ab->exists = 0;  // a segment whose endpoints coincide, say
    SelectSketchObject(s.a);
    CustomToolPayload copy{ false, nullptr, 0, {} };
    ASSERT_EQ(MakeCustomTool(&copy), kResultOK);
    FreeMemory(copy.bytes);
    EXPECT_TRUE(IsSelected(s.ab));
    EXPECT_FALSE(IsSelected(mid));  // it exists
    EXPECT_FALSE(IsSelected(s.b));
    DeselectAll();
    s.ab->exists = 1;
    SelectSketchObject(s.a);
    CustomToolPayload cut{ true, nullptr, 0, {} };
    ASSERT_EQ(MakeCustomTool(&cut), kResultOK);
    FreeMemory(cut.bytes);
    EXPECT_TRUE(IsSelected(s.ab));
    EXPECT_TRUE(IsSelected(mid));
    EXPECT_FALSE(IsSelected(s.b));
    DeselectAll();
    SelectSketchObject(s.a);
    CustomToolPayload plain{ false, nullptr, 0, {} };
    ASSERT_EQ(MakeCustomTool(&plain), kResultOK);
    FreeMemory(plain.bytes);
    EXPECT_FALSE(IsSelected(s.ab));
    EXPECT_FALSE(IsSelected(mid));
}

// Cut deletes the selection and its dependants, but only once the objects are on the
// clipboard: a clipboard held by another program, or a payload that could not be made
// for lack of memory, deletes nothing.
TEST_F(EditCommands, CutDeletesOnlyWhatReachedTheClipboard) {
    struct Case { const char* name; bool busy; int32_t failAlloc; int32_t left; };
    const Case cases[] = {
        { "clipboard free", false, 0, 1 },  // b is not a dependant of a
        { "clipboard busy", true, 0, 3 },
        { "no memory", false, 1, 3 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetTestClipboard();
        ResetAlertDoubles();
        TestClipboard().busy = c.busy;
        Sketch* page = CreateSketch(0, nullptr);
        ASSERT_NE(page, nullptr);
        SetCurrentSketch(page, nullptr);
        gEngine.frontSketch = page;
        page->windowRect = { 0, 0, 400, 300 };
        const Segment s = MakeSegment();
        SelectSketchObject(s.a);
        SetAllocFailureAfter(c.failAlloc);
        const ResultCode rc = CutCommand(0);
        SetAllocFailureAfter(0);
        EXPECT_EQ(rc, c.failAlloc ? kResultOutOfMemory : kResultOK);
        int32_t left = 0;
        for (SketchObject* o = page->firstObject; o; o = o->nextInSketch) ++left;
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(ShownAlerts().size(), c.failAlloc ? 1u : 0u);
        SetCurrentSketch(sketch, nullptr);
        gEngine.frontSketch = sketch;
        FreeSketch(page);
    }
}

// A lone picture goes alone: its own image, no objects and no rendered picture; a
// picture selected with other objects is copied as an object like them.
TEST_F(EditCommands, ALonePictureGoesAlone) {
    SketchObject* picture = Picture();
    SelectSketchObject(picture);
    ASSERT_EQ(CopyCommand(0), kResultOK);
    EXPECT_EQ(TestClipboard().picture, picture);
    EXPECT_FALSE(TestClipboard().renderedPicture);
    EXPECT_TRUE(TestClipboard().objectBlock.empty());
    EXPECT_EQ(sketch->pasteCounter, -1);

    SelectSketchObject(PointAt(5, 5));
    ASSERT_EQ(CopyCommand(0), kResultOK);
    EXPECT_EQ(TestClipboard().picture, nullptr);
    EXPECT_TRUE(TestClipboard().renderedPicture);
    EXPECT_FALSE(TestClipboard().objectBlock.empty());
}

// The Paste item: its text and state from the front sketch and the clipboard formats.
TEST_F(EditCommands, PasteItemTexts) {
    SketchObject* c = Caption("<T'ab'>");
    struct Case { bool front, editing, objects, plain, layout, picture; uint16_t text; bool enabled; };
    const Case cases[] = {
        { false, false, true,  true,  true,  true,  kTextPaste,        false },
        { true,  false, true,  false, false, true,  kTextPaste,        true },
        { true,  false, false, false, false, true,  kTextPastePicture, true },
        { true,  false, false, true,  true,  false, kTextPaste,        false },
        { true,  true,  true,  false, false, true,  kTextPaste,        false },
        { true,  true,  false, true,  false, false, kTextPasteText,    true },
        { true,  true,  false, false, true,  false, kTextPasteText,    true },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(&k - cases);
        if (k.editing && !sketch->editSession) {
            ASSERT_EQ(BeginCaptionEditing(c, false), kResultOK);
        }
        if (!k.editing && sketch->editSession) EndCaptionEditing();
        gEngine.frontSketch = k.front ? sketch : nullptr;
        UpdateClipboardAvailability(k.objects, k.plain, k.layout, k.picture);
        const RowState r = PasteState();
        EXPECT_EQ(r.text, k.text);
        EXPECT_EQ(r.enabled, k.enabled);
        EXPECT_EQ(r.executor, 54);
    }
    gEngine.frontSketch = sketch;
}

// In a caption being edited Paste takes the formatted text when there is one, else the
// plain text; a read that fails beeps and that format counts as gone.
TEST_F(EditCommands, PasteIntoACaptionBeingEdited) {
    SketchObject* c = Caption("<T'ab'>");
    ASSERT_EQ(BeginCaptionEditing(c, false), kResultOK);
    ClipboardStore& clip = TestClipboard();
    clip.hasText = true;
    clip.text = "xy";
    UpdateClipboardAvailability(false, true, false, false);
    ASSERT_EQ(PasteCommand(0), kResultOK);
    EXPECT_EQ(WriteLayout(sketch->editSession->tree), "<T4xxyab>");

    clip.hasLayoutText = true;
    clip.layoutText = "<T'Q'>";
    UpdateClipboardAvailability(false, true, true, false);
    ASSERT_EQ(PasteCommand(0), kResultOK);
    EXPECT_EQ(WriteLayout(sketch->editSession->tree), "<T5xxyQab>");

    clip.readFails = true;
    const int32_t beeps = RefusalBeepCount();
    ASSERT_EQ(PasteCommand(0), kResultOK);
    EXPECT_EQ(RefusalBeepCount(), beeps + 1);
    EXPECT_EQ(CurrentClipboardAvailability().formattedText, 0);
    EXPECT_EQ(CurrentClipboardAvailability().plainText, 1);
    EXPECT_EQ(WriteLayout(sketch->editSession->tree), "<T5xxyQab>");
}

// Copy while editing puts the editor's selection as both texts; Cut takes it out.
TEST_F(EditCommands, CopyAndCutInACaptionBeingEdited) {
    SketchObject* c = Caption("<T'ab'>");
    ASSERT_EQ(BeginCaptionEditing(c, false), kResultOK);
    ASSERT_EQ(CopyCommand(0), kResultOK);
    EXPECT_EQ(TestClipboard().puts, 0);  // nothing selected in the editor
    SelectAllEditorText();
    ASSERT_EQ(CopyCommand(0), kResultOK);
    EXPECT_EQ(TestClipboard().text, "ab");
    EXPECT_TRUE(TestClipboard().hasLayoutText);
    EXPECT_EQ(WriteLayout(sketch->editSession->tree), "<T2xab>");
    ASSERT_EQ(CutCommand(0), kResultOK);
    EXPECT_EQ(TestClipboard().puts, 2);
    EXPECT_EQ(TestClipboard().text, "ab");
    EXPECT_NE(WriteLayout(sketch->editSession->tree), "<T2xab>");
}

// A payload framed with another header length pastes nothing.
TEST_F(EditCommands, AnotherHeaderLengthPastesNothing) {
    const Segment s = MakeSegment();
    SelectSketchObject(s.ab);
    ASSERT_EQ(CopyCommand(0), kResultOK);
    std::vector<uint8_t>& block = TestClipboard().objectBlock;
    const uint32_t twelve = 12;
    std::memcpy(block.data(), &twelve, 4);
    ASSERT_EQ(PasteCommand(0), kResultOK);
    EXPECT_EQ(ObjectCount(), 3);
    EXPECT_TRUE(ShownAlerts().empty());
}

TEST(PageWindowPositionKey, ByHundredsFromFifty) {
    struct Case { int16_t x, y; int32_t key; };
    const Case cases[] = {
        { 150, 250, 3 }, { 0, 0, 0 }, { 149, 49, 0 }, { 150, 49, 1 }, { -100, 0, -1 }, { 50, 1050, 10 }, { 32000, 0, 319 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        Sketch s{};
        s.windowRect = { c.x, c.y, int16_t(c.x + 10), int16_t(c.y + 10) };
        EXPECT_EQ(PageWindowPositionKey(&s), c.key);
    }
}

// The fade steps the dim level a level at a time in the given direction, leaves the
// chain and marks as they were and the level at 0. A redraw slower than the step makes
// the steps grow, so that a slow fade still ends soon.
TEST_F(EditCommands, FadeStepsTheDimLevel) {
    SketchObject* a = PointAt(1, 1);
    SketchObject* b = PointAt(2, 2);
    a->tempLink = b;
    b->tempLink = nullptr;
    struct Case { int32_t mode; int32_t first, last; size_t steps; };
    const Case cases[] = {
        { kFlashDisappear, 1, 20, 20 }, { kFlashFromHalfOut, 10, 20, 11 },
        { kFlashFromHalfIn, 10, 1, 10 }, { kFlashAppear, 20, 1, 20 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        RecordedDimLevels().clear();
        const uint32_t start = TickCount();
        FlashObjects(a, c.mode, false);
        std::vector<int32_t> levels = RecordedDimLevels();
        ASSERT_EQ(levels.size(), c.steps + 1);
        EXPECT_EQ(levels.front(), c.first);
        EXPECT_EQ(levels[c.steps - 1], c.last);
        EXPECT_EQ(levels.back(), 0);
        EXPECT_EQ(TickCount() - start, 25 * c.steps);
        EXPECT_EQ(a->tempLink, b);
        EXPECT_EQ(b->tempLink, nullptr);
        EXPECT_EQ(a->markFlags & 0x08, 0u);
    }
    // Each redraw takes 40 ms: the steps grow 1, 2, 3, ... (levels 1, 3, 6, 10, 15).
    SetRedrawFlushCallback([](int32_t) { AdvanceTestTickCount(40); });
    RecordedDimLevels().clear();
    FlashObjects(a, kFlashDisappear, true);
    EXPECT_EQ(RecordedDimLevels(), (std::vector<int32_t>{ 1, 3, 6, 10, 15, 0 }));
    // A redraw that is slow once: the step grows, then comes back to one level.
    static int32_t slowOnce;
    slowOnce = 1;
    SetRedrawFlushCallback([](int32_t) {
        if (slowOnce-- > 0) AdvanceTestTickCount(40);
    });
    RecordedDimLevels().clear();
    FlashObjects(a, kFlashAppear, false);
    const std::vector<int32_t>& levels = RecordedDimLevels();
    ASSERT_GE(levels.size(), 3u);
    EXPECT_EQ(levels[0], 20);
    EXPECT_EQ(levels[1], 18);
    EXPECT_EQ(levels[2], 17);
}

// Colouring: every selected object, captions in their text too; the class's default
// slot follows unless Shift keeps the defaults or the sketch does not apply colours.
TEST_F(EditCommands, ColouringTheSelection) {
    SketchObject* p = PointAt(1, 1);
    SketchObject* c = Caption("<T'ab'>");
    struct Case { bool keep; int32_t autoUpdate; bool slotFollows; };
    const Case cases[] = { { false, 1, true }, { true, 1, false }, { false, 0, false } };
    uint32_t color = 0x102030;
    for (const Case& k : cases) {
        SCOPED_TRACE(&k - cases);
        DeselectAll();
        SelectSketchObject(p);
        SelectSketchObject(c);
        sketch->settings.autoUpdateColors = k.autoUpdate;
        const uint32_t before = sketch->settings.palette[ObjectClassTable[kClassPoint].colorSlot];
        ++color;
        ColorSelectedObjects(color, k.keep);
        EXPECT_EQ(p->color, color);
        EXPECT_EQ(c->color, color);
        EXPECT_NE(WriteLayout(CaptionDataOf(c)->layout).find("<T'ab'>"), 0u);  // styled now
        EXPECT_EQ(sketch->settings.palette[ObjectClassTable[kClassPoint].colorSlot], k.slotFollows ? color : before);
    }
}

// Other colour starts from the most recent selection's colour; the chosen colour paints
// the selection, and without Shift becomes the default of new points.
TEST_F(EditCommands, OtherColour) {
    SketchObject* p = PointAt(1, 1);
    p->color = 0x0000FF;
    SelectSketchObject(p);
    sketch->settings.autoUpdateColors = 1;
    TestColorPicker() = ColorPickerScript{ true, 0x00FF00, 0, 0 };
    ASSERT_EQ(OtherColorCommand(0), kResultOK);
    EXPECT_EQ(TestColorPicker().openedWith, 0x0000FFu);
    EXPECT_EQ(p->color, 0x00FF00u);
    EXPECT_EQ(sketch->settings.palette[ObjectClassTable[kClassPoint].colorSlot], 0x00FF00u);
    TestColorPicker() = ColorPickerScript{ false, 0x123456, 0, 0 };
    ASSERT_EQ(OtherColorCommand(1), kResultOK);
    EXPECT_EQ(p->color, 0x00FF00u);
}

TEST(CopyPointerArray, CopiesOrAnswersNull) {
    int x = 0, y = 0;
    void* items[2] = { &x, &y };
    const PointerArray source{ 2, items };
    PointerArray* copy = CopyPointerArray(&source);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->count, 2);
    EXPECT_EQ(copy->items[1], &y);
    FreeMemory(copy);
    EXPECT_EQ(CopyPointerArray(nullptr), nullptr);
    SetAllocFailureAfter(1);
    EXPECT_EQ(CopyPointerArray(&source), nullptr);
    SetAllocFailureAfter(0);
}

}  // namespace
