// The print dialog, the application's printer, and a view's print run: the dialog or a
// direct printer, an output file when printing to a file, the status window, and the
// job with its pages, ended or abandoned.
#include "classlib/print.h"

#include "classlib/app.h"
#include "classlib/command_ids.h"
#include "classlib/doc.h"
#include "classlib/filedlg.h"
#include "classlib/gdi.h"
#include "classlib/view.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)

namespace {

CString DevNamesField(HGLOBAL devNames, int which) {
    CString text;
    if (!devNames) return text;
    const auto* names = static_cast<const DEVNAMES*>(::GlobalLock(devNames));
    if (!names) return text;
    const WORD offsets[3] = { names->wDriverOffset, names->wDeviceOffset, names->wOutputOffset };
    const SIZE_T size = ::GlobalSize(devNames);
    if (offsets[which] < size) {
        const char* base = reinterpret_cast<const char*>(names);
        text = CString(base + offsets[which], static_cast<int>(strnlen(base + offsets[which], size - offsets[which])));
    }
    ::GlobalUnlock(devNames);
    return text;
}

// A movable DEVNAMES block naming one printer; the driver and port may be empty.
HGLOBAL MakeDevNames(const char* driver, const char* device, const char* port) {
    const size_t driverLen = std::strlen(driver) + 1, deviceLen = std::strlen(device) + 1,
                 portLen = std::strlen(port) + 1;
    const size_t total = sizeof(DEVNAMES) + driverLen + deviceLen + portLen;
    if (total > 0xffff) return nullptr;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, total);
    if (!block) return nullptr;
    auto* names = static_cast<DEVNAMES*>(::GlobalLock(block));
    char* base = reinterpret_cast<char*>(names);
    names->wDriverOffset = sizeof(DEVNAMES);
    names->wDeviceOffset = static_cast<WORD>(names->wDriverOffset + driverLen);
    names->wOutputOffset = static_cast<WORD>(names->wDeviceOffset + deviceLen);
    std::memcpy(base + names->wDriverOffset, driver, driverLen);
    std::memcpy(base + names->wDeviceOffset, device, deviceLen);
    std::memcpy(base + names->wOutputOffset, port, portLen);
    ::GlobalUnlock(block);
    return block;
}

// ---- The status window: the document's name, the page being printed, Cancel.

constexpr int kStatusDocument = 0x3a0;
constexpr int kStatusPage = 0x3a1;

// A dialog template in memory: header, then each item, every item aligned to 4 bytes.
class TemplateWriter {
public:
    void Word(WORD w) { bytes_.push_back(BYTE(w & 0xff)), bytes_.push_back(BYTE(w >> 8)); }
    void Dword(DWORD d) { Word(WORD(d & 0xffff)), Word(WORD(d >> 16)); }
    void Text(const char* text) {
        for (const char* p = text; *p; ++p) Word(static_cast<BYTE>(*p));
        Word(0);
    }
    void Align() {
        while (bytes_.size() % 4) bytes_.push_back(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const char* text) {
        Align();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(WORD(x)), Word(WORD(y)), Word(WORD(cx)), Word(WORD(cy)), Word(id);
        Word(0xffff), Word(classAtom);
        Text(text);
        Word(0);
    }
    const DLGTEMPLATE* Template() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }
    std::vector<BYTE> bytes_;
};

class CPrintingDialog : public CDialog {
public:
    explicit CPrintingDialog(CWnd* parent, const char* title, const char* document) {
        TemplateWriter t;
        t.Dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
        t.Dword(0);
        t.Word(3);
        t.Word(0), t.Word(0), t.Word(160), t.Word(64);
        t.Word(0), t.Word(0);
        t.Text(title);
        t.Word(8);
        t.Text("MS Shell Dlg");
        t.Item(SS_CENTER, 8, 8, 144, 10, kStatusDocument, 0x0082, document);
        t.Item(SS_CENTER, 8, 22, 144, 10, kStatusPage, 0x0082, "");
        t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 55, 42, 50, 14, IDCANCEL, 0x0080, "Cancel");
        template_ = std::move(t.bytes_);
        CreateIndirect(reinterpret_cast<const DLGTEMPLATE*>(template_.data()), parent);
    }
    void OnCancel() override {
        userAbort = true;
        DestroyWindow();
    }
    void ShowPage(UINT page) {
        if (!m_hWnd) return;
        char text[32];
        std::snprintf(text, sizeof text, "Page %u", page);
        SetDlgItemText(kStatusPage, text);
        ::UpdateWindow(m_hWnd);
    }
    static bool userAbort;
    static CPrintingDialog* current;

