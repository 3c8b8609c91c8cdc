// How a page sketch maps onto printed pages: the print scale (from the device and screen
// resolutions and a percentage, or fitted to one page), the margin, the page size in
// sketch units, the grid of pages over the sketch's print extent and its centring, and
// the part of the sketch each page shows.
//
// Pages are counted, centred and placed with one step, the full page size: page n is the
// n-th cell of the grid taken in rows, and neighbouring pages meet edge to edge.
#pragma once
#include <cstdint>

#include "engine/core/print_state.h"
#include "engine/core/screen_types.h"

struct GraphicsPort;
struct Sketch;

constexpr int32_t kPrintUnitLimit = 30000;

// The current sketch's print extent from its shown, existing objects (and their labels
// when asked); an empty one takes the parents of its coordinate systems. True when not
// empty.
bool ComputePrintExtent(bool includeLabels);
// The same, with loci larger than seven screen resolutions cut to the sketch's window
// when asked (a plot of a function far off the page would otherwise spread the print
// over many empty pages).
bool ComputePrintExtentClipped(bool includeLabels, bool clipLargeLoci);
// Both extents of the sketch (made current), which keeps its own; true when they match.
bool PrintExtentsMatch(Sketch* sketch, ScreenRect* withoutLabels, ScreenRect* withLabels);
// The preview's comparison: both extents (labels as asked) without and with large loci
// cut to the window, the sketch keeping its own; true when they match, so that the
// choice to print large plots whole makes no difference.
bool LargePlotExtentsMatch(Sketch* sketch, bool includeLabels, ScreenRect* unclipped, ScreenRect* clipped);
// The print extent grown by the margin on every side.
void PrintableSketchRect(const Sketch* sketch, const PrintSettings* settings, ScreenRect* rect);
// A null sketch (or settings) sets the print scale back to 1.
void ComputePrintLayout(Sketch* sketch, PrintSettings* settings);
// A null record ends the preview: scale 1, not printing, the screen's metrics.
void ComputePreviewLayout(PrintSettings* settings);
// Pages across and down; both 0 when the layout gives no page.
void    ComputePageGrid(const Sketch* sketch, const PrintSettings* settings, int32_t* across, int32_t* down);
int32_t CountPrintPages(const Sketch* sketch, const PrintSettings* settings);
void BeginPrintPage(Sketch* sketch, uint32_t pageNumber, PrintSettings* settings);
// The page's top-left in sketch units; false when the layout gives no such page.
bool PrintPageOrigin(const Sketch* sketch, const PrintSettings* settings, uint32_t pageNumber,
                     ScreenPoint* topLeft);
void DrawPrintPage(Sketch* sketch, GraphicsPort* port, const PrintSettings* settings);
void EndPrinting(Sketch* sketch);
