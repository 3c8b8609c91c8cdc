#include "tests/support/printing_double.h"

#include "engine/core/services/printing.h"

PrintServiceCalls& PrintCalls() {
    static PrintServiceCalls calls{};
    return calls;
}

void PaintPrintBackground(GraphicsPort*, const ScreenRect* page) {
    ++PrintCalls().backgrounds;
    PrintCalls().lastPage = *page;
}

void EndPrintMeasureDC() { ++PrintCalls().measureDCsEnded; }
