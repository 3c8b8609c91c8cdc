#include "ui/dialogs/state_button.h"

#include "engine/text/layout.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"

namespace {
constexpr int kInset = 2;
constexpr int kMoreScriptLevels = 4;   // smaller sizes tried after the first measure
}  // namespace

StateButton::~StateButton() { FreeLayoutNode(layout); }

bool StateButton::SetLayout(LayoutNode* tree) {
    if (layout != tree) FreeLayoutNode(layout);
    layout = tree;
    if (m_hWnd) Invalidate(true);
    return layout != nullptr;
}

void StateButton::DrawItem(LPDRAWITEMSTRUCT dis) {
    if (!layout) return;
    HDC dc = dis->hDC;
    RECT area = dis->rcItem;
    InflateRect(&area, -kInset, -kInset);
    const int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    GraphicsPort port;
    LayoutDrawState state;
    MakeDrawStateForDC(&state, &port, dc, false);
    for (int tries = 0;; ++tries) {
        MarkLayoutSubtreeDirty(layout);
        MeasureLayout(layout, &state);
        const bool fits = layout->width < areaWidth && layout->ascent + layout->descent < areaHeight;
        if (fits || tries == kMoreScriptLevels) break;
        ++state.style.field[kStyleScriptLevel];
    }
    const int height = layout->ascent + layout->descent;
    state.x = static_cast<int16_t>(area.left + (areaWidth - layout->width) / 2);
    state.y = static_cast<int16_t>(area.top + (areaHeight - height) / 2 + layout->ascent);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawLayout(layout, &state);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}
