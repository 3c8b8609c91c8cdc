// The installed fonts on Windows: the font list built at start-up, the math symbol face,
// and Windows fonts made from text styles.
#pragma once
#include <windows.h>

#include <cstdint>

struct TextStyle;

// Builds the list from the faces Windows enumerates; false when memory ran out.
bool BuildFontList();
// Chooses the math symbol face once the preferences are loaded.
void ChooseMathSymbolFont();

// The math symbol face's name ("Symbol" until it is chosen), its list index (0 = none)
// and the list index of the entry element 0 copies.
const char* MathSymbolFaceName();
int32_t SymbolFontIndex();
int32_t DefaultFontIndex();
// Index (1 onward) of the face of that name ignoring case; 0 when none.
int32_t FindFontIndex(const char* faceName);

void StyleToLogFont(const TextStyle* style, LOGFONTA* font);
// The caller deletes the font. CreateSymbolStyleFont uses the math symbol face.
HFONT CreateStyleFont(const TextStyle* style, LOGFONTA* font);
HFONT CreateSymbolStyleFont(const TextStyle* style, LOGFONTA* font);
void SetTextColorFromStyle(HDC dc, const TextStyle* style);

// Appends one item per face from element 1 on (identifier 32899 + index, at most 1000)
// and remembers the menu for its check marks; answers the list size.
int32_t AppendFontMenuItems(HMENU menu, int32_t ownerValue, int32_t positionValue);
HMENU FontMenu();
