// Pictures: pasting with its anchors, the pinned and spanning updates, grips, the resize
// drag with its undo entry, and copying an image through the picture records.
#include "engine/interact/picture_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/picture_objects.h"
#include "engine/core/points.h"
#include "engine/core/sketch_fixture.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/undo.h"
#include "engine/text/object_text.h"
#include "support/pictures_double.h"

namespace {

class Pictures : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        SetClipboardPicture(MakeTestDib(40, 30));
    }
    void TearDown() override {
        EndPictureResize();
        SetClipboardPicture(GlobalBlock());
        SketchTest::TearDown();
        EXPECT_EQ(PictureHandlesLive(), 0);  // every image released with its object
    }

    // The picture the paste made.
    SketchObject* Paste() {
        std::vector<SketchObject*> before;
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) before.push_back(o);
        EXPECT_EQ(PastePicture(), 1);
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
            if (std::find(before.begin(), before.end(), o) == before.end()) return o;
        }
        ADD_FAILURE() << "no picture made";
        return nullptr;
    }
    static const PictureData& Data(const SketchObject* p) { return *PictureDataOf(p); }
    static void ExpectRect(const SketchObject* p, ScreenRect r) {
        EXPECT_EQ(p->bounds.left, r.left);
        EXPECT_EQ(p->bounds.top, r.top);
        EXPECT_EQ(p->bounds.right, r.right);
        EXPECT_EQ(p->bounds.bottom, r.bottom);
        EXPECT_EQ(Data(p).width, r.right - r.left);
        EXPECT_EQ(Data(p).height, r.bottom - r.top);
    }
    // A free selected picture with the given rectangle and natural size.
    SketchObject* FreePicture(ScreenRect r, int16_t naturalWidth, int16_t naturalHeight) {
        SketchObject* p = Paste();
        p->bounds = r;
        SyncPictureSize(p);
        PictureDataOf(p)->naturalWidth = naturalWidth;
        PictureDataOf(p)->naturalHeight = naturalHeight;
        DeselectAll();
        SelectSketchObject(p);
        return p;
    }
};

TEST_F(Pictures, PasteAnchorsFollowTheSelection) {
    SketchObject* a = PointAt(10.4, 20.6);
    SketchObject* b = PointAt(110, 70);
    SketchObject* c = PointAt(50, 50);
    SketchObject* segment = Build(kTypeSegment, { a, b });
    struct Case { std::vector<SketchObject*> selected; int32_t type; };
    const Case cases[] = {
        { { a }, kTypePictureAtPoint },
        { { a, b }, kTypePictureBetweenPoints },
        { { a, b, c }, kTypeFree },
        { { segment, a }, kTypeFree },  // a point and a segment
        { { segment }, kTypeFree },
        { {}, kTypeFree },
    };
    for (const Case& k : cases) {
        DeselectAll();
        for (SketchObject* o : k.selected) SelectSketchObject(o);
        ScreenPoint placed{};
        DefaultObjectPosition(&placed, kClassPicture);
        SketchObject* p = Paste();
        ASSERT_EQ(p->objectClass, kClassPicture);
        EXPECT_EQ(p->constructionType, k.type) << k.selected.size();
        EXPECT_NE(PictureDib(p), nullptr);
        EXPECT_EQ(sketch->selectionHead, p);  // the paste replaces the selection
        if (k.type == kTypePictureAtPoint) ExpectRect(p, { 10, 21, 50, 51 });
        if (k.type == kTypePictureBetweenPoints) ExpectRect(p, { 10, 21, 110, 70 });
        if (k.type == kTypeFree) ExpectRect(p, { placed.x, placed.y, int16_t(placed.x + 40), int16_t(placed.y + 30) });
        EXPECT_EQ(Data(p).naturalWidth, 40);
        EXPECT_EQ(Data(p).naturalHeight, 30);
    }
    // Undo takes the last paste back.
    SketchObject* last = sketch->selectionHead;
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_FALSE(IsLinkedIntoSketch(last));
}

