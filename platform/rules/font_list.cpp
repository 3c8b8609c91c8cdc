#include "platform/rules/font_list.h"

#include <cstring>
#include <initializer_list>

#include "engine/core/memory.h"

namespace {

FontList gFontList{};

// ANSI code page to Windows character set; a zero row ends the table.
struct CodePageCharset { uint16_t codePage; uint8_t charset; };
const CodePageCharset kCodePageCharsets[] = {
    {  874, 222 }, {  932, 128 }, {  936, 134 }, {  949, 129 }, {  950, 136 },
    { 1250, 238 }, { 1251, 204 }, { 1252,   0 }, { 1253, 161 }, { 1254, 162 },
    { 1255, 177 }, { 1256, 178 }, { 1257, 186 }, { 1361, 130 }, {    0,   0 },
};

unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

bool SameNameIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (Lower(static_cast<unsigned char>(*a)) != Lower(static_cast<unsigned char>(*b))) return false;
    return *a == *b;
}

bool Grow(FontList* list) {
    if (list->size < list->capacity) return true;
    const int32_t capacity = list->capacity == 0 ? 64 : list->capacity * 2;
    if (!ReallocMemoryOf(&list->items, sizeof(InstalledFont) * static_cast<size_t>(capacity), false))
        return false;
    list->capacity = capacity;
    return true;
}

uint16_t SpecTraits(const uint8_t* stored) { return static_cast<uint16_t>(stored[0] | stored[1] << 8); }
const char* SpecName(const uint8_t* stored) { return reinterpret_cast<const char*>(stored + 2); }

}  // namespace

FontList& TheFontList() { return gFontList; }

void CopyFaceName(char (&faceName)[32], const char* name) {
    size_t n = 0;
    while (n < sizeof faceName - 1 && name[n]) ++n;
    std::memcpy(faceName, name, n);
    faceName[n] = 0;
}

uint16_t FontTraitsOf(uint8_t pitchAndFamily, uint8_t charset, int32_t weight, bool italic) {
    uint16_t traits = 0;
    if ((pitchAndFamily & 0xF0) == 0x10) traits = kTraitRoman;
    else if ((pitchAndFamily & 0xF0) == 0x40) traits = kTraitScript;
    else if ((pitchAndFamily & 0x0F) == 1) traits = kTraitFixedPitch;
    if (charset == kSymbolCharset) traits |= kTraitSymbol;
    if (weight > 400) traits |= kTraitBold;
    else if (weight >= 1 && weight <= 399) traits |= kTraitLight;
    if (italic) traits |= kTraitItalic;
    return traits;
}

bool StartFontList(FontList* list, uint8_t charset) {
    list->size = 0;
    if (!Grow(list)) return false;
    std::memset(&list->items[0], 0, sizeof(InstalledFont));
    list->items[0].charset = charset;
    list->size = 1;
    return true;
}

void ReleaseFontList(FontList* list) {
    FreeMemory(list->items);
    *list = FontList{};
}

bool AddEnumeratedFont(FontList* list, const InstalledFont& face) {
    if (face.faceName[0] == 0 || list->size < 1) return true;
    InstalledFont record = face;
    record.faceName[sizeof record.faceName - 1] = 0;
    const char* name = record.faceName;

    const int32_t count = list->size - 1;
    int32_t i = 1;
    while (i <= count && std::strcmp(name, list->items[i].faceName) > 0) ++i;
    if (i > count || std::strcmp(name, list->items[i].faceName) != 0) {
        if (!Grow(list)) return false;
        std::memmove(&list->items[i + 1], &list->items[i],
                     sizeof(InstalledFont) * static_cast<size_t>(list->size - i));
        list->items[i] = record;
        ++list->size;
    } else if (record.fontType == kTrueTypeFont && list->items[i].fontType != kTrueTypeFont) {
        list->items[i] = record;
    }

    InstalledFont& first = list->items[0];
    if (std::strcmp(name, "Arial") == 0) first = record;
    else if (std::strcmp(first.faceName, "Arial") == 0) {}
    else if (std::strcmp(name, "System") == 0) first = record;
    else if (first.faceName[0] == 0) first = record;
    return true;
}

uint8_t CharsetForCodePage(uint32_t codePage) {
    for (const CodePageCharset* row = kCodePageCharsets; row->codePage != 0; ++row)
        if (row->codePage == codePage) return row->charset;
    return 0;
}

