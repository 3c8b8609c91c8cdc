#include "engine/interact/paste.h"

#include <vector>

#include "engine/core/action_button_data.h"
#include "engine/core/copy_map.h"
#include "engine/core/points.h"
#include "engine/core/services/document_io.h"
#include "engine/core/sketch_fixture.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/seed_files.h"
#include "engine/docio/stream_bytes.h"

namespace {

// The clipboard holds two points and the segment between them, copied from the
// rectangle (10, 20)-(50, 60); the target page shows (0, 0)-(400, 300).
class PasteTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ASSERT_TRUE(InitStreamTable());
        Sketch* source = CreateSketch(0, nullptr);
        ASSERT_NE(source, nullptr);
        SetCurrentSketch(source, nullptr);
        // The free objects of a copy are its givens.
        SketchObject* a = PointAt(10, 20);
        SketchObject* b = PointAt(50, 60);
        Build(kTypeSegment, { a, b });
        ASSERT_TRUE(PtrListAppend(&source->givenList, a));
        ASSERT_TRUE(PtrListAppend(&source->givenList, b));
        StreamHandle h;
        ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
        ASSERT_EQ(WriteSketch(h, source, false, false), kResultOK);
        ASSERT_EQ(CloseStream(h), kResultOK);
        clip = TakeStreamVector(h);
        SaveFuzzSeed("paste_fuzz", "segment", clip);
        FreeSketch(source);
        SetCurrentSketch(sketch, nullptr);
        sketch->windowRect = { 0, 0, 400, 300 };
    }

    ResultCode Paste() { return PasteSketchData(clip.data(), uint32_t(clip.size()), &copied); }

    // The position of the first point of the last paste (the first point in sketch
    // order among the selected copies).
    RealPoint FirstPastedPoint() const {
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
            if (o->objectClass == kClassPoint && IsSelected(o)) return PointPosition(o);
        return { -1, -1 };
    }

    std::vector<uint8_t> clip;
    const ScreenRect copied = { 10, 20, 50, 60 };
};

}  // namespace

// Into the page copied from: 20 more units right and down with each paste. Into another
// page: centred in its window, then 20 further; scrolling centres again.
TEST_F(PasteTest, PastesStepFromTheOriginalsOrFromTheCentre) {
    struct Step { bool copiedHere; ScreenRect window; double x, y; };
    const Step sequences[][3] = {
        { { true, { 0, 0, 400, 300 }, 30, 40 }, { true, { 0, 0, 400, 300 }, 50, 60 }, { true, { 0, 0, 400, 300 }, 70, 80 } },
        { { false, { 0, 0, 400, 300 }, 180, 130 }, { false, { 0, 0, 400, 300 }, 200, 150 },
          { false, { 200, 0, 600, 300 }, 380, 130 } },
    };
    for (const auto& steps : sequences) {
        NotePasteSource(nullptr, steps[0].copiedHere ? sketch : nullptr);
        if (!steps[0].copiedHere) {
            sketch->pasteCounter = 0;
            sketch->pasteWindowKey = PageWindowPositionKey(sketch);
        }
        for (const Step& s : steps) {
            sketch->windowRect = s.window;
            ASSERT_EQ(Paste(), kResultOK);
            EXPECT_EQ(FirstPastedPoint().x, s.x);
            EXPECT_EQ(FirstPastedPoint().y, s.y);
        }
    }
}

// One step: the copies are selected, undo takes them all away and redo brings them back.
TEST_F(PasteTest, APasteIsOneUndoableStep) {
    ASSERT_EQ(Paste(), kResultOK);
    EXPECT_EQ(SketchOrder().size(), 3u);
    int32_t selected = 0;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) ++selected;
    EXPECT_EQ(selected, 3);
    EXPECT_EQ(UndoDepth(), 1);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_TRUE(SketchOrder().empty());
    ASSERT_EQ(UndoReplay(0), kResultOK);
    EXPECT_EQ(SketchOrder().size(), 3u);
}

