// The engine's tick count and deadlines on Windows.
#include <windows.h>

#include "engine/core/services/clock.h"
#include "platform/rules/shell_rules.h"
#include "platform/win32/test_hooks.h"

namespace {
bool gFrozen = false;
uint32_t gFrozenTicks = 0;
}  // namespace

void FreezeTickCountForTest(uint32_t ticks) {
    gFrozen = true;
    gFrozenTicks = ticks;
}
void AdvanceTickCountForTest(uint32_t ms) { gFrozenTicks += ms; }
void ReleaseTickCountForTest() { gFrozen = false; }

uint32_t TickCount() { return gFrozen ? gFrozenTicks : GetTickCount(); }

void SetDeadline(uint32_t* deadline, uint32_t ms) { *deadline = DeadlineAfter(TickCount(), ms); }

bool DeadlinePassed(uint32_t deadline) { return DeadlineReached(TickCount(), deadline); }
