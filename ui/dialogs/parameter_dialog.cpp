#include "ui/dialogs/parameter_dialog.h"

#include <cstdio>

#include "engine/core/services/string_groups.h"
#include "engine/core/sketch.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/resource_ids.h"

namespace {

constexpr int32_t kUnitGroup = 7;
constexpr int kValueId = 1252, kNameId = 1255, kFirstUnit = 1266, kUnitLabel = 1306, kUnitsFrame = 1305;
RememberedPosition gParameterPosition{};

}  // namespace

BEGIN_MESSAGE_MAP(NewParameterDialog, CYRNDialog)
    ON_CONTROL_RANGE(BN_CLICKED, 1266, 1268, OnUnitRadio)
END_MESSAGE_MAP()

NewParameterDialog::NewParameterDialog(ParameterDialogRecord* r, DialogChangeFn apply)
    : CYRNDialog(IDD_NEW_PARAMETER, r, apply, false) {}

bool NewParameterDialog::ExchangeRememberedPosition(bool save, DialogCorner* corner) {
    return ExchangePosition(&gParameterPosition, save, corner);
}

bool NewParameterDialog::OnInitDialog() {
    auto* r = static_cast<ParameterDialogRecord*>(record);
    // The unit texts come before the first exchange, which shows the checked one.
    const Sketch* front = gEngine.frontSketch;
    const int32_t angleUnit = front ? front->settings.angleUnit : 0;
    const int32_t distanceUnit = front ? front->settings.distanceUnit : 0;
    SetDlgItemText(kFirstUnit + 1, GroupText(kUnitGroup, angleUnit != 0 ? 6 : 5));
    SetDlgItemText(kFirstUnit + 2, GroupText(kUnitGroup, 2 + (distanceUnit >= 0 && distanceUnit <= 2 ? distanceUnit : 0)));
    CYRNDialog::OnInitDialog();
    if (r->title.value.text) {
        char title[256];
        std::snprintf(title, sizeof title, "%s", r->title.value.text);
        SetWindowText(title);
    }
    if ((r->units.state & kFieldEnabled) == 0) {
        RECT frame{};
        ::GetWindowRect(::GetDlgItem(m_hWnd, kUnitsFrame), &frame);
        const int shrink = frame.bottom - frame.top;
        for (int id : {kFirstUnit, kFirstUnit + 1, kFirstUnit + 2, kUnitsFrame}) ::ShowWindow(::GetDlgItem(m_hWnd, id), SW_HIDE);
        static const ControlAnchor kButtonsMoveDown[] = {
            {IDCANCEL, kAnchorMoveY, 0}, {ID_HELP, kAnchorMoveY, 0}, {IDOK, kAnchorMoveY, 0}, {0, 0, 0}};
        SetAnchors(kButtonsMoveDown, false);
        RECT window{};
        GetWindowRect(&window);
        minHeight -= shrink;
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left, window.bottom - window.top - shrink,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HWND edit = ::GetDlgItem(m_hWnd, kValueId);
    ::SetFocus(edit);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    return false;
}

void NewParameterDialog::ShowUnitLabel(int radioId) {
    char text[64] = "";
    if (radioId != kFirstUnit) GetDlgItemText(radioId, text, sizeof text);
    SetDlgItemText(kUnitLabel, text);
}

void NewParameterDialog::DoDataExchange(CDataExchange* dx) {
    if (!value.m_hWnd) value.Attach(::GetDlgItem(m_hWnd, kValueId), GetFont());
    auto* r = static_cast<ParameterDialogRecord*>(record);
    const bool loading = !dx->m_bSaveAndValidate;
    const bool ok = ExchangeDialogField(this, kValueId, &r->value, loading, true, dx) &&
                    ExchangeDialogField(this, kNameId, &r->name, loading, false, dx) &&
                    ExchangeDialogField(this, kFirstUnit, &r->units, loading, false, dx);
    if (!ok) dx->Fail();
    if (loading) ShowUnitLabel(kFirstUnit + (r->units.value.integer >= 0 && r->units.value.integer <= 2 ? r->units.value.integer : 0));
}

void NewParameterDialog::OnUnitRadio(UINT id) {
    ::CheckRadioButton(m_hWnd, kFirstUnit, kFirstUnit + 2, int(id));
    ShowUnitLabel(int(id));
}
