#include "release2/ui/win32/plot_table_dialog.h"

#include "engine/core/services/colors.h"
#include "engine/core/services/string_groups.h"
#include "engine/text/layout.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"

namespace {

constexpr UINT kTemplate = 273;
constexpr int kRectangularId = 1266, kPolarId = 1267;
constexpr int kSampleId = 1368;
constexpr int kFirstButtonId = 1369, kSecondButtonId = 1370;
// A menu button asks for its menu with its id + 2000.
constexpr int kButtonCommand = 2000;
// The calculator group's coordinate names: x, y for rectangular, r, theta for polar.
constexpr int32_t kNameX = 34, kNameY = 35, kNameTheta = 36, kNameR = 37;

}  // namespace

BEGIN_MESSAGE_MAP(PlotTableDataDialog, CYRNDialog)
    ON_CONTROL_RANGE(BN_CLICKED, kRectangularId, kPolarId, OnRadio)
    ON_COMMAND_RANGE(kFirstButtonId + kButtonCommand, kSecondButtonId + kButtonCommand, OnColumnButton)
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

PlotTableDataDialog::PlotTableDataDialog(PlotTableDialogRecord* r) : CYRNDialog(kTemplate, r, nullptr, false) {}

PlotTableDataDialog::~PlotTableDataDialog() {
    for (PopupMenuButton*& button : buttons) {
        if (button && button->m_hWnd) button->UnsubclassWindow();
        delete button;
        button = nullptr;
    }
    FreeLayoutNode(sample);
}

bool PlotTableDataDialog::OnInitDialog() {
    const int ids[2] = { kFirstButtonId, kSecondButtonId };
    for (int i = 0; i < 2; ++i) {
        // Without items of their own the buttons ask the dialog for their menus.
        buttons[i] = new PopupMenuButton;
        buttons[i]->Attach(::GetDlgItem(m_hWnd, ids[i]));
    }
    return CYRNDialog::OnInitDialog();
}

void PlotTableDataDialog::DoDataExchange(CDataExchange* dx) {
    PlotTableDialogRecord* r = Record();
    if (dx->m_bSaveAndValidate) {
        r->polar.value.integer = IsDlgButtonChecked(kRectangularId) == BST_CHECKED ? 0 : 1;
        return;
    }
    ::CheckRadioButton(m_hWnd, kRectangularId, kPolarId, r->polar.value.integer ? kPolarId : kRectangularId);
    RenewCaptions();
    RenewSample();
}

void PlotTableDataDialog::RenewCaptions() {
    const bool polar = Record()->polar.value.integer != 0;
    SetDlgItemText(kFirstButtonId, GroupText(kGroupCalculator, polar ? kNameR : kNameX));
    SetDlgItemText(kSecondButtonId, GroupText(kGroupCalculator, polar ? kNameTheta : kNameY));
    ::InvalidateRect(::GetDlgItem(m_hWnd, kFirstButtonId), nullptr, FALSE);
    ::InvalidateRect(::GetDlgItem(m_hWnd, kSecondButtonId), nullptr, FALSE);
}

void PlotTableDataDialog::RenewSample() {
    FreeLayoutNode(sample);
    sample = BuildCoordinatePairLayout(Record());
    ::InvalidateRect(::GetDlgItem(m_hWnd, kSampleId), nullptr, TRUE);
}

void PlotTableDataDialog::OnRadio(UINT id) {
    ::CheckRadioButton(m_hWnd, kRectangularId, kPolarId, int(id));
    Record()->polar.value.integer = id == UINT(kPolarId) ? 1 : 0;
    RenewCaptions();
}

LayoutNode* PlotTableDataDialog::HeadingOfKey(ULONG_PTR key) const {
    const PlotTableDialogRecord* r = Record();
    const auto column = static_cast<int32_t>(key);
    const int32_t entry = HeadingEntryOfColumn(column);
    if (column < 1 || entry >= r->headings.upper) return nullptr;
    return static_cast<const ColumnHeadingEntry*>(r->headings.value.pointer)[entry].layout;
}

