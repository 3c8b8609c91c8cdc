// Stand-in: the engine's memory manager (engine/core/memory.h) has not landed; this
// keeps its interface and its failure hook so that the registry's failure paths can
// be tested, without the reserves.
#include <cstdlib>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/interact/neighbour_services.h"

namespace {
uint32_t gFailAfter = 0;
bool gFailRepeat = false;
uint64_t gRequests = 0;

bool NextRequestFails() {
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
    if (NextRequestFails()) return nullptr;
    void* p = std::malloc(size ? size : 1);
    if (p && (flags & kAllocZero)) std::memset(p, 0, size);
    return p;
}

void FreeMemory(void* block) { std::free(block); }

bool ReallocMemory(void** block, size_t newSize, bool) {
    if (NextRequestFails()) return false;
    void* p = std::realloc(*block, newSize ? newSize : 1);
    if (!p) return false;
    *block = p;
    return true;
}

bool CheckMemoryReserve() { return ShellStandin().memoryShort != 0; }

void SetAllocFailureAfter(uint32_t n, bool repeat) {
    gFailAfter = n;
    gFailRepeat = repeat;
}

uint64_t AllocRequestCount() { return gRequests; }
