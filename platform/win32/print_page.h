// Laying the traces layer onto a printed page.
#pragma once
#include <windows.h>

// Copies the traces in `from` (logical units of the traces DC) onto `to` of the output DC,
// mixed with the page's background as SRCAND (light) or SRCPAINT (dark) would: printer
// drivers may ignore raster operations (PostScript has none), so every run of marked
// pixels of a row is painted as a solid rectangle of the mixed colour and the blank rest
// is left alone. False when the pixels could not be read.
bool PaintTracesByRuns(HDC out, const RECT& to, HDC traces, const RECT& from, COLORREF background, bool dark);
