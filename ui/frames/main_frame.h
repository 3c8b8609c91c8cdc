// The program's MDI frame: the toolbox and status bars, the palettes, the funnel of
// engine commands and keys, the menu hooks that keep the engine's states current while
// a menu is open, and the end of the engine and platform services with the window.
#pragma once
#include <cstdint>

#include "classlib/controlbar.h"
#include "classlib/mdi.h"
#include "engine/core/services/script_view.h"
#include "ui/frames/clipboard_viewer.h"
#include "ui/frames/motion_controller_bar.h"
#include "ui/frames/notation_bar.h"
#include "ui/frames/script_view_bar.h"
#include "ui/frames/text_palette.h"
#include "ui/toolbox_bar.h"

class CFernwickDoc;
struct ToolboxEntry;

// Posted to the main frame: its visible floating bars go back over it on the screen.
constexpr UINT kRaiseFloatingBarsMessage = WM_APP + 0x52;

class CMainFrame : public CMDIFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    bool PreCreateWindow(CREATESTRUCT& cs) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG* msg) override;
    void GetMessageString(UINT id, CString& message) const override;

    // Shows the text in the status bar's first pane at once (after creation only).
    void SetStatusText(const char* text);
    void ReportClipboardFormats();
    bool IsToolboxVisible() const;

    ToolboxEntry* m_toolboxLayout = nullptr;
    CFernwickDoc* m_activeDocument = nullptr;
    ToolboxBar* m_toolbox = nullptr;
    MotionControllerBar m_motionController;
    TextPaletteBar m_textPalette;
    NotationBar m_notationBar;
    ScriptViewBar m_scriptView;
    uint8_t m_created = 0;
    HFONT m_symbolFont = nullptr;
    int32_t m_currentToolboxButton = 0;
    int32_t m_arrowVariant = 0;
    int32_t m_straightedgeVariant = 5;
    CStatusBar m_statusBar;
    UINT_PTR m_timerId = 0;
    // Where the frame watches the clipboard as a viewer (UsesClipboardPolling false).
    ClipboardViewerLink m_clipboardViewer;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnClose();
    void OnTimer(UINT_PTR id);
    void OnDrawClipboard();
    void OnChangeCbChain(HWND removed, HWND after);
    void OnActivateApp(BOOL active, DWORD threadId);
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    LRESULT OnRaiseFloatingBars(WPARAM, LPARAM);
    int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
    void OnInitMenu(CMenu* menu);
    void OnInitMenuPopup(CMenu* popup, UINT index, BOOL sysMenu);
    void OnExitMenuLoop(BOOL trackPopup);
    LRESULT OnSetMessageString(WPARAM id, LPARAM text);
    void OnSysCommand(UINT id, LPARAM lParam);
    BOOL OnHelpInfo(HELPINFO* info);
    void OnHelpCommand();
    void OnArcSegment();
    void OnToolboxCommand(UINT id);
    void OnAnimateCommand(UINT id);
    void OnUpdateToolboxCommand(CCmdUI* cmdUI);
    void OnToolboxDropDown(NMHDR* note, LRESULT* result);
    void OnHelpMenuItem(UINT id);
    // The colour, overbar, notation and symbol commands and their owner-drawn menu items.
    void OnColorPopupCommand();
    void OnColorSwatch(UINT id);
    void OnOverbar(UINT id);
    void OnUpdateOverbar(CCmdUI* cmdUI);
    void OnNotationEdit(UINT id);
    void OnUpdateEditorCommand(CCmdUI* cmdUI);
    void OnSymbolMenu();
    void OnToggleNotationBar();
    void OnUpdateToggleNotationBar(CCmdUI* cmdUI);
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    void MarkFontMenu(HMENU popup);
    DECLARE_MESSAGE_MAP()

public:
    // Shows or hides the notation bar, placing it beside the palette until the user
    // moves it; answers the visibility it had.
    bool ShowNotationBarWindow(bool show);
    // The user's choice from the notation switch (kept while no caption is edited).
    bool m_notationWanted = false;

private:
    bool CreatePalettes();
};

// Whether the frame asks for the clipboard's formats when the program is activated;
// otherwise it is a clipboard viewer and hears of every change at once.
bool UsesClipboardPolling();

// The window-less 20 ms timer that keeps the shell's idle update running while a
// menu, a common dialog or an alert holds the message loop.
void StartMenuIdleTimer();
void StopMenuIdleTimer();
bool MenuIdleTimerRunning();
void CALLBACK MenuIdleTimerProc(HWND, UINT, UINT_PTR, DWORD time);
