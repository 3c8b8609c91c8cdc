// Stand-in: the platform's pictures (the clipboard's metafiles and bitmaps, drawing them)
// are not built. The clipboard never offers a picture. What a document holds of a picture
// is kept as it was read, so that saving the document again loses nothing: the bitmap
// record through the DIB chunk codec, the metafile record as its raw payload.
#include "engine/core/services/pictures.h"

#include <new>
#include <utility>

#include "engine/core/memory.h"
#include "engine/core/picture_objects.h"
#include "engine/docio/dib_chunks.h"
#include "engine/docio/streams.h"

namespace {

constexpr uint32_t kPictureMetafileTag = 8000;

GlobalBlock* Block(void* handle) { return static_cast<GlobalBlock*>(handle); }

// The holders come from the engine's allocator like everything else a document holds,
// so that a failure of it is seen (and tested) as out of memory.
GlobalBlock* NewBlock(GlobalBlock&& from) {
    void* room = AllocMemory(sizeof(GlobalBlock), 0);
    return room ? new (room) GlobalBlock(std::move(from)) : nullptr;
}

void DeleteBlock(void* handle) {
    if (GlobalBlock* block = Block(handle)) {
        block->~GlobalBlock();
        FreeMemory(block);
    }
}

}  // namespace

void FreePictureHandles(PictureHandles* handles) {
    if (!handles) return;
    DeleteBlock(handles->dib);
    DeleteBlock(handles->metafile);
    *handles = PictureHandles{};
}

bool GetPictureFromClipboard(PictureHandles* handles) {
    *handles = PictureHandles{};
    return false;
}

void AttachPictureHandles(SketchObject* picture, PictureHandles* handles) {
    PictureData* d = PictureDataOf(picture);
    FreePictureHandles(&d->handles);
    d->handles = *handles;
    *handles = PictureHandles{};
    picture->bounds.right = picture->bounds.left;
    picture->bounds.bottom = picture->bounds.top;
    SyncPictureSize(picture);
}

ResultCode WritePictureRecords(StreamHandle stream, SketchObject* picture, const FormatInfo*) {
    const PictureHandles& h = PictureDataOf(picture)->handles;
    if (const GlobalBlock* metafile = Block(h.metafile); metafile && !metafile->Empty()) {
        if (const ResultCode rc = StreamWriteRecord(stream, metafile->Size(), kPictureMetafileTag, metafile->Bytes()))
            return rc;
    }
    if (const GlobalBlock* dib = Block(h.dib); dib && !dib->Empty()) return WriteDibRecord(stream, *dib);
    return kResultOK;
}

ResultCode ReadPictureRecord(PictureReadContext* context) {
    uint32_t tag = context->tag, length = context->length;
    if (tag == 0) {
        if (const ResultCode rc = StreamReadRecordHeader(context->stream, &tag, &length)) return rc;
    }
    PictureHandles& h = PictureDataOf(context->object)->handles;
    if (tag == kPictureDibTag && !h.dib) {
        GlobalBlock dib;
        const ResultCode rc = ReadDibRecord(context->stream, length, &dib);
        if (!dib.Empty()) {
            h.dib = NewBlock(std::move(dib));
            if (!h.dib) return kResultOutOfMemory;
        }
        return rc;
    }
    const uint8_t* payload = nullptr;
    const ResultCode rc = StreamReadPayload(context->stream, length, &payload);
    if (rc != kResultOK) return rc;
    if (tag == kPictureMetafileTag && !h.metafile && length > 0) {
        try {
            GlobalBlock kept(length);
            for (uint32_t i = 0; i < length; ++i) kept.Bytes()[i] = payload[i];
            h.metafile = NewBlock(std::move(kept));
        } catch (const std::bad_alloc&) {
        }
        if (!h.metafile) return kResultOutOfMemory;
    }
    return tag == kPictureDibTag || tag == kPictureMetafileTag ? kResultOK : kResultRecordLong;
}
