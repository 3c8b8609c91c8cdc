#include "ui/frames/text_palette.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "engine/core/color_list.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/interact/caption_editing.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/command_state.h"
#include "engine/text/text_style.h"
#include "engine/core/services/bars.h"
#include "platform/rules/colors.h"
#include "platform/rules/font_list.h"
#include "platform/rules/text_style_rules.h"
#include "platform/win32/fonts.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/shell_windows.h"
#include "ui/app/main_app.h"
#include "ui/doc/document_services.h"
#include "ui/frames/main_frame.h"
#include "ui/input_state.h"
#include "ui/menus.h"
#include "ui/resource_ids.h"

namespace {

constexpr int kSwatchWidth = 14;
constexpr int kSwatchHeight = 23;
constexpr int kNameWidthChars = 16;   // the box; its list drops wider
constexpr int kNameListChars = 24;
constexpr int kSizeWidthChars = 10;
constexpr int kNameLimit = 32;
constexpr int kSizeLimit = 4;
constexpr int kListHeight = 200;
constexpr int kGlyphLeft = 16;   // the TrueType mark's cell in the glyph bitmap
constexpr int kGlyphWidth = 16;
constexpr int kGlyphHeight = 15;
constexpr int kNameIndent = 22;
constexpr UINT kOtherColorItem = 32875;

// Applies on the front sketch and shows the result at once.
void ApplyStyleNow(const TextStyle& style, bool keepDefaults) {
    if (!gEngine.frontSketch) return;
    SketchScope scope(gEngine.frontSketch);
    ApplyTextStyle(style, 0, keepDefaults);
    FlushPendingRedraw(1);
}

HFONT BarFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void Refuse(uint32_t message) {
    CString text, title;
    text.LoadString(message);
    title.LoadString(IDR_MAINFRAME);
    MessageBoxA(MainWindow(), text, title, MB_OK | MB_ICONINFORMATION);
}

// Set while a size or a name is applied: a refusal's message box takes the focus, and
// the kill-focus that follows must not apply (and refuse) the same entry again.
bool gApplying = false;

struct ApplyingScope {
    bool previous = gApplying;
    ApplyingScope() { gApplying = true; }
    ~ApplyingScope() { gApplying = previous; }
};

COLORREF FrontTextColor() {
    GraphicsPort* port = gEngine.frontSketch ? SketchViewPort(gEngine.frontSketch) : nullptr;
    return port ? port->contrastColor : RGB(0, 0, 0);
}

}  // namespace

bool TextPaletteBar::hidingItself = false;

// ---- Colours ---------------------------------------------------------------------------

bool SwatchItemColor(UINT item, COLORREF* color) {
    const int32_t index = SwatchColorIndex(item);
    const CustomColorBlock* block = GetCustomColors();
    if (index < 0 || !block) return false;
    *color = block->colors[index];
    return true;
}

bool PickStyleColor(const TextStyle* style, uint32_t* color) {
    uint32_t start = FrontTextColor();
    if (style && style->field[kStyleRed] != 0) StyleToColorRef(style, &start);
    if (!OpenColorPicker(&start)) return false;
    *color = start;
    return true;
}

bool ChooseColorFromMenu(POINT at, bool hasMark, COLORREF marked, COLORREF reference, COLORREF* chosen) {
    HMENU menu = GetColorPopupCopy();
    if (!menu) return false;
    const ColorMenuMark saved = CurrentColorMenuMark();
    SetColorMenuMark(hasMark, marked);
    // Any other colour is offered through the picker, for as long as the menu is up.
    if (AppendMenuA(menu, MF_SEPARATOR, 0, nullptr)) AppendMenuA(menu, MF_STRING, kOtherColorItem, "&Other...");
    const UINT id = UINT(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, at.x, at.y, 0,
                                        MainWindow(), nullptr));
    while (GetMenuItemCount(menu) > kColorSwatchCount) RemoveMenu(menu, UINT(kColorSwatchCount), MF_BYPOSITION);
    SetColorMenuMark(saved.shown, saved.color);
    if (id == 0) return false;
    if (SwatchItemColor(id, chosen)) return true;
    uint32_t picked = reference;
    if (!OpenColorPicker(&picked)) return false;
    *chosen = picked;
    return true;
}