TEST_F(Pictures, NothingOnTheClipboardOrNoMemoryMakesNothing) {
    SetClipboardPicture(GlobalBlock());
    SketchObject* before = sketch->lastObject;
    EXPECT_EQ(PastePicture(), 0);
    EXPECT_EQ(sketch->lastObject, before);
    // Out of memory at each step in turn: nothing is made and no image is kept, until
    // the paste goes through.
    SetClipboardPicture(MakeTestDib(8, 8));
    int32_t made = 0;
    for (uint32_t n = 1; n < 40 && !made; ++n) {
        SetAllocFailureAfter(n);
        made = PastePicture();
        SetAllocFailureAfter(0);
        if (!made) {
            EXPECT_EQ(sketch->lastObject, before) << n;
            EXPECT_EQ(PictureHandlesLive(), 0) << n;
        }
    }
    EXPECT_EQ(made, 1);
}

TEST_F(Pictures, PinnedAndSpanningUpdatesRoundAndClamp) {
    SketchObject* a = PointAt(40000, -12.5);
    SelectSketchObject(a);
    SketchObject* pinned = Paste();
    EXPECT_EQ(pinned->bounds.left, 30000);
    EXPECT_EQ(pinned->bounds.top, -12);
    EXPECT_GT(Data(pinned).width, 0);
    EXPECT_EQ(pinned->bounds.right - pinned->bounds.left, Data(pinned).width);  // no clamp at 30000
    EXPECT_EQ(pinned->bounds.bottom - pinned->bounds.top, Data(pinned).height);
    SketchObject* b = PointAt(100, 10);
    SketchObject* c = PointAt(100.3, 80);  // rounds to the same x
    DeselectAll();
    SelectSketchObject(b);
    SelectSketchObject(c);
    SketchObject* flat = Paste();
    EXPECT_EQ(flat->exists, 0);
    SetPointPosition(c, 150, 80, 1, nullptr, false);
    RecomputeSketch(false);
    EXPECT_EQ(flat->exists, 1);
    ExpectRect(flat, { 100, 10, 150, 80 });
}

TEST_F(Pictures, GripsByTypeOnlyWhenSelectedTopLeftWinning) {
    SketchObject* free = FreePicture({ 100, 100, 200, 160 }, 100, 60);
    ScreenRect g;
    ASSERT_TRUE(PictureTopLeftGrip(free, &g));
    EXPECT_EQ(g.left, 101);
    EXPECT_EQ(g.bottom, 104);
    ASSERT_TRUE(PictureBottomRightGrip(free, &g));
    EXPECT_EQ(g.left, 196);
    EXPECT_EQ(g.right, 199);
    EXPECT_TRUE(HitTestPictureGrip({ 198, 158 }, free));
    DeselectAll();
    EXPECT_FALSE(HitTestPictureGrip({ 198, 158 }, free));

    // 3 x 3: both grips clipped into it, overlapping; the top-left one wins.
    SketchObject* tiny = FreePicture({ 10, 10, 13, 13 }, 3, 3);
    ASSERT_TRUE(PictureTopLeftGrip(tiny, &g));
    EXPECT_EQ(g.left, 11);
    EXPECT_EQ(g.right, 13);
    ASSERT_TRUE(PictureBottomRightGrip(tiny, &g));
    EXPECT_EQ(g.left, 10);
    EXPECT_EQ(g.right, 12);
    int32_t grip = -1;
    ASSERT_TRUE(PictureGripAt(tiny, { 12, 12 }, &grip));
    EXPECT_EQ(grip, kGripTopLeft);

    SketchObject* a = PointAt(300, 300);
    SketchObject* b = PointAt(400, 350);
    DeselectAll();
    SelectSketchObject(a);
    SketchObject* pinned = Paste();
    EXPECT_FALSE(PictureTopLeftGrip(pinned, &g));
    EXPECT_TRUE(PictureBottomRightGrip(pinned, &g));
    DeselectAll();
    SelectSketchObject(a);
    SelectSketchObject(b);
    SketchObject* spanning = Paste();
    EXPECT_FALSE(PictureTopLeftGrip(spanning, &g));
    EXPECT_FALSE(PictureBottomRightGrip(spanning, &g));
}

