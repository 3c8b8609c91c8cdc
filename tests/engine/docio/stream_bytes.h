// The bytes a test wrote into a memory stream, as a vector.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/core/memory.h"
#include "engine/docio/streams.h"

// Takes the bytes of a closed memory stream (the stream is gone afterwards).
inline std::vector<uint8_t> TakeStreamVector(StreamHandle h) {
    uint32_t n = 0;
    auto* p = static_cast<uint8_t*>(TakeStreamBytes(h, &n));
    std::vector<uint8_t> out(p, p + n);
    FreeMemory(p);
    return out;
}
