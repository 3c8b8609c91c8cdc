// The text primitives of a drawing port beyond what the layout engine calls: the
// nestable text state, the caret DC of in-place caption editing, measuring DCs, drawing
// states for arbitrary DCs and the glyph shapes.
#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/core/services/text_port.h"

struct GraphicsPort;
struct LayoutDrawState;
struct Sketch;
struct TextStyle;

// Enter answers 1 on the outermost enter, else the depth before it; only the outermost
// leave puts the DC's original font back (and deletes the style font it displaces).
int32_t PortEnterTextState(HDC dc);
void    PortLeaveTextState(HDC dc);
int32_t PortTextDepth();

COLORREF PortStyleColor(const TextStyle* style);
// (the style's pixel size) / 16 + 1.
int32_t GlyphPenWidth(const TextStyle* style);

// A bracket arc inside the box: the left one counter-clockwise from the upper point to
// the lower, the right one from the lower point to the upper.
void PortDrawSideArc(LayoutDrawState* state, const int16_t box[4], bool leftSide);

// The DC to measure with: the one given, else the sketch's view port's, else the
// desktop window's (borrowed until PortReleaseMeasureDC).
HDC* PortAcquireMeasureDC(Sketch* sketch, HDC* dc);
void PortReleaseMeasureDC();

// Hides the editor's caret (editor: a LayoutEditSession, or null) and moves the caret to
// the DC.
void    PortSetCaretDC(void* editor, HDC dc);
HDC     PortCaretDC();

// A drawing state for formatted text on any DC (owner-drawn controls, the printer):
// plain style in the DC's face at its character height, bold and 2 larger when emphasised.
void MakeDrawStateForDC(LayoutDrawState* state, GraphicsPort* port, HDC dc, bool emphasised);
// The system window colour less 25 in each channel (a channel of 25 or less gives 1).
void SelectionFillColor(COLORREF* color);
