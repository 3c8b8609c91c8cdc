// Stand-in: the least of the engine's memory manager that the stream layer and its
// tests need (plain heap calls and the allocation-failure hook, no reserves). The real
// manager replaces this file.
#include "engine/core/memory.h"

#include <cstdlib>
#include <cstring>

namespace {
uint32_t gFailAfter  = 0;
bool     gFailRepeat = false;
uint64_t gRequests   = 0;

bool RequestFails() {
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
    if (RequestFails()) return nullptr;
    void* p = std::malloc(size ? size : 1);
    if (p && (flags & kAllocZero)) std::memset(p, 0, size);
    return p;
}

void FreeMemory(void* block) { std::free(block); }

bool ReallocMemory(void** block, size_t newSize, bool) {
    if (RequestFails()) return false;
    void* p = std::realloc(*block, newSize ? newSize : 1);
    if (!p) return false;
    *block = p;
    return true;
}

bool CanAllocate(size_t, uint32_t, uint32_t) { return true; }
bool InstallMemoryReserves(MemoryFailureHandler) { return true; }
void FreeMemoryReserves() {}
bool RestoreMemoryReserve() { return true; }
bool CheckMemoryReserve() { return true; }
bool SmallReserveHeld() { return false; }
bool LargeReserveHeld() { return false; }

void SetAllocFailureAfter(uint32_t n, bool repeat) {
    gFailAfter  = n;
    gFailRepeat = repeat;
}

uint64_t AllocRequestCount() { return gRequests; }
