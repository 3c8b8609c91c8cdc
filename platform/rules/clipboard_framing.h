// The framing of the sketch-objects clipboard format: a u32 header length, the header,
// then the objects. Blocks come from any program, so nothing in them is taken on trust.
#pragma once
#include <cstdint>

// The objects' place in the block: n = size - headerSize - 4 bytes after the header.
// False when the block is shorter than its framing says or framed with another header
// length.
bool UnframeSketchData(const uint8_t* block, uint32_t size, uint32_t headerSize, uint32_t* offset,
                       uint32_t* length);
