// The thread and application objects: the message loop with its idle passes, the
// document manager, the registry profile, recent files and shell integration.
#pragma once

#include "classlib/cmdline.h"
#include "classlib/wnd.h"

class CRecentFileList;
class CPrintDialog;

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    ~CWinThread() override;

    CWnd* m_pMainWnd = nullptr;
    CWnd* m_pActiveWnd = nullptr;
    MSG m_msgCur{};

    virtual bool InitInstance();
    virtual int ExitInstance();
    // The message loop: idle passes while the queue is empty, with a count that
    // rises each pass and starts again at 0 after a real input message.
    virtual int Run();
    // true: more idle passes wanted.
    virtual bool OnIdle(LONG count);
    // The thread's messages, then each window from the target up to the main
    // window; true when one of them consumed the message.
    virtual bool PreTranslateMessage(MSG* msg);
    // Gets and dispatches one message; false when it was WM_QUIT.
    virtual bool PumpMessage();
    virtual bool IsIdleMessage(MSG* msg);
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }
};

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    const char* m_pszAppName = nullptr;
    const char* m_pszExeName = nullptr;
    const char* m_pszProfileName = nullptr;
    const char* m_pszRegistryKey = nullptr;
    const char* m_pszHelpFilePath = nullptr;
    HINSTANCE m_hInstance = nullptr;
    HINSTANCE m_hPrevInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CDocManager* m_pDocManager = nullptr;
    CRecentFileList* m_pRecentFileList = nullptr;
    // Shell DDE: the application and topic atoms answered in WM_DDE_INITIATE.
    ATOM m_atomApp = 0;
    ATOM m_atomSystemTopic = 0;

    bool InitInstance() override;
    int ExitInstance() override;
    bool OnIdle(LONG count) override;
    virtual bool InitApplication();

    // Message boxes of the application: modeless windows off around it, owned by
    // the safe owner, titled with the application's name.
    virtual int DoMessageBox(const char* prompt, UINT type, UINT helpId);
    // +1 shows the wait cursor (nesting), -1 ends one level, 0 shows it again.
    virtual void DoWaitCursor(int code);
    // Enables or disables the main frame's modeless windows (counted).
    void EnableModeless(bool enable);

    // Documents.
    void AddDocTemplate(CDocTemplate* tmpl);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    virtual CDocument* OpenDocumentFile(const char* path);
    virtual void AddToRecentFileList(const char* path);
    virtual bool DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, bool openDialog,
                                  CDocTemplate* tmpl);
    bool SaveAllModified();
    void CloseAllDocuments(bool endSession);
    int GetOpenDocumentCount();
    void HideApplication();

    // Command line and shell.
    void ParseCommandLine(CCommandLineInfo& info);
    bool ProcessShellCommand(CCommandLineInfo& info);
    void EnableShellOpen();
    void RegisterShellFileTypes(bool compatible = false);
    void UnregisterShellFileTypes();
    // One DDE execute string from the shell; true when a command in it was carried out.
    virtual bool OnDDECommand(char* command);

    // Registry profile: HKCU\Software\<key>\<profile name>\<section>.
    void SetRegistryKey(const char* company);
    void SetRegistryKey(UINT companyId);
    void LoadStdProfileSettings(UINT maxRecentFiles = 4);
    void SaveStdProfileSettings();
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
    bool WriteProfileInt(const char* section, const char* entry, int value);
    CString GetProfileString(const char* section, const char* entry, const char* defaultValue = nullptr);
    bool WriteProfileString(const char* section, const char* entry, const char* value);
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(const char* section);

    HICON LoadIcon(UINT id) const { return ::LoadIconA(ResourceModule(), MAKEINTRESOURCEA(id)); }
    HCURSOR LoadCursor(UINT id) const { return ::LoadCursorA(ResourceModule(), MAKEINTRESOURCEA(id)); }
    HCURSOR LoadStandardCursor(const char* name) const { return ::LoadCursorA(nullptr, name); }
    void Enable3dControls() {}

    // Command handlers a program maps to its commands.
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();

    // The printer kept across prints (device names and mode, movable blocks the
    // application owns); the print and set-up dialogs start from it. Null until a
    // printer is first needed, then the system's default one.
    HGLOBAL m_hDevNames = nullptr;
    HGLOBAL m_hDevMode = nullptr;
    // Pages shown side by side in print preview.
    UINT m_nNumPreviewPages = 1;
    // Takes the blocks as the kept printer, freeing the ones they replace.
    void SelectPrinter(HGLOBAL devNames, HGLOBAL devMode);
    // Makes sure a printer is kept; false (with an alert when asked) when none exists.
    bool UpdatePrinterSelection(bool noPrinterAlert);
    // The kept printer's blocks for a dialog that must not free them.
    bool GetPrinterDeviceDefaults(PRINTDLGA* pd);
    // Runs a print or set-up dialog on the kept printer and keeps what it chooses.
    virtual INT_PTR DoPrintDialog(CPrintDialog* dialog);
    // Shell printing (/p, /pt, DDE print and printto): while set, prints need no dialog
    // and go to the named printer (the kept or default one when the name is empty).
    bool m_bShellPrinting = false;
    CString m_strShellPrinter;
    CString m_strShellDriver;
    CString m_strShellPort;
    // Prints a document for the shell: opens it unless it is open, prints it with no
    // dialog and closes it again when it was opened for this. False when it could not
    // be opened.
    bool PrintDocumentForShell(const char* path, const char* printer, const char* driver, const char* port);
    bool OnOpenRecentFile(UINT id);
    void OnUpdateRecentFileMenu(CCmdUI* ui);

protected:
    DECLARE_MESSAGE_MAP()

private:
    int modelessDisabled_ = 0;
    CString registryKey_;
    CString profileName_;
    CString appName_;
    CString exeName_;
};

CWinApp* CurrentApp();
CWinThread* CurrentUiThread();
CWnd* CurrentMainWindow();
int ShowAppMessage(const char* text, UINT type = MB_OK, UINT helpId = 0);
int ShowAppMessage(UINT promptId, UINT type = MB_OK, UINT helpId = UINT(-1));
// The body of a program's WinMain.
int RunLibraryMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// Shows the wait cursor for the life of the object (nesting).
class CWaitCursor {
public:
    CWaitCursor() { CurrentApp() ? CurrentApp()->DoWaitCursor(1) : void(); }
    ~CWaitCursor() { CurrentApp() ? CurrentApp()->DoWaitCursor(-1) : void(); }
    void Restore() { CurrentApp() ? CurrentApp()->DoWaitCursor(0) : void(); }
};
