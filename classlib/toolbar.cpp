#include "classlib/controlbar.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

namespace {

// Width of a separator that names none.
constexpr int kDefaultSeparator = 8;

UINT StyleFromButton(const TBBUTTON& b) {
    UINT state = b.fsState ^ TBSTATE_ENABLED;   // "disabled" in the bar's terms
    return MAKELONG(b.fsStyle, state);
}

void ButtonFromStyle(UINT style, TBBUTTON& b) {
    b.fsStyle = static_cast<BYTE>(LOWORD(style));
    b.fsState = static_cast<BYTE>(HIWORD(style) ^ TBSTATE_ENABLED);
}

}  // namespace

CToolBar::CToolBar() {
    m_cxLeftBorder = m_cxRightBorder = 1;
    m_cyTopBorder = m_cyBottomBorder = 1;
}

CToolBar::~CToolBar() {
    if (m_hWnd) DestroyWindow();
    if (m_hbmImageWell) ::DeleteObject(m_hbmImageWell);
}

bool CToolBar::Create(CWnd* parent, DWORD style, UINT id) {
    return CreateEx(parent, 0, style, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), id);
}

bool CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, CRect borders, UINT id) {
    ::InitCommonControls();
    SetBorders(borders.left, borders.top, borders.right, borders.bottom);
    m_dwStyle = style & BAR_STYLE_MASK;
    DWORD windowStyle = (style & ~BAR_STYLE_MASK) | ctrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY |
                        CCS_NODIVIDER | CCS_NORESIZE;
    if (m_dwStyle & BAR_TOOLTIPS) windowStyle |= TBSTYLE_TOOLTIPS;
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAME, nullptr, windowStyle, CRect(0, 0, 100, 100), parent, id)) {
        return false;
    }
    m_pOwner = parent;
    if (parent && parent->IsFrameWnd()) m_pDockSite = static_cast<CFrameWnd*>(parent);
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(m_sizeImage.cx, m_sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(m_sizeButton.cx, m_sizeButton.cy));
    return true;
}

void CToolBar::SetSizes(SIZE button, SIZE image) {
    m_sizeButton = button;
    m_sizeImage = image;
    if (m_hWnd) {
        SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(image.cx, image.cy));
        SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(button.cx, button.cy));
        Invalidate();
    }
}

void CToolBar::SetHeight(int cy) {
    m_sizeButton.cy = cy - m_cyTopBorder - m_cyBottomBorder;
    SetSizes(m_sizeButton, m_sizeImage);
}

bool CToolBar::LoadBitmap(UINT resourceId) {
    return LoadBitmap(MAKEINTRESOURCEA(resourceId));
}

bool CToolBar::LoadBitmap(const char* resourceName) {
    auto bitmap = static_cast<HBITMAP>(::LoadImageA(ResourceModule(), resourceName, IMAGE_BITMAP,
                                                    0, 0, LR_LOADMAP3DCOLORS));
    if (bitmap == nullptr) return false;
    return SetBitmap(bitmap);
}

bool CToolBar::SetBitmap(HBITMAP bitmap) {
    if (m_hbmImageWell && m_hbmImageWell != bitmap) ::DeleteObject(m_hbmImageWell);
    m_hbmImageWell = bitmap;
    ApplyBitmap();
    return true;
}

void CToolBar::ApplyBitmap() {
    if (!m_hWnd || !m_hbmImageWell) return;
    BITMAP info{};
    ::GetObjectA(m_hbmImageWell, sizeof info, &info);
    int count = m_sizeImage.cx > 0 ? info.bmWidth / m_sizeImage.cx : 0;
    TBREPLACEBITMAP replace{};
    replace.hInstOld = nullptr;
    replace.nIDOld = 0;
    // The control keeps one image well: the first call adds it, later calls replace it.
    static_assert(sizeof(UINT_PTR) >= sizeof(HBITMAP));
    if (GetProp(m_hWnd, "ClasslibWell") == nullptr) {
        TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(m_hbmImageWell)};
        SendMessage(TB_ADDBITMAP, count, reinterpret_cast<LPARAM>(&add));
        ::SetPropA(m_hWnd, "ClasslibWell", m_hbmImageWell);
    } else {
        replace.nIDOld = reinterpret_cast<UINT_PTR>(GetProp(m_hWnd, "ClasslibWell"));
        replace.hInstNew = nullptr;
        replace.nIDNew = reinterpret_cast<UINT_PTR>(m_hbmImageWell);
        replace.nButtons = count;
        SendMessage(TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&replace));
        ::SetPropA(m_hWnd, "ClasslibWell", m_hbmImageWell);
    }
    Invalidate();
}

