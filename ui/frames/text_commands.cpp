// The main frame's part of the text commands: colours, overbars, notation and symbols
// for the caption being edited, the notation bar's switch and placement, the owner-drawn
// colour and symbol items, the font menu's check marks, and the bars' services to the
// engine (the palette's and the notation bar's visibility).
#include <cstring>

#include "engine/core/services/bars.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/text_port.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/interact/caption_editing.h"
#include "engine/interact/command_state.h"
#include "engine/interact/selection_census.h"
#include "engine/interact/sketch_keys.h"
#include "engine/text/layout.h"
#include "engine/text/layout_edit_session.h"
#include "platform/rules/colors.h"
#include "platform/rules/font_list.h"
#include "platform/rules/text_style_rules.h"
#include "platform/win32/fonts.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"
#include "ui/app/main_app.h"
#include "ui/doc/document_services.h"
#include "ui/frames/main_frame.h"
#include "ui/input_state.h"
#include "ui/menus.h"

namespace {

constexpr int kSwatchItemWidth = 40;
constexpr int kSwatchItemHeight = 16;
constexpr int kSymbolItemSize = 20;
constexpr UINT kLastSymbolItem = 2299;
constexpr int kCheckWidth = 12;
constexpr int kCheckHeight = 10;

HFONT gMenuSymbolFont = nullptr;

LayoutEditSession* FrontEditor() { return gEngine.frontSketch ? gEngine.frontSketch->editSession : nullptr; }

bool IsSwatchItem(UINT id) { return SwatchColorIndex(id) >= 0; }
bool IsSymbolItem(UINT id) { return id >= kFirstSymbolItem && id <= kLastSymbolItem; }

void RunEditorCode(int32_t code, bool shift) {
    if (!FrontEditor()) return;
    SketchScope scope(gEngine.frontSketch);
    CaptionEditorKey(static_cast<uint16_t>(code), shift ? 1 : 0);
    FlushPendingRedraw(1);
}

bool BarShown(const CControlBar& bar) { return bar.m_hWnd && (bar.GetStyle() & WS_VISIBLE) != 0; }

void DrawSwatchItem(LPDRAWITEMSTRUCT dis) {
    HDC dc = dis->hDC;
    const RECT& r = dis->rcItem;
    FillRect(dc, &r, GetSysColorBrush(COLOR_MENU));
    COLORREF color = 0;
    if (!SwatchItemColor(dis->itemID, &color)) return;
    const ColorMenuMark& mark = CurrentColorMenuMark();
    if (mark.shown && SameRgb(mark.color, color)) {
        // The system's check mark: black on white in the mask, menu colours on the item.
        RECT check{ r.left, r.top + 3, r.left + kCheckWidth, r.top + 3 + kCheckHeight };
        HDC mono = CreateCompatibleDC(dc);
        HBITMAP bits = CreateBitmap(kCheckWidth, kCheckHeight, 1, 1, nullptr);
        HGDIOBJ old = SelectObject(mono, bits);
        RECT all{ 0, 0, kCheckWidth, kCheckHeight };
        DrawFrameControl(mono, &all, DFC_MENU, DFCS_MENUCHECK);
        SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
        SetBkColor(dc, GetSysColor(COLOR_MENU));
        BitBlt(dc, check.left, check.top, kCheckWidth, kCheckHeight, mono, 0, 0, SRCCOPY);
        SelectObject(mono, old);
        DeleteObject(bits);
        DeleteDC(mono);
    }
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    HPEN pen = CreatePen(PS_INSIDEFRAME, selected ? 3 : 1, RGB(0, 0, 0));
    HBRUSH brush = CreateSolidBrush(color);
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
    Rectangle(dc, r.left + 12, r.top + 1, r.right - 4, r.bottom - 1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void DrawSymbolItem(LPDRAWITEMSTRUCT dis) {
    const int32_t code = int32_t(dis->itemID - kFirstSymbolItem);
    if (code >= 260) return;
    HDC dc = dis->hDC;
    const RECT& r = dis->rcItem;
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    const COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU);
    const COLORREF ink = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SetBkColor(dc, back);
    SetTextColor(dc, ink);
    if (code < 256) {
        if (!gMenuSymbolFont) {
            // The face the sketch draws these characters with, 14 pixels high.
            TextStyle style{};
            style.field[kStyleSize] = 14;
            style.field[kStyleWeight] = style.field[kStyleSlant] = style.field[kStyleUnderline] = 1;
            LOGFONTA font{};
            gMenuSymbolFont = CreateSymbolStyleFont(&style, &font);
        }
        HGDIOBJ old = gMenuSymbolFont ? SelectObject(dc, gMenuSymbolFont) : nullptr;
        const char c = static_cast<char>(code);
        RECT text = r;
        text.left += 10;
        DrawTextA(dc, &c, 1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (old) SelectObject(dc, old);
        return;
    }
    GraphicsPort port{};
    LayoutDrawState state{};
    MakeDrawStateForDC(&state, &port, dc, false);
    state.x = static_cast<int16_t>(r.left + 2);
    state.y = static_cast<int16_t>(r.top + 15);
    HPEN pen = CreatePen(PS_SOLID, 1, ink);
    HBRUSH fill = CreateSolidBrush(ink);
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, fill);
    PortDrawGlyph(&state, code, 12);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(fill);
}

}  // namespace

// ---- Colours -------------------------------------------------------------------------------

void CMainFrame::OnColorPopupCommand() {
    SketchScope scope(gEngine.frontSketch);
    TextStyle style{};
    uint32_t color = kNoStyleColor;
    if (GetCurrentTextStyle(&style)) StyleToColorRef(&style, &color);
    const bool hasColor = color != kNoStyleColor;
    GraphicsPort* port = gEngine.frontSketch ? SketchViewPort(gEngine.frontSketch) : nullptr;
    const COLORREF reference = hasColor ? color : port ? port->contrastColor : RGB(0, 0, 0);
    POINT at{};
    if (BarShown(m_textPalette)) {
        at = m_textPalette.ColorMenuPlace();
    } else {
        GetCursorPos(&at);
    }
    COLORREF chosen = 0;
    if (ChooseColorFromMenu(at, hasColor, reference, reference, &chosen)) ApplyTextColorStyle(chosen, KeyHeld(VK_SHIFT));
}

void CMainFrame::OnColorSwatch(UINT id) {
    COLORREF color = 0;
    if (!gEngine.frontSketch || !SwatchItemColor(id, &color)) return;
    SketchScope scope(gEngine.frontSketch);
    ApplyTextColor(color, CensusShiftState() != 0 ? 1 : 0);
    FlushPendingRedraw(1);
}

// ---- The caption editor's commands -------------------------------------------------------

void CMainFrame::OnOverbar(UINT id) {
    if (!FrontEditor()) return;
    SketchScope scope(gEngine.frontSketch);
    ToggleStyleField(kStyleOvermark, OverbarValue(id), KeyHeld(VK_SHIFT));
    FlushPendingRedraw(1);
}

void CMainFrame::OnUpdateOverbar(CCmdUI* cmdUI) {
    const LayoutEditSession* editor = FrontEditor();
    cmdUI->Enable(editor && editor->selStart != editor->selEnd);
    cmdUI->SetCheck(editor && editor->caretStyle.field[kStyleOvermark] == OverbarValue(cmdUI->m_nID) ? 1 : 0);
}

void CMainFrame::OnNotationEdit(UINT id) {
    const int32_t code = NotationEditorCode(id);
    if (code >= 0) RunEditorCode(code, KeyHeld(VK_SHIFT));
}

void CMainFrame::OnUpdateEditorCommand(CCmdUI* cmdUI) { cmdUI->Enable(FrontEditor() != nullptr); }

void CMainFrame::OnSymbolMenu() {
    if (!FrontEditor()) return;
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    for (int32_t i = 0; i < kSymbolCount; ++i) {
        const UINT id = kFirstSymbolItem + kSymbolCodes[i];
        const UINT breakFlag = i > 0 && i % kSymbolsPerColumn == 0 ? MF_MENUBREAK : 0;
        AppendMenuA(menu, MF_OWNERDRAW | breakFlag, id, reinterpret_cast<const char*>(UINT_PTR(id)));
    }
    RECT button{};
    const int index = m_notationBar.CommandToIndex(kSymbolMenuCommand);
    if (index >= 0 && BarShown(m_notationBar)) {
        m_notationBar.GetItemRect(index, &button);
        m_notationBar.ClientToScreen(reinterpret_cast<POINT*>(&button.left));
        m_notationBar.ClientToScreen(reinterpret_cast<POINT*>(&button.right));
    } else {
        POINT cursor{};
        GetCursorPos(&cursor);
        button = RECT{ cursor.x, cursor.y, cursor.x, cursor.y };
    }
    const UINT chosen = UINT(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                                            button.left, button.bottom, 0, m_hWnd, nullptr));
    DestroyMenu(menu);
    const int32_t code = SymbolEditorCode(chosen);
    if (chosen != 0 && code >= 0) RunEditorCode(code, KeyHeld(VK_SHIFT));
}

