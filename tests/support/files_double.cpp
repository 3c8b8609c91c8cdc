// Test double of the file-name service: a temporary name beside the target, made
// unique by a running number; a target whose folder part is "/locked/" is refused.
#include <cstdio>
#include <cstring>

#include "engine/core/services/files.h"

ResultCode MakeTempFileNameBeside(const char* targetPath, char* tempPath) {
    static unsigned counter = 0;
    if (std::strncmp(targetPath, "/locked/", 8) == 0) return 19;
    const char* slash = std::strrchr(targetPath, '/');
    const char* back  = std::strrchr(targetPath, '\\');
    if (back > slash) slash = back;
    int folder = slash ? static_cast<int>(slash - targetPath) + 1 : 0;
    int n = std::snprintf(tempPath, kMaxPathChars, "%.*stmp%u.tmp", folder, targetPath, ++counter);
    return n > 0 && n < kMaxPathChars ? 0 : 19;
}
