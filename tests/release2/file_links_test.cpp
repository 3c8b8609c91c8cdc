// figlate's address and path rules: file addresses made canonical, the save dialog's
// names and types, the Help menu's end, the host's save commands, the help targets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "release2/shell/file_links.h"
#include "release2/text/later_texts.h"

namespace {

TEST(FileUrl, SegmentsOfOneAndTwoDotsGo) {
    struct Case { const char* in; int32_t rc; const char* out; };
    const Case cases[] = {
        { "file:///C:/a/b/../c",            0,   "file:///C:/a/c" },
        { "file:///C:/a/./b/./c.htm",       0,   "file:///C:/a/b/c.htm" },
        { "file:///C:/a/b/c/../../d",       0,   "file:///C:/a/d" },
        { "file:///C:/a/b/..",              0,   "file:///C:/a/" },
        { "file:///C:\\docs\\kites\\../x.htm", 0, "file:///C:\\docs\\x.htm" },
        // Doubled slashes start no segment; a ".." after them climbs over the empty one.
        { "file:///C:/a//b",                0,   "file:///C:/a//b" },
        { "file:///C:/a//../b",             0,   "file:///C:/a/b" },
        { "file:///C:/a/b",                 0,   "file:///C:/a/b" },
        { "file://",                        0,   "file://" },
        { "file:///a/..",                   0,   "file:///" },
        // Climbing above the start: 403, the text as far as the pass got.
        { "file:///..",                     403, "file:///" },
        { "file:///a/../../b",              403, "file:///" },
        { "file:///C:/a/../../../x",        403, "file:///" },
    };
    for (const Case& c : cases) {
        std::string text = c.in;
        EXPECT_EQ(NormalizeFileUrl(text.data()), c.rc) << c.in;
        EXPECT_STREQ(text.c_str(), c.out) << c.in;
    }
}

TEST(SaveNames, StripAndReplace) {
    struct Strip { const char* in; int32_t rc; const char* out; };
    const Strip strips[] = {
        { "C:\\prog\\figlate.exe", 92, "C:\\prog\\" },
        { "figlate.exe",           92, "figlate.exe" },
        { "C:\\",                  92, "C:\\" },
        { "",                      0,  "" },
    };
    for (const Strip& c : strips) {
        char text[64];
        std::snprintf(text, sizeof text, "%s", c.in);
        EXPECT_EQ(StripFileName(text), c.rc) << c.in;
        EXPECT_STREQ(text, c.out) << c.in;
    }
    struct Replace { const char* in; const char* extension; const char* out; };
    const Replace replaces[] = {
        { "C:\\docs\\kite.yrn",    "htm", "C:\\docs\\kite.htm" },
        { "kite.old.yrn",          "yr4", "kite.old.yr4" },
        // Only a dot in the file name counts.
        { "C:\\my.docs\\kite",     "htm", "C:\\my.docs\\kite" },
        { "C:/my.docs/kite",       "htm", "C:/my.docs/kite" },
        { "kite.",                 "wmf", "kite.wmf" },
    };
    for (const Replace& c : replaces) {
        char text[64];
        std::snprintf(text, sizeof text, "%s", c.in);
        EXPECT_TRUE(ReplaceExtension(text, sizeof text, c.extension)) << c.in;
        EXPECT_STREQ(text, c.out) << c.in;
    }
    // A result that does not fit leaves the text alone.
    char small[8] = "ab.c";
    EXPECT_FALSE(ReplaceExtension(small, sizeof small, "htmlx"));
    EXPECT_STREQ(small, "ab.c");
}

TEST(SaveNames, TypeFromFilterAndName) {
    struct Case { int32_t filter; const char* name; int32_t type; };
    const Case cases[] = {
        { 1, "C:\\a\\kite.yrn", 0 }, { 2, "C:\\a\\kite", 1 },     { 3, "kite", 2 },
        { 4, "kite", 3 },            { 5, "kite", 4 },            { 9, "kite", 0 },
        { 1, "kite.WMF", 4 },        { 1, "kite.emf", 3 },        { 1, "page.html", 2 },
        { 4, "kite.yr4", 1 },        // the name's extension overrules the filter
        { 5, "C:\\my.htm\\kite", 4 }, // a dot in a folder is no extension
    };
    for (const Case& c : cases) EXPECT_EQ(ChosenLaterSaveType(c.filter, c.name), c.type) << c.filter << c.name;
    EXPECT_STREQ(SaveTypeExtension(2), "htm");
    EXPECT_STREQ(SaveTypeExtension(1), "yr4");
}

TEST(HelpMenu, EndsAtEmptyOneBlankOrPast63) {
    EXPECT_FALSE(HelpMenuEndsAt("&Contents", 0));
    EXPECT_FALSE(HelpMenuEndsAt("-", 2));
    EXPECT_FALSE(HelpMenuEndsAt("  ", 5));  // two blanks are a text
    EXPECT_FALSE(HelpMenuEndsAt("x", 63));
    EXPECT_TRUE(HelpMenuEndsAt("x", 64));
    EXPECT_TRUE(HelpMenuEndsAt("", 1));
    EXPECT_TRUE(HelpMenuEndsAt(" ", 1));
    EXPECT_TRUE(HelpMenuEndsAt(nullptr, 1));
}

TEST(HostSave, ArgumentsSendTheirCommands) {
    struct Case { int32_t argument; uint32_t command; };
    // 17 and 18, the Save and Save As rows' arguments, save rather than sending commands
    // 17 and 18, which nothing answers.
    const Case cases[] = {
        { 0, 57603 }, { 1, 57604 }, { 2, 33902 }, { 17, 57603 }, { 18, 57604 }, { 57610, 57610 },
    };
    for (const Case& c : cases) EXPECT_EQ(HostSaveCommandFor(c.argument), c.command) << c.argument;
}

TEST(RealToInt, TowardZeroAndSaturating) {
    struct Case { double in; int64_t out; };
    const Case cases[] = {
        { 2.9, 2 }, { -2.9, -2 }, { 0.0, 0 }, { 4294967296.5, 4294967296LL },
        { 1e300, INT64_MAX }, { -1e300, INT64_MIN }, { 9223372036854775808.0, INT64_MAX },
    };
    for (const Case& c : cases) EXPECT_EQ(TruncateRealToInt(c.in), c.out) << c.in;
    EXPECT_EQ(TruncateRealToInt(std::nan("")), 0);
}

TEST(ShellRegistration, TypeIdentifierIsTheTemplatesField) {
    char type[64];
    ASSERT_TRUE(DocumentTypeIdentifier("\nSketch\nSketch\nVelmora Document (*.yrn)\n.yrn\nKite.Document\nKite", type,
                                       sizeof type));
    EXPECT_STREQ(type, "Kite.Document");
    for (const char* missing : { "\nSketch\nSketch\nVelmora Document (*.yrn)\n.yrn", "\n\n\n\n\n\nName", "" }) {
        ASSERT_TRUE(DocumentTypeIdentifier(missing, type, sizeof type));
        EXPECT_STREQ(type, "Velmora.Document") << missing;
    }
    char tiny[4];
    EXPECT_FALSE(DocumentTypeIdentifier("\n\n\n\n\nLonger", tiny, sizeof tiny));
}

TEST(HelpTargets, TopicsPointIntoTheCompiledHelpFile) {
    char out[128];
    ASSERT_TRUE(CompiledHelpTarget("help://hContents.htm", out, sizeof out));
    EXPECT_STREQ(out, "help://Velmora.chm::/hContents.htm");
    ASSERT_TRUE(CompiledHelpTarget("&Contents", out, sizeof out));
    EXPECT_STREQ(out, "&Contents");
    ASSERT_TRUE(CompiledHelpTarget("help://Velmora.chm::/hA.htm", out, sizeof out));
    EXPECT_STREQ(out, "help://Velmora.chm::/hA.htm");
    EXPECT_FALSE(CompiledHelpTarget("help://hContents.htm", out, 20));

    // figlate's resources: the address prefix, and every help menu target rewritten.
    const LaterTexts texts = BuildLaterTexts();
    ASSERT_EQ(texts.error, "");
    bool prefix = false, contents = false;
    for (const LaterString& s : texts.strings) {
        if (s.id == 1383) prefix = s.text == "ms-its:";
        if (s.text == "help://Velmora.chm::/hContents.htm") contents = true;
        EXPECT_EQ(s.text.find("help://h"), std::string::npos) << s.id;
    }
    EXPECT_TRUE(prefix);
    EXPECT_TRUE(contents);
}

}  // namespace
