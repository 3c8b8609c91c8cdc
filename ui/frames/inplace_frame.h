// The frame around a sketch active in place inside another program's document: the
// toolbox's six buttons in the container's frame, the program's menus shared with the
// container's, and engine commands run as the main frame runs them.
#pragma once
#include "classlib/controlbar.h"
#include "classlib/ole_ipframe.h"

class CInPlaceFrame : public COleIPFrameWnd {
    DECLARE_DYNCREATE(CInPlaceFrame)
public:
    CInPlaceFrame();
    ~CInPlaceFrame() override;

    bool OnCreateControlBars(HWND containerFrame, HWND containerDocument) override;
    HMENU BuildInPlaceMenu() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

    // The frame active in place, if any: its toolbox follows the main frame's.
    static CInPlaceFrame* Active();
    void RefreshToolbox(class CMainFrame* main);

    CToolBar m_toolbox;
    COleDropTarget m_dropTarget;
    COleResizeBar m_resizeBar;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnToolboxDropDown(NMHDR* note, LRESULT* result);
    void OnUpdateToolboxCommand(CCmdUI* cmdUI);
    DECLARE_MESSAGE_MAP()
};
