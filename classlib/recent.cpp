#include "classlib/recent.h"

#include "classlib/app.h"
#include "classlib/menu.h"

#include <algorithm>
#include <cstdio>

CRecentFileList::CRecentFileList(UINT start, const char* section, const char* entryFormat, int size)
    : m_nStart(start), m_strSectionName(section), m_strEntryFormat(entryFormat), size_(size > 0 ? size : 1) {}

void CRecentFileList::Add(const char* path) {
    if (!path || !*path) return;
    CString full(path);
    char buffer[MAX_PATH];
    DWORD n = ::GetFullPathNameA(path, sizeof buffer, buffer, nullptr);
    if (n > 0 && n < sizeof buffer) full = buffer;
    auto same = [&full](const CString& s) { return s.CompareNoCase(full) == 0; };
    names_.erase(std::remove_if(names_.begin(), names_.end(), same), names_.end());
    names_.insert(names_.begin(), full);
    if (names_.size() > static_cast<size_t>(size_)) names_.resize(static_cast<size_t>(size_));
}

void CRecentFileList::Remove(int index) {
    if (index >= 0 && index < GetCount()) names_.erase(names_.begin() + index);
}

void CRecentFileList::ReadList() {
    names_.clear();
    CWinApp* app = CurrentApp();
    if (!app) return;
    for (int i = 0; i < size_; ++i) {
        char entry[32];
        std::snprintf(entry, sizeof entry, m_strEntryFormat, i + 1);
        CString name = app->GetProfileString(m_strSectionName, entry, "");
        if (name.IsEmpty() || name.GetLength() >= MAX_PATH) continue;
        bool repeated = std::any_of(names_.begin(), names_.end(),
                                    [&name](const CString& s) { return s.CompareNoCase(name) == 0; });
        if (!repeated) names_.push_back(name);
    }
}

void CRecentFileList::WriteList() {
    CWinApp* app = CurrentApp();
    if (!app) return;
    for (int i = 0; i < size_; ++i) {
        char entry[32];
        std::snprintf(entry, sizeof entry, m_strEntryFormat, i + 1);
        if (i < GetCount()) {
            app->WriteProfileString(m_strSectionName, entry, names_[static_cast<size_t>(i)]);
        } else {
            app->WriteProfileString(m_strSectionName, entry, nullptr);
        }
    }
}

void CRecentFileList::UpdateMenu(CCmdUI* ui) {
    CMenu* menu = ui->m_pMenu;
    if (!menu) return;
    if (names_.empty()) {
        ui->Enable(false);
        return;
    }
    UINT first = ui->m_nIndex;
    for (int i = 0; i < size_; ++i) menu->DeleteMenu(ui->m_nID + static_cast<UINT>(i), MF_BYCOMMAND);
    for (int i = 0; i < GetCount(); ++i) {
        CString name = names_[static_cast<size_t>(i)];
        name.Replace("&", "&&");   // shown literally, not as a mnemonic
        CString text;
        text.Format("&%d %s", i + 1, name.c_str());
        menu->InsertMenu(first + static_cast<UINT>(i), MF_BYPOSITION | MF_STRING,
                         CMD_RECENT_FIRST + m_nStart + static_cast<UINT>(i), text);
    }
    ui->m_nIndex = first + static_cast<UINT>(GetCount()) - 1;
    ui->m_nIndexMax = menu->GetMenuItemCount();
    ui->m_bEnableChanged = true;
}
