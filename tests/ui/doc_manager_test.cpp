#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "classlib/app.h"
#include "engine/core/engine_startup.h"
#include "ui/doc/doc_manager.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/doc/file_dialog.h"
#include "ui/frames/child_frame.h"
#include "ui/resource_ids.h"
#include "ui/view/sketch_view.h"

namespace {

TEST(SaveDialogChoice, TypeFromTheFilterOverruledByTheName) {
    struct Case { int32_t filter; const char* name; int32_t type; };
    const Case cases[] = {
        { 1, "C:\\a\\kite.yrn", 0 },  { 2, "C:\\a\\kite.yr4", 1 }, { 3, "C:\\a\\kite.htm", 2 },
        { 1, "C:\\a\\kite.yr4", 1 },  { 1, "C:\\a\\kite.htm", 2 }, { 2, "C:\\a\\kite.html", 2 },
        { 3, "C:\\a\\kite.yrn", 2 },  { 1, "C:\\a\\kite.YR4", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChosenSaveType(c.filter, c.name), c.type);
    }
}

TEST(OpenDialogNames, CompletionFromTheChosenFilter) {
    EXPECT_EQ(CompletionExtensions("*.yrn;*.yr4"), (std::vector<std::string>{ ".yrn", ".yr4" }));
    EXPECT_TRUE(CompletionExtensions("*.*").empty());
    const char filter[] = "Velmora Files (*.yrn;*.yr4)\0*.yrn;*.yr4\0All Files (*.*)\0*.*\0";
    EXPECT_EQ(FilterPatterns(filter, 1), "*.yrn;*.yr4");
    EXPECT_EQ(FilterPatterns(filter, 2), "*.*");
    EXPECT_EQ(FilterPatterns(filter, 3), "");
    EXPECT_TRUE(NameHasExtension("C:\\a\\kite.yrn"));
    EXPECT_FALSE(NameHasExtension("C:\\a.b\\kite"));
    EXPECT_EQ(RetypedName("kite", "*.htm"), "kite.htm");
}

TEST(OpenDialogNames, SeveralFilesAreTheFolderJoinedWithEachName) {
    const char one[] = "C:\\docs\\kite.yrn\0";
    EXPECT_EQ(SelectedPaths(one, sizeof one), (std::vector<std::string>{ "C:\\docs\\kite.yrn" }));
    const char three[] = "C:\\docs\0a.yrn\0b.yr4\0c.yrn\0";
    EXPECT_EQ(SelectedPaths(three, sizeof three),
              (std::vector<std::string>{ "C:\\docs\\a.yrn", "C:\\docs\\b.yr4", "C:\\docs\\c.yrn" }));
    const char root[] = "C:\\\0a.yrn\0b.yrn\0";
    EXPECT_EQ(SelectedPaths(root, sizeof root), (std::vector<std::string>{ "C:\\a.yrn", "C:\\b.yrn" }));
    // A name that makes the path longer than a path may be is left out.
    std::string longer = std::string("C:\\docs") + '\0' + std::string(260, 'x') + '\0' + "ok.yrn" + '\0' + '\0';
    EXPECT_EQ(SelectedPaths(longer.data(), longer.size()), (std::vector<std::string>{ "C:\\docs\\ok.yrn" }));
    EXPECT_TRUE(SelectedPaths("", 1).empty());
}

class TemplateApp : public CWinApp {
public:
    TemplateApp() : CWinApp("TemplateTest") {}
};

class DocTemplateTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartEngine()); }
    static void TearDownTestSuite() { ShutdownEngine(); }
    void SetUp() override {
        app.m_pDocManager = new CYrnDocManager;
        tmpl = new CYRNDocTemplate(IDR_DOCUMENT, RUNTIME_CLASS(CFernwickDoc), RUNTIME_CLASS(CChildFrame),
                                   RUNTIME_CLASS(CYRNView));
        app.AddDocTemplate(tmpl);
    }
    void TearDown() override {
        for (CDocument* doc : docs) {
            tmpl->RemoveDocument(doc);
            delete doc;
        }
    }
    CDocument* Add(const char* title, const char* path = nullptr) {
        auto* doc = new CDocument;
        doc->m_bAutoDelete = false;
        doc->SetTitle(title);
        if (path) doc->SetPathName(path, false);
        tmpl->AddDocument(doc);
        docs.push_back(doc);
        return doc;
    }
    static int TrailingNumber(const CString& title) {
        const std::string s = title.c_str();
        const size_t digits = s.find_last_not_of("0123456789") + 1;
        return std::stoi(s.substr(digits));
    }

    TemplateApp app;
    CYRNDocTemplate* tmpl = nullptr;
    std::vector<CDocument*> docs;
};

TEST_F(DocTemplateTest, NewTitlesCountUpAndSkipOnesInUse) {
    CDocument first, second, third;
    tmpl->SetDefaultTitle(&first);
    tmpl->SetDefaultTitle(&second);
    const int n = TrailingNumber(second.GetTitle());
    EXPECT_EQ(TrailingNumber(first.GetTitle()) + 1, n);

    std::string taken = second.GetTitle().c_str();
    taken.replace(taken.size() - std::to_string(n).size(), std::string::npos, std::to_string(n + 1));
    Add(taken.c_str());
    tmpl->SetDefaultTitle(&third);
    EXPECT_EQ(TrailingNumber(third.GetTitle()), n + 2);
}

TEST_F(DocTemplateTest, AnOpenDocumentIsReadAgainRatherThanActivated) {
    CDocument* open = Add("kite.yrn", "C:\\docs\\kite.yrn");
    CDocument* match = open;
    EXPECT_EQ(tmpl->MatchDocType("C:\\docs\\KITE.yrn", match), CDocTemplate::yesAttemptNative);
    EXPECT_EQ(match, nullptr);
}

}  // namespace
