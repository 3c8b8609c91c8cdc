#include "release2/shell/win32/shell_forms.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/core/memory.h"
#include "engine/core/services/later_release.h"
#include "engine/text/string_groups.h"
#include "platform/win32/shell.h"
#include "release2/platform/win32/pictures.h"
#include "release2/shell/file_links.h"
#include "release2/text/string_resources.h"
#include "ui/doc/document_services.h"

namespace release2 {

namespace {

constexpr int32_t kHelpAddressPrefixString = 1383;
constexpr int32_t kGroupHelpFolder = 23;
constexpr int32_t kEnhancedMetafileFilter = 1388;
constexpr int32_t kWindowsMetafileFilter = 1389;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool StartsWithIgnoringCase(const char* text, const char* head) {
    const size_t n = std::strlen(head);
    return std::strlen(text) >= n && _strnicmp(text, head, n) == 0;
}

bool IsFolder(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Text into a 260-byte buffer; false, the buffer untouched, when it does not fit.
bool CopyPath(char* out, const std::string& text) {
    if (text.size() >= kShortcutPathChars) return false;
    std::memcpy(out, text.c_str(), text.size() + 1);
    return true;
}

char* EngineCopy(const std::string& text) {
    auto* out = static_cast<char*>(AllocMemory(text.size() + 1, 0));
    if (out) std::memcpy(out, text.c_str(), text.size() + 1);
    return out;
}

// Started once: the help folder's path, found or chosen.
char gHelpFolder[kShortcutPathChars] = "";

}  // namespace

bool ShellOpenTarget(const char* address) {
    if (address == nullptr) return false;
    HWND owner = GetMainWindow();
    if (StartsWithIgnoringCase(address, "ms-its:")) {
        const HINSTANCE run = ShellExecuteA(owner, nullptr, "hh.exe", address, nullptr, SW_SHOWNORMAL);
        return reinterpret_cast<INT_PTR>(run) > 32;
    }
    std::string opened = address;
    if (StartsWithIgnoringCase(address, "file://") && NormalizeFileUrl(opened.data()) != 0) return false;
    const HINSTANCE run = ShellExecuteA(owner, nullptr, opened.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(run) > 32;
}

bool ResolveShortcut(const char* path, char* target) {
    if (path == nullptr || target == nullptr) return false;
    wchar_t wide[kShortcutPathChars];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, kShortcutPathChars) == 0) return false;
    // The program has COM started already; a test may not.
    const HRESULT com = CoInitialize(nullptr);
    bool resolved = false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            char found[kShortcutPathChars] = "";
            if (SUCCEEDED(file->Load(wide, 0)) && SUCCEEDED(link->Resolve(nullptr, SLR_NO_UI | SLR_ANY_MATCH)) &&
                link->GetPath(found, kShortcutPathChars, nullptr, SLGP_UNCPRIORITY) == S_OK && found[0]) {
                std::memcpy(target, found, std::strlen(found) + 1);
                resolved = true;
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return resolved;
}

bool ResolveFolderShortcut(const char* path, char* out) {
    if (path == nullptr || out == nullptr) return false;
    const std::string whole = path;
    // Drive, folders, then the name with its extension.
    size_t nameStart = 0;
    for (size_t i = 0; i < whole.size(); ++i)
        if (IsSeparator(whole[i])) nameStart = i + 1;
    size_t folderStart = whole.size() >= 2 && whole[1] == ':' ? 2 : 0;
    std::string built = whole.substr(0, folderStart);
    // The separators that start the folder part (the root) stay as they are.
    while (folderStart < nameStart && IsSeparator(whole[folderStart])) built += whole[folderStart++];
    for (size_t at = folderStart; at < nameStart;) {
        size_t end = at;
        while (end < nameStart && !IsSeparator(whole[end])) ++end;
        built += whole.substr(at, end + 1 - at);  // with its separator
        at = end + 1;
        if (built.size() >= kShortcutPathChars) return false;
        if (IsFolder(built.c_str())) continue;
        std::string link = built;
        if (!link.empty() && IsSeparator(link.back())) link.pop_back();
        link += ".lnk";
        char target[kShortcutPathChars] = "";
        if (link.size() >= kShortcutPathChars || !ResolveShortcut(link.c_str(), target)) return false;
        built = target;
        if (built.empty() || built.back() != '\\') built += '\\';
    }
    const std::string name = whole.substr(nameStart);
    built += name;
    if (built.size() >= kShortcutPathChars) return false;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && lstrcmpiA(name.c_str() + dot, ".lnk") == 0) {
        return ResolveShortcut(built.c_str(), out);
    }
    return CopyPath(out, built);
}

char* GetHelpFolderAddress() {
    if (gHelpFolder[0] == 0) {
        char name[256] = "";
        CopyGroupString256(kGroupHelpFolder, 3, name);
        char path[kShortcutPathChars] = "";
        if (!CopyPath(path, std::string(GetProgramFolder()) + name)) return nullptr;
        if (!IsFolder(path)) {
            char target[kShortcutPathChars] = "";
            if (ResolveFolderShortcut(path, target) && IsFolder(target)) {
                std::memcpy(path, target, std::strlen(target) + 1);
            } else {
                char chosen[MAX_PATH] = "";
                if (!BrowseForFolder(chosen)) return nullptr;
                std::memcpy(path, chosen, std::strlen(chosen) + 1);
            }
        }
        std::memcpy(gHelpFolder, path, std::strlen(path) + 1);
    }
    const char* prefix = ResourceString(kHelpAddressPrefixString);
    if (prefix == nullptr || prefix[0] == 0 || std::strcmp(prefix, " ") == 0) prefix = "file:///";
    return EngineCopy(std::string(prefix) + gHelpFolder);
}

void ForgetHelpFolder() { gHelpFolder[0] = 0; }

void RegisterDocumentType(const char* ddeName, const char* templateText) {
    char type[256] = "";
    if (!DocumentTypeIdentifier(templateText ? templateText : "", type, sizeof type)) return;
    const std::string application = std::string(type) + "\\shell\\open\\ddeexec\\Application";
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, application.c_str(), &key) == ERROR_SUCCESS) {
        RegSetValueA(key, nullptr, REG_SZ, ddeName, static_cast<DWORD>(std::strlen(ddeName)));
        RegCloseKey(key);
    }
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, ".yrn", &key) == ERROR_SUCCESS) {
        RegSetValueA(key, nullptr, REG_SZ, type, static_cast<DWORD>(std::strlen(type)));
        RegCloseKey(key);
    }
}