void ApplyTextColorStyle(COLORREF color, bool keepDefaults) {
    TextStyle style{};
    FillTextStyle(&style, 0);
    ColorRefToStyle(color, &style);
    ApplyStyleNow(style, keepDefaults);
}

TextPaletteBar* TheTextPalette() {
    CMainFrame* frame = TheMainFrame();
    return frame && frame->m_textPalette.m_hWnd ? &frame->m_textPalette : nullptr;
}

// ---- Combos --------------------------------------------------------------------------

void PaletteComboBox::Report(int code) {
    NMHDR note{ m_hWnd, UINT_PTR(GetDlgCtrlID()), UINT(code) };
    HWND owner = ::GetParent(m_hWnd);
    if (owner) ::SendMessageA(owner, WM_NOTIFY, note.idFrom, reinterpret_cast<LPARAM>(&note));
}

bool PaletteComboBox::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_CHAR && sizeBox) {
        // Backspace comes as a key and is sent on by the frame; typed text is digits only.
        return !IsSizeCharacter(static_cast<uint32_t>(msg->wParam));
    }
    if (msg->message != WM_KEYDOWN) return CComboBox::PreTranslateMessage(msg);
    const UINT key = static_cast<UINT>(msg->wParam);
    const bool dropped = GetDroppedState();
    switch (key) {
    case VK_ESCAPE:
        if (sizeBox && palette) palette->SetSize(palette->lastGoodSize);
        [[fallthrough]];
    case VK_TAB:
    case VK_RETURN:
        if (dropped) ShowDropDown(false);
        // Leaving the box applies what it holds (kill-focus).
        if (HWND main = MainWindow()) ::SetFocus(main);
        return true;
    case VK_UP:
    case VK_DOWN:
        if (!dropped && !KeyHeld(VK_MENU) && !KeyHeld(VK_CONTROL)) {
            ShowDropDown(true);
            return true;
        }
        return false;
    default:
        break;
    }
    const bool letterOrDigit = (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z');
    if (letterOrDigit && dropped) {
        // Typing while the list is open starts a new entry.
        SetCurSel(-1);
        ShowDropDown(false);
        SetWindowText("");
        ::PostMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
        return true;
    }
    return CComboBox::PreTranslateMessage(msg);
}

