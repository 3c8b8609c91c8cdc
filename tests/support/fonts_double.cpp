// Test double of the installed-font list: three fonts, "Arial" (1, the default),
// "Symbol" (2, traits 2) and "Times New Roman" (3, traits 1).
#include <cctype>
#include <cstring>

#include "engine/core/services/fonts.h"
#include "engine/core/services/text_style.h"

namespace {
struct FontRow { uint16_t traits; const char* face; };
const FontRow kFonts[] = { { 0, "Arial" }, { 2, "Symbol" }, { 1, "Times New Roman" } };
constexpr int16_t kFontCount = 3;

bool SameFace(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
    return *a == *b;
}
}  // namespace

uint32_t GetFontSpec(uint8_t* out, int16_t font) {
    if (font < 1) font = 1;
    if (font > kFontCount) return 0;
    const FontRow& row = kFonts[font - 1];
    uint32_t n = static_cast<uint32_t>(std::strlen(row.face));
    if (out) {
        out[0] = static_cast<uint8_t>(row.traits);
        out[1] = static_cast<uint8_t>(row.traits >> 8);
        std::memcpy(out + 2, row.face, n + 1);
    }
    return n + 5;
}

void FindFontNumber(int16_t* font, const uint8_t* description) {
    *font = 1;
    if (!description) return;
    const char* face = reinterpret_cast<const char*>(description + 2);
    uint16_t traits = static_cast<uint16_t>(description[0] | description[1] << 8);
    for (int16_t i = 0; i < kFontCount; ++i)
        if (SameFace(kFonts[i].face, face)) {
            *font = static_cast<int16_t>(i + 1);
            return;
        }
    for (int16_t i = 0; i < kFontCount; ++i)
        if (kFonts[i].traits == traits) {
            *font = static_cast<int16_t>(i + 1);
            return;
        }
}

void InitDefaultTextStyle(int32_t slot, TextStyle* style) {
    for (int16_t& field : style->field) field = 1;
    style->field[kStyleSize] = slot == 4 ? 10 : 12;
    style->field[kStyleScriptLevel] = 0;
}