// ---- The notation bar ----------------------------------------------------------------------

bool CMainFrame::ShowNotationBarWindow(bool show) {
    const bool was = BarShown(m_notationBar);
    if (!m_notationBar.m_hWnd || was == show) return was;
    const bool placedByUser = m_notationBar.placedByUser;
    if (show && !placedByUser && m_textPalette.m_hWnd) {
        RECT palette{};
        m_textPalette.GetWindowRect(&palette);
        const bool floats = m_textPalette.IsFloating();
        RECT dock = palette;
        if (!floats && m_textPalette.m_pDockBar) m_textPalette.m_pDockBar->GetWindowRect(&dock);
        const CSize size = m_notationBar.CalcFixedLayout(false, true);
        const NotationPlacement place =
            PlaceNotationBar(floats, { palette.left, palette.top, palette.right, palette.bottom },
                             { dock.left, dock.top, dock.right, dock.bottom }, { size.cx, size.cy },
                             GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER));
        if (place.floating) {
            FloatControlBar(&m_notationBar, CPoint(place.rect.left, place.rect.top));
        } else {
            const RECT r{ place.rect.left, place.rect.top, place.rect.right, place.rect.bottom };
            DockControlBar(&m_notationBar, IDW_DOCK_BOTTOM, &r);
        }
    }
    ShowControlBar(&m_notationBar, show, false);
    RecalcLayout();
    // The placement above is the frame's, not a move by the user.
    m_notationBar.placedByUser = placedByUser;
    return was;
}

