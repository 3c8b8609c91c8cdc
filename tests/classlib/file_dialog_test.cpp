#include <gtest/gtest.h>

#include "classlib/filedlg.h"

#include <cstring>
#include <string>
#include <vector>

// Refuses the first name it is given, then accepts.
class CheckingDialog : public CFileDialog {
public:
    using CFileDialog::CFileDialog;
    std::vector<std::string> checked;

protected:
    bool OnFileNameOK() override {
        checked.push_back(GetFileName().c_str());
        return checked.size() == 1;
    }
};

namespace {

// The test's hand on the dialog, driven from a thread timer while the dialog runs.
struct Driver {
    int step = 0;
    int ticks = 0;
    std::vector<std::string> names;
};
Driver driver;

BOOL CALLBACK FindDialogWindow(HWND hwnd, LPARAM data) {
    char cls[16];
    if (::GetClassNameA(hwnd, cls, sizeof cls) && std::string(cls) == "#32770" && ::IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(data) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindDialogWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindDialog();
    if (++driver.ticks > 400) {   // about 20 s: give up rather than hang
        if (dialog) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (!dialog || driver.step >= static_cast<int>(driver.names.size())) return;
    // Under this platform the name box is the combo box 1148.
    HWND name = ::GetDlgItem(dialog, 1148);
    if (!name) name = ::GetDlgItem(dialog, 1152);
    if (!name) return;
    ::SetWindowTextA(name, driver.names[static_cast<size_t>(driver.step)].c_str());
    ++driver.step;
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
}

TEST(FileDialog, NamesAreCheckedByTheHookAndARefusedNameKeepsItOpen) {
    char folder[MAX_PATH];
    ASSERT_NE(::GetTempPathA(sizeof folder, folder), 0u);
    CheckingDialog dialog(false, "yrn", nullptr, OFN_HIDEREADONLY, "Velmora Document (*.yrn)|*.yrn|All Files (*.*)|*.*|");
    dialog.m_ofn.lpstrInitialDir = folder;
    driver = Driver{};
    driver.names = { "refused.yrn", "accepted.yrn" };
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, DriveDialog);
    INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(dialog.checked, (std::vector<std::string>{ "refused.yrn", "accepted.yrn" }));
    EXPECT_EQ(dialog.GetFileName(), "accepted.yrn");
    EXPECT_EQ(dialog.GetFileExt(), "yrn");
    EXPECT_EQ(dialog.GetFileTitle(), "accepted");
    EXPECT_EQ(dialog.GetDialogWindow(), nullptr);   // let go of when the dialog ended
}

TEST(FileDialog, SeveralChosenFilesComeAsFullPaths) {
    CFileDialog dialog(true, nullptr, nullptr, OFN_ALLOWMULTISELECT);
    const char several[] = "C:\\dir\0a.yrn\0b.yr4\0";
    std::memcpy(dialog.m_ofn.lpstrFile, several, sizeof several);
    std::vector<std::string> paths;
    for (POSITION pos = dialog.GetStartPosition(); pos;) paths.push_back(dialog.GetNextPathName(pos).c_str());
    EXPECT_EQ(paths, (std::vector<std::string>{ "C:\\dir\\a.yrn", "C:\\dir\\b.yr4" }));

    const char one[] = "C:\\dir\\only.yrn\0";
    std::memcpy(dialog.m_ofn.lpstrFile, one, sizeof one);
    paths.clear();
    for (POSITION pos = dialog.GetStartPosition(); pos;) paths.push_back(dialog.GetNextPathName(pos).c_str());
    EXPECT_EQ(paths, (std::vector<std::string>{ "C:\\dir\\only.yrn" }));
}

}  // namespace
