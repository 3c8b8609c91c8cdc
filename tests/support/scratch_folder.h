// A folder of the running test's own under the system's temporary folder, made empty
// when the test begins and removed with everything in it when the test ends, so that
// tests never leave files behind or meet another test's files.
#pragma once
#include <gtest/gtest.h>

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
