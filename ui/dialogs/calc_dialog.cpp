#include "ui/dialogs/calc_dialog.h"

#include <cstring>

#include "engine/calc/calc_editor.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/text_style.h"
#include "engine/core/services/views.h"
#include "engine/interact/command_state.h"
#include "engine/interact/command_table.h"
#include "engine/interact/pick_session.h"
#include "engine/text/layout.h"
#include "engine/text/string_groups.h"
#include "platform/win32/fonts.h"
#include "platform/win32/menu_items.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"
#include "platform/win32/shell.h"
#include "platform/win32/shell_windows.h"
#include "ui/dialogs/popup_menu_button.h"
#include "ui/dialogs/state_button.h"
#include "ui/frames/engine_commands.h"
#include "ui/portable/calc_keys.h"
#include "ui/resource_ids.h"

using namespace calc_keys;

namespace {

constexpr int32_t kTitleGroup = 17;
constexpr int32_t kStatusEmptyExpression = 6;
constexpr int32_t kStatusTooComplex = 7;
constexpr UINT kEmptyHelpText = IDS_CALC_EMPTY_HELP;
constexpr UINT kTooComplexText = IDS_CALC_TOO_COMPLEX;
constexpr int kMenuButtonCommand = 2000;
constexpr uint32_t kSelectAllMenuCode = 46;
constexpr uint32_t kIdleStepMs = 50;
constexpr UINT_PTR kEditorTimer = 2;
constexpr int32_t kDisplayFontNumber = 1;
constexpr int32_t kDisplayFontSize = 16;
constexpr int32_t kCheckInset = 2;

CCalcDialog* gOpenCalculator = nullptr;
RememberedPosition gCalcPosition{};

// The menu buttons in the order the dialog keeps them, and the menu each opens.
constexpr int kMenuButtonIds[4] = { kCalcFormsButton, kCalcValuesButton, kCalcFunctionsButton, kCalcUnitsButton };
int32_t MenuKindOfButton(int button) {
    switch (button) {
    case kCalcValuesButton: return kCalcMenuValues;
    case kCalcFunctionsButton: return kCalcMenuFunctions;
    case kCalcUnitsButton: return kCalcMenuUnits;
    default: return kCalcMenuForms;
    }
}

// The variable key's bitmap for the forms 0 to 3.
constexpr int kVariableBitmapIds[4] = { 1099, 1100, 1102, 1101 };

// One row per control: keys and buttons ride the bottom edge, the display takes the
// spare height, the expression area the rest.
const ControlAnchor kCalcAnchors[] = {
    { 1080, 0x24, 0 }, { 1081, 0x24, 0 }, { 1082, 0x24, 0 }, { 1083, 0x24, 0 }, { 1084, 0x24, 0 },
    { 1085, 0x24, 0 }, { 1086, 0x24, 0 }, { 1087, 0x24, 0 }, { 1088, 0x24, 0 }, { 1089, 0x24, 0 },
    { 1090, 0x24, 0 }, { 1099, 0x24, 0 }, { 1093, 0x24, 0 }, { 1094, 0x24, 0 }, { 1095, 0x24, 0 },
    { 1096, 0x24, 0 }, { 1097, 0x24, 0 }, { 1091, 0x24, 0 }, { 1092, 0x24, 0 }, { 1098, 0x24, 0 },
    { 4, 0x24, 0 },    { 5, 0x24, 0 },    { 6, 0x24, 0 },    { 7, 0x24, 0 },    { ID_HELP, 0x24, 0 },
    { IDCANCEL, 0x24, 0 }, { IDOK, 0x24, 0 },
    { kCalcExpression, 0x121, kMinPaneHeight }, { kCalcExpressionFrame, 0x121, 0 },
    { kCalcDisplay, 0x91, kMinPaneHeight },     { kCalcDisplayFrame, 0x91, 0 },
    { kCalcMessage, 0x94, 0 },
    { 0, 0, 0 },
};

void Beep() { MessageBeep(static_cast<UINT>(-1)); }

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

UINT SelectAllCommand() {
    uint32_t row = 0, slot = 0;
    if (!MenuCodeToCommandRow(kSelectAllMenuCode, &row) || !CmdStateFindItem(row, &slot)) return 0;
    return kEngineCommandFirst + slot;
}

// A DC without a font of its own gets the dialogs' font first.
void EnsureDialogFont(HDC dc) {
    if (GetCurrentObject(dc, OBJ_FONT) == GetStockObject(SYSTEM_FONT)) SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

CCalcDialog* OpenCalculator() { return gOpenCalculator; }

bool RunCalcDialog(int32_t helpTopic, int32_t titleItem) {
    auto* dialog = new CCalcDialog(helpTopic, titleItem);
    const INT_PTR result = dialog->DoModal();
    delete dialog;
    return result == IDOK;
}

BEGIN_MESSAGE_MAP(CCalcDialog, CYRNDialog)
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_SIZE()
    ON_WM_TIMER()
    ON_WM_MENUSELECT()
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
    ON_MESSAGE(kCalcRefreshMessage, OnRefresh)
    ON_COMMAND_RANGE(kMenuButtonCommand + 4, kMenuButtonCommand + 7, OnMenuButton)
    ON_COMMAND_RANGE(1080, 1099, OnKeypad)
END_MESSAGE_MAP()

CCalcDialog::CCalcDialog(int32_t topic, int32_t title) : CYRNDialog(kCalcTemplate, nullptr, nullptr, true) {
    helpTopic = topic;
    titleItem = title;
}

CCalcDialog::~CCalcDialog() {
    for (HBITMAP& b : keyBitmaps) {
        if (b) DeleteObject(b);
        b = nullptr;
    }
    for (HBITMAP& b : variableBitmaps) {
        if (b) DeleteObject(b);
        b = nullptr;
    }
    if (displayFont) DeleteObject(displayFont);
    for (PopupMenuButton*& button : menuButtons) {
        if (button && button->m_hWnd) button->UnsubclassWindow();
        delete button;
        button = nullptr;
    }
    if (display && display->m_hWnd) display->UnsubclassWindow();
    delete display;
    display = nullptr;
    SetCalculatorArea(nullptr);
    if (gOpenCalculator == this) gOpenCalculator = nullptr;
}

bool CCalcDialog::ExchangeRememberedPosition(bool save, DialogCorner* corner) {
    return ExchangePosition(&gCalcPosition, save, corner);
}

bool CCalcDialog::OnInitDialog() {
    CYRNDialog::OnInitDialog();
    char title[256] = "";
    CopyGroupString256(kTitleGroup, titleItem, title);
    SetWindowText(title);
    gOpenCalculator = this;
    SetCalculatorArea(::GetDlgItem(m_hWnd, kCalcExpression));

    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (int id = kFirstKey; id <= kDeleteKey; ++id) {
        HBITMAP& b = keyBitmaps[id - kFirstKey];
        b = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
        if (b) SendDlgItemMessage(id, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(b));
    }
    for (int form = 0; form < 4; ++form) {
        variableBitmaps[form] = static_cast<HBITMAP>(
            LoadImageA(instance, MAKEINTRESOURCEA(kVariableBitmapIds[form]), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    }

    for (int i = 0; i < 4; ++i) {
        // Without items of their own they ask the dialog for their menus (id + 2000).
        menuButtons[i] = new PopupMenuButton;
        menuButtons[i]->Attach(::GetDlgItem(m_hWnd, kMenuButtonIds[i]));
    }
    display = new StateButton(kCalcDisplay);
    display->SubclassDlgItem(kCalcDisplay, this);

    if (CalcEditorForm() == kCalculationForm) PlaceForCalculation();

    TextStyle style{};
    style.field[kStyleFont] = kDisplayFontNumber;
    style.field[kStyleSize] = kDisplayFontSize;
    displayFont = CreateStyleFont(&style, nullptr);
    if (displayFont) display->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(displayFont), TRUE);
    SetVariableKey(CalcEditorForm());
    const RECT area = ControlRect(kCalcExpression);
    const ScreenRect frame{ 0, 0, static_cast<int16_t>(area.right - area.left), static_cast<int16_t>(area.bottom - area.top) };
    DrawCalcEditor(nullptr, &frame);
    RefreshDisplay();
    bool flags[kKeyGroupCount];
    bool picks = false;
    GetCalcKeyStates(flags, &picks);
    ApplyKeyStates(flags, picks);
    SetAnchors(kCalcAnchors, true);
    // Where the editor runs on a timer, it goes on while no idle messages come (a menu
    // or a drag elsewhere holds the message loop); the timer ends with the window.
    if (const auto timerMs = LaterForms().window.calculatorTimerMs) SetTimer(kEditorTimer, timerMs());
    return false;   // the expression area has the focus
}

void CCalcDialog::PlaceForCalculation() {
    EnableControl(kCalcFormsButton, false);
    ::ShowWindow(::GetDlgItem(m_hWnd, kCalcFormsButton), SW_HIDE);
    const RECT variable = ControlRect(kVariableKey);
    const RECT point = ControlRect(kPointKey);
    const RECT zero = ControlRect(kFirstKey);
    ::ShowWindow(::GetDlgItem(m_hWnd, kVariableKey), SW_HIDE);
    ::SetWindowPos(::GetDlgItem(m_hWnd, kPointKey), nullptr, variable.left, variable.top, variable.right - variable.left,
                   variable.bottom - variable.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(::GetDlgItem(m_hWnd, kFirstKey), nullptr, zero.left, zero.top, point.right - zero.left,
                   zero.bottom - zero.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT CCalcDialog::ControlRect(int id) const {
    RECT r{};
    HWND control = ::GetDlgItem(m_hWnd, id);
    if (control && ::GetWindowRect(control, &r)) MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void CCalcDialog::MoveControlEdges(int id, int32_t dTop, int32_t dBottom) {
    HWND control = ::GetDlgItem(m_hWnd, id);
    if (!control) return;
    const RECT r = ControlRect(id);
    ::SetWindowPos(control, nullptr, r.left, r.top + dTop, r.right - r.left, r.bottom + dBottom - r.top - dTop,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(control, nullptr, TRUE);
}

void CCalcDialog::SetVariableKey(int32_t form) {
    if (form < 0 || form > 3 || !variableBitmaps[form]) return;
    SendDlgItemMessage(kVariableKey, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(variableBitmaps[form]));
}

// ---- Keys and display --------------------------------------------------------------

void CCalcDialog::ApplyKeyStates(const bool* flags, bool picks) {
    for (int id = kFirstKey; id < kFirstKey + 10; ++id) EnableControl(id, flags[kKeyDigits]);
    EnableControl(kPointKey, flags[kKeyDecimalPoint]);
    for (int id = kFirstOperatorKey; id <= kLastOperatorKey; ++id) EnableControl(id, flags[kKeyOperators]);
    // The minus may begin an operand where no other operator may stand.
    EnableControl(kFirstOperatorKey + 1, flags[kKeyMinus]);
    EnableControl(kCloseKey, flags[kKeyClose]);
    EnableControl(kCloseKey - 1, flags[kKeyOperands]);
    EnableControl(kCalcValuesButton, flags[kKeyOperands]);
    EnableControl(kVariableKey, flags[kKeyOperands]);
    EnableControl(kCalcFunctionsButton, flags[kKeyOperands]);
    EnableControl(kCalcUnitsButton, flags[kKeyUnits]);
    EnableControl(kDeleteKey, flags[kKeyHasBefore]);
    EnableControl(IDOK, flags[kKeyValid]);
    if (flags[kKeyValid]) {
        SendDlgItemMessage(IDOK, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        SendDlgItemMessage(IDCANCEL, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
    SetAcceptsPicks(picks);
}

void CCalcDialog::RefreshKeys() {
    bool flags[kKeyGroupCount];
    bool picks = false;
    if (!GetCalcKeyStates(flags, &picks)) return;
    ApplyKeyStates(flags, picks);
}

void CCalcDialog::RefreshDisplay() {
    int32_t status = 0;
    CalcEditorStatus(&status);
    HWND message = ::GetDlgItem(m_hWnd, kCalcMessage);
    if (status == kStatusEmptyExpression || status == kStatusTooComplex) {
        if (display) display->ShowWindow(SW_HIDE);
        CString text;
        text.LoadString(status == kStatusTooComplex ? kTooComplexText : kEmptyHelpText);
        ::SetWindowTextA(message, text);
        ::ShowWindow(message, SW_SHOW);
    } else {
        if (display) {
            display->SetLayout(BuildCalcDisplay());
            display->ShowWindow(SW_SHOW);
        }
        ::ShowWindow(message, SW_HIDE);
    }
    ::SetFocus(::GetDlgItem(m_hWnd, kCalcExpression));
}

bool CCalcDialog::BeginEditorDraw(LayoutDrawState* state, GraphicsPort* port) {
    HWND area = ::GetDlgItem(m_hWnd, kCalcExpression);
    editorDC = area ? ::GetDC(area) : nullptr;
    if (!editorDC) return false;
    editorOldFont = SelectObject(editorDC, GetStockObject(DEFAULT_GUI_FONT));
    MakeDrawStateForDC(state, port, editorDC, false);
    port->hwnd = area;
    editorOldMode = SetBkMode(editorDC, TRANSPARENT);
    return true;
}

void CCalcDialog::EndEditorDraw() {
    if (!editorDC) return;
    SetBkMode(editorDC, editorOldMode);
    SelectObject(editorDC, editorOldFont);
    ::ReleaseDC(::GetDlgItem(m_hWnd, kCalcExpression), editorDC);
    editorDC = nullptr;
}

void CCalcDialog::InsertToken(uint16_t code) {
    GraphicsPort port;
    LayoutDrawState state;
    const bool drawing = BeginEditorDraw(&state, &port);
    CalcEditorInsertAndDraw(code, drawing ? &state : nullptr);
    EndEditorDraw();
    RefreshKeys();
    RefreshDisplay();
}

void CCalcDialog::MoveCaret(int32_t code) {
    GraphicsPort port;
    LayoutDrawState state;
    const bool drawing = BeginEditorDraw(&state, &port);
    CalcEditorMoveCaret(code, KeyDown(VK_SHIFT), drawing ? &state : nullptr);
    EndEditorDraw();
    RefreshKeys();
    RefreshDisplay();
}

bool CCalcDialog::TypeLetter(char character) {
    GraphicsPort port;
    LayoutDrawState state;
    const bool drawing = BeginEditorDraw(&state, &port);
    bool consumed = false;
    const bool took = CalcEditorTypeLetter(character, drawing ? &state : nullptr, &consumed);
    EndEditorDraw();
    if (!took) return consumed;
    RefreshKeys();
    RefreshDisplay();
    return true;
}

void CCalcDialog::OnKeypad(UINT id) {
    const KeypadStep step = KeypadStepFor(static_cast<int32_t>(id), CalcEditorForm());
    if (step.action == KeypadAction::kMoveCaret) MoveCaret(step.code);
    else if (step.action == KeypadAction::kInsert) InsertToken(static_cast<uint16_t>(step.code));
}

void CCalcDialog::OnOK() {
    // Enter reaches here even while the expression is unfinished; only a valid one may
    // end the dialog, or what was typed would be lost without a word.
    HWND ok = ::GetDlgItem(m_hWnd, IDOK);
    if (!ok || !::IsWindowEnabled(ok)) {
        Beep();
        return;
    }
    CYRNDialog::OnOK();
}

bool CCalcDialog::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return CYRNDialog::PreTranslateMessage(msg);
    switch (msg->message) {
    case WM_KEYDOWN: {
        const UINT key = static_cast<UINT>(msg->wParam);
        switch (key) {
        case VK_SPACE: return true;
        case VK_END: MoveCaret(kCaretEnd); return true;
        case VK_HOME: MoveCaret(kCaretHome); return true;
        case VK_LEFT: MoveCaret(kCaretLeft); return true;
        case VK_UP: MoveCaret(kCaretUp); return true;
        case VK_RIGHT: MoveCaret(kCaretRight); return true;
        case VK_DOWN: MoveCaret(kCaretDown); return true;
        case VK_DELETE: MoveCaret(kCaretDelete); return true;
        case VK_RETURN:
        case VK_ESCAPE:
            // Their characters decide, below.
            ::TranslateMessage(msg);
            return true;
        default: break;
        }
        if (KeyDown(VK_CONTROL) && key >= 'A' && key <= 'Z') {
            const UINT command = LookupCtrlKeyCommand(key, KeyDown(VK_SHIFT));
            if (command == 0) break;
            if (command == SelectAllCommand()) MoveCaret(kCaretSelectAll);
            return true;
        }
        break;
    }
    case WM_CHAR:
    case WM_SYSCHAR: {
        const char c = static_cast<char>(msg->wParam);
        if (c == 1) return true;   // Ctrl+A: its key-down did the selecting
        if (c == '\b') {
            MoveCaret(kCaretBackspace);
            return true;
        }
        if (c == '\r') {
            OnOK();
            return true;
        }
        if (c == 27) {
            OnCancel();
            return true;
        }
        if (TypeLetter(c)) return true;
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        HWND area = ::GetDlgItem(m_hWnd, kCalcExpression);
        if (msg->hwnd != area) break;
        const ScreenPoint at{ static_cast<int16_t>(GET_X_LPARAM(msg->lParam)),
                              static_cast<int16_t>(GET_Y_LPARAM(msg->lParam)) };
        GraphicsPort port;
        LayoutDrawState state;
        const bool drawing = BeginEditorDraw(&state, &port);
        CalcEditorMouseDown(at, (msg->wParam & MK_SHIFT) != 0, drawing ? &state : nullptr);
        EndEditorDraw();
        PostMessage(kCalcRefreshMessage, 0, 0);
        return true;
    }
    default: break;
    }
    return CYRNDialog::PreTranslateMessage(msg);
}

LRESULT CCalcDialog::OnRefresh(WPARAM, LPARAM) {
    RefreshKeys();
    RefreshDisplay();
    return 0;
}

// ---- Picking and menus -------------------------------------------------------------

void CCalcDialog::OnObjectPicked(PickApplyFn apply) {
    // The pick session's apply routine inserts the value's token into the model.
    if (PickSessionApply(apply) != 0) {
        RefreshKeys();
        RefreshDisplay();
        ::InvalidateRect(::GetDlgItem(m_hWnd, kCalcExpression), nullptr, FALSE);
    }
    FlushPendingRedraw(1);
}

void CCalcDialog::OnMenuButton(UINT id) {
    const int button = static_cast<int>(id) - kMenuButtonCommand;
    HWND control = ::GetDlgItem(m_hWnd, button);
    HMENU menu = CreatePopupMenu();
    if (!control || !menu) {
        if (menu) DestroyMenu(menu);
        return;
    }
    char title[81] = "";
    ::GetWindowTextA(control, title, sizeof title);
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, title);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    const int32_t kind = MenuKindOfButton(button);
    uint32_t counter = 1;   // 0 is no choice
    BuildCalcPopupMenu(reinterpret_cast<PopupMenu*>(menu), kind, &counter);
    RECT r{};
    ::GetWindowRect(control, &r);
    menuTracking = true;
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_VERTICAL, r.left, r.top, 0, m_hWnd, nullptr));
    menuTracking = false;
    SetDialogFocusObject(nullptr);
    FlushPendingRedraw(1);
    Invalidate();
    if (chosen != 0) ChooseMenuItem(kind, chosen);
    FreeCalcPopupMenu();
    DestroyMenu(menu);
}

void CCalcDialog::ChooseMenuItem(int32_t kind, uint32_t item) {
    if (!DoCalcMenuItem(item)) return;
    if (kind == kCalcMenuForms) SetVariableKey(CalcEditorForm());
    RefreshKeys();
    RefreshDisplay();
    ::InvalidateRect(::GetDlgItem(m_hWnd, kCalcExpression), nullptr, FALSE);
}

void CCalcDialog::OnMenuSelect(UINT item, UINT flags, HMENU menu) {
    if (menuTracking) {
        SketchObject* object = (flags & (MF_POPUP | MF_SEPARATOR)) || menu == nullptr ? nullptr : CalcMenuItemObject(item);
        SetDialogFocusObject(object);
        FlushPendingRedraw(1);
    }
    Default();
}

// ---- Owner drawing -----------------------------------------------------------------

namespace {

// Hands a menu item's request to the later release's menu class, which takes the item's
// layout in place of its key, for this request only.
template <class Request>
void PassWithLayout(Request* request, LayoutNode* layout, void (*form)(void*)) {
    const ULONG_PTR key = request->itemData;
    request->itemData = reinterpret_cast<ULONG_PTR>(layout);
    form(request);
    request->itemData = key;
}

}  // namespace

void CCalcDialog::OnDrawItem(int id, LPDRAWITEMSTRUCT dis) {
    if (dis->CtlType == ODT_MENU) {
        LayoutNode* layout = CalcMenuItemLayout(static_cast<uint32_t>(dis->itemData));
        if (!layout) return;
        if (const auto form = LaterForms().window.drawMenuItem) {
            PassWithLayout(dis, layout, form);
            return;
        }
        HDC dc = dis->hDC;
        EnsureDialogFont(dc);
        const bool selected = (dis->itemState & ODS_SELECTED) != 0;
        const RECT& r = dis->rcItem;
        FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
        const COLORREF textColor = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
        GraphicsPort port;
        LayoutDrawState state;
        MakeDrawStateForDC(&state, &port, dc, false);
        ColorRefToStyle(textColor, &state.style);
        const int checkWidth = GetSystemMetrics(SM_CXMENUCHECK);
        if (dis->itemState & ODS_CHECKED) DrawMenuCheckMark(dc, r.left + kCheckInset, r.top + kCheckInset, textColor);
        if (layout->dirty) MeasureLayout(layout, &state);
        state.x = static_cast<int16_t>(r.left + checkWidth + kMenuLayoutGap);
        state.y = static_cast<int16_t>(r.top + layout->ascent - 1);
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        DrawLayout(layout, &state);
        SetBkMode(dc, oldMode);
        return;
    }
    if (id == kCalcExpression) {
        HDC dc = dis->hDC;
        HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        GraphicsPort port;
        LayoutDrawState state;
        MakeDrawStateForDC(&state, &port, dc, false);
        port.hwnd = dis->hwndItem;
        FillRect(dc, &dis->rcItem, GetSysColorBrush(COLOR_WINDOW));
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const ScreenRect frame{ static_cast<int16_t>(dis->rcItem.left), static_cast<int16_t>(dis->rcItem.top),
                                static_cast<int16_t>(dis->rcItem.right), static_cast<int16_t>(dis->rcItem.bottom) };
        DrawCalcEditor(&state, &frame);
        SetBkMode(dc, oldMode);
        SelectObject(dc, oldFont);
        return;
    }
    CYRNDialog::OnDrawItem(id, dis);
}

void CCalcDialog::OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis) {
    if (mis->CtlType != ODT_MENU) {
        CYRNDialog::OnMeasureItem(id, mis);
        return;
    }
    LayoutNode* layout = CalcMenuItemLayout(static_cast<uint32_t>(mis->itemData));
    if (!layout) return;
    if (const auto form = LaterForms().window.measureMenuItem) {
        PassWithLayout(mis, layout, form);
        return;
    }
    if (layout->dirty) MeasureLayoutInMenuFont(layout, m_hWnd);
    const MenuItemSize size =
        CalcMenuItemSize(GetSystemMetrics(SM_CXMENUCHECK), layout->width, layout->ascent, layout->descent);
    mis->itemWidth = static_cast<UINT>(size.width);
    mis->itemHeight = static_cast<UINT>(size.height);
}

// ---- The splitter ------------------------------------------------------------------

BOOL CCalcDialog::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    POINT p{};
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    const RECT area = ControlRect(kCalcExpression);
    const RECT frame = ControlRect(kCalcDisplayFrame);
    if (PtInRect(&area, p)) {
        ::SetCursor(::LoadCursor(nullptr, IDC_IBEAM));
        return TRUE;
    }
    if (p.x >= frame.left && p.x < frame.right && p.y >= frame.bottom && p.y < area.top) {
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZENS));
        return TRUE;
    }
    return CYRNDialog::OnSetCursor(wnd, hitTest, message);
}

void CCalcDialog::OnLButtonDown(UINT flags, CPoint point) {
    const RECT area = ControlRect(kCalcExpression);
    const RECT frame = ControlRect(kCalcDisplayFrame);
    if (point.x >= frame.left && point.x < frame.right && point.y >= frame.bottom && point.y < area.top) {
        SetCapture();
        splitterCaptured = true;
        splitterStart = { point.x, point.y };
        return;
    }
    CYRNDialog::OnLButtonDown(flags, point);
}

void CCalcDialog::OnMouseMove(UINT, CPoint point) {
    if (!splitterCaptured || ::GetCapture() != m_hWnd) return;
    splitterStart.y += MoveSplitter(point.y - splitterStart.y);
}

void CCalcDialog::OnLButtonUp(UINT, CPoint) {
    if (!splitterCaptured) return;
    splitterCaptured = false;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
}

int32_t CCalcDialog::MoveSplitter(int32_t dy) {
    const RECT frame = ControlRect(kCalcDisplayFrame);
    const RECT area = ControlRect(kCalcExpression);
    dy = ClampSplitterMove(dy, frame.top, frame.bottom, area.top, area.bottom);
    if (dy == 0) return 0;
    MoveControlEdges(kCalcDisplayFrame, 0, dy);
    MoveControlEdges(kCalcDisplay, 0, dy);
    MoveControlEdges(kCalcMessage, 0, dy);
    MoveControlEdges(kCalcExpression, dy, 0);
    MoveControlEdges(kCalcExpressionFrame, dy, 0);
    const RECT moved = ControlRect(kCalcExpression);
    RECT band{ 0, (dy < 0 ? frame.bottom + dy : frame.bottom), 0, (dy < 0 ? area.top : area.top + dy) };
    RECT client{};
    GetClientRect(&client);
    band.right = client.right;
    InvalidateRect(&band, TRUE);
    const ScreenRect editorFrame{ 0, 0, static_cast<int16_t>(moved.right - moved.left),
                                  static_cast<int16_t>(moved.bottom - moved.top) };
    DrawCalcEditor(nullptr, &editorFrame);
    return dy;
}

void CCalcDialog::OnSize(UINT type, int cx, int cy) {
    CYRNDialog::OnSize(type, cx, cy);
    if (!::GetDlgItem(m_hWnd, kCalcExpression)) return;
    MoveSplitter(0);
    const RECT area = ControlRect(kCalcExpression);
    const ScreenRect editorFrame{ 0, 0, static_cast<int16_t>(area.right - area.left),
                                  static_cast<int16_t>(area.bottom - area.top) };
    DrawCalcEditor(nullptr, &editorFrame);
}

// ---- Idle --------------------------------------------------------------------------

LRESULT CCalcDialog::OnKickIdle(WPARAM wParam, LPARAM count) {
    if (LaterForms().window.calculatorTimerMs) return CYRNDialog::OnKickIdle(wParam, count);
    if (count < 3) return TRUE;
    const uint32_t now = GetTickCount();
    if (now - lastIdleTick > kIdleStepMs) {
        lastIdleTick = now;
        EditorIdleStep();
    }
    IdleUpdate(0);
    return TRUE;   // the caret keeps blinking
}

void CCalcDialog::OnTimer(UINT_PTR id) {
    if (id != kEditorTimer) {
        Default();
        return;
    }
    EditorIdleStep();
    IdleUpdate(0);
}

void CCalcDialog::EditorIdleStep() {
    GraphicsPort port;
    LayoutDrawState state;
    const bool drawing = BeginEditorDraw(&state, &port);
    const bool caretWas = CalcEditorCaretShown();
    const bool rebuild = CalcEditorIdle();
    if (drawing && caretWas != CalcEditorCaretShown()) DrawCalcEditor(&state, nullptr);
    EndEditorDraw();
    if (rebuild && display) display->SetLayout(BuildCalcDisplay());
}
