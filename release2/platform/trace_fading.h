// The later release's fading of traces on true-colour displays: each step moves every
// pixel of one horizontal band of the traced area a sixteenth of the way toward the
// background, through lookup tables built for the background colour.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

struct Sketch;

constexpr int32_t kFadeBandCount = 4;
constexpr int32_t kFadeStrength  = 16;
constexpr int32_t kFadeCycles    = 32;  // fade countdown after a trace

// Lookup tables toward one background colour: 8-bit channels and 5-bit channels.
struct FadeTables {
    uint8_t red[256], green[256], blue[256];
    uint8_t red5[32], green5[32], blue5[32];
    // The background as a 32-bit pixel (blue lowest) and a 5-5-5 one: such pixels, most
    // of a traced area, are left as they are.
    uint32_t background32;
    uint16_t background16;
};

// Frame ticks between two fading steps for the sketch's trace-fade setting: four steps
// make one cycle of the older method, so a quarter of its interval, at least 1.
int32_t GetTraceFadeTicks(const Sketch* sketch);
int32_t TraceFadeTicksFor(int32_t fadeSetting);

// One channel value faded toward `target` (given in 0..255) in a range of `range`
// values (256 or 32): a strength-th of the distance, at least 1 (32) or 4 (256) but
// never past the target.
int32_t FadeChannel(int32_t value, int32_t target, int32_t strength, int32_t range);
// `background` is 0x00BBGGRR.
void BuildFadeTables(uint32_t background, int32_t strength, FadeTables* tables);

// Fades bottom-up or top-down rows alike (each padded to 4 bytes): 16 bits a pixel are
// 5-5-5 with blue lowest; 24 and 32 are blue, green, red bytes (the fourth byte kept).
// Other depths are left as they are.
void FadePixelRows(uint8_t* bits, int32_t width, int32_t height, int32_t bitsPerPixel, const FadeTables& tables);

// Which rows of the traced area the step at *bandIndex fades. At band 0 the grown area
// is saved in *saved and *countdown goes down by one; bands 1..3 use the saved area. An
// area too low for four bands is faded whole at band 0 only. The index moves on in any
// case. False when this step fades nothing.
bool NextFadeBand(const ScreenRect& grown, int32_t* bandIndex, ScreenRect* saved, int32_t* countdown,
                  ScreenRect* band);
