#include "release2/platform/trace_fading.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/core/sketch.h"

int32_t TraceFadeTicksFor(int32_t fadeSetting) {
    return std::max(1, (17 - fadeSetting) * 2 / kFadeBandCount);
}

int32_t GetTraceFadeTicks(const Sketch* sketch) { return TraceFadeTicksFor(sketch->settings.traceFade); }

int32_t FadeChannel(int32_t value, int32_t target, int32_t strength, int32_t range) {
    const int32_t unit = 256 / range;
    target /= unit;
    if (value == target) return target;
    const int32_t step = (strength / unit) * (target - value) / range;
    const int32_t least = range <= 32 ? 1 : 4;
    if (std::abs(step) >= least) return value + step;
    return value < target ? std::min(value + least, target) : std::max(value - least, target);
}

void BuildFadeTables(uint32_t background, int32_t strength, FadeTables* tables) {
    const int32_t red = background & 0xFF, green = (background >> 8) & 0xFF, blue = (background >> 16) & 0xFF;
    for (int32_t v = 0; v < 256; ++v) {
        tables->red[v] = static_cast<uint8_t>(FadeChannel(v, red, strength, 256));
        tables->green[v] = static_cast<uint8_t>(FadeChannel(v, green, strength, 256));
        tables->blue[v] = static_cast<uint8_t>(FadeChannel(v, blue, strength, 256));
    }
    tables->background32 = uint32_t(blue) | uint32_t(green) << 8 | uint32_t(red) << 16;
    tables->background16 = uint16_t((blue >> 3) | (green >> 3) << 5 | (red >> 3) << 10);
    for (int32_t v = 0; v < 32; ++v) {
        tables->red5[v] = static_cast<uint8_t>(FadeChannel(v, red, strength, 32));
        tables->green5[v] = static_cast<uint8_t>(FadeChannel(v, green, strength, 32));
        tables->blue5[v] = static_cast<uint8_t>(FadeChannel(v, blue, strength, 32));
    }
}

namespace {

// The last few pixels of a 32-bit row through the tables, the fourth byte kept.
void FadePixels32(uint8_t* p, int32_t count, const FadeTables& t) {
    for (int32_t i = 0; i < count; ++i, p += 4) {
        p[0] = t.blue[p[0]];
        p[1] = t.green[p[1]];
        p[2] = t.red[p[2]];
    }
}

#if defined(__SSE2__)
// FadeChannel's rule for 8-bit channels on sixteen bytes (four pixels) at once, with no
// branch: each channel moves a sixteenth of its distance to the target, at least 4 and
// never past it. `channels` masks out the fourth byte of each pixel, which is kept.
inline __m128i FadeSixteen(__m128i v, __m128i target, __m128i channels) {
    const __m128i up = _mm_subs_epu8(target, v);
    const __m128i distance = _mm_and_si128(_mm_or_si128(up, _mm_subs_epu8(v, target)), channels);
    // 16-bit shifts carry the odd byte's low bits into the even byte: masked off.
    const __m128i sixteenth = _mm_and_si128(_mm_srli_epi16(distance, 4), _mm_set1_epi8(0x0F));
    const __m128i step = _mm_max_epu8(sixteenth, _mm_min_epu8(distance, _mm_set1_epi8(4)));
    // Downward, v - step is ~(~v + step): one addition serves both ways.
    const __m128i downward = _mm_cmpeq_epi8(up, _mm_setzero_si128());
    return _mm_xor_si128(_mm_add_epi8(_mm_xor_si128(v, downward), step), downward);
}

// Sixteen pixels at a time; a block all at the background (most of a traced area) is
// only read. What is left after the blocks goes four pixels at a time, then through the
// tables.
void FadeRow32(uint8_t* row, int32_t width, const FadeTables& t) {
    const __m128i target = _mm_set1_epi32(int32_t(t.background32));
    const __m128i channels = _mm_set1_epi32(0x00FFFFFF);
    int32_t x = 0;
    for (; x + 16 <= width; x += 16) {
        __m128i* p = reinterpret_cast<__m128i*>(row + 4 * x);
        const __m128i a = _mm_loadu_si128(p), b = _mm_loadu_si128(p + 1);
        const __m128i c = _mm_loadu_si128(p + 2), d = _mm_loadu_si128(p + 3);
        const __m128i off = _mm_and_si128(_mm_or_si128(_mm_or_si128(_mm_xor_si128(a, target), _mm_xor_si128(b, target)),
                                                       _mm_or_si128(_mm_xor_si128(c, target), _mm_xor_si128(d, target))),
                                          channels);
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(off, _mm_setzero_si128())) == 0xFFFF) continue;
        _mm_storeu_si128(p, FadeSixteen(a, target, channels));
        _mm_storeu_si128(p + 1, FadeSixteen(b, target, channels));
        _mm_storeu_si128(p + 2, FadeSixteen(c, target, channels));
        _mm_storeu_si128(p + 3, FadeSixteen(d, target, channels));
    }
    for (; x + 4 <= width; x += 4) {
        __m128i* p = reinterpret_cast<__m128i*>(row + 4 * x);
        _mm_storeu_si128(p, FadeSixteen(_mm_loadu_si128(p), target, channels));
    }
    FadePixels32(row + 4 * x, width - x, t);
}
#else
void FadeRow32(uint8_t* row, int32_t width, const FadeTables& t) { FadePixels32(row, width, t); }
#endif

}  // namespace

void FadePixelRows(uint8_t* bits, int32_t width, int32_t height, int32_t bitsPerPixel, const FadeTables& t) {
    if (width <= 0 || height <= 0) return;
    const size_t stride = (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = bits + stride * y;
        switch (bitsPerPixel) {
        case 16:
            for (int32_t x = 0; x < width; ++x) {
                uint8_t* p = row + 2 * x;
                const uint32_t v = p[0] | (p[1] << 8);
                if ((v & 0x7FFF) == t.background16) continue;
                const uint32_t faded = t.blue5[v & 31] | (t.green5[(v >> 5) & 31] << 5) |
                                       (t.red5[(v >> 10) & 31] << 10) | (v & 0x8000);
                p[0] = static_cast<uint8_t>(faded);
                p[1] = static_cast<uint8_t>(faded >> 8);
            }
            break;
        case 32:
            FadeRow32(row, width, t);
            break;
        case 24: {
            const int32_t bytes = bitsPerPixel / 8;
            for (int32_t x = 0; x < width; ++x) {
                uint8_t* p = row + bytes * x;
                p[0] = t.blue[p[0]];
                p[1] = t.green[p[1]];
                p[2] = t.red[p[2]];
            }
            break;
        }
        default:
            return;
        }
    }
}

bool NextFadeBand(const ScreenRect& grown, int32_t* bandIndex, ScreenRect* saved, int32_t* countdown,
                  ScreenRect* band) {
    if (*bandIndex < 0 || *bandIndex >= kFadeBandCount) *bandIndex = 0;
    const int32_t index = *bandIndex;
    if (index == 0) {
        *saved = grown;
        --*countdown;
    }
    *bandIndex = (index + 1) % kFadeBandCount;
    const ScreenRect& area = *saved;
    const int32_t bandHeight = (area.bottom - area.top) / kFadeBandCount;
    *band = area;
    if (bandHeight <= 0) return index == 0;
    const int32_t top = area.top + index * bandHeight;
    const int32_t bottom = index == kFadeBandCount - 1 ? area.bottom : std::min<int32_t>(top + bandHeight, area.bottom);
    band->top = static_cast<int16_t>(top);
    band->bottom = static_cast<int16_t>(bottom);
    return bottom > top;
}
