#include "engine/core/print_state.h"

namespace {
EnginePrintState gPrintState{ 0, 0, 1.0, 0, 0 };
}  // namespace

EnginePrintState& PrintState() { return gPrintState; }

void ResetPrintState() { gPrintState = EnginePrintState{ 0, 0, 1.0, 0, 0 }; }

void InitPrintSettings(PrintSettings* settings) {
    *settings = PrintSettings{};
    settings->scalePercent = 100.0;
    settings->uiFlag = 1;
    settings->clipLargePlots = 1;
}
