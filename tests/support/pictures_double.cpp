#include "tests/support/pictures_double.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/core/picture_objects.h"
#include "engine/core/services/pictures.h"
#include "engine/docio/streams.h"

namespace {

GlobalBlock gClipboard;
int32_t gLive = 0;

void PutLE32At(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// Null when memory runs out, as the platform's copy would be.
void* NewDib(const GlobalBlock& dib) {
    try {
        auto* copy = new GlobalBlock(dib);
        ++gLive;
        return copy;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

GlobalBlock MakeTestDib(int32_t width, int32_t height) {
    const uint32_t rowBytes = (uint32_t(width) * 24 + 31) / 32 * 4;
    const uint32_t rows = uint32_t(height < 0 ? -height : height);
    GlobalBlock dib(kDibHeaderBytes + rowBytes * rows);
    uint8_t* h = dib.Bytes();
    std::memset(h, 0, dib.Size());
    PutLE32At(h, kDibHeaderBytes);
    PutLE32At(h + 4, uint32_t(width));
    PutLE32At(h + 8, uint32_t(height));
    h[12] = 1;   // planes
    h[14] = 24;  // bits per pixel
    for (uint32_t i = kDibHeaderBytes; i < dib.Size(); ++i) h[i] = uint8_t(i * 7);
    return dib;
}

void SetClipboardPicture(const GlobalBlock& dib) { gClipboard = dib; }

const GlobalBlock* PictureDib(const void* picture) {
    return static_cast<const GlobalBlock*>(PictureDataOf(static_cast<const SketchObject*>(picture))->handles.dib);
}

int32_t PictureHandlesLive() { return gLive; }

void FreePictureHandles(PictureHandles* handles) {
    if (!handles) return;
    if (handles->dib) --gLive;
    delete static_cast<GlobalBlock*>(handles->dib);
    handles->dib = nullptr;
    handles->metafile = nullptr;
}

bool GetPictureFromClipboard(PictureHandles* handles) {
    *handles = PictureHandles{};
    if (gClipboard.Empty()) return false;
    handles->dib = NewDib(gClipboard);
    return handles->dib != nullptr;
}

void AttachPictureHandles(SketchObject* picture, PictureHandles* handles) {
    PictureData* d = PictureDataOf(picture);
    FreePictureHandles(&d->handles);
    d->handles = *handles;
    *handles = PictureHandles{};
    const auto* dib = static_cast<const GlobalBlock*>(d->handles.dib);
    int32_t width = 0, height = 0;
    PackedDibLayout layout{};
    if (dib && ParsePackedDib(dib->Bytes(), dib->Size(), &layout)) {
        width = layout.width;
        height = std::abs(layout.height);
    }
    picture->bounds.right = int16_t(picture->bounds.left + width);
    picture->bounds.bottom = int16_t(picture->bounds.top + height);
    SyncPictureSize(picture);
    d->naturalWidth = d->width;
    d->naturalHeight = d->height;
}

ResultCode WritePictureRecords(StreamHandle stream, SketchObject* picture, const FormatInfo*) {
    const auto* dib = static_cast<const GlobalBlock*>(PictureDataOf(picture)->handles.dib);
    return dib ? WriteDibRecord(stream, *dib) : kResultOK;
}

ResultCode ReadPictureRecord(PictureReadContext* context) {
    uint32_t tag = context->tag, length = context->length;
    if (tag == 0) {
        if (const ResultCode rc = StreamReadRecordHeader(context->stream, &tag, &length)) return rc;
    }
    PictureData* d = PictureDataOf(context->object);
    if (tag == kPictureDibTag && !d->handles.dib) {
        GlobalBlock dib;
        const ResultCode rc = ReadDibRecord(context->stream, length, &dib);
        if (!dib.Empty()) {
            d->handles.dib = NewDib(dib);
            if (!d->handles.dib) return kResultOutOfMemory;
        }
        return rc;
    }
    const uint8_t* skipped = nullptr;
    const ResultCode rc = StreamReadPayload(context->stream, length, &skipped);
    if (rc != kResultOK) return rc;
    return tag == kPictureDibTag || tag == 8000 ? kResultOK : kResultRecordLong;
}
