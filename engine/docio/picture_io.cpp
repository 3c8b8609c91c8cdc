#include "engine/docio/picture_io.h"

#include <cstring>

#include "engine/core/picture_objects.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/services/pictures.h"
#include "engine/core/sketch_object.h"
#include "engine/docio/streams.h"
#include "engine/docio/transfer_context.h"

namespace {
constexpr uint32_t kSizeFieldsOffset = sizeof(SketchObject) + offsetof(PictureData, width);
constexpr uint32_t kSizeFieldsBytes = 4 * sizeof(int16_t);
constexpr uint32_t kCopyStreamBlock = 4096;
}  // namespace

ResultCode PictureSizeConverter(TransferContext* context, void* objectBlock, uint8_t* recordBlock,
                                int32_t recordLength) {
    auto* sizes = static_cast<int16_t*>(objectBlock);
    const int32_t fields = recordLength / 4 < 4 ? recordLength / 4 : 4;
    if (context->source.kind == kSideRecord && context->destination.kind == kSideRecord) {
        std::memcpy(context->destination.cursor, context->source.cursor,
                    recordLength < int32_t(kPictureDataRecordBytes) ? recordLength : kPictureDataRecordBytes);
        return context->destination.settingsVersion < kFirstSettingsWithPictures ? kResultObjectDropped
                                                                                 : kResultOK;
    }
    if (IsReadingRecord(context)) {
        for (int32_t i = 0; i < fields; ++i) sizes[i] = static_cast<int16_t>(GetLE32(recordBlock + 4 * i) & 0xFFFF);
    } else {
        for (int32_t i = 0; i < fields; ++i) PutLE32(recordBlock + 4 * i, static_cast<uint32_t>(int32_t(sizes[i])));
    }
    return kResultOK;
}

ResultCode TransferPictureData(TransferContext* context) {
    ResultCode rc = kResultOK;
    if (RecordCheckLength(context, &rc, kPictureDataRecordBytes, kPictureDataRecordBytes)) return rc;
    int16_t scratch[4];
    return KeepWorstError(rc, RecordTransfer(context, scratch, kSizeFieldsOffset, kSizeFieldsBytes,
                                             kPictureDataRecordBytes, PictureSizeConverter));
}

bool CopyPictureData(const SketchObject* source, SketchObject* copy) {
    StreamHandle stream = 0;
    if (OpenMemoryStream(kCopyStreamBlock, &stream) != kResultOK) return false;
    ResultCode rc = WritePictureRecords(stream, const_cast<SketchObject*>(source), &kCurrentPageFormat);
    if (rc == kResultOK) {
        rc = StreamSeek(stream, 0, 0);
        PictureReadContext read = { stream, copy, &kCurrentPageFormat, 0, 0 };
        while (rc == kResultOK) rc = ReadPictureRecord(&read);
    }
    if (rc != kResultEndOfData) {
        FreePictureHandles(&PictureDataOf(copy)->handles);
        PictureDataOf(copy)->handles = PictureHandles{};
    }
    CloseStream(stream);
    DiscardStream(stream);
    return true;
}
