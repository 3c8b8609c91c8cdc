// The Iterate dialog: the grid that maps each seed to its first image, filled by clicking
// objects in the sketch, and the iteration's options on two pop-up menus and keys. The
// engine's model owns the mapping and draws the grid; the dialog routes clicks, keys and
// menu choices to it and grows to fit the grid.
#pragma once
#include <cstdint>

#include "engine/interact/iterate_dialog.h"
#include "ui/dialogs/popup_menu_button.h"
#include "ui/dialogs/yrn_dialog.h"

// The menus of the Display and Structure buttons for the record as it stands: items
// 1000 + the model's command number, headings greyed with id 0.
HMENU BuildIterateDisplayMenu(const IterateDialogFields* fields);
HMENU BuildIterateStructureMenu(const IterateDialogFields* fields);
// The model's command for a key (WM_KEYDOWN or WM_CHAR), or -1 when the key is not one.
int32_t IterateKeyCommand(UINT message, WPARAM key);

class IterateDialog : public CYRNDialog {
public:
    IterateDialog(IterateDialogFields* fields, DialogChangeFn apply);
    bool OnInitDialog() override;
    bool PreTranslateMessage(MSG* msg) override;
    bool ExchangeRememberedPosition(bool save, DialogCorner* corner) override;

    IterateDialogFields* Fields() const { return static_cast<IterateDialogFields*>(record); }
    // Grows the window (without moving it) when the grid needs more room than its
    // control has; true when it grew.
    bool FitGridToContent();
    void RunModelCommand(int32_t command);
    void ShowModelChange();

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnGridClick();
    void OnDisplayMenu();
    void OnStructureMenu();
    DECLARE_MESSAGE_MAP()

private:
    class Grid : public CButton {
    public:
        explicit Grid(IterateDialog* owner) : owner_(owner) {}
        void DrawItem(LPDRAWITEMSTRUCT dis) override;

    private:
        IterateDialog* owner_;
    };
    void MeasureGrid(HDC dc, int32_t* width, int32_t* height);
    void TrackMenu(HMENU menu, int buttonId);
    bool OverGridCell(const MSG* msg);

    Grid grid_{this};
    PopupMenuButton display_, structure_;
};