void PlotTableDataDialog::OnColumnButton(UINT id) {
    const int button = static_cast<int>(id) - kButtonCommand;
    PlotTableDialogRecord* r = Record();
    DialogField& choice = button == kFirstButtonId ? r->firstColumn : r->secondColumn;
    HWND control = ::GetDlgItem(m_hWnd, button);
    OwnerDrawMenu menu;
    if (!control || !menu.CreatePopupMenu()) return;
    char title[81] = "";
    ::GetWindowTextA(control, title, sizeof title);
    menu.AppendMenu(MF_STRING | MF_GRAYED, 0, title);
    menu.AppendMenu(MF_SEPARATOR);
    const auto* headings = static_cast<const ColumnHeadingEntry*>(r->headings.value.pointer);
    const int32_t columns = r->firstColumn.upper;
    for (int32_t column = 1; column < columns; ++column) {
        // The item's data is its column, the key the measuring and drawing look up.
        UINT flags = MF_OWNERDRAW;
        if (!headings[HeadingEntryOfColumn(column)].hasNumbers) flags |= MF_GRAYED;
        if (choice.value.integer == column + 1) flags |= MF_CHECKED;
        ::AppendMenuA(menu, flags, UINT_PTR(column + 1), reinterpret_cast<const char*>(uintptr_t(column)));
    }
    RECT at{};
    ::GetWindowRect(control, &at);
    openMenu = &menu;
    const UINT chosen = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_VERTICAL, at.left, at.top, 0,
                                                         m_hWnd, nullptr));
    openMenu = nullptr;
    if (chosen != 0 && int32_t(chosen) != choice.value.integer) {
        choice.value.integer = int32_t(chosen);
        RenewSample();
    }
}

void PlotTableDataDialog::OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis) {
    if (mis->CtlType != ODT_MENU || !openMenu) {
        CWnd::OnMeasureItem(id, mis);
        return;
    }
    MEASUREITEMSTRUCT item = *mis;
    item.itemData = reinterpret_cast<ULONG_PTR>(HeadingOfKey(mis->itemData));
    openMenu->MeasureItem(&item);
    mis->itemWidth = item.itemWidth;
    mis->itemHeight = item.itemHeight;
}

void PlotTableDataDialog::OnDrawItem(int id, LPDRAWITEMSTRUCT dis) {
    if (dis->CtlType == ODT_MENU) {
        if (!openMenu) return;
        DRAWITEMSTRUCT item = *dis;
        item.itemData = reinterpret_cast<ULONG_PTR>(HeadingOfKey(dis->itemData));
        openMenu->DrawItem(&item);
        return;
    }
    if (id != kSampleId) {
        CWnd::OnDrawItem(id, dis);
        return;
    }
    HDC dc = dis->hDC;
    const RECT& r = dis->rcItem;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (!sample) return;
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    GraphicsPort port;
    LayoutDrawState state;
    MakeDrawStateForDC(&state, &port, dc, false);
    ColorRefToStyle(GetSysColor(COLOR_BTNTEXT), &state.style);
    if (sample->dirty) MeasureLayout(sample, &state);
    const int32_t height = sample->ascent + sample->descent;
    state.x = static_cast<int16_t>(r.left + (r.right - r.left - sample->width) / 2);
    state.y = static_cast<int16_t>(r.top + (r.bottom - r.top - height) / 2 + sample->ascent);
    DrawLayout(sample, &state);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

int32_t RunLaterCommandDialog(int32_t kind, void* record, int32_t helpTopic) {
    if (kind != kDialogPlotTableData || !record) return -1;
    PlotTableDataDialog dialog(static_cast<PlotTableDialogRecord*>(record));
    if (helpTopic != 0) dialog.SetHelpTopic(helpTopic);
    return dialog.DoModal() == IDOK ? IDOK : IDCANCEL;
}
