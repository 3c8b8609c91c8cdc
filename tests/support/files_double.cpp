// Test double of the file services with the behaviour of the Windows ones, on the
// portable file system library: a name beside the target that no file has yet, and a
// replacement by one rename, which takes the place of an existing file.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/core/services/files.h"
#include "tests/support/files_double.h"

namespace fs = std::filesystem;

namespace {

bool HasNoWriteBits(const fs::path& p) {
    std::error_code ec;
    fs::perms perms = fs::status(p, ec).permissions();
    if (ec) return false;
    return (perms & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) ==
           fs::perms::none;
}

char gPreferencesPath[kMaxPathChars] = "";

}  // namespace

void SetPreferencesPath(const char* path) {
    gPreferencesPath[0] = '\0';
    if (path) std::snprintf(gPreferencesPath, sizeof gPreferencesPath, "%s", path);
}

bool GetPreferencesPath(char* path) {
    if (gPreferencesPath[0] == '\0') return false;
    std::memcpy(path, gPreferencesPath, sizeof gPreferencesPath);
    return true;
}

ResultCode MakeTempFileNameBeside(const char* targetPath, char* tempPath) {
    std::error_code ec;
    fs::path target(targetPath);
    if (fs::exists(target, ec) && HasNoWriteBits(target)) return kResultFileLocked;
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, ec)) return kResultFileLocked;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "tmp%X.tmp", (++counter) & 0xFFFF);
        fs::path candidate = folder / name;
        if (fs::exists(candidate, ec)) continue;
        std::string text = candidate.string();
        if (text.size() >= static_cast<size_t>(kMaxPathChars)) return kResultFileLocked;
        std::memcpy(tempPath, text.c_str(), text.size() + 1);
        return kResultOK;
    }
    return kResultFileLocked;
}

ResultCode ReplaceFileKeepingAttributes(const char* targetPath, const char* newPath) {
    std::error_code ec;
    if (!fs::is_regular_file(newPath, ec)) return kResultFileLocked;
    fs::file_status old = fs::status(targetPath, ec);
    if (!ec && fs::exists(old)) {
        fs::permissions(newPath, old.permissions(), ec);
        if (ec) return kResultFileLocked;
    }
    fs::rename(newPath, targetPath, ec);
    return ec ? kResultFileLocked : kResultOK;
}
