// The program's Open and Save As dialog: an open dialog completes a name typed without an
// extension from the chosen file type and checks existence itself; a save dialog follows
// the chosen type in the name it proposes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "classlib/filedlg.h"

// Posted to the dialog after a name that must exist was refused: the dialog validated
// again with the must-exist flag and showed its own message; the flag goes out again.
constexpr UINT kMustExistRoundDone = 0x8500;
// The file-name box: an edit control in the classic dialog, a combo box in Wine's.
constexpr int kFileNameEdit = 1152;
constexpr int kFileNameCombo = 1148;
// The file-type combo box.
constexpr int kFileTypeCombo = 1136;

// The save type a save dialog's choice gives: the filter (1 native, 2 handheld, 3 web
// page), overruled by a name that contains ".yr4" or ".htm".
int32_t ChosenSaveType(int32_t filterIndex, const char* name);
// Whether the name has an extension: a dot after its last backslash.
bool NameHasExtension(const char* name);
// The extensions a filter's patterns offer to complete a name with: "*.yrn;*.yr4" gives
// ".yrn", ".yr4"; a pattern with another "*" after its first character ("*.*") none.
std::vector<std::string> CompletionExtensions(const char* patterns);
// The patterns of filter `index` (from 1) of a dialog filter (pairs of NUL-ended texts).
std::string FilterPatterns(const char* filter, int32_t index);
// The name the box shows after the type changed: the title with the new pattern's
// extension ("*.htm" gives "title.htm").
std::string RetypedName(const char* title, const char* pattern);

class CYrnFileDialog : public CFileDialog {
    DECLARE_DYNAMIC(CYrnFileDialog)
public:
    explicit CYrnFileDialog(bool openDialog);

    INT_PTR DoModal() override;
    // The filter chosen in the dialog (from 1).
    int32_t CurrentFilterIndex() const;

    // The caller asked that the file must exist (taken out of the dialog's flags while
    // it runs, so that the name can be completed first).
    bool m_mustExist = false;

protected:
    bool OnFileNameOK() override;
    void OnTypeChange() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND FileNameBox() const;
    bool MultipleSelection() const;
    // The name the box showed when the type last changed: the proposed one at first.
    std::string shownName_;
    bool shownNameKnown_ = false;
};
