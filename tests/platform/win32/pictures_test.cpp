// Picture objects on Windows: their images from the clipboard, their drawing with
// dimming, and their records 8000 and 8002.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/picture_objects.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/services/clipboard.h"
#include "engine/core/services/pictures.h"
#include "engine/core/services/preferences.h"
#include "engine/docio/dib_chunks.h"
#include "engine/docio/streams.h"
#include "platform/win32/pictures.h"
#include "platform/win32/render/object_style.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

std::vector<uint8_t> Bytes(StreamHandle h) {
    uint32_t length = 0;
    void* taken = TakeStreamBytes(h, &length);
    std::vector<uint8_t> out(static_cast<uint8_t*>(taken), static_cast<uint8_t*>(taken) + length);
    FreeMemory(taken);
    return out;
}

// A bottom-up 24-bit DIB whose left half is red and right half blue.
std::vector<uint8_t> TwoColourDib(int32_t width, int32_t height) {
    const uint32_t row = (uint32_t(width) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> b(40 + row * uint32_t(height), 0);
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    std::memcpy(b.data(), &h, 40);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = b.data() + 40 + row * uint32_t(y) + 3 * uint32_t(x);
            p[x < width / 2 ? 2 : 0] = 255;  // BGR
        }
    return b;
}

// A 4 x 2 RLE8 DIB: a palette of black and green, every pixel green.
std::vector<uint8_t> RleDib() {
    std::vector<uint8_t> b(40 + 8);
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = 4;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RLE8;
    h.biClrUsed = 2;
    const uint8_t rows[] = { 4, 1, 0, 0, 4, 1, 0, 1 };  // 4 x index 1, end of line; again, end of bitmap
    h.biSizeImage = sizeof rows;
    std::memcpy(b.data(), &h, 40);
    const uint8_t palette[8] = { 0, 0, 0, 0, 0, 255, 0, 0 };
    std::memcpy(b.data() + 40, palette, 8);
    b.insert(b.end(), rows, rows + sizeof rows);
    b.resize(40 + 8 + sizeof rows);
    return b;
}

HGLOBAL Global(const std::vector<uint8_t>& bytes) {
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(g), bytes.data(), bytes.size());
    GlobalUnlock(g);
    return g;
}

// An enhanced metafile whose frame is width x height pixels at the preferences' dpi,
// filled black; a frame of 0 x 0 when asked.
HENHMETAFILE BlackMetafile(int32_t width, int32_t height) {
    const int32_t dpi = ThePreferences().resolution;
    // Rounded up, so that the frame gives the size back exactly.
    const RECT frame = { 0, 0, (width * 2540 + dpi - 1) / dpi, (height * 2540 + dpi - 1) / dpi };
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, width > 0 ? &frame : nullptr, nullptr);
    const RECT all = { 0, 0, std::max(width, 1), std::max(height, 1) };
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return CloseEnhMetaFile(dc);
}

class Pictures : public RenderTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitStreamTable());
        savedDpi_ = ThePreferences().resolution;
        ThePreferences().resolution = 96;
    }
    void TearDown() override {
        for (SketchObject* p : pictures_) FreePictureHandles(&PictureDataOf(p)->handles);
        ThePreferences().resolution = savedDpi_;
    }
    SketchObject* Picture(int16_t left, int16_t top) {
        PictureData* d;
        SketchObject* p = MakeObject(kClassPicture, kKindPicture, kBlack, &d);
        p->bounds = { left, top, left, top };
        pictures_.push_back(p);
        return p;
    }
    SketchObject* Attached(PictureHandles h, int16_t left = 10, int16_t top = 10) {
        SketchObject* p = Picture(left, top);
        AttachPictureHandles(p, &h);
        return p;
    }
    // The records the picture writes: their tags, and the DIB of 8002.
    std::vector<uint32_t> Write(SketchObject* p, std::vector<uint8_t>* stored, PackedDibLayout* dib = nullptr) {
        StreamHandle out = 0;
        EXPECT_EQ(OpenMemoryStream(0, &out), kResultOK);
        EXPECT_EQ(WritePictureRecords(out, p, nullptr), kResultOK);
        CloseStream(out);
        *stored = Bytes(out);
        std::vector<uint32_t> tags;
        StreamHandle in = 0;
        EXPECT_EQ(OpenMemoryStreamCopy(stored->data(), uint32_t(stored->size()), &in), kResultOK);
        uint32_t tag = 0, length = 0;
        const uint8_t* payload = nullptr;
        while (StreamReadRecord(in, &tag, &length, &payload) == kResultOK) {
            tags.push_back(tag);
            if (tag == kPictureDibTag && dib && length > 12) ParsePackedDib(payload + 12, length - 12, dib);
        }
        DiscardStream(in);
        return tags;
    }
    // Reads stored records into a new picture until the data ends; the worst code.
    SketchObject* Read(const std::vector<uint8_t>& stored, ResultCode* worst) {
        SketchObject* p = Picture(0, 0);
        StreamHandle in = 0;
        EXPECT_EQ(OpenMemoryStreamCopy(stored.data(), uint32_t(stored.size()), &in), kResultOK);
        *worst = kResultOK;
        for (;;) {
            PictureReadContext c = { in, p, nullptr, 0, 0 };
            const ResultCode rc = ReadPictureRecord(&c);
            if (rc == kResultEndOfData) break;
            if (rc != kResultOK) *worst = rc;
            if (rc != kResultOK && rc != kResultRecordLong) break;
        }
        DiscardStream(in);
        return p;
    }
    int32_t savedDpi_ = 0;
    std::vector<SketchObject*> pictures_;
};

