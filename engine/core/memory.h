// The engine's memory manager. Every allocation of the engine goes through here so
// that two emergency reserves can be given up before a request is reported as failed.
#pragma once
#include <cstddef>
#include <cstdint>

// Allocation flags: only these two bits mean anything; callers may pass other tag
// bits, which are ignored.
constexpr uint32_t kAllocZero      = 0x04;  // fill the new block with zero bytes
constexpr uint32_t kAllocNoReserve = 0x80;  // never give up a reserve for this request

constexpr size_t kSmallReserveBytes = 10240;
constexpr size_t kLargeReserveBytes = 40960;

void* AllocMemory(size_t size, uint32_t flags);
void  FreeMemory(void* block);
// Resizes *block. On failure the old block stays where it was and false is answered.
bool  ReallocMemory(void** block, size_t newSize, bool mayRelease);
// Always yes: kept so that the few very large requests keep asking first.
bool  CanAllocate(size_t size, uint32_t tag, uint32_t flags);

// Typed convenience over ReallocMemory for `T*` variables.
template <typename T>
inline bool ReallocMemoryOf(T** block, size_t newSize, bool mayRelease) {
    void* p = *block;
    if (!ReallocMemory(&p, newSize, mayRelease)) return false;
    *block = static_cast<T*>(p);
    return true;
}

using MemoryFailureHandler = void (*)();
// Takes both reserves (small first). False when either cannot be had; nothing is
// then held. The handler is only kept.
bool InstallMemoryReserves(MemoryFailureHandler handler);
// Gives both reserves back to the heap for good (engine shutdown); nothing restores
// them until InstallMemoryReserves runs again.
void FreeMemoryReserves();
// Takes back whichever installed reserves were given up, small one first. True when
// the large reserve is still missing afterwards, that is, memory is still short.
bool RestoreMemoryReserve();
// RestoreMemoryReserve, and when memory is still short the out-of-memory alert (once
// per call). Called at the start of a user action, never in its middle.
bool CheckMemoryReserve();

// Whether each reserve is held right now (for tests and diagnostics).
bool SmallReserveHeld();
bool LargeReserveHeld();

// Test hook: make the Nth heap request from now fail (1 = the next one); 0 turns it off.
// While set, every request is counted, whether from AllocMemory or ReallocMemory.
// With `repeat` set, every request from the Nth on fails until the hook is reset.
void SetAllocFailureAfter(uint32_t n, bool repeat = false);
// Number of requests answered with failure so far (after the reserves were tried): a
// caller whose callees cannot report failure compares it before and after.
uint64_t FailedAllocCount();
// Number of heap requests (allocations and resizes) made so far.
uint64_t AllocRequestCount();
