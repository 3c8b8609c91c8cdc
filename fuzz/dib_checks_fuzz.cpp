// Feeds outside bytes to the later release's picture checks: the pixel bits found must
// lie inside the block with all the rows after them, and turning a top-down DIB upright
// keeps its size and makes it sound and upright, reading nothing outside the block.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/docio/dib_chunks.h"
#include "release2/platform/picture_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 22)) return 0;
    // An exact copy, so that the sanitizer sees any read past the block's end.
    std::vector<uint8_t> block(data, data + size);
    const uint32_t n = uint32_t(size);
    const uint8_t* bits = GetDibBits(block.data(), n);
    PackedDibLayout layout{};
    const bool sound = ParsePackedDib(block.data(), n, &layout);
    if (sound != (bits != nullptr)) __builtin_trap();
    if (!bits) {
        if (MakeDibBottomUp(block.data(), n) != 0 || std::memcmp(block.data(), data, size) != 0) __builtin_trap();
        return 0;
    }
    if (bits < block.data() || uint64_t(bits - block.data()) > n || layout.totalBytes > n) __builtin_trap();
    if (MakeDibBottomUp(block.data(), n) != 0) return 0;
    PackedDibLayout after{};
    if (!ParsePackedDib(block.data(), n, &after) || after.totalBytes != layout.totalBytes) __builtin_trap();
    const bool turnable = layout.height < 0 && layout.headerBytes >= kDibHeaderBytes && data[12] == 1 &&
                          data[13] == 0 && (layout.compression == 0 || layout.compression == 3);
    if (turnable ? after.height != -layout.height : after.height != layout.height) __builtin_trap();
    return 0;
}
