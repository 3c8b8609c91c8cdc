// figlate's string resources as the resource compiler wrote them, read back through
// LoadStringA: every text both programs share must read as the engine has it.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/services/later_release.h"
#include "engine/core/services/string_groups.h"
#include "engine/text/string_groups.h"
#include "release2/install.h"
#include "release2/shell/file_links.h"
#include "release2/text/kind_nouns.h"
#include "release2/text/later_texts.h"
#include "release2/text/string_resources.h"
#include "release2/shared_text_forms.h"

namespace {

struct ModuleTexts : ::testing::Test {
    void TearDown() override {
        ResetLaterForms();
        ResetKindNouns();
        SetStringResourceSource({});
    }
};

TEST_F(ModuleTexts, EveryStringReadsBackAsBuilt) {
    InstallLaterRelease();
    const LaterTexts texts = BuildLaterTexts();
    ASSERT_EQ(texts.error, "");
    for (const LaterString& s : texts.strings) EXPECT_EQ(ResourceString(s.id), s.text) << s.id;
    EXPECT_EQ(GroupStringId(9, 137), 4057u);
    EXPECT_STREQ(GroupText(8, 48), "");
}

TEST_F(ModuleTexts, SharedItemsAndNounsAsFigmantleShowsThem) {
    std::string shared[kStringGroupCount][256];
    for (int32_t g = 0; g < kStringGroupCount; ++g) {
        for (int32_t i = 0; i < StringGroupItemCount(g) && i < 256; ++i) shared[g][i] = GroupText(g, i);
    }
    std::string nouns[kLastNounKind + 1][3];
    for (int32_t k = kFirstNounKind; k <= kLastNounKind; ++k) {
        for (int32_t f = 0; f < 3; ++f) nouns[k][f] = KindNoun(k, KindNounForm(f));
    }
    InstallLaterRelease();
    for (int32_t g = 0; g < kStringGroupCount; ++g) {
        if (g == kGroupKindNouns || g == kGroupAbout) continue;
        for (int32_t i = 0; i < StringGroupItemCount(g) && i < 256; ++i) {
            // Help topics point into the compiled help file instead.
            char expected[512];
            ASSERT_TRUE(CompiledHelpTarget(shared[g][i].c_str(), expected, sizeof expected));
            const bool help = g == kGroupHelpTargets || g == kGroupHelpMenu;
            EXPECT_EQ(GroupText(g, i), help ? std::string(expected) : AsFiglateText(g, shared[g][i])) << g << " " << i;
        }
    }
    PrepareKindNounTable();
    for (int32_t k = kFirstNounKind; k <= kLastNounKind; ++k) {
        char noun[255];
        GetKindNoun255(k, 0, 0, noun);
        EXPECT_EQ(noun, nouns[k][0]) << k;
        GetKindNoun255(k, 1, 0, noun);
        EXPECT_EQ(noun, nouns[k][1]) << k;
        GetKindNoun255(k, 0, 1, noun);
        EXPECT_EQ(noun, nouns[k][2]) << k;
    }
    // Back to figmantle's texts once the forms are reset.
    ResetLaterForms();
    EXPECT_STREQ(GroupText(kGroupMenuItems, kLaterItemSaveAsHtml), "");
}

}  // namespace
