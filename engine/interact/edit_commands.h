// The Edit menu's Cut, Copy, Paste and Clear on the front sketch (the caption being
// edited, else the selected objects), the colouring of the selection, and the fade of
// objects being hidden or shown.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct SketchObject;

// Copy (false) or Cut (true). Cut deletes only what reached the clipboard.
ResultCode CopyOrCut(bool cut);

// Every selected object takes the colour; captions and value displays take it in their
// text too. Unless keepDefaults, a sketch that applies new colours automatically makes
// it the default of each object's class.
void ColorSelectedObjects(uint32_t color, bool keepDefaults);

// Fade modes of FlashObjects.
enum FlashMode : int32_t {
    kFlashDisappear     = 0,  // dim level 1 up to 20
    kFlashFromHalfOut   = 1,  // 10 up to 20
    kFlashFromHalfIn    = 2,  // 10 down to 1
    kFlashAppear        = 3,  // 20 down to 1
};
// Fades the tempLink chain in or out in about twenty redraws of 12 ms (while frames
// tick: `running`) or 25 ms; a step that overran makes the next one larger, a step
// with time to spare brings it back toward one level. The chain is as it was afterwards.
void FlashObjects(SketchObject* chain, int32_t mode, bool running);

// Starts the frame ticks again of every open document's current page that has traces.
void RestartTraceTicks();

// A counted array of pointers held in one heap block (FreeMemory).
struct PointerArray {
    int32_t count;
    void**  items;  // inside the same block
};
// A copy in a new block; null for null or without memory.
PointerArray* CopyPointerArray(const PointerArray* source);
