// Pieces of owner-drawn menu items that show layouts: the system's check mark painted in
// one colour, and a layout measured in the menu's font.
#pragma once
#include <windows.h>

struct LayoutNode;

// Paints the check mark's black pixels at (x, y) in `color`; the rest of the item stays.
void DrawMenuCheckMark(HDC dc, int x, int y, COLORREF color);
// Measures the layout with DEFAULT_GUI_FONT on the window's DC.
void MeasureLayoutInMenuFont(LayoutNode* layout, HWND window);
