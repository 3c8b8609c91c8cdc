// The Text Palette: a dockable bar with the font-name and size lists, the bold, italic
// and underline buttons, the colour menu button and swatch, and the notation bar's
// switch. It shows the current text style whenever the engine asks (UpdateTextPalette)
// and applies what the user picks through the engine's text style operations.
#pragma once
#include <cstdint>

#include "classlib/controlbar.h"
#include "classlib/dialog_controls.h"
#include "ui/dialogs/popup_menu_button.h"

struct TextStyle;

// Item data of a font-name entry, owned by the list.
struct FontNameItem {
    char     name[32];
    char     second[1];      // always empty
    uint8_t  charset;
    uint8_t  pitchAndFamily;
    uint32_t flags;          // kTrueTypeFace
};
constexpr uint32_t kTrueTypeFace = 0x200;

// Identifiers of the palette's controls (their status prompts share them).
constexpr UINT kSizeComboId = 1246;
constexpr UINT kFontComboId = 1247;
constexpr UINT kColorMenuButtonId = 1248;
constexpr UINT kColorSwatchId = 1249;
constexpr UINT kColorMenuCommand = kColorMenuButtonId + 2000;
constexpr UINT kNotationToggleCommand = 33910;

// The combos' common part: the bars' font, the keys, and focus and choices reported to
// the owner with WM_NOTIFY (NM_RETURN after a choice, NM_SETFOCUS, NM_KILLFOCUS).
class PaletteComboBox : public CComboBox {
public:
    bool PreTranslateMessage(MSG* msg) override;
    void Report(int code);
    bool sizeBox = false;
    class TextPaletteBar* palette = nullptr;
};

class FontSizeCombo : public PaletteComboBox {};

class FontNameCombo : public PaletteComboBox {
public:
    void DrawNameItem(LPDRAWITEMSTRUCT dis);
    void FreeItems();
};

class TextPaletteBar : public CToolBar {
    DECLARE_DYNAMIC(TextPaletteBar)
public:
    TextPaletteBar();
    ~TextPaletteBar() override;

    // Creates the bar with its buttons, title and controls in the frame; false on failure.
    bool CreatePalette(CFrameWnd* frame, bool largeButtons);
    void LayoutControls();
    void FillFontNames();
    void UpdateFromStyle(bool enabled);

    // Sizes in twentieths of a point (see platform/rules/text_style_rules.h).
    int32_t ParseSize() const;
    void SetSize(int32_t twentieths);
    void RebuildSizeList();
    // false when the entry was refused (the user was told).
    bool ApplySize(bool keepDefaults);
    void ApplyFontName(bool keepDefaults);
    // Where the colour menu opens: the colour button's bottom-left corner (screen).
    POINT ColorMenuPlace() const;
    void OnTextColorMenu();
    bool IsEnabled() const { return enabled; }

    // Set while the bar tells the engine that its close box hid it.
    static bool hidingItself;

    HDC measureDC = nullptr;
    FontNameCombo fontName;
    FontSizeCombo fontSize;
    PopupMenuButton colorMenu;
    CButton swatch;
    int32_t avgCharWidth = 0;
    int32_t charHeight = 0;
    int32_t lastGoodSize = 0;
    bool enabled = false;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnSizeDropDown();
    void OnSizeCloseUp();
    void OnFontCloseUp();
    void OnSizeKillFocus();
    void OnFontKillFocus();
    void OnComboSetFocus();
    void OnTextColor();
    void OnTextColorMenuCommand() { OnTextColorMenu(); }
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis);
    void OnWindowPosChanged(WINDOWPOS* pos);
    DECLARE_MESSAGE_MAP()

private:
    void DrawSwatch(LPDRAWITEMSTRUCT dis);
    bool CurrentStyle(TextStyle* style) const;
};

// A style's colour picked with the colour dialog, starting from the style's colour when
// it has one, else from the front sketch's text colour; true with the colour on OK.
bool PickStyleColor(const TextStyle* style, uint32_t* color);
// The colour of swatch item 32859 + i (the colour menu's colour i); false for others.
bool SwatchItemColor(UINT item, COLORREF* color);
// Tracks the run-time colour menu at a screen point (owner: the main window): the chosen
// colour, or false when the user chose nothing or cancelled the colour dialog. The menu
// marks `marked` when `hasMark`; the mark shown before is restored afterwards.
bool ChooseColorFromMenu(POINT at, bool hasMark, COLORREF marked, COLORREF reference, COLORREF* chosen);
// Applies a style holding only the colour to the selection or the edited text.
void ApplyTextColorStyle(COLORREF color, bool keepDefaults);

// The main frame's palette, or null.
TextPaletteBar* TheTextPalette();
