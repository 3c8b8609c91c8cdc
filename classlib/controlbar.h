// Control bars: tool bars, the status bar and dialog bars, the dock bars at the
// four sides of a frame that hold them, the mini frames they float in and the
// docking context that drags and sizes them.
//
// A bar keeps its bar styles (BAR_*) in m_dwStyle, apart from the window style,
// because the low word of a control's window style belongs to the control. Bars
// answer FrameLayoutMessage during their parent's RepositionBars, and update their
// buttons or panes at idle time (IdleUpdateMessage) through OnUpdateCmdUI.
#pragma once

#include "classlib/wnd.h"
#include "classlib/frame.h"

#include <vector>

// Bar styles, all in the low word: Create keeps them in m_dwStyle and gives the
// window only the bits outside BAR_STYLE_MASK.
#define BAR_ALIGN_LEFT      0x0001L
#define BAR_ALIGN_TOP       0x0002L
#define BAR_ALIGN_RIGHT     0x0004L
#define BAR_ALIGN_BOTTOM    0x0008L
#define BAR_ALIGN_ANY       0x000FL
#define BAR_BORDER_LEFT     0x0010L
#define BAR_BORDER_TOP      0x0020L
#define BAR_BORDER_RIGHT    0x0040L
#define BAR_BORDER_BOTTOM   0x0080L
#define BAR_BORDER_ANY      0x00F0L
#define BAR_TOOLTIPS        0x0100L
#define BAR_FLYBY_PROMPTS   0x0200L  // the status bar shows a button's prompt while the mouse is over it
#define BAR_HIDE_IN_PLACE   0x0400L
#define BAR_SIZE_VARIABLE   0x0800L
#define BAR_SIZE_FIXED      0x1000L
#define BAR_FLOATING        0x2000L
#define BAR_STYLE_MASK      0xFFFFL
#define BAR_HORIZONTAL      (BAR_ALIGN_TOP | BAR_ALIGN_BOTTOM)
#define BAR_VERTICAL        (BAR_ALIGN_LEFT | BAR_ALIGN_RIGHT)
#define BAR_LEFT            (BAR_ALIGN_LEFT | BAR_BORDER_RIGHT)
#define BAR_TOP             (BAR_ALIGN_TOP | BAR_BORDER_BOTTOM)
#define BAR_BOTTOM          (BAR_ALIGN_BOTTOM | BAR_BORDER_TOP)

// Layout modes of CalcDynamicLayout.
#define LM_HORZ         0x01  // horizontal, else vertical
#define LM_LENGTHY      0x02  // the length given is a height, else a width
#define LM_MRUWIDTH     0x04  // the most recently used floating width
#define LM_FULL_LENGTH  0x08  // stretch to the full length
#define LM_DOCKED_HORZ  0x10  // docked horizontally
#define LM_DOCKED_VERT  0x20  // docked upright
#define LM_REMEMBER     0x40  // remember the result as the floating width

// Tool bar button styles of SetButtonInfo: the control's button style in the low
// word, its state in the high word.
#define BARBTN_BUTTON       MAKELONG(TBSTYLE_BUTTON, 0)
#define BARBTN_SEPARATOR    MAKELONG(TBSTYLE_SEP, 0)
#define BARBTN_DROPDOWN     MAKELONG(TBSTYLE_DROPDOWN, 0)

// Status bar pane styles: the control's drawing styles, and two of the library's
// own above them.
#define PANE_NORMAL      0x0000
#define PANE_NO_BORDERS  SBT_NOBORDERS
#define PANE_POPOUT      SBT_POPOUT
#define PANE_DISABLED    0x00010000  // keeps its text but shows none
#define PANE_STRETCH     0x00020000  // takes the room the other panes leave

// Mini frame styles (low word of the floating frame's window style, clear of the
// frame styles).
#define MINI_SYNC_ACTIVE  0x0001L
#define MFS_4THICKFRAME   0x0002L  // no sizing from the corners
#define MINI_THICK_FRAME  0x0004L
#define MINI_MOVE_FRAME   0x0008L

#ifndef ID_SEPARATOR
#define ID_SEPARATOR 0
#endif

