#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/core/services/files.h"

namespace {

class FileServices : public ::testing::Test {
protected:
    void SetUp() override {
        char base[MAX_PATH];
        ASSERT_NE(GetTempPathA(sizeof base, base), 0u);
        folder_ = std::string(base) + "figsave" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
        target_ = folder_ + "doc.yrn";
    }
    void TearDown() override {
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((folder_ + "*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string path = folder_ + found.cFileName;
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            } while (FindNextFileA(h, &found));
            FindClose(h);
        }
        RemoveDirectoryA(folder_.c_str());
    }
    static void Write(const std::string& path, const char* text) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(text, f);
        std::fclose(f);
    }
    static std::string Read(const std::string& path) {
        FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) return "<missing>";
        char buffer[64] = {};
        size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
        std::fclose(f);
        return std::string(buffer, n);
    }
    // Makes the temporary name, writes `text` there and replaces the target.
    ResultCode Save(const char* text, std::string* temp) {
        char name[kMaxPathChars];
        ResultCode rc = MakeTempFileNameBeside(target_.c_str(), name);
        if (rc != kResultOK) return rc;
        *temp = name;
        Write(*temp, text);
        return ReplaceFileKeepingAttributes(target_.c_str(), name);
    }

    std::string folder_;
    std::string target_;
};

TEST_F(FileServices, TemporaryNameLiesBesideTheTargetAndNoFileIsLeft) {
    char name[kMaxPathChars];
    ASSERT_EQ(MakeTempFileNameBeside(target_.c_str(), name), kResultOK);
    std::string temp = name;
    EXPECT_EQ(temp.compare(0, folder_.size(), folder_), 0) << temp;
    EXPECT_EQ(GetFileAttributesA(name), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FileServices, NewDocumentGetsNormalAttributes) {
    std::string temp;
    ASSERT_EQ(Save("first", &temp), kResultOK);
    EXPECT_EQ(Read(target_), "first");
    EXPECT_EQ(GetFileAttributesA(temp.c_str()), INVALID_FILE_ATTRIBUTES);
    DWORD attributes = GetFileAttributesA(target_.c_str());
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY), 0u);
}

TEST_F(FileServices, ReplacingAHiddenFileKeepsItHidden) {
    Write(target_, "old");
    ASSERT_TRUE(SetFileAttributesA(target_.c_str(), FILE_ATTRIBUTE_HIDDEN));
    std::string temp;
    ASSERT_EQ(Save("new", &temp), kResultOK);
    EXPECT_EQ(Read(target_), "new");
    EXPECT_NE(GetFileAttributesA(target_.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(FileServices, ReadOnlyTargetIsRefusedAndKept) {
    Write(target_, "old");
    ASSERT_TRUE(SetFileAttributesA(target_.c_str(), FILE_ATTRIBUTE_READONLY));
    char name[kMaxPathChars];
    EXPECT_EQ(MakeTempFileNameBeside(target_.c_str(), name), kResultFileLocked);
    EXPECT_EQ(Read(target_), "old");
}

TEST_F(FileServices, TargetHeldOpenIsNotReplacedAndTheNewFileStays) {
    Write(target_, "old");
    char name[kMaxPathChars];
    ASSERT_EQ(MakeTempFileNameBeside(target_.c_str(), name), kResultOK);
    Write(name, "new");
    HANDLE held = CreateFileA(target_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReplaceFileKeepingAttributes(target_.c_str(), name), kResultFileLocked);
    CloseHandle(held);
    EXPECT_EQ(Read(target_), "old");
    EXPECT_EQ(Read(name), "new");
}

TEST_F(FileServices, MissingNewFileLeavesTheTarget) {
    Write(target_, "old");
    std::string missing = folder_ + "tmpgone.tmp";
    EXPECT_EQ(ReplaceFileKeepingAttributes(target_.c_str(), missing.c_str()), kResultFileLocked);
    EXPECT_EQ(Read(target_), "old");
}

}  // namespace
