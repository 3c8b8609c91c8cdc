#include "release2/platform/win32/picture_drawing.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/picture_objects.h"
#include "engine/core/services/document_io.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/pictures.h"
#include "engine/docio/dib_chunks.h"
#include "engine/docio/streams.h"
#include "release2/platform/platform_forms.h"
#include "platform/win32/render/object_style.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

// A packed 8-bit DIB of 4 x 2 pixels all of colour 1 (red), in fixed global memory.
// `colorsUsed` beyond the table written makes the table run past the block.
HGLOBAL RedDib(uint32_t colorsUsed, uint32_t tableEntries) {
    const uint32_t size = 40 + tableEntries * 4 + 4 * 2;
    HGLOBAL g = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
    auto* p = static_cast<uint8_t*>(g);
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(p);
    h->biSize = 40;
    h->biWidth = 4;
    h->biHeight = 2;
    h->biPlanes = 1;
    h->biBitCount = 8;
    h->biClrUsed = colorsUsed;
    auto* table = reinterpret_cast<RGBQUAD*>(p + 40);
    if (tableEntries > 1) table[1] = { 0, 0, 255, 0 };
    std::memset(p + 40 + tableEntries * 4, 1, 8);
    return g;
}

class PictureDrawingTest : public RenderTest {
protected:
    SketchObject* Picture(HGLOBAL dib) {
        PictureData* data = nullptr;
        SketchObject* picture = MakeObject(kClassPicture, 0, RGB(0, 0, 255), &data);
        picture->bounds = { 10, 10, 50, 40 };
        data->handles.dib = dib;
        dibs_.push_back(dib);
        return picture;
    }
    ~PictureDrawingTest() override {
        for (HGLOBAL g : dibs_)
            if (g) GlobalFree(g);
    }
    std::vector<HGLOBAL> dibs_;
};

}  // namespace

TEST_F(PictureDrawingTest, UnsoundOrMissingImagesDrawAsACrossedBox) {
    struct Case { HGLOBAL dib; bool image; };
    const Case cases[] = {
        { RedDib(2, 2), true },
        { RedDib(300, 2), false },  // a colour table past the block
        { nullptr, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image);
        canvas_.Fill(kWhite);
        SketchObject* picture = Picture(c.dib);
        const RECT rect = { 10, 10, 50, 40 };
        EXPECT_TRUE(release2::RenderPictureInto(&port_, picture, canvas_.dc(), rect, nullptr, nullptr));
        if (c.image) {
            EXPECT_EQ(canvas_.Count(RGB(255, 0, 0)), 40 * 30);
        } else {
            EXPECT_EQ(canvas_.Count(RGB(255, 0, 0)), 0);
            EXPECT_EQ(canvas_.At(10, 10), RGB(0, 0, 255));  // the frame
            // The frame and both diagonals.
            EXPECT_GE(canvas_.Count(RGB(0, 0, 255)), 2 * (40 + 30) - 4 + 2 * 40 - 4);
            EXPECT_EQ(canvas_.At(20, 30), kWhite);
        }
    }
}

TEST_F(PictureDrawingTest, MemoryBitmapTakesTheDimPatternOfTheObjectsState) {
    SketchObject* picture = Picture(RedDib(2, 2));
    HDC screen = GetDC(nullptr);
    port_.windowDC = screen;
    struct Case { uint32_t mark; bool whole; };
    for (const Case& c : { Case{ 0, true }, Case{ kMarkDimmedFixed, false } }) {
        SCOPED_TRACE(c.mark);
        canvas_.Fill(kWhite);
        picture->markFlags = c.mark;
        release2::DrawPictureViaMemoryBitmap(&port_, picture);
        const int red = canvas_.Count(RGB(255, 0, 0));
        if (c.whole) {
            EXPECT_EQ(red, 40 * 30);
        } else {
            EXPECT_GT(red, 40 * 30 / 4);
            EXPECT_LT(red, 40 * 30 * 3 / 4);
        }
    }
    port_.windowDC = nullptr;
    ReleaseDC(nullptr, screen);
}

TEST_F(PictureDrawingTest, StretchToADeviceNeedsTheCapability) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    const RECT all = { 0, 0, 4, 4 }, out = { 0, 0, 8, 8 };
    // A DIB section's DC stretches; a metafile's does not report it.
    EXPECT_EQ(release2::StretchDibPicture(canvas_.dc(), out, all, bitmap, DIB_RGB_COLORS, SRCCOPY), 0);
    HDC metafile = CreateMetaFileA(nullptr);
    if (!(GetDeviceCaps(metafile, RASTERCAPS) & RC_STRETCHBLT)) {
        EXPECT_EQ(release2::StretchDibPicture(metafile, out, all, bitmap, DIB_RGB_COLORS, SRCCOPY), 101);
    }
    DeleteMetaFile(CloseMetaFile(metafile));
    HGLOBAL dib = nullptr;
    EXPECT_EQ(release2::BitmapToPackedDibGuarded(&dib, 24, nullptr, screen), 101);
    EXPECT_EQ(dib, nullptr);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
}

// A top-down DIB read from a document is turned upright in figlate only.
TEST_F(PictureDrawingTest, ReadDibsTurnUprightInTheLaterRelease) {
    ASSERT_TRUE(InitStreamTable());
    GlobalBlock dib(40 + 4 * 2);
    std::memset(dib.Bytes(), 0, dib.Size());
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(dib.Bytes());
    h->biSize = 40;
    h->biWidth = 1;
    h->biHeight = -2;
    h->biPlanes = 1;
    h->biBitCount = 24;
    dib.Bytes()[40] = 'T';  // the top row
    dib.Bytes()[44] = 'B';
    StreamHandle out = 0;
    ASSERT_EQ(OpenMemoryStream(0, &out), kResultOK);
    ASSERT_EQ(WriteDibRecord(out, dib), kResultOK);
    CloseStream(out);
    uint32_t length = 0;
    void* bytes = TakeStreamBytes(out, &length);
    LaterReleaseForms forms = {};
    AddPlatformForms(&forms);
    for (bool later : { false, true }) {
        SCOPED_TRACE(later);
        if (later) InstallLaterForms(forms);
        SketchObject* picture = Picture(nullptr);
        StreamHandle in = 0;
        ASSERT_EQ(OpenMemoryStreamCopy(bytes, length, &in), kResultOK);
        PictureReadContext context = { in, picture, nullptr, 0, 0 };
        EXPECT_EQ(ReadPictureRecord(&context), kResultOK);
        DiscardStream(in);
        ResetLaterForms();
        HGLOBAL read = static_cast<HGLOBAL>(PictureDataOf(picture)->handles.dib);
        ASSERT_NE(read, nullptr);
        dibs_.push_back(read);
        PictureDataOf(picture)->handles.dib = nullptr;
        const auto* p = static_cast<const uint8_t*>(GlobalLock(read));
        EXPECT_EQ(reinterpret_cast<const BITMAPINFOHEADER*>(p)->biHeight, later ? 2 : -2);
        EXPECT_EQ(p[40], later ? 'B' : 'T');
        GlobalUnlock(read);
    }
    FreeMemory(bytes);
}