int32_t FindFontIndexIn(const FontList& list, const char* name) {
    for (int32_t i = 1; i < list.size; ++i)
        if (SameNameIgnoringCase(list.items[i].faceName, name)) return i;
    return 0;
}

bool IsBetterFontMatch(uint16_t candidate, uint16_t best, uint16_t wanted) {
    const uint16_t bestMiss = best ^ wanted;
    const uint16_t candMiss = candidate ^ wanted;
    for (uint16_t trait : { kTraitSymbol, kTraitFixedPitch, kTraitScript, kTraitRoman, kTraitItalic })
        if ((bestMiss & trait) && !(candMiss & trait)) return true;
    return (best & kTraitWeightBits) != (wanted & kTraitWeightBits) &&
           (candidate & kTraitWeightBits) == (wanted & kTraitWeightBits);
}

int16_t FontNumberForSpec(const FontList& list, const uint8_t* stored) {
    if (stored == nullptr) return 1;
    for (int32_t i = 0; i < list.size; ++i)
        if (SameNameIgnoringCase(list.items[i].faceName, SpecName(stored))) return static_cast<int16_t>(i + 1);
    if (list.size == 0) return 1;
    const uint16_t wanted = SpecTraits(stored);
    for (int32_t i = 0; i < list.size; ++i)
        if (list.items[i].traits == wanted) return static_cast<int16_t>(i + 1);
    int32_t best = 0;
    uint16_t bestTraits = list.items[0].traits & 0xFF;
    for (int32_t j = 1; j < list.size; ++j) {
        if (IsBetterFontMatch(list.items[j].traits, bestTraits, wanted)) {
            best = j;
            bestTraits = list.items[j].traits;
        }
    }
    return static_cast<int16_t>(best + 1);
}

uint32_t FontSpecOf(const FontList& list, uint8_t* out, int16_t font) {
    if (list.size == 0 || font - 1 >= list.size) return 0;
    const InstalledFont& entry = list.items[font < 1 ? 0 : font - 1];
    const uint32_t length = static_cast<uint32_t>(std::strlen(entry.faceName));
    if (out) {
        out[0] = static_cast<uint8_t>(entry.traits);
        out[1] = static_cast<uint8_t>(entry.traits >> 8);
        std::memcpy(out + 2, entry.faceName, length + 1);
    }
    return length + 5;
}

const InstalledFont& FontForNumber(const FontList& list, int16_t font) {
    static const InstalledFont kNoFont{};
    if (list.size == 0) return kNoFont;
    if (font < 1 || font > list.size) return list.items[0];
    return list.items[font - 1];
}

int32_t FontMenuItemCount(const FontList& list) {
    const int32_t faces = list.size - 1;
    const int32_t room = static_cast<int32_t>(kFontMenuIdLimit - kFirstFontMenuId);
    return faces < 0 ? 0 : faces < room ? faces : room;
}

int32_t StyleFontWidth(int16_t widthField, int32_t averageWidth) {
    if (widthField == 0 || widthField == 1) return 0;
    if (widthField == 2) return (8 * averageWidth + 5) / 10;
    return (5 * averageWidth + 2) / 4;
}

MathSymbolChoice ChooseMathSymbolFontIn(FontList* list, const char* preferred,
                                        const char* fallbackName, bool (*askUseOther)()) {
    MathSymbolChoice choice{ 0, 1, -1 };
    if (list->size < 1) return choice;
    char defaultName[sizeof(InstalledFont::faceName)];
    std::memcpy(defaultName, list->items[0].faceName, sizeof defaultName);
    int32_t fallback = 0;
    for (int32_t i = 1; i < list->size; ++i) {
        const InstalledFont& entry = list->items[i];
        if (std::strcmp(entry.faceName, preferred) == 0) choice.symbolFontIndex = i;
        if (std::strcmp(entry.faceName, fallbackName) == 0 && (entry.traits & kTraitSymbol)) fallback = i;
        if (std::strcmp(entry.faceName, defaultName) == 0) {
            list->items[0] = entry;
            choice.defaultFontIndex = i;
        }
    }
    if (choice.symbolFontIndex == 0) {
        if (fallback == 0) {
            choice.checkLater = 1;
            return choice;
        }
        choice.symbolFontIndex = fallback;
    }
    if (!(list->items[choice.symbolFontIndex].traits & kTraitSymbol) && askUseOther()) {
        if (fallback != 0) choice.symbolFontIndex = fallback;
        choice.checkLater = 0;
    }
    return choice;
}
