#include "tests/support/shell_double.h"

#include "engine/core/services/shell.h"

namespace {
int32_t gBeeps = 0;
bool gHeld = true;
int16_t gDx = 0, gDy = 0;
}  // namespace

void RefusalBeep() { ++gBeeps; }
int32_t RefusalBeepCount() { return gBeeps; }

void SetArrowKeysHeld(bool held, int16_t dx, int16_t dy) {
    gHeld = held;
    gDx = dx;
    gDy = dy;
}

bool ReadArrowKeyNudge(int32_t, int16_t* dx, int16_t* dy) {
    *dx = gDx;
    *dy = gDy;
    return gHeld;
}
