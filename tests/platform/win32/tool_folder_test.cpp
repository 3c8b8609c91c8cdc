// The tool folder's scan: documents beside the program handed to the custom-tool
// library, one file per idle pass.
#include "platform/win32/tool_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/core/copy_map.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/streams.h"
#include "engine/interact/custom_tool_library.h"

namespace {

class ToolFolder : public ::testing::Test {
protected:
    void SetUp() override {
        name_ = "figscan" + std::to_string(GetCurrentProcessId()) + "\\";
        char module[MAX_PATH];
        GetModuleFileNameA(nullptr, module, sizeof module);
        std::string path = module;
        folder_ = path.substr(0, path.rfind('\\') + 1) + name_;
        CreateDirectoryA(folder_.c_str(), nullptr);
        SetToolFolderName(name_.c_str());
    }
    void TearDown() override {
        StopToolFolderScan();
        FreeToolFolderList();
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((folder_ + "*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do DeleteFileA((folder_ + found.cFileName).c_str());
            while (FindNextFileA(h, &found));
            FindClose(h);
        }
        RemoveDirectoryA(folder_.c_str());
        SetToolFolderName("Tool Folder\\");
    }

    // A document with one tool (two points and their segment).
    void WriteToolDocument(const char* file) {
        Sketch* page = CreateSketch(0, nullptr);
        ASSERT_NE(page, nullptr);
        Sketch* previous = nullptr;
        SetCurrentSketch(page, &previous);
        SketchObject* points[2] = {};
        for (int i = 0; i < 2; ++i) {
            const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
            points[i] = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
            ASSERT_NE(points[i], nullptr);
            SetPointPosition(points[i], 10.0 + 50 * i, 10, 1, nullptr, false);
        }
        PtrList parents = 0;
        ASSERT_TRUE(PtrListAppend(&parents, points[0]));
        ASSERT_TRUE(PtrListAppend(&parents, points[1]));
        SketchObject* side = ConstructObject(kTypeSegment, nullptr, parents, 0, true, false, nullptr);
        ASSERT_NE(side, nullptr);
        RecomputeObject(side, nullptr, true);
        const CopyItem items[3] = { { points[0], kKindPoint, 0 }, { points[1], kKindPoint, 0 }, { side, kKindSegment, 0 } };
        Sketch* tool = nullptr;
        ASSERT_EQ(BuildSketchFromObjects(items, false, 2, 3, "Side", &tool), kResultOK);
        SetCurrentSketch(previous, nullptr);
        FreeSketch(page);

        EngineDocument* document = nullptr;
        ASSERT_EQ(CreateEngineDocument(&document, nullptr), kResultOK);
        void* item = nullptr;
        ASSERT_EQ(AddDocumentItem(document, &item, kDocumentItemPage, nullptr), kResultOK);
        ASSERT_EQ(InsertDocumentItem(document, tool, kDocumentItemTool, nullptr), kResultOK);
        StreamHandle stream = 0;
        ASSERT_EQ(OpenFileStreamForWrite((folder_ + file).c_str(), &stream), kResultOK);
        EXPECT_EQ(WriteEngineDocument(stream, document, false), kResultOK);
        EXPECT_EQ(CloseStream(stream), kResultOK);
        FreeEngineDocument(document);
    }

    // The shown names of the documents listed, sorted.
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int32_t i = 0; i < ToolFolderFileCount(); ++i) {
            const char* name = nullptr;
            ToolFolderFileTools(i, &name);
            names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string name_;
    std::string folder_;
};

}  // namespace

TEST_F(ToolFolder, OneFilePerPassOrAllAtOnce) {
    WriteToolDocument("one.yrn");
    WriteToolDocument("two.yrn");
    WriteToolDocument("three.YRN");
    FILE* other = std::fopen((folder_ + "notes.txt").c_str(), "wb");
    ASSERT_NE(other, nullptr);
    std::fclose(other);

    int32_t passes = 1;
    while (ScanToolFolderStep(nullptr, 0) != 0) ++passes;
    EXPECT_EQ(passes, 4);  // three files, then the end of the search
    EXPECT_EQ(ToolFolderFileCount(), 3);

    FreeToolFolderList();
    // A name without its closing backslash names the same folder.
    SetToolFolderName(name_.substr(0, name_.size() - 1).c_str());
    ScheduleToolFolderScan();  // from the first file again
    EXPECT_EQ(ScanToolFolderStep(nullptr, 1), 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{ "one.yrn", "three.YRN", "two.yrn" }));
}

