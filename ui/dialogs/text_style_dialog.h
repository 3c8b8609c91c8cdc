// Text Style: face, size, bold, italic, underline and colour of a text style, with a
// preview. A selection may mix styles, so each field can also be left as it is: the
// check boxes have a third state and an empty face or size changes nothing.
#pragma once
#include "engine/core/services/text_style.h"
#include "ui/dialogs/popup_menu_button.h"
#include "ui/dialogs/yrn_dialog.h"

class TextStyleDialog : public CYRNDialog {
public:
    // The record's style is written back only when the dialog closes with OK.
    explicit TextStyleDialog(TextStyle* record);
    bool OnInitDialog() override;
    bool ExchangeRememberedPosition(bool save, DialogCorner* corner) override;

    void LoadTextStyleControls();
    // Reads the controls into a style. With an exchange a refused size fails it; without
    // one (the preview, on a copy) a refused size is left out.
    void SaveTextStyleControls(TextStyle* into, CDataExchange* dx);
    const TextStyle& EditedStyle() const { return style; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnSizeEdited();
    void OnListChoice();
    void OnStateBox(UINT id);
    void OnColorMenu();
    void OnColorPicker();
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    DECLARE_MESSAGE_MAP()

private:
    void ApplyColor(COLORREF color);
    void RepaintPreview();

    TextStyle style{};
    TextStyle opened{};
    PopupMenuButton colourButton;
    bool filtering = false;
};
