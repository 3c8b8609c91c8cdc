#include <cstdlib>
#include <initializer_list>

#include "engine/core/color_list.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/text_style.h"
#include "platform/rules/colors.h"

namespace {
ColorMenuMark gMark{};

uint32_t Red(uint32_t c) { return c & 0xFF; }
uint32_t Green(uint32_t c) { return c >> 8 & 0xFF; }
uint32_t Blue(uint32_t c) { return c >> 16 & 0xFF; }
}  // namespace

const uint32_t kDefaultCustomColors[16] = {
    RgbColor(0, 0, 0),       RgbColor(255, 0, 0),     RgbColor(255, 128, 0),   RgbColor(255, 255, 0),
    RgbColor(0, 255, 0),     RgbColor(0, 255, 255),   RgbColor(0, 0, 255),     RgbColor(255, 0, 255),
    RgbColor(138, 102, 217), RgbColor(128, 0, 128),   RgbColor(0, 128, 0),     RgbColor(0, 0, 128),
    RgbColor(128, 0, 0),     RgbColor(192, 133, 74),  RgbColor(192, 192, 192), RgbColor(128, 128, 128),
};
static_assert(kMaxCustomColors == 16);

void ColorRefToStyle(uint32_t color, TextStyle* style) {
    style->field[kStyleRed] = static_cast<int16_t>(Red(color) + 1);
    style->field[kStyleGreen] = static_cast<int16_t>(Green(color) + 1);
    style->field[kStyleBlue] = static_cast<int16_t>(Blue(color) + 1);
}

void StyleToColorRef(const TextStyle* style, uint32_t* color) {
    if (style->field[kStyleRed] <= 0) {
        *color = kNoStyleColor;
        return;
    }
    const auto component = [style](TextStyleField f) {
        return static_cast<uint32_t>(style->field[f] - 1) & 0xFF;
    };
    *color = RgbColor(component(kStyleRed), component(kStyleGreen), component(kStyleBlue));
}

void PackRgb(uint32_t* color, uint8_t red, uint8_t green, uint8_t blue) {
    *color = RgbColor(red, green, blue);
}

void UnpackRgb(uint8_t* rgb, uint32_t color) {
    rgb[0] = static_cast<uint8_t>(Red(color));
    rgb[1] = static_cast<uint8_t>(Green(color));
    rgb[2] = static_cast<uint8_t>(Blue(color));
}

bool SameRgb(uint32_t a, uint32_t b) { return (a & 0xFFFFFF) == (b & 0xFFFFFF); }

void FillDefaultCustomColors(CustomColorBlock* block) {
    block->count = kMaxCustomColors;
    CopyCustomColors(kDefaultCustomColors, block->colors, kMaxCustomColors);
}

void CopyCustomColors(const uint32_t* source, uint32_t* destination, int32_t count) {
    for (int32_t i = 0; i < count && i < kMaxCustomColors; ++i) destination[i] = source[i];
}

void SetColorMenuMark(bool hasColor, uint32_t color) {
    gMark.shown = hasColor;
    if (hasColor) gMark.color = color;
}
const ColorMenuMark& CurrentColorMenuMark() { return gMark; }

bool IsLightColor(uint32_t color) { return Red(color) + Green(color) + Blue(color) >= kLightColorSum; }

void DefaultPaletteFor(uint32_t windowColor, uint32_t palette[12]) {
    const uint32_t contrast = IsLightColor(windowColor) ? RgbColor(0, 0, 0) : RgbColor(255, 255, 255);
    const uint32_t colors[12] = {
        RgbColor(255, 0, 0),   RgbColor(0, 0, 128),   RgbColor(0, 128, 0), RgbColor(255, 255, 0),
        RgbColor(128, 0, 128), RgbColor(128, 0, 0),   RgbColor(255, 0, 255), windowColor & 0xFFFFFF,
        RgbColor(192, 192, 192), contrast, contrast, contrast,
    };
    for (int32_t i = 0; i < 12; ++i) palette[i] = colors[i];
}

void RgbToHueSatLum(int32_t red, int32_t green, int32_t blue, int32_t* hue, int32_t* saturation,
                    int32_t* luminance) {
    int32_t max = red, min = red;
    for (int32_t c : { green, blue }) {
        if (c > max) max = c;
        if (c < min) min = c;
    }
    int32_t h = 0, s = 0;
    // A grey has no hue; dividing by max - min would divide by zero.
    if (max > 0 && max != min) {
        s = (max - min) * 240 / max;
        const double range = max - min;
        double sector;
        if (red == max) sector = (green - blue) / range;
        else if (green == max) sector = (blue - red) / range + 2;
        else sector = (red - green) / range + 4;
        if (sector < 0) sector += 6;
        h = static_cast<int32_t>(sector * 40);
    }
    if (hue) *hue = h;
    if (saturation) *saturation = s;
    if (luminance) *luminance = (min + max) * 120 / 255;
}

SelectionColors SelectionColorsFor(uint32_t background, uint32_t highlight) {
    SelectionColors result;
    result.contrast = IsLightColor(background) ? RgbColor(0, 0, 0) : RgbColor(255, 255, 255);

    struct Hsl { int32_t hue, saturation, luminance; };
    const auto hsl = [](uint32_t c) {
        Hsl v;
        RgbToHueSatLum(static_cast<int32_t>(Red(c)), static_cast<int32_t>(Green(c)),
                       static_cast<int32_t>(Blue(c)), &v.hue, &v.saturation, &v.luminance);
        return v;
    };
    const Hsl back = hsl(background), mark = hsl(highlight);
    // A colour pushes candidates of a near hue away only when it has a clear hue.
    const auto penaltyFrom = [](const Hsl& c, int32_t candidateHue, int32_t weight) {
        if (c.saturation < 40 || c.luminance < 40 || c.luminance > 200) return 0;
        int32_t d = std::abs(candidateHue - c.hue);
        if (d > 120) d = 240 - d;
        if (d == 0) d = 1;
        return weight / d;
    };

    struct Candidate { int32_t hue; uint32_t color; int32_t base; };
    const Candidate candidates[] = {
        { 0, RgbColor(255, 0, 0), 0 }, { 200, RgbColor(255, 0, 255), 5 }, { 120, RgbColor(0, 255, 255), 10 },
    };
    int32_t best = -1;
    for (const Candidate& c : candidates) {
        const int32_t penalty = c.base + penaltyFrom(back, c.hue, 2400) + penaltyFrom(mark, c.hue, 1200);
        if (best < 0 || penalty < best) {
            best = penalty;
            result.selection = c.color;
        }
    }
    return result;
}
