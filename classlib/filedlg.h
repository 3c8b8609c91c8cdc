// The common Open and Save As dialogs in the Explorer style, with a hook through
// which the dialog object checks names and follows the file type.
#pragma once

#include "classlib/dialog.h"

#include <vector>

class CFileDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    // filter: pairs of "description|patterns|", patterns separated by ';'.
    explicit CFileDialog(bool openDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                         CWnd* parent = nullptr);

    OPENFILENAMEA m_ofn;
    bool m_bOpenFileDialog;

    // IDOK or IDCANCEL.
    virtual INT_PTR DoModal();

    void SetFilter(const char* filter);
    void SetDefaultExt(const char* ext);
    void SetTitle(const char* title);
    void SetFileName(const char* name);

    // The chosen name; while the dialog is open, the name it shows.
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    CString GetFolderPath() const;
    // Several chosen files (OFN_ALLOWMULTISELECT): each full path in turn.
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;
    void SetControlText(int id, const char* text);
    // The dialog window (the hook's parent) while the dialog is open.
    HWND GetDialogWindow() const { return m_hWnd; }

protected:
    // true refuses the name: the dialog stays open.
    virtual bool OnFileNameOK();
    virtual void OnInitDone();
    virtual void OnFileNameChange();
    virtual void OnFolderChange();
    virtual void OnTypeChange();

private:
    static UINT_PTR CALLBACK HookProc(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);

    CWnd* parent_;
    std::vector<char> fileBuffer_;
    std::vector<char> filter_;
    char fileTitle_[MAX_PATH];
    CString title_;
    CString defaultExt_;
    HWND hook_ = nullptr;
};
