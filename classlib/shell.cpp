// What the application does for the shell: the command line's request, the file
// types in the registry, and the DDE commands of shell open and print.
#include "classlib/app.h"
#include "classlib/doc.h"
#include "classlib/view.h"
#include "classlib/docmgr.h"
#include "classlib/doctempl.h"
#include "classlib/ole_template_server.h"
#include "classlib/portable/dde_command.h"

#include <vector>

bool CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, ROUTE_COMMAND, nullptr, nullptr)) OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(info.m_strFileName) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
        // A program started to print ends when the page is out: false ends start-up.
        if (info.m_nShellCommand == CCommandLineInfo::FilePrint) {
            PrintDocumentForShell(info.m_strFileName, "", "", "");
        } else {
            PrintDocumentForShell(info.m_strFileName, info.m_strPrinterName, info.m_strDriverName,
                                  info.m_strPortName);
        }
        return false;
    case CCommandLineInfo::FileDDE:
        // The shell sends the command by DDE; the window stays hidden until then.
        m_nCmdShow = SW_HIDE;
        return true;
    case CCommandLineInfo::AppUnregister:
        UnregisterShellFileTypes();
        COleTemplateServer::UnregisterAll();
        return false;
    default:
        return true;
    }
}

void CWinApp::EnableShellOpen() {
    if (m_atomApp || m_atomSystemTopic) return;
    m_atomApp = ::GlobalAddAtomA(m_pszExeName ? m_pszExeName : "");
    m_atomSystemTopic = ::GlobalAddAtomA("system");
}

void CWinApp::RegisterShellFileTypes(bool compatible) {
    if (m_pDocManager) m_pDocManager->RegisterShellFileTypes(compatible);
}

void CWinApp::UnregisterShellFileTypes() {
    if (m_pDocManager) m_pDocManager->UnregisterShellFileTypes();
}

bool CWinApp::OnDDECommand(char* command) {
    return m_pDocManager && m_pDocManager->OnDDECommand(command);
}

bool CDocManager::OnDDECommand(char* command) {
    std::vector<classlib::DdeCommand> commands;
    if (!command || !classlib::ParseDdeCommands(command, lstrlenA(command), &commands)) return false;
    CWinApp* app = CurrentApp();
    bool done = false;
    for (const classlib::DdeCommand& c : commands) {
        bool open = lstrcmpiA(c.name.c_str(), "open") == 0;
        bool print = lstrcmpiA(c.name.c_str(), "print") == 0 || lstrcmpiA(c.name.c_str(), "printto") == 0;
        if ((!open && !print) || c.arguments.empty() || c.arguments[0].empty()) continue;
        if (print) {
            // printto names the printer, its driver and its port after the file.
            auto arg = [&c](size_t i) { return i < c.arguments.size() ? c.arguments[i].c_str() : ""; };
            if (app && app->PrintDocumentForShell(arg(0), arg(1), arg(2), arg(3))) done = true;
            continue;
        }
        CDocument* doc = app ? app->OpenDocumentFile(c.arguments[0].c_str()) : nullptr;
        if (!doc) continue;
        done = true;
        if (open && app->m_pMainWnd) {
            CWnd* main = app->m_pMainWnd;
            if (!main->IsWindowVisible()) main->ShowWindow(app->m_nCmdShow == SW_HIDE ? SW_SHOWNORMAL : app->m_nCmdShow);
            if (main->IsIconic()) main->ShowWindow(SW_RESTORE);
        }
    }
    return done;
}

bool CWinApp::PrintDocumentForShell(const char* path, const char* printer, const char* driver,
                                   const char* port) {
    // A document already open stays open: find it before opening.
    CDocument* open = nullptr;
    if (m_pDocManager) {
        for (POSITION t = m_pDocManager->GetFirstDocTemplatePosition(); t && !open;) {
            CDocTemplate* tmpl = m_pDocManager->GetNextDocTemplate(t);
            for (POSITION d = tmpl->GetFirstDocPosition(); d && !open;) {
                CDocument* doc = tmpl->GetNextDoc(d);
                if (lstrcmpiA(doc->GetPathName(), path) == 0) open = doc;
            }
        }
    }
    CDocument* doc = open ? open : OpenDocumentFile(path);
    if (!doc) return false;
    POSITION pos = doc->GetFirstViewPosition();
    CView* view = pos ? doc->GetNextView(pos) : nullptr;
    if (view) {
        m_bShellPrinting = true;
        m_strShellPrinter = printer ? printer : "";
        m_strShellDriver = driver ? driver : "";
        m_strShellPort = port ? port : "";
        view->SendMessage(WM_COMMAND, ID_FILE_PRINT);
        m_bShellPrinting = false;
        m_strShellPrinter = m_strShellDriver = m_strShellPort = "";
    }
    if (!open) doc->OnCloseDocument();
    return true;
}

