#include "ui/dialogs/label_multiple_dialog.h"

#include <cstring>

#include "ui/resource_ids.h"

namespace {

constexpr int kLabelEdit = 1252;
constexpr int kExample = 1379;
constexpr int kShowCheck = 1159;
RememberedPosition gPosition{};

}  // namespace

BEGIN_MESSAGE_MAP(LabelMultipleDialog, CYRNDialog)
    ON_EN_CHANGE(kLabelEdit, OnLabelChange)
END_MESSAGE_MAP()

LabelMultipleDialog::LabelMultipleDialog(LabelMultipleRecord* r, DialogChangeFn change)
    : CYRNDialog(IDD_LABEL_MULTIPLE, r, change, false) {}

LabelMultipleDialog::~LabelMultipleDialog() { delete example_; }

bool LabelMultipleDialog::OnInitDialog() {
    example_ = new StateButton(kExample);
    example_->SubclassDlgItem(kExample, this);
    return CYRNDialog::OnInitDialog();
}

bool LabelMultipleDialog::ExchangeRememberedPosition(bool save, DialogCorner* corner) {
    return ExchangePosition(&gPosition, save, corner);
}

void LabelMultipleDialog::DoDataExchange(CDataExchange* dx) {
    auto* r = static_cast<LabelMultipleRecord*>(record);
    HWND edit = ::GetDlgItem(m_hWnd, kLabelEdit);
    HWND check = ::GetDlgItem(m_hWnd, kShowCheck);
    if (dx->m_bSaveAndValidate) {
        char text[kLabelRecordTextSize] = {};
        ::GetWindowTextA(edit, text, int(sizeof text));
        std::memcpy(r->firstLabel, text, sizeof text);
        if ((r->checkFlags & 3) == 3) r->showLabels = ::SendMessageA(check, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        return;
    }
    char shown[kLabelRecordTextSize] = {};
    ::GetWindowTextA(edit, shown, int(sizeof shown));
    // Setting the same text again would move the caret while the user types. The change
    // notice of a text set here is not the user's: it would save the check box before
    // it is loaded.
    if (std::strcmp(shown, r->firstLabel) != 0) {
        loading_ = true;
        ::SetWindowTextA(edit, r->firstLabel);
        loading_ = false;
    }
    if (r->checkFlags & 2) {
        ::ShowWindow(check, SW_SHOW);
        ::SendMessageA(check, BM_SETCHECK, r->showLabels ? BST_CHECKED : BST_UNCHECKED, 0);
        ::EnableWindow(check, (r->checkFlags & 1) != 0);
    } else {
        ::ShowWindow(check, SW_HIDE);
    }
    if (example_ && r->buildSample) example_->SetLayout(r->buildSample(r->firstLabel));
    EnableControl(IDOK, (r->enableBits & 1) != 0);
}

void LabelMultipleDialog::OnLabelChange() {
    if (m_hWnd && !loading_) ExchangeWithEngine(true);
}
