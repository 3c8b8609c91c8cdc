// Feeds outside bytes as a packed DIB: the one check of documents and the clipboard
// decides; a DIB it passes is made a picture, written as record 8002 and read back,
// whole and unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/picture_objects.h"
#include "engine/core/services/document_io.h"
#include "engine/core/sketch.h"
#include "engine/docio/dib_chunks.h"
#include "engine/docio/streams.h"
#include "engine/interact/picture_commands.h"
#include "tests/support/pictures_double.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 22)) return 0;
    PackedDibLayout layout{};
    if (!ParsePackedDib(data, uint32_t(size), &layout)) {
        if (PackedDibBytes(data, uint32_t(size)) != 0 && PackedDibBytes(data, uint32_t(size)) <= size)
            __builtin_trap();
        return 0;
    }
    if (layout.totalBytes > size || layout.bitsOffset > layout.totalBytes || layout.width <= 0 ||
        layout.height == 0)
        __builtin_trap();
    InitStreamTable();
    GlobalBlock dib;
    try {
        dib = GlobalBlock(layout.totalBytes);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    std::memcpy(dib.Bytes(), data, layout.totalBytes);
    Sketch* page = CreateSketch(0, nullptr);
    if (!page) return 0;
    Sketch* previous = nullptr;
    SetCurrentSketch(page, &previous);
    SetClipboardPicture(dib);
    if (PastePicture()) {
        SketchObject* picture = page->lastObject;
        StreamHandle out = 0;
        if (picture && OpenMemoryStream(0, &out) == kResultOK) {
            if (WritePictureRecords(out, picture, nullptr) != kResultOK) __builtin_trap();
            CloseStream(out);
            uint32_t length = 0;
            auto* stored = static_cast<uint8_t*>(TakeStreamBytes(out, &length));
            StreamHandle in = 0;
            if (stored && OpenMemoryStreamCopy(stored, length, &in) == kResultOK) {
                uint32_t tag = 0, recordLength = 0;
                if (StreamReadRecordHeader(in, &tag, &recordLength) != kResultOK || tag != kPictureDibTag)
                    __builtin_trap();
                GlobalBlock back;
                if (ReadDibRecord(in, recordLength, &back) != kResultOK || back.Size() != dib.Size() ||
                    std::memcmp(back.Bytes(), dib.Bytes(), dib.Size()) != 0)
                    __builtin_trap();
                DiscardStream(in);
            }
            FreeMemory(stored);
        }
    }
    SetClipboardPicture(GlobalBlock());
    FreeSketch(page);
    SetCurrentSketch(previous, nullptr);
    return 0;
}
