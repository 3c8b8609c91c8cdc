#include "ui/dialogs/table_data_dialogs.h"

#include "ui/dialogs/dialog_fields.h"
#include "ui/resource_ids.h"

namespace {

constexpr int32_t kTableDataHelp = 45;
RememberedPosition gAddPosition{}, gRemovePosition{};

}  // namespace

BEGIN_MESSAGE_MAP(AddTableDataDialog, CYRNDialog)
    ON_CONTROL_RANGE(BN_CLICKED, 1266, 1267, OnRadio)
END_MESSAGE_MAP()

AddTableDataDialog::AddTableDataDialog(TableEntryDialogRecord* r, DialogChangeFn apply)
    : CYRNDialog(IDD_ADD_TABLE_DATA, r, apply, false) {
    SetHelpTopic(kTableDataHelp);
}

bool AddTableDataDialog::ExchangeRememberedPosition(bool save, DialogCorner* corner) {
    return ExchangePosition(&gAddPosition, save, corner);
}

void AddTableDataDialog::DoDataExchange(CDataExchange* dx) {
    if (!count.m_hWnd) count.Attach(::GetDlgItem(m_hWnd, 1252), GetFont());
    if (!seconds.m_hWnd) seconds.Attach(::GetDlgItem(m_hWnd, 1253), GetFont());
    auto* r = static_cast<TableEntryDialogRecord*>(record);
    const bool loading = !dx->m_bSaveAndValidate;
    const bool ok = ExchangeDialogField(this, 1266, &r->choice, loading, true, dx) &&
                    ExchangeDialogField(this, 1252, &r->count, loading, true, dx) &&
                    ExchangeDialogField(this, 1253, &r->seconds, loading, true, dx);
    if (!ok) dx->Fail();
    const bool adding = r->choice.value.integer == kAddEntriesAsChanging;
    EnableControl(1252, adding);
    EnableControl(1253, adding);
}

void AddTableDataDialog::OnRadio(UINT id) {
    ::CheckRadioButton(m_hWnd, 1266, 1267, int(id));
    ExchangeWithEngine(true);
}

BEGIN_MESSAGE_MAP(RemoveTableDataDialog, CYRNDialog)
    ON_CONTROL_RANGE(BN_CLICKED, 1366, 1367, OnRadio)
END_MESSAGE_MAP()

RemoveTableDataDialog::RemoveTableDataDialog(TableRemoveDialogRecord* r, DialogChangeFn apply)
    : CYRNDialog(IDD_REMOVE_TABLE_DATA, r, apply, false) {
    SetHelpTopic(kTableDataHelp);
}

bool RemoveTableDataDialog::ExchangeRememberedPosition(bool save, DialogCorner* corner) {
    return ExchangePosition(&gRemovePosition, save, corner);
}

void RemoveTableDataDialog::DoDataExchange(CDataExchange* dx) {
    auto* r = static_cast<TableRemoveDialogRecord*>(record);
    if (!ExchangeDialogField(this, 1366, &r->choice, !dx->m_bSaveAndValidate, true, dx)) dx->Fail();
}

void RemoveTableDataDialog::OnRadio(UINT id) {
    ::CheckRadioButton(m_hWnd, 1366, 1367, int(id));
    ExchangeWithEngine(true);
}