class CDockBar;
class CDockContext;
class CMiniDockFrameWnd;

// The sides of a frame and their dock bars, in layout order: the top and bottom
// bars span the frame, the left and right ones fit between them.
struct DockSide {
    DWORD align;
    UINT id;
};
inline constexpr DockSide kDockSides[] = {
    { BAR_ALIGN_TOP, IDW_DOCK_TOP },
    { BAR_ALIGN_BOTTOM, IDW_DOCK_BOTTOM },
    { BAR_ALIGN_LEFT, IDW_DOCK_LEFT },
    { BAR_ALIGN_RIGHT, IDW_DOCK_RIGHT },
};

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar();
    ~CControlBar() override;

    // The size the bar wants, docked (stretch: as long as its room) or at rest.
    virtual CSize CalcFixedLayout(bool stretch, bool horz);
    // The size for a given length (a width, or a height with LM_LENGTHY); the
    // default answers the fixed layout.
    virtual CSize CalcDynamicLayout(int length, DWORD mode);
    // Updates the bar's buttons or panes from the command targets of target.
    virtual void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) = 0;
    // The client area left inside the bar's borders.
    virtual void CalcInsideRect(CRect& rect, bool horz) const;

    DWORD GetBarStyle() const { return m_dwStyle; }
    virtual void SetBarStyle(DWORD style);
    // Allows docking on the sides in style (BAR_ALIGN_*); any call gives the bar
    // a docking context, so it can float even when it may dock nowhere.
    void EnableDocking(DWORD style);
    bool IsFloating() const;
    bool IsVisible() const;
    bool IsDockBar() const { return m_bDockBar; }
    CFrameWnd* GetDockingFrame() const;
    void SetBorders(int left, int top, int right, int bottom);
    CRect GetBorders() const { return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder); }

    // The window that gets the bar's notifications and commands: the frame it was
    // made for, whichever window holds it now. (A child window's Windows owner
    // cannot be set apart from its parent.)
    CWnd* GetBarOwner() const { return m_pOwner ? m_pOwner : GetParent(); }
    void SetBarOwner(CWnd* owner) { m_pOwner = owner; }

    CWnd* m_pOwner = nullptr;
    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;            // sides the bar may dock on
    CFrameWnd* m_pDockSite = nullptr;   // the frame whose dock bars may hold the bar
    CDockBar* m_pDockBar = nullptr;     // the dock bar holding the bar now
    CDockContext* m_pDockContext = nullptr;  // owned; a program may replace it
    bool m_bAutoDelete = false;
    int m_cxLeftBorder = 0;
    int m_cxRightBorder = 0;
    int m_cyTopBorder = 0;
    int m_cyBottomBorder = 0;
    int m_nMRUWidth = 32767;            // the floating width last chosen

    // Fly-by prompts: the pointer over a button shows its prompt in the status bar.
    bool PreTranslateMessage(MSG* msg) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;
    // The frame that command updates and prompts go to.
    CFrameWnd* GetCommandFrame() const;
    // Shows the prompt of command id (0: the idle text) in the frame's status bar.
    void ShowFlyBy(UINT id);

    LRESULT OnSizeParent(WPARAM, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUIMsg(WPARAM wParam, LPARAM);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    void OnNcCalcSize(BOOL calcValid, NCCALCSIZE_PARAMS* params);
    void OnNcPaint();
    void OnDestroy();

    bool m_bDockBar = false;
    CRect m_rectLayout;       // the room offered by the last FrameLayoutMessage
    UINT m_nFlyByID = 0;      // the command whose prompt shows, 0 none
    DECLARE_MESSAGE_MAP()
};

