#include "ui/toolbox_bar.h"

#include "ui/frames/inplace_frame.h"

#include <algorithm>
#include <iterator>

#include "classlib/app.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/user_interface.h"
#include "engine/core/sketch.h"
#include "engine/interact/mouse.h"
#include "engine/interact/toolbox.h"
#include "platform/win32/shell.h"
#include "ui/doc/document_services.h"
#include "ui/engine_calls.h"
#include "ui/frames/inplace_frame.h"
#include "ui/frames/main_frame.h"
#include "ui/menus.h"
#include "ui/resource_ids.h"
#include "ui/tool_popout.h"

namespace {

constexpr uint32_t kToolboxCommandGroup = 9;     // the command group of Show/Hide Toolbox
constexpr int32_t kArrowItem = 1;          // the toolbox model's arrow group
constexpr int32_t kStraightItem = 4;       // and its straight-object group
constexpr int32_t kCustomToolButton = 10;  // button index of the custom tool
constexpr int32_t kInformationButton = 8;
constexpr int32_t kCustomToolId = 11;
constexpr DWORD kHoldMs = 400;
constexpr UINT kFirstArrowCommand = 32771;
constexpr UINT kFirstStraightCommand = 32776;
constexpr UINT kInformationCommand = 32780;

bool PrimaryButtonDown() {
    const int key = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

void SetButtonImage(CMainFrame* frame, UINT command, int image) {
    if (frame->m_toolbox) SetBarButtonImage(frame->m_toolbox, command, image);
}

// Selects the toolbox entry of a button's tool unless it is already the selection.
void SelectButton(int32_t index) {
    if (index >= kCustomToolButton) return;
    int32_t item = 0, member = 0, selItem = 0, selMember = 0;
    if (!ToolboxFindTool(index + 1, &item, &member)) return;
    GetToolboxSelection(&selItem, &selMember);
    if (item != selItem || member != selMember) SelectToolboxItem(item, member);
}

void SelectEntryUnlessSelected(int32_t item, int32_t member) {
    int32_t selItem = 0, selMember = 0;
    GetToolboxSelection(&selItem, &selMember);
    if (item != selItem || (member != kToolboxNone && member != selMember)) SelectToolboxItem(item, member);
}

// Waits for input or the deadline without spinning; mouse moves are taken from the queue,
// other messages stay for the message loop.
void WaitForInput(DWORD timeout) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeout, QS_ALLINPUT);
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
    }
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
}

// Runs the pop-out of a group until it hides; answers its hot cell.
int32_t RunPopout(CMainFrame* frame, int32_t group, const PopoutSide& side) {
    ToolPopoutWnd popout;
    popout.group = group;
    popout.anchorX = side.anchor.x;
    popout.anchorY = side.anchor.y;
    popout.placement = side.placement;
    if (!popout.CreatePopout(frame->m_hWnd)) return -1;
    popout.Place();
    while (popout.m_hWnd && IsWindowVisible(popout.m_hWnd)) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(1);
                break;
            }
            if (!popout.PreTranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            continue;
        }
        if (!IdleUpdate(0)) WaitMessage();
    }
    const int32_t chosen = popout.hotCell;
    popout.DestroyWindow();
    return chosen;
}

}  // namespace

IMPLEMENT_DYNAMIC(ToolboxBar, CToolBar)

BEGIN_MESSAGE_MAP(ToolboxBar, CToolBar)
    ON_WM_WINDOWPOSCHANGED()
END_MESSAGE_MAP()

void ToolboxBar::OnWindowPosChanged(WINDOWPOS* pos) {
    CToolBar::OnWindowPosChanged(pos);
    if (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) CmdStateInvalidate(kToolboxCommandGroup);
}

void RunToolboxCommand(CMainFrame* frame, UINT id) {
    int32_t index = -1;
    if (id >= kFirstArrowCommand && id < kFirstArrowCommand + 3) {
        index = int32_t(id - kFirstArrowCommand);
        SetButtonImage(frame, ID_TOOL_ARROW, index);
        frame->m_arrowVariant = index;
    } else if (id >= kFirstStraightCommand && id < kFirstStraightCommand + 3) {
        index = int32_t(id - kFirstStraightCommand) + 5;
        SetButtonImage(frame, ID_TOOL_STRAIGHTEDGE, index);
        frame->m_straightedgeVariant = index;
    } else if (id == ID_TOOL_POINT) {
        index = 3;
    } else if (id == ID_TOOL_COMPASS) {
        index = 4;
    } else if (id == ID_TOOL_TEXT) {
        index = 9;
    } else if (id == kInformationCommand) {
        index = kInformationButton;
        SetMouseCursorKind(0);
    } else if (id == ID_TOOL_ARROW) {
        index = frame->m_arrowVariant;
    } else {
        return;  // the straightedge and custom-tool buttons act through the drop-down
    }
    frame->m_currentToolboxButton = index;
    SelectButton(index);
}