void CMainFrame::OnToggleNotationBar() {
    const bool show = !BarShown(m_notationBar);
    m_notationWanted = show;
    ShowNotationBarWindow(show);
}

void CMainFrame::OnUpdateToggleNotationBar(CCmdUI* cmdUI) {
    const bool editing = FrontEditor() != nullptr;
    cmdUI->Enable(editing);
    cmdUI->SetCheck((editing ? BarShown(m_notationBar) : m_notationWanted) ? 1 : 0);
}

// ---- Owner-drawn items and the font menu ---------------------------------------------------

void CMainFrame::OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis) {
    if (mis->CtlType == ODT_MENU && IsSwatchItem(mis->itemID)) {
        mis->itemWidth = kSwatchItemWidth;
        mis->itemHeight = kSwatchItemHeight;
        return;
    }
    if (mis->CtlType == ODT_MENU && IsSymbolItem(mis->itemID)) {
        mis->itemWidth = kSymbolItemSize;
        mis->itemHeight = kSymbolItemSize;
        return;
    }
    CMDIFrameWnd::OnMeasureItem(id, mis);
}

void CMainFrame::OnDrawItem(int id, LPDRAWITEMSTRUCT dis) {
    if (dis->CtlType == ODT_MENU && IsSwatchItem(dis->itemID)) {
        DrawSwatchItem(dis);
        return;
    }
    if (dis->CtlType == ODT_MENU && IsSymbolItem(dis->itemID)) {
        DrawSymbolItem(dis);
        return;
    }
    CMDIFrameWnd::OnDrawItem(id, dis);
}

void CMainFrame::MarkFontMenu(HMENU popup) {
    if (!gEngine.frontSketch || !popup || popup != FontMenu()) return;
    char name[64] = "";
    {
        SketchScope scope(gEngine.frontSketch);
        TextStyle style{};
        if (GetCurrentTextStyle(&style) && style.field[kStyleFont] != 0)
            std::strncpy(name, FontForNumber(TheFontList(), style.field[kStyleFont]).faceName, sizeof name - 1);
    }
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(popup, i);
        if (id < kFirstFontMenuId || id >= kFontMenuIdLimit) continue;
        char text[64] = "";
        GetMenuStringA(popup, UINT(i), text, sizeof text, MF_BYPOSITION);
        const bool same = name[0] != 0 && std::strcmp(text, name) == 0;
        CheckMenuItem(popup, UINT(i), MF_BYPOSITION | (same ? MF_CHECKED : MF_UNCHECKED));
    }
}

// ---- The bars' services to the engine ---------------------------------------------------------

bool ShowTextPalette(bool show) {
    CMainFrame* frame = TheMainFrame();
    if (!frame || !frame->m_textPalette.m_hWnd) return false;
    if (!show) frame->m_notationWanted = false;
    // The palette's close box already hid it; the engine only hears of it.
    if (TextPaletteBar::hidingItself) return true;
    const bool was = BarShown(frame->m_textPalette);
    if (was != show) {
        frame->ShowControlBar(&frame->m_textPalette, show, false);
        frame->RecalcLayout();
    }
    return was;
}

bool IsTextPaletteVisible() {
    CMainFrame* frame = TheMainFrame();
    return frame && BarShown(frame->m_textPalette);
}

void UpdateTextPalette(bool enabled) {
    if (TextPaletteBar* palette = TheTextPalette()) palette->UpdateFromStyle(enabled);
}

bool ShowNotationBar(bool show) {
    CMainFrame* frame = TheMainFrame();
    return frame ? frame->ShowNotationBarWindow(show) : false;
}

bool NotationBarWanted() {
    CMainFrame* frame = TheMainFrame();
    return frame && frame->m_notationWanted;
}
