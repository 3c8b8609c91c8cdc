// The Plot Table Data dialog: the two columns, chosen from owner-drawn menus of their
// headings, and the form (rectangular or polar) of the points a table's rows become.
#pragma once
#include <cstdint>

#include "release2/engine/plot_table_data.h"
#include "release2/ui/win32/owner_draw_menu.h"
#include "ui/dialogs/popup_menu_button.h"
#include "ui/dialogs/yrn_dialog.h"

class PlotTableDataDialog : public CYRNDialog {
public:
    explicit PlotTableDataDialog(PlotTableDialogRecord* record);
    ~PlotTableDataDialog() override;
    bool OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnRadio(UINT id);
    void OnColumnButton(UINT id);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis);
    DECLARE_MESSAGE_MAP()

private:
    PlotTableDialogRecord* Record() const { return static_cast<PlotTableDialogRecord*>(record); }
    // The heading layout of a column menu item's key (its column), or null.
    LayoutNode* HeadingOfKey(ULONG_PTR key) const;
    void RenewCaptions();
    void RenewSample();

    PopupMenuButton* buttons[2] = {};
    OwnerDrawMenu* openMenu = nullptr;   // the column menu being tracked
    LayoutNode* sample = nullptr;        // "(first, second)"
};

// The later release's command dialogs for the shared dialog service: IDOK, IDCANCEL, or
// -1 for a kind it does not show.
int32_t RunLaterCommandDialog(int32_t kind, void* record, int32_t helpTopic);
