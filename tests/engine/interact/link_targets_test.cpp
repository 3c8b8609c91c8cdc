// Link targets: schemes and folders, and the question asked before a document's link
// opens anything that is not a web page.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/core/memory.h"
#include "engine/core/services/alerts.h"
#include "engine/core/services/later_release.h"
#include "engine/interact/link_targets.h"
#include "support/alerts_double.h"
#include "support/folders_double.h"

namespace {

std::string Resolve(const char* document, const char* target, ResultCode* code) {
    char* address = ResolveLinkTarget(document, "C:\\Prog\\", target, code);
    std::string out = address ? address : "(none)";
    FreeMemory(address);
    return out;
}

class LinkTargets : public testing::Test {
protected:
    void SetUp() override {
        ResetAlertDoubles();
        ResetOpenedAddresses();
        SetTestFolders(nullptr, "C:\\Prog\\", "C:\\Prog\\Help\\");
    }
    void TearDown() override {
        SetTestFolders(nullptr, "C:\\Program\\", nullptr);
        ResetAlertDoubles();
        ResetOpenedAddresses();
    }
};

TEST_F(LinkTargets, SchemesResolveAgainstTheirFolders) {
    struct Case { const char* document; const char* target; const char* address; ResultCode code; };
    const Case cases[] = {
        { nullptr, "www.example.org/a:b", "http://www.example.org/a:b", 0 },    // no scheme before the dot
        { nullptr, "http://example.org/x", "http://example.org/x", 0 },
        { "C:\\Docs\\", "sketchdoc://pages/a.htm", "file:///C:\\Docs\\pages/a.htm", 0 },
        { nullptr, "sketchdoc://a.htm", "(none)", 406 },                        // never saved
        { nullptr, "SketchApp://samples/b.fgx", "file:///C:\\Prog\\samples/b.fgx", 0 },
        { nullptr, "sketchapp:///c", "file:///C:\\Prog\\/c", 0 },               // a third slash stays
        { nullptr, "sketchapp:/c", "file:///C:\\Prog\\c", 0 },
        { nullptr, "help://topic.htm", "file:///C:\\Prog\\Help\\topic.htm", 0 },
        { nullptr, "mailto:someone@example.org", "mailto:someone@example.org", 0 },
        { nullptr, "file:///C:/x.txt", "file:///C:/x.txt", 0 },                // passes unchanged
        { nullptr, "1a:b", "http://1a:b", 0 },                                  // not only letters
        { nullptr, "", "http://", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        ResultCode code = -1;
        EXPECT_EQ(Resolve(c.document, c.target, &code), c.address);
        EXPECT_EQ(code, c.code);
    }
    SetTestFolders(nullptr, "C:\\Prog\\", nullptr);
    ResultCode code = 0;
    EXPECT_EQ(Resolve(nullptr, "help://x", &code), "(none)");
    EXPECT_EQ(code, 408);
}

// The later release's help folder is an address with its own scheme: help topics join it
// without a second "file:///"; none found is the same missing help folder.
TEST_F(LinkTargets, TheLaterHelpFolderIsAnAddressAlready) {
    static const char* gAddress = nullptr;
    LaterReleaseForms forms = {};
    forms.shell.helpFolderAddress = [] {
        if (!gAddress) return static_cast<char*>(nullptr);
        char* out = static_cast<char*>(AllocMemory(std::strlen(gAddress) + 1, 0));
        if (out) std::strcpy(out, gAddress);
        return out;
    };
    InstallLaterForms(forms);
    gAddress = "ms-its:C:\\Prog\\Velmora Help/";
    ResultCode code = -1;
    EXPECT_EQ(Resolve(nullptr, "help://Velmora.chm::/hContents.htm", &code),
              "ms-its:C:\\Prog\\Velmora Help/Velmora.chm::/hContents.htm");
    EXPECT_EQ(code, kResultOK);
    gAddress = nullptr;
    EXPECT_EQ(Resolve(nullptr, "help://x", &code), "(none)");
    EXPECT_EQ(code, 408);
    ResetLaterForms();
    EXPECT_EQ(Resolve(nullptr, "help://x", &code), "file:///C:\\Prog\\Help\\x");
}

TEST_F(LinkTargets, ConcatThreeAndTheSchemeTest) {
    char* out = nullptr;
    ASSERT_EQ(ConcatThree(&out, "a", nullptr, "c"), kResultOK);
    EXPECT_STREQ(out, "ac");
    FreeMemory(out);
    SetAllocFailureAfter(1);
    EXPECT_EQ(ConcatThree(&out, "a", "b", "c"), kResultOutOfMemory);
    SetAllocFailureAfter(0);
    EXPECT_EQ(out, nullptr);
    const char* target = "HTTP://x";
    EXPECT_TRUE(LinkSchemeIs(target, FindLinkScheme(target), "http"));
    EXPECT_FALSE(LinkSchemeIs(target, FindLinkScheme(target), "https"));
    EXPECT_EQ(FindLinkScheme("no scheme here"), nullptr);
}

// Only a resolved web address opens at once; anything else asks, No by default, and a
// No opens nothing. Help topics open as they are.
TEST_F(LinkTargets, ADocumentsLinkAsksBeforeOpeningAnythingButAWebPage) {
    EXPECT_EQ(OpenDocumentLink(nullptr, "C:\\Prog\\", "www.example.org", false), kResultOK);
    EXPECT_EQ(OpenDocumentLink(nullptr, "C:\\Prog\\", "HTTPS://example.org", false), kResultOK);
    EXPECT_TRUE(AskedQuestions().empty());
    ScriptQuestionAnswers({ false, false, false, true }, false);
    for (const char* target : { "C:\\windows\\notepad.exe", "file:///C:/x.exe", "sketchdoc://../../x.exe" })
        EXPECT_EQ(OpenDocumentLink("C:\\Docs\\", "C:\\Prog\\", target, false), kResultCancelled) << target;
    ASSERT_EQ(AskedQuestions().size(), 3u);
    EXPECT_NE(AskedQuestions()[0].text.find("C:\\windows\\notepad.exe"), std::string::npos);
    EXPECT_NE(AskedQuestions()[0].buttons & kQuestionDefaultNo, 0u);
    EXPECT_EQ(OpenDocumentLink(nullptr, "C:\\Prog\\", "C:\\windows\\notepad.exe", false), kResultOK);
    // Run because a document opened, even a web page asks.
    EXPECT_EQ(OpenDocumentLink(nullptr, "C:\\Prog\\", "www.example.org", true), kResultCancelled);
    EXPECT_EQ(AskedQuestions().size(), 5u);
    ASSERT_EQ(OpenedAddresses().size(), 3u);
    EXPECT_EQ(OpenedAddresses()[2], "C:\\windows\\notepad.exe");
    // Help topics are the program's own.
    EXPECT_EQ(OpenLinkTarget("help://index.htm"), kResultOK);
    EXPECT_EQ(AskedQuestions().size(), 5u);
    SetOpenWithShellResult(false);
    EXPECT_EQ(OpenLinkTarget("www.example.org"), kAlertLinkFailed);
}

}  // namespace
