// Feeds outside bytes to the reader of the stored custom colour list (a block of the
// preferences file). It must answer null or a list of at most 16 colours, read nothing
// past the input, and write back exactly what it kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/core/color_list.h"
#include "engine/core/memory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that any read past the end is caught.
    uint8_t* bytes = static_cast<uint8_t*>(std::malloc(size != 0 ? size : 1));
    if (bytes == nullptr) return 0;
    if (size != 0) std::memcpy(bytes, data, size);
    CustomColorBlock* list = ReadColorList(bytes, static_cast<uint32_t>(size));
    if (list != nullptr) {
        if (list->count < 1 || list->count > kMaxCustomColors || 4 + 4 * size_t(list->count) > size)
            std::abort();
        uint8_t out[4 + 4 * kMaxCustomColors];
        const uint32_t written = WriteColorList(list, out);
        if (written != 4 + 4 * uint32_t(list->count)) std::abort();
        for (int32_t i = 0; i < list->count; ++i)
            if (std::memcmp(out + 4 + 4 * i, bytes + 4 + 4 * i, 3) != 0) std::abort();
        FreeMemory(list);
    }
    std::free(bytes);
    return 0;
}
