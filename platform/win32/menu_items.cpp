#include "platform/win32/menu_items.h"

#include "engine/text/layout.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"

void DrawMenuCheckMark(HDC dc, int x, int y, COLORREF color) {
    const int width = GetSystemMetrics(SM_CXMENUCHECK);
    const int height = GetSystemMetrics(SM_CYMENUCHECK);
    HDC maskDC = CreateCompatibleDC(dc);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    if (maskDC && mask) {
        HGDIOBJ oldMask = SelectObject(maskDC, mask);
        RECT m{ 0, 0, width, height };
        DrawFrameControl(maskDC, &m, DFC_MENU, DFCS_MENUCHECK);
        HBRUSH brush = CreateSolidBrush(color);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        // Where the mask is black the brush is painted, where white the item stays.
        BitBlt(dc, x, y, width, height, maskDC, 0, 0, 0x00B8074A);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
        SelectObject(maskDC, oldMask);
    }
    if (mask) DeleteObject(mask);
    if (maskDC) DeleteDC(maskDC);
}

void MeasureLayoutInMenuFont(LayoutNode* layout, HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return;
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    GraphicsPort port;
    LayoutDrawState state;
    MakeDrawStateForDC(&state, &port, dc, false);
    MeasureLayout(layout, &state);
    SelectObject(dc, oldFont);
    ReleaseDC(window, dc);
}
