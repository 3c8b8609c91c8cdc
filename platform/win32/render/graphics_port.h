// The drawing port of a sketch view: the window's own DC and the off-screen back
// buffer that paint passes draw into before the view copies it to the window.
//
// Stand-in: the graphics port is being built with the object drawing; until then this
// keeps the record's fields and a back buffer filled with the sketch's background, so
// the views can paint. The traces layer is never made.
#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/core/screen_types.h"

struct Sketch;

struct GraphicsPort {
    HDC      dc;          // where drawing goes now: the back buffer, else the window
    HDC      windowDC;    // the window's own DC (class DC), never released by the port
    HDC      backDC;
    HDC      tracesDC;
    HGDIOBJ  backBitmapSlot;    // the bitmap the buffer's displaced in backDC
    HGDIOBJ  tracesBitmapSlot;
    int16_t  scrollX;     // the DCs' viewport origin is (-scrollX, -scrollY)
    int16_t  scrollY;
    RECT     lineBounds;  // logical units: straight objects are clipped to it
    RECT     bufferRect;  // device units: the client rectangle the buffers were made for
    ScreenRect tracesDirty;
    RECT     paintRect;   // logical units: the paint pass in progress
    HWND     hwnd;
    int32_t  fadeCounter;
    int32_t  nextPattern;
    int32_t  ropMode;     // 9 on a light background, 15 on a dark one
    COLORREF contrastColor;
    COLORREF selectionColor;
};

// Makes or remakes the buffers for the current client rectangle and mapping, then
// starts a paint of the whole buffer.
void RebuildOffscreenCanvas(GraphicsPort* port);
// Deletes the buffers; the traces DC and bitmap are handed out when asked for.
void ReleaseOffscreenCanvas(GraphicsPort* port, HDC* tracesDC = nullptr, HBITMAP* tracesBitmap = nullptr);
bool FreeOffscreenBuffers(GraphicsPort* port, bool keepBackBuffer);
// Bracket every paint pass: the rectangle (logical units; null: the whole buffer) is
// filled with the current sketch's background.
void BeginCanvasPaint(GraphicsPort* port, const ScreenRect* rect);
void EndCanvasPaint(GraphicsPort* port, const ScreenRect* rect);
// After the window and buffer scrolled by (dx, dy): the exposed strips are drawn again.
int32_t FillScrolledStrips(Sketch* sketch, GraphicsPort* port, int32_t dx, int32_t dy);
// One fading step of the traces layer; true when it changed something.
bool FadeTracesStep(GraphicsPort* port);
void ClearTracesLayer(GraphicsPort* port);
// The port's colours for the current sketch's background.
void ChooseSelectionColor(GraphicsPort* port);