// The CCmdUI of one tool bar button or status bar pane.
class CBarCmdUI : public CCmdUI {
public:
    void Enable(bool on = true) override;
    void SetCheck(int check = 1) override;
    void SetRadio(bool on = true) override { SetCheck(on ? 1 : 0); }
    void SetText(const char* text) override;
};

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    bool Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | BAR_TOP,
                UINT id = AFX_IDW_TOOLBAR);
    bool CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT,
                  DWORD style = WS_CHILD | WS_VISIBLE | BAR_ALIGN_TOP,
                  CRect borders = CRect(0, 0, 0, 0), UINT id = AFX_IDW_TOOLBAR);

    void SetSizes(SIZE button, SIZE image);
    void SetHeight(int cy);
    // The button images, side by side, each of the image size.
    bool LoadBitmap(UINT resourceId);
    bool LoadBitmap(const char* resourceName);
    bool SetBitmap(HBITMAP bitmap);   // the bar takes ownership
    // Buttons with these commands (ID_SEPARATOR: a separator) and consecutive
    // images; without ids, count separators to be set with SetButtonInfo.
    bool SetButtons(const UINT* ids, int count);

    int GetCount() const;
    int CommandToIndex(UINT id) const;
    UINT GetItemID(int index) const;
    void GetItemRect(int index, RECT* rect) const;
    UINT GetButtonStyle(int index) const;
    void SetButtonStyle(int index, UINT style);
    void GetButtonInfo(int index, UINT& id, UINT& style, int& image) const;
    // A separator's image is its width: a separator can so make room for a control
    // that the program places over GetItemRect.
    void SetButtonInfo(int index, UINT id, UINT style, int image);

    CSize CalcFixedLayout(bool stretch, bool horz) override;
    CSize CalcDynamicLayout(int length, DWORD mode) override;
    void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) override;
    int OnToolHitTest(CPoint point, TOOLINFO* info) const override;

    CSize m_sizeButton{23, 22};
    CSize m_sizeImage{16, 15};

protected:
    struct Item {
        TBBUTTON button;
        int width;
    };
    std::vector<Item> ReadItems() const;
    // Wraps the buttons at width (in the bar's inside) and gives the bar's size;
    // with commit the control's wrap flags follow.
    CSize WrapLayout(int width, bool commit);
    CSize LayoutFor(int length, DWORD mode);
    void ApplyBitmap();

    HBITMAP m_hbmImageWell = nullptr;
};

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar();

    bool Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | BAR_BOTTOM,
                UINT id = AFX_IDW_STATUS_BAR);
    // One pane per indicator; ID_SEPARATOR makes a pane without text of its own.
    // The first pane stretches.
    bool SetIndicators(const UINT* ids, int count);

    int GetCount() const { return static_cast<int>(m_panes.size()); }
    int CommandToIndex(UINT id) const;
    UINT GetItemID(int index) const;
    void GetItemRect(int index, RECT* rect) const;
    CString GetPaneText(int index) const;
    void GetPaneText(int index, CString& text) const { text = GetPaneText(index); }
    bool SetPaneText(int index, const char* text, bool update = true);
    void GetPaneInfo(int index, UINT& id, UINT& style, int& width) const;
    void SetPaneInfo(int index, UINT id, UINT style, int width);
    UINT GetPaneStyle(int index) const;
    void SetPaneStyle(int index, UINT style);

    CSize CalcFixedLayout(bool stretch, bool horz) override;
    void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) override;

protected:
    struct Pane {
        UINT id;
        UINT style;
        int width;
        CString text;
    };
    void UpdateAllPanes();
    void SendPaneText(int index);

    LRESULT OnSetText(WPARAM, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLength(WPARAM, LPARAM);
    void OnSize(UINT type, int cx, int cy);

    std::vector<Pane> m_panes;
    DECLARE_MESSAGE_MAP()
};

// A bar made from a dialog template; its controls notify the bar, and what the
// bar does not handle goes on to its owner.
class CDialogBar : public CControlBar {
    DECLARE_DYNAMIC(CDialogBar)
public:
    CDialogBar();

    bool Create(CWnd* parent, const char* templateName, UINT style, UINT id);
    bool Create(CWnd* parent, UINT templateId, UINT style, UINT id);

    CSize CalcFixedLayout(bool stretch, bool horz) override;
    void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) override;

    CSize m_sizeDefault;   // the template's size
};

