#include "ui/dialogs/state_button.h"

#include "engine/core/services/text_style.h"
#include "engine/text/layout.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"

namespace {

constexpr int32_t kFaceInset = 2;
constexpr int32_t kMaxShrinkSteps = 4;

}  // namespace

StateButton::~StateButton() {
    if (layout) FreeLayoutNode(layout);
}

bool StateButton::SetLayout(LayoutNode* tree) {
    if (layout && layout != tree) FreeLayoutNode(layout);
    layout = tree;
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return layout != nullptr;
}

void StateButton::DrawItem(LPDRAWITEMSTRUCT dis) {
    if (!layout) return;
    RECT area = dis->rcItem;
    InflateRect(&area, -kFaceInset, -kFaceInset);
    const int32_t areaWidth = area.right - area.left;
    const int32_t areaHeight = area.bottom - area.top;
    HDC dc = dis->hDC;
    HFONT font = reinterpret_cast<HFONT>(::SendMessage(dis->hwndItem, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    GraphicsPort port;
    LayoutDrawState state;
    MakeDrawStateForDC(&state, &port, dc, false);
    if (state.style.field[kStyleFont] < 1) state.style.field[kStyleFont] = 1;
    // A face too small for the layout shows it a script level smaller each time.
    for (int32_t step = 0;; ++step) {
        MarkLayoutSubtreeDirty(layout);
        MeasureLayout(layout, &state);
        const bool fits = layout->width < areaWidth && layout->ascent + layout->descent < areaHeight;
        if (fits || step == kMaxShrinkSteps) break;
        ++state.style.field[kStyleScriptLevel];
    }
    const int32_t height = layout->ascent + layout->descent;
    state.x = static_cast<int16_t>(area.left + (areaWidth - layout->width) / 2);
    state.y = static_cast<int16_t>(area.top + (areaHeight - height) / 2 + layout->ascent);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawLayout(layout, &state);
    SetBkMode(dc, oldMode);
    if (oldFont) SelectObject(dc, oldFont);
}
