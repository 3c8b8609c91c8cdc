// Feeds outside bytes to the document reader, whole and header-only, from a memory
// stream. Every path must end in a result code without a crash, a read outside the
// input or a leak; a document that opens must save and open again unchanged (see
// document_round_trip.h).
#include <cstddef>
#include <cstdint>

#include "document_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    InitStreamTable();
    ResultCode code = 0;
    FreeEngineDocument(fuzz_round_trip::Open(data, static_cast<uint32_t>(size), true, &code));
    EngineDocument* document = fuzz_round_trip::Open(data, static_cast<uint32_t>(size), false, &code);
    if (!document) return 0;
    fuzz_round_trip::CheckRoundTrip(document, code);
    FreeEngineDocument(document);
    return 0;
}