void UpdateToolboxCommand(CMainFrame* frame, CCmdUI* cmdUI) {
    const int32_t current = frame->m_currentToolboxButton;
    switch (cmdUI->m_nID) {
    case ID_TOOL_POINT: cmdUI->SetCheck(current == 3); break;
    case ID_TOOL_COMPASS: cmdUI->SetCheck(current == 4); break;
    case ID_TOOL_TEXT: cmdUI->SetCheck(current == 9); break;
    case kInformationCommand: cmdUI->SetCheck(current == kInformationButton); break;
    case ID_TOOL_ARROW:
        cmdUI->Enable(true);
        cmdUI->SetCheck(current == frame->m_arrowVariant);
        break;
    case ID_TOOL_STRAIGHTEDGE:
        cmdUI->Enable(true);
        cmdUI->SetCheck(current == frame->m_straightedgeVariant);
        break;
    case ID_TOOL_CUSTOM:
        cmdUI->Enable(true);
        cmdUI->SetCheck(current == kCustomToolButton);
        break;
    default: break;
    }
}

PopoutSide ChoosePopoutSide(const RECT& button, int barClientWidth, int parentLeft, int frameCentreX) {
    if (barClientWidth >= 40) {
        return { kPopoutBelow, { button.left - 7, button.top - 6 }, { button.left, button.bottom }, TPM_LEFTALIGN };
    }
    if (parentLeft < frameCentreX) {
        return { kPopoutRight, { button.left - 7, button.top - 5 }, { button.right, button.top }, TPM_LEFTALIGN };
    }
    return { kPopoutLeft, { button.left - 7, button.top - 5 }, { button.left, button.top }, TPM_RIGHTALIGN };
}

