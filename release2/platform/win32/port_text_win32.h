// The later release's bookkeeping of the port's text state: every font and pen a nested
// state makes is recorded with its depth and deleted when that state is left, whatever
// the order of the style changes; the last font and pen are reused while the style has
// not changed; text for an old-style metafile (which cannot measure) is measured on the
// screen.
#pragma once
#include <windows.h>

#include <cstdint>

struct LayoutDrawState;
struct TextStyle;

namespace release2 {

int32_t PortEnterTextState(HDC dc);
void    PortLeaveTextState(HDC dc);
void    PortApplyTextStyle(LayoutDrawState* state);
void    PortSelectStylePen(LayoutDrawState* state, int32_t a, int32_t b);
void    PortTextWidth(LayoutDrawState* state, const char* text, int32_t n, int32_t* width, int32_t* height);
void    PortGetTextMetrics(LayoutDrawState* state, int32_t* ascent, int32_t* descent, int32_t* internalLeading);
void    PortBeginOutline(LayoutDrawState* state);
void    PortEndOutline(LayoutDrawState* state);
int32_t GlyphPenWidth(const TextStyle* style);
// Frees both stacks and the cached pen (the platform's shut-down).
void    PortFreeCaches();

// GDI objects made and deleted through these forms (the system's own count is not kept
// under every host): what is made and never deleted shows as their difference.
struct PortObjectCounts {
    int32_t made;
    int32_t deleted;
};
PortObjectCounts PortCounts();

}  // namespace release2
