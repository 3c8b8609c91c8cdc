// Test double of the installed-font list: the platform's list rules over three faces,
// "Arial", "Symbol" and "Times New Roman". Arial is the default face, so the list is
// Arial (1), Arial (2), Symbol (3, the symbol trait), Times New Roman (4, roman).
#include <cstring>

#include "engine/core/services/fonts.h"
#include "platform/rules/font_list.h"

namespace {
// Built before any test runs, so that no test's allocation count includes it.
const FontList& BuildTestFontList() {
    FontList& list = TheFontList();
    {
        struct Face { const char* name; uint8_t charset; uint8_t pitchAndFamily; };
        const Face faces[] = { { "Arial", 0, 0x22 }, { "Symbol", kSymbolCharset, 0x52 },
                               { "Times New Roman", 0, 0x12 } };
        StartFontList(&list, 0);
        for (const Face& f : faces) {
            InstalledFont font{};
            CopyFaceName(font.faceName, f.name);
            font.charset = f.charset;
            font.pitchAndFamily = f.pitchAndFamily;
            font.traits = FontTraitsOf(f.pitchAndFamily, f.charset, 400, false);
            font.fontType = kTrueTypeFont;
            AddEnumeratedFont(&list, font);
        }
    }
    return list;
}
const FontList& gTestFonts = BuildTestFontList();
const FontList& TestFontList() { return gTestFonts; }
}  // namespace

uint32_t GetFontSpec(uint8_t* out, int16_t font) { return FontSpecOf(TestFontList(), out, font); }

void FindFontNumber(int16_t* font, const uint8_t* description) {
    *font = FontNumberForSpec(TestFontList(), description);
}
