#include "tests/support/clock_double.h"

#include "engine/core/services/clock.h"
#include "platform/rules/shell_rules.h"

namespace {
uint32_t gTicks = 1000;
}  // namespace

void SetTestTickCount(uint32_t ticks) { gTicks = ticks; }
void AdvanceTestTickCount(uint32_t ms) { gTicks += ms; }

uint32_t TickCount() { return gTicks; }

void SetDeadline(uint32_t* deadline, uint32_t ms) { *deadline = DeadlineAfter(gTicks, ms); }
bool DeadlinePassed(uint32_t deadline) { return DeadlineReached(gTicks, deadline); }

// Waiting takes no time: the clock jumps to the deadline.
void WaitForDeadline(uint32_t deadline) {
    if (!DeadlinePassed(deadline)) gTicks = deadline;
}
