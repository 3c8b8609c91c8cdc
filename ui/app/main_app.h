// The program's application object: start-up in its fixed order, the single-instance
// check, idle processing that drives the engine between messages (quit requests,
// hovering over sketches, the shell's idle update) and the end of the process.
#pragma once
#include <cstdint>

#include "classlib/app.h"
#include "classlib/ole_template_server.h"

class CMainFrame;
class CYRNView;

class CMainApp : public CWinApp {
    DECLARE_DYNAMIC(CMainApp)
public:
    CMainApp();
    ~CMainApp() override;

    bool InitInstance() override;
    int ExitInstance() override;
    bool OnIdle(LONG count) override;
    bool PreTranslateMessage(MSG* msg) override;
    CDocument* OpenDocumentFile(const char* path) override;
    int DoMessageBox(const char* prompt, UINT type, UINT helpId) override;

    // The save prompt offers Yes/No only (a quit that may not be cancelled).
    uint8_t m_noCancelPrompt = 0;
    // A run-time menu bar exists; the shell's idle update does nothing before.
    uint8_t m_menusBuilt = 0;
    // While either is set the shell's idle update is not called: a screen saver runs
    // (kept by the main frame's timer), the print preview is open.
    uint32_t m_idleSuspended[2] = { 0, 0 };
    uint32_t m_largeFonts = 0;
    HDC m_screenDC = nullptr;
    int32_t m_paletteFont = ANSI_VAR_FONT;
    uint32_t m_newerWindows = 0;
    uint8_t m_maximiseChildren = 0;
    uint32_t m_startupComplete = 0;
    COleTemplateServer m_server;

    // Tells the platform services the main window and the start-up state.
    void PublishShellState();
    void SetMenusBuilt();

protected:
    void OnAppAbout();
    DECLARE_MESSAGE_MAP()

private:
    void HoverViewAt(CYRNView* view, POINT screenPoint, bool toolIdle);
    void TrackHover();

    bool registeredMainClass_ = false;
    bool splashRaised_ = false;
    uint32_t lastChangeCount_ = 0;
};

CMainApp* TheApp();
CMainFrame* TheMainFrame();

// Start-up services, in the order the start-up calls them.
// false: do not start (another copy takes over). found: another copy runs.
bool CheckSingleInstance(bool* found);
bool RegisterMainWindowClass();
void RegisterDdeAtoms();

constexpr const char kMainWindowClass[] = "YRN4MainWin";

// The document's OLE class.
extern const CLSID kDocumentClassId;

// Stops the platform services and the engine, once: the main frame's destruction, or
// a start-up that fails after they started.
void StopEngineAndServices();
