// figlate's texts by string group and item, in memory as the build writes them, against
// the engine's own texts that figmantle shows.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/memory.h"
#include "engine/core/services/string_groups.h"
#include "engine/text/string_groups.h"
#include "release2/shell/file_links.h"
#include "release2/text/about_pages.h"
#include "release2/text/typed_caret_args.h"
#include "later_text_source.h"
#include "shared_text_forms.h"
#include "ui/portable/credit_texts.h"

namespace {

TEST(LaterTexts, BuildWithoutError) {
    const LaterTexts& texts = MemoryLaterTexts();
    EXPECT_EQ(texts.error, "");
    ASSERT_EQ(texts.groupTable.size(), 49u);
    EXPECT_EQ(texts.groupTable[0], 24);
    for (int32_t g = 0; g < kLaterTextGroupCount; ++g) EXPECT_EQ(LaterTextGroups[g].first % 16, 0) << g;
}

TEST(LaterTexts, StringIdsOfGroupItems) {
    LaterTextsInstalled later;
    struct Case { int32_t group, item; uint32_t id; };
    const Case cases[] = {
        { 9, 137, 4057 }, { 0, 0, 3072 }, { 23, 4, 5028 }, { 1, 199, 3447 },
        { 8, 48, 0 },  // past the group's last id: group 9 starts there
        { 23, 5, 0 }, { 24, 0, 0 }, { -1, 0, 0 }, { 3, -1, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.group << " " << c.item);
        EXPECT_EQ(GroupStringId(c.group, c.item), c.id);
    }
    // A group item past its last id reads "" rather than the next group's first text.
    EXPECT_STREQ(ResourceString(3920), "Split/Merge");
    EXPECT_STREQ(GroupText(8, 48), "");
}

TEST(LaterTexts, SharedItemsReadAsTheEngineHasThem) {
    std::string engine[kStringGroupCount][256];
    for (int32_t g = 0; g < kStringGroupCount; ++g) {
        for (int32_t i = 0; i < StringGroupItemCount(g) && i < 256; ++i) engine[g][i] = GroupText(g, i);
    }
    LaterTextsInstalled later;
    for (int32_t g = 0; g < kStringGroupCount; ++g) {
        if (g == kGroupKindNouns || g == kGroupAbout) continue;  // repacked
        for (int32_t i = 0; i < StringGroupItemCount(g) && i < 256; ++i) {
            // Help topics point into the compiled help file instead.
            char expected[512];
            ASSERT_TRUE(CompiledHelpTarget(engine[g][i].c_str(), expected, sizeof expected));
            const bool help = g == kGroupHelpTargets || g == kGroupHelpMenu;
            EXPECT_EQ(GroupText(g, i), help ? std::string(expected) : AsFiglateText(g, engine[g][i])) << g << " " << i;
        }
    }
    EXPECT_STREQ(GroupText(kGroupHelpMenu, 1), "help://Velmora.chm::/hContents.htm");
    EXPECT_STREQ(GroupText(kGroupMenuItems, 44), "Loc&us");
    EXPECT_STREQ(GroupText(kGroupMenuItems, kLaterItemSaveAsHtml), "Save &As HTML...");
    EXPECT_STREQ(GroupText(kGroupAlerts, 137), "That table's columns do not contain plottable numeric data.");
    EXPECT_STREQ(ResourceString(1428), "When Speed Permits");
}

TEST(LaterTexts, GroupTextPointersStayValid) {
    LaterTextsInstalled later;
    const char* locus = GroupText(kGroupMenuItems, 44);
    for (int32_t g = 0; g < kStringGroupCount; ++g) {
        for (int32_t i = 0; i < 40; ++i) GroupText(g, i);
    }
    EXPECT_EQ(GroupText(kGroupMenuItems, 44), locus);
    EXPECT_STREQ(locus, "Loc&us");
}

TEST(LaterTexts, NoMemoryToKeepATextGivesEmptyUntilThereIs) {
    LaterTextsInstalled later;
    SetAllocFailureAfter(1);
    EXPECT_STREQ(GroupText(kGroupMenuItems, 44), "");
    SetAllocFailureAfter(0);
    const char* locus = GroupText(kGroupMenuItems, 44);
    EXPECT_STREQ(locus, "Loc&us");
    SetAllocFailureAfter(1, true);
    EXPECT_EQ(GroupText(kGroupMenuItems, 44), locus);  // kept: no allocation now
    char noun[16];
    GetKindNoun(14, 0, 1, noun, sizeof noun);           // the cache needs no memory either
    EXPECT_STREQ(noun, "a segment");
    EXPECT_STREQ(KindNoun(14, kNounWithArticle), "");
    SetAllocFailureAfter(0);
    EXPECT_STREQ(KindNoun(14, kNounWithArticle), "a segment");
}

TEST(LaterTexts, NounsMatchTheSharedOnes) {
    std::string shared[kLastNounKind + 1][3];
    for (int32_t k = kFirstNounKind; k <= kLastNounKind; ++k) {
        for (int32_t f = 0; f < 3; ++f) shared[k][f] = KindNoun(k, KindNounForm(f));
    }
    LaterTextsInstalled later;
    // Stored item numbers (undo names keep one) read the same noun in both programs.
    for (int32_t k = kFirstNounKind; k <= kLastNounKind; ++k) {
        for (int32_t f = 0; f < 3; ++f) EXPECT_EQ(KindNounOfItem(KindNounItem(k, KindNounForm(f))), shared[k][f]);
    }
    char copied[8];
    GetKindNounString(14, kNounPlural, copied, sizeof copied);
    EXPECT_STREQ(copied, "Segment");
    PrepareKindNounTable();
    for (int32_t k = kFirstNounKind; k <= kLastNounKind; ++k) {
        SCOPED_TRACE(k);
        char noun[255];
        GetKindNoun255(k, 0, 0, noun);
        EXPECT_EQ(noun, shared[k][kNounSingular]);
        GetKindNoun255(k, 1, 0, noun);
        EXPECT_EQ(noun, shared[k][kNounPlural]);
        GetKindNoun255(k, 0, 1, noun);
        EXPECT_EQ(noun, shared[k][kNounWithArticle]);
        // The shared callers reach the same through KindNoun.
        EXPECT_EQ(KindNoun(k, kNounWithArticle), shared[k][kNounWithArticle]);
    }
    EXPECT_STREQ(GroupText(kGroupKindNouns, 2 * (14 - 1)), "Segment|a segment");
}

TEST(LaterTexts, NounEdges) {
    LaterTextsInstalled later;
    char noun[255] = "x";
    GetKindNoun255(0, 0, 0, noun);
    EXPECT_STREQ(noun, "");
    GetKindNoun255(75, 1, 0, noun);
    EXPECT_STREQ(noun, "");
    // A plural has one form: form 1 gives the whole plural.
    GetKindNoun255(14, 1, 1, noun);
    EXPECT_STREQ(noun, "Segments");
    // Cut to size - 1, first from the texts, then from the cache.
    char small[4];
    GetKindNoun(14, 0, 1, small, sizeof small);
    EXPECT_STREQ(small, "a s");
    GetKindNoun(14, 0, 1, small, sizeof small);
    EXPECT_STREQ(small, "a s");
    GetKindNoun255(14, 0, 1, noun);
    EXPECT_STREQ(noun, "a segment");
    // Forms past the kept six split at run time.
    GetKindNoun255(14, 0, 7, noun);
    EXPECT_STREQ(noun, "Segment");
}

TEST(LaterTexts, SplitNounField) {
    struct Case { const char* text; int32_t n; bool found; uint16_t offset, length; };
    const Case cases[] = {
        { "Point|a point", 0, true, 0, 5 }, { "Point|a point", 1, true, 6, 7 }, { "Point|a point", 2, false, 0, 5 },
        { "Points", 1, false, 0, 6 },       { "", 0, true, 0, 0 },              { "a||c", 2, true, 3, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " " << c.n);
        NounField field{};
        EXPECT_EQ(SplitNounField(c.text, c.n, &field, '|'), c.found);
        EXPECT_EQ(field.offset, c.offset);
        EXPECT_EQ(field.length, c.length);
    }
}

TEST(LaterTexts, TypedCaretArguments) {
    LaterTextsInstalled later;
    const CaretArg args[] = {
        { kCaretArgKindNoun, 14, 0, nullptr, nullptr },
        { kCaretArgText, 0, 0, "P1", nullptr },
        { kCaretArgGroupText, kGroupMenuItems, 44, nullptr, nullptr },
        { 9, 0, 0, "unknown kind", nullptr },
    };
    struct Case { const char* source; uint32_t size; const char* out; };
    const Case cases[] = {
        { "Move ^A|b ^B.", 64, "Move a segment P1." },
        { "^A and ^C", 64, "Segment and Loc&us" },
        { "[^D^E^Z]", 64, "[]" },                    // unknown kind, arguments not passed
        { "Name ^B", 8, "Name P1" },                 // fits exactly
        { "Name ^B!", 8, "Name !" },                 // the argument does not fit: dropped
        { "A long literal text", 8, "A long " },     // never past size - 1
        { "^A|", 64, "Segment|" },                   // a separator without a letter stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        char out[80];
        std::memset(out, '#', sizeof out);
        SubstituteCaretArgs(c.source, out, args, 4, c.size);
        EXPECT_STREQ(out, c.out);
        EXPECT_EQ(out[c.size], '#');
    }
    char out[16];
    EXPECT_EQ(SubstituteCaretArgs("ab^Bcd", out, args, 4, sizeof out), 3u);  // "cd" and its NUL
}

TEST(LaterTexts, AboutPagesAreTheCreditPages) {
    LaterTextsInstalled later;
    for (int32_t page = 0; page < kCreditTextPages; ++page) EXPECT_STREQ(AboutPageText(page), CreditPageText(page));
    EXPECT_EQ(AboutPageText(4), nullptr);
    EXPECT_EQ(AboutPageText(-1), nullptr);
}

}  // namespace
