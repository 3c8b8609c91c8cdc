// The platform's pictures: an image taken from the clipboard, attached to a picture
// object, stored in documents as records 8000 (metafile) and 8002 (bitmap) and read back.
// The platform owns what the handles point to.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct SketchObject;
struct FormatInfo;
using StreamHandle = int16_t;

struct PictureHandles {
    void* metafile;  // an enhanced metafile, or null
    void* dib;       // a packed device-independent bitmap, or null
};

void FreePictureHandles(PictureHandles* handles);
// True when the clipboard gave a metafile or a bitmap.
bool GetPictureFromClipboard(PictureHandles* handles);
// The picture takes over the handles; its right and bottom become left and top plus the
// image's own size, and its sizes follow from that rectangle.
void AttachPictureHandles(SketchObject* picture, PictureHandles* handles);
// Record 8000 when the picture has a metafile, then its bitmap as record 8002.
ResultCode WritePictureRecords(StreamHandle stream, SketchObject* picture, const FormatInfo* format);

// One picture record. With tag 0 the reader reads the record's head itself (22 at the end
// of the data); otherwise the head was read and the stream is at the payload of `length`
// bytes. While the object has no image, 8002 gives it a bitmap and 8000 a metafile;
// another tag gives 4. The stream is left after the record.
struct PictureReadContext {
    StreamHandle      stream;
    SketchObject*     object;
    const FormatInfo* format;
    uint32_t          tag;
    uint32_t          length;
};
ResultCode ReadPictureRecord(PictureReadContext* context);

// Gives a copied picture the source's image through a memory stream: written as records
// 8000 and 8002, read back into the copy (the document code defines it). False without
// memory for the stream; a copy whose image could not be copied has none.
bool CopyPictureData(const SketchObject* source, SketchObject* copy);
