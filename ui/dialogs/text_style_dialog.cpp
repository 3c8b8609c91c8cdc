#include "ui/dialogs/text_style_dialog.h"

#include <cstdio>
#include <cstring>

#include "engine/core/services/colors.h"
#include "engine/core/sketch.h"
#include "engine/text/text_style.h"
#include "platform/rules/colors.h"
#include "platform/rules/font_list.h"
#include "platform/rules/text_style_rules.h"
#include "platform/win32/fonts.h"
#include "platform/win32/render/graphics_port.h"
#include "ui/doc/document_services.h"
#include "ui/frames/text_palette.h"
#include "ui/resource_ids.h"

namespace {

constexpr int kFaceList = 1121, kSizeList = 1122, kBoldBox = 1123, kItalicBox = 1124, kUnderlineBox = 1125;
constexpr int kColorButton = 1248, kSwatch = 1249, kPreview = 1265;
constexpr int kSizeTextLimit = 40;
RememberedPosition gTextStylePosition{};

// The field each state box shows.
int32_t FieldOfBox(int id) {
    return id == kBoldBox ? kStyleWeight : id == kItalicBox ? kStyleSlant : kStyleUnderline;
}

}  // namespace

BEGIN_MESSAGE_MAP(TextStyleDialog, CYRNDialog)
    ON_CONTROL(CBN_EDITUPDATE, kSizeList, OnSizeEdited)
    ON_CONTROL(CBN_SELCHANGE, kFaceList, OnListChoice)
    ON_CONTROL(CBN_SELCHANGE, kSizeList, OnListChoice)
    ON_CONTROL_RANGE(BN_CLICKED, kBoldBox, kUnderlineBox, OnStateBox)
    ON_BN_CLICKED(kColorButton, OnColorMenu)
    ON_COMMAND(kColorMenuCommand, OnColorMenu)  // the colour button asking for its menu
    ON_BN_CLICKED(kSwatch, OnColorPicker)
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

TextStyleDialog::TextStyleDialog(TextStyle* r) : CYRNDialog(IDD_TEXT_STYLE, r, nullptr, false) {
    if (r) style = opened = *r;
}

bool TextStyleDialog::ExchangeRememberedPosition(bool save, DialogCorner* corner) {
    return ExchangePosition(&gTextStylePosition, save, corner);
}

bool TextStyleDialog::OnInitDialog() {
    const bool result = CYRNDialog::OnInitDialog();
    colourButton.Attach(::GetDlgItem(m_hWnd, kColorButton));
    return result;
}

void TextStyleDialog::DoDataExchange(CDataExchange* dx) {
    CYRNDialog::DoDataExchange(dx);
    if (!dx->m_bSaveAndValidate) {
        LoadTextStyleControls();
        return;
    }
    // Read into a copy: a refused size leaves the edited style as it was.
    TextStyle result = style;
    SaveTextStyleControls(&result, dx);
    if (record) *static_cast<TextStyle*>(record) = result;
}

