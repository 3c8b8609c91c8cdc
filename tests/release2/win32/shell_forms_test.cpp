// figlate's shortcuts, help folder, link opening and shell registration, with shortcuts
// and registry keys the tests make themselves.
#include "release2/shell/win32/shell_forms.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/core/memory.h"
#include "engine/core/services/later_release.h"
#include "release2/install.h"
#include "release2/text/kind_nouns.h"
#include "release2/text/string_resources.h"

namespace {

std::string TempFolder() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "figlinks" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

bool MakeShortcut(const std::string& link, const std::string& target) {
    CoInitialize(nullptr);
    IShellLinkA* shell = nullptr;
    bool made = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shell)))) {
        IPersistFile* file = nullptr;
        shell->SetPath(target.c_str());
        if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
            made = SUCCEEDED(file->Save(wide, TRUE));
            file->Release();
        }
        shell->Release();
    }
    CoUninitialize();
    return made;
}

void Touch(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
}

struct Shortcuts : ::testing::Test {
    void SetUp() override {
        root_ = TempFolder();
        CreateDirectoryA((root_ + "real").c_str(), nullptr);
        CreateDirectoryA((root_ + "real\\help").c_str(), nullptr);
        Touch(root_ + "real\\help\\page.htm");
        Touch(root_ + "real\\doc.yrn");
        ASSERT_TRUE(MakeShortcut(root_ + "alias.lnk", root_ + "real"));
        ASSERT_TRUE(MakeShortcut(root_ + "real\\Doc.YRN.LNK", root_ + "real\\doc.yrn"));
    }
    void TearDown() override {
        for (const char* file : { "real\\help\\page.htm", "real\\doc.yrn", "alias.lnk", "real\\Doc.YRN.LNK" })
            DeleteFileA((root_ + file).c_str());
        RemoveDirectoryA((root_ + "real\\help").c_str());
        RemoveDirectoryA((root_ + "real").c_str());
        RemoveDirectoryA(root_.c_str());
    }
    std::string root_;
};

TEST_F(Shortcuts, AShortcutGivesItsTarget) {
    char target[release2::kShortcutPathChars] = "";
    ASSERT_TRUE(release2::ResolveShortcut((root_ + "alias.lnk").c_str(), target));
    EXPECT_EQ(lstrcmpiA(target, (root_ + "real").c_str()), 0) << target;
    EXPECT_FALSE(release2::ResolveShortcut((root_ + "none.lnk").c_str(), target));
    // A file that is no shortcut.
    EXPECT_FALSE(release2::ResolveShortcut((root_ + "real\\doc.yrn").c_str(), target));
}

TEST_F(Shortcuts, MissingFoldersAreReplacedComponentByComponent) {
    struct Case { std::string in; bool ok; std::string out; };
    const Case cases[] = {
        // Existing folders stay as they are.
        { root_ + "real\\help\\page.htm", true, root_ + "real\\help\\page.htm" },
        // "alias" is no folder: alias.lnk takes its place, with a backslash after it.
        { root_ + "alias\\help\\page.htm", true, root_ + "real\\help\\page.htm" },
        { root_ + "alias/help/", true, root_ + "real\\help/" },
        // A ".lnk" name is resolved once more.
        { root_ + "alias\\Doc.YRN.LNK", true, root_ + "real\\doc.yrn" },
        // A missing folder without its shortcut.
        { root_ + "gone\\help\\page.htm", false, "" },
    };
    for (const Case& c : cases) {
        char out[release2::kShortcutPathChars] = "";
        EXPECT_EQ(release2::ResolveFolderShortcut(c.in.c_str(), out), c.ok) << c.in;
        if (c.ok) {
            EXPECT_EQ(lstrcmpiA(out, c.out.c_str()), 0) << c.in << " gave " << out;
        }
    }
}

