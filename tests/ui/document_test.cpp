#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "classlib/app.h"
#include "engine/core/engine_startup.h"
#include "engine/core/memory.h"
#include "engine/docio/engine_document.h"
#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "engine/core/object_creation.h"
#include "ui/doc/document_rules.h"
#include "ui/doc/document_services.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/doc/file_dialog.h"
#include "ui/resource_ids.h"

namespace {

// Closes every message box the code under test shows, keeping its text.
std::vector<std::string> gAlerts;
UINT_PTR gAlertTimer = 0;

BOOL CALLBACK CloseMessageBox(HWND hwnd, LPARAM) {
    char cls[16] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(hwnd)) return TRUE;
    char text[512] = "";
    GetDlgItemTextA(hwnd, 0xFFFF, text, sizeof text);
    gAlerts.push_back(text);
    PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    return TRUE;
}
void CALLBACK AlertTimer(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), CloseMessageBox, 0); }

// The save dialog answers with the name the test chose.
class SaveTestApp : public CWinApp {
public:
    SaveTestApp() : CWinApp("DocumentTest") {}
    std::string answer;
    // The save type chosen in the dialog; -1: the first filter's, as the name makes it.
    int32_t answerType = -1;
    int prompts = 0;
    std::string offered;  // the name the dialog was opened with
    bool DoPromptFileName(CString& fileName, UINT, DWORD, bool, CDocTemplate*) override {
        ++prompts;
        offered = fileName.c_str();
        if (answer.empty()) return false;
        fileName = answer.c_str();
        // As the real dialog does, it tells the document being saved what was chosen.
        if (CFernwickDoc* doc = CFernwickDoc::DocumentBeingSaved()) {
            doc->m_saveType = answerType >= 0 ? answerType : ChosenSaveType(1, answer.c_str());
        }
        return true;
    }
};

std::string Folder() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "fig_doc_test\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::ofstream(path, std::ios::binary) << bytes;
}

int CountFiles(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    int n = 0;
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return n;
}

class DocumentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartEngine()); }
    static void TearDownTestSuite() { ShutdownEngine(); }
    void SetUp() override {
        folder_ = Folder();
        for (const char* name : { "old.yrn", "copy.yrn", "mine.yrn", "hand.yr4", "notes.txt", "page.yrn", "plain.htm" }) {
            DeleteFileA((folder_ + name).c_str());
        }
        gAlerts.clear();
        gAlertTimer = SetTimer(nullptr, 0, 30, AlertTimer);
        doc_ = new CFernwickDoc;
        doc_->m_bAutoDelete = false;
        ASSERT_TRUE(doc_->OnNewDocument());
    }
    void TearDown() override {
        delete doc_;
        KillTimer(nullptr, gAlertTimer);
    }
    std::string folder_;
    SaveTestApp app_;
    CFernwickDoc* doc_ = nullptr;
};

}  // namespace

TEST_F(DocumentTest, AFailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile) {
    const std::string target = folder_ + "old.yrn";
    WriteFile(target, "the user's intact document");
    const int filesBefore = CountFiles(folder_);
    app_.answer = target;
    SetDocumentModified(doc_->Engine(), true);

    SetAllocFailureAfter(1, true);
    const bool saved = doc_->DoSave(nullptr, true);
    SetAllocFailureAfter(0);

    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(target), "the user's intact document");
    EXPECT_EQ(CountFiles(folder_), filesBefore);
    EXPECT_FALSE(gAlerts.empty());
    EXPECT_TRUE(doc_->IsModified());
    EXPECT_TRUE(doc_->GetPathName().IsEmpty());
}

TEST_F(DocumentTest, OnlyANativeSaveUnderTheDocumentsNameMarksItSaved) {
    SetDocumentModified(doc_->Engine(), true);

    app_.answer = folder_ + "copy.yrn";
    ASSERT_TRUE(doc_->DoSave(nullptr, false));   // Save Copy As
    EXPECT_TRUE(doc_->IsModified());
    EXPECT_TRUE(doc_->GetPathName().IsEmpty());
    EXPECT_FALSE(doc_->HasOwnFile());

    app_.answer = folder_ + "hand.yr4";
    gAlerts.clear();
    doc_->DoSave(nullptr, true);                 // handheld form: a warning, not saved
    EXPECT_TRUE(doc_->IsModified());
    EXPECT_TRUE(doc_->GetPathName().IsEmpty());
    EXPECT_EQ(gAlerts.size(), 1u);

    app_.answer = folder_ + "mine.yrn";
    ASSERT_TRUE(doc_->DoSave(nullptr, true));    // Save As
    EXPECT_FALSE(doc_->IsModified());
    EXPECT_TRUE(doc_->HasOwnFile());
    EXPECT_NE(doc_->GetPathName().Find("mine"), -1);

    // Saving again in place needs no dialog and writes the native form.
    const int prompts = app_.prompts;
    SetDocumentModified(doc_->Engine(), true);
    ASSERT_TRUE(doc_->DoFileSave());
    EXPECT_EQ(app_.prompts, prompts);
    EXPECT_FALSE(doc_->IsModified());
}

