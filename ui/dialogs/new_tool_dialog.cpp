#include "ui/dialogs/new_tool_dialog.h"

#include <cstdio>

#include "engine/core/services/later_release.h"
#include "platform/win32/shell.h"
#include "ui/frames/main_frame.h"
#include "ui/resource_ids.h"

namespace {
constexpr int kNameRoom = 255;   // characters of a tool name, without the terminator
}  // namespace

BEGIN_MESSAGE_MAP(NewToolDialog, CDialog)
    ON_BN_CLICKED(IDC_SHOW_SCRIPT_VIEW, OnShowScriptView)
END_MESSAGE_MAP()

NewToolDialog::NewToolDialog(CWnd* parent) : CDialog(IDD_NEW_TOOL, parent) {}

void NewToolDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    ExchangeText(dx, IDC_TOOL_NAME, name);
    // Where the label keeps the template's text, only the name is exchanged.
    const auto nameOnly = LaterForms().window.newToolNameOnly;
    if (!(nameOnly && nameOnly())) ExchangeText(dx, IDC_TOOL_NAME_LABEL, label);
}

bool NewToolDialog::OnInitDialog() {
    SendDlgItemMessage(IDC_TOOL_NAME, EM_LIMITTEXT, kNameRoom);
    CDialog::OnInitDialog();
    SetWindowText(title);
    CheckDlgButton(IDC_SHOW_SCRIPT_VIEW, IsScriptViewVisible() ? BST_CHECKED : BST_UNCHECKED);
    return true;
}

void NewToolDialog::OnCancel() {
    UpdateData(true);
    EndDialog(IDCANCEL);
}

void NewToolDialog::OnShowScriptView() {
    ShowScriptView(IsDlgButtonChecked(IDC_SHOW_SCRIPT_VIEW) == BST_CHECKED);
}

bool RunNewToolDialog(NewToolNameRequest* request) {
    NewToolDialog dialog(nullptr);
    dialog.title = request->title ? request->title : "";
    dialog.label = request->label ? request->label : "";
    dialog.name = request->name;
    const bool ok = dialog.DoModal() == IDOK;
    std::snprintf(request->name, kNameRoom + 1, "%s", static_cast<const char*>(dialog.name));
    return ok;
}