void ToolboxDropDown(CMainFrame* frame, const NMTOOLBARA* note, CToolBar* bar) {
    const UINT button = UINT(note->iItem);
    if (button != ID_TOOL_ARROW && button != ID_TOOL_STRAIGHTEDGE && button != ID_TOOL_CUSTOM) return;
    if (!bar) bar = frame->m_toolbox;
    if (!bar || !bar->m_hWnd) return;
    SketchScope scope(gEngine.frontSketch);

    int32_t selItem = 0, selMember = 0;
    GetToolboxSelection(&selItem, &selMember);
    RECT rect{};
    bar->SendMessage(TB_GETRECT, button, reinterpret_cast<LPARAM>(&rect));
    MapWindowPoints(bar->m_hWnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    ToolList* list = nullptr;
    int32_t toolIndex = 0;
    const bool customCurrent = button == ID_TOOL_CUSTOM && GetCurrentCustomTool(&list, &toolIndex);
    const bool groupSelected = button == ID_TOOL_ARROW ? selItem == kArrowItem
                               : button == ID_TOOL_STRAIGHTEDGE ? selItem == kStraightItem
                               : !customCurrent;

    // Held inside the button the deadline runs; outside it the button shows released.
    // A click so quick that the button is up before the first look is still a click.
    bool shownDown = false, opened = false, clicked = false, firstLook = true;
    DWORD deadline = 0;
    for (;;) {
        POINT p;
        GetCursorPos(&p);
        const bool inside = PtInRect(&rect, p) != FALSE;
        if (!PrimaryButtonDown()) {
            clicked = inside && (shownDown || firstLook);
            break;
        }
        firstLook = false;
        if (inside && !shownDown) {
            bar->SendMessage(TB_PRESSBUTTON, button, TRUE);
            shownDown = true;
            deadline = GetTickCount() + (groupSelected ? 0 : kHoldMs);
        } else if (!inside && shownDown) {
            bar->SendMessage(TB_PRESSBUTTON, button, FALSE);
            shownDown = false;
        }
        const DWORD now = GetTickCount();
        if (shownDown && int32_t(now - deadline) >= 0) {
            opened = true;
            break;
        }
        // Bounded so that a release over another program's window is still seen.
        WaitForInput(shownDown ? std::min<DWORD>(deadline - now, 100) : 100);
    }

    bool chosen = clicked;
    if (opened) {
        RECT client{}, parent{}, main{};
        bar->GetClientRect(&client);
        ::GetWindowRect(::GetParent(bar->m_hWnd), &parent);
        frame->GetWindowRect(&main);
        const PopoutSide side = ChoosePopoutSide(rect, client.right - client.left, parent.left,
                                                 (main.left + main.right) / 2);
        if (button == ID_TOOL_CUSTOM) {
            chosen = ShowCustomToolPopup(side.menuAt.x, side.menuAt.y, side.menuFlags | TPM_LEFTBUTTON, frame->m_hWnd);
            frame->SetActiveWindow();
        } else {
            const int32_t group = button == ID_TOOL_ARROW ? kArrowItem : kStraightItem;
            const UINT base = button == ID_TOOL_ARROW ? kFirstArrowCommand : kFirstStraightCommand;
            const int32_t r = RunPopout(frame, group, side);
            if (r == 0) {
                SelectEntryUnlessSelected(group, kToolboxNone);
            } else if (r > 0) {
                SelectEntryUnlessSelected(group, r);
                frame->PostMessage(WM_COMMAND, MAKEWPARAM(base + UINT(r) - 1, 0), 0);
            }
            chosen = r >= 0;
        }
    }

    if (chosen) {
        if (button == ID_TOOL_STRAIGHTEDGE || button == ID_TOOL_ARROW) {
            const int32_t variant = button == ID_TOOL_ARROW ? frame->m_arrowVariant : frame->m_straightedgeVariant;
            frame->m_currentToolboxButton = variant;
            if (clicked) SelectButton(variant);
        } else if (GetCurrentCustomTool(&list, &toolIndex)) {
            int32_t item = 0, member = 0;
            if (ToolboxFindTool(kCustomToolId, &item, &member)) {
                SelectToolboxItem(item, member);
                if (ToolSelectFromLibrary(list, toolIndex)) {
                    frame->m_currentToolboxButton = kCustomToolButton;
                } else {
                    ChooseCurrentTool();
                }
            } else {
                ChooseCurrentTool();
            }
        }
    }
    if (bar->SendMessage(TB_ISBUTTONPRESSED, button, 0)) bar->SendMessage(TB_PRESSBUTTON, button, FALSE);
}

// The bar's own style bit: the bar counts as shown while the main window is minimised
// or not shown yet.
bool IsToolboxVisible() {
    auto* frame = dynamic_cast<CMainFrame*>(CurrentMainWindow());
    return frame && frame->IsToolboxVisible();
}

void SetToolboxHidden(bool hidden) {
    auto* frame = dynamic_cast<CMainFrame*>(CurrentMainWindow());
    if (!frame || !frame->m_toolbox || !frame->m_toolbox->m_hWnd) return;
    if (frame->IsToolboxVisible() == !hidden) return;
    frame->ShowControlBar(frame->m_toolbox, !hidden, false);
}

// The toolbox model's selection moved: the frame's current button and group variants,
// and the group buttons' images, follow it.
void RefreshToolboxBar() {
    auto* frame = dynamic_cast<CMainFrame*>(CurrentMainWindow());
    if (!frame || !frame->m_toolbox || !frame->m_toolbox->m_hWnd) return;
    int32_t item = 0, member = 0, tool = 0, argument = 0;
    bool current = false, members = false;
    GetToolboxSelection(&item, &member);
    if (item == kToolboxNone || !ToolboxItemInfo(item, member, &tool, &current, &members, &argument)) return;
    if (tool >= 1 && tool <= 3) {
        frame->m_arrowVariant = tool - 1;
        SetButtonImage(frame, ID_TOOL_ARROW, tool - 1);
    } else if (tool >= 6 && tool <= 8) {
        frame->m_straightedgeVariant = tool - 1;
        SetButtonImage(frame, ID_TOOL_STRAIGHTEDGE, tool - 1);
    }
    frame->m_currentToolboxButton = tool >= kCustomToolId ? kCustomToolButton : tool - 1;
    frame->m_toolbox->OnUpdateCmdUI(frame, false);
    if (CInPlaceFrame* inPlace = CInPlaceFrame::Active()) inPlace->RefreshToolbox(frame);
}

void SetBarButtonImage(CToolBar* bar, UINT command, int image) {
    if (!bar->m_hWnd) return;
    const int index = bar->CommandToIndex(command);
    if (index < 0) return;
    UINT id = 0, style = 0;
    int old = 0;
    bar->GetButtonInfo(index, id, style, old);
    if (old != image) bar->SetButtonInfo(index, id, style, image);
}

namespace {
// The toolbox's six buttons: command, drop-down, image.
struct ToolboxButton {
    UINT command;
    bool dropDown;
    int image;
};
const ToolboxButton kToolboxButtons[] = {
    { ID_TOOL_ARROW,        true,  0 },
    { ID_TOOL_POINT,        false, 3 },
    { ID_TOOL_COMPASS,      false, 4 },
    { ID_TOOL_STRAIGHTEDGE, true,  5 },
    { ID_TOOL_TEXT,         false, 9 },
    { ID_TOOL_CUSTOM,       true,  10 },
};
}  // namespace

bool LoadToolboxButtons(CToolBar* bar) {
    bar->SetSizes(CSize(27, 27), CSize(20, 20));
    if (!bar->LoadBitmap(IDB_TOOLBOX)) return false;
    UINT ids[std::size(kToolboxButtons)];
    for (size_t i = 0; i < std::size(kToolboxButtons); ++i) ids[i] = kToolboxButtons[i].command;
    bar->SetButtons(ids, static_cast<int>(std::size(ids)));
    for (size_t i = 0; i < std::size(kToolboxButtons); ++i) {
        const ToolboxButton& b = kToolboxButtons[i];
        bar->SetButtonInfo(static_cast<int>(i), b.command, b.dropDown ? BARBTN_DROPDOWN : BARBTN_BUTTON, b.image);
    }
    return true;
}
