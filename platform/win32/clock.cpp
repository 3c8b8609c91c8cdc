// The engine's tick count and deadlines on Windows.
#include <windows.h>

#include "engine/core/services/clock.h"
#include "platform/rules/shell_rules.h"
#include "platform/win32/test_hooks.h"

namespace {
bool gFrozen = false;
uint32_t gFrozenTicks = 0;
uint32_t gStepTicks = 0;
}  // namespace

void FreezeTickCountForTest(uint32_t ticks) {
    gFrozen = true;
    gFrozenTicks = ticks;
}
void AdvanceTickCountForTest(uint32_t ms) { gFrozenTicks += ms; }
void ReleaseTickCountForTest() { gFrozen = false; }
void StepTickCountForTest(uint32_t ms) { gStepTicks = ms; }

uint32_t TickCount() {
    if (!gFrozen) return GetTickCount();
    const uint32_t now = gFrozenTicks;
    gFrozenTicks += gStepTicks;
    return now;
}

void SetDeadline(uint32_t* deadline, uint32_t ms) { *deadline = DeadlineAfter(TickCount(), ms); }

bool DeadlinePassed(uint32_t deadline) { return DeadlineReached(TickCount(), deadline); }

void WaitForDeadline(uint32_t deadline) {
    // A frozen count stands still, so the test's wait moves it there at once.
    if (gFrozen) {
        if (!DeadlinePassed(deadline)) gFrozenTicks = deadline;
        return;
    }
    while (!DeadlinePassed(deadline)) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        const uint32_t left = deadline - TickCount();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, left, QS_ALLINPUT);
    }
}
