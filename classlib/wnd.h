// CWnd: a window object attached to a window handle.
//
// Every window the library creates goes through a creation hook that attaches the
// object before the window's first message, so WM_NCCREATE and WM_CREATE reach the
// object's message map. Windows of other classes (controls, dialogs of the system)
// are subclassed the same way; their own window procedure stays behind Default().
#pragma once

#include "classlib/msgmap.h"

class CScrollBar;

// Window flags of the library (CWnd::m_nFlags).
#define WINDOW_IN_MODAL_LOOP  0x0001  // the window runs RunModalLoop
#define WINDOW_MODAL_GOES_ON  0x0002  // ... and the loop goes on

// RunModalLoop flags.
#define MODAL_SHOW_WHEN_IDLE  0x0001  // show the window when the queue first runs empty
#define MODAL_NO_ENTER_IDLE   0x0002  // no WM_ENTERIDLE to the parent
#define MODAL_NO_KICK_IDLE    0x0004  // no WM_KICKIDLE to the window

// How a parent lays out its bars (RepositionBars).
struct SizeParentParams {
    HDWP hDWP;          // null when only measuring
    RECT rect;          // the room left for the next bar and the client
    SIZE sizeTotal;     // the room the bars took
    BOOL bStretch;
};

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    explicit CWnd(HWND hwnd);
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    bool operator==(const CWnd& other) const { return m_hWnd == other.m_hWnd; }

    // The object attached to hwnd; FromHandle makes a temporary object (deleted at
    // idle time) when none is attached.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);
    bool Attach(HWND hwnd);
    HWND Detach();
    // Attaches and routes the window's messages through this object.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    virtual bool Create(const char* className, const char* windowName, DWORD style,
                        const RECT& rect, CWnd* parent, UINT id, CCreateContext* context = nullptr);
    bool CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU idOrMenu,
                  LPVOID param = nullptr);
    bool CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id, LPVOID param = nullptr);
    virtual bool DestroyWindow();
    virtual bool PreCreateWindow(CREATESTRUCT& cs);

    // Message handling.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool PreTranslateMessage(MSG* msg);
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    virtual bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A control's notification reflected from its parent; true when this control
    // took it.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void PostNcDestroy();
    virtual bool IsFrameWnd() const { return false; }
    virtual void CalcWindowRect(RECT* clientRect, UINT adjustType = 0);
    virtual CScrollBar* GetScrollBarCtrl(int bar) const;
    virtual int OnToolHitTest(CPoint point, TOOLINFO* info) const;
    // The message being handled, passed on to the window's default procedure.
    LRESULT Default();
    static const MSG* GetCurrentMessage();
    // Sends a reflected copy of the current message to the child; true when taken.
    static bool ReflectLastMsg(HWND child, LRESULT* result = nullptr);
    bool SendChildNotifyLastMsg(LRESULT* result = nullptr);

    // Modal loops.
    int RunModalLoop(DWORD flags = 0);
    virtual bool ContinueModal();
    virtual void EndModalLoop(int result);
    int m_nFlags = 0;
    int m_nModalResult = 0;

    // The window that owns message boxes and dialogs when none is given: the
    // frame routing the current command, else the main window; its top-level
    // window (handed back in topLevel when asked) and that window's last active pop-up.
    static CWnd* GetSafeOwner(CWnd* parent = nullptr, HWND* topLevel = nullptr);
    static HWND GetSafeOwner_(HWND parent, HWND* topLevel);

    // Relationships.
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    void SetOwner(CWnd* owner);
    CFrameWnd* GetParentFrame() const;
    CFrameWnd* GetTopLevelFrame() const;
    CWnd* GetTopLevelParent() const;
    CWnd* GetTopLevelOwner() const;
    CWnd* GetDlgItem(int id) const;
    CWnd* GetDescendantWindow(int id, bool onlyPermanent = false) const;
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                  bool deep = true, bool onlyPermanent = false);
    CWnd* GetWindow(UINT cmd) const { return FromHandle(::GetWindow(m_hWnd, cmd)); }
    CWnd* GetLastActivePopup() const { return FromHandle(::GetLastActivePopup(m_hWnd)); }
    bool IsChild(const CWnd* wnd) const { return ::IsChild(m_hWnd, wnd->GetSafeHwnd()) != FALSE; }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    int SetDlgCtrlID(int id) { return static_cast<int>(::SetWindowLongPtrA(m_hWnd, GWLP_ID, id)); }

    // Lays out the bars of this window (each child answers FrameLayoutMessage) and gives
    // the child idLeftOver the rest of the client area.
    void RepositionBars(UINT idFirst, UINT idLast, UINT idLeftOver, UINT flags = 0,
                        RECT* rectParam = nullptr, const RECT* rectClient = nullptr,
                        bool stretch = true);
    // layoutQueryOnly: only report the room left (in rectParam); layoutAddInset: rectParam
    // holds an inset to take from that room; layoutNoLeftOver: leave idLeftOver where it is.
    enum LayoutFlags { layoutQueryOnly = 0x1, layoutAddInset = 0x2, layoutNoLeftOver = 0x4 };

    // Styles.
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    bool ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    bool ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);

    // Thin wrappers of the window functions.
    LRESULT SendMessage(UINT m, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageA(m_hWnd, m, w, l); }
    bool PostMessage(UINT m, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageA(m_hWnd, m, w, l) != FALSE; }
    bool ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd) != FALSE; }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void Invalidate(bool erase = true) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* r, bool erase = true) { ::InvalidateRect(m_hWnd, r, erase); }
    void InvalidateRgn(HRGN rgn, bool erase = true) { ::InvalidateRgn(m_hWnd, rgn, erase); }
    void ValidateRect(const RECT* r) { ::ValidateRect(m_hWnd, r); }
    bool RedrawWindow(const RECT* r = nullptr, HRGN rgn = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
        return ::RedrawWindow(m_hWnd, r, rgn, flags) != FALSE;
    }
    bool GetUpdateRect(RECT* r, bool erase = false) { return ::GetUpdateRect(m_hWnd, r, erase) != FALSE; }
    void GetClientRect(RECT* r) const { ::GetClientRect(m_hWnd, r); }
    void GetWindowRect(RECT* r) const { ::GetWindowRect(m_hWnd, r); }
    void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(RECT* r) const;
    void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(RECT* r) const;
    void MoveWindow(int x, int y, int w, int h, bool repaint = true) { ::MoveWindow(m_hWnd, x, y, w, h, repaint); }
    void MoveWindow(const RECT* r, bool repaint = true) {
        MoveWindow(r->left, r->top, r->right - r->left, r->bottom - r->top, repaint);
    }
    bool SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(m_hWnd, after ? after->m_hWnd : nullptr, x, y, cx, cy, flags) != FALSE;
    }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    int GetWindowText(char* buffer, int size) const { return ::GetWindowTextA(m_hWnd, buffer, size); }
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetFont(HFONT font, bool redraw = true) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) { return ::SetTimer(m_hWnd, id, elapse, proc); }
    bool KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id) != FALSE; }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    static CWnd* GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
    bool SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd) != FALSE; }
    void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
    static CWnd* GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
    static CWnd* WindowFromPoint(POINT p) { return FromHandle(::WindowFromPoint(p)); }
    static CWnd* FindWindow(const char* cls, const char* name) { return FromHandle(::FindWindowA(cls, name)); }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    bool EnableWindow(bool enable = true) { return ::EnableWindow(m_hWnd, enable) != FALSE; }
    bool IsIconic() const { return ::IsIconic(m_hWnd) != FALSE; }
    bool IsZoomed() const { return ::IsZoomed(m_hWnd) != FALSE; }
    CMenu* GetMenu() const;
    bool SetMenu(CMenu* menu);
    void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
    CMenu* GetSystemMenu(bool revert) const;
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* dc);
    void DragAcceptFiles(bool accept = true) { ::DragAcceptFiles(m_hWnd, accept); }
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK) {
        return ::MessageBoxA(m_hWnd, text, caption, type);
    }
    void CenterWindow(CWnd* alternateOwner = nullptr);
    int GetScrollPos(int bar) const;
    int SetScrollPos(int bar, int pos, bool redraw = true);
    void GetScrollRange(int bar, int* minPos, int* maxPos) const;
    void SetScrollRange(int bar, int minPos, int maxPos, bool redraw = true);
    bool SetScrollInfo(int bar, SCROLLINFO* info, bool redraw = true);
    bool GetScrollInfo(int bar, SCROLLINFO* info, UINT mask = SIF_ALL);
    int GetScrollLimit(int bar);
    void ShowScrollBar(UINT bar, bool show = true);
    bool EnableScrollBarCtrl(int bar, bool enable = true);
    void ScrollWindow(int dx, int dy, const RECT* scroll = nullptr, const RECT* clip = nullptr) {
        ::ScrollWindow(m_hWnd, dx, dy, scroll, clip);
    }
    static const MSG* GetLastMsg();

