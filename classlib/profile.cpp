// The application's settings: the registry profile and the recent-file list.
#include "classlib/app.h"
#include "classlib/recent.h"

#include <memory>

namespace {
// Longest value read back from the profile; longer ones count as absent.
constexpr DWORD kMaxProfileValue = 4096;
}  // namespace

void CWinApp::SetRegistryKey(const char* company) {
    registryKey_ = company;
    m_pszRegistryKey = registryKey_;
    if (m_pszAppName) {
        profileName_ = m_pszAppName;
        m_pszProfileName = profileName_;
    }
}

void CWinApp::SetRegistryKey(UINT companyId) {
    CString company;
    company.LoadString(companyId);
    SetRegistryKey(company);
}

HKEY CWinApp::GetAppRegistryKey() {
    if (!m_pszRegistryKey || !m_pszProfileName) return nullptr;
    HKEY software = nullptr, company = nullptr, app = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_WRITE | KEY_READ, &software) == ERROR_SUCCESS) {
        DWORD disposition;
        if (::RegCreateKeyExA(software, m_pszRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE | KEY_READ, nullptr, &company, &disposition) == ERROR_SUCCESS) {
            ::RegCreateKeyExA(company, m_pszProfileName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE | KEY_READ, nullptr, &app, &disposition);
            ::RegCloseKey(company);
        }
        ::RegCloseKey(software);
    }
    return app;
}

HKEY CWinApp::GetSectionKey(const char* section) {
    HKEY app = GetAppRegistryKey();
    if (!app) return nullptr;
    HKEY key = nullptr;
    DWORD disposition;
    ::RegCreateKeyExA(app, section, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, nullptr,
                      &key, &disposition);
    ::RegCloseKey(app);
    return key;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
    if (!m_pszRegistryKey) {
        return ::GetPrivateProfileIntA(section, entry, defaultValue, m_pszProfileName);
    }
    HKEY key = GetSectionKey(section);
    if (!key) return static_cast<UINT>(defaultValue);
    DWORD value = 0, type = 0, size = sizeof value;
    LONG result = ::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return static_cast<UINT>(defaultValue);
    return value;
}

bool CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
    if (!m_pszRegistryKey) {
        char text[16];
        wsprintfA(text, "%d", value);
        return ::WritePrivateProfileStringA(section, entry, text, m_pszProfileName) != FALSE;
    }
    HKEY key = GetSectionKey(section);
    if (!key) return false;
    DWORD v = static_cast<DWORD>(value);
    LONG result = ::RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue) {
    if (!m_pszRegistryKey) {
        char text[kMaxProfileValue];
        DWORD n = ::GetPrivateProfileStringA(section, entry, defaultValue ? defaultValue : "", text,
                                             sizeof text, m_pszProfileName);
        return CString(text, static_cast<int>(n));
    }
    HKEY key = GetSectionKey(section);
    if (!key) return CString(defaultValue);
    DWORD type = 0, size = 0;
    LONG result = ::RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size);
    CString value(defaultValue);
    if (result == ERROR_SUCCESS && type == REG_SZ && size > 0 && size <= kMaxProfileValue) {
        auto buffer = std::make_unique<char[]>(size + 1);
        if (::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.get()), &size) ==
            ERROR_SUCCESS) {
            buffer[size] = 0;   // the stored value need not end with a NUL
            value = buffer.get();
        }
    }
    ::RegCloseKey(key);
    return value;
}

bool CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
    if (!m_pszRegistryKey) {
        return ::WritePrivateProfileStringA(section, entry, value, m_pszProfileName) != FALSE;
    }
    HKEY key = GetSectionKey(section);
    if (!key) return false;
    LONG result;
    if (!entry) {
        ::RegCloseKey(key);
        HKEY app = GetAppRegistryKey();
        if (!app) return false;
        result = ::RegDeleteKeyA(app, section);
        ::RegCloseKey(app);
        return result == ERROR_SUCCESS;
    }
    if (!value) {
        result = ::RegDeleteValueA(key, entry);
    } else {
        result = ::RegSetValueExA(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                  static_cast<DWORD>(lstrlenA(value) + 1));
    }
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

void CWinApp::LoadStdProfileSettings(UINT maxRecentFiles) {
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
    if (maxRecentFiles == 0) return;
    if (maxRecentFiles > CMD_RECENT_LAST - CMD_RECENT_FIRST + 1) {
        maxRecentFiles = CMD_RECENT_LAST - CMD_RECENT_FIRST + 1;
    }
    m_pRecentFileList = new CRecentFileList(0, "Recent File List", "File%d", static_cast<int>(maxRecentFiles));
    m_pRecentFileList->ReadList();
}

void CWinApp::SaveStdProfileSettings() {
    if (m_pRecentFileList) m_pRecentFileList->WriteList();
}

void CWinApp::AddToRecentFileList(const char* path) {
    if (m_pRecentFileList) m_pRecentFileList->Add(path);
}

bool CWinApp::OnOpenRecentFile(UINT id) {
    if (!m_pRecentFileList) return false;
    int index = static_cast<int>(id - CMD_RECENT_FIRST);
    if (index < 0 || index >= m_pRecentFileList->GetCount()) return false;
    CString path = (*m_pRecentFileList)[index];
    if (!OpenDocumentFile(path)) m_pRecentFileList->Remove(index);
    return true;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* ui) {
    if (m_pRecentFileList) {
        m_pRecentFileList->UpdateMenu(ui);
    } else {
        ui->Enable(false);
    }
}