void FontNameCombo::DrawNameItem(LPDRAWITEMSTRUCT dis) {
    HDC dc = dis->hDC;
    RECT r = dis->rcItem;
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    COLORREF oldText = GetTextColor(dc), oldBack = GetBkColor(dc);
    if (selected) {
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    if (int(dis->itemID) >= 0) {
        const auto* item = reinterpret_cast<const FontNameItem*>(dis->itemData);
        if (item && item != reinterpret_cast<const FontNameItem*>(CB_ERR) && (item->flags & kTrueTypeFace)) {
            if (HBITMAP glyph = ::LoadBitmapA(ResourceModule(), MAKEINTRESOURCEA(IDB_TRUETYPE_GLYPH))) {
                HDC source = CreateCompatibleDC(dc);
                HGDIOBJ old = SelectObject(source, glyph);
                const int top = r.top + (r.bottom - r.top - kGlyphHeight) / 2;
                BitBlt(dc, r.left, top, kGlyphWidth, kGlyphHeight, source, kGlyphLeft, 0, SRCAND);
                SelectObject(source, old);
                DeleteDC(source);
                DeleteObject(glyph);
            }
        }
        char name[256] = "";
        if (GetLBTextLen(int(dis->itemID)) < int(sizeof name)) GetLBText(int(dis->itemID), name);
        RECT text = r;
        text.left += kNameIndent;
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, name, -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SetBkMode(dc, OPAQUE);
    }
    if (dis->itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

void FontNameCombo::FreeItems() {
    if (!m_hWnd) return;
    const int n = GetCount();
    for (int i = 0; i < n; ++i) {
        auto* item = reinterpret_cast<FontNameItem*>(GetItemData(i));
        if (item && item != reinterpret_cast<FontNameItem*>(CB_ERR)) delete item;
        SetItemData(i, 0);
    }
}

// ---- The bar -----------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(TextPaletteBar, CToolBar)

BEGIN_MESSAGE_MAP(TextPaletteBar, CToolBar)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_CONTROL(CBN_DROPDOWN, kSizeComboId, OnSizeDropDown)
    ON_CONTROL(CBN_CLOSEUP, kSizeComboId, OnSizeCloseUp)
    ON_CONTROL(CBN_CLOSEUP, kFontComboId, OnFontCloseUp)
    ON_CONTROL(CBN_KILLFOCUS, kSizeComboId, OnSizeKillFocus)
    ON_CONTROL(CBN_KILLFOCUS, kFontComboId, OnFontKillFocus)
    ON_CONTROL(CBN_SETFOCUS, kSizeComboId, OnComboSetFocus)
    ON_CONTROL(CBN_SETFOCUS, kFontComboId, OnComboSetFocus)
    ON_BN_CLICKED(kColorSwatchId, OnTextColor)
    ON_COMMAND(kColorMenuCommand, OnTextColorMenuCommand)
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_WINDOWPOSCHANGED()
END_MESSAGE_MAP()

TextPaletteBar::TextPaletteBar() {
    measureDC = CreateCompatibleDC(nullptr);
    if (measureDC) {
        HGDIOBJ old = SelectObject(measureDC, BarFont());
        TEXTMETRICA metrics{};
        GetTextMetricsA(measureDC, &metrics);
        avgCharWidth = metrics.tmAveCharWidth;
        charHeight = metrics.tmHeight;
        SelectObject(measureDC, old);
    }
    fontSize.sizeBox = true;
    fontSize.palette = this;
    fontName.palette = this;
}

TextPaletteBar::~TextPaletteBar() {
    if (measureDC) DeleteDC(measureDC);
}

bool TextPaletteBar::CreatePalette(CFrameWnd* frame, bool largeButtons) {
    const DWORD style = WS_CHILD | BAR_TOP | BAR_TOOLTIPS | BAR_FLYBY_PROMPTS | BAR_HIDE_IN_PLACE | BAR_SIZE_VARIABLE;
    if (!Create(frame, style, IDW_TEXT_PALETTE)) return false;
    const int image = largeButtons ? 24 : 16;
    SetSizes(CSize(image + 7, image + 6), CSize(image, image));
    if (!LoadBitmap(largeButtons ? IDB_TEXT_PALETTE_LARGE : IDB_TEXT_PALETTE)) return false;
    static const UINT buttons[11] = {
        ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR, 32882, 32884, 32883,
        ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR, kNotationToggleCommand,
    };
    if (!SetButtons(buttons, 11)) return false;
    CString title;
    title.LoadString(IDS_TEXT_PALETTE);
    SetWindowText(title);
    LayoutControls();
    FillFontNames();
    return true;
}

int TextPaletteBar::OnCreate(LPCREATESTRUCT cs) {
    if (CToolBar::OnCreate(cs) == -1) return -1;
    if (GetDlgCtrlID() != IDW_TEXT_PALETTE) return 0;
    const DWORD child = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    if (!fontName.CreateEx(0, "COMBOBOX", nullptr,
                           child | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                           CRect(0, 0, avgCharWidth * kNameWidthChars, kListHeight), this, kFontComboId) ||
        !fontSize.CreateEx(0, "COMBOBOX", nullptr, child | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                           CRect(0, 0, avgCharWidth * kSizeWidthChars, kListHeight), this, kSizeComboId) ||
        !swatch.CreateEx(0, "BUTTON", nullptr, child | BS_OWNERDRAW, CRect(0, 0, kSwatchWidth, kSwatchHeight), this,
                         kColorSwatchId)) {
        return -1;
    }
    HWND button = CreateWindowExA(0, "BUTTON", "", child | BS_OWNERDRAW, 0, 0, kSwatchWidth, kSwatchHeight, m_hWnd,
                                  reinterpret_cast<HMENU>(UINT_PTR(kColorMenuButtonId)), GetModuleHandleA(nullptr),
                                  nullptr);
    if (!button || !colorMenu.Attach(button)) return -1;
    for (CWnd* w : { static_cast<CWnd*>(&fontName), static_cast<CWnd*>(&fontSize) })
        w->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(BarFont()), FALSE);
    fontName.SendMessage(CB_LIMITTEXT, kNameLimit);
    fontName.SendMessage(CB_SETDROPPEDWIDTH, WPARAM(avgCharWidth * kNameListChars));
    fontSize.SendMessage(CB_LIMITTEXT, kSizeLimit);
    return 0;
}

void TextPaletteBar::OnDestroy() {
    fontName.FreeItems();
    Default();
}

void TextPaletteBar::LayoutControls() {
    if (!fontName.m_hWnd) return;
    const int editHeight = int(fontSize.SendMessage(CB_GETITEMHEIGHT, WPARAM(-1)));
    if (editHeight > 0) fontName.SendMessage(CB_SETITEMHEIGHT, WPARAM(-1), editHeight);
    RECT nameRect{}, sizeRect{};
    fontName.GetWindowRect(&nameRect);
    fontSize.GetWindowRect(&sizeRect);
    SetButtonInfo(0, kFontComboId, BARBTN_SEPARATOR, nameRect.right - nameRect.left);
    SetButtonInfo(2, kSizeComboId, BARBTN_SEPARATOR, sizeRect.right - sizeRect.left);
    SetButtonInfo(7, kColorMenuButtonId, BARBTN_SEPARATOR, kSwatchWidth);
    SetButtonInfo(8, kColorSwatchId, BARBTN_SEPARATOR, kSwatchWidth);
    const int comboHeight = nameRect.bottom - nameRect.top;
    struct Slot { int index; CWnd* control; int height; int raise; };
    const Slot slots[] = {
        { 0, &fontName, comboHeight, 0 }, { 2, &fontSize, comboHeight, 0 },
        { 7, &colorMenu, kSwatchHeight, 1 }, { 8, &swatch, kSwatchHeight, 1 },
    };
    for (const Slot& s : slots) {
        RECT item{};
        GetItemRect(s.index, &item);
        RECT now{};
        s.control->GetWindowRect(&now);
        const int top = item.top + (item.bottom - item.top - s.height) / 2 - s.raise;
        // The lists keep their dropped height: only the position changes.
        s.control->SetWindowPos(nullptr, item.left, top, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TextPaletteBar::FillFontNames() {
    fontName.FreeItems();
    fontName.ResetContent();
    const FontList& list = TheFontList();
    for (int32_t i = 1; i < list.size; ++i) {
        const InstalledFont& face = list.items[i];
        const int index = fontName.AddString(face.faceName);
        if (index < 0) continue;
        auto* item = new (std::nothrow) FontNameItem{};
        if (!item) continue;
        std::snprintf(item->name, sizeof item->name, "%s", face.faceName);
        item->charset = face.charset;
        item->pitchAndFamily = face.pitchAndFamily;
        item->flags = face.fontType == kTrueTypeFont ? kTrueTypeFace : 0;
        fontName.SetItemData(index, reinterpret_cast<DWORD_PTR>(item));
    }
}

bool TextPaletteBar::CurrentStyle(TextStyle* style) const {
    if (!gEngine.frontSketch) return false;
    SketchScope scope(gEngine.frontSketch);
    return GetCurrentTextStyle(style);
}

void TextPaletteBar::UpdateFromStyle(bool enable) {
    if (!fontName.m_hWnd) return;
    TextStyle style{};
    int selection = -1;
    int16_t size = 0;
    if (enable && CurrentStyle(&style)) {
        const int16_t font = style.field[kStyleFont];
        if (font == 1) selection = DefaultFontIndex() - 1;
        else if (font >= 2) selection = font - 2;
        size = style.field[kStyleSize];
    }
    fontName.SetCurSel(selection);
    fontName.EnableWindow(enable);
    fontSize.EnableWindow(enable);
    if (size != 0) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", int(size));
        const int index = fontSize.FindStringExact(-1, text);
        fontSize.SetCurSel(index);
        if (index < 0) fontSize.SetWindowText(text);
        lastGoodSize = size * 20;
    } else {
        fontSize.SetCurSel(-1);
        fontSize.SetWindowText("");
    }
    colorMenu.EnableWindow(enable);
    swatch.EnableWindow(enable);
    swatch.Invalidate();
    enabled = enable;
}

int32_t TextPaletteBar::ParseSize() const {
    char text[64] = "";
    const int selection = fontSize.GetCurSel();
    if (selection >= 0 && fontSize.GetLBTextLen(selection) < int(sizeof text)) fontSize.GetLBText(selection, text);
    else fontSize.GetWindowText(text, sizeof text);
    return ParseSizeText(text);
}

void TextPaletteBar::SetSize(int32_t twentieths) {
    if (twentieths != ParseSize()) {
        char text[32];
        FormatSizeText(twentieths, text, sizeof text);
        const int index = fontSize.FindStringExact(-1, text);
        fontSize.SetCurSel(index);
        if (index < 0) fontSize.SetWindowText(text);
    }
    lastGoodSize = twentieths;
}

void TextPaletteBar::RebuildSizeList() {
    char typed[64] = "";
    fontSize.GetWindowText(typed, sizeof typed);
    fontSize.ResetContent();
    for (int32_t points : kOfferedSizes) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", int(points));
        fontSize.AddString(text);
    }
    fontSize.SetWindowText(typed);
}

void TextPaletteBar::OnSizeDropDown() {
    RebuildSizeList();
    char typed[64] = "";
    fontSize.GetWindowText(typed, sizeof typed);
    int32_t size = ParseSizeText(typed);
    if (const uint32_t message = SizeRefusalMessage(size)) {
        Refuse(message);
        size = lastGoodSize;
    }
    if (size != kSizeEmpty) SetSize(size);
}

bool TextPaletteBar::ApplySize(bool keepDefaults) {
    if (gApplying) return true;
    ApplyingScope applying;
    const int32_t size = ParseSize();
    if (const uint32_t message = SizeRefusalMessage(size)) {
        Refuse(message);
        SetSize(lastGoodSize);
        return false;
    }
    if (size == kSizeEmpty) return true;
    TextStyle style{};
    style.field[kStyleSize] = static_cast<int16_t>(size / 20);
    ApplyStyleNow(style, keepDefaults);
    return true;
}

void TextPaletteBar::ApplyFontName(bool keepDefaults) {
    if (gApplying) return;
    ApplyingScope applying;
    char name[64] = "";
    fontName.GetWindowText(name, sizeof name);
    const int index = fontName.FindStringExact(-1, name);
    if (index >= 0) fontName.SetCurSel(index);
    fontName.GetWindowText(name, sizeof name);
    if (name[0] == 0) return;
    TextStyle style{};
    // The list starts at the font list's element 1: entry i is font number i + 2.
    style.field[kStyleFont] = static_cast<int16_t>(index >= 0 ? index + 2 : 1);
    ApplyStyleNow(style, keepDefaults);
}

void TextPaletteBar::OnSizeCloseUp() {
    ApplySize(KeyHeld(VK_SHIFT));
    fontSize.Report(NM_RETURN);
}

void TextPaletteBar::OnFontCloseUp() {
    ApplyFontName(KeyHeld(VK_SHIFT));
    fontName.Report(NM_RETURN);
}

void TextPaletteBar::OnSizeKillFocus() {
    if (fontSize.IsWindowEnabled()) ApplySize(true);
    fontSize.Report(NM_KILLFOCUS);
}

void TextPaletteBar::OnFontKillFocus() {
    if (fontName.IsWindowEnabled()) ApplyFontName(true);
    fontName.Report(NM_KILLFOCUS);
}

void TextPaletteBar::OnComboSetFocus() {
    const HWND focus = ::GetFocus();
    PaletteComboBox& box = focus && (focus == fontName.m_hWnd || ::IsChild(fontName.m_hWnd, focus))
                               ? static_cast<PaletteComboBox&>(fontName)
                               : static_cast<PaletteComboBox&>(fontSize);
    box.Report(NM_SETFOCUS);
}

void TextPaletteBar::OnTextColor() {
    TextStyle style{};
    const bool has = CurrentStyle(&style);
    uint32_t color = 0;
    if (!PickStyleColor(has ? &style : nullptr, &color)) return;
    ApplyTextColorStyle(color, KeyHeld(VK_SHIFT));
}

POINT TextPaletteBar::ColorMenuPlace() const {
    RECT r{};
    if (colorMenu.m_hWnd) colorMenu.GetWindowRect(&r);
    return POINT{ r.left, r.bottom };
}

void TextPaletteBar::OnTextColorMenu() {
    SketchScope scope(gEngine.frontSketch);
    CmdStateRefreshNow();
    if (!enabled) return;
    TextStyle style{};
    uint32_t color = kNoStyleColor;
    if (GetCurrentTextStyle(&style)) StyleToColorRef(&style, &color);
    const bool hasColor = color != kNoStyleColor;
    const COLORREF reference = hasColor ? color : FrontTextColor();
    COLORREF chosen = 0;
    if (ChooseColorFromMenu(ColorMenuPlace(), hasColor, reference, reference, &chosen))
        ApplyTextColorStyle(chosen, KeyHeld(VK_SHIFT));
}

void TextPaletteBar::OnDrawItem(int id, LPDRAWITEMSTRUCT dis) {
    switch (id) {
    case kFontComboId:
        fontName.DrawNameItem(dis);
        break;
    case kColorMenuButtonId: {
        DRAWITEMSTRUCT wider = *dis;
        wider.rcItem.right += 2;
        colorMenu.DrawItem(&wider);
        break;
    }
    case kColorSwatchId:
        DrawSwatch(dis);
        break;
    default:
        Default();
        break;
    }
}

void TextPaletteBar::OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis) {
    if (id == int(kFontComboId)) {
        mis->itemHeight = UINT(charHeight > 15 ? charHeight : 15);
        mis->itemWidth = UINT(avgCharWidth * kNameListChars);
        return;
    }
    Default();
}

void TextPaletteBar::DrawSwatch(LPDRAWITEMSTRUCT dis) {
    HDC dc = dis->hDC;
    RECT face = dis->rcItem;
    face.left -= 2;
    FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &face, (dis->itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const RECT& r = dis->rcItem;
    RECT inside{ r.left, r.top + 3, r.left + (r.right - r.left - 3), r.top + 3 + (r.bottom - r.top - 6) };
    TextStyle style{};
    uint32_t color = kNoStyleColor;
    if (enabled && CurrentStyle(&style)) StyleToColorRef(&style, &color);
    if (color != kNoStyleColor) {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &inside, brush);
        DeleteObject(brush);
    } else if (HBITMAP mixed = ::LoadBitmapA(ResourceModule(), MAKEINTRESOURCEA(IDB_NO_COLOR))) {
        BITMAP info{};
        GetObjectA(mixed, sizeof info, &info);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, mixed);
        StretchBlt(dc, inside.left, inside.top, inside.right - inside.left, inside.bottom - inside.top, source, 0, 0,
                   info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        DeleteObject(mixed);
    }
}

void TextPaletteBar::OnWindowPosChanged(WINDOWPOS* pos) {
    Default();
    CMainFrame* frame = TheMainFrame();
    if (pos && (pos->flags & SWP_HIDEWINDOW) && frame && frame->m_created && !hidingItself) {
        // The palette's own close box hid it: the menu item's check follows.
        hidingItself = true;
        SketchScope scope(gEngine.frontSketch);
        ShowTextPaletteCommand(0);
        hidingItself = false;
    }
}
