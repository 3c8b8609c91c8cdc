// figlate's selection highlight of text objects: framed in the object's own colour and
// filled with a colour halfway between the highlight and the background, so that the
// text drawn again over it stays readable.
#include <windows.h>

#include "engine/core/services/later_release.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/sketch_object.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "release2/draw/win32/antialias_policy.h"
#include "release2/text/caption_width.h"

COLORREF SelectionFillColor(COLORREF highlight, COLORREF background) {
    return RGB((GetRValue(highlight) + GetRValue(background)) / 2, (GetGValue(highlight) + GetGValue(background)) / 2,
               (GetBValue(highlight) + GetBValue(background)) / 2);
}

void DrawTextObjectSelectionRevised(GraphicsPort* port, SketchObject* object) {
    HDC dc = port->dc;
    const ScreenRect& b = object->bounds;
    const COLORREF color = ObjectDisplayColor(object);
    const int saved = SaveDC(dc);
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    {
        DCSelection selection(dc);
        selection.Pen(CreatePen(PS_SOLID, 0, color));
        Rectangle(dc, b.left - 1, b.top - 1, b.right + 1, b.bottom + 1);
    }
    {
        DCSelection selection(dc);
        selection.Pen(CreatePen(PS_SOLID, 0, CurrentBackground()));
        selection.Brush(CreateSolidBrush(SelectionFillColor(CurrentHighlight(), CurrentBackground())));
        Rectangle(dc, b.left, b.top, b.right, b.bottom);
    }
    object->markFlags |= kMarkHighlightPass;
    DrawTextObjectBody(port, object);
    object->markFlags &= ~kMarkHighlightPass;
    if (HasCaptionWidthHandle(object)) {
        const ScreenRect h = CaptionWidthHandleRect(object);
        const RECT square = { h.left, h.top, h.right, h.bottom };
        if (HBRUSH brush = CreateSolidBrush(color)) {
            FillRect(dc, &square, brush);
            DeleteObject(brush);
        }
    }
    RestoreDC(dc, saved);
}
