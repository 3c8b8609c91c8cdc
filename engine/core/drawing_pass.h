// What is drawn, in which order and with which highlights; the objects themselves are
// drawn by their class's draw slots. Also the sketch extent (the scroll range of its
// views), the draw hooks that add transient feedback, and the scaling of the drawing
// metrics for printing.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

struct GraphicsPort;
struct OutputScale;
struct Sketch;
struct SketchObject;

constexpr int32_t kDrawScreen  = 0;
constexpr int32_t kDrawPrint   = 1;
constexpr int32_t kDrawPicture = 2;

// Highlight mode of each draw layer 1..10 (layer 0, iterations, is never drawn).
constexpr int32_t kHighlightBefore   = 0;  // highlights, then the layer's objects
constexpr int32_t kHighlightAfter    = 1;  // objects, then the highlights of the selected
constexpr int32_t kHighlightInstead  = 2;  // selected objects only as highlights, after
extern const int32_t LayerHighlightMode[11];

void DrawSketch(GraphicsPort* port, const ScreenRect* rect);
void DrawSketchForPrint(GraphicsPort* port, const ScreenRect* rect, const OutputScale* scale);
void DrawSketchPicture(GraphicsPort* port, const OutputScale* scale);
void DrawSketchObjects(GraphicsPort* port, const ScreenRect* rect, int32_t mode,
                       const OutputScale* scale);
void DrawLayerSelection(GraphicsPort* port, const ScreenRect* rect, int32_t layer);

struct DrawHook;
using DrawHookFn = void (*)(DrawHook* hook, const ScreenRect* rect, GraphicsPort* port);
struct DrawHook {
    DrawHookFn callback;
    DrawHook*  next;
    Sketch*    sketch;  // null: drawn over every sketch
    uint32_t   runStamp;
};
void    AddDrawHook(DrawHook* hook, DrawHookFn callback, Sketch* sketch);
void    RemoveDrawHook(DrawHook* hook);
int32_t RunDrawHooks(const ScreenRect* rect, GraphicsPort* port);

void UpdateSketchExtent(bool clipLargeLoci);
void UpdateSketchExtentAndLayout(bool clipLargeLoci);
void GetObjectsExtentEx(bool selectedOnly, bool useCoreBounds, bool clipLargeLoci, ScreenRect* out);
void GetSelectionExtent(ScreenRect* out, bool useCoreBounds, bool clipLargeLoci);
bool IsLargeLocus(const SketchObject* object);
void ClipToSketchWindow(const SketchObject* object, ScreenRect* rect);
void GetVisibleRect(ScreenRect* out);

// Erases the traces of every view of the sketch's document.
void InvalidateSketchViews(Sketch* sketch);

// Before a print or preview layout: every drawing metric from its screen value, scaled.
void ScaleDrawingMetrics(int32_t outputResolution, double scale);
