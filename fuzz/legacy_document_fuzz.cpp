// Feeds outside bytes to the reader of older documents: through the document reader
// (which sends "YRNk" files and big-endian headers of versions 10-12 to it) and straight
// into a page, where any bytes without the PC magic are taken for a Mac document. Every
// path must end in a result code without a crash, an endless loop, a read outside the
// input, an allocation sized by the file or a leak; a converted document must write and
// read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/sketch.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/legacy_document.h"
#include "engine/docio/streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    InitStreamTable();
    StreamHandle h = 0;
    if (OpenMemoryStreamCopy(data, static_cast<uint32_t>(size), &h) != kResultOK) return 0;
    EngineDocument* document = nullptr;
    bool copy = false;
    char* message = nullptr;
    const ResultCode code = ReadEngineDocument(h, &document, &copy, nullptr, &message, false);
    DiscardStream(h);
    FreeMemory(message);
    if (IsFatalResult(code) != (document == nullptr)) std::abort();
    // What was converted is a document like any other: written out, it reads back.
    if (document && DocumentPageCount(document) == 1 && OpenMemoryStream(0, &h) == kResultOK) {
        const ResultCode written = WriteEngineDocument(h, document, false);
        CloseStream(h);
        uint32_t length = 0;
        void* bytes = TakeStreamBytes(h, &length);
        if (!IsFatalResult(written) && bytes) {
            StreamHandle again = 0;
            if (OpenMemoryStreamCopy(bytes, length, &again) == kResultOK) {
                EngineDocument* reread = nullptr;
                const ResultCode back = ReadEngineDocument(again, &reread, &copy, nullptr, &message, false);
                DiscardStream(again);
                FreeMemory(message);
                if (!reread && back != kResultOutOfMemory) std::abort();
                if (reread && DocumentPageCount(reread) != 1) std::abort();
                FreeEngineDocument(reread);
            }
        }
        FreeMemory(bytes);
    }
    FreeEngineDocument(document);

    if (OpenMemoryStreamCopy(data, static_cast<uint32_t>(size), &h) != kResultOK) return 0;
    Sketch* sketch = CreateSketch(0, nullptr);
    if (sketch) {
        Sketch* previous = nullptr;
        SetCurrentSketch(sketch, &previous);
        if (!IsFatalResult(ReadLegacyDocument(h, sketch, nullptr, nullptr))) RecomputeSketch(false);
        SetCurrentSketch(previous, nullptr);
        FreeSketch(sketch);
    }
    DiscardStream(h);
    return 0;
}
