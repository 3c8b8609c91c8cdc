// What the shared program does differently once the later release's forms are installed:
// the engine's start prepares the nouns, the about box reads its pages from the resources.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/engine_startup.h"
#include "engine/core/services/later_release.h"
#include "engine/text/layout.h"
#include "release2/install.h"
#include "release2/text/kind_nouns.h"
#include "release2/text/string_resources.h"
#include "ui/splash/splash_wnd.h"

namespace {

int gPrepared = 0;

std::string Written(LayoutNode* tree) {
    const int32_t n = SerializeLayout(tree, nullptr, nullptr);
    std::string text(static_cast<size_t>(n), '\0');
    SerializeLayout(tree, text.data(), nullptr);
    return text;
}

std::string PageWritten(int32_t page) {
    LayoutNode* tree = nullptr;
    if (BuildCreditPage(page, &tree) != kLayoutParseOK || !tree) return "none";
    const std::string text = Written(tree);
    FreeLayoutNode(tree);
    return text;
}

struct LaterStart : ::testing::Test {
    void TearDown() override {
        ResetLaterForms();
        ResetKindNouns();
        SetStringResourceSource({});
    }
};

TEST_F(LaterStart, TheEngineStartPreparesTheTexts) {
    LaterReleaseForms forms = {};
    forms.text.prepareTexts = [] { ++gPrepared; };
    InstallLaterForms(forms);
    ASSERT_TRUE(StartEngine());
    EXPECT_EQ(gPrepared, 1);
    ShutdownEngine();
    ResetLaterForms();
    ASSERT_TRUE(StartEngine());
    EXPECT_EQ(gPrepared, 1);
    ShutdownEngine();
}

TEST_F(LaterStart, CreditPagesComeFromTheResources) {
    ASSERT_TRUE(StartEngine());
    std::string shared[4];
    for (int32_t page = 0; page < 4; ++page) shared[page] = PageWritten(page);
    InstallLaterRelease();
    for (int32_t page = 0; page < 4; ++page) {
        EXPECT_NE(shared[page], "none");
        EXPECT_EQ(PageWritten(page), shared[page]) << page;
    }
    EXPECT_EQ(PageWritten(4), "none");
    // The pages are read through the table: another text there is what the box shows.
    LaterReleaseForms forms = LaterForms();
    forms.text.aboutPageText = [](int32_t) -> const char* { return "<VC<T'x'>>"; };
    InstallLaterForms(forms);
    EXPECT_EQ(PageWritten(1), "<VC<T1xx>>");
    ShutdownEngine();
}

}  // namespace