namespace {

bool SetRegKey(const char* key, const char* value, const char* valueName = nullptr) {
    HKEY h = nullptr;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &h,
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    LONG r = ::RegSetValueExA(h, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                              static_cast<DWORD>(lstrlenA(value) + 1));
    ::RegCloseKey(h);
    return r == ERROR_SUCCESS;
}

void DeleteRegTree(HKEY parent, const char* key) {
    HKEY h = nullptr;
    if (::RegOpenKeyExA(parent, key, 0, KEY_READ | KEY_WRITE, &h) != ERROR_SUCCESS) return;
    char sub[256];
    while (::RegEnumKeyA(h, 0, sub, sizeof sub) == ERROR_SUCCESS) DeleteRegTree(h, sub);
    ::RegCloseKey(h);
    ::RegDeleteKeyA(parent, key);
}

}  // namespace

// For each template with a registry type: the type with its name and icon, the open
// command (and with compatible the print commands and the DDE commands the shell
// sends), and each filter extension pointing at the type.
void CDocManager::RegisterShellFileTypes(bool compatible) {
    char module[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(ModuleInstance(), module, sizeof module);
    if (n == 0 || n >= sizeof module) return;
    CString shortPath(module);
    char shortBuffer[MAX_PATH];
    DWORD m = ::GetShortPathNameA(module, shortBuffer, sizeof shortBuffer);
    if (m > 0 && m < sizeof shortBuffer) shortPath = shortBuffer;
    int index = 0;
    for (POSITION pos = GetFirstDocTemplatePosition(); pos; ++index) {
        CDocTemplate* tmpl = GetNextDocTemplate(pos);
        CString typeId, typeName, ext;
        if (!tmpl->GetDocString(typeId, CDocTemplate::regFileTypeId) || typeId.IsEmpty()) continue;
        tmpl->GetDocString(typeName, CDocTemplate::regFileTypeName);
        tmpl->GetDocString(ext, CDocTemplate::filterExt);
        if (typeName.IsEmpty()) typeName = typeId;
        SetRegKey(typeId, typeName);
        CString icon;
        icon.Format("%s,%d", module, index);
        SetRegKey(typeId + "\\DefaultIcon", icon);
        CString open = CString("\"") + module + "\"";
        if (compatible) {
            SetRegKey(typeId + "\\shell\\open\\command", open + " /dde");
            SetRegKey(typeId + "\\shell\\open\\ddeexec", "[open(\"%1\")]");
            SetRegKey(typeId + "\\shell\\print\\command", open + " /p \"%1\"");
            SetRegKey(typeId + "\\shell\\print\\ddeexec", "[print(\"%1\")]");
            SetRegKey(typeId + "\\shell\\printto\\command", open + " /pt \"%1\" \"%2\" \"%3\" \"%4\"");
            SetRegKey(typeId + "\\shell\\printto\\ddeexec", "[printto(\"%1\",\"%2\",\"%3\",\"%4\")]");
            CString appTopic = shortPath.Mid(shortPath.ReverseFind('\\') + 1);
            if (appTopic.ReverseFind('.') > 0) appTopic = appTopic.Left(appTopic.ReverseFind('.'));
            // Every DDE verb names the conversation the program answers.
            for (const char* verb : { "open", "print", "printto" }) {
                SetRegKey(typeId + "\\shell\\" + verb + "\\ddeexec\\application", appTopic);
                SetRegKey(typeId + "\\shell\\" + verb + "\\ddeexec\\topic", "system");
            }
        } else {
            SetRegKey(typeId + "\\shell\\open\\command", open + " \"%1\"");
        }
        for (int start = 0; start < ext.GetLength();) {
            int end = ext.Find(';', start);
            if (end < 0) end = ext.GetLength();
            CString one = ext.Mid(start, end - start);
            one.TrimLeft('*');
            if (one.GetLength() > 1 && one[0] == '.') SetRegKey(one, typeId);
            start = end + 1;
        }
    }
}

void CDocManager::UnregisterShellFileTypes() {
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        CDocTemplate* tmpl = GetNextDocTemplate(pos);
        CString typeId;
        if (tmpl->GetDocString(typeId, CDocTemplate::regFileTypeId) && !typeId.IsEmpty()) {
            DeleteRegTree(HKEY_CLASSES_ROOT, typeId);
        }
    }
}
