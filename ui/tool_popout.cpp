#include "ui/tool_popout.h"

#include "classlib/app.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/services/views.h"
#include "engine/interact/toolbox.h"
#include "ui/resource_ids.h"

namespace {

constexpr int kRowHeight = 30;    // rows hit-test y within 0..30
constexpr int kColumnWidth = 31;  // the column hit-tests x within 0..31

// A double frame: top-left in one colour, bottom-right in the other.
void Frame(HDC dc, int x, int y, int w, int h, int topLeft, int bottomRight) {
    HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(topLeft));
    HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(bottomRight));
    HGDIOBJ old = SelectObject(dc, light);
    MoveToEx(dc, x, y + h - 1, nullptr);
    LineTo(dc, x, y);
    LineTo(dc, x + w - 1, y);
    SelectObject(dc, dark);
    LineTo(dc, x + w - 1, y + h - 1);
    LineTo(dc, x - 1, y + h - 1);
    SelectObject(dc, old);
    DeleteObject(light);
    DeleteObject(dark);
}

const char* PopoutClass() {
    static const char* name = nullptr;
    if (!name) name = RegisterClassFor(0, nullptr, nullptr, nullptr);
    return name;
}

}  // namespace

BEGIN_MESSAGE_MAP(ToolPopoutWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_SHOWWINDOW()
    ON_WM_ACTIVATE()
    ON_MESSAGE(kPopoutIdleMessage, OnIdlePass)
END_MESSAGE_MAP()

POINT PopoutCellOrigin(int cell, int memberCount, int32_t placement) {
    if (cell == 0) return { placement == kPopoutLeft ? kPopoutCellWidth * memberCount + 1 : 1, 0 };
    switch (placement) {
    case kPopoutRight: return { 29 + kPopoutCellWidth * (cell - 1), 0 };
    case kPopoutLeft: return { kPopoutCellWidth * (memberCount - cell) + 1, 0 };
    default: return { 1, 29 + kPopoutCellHeight * (cell - 1) };
    }
}

RECT ToolPopoutWnd::PlaceRect(int memberCount, POINT anchor, int32_t placement, const RECT& workArea) {
    int width = kPopoutCellWidth * memberCount + 35;
    const int x = anchor.x + 1;
    int y = anchor.y;
    int height = 2 * GetSystemMetrics(SM_CYDLGFRAME) + 30;
    RECT r{};
    if (placement == kPopoutRight) {
        r.left = x + 2;
    } else if (placement == kPopoutLeft) {
        r.left = x - width + 37;
    } else {
        height = kPopoutCellHeight * memberCount + 36;
        if (y + height > workArea.bottom) y = workArea.bottom - height;
        r.left = x + 2;
        ++y;
        width = 2 * GetSystemMetrics(SM_CXDLGFRAME) + 29;
    }
    r.top = y;
    r.right = r.left + width;
    r.bottom = r.top + height;
    return r;
}

bool ToolPopoutWnd::CreatePopout(HWND owner) {
    return CreateEx(0, PopoutClass(), "", WS_POPUP, 0, 0, 0, 0, owner, nullptr);
}

void ToolPopoutWnd::Place() {
    memberCount = ToolboxItemField(group);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT r = PlaceRect(memberCount, { anchorX, anchorY }, placement, work);
    ++anchorX;
    if (placement == kPopoutBelow) anchorY = r.top - 1;
    // Every placement shows the strip: the caller's loop runs while it is visible.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
    hotCell = 0;
}

int ToolPopoutWnd::HitTest(POINT p) const {
    int cell = -1;
    if (placement == kPopoutBelow) {
        if (p.x < 0 || p.x > kColumnWidth || p.y < 0) return -1;
        cell = p.y / kPopoutCellHeight;
    } else {
        if (p.y < 0 || p.y > kRowHeight || p.x < 0) return -1;
        cell = placement == kPopoutRight ? p.x / kPopoutCellWidth : memberCount - p.x / kPopoutCellWidth;
    }
    return cell >= 0 && cell <= memberCount ? cell : -1;
}

void ToolPopoutWnd::DrawCell(HDC dc, HDC icons, int x, int y, int32_t tool, bool pressed) const {
    const int offset = pressed ? 4 : 3;
    if (pressed) {
        Frame(dc, x + 2, y + 3, 28, 29, COLOR_BTNTEXT, COLOR_BTNHIGHLIGHT);
        Frame(dc, x + 3, y + 4, 26, 27, COLOR_BTNSHADOW, COLOR_3DLIGHT);
    } else {
        Frame(dc, x + 2, y + 3, 28, 29, COLOR_BTNHIGHLIGHT, COLOR_BTNTEXT);
        Frame(dc, x + 3, y + 4, 26, 27, COLOR_3DLIGHT, COLOR_BTNSHADOW);
    }
    RECT face{ x + 4, y + 5, x + 4 + 24, y + 5 + 25 };
    FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
    if (!icons || tool < 1) return;
    HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_BTNFACE));
    BitBlt(dc, x + offset + 3, y + offset + 5, kToolIconWidth, kToolIconHeight, icons,
           (tool - 1) * kToolIconWidth, 0, MERGECOPY);
    SelectObject(dc, oldBrush);
}

