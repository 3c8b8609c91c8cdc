// Colour arithmetic of the platform: COLORREF values (red in the low byte, then green,
// then blue), the colour fields of text styles, the default colours and the choice of
// the highlight colour that stands out on a sketch.
#pragma once
#include <cstdint>

struct CustomColorBlock;

// What StyleToColorRef answers for a style that sets no colour.
constexpr uint32_t kNoStyleColor = 0x10000;

constexpr uint32_t RgbColor(uint32_t red, uint32_t green, uint32_t blue) {
    return red | green << 8 | blue << 16;
}

// The sixteen custom colours offered before the user sets any.
extern const uint32_t kDefaultCustomColors[16];
// Fills a block with the sixteen defaults.
void FillDefaultCustomColors(CustomColorBlock* block);
// Copies min(count, 16) colours.
void CopyCustomColors(const uint32_t* source, uint32_t* destination, int32_t count);

// The mark SetColorMenuMark set last.
struct ColorMenuMark {
    bool     shown;
    uint32_t color;
};
const ColorMenuMark& CurrentColorMenuMark();

// A window colour is light when its components sum to at least this.
constexpr uint32_t kLightColorSum = 288;
bool IsLightColor(uint32_t color);
// The default object palette of the preferences for a given system window colour.
void DefaultPaletteFor(uint32_t windowColor, uint32_t palette[12]);

// Hue 0..239, saturation 0..240 and luminance 0..240 of a colour; any out pointer may
// be null. A grey has hue 0: its saturation 0 keeps the hue from being used.
void RgbToHueSatLum(int32_t red, int32_t green, int32_t blue, int32_t* hue, int32_t* saturation,
                    int32_t* luminance);

// The two colours a drawing port keeps for a sketch: the contrast colour (white on a
// dark background, black on a light one) and the colour of highlighted objects, which
// keeps clear of the background's hue and of the sketch's highlight colour.
struct SelectionColors {
    uint32_t contrast;
    uint32_t selection;
};
SelectionColors SelectionColorsFor(uint32_t background, uint32_t highlight);
