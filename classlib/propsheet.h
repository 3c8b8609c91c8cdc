// Property sheets and their pages. A modal sheet runs as a modeless sheet inside the
// library's own modal loop, so that it gets WM_KICKIDLE while it waits like any dialog;
// the loop ends when the sheet has no current page any more (after OK or Cancel).
#pragma once

#include <vector>

#include "classlib/dialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog {
    DECLARE_DYNCREATE(CPropertyPage)
public:
    CPropertyPage();
    explicit CPropertyPage(UINT templateId, UINT captionId = 0);

    PROPSHEETPAGEA m_psp;

    // The first activation loads the controls (initialisation); later ones reload them.
    virtual bool OnSetActive();
    // Leaving the page saves it; false keeps the page (and the sheet) where it is.
    virtual bool OnKillActive();
    virtual bool OnApply();
    virtual void OnReset();
    virtual bool OnQueryCancel();
    void OnOK() override {}
    void OnCancel() override {}

    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // A page's keys belong to its sheet (Tab crosses pages, Enter presses OK).
    bool PreTranslateMessage(MSG*) override { return false; }

    CPropertySheet* GetSheet() const { return sheet_; }
    void SetModified(bool changed = true);

private:
    friend class CPropertySheet;
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    CPropertySheet* sheet_ = nullptr;
    bool firstActivation_ = true;
    CString caption_;
};

class CPropertySheet : public CWnd {
    DECLARE_DYNAMIC(CPropertySheet)
public:
    explicit CPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT startPage = 0);
    explicit CPropertySheet(const char* caption, CWnd* parent = nullptr, UINT startPage = 0);
    ~CPropertySheet() override;

    PROPSHEETHEADERA m_psh;

    virtual INT_PTR DoModal();
    // Modeless sheet; shown at once.
    bool Create(CWnd* parent = nullptr, DWORD style = DWORD(-1), DWORD exStyle = 0);

    // Pages may be added and removed while the sheet is open.
    void AddPage(CPropertyPage* page);
    void RemovePage(CPropertyPage* page);
    void RemovePage(int index);
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    CPropertyPage* GetPage(int index) const { return pages_[static_cast<size_t>(index)]; }
    int GetPageIndex(const CPropertyPage* page) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    bool SetActivePage(int index);
    bool SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }
    void SetTitle(const char* title);
    // The sheet's modal result: IDOK once its pages applied, else IDCANCEL.
    int Result() const { return applied_ ? IDOK : IDCANCEL; }

    bool ContinueModal() override;
    bool PreTranslateMessage(MSG* msg) override;

    virtual bool OnInitDialog();

protected:
    LRESULT HandleInitDialog(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    friend class CPropertyPage;
    bool BuildHeader(std::vector<HPROPSHEETPAGE>* handles);
    std::vector<CPropertyPage*> pages_;
    CWnd* parent_ = nullptr;
    CString caption_;
    bool applied_ = false;
};
