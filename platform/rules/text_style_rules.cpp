#include "platform/rules/text_style_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/core/services/text_style.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool Meets(const BarRect& a, const BarRect& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

}  // namespace

void FormatSizeText(int32_t twentieths, char* out, size_t capacity) {
    if (capacity == 0) return;
    out[0] = 0;
    if (twentieths < 0) return;
    const int32_t half = (twentieths + 5) / 10;
    if (half % 2 == 0) std::snprintf(out, capacity, "%ld", static_cast<long>((twentieths + 5) / 20));
    else std::snprintf(out, capacity, "%.1f", half * 0.5);
}

int32_t ParseSizeText(const char* text) {
    if (!text) return kSizeEmpty;
    while (IsBlank(*text)) ++text;
    if (*text == 0) return kSizeEmpty;
    char* end = nullptr;
    const double number = std::strtod(text, &end);
    if (end == text || std::isnan(number)) return kSizeNotANumber;
    while (IsBlank(*end)) ++end;
    if (*end != 0) return kSizeNotANumber;
    if (number < 0) return 0;
    // Compared before converting: "1e99" or "inf" would not fit an integer.
    if (number * 20.0 >= kSizeTooLarge) return kSizeTooLarge;
    return static_cast<int32_t>(number * 20.0);
}

bool IsAcceptableSize(int32_t twentieths) { return twentieths >= kSmallestSize && twentieths <= kLargestSize; }

uint32_t SizeRefusalMessage(int32_t twentieths) {
    if (twentieths == kSizeNotANumber) return 214;
    if (twentieths == kSizeEmpty || IsAcceptableSize(twentieths)) return 0;
    return 215;
}

int32_t OfferedSizeInsertIndex(int32_t points) {
    if (points <= 0) return -1;
    int32_t i = 0;
    for (; i < 9; ++i) {
        if (kOfferedSizes[i] == points) return -1;
        if (kOfferedSizes[i] > points) break;
    }
    return i;
}

bool IsSizeCharacter(uint32_t character) { return character >= '0' && character <= '9'; }

size_t DigitPrefixLength(const char* text) {
    size_t n = 0;
    while (text && IsSizeCharacter(static_cast<unsigned char>(text[n]))) ++n;
    return n;
}

namespace {

constexpr uint32_t kPlain = 32881, kBold = 32882, kUnderline = 32883, kItalic = 32884;
constexpr uint32_t kFirstFixedSize = 32886, kLarger = 32892, kSmaller = 32893;
constexpr int16_t kFixedSizes[6] = { 9, 10, 12, 14, 18, 24 };
constexpr int16_t kPlainFlag = 1, kOnFlag = 2;

// A flag the selection has set turns over (3 - value); a mixed one turns on.
int16_t Toggled(int16_t flag) { return flag != 0 ? int16_t(3 - flag) : kOnFlag; }

}  // namespace

bool StyleForTextCommand(uint32_t command, TextStyle* style, int32_t* step) {
    *step = 0;
    int16_t* f = style->field;
    switch (command) {
    case kPlain: f[kStyleWeight] = f[kStyleSlant] = f[kStyleUnderline] = kPlainFlag; return true;
    case kBold: f[kStyleWeight] = Toggled(f[kStyleWeight]); return true;
    case kUnderline: f[kStyleUnderline] = Toggled(f[kStyleUnderline]); return true;
    case kItalic: f[kStyleSlant] = Toggled(f[kStyleSlant]); return true;
    case kLarger:
    case kSmaller:
        f[kStyleSize] = 0;
        *step = command == kLarger ? 1 : -1;
        return true;
    default:
        if (command >= kFirstFixedSize && command < kFirstFixedSize + 6) f[kStyleSize] = kFixedSizes[command - kFirstFixedSize];
        return command >= kFirstTextStyleCommand && command <= kLastTextStyleCommand;
    }
}

bool TextCommandChecked(uint32_t command, const TextStyle& style) {
    const int16_t* f = style.field;
    switch (command) {
    case kPlain: return f[kStyleWeight] == kPlainFlag && f[kStyleSlant] == kPlainFlag && f[kStyleUnderline] == kPlainFlag;
    case kBold: return f[kStyleWeight] == kOnFlag;
    case kUnderline: return f[kStyleUnderline] == kOnFlag;
    case kItalic: return f[kStyleSlant] == kOnFlag;
    default:
        return command >= kFirstFixedSize && command < kFirstFixedSize + 6 &&
               f[kStyleSize] == kFixedSizes[command - kFirstFixedSize];
    }
}

