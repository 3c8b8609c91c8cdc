#include "classlib/filedlg.h"

#include "classlib/app.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

namespace {
constexpr size_t kFileBufferSize = 2048;
}  // namespace

CFileDialog::CFileDialog(bool openDialog, const char* defaultExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : CCommonDialog(parent), m_ofn{}, m_bOpenFileDialog(openDialog), parent_(parent), fileBuffer_(kFileBufferSize, '\0'),
      fileTitle_{} {
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLEHOOK;
    m_ofn.lpstrFile = fileBuffer_.data();
    m_ofn.nMaxFile = static_cast<DWORD>(fileBuffer_.size());
    m_ofn.lpstrFileTitle = fileTitle_;
    m_ofn.nMaxFileTitle = sizeof fileTitle_;
    if (defaultExt) SetDefaultExt(defaultExt);
    if (fileName) SetFileName(fileName);
    if (filter) SetFilter(filter);
}

void CFileDialog::SetFilter(const char* filter) {
    filter_.assign(filter, filter + std::strlen(filter));
    for (char& c : filter_) {
        if (c == '|') c = '\0';
    }
    filter_.push_back('\0');
    filter_.push_back('\0');
    m_ofn.lpstrFilter = filter_.data();
}

void CFileDialog::SetDefaultExt(const char* ext) {
    defaultExt_ = ext;
    m_ofn.lpstrDefExt = defaultExt_.IsEmpty() ? nullptr : defaultExt_.c_str();
}

void CFileDialog::SetTitle(const char* title) {
    title_ = title;
    m_ofn.lpstrTitle = title_.IsEmpty() ? nullptr : title_.c_str();
}

void CFileDialog::SetFileName(const char* name) {
    if (!m_ofn.lpstrFile || m_ofn.nMaxFile == 0) return;
    lstrcpynA(m_ofn.lpstrFile, name ? name : "", static_cast<int>(m_ofn.nMaxFile));
}

INT_PTR CFileDialog::DoModal() {
    m_ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
    m_ofn.lpfnHook = HookProc;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
    m_ofn.hInstance = ModuleInstance();
    HWND top = nullptr;
    m_ofn.hwndOwner = CWnd::GetSafeOwner_(parent_ ? parent_->m_hWnd : nullptr, &top);
    CWinApp* app = CurrentApp();
    if (app) app->EnableModeless(false);
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    if (app) app->EnableModeless(true);
    if (m_hWnd) UnsubclassWindow();
    hook_ = nullptr;
    return ok ? IDOK : IDCANCEL;
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lParam);
        auto* dialog = reinterpret_cast<CFileDialog*>(ofn->lCustData);
        ::SetWindowLongPtrA(hook, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
        dialog->hook_ = hook;
        // The dialog itself is the hook window's parent; its messages go through
        // this object from now on.
        dialog->SubclassWindow(::GetParent(hook));
        return TRUE;
    }
    auto* dialog = reinterpret_cast<CFileDialog*>(::GetWindowLongPtrA(hook, DWLP_USER));
    if (!dialog || message != WM_NOTIFY) return 0;
    auto* notify = reinterpret_cast<OFNOTIFYA*>(lParam);
    switch (notify->hdr.code) {
    case CDN_INITDONE: dialog->OnInitDone(); break;
    case CDN_SELCHANGE: dialog->OnFileNameChange(); break;
    case CDN_FOLDERCHANGE: dialog->OnFolderChange(); break;
    case CDN_TYPECHANGE: dialog->OnTypeChange(); break;
    case CDN_FILEOK: {
        bool refuse = dialog->OnFileNameOK();
        ::SetWindowLongPtrA(hook, DWLP_MSGRESULT, refuse ? 1 : 0);
        return refuse ? 1 : 0;
    }
    default: break;
    }
    return 0;
}

bool CFileDialog::OnFileNameOK() { return false; }
void CFileDialog::OnInitDone() {}
void CFileDialog::OnFileNameChange() {}
void CFileDialog::OnFolderChange() {}
void CFileDialog::OnTypeChange() {}

CString CFileDialog::GetPathName() const {
    if (m_hWnd) {
        char path[MAX_PATH];
        LRESULT n = ::SendMessageA(m_hWnd, CDM_GETFILEPATH, sizeof path, reinterpret_cast<LPARAM>(path));
        return n > 0 ? CString(path) : CString();
    }
    if (!m_ofn.lpstrFile) return CString();
    if (m_ofn.Flags & OFN_ALLOWMULTISELECT) {
        POSITION pos = GetStartPosition();
        return pos ? GetNextPathName(pos) : CString();
    }
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const {
    CString path = GetPathName();
    return path.Mid(path.ReverseFind('\\') + 1);
}

CString CFileDialog::GetFileExt() const {
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const {
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}

CString CFileDialog::GetFolderPath() const {
    if (!m_hWnd) return CString();
    char path[MAX_PATH];
    LRESULT n = ::SendMessageA(m_hWnd, CDM_GETFOLDERPATH, sizeof path, reinterpret_cast<LPARAM>(path));
    return n > 0 ? CString(path) : CString();
}

POSITION CFileDialog::GetStartPosition() const {
    if (!m_ofn.lpstrFile || !m_ofn.lpstrFile[0]) return nullptr;
    return reinterpret_cast<POSITION>(m_ofn.lpstrFile);
}

// The buffer holds either one full path, or the folder followed by the names,
// each ending with a NUL and the list with a second NUL.
CString CFileDialog::GetNextPathName(POSITION& pos) const {
    const char* buffer = m_ofn.lpstrFile;
    const char* end = buffer + m_ofn.nMaxFile;
    auto length = [end](const char* p) {
        size_t n = 0;
        while (p + n < end && p[n]) ++n;
        return n;
    };
    const char* p = reinterpret_cast<const char*>(pos);
    size_t folderLength = length(buffer);
    if (p == buffer) {
        const char* after = buffer + folderLength + 1;
        if (after >= end || *after == '\0') {
            pos = nullptr;
            return CString(buffer, static_cast<int>(folderLength));
        }
        p = after;
    }
    size_t nameLength = length(p);
    const char* next = p + nameLength + 1;
    pos = (next < end && *next) ? reinterpret_cast<POSITION>(const_cast<char*>(next)) : nullptr;
    CString path(buffer, static_cast<int>(folderLength));
    if (!path.IsEmpty() && path[path.GetLength() - 1] != '\\') path += '\\';
    return path + CString(p, static_cast<int>(nameLength));
}

void CFileDialog::SetControlText(int id, const char* text) {
    if (m_hWnd) ::SendMessageA(m_hWnd, CDM_SETCONTROLTEXT, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(text));
}
