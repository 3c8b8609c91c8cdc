#include "classlib/propsheet.h"

#include "classlib/app.h"

IMPLEMENT_DYNCREATE(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

// ---- Pages -------------------------------------------------------------------------

CPropertyPage::CPropertyPage() : CPropertyPage(0, 0) {}

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId) : CDialog(templateId, nullptr), m_psp{} {
    m_psp.dwSize = sizeof m_psp;
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.hInstance = ResourceModule();
    m_psp.pszTemplate = MAKEINTRESOURCEA(templateId);
    m_psp.pfnDlgProc = PageProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    if (captionId != 0 && caption_.LoadString(captionId)) {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = caption_;
    }
}

// The page's window joins its object at initialisation; from then on its messages go
// through the object, and what the object leaves reaches the dialog manager.
INT_PTR CALLBACK CPropertyPage::PageProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* page = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
    if (!page || !page->SubclassWindow(hwnd)) return TRUE;
    return page->OnInitDialog() ? TRUE : FALSE;
}

bool CPropertyPage::OnSetActive() {
    if (firstActivation_) {
        firstActivation_ = false;
        return true;
    }
    return UpdateData(false);
}

bool CPropertyPage::OnKillActive() { return UpdateData(true); }

bool CPropertyPage::OnApply() {
    if (sheet_) sheet_->applied_ = true;
    return true;
}

void CPropertyPage::OnReset() {}

bool CPropertyPage::OnQueryCancel() { return true; }

void CPropertyPage::SetModified(bool changed) {
    if (sheet_ && sheet_->m_hWnd) ::SendMessageA(sheet_->m_hWnd, changed ? PSM_CHANGED : PSM_UNCHANGED,
                                                 reinterpret_cast<WPARAM>(m_hWnd), 0);
}

bool CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* note = reinterpret_cast<const NMHDR*>(lParam);
    LRESULT r = 0;
    switch (note->code) {
    case PSN_SETACTIVE: r = OnSetActive() ? 0 : -1; break;
    case PSN_KILLACTIVE: r = OnKillActive() ? FALSE : TRUE; break;
    case PSN_APPLY: r = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE; break;
    case PSN_RESET: OnReset(); break;
    case PSN_QUERYCANCEL: r = OnQueryCancel() ? FALSE : TRUE; break;
    default: return CDialog::OnNotify(wParam, lParam, result);
    }
    // The sheet reads the answer from the dialog's result word as well as from the call.
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, r);
    if (result) *result = r;
    return true;
}

// ---- Sheets ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT startPage) : m_psh{}, parent_(parent) {
    caption_.LoadString(captionId);
    m_psh.dwSize = sizeof m_psh;
    m_psh.nStartPage = startPage;
}

CPropertySheet::CPropertySheet(const char* caption, CWnd* parent, UINT startPage)
    : m_psh{}, parent_(parent), caption_(caption ? caption : "") {
    m_psh.dwSize = sizeof m_psh;
    m_psh.nStartPage = startPage;
}

CPropertySheet::~CPropertySheet() {
    if (m_hWnd) DestroyWindow();
}

bool CPropertySheet::BuildHeader(std::vector<HPROPSHEETPAGE>* handles) {
    for (CPropertyPage* page : pages_) {
        page->sheet_ = this;
        page->firstActivation_ = true;
        HPROPSHEETPAGE h = ::CreatePropertySheetPageA(&page->m_psp);
        if (!h) {
            for (HPROPSHEETPAGE made : *handles) ::DestroyPropertySheetPage(made);
            handles->clear();
            return false;
        }
        handles->push_back(h);
    }
    m_psh.dwFlags = (m_psh.dwFlags & ~(PSH_PROPSHEETPAGE | PSH_WIZARD)) | PSH_MODELESS;
    m_psh.hInstance = ResourceModule();
    m_psh.pszCaption = caption_;
    m_psh.nPages = static_cast<UINT>(handles->size());
    m_psh.phpage = handles->data();
    if (m_psh.nStartPage >= m_psh.nPages) m_psh.nStartPage = 0;
    return true;
}

