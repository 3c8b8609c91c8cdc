// The installed-font list built from Windows' enumeration, the math symbol face, and
// Windows fonts for text styles.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "engine/core/alerts.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/fonts.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/services/text_style.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "engine/interact/preferences_dialog.h"
#include "engine/text/string_groups.h"
#include "engine/text/text_style.h"
#include "platform/rules/font_list.h"
#include "platform/win32/fonts.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/ui_fonts.h"

namespace {

constexpr ResultCode kAlertNotASymbolFont = 140;
constexpr int32_t kSymbolFallbackItem = 17;  // of the miscellany group: "Symbol"

char gMathSymbolFaceName[LF_FACESIZE] = "Symbol";
int32_t gSymbolFontIndex = 0;
int32_t gDefaultFontIndex = 1;
int32_t gScreenVerticalResolution = 96;
HMENU gFontMenu = nullptr;
int32_t gFontMenuOwner = 0;
int32_t gFontMenuPosition = 0;

struct Enumeration {
    FontList* list;
    bool      outOfMemory;
};

int CALLBACK AddFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD fontType, LPARAM data) {
    auto* enumeration = reinterpret_cast<Enumeration*>(data);
    InstalledFont face{};
    CopyFaceName(face.faceName, font->lfFaceName);
    face.charset = font->lfCharSet;
    face.pitchAndFamily = font->lfPitchAndFamily;
    face.traits = FontTraitsOf(font->lfPitchAndFamily, font->lfCharSet, font->lfWeight, font->lfItalic != 0);
    face.fontType = static_cast<int32_t>(fontType);
    if (!AddEnumeratedFont(enumeration->list, face)) {
        enumeration->outOfMemory = true;
        return 0;
    }
    return 1;
}

bool AskUseOtherSymbolFont() { return AskQuestionByCode(kAlertNotASymbolFont, false, 0); }

// The characters angle measurements show from the math symbol font, and the same signs
// as Unicode characters.
constexpr char kAngleAndDegree[2] = { char(208), char(176) };
constexpr wchar_t kAngleAndDegreeUnicode[2] = { 0x2220, 0x00B0 };
constexpr WORD kNoGlyph = 0xFFFF;

// Whether a face draws the angle and degree characters in its own character set, as the
// symbol glyphs are drawn, and each is not some other character of a face that has
// those signs elsewhere. A face that Windows replaces by another fails.
bool DrawsAngleAndDegree(HDC dc, const InstalledFont& face) {
    LOGFONTA wanted{};
    wanted.lfHeight = -16;
    wanted.lfCharSet = face.charset;
    std::memcpy(wanted.lfFaceName, face.faceName, LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&wanted);
    if (!font) return false;
    HGDIOBJ old = SelectObject(dc, font);
    char chosen[LF_FACESIZE] = "";
    GetTextFaceA(dc, LF_FACESIZE, chosen);
    WORD byCode[2] = { kNoGlyph, kNoGlyph };
    WORD byUnicode[2] = { kNoGlyph, kNoGlyph };
    bool draws = lstrcmpiA(chosen, face.faceName) == 0 &&
                 GetGlyphIndicesA(dc, kAngleAndDegree, 2, byCode, GGI_MARK_NONEXISTING_GLYPHS) == 2 &&
                 GetGlyphIndicesW(dc, kAngleAndDegreeUnicode, 2, byUnicode, GGI_MARK_NONEXISTING_GLYPHS) == 2;
    for (int i = 0; draws && i < 2; ++i) {
        if (byCode[i] == kNoGlyph || (byUnicode[i] != kNoGlyph && byUnicode[i] != byCode[i])) draws = false;
    }
    SelectObject(dc, old);
    DeleteObject(font);
    return draws;
}