void ToolPopoutWnd::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int w = client.right, h = client.bottom;
    Frame(dc, 0, 0, w - 1, h - 1, COLOR_BTNHIGHLIGHT, COLOR_BTNTEXT);
    Frame(dc, 1, 1, w - 3, h - 3, COLOR_3DLIGHT, COLOR_BTNSHADOW);
    RECT inside{ 2, 2, 2 + w - 5, 2 + h - 5 };
    FillRect(dc, &inside, GetSysColorBrush(COLOR_BTNFACE));

    // No shared cache of the icons is held: they are loaded for this drawing.
    HBITMAP bitmap = LoadBitmapA(ResourceModule(), MAKEINTRESOURCEA(IDB_TOOL_ICONS));
    HDC icons = bitmap ? CreateCompatibleDC(dc) : nullptr;
    HGDIOBJ oldBitmap = icons ? SelectObject(icons, bitmap) : nullptr;
    for (int cell = 0; cell <= memberCount; ++cell) {
        int32_t tool = 0, argument = 0;
        bool current = false, members = false;
        ToolboxItemInfo(group, cell == 0 ? kToolboxNone : cell, &tool, &current, &members, &argument);
        const POINT at = PopoutCellOrigin(cell, memberCount, placement);
        DrawCell(dc, icons, at.x, at.y, tool, cell == hotCell);
    }
    if (icons) {
        SelectObject(icons, oldBitmap);
        DeleteDC(icons);
    }
    if (bitmap) DeleteObject(bitmap);
    EndPaint(m_hWnd, &ps);
}

void ToolPopoutWnd::OnMouseMove(UINT, CPoint point) {
    const int cell = HitTest({ point.x, point.y });
    if (cell == hotCell) return;
    hotCell = cell;
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void ToolPopoutWnd::OnShowWindow(BOOL show, UINT) {
    if (!show) return;
    ::SetCapture(m_hWnd);
    ::SetFocus(m_hWnd);
}

void ToolPopoutWnd::OnActivate(UINT state, CWnd*, BOOL) {
    if (state == WA_INACTIVE) return;
    ::SetCapture(m_hWnd);
    ::SetFocus(m_hWnd);
}

LRESULT ToolPopoutWnd::OnIdlePass(WPARAM, LPARAM) {
    keepIdling = RunIdleTasks();
    FlushPendingRedraw(0);
    return 0;
}

void ToolPopoutWnd::Dismiss() {
    ReleaseCapture();
    keepIdling = false;
    ShowWindow(SW_HIDE);
}

bool ToolPopoutWnd::PreTranslateMessage(MSG* msg) {
    if ((msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) ||
        (msg->message >= WM_LBUTTONDOWN && msg->message <= WM_MBUTTONDBLCLK)) {
        Dismiss();
        return true;
    }
    MSG waiting;
    if (keepIdling && !PeekMessageA(&waiting, m_hWnd, 0, 0, PM_NOREMOVE)) {
        ::PostMessageA(m_hWnd, kPopoutIdleMessage, 0, 0);
    }
    return false;
}
