#include "ui/portable/native_data.h"

#include "engine/core/memory.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/streams.h"

namespace {
constexpr uint32_t kFirstBlockBytes = 2048;
}  // namespace

ResultCode StoreNativeData(EngineDocument* document, void** bytes, uint32_t* length) {
    *bytes = nullptr;
    *length = 0;
    if (!document) return kResultNoSketches;
    StreamHandle h = 0;
    ResultCode rc = OpenMemoryStream(kFirstBlockBytes, &h);
    if (rc != kResultOK) return rc;
    rc = WriteEngineDocument(h, document, false);
    if (IsFatalResult(rc)) {
        DiscardStream(h);
        return rc;
    }
    rc = KeepWorstError(rc, CloseStream(h));
    uint32_t n = 0;
    void* block = TakeStreamBytes(h, &n);  // discards the stream too
    if (IsFatalResult(rc) || !block || n == 0) {
        FreeMemory(block);
        return IsFatalResult(rc) ? rc : kResultOutOfMemory;
    }
    *bytes = block;
    *length = n;
    return rc;
}

ResultCode LoadNativeData(const void* bytes, uint32_t length, void* owner, EngineDocument** document,
                          char** message) {
    *document = nullptr;
    *message = nullptr;
    StreamHandle h = 0;
    ResultCode rc = OpenMemoryStreamCopy(bytes, length, &h);
    if (rc != kResultOK) return rc;
    EngineDocument* read = nullptr;
    bool asCopy = false;
    rc = ReadEngineDocument(h, &read, &asCopy, owner, message, false);
    DiscardStream(h);
    if (IsFatalResult(rc)) return rc;
    if (!read || !read->currentPage) {
        if (read) FreeEngineDocument(read);
        return kResultNoSketches;
    }
    *document = read;
    return rc;
}