protected:
    // Default message handlers: each passes the message to the default procedure.
    int OnCreate(LPCREATESTRUCT cs);
    BOOL OnNcCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnNcDestroy();
    void OnClose();
    void OnTimer(UINT_PTR id);
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    void OnActivateApp(BOOL active, DWORD threadId);
    int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
    void OnInitMenu(CMenu* menu);
    void OnInitMenuPopup(CMenu* popup, UINT index, BOOL sysMenu);
    void OnEnterMenuLoop(BOOL trackPopup);
    void OnExitMenuLoop(BOOL trackPopup);
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    void OnEnterIdle(UINT why, CWnd* who);
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis);
    BOOL OnHelpInfo(HELPINFO* info);
    void OnSize(UINT type, int cx, int cy);
    void OnSizing(UINT side, LPRECT rect);
    void OnMove(int x, int y);
    void OnPaint();
    void OnNcPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    void OnMButtonDown(UINT flags, CPoint point);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnNcLButtonDblClk(UINT hitTest, CPoint point);
    void OnNcMouseMove(UINT hitTest, CPoint point);
    LRESULT OnNcHitTest(CPoint point);
    void OnNcCalcSize(BOOL calcValid, NCCALCSIZE_PARAMS* params);
    void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    void OnKeyUp(UINT ch, UINT repeat, UINT flags);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnSysKeyDown(UINT ch, UINT repeat, UINT flags);
    void OnSysChar(UINT ch, UINT repeat, UINT flags);
    UINT OnGetDlgCode();
    void OnSetFocus(CWnd* old);
    void OnKillFocus(CWnd* next);
    void OnCaptureChanged(CWnd* wnd);
    void OnCancelMode();
    void OnContextMenu(CWnd* wnd, CPoint point);
    void OnShowWindow(BOOL show, UINT status);
    void OnWindowPosChanging(WINDOWPOS* pos);
    void OnWindowPosChanged(WINDOWPOS* pos);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnSettingChange(UINT flags, LPCSTR section);
    void OnSysColorChange();
    void OnDropFiles(HDROP drop);
    void OnDrawClipboard();
    void OnChangeCbChain(HWND removed, HWND after);
    void OnMDIActivate(BOOL activate, CWnd* activated, CWnd* deactivated);
    BOOL OnQueryEndSession();
    void OnEndSession(BOOL ending);

    static const MsgMap* GetThisMessageMap();
    const MsgMap* GetMessageMap() const override;

    WNDPROC m_pfnSuper = nullptr;   // the window's own procedure behind the library's