TEST_F(Pictures, ResizeKeepsTwelvePixelsSnapsTheAspectAndUndoes) {
    SketchObject* p = FreePicture({ 100, 100, 200, 160 }, 100, 60);
    ASSERT_TRUE(BeginPictureResize(p, { 198, 158 }));  // grab offset (2, 2)
    DragPictureResize({ 0, 300 }, false);
    ExpectRect(p, { 100, 100, 112, 302 });  // left of the picture: 12 wide
    DragPictureResize({ 195, 0 }, true);    // 97 wide snaps to the natural 100
    ExpectRect(p, { 100, 100, 200, 160 });
    DragPictureResize({ 248, 0 }, true);
    ExpectRect(p, { 100, 100, 250, 190 });
    EndPictureResize();
    DragPictureResize({ 400, 400 }, false);  // after the release nothing moves
    ExpectRect(p, { 100, 100, 250, 190 });
    EXPECT_EQ(UndoRecordNameIndex(sketch->undoPosition), kUndoNameResizePicture);

    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    ExpectRect(p, { 100, 100, 200, 160 });
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    ExpectRect(p, { 100, 100, 250, 190 });

    // The top-left grip moves its own corner.
    DeselectAll();
    SelectSketchObject(p);
    ASSERT_TRUE(BeginPictureResize(p, { 102, 102 }));
    DragPictureResize({ 500, 60 }, false);
    ExpectRect(p, { 238, 58, 250, 190 });
    EndPictureResize();
}

TEST_F(Pictures, ResizeFaultsAreContained) {
    // A tall narrow image with the aspect kept: the corners stay within 30000.
    SketchObject* p = FreePicture({ 0, 0, 20, 3000 }, 1, 30000);
    ASSERT_TRUE(BeginPictureResize(p, { 18, 2998 }));
    DragPictureResize({ 28000, 2998 }, true);
    EXPECT_LE(p->bounds.bottom, 30000);
    EXPECT_EQ(Data(p).height, p->bounds.bottom - p->bounds.top);
    EndPictureResize();

    // A natural width of 0 resizes without the aspect.
    PictureDataOf(p)->naturalWidth = 0;
    p->bounds = { 0, 0, 20, 20 };
    SyncPictureSize(p);
    ASSERT_TRUE(BeginPictureResize(p, { 18, 18 }));
    DragPictureResize({ 60, 40 }, true);
    ExpectRect(p, { 0, 0, 62, 42 });
    EndPictureResize();

    // No undo record: the resize is taken but changes nothing.
    UndoRecord* position = sketch->undoPosition;
    SetAllocFailureAfter(1);
    EXPECT_TRUE(BeginPictureResize(p, { 60, 40 }));
    SetAllocFailureAfter(0);
    DragPictureResize({ 100, 100 }, false);
    EndPictureResize();
    ExpectRect(p, { 0, 0, 62, 42 });
    EXPECT_EQ(sketch->undoPosition, position);
}

TEST_F(Pictures, UndoToAZeroWidthRectangleMakesThePictureNotExist) {
    SketchObject* p = FreePicture({ 50, 50, 50, 90 }, 10, 10);
    ScreenRect g;
    ASSERT_TRUE(PictureBottomRightGrip(p, &g));
    ASSERT_TRUE(BeginPictureResize(p, { g.left, g.top }));
    DragPictureResize({ 200, 200 }, false);
    EndPictureResize();
    EXPECT_GT(Data(p).width, 0);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(Data(p).width, 0);
    EXPECT_EQ(p->exists, 0);
}

TEST_F(Pictures, CopyPictureDataCarriesTheImage) {
    SketchObject* source = FreePicture({ 0, 0, 40, 30 }, 40, 30);
    SketchObject* copy = FreePicture({ 0, 0, 40, 30 }, 40, 30);
    FreePictureExtra(copy);
    ASSERT_TRUE(CopyPictureData(source, copy));
    ASSERT_NE(PictureDib(copy), nullptr);
    EXPECT_NE(PictureDib(copy), PictureDib(source));
    EXPECT_EQ(PictureDib(copy)->Size(), PictureDib(source)->Size());
    EXPECT_EQ(std::memcmp(PictureDib(copy)->Bytes(), PictureDib(source)->Bytes(), PictureDib(copy)->Size()), 0);
}

}  // namespace
