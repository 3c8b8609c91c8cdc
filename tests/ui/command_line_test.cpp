#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/app/command_line_options.h"

namespace {
struct Arg {
    const char* text;
    bool isSwitch;
};
void Parse(CommandLineOptions& options, const std::vector<Arg>& args) {
    for (size_t i = 0; i < args.size(); ++i) options.ParseParam(args[i].text, args[i].isSwitch, i + 1 == args.size());
}
}  // namespace

TEST(CommandLineOptions, ValuesAfterToolFolderAndPreferencesAreConsumed) {
    CommandLineOptions options;
    Parse(options, { { "t", true }, { "Tools", false }, { "pref", true }, { "C:\\p.dat", false },
                     { "doc.yrn", false } });
    CString value;
    ASSERT_TRUE(options.Lookup("t", value));
    EXPECT_STREQ(value.c_str(), "Tools");
    ASSERT_TRUE(options.Lookup("pref", value));
    EXPECT_STREQ(value.c_str(), "C:\\p.dat");
    EXPECT_STREQ(options.m_strFileName.c_str(), "doc.yrn");
    EXPECT_EQ(options.m_nShellCommand, CCommandLineInfo::FileOpen);
}

TEST(CommandLineOptions, ADocumentAfterMaximiseIsStillOpened) {
    CommandLineOptions options;
    Parse(options, { { "ma", true }, { "triangle.yrn", false } });
    CString value;
    ASSERT_TRUE(options.Lookup("ma", value));
    EXPECT_STREQ(value.c_str(), "triangle.yrn");
    EXPECT_STREQ(options.m_strFileName.c_str(), "triangle.yrn");
}

TEST(CommandLineOptions, SwitchesAloneAreTrueAndNamesAreCaseSensitive) {
    CommandLineOptions options;
    Parse(options, { { "md", true } });
    CString value;
    ASSERT_TRUE(options.Lookup("md", value));
    EXPECT_STREQ(value.c_str(), "TRUE");
    EXPECT_FALSE(options.Lookup("MD", value));
    EXPECT_FALSE(options.Lookup("t", value));
    EXPECT_TRUE(options.m_strFileName.IsEmpty());
}

TEST(CommandLineOptions, ToolFolderGetsABackslashOnlyWhenItHasNone) {
    EXPECT_STREQ(ToolFolderFromOption("Tools").c_str(), "Tools\\");
    EXPECT_STREQ(ToolFolderFromOption("C:\\My Tools").c_str(), "C:\\My Tools");
    EXPECT_STREQ(ToolFolderFromOption("C:\\My Tools\\").c_str(), "C:\\My Tools\\");
}
