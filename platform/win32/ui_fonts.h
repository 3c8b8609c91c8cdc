// The two interface fonts in which axis and grid numbers and their units are drawn, and
// the state of printing that the drawing metrics follow.
#pragma once
#include <windows.h>

#include <cstdint>

// The current pair; null before the drawing metrics were first set.
HFONT LargeUiFont();
HFONT SmallUiFont();
// Creates both fonts for a resolution (pixels per inch), replacing the current pair
// without deleting it; true when the large one was made.
bool CreateUiFonts(int32_t resolution);
// Sets the current pair aside and makes one for another device; RestoreUiFonts deletes
// that pair and puts the set-aside one back.
void UseUiFontsForDpi(int32_t resolution);
void RestoreUiFonts();
// Deletes the pair (and a set-aside one), at the end of the platform services.
void DeleteUiFonts();

// The page being laid out for printing; 0 when none is (or it is page 0, the
// clipboard picture). Printing sets it.
int32_t& PrintPageNumber();

// The printer or preview device context that text is measured on while a printed page
// is drawn; null otherwise. Printing sets it.
HDC& PrintMeasureDC();