public:
    bool m_bTemporary = false;      // made by FromHandle; freed at idle time

    friend LRESULT CALLBACK LibraryWindowProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK CreationHook(int, WPARAM, LPARAM);
    friend class CWinThread;
};

// The window procedure of every window the library owns.
LRESULT CALLBACK LibraryWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Calls wnd's WindowProc with the message recorded as the current one.
LRESULT CallWindowHandler(CWnd* wnd, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Registers a window class once; an already registered class counts as success.
bool RegisterClassOnce(WNDCLASSA* wc);
// A class name registered on demand for the given styles, cursor, brush and icon.
const char* RegisterClassFor(UINT style, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                HICON icon = nullptr);
// The library's own window classes (registered on first use).
const char* ChildWindowClass();        // plain child windows
const char* FrameWindowClass();      // frames and MDI frames
const char* ViewWindowClass();       // views: double clicks, redraw on size, window background
// Attaches wnd to the next window the thread creates (see the creation hook);
// used around creation calls that do not go through CreateEx.
void HookWindowCreation(CWnd* wnd);
void UnhookWindowCreation();
// Deletes the temporary objects made by FromHandle calls.
void FreeTemporaryObjects();
// Messages that do not count as user input for the idle count.
bool CountsAsIdleMessage(const MSG* msg);
// Gets, pre-translates and dispatches one message; false on WM_QUIT.
bool PumpOneMessage();

// Window message entries: each calls the handler of the conventional signature.
#define ON_WM_CREATE() { WM_CREATE, 0, 0, 0, nullptr, MAP_THUNK(c.result = MAP_TARGET->OnCreate(reinterpret_cast<LPCREATESTRUCT>(c.lParam))) },
#define ON_WM_NCCREATE() { WM_NCCREATE, 0, 0, 0, nullptr, MAP_THUNK(c.result = MAP_TARGET->OnNcCreate(reinterpret_cast<LPCREATESTRUCT>(c.lParam))) },
#define ON_WM_DESTROY() { WM_DESTROY, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnDestroy()) },
#define ON_WM_NCDESTROY() { WM_NCDESTROY, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnNcDestroy()) },
#define ON_WM_CLOSE() { WM_CLOSE, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnClose()) },
#define ON_WM_TIMER() { WM_TIMER, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnTimer(c.wParam)) },
#define ON_WM_ACTIVATE() { WM_ACTIVATE, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnActivate(LOWORD(c.wParam), CWnd::FromHandle(reinterpret_cast<HWND>(c.lParam)), HIWORD(c.wParam))) },
#define ON_WM_ACTIVATEAPP() { WM_ACTIVATEAPP, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnActivateApp(static_cast<BOOL>(c.wParam), static_cast<DWORD>(c.lParam))) },
#define ON_WM_MOUSEACTIVATE() { WM_MOUSEACTIVATE, 0, 0, 0, nullptr, MAP_THUNK(c.result = MAP_TARGET->OnMouseActivate(CWnd::FromHandle(reinterpret_cast<HWND>(c.wParam)), LOWORD(c.lParam), HIWORD(c.lParam))) },
#define ON_WM_INITMENU() { WM_INITMENU, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnInitMenu(CMenu::FromHandle(reinterpret_cast<HMENU>(c.wParam)))) },
#define ON_WM_INITMENUPOPUP() { WM_INITMENUPOPUP, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(c.wParam)), LOWORD(c.lParam), HIWORD(c.lParam))) },
#define ON_WM_ENTERMENULOOP() { WM_ENTERMENULOOP, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnEnterMenuLoop(static_cast<BOOL>(c.wParam))) },
#define ON_WM_EXITMENULOOP() { WM_EXITMENULOOP, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnExitMenuLoop(static_cast<BOOL>(c.wParam))) },
#define ON_WM_MENUSELECT() { WM_MENUSELECT, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnMenuSelect(LOWORD(c.wParam), HIWORD(c.wParam), reinterpret_cast<HMENU>(c.lParam))) },
#define ON_WM_ENTERIDLE() { WM_ENTERIDLE, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnEnterIdle(static_cast<UINT>(c.wParam), CWnd::FromHandle(reinterpret_cast<HWND>(c.lParam)))) },
#define ON_WM_SYSCOMMAND() { WM_SYSCOMMAND, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnSysCommand(static_cast<UINT>(c.wParam), c.lParam)) },
#define ON_WM_DRAWITEM() { WM_DRAWITEM, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnDrawItem(static_cast<int>(c.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(c.lParam)); c.result = TRUE) },
#define ON_WM_MEASUREITEM() { WM_MEASUREITEM, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnMeasureItem(static_cast<int>(c.wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(c.lParam)); c.result = TRUE) },
#define ON_WM_HELPINFO() { WM_HELP, 0, 0, 0, nullptr, MAP_THUNK(c.result = MAP_TARGET->OnHelpInfo(reinterpret_cast<HELPINFO*>(c.lParam))) },
#define ON_WM_SIZE() { WM_SIZE, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnSize(static_cast<UINT>(c.wParam), static_cast<short>(LOWORD(c.lParam)), static_cast<short>(HIWORD(c.lParam)))) },
#define ON_WM_SIZING() { WM_SIZING, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnSizing(static_cast<UINT>(c.wParam), reinterpret_cast<LPRECT>(c.lParam)); c.result = TRUE) },
#define ON_WM_MOVE() { WM_MOVE, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnMove(static_cast<short>(LOWORD(c.lParam)), static_cast<short>(HIWORD(c.lParam)))) },
#define ON_WM_PAINT() { WM_PAINT, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnPaint()) },
#define ON_WM_NCPAINT() { WM_NCPAINT, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnNcPaint()) },
#define ON_WM_ERASEBKGND() { WM_ERASEBKGND, 0, 0, 0, nullptr, MAP_THUNK(c.result = MAP_TARGET->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(c.wParam)))) },
#define ON_WM_SETCURSOR() { WM_SETCURSOR, 0, 0, 0, nullptr, MAP_THUNK(c.result = MAP_TARGET->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(c.wParam)), LOWORD(c.lParam), HIWORD(c.lParam))) },
#define ON_WM_HSCROLL() { WM_HSCROLL, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnHScroll(LOWORD(c.wParam), HIWORD(c.wParam), reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(c.lParam))))) },
#define ON_WM_VSCROLL() { WM_VSCROLL, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnVScroll(LOWORD(c.wParam), HIWORD(c.wParam), reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(c.lParam))))) },
#define ON_WM_MOUSEMOVE() { WM_MOUSEMOVE, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnMouseMove(static_cast<UINT>(c.wParam), CPoint(c.lParam))) },
#define ON_WM_LBUTTONDOWN() { WM_LBUTTONDOWN, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnLButtonDown(static_cast<UINT>(c.wParam), CPoint(c.lParam))) },
#define ON_WM_LBUTTONUP() { WM_LBUTTONUP, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnLButtonUp(static_cast<UINT>(c.wParam), CPoint(c.lParam))) },
#define ON_WM_LBUTTONDBLCLK() { WM_LBUTTONDBLCLK, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnLButtonDblClk(static_cast<UINT>(c.wParam), CPoint(c.lParam))) },
#define ON_WM_RBUTTONDOWN() { WM_RBUTTONDOWN, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnRButtonDown(static_cast<UINT>(c.wParam), CPoint(c.lParam))) },
#define ON_WM_RBUTTONUP() { WM_RBUTTONUP, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnRButtonUp(static_cast<UINT>(c.wParam), CPoint(c.lParam))) },
#define ON_WM_MBUTTONDOWN() { WM_MBUTTONDOWN, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnMButtonDown(static_cast<UINT>(c.wParam), CPoint(c.lParam))) },
#define ON_WM_MOUSEWHEEL() { WM_MOUSEWHEEL, 0, 0, 0, nullptr, MAP_THUNK(c.result = MAP_TARGET->OnMouseWheel(LOWORD(c.wParam), static_cast<short>(HIWORD(c.wParam)), CPoint(c.lParam))) },
#define ON_WM_NCLBUTTONDOWN() { WM_NCLBUTTONDOWN, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnNcLButtonDown(static_cast<UINT>(c.wParam), CPoint(c.lParam))) },
#define ON_WM_NCLBUTTONDBLCLK() { WM_NCLBUTTONDBLCLK, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnNcLButtonDblClk(static_cast<UINT>(c.wParam), CPoint(c.lParam))) },
#define ON_WM_NCMOUSEMOVE() { WM_NCMOUSEMOVE, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnNcMouseMove(static_cast<UINT>(c.wParam), CPoint(c.lParam))) },
#define ON_WM_NCHITTEST() { WM_NCHITTEST, 0, 0, 0, nullptr, MAP_THUNK(c.result = MAP_TARGET->OnNcHitTest(CPoint(c.lParam))) },
#define ON_WM_NCCALCSIZE() { WM_NCCALCSIZE, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnNcCalcSize(static_cast<BOOL>(c.wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(c.lParam))) },
#define ON_WM_KEYDOWN() { WM_KEYDOWN, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnKeyDown(static_cast<UINT>(c.wParam), LOWORD(c.lParam), HIWORD(c.lParam))) },
#define ON_WM_KEYUP() { WM_KEYUP, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnKeyUp(static_cast<UINT>(c.wParam), LOWORD(c.lParam), HIWORD(c.lParam))) },
#define ON_WM_CHAR() { WM_CHAR, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnChar(static_cast<UINT>(c.wParam), LOWORD(c.lParam), HIWORD(c.lParam))) },
#define ON_WM_SYSKEYDOWN() { WM_SYSKEYDOWN, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnSysKeyDown(static_cast<UINT>(c.wParam), LOWORD(c.lParam), HIWORD(c.lParam))) },
#define ON_WM_SYSCHAR() { WM_SYSCHAR, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnSysChar(static_cast<UINT>(c.wParam), LOWORD(c.lParam), HIWORD(c.lParam))) },
#define ON_WM_GETDLGCODE() { WM_GETDLGCODE, 0, 0, 0, nullptr, MAP_THUNK(c.result = MAP_TARGET->OnGetDlgCode()) },
#define ON_WM_SETFOCUS() { WM_SETFOCUS, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(c.wParam)))) },
#define ON_WM_KILLFOCUS() { WM_KILLFOCUS, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(c.wParam)))) },
#define ON_WM_CAPTURECHANGED() { WM_CAPTURECHANGED, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(c.lParam)))) },
#define ON_WM_CANCELMODE() { WM_CANCELMODE, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnCancelMode()) },
#define ON_WM_CONTEXTMENU() { WM_CONTEXTMENU, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(c.wParam)), CPoint(c.lParam))) },
#define ON_WM_SHOWWINDOW() { WM_SHOWWINDOW, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnShowWindow(static_cast<BOOL>(c.wParam), static_cast<UINT>(c.lParam))) },
#define ON_WM_WINDOWPOSCHANGING() { WM_WINDOWPOSCHANGING, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(c.lParam))) },
#define ON_WM_WINDOWPOSCHANGED() { WM_WINDOWPOSCHANGED, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(c.lParam))) },
#define ON_WM_GETMINMAXINFO() { WM_GETMINMAXINFO, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(c.lParam))) },
#define ON_WM_SETTINGCHANGE() { WM_SETTINGCHANGE, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnSettingChange(static_cast<UINT>(c.wParam), reinterpret_cast<LPCSTR>(c.lParam))) },
#define ON_WM_SYSCOLORCHANGE() { WM_SYSCOLORCHANGE, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnSysColorChange()) },
#define ON_WM_DROPFILES() { WM_DROPFILES, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnDropFiles(reinterpret_cast<HDROP>(c.wParam))) },
#define ON_WM_DRAWCLIPBOARD() { WM_DRAWCLIPBOARD, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnDrawClipboard()) },
#define ON_WM_CHANGECBCHAIN() { WM_CHANGECBCHAIN, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnChangeCbChain(reinterpret_cast<HWND>(c.wParam), reinterpret_cast<HWND>(c.lParam))) },
#define ON_WM_MDIACTIVATE() { WM_MDIACTIVATE, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnMDIActivate(reinterpret_cast<HWND>(c.lParam) == MAP_TARGET->m_hWnd, CWnd::FromHandle(reinterpret_cast<HWND>(c.lParam)), CWnd::FromHandle(reinterpret_cast<HWND>(c.wParam)))) },
#define ON_WM_QUERYENDSESSION() { WM_QUERYENDSESSION, 0, 0, 0, nullptr, MAP_THUNK(c.result = MAP_TARGET->OnQueryEndSession()) },
#define ON_WM_ENDSESSION() { WM_ENDSESSION, 0, 0, 0, nullptr, MAP_THUNK(MAP_TARGET->OnEndSession(static_cast<BOOL>(c.wParam))) },