bool CToolBar::SetButtons(const UINT* ids, int count) {
    if (!m_hWnd || count < 0) return false;
    while (SendMessage(TB_BUTTONCOUNT) > 0) SendMessage(TB_DELETEBUTTON, 0);
    int image = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        if (ids == nullptr || ids[i] == ID_SEPARATOR) {
            b.fsStyle = TBSTYLE_SEP;
            b.idCommand = ids ? 0 : 0;
        } else {
            b.idCommand = static_cast<int>(ids[i]);
            b.iBitmap = image++;
            b.fsState = TBSTATE_ENABLED;
        }
        if (!SendMessage(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b))) return false;
    }
    return true;
}

int CToolBar::GetCount() const {
    return m_hWnd ? static_cast<int>(SendMessage(TB_BUTTONCOUNT)) : 0;
}

int CToolBar::CommandToIndex(UINT id) const {
    return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, id));
}

UINT CToolBar::GetItemID(int index) const {
    TBBUTTON b{};
    if (!SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&b))) return 0;
    return (b.fsStyle & TBSTYLE_SEP) ? ID_SEPARATOR : static_cast<UINT>(b.idCommand);
}

void CToolBar::GetItemRect(int index, RECT* rect) const {
    if (!SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(rect))) ::SetRectEmpty(rect);
}

void CToolBar::GetButtonInfo(int index, UINT& id, UINT& style, int& image) const {
    TBBUTTON b{};
    if (!SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&b))) {
        id = 0;
        style = 0;
        image = 0;
        return;
    }
    id = static_cast<UINT>(b.idCommand);
    style = StyleFromButton(b);
    image = b.iBitmap;
}

UINT CToolBar::GetButtonStyle(int index) const {
    UINT id, style;
    int image;
    GetButtonInfo(index, id, style, image);
    return style;
}

void CToolBar::SetButtonStyle(int index, UINT style) {
    UINT id, old;
    int image;
    GetButtonInfo(index, id, old, image);
    SetButtonInfo(index, id, style, image);
}

void CToolBar::SetButtonInfo(int index, UINT id, UINT style, int image) {
    TBBUTTON old{};
    if (!SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&old))) return;
    TBBUTTON b = old;
    b.idCommand = static_cast<int>(id);
    b.iBitmap = image;
    ButtonFromStyle(style, b);
    if (std::memcmp(&b, &old, sizeof b) == 0) return;
    // The control cannot turn a button into a separator or change a separator's
    // width in place: the button is replaced.
    SendMessage(WM_SETREDRAW, FALSE);
    SendMessage(TB_DELETEBUTTON, index);
    SendMessage(TB_INSERTBUTTONA, index, reinterpret_cast<LPARAM>(&b));
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate();
}

std::vector<CToolBar::Item> CToolBar::ReadItems() const {
    std::vector<Item> items;
    int count = GetCount();
    items.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        Item item{};
        SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&item.button));
        if (item.button.fsState & TBSTATE_HIDDEN) {
            item.width = 0;
        } else if (item.button.fsStyle & TBSTYLE_SEP) {
            item.width = item.button.iBitmap > 0 ? item.button.iBitmap : kDefaultSeparator;
        } else {
            RECT r{};
            item.width = SendMessage(TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)) && r.right > r.left
                ? static_cast<int>(r.right - r.left) : m_sizeButton.cx;
            // A drop-down's arrow widens it; the control knows by how much.
            item.width = std::max<int>(item.width, m_sizeButton.cx);
        }
        items.push_back(item);
    }
    return items;
}

CSize CToolBar::WrapLayout(int width, bool commit) {
    std::vector<Item> items = ReadItems();
    int x = 0;
    int rowWidth = 0;
    int maxWidth = 0;
    int height = items.empty() ? 0 : m_sizeButton.cy;
    std::vector<bool> wrap(items.size(), false);
    for (size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        if (item.width == 0) continue;
        bool separator = (item.button.fsStyle & TBSTYLE_SEP) != 0;
        if (x > 0 && x + item.width > width) {
            if (separator) {
                // A separator at the end of a row becomes the gap between rows.
                wrap[i] = true;
                height += m_sizeButton.cy + item.width * 2 / 3;
                maxWidth = std::max(maxWidth, rowWidth);
                x = rowWidth = 0;
                continue;
            }
            size_t last = i;
            while (last > 0 && items[last - 1].width == 0) --last;
            if (last > 0) wrap[last - 1] = true;
            height += m_sizeButton.cy;
            maxWidth = std::max(maxWidth, rowWidth);
            x = rowWidth = 0;
        }
        x += item.width;
        if (!separator) rowWidth = x;
    }
    maxWidth = std::max(maxWidth, rowWidth);
    if (commit) {
        for (size_t i = 0; i < items.size(); ++i) {
            BYTE state = items[i].button.fsState;
            BYTE wanted = wrap[i] ? (state | TBSTATE_WRAP) : (state & ~TBSTATE_WRAP);
            if (wanted != state) {
                // By position, since separators share command 0; and through the button
                // information, since a plain state change does not make every control lay
                // its buttons out again.
                TBBUTTONINFOA info{};
                info.cbSize = sizeof info;
                info.dwMask = TBIF_STATE | TBIF_BYINDEX;
                info.fsState = wanted;
                SendMessage(TB_SETBUTTONINFOA, i, reinterpret_cast<LPARAM>(&info));
            }
        }
        SendMessage(TB_AUTOSIZE);
    }
    return CSize(maxWidth + m_cxLeftBorder + m_cxRightBorder, height + m_cyTopBorder + m_cyBottomBorder);
}

