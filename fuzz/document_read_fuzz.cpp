// Feeds outside bytes to the document reader, whole and header-only, from a memory
// stream. Every path must end in a result code without a crash, a read outside the
// input or a leak; a document that opens must write and open again with its pages,
// tools and menu descriptions.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/core/memory.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/streams.h"

namespace {

EngineDocument* ReadBytes(const void* data, uint32_t size, bool headerOnly, ResultCode* code) {
    StreamHandle h = 0;
    *code = OpenMemoryStreamCopy(data, size, &h);
    if (*code != kResultOK) return nullptr;
    EngineDocument* document = nullptr;
    bool copy = false;
    char* message = nullptr;
    *code = ReadEngineDocument(h, &document, &copy, nullptr, &message, headerOnly);
    DiscardStream(h);
    FreeMemory(message);
    if (IsFatalResult(*code) != (document == nullptr)) std::abort();
    return document;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    InitStreamTable();
    ResultCode code = 0;
    FreeEngineDocument(ReadBytes(data, static_cast<uint32_t>(size), true, &code));
    EngineDocument* document = ReadBytes(data, static_cast<uint32_t>(size), false, &code);
    if (document == nullptr) return 0;
    // A warning may leave no page at all (the user interface refuses such a document);
    // written out it holds nothing and reads back as unreadable.
    if (DocumentPageCount(document) == 0) {
        FreeEngineDocument(document);
        return 0;
    }

    StreamHandle h = 0;
    if (OpenMemoryStream(0, &h) == kResultOK) {
        const ResultCode written = WriteEngineDocument(h, document, false);
        CloseStream(h);
        uint32_t length = 0;
        void* bytes = TakeStreamBytes(h, &length);
        if (!IsFatalResult(written) && bytes != nullptr) {
            ResultCode again = 0;
            EngineDocument* reread = ReadBytes(bytes, length, false, &again);
            if (reread == nullptr && again != kResultOutOfMemory) std::abort();
            if (reread != nullptr &&
                (DocumentPageCount(reread) != DocumentPageCount(document) ||
                 DocumentToolCount(reread) != DocumentToolCount(document) ||
                 DocumentMenuCount(reread) != DocumentMenuCount(document)))
                std::abort();
            FreeEngineDocument(reread);
        }
        FreeMemory(bytes);
    }
    FreeEngineDocument(document);
    return 0;
}