void TextStyleDialog::LoadTextStyleControls() {
    HWND faces = ::GetDlgItem(m_hWnd, kFaceList);
    HWND sizes = ::GetDlgItem(m_hWnd, kSizeList);
    ::SendMessageA(faces, CB_RESETCONTENT, 0, 0);
    const FontList& list = TheFontList();
    for (int32_t i = 1; i < list.size; ++i)
        ::SendMessageA(faces, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(list.items[i].faceName));
    const int16_t font = style.field[kStyleFont];
    if (font > 0) {
        const char* name = FontForNumber(list, font).faceName;
        ::SendMessageA(faces, CB_SETCURSEL, WPARAM(::SendMessageA(faces, CB_FINDSTRINGEXACT, WPARAM(-1),
                                                                  reinterpret_cast<LPARAM>(name))), 0);
    }

    ::SendMessageA(sizes, CB_RESETCONTENT, 0, 0);
    for (int32_t points : kOfferedSizes) {
        char text[16];
        std::snprintf(text, sizeof text, "%i", int(points));
        ::SendMessageA(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    const int32_t size = style.field[kStyleSize] > 0 ? style.field[kStyleSize] : 0;
    if (size != 0) {
        char text[16];
        std::snprintf(text, sizeof text, "%i", int(size));
        int index = int(::SendMessageA(sizes, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text)));
        if (index < 0) {
            index = int(::SendMessageA(sizes, CB_INSERTSTRING, WPARAM(OfferedSizeInsertIndex(size)),
                                       reinterpret_cast<LPARAM>(text)));
        }
        ::SendMessageA(sizes, CB_SETCURSEL, WPARAM(index), 0);
        ::SetWindowTextA(sizes, text);
    }

    for (int id : { kBoldBox, kItalicBox, kUnderlineBox }) {
        const int16_t value = style.field[FieldOfBox(id)];
        if (value == 0) ::CheckDlgButton(m_hWnd, id, BST_INDETERMINATE);
        else if (value == 1) ::CheckDlgButton(m_hWnd, id, BST_UNCHECKED);
        else if (value == 2) ::CheckDlgButton(m_hWnd, id, BST_CHECKED);
    }
}

void TextStyleDialog::SaveTextStyleControls(TextStyle* into, CDataExchange* dx) {
    HWND faces = ::GetDlgItem(m_hWnd, kFaceList);
    const int face = int(::SendMessageA(faces, CB_GETCURSEL, 0, 0));
    if (face >= 0) {
        char name[64] = "";
        if (::SendMessageA(faces, CB_GETLBTEXTLEN, WPARAM(face), 0) < LRESULT(sizeof name)) {
            ::SendMessageA(faces, CB_GETLBTEXT, WPARAM(face), reinterpret_cast<LPARAM>(name));
            into->field[kStyleFont] = static_cast<int16_t>(FindFontIndex(name) + 1);
        }
    }
    for (int id : { kBoldBox, kItalicBox, kUnderlineBox }) {
        const UINT state = ::IsDlgButtonChecked(m_hWnd, id);
        if (state == BST_UNCHECKED) into->field[FieldOfBox(id)] = 1;
        else if (state == BST_CHECKED) into->field[FieldOfBox(id)] = 2;
    }
    char text[kSizeTextLimit + 1] = "";
    ::GetDlgItemTextA(m_hWnd, kSizeList, text, sizeof text);
    if (text[0] == 0) return;
    float points = 0;
    if (!dx) {
        // The preview shows what the field would give, and nothing of a refused size.
        const int32_t twentieths = ParseSizeText(text);
        if (IsAcceptableSize(twentieths)) into->field[kStyleSize] = static_cast<int16_t>(twentieths / 20);
        return;
    }
    if (!ReadNumberField(kSizeList, &points, dx)) return;
    // Compared before converting: a long run of digits would not fit the style's field.
    if (!(points >= 1.0f && points <= float(kLargestSize / 20))) {
        dx->PrepareCtrl(kSizeList);
        failedControl = kSizeList;
        CString message;
        message.LoadString(IDS_SIZE_OUT_OF_RANGE);
        MessageBox(message, nullptr, MB_OK | MB_ICONINFORMATION);
        dx->Fail();
    }
    into->field[kStyleSize] = static_cast<int16_t>(points);
}

void TextStyleDialog::OnSizeEdited() {
    if (filtering) return;
    filtering = true;
    char text[kSizeTextLimit + 1] = "";
    HWND sizes = ::GetDlgItem(m_hWnd, kSizeList);
    ::GetWindowTextA(sizes, text, sizeof text);
    const size_t keep = DigitPrefixLength(text);
    if (text[keep] != 0) {
        text[keep] = 0;
        ::SetWindowTextA(sizes, text);
        ::SendMessageA(sizes, CB_SETEDITSEL, 0, MAKELPARAM(keep, keep));
    }
    filtering = false;
    RepaintPreview();
}

void TextStyleDialog::OnListChoice() { RepaintPreview(); }

void TextStyleDialog::OnStateBox(UINT id) {
    const int box = int(id);
    const UINT state = ::IsDlgButtonChecked(m_hWnd, box);
    UINT next = BST_UNCHECKED;
    if (opened.field[FieldOfBox(box)] >= 1) {
        // A field the whole selection had set only turns on and off.
        next = state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    } else {
        next = state == BST_UNCHECKED ? BST_CHECKED : state == BST_CHECKED ? BST_INDETERMINATE : BST_UNCHECKED;
    }
    ::CheckDlgButton(m_hWnd, box, next);
    RepaintPreview();
}

void TextStyleDialog::OnColorMenu() {
    uint32_t color = kNoStyleColor;
    StyleToColorRef(&style, &color);
    const bool hasColor = style.field[kStyleRed] != 0 && color != kNoStyleColor;
    GraphicsPort* port = gEngine.frontSketch ? SketchViewPort(gEngine.frontSketch) : nullptr;
    const COLORREF reference = hasColor ? color : port ? port->contrastColor : RGB(0, 0, 0);
    RECT button{};
    ::GetWindowRect(::GetDlgItem(m_hWnd, kColorButton), &button);
    COLORREF chosen = 0;
    if (ChooseColorFromMenu(POINT{ button.left, button.bottom }, hasColor, reference, reference, &chosen))
        ApplyColor(chosen);
}

void TextStyleDialog::OnColorPicker() {
    uint32_t color = 0;
    if (PickStyleColor(&style, &color)) ApplyColor(color);
}

void TextStyleDialog::ApplyColor(COLORREF color) {
    TextStyle overlay{};
    FillTextStyle(&overlay, 0);
    ColorRefToStyle(color, &overlay);
    OverrideTextStyle(&style, &overlay);
    RepaintPreview();
    ::InvalidateRect(::GetDlgItem(m_hWnd, kSwatch), nullptr, TRUE);
}

void TextStyleDialog::RepaintPreview() { ::InvalidateRect(::GetDlgItem(m_hWnd, kPreview), nullptr, TRUE); }

void TextStyleDialog::OnDrawItem(int id, LPDRAWITEMSTRUCT dis) {
    HDC dc = dis->hDC;
    if (id == kColorButton) {
        DRAWITEMSTRUCT wider = *dis;
        wider.rcItem.right += 2;
        colourButton.DrawItem(&wider);
        return;
    }
    if (id == kSwatch) {
        RECT face = dis->rcItem;
        face.left -= 2;
        FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &face, (dis->itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        const RECT& r = dis->rcItem;
        RECT bar{ r.left, r.top + 3, r.right - 3, r.bottom - 3 };
        uint32_t color = kNoStyleColor;
        StyleToColorRef(&style, &color);
        if (style.field[kStyleRed] != 0 && color != kNoStyleColor) {
            HBRUSH brush = CreateSolidBrush(color);
            FillRect(dc, &bar, brush);
            DeleteObject(brush);
        }
        return;
    }
    if (id != kPreview) return;
    // The preview reads the controls into a copy: a box passing through a state on its
    // way back to the third one must not leave that state in the edited style.
    TextStyle shown = style;
    SaveTextStyleControls(&shown, nullptr);
    COLORREF background = RGB(255, 255, 255);
    if (gEngine.frontSketch) {
        SketchScope scope(gEngine.frontSketch);
        background = CurrentBackground();
    }
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &dis->rcItem, brush);
    DeleteObject(brush);
    LOGFONTA logFont{};
    HFONT font = CreateStyleFont(&shown, &logFont);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SetTextColorFromStyle(dc, &shown);
    SetBkMode(dc, TRANSPARENT);
    RECT text = dis->rcItem;
    DrawTextA(dc, "Preview", -1, &text, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    if (old) SelectObject(dc, old);
    if (font) DeleteObject(font);
}
