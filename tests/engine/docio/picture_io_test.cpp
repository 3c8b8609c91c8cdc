// Record 2316, the sizes of a picture: sign-extended on writing, the low 16 bits on
// reading, its length checks, and a stored block copied into a record of settings that
// predate pictures.
#include "engine/docio/picture_io.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/picture_objects.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/docio/record_codecs.h"
#include "engine/docio/transfer_context.h"

namespace {

struct PictureRecord : testing::Test {
    void SetUp() override {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassPicture, 1, kKindPicture, 0 };
        picture = AllocObject(kClassPicture, &t);
        ASSERT_NE(picture, nullptr);
    }
    void TearDown() override { FreeMemory(picture); }

    static std::vector<uint8_t> Stored(std::initializer_list<uint32_t> words) {
        std::vector<uint8_t> bytes;
        for (uint32_t w : words) {
            bytes.resize(bytes.size() + 4);
            PutLE32(bytes.data() + bytes.size() - 4, w);
        }
        return bytes;
    }

    SketchObject* picture = nullptr;
};

TEST_F(PictureRecord, SizesReadAndWrite) {
    PictureData* d = PictureDataOf(picture);
    *d = PictureData{ -3, 200, 640, 480, {} };
    uint8_t out[16];
    TransferContext c;
    ASSERT_EQ(MeasureCodecRecord(TransferPictureData, picture, kCurrentPageFormat), 16u);
    BeginWriteContext(&c, out, sizeof out, picture, kCurrentPageFormat);
    ASSERT_EQ(TransferPictureData(&c), kResultOK);
    EXPECT_EQ(GetLE32(out), 0xFFFFFFFDu);  // sign-extended
    EXPECT_EQ(GetLE32(out + 12), 480u);

    struct Case { std::vector<uint8_t> record; ResultCode code; int16_t width; };
    const Case cases[] = {
        { Stored({ 0x00010005, 7, 8, 9 }), kResultOK, 5 },            // the low 16 bits
        { Stored({ 11, 7, 8, 9, 99 }), kResultLongerRecord, 11 },      // 20 bytes: warning 4
        { Stored({ 12, 7, 8 }), kResultDamaged, 0 },                   // 12 bytes: damaged
    };
    for (const Case& k : cases) {
        *d = PictureData{};
        EXPECT_EQ(ReadCodecRecord(TransferPictureData, picture, k.record.data(), uint32_t(k.record.size()),
                                  kCurrentPageFormat), k.code) << k.record.size();
        EXPECT_EQ(d->width, k.width) << k.record.size();
    }
    EXPECT_EQ(d->naturalHeight, 0);
}

TEST_F(PictureRecord, AStoredBlockIsLeftOutOfRecordsBeforePictures) {
    const std::vector<uint8_t> stored = Stored({ 1, 2, 3, 4 });
    for (int32_t settings : { 2, 3 }) {
        uint8_t out[16] = {};
        TransferContext c;
        BeginWriteContext(&c, out, sizeof out, picture, FormatInfo{ 1, 4, settings });
        c.source.kind = kSideRecord;  // the source is a stored record, not the object
        c.source.cursor = const_cast<uint8_t*>(stored.data());
        c.source.object = c.source.cursor;
        c.source.length = 16;
        EXPECT_EQ(PictureSizeConverter(&c, nullptr, out, 16), settings < 3 ? kResultObjectDropped : kResultOK);
        EXPECT_EQ(GetLE32(out + 8), 3u);
    }
}

}  // namespace
