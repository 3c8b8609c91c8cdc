// Text services of the drawing port: how the layout engine measures and draws text,
// glyphs, rectangles and lines without touching the platform's drawing API.
// Every call takes the layout draw state; the port pointer in it is opaque here.
#pragma once
#include <cstdint>
#include "engine/core/screen_types.h"

struct LayoutDrawState;
struct TextStyle;

// Nestable text state around a measuring pass and around a drawing pass (or caret query).
void PortBeginMeasure(LayoutDrawState* state);
void PortEndMeasure(LayoutDrawState* state);
void PortBeginDraw(LayoutDrawState* state);
void PortEndDraw(LayoutDrawState* state);

// Creates and selects the font and text colour of the state's style; the style becomes
// the port's cached current style.
void PortApplyTextStyle(LayoutDrawState* state);

// Metrics of the font currently selected.
void PortFontMetrics(LayoutDrawState* state, int32_t* ascent, int32_t* descent,
                     int32_t* internalLeading);
// Width and height of the first n bytes in the current font, on one line.
void PortTextWidth(LayoutDrawState* state, const char* text, int32_t n, int32_t* width,
                   int32_t* height);
// How many leading bytes fit in x pixels; the next byte counts when more than half of it
// fits, and *side is 0 when that rule added it, else 1.
void PortFitTextToWidth(const char* text, int32_t n, LayoutDrawState* state, int32_t x,
                        int32_t* count, int32_t* side);
// Draws n bytes on one line, the top of the text box at pen y - ascent, left at pen x.
void PortDrawTextRun(LayoutDrawState* state, const char* text, int32_t n, int32_t ascent,
                     int32_t descent);
// The ends of a caret line, adjusted for slanted text.
void PortAdjustRunEnds(ScreenPoint* top, ScreenPoint* bottom, const TextStyle* style);

// Glyph codes 1..254 are characters of the symbol font; 256 circled dot, 257 parallel
// bars, 258 triangle; any other code is "?". `size` is the size of the three drawn
// glyphs, for which the layout passes the font's ascent to both calls; characters sit
// on the pen's baseline.
int32_t PortGlyphWidth(LayoutDrawState* state, int32_t code, int32_t size);
void    PortDrawGlyph(LayoutDrawState* state, int32_t code, int32_t size);

// Two characters of the Symbol font made at the given pixel height (stretched delimiters).
void PortMeasureSymbolPair(LayoutDrawState* state, char first, char second, int32_t height,
                           int32_t* width1, int32_t* width2, int32_t* ascent,
                           int32_t* descent);
void PortDrawSymbolPair(LayoutDrawState* state, char first, char second, int32_t height,
                        int32_t distance);

// A solid pen of the style's colour and width max(a, b) for the lines that follow.
void PortSelectStylePen(LayoutDrawState* state, int32_t a, int32_t b);
// Straight lines through the points with the pen selected last. Not among the drawing
// primitives named elsewhere: the radical sign and the overmarks need one.
void PortDrawPolyline(LayoutDrawState* state, const ScreenPoint* points, int32_t count);

// Outline drawing in the style's colour: a 1-pixel pen and a null brush until the end.
void PortBeginOutline(LayoutDrawState* state);
void PortEndOutline(LayoutDrawState* state);
void PortFrameRect(LayoutDrawState* state, const ScreenRect* rect);
void PortFillRect(LayoutDrawState* state, const ScreenRect* rect);
void PortEraseRect(LayoutDrawState* state, const ScreenRect* rect);
void PortInvertRect(LayoutDrawState* state, const ScreenRect* rect);

// The arc from 45 to 135 degrees of the circle inscribed in the square
// (left, top, right, bottom).
void PortDrawTopArc(LayoutDrawState* state, const int16_t square[4]);

void PortDrawCaretLine(LayoutDrawState* state, ScreenPoint top, ScreenPoint bottom,
                       int32_t mode);

struct GraphicsPort;

struct Sketch;
// A port to measure text on outside a drawing pass: the sketch view's, else the
// desktop's, until it is released.
GraphicsPort* AcquireMeasurePort(Sketch* sketch);
void ReleaseMeasurePort(Sketch* sketch, GraphicsPort* port);

// ---- Editing text in place ----
// The pointer while the editor tracks a held button: whether the primary button is still
// down (false once its release is queued), and where the pointer is in sketch coordinates.
bool PortMouseButtonDown();
void PortMousePosition(ScreenPoint* point);
// Opens the current sketch view's port for editing a caption (its window becomes the
// caret's): 0, or 101 when the sketch has no view. The end closes it again.
int32_t PortBeginCaptionEdit(GraphicsPort** port);
void    PortEndCaptionEdit(void* editor);
