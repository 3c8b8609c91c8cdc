#include <gtest/gtest.h>

#include "ui/doc/document_rules.h"
#include "ui/frames/engine_commands.h"

TEST(OpenRules, FatalCodesByExtension) {
    struct Case { const char* path; ResultCode code; ResultCode shown; };
    const Case cases[] = {
        { "C:\\a\\old.yrs", 34, 38 },     { "C:\\a\\old.YRS", 34, 38 },
        { "C:\\a\\notes.txt", 34, 33 },   { "C:\\a.b\\noext", 34, 34 },
        { "C:\\a\\damaged.yrn", 35, 35 }, { "C:\\a\\Hand.YR4", 37, 37 },
        { "C:\\a\\x.yrx", 40, 40 },       { "C:\\a\\x.yrt", 34, 34 },
        { "C:\\a\\x.yrnx", 34, 33 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FatalCodeForExtension(c.path, c.code), c.shown);
    }
    EXPECT_TRUE(IsHandheldPath("C:\\a\\b.yr4"));
    EXPECT_FALSE(IsHandheldPath("C:\\a\\b.YR4"));
}

TEST(SaveRules, WebPagesAndTheirAppletArchive) {
    EXPECT_TRUE(IsWebPagePath("C:\\a\\b.htm"));
    EXPECT_TRUE(IsWebPagePath("C:\\a\\b.html"));
    EXPECT_FALSE(IsWebPagePath("C:\\a\\b.yrn"));
    EXPECT_STREQ(PathFileName("C:\\a\\page.htm"), "page.htm");
    EXPECT_STREQ(PathFileName("page.htm"), "page.htm");
    EXPECT_STREQ(AppletArchivePath("C:\\a\\page.htm").c_str(), "C:\\a\\zvt\\zvt4.jar");
    EXPECT_STREQ(AppletArchivePath("page.htm").c_str(), "zvt\\zvt4.jar");
    struct Case { ResultCode in, out; };
    for (const Case c : { Case{ 13, 15 }, Case{ 14, 16 }, Case{ 24, 24 }, Case{ 0, 0 } }) EXPECT_EQ(AppletResultWithoutArchive(c.in), c.out);
}

TEST(SaveRules, ProposedNameIsTheDocumentsTitle) {
    struct Case { const char* title; const char* extension; const char* name; };
    const Case cases[] = {
        { "Untitled 3", ".yrn", "Untitled 3.yrn" },
        { "Circle #2; 50%", ".yrn;.yr4", "Circle #2; 50%.yrn" },
        { "A/B", ".yrn", "A.yrn" },          // no file name holds a slash
        { "Plain", "", "Plain" },
        { "kite.YRN", ".yrn", "kite.YRN" },  // the extension is not doubled
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_STREQ(ProposedSaveName(c.title, c.extension).c_str(), c.name);
    }
}

TEST(WindowTitles, PagePartNamesThePageOrNumbersSeveral) {
    EXPECT_STREQ(PageTitleSuffix(nullptr, 0, 1).c_str(), "");
    EXPECT_STREQ(PageTitleSuffix("", 1, 2).c_str(), " - 2");
    EXPECT_STREQ(PageTitleSuffix("Proof", 0, 1).c_str(), " - Proof");
}

TEST(WindowTitles, RetitlingReplacesOnlyThePagePartItAdded) {
    // A document whose own name holds " - " keeps all of it.
    const CString first = RetitleWithPage("Draft - final", "", " - 1");
    EXPECT_STREQ(first.c_str(), "Draft - final - 1");
    const CString second = RetitleWithPage(first, " - 1", " - 2");
    EXPECT_STREQ(second.c_str(), "Draft - final - 2");
    // A named page replaces the number instead of adding to it.
    EXPECT_STREQ(RetitleWithPage(second, " - 2", " - Proof").c_str(), "Draft - final - Proof");
    // Text written afresh (the suffix no longer there) is kept whole.
    EXPECT_STREQ(RetitleWithPage("Notes - 2", "", " - 1").c_str(), "Notes - 2 - 1");
    EXPECT_STREQ(RetitleWithPage("Single", " - 3", "").c_str(), "Single");
}

TEST(EngineCommands, TheEngineRangeReachesTheEngineAsSlots) {
    struct Case { UINT id; UINT code; bool engine; uint32_t slot; };
    const Case cases[] = {
        { 0x9000, 0, true, 0 },     { 0xAFFF, 1, true, 0x1FFF },  { 0x9123, 1, true, 0x123 },
        { 0xB000, 0, false, 0 },    { 0x8FFF, 0, false, 0 },      { 0x9000, 2, false, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        uint32_t slot = 0xFFFF;
        EXPECT_EQ(EngineCommandSlot(MAKEWPARAM(c.id, c.code), &slot), c.engine);
        if (c.engine) {
            EXPECT_EQ(slot, c.slot);
        }
    }
}
