#include "ui/doc/file_dialog.h"

#include <cstring>

#include "engine/core/services/later_release.h"

IMPLEMENT_DYNAMIC(CYrnFileDialog, CFileDialog)

namespace {

bool FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FileTitleOf(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string FilePartOf(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

std::string WindowText(HWND hwnd) {
    char text[MAX_PATH] = "";
    if (hwnd) ::GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

}  // namespace

int32_t ChosenSaveType(int32_t filterIndex, const char* name) {
    if (auto form = LaterForms().shell.chosenSaveType) return form(filterIndex, name);
    int32_t type = filterIndex >= 1 && filterIndex <= 3 ? filterIndex - 1 : 0;
    if (name && std::strstr(name, ".yr4")) type = 1;
    if (name && std::strstr(name, ".htm")) type = 2;
    return type;
}

bool NameHasExtension(const char* name) {
    const char* dot = std::strrchr(name, '.');
    const char* slash = std::strrchr(name, '\\');
    return dot && (!slash || dot > slash);
}

std::vector<std::string> CompletionExtensions(const char* patterns) {
    std::vector<std::string> extensions;
    const std::string all = patterns ? patterns : "";
    for (size_t start = 0; start <= all.size();) {
        size_t end = all.find(';', start);
        if (end == std::string::npos) end = all.size();
        const std::string pattern = all.substr(start, end - start);
        if (pattern.size() > 1 && pattern.find('*', 1) == std::string::npos) extensions.push_back(pattern.substr(1));
        start = end + 1;
    }
    return extensions;
}

std::string FilterPatterns(const char* filter, int32_t index) {
    if (!filter || index < 1) return std::string();
    const char* p = filter;
    for (int32_t i = 1; *p; ++i) {
        const char* patterns = p + std::strlen(p) + 1;
        if (i == index) return patterns;
        if (!*patterns) break;
        p = patterns + std::strlen(patterns) + 1;
    }
    return std::string();
}

std::string RetypedName(const char* title, const char* pattern) {
    std::string extension = pattern ? pattern : "";
    if (!extension.empty() && extension[0] == '*') extension.erase(0, 1);
    return std::string(title ? title : "") + extension;
}

CYrnFileDialog::CYrnFileDialog(bool openDialog) : CFileDialog(openDialog) {}

INT_PTR CYrnFileDialog::DoModal() {
    if (m_bOpenFileDialog && !m_ofn.lpstrDefExt && (m_ofn.Flags & OFN_FILEMUSTEXIST)) {
        m_ofn.Flags &= ~OFN_FILEMUSTEXIST;
        m_mustExist = true;
    }
    return CFileDialog::DoModal();
}

int32_t CYrnFileDialog::CurrentFilterIndex() const {
    HWND combo = m_hWnd ? ::GetDlgItem(m_hWnd, kFileTypeCombo) : nullptr;
    const LRESULT selection = combo ? ::SendMessageA(combo, CB_GETCURSEL, 0, 0) : CB_ERR;
    return selection != CB_ERR ? static_cast<int32_t>(selection) + 1 : static_cast<int32_t>(m_ofn.nFilterIndex);
}

bool CYrnFileDialog::MultipleSelection() const {
    const char* buffer = m_ofn.lpstrFile;
    if (!buffer || !buffer[0]) return false;
    const size_t first = std::strlen(buffer);
    return first + 1 < m_ofn.nMaxFile && buffer[first + 1] != '\0';
}

bool CYrnFileDialog::OnFileNameOK() {
    if (!m_bOpenFileDialog) return CFileDialog::OnFileNameOK();
    if (MultipleSelection() || m_ofn.lpstrDefExt) return false;
    const std::string name = m_ofn.lpstrFile ? m_ofn.lpstrFile : "";
    if (FileExists(name)) return false;
    if (!NameHasExtension(name.c_str())) {
        const std::string patterns = FilterPatterns(m_ofn.lpstrFilter, CurrentFilterIndex());
        for (const std::string& extension : CompletionExtensions(patterns.c_str())) {
            const std::string candidate = name + extension;
            if (candidate.size() < m_ofn.nMaxFile && FileExists(candidate)) {
                std::memcpy(m_ofn.lpstrFile, candidate.c_str(), candidate.size() + 1);
                return false;
            }
        }
    } else if (!m_mustExist) {
        return true;
    }
    if (!m_mustExist) return false;
    // Let the dialog say that the file does not exist: validate once more with the flag
    // set, then take it out again.
    m_ofn.Flags |= OFN_FILEMUSTEXIST;
    ::PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
    ::PostMessageA(m_hWnd, kMustExistRoundDone, 0, 0);
    return true;
}

LRESULT CYrnFileDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMustExistRoundDone) {
        m_ofn.Flags &= ~OFN_FILEMUSTEXIST;
        return 0;
    }
    return CFileDialog::WindowProc(message, wParam, lParam);
}

// The edit control that holds the text of a file-name box: the box itself, or the edit
// inside the combo box (Wine's box is an extended combo box holding a combo box).
static HWND EditOf(HWND box) {
    char name[32] = "";
    ::GetClassNameA(box, name, sizeof name);
    if (lstrcmpiA(name, "Edit") == 0) return box;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (HWND edit = EditOf(child)) return edit;
    }
    return nullptr;
}

HWND CYrnFileDialog::FileNameBox() const {
    for (int id : { kFileNameEdit, kFileNameCombo }) {
        for (HWND owner : { m_hWnd, ::GetParent(m_hWnd) }) {
            if (!owner) continue;
            if (HWND box = ::GetDlgItem(owner, id)) return EditOf(box) ? EditOf(box) : box;
        }
    }
    return nullptr;
}

void CYrnFileDialog::OnTypeChange() {
    HWND box = FileNameBox();
    if (!box) return;
    if (!shownNameKnown_) {
        shownName_ = m_ofn.lpstrFile ? FilePartOf(m_ofn.lpstrFile) : std::string();
        shownNameKnown_ = true;
    }
    const std::string text = WindowText(box);
    const std::string title = FileTitleOf(shownName_);
    if (text.empty() || (lstrcmpiA(text.c_str(), shownName_.c_str()) != 0 && lstrcmpiA(text.c_str(), title.c_str()) != 0)) {
        return;
    }
    const std::string patterns = FilterPatterns(m_ofn.lpstrFilter, CurrentFilterIndex());
    const std::string first = patterns.substr(0, patterns.find(';'));
    shownName_ = RetypedName(title.c_str(), first.c_str());
    ::SetWindowTextA(box, shownName_.c_str());
}
