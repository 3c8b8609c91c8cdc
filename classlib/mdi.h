// The multiple-document frames: the main MDI frame with its MDI client, and the
// child frames inside it.
#pragma once

#include "classlib/frame.h"

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    HWND m_hWndMDIClient = nullptr;

    // Makes the MDI client. It takes the frame's scroll-bar styles (the frame
    // loses them), so that the client area scrolls.
    virtual bool CreateClient(LPCREATESTRUCT cs, CMenu* windowMenu);
    // The pop-up of a menu bar that holds the window commands (the Window menu).
    virtual HMENU GetWindowMenuPopup(HMENU menuBar);

    bool OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool OnCmdMsg(UINT id, int code, void* extra, CommandHandlerInfo* handlerInfo) override;
    bool PreTranslateMessage(MSG* msg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    CFrameWnd* GetActiveFrame() override;
    void OnUpdateFrameTitle(bool addToTitle) override;
    // The menu bar of the active document (its GetDefaultMenu), else the frame's
    // own, with its Window pop-up given to the MDI client.
    void OnUpdateFrameMenu(HMENU menuAlt) override;
    bool PreCreateWindow(CREATESTRUCT& cs) override;

    CMDIChildWnd* MDIGetActive(BOOL* maximized = nullptr) const;
    void MDIActivate(CWnd* child);
    void MDIMaximize(CWnd* child);
    void MDIRestore(CWnd* child);
    void MDINext();
    void MDIPrev();
    void MDICascade();
    void MDITile(int how = MDITILE_HORIZONTAL);
    void MDIIconArrange();
    HMENU MDISetMenu(HMENU frameMenu, HMENU windowMenu);

protected:
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    bool OnMDIWindowCmd(UINT id);
    void OnUpdateMDIWindowCmd(CCmdUI* ui);
    DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    HMENU m_hMenuShared = nullptr;   // the template's menu, shown while active

    bool LoadFrame(UINT resourceId, DWORD style = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* parent = nullptr, CCreateContext* context = nullptr) override;
    bool Create(const char* className, const char* title,
                DWORD style = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                CMDIFrameWnd* parent = nullptr, CCreateContext* context = nullptr);
    bool DestroyWindow() override;
    bool PreCreateWindow(CREATESTRUCT& cs) override;
    bool PreTranslateMessage(MSG* msg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ActivateFrame(int showCommand = -1) override;
    void OnUpdateFrameTitle(bool addToTitle) override;
    virtual void OnUpdateFrameMenu(bool activate, CWnd* activateWnd, HMENU menuAlt);

    CMDIFrameWnd* GetMDIFrame() const;
    void MDIDestroy();
    void MDIActivate();
    void MDIMaximize();
    void MDIRestore();

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnMDIActivate(BOOL activate, CWnd* activated, CWnd* deactivated);
    void OnSize(UINT type, int cx, int cy);
    int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
    DECLARE_MESSAGE_MAP()
};
