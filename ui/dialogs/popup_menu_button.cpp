#include "ui/dialogs/popup_menu_button.h"

#include "platform/win32/shell.h"
#include "ui/dialogs/yrn_dialog.h"

namespace {

constexpr UINT kIdleTimerMs = 20;
constexpr int kParentMenuCommand = 2000;   // added to the button's id: "open your menu"
bool gSkipIdleTick = false;

// Sets the combo-list flag for the life of a press, so that the pick hook leaves the
// mouse alone while the menu is up.
struct MouseLeftAlone {
    bool previous = gComboListOpen;
    MouseLeftAlone() { gComboListOpen = true; }
    ~MouseLeftAlone() { gComboListOpen = previous; }
};

}  // namespace

void CALLBACK ModalIdleTimerProc(HWND, UINT, UINT_PTR, DWORD time) {
    if (gSkipIdleTick) {
        gSkipIdleTick = false;
        return;
    }
    IdleUpdate(0);
    // A slow pass is followed by one skipped tick, so that the menu stays responsive.
    if (GetTickCount() - time > kIdleTimerMs) gSkipIdleTick = true;
}

char MnemonicOf(const char* text) {
    for (const char* p = text; p && *p; ++p)
        if (*p == '&' && p[1]) return p[1];
    return 0;
}

HMENU BuildButtonMenu(const char* title, const std::vector<std::string>& items, int32_t firstItemId) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, title);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == "-") AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(firstItemId + static_cast<int32_t>(i)), items[i].c_str());
    }
    return menu;
}

PopupMenuButton::PopupMenuButton() = default;

bool PopupMenuButton::Attach(HWND button) {
    if (!SubclassWindow(button)) return false;
    char text[81] = "";
    GetWindowText(text, sizeof text);
    mnemonic = MnemonicOf(text);
    return true;
}

bool PopupMenuButton::PreTranslateMessage(MSG* msg) {
    const bool press = msg->message == WM_LBUTTONDOWN && msg->hwnd == m_hWnd;
    const bool key = msg->message == WM_KEYUP && mnemonic &&
                     static_cast<UINT>(msg->wParam) == static_cast<UINT>(VkKeyScanA(mnemonic) & 0xFF);
    if (!press && !key) return CButton::PreTranslateMessage(msg);
    Activate();
    return true;
}

void PopupMenuButton::Activate() {
    MouseLeftAlone alone;
    HWND parent = ::GetParent(m_hWnd);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, kIdleTimerMs, ModalIdleTimerProc);
    if (items.empty()) {
        ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID() + kParentMenuCommand, 0),
                       reinterpret_cast<LPARAM>(m_hWnd));
    } else {
        char title[81] = "";
        GetWindowText(title, sizeof title);
        HMENU menu = BuildButtonMenu(title, items, firstItemId);
        RECT r{};
        GetWindowRect(&r);
        const int chosen = menu ? static_cast<int>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_VERTICAL, r.left, r.top, 0,
                                                                    m_hWnd, nullptr))
                                : 0;
        if (menu) ::DestroyMenu(menu);
        if (chosen) ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(chosen, 0), reinterpret_cast<LPARAM>(m_hWnd));
    }
    ::KillTimer(nullptr, timer);
}

void PopupMenuButton::DrawItem(LPDRAWITEMSTRUCT dis) {
    HDC dc = dis->hDC;
    RECT r = dis->rcItem;
    const bool focus = (dis->itemState & ODS_FOCUS) != 0;
    const bool disabled = (dis->itemState & ODS_DISABLED) != 0;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));

    RECT frame = r;
    frame.left += 1;
    frame.top += 1;
    if (focus) {
        frame.right -= 1;
        frame.bottom -= 1;
    }
    auto edge = [dc](const RECT& box, COLORREF topLeft, COLORREF bottomRight) {
        HPEN light = CreatePen(PS_SOLID, 1, topLeft), dark = CreatePen(PS_SOLID, 1, bottomRight);
        HGDIOBJ old = SelectObject(dc, light);
        MoveToEx(dc, box.left, box.bottom - 1, nullptr);
        LineTo(dc, box.left, box.top);
        LineTo(dc, box.right - 1, box.top);
        SelectObject(dc, dark);
        LineTo(dc, box.right - 1, box.bottom - 1);
        LineTo(dc, box.left - 1, box.bottom - 1);
        SelectObject(dc, old);
        DeleteObject(light);
        DeleteObject(dark);
    };
    edge(frame, GetSysColor(COLOR_BTNHIGHLIGHT), RGB(0, 0, 0));
    RECT inner{ frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1 };
    edge(inner, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW));

    char text[81] = "";
    GetWindowText(text, sizeof text);
    const int x = inner.left + 1 + 18, y = inner.top + 1 + 2;
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetBkMode(dc, OPAQUE);
    RECT textBox{ x, y, inner.right - 1, inner.bottom - 1 };
    if (!disabled) {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextA(dc, text, -1, &textBox, DT_LEFT | DT_TOP | DT_SINGLELINE);
    } else {
        RECT shifted = textBox;
        OffsetRect(&shifted, 1, 1);
        SetTextColor(dc, RGB(255, 255, 255));
        DrawTextA(dc, text, -1, &shifted, DT_LEFT | DT_TOP | DT_SINGLELINE);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(dc, text, -1, &textBox, DT_LEFT | DT_TOP | DT_SINGLELINE);
    }
    if (focus) {
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        HPEN grey = CreatePen(PS_DOT, 1, RGB(0x80, 0x80, 0x80));
        SelectObject(dc, grey);
        Rectangle(dc, r.left + 4, r.top + 4, r.right - 4, r.bottom - 4);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(grey);
    }

    int right = r.right;
    if (r.right - r.left < 22) right += (r.left - r.right + 22) / 2;
    const POINT corners[3] = { { right - 15, r.top + 8 }, { right - 7, r.top + 8 }, { right - 11, r.top + 12 } };
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    auto triangle = [dc](const POINT* p, int dx, COLORREF colour) {
        POINT q[3] = { { p[0].x + dx, p[0].y + dx }, { p[1].x + dx, p[1].y + dx }, { p[2].x + dx, p[2].y + dx } };
        HBRUSH brush = CreateSolidBrush(colour);
        HGDIOBJ old = SelectObject(dc, brush);
        Polygon(dc, q, 3);
        SelectObject(dc, old);
        DeleteObject(brush);
    };
    if (disabled || !arrowActive) {
        triangle(corners, 0, RGB(0x80, 0x80, 0x80));
        triangle(corners, 1, RGB(255, 255, 255));
    } else {
        triangle(corners, 0, RGB(0, 0, 0));
    }
    SelectObject(dc, oldPen);
}
