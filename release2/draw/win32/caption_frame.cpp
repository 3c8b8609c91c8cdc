#include "release2/draw/win32/caption_frame.h"

#include "engine/core/geometry.h"
#include "engine/core/services/colors.h"
#include "engine/interact/caption_editing.h"
#include "engine/text/layout_edit_session.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "release2/text/caption_width.h"

namespace {

// The colour the edited text is drawn in: its style's, else its caption's.
COLORREF EditedTextColor(const LayoutEditSession* s) {
    uint32_t color = 0;
    StyleToColorRef(&s->drawState.style, &color);
    if (s->drawState.style.field[kStyleRed] > 0) return color;
    const SketchObject* object = EditedObject();
    return object ? ObjectDisplayColor(object) : RGB(0, 0, 0);
}

}  // namespace

void DrawCaptionEditFrame(GraphicsPort* port, const ScreenRect& frame, COLORREF textColor) {
    HDC dc = port->dc;
    const int saved = SaveDC(dc);
    SetROP2(dc, R2_COPYPEN);
    SetBkMode(dc, TRANSPARENT);
    {
        DCSelection selection(dc);
        selection.Pen(CreatePen(PS_DOT, 1, textColor));
        selection.Brush(CreateSolidBrush(CurrentBackground()));
        Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
    }
    RestoreDC(dc, saved);
}

void DrawCaptionEditHandle(GraphicsPort* port, const ScreenRect& frame, COLORREF textColor) {
    const RECT square = { frame.right - kEditFrameHandleSide, frame.bottom - kEditFrameHandleSide, frame.right,
                          frame.bottom };
    if (HBRUSH brush = CreateSolidBrush(textColor)) {
        FillRect(port->dc, &square, brush);
        DeleteObject(brush);
    }
}

void DrawCaptionEditor(GraphicsPort* port, const ScreenRect* rect, LayoutEditSession* s) {
    const ScreenRect frame = CaptionEditFrame(s);
    const COLORREF color = EditedTextColor(s);
    const bool framed = !ScreenRectIsEmpty(frame);
    if (framed && (!rect || ScreenRectsOverlap(frame, *rect))) DrawCaptionEditFrame(port, frame, color);
    RedrawEditor(s);
    // The handle last, over whatever the text drew at the corner.
    if (framed) DrawCaptionEditHandle(port, frame, color);
}

void WaitForPointerChange() {
    // A mouse message wakes the loop at once; the timeout keeps a release that is not
    // queued to this thread from holding it.
    constexpr DWORD kLongestWaitMs = 30;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kLongestWaitMs, QS_MOUSE);
}

void AddCaptionFrameForms(LaterReleaseForms* forms) {
    forms->caption.drawEditor = DrawCaptionEditor;
    forms->caption.waitForPointer = WaitForPointerChange;
}
