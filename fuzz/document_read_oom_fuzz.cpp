// Reads a document while the Nth heap request fails (N from the first two bytes). Every
// path ends without a crash or a leak; a read that succeeds, or ends in the same code as
// a read with memory to spare, opens the same document: saved, it gives the same bytes
// as the document opened with memory to spare. (A table too large for memory opens with
// its header rows alone and a warning, which a worse warning of the same file may hide:
// such reads only keep their objects.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/random.h"
#include "engine/core/services/tables.h"
#include "engine/core/sketch.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/streams.h"
#include "document_round_trip.h"

namespace {
EngineDocument* ReadBytes(const void* data, uint32_t size, ResultCode* code, uint32_t failAt) {
    StreamHandle h = 0;
    *code = OpenMemoryStreamCopy(data, size, &h);
    if (*code != kResultOK) return nullptr;
    EngineDocument* document = nullptr;
    bool copy = false;
    char* message = nullptr;
    // Pages stored without an id get a fresh random one: the same in both reads.
    SetRandomSeed(1);
    SetAllocFailureAfter(failAt);
    *code = ReadEngineDocument(h, &document, &copy, nullptr, &message, false);
    SetAllocFailureAfter(0);
    DiscardStream(h);
    FreeMemory(message);
    return document;
}
// The document saved with memory to spare; null when it does not save.
void* Saved(EngineDocument* d, uint32_t* length) {
    StreamHandle h = 0;
    if (OpenMemoryStream(0, &h) != kResultOK) return nullptr;
    const ResultCode rc = WriteEngineDocument(h, d, false);
    CloseStream(h);
    void* bytes = TakeStreamBytes(h, length);
    if (IsFatalResult(rc)) {
        FreeMemory(bytes);
        return nullptr;
    }
    return bytes;
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
    if (b && (starved == kResultOK || starved == full)) {
        if (!a || Objects(a) != Objects(b)) abort();
        if (starved == full && DocumentPageCount(a) > 0 && !fuzz_round_trip::TableCut(a, b)) {
            uint32_t lengthA = 0, lengthB = 0;
            void* bytesA = Saved(a, &lengthA);
            void* bytesB = Saved(b, &lengthB);
            if (!bytesA || !bytesB || lengthA != lengthB || std::memcmp(bytesA, bytesB, lengthA) != 0) abort();
            FreeMemory(bytesA);
            FreeMemory(bytesB);
        }
    }
    FreeEngineDocument(a);
    FreeEngineDocument(b);
    return 0;
}