// A math symbol face chosen by name may still draw none of its symbols (a face that
// claims the symbol character set without the symbol encoding, as Wine's own one does):
// then the first face whose name holds the fallback name and that draws the angle and
// degree signs at their symbol codes takes its place.
int32_t UsableSymbolFontIndex(const FontList& list, int32_t chosen, const char* fallbackName) {
    HDC screen = GetDC(nullptr);
    if (!screen) return chosen;
    int32_t usable = chosen;
    if (chosen <= 0 || chosen >= list.size || !DrawsAngleAndDegree(screen, list.items[chosen])) {
        char wanted[LF_FACESIZE] = "";
        lstrcpynA(wanted, fallbackName, LF_FACESIZE);
        CharLowerA(wanted);
        for (int32_t i = 1; wanted[0] && i < list.size; ++i) {
            char name[LF_FACESIZE];
            std::memcpy(name, list.items[i].faceName, LF_FACESIZE);
            name[LF_FACESIZE - 1] = 0;
            CharLowerA(name);
            if (i == chosen || !std::strstr(name, wanted) || !DrawsAngleAndDegree(screen, list.items[i])) continue;
            usable = i;
            break;
        }
    }
    ReleaseDC(nullptr, screen);
    return usable;
}

}  // namespace

bool BuildFontList() {
    FontList& list = TheFontList();
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    const uint8_t charset = CharsetForCodePage(GetACP());
    Enumeration enumeration = { &list, !StartFontList(&list, charset) };
    for (uint8_t pass : { charset, uint8_t(SYMBOL_CHARSET), uint8_t(OEM_CHARSET), uint8_t(DEFAULT_CHARSET) }) {
        if (enumeration.outOfMemory) break;
        LOGFONTA wanted{};
        wanted.lfCharSet = pass;
        EnumFontFamiliesExA(screen, &wanted, AddFamily, reinterpret_cast<LPARAM>(&enumeration), 0);
    }
    gScreenVerticalResolution = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    gDefaultFontIndex = 1;
    return !enumeration.outOfMemory;
}

void ChooseMathSymbolFont() {
    char fallback[LF_FACESIZE] = "";
    lstrcpynA(fallback, GroupText(kGroupMiscellany, kSymbolFallbackItem), LF_FACESIZE);
    const MathSymbolChoice choice =
        ChooseMathSymbolFontIn(&TheFontList(), ThePreferences().mathSymbolFont, fallback, AskUseOtherSymbolFont);
    gDefaultFontIndex = choice.defaultFontIndex;
    gSymbolFontIndex = UsableSymbolFontIndex(TheFontList(), choice.symbolFontIndex, fallback);
    if (choice.checkLater >= 0) PreferencesApplyLater(choice.checkLater);
    if (gSymbolFontIndex > 0)
        std::memcpy(gMathSymbolFaceName, TheFontList().items[gSymbolFontIndex].faceName, LF_FACESIZE);
}

const char* MathSymbolFaceName() { return gMathSymbolFaceName; }
int32_t SymbolFontIndex() { return gSymbolFontIndex; }
int32_t DefaultFontIndex() { return gDefaultFontIndex; }
int32_t FindFontIndex(const char* faceName) { return FindFontIndexIn(TheFontList(), faceName); }

uint32_t GetFontSpec(uint8_t* out, int16_t font) { return FontSpecOf(TheFontList(), out, font); }

void FindFontNumber(int16_t* font, const uint8_t* description) {
    *font = FontNumberForSpec(TheFontList(), description);
}