int32_t SwatchColorIndex(uint32_t item) {
    return item >= kFirstSwatchItem && item < kFirstSwatchItem + 16 ? int32_t(item - kFirstSwatchItem) : -1;
}

int32_t NotationEditorCode(uint32_t command) {
    // One code per command from 32804 on: fraction, root, exponent, subscript,
    // parentheses, brackets, braces, absolute value, then the angle, pi and degree marks.
    static const int32_t codes[11] = { 16, 21, 20, 23, 18, 17, 19, 22, 0x8D0, 0x870, 0x8B0 };
    return command >= 32804 && command <= 32814 ? codes[command - 32804] : -1;
}

int16_t OverbarValue(uint32_t command) {
    return command >= 32800 && command <= 32803 ? int16_t(command - 32800 + 2) : 0;
}

const uint16_t kSymbolCodes[kSymbolCount] = {
    0x102, 0x100, 0x101, 0x5E, 0x40, 0x7E, 0xBB, 0xBA, 0xB9, 0xB3, 0xA3, 0xB8, 0xB1, 0xB7, 0xD7, 0xA5,
    0xE5,  0xD5,  0xAE,  0xDE, 0x5C, 0x24, 0x22, 0x61, 0x62, 0x67, 0x44, 0x64, 0x65, 0x71, 0x6A,
};

int32_t SymbolEditorCode(uint32_t item) {
    if (item < kFirstSymbolItem || item >= kFirstSymbolItem + 300) return -1;
    return int32_t(item - kFirstSymbolItem) | 0x800;
}

NotationPlacement PlaceNotationBar(bool paletteFloats, const BarRect& palette, const BarRect& dockBar,
                                   BarSize bar, int32_t borderWidth, int32_t borderHeight) {
    if (paletteFloats) {
        const int32_t left = palette.left - 2 * borderWidth;
        const int32_t top = palette.bottom + 2 * borderHeight;
        return { true, { left, top, left + bar.cx, top + bar.cy } };
    }
    const int32_t height = palette.Height();
    if (palette.right + bar.cx <= dockBar.right)
        return { false, { palette.right, palette.top, palette.right + bar.cx, palette.bottom } };
    return { false, { dockBar.left, palette.bottom, dockBar.left + bar.cx, palette.bottom + height } };
}

BarRect StretchFloatingFrame(int32_t hit, const BarRect& frame, BarSize extra, int32_t dx, int32_t dy,
                             BarLayoutQuery layout, void* context, const BarRect& desktop) {
    const bool left = hit == kHitLeft || hit == kHitTopLeft || hit == kHitBottomLeft;
    const bool top = hit == kHitTop || hit == kHitTopLeft || hit == kHitTopRight;
    const bool right = hit == kHitRight || hit == kHitTopRight || hit == kHitBottomRight;
    const bool bottom = hit == kHitBottom || hit == kHitBottomLeft || hit == kHitBottomRight;
    BarRect proposed = frame;
    if (left) proposed.left += dx;
    if (right) proposed.right += dx;
    if (top) proposed.top += dy;
    if (bottom) proposed.bottom += dy;
    const bool widthChanged = proposed.Width() != frame.Width();
    const bool heightChanged = proposed.Height() != frame.Height();
    BarSize size{ frame.Width() - extra.cx, frame.Height() - extra.cy };
    if (widthChanged) size = layout(context, std::max(0, proposed.Width() - extra.cx), false);
    if (heightChanged || !widthChanged) size = layout(context, std::max(0, proposed.Height() - extra.cy), true);
    const int32_t width = size.cx + extra.cx;
    const int32_t height = size.cy + extra.cy;

    BarRect result = frame;
    auto keep = [&](BarRect candidate) {
        if (Meets(candidate, desktop)) result = candidate;
    };
    if (left) keep({ result.right - width, result.top, result.right, result.bottom });
    if (right) keep({ result.left, result.top, result.left + width, result.bottom });
    if (top) keep({ result.left, result.bottom - height, result.right, result.bottom });
    if (bottom) keep({ result.left, result.top, result.right, result.top + height });
    return result;
}
