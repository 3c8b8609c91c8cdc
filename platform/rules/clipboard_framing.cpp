#include "platform/rules/clipboard_framing.h"

#include <cstring>

bool UnframeSketchData(const uint8_t* block, uint32_t size, uint32_t headerSize, uint32_t* offset,
                       uint32_t* length) {
    if (!block || size < 4) return false;
    uint32_t h = 0;
    std::memcpy(&h, block, 4);
    if (h != headerSize || size - 4 < h) return false;
    *offset = 4 + h;
    *length = size - 4 - h;
    return true;
}
