// Printing: each sketch's print settings, and the process-wide state of the print pass
// that the drawing reads. Between print runs the scale is 1 and the printing flag clear,
// so that screen drawing is unaffected. The layout itself is worked out by the print
// layout code (engine/docio/print_layout.h).
#pragma once
#include <cstdint>

struct PrintSettings {
    int16_t  pageWidth;        // printable page, device pixels
    int16_t  pageHeight;
    int32_t  resolution;       // device dots per inch
    double   scalePercent;
    uint32_t fitToPage;
    uint32_t pageNumber;       // 1-based, set by the user interface
    int16_t  pageWidthUnits;   // the page in sketch units (computed)
    int16_t  pageHeightUnits;
    int16_t  marginUnits;      // computed
    uint32_t noMargin;
    uint32_t uiFlag;           // kept for the user interface; 1 by default
    int16_t  centreOffsetX;    // sketch units (computed)
    int16_t  centreOffsetY;
    uint32_t clipLargePlots;  // loci larger than the print limit are cut to the window; 1 by default
};

// Scale 100 percent, the user interface's flag 1, clipping of large plots on,
// everything else 0.
void InitPrintSettings(PrintSettings* settings);

struct EnginePrintState {
    int32_t printing;
    int32_t pageNumber;
    double  scale;        // 1 when not printing
    int16_t pageOffsetX;  // sketch units added before scaling
    int16_t pageOffsetY;
};

EnginePrintState& PrintState();
// Not printing: scale 1, no page, no offset (engine start, the end of a print run).
void ResetPrintState();

// The map of the print pass: a position goes to ((x + offsetX) scale, (y + offsetY) scale).
inline void PrintPageMap(double* scale, double* offsetX, double* offsetY) {
    const EnginePrintState& state = PrintState();
    *scale = state.scale;
    *offsetX = state.pageOffsetX;
    *offsetY = state.pageOffsetY;
}
inline bool PrintPassRunning() { return PrintState().printing != 0; }
