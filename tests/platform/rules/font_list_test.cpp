#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "platform/rules/font_list.h"

namespace {

struct Face {
    const char* name;
    uint16_t    traits;
    int32_t     fontType;
};

std::string NumberedName(const char* prefix, int32_t n) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%d", prefix, static_cast<int>(n));
    return name;
}

InstalledFont Record(const Face& f) {
    InstalledFont font{};
    CopyFaceName(font.faceName, f.name);
    font.traits = f.traits;
    font.fontType = f.fontType;
    return font;
}

class FontListRules : public ::testing::Test {
protected:
    void TearDown() override { ReleaseFontList(&list_); }

    void Build(std::initializer_list<Face> faces) {
        ReleaseFontList(&list_);
        ASSERT_TRUE(StartFontList(&list_, 0));
        for (const Face& f : faces) ASSERT_TRUE(AddEnumeratedFont(&list_, Record(f)));
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int32_t i = 0; i < list_.size; ++i) names.emplace_back(list_.items[i].faceName);
        return names;
    }
    static std::vector<uint8_t> Spec(uint16_t traits, const char* name) {
        std::vector<uint8_t> stored = { static_cast<uint8_t>(traits), static_cast<uint8_t>(traits >> 8) };
        stored.insert(stored.end(), name, name + std::strlen(name) + 1);
        return stored;
    }
    int16_t NumberFor(uint16_t traits, const char* name) const {
        return FontNumberForSpec(list_, Spec(traits, name).data());
    }

    FontList list_{};
};

TEST_F(FontListRules, ListsEveryFaceOnceSortedByUnsignedBytes) {
    Build({ { "Zeta", 0, 4 }, { "alpha", 0, 4 }, { "Beta", 0, 4 }, { "\xC9lan", 0, 4 },
            { "Beta", 0, 4 }, { "", 0, 4 }, { "Alpha", 0, 4 } });
    EXPECT_EQ(Names(), (std::vector<std::string>{ "Zeta", "Alpha", "Beta", "Zeta", "alpha", "\xC9lan" }));
}

TEST_F(FontListRules, TrueTypeReplacesAnOlderRecordOfTheSameFaceOnly) {
    Build({ { "Courier", 1, 1 }, { "Courier", 2, 4 }, { "Courier", 3, 1 },
            { "Modern", 4, 4 }, { "Modern", 5, 4 } });
    ASSERT_EQ(list_.size, 3);
    EXPECT_EQ(list_.items[1].traits, 2);  // the TrueType record, kept against a later raster one
    EXPECT_EQ(list_.items[2].traits, 4);  // two TrueType records: the first stays
}

