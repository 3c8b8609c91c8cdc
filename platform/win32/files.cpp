// The file services on Windows: a temporary name beside the target, and the replacement
// of the target by the finished file.
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <io.h>

#include "engine/core/services/files.h"
#include "platform/win32/preferences_path.h"

namespace {
char gPreferencesPath[kMaxPathChars] = "";
}  // namespace

void SetPreferencesPath(const char* path) {
    gPreferencesPath[0] = 0;
    if (path && std::strlen(path) < sizeof gPreferencesPath) std::strcpy(gPreferencesPath, path);
}

bool GetPreferencesPath(char* path) {
    if (gPreferencesPath[0] == 0) return false;
    std::memcpy(path, gPreferencesPath, sizeof gPreferencesPath);
    return true;
}

ResultCode MakeTempFileNameBeside(const char* targetPath, char* tempPath) {
    errno = 0;
    if (_access(targetPath, 2) != 0 && errno == EACCES) return kResultFileLocked;

    char drive[_MAX_DRIVE], dir[_MAX_DIR], folder[MAX_PATH];
    if (_splitpath_s(targetPath, drive, sizeof drive, dir, sizeof dir, nullptr, 0, nullptr, 0) != 0)
        return kResultFileLocked;
    if (_makepath_s(folder, sizeof folder, drive, dir, nullptr, nullptr) != 0) return kResultFileLocked;
    if (folder[0] == 0) std::strcpy(folder, ".");

    char name[MAX_PATH];
    if (GetTempFileNameA(folder, "tmp", 0, name) == 0) return kResultFileLocked;
    if (std::strlen(name) >= static_cast<size_t>(kMaxPathChars)) {
        DeleteFileA(name);
        return kResultFileLocked;
    }
    std::strcpy(tempPath, name);
    // The name is ours now; the caller creates the file under it.
    return DeleteFileA(name) ? kResultOK : kResultFileLocked;
}

ResultCode ReplaceFileKeepingAttributes(const char* targetPath, const char* newPath) {
    HANDLE oldFile = CreateFileA(targetPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD openError = oldFile == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (oldFile == INVALID_HANDLE_VALUE && openError != 0 && openError != ERROR_FILE_NOT_FOUND)
        return kResultFileLocked;
    const bool hasOld = oldFile != INVALID_HANDLE_VALUE;

    ResultCode result = kResultFileLocked;
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    HANDLE newFile = CreateFileA(newPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (newFile != INVALID_HANDLE_VALUE) {
        result = kResultOK;
        if (hasOld) {
            DWORD old = GetFileAttributesA(targetPath);
            if (old != INVALID_FILE_ATTRIBUTES) attributes = old;
            FILETIME created;
            if (GetFileTime(oldFile, &created, nullptr, nullptr))
                SetFileTime(newFile, &created, nullptr, nullptr);
        }
    }
    if (hasOld && !CloseHandle(oldFile)) result = kResultFileLocked;
    if (newFile != INVALID_HANDLE_VALUE && !CloseHandle(newFile)) result = kResultFileLocked;
    if (result != kResultOK) return result;

    if (!SetFileAttributesA(newPath, attributes)) return kResultFileLocked;
    // One rename over the old file: there is no moment without a file under the target's
    // name, and a failure leaves the old file untouched.
    if (!MoveFileExA(newPath, targetPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return kResultFileLocked;
    return kResultOK;
}
