// Cells of a dialog's owner-drawn grid: a cell is clipped, and painted first as a
// raised or pressed button face when asked, with a saved DC state that the end of the
// cell puts back.
#include <windows.h>

#include "engine/core/services/dialogs.h"
#include "platform/win32/render/graphics_port.h"

void DrawDialogCellFrame(GraphicsPort* port, const ScreenRect& cell, bool buttonFace, bool pressed) {
    HDC dc = port->dc;
    SaveDC(dc);
    RECT r = { cell.left, cell.top, cell.right, cell.bottom };
    if (buttonFace) {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
        InflateRect(&r, -2, -2);
    }
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
}

void EndDialogCellFrame(GraphicsPort* port) { RestoreDC(port->dc, -1); }
