// The list of installed font faces that text styles index by font number, and the rules
// that build it, map stored font identities back to numbers and derive font widths. No
// Windows call is made here: the platform enumerates the faces and hands each one in.
#pragma once
#include <cstddef>
#include <cstdint>

// One installed face, 40 bytes.
struct InstalledFont {
    char     faceName[32];    // NUL-terminated
    uint8_t  charset;         // of the enumeration that first delivered the face
    uint8_t  pitchAndFamily;  // as enumerated
    uint16_t traits;          // FontTraits
    int32_t  fontType;        // the enumeration's font type; kTrueTypeFont for TrueType
};
static_assert(sizeof(InstalledFont) == 40);

constexpr int32_t kTrueTypeFont = 4;
constexpr uint8_t kSymbolCharset = 2;

// FontTraits: one family bit, the symbol charset, one weight bit, italic.
enum FontTrait : uint16_t {
    kTraitRoman      = 0x01,
    kTraitScript     = 0x02,
    kTraitFixedPitch = 0x04,
    kTraitSymbol     = 0x08,
    kTraitLight      = 0x10,
    kTraitBold       = 0x20,
    kTraitItalic     = 0x40,
    kTraitWeightBits = 0x30,
};

// Copies a face name into a record, cut to 31 bytes.
void CopyFaceName(char (&faceName)[32], const char* name);

uint16_t FontTraitsOf(uint8_t pitchAndFamily, uint8_t charset, int32_t weight, bool italic);

// Element 0 is the default face; elements 1 onward hold every face once, sorted by the
// unsigned bytes of their names. A font number is an element index + 1. The list grows
// through the engine's memory, so running out of it is an ordinary result.
struct FontList {
    InstalledFont* items;
    int32_t        size;
    int32_t        capacity;
};

// The process-wide list the platform builds once at start-up.
FontList& TheFontList();

// Makes the list one zero-filled element long with the given charset; false without memory.
bool StartFontList(FontList* list, uint8_t charset);
void ReleaseFontList(FontList* list);
// Adds one enumerated face in its sorted place (a face already listed is replaced only
// by a TrueType record of a face that was not TrueType) and keeps element 0 the default
// face: "Arial" once seen, else "System", else the first face. An empty name is skipped.
// False only when the list cannot grow.
bool AddEnumeratedFont(FontList* list, const InstalledFont& face);

// The Windows character set of an ANSI code page; 0 for one not in the table.
uint8_t CharsetForCodePage(uint32_t codePage);

// Index (1 onward) of the first face named `name` ignoring case; 0 when none.
int32_t FindFontIndexIn(const FontList& list, const char* name);
// Whether a face with `candidate` traits repairs a mismatch of `best` against `wanted`.
bool IsBetterFontMatch(uint16_t candidate, uint16_t best, uint16_t wanted);
// The font number of a stored font identity {u16 traits, face name}: the face by name
// (ignoring case), else the first with equal traits, else the best substitute; 1 for a
// null identity or an empty list.
int16_t FontNumberForSpec(const FontList& list, const uint8_t* stored);
// Writes {u16 traits, face name NUL-terminated} for a font number (below 1 taken as 1)
// when `out` is given; answers the name's length + 5, or 0 beyond the list.
uint32_t FontSpecOf(const FontList& list, uint8_t* out, int16_t font);
// The element a font number draws with: out-of-range numbers use element 0.
const InstalledFont& FontForNumber(const FontList& list, int16_t font);

// Menu items of the faces from element 1 on get identifiers from kFirstFontMenuId; the
// identifiers stop before kFontMenuIdLimit, so at most 1000 faces are offered.
constexpr uint32_t kFirstFontMenuId = 32900;
constexpr uint32_t kFontMenuIdLimit = 33900;
int32_t FontMenuItemCount(const FontList& list);

// A style's width field turned into a LOGFONT width from the face's average character
// width: 0 and 1 keep the natural width (0), 2 narrows to about 80 %, wider values widen
// to about 125 %.
int32_t StyleFontWidth(int16_t widthField, int32_t averageWidth);
// What choosing the math symbol face decided.
struct MathSymbolChoice {
    int32_t symbolFontIndex;   // list index of the symbol face, 0 = none chosen
    int32_t defaultFontIndex;  // the entry from 1 on whose name element 0 has
    int32_t checkLater;        // -1 none, else the flag of the deferred preferences check
};

// Chooses the math symbol face once the preferences are known: the face named exactly
// as the preference, else the fallback face (named `fallbackName`, with the symbol
// trait). Element 0 becomes a copy of the later element of its own name. A chosen face
// without the symbol trait makes `askUseOther` ask the user; yes switches to the
// fallback and asks for the preferences check (flag 0). No face at all asks for it with 1.
MathSymbolChoice ChooseMathSymbolFontIn(FontList* list, const char* preferred,
                                        const char* fallbackName, bool (*askUseOther)());
