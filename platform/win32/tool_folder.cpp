#include "platform/win32/tool_folder.h"

#include <windows.h>

#include <cstring>

#include "engine/core/idle_tasks.h"
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

// The folder and the search of its documents; false when there is nothing to scan.
bool BeginScan(WIN32_FIND_DATAA* found) {
    char module[kPathChars];
    const DWORD length = GetModuleFileNameA(nullptr, module, kPathChars);
    if (length == 0 || length >= kPathChars) return false;
    char* slash = std::strrchr(module, '\\');
    if (!slash) return false;
    slash[1] = 0;
    char pattern[kPathChars];
    if (!JoinPath(gScan.folder, module, gFolderName) || !JoinPath(pattern, gScan.folder, "*.yrn")) return false;
    gScan.find = FindFirstFileA(pattern, found);
    return gScan.find != INVALID_HANDLE_VALUE;
}

void HandFile(const WIN32_FIND_DATAA& found) {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
    char path[kPathChars];
    // A name that does not fit beside the folder is passed over.
    if (JoinPath(path, gScan.folder, found.cFileName)) CustomToolFolderScan(path, found.cFileName);
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
