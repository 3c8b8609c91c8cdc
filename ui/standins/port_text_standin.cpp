// Stand-in: the port's text primitives are being built with the graphics port; until
// they are, text measures as empty and draws nothing.
#include "engine/core/services/text_port.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void PortBeginMeasure(LayoutDrawState* state) {}
void PortEndMeasure(LayoutDrawState* state) {}
void PortBeginDraw(LayoutDrawState* state) {}
void PortEndDraw(LayoutDrawState* state) {}
void PortApplyTextStyle(LayoutDrawState* state) {}
void PortFontMetrics(LayoutDrawState* state, int32_t* ascent, int32_t* descent,
                     int32_t* internalLeading) { *ascent = *descent = *internalLeading = 0; }
void PortTextWidth(LayoutDrawState* state, const char* text, int32_t n, int32_t* width,
                   int32_t* height) { *width = *height = 0; }
void PortFitTextToWidth(const char* text, int32_t n, LayoutDrawState* state, int32_t x,
                        int32_t* count, int32_t* side) { *count = *side = 0; }
void PortDrawTextRun(LayoutDrawState* state, const char* text, int32_t n, int32_t ascent,
                     int32_t descent) {}
void PortAdjustRunEnds(ScreenPoint* top, ScreenPoint* bottom, const TextStyle* style) {}
int32_t PortGlyphWidth(LayoutDrawState* state, int32_t code, int32_t size) { return 0; }
void    PortDrawGlyph(LayoutDrawState* state, int32_t code, int32_t ascent) {}
void PortMeasureSymbolPair(LayoutDrawState* state, char first, char second, int32_t height,
                           int32_t* width1, int32_t* width2, int32_t* ascent,
                           int32_t* descent) { *width1 = *width2 = *ascent = *descent = 0; }
void PortDrawSymbolPair(LayoutDrawState* state, char first, char second, int32_t height,
                        int32_t distance) {}
void PortSelectStylePen(LayoutDrawState* state, int32_t a, int32_t b) {}
void PortDrawPolyline(LayoutDrawState* state, const ScreenPoint* points, int32_t count) {}
void PortBeginOutline(LayoutDrawState* state) {}
void PortEndOutline(LayoutDrawState* state) {}
void PortFrameRect(LayoutDrawState* state, const ScreenRect* rect) {}
void PortFillRect(LayoutDrawState* state, const ScreenRect* rect) {}
void PortEraseRect(LayoutDrawState* state, const ScreenRect* rect) {}
void PortInvertRect(LayoutDrawState* state, const ScreenRect* rect) {}
void PortDrawTopArc(LayoutDrawState* state, const int16_t square[4]) {}
void PortDrawCaretLine(LayoutDrawState* state, ScreenPoint top, ScreenPoint bottom,
                       int32_t mode) {}
