// The drawing port of a sketch view: the view window's own DC and two off-screen
// bitmaps of the client area's size, the back buffer that a paint pass draws into and
// the traces layer that keeps (and fades) the marks of traced objects.
#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/core/screen_types.h"

struct Sketch;
struct OutputScale;
struct DcGraphics;

struct GraphicsPort {
    HDC      dc;  // where drawing goes now: back buffer, window, traces, printer or metafile
    HDC      windowDC;  // the window's own DC (CS_OWNDC); never released by the port
    HDC      backDC;
    HDC      tracesDC;
    HGDIOBJ  backBitmapSlot;  // the bitmap the back buffer displaced in backDC; null = no bitmap
    HGDIOBJ  tracesBitmapSlot;
    int16_t  scrollX;  // device pixels; the DCs' viewport origin is (-scrollX, -scrollY)
    int16_t  scrollY;
    RECT     lineBounds;  // logical units; straight objects are clipped to it
    RECT     bufferRect;  // device units; the client rectangle the buffers were made for
    ScreenRect tracesDirty;  // the part of the traces layer not yet faded
    RECT     paintRect;   // logical units; the paint pass in progress
    HWND     hwnd;
    int32_t  fadeCounter;  // 32 after a mark; 0 = nothing to fade
    int32_t  nextPattern;  // 0..31, the dissolve pattern of the next fade tick
    int32_t  ropMode;      // mix mode of interiors: 9 light, 15 dark, 13 mask stamp
    COLORREF contrastColor;
    COLORREF selectionColor;
    // figlate's GDI+ graphics objects of the redraw under way, on the back buffer and (made
    // when first drawn on) the traces layer; null in figmantle and in every plain redraw.
    DcGraphics* mainGraphics = nullptr;
    DcGraphics* secondaryGraphics = nullptr;
};

// The area a drawing routine covers: the paint rectangle of the pass in progress, or
// the line bounds (top and bottom in order) for a port drawn outside a paint pass.
inline RECT PortDrawArea(const GraphicsPort* port) {
    const RECT& p = port->paintRect;
    if (p.right > p.left && p.bottom > p.top) return p;
    RECT b = port->lineBounds;
    if (b.top > b.bottom) { const LONG t = b.top; b.top = b.bottom; b.bottom = t; }
    return b;
}

// The empty form of tracesDirty.
constexpr ScreenRect kTracesClean = { 0x7fff, 0x7fff, -0x7fff, -0x7fff };

// A background is dark when red + green + blue is below this.
constexpr int32_t kDarkBelow = 145;
bool IsDarkBackground(COLORREF color);
// The current sketch's background colour (white without a current sketch).
COLORREF CurrentBackground();
// The current sketch's highlight colour of selected objects.
COLORREF CurrentHighlight();

// ---- The off-screen canvas

void RebuildOffscreenCanvas(GraphicsPort* port);
// Deletes the back buffer; the traces DC and bitmap go to the caller when both out
// pointers are given (they are no longer the port's), else they are deleted too.
void ReleaseOffscreenCanvas(GraphicsPort* port, HDC* tracesDC = nullptr, HBITMAP* tracesBitmap = nullptr);
// True when at least one bitmap was deleted.
bool FreeOffscreenBuffers(GraphicsPort* port, bool keepBackBuffer);
// Gives buffers of other views back after an allocation failed for `port`: a first pass
// frees only traces layers, a second whole buffers of views on other windows.
bool ReclaimCanvasMemory(GraphicsPort* port);
// The documents free their views' buffers for a pass (1 or 2); `failingDC` is the DC of
// the port that needs memory. True when something was freed.
using CanvasReclaimFn = bool (*)(int32_t pass, HDC failingDC);
void SetCanvasReclaimHandler(CanvasReclaimFn reclaim);
// Queues the low-memory message as an idle task, at most once a minute.
void WarnLowMemory();
struct IdleTask;
IdleTask* LowMemoryWarningTask();
// The rectangle is in logical units; null means the whole buffer.
void BeginCanvasPaint(GraphicsPort* port, const ScreenRect* rect);
void EndCanvasPaint(GraphicsPort* port, const ScreenRect* rect);
// The same around a view's or the OLE picture's draw pass, where the later release
// decides whether the pass is drawn anti-aliased.
void BeginRedrawPass(GraphicsPort* port, const ScreenRect* rect);
void EndRedrawPass(GraphicsPort* port, const ScreenRect* rect);
void StampMaskLayer(GraphicsPort* port, const ScreenRect* rect, bool dark, const OutputScale* scaling);
void PaintBackgroundScaled(GraphicsPort* port, Sketch* sketch, const OutputScale* scaling);
int32_t FillScrolledStrips(Sketch* sketch, GraphicsPort* port, int32_t dx, int32_t dy);
// The port's contrast and selection colours for the current sketch.
void ChooseSelectionColor(GraphicsPort* port);
void PortClientRectLogical(GraphicsPort* port, ScreenRect* rect);
void PortClientRectLogical(GraphicsPort* port, RECT* rect);

// Where the canvas gets its memory DCs and bitmaps; tests put failing ones in.
struct CanvasAllocator {
    HDC     (*createDC)(HDC compatibleWith);
    HBITMAP (*createBitmap)(HDC compatibleWith, int32_t width, int32_t height);
};
// Null puts the system's calls back. Answers the allocator in force before.
CanvasAllocator SetCanvasAllocator(const CanvasAllocator* allocator);

// The port of the sketch's front view; null when it has none. The documents install the
// lookup when the program starts (tests install their own).
using SketchPortLookupFn = GraphicsPort* (*)(Sketch* sketch);
void SetSketchPortLookup(SketchPortLookupFn lookup);
GraphicsPort* SketchViewPort(Sketch* sketch);
