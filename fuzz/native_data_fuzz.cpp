// Feeds outside bytes to the loader of an embedded sketch's native data, as a container
// hands them back. Every input must end in a result code without a crash, a read
// outside the input or a leak; a sketch that loads must store and load again alike.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/core/memory.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/streams.h"
#include "ui/portable/native_data.h"

namespace {

EngineDocument* Load(const void* data, uint32_t size, ResultCode* code) {
    EngineDocument* document = nullptr;
    char* message = nullptr;
    *code = LoadNativeData(data, size, nullptr, &document, &message);
    FreeMemory(message);
    if (IsFatalResult(*code) != (document == nullptr)) std::abort();
    if (document && !document->currentPage) std::abort();
    return document;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    InitStreamTable();
    ResultCode code = 0;
    EngineDocument* document = Load(data, static_cast<uint32_t>(size), &code);
    if (!document) return 0;
    void* bytes = nullptr;
    uint32_t length = 0;
    const ResultCode stored = StoreNativeData(document, &bytes, &length);
    if (IsFatalResult(stored) != (bytes == nullptr)) std::abort();
    if (bytes) {
        ResultCode again = 0;
        EngineDocument* reread = Load(bytes, length, &again);
        if (!reread && again != kResultOutOfMemory) std::abort();
        if (reread && DocumentPageCount(reread) != DocumentPageCount(document)) std::abort();
        FreeEngineDocument(reread);
        FreeMemory(bytes);
    }
    FreeEngineDocument(document);
    return 0;
}
