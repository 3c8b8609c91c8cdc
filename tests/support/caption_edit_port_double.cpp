#include "tests/support/caption_edit_port_double.h"

#include <cstddef>

#include "engine/core/services/text_port.h"
#include "tests/support/clock_double.h"

namespace {
std::vector<PointerStep> gSteps;
size_t gNext = 0;
int32_t gPolls = 0;
ScreenPoint gPointer{};
CaptionEditPortState gPort;
}  // namespace

void SetPointerScript(std::vector<PointerStep> steps) {
    gSteps = std::move(steps);
    gNext = 0;
    gPolls = 0;
}

int32_t PointerPolls() { return gPolls; }

bool PortMouseButtonDown() {
    ++gPolls;
    if (gNext >= gSteps.size()) return false;
    const PointerStep& step = gSteps[gNext++];
    AdvanceTestTickCount(step.advanceMs);
    gPointer = step.point;
    return step.down;
}

void PortMousePosition(ScreenPoint* point) { *point = gPointer; }

CaptionEditPortState& CaptionEditPort() { return gPort; }
void ResetCaptionEditPort() { gPort = CaptionEditPortState{}; }

int32_t PortBeginCaptionEdit(GraphicsPort** port) {
    *port = nullptr;
    ++gPort.begins;
    if (gPort.beginResult == 0) gPort.editing = true;
    return gPort.beginResult;
}

void PortEndCaptionEdit(void*) {
    ++gPort.ends;
    gPort.editing = false;
}
