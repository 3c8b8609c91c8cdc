// Whether a redraw of a sketch view is drawn anti-aliased, and figlate's forms of the
// drawing entries of the later-release table.
#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/core/services/later_release.h"

struct GraphicsPort;
struct DcGraphics;
struct SketchObject;

// Around a view's draw pass in place of BeginCanvasPaint and EndCanvasPaint: attaches
// GDI+ to the back buffer when the preference and, for "When Speed Permits", the speed
// policy allow; a graphics object that cannot attach leaves the redraw plain.
void BeginAntiAliasedDrawing(GraphicsPort* port, const ScreenRect* rect);
void EndAntiAliasedDrawing(GraphicsPort* port, const ScreenRect* rect);
// The graphics object for the DC the port draws on now; null when this redraw is plain.
DcGraphics* GetContextGraphics(GraphicsPort* port);
// Whether shapes are drawn anti-aliased right now: a graphics object for the DC, a
// preference above "Never" and no print or picture pass. Null otherwise.
DcGraphics* AntiAliasedTarget(GraphicsPort* port);
// The preference is about to become `value`: false, and nothing redrawn, when it asks
// for anti-aliasing without GDI+; else every open document is redrawn with it.
bool RedrawAllAntiAliased(uint16_t value);

// The stroke the anti-aliased shapes use, remembered from the last object pen made.
struct RememberedPen {
    float    width;
    uint32_t color;
    bool     dashed;
};
const RememberedPen& TheRememberedPen();

// figlate's selection of captions, measurements and calculations, and its fill colour:
// each channel halfway between the highlight and the background.
void     DrawTextObjectSelectionRevised(GraphicsPort* port, SketchObject* object);
COLORREF SelectionFillColor(COLORREF highlight, COLORREF background);

// figlate's axis tick numbers, measured on the screen while a picture's DC cannot measure.
void AddTickNumberForm(LaterReleaseForms* forms);

// Sets the drawing entries of forms.
void AddDrawingForms(LaterReleaseForms* forms);
