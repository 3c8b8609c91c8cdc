#include "engine/docio/streams.h"

#include "engine/core/chunked_array.h"

// Stand-in: makes and drops the stream table (48-byte slots, 24 expected, 8 per
// chunk) so that start-up meets its real memory demand; the stream layer replaces it.
namespace {
ChunkedArray* gStreamTable = nullptr;
}  // namespace

bool InitStreamTable() {
    if (gStreamTable == nullptr) gStreamTable = CreateChunkedArray(48, 24, 8, 0);
    return gStreamTable != nullptr;
}

void FreeStreamTable() {
    FreeChunkedArray(gStreamTable);
    gStreamTable = nullptr;
}