CSize CToolBar::LayoutFor(int length, DWORD mode) {
    CSize borders(0, 0);
    if (m_dwStyle & BAR_BORDER_LEFT) borders.cx += 2;
    if (m_dwStyle & BAR_BORDER_RIGHT) borders.cx += 2;
    if (m_dwStyle & BAR_BORDER_TOP) borders.cy += 2;
    if (m_dwStyle & BAR_BORDER_BOTTOM) borders.cy += 2;
    bool commit = true;
    CSize size;
    if (mode & LM_DOCKED_VERT) {
        // Docked upright: one button per row.
        size = WrapLayout(0, commit);
    } else if (mode & LM_DOCKED_HORZ) {
        size = WrapLayout(32767, commit);
    } else if (mode & LM_MRUWIDTH) {
        size = WrapLayout(m_nMRUWidth - m_cxLeftBorder - m_cxRightBorder, commit);
    } else if (mode & LM_LENGTHY) {
        // The layout whose height comes nearest the length asked for, the wider on a tie.
        CSize best = WrapLayout(32767, false);
        int bestWidth = 32767;
        for (int width = best.cx; width > 0;) {
            CSize s = WrapLayout(width, false);
            if (std::abs(s.cy - length) < std::abs(best.cy - length)) {
                best = s;
                bestWidth = width;
            }
            // Next: the widest wrap narrower than this one.
            int next = s.cx - m_cxLeftBorder - m_cxRightBorder - 1;
            if (next >= width) next = width - 1;
            width = next;
        }
        size = WrapLayout(bestWidth, commit);
    } else if (mode & LM_FULL_LENGTH) {
        size = WrapLayout(32767, commit);
    } else {
        size = WrapLayout(std::max(0, length - static_cast<int>(m_cxLeftBorder + m_cxRightBorder + borders.cx)), commit);
    }
    if (mode & LM_REMEMBER) m_nMRUWidth = size.cx;
    return CSize(size.cx + borders.cx, size.cy + borders.cy);
}

CSize CToolBar::CalcFixedLayout(bool stretch, bool horz) {
    CSize size = LayoutFor(-1, horz ? (LM_HORZ | LM_DOCKED_HORZ) : LM_DOCKED_VERT);
    if (stretch) {
        if (horz) size.cx = 32767;
        else size.cy = 32767;
    }
    return size;
}

CSize CToolBar::CalcDynamicLayout(int length, DWORD mode) {
    if ((mode & (LM_DOCKED_HORZ | LM_DOCKED_VERT)) && !(m_dwStyle & BAR_SIZE_VARIABLE)) {
        return CalcFixedLayout((mode & LM_FULL_LENGTH) != 0, (mode & LM_HORZ) != 0);
    }
    if (!(m_dwStyle & BAR_SIZE_VARIABLE) && !(mode & (LM_DOCKED_HORZ | LM_DOCKED_VERT))) {
        // A fixed bar floats in one row, or one column when upright.
        return LayoutFor(-1, (mode & LM_HORZ) ? (LM_HORZ | LM_DOCKED_HORZ) : LM_DOCKED_VERT);
    }
    return LayoutFor(length, mode);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) {
    CBarCmdUI state;
    state.m_pOther = this;
    int count = GetCount();
    state.m_nIndexMax = static_cast<UINT>(count);
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        if (!SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b))) continue;
        if (b.fsStyle & TBSTYLE_SEP) continue;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nID = static_cast<UINT>(b.idCommand);
        state.DoUpdate(target, disableIfNoHandler);
    }
}

int CToolBar::OnToolHitTest(CPoint point, TOOLINFO* info) const {
    int index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
    if (index < 0 || index >= GetCount()) return -1;
    TBBUTTON b{};
    if (!SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&b)) || (b.fsStyle & TBSTYLE_SEP)) {
        return -1;
    }
    if (info) {
        info->hwnd = m_hWnd;
        info->uId = static_cast<UINT_PTR>(b.idCommand);
        SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&info->rect));
        info->lpszText = LPSTR_TEXTCALLBACKA;
    }
    return b.idCommand;
}
