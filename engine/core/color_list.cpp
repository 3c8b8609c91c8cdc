#include "engine/core/color_list.h"

#include "engine/core/memory.h"

namespace {

uint32_t ReadU32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

void WriteU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

int32_t StoredCount(const CustomColorBlock* list) {
    if (list == nullptr || list->count < 0) return 0;
    return list->count > kMaxCustomColors ? kMaxCustomColors : list->count;
}

}  // namespace

CustomColorBlock* ReadColorList(const uint8_t* stored, uint32_t size) {
    if (stored == nullptr || size < 4) return nullptr;
    uint32_t count = ReadU32(stored);
    if (count > kMaxCustomColors) count = kMaxCustomColors;
    const uint32_t present = (size - 4) / 4;
    if (count > present) count = present;
    if (count == 0) return nullptr;
    auto* list = static_cast<CustomColorBlock*>(AllocMemory(sizeof(CustomColorBlock), kAllocZero));
    if (list == nullptr) return nullptr;
    list->count = static_cast<int32_t>(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* rgb = stored + 4 + 4 * i;
        list->colors[i] = uint32_t{rgb[0]} | uint32_t{rgb[1]} << 8 | uint32_t{rgb[2]} << 16;
    }
    return list;
}

uint32_t WriteColorList(const CustomColorBlock* list, uint8_t* out) {
    const int32_t count = StoredCount(list);
    if (out != nullptr) {
        WriteU32(out, static_cast<uint32_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            const uint32_t c = list->colors[i];
            uint8_t* rgb = out + 4 + 4 * i;
            rgb[0] = static_cast<uint8_t>(c);
            rgb[1] = static_cast<uint8_t>(c >> 8);
            rgb[2] = static_cast<uint8_t>(c >> 16);
            rgb[3] = 0;
        }
    }
    return 4 + 4 * static_cast<uint32_t>(count);
}
