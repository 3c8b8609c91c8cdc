// Stand-in: the engine's memory manager is being built with the pointer lists; until it
// lands these plain definitions (without reserves) let the calculation code link. The
// failure hook behaves as the real one is documented to, so tests can use it already.
#include <cstdlib>
#include <cstring>

#include "engine/core/memory.h"

namespace {
uint32_t gFailAfter = 0;
bool gFailRepeat = false;
uint64_t gRequests = 0;

bool ShouldFail() {
    ++gRequests;
    if (gFailAfter == 0) return false;
    if (gFailAfter == 1) {
        if (!gFailRepeat) gFailAfter = 0;
        return true;
    }
    --gFailAfter;
    return false;
}
}  // namespace

void* AllocMemory(size_t size, uint32_t flags) {
    if (ShouldFail()) return nullptr;
    void* p = std::malloc(size ? size : 1);
    if (p && (flags & kAllocZero)) std::memset(p, 0, size ? size : 1);
    return p;
}

void FreeMemory(void* block) { std::free(block); }

bool ReallocMemory(void** block, size_t newSize, bool) {
    if (ShouldFail()) return false;
    void* p = std::realloc(*block, newSize ? newSize : 1);
    if (!p) return false;
    *block = p;
    return true;
}

void SetAllocFailureAfter(uint32_t n, bool repeat) {
    gFailAfter = n;
    gFailRepeat = repeat;
}

uint64_t AllocRequestCount() { return gRequests; }