TEST_F(Pictures, DimPatternsScatterTheirBits) {
    struct Case { int32_t level; int32_t bits; };
    const Case cases[] = { { 0, 0 }, { 1, 4 }, { 10, 35 }, { 15, 49 }, { 19, 61 }, { 20, 64 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        HBITMAP pattern = MakeDimPattern(c.level);
        ASSERT_NE(pattern, nullptr);
        WORD rows[8] = {};
        ASSERT_EQ(GetBitmapBits(pattern, sizeof rows, rows), LONG(sizeof rows));
        DeleteObject(pattern);
        int32_t bits = 0, emptyRows = 0;
        for (WORD r : rows) {
            bits += __builtin_popcount(r & 0xFF);
            emptyRows += (r & 0xFF) == 0;
        }
        EXPECT_EQ(bits, c.bits);
        if (c.level >= 10) {
            EXPECT_EQ(emptyRows, 0);  // spread over every row
        }
    }
}

// Level 0 ANDs the whole image in, 10 about half of it (29 of 64 pixels), 20 none; white parts of the image let
// what is drawn show through.
TEST_F(Pictures, DimmedImagesLeaveOutTheirShareOfPixels) {
    DibCanvas image(16, 16);
    image.Fill(kBlack);
    struct Case { int32_t level; int32_t black; };
    const Case cases[] = { { 0, 256 }, { 10, 4 * 29 }, { 15, 4 * 15 }, { 20, 0 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        canvas_.Fill(kWhite);
        BlitWithPatternMask(canvas_.dc(), 0, 0, 16, 16, image.dc(), 0, 0, c.level);
        EXPECT_EQ(canvas_.Count(kBlack), c.black);
    }
    image.Fill(kWhite);
    canvas_.Fill(kHighlight);
    BlitWithPatternMask(canvas_.dc(), 0, 0, 16, 16, image.dc(), 0, 0, 0);
    EXPECT_EQ(canvas_.Count(kHighlight), 200 * 200);
}

// A DIB picture draws its pixels stretched over its bounds, with the frame when selected;
// a picture without an image draws a framed cross; half-dimmed loses half its pixels.
TEST_F(Pictures, DrawingTheImageAndItsFrame) {
    const std::vector<uint8_t> bytes = TwoColourDib(8, 4);
    SketchObject* p = Attached({ nullptr, Global(bytes) });
    EXPECT_EQ(p->bounds.right, 18);
    EXPECT_EQ(p->bounds.bottom, 14);
    p->bounds = { 10, 10, 50, 30 };  // shown larger
    DrawPictureObject(&port_, p);
    EXPECT_EQ(canvas_.At(12, 20), RGB(255, 0, 0));
    EXPECT_EQ(canvas_.At(47, 20), RGB(0, 0, 255));
    EXPECT_EQ(canvas_.At(9, 20), kWhite);

    canvas_.Fill(kWhite);
    p->bounds = { 10, 10, 90, 90 };
    DrawPictureSelection(&port_, p);
    EXPECT_EQ(canvas_.At(12, 50), kHighlight);  // inside the 5-pixel frame
    EXPECT_EQ(canvas_.At(16, 50), RGB(255, 0, 0));
    p->markFlags = kMarkHighlighted;
    DrawPictureObject(&port_, p);
    EXPECT_EQ(canvas_.At(15, 50), kSelection);  // 7 pixels in the selection colour

    canvas_.Fill(kWhite);
    SketchObject* empty = Picture(100, 100);
    empty->bounds = { 100, 100, 140, 140 };
    DrawPictureObject(&port_, empty);
    EXPECT_EQ(canvas_.At(120, 120), kSelection);  // the diagonals cross
    EXPECT_EQ(canvas_.At(100, 120), kSelection);
    EXPECT_EQ(canvas_.At(110, 120), kWhite);

    canvas_.Fill(kWhite);
    p->markFlags = kMarkDimmedFixed;
    p->bounds = { 0, 0, 16, 16 };
    DrawPictureObject(&port_, p);
    EXPECT_EQ(canvas_.Count(RGB(255, 0, 0)) + canvas_.Count(RGB(0, 0, 255)), 4 * 29);
}

// An uncompressed DIB stays a DIB and writes only record 8002; it reads back the same.
TEST_F(Pictures, ADibPictureWritesOnlyItsBitmap) {
    const std::vector<uint8_t> bytes = TwoColourDib(5, 3);
    SketchObject* p = Attached({ nullptr, Global(bytes) });
    std::vector<uint8_t> stored;
    EXPECT_EQ(Write(p, &stored), (std::vector<uint32_t>{ kPictureDibTag }));
    ResultCode rc = kResultOK;
    SketchObject* back = Read(stored, &rc);
    EXPECT_EQ(rc, kResultOK);
    std::vector<uint8_t> again;
    Write(back, &again);
    EXPECT_EQ(again, stored);
}

// A metafile picture writes 8000 and a rendition: at its natural size when shown smaller,
// doubled until it is no smaller than shown (100 x 80 shown three times as large: 400 x
// 320); a frame of no size renders at the shown size. The reader keeps the first record.
TEST_F(Pictures, MetafileRenditions) {
    struct Case { int32_t width, height; int32_t shownFactor; int32_t w, h; };
    const Case cases[] = {
        { 100, 80, 3, 400, 320 }, { 100, 80, 1, 100, 80 }, { 300, 200, 1, 300, 200 },
        { 0, 0, 0, 60, 30 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        SketchObject* p = Attached({ BlackMetafile(c.width, c.height), nullptr });
        if (c.width) {
            EXPECT_EQ(PictureDataOf(p)->naturalWidth, c.width);
            EXPECT_EQ(PictureDataOf(p)->naturalHeight, c.height);
            p->bounds.right = int16_t(p->bounds.left + c.width * c.shownFactor);
            p->bounds.bottom = int16_t(p->bounds.top + c.height * c.shownFactor);
        } else {
            p->bounds = { 0, 0, 60, 30 };
        }
        std::vector<uint8_t> stored;
        PackedDibLayout dib{};
        EXPECT_EQ(Write(p, &stored, &dib), (std::vector<uint32_t>{ 8000, kPictureDibTag }));
        EXPECT_EQ(dib.width, c.w);
        EXPECT_EQ(dib.height, c.h);
        EXPECT_EQ(dib.bitsPerPixel, 8u);
        ResultCode rc = kResultOK;
        SketchObject* back = Read(stored, &rc);
        EXPECT_EQ(rc, kResultOK);
        EXPECT_NE(PictureDataOf(back)->handles.metafile, nullptr);
        EXPECT_EQ(PictureDataOf(back)->handles.dib, nullptr);
    }
}

// A metafile record GDI refuses damages only its picture: the bitmap record is taken. A
// record of another tag is damage too; the stream stays in step.
TEST_F(Pictures, DamagedMetafileRecordsFallBackToTheBitmap) {
    const uint8_t junk[12] = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
    GlobalBlock dib(uint32_t(TwoColourDib(2, 2).size()));
    std::memcpy(dib.Bytes(), TwoColourDib(2, 2).data(), dib.Size());
    StreamHandle out = 0;
    ASSERT_EQ(OpenMemoryStream(0, &out), kResultOK);
    ASSERT_EQ(StreamWriteRecord(out, sizeof junk, 8000, junk), kResultOK);
    ASSERT_EQ(StreamWriteRecord(out, sizeof junk, 8001, junk), kResultOK);
    ASSERT_EQ(WriteDibRecord(out, dib), kResultOK);
    CloseStream(out);
    ResultCode rc = kResultOK;
    SketchObject* p = Read(Bytes(out), &rc);
    EXPECT_EQ(rc, kResultRecordLong);
    EXPECT_EQ(PictureDataOf(p)->handles.metafile, nullptr);
    EXPECT_NE(PictureDataOf(p)->handles.dib, nullptr);
}

// From the clipboard: a metafile is copied; an uncompressed DIB stays a DIB; a compressed
// or core-header DIB becomes a metafile of its pixels; a DIB whose rows run past its
// block gives nothing.
TEST_F(Pictures, ImagesFromTheClipboard) {
    struct Case { const char* name; std::vector<uint8_t> dib; bool metafile, taken; int32_t w, h; };
    std::vector<uint8_t> truncated = TwoColourDib(8, 8);
    truncated.resize(truncated.size() - 1);
    const Case cases[] = {
        { "24-bit", TwoColourDib(8, 4), false, true, 8, 4 },
        { "RLE8", RleDib(), true, true, 4, 2 },
        { "truncated", truncated, false, false, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        SetClipboardData(CF_DIB, Global(c.dib));
        CloseClipboard();
        PictureHandles h{};
        EXPECT_EQ(GetPictureFromClipboard(&h), c.taken);
        EXPECT_EQ(h.metafile != nullptr, c.metafile);
        EXPECT_EQ(h.dib != nullptr, c.taken && !c.metafile);
        if (!c.taken) continue;
        SketchObject* p = Attached(h, 0, 0);
        EXPECT_NEAR(p->bounds.right, c.w, 1);
        EXPECT_NEAR(p->bounds.bottom, c.h, 1);
        canvas_.Fill(kWhite);
        p->bounds = { 0, 0, 40, 20 };
        DrawPictureObject(&port_, p);
        EXPECT_NE(canvas_.At(20, 10), kWhite);
    }
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_ENHMETAFILE, BlackMetafile(30, 20));
    CloseClipboard();
    PictureHandles h{};
    ASSERT_TRUE(GetPictureFromClipboard(&h));
    SketchObject* p = Attached(h, 0, 0);
    EXPECT_EQ(p->bounds.right, 30);
    EXPECT_EQ(p->bounds.bottom, 20);
}

// A lone picture goes to the clipboard as its own image: a DIB picture as CF_DIB with no
// metafile, a metafile picture as a metafile; no objects either way. (Windows may add
// formats derived from what was put, so a DIB is not looked for after a metafile.)
TEST_F(Pictures, ALonePictureOnTheClipboard) {
    SketchObject* dib = Attached({ nullptr, Global(TwoColourDib(6, 4)) });
    SketchObject* meta = Attached({ BlackMetafile(30, 20), nullptr });
    struct Case { SketchObject* picture; bool dib, metafile; };
    const Case cases[] = { { dib, true, false }, { meta, false, true } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dib);
        ScreenRect rect = c.picture->bounds;
        EXPECT_FALSE(PutSelectionOnClipboard(false, &rect, c.picture, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0));
        EXPECT_EQ(IsClipboardFormatAvailable(CF_ENHMETAFILE) != FALSE, c.metafile);
        if (c.dib) {
            EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
        }
        EXPECT_FALSE(IsClipboardFormatAvailable(RegisterClipboardFormatA("YRN400ScriptFormat")));
    }
}

// Without memory a picture is not dropped as unreadable: every failing request while
// its records are read gives out of memory, with nothing kept and nothing leaked.
TEST_F(Pictures, MemoryFailureWhileReadingGivesOutOfMemory) {
    std::vector<uint8_t> stored;
    Write(Attached({ BlackMetafile(20, 10), nullptr }), &stored);
    bool whole = false;
    for (uint32_t n = 1; !whole && n < 100; ++n) {
        SCOPED_TRACE(n);
        SketchObject* picture = Picture(0, 0);
        StreamHandle in = 0;
        ASSERT_EQ(OpenMemoryStreamCopy(stored.data(), uint32_t(stored.size()), &in), kResultOK);
        SetAllocFailureAfter(n);
        ResultCode rc = kResultOK;
        for (int i = 0; i < 2 && rc == kResultOK; ++i) {
            PictureReadContext c = { in, picture, nullptr, 0, 0 };
            rc = ReadPictureRecord(&c);
        }
        SetAllocFailureAfter(0);
        DiscardStream(in);
        const PictureHandles& h = PictureDataOf(picture)->handles;
        if (rc == kResultOK) {
            // The first record is kept, the second passed over.
            whole = h.metafile != nullptr && h.dib == nullptr;
            EXPECT_TRUE(whole);
        } else {
            EXPECT_EQ(rc, kResultOutOfMemory);
            EXPECT_EQ(h.metafile, nullptr);
        }
        FreePictureHandles(&PictureDataOf(picture)->handles);
    }
    EXPECT_TRUE(whole);
}

}  // namespace