TEST_F(Shortcuts, APathPastTheBufferIsSkipped) {
    // The shortcut's target with the rest of the path would pass 260 characters.
    const std::string rest(260 - (root_ + "real\\").size(), 'n');
    char out[release2::kShortcutPathChars] = "";
    EXPECT_FALSE(release2::ResolveFolderShortcut((root_ + "alias\\" + rest).c_str(), out));
    const std::string longer(300, 'p');
    EXPECT_FALSE(release2::ResolveFolderShortcut(longer.c_str(), out));
}

struct LaterShell : ::testing::Test {
    void TearDown() override {
        release2::ForgetHelpFolder();
        ResetLaterForms();
        ResetKindNouns();
        SetStringResourceSource({});
    }
};

TEST_F(LaterShell, FileAddressesClimbingAboveTheirStartAreRefused) {
    // Refused before the shell is asked.
    EXPECT_FALSE(release2::ShellOpenTarget("file:///C:/../../x.htm"));
    EXPECT_FALSE(release2::ShellOpenTarget("file:///C:/a/no such file.htm"));
    EXPECT_FALSE(release2::ShellOpenTarget(nullptr));
}

// The help folder beside the program as a shortcut: the address is figlate's prefix and
// the shortcut's target, no second scheme.
TEST_F(LaterShell, TheHelpFolderThroughAShortcut) {
    InstallLaterRelease();
    const std::string program = release2::GetProgramFolder();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), '\\');
    const std::string target = TempFolder();
    const std::string link = program + "Velmora Help.lnk";
    ASSERT_EQ(GetFileAttributesA((program + "Velmora Help").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(MakeShortcut(link, target.substr(0, target.size() - 1)));
    char* address = LaterForms().shell.helpFolderAddress();
    DeleteFileA(link.c_str());
    RemoveDirectoryA(target.c_str());
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(lstrcmpiA(address, ("ms-its:" + target).c_str()), 0) << address;
    FreeMemory(address);
}

// Keys that exist get their values; keys that do not are never made.
TEST_F(LaterShell, RegistrationOpensKeysAndNeverCreatesThem) {
    const std::string type = "FigTest" + std::to_string(GetCurrentProcessId()) + ".Document";
    const std::string templateText = "\nSketch\nSketch\nDocs (*.yrn)\n.yrn\n" + type + "\nName";
    const std::string application = type + "\\shell\\open\\ddeexec\\Application";
    // What ".yrn" holds now is put back after.
    char before[256] = "";
    LONG beforeSize = sizeof before;
    const bool hadExtension = RegQueryValueA(HKEY_CLASSES_ROOT, ".yrn", before, &beforeSize) == ERROR_SUCCESS;
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".yrn");

    release2::RegisterDocumentType("FIGLATE", templateText.c_str());
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyA(HKEY_CLASSES_ROOT, application.c_str(), &key), ERROR_SUCCESS);
    EXPECT_NE(RegOpenKeyA(HKEY_CLASSES_ROOT, ".yrn", &key), ERROR_SUCCESS);

    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, application.c_str(), &key), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, ".yrn", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    release2::RegisterDocumentType("FIGLATE", templateText.c_str());
    char value[256] = "";
    LONG size = sizeof value;
    ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, application.c_str(), value, &size), ERROR_SUCCESS);
    EXPECT_STREQ(value, "FIGLATE");
    size = sizeof value;
    ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, ".yrn", value, &size), ERROR_SUCCESS);
    EXPECT_EQ(value, type);
    // Without the template's field the type is "Velmora.Document".
    release2::RegisterDocumentType("FIGLATE", "\nSketch");
    size = sizeof value;
    ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, ".yrn", value, &size), ERROR_SUCCESS);
    EXPECT_STREQ(value, "Velmora.Document");

    for (const std::string& k : { application, type + "\\shell\\open\\ddeexec", type + "\\shell\\open",
                                  type + "\\shell", type })
        RegDeleteKeyA(HKEY_CLASSES_ROOT, k.c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".yrn");
    if (hadExtension) RegSetValueA(HKEY_CLASSES_ROOT, ".yrn", REG_SZ, before, static_cast<DWORD>(std::strlen(before)));
}

}  // namespace
