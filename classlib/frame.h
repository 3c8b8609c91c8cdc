// Frame windows: a window with a menu, accelerators, bars around a client area and
// an active view; the start of command routing.
#pragma once

#include "classlib/wnd.h"

#include <vector>

// What a frame needs to make its views: the document and the classes to create.
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    static const RECT rectDefault;

    // Menu items without any handler are disabled while a menu opens; when off,
    // such items keep the state they have.
    bool m_bAutoMenuEnable = true;
    HMENU m_hMenuDefault = nullptr;   // the menu shown while no document is active
    // The frame's accelerators. Kept in a member so that a program may replace
    // the table (destroying the old one itself).
    HACCEL m_hAccelTable = nullptr;
    UINT m_nIDHelp = 0;
    CString m_strTitle;
    int m_nWindow = -1;               // the window number shown after the document title
    UINT m_nIDTracking = 0;           // the command whose prompt the status bar shows
    UINT m_nIDLastMessage = 0;

    // While set (a print preview shows), closing the frame calls this instead.
    void (*m_lpfnCloseProc)(CFrameWnd* frame) = nullptr;

    enum PendingIdleWork { pendingTitle = 0x1, pendingLayout = 0x2, pendingNotify = 0x4 };
    UINT m_nIdleFlags = 0;

    virtual bool LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* parent = nullptr, CCreateContext* context = nullptr);
    bool Create(const char* className, const char* title, DWORD style = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* parent = nullptr, const char* menuName = nullptr,
                DWORD exStyle = 0, CCreateContext* context = nullptr);
    bool LoadAccelTable(const char* name);

    bool IsFrameWnd() const override { return true; }
    bool PreCreateWindow(CREATESTRUCT& cs) override;
    bool PreTranslateMessage(MSG* msg) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // Routing: the active view (which goes on to its document and template), then
    // this frame, then the application when this frame is not inside another.
    bool OnCmdMsg(UINT id, int code, void* extra, CommandHandlerInfo* handlerInfo) override;
    void PostNcDestroy() override;

    virtual bool OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context);
    virtual void ActivateFrame(int showCommand = -1);
    // Lays out the bars and the client. The bar classes take their room through
    // FrameLayoutMessage (RepositionBars); a frame with docking overrides this.
    virtual void RecalcLayout(bool notify = true);
    virtual void OnUpdateFrameTitle(bool addToTitle);
    virtual void OnUpdateFrameMenu(HMENU menuAlt);
    virtual CFrameWnd* GetActiveFrame();
    virtual CDocument* GetActiveDocument();
    // The status-line prompt of a command: its string up to the first '\n'.
    virtual void GetMessageString(UINT id, CString& message) const;
    virtual HACCEL GetDefaultAccelerator();
    // The window that shows prompts (the status bar), or null.
    virtual CWnd* GetMessageBar();

    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* view, bool notify = true);
    CWnd* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
    void InitialUpdateFrame(CDocument* doc, bool makeVisible);
    void SetMessageText(const char* text);
    void SetMessageText(UINT id);
    void UpdateFrameTitleForDocument(const char* docName);
    void SetTitle(const char* title) { m_strTitle = title; }
    CString GetTitle() const { return m_strTitle; }
    void DelayUpdateFrameTitle() { m_nIdleFlags |= pendingTitle; }
    void DelayRecalcLayout(bool notify = true);
    // Modal state: the frame's owned pop-ups are disabled while a modal window runs.
    void BeginModalState();
    void EndModalState();
    bool InModalState() const { return modalDepth_ > 0; }

    // Control bars and docking: the bar classes keep their frame-side state and
    // operations here.
    // Makes the dock bars of the sides in style (BAR_ALIGN_*).
    void EnableDocking(DWORD dockStyle);
    // Docks the bar on the given dock bar, or on the first side it may dock on.
    void DockControlBar(CControlBar* bar, UINT dockBarId = 0, const RECT* rect = nullptr);
    // Floats the bar in a mini frame at point (screen); style BAR_ALIGN_TOP (0: top)
    // lays it out in rows, BAR_ALIGN_LEFT upright.
    void FloatControlBar(CControlBar* bar, CPoint point, DWORD style = 0);
    // Shows or hides the bar, and a floating bar's frame with it.
    void ShowControlBar(CControlBar* bar, bool show, bool delay);
    CControlBar* GetControlBar(UINT id) const;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    int OnCreateHelper(LPCREATESTRUCT cs, CCreateContext* context);
    void OnDestroy();
    void OnClose();
    void OnSize(UINT type, int cx, int cy);
    void OnSetFocus(CWnd* old);
    void OnInitMenuPopup(CMenu* popup, UINT index, BOOL sysMenu);
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    void OnEnterIdle(UINT why, CWnd* who);
    void OnDropFiles(HDROP drop);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    BOOL OnQueryEndSession();
    void OnEndSession(BOOL ending);
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnDDEInitiate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDDEExecute(WPARAM wParam, LPARAM lParam);
    LRESULT OnDDETerminate(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CView* m_pViewActive = nullptr;

private:
    int modalDepth_ = 0;
    std::vector<HWND> modalDisabled_;
};
