// Test double of the caption-edit port calls and of the pointer the editor polls while a
// button is held. The pointer follows a script: each PortMouseButtonDown call takes the
// next step (moving the tick clock first), and answers false once the script is used up.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/core/screen_types.h"

struct PointerStep {
    bool        down;       // what PortMouseButtonDown answers
    ScreenPoint point;      // where PortMousePosition puts the pointer from then on
    uint32_t    advanceMs;  // the tick clock moves this far before the answer
};

void SetPointerScript(std::vector<PointerStep> steps);
// Calls of PortMouseButtonDown made so far (script steps used, and the calls after them).
int32_t PointerPolls();

struct CaptionEditPortState {
    int32_t beginResult = 0;  // what PortBeginCaptionEdit answers
    int32_t begins = 0;
    int32_t ends = 0;
    bool    editing = false;
};
CaptionEditPortState& CaptionEditPort();
void ResetCaptionEditPort();