// The bars docked on one side of a frame, in rows (a null entry ends a row), or
// the one bar of a floating frame.
class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)
public:
    explicit CDockBar(bool floating = false);

    bool Create(CWnd* parent, DWORD style, UINT id);
    // Takes the bar; with a rectangle (screen) the bar starts a row there, else a
    // new last row.
    void DockControlBar(CControlBar* bar, const RECT* rect = nullptr);
    // Lets go of the bar (it is not destroyed); false when the bar was not here.
    bool RemoveControlBar(CControlBar* bar);
    int GetDockedCount() const;
    int GetDockedVisibleCount() const;
    CControlBar* GetFirstBar() const;
    bool Holds(const CControlBar* bar) const;

    CSize CalcFixedLayout(bool stretch, bool horz) override;
    void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) override;

    std::vector<CControlBar*> m_arrBars;   // null separates rows
    bool m_bFloating;

protected:
    void OnPaint();
    DECLARE_MESSAGE_MAP()
};

// Drags and sizes one bar: StartDrag / StartResize set up the rectangles and run
// Track, which reads the mouse until the button is released.
class CDockContext {
public:
    explicit CDockContext(CControlBar* bar);
    virtual ~CDockContext();

    virtual void StartDrag(CPoint point);
    virtual void StartResize(int hitTest, CPoint point);
    virtual void ToggleDocking();

    // The tracking loop and its parts.
    virtual bool Track();
    virtual void Move(CPoint point);
    virtual void Stretch(CPoint point);
    virtual void OnKey(int ch, bool down);
    void InitLoop();
    void CancelLoop();
    void EndDrag();
    void EndResize();
    void DrawFocusRect(bool remove = false);
    // The dock bar under the rectangle that the bar may join (screen coordinates),
    // or 0 for floating.
    UINT CanDock(const CRect& rect, DWORD dockStyle) const;

    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite = nullptr;
    DWORD m_dwDockStyle = 0;     // sides the bar may dock on
    DWORD m_dwOverDockStyle = 0; // the side under the drag, 0 none
    DWORD m_dwStyle = 0;         // the bar's style at the start
    bool m_bFlip = false;        // Shift held: the other orientation
    bool m_bForceFrame = false;  // Ctrl held: float whatever is under the drag
    bool m_bDragging = false;
    int m_nHitTest = HTNOWHERE;  // the frame edge being sized
    CPoint m_ptStart;            // screen point of the last step
    CPoint m_ptLast;
    CRect m_rectLast;
    CSize m_sizeLast;
    CRect m_rectDragHorz;        // the bar's rectangle, horizontal and upright
    CRect m_rectDragVert;
    CRect m_rectFrameDragHorz;   // the floating frame's rectangle around them
    CRect m_rectFrameDragVert;
    CRect m_rectRequestedSize;
    CRect m_rectActualSize;
    CRect m_rectActualFrameSize;
    CSize m_sizeFrameBorders;    // the floating frame's size less the bar's
    HDC m_hDC = nullptr;         // the desktop while a focus rectangle shows
    bool m_bDitherLast = false;
    UINT m_uMRUDockID = 0;       // where the bar was last docked
    CRect m_rectMRUDockPos;
    CPoint m_ptMRUFloatPos{-1, -1};
};

// A small-captioned pop-up frame.
class CMiniFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMiniFrameWnd)
public:
    CMiniFrameWnd();
    bool CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  const RECT& rect, CWnd* parent = nullptr, UINT id = 0);

protected:
    LRESULT OnNcHitTest(CPoint point);
    DECLARE_MESSAGE_MAP()
};

// The frame a floating bar lives in: a dock bar fills it and the frame fits the bar.
class CMiniDockFrameWnd : public CMiniFrameWnd {
    DECLARE_DYNCREATE(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd();
    bool Create(CWnd* parent, DWORD barStyle);
    void RecalcLayout(bool notify = true) override;
    CControlBar* GetBar() const { return m_wndDockBar.GetFirstBar(); }

    CDockBar m_wndDockBar{true};

protected:
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnNcLButtonDblClk(UINT hitTest, CPoint point);
    void OnClose();

    bool m_bInRecalcLayout = false;
    DECLARE_MESSAGE_MAP()
};