TEST_F(DocumentTest, ASavedDocumentOpensWithItsOwnFile) {
    app_.answer = folder_ + "mine.yrn";
    ASSERT_TRUE(doc_->DoSave(nullptr, true));

    CFernwickDoc reopened;
    reopened.m_bAutoDelete = false;
    ASSERT_TRUE(reopened.OnOpenDocument((folder_ + "mine.yrn").c_str()));
    EXPECT_TRUE(gAlerts.empty());
    ASSERT_NE(reopened.CurrentPage(), nullptr);
    EXPECT_TRUE(reopened.HasOwnFile());
    EXPECT_EQ(reopened.m_needsNewName, 0);
    EXPECT_FALSE(reopened.IsModified());
}

TEST_F(DocumentTest, ARejectedFileLeavesNoDocumentAndSaysWhy) {
    const std::string path = folder_ + "notes.txt";
    WriteFile(path, "not a sketch at all");
    CFernwickDoc rejected;
    rejected.m_bAutoDelete = false;
    EXPECT_FALSE(rejected.OnOpenDocument(path.c_str()));
    EXPECT_EQ(rejected.Engine(), nullptr);
    ASSERT_EQ(gAlerts.size(), 1u);
    EXPECT_NE(gAlerts[0].find("not a Velmora document"), std::string::npos);
    EXPECT_EQ(ReadFile(path), "not a sketch at all");

    gAlerts.clear();
    EXPECT_FALSE(rejected.OnOpenDocument((folder_ + "missing.yrn").c_str()));
    ASSERT_EQ(gAlerts.size(), 1u);
    EXPECT_NE(gAlerts[0].find("was not found"), std::string::npos);
}

TEST_F(DocumentTest, TheSaveTypeIsTheOneTheDialogChose) {
    // The web page chosen with a name of the native extension: a web page is written,
    // and the document keeps its own name.
    app_.answer = folder_ + "page.yrn";
    app_.answerType = kSaveWebPage;
    doc_->DoSave(nullptr, true);
    EXPECT_EQ(ReadFile(folder_ + "page.yrn").rfind("YRN4", 0), std::string::npos);
    EXPECT_NE(ReadFile(folder_ + "page.yrn").find("<"), std::string::npos);
    EXPECT_TRUE(doc_->GetPathName().IsEmpty());

    // The native type chosen with a web page's name: a document, which takes the name.
    app_.answer = folder_ + "plain.htm";
    app_.answerType = kSaveNative;
    ASSERT_TRUE(doc_->DoSave(nullptr, true));
    EXPECT_EQ(ReadFile(folder_ + "plain.htm").rfind("YRN4", 0), 0u);
    EXPECT_NE(doc_->GetPathName().Find("plain.htm"), -1);
    EXPECT_TRUE(doc_->HasOwnFile());
}

TEST_F(DocumentTest, SaveAsProposesTheDocumentsTitle) {
    doc_->SetTitle("Untitled 7");
    app_.answer.clear();  // the user cancels
    EXPECT_FALSE(doc_->DoSave(nullptr, true));
    // No template here: the title alone, not cut at its space.
    EXPECT_EQ(app_.offered, "Untitled 7");
}

// The enabled state a command's update handler gives, -1 when none gives one.
struct EnableRecorder : CCmdUI {
    int enabled = -1;
    void Enable(bool on) override {
        enabled = on ? 1 : 0;
        m_bEnableChanged = true;
    }
};
int EnabledBy(CCmdTarget* target, UINT id) {
    EnableRecorder ui;
    ui.m_nID = id;
    ui.DoUpdate(target, false);
    return ui.enabled;
}

TEST_F(DocumentTest, CommandsOfTheDocumentReachTheirHandlers) {
    // Size steps belong to the text style commands: grey, not enabled without a handler.
    EXPECT_EQ(EnabledBy(doc_, ID_LARGER_TEXT), 0);
    EXPECT_EQ(EnabledBy(doc_, ID_SMALLER_TEXT), 0);

    // Stopping every motion and the Text Style dialog are the document's commands.
    EXPECT_TRUE(doc_->OnCmdMsg(ID_STOP_ALL_MOTIONS, ROUTE_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(doc_->OnCmdMsg(ID_TEXT_STYLE_DIALOG, ROUTE_COMMAND, nullptr, nullptr));

    // The arc sector wants exactly one arc selected.
    Sketch* page = doc_->CurrentPage();
    ASSERT_NE(page, nullptr);
    SketchScope scope(page);
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    SketchObject* a = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    SketchObject* b = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(EnabledBy(doc_, ID_ARC_SECTOR), 0);
    SelectSketchObject(a);
    EXPECT_EQ(EnabledBy(doc_, ID_ARC_SECTOR), 0);
    // Only the kind matters to the rule.
    a->objectKind = kKindArc;
    EXPECT_EQ(EnabledBy(doc_, ID_ARC_SECTOR), 1);
    SelectSketchObject(b);
    EXPECT_EQ(EnabledBy(doc_, ID_ARC_SECTOR), 0);
    a->objectKind = kKindPoint;
}
