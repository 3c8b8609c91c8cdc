#include "ui/dialogs/plot_points_dialog.h"

#include "engine/core/sketch.h"
#include "ui/resource_ids.h"

namespace {

constexpr int kRectangularId = 1139, kPolarId = 1140, kFirstId = 1141, kSecondId = 1142, kClosingId = 1143;
constexpr int kPlotId = 10;
constexpr UINT kApplyRequest = 0x8000;
RememberedPosition gPlotPosition{};

PlotPointsRecord* RecordOf(void* r) { return static_cast<PlotPointsRecord*>(r); }

}  // namespace

BEGIN_MESSAGE_MAP(PlotPointsDialog, CYRNDialog)
    ON_BN_CLICKED(kPlotId, OnPlot)
    ON_CONTROL_RANGE(BN_CLICKED, kRectangularId, kPolarId, OnFormRadio)
    ON_CONTROL_RANGE(EN_CHANGE, kFirstId, kSecondId, OnFieldChange)
    ON_MESSAGE(kApplyRequest, OnApplyInstead)
    ON_MESSAGE(DM_GETDEFID, OnGetDefId)
END_MESSAGE_MAP()

PlotPointsDialog::PlotPointsDialog(PlotPointsRecord* r, DialogChangeFn apply)
    : CYRNDialog(IDD_PLOT_POINTS, r, apply, false) {}

bool PlotPointsDialog::ExchangeRememberedPosition(bool save, DialogCorner* corner) {
    return ExchangePosition(&gPlotPosition, save, corner);
}

bool PlotPointsDialog::OnInitDialog() {
    const bool result = CYRNDialog::OnInitDialog();
    UpdateButtons();
    return result;
}

void PlotPointsDialog::DoDataExchange(CDataExchange* dx) {
    PlotPointsRecord* r = RecordOf(record);
    if (dx->m_bSaveAndValidate) {
        r->form = IsDlgButtonChecked(kRectangularId) == BST_CHECKED ? 1 : 0;
        double a = r->first, b = r->second;
        // A refused field fails the exchange (Validate does): nothing is plotted.
        if (!first.Validate(&a, dx) || !second.Validate(&b, dx)) {
            dx->m_hWndLastControl = nullptr;
            dx->Fail();
        }
        r->first = a;
        r->second = b;
        return;
    }
    ::CheckRadioButton(m_hWnd, kRectangularId, kPolarId, r->form == 1 ? kRectangularId : kPolarId);
    const Sketch* sketch = CurrentSketch() ? CurrentSketch() : gEngine.frontSketch;
    const bool degrees = sketch && sketch->settings.angleUnit != 0;
    SetDlgItemText(kClosingId, r->form == 1 ? ")" : degrees ? "\xB0 )" : "rad )");
    if (!first.m_hWnd) first.Attach(::GetDlgItem(m_hWnd, kFirstId), GetFont());
    if (!second.m_hWnd) second.Attach(::GetDlgItem(m_hWnd, kSecondId), GetFont());
    first.SetValue(r->first);
    second.SetValue(r->second);
}

void PlotPointsDialog::OnPlot() {
    PlotPointsRecord* r = RecordOf(record);
    if (!BothFieldsHoldText()) return;
    r->plotNow = 1;
    const bool applied = ExchangeWithEngine(true);
    // A refused field plots nothing and keeps what was typed.
    r->plotNow = 0;
    if (!applied) return;
    ExchangeWithEngine(false);
    // Emptied for the next pair, not typed empty: leaving them is no refusal.
    SetDlgItemText(kFirstId, "");
    SetDlgItemText(kSecondId, "");
    first.modified = false;
    second.modified = false;
    UpdateButtons();
    ::SetFocus(::GetDlgItem(m_hWnd, kFirstId));
}

void PlotPointsDialog::OnFormRadio(UINT id) {
    ::CheckRadioButton(m_hWnd, kRectangularId, kPolarId, int(id));
    ExchangeWithEngine(true);
    ExchangeWithEngine(false);
    UpdateButtons();
}

void PlotPointsDialog::OnFieldChange(UINT) { UpdateButtons(); }

LRESULT PlotPointsDialog::OnApplyInstead(WPARAM, LPARAM) {
    // Typing never plots.
    UpdateButtons();
    return 1;
}

LRESULT PlotPointsDialog::OnGetDefId(WPARAM, LPARAM) {
    return MAKELRESULT(BothFieldsHoldText() ? kPlotId : IDCANCEL, DC_HASDEFID);
}

bool PlotPointsDialog::BothFieldsHoldText() const {
    return ::GetWindowTextLengthA(::GetDlgItem(m_hWnd, kFirstId)) > 0 &&
           ::GetWindowTextLengthA(::GetDlgItem(m_hWnd, kSecondId)) > 0;
}

void PlotPointsDialog::UpdateButtons() {
    const bool ready = BothFieldsHoldText();
    HWND plot = ::GetDlgItem(m_hWnd, kPlotId);
    HWND done = ::GetDlgItem(m_hWnd, IDCANCEL);
    ::EnableWindow(plot, ready);
    ::SendMessageA(plot, BM_SETSTYLE, ready ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    ::SendMessageA(done, BM_SETSTYLE, ready ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
    ::SetWindowTextA(plot, RecordOf(record)->edited ? "&Edi&t" : "Plo&t");
}
