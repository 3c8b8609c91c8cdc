// Stand-in: the platform's pictures (the clipboard's metafiles and bitmaps, their records
// in documents) are not built. The clipboard never offers a picture, and picture records
// read from a document are passed over, so pictures read from a file show no image.
#include "engine/core/services/pictures.h"

#include "engine/core/picture_objects.h"
#include "engine/docio/streams.h"

void FreePictureHandles(PictureHandles* handles) {
    if (handles) *handles = PictureHandles{};
}

bool GetPictureFromClipboard(PictureHandles* handles) {
    *handles = PictureHandles{};
    return false;
}

void AttachPictureHandles(SketchObject* picture, PictureHandles* handles) {
    *handles = PictureHandles{};
    picture->bounds.right = picture->bounds.left;
    picture->bounds.bottom = picture->bounds.top;
    SyncPictureSize(picture);
}

ResultCode WritePictureRecords(StreamHandle, SketchObject*, const FormatInfo*) { return kResultOK; }

ResultCode ReadPictureRecord(PictureReadContext* context) {
    uint32_t tag = context->tag, length = context->length;
    if (tag == 0) {
        if (const ResultCode rc = StreamReadRecordHeader(context->stream, &tag, &length)) return rc;
    }
    const uint8_t* skipped = nullptr;
    const ResultCode rc = StreamReadPayload(context->stream, length, &skipped);
    if (rc != kResultOK) return rc;
    return tag == 8000 || tag == 8002 ? kResultOK : kResultRecordLong;
}
