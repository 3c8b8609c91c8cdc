// Every call figlate makes into gdiplus.dll goes through this table. The program's table
// binds the library's functions on the first start (after the probe has found the
// library), so nothing of GDI+ is resolved on a system without it; tests put their own
// entries in to make a call fail or to report another Windows version.
#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <cstdint>

struct GdiPlusCalls {
    // The system questions asked before GDI+ is touched.
    BOOL (WINAPI* getVersion)(OSVERSIONINFOA* info);
    bool (*libraryPresent)();  // loads and frees gdiplus.dll at once

    decltype(&Gdiplus::GdiplusStartup)               startup;
    decltype(&Gdiplus::GdiplusShutdown)              shutdown;
    decltype(&Gdiplus::DllExports::GdipAlloc)        alloc;
    decltype(&Gdiplus::DllExports::GdipFree)         free;
    decltype(&Gdiplus::DllExports::GdipCreateFromHWND)  createFromHwnd;
    decltype(&Gdiplus::DllExports::GdipCreateFromHDC)   createFromHdc;
    decltype(&Gdiplus::DllExports::GdipDeleteGraphics)  deleteGraphics;
    decltype(&Gdiplus::DllExports::GdipGetDC)           getDC;
    decltype(&Gdiplus::DllExports::GdipReleaseDC)       releaseDC;
    decltype(&Gdiplus::DllExports::GdipSetSmoothingMode) setSmoothingMode;
    decltype(&Gdiplus::DllExports::GdipCreatePen1)      createPen;
    decltype(&Gdiplus::DllExports::GdipSetPenDashArray) setPenDashArray;
    decltype(&Gdiplus::DllExports::GdipSetPenDashOffset) setPenDashOffset;
    decltype(&Gdiplus::DllExports::GdipDeletePen)       deletePen;
    decltype(&Gdiplus::DllExports::GdipCreateSolidFill) createSolidFill;
    decltype(&Gdiplus::DllExports::GdipCreateHatchBrush) createHatchBrush;
    decltype(&Gdiplus::DllExports::GdipDeleteBrush)     deleteBrush;
    decltype(&Gdiplus::DllExports::GdipDrawLine)        drawLine;
    decltype(&Gdiplus::DllExports::GdipDrawLines)       drawLines;
    decltype(&Gdiplus::DllExports::GdipDrawEllipse)     drawEllipse;
    decltype(&Gdiplus::DllExports::GdipFillEllipse)     fillEllipse;
    decltype(&Gdiplus::DllExports::GdipDrawArc)         drawArc;
    decltype(&Gdiplus::DllExports::GdipFillRectangle)   fillRectangle;
    decltype(&Gdiplus::DllExports::GdipFillPolygon)     fillPolygon;
};

// The table in force. Entries left null are bound from gdiplus.dll when GDI+ starts.
GdiPlusCalls& GdiPlusCallTable();
// Puts the system's version question and library probe back and unbinds the rest.
void ResetGdiPlusCallTable();
