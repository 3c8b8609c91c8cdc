#include "platform/win32/tool_folder.h"

#include <windows.h>

#include <cstring>

#include "engine/core/idle_tasks.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/views.h"
#include "engine/interact/custom_tool_library.h"

namespace {

constexpr size_t kPathChars = 260;  // with the terminator

struct ToolFolderScan {
    IdleTask task;
    HANDLE   find;
    char     folder[kPathChars];
};

ToolFolderScan gScan{ {}, INVALID_HANDLE_VALUE, "" };
char gFolderName[kPathChars] = "Tool Folder\\";

// a + b into out (kPathChars); false, out empty, when they do not fit.
bool JoinPath(char* out, const char* a, const char* b) {
    const size_t first = std::strlen(a), second = std::strlen(b);
    if (first + second >= kPathChars) {
        out[0] = 0;
        return false;
    }
    std::memmove(out, a, first);
    std::memcpy(out + first, b, second + 1);
    return true;
}

void CloseScan() {
    if (gScan.find != INVALID_HANDLE_VALUE) FindClose(gScan.find);
    gScan.find = INVALID_HANDLE_VALUE;
}

// Ends with `tail`, letters in any case.
bool EndsWithIgnoringCase(const char* text, const char* tail) {
    const size_t n = std::strlen(text), m = std::strlen(tail);
    return n >= m && lstrcmpiA(text + n - m, tail) == 0;
}

// Starts the search in gScan.folder; false when it finds nothing.
bool FindFirstIn(const char* pattern, WIN32_FIND_DATAA* found) {
    char search[kPathChars];
    if (!JoinPath(search, gScan.folder, pattern)) return false;
    gScan.find = FindFirstFileA(search, found);
    return gScan.find != INVALID_HANDLE_VALUE;
}

// The later release also takes a shortcut named as the folder: "Tool Folder.lnk" beside
// it leads to the folder scanned.
bool FindFirstThroughShortcut(bool (*resolve)(const char*, char*), WIN32_FIND_DATAA* found) {
    char link[kPathChars];
    std::memcpy(link, gScan.folder, std::strlen(gScan.folder) + 1);
    const size_t n = std::strlen(link);
    if (n > 0 && (link[n - 1] == '\\' || link[n - 1] == '/')) link[n - 1] = 0;
    char withExtension[kPathChars], target[kPathChars] = "";
    if (!JoinPath(withExtension, link, ".lnk") || !resolve(withExtension, target)) return false;
    const size_t t = std::strlen(target);
    if (t == 0 || !JoinPath(gScan.folder, target, target[t - 1] == '\\' ? "" : "\\")) return false;
    return FindFirstIn("*.*", found);
}

// The folder and the search of its documents; false when there is nothing to scan.
bool BeginScan(WIN32_FIND_DATAA* found) {
    char module[kPathChars];
    const DWORD length = GetModuleFileNameA(nullptr, module, kPathChars);
    if (length == 0 || length >= kPathChars) return false;
    char* slash = std::strrchr(module, '\\');
    if (!slash) return false;
    slash[1] = 0;
    const auto resolve = LaterForms().shell.resolveShortcut;
    if (!resolve) return JoinPath(gScan.folder, module, gFolderName) && FindFirstIn("*.yrn", found);
    // The later release looks at every file (document shortcuts too), beside the program
    // and then at the folder name taken on its own, each as a folder or a shortcut.
    if (JoinPath(gScan.folder, module, gFolderName) &&
        (FindFirstIn("*.*", found) || FindFirstThroughShortcut(resolve, found))) {
        return true;
    }
    char full[kPathChars];
    const DWORD n = GetFullPathNameA(gFolderName, kPathChars, full, nullptr);
    if (n == 0 || n >= kPathChars) return false;
    std::memcpy(gScan.folder, full, n + 1);
    return FindFirstIn("*.*", found) || FindFirstThroughShortcut(resolve, found);
}

void HandFile(const WIN32_FIND_DATAA& found) {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
    char path[kPathChars];
    // A name that does not fit beside the folder is passed over.
    if (!JoinPath(path, gScan.folder, found.cFileName)) return;
    const auto resolve = LaterForms().shell.resolveShortcut;
    if (!resolve) {
        CustomToolFolderScan(path, found.cFileName);
        return;
    }
    char shown[kPathChars];
    std::memcpy(shown, found.cFileName, std::strlen(found.cFileName) + 1);
    if (std::strlen(shown) > 8 && EndsWithIgnoringCase(shown, ".yrn.lnk")) {
        char target[kPathChars] = "";
        if (!resolve(path, target)) return;
        std::memcpy(path, target, std::strlen(target) + 1);
        shown[std::strlen(shown) - 4] = 0;
    }
    if (std::strlen(path) > 4 && EndsWithIgnoringCase(path, ".yrn")) CustomToolFolderScan(path, shown);
}

}  // namespace

void SetToolFolderName(const char* name) {
    size_t length = name ? std::strlen(name) : 0;
    // A folder named without its closing backslash ("Tools\Kites") gets one, so that
    // file names are joined inside it.
    const bool closed = length == 0 || name[length - 1] == '\\' || name[length - 1] == '/';
    if (!name || length + (closed ? 0 : 1) >= kPathChars) {
        gFolderName[0] = 0;
        return;
    }
    std::memcpy(gFolderName, name, length);
    if (!closed) gFolderName[length++] = '\\';
    gFolderName[length] = 0;
}

void ScheduleToolFolderScan() {
    RemoveIdleTask(&gScan.task);
    CloseScan();
    gScan.folder[0] = 0;
    AddIdleTask(&gScan.task, ScanToolFolderStep, kIdleToolFolderScan);
}

void StopToolFolderScan() {
    RemoveIdleTask(&gScan.task);
    CloseScan();
}

int32_t ScanToolFolderStep(IdleTask*, int32_t finish) {
    WIN32_FIND_DATAA found{};
    if (gScan.find == INVALID_HANDLE_VALUE) {
        if (gFolderName[0] == 0 || !BeginScan(&found)) {
            CloseScan();
            return 0;
        }
    } else if (!FindNextFileA(gScan.find, &found)) {
        CloseScan();
        return 0;
    }
    for (;;) {
        HandFile(found);
        if (!finish) return 1;
        if (!FindNextFileA(gScan.find, &found)) {
            CloseScan();
            return 0;
        }
    }
}