TEST_F(FontListRules, DefaultFaceIsArialElseSystemElseTheFirstFace) {
    struct Case { std::initializer_list<Face> faces; const char* first; };
    const Case cases[] = {
        { { { "Tahoma", 0, 4 }, { "Arial", 0, 4 }, { "System", 0, 1 } }, "Arial" },
        { { { "Tahoma", 0, 4 }, { "System", 0, 1 }, { "Verdana", 0, 4 } }, "System" },
        { { { "Tahoma", 0, 4 }, { "Verdana", 0, 4 } }, "Tahoma" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        Build(c.faces);
        EXPECT_STREQ(list_.items[0].faceName, c.first);
        EXPECT_GT(FindFontIndexIn(list_, c.first), 0);  // and it is listed in its sorted place
    }
}

TEST_F(FontListRules, AListThatCannotGrowKeepsWhatItHas) {
    Build({});
    std::vector<Face> faces;
    std::vector<std::string> names;
    for (int32_t i = 0; i < 70; ++i) names.push_back(NumberedName("Face", 100 + i));
    int32_t added = 0;
    SetAllocFailureAfter(1);
    bool ok = true;
    for (const std::string& n : names) {
        ok = AddEnumeratedFont(&list_, Record({ n.c_str(), 0, 4 }));
        if (!ok) break;
        ++added;
    }
    SetAllocFailureAfter(0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(list_.size, 1 + added);
    EXPECT_STREQ(list_.items[added].faceName, names[added - 1].c_str());
}

TEST_F(FontListRules, FontNumbersOfStoredFaces) {
    // Element 0 is the default face Arial (script, to tell it from the later faces).
    Build({ { "Arial", kTraitScript, 4 }, { "Courier", kTraitFixedPitch, 4 },
            { "Georgia", kTraitRoman | kTraitBold, 4 }, { "Times", kTraitRoman, 4 },
            { "Zapf", kTraitItalic, 4 } });
    struct Case { uint16_t traits; const char* name; int16_t number; };
    const Case cases[] = {
        { 0, "arial", 1 },                                  // the default face wins over its later copy
        { 0, "TIMES", 5 },                                  // by name, ignoring case
        { kTraitFixedPitch, "Missing", 3 },                 // equal traits
        { kTraitScript, "Missing", 1 },                     // equal traits: element 0 first
        { kTraitRoman | kTraitLight, "Missing", 4 },        // roman repaired, weight not
        { kTraitRoman | kTraitItalic, "Missing", 6 },       // italic repaired, roman lost
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NumberFor(c.traits, c.name), c.number);
    }
    EXPECT_EQ(FontNumberForSpec(list_, nullptr), 1);
    FontList empty{};
    EXPECT_EQ(FontNumberForSpec(empty, Spec(0, "Arial").data()), 1);
}

TEST_F(FontListRules, BetterMatchRepairsAnyMismatchOfTheBest) {
    EXPECT_TRUE(IsBetterFontMatch(kTraitSymbol, kTraitRoman, kTraitSymbol | kTraitItalic));
    EXPECT_TRUE(IsBetterFontMatch(kTraitItalic, kTraitRoman, kTraitRoman | kTraitItalic));
    EXPECT_FALSE(IsBetterFontMatch(kTraitRoman, kTraitRoman, kTraitRoman | kTraitItalic));
    EXPECT_TRUE(IsBetterFontMatch(kTraitBold, kTraitLight, kTraitBold));    // weight repaired
    EXPECT_FALSE(IsBetterFontMatch(kTraitLight, kTraitBold, kTraitBold));   // weight already right
}

TEST_F(FontListRules, StoredIdentityOfAFontNumber) {
    Build({ { "Arial", 0x22, 4 }, { "Times", 0x1201, 4 } });
    uint8_t out[40];
    EXPECT_EQ(FontSpecOf(list_, out, 3), 10u);
    EXPECT_EQ(out[0], 0x01);
    EXPECT_EQ(out[1], 0x12);
    EXPECT_STREQ(reinterpret_cast<char*>(out + 2), "Times");
    EXPECT_EQ(FontSpecOf(list_, nullptr, -4), 10u);  // below 1: the default face
    EXPECT_EQ(FontSpecOf(list_, nullptr, 4), 0u);
    EXPECT_STREQ(FontForNumber(list_, 9).faceName, "Arial");
}

TEST_F(FontListRules, WidthOfNarrowAndWideStyles) {
    struct Case { int16_t field; int32_t average; int32_t width; };
    const Case cases[] = { { 0, 5, 0 }, { 1, 5, 0 }, { 2, 5, 4 }, { 3, 5, 6 }, { 7, 5, 6 }, { 2, 8, 6 } };
    for (const Case& c : cases) EXPECT_EQ(StyleFontWidth(c.field, c.average), c.width) << c.field;
}

TEST_F(FontListRules, FontMenuOffersAtMostAThousandFaces) {
    Build({ { "Arial", 0, 4 } });
    EXPECT_EQ(FontMenuItemCount(list_), 1);
    for (int32_t i = 0; i < 1100; ++i)
        ASSERT_TRUE(AddEnumeratedFont(&list_, Record({ NumberedName("F", 10000 + i).c_str(), 0, 4 })));
    EXPECT_EQ(FontMenuItemCount(list_), 1000);
    EXPECT_EQ(kFirstFontMenuId + FontMenuItemCount(list_) - 1, 33899u);
}

TEST(FontTraits, FromPitchCharsetWeightAndSlant) {
    struct Case { uint8_t pitch; uint8_t charset; int32_t weight; bool italic; uint16_t traits; };
    const Case cases[] = {
        { 0x12, 0, 400, false, kTraitRoman },
        { 0x42, 0, 700, true, kTraitScript | kTraitBold | kTraitItalic },
        { 0x31, 0, 300, false, kTraitFixedPitch | kTraitLight },
        { 0x11, 0, 0, false, kTraitRoman },  // roman before fixed pitch; weight 0 is neither
        { 0x52, 2, 400, false, kTraitSymbol },
    };
    for (const Case& c : cases) EXPECT_EQ(FontTraitsOf(c.pitch, c.charset, c.weight, c.italic), c.traits);
    EXPECT_EQ(CharsetForCodePage(1251), 204);
    EXPECT_EQ(CharsetForCodePage(1361), 130);
    EXPECT_EQ(CharsetForCodePage(437), 0);
}

class MathSymbolFont : public FontListRules {
protected:
    static inline int32_t asked = 0;
    static inline bool answer = false;
    static bool Ask() {
        ++asked;
        return answer;
    }
    MathSymbolChoice Choose(const char* preferred, bool yes) {
        asked = 0;
        answer = yes;
        return ChooseMathSymbolFontIn(&list_, preferred, "Symbol", Ask);
    }
};

TEST_F(MathSymbolFont, PrefersTheNamedFaceThenTheSymbolFallback) {
    Build({ { "Tahoma", 0x02, 4 }, { "Arial", 0x20, 4 }, { "Arial", 0x00, 1 },
            { "Symbol", kTraitSymbol, 4 }, { "Wingdings", kTraitSymbol, 4 } });
    MathSymbolChoice c = Choose("Wingdings", false);
    EXPECT_EQ(c.symbolFontIndex, 4);
    EXPECT_EQ(c.checkLater, -1);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(c.defaultFontIndex, 1);
    EXPECT_EQ(list_.items[0].traits, 0x20);  // element 0 takes the listed (TrueType) Arial

    c = Choose("Nothing Like It", false);
    EXPECT_EQ(c.symbolFontIndex, 2);
    EXPECT_EQ(asked, 0);
}

TEST_F(MathSymbolFont, AFaceWithoutTheSymbolTraitIsQuestioned) {
    Build({ { "Arial", 0, 4 }, { "Symbol", kTraitSymbol, 4 }, { "Times", kTraitRoman, 4 } });
    MathSymbolChoice c = Choose("Times", false);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(c.symbolFontIndex, 3);
    EXPECT_EQ(c.checkLater, -1);

    c = Choose("Times", true);
    EXPECT_EQ(c.symbolFontIndex, 2);
    EXPECT_EQ(c.checkLater, 0);
}

TEST_F(MathSymbolFont, NoSymbolFaceAtAllAsksForTheCheckLater) {
    // A "Symbol" face without the symbol charset is no fallback.
    Build({ { "Arial", 0, 4 }, { "Symbol", kTraitRoman, 4 } });
    const MathSymbolChoice c = Choose("Missing", true);
    EXPECT_EQ(c.symbolFontIndex, 0);
    EXPECT_EQ(c.checkLater, 1);
    EXPECT_EQ(asked, 0);
}

}  // namespace
