#include "classlib/dialog.h"

#include "classlib/app.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)

// ---- Exchange ----------------------------------------------------------------------

CDataExchange::CDataExchange(CWnd* dialog, bool saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

HWND CDataExchange::PrepareCtrl(int id) {
    HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    m_hWndLastControl = control;
    m_bEditLastControl = false;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND control = PrepareCtrl(id);
    m_bEditLastControl = true;
    return control;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw DataExchangeFailure{};
}

void ExchangeText(CDataExchange* dx, int id, char* buffer, int size) {
    HWND control = dx->PrepareCtrl(id);
    if (!control || size <= 0) return;
    if (dx->m_bSaveAndValidate) ::GetWindowTextA(control, buffer, size);
    else ::SetWindowTextA(control, buffer);
}

void ExchangeText(CDataExchange* dx, int id, CString& text) {
    HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) CWnd::FromHandle(control)->GetWindowText(text);
    else ::SetWindowTextA(control, text);
}

void ExchangeControl(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd) return;
    HWND item = dx->PrepareCtrl(id);
    if (item) control.SubclassWindow(item);
}

// ---- Dialog ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOKCommand)
    ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    if (m_hWnd) DestroyWindow();
}

namespace {

// Every message goes through the library's window procedure first; what it leaves to
// the default reaches the dialog manager, which asks this procedure and then does its
// own default work.
INT_PTR CALLBACK LibraryDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

const DLGTEMPLATE* CDialog::LockTemplate() const {
    if (m_lpDialogTemplate) return m_lpDialogTemplate;
    if (m_nIDTemplate == 0) return nullptr;
    HINSTANCE module = ResourceModule();
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(m_nIDTemplate), MAKEINTRESOURCEA(5));
    if (!resource) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, resource);
    return loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}

bool CDialog::CreateFromTemplate(const DLGTEMPLATE* dialogTemplate, HWND parent) {
    HookWindowCreation(this);
    HWND window = ::CreateDialogIndirectParamA(ResourceModule(), dialogTemplate, parent, LibraryDialogProc, 0);
    UnhookWindowCreation();
    if (!window) {
        if (m_hWnd) Detach();
        return false;
    }
    return true;
}

bool CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    m_lpDialogTemplate = nullptr;
    m_pParentWnd = parent;
    const DLGTEMPLATE* t = LockTemplate();
    return t && CreateFromTemplate(t, parent ? parent->m_hWnd : nullptr);
}

bool CDialog::CreateIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent) {
    m_pParentWnd = parent;
    return dialogTemplate && CreateFromTemplate(dialogTemplate, parent ? parent->m_hWnd : nullptr);
}

void CDialog::InitModalIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent) {
    m_lpDialogTemplate = dialogTemplate;
    m_pParentWnd = parent;
}

HWND CDialog::PreModal() {
    return CWnd::GetSafeOwner_(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, nullptr);
}

void CDialog::PostModal(HWND owner, bool ownerWasEnabled) {
    // The owner takes its input back before the dialog goes, so that Windows hands the
    // activation to it and not to some other program's window.
    if (m_hWnd) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                               SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (owner && ownerWasEnabled) ::EnableWindow(owner, TRUE);
    if (owner && m_hWnd && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    if (m_hWnd) DestroyWindow();
}

INT_PTR CDialog::DoModal() {
    const DLGTEMPLATE* t = LockTemplate();
    if (!t) return -1;
    HWND owner = PreModal();
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    CWinApp* app = CurrentApp();
    if (app) app->EnableModeless(false);

    m_nModalResult = -1;
    m_nFlags |= WINDOW_MODAL_GOES_ON;
    if (CreateFromTemplate(t, owner)) {
        // A dialog that ended itself while initialising never shows.
        if (m_nFlags & WINDOW_MODAL_GOES_ON) {
            const DWORD style = t->style;
            RunModalLoop(MODAL_SHOW_WHEN_IDLE | ((style & DS_NOIDLEMSG) ? MODAL_NO_ENTER_IDLE : 0));
        }
    }
    m_nFlags &= ~WINDOW_MODAL_GOES_ON;
    if (app) app->EnableModeless(true);
    PostModal(owner, ownerWasEnabled);
    return m_nModalResult;
}

void CDialog::EndDialog(int result) {
    if (m_nFlags & (WINDOW_IN_MODAL_LOOP | WINDOW_MODAL_GOES_ON)) EndModalLoop(result);
    else m_nModalResult = result;
    if (m_hWnd) ::EndDialog(m_hWnd, result);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const DataExchangeFailure&) {
        return false;
    }
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

int CDialog::GetDefID() const {
    const LRESULT answer = ::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0);
    return HIWORD(answer) == DC_HASDEFID ? LOWORD(answer) : 0;
}

void CDialog::SetDefID(UINT id) { ::SendMessageA(m_hWnd, DM_SETDEFID, id, 0); }

void CDialog::GotoDlgCtrl(CWnd* control) {
    if (control && control->m_hWnd) ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->m_hWnd), 1);
}

bool CDialog::PreTranslateMessage(MSG* msg) {
    // Keys of the dialog and its controls take the dialog manager's meaning: Tab, the
    // arrows in groups, Enter for the default button, Esc for Cancel, mnemonics.
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    if (!m_hWnd || (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd))) return false;
    return ::IsDialogMessageA(m_hWnd, msg) != FALSE;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog() ? TRUE : FALSE; }

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
