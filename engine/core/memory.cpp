#include "engine/core/memory.h"

#include "engine/core/alerts.h"
#include "engine/core/result_codes.h"

#include <cstdlib>
#include <cstring>

namespace {

// Each reserve is either held (a block) or given up (null). `gReservesInstalled`
// separates "given up under pressure" (to be taken back) from "never taken or freed
// at shutdown" (left alone).
void* gSmallReserve = nullptr;
void* gLargeReserve = nullptr;
bool  gReservesInstalled = false;
MemoryFailureHandler gFailureHandler = nullptr;

uint64_t gRequestCount = 0;
uint32_t gFailCountdown = 0;
bool     gFailRepeat = false;
bool     gFailingFromNowOn = false;
uint64_t gFailedRequests = 0;

// Counts one heap request and says whether the test hook makes it fail.
bool InjectedFailure() {
    ++gRequestCount;
    if (gFailingFromNowOn) return true;
    if (gFailCountdown == 0) return false;
    if (--gFailCountdown != 0) return false;
    gFailingFromNowOn = gFailRepeat;
    return true;
}

// A zero-byte request still gets a block of its own, so null always means failure.
void* HeapAllocate(size_t size) {
    if (InjectedFailure()) return nullptr;
    return std::malloc(size != 0 ? size : 1);
}

void* HeapResize(void* block, size_t size) {
    if (InjectedFailure()) return nullptr;
    return std::realloc(block, size != 0 ? size : 1);
}

// Gives up the large reserve if held, else the small one. False when neither is held.
bool GiveUpReserve() {
    if (gLargeReserve != nullptr) {
        std::free(gLargeReserve);
        gLargeReserve = nullptr;
        return true;
    }
    if (gSmallReserve != nullptr) {
        std::free(gSmallReserve);
        gSmallReserve = nullptr;
        return true;
    }
    return false;
}

void ReleaseBothReserves() {
    std::free(gLargeReserve);
    gLargeReserve = nullptr;
    std::free(gSmallReserve);
    gSmallReserve = nullptr;
}

}  // namespace

void* AllocMemory(size_t size, uint32_t flags) {
    void* block = HeapAllocate(size);
    while (block == nullptr) {
        if ((flags & kAllocNoReserve) != 0 || !GiveUpReserve()) {
            ++gFailedRequests;
            return nullptr;
        }
        block = HeapAllocate(size);
    }
    if ((flags & kAllocZero) != 0) std::memset(block, 0, size);
    return block;
}

void FreeMemory(void* block) {
    std::free(block);
}

bool ReallocMemory(void** block, size_t newSize, bool mayRelease) {
    if (block == nullptr) return false;
    void* resized = HeapResize(*block, newSize);
    while (resized == nullptr) {
        if (!mayRelease || !GiveUpReserve()) {
            ++gFailedRequests;
            return false;
        }
        resized = HeapResize(*block, newSize);
    }
    *block = resized;
    return true;
}

bool CanAllocate(size_t, uint32_t, uint32_t) {
    return true;
}

bool InstallMemoryReserves(MemoryFailureHandler handler) {
    gFailureHandler = handler;
    if (gSmallReserve == nullptr) gSmallReserve = HeapAllocate(kSmallReserveBytes);
    if (gSmallReserve != nullptr && gLargeReserve == nullptr)
        gLargeReserve = HeapAllocate(kLargeReserveBytes);
    if (gSmallReserve == nullptr || gLargeReserve == nullptr) {
        ReleaseBothReserves();
        gReservesInstalled = false;
        return false;
    }
    gReservesInstalled = true;
    return true;
}

void FreeMemoryReserves() {
    ReleaseBothReserves();
    gReservesInstalled = false;
}

bool RestoreMemoryReserve() {
    // Without installed reserves there is nothing to take back and nothing to warn of.
    if (!gReservesInstalled) return false;
    // The small reserve is the last line of defence, so it comes back first; the large
    // one is only worth trying once the small one is held again.
    if (gSmallReserve == nullptr) gSmallReserve = HeapAllocate(kSmallReserveBytes);
    if (gSmallReserve != nullptr && gLargeReserve == nullptr)
        gLargeReserve = HeapAllocate(kLargeReserveBytes);
    return gLargeReserve == nullptr;
}

bool CheckMemoryReserve() {
    if (!RestoreMemoryReserve()) return false;
    ShowAlertByCode(kResultOutOfMemory, 0);
    return true;
}

bool SmallReserveHeld() { return gSmallReserve != nullptr; }
bool LargeReserveHeld() { return gLargeReserve != nullptr; }

uint64_t FailedAllocCount() { return gFailedRequests; }

void SetAllocFailureAfter(uint32_t n, bool repeat) {
    gFailCountdown = n;
    gFailRepeat = repeat;
    gFailingFromNowOn = false;
}

uint64_t AllocRequestCount() {
    return gRequestCount;
}