// Folder texts are joined into 260-character paths: one that does not fit ends the scan
// without reading past its buffers.
TEST_F(ToolFolder, AFolderTooLongForAPathEndsTheScan) {
    WriteToolDocument("one.yrn");
    const std::string longName(250, 'x');
    SetToolFolderName((longName + "\\").c_str());
    EXPECT_EQ(ScanToolFolderStep(nullptr, 0), 0);
    EXPECT_EQ(ToolFolderFileCount(), 0);
    SetToolFolderName(std::string(300, 'y').c_str());  // refused outright
    EXPECT_EQ(ScanToolFolderStep(nullptr, 1), 0);
    EXPECT_EQ(ToolFolderFileCount(), 0);
}

TEST_F(ToolFolder, StoppingAScanUnderWayLetsGoOfItsSearch) {
    WriteToolDocument("one.yrn");
    WriteToolDocument("two.yrn");
    ScheduleToolFolderScan();
    EXPECT_EQ(ScanToolFolderStep(nullptr, 0), 1);
    StopToolFolderScan();
    // The search is closed: the next step begins it again.
    EXPECT_EQ(ScanToolFolderStep(nullptr, 1), 0);
    EXPECT_EQ(ToolFolderFileCount(), 3);
}

namespace {

// The later release's shortcut resolver, stood in for: a test ".lnk" holds its target's
// path as text.
bool ReadTestShortcut(const char* path, char* target) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    const size_t n = std::fread(target, 1, 259, file);
    std::fclose(file);
    target[n] = 0;
    return n > 0;
}

void WriteTestShortcut(const std::string& path, const std::string& target) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(target.data(), 1, target.size(), file);
    std::fclose(file);
}

struct LaterScan : ToolFolder {
    void SetUp() override {
        ToolFolder::SetUp();
        LaterReleaseForms forms = {};
        forms.shell.resolveShortcut = ReadTestShortcut;
        InstallLaterForms(forms);
    }
    void TearDown() override {
        ResetLaterForms();
        ToolFolder::TearDown();
    }
};

}  // namespace

// figlate scans every file: documents, and shortcuts to documents shown without ".lnk";
// a shortcut to another kind of file, or one that does not resolve, is passed over.
TEST_F(LaterScan, DocumentShortcutsCountAndOthersDoNot) {
    WriteToolDocument("one.yrn");
    // A document in a folder the scan does not enter, reached through its shortcut.
    ASSERT_TRUE(CreateDirectoryA((folder_ + "sub").c_str(), nullptr));
    WriteToolDocument("sub\\inner.yrn");
    WriteTestShortcut(folder_ + "Kite.YRN.LNK", folder_ + "sub\\inner.yrn");
    WriteTestShortcut(folder_ + "notes.txt.lnk", folder_ + "one.txt");
    WriteTestShortcut(folder_ + "Lost.yrn.lnk", "");
    ScheduleToolFolderScan();
    EXPECT_EQ(ScanToolFolderStep(nullptr, 1), 0);
    DeleteFileA((folder_ + "sub\\inner.yrn").c_str());
    RemoveDirectoryA((folder_ + "sub").c_str());
    EXPECT_EQ(Names(), (std::vector<std::string>{ "Kite.YRN", "one.yrn" }));
}

// A tool folder replaced by a shortcut of its name with ".lnk" is scanned through it.
TEST_F(LaterScan, AFolderShortcutLeadsToTheFolder) {
    WriteToolDocument("one.yrn");
    const std::string alias = "figalias" + std::to_string(GetCurrentProcessId());
    const std::string link = folder_.substr(0, folder_.size() - name_.size()) + alias + ".lnk";
    WriteTestShortcut(link, folder_.substr(0, folder_.size() - 1));
    SetToolFolderName((alias + "\\").c_str());
    ScheduleToolFolderScan();
    EXPECT_EQ(ScanToolFolderStep(nullptr, 1), 0);
    DeleteFileA(link.c_str());
    EXPECT_EQ(Names(), (std::vector<std::string>{ "one.yrn" }));
    // figmantle does not follow it.
    ResetLaterForms();
    FreeToolFolderList();
    WriteTestShortcut(link, folder_.substr(0, folder_.size() - 1));
    ScheduleToolFolderScan();
    EXPECT_EQ(ScanToolFolderStep(nullptr, 1), 0);
    DeleteFileA(link.c_str());
    EXPECT_EQ(ToolFolderFileCount(), 0);
}
