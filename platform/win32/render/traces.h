// The traces layer of a port: marks of traced objects, their fading by dissolve
// patterns; and the short feedback effects drawn over a sketch (the flash of a
// completed mark group, the marquee).
#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/core/screen_types.h"

struct GraphicsPort;
struct SketchObject;

constexpr int32_t kFadeSteps = 32;
constexpr int32_t kDissolvePatternCount = 32;

void ClearTracesLayer(GraphicsPort* port);
// One fade tick; always true.
bool FadeTracesStep(GraphicsPort* port);

// The 32 monochrome 8 x 8 patterns, two interleaved per 16 bytes: pattern k's row r is
// byte (k / 2) x 16 + r x 2 + k mod 2. Built on first use from the engine's random
// generator and kept.
void BuildDissolvePatterns();
const uint8_t* DissolvePatterns();
// The pattern as CreateBitmap takes it (8 x 8, rows padded to 16 bits).
HBITMAP CreateDissolveBitmap(int32_t pattern);

// FlashScriptStep (engine/core/services/dialogs.h) flashes the objects of a completed
// mark group, read from the current sketch's marks; it blocks for its frames while idle
// tasks still run between them.
// Frame count and half-way frame of a slot's flash.
void FlashFrames(int32_t markSlot, int32_t* frames, int32_t* half);

// DrawSelectionMarquee is declared with the drawing services (object_drawing.h).
bool CanDragMarquee();
