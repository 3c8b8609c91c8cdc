// Until the platform draws pictures, what a document holds of one is kept as read and
// written back unchanged: a page opened and saved again loses no image.
#include <gtest/gtest.h>

#include <vector>

#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/picture_objects.h"
#include "engine/core/services/document_io.h"
#include "engine/core/services/pictures.h"
#include "engine/docio/dib_chunks.h"
#include "engine/docio/streams.h"
#include "engine/docio/transfer_context.h"

namespace {

std::vector<uint8_t> Bytes(StreamHandle h) {
    uint32_t length = 0;
    void* taken = TakeStreamBytes(h, &length);
    std::vector<uint8_t> out(static_cast<uint8_t*>(taken), static_cast<uint8_t*>(taken) + length);
    FreeMemory(taken);
    return out;
}

TEST(Pictures, RecordsReadAreWrittenBackUnchanged) {
    ASSERT_TRUE(InitStreamTable());
    GlobalBlock dib(kDibHeaderBytes + 8);
    // A 2 x 1 bitmap of 24 bits a pixel: one row of 8 bytes after the header.
    for (uint32_t i = 0; i < dib.Size(); ++i) dib.Bytes()[i] = i < kDibHeaderBytes ? 0 : uint8_t(i * 5);
    PutLE32(dib.Bytes(), kDibHeaderBytes);
    PutLE32(dib.Bytes() + 4, 2);
    PutLE32(dib.Bytes() + 8, 1);
    dib.Bytes()[12] = 1;
    dib.Bytes()[14] = 24;
    const uint8_t metafile[6] = { 1, 2, 3, 4, 5, 6 };

    StreamHandle out = 0;
    ASSERT_EQ(OpenMemoryStream(0, &out), kResultOK);
    ASSERT_EQ(StreamWriteRecord(out, sizeof metafile, 8000, metafile), kResultOK);
    ASSERT_EQ(WriteDibRecord(out, dib), kResultOK);
    CloseStream(out);
    const std::vector<uint8_t> stored = Bytes(out);

    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPicture, 1, kKindPicture, 0 };
    SketchObject* picture = AllocObject(kClassPicture, &t);
    ASSERT_NE(picture, nullptr);
    StreamHandle in = 0;
    ASSERT_EQ(OpenMemoryStream(0, &in), kResultOK);
    ASSERT_EQ(StreamWrite(in, stored.data(), uint32_t(stored.size())), kResultOK);
    ASSERT_EQ(StreamSeek(in, 0, 0), kResultOK);
    for (int i = 0; i < 2; ++i) {
        PictureReadContext c = { in, picture, nullptr, 0, 0 };
        EXPECT_EQ(ReadPictureRecord(&c), kResultOK);
    }
    CloseStream(in);
    uint32_t unused = 0;
    FreeMemory(TakeStreamBytes(in, &unused));

    StreamHandle again = 0;
    ASSERT_EQ(OpenMemoryStream(0, &again), kResultOK);
    ASSERT_EQ(WritePictureRecords(again, picture, nullptr), kResultOK);
    CloseStream(again);
    EXPECT_EQ(Bytes(again), stored);

    FreePictureHandles(&PictureDataOf(picture)->handles);
    FreeMemory(picture);
}

// Without memory a picture is not dropped as unreadable: every failing request while
// its records are read gives out of memory, with nothing kept and nothing leaked.
TEST(Pictures, MemoryFailureWhileReadingGivesOutOfMemory) {
    ASSERT_TRUE(InitStreamTable());
    GlobalBlock dib(kDibHeaderBytes + 4);
    for (uint32_t i = 0; i < dib.Size(); ++i) dib.Bytes()[i] = 0;
    PutLE32(dib.Bytes(), kDibHeaderBytes);
    PutLE32(dib.Bytes() + 4, 1);
    PutLE32(dib.Bytes() + 8, 1);
    dib.Bytes()[12] = 1;
    dib.Bytes()[14] = 24;
    const uint8_t metafile[4] = { 1, 2, 3, 4 };
    StreamHandle out = 0;
    ASSERT_EQ(OpenMemoryStream(0, &out), kResultOK);
    ASSERT_EQ(StreamWriteRecord(out, sizeof metafile, 8000, metafile), kResultOK);
    ASSERT_EQ(WriteDibRecord(out, dib), kResultOK);
    CloseStream(out);
    const std::vector<uint8_t> stored = Bytes(out);

    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPicture, 1, kKindPicture, 0 };
    bool whole = false;
    for (uint32_t n = 1; !whole && n < 100; ++n) {
        SCOPED_TRACE(n);
        SketchObject* picture = AllocObject(kClassPicture, &t);
        ASSERT_NE(picture, nullptr);
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
            whole = h.dib != nullptr && h.metafile != nullptr;
            EXPECT_TRUE(whole);
        } else {
            EXPECT_EQ(rc, kResultOutOfMemory);
        }
        FreePictureHandles(&PictureDataOf(picture)->handles);
        FreeMemory(picture);
    }
    EXPECT_TRUE(whole);
}

}  // namespace
