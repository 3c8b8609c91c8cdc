// Printing: the system's print dialog (also in its set-up form), the state of one print
// run that the view's print virtuals share, and the status window with its Cancel.
#pragma once

#include "classlib/dialog.h"
#include "classlib/str.h"

class CPrintDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CPrintDialog)
public:
    // printSetupOnly: the set-up form (choose a printer and its page), no print range.
    explicit CPrintDialog(bool printSetupOnly,
                          DWORD flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION,
                          CWnd* parent = nullptr);
    ~CPrintDialog() override;

    PRINTDLGA m_pd;

    // IDOK or IDCANCEL; on IDOK with PD_RETURNDC the printer's DC is in m_pd.hDC.
    INT_PTR DoModal() override;
    // The default printer without a dialog; false when there is none.
    bool GetDefaults();
    // A DC for the printer that m_pd's device names and mode describe (null when they
    // name none); the caller deletes it.
    HDC CreatePrinterDC();
    HDC GetPrinterDC() const { return m_pd.hDC; }

    CString GetDeviceName() const;
    CString GetDriverName() const;
    CString GetPortName() const;
    bool PrintToFile() const { return (m_pd.Flags & PD_PRINTTOFILE) != 0; }
    bool PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
    int GetFromPage() const { return m_pd.nFromPage; }
    int GetToPage() const { return m_pd.nToPage; }

    // The last extended error of the common dialogs after DoModal or GetDefaults.
    DWORD m_nLastError = 0;
};

// One print or preview run, handed to every print virtual of the view.
struct CPrintInfo {
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    CPrintDialog* m_pPD;
    bool m_bDirect = false;            // no dialog: the kept or default printer (or a named one)
    bool m_bPreview = false;
    bool m_bContinuePrinting = true;   // OnPrepareDC clears it to end the run before this page
    UINT m_nCurPage = 1;
    UINT m_nNumPreviewPages = 0;       // 0: the application's number
    CString m_strPageDesc;             // preview status text: "Page %u" and "Pages %u-%u"
    void* m_lpUserData = nullptr;
    RECT m_rectDraw{};                 // the printable area of the page, logical units

    void SetMinPage(UINT page) { m_pPD->m_pd.nMinPage = static_cast<WORD>(page); }
    void SetMaxPage(UINT page) { m_pPD->m_pd.nMaxPage = static_cast<WORD>(page); }
    UINT GetMinPage() const { return m_pPD->m_pd.nMinPage; }
    UINT GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }
    // The pages of the run: the dialog's range when one was chosen, else all of them.
    UINT GetFromPage() const;
    UINT GetToPage() const;
};

// The page count a run has before a view knows its own: printing goes on page by page
// until the view's OnPrepareDC says the document is done.
constexpr UINT kUnknownPageCount = 0xffff;

// The printer DC a direct print uses (the named printer of a shell print-to, else the
// application's kept or default printer); null when there is no printer.
HDC CreateDirectPrinterDC(CPrintDialog* dialog);
