// The pop-out palette of a toolbox group: a caption-less strip beside the held button
// showing the group's current tool and then each member. The caller places it, runs its
// own loop while it is visible and reads hotCell: -1 nothing, 0 the group's current
// tool, 1..memberCount a member.
#pragma once
#include <windows.h>

#include <cstdint>

#include "classlib/wnd.h"

// Cells are 28 pixels wide, 29 high; icons are 20 x 19 cells of the tool bitmap.
constexpr int kPopoutCellWidth = 28;
constexpr int kPopoutCellHeight = 29;
constexpr int kToolIconWidth = 20;
constexpr int kToolIconHeight = 19;
// The private message that runs one engine idle pass while the strip is open.
constexpr UINT kPopoutIdleMessage = WM_USER + 1;

enum PopoutPlacement : int32_t {
    kPopoutRight = 0,  // a row to the right of the anchor
    kPopoutLeft = 1,   // a row to the left
    kPopoutBelow = 2,  // a column below
};

class ToolPopoutWnd : public CWnd {
public:
    ToolPopoutWnd() = default;

    // Creates the hidden pop-up window owned by `owner`.
    bool CreatePopout(HWND owner);
    // Sizes and positions the strip by its placement and shows it, topmost.
    void Place();
    // The cell under a client point (-1 for none).
    int HitTest(POINT client) const;
    // The strip's rectangle for the group's member count, the anchor and placement, with
    // a column moved up to end at the work area's bottom.
    static RECT PlaceRect(int memberCount, POINT anchor, int32_t placement, const RECT& workArea);

    bool PreTranslateMessage(MSG* msg) override;

    int32_t group = 0;
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    int32_t memberCount = 0;
    int32_t hotCell = 0;
    bool keepIdling = true;
    int32_t placement = kPopoutRight;

protected:
    void OnPaint();
    void OnMouseMove(UINT flags, CPoint point);
    void OnShowWindow(BOOL show, UINT status);
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    LRESULT OnIdlePass(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    void DrawCell(HDC dc, HDC icons, int x, int y, int32_t tool, bool pressed) const;
    void Dismiss();
};

// Where cell i (0 the group's current tool) lies in the strip.
POINT PopoutCellOrigin(int cell, int memberCount, int32_t placement);