bool CPropertySheet::Create(CWnd* parent, DWORD, DWORD) {
    INITCOMMONCONTROLSEX init = { sizeof init, ICC_WIN95_CLASSES };
    ::InitCommonControlsEx(&init);
    if (parent) parent_ = parent;
    if (!m_psh.hwndParent) m_psh.hwndParent = parent_ ? parent_->m_hWnd : nullptr;
    std::vector<HPROPSHEETPAGE> handles;
    if (!BuildHeader(&handles)) return false;
    applied_ = false;
    HookWindowCreation(this);
    const HWND sheet = reinterpret_cast<HWND>(::PropertySheetA(&m_psh));
    UnhookWindowCreation();
    if (!sheet || sheet == reinterpret_cast<HWND>(-1)) {
        if (m_hWnd) Detach();
        return false;
    }
    return true;
}

INT_PTR CPropertySheet::DoModal() {
    HWND owner = CWnd::GetSafeOwner_(parent_ ? parent_->m_hWnd : nullptr, nullptr);
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    m_psh.hwndParent = owner;
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    INT_PTR result = -1;
    if (Create(nullptr)) {
        RunModalLoop(MODAL_SHOW_WHEN_IDLE);
        result = Result();
    }
    if (owner && ownerWasEnabled) ::EnableWindow(owner, TRUE);
    if (owner && m_hWnd && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    if (m_hWnd) DestroyWindow();
    return result;
}

bool CPropertySheet::ContinueModal() {
    // After OK or Cancel the sheet has no current page while its window still exists.
    return CWnd::ContinueModal() && m_hWnd && ::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0) != 0;
}

bool CPropertySheet::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    if (!m_hWnd || (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd))) return false;
    return ::SendMessageA(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(msg)) != 0;
}

LRESULT CPropertySheet::HandleInitDialog(WPARAM, LPARAM) {
    const LRESULT r = Default();
    OnInitDialog();
    return r;
}

bool CPropertySheet::OnInitDialog() { return true; }

void CPropertySheet::AddPage(CPropertyPage* page) {
    pages_.push_back(page);
    if (!m_hWnd) return;
    page->sheet_ = this;
    page->firstActivation_ = true;
    if (HPROPSHEETPAGE h = ::CreatePropertySheetPageA(&page->m_psp)) {
        if (!::SendMessageA(m_hWnd, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(h))) ::DestroyPropertySheetPage(h);
    }
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
    for (size_t i = 0; i < pages_.size(); ++i)
        if (pages_[i] == page) return static_cast<int>(i);
    return -1;
}

void CPropertySheet::RemovePage(CPropertyPage* page) {
    const int index = GetPageIndex(page);
    if (index >= 0) RemovePage(index);
}

void CPropertySheet::RemovePage(int index) {
    if (index < 0 || index >= GetPageCount()) return;
    if (m_hWnd) ::SendMessageA(m_hWnd, PSM_REMOVEPAGE, static_cast<WPARAM>(index), 0);
    pages_.erase(pages_.begin() + index);
}

int CPropertySheet::GetActiveIndex() const {
    if (!m_hWnd) return static_cast<int>(m_psh.nStartPage);
    const HWND current = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
    for (size_t i = 0; i < pages_.size(); ++i)
        if (current && pages_[i]->m_hWnd == current) return static_cast<int>(i);
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    const int index = GetActiveIndex();
    return index >= 0 && index < GetPageCount() ? GetPage(index) : nullptr;
}

bool CPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount()) return false;
    if (!m_hWnd) {
        m_psh.nStartPage = static_cast<UINT>(index);
        return true;
    }
    return ::SendMessageA(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(index), 0) != 0;
}

void CPropertySheet::SetTitle(const char* title) {
    caption_ = title ? title : "";
    if (m_hWnd) ::SendMessageA(m_hWnd, PSM_SETTITLEA, 0, reinterpret_cast<LPARAM>(static_cast<const char*>(caption_)));
}
