// The toolbox bar of the main frame, and the commands of its buttons: the tool buttons,
// the group buttons that show their group's current variant, and the hold-down selection
// that opens a group's pop-out palette or the custom-tool menu.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <cstdint>

#include "classlib/controlbar.h"

class CCmdUI;
class CMainFrame;

class ToolboxBar : public CToolBar {
    DECLARE_DYNAMIC(ToolboxBar)
protected:
    void OnWindowPosChanged(WINDOWPOS* pos);
    DECLARE_MESSAGE_MAP()
};

// Button commands: the three arrows 32771..32773, point, compass, the three straight
// tools 32776..32778, text, information, custom tool, and the two group buttons.
constexpr UINT kFirstToolCommand = 32771;
constexpr UINT kLastToolCommand = 32783;

// What a command does to the frame's toolbox state, and the check marks that follow it.
// Gives a toolbox bar (the main frame's, or the one an in-place frame puts in its
// container) its six buttons, their images and drop-down arrows.
bool LoadToolboxButtons(CToolBar* bar);
// Shows `image` on the button of `command` of any toolbox bar.
void SetBarButtonImage(CToolBar* bar, UINT command, int image);

void RunToolboxCommand(CMainFrame* frame, UINT id);
void UpdateToolboxCommand(CMainFrame* frame, CCmdUI* cmdUI);
// The toolbar's drop-down notification: a group or custom-tool button was pressed. The
// bar is the frame's own unless another (an in-place frame's in its container) is given.
void ToolboxDropDown(CMainFrame* frame, const NMTOOLBARA* note, CToolBar* bar = nullptr);

// Which side the pop-out opens on, where it is anchored and where menus open, for the
// button's screen rectangle, the toolbar's client width, its parent's left edge and the
// frame's horizontal centre.
struct PopoutSide {
    int32_t placement;
    POINT anchor;
    POINT menuAt;
    UINT menuFlags;
};
PopoutSide ChoosePopoutSide(const RECT& button, int barClientWidth, int parentLeft, int frameCentreX);
