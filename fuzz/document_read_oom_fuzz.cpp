// Reads a document while the Nth heap request fails (N from the first two bytes). Every
// path ends without a crash or a leak; a read that succeeds, or ends in the same code as
// a read with memory to spare, opens the same objects. (A table too large for memory may
// open with its header rows alone and a warning, so warnings may differ.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/core/memory.h"
#include "engine/core/sketch.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/streams.h"

namespace {
EngineDocument* ReadBytes(const void* data, uint32_t size, ResultCode* code, uint32_t failAt) {
    StreamHandle h = 0;
    *code = OpenMemoryStreamCopy(data, size, &h);
    if (*code != kResultOK) return nullptr;
    EngineDocument* document = nullptr;
    bool copy = false;
    char* message = nullptr;
    SetAllocFailureAfter(failAt);
    *code = ReadEngineDocument(h, &document, &copy, nullptr, &message, false);
    SetAllocFailureAfter(0);
    DiscardStream(h);
    FreeMemory(message);
    return document;
}
int64_t Objects(EngineDocument* d) {
    int64_t n = 0;
    for (int32_t i = 0; i < DocumentPageCount(d); ++i) {
        n += 1000000;
        for (SketchObject* o = DocumentPageAt(d, i)->firstObject; o; o = o->nextInSketch) ++n;
    }
    return n + 1000000000LL * DocumentToolCount(d);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3 || size > (1u << 20)) return 0;
    InitStreamTable();
    const uint32_t failAt = 1 + (uint32_t(data[0]) | uint32_t(data[1]) << 8);
    ResultCode full = 0, starved = 0;
    EngineDocument* a = ReadBytes(data + 2, uint32_t(size - 2), &full, 0);
    EngineDocument* b = ReadBytes(data + 2, uint32_t(size - 2), &starved, failAt);
    if (b && (starved == kResultOK || starved == full) && (!a || Objects(a) != Objects(b))) abort();
    FreeEngineDocument(a);
    FreeEngineDocument(b);
    return 0;
}
