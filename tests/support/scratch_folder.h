// A folder of the running test's own under the system's temporary folder, made empty
// when the test begins and removed with everything in it when the test ends, so that
// tests never leave files behind or meet another test's files (nor the same test's files
// in a second run at the same time: the folder's name holds the process number).
#pragma once
#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <system_error>

class ScratchFolder {
public:
    ScratchFolder() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "fig_";
        if (test) name += std::string(test->test_suite_name()) + "_" + test->name();
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        name += '_';
#ifdef _WIN32
        name += std::to_string(_getpid());
#else
        name += std::to_string(getpid());
#endif
        folder_ = std::filesystem::path(::testing::TempDir()) / name;
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
        std::filesystem::create_directories(folder_, ec);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The path of a file in the folder.
    std::string Path(const char* file) const { return (folder_ / file).string(); }
    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path folder_;
};
