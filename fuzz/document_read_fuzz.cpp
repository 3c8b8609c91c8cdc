// Feeds outside bytes to the document reader, whole and header-only, from a memory
// stream. Every path must end in a result code without a crash, a read outside the
// input or a leak; a document that opens must save and open again unchanged (see
// document_round_trip.h), also once its texts are converted from the Mac set.
#include <cstddef>
#include <cstdint>

#include "document_round_trip.h"
#include "engine/text/code_tables.h"
#include "release2/platform/document_charsets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    InitStreamTable();
    ResultCode code = 0;
    FreeEngineDocument(fuzz_round_trip::Open(data, static_cast<uint32_t>(size), true, &code));
    EngineDocument* document = fuzz_round_trip::Open(data, static_cast<uint32_t>(size), false, &code);
    if (!document) return 0;
    fuzz_round_trip::CheckRoundTrip(document, code);
    FreeEngineDocument(document);
    // Read again as a document written in the Mac set: the later release converts every
    // text of each page after its end record; what it makes must save and read back.
    document = fuzz_round_trip::Open(data, static_cast<uint32_t>(size), false, &code);
    if (!document) return 0;
    for (int32_t i = 0; i < DocumentPageCount(document); ++i) ConvertDocumentTexts(DocumentPageAt(document, i), kCharsetMac);
    fuzz_round_trip::CheckRoundTrip(document, code);
    FreeEngineDocument(document);
    return 0;
}
