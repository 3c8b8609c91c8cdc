#include "ui/dialogs/yrn_prop_page.h"

#include "engine/interact/pick_session.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/dialogs/yrn_dialog.h"
#include "ui/dialogs/yrn_prop_sheet.h"

IMPLEMENT_DYNCREATE(YRNPropPage, CPropertyPage)

BEGIN_MESSAGE_MAP(YRNPropPage, CPropertyPage)
    ON_WM_HELPINFO()
    ON_COMMAND(ID_HELP, OnHelpCommand)
END_MESSAGE_MAP()

YRNPropPage::YRNPropPage() : CPropertyPage(0, 0) {}

YRNPropPage::YRNPropPage(UINT templateId, DialogField* pageFields, SketchObject* shown, ControlIdOfFn idOf,
                         int32_t index, int32_t count)
    : CPropertyPage(templateId, 0), pageIndex(index), fieldCount(count), fields(pageFields), object(shown),
      controlIdOf(idOf) {
    // Every page answers the sheet's Help button, which shows its own topic.
    m_psp.dwFlags |= PSP_HASHELP;
}

bool YRNPropPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_HELP) {
        ShowHelp();
        if (result) *result = 0;
        return true;
    }
    return CPropertyPage::OnNotify(wParam, lParam, result);
}

bool YRNPropPage::ExchangeControls(CDataExchange* dx) {
    if (CWnd* parent = GetParent(); parent && parent->IsKindOf(RUNTIME_CLASS(CYRNPropSheet)))
        static_cast<CYRNPropSheet*>(parent)->currentPage = pageIndex;
    if (!fields || !controlIdOf) return true;
    const bool load = !dx->m_bSaveAndValidate;
    bool ok = true;
    for (int32_t i = 0; i < fieldCount; ++i) {
        const int32_t id = controlIdOf(pageIndex, i);
        if (id == 0) continue;
        ok = ExchangeDialogField(this, id, &fields[i], load, valueRequired, dx) && ok;
    }
    return ok;
}

void YRNPropPage::DoDataExchange(CDataExchange* dx) {
    const bool wasLoading = loading;
    loading = !dx->m_bSaveAndValidate;
    const bool accepted = ExchangeControls(dx);
    loading = wasLoading;
    if (!accepted) dx->Fail();
    if (!dx->m_bSaveAndValidate) return;
    CWnd* parent = GetParent();
    if (!parent || !parent->IsKindOf(RUNTIME_CLASS(CYRNPropSheet))) return;
    auto* sheet = static_cast<CYRNPropSheet*>(parent);
    if (!sheet->hasApplyCallback || !sheet->applyCallback) return;
    if (sheet->applyCallback(sheet->record) != 0) {
        // The engine changed the record while applying it: the controls show its values.
        CDataExchange reload(this, false);
        loading = true;
        ExchangeControls(&reload);
        loading = wasLoading;
    }
}

void YRNPropPage::ShowHelp() {
    const int32_t topic = GetHelpTopic();
    if (topic != 0) OpenHelpTopic(topic);
}

BOOL YRNPropPage::OnHelpInfo(HELPINFO*) {
    ShowHelp();
    return TRUE;
}

bool YRNPropPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    NoteComboListCommand(wParam, lParam);
    return CPropertyPage::OnCommand(wParam, lParam);
}
