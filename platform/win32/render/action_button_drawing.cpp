// Action buttons: a colour tab beside a grey face with a bevel and the caption, drawn
// pushed in while the button runs or is held down (not both: a running button held
// down shows raised, as a release would leave it).
#include <windows.h>

#include <cstring>

#include "engine/core/action_button_data.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/sketch_object.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/object_labels.h"
#include "engine/text/object_labels.h"
#include "platform/win32/fonts.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"

namespace {

// Mark bit of a button held down under the pointer.
constexpr uint32_t kMarkButtonHeld = 0x02;

constexpr COLORREF kFaceRaised = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF kFacePushed = RGB(0x80, 0x80, 0x80);

void DimLikeTheObject(COLORREF* color, uint32_t mark) {
    if (mark & (kMarkDimmed | kMarkDimmedFixed)) ApplyObjectDimming(color, mark);
}

void Polyline3(HDC dc, HPEN pen, POINT a, POINT b, POINT c) {
    DCSelection selection(dc);
    selection.Pen(pen);
    const POINT points[3] = { a, b, c };
    Polyline(dc, points, 3);
}

}  // namespace

void DrawActionButtonFace(GraphicsPort* port, SketchObject* button) {
    HDC dc = port->dc;
    const ActionButtonData* b = ActionButtonOf(button);
    const uint32_t mark = button->markFlags;
    const bool running = b != nullptr && b->runningCount > 0;
    const bool pushed = running != ((mark & kMarkButtonHeld) != 0);
    const int32_t* m = DrawingMetrics.intMetricsB;
    const int32_t tab = m[kMetricButtonTab] + 2;
    const ScreenRect& r = button->bounds;
    const int32_t L = r.left, T = r.top, R = r.right, B = r.bottom;

    COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255), face = pushed ? kFacePushed : kFaceRaised;
    COLORREF frame = port->contrastColor;
    COLORREF tabColor = button->color & 0xFFFFFF;
    DimLikeTheObject(&tabColor, mark);
    DimLikeTheObject(&black, mark);
    DimLikeTheObject(&white, mark);
    DimLikeTheObject(&face, mark);
    DimLikeTheObject(&frame, mark);

    {
        DCSelection selection(dc);
        selection.Pen(CreatePen(PS_SOLID, 1, frame));
        selection.Brush(CreateSolidBrush(face));
        Rectangle(dc, L + tab, T, R, B);
    }
    {
        DCSelection selection(dc);
        selection.Pen(CreatePen(PS_SOLID, 1, frame));
        selection.Brush(CreateSolidBrush(tabColor));
        Rectangle(dc, L, T, L + tab, B);
    }
    Polyline3(dc, CreatePen(PS_SOLID, 1, pushed ? black : white), POINT{ L + tab, B - 2 }, POINT{ L + tab, T + 1 },
              POINT{ R - 2, T + 1 });
    Polyline3(dc, CreatePen(PS_SOLID, 1, pushed ? white : black), POINT{ L + tab, B - 2 }, POINT{ R - 2, B - 2 },
              POINT{ R - 2, T });

    char caption[kLabelBufferSize] = "";
    GetObjectLabelText(button, caption, sizeof caption);
    RECT box{ L + m[kMetricButtonTab] + m[kMetricButtonCaptionGap] + 1, T + m[kMetricButtonInsetY] + m[kMetricButtonCaptionTop] - 1,
              R, B };
    if (pushed) OffsetRect(&box, 1, 1);
    LOGFONTA logFont{};
    HFONT font = CreateStyleFont(&button->textStyle, &logFont);
    HGDIOBJ previousFont = font ? SelectObject(dc, font) : nullptr;
    uint32_t styleColor = 0;
    StyleToColorRef(&button->textStyle, &styleColor);
    COLORREF text = styleColor & 0xFFFFFF;
    DimLikeTheObject(&text, mark);
    const COLORREF previousText = SetTextColor(dc, text);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, caption, static_cast<int>(std::strlen(caption)), &box, DT_NOPREFIX | DT_SINGLELINE);
    SetBkMode(dc, previousMode);
    SetTextColor(dc, previousText);
    if (font) {
        SelectObject(dc, previousFont);
        DeleteObject(font);
    }

    if (mark & (kMarkHighlighted | kMarkHighlightPass)) {
        DCSelection selection(dc);
        selection.StockBrush(NULL_BRUSH);
        if (mark & kMarkHighlighted) {
            selection.Pen(CreatePen(PS_SOLID, 3, port->selectionColor));
            Rectangle(dc, L - 2, T - 2, R + 2, B + 2);
        } else {
            selection.Pen(CreatePen(PS_SOLID, 2, CurrentHighlight()));
            Rectangle(dc, L - 2, T - 2, R + 3, B + 3);
        }
    }
}

void DrawActionButton(GraphicsPort* port, SketchObject* button) {
    // The face dims its colours itself: 0x04 at level 15, 0x08 at the current level.
    const int previous = SetBkMode(port->dc, TRANSPARENT);
    DrawActionButtonFace(port, button);
    SetBkMode(port->dc, previous);
}

void DrawActionButtonSelection(GraphicsPort* port, SketchObject* button) {
    button->markFlags |= kMarkHighlightPass;
    DrawActionButtonFace(port, button);
    button->markFlags &= ~kMarkHighlightPass;
}