private:
    std::vector<BYTE> template_;
};

bool CPrintingDialog::userAbort = false;
CPrintingDialog* CPrintingDialog::current = nullptr;

// The job's abort procedure: the status window keeps working while the driver spools.
BOOL CALLBACK PrintAbortProc(HDC, int) {
    MSG msg;
    while (!CPrintingDialog::userAbort && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            CPrintingDialog::userAbort = true;
            break;
        }
        CPrintingDialog* status = CPrintingDialog::current;
        if (status && status->m_hWnd && ::IsDialogMessageA(status->m_hWnd, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return !CPrintingDialog::userAbort;
}

}  // namespace

// ---- CPrintDialog

CPrintDialog::CPrintDialog(bool printSetupOnly, DWORD flags, CWnd* parent) : CCommonDialog(parent) {
    std::memset(&m_pd, 0, sizeof m_pd);
    m_pd.lStructSize = sizeof m_pd;
    m_pd.Flags = flags;
    if (printSetupOnly) m_pd.Flags = (flags | PD_PRINTSETUP) & ~PD_RETURNDC;
    else m_pd.Flags |= PD_RETURNDC;
    m_pd.nMinPage = m_pd.nFromPage = 1;
    m_pd.nMaxPage = m_pd.nToPage = kUnknownPageCount;
    m_pd.nCopies = 1;
    m_pParentWnd = parent;
}

// The device names and mode belong to whoever handed them in (the application); only
// the DC is the dialog's.
CPrintDialog::~CPrintDialog() {
    if (m_pd.hDC) ::DeleteDC(m_pd.hDC);
}

INT_PTR CPrintDialog::DoModal() {
    HWND top = nullptr;
    m_pd.hwndOwner = CWnd::GetSafeOwner_(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, &top);
    m_pd.hInstance = ModuleInstance();
    if (m_pd.hDC) {
        ::DeleteDC(m_pd.hDC);
        m_pd.hDC = nullptr;
    }
    CWinApp* app = CurrentApp();
    if (app) app->EnableModeless(false);
    const BOOL ok = ::PrintDlgA(&m_pd);
    if (app) app->EnableModeless(true);
    m_nLastError = ok ? 0 : ::CommDlgExtendedError();
    return ok ? IDOK : IDCANCEL;
}

bool CPrintDialog::GetDefaults() {
    const DWORD flags = m_pd.Flags;
    m_pd.Flags = (flags | PD_RETURNDEFAULT) & ~PD_RETURNDC;
    m_pd.hwndOwner = nullptr;
    m_pd.hDevMode = m_pd.hDevNames = nullptr;
    const BOOL ok = ::PrintDlgA(&m_pd);
    m_nLastError = ok ? 0 : ::CommDlgExtendedError();
    m_pd.Flags = flags;
    return ok != FALSE;
}

HDC CPrintDialog::CreatePrinterDC() {
    if (!m_pd.hDevNames) return nullptr;
    const CString driver = GetDriverName(), device = GetDeviceName(), port = GetPortName();
    const DEVMODEA* mode = m_pd.hDevMode ? static_cast<const DEVMODEA*>(::GlobalLock(m_pd.hDevMode)) : nullptr;
    HDC dc = ::CreateDCA(driver.IsEmpty() ? nullptr : driver.c_str(), device, port.IsEmpty() ? nullptr : port.c_str(),
                         mode);
    if (m_pd.hDevMode) ::GlobalUnlock(m_pd.hDevMode);
    return dc;
}

CString CPrintDialog::GetDriverName() const { return DevNamesField(m_pd.hDevNames, 0); }
CString CPrintDialog::GetDeviceName() const { return DevNamesField(m_pd.hDevNames, 1); }
CString CPrintDialog::GetPortName() const { return DevNamesField(m_pd.hDevNames, 2); }

// ---- CPrintInfo

CPrintInfo::CPrintInfo() : m_pPD(new CPrintDialog(false)) {}

CPrintInfo::~CPrintInfo() { delete m_pPD; }

UINT CPrintInfo::GetFromPage() const {
    return m_pPD->PrintRange() ? std::max<UINT>(m_pPD->m_pd.nFromPage, GetMinPage()) : GetMinPage();
}

UINT CPrintInfo::GetToPage() const {
    return m_pPD->PrintRange() ? std::min<UINT>(m_pPD->m_pd.nToPage, GetMaxPage()) : GetMaxPage();
}

// ---- The application's printer

void CWinApp::SelectPrinter(HGLOBAL devNames, HGLOBAL devMode) {
    if (m_hDevNames && m_hDevNames != devNames) ::GlobalFree(m_hDevNames);
    if (m_hDevMode && m_hDevMode != devMode) ::GlobalFree(m_hDevMode);
    m_hDevNames = devNames;
    m_hDevMode = devMode;
}

bool CWinApp::UpdatePrinterSelection(bool noPrinterAlert) {
    if (m_hDevNames) return true;
    CPrintDialog dialog(true);
    if (!dialog.GetDefaults()) {
        if (noPrinterAlert) ShowAppMessage(IDS_LIB_NO_PRINTER, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    SelectPrinter(dialog.m_pd.hDevNames, dialog.m_pd.hDevMode);
    return true;
}

bool CWinApp::GetPrinterDeviceDefaults(PRINTDLGA* pd) {
    if (!UpdatePrinterSelection(false)) return false;
    pd->hDevNames = m_hDevNames;
    pd->hDevMode = m_hDevMode;
    return true;
}

INT_PTR CWinApp::DoPrintDialog(CPrintDialog* dialog) {
    UpdatePrinterSelection(false);
    dialog->m_pd.hDevNames = m_hDevNames;
    dialog->m_pd.hDevMode = m_hDevMode;
    const INT_PTR result = dialog->DoModal();
    // The dialog may hand back new blocks (another printer chosen): they become the
    // application's, and the old ones are freed.
    SelectPrinter(dialog->m_pd.hDevNames, dialog->m_pd.hDevMode);
    if (result != IDOK && dialog->m_nLastError == PDERR_NODEFAULTPRN) {
        ShowAppMessage(IDS_LIB_NO_PRINTER, MB_OK | MB_ICONEXCLAMATION);
    }
    return result;
}

void CWinApp::OnFilePrintSetup() {
    CPrintDialog dialog(true);
    DoPrintDialog(&dialog);
}

HDC CreateDirectPrinterDC(CPrintDialog* dialog) {
    CWinApp* app = CurrentApp();
    if (!app) return nullptr;
    if (!app->m_strShellPrinter.IsEmpty()) {
        // Printing to a named printer: the system finds its driver from the name; the
        // driver and port the shell passed only serve when it does not.
        HDC dc = ::CreateDCA(nullptr, app->m_strShellPrinter, nullptr, nullptr);
        if (dc) return dc;
        HGLOBAL names = MakeDevNames(app->m_strShellDriver, app->m_strShellPrinter, app->m_strShellPort);
        if (!names) return nullptr;
        HGLOBAL savedNames = dialog->m_pd.hDevNames, savedMode = dialog->m_pd.hDevMode;
        dialog->m_pd.hDevNames = names;
        dialog->m_pd.hDevMode = nullptr;
        dc = dialog->CreatePrinterDC();
        dialog->m_pd.hDevNames = savedNames;
        dialog->m_pd.hDevMode = savedMode;
        ::GlobalFree(names);
        return dc;
    }
    if (!app->GetPrinterDeviceDefaults(&dialog->m_pd)) return nullptr;
    return dialog->CreatePrinterDC();
}

// ---- A view's print run

bool CView::DoPreparePrinting(CPrintInfo* info) {
    CWinApp* app = CurrentApp();
    if (!app) return false;
    CPrintDialog* dialog = info->m_pPD;
    if (info->m_bPreview || info->m_bDirect) {
        if (dialog->m_pd.hDC) ::DeleteDC(dialog->m_pd.hDC);
        dialog->m_pd.hDC = info->m_bDirect ? CreateDirectPrinterDC(dialog)
                                           : (app->GetPrinterDeviceDefaults(&dialog->m_pd)
                                                  ? dialog->CreatePrinterDC() : nullptr);
        // A preview that cannot start says so itself.
        if (!dialog->m_pd.hDC && !info->m_bPreview) {
            ShowAppMessage(IDS_LIB_NO_PRINTER, MB_OK | MB_ICONEXCLAMATION);
        }
    } else {
        dialog->m_pd.nFromPage = static_cast<WORD>(info->GetMinPage());
        dialog->m_pd.nToPage = static_cast<WORD>(info->GetMaxPage());
        if (app->DoPrintDialog(dialog) != IDOK) return false;
    }
    return dialog->m_pd.hDC != nullptr;
}

void CView::OnFilePrint() {
    CWinApp* app = CurrentApp();
    CPrintInfo info;
    info.m_bDirect = app && app->m_bShellPrinting;
    if (!OnPreparePrinting(&info)) return;

    CString output;
    if (info.m_pPD->PrintToFile() && !info.m_bDirect) {
        CFileDialog ask(false, "prn", "output.prn", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                        "Printer Files (*.prn)|*.prn|All Files (*.*)|*.*||", this);
        ask.SetTitle("Print to File");
        if (ask.DoModal() != IDOK) return;
        output = ask.GetPathName();
    }

    CDC dc;
    dc.Attach(info.m_pPD->m_pd.hDC);
    info.m_pPD->m_pd.hDC = nullptr;  // the CDC deletes it
    dc.m_bPrinting = true;
    info.m_rectDraw = { 0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES) };
    dc.DPtoLP(&info.m_rectDraw);

    CString title;
    if (m_pDocument) {
        title = m_pDocument->GetTitle();
    } else {
        char text[64] = "";
        ::GetWindowTextA(m_hWnd, text, sizeof text);
        title = text;
    }
    if (title.GetLength() > 31) title = title.Left(31);
    DOCINFOA docInfo{};
    docInfo.cbSize = sizeof docInfo;
    docInfo.lpszDocName = title.c_str();
    docInfo.lpszOutput = output.IsEmpty() ? nullptr : output.c_str();

    OnBeginPrinting(&dc, &info);

    CWnd* main = CurrentMainWindow();
    const bool mainWasEnabled = main && main->m_hWnd && main->IsWindowEnabled();
    if (mainWasEnabled) main->EnableWindow(false);
    CPrintingDialog::userAbort = false;
    CString appName = app && app->m_pszAppName ? CString(app->m_pszAppName) : CString("Printing");
    auto* status = new CPrintingDialog(main, appName, title);
    CPrintingDialog::current = status;
    ::SetAbortProc(dc.m_hDC, PrintAbortProc);

    bool failed = false;
    if (::StartDocA(dc.m_hDC, &docInfo) <= 0) {
        failed = true;
    } else {
        for (info.m_nCurPage = info.GetFromPage(); info.m_nCurPage <= info.GetToPage(); ++info.m_nCurPage) {
            info.m_bContinuePrinting = true;
            OnPrepareDC(&dc, &info);
            if (!info.m_bContinuePrinting) break;
            status->ShowPage(info.m_nCurPage);
            PrintAbortProc(dc.m_hDC, 0);
            if (CPrintingDialog::userAbort) break;
            if (::StartPage(dc.m_hDC) <= 0) {
                failed = true;
                break;
            }
            info.m_rectDraw = { 0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES) };
            dc.DPtoLP(&info.m_rectDraw);
            OnPrint(&dc, &info);
            if (::EndPage(dc.m_hDC) <= 0 || !PrintAbortProc(dc.m_hDC, 0)) {
                failed = failed || !CPrintingDialog::userAbort;
                break;
            }
            if (info.m_nCurPage == 0xffff) break;
        }
        if (!failed && !CPrintingDialog::userAbort) ::EndDoc(dc.m_hDC);
        else ::AbortDoc(dc.m_hDC);
    }

    OnEndPrinting(&dc, &info);
    if (mainWasEnabled) main->EnableWindow(true);
    CPrintingDialog::current = nullptr;
    if (status->m_hWnd) status->DestroyWindow();
    delete status;
    dc.DeleteDC();
    if (failed) ShowAppMessage(IDS_LIB_PRINT_FAILED, MB_OK | MB_ICONEXCLAMATION);
}