const char* GetProgramFolder() {
    static char folder[kShortcutPathChars] = "";
    if (folder[0] == 0) {
        const DWORD n = GetModuleFileNameA(nullptr, folder, kShortcutPathChars);
        if (n == 0 || n >= kShortcutPathChars) folder[0] = 0;
        else StripFileName(folder);
    }
    return folder;
}

}  // namespace release2

namespace {

const char* MoreSaveFilters() {
    static std::string filters;
    if (filters.empty()) {
        for (int32_t id : { release2::kEnhancedMetafileFilter, release2::kWindowsMetafileFilter }) {
            const char* text = ResourceString(static_cast<uint32_t>(id));
            if (text == nullptr || text[0] == 0) continue;
            // "Windows Metafile (*.wmf)": the patterns are what the brackets hold.
            const char* open = std::strrchr(text, '(');
            const char* close = open ? std::strchr(open, ')') : nullptr;
            if (!open || !close) continue;
            filters += std::string(text) + "|" + std::string(open + 1, close) + "|";
        }
    }
    return filters.c_str();
}

void ProposeSaveName(int32_t saveType, char* name, size_t size) {
    std::string proposed = name;
    const size_t slash = proposed.find_last_of("\\/");
    std::string file = slash == std::string::npos ? proposed : proposed.substr(slash + 1);
    if (file.empty()) return;
    if (file.find('.') == std::string::npos) file += ".";
    // Web pages are exported beside the program, where the applet's archive lies.
    if (saveType == 2) proposed = std::string(release2::GetProgramFolder()) + file;
    else if (slash != std::string::npos) proposed = proposed.substr(0, slash + 1) + file;
    else proposed = file;
    if (proposed.size() + 1 > size) return;
    std::memcpy(name, proposed.c_str(), proposed.size() + 1);
    ReplaceExtension(name, size, SaveTypeExtension(saveType));
}

int32_t SaveOtherType(int32_t saveType, const char* path) {
    if (saveType != 3 && saveType != 4) return -1;
    return release2::SaveSketchPicture(path, saveType == 3);
}

}  // namespace

void AddShellForms(LaterReleaseForms* forms) {
    forms->shell.openAddress = release2::ShellOpenTarget;
    forms->shell.helpFolderAddress = release2::GetHelpFolderAddress;
    forms->shell.helpMenuEndsAt = HelpMenuEndsAt;
    forms->shell.hostSaveCommand = HostSaveCommandFor;
    forms->shell.registerDocumentType = release2::RegisterDocumentType;
    forms->shell.moreSaveFilters = MoreSaveFilters;
    forms->shell.chosenSaveType = ChosenLaterSaveType;
    forms->shell.proposeSaveName = ProposeSaveName;
    forms->shell.saveOtherType = SaveOtherType;
    forms->shell.resolveShortcut = release2::ResolveShortcut;
}