void StyleToLogFont(const TextStyle* style, LOGFONTA* font) {
    std::memset(font, 0, sizeof *font);
    const int32_t size = ScriptLevelFontSize(style);
    font->lfHeight = size <= 1 ? -1 : -size;
    font->lfWeight = style->field[kStyleWeight] == 2 ? FW_BOLD : FW_NORMAL;
    font->lfItalic = style->field[kStyleSlant] == 2;
    font->lfUnderline = style->field[kStyleUnderline] == 2;
    const int16_t widthField = style->field[kStyleWidth];
    if (widthField != 0 && widthField != 1) {
        // The width comes from the average character width of the font built so far,
        // before it has a face name.
        HFONT measured = CreateFontIndirectA(font);
        HDC desktop = GetDC(nullptr);
        TEXTMETRICA metrics{};
        HGDIOBJ old = SelectObject(desktop, measured);
        GetTextMetricsA(desktop, &metrics);
        SelectObject(desktop, old);
        ReleaseDC(nullptr, desktop);
        DeleteObject(measured);
        font->lfWidth = StyleFontWidth(widthField, metrics.tmAveCharWidth);
    }
    const InstalledFont& face = FontForNumber(TheFontList(), style->field[kStyleFont]);
    font->lfCharSet = face.charset;
    std::memcpy(font->lfFaceName, face.faceName, LF_FACESIZE);
}

HFONT CreateStyleFont(const TextStyle* style, LOGFONTA* out) {
    LOGFONTA font;
    StyleToLogFont(style, &font);
    if (out) *out = font;
    return CreateFontIndirectA(&font);
}

HFONT CreateSymbolStyleFont(const TextStyle* style, LOGFONTA* out) {
    TextStyle symbol = *style;
    symbol.field[kStyleFont] = static_cast<int16_t>(gSymbolFontIndex + 1);
    return CreateStyleFont(&symbol, out);
}

void SetTextColorFromStyle(HDC dc, const TextStyle* style) {
    uint32_t color;
    StyleToColorRef(style, &color);
    SetTextColor(dc, color);
}

int32_t AppendFontMenuItems(HMENU menu, int32_t ownerValue, int32_t positionValue) {
    gFontMenu = menu;
    gFontMenuOwner = ownerValue;
    gFontMenuPosition = positionValue;
    const FontList& list = TheFontList();
    const int32_t items = FontMenuItemCount(list);
    for (int32_t i = 1; i <= items; ++i)
        AppendMenuA(menu, MF_STRING, kFirstFontMenuId - 1 + static_cast<uint32_t>(i), list.items[i].faceName);
    return list.size;
}

HMENU FontMenu() { return gFontMenu; }

void MeasureStyledText(const char* text, int32_t length, int32_t, const TextStyle* style, int32_t,
                       int16_t* width, int16_t* height) {
    // The printed page while one is drawn, else the window of the current sketch's view,
    // else the screen.
    HDC dc = PrintMeasureDC();
    if (!dc) {
        Sketch* sketch = CurrentSketch();
        const GraphicsPort* port = sketch ? SketchViewPort(sketch) : nullptr;
        if (port) dc = port->windowDC;
    }
    const bool screen = dc == nullptr;
    if (screen) dc = GetDC(nullptr);
    HFONT font = CreateStyleFont(style, nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT box = { 0, 0, 0, 0 };
    DrawTextA(dc, text, length, &box, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
    if (screen) ReleaseDC(nullptr, dc);
    *width = static_cast<int16_t>(box.right);
    *height = static_cast<int16_t>(std::abs(box.bottom));
}

void DrawStyledTextLine(const StyledTextLine* line) {
    HDC dc = *reinterpret_cast<HDC*>(line->port);
    LOGFONTA logFont;
    HFONT font = CreateStyleFont(line->style, &logFont);
    HGDIOBJ oldFont = SelectObject(dc, font);
    uint32_t color;
    StyleToColorRef(line->style, &color);
    COLORREF textColor = color;
    if (line->object && (line->object->markFlags & kMarkDimmed)) DimTowardBackground(&textColor);
    const COLORREF oldColor = SetTextColor(dc, textColor);
    RECT box = { 0, 0, 0, 0 };
    DrawTextA(dc, line->text, line->length, &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    // Widened by a quarter of the height so that slanted glyphs are not cut.
    OffsetRect(&box, line->x, line->y);
    box.right += std::abs(logFont.lfHeight) / 4;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, line->text, line->length, &box, DT_SINGLELINE | DT_NOPREFIX);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SetTextColor(dc, oldColor);
}