// A paste that runs out of memory anywhere leaves the sketch as it was: no copies, no
// undo step, the paste offset unchanged.
TEST_F(PasteTest, OutOfMemoryTakesEveryCopyBack) {
    SketchObject* existing = PointAt(5, 5);
    bool succeeded = false;
    for (uint32_t n = 1; n < 400 && !succeeded; ++n) {
        SetAllocFailureAfter(n);
        const ResultCode rc = Paste();
        SetAllocFailureAfter(0);
        if (rc == kResultOK) {
            succeeded = true;
            break;
        }
        SCOPED_TRACE(n);
        EXPECT_EQ(SketchOrder(), std::vector<SketchObject*>{ existing });
        EXPECT_EQ(UndoDepth(), 0);
        EXPECT_EQ(sketch->pasteCounter, 0);
    }
    EXPECT_TRUE(succeeded);
}

TEST_F(PasteTest, DamagedBytesAreRefused) {
    clip.resize(clip.size() / 2);
    EXPECT_NE(Paste(), kResultOK);
    EXPECT_TRUE(SketchOrder().empty());
    EXPECT_EQ(UndoDepth(), 0);
}

// Calculations and measurements take an init record of their own kind: a copy is made
// empty and its class record read into it (a stored record handed to their init read
// past it). A (damaged) clip holding a calculation is refused cleanly, leaving the page.
TEST_F(PasteTest, CalculationsAreClonedThroughTheirClassRecord) {
    clip = {
        0x24, 0x00, 0x00, 0x00, 0xEA, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00,
        0xD0, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x32, 0x00, 0x01, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x99, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x24, 0x40, 0x00, 0x00, 0x00, 0x61, 0x50, 0x00, 0x13, 0x72, 0x00, 0x00, 0x00, 0x00,
        0xD7, 0x07, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0xD0, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x01, 0x00, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00,
        0x99, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x49, 0x40, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x4E, 0x40, 0x00, 0x00, 0x00, 0x00, 0xD7, 0x07, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00,
        0xD0, 0x07, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x28, 0x00, 0x0E, 0x00, 0x01, 0x00,
        0x00, 0x00, 0x80, 0x00, 0x0C, 0x00, 0x00, 0x00, 0xD2, 0x07, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
        0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD7, 0x07, 0x00, 0x00,
        0x0C, 0x00, 0x00, 0x00, 0xB4, 0x04, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
        0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xEB, 0x03, 0x00, 0x00,
    };
    if (Paste() != kResultOK) {
        EXPECT_TRUE(SketchOrder().empty());
        EXPECT_EQ(UndoDepth(), 0);
    }
}

namespace {

// A pasted button (whose class record a table's finishing step once took for a grid)
// comes with its target, moved as far as the paste moves the point.
TEST_F(PasteTest, APastedButtonMovesWithThePaste) {
    Sketch* source = CreateSketch(0, nullptr);
    ASSERT_NE(source, nullptr);
    SetCurrentSketch(source, nullptr);
    SketchObject* a = PointAt(10, 20);
    ActionButtonInit init{ kButtonHide, 0, 7, 0, 300, 250, nullptr };
    SketchObject* hide = ConstructObject(kTypeActionButton, &init, List({ a }), 0, true, false, nullptr);
    ASSERT_NE(hide, nullptr);
    ASSERT_TRUE(PtrListAppend(&source->givenList, a));
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    ASSERT_EQ(WriteSketch(h, source, false, false), kResultOK);
    ASSERT_EQ(CloseStream(h), kResultOK);
    clip = TakeStreamVector(h);
    FreeSketch(source);
    SetCurrentSketch(sketch, nullptr);
    ASSERT_EQ(Paste(), kResultOK);
    const SketchObject* pasted = nullptr;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
        if (o->objectClass == kClassActionButton) pasted = o;
    ASSERT_NE(pasted, nullptr);
    const RealPoint p = FirstPastedPoint();
    EXPECT_EQ(pasted->bounds.left - 300, p.x - 10);
    EXPECT_EQ(pasted->bounds.top - 250, p.y - 20);
    EXPECT_GT(pasted->bounds.right, pasted->bounds.left);
    EXPECT_EQ(ActionButtonOf(pasted)->buttonType, kButtonHide);
}

}  // namespace
