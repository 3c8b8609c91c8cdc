#include "ui/frames/motion_controller_bar.h"

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/services/bars.h"
#include "engine/core/services/command_groups.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/number_locale.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "engine/interact/command_state.h"
#include "engine/interact/motion.h"
#include "engine/interact/selection_census.h"
#include "engine/text/object_labels.h"
#include "platform/rules/shell_rules.h"
#include "platform/win32/shell_windows.h"
#include "ui/app/main_app.h"
#include "ui/frames/main_frame.h"
#include "ui/input_state.h"
#include "ui/portable/motion_bar_rules.h"
#include "ui/resource_ids.h"

namespace {

constexpr uint32_t kShowMotionControllerRow = 91;
// Command of each item's control (the spin serves both 3 and 4).
constexpr UINT kItemControl[kMotionBarItemCount] = {
    kMotionAnimateId, kMotionStopId, kMotionPauseId, kMotionSpinId,
    kMotionSpinId, kMotionSpeedBoxId, kMotionTargetId, kMotionReverseId,
};
constexpr size_t kTargetItemChars = 40;
// A separator that does not give its width (the tool bar control's default).
constexpr int32_t kPlainSeparatorWidth = 8;
constexpr int kMenuLeftOfMouse = 90;

HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// What the front sketch has changed since: the selection and the structure together.
uint32_t FrontChangeCount() {
    const Sketch* front = gEngine.frontSketch;
    return front ? front->selectionChangeCount + front->structureChangeCount : 0;
}

std::string LoadText(UINT id) {
    CString s;
    s.LoadString(id);
    return std::string(static_cast<const char*>(s));
}

void FreeMovingList(SketchObject* head) {
    // The list is linked through the objects' scratch links: nothing to free but the links.
    while (head) {
        SketchObject* next = head->tempLink;
        head->tempLink = nullptr;
        head = next;
    }
}

}  // namespace

IMPLEMENT_DYNAMIC(MotionControllerBar, CToolBar)

BEGIN_MESSAGE_MAP(MotionControllerBar, CToolBar)
    ON_WM_CREATE()
    ON_COMMAND_RANGE(kMotionAnimateId, kMotionSpinId, OnAnimateRange)
    ON_COMMAND(kMotionTargetMenuCommand, OnTargetMenu)
    ON_WM_VSCROLL()
    ON_WM_MENUSELECT()
    ON_WM_DRAWITEM()
    ON_WM_SHOWWINDOW()
    ON_WM_WINDOWPOSCHANGED()
    ON_MESSAGE(WM_APP, OnSpeedTyped)
END_MESSAGE_MAP()

MotionControllerBar* TheMotionController() {
    CMainFrame* frame = TheMainFrame();
    return frame && frame->m_motionController.m_hWnd ? &frame->m_motionController : nullptr;
}

MotionControllerBar::MotionControllerBar() {
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc) {
        HGDIOBJ old = SelectObject(dc, GuiFont());
        TEXTMETRICA metrics{};
        if (GetTextMetricsA(dc, &metrics)) charHeight = metrics.tmHeight;
        SelectObject(dc, old);
        DeleteDC(dc);
    }
}

MotionControllerBar::~MotionControllerBar() {
    if (symbolFont) DeleteObject(symbolFont);
    if (speedBox) {
        if (speedBox->m_hWnd) speedBox->DestroyWindow();
        delete speedBox;
    }
    if (targetButton.m_hWnd) targetButton.DestroyWindow();
    if (speedLabel.m_hWnd) speedLabel.DestroyWindow();
    if (spin.m_hWnd) spin.DestroyWindow();
}

bool MotionControllerBar::CreateBar(CFrameWnd* frame, bool largeButtons) {
    large = largeButtons;
    const DWORD style = WS_CHILD | BAR_TOP | BAR_TOOLTIPS | BAR_FLYBY_PROMPTS | BAR_HIDE_IN_PLACE | BAR_SIZE_VARIABLE;
    if (!Create(frame, style, 0)) return false;
    const CSize image = large ? CSize(62, 20) : CSize(50, 16);
    SetSizes(CSize(image.cx + 7, image.cy + 8), image);
    if (!LoadBitmap(large ? IDB_MOTION_BAR_LARGE : IDB_MOTION_BAR)) return false;
    static const UINT buttons[11] = {
        ID_SEPARATOR, ID_SEPARATOR, kMotionAnimateId, kMotionStopId, kMotionReverseId, ID_SEPARATOR,
        ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR, kMotionPauseId,
    };
    if (!SetButtons(buttons, 11)) return false;
    SetWindowText(LoadText(IDS_MOTION_CONTROLLER).c_str());
    for (UINT id : { kMotionAnimateId, kMotionStopId, kMotionReverseId, kMotionPauseId })
        SendMessage(TB_ENABLEBUTTON, id, MAKELPARAM(FALSE, 0));
    return true;
}

int MotionControllerBar::OnCreate(LPCREATESTRUCT cs) {
    if (CToolBar::OnCreate(cs) == -1) return -1;
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const CSize target = large ? CSize(207, 28) : CSize(171, 22);
    HWND button = CreateWindowExA(0, "BUTTON", "", child | BS_OWNERDRAW | WS_DISABLED, 0, 0, target.cx, target.cy,
                                  m_hWnd, reinterpret_cast<HMENU>(UINT_PTR(kMotionTargetId)), instance, nullptr);
    if (!button || !targetButton.Attach(button)) return -1;
    targetButton.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);

    const std::string speedText = LoadText(IDS_MOTION_SPEED_LABEL);
    if (!speedLabel.CreateEx(0, "STATIC", speedText.c_str(), child | SS_LEFT, CRect(0, 0, large ? 48 : 36, charHeight + 2), this,
                             kMotionSpeedLabelId))
        return -1;
    speedLabel.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);

    // The box takes the decimal separator and "p" for pi, which the Symbol face shows
    // as the Greek letter.
    char allowed[24] = {};
    allowed[0] = DecimalSeparator();
    std::strcat(allowed, "01234567890.p");
    speedBox = new (std::nothrow) SmartEdit(allowed, 1);
    if (!speedBox) return -1;
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", child | ES_AUTOHSCROLL | WS_DISABLED, 0, 0,
                                large ? 62 : 54, charHeight + 6, m_hWnd,
                                reinterpret_cast<HMENU>(UINT_PTR(kMotionSpeedBoxId)), instance, nullptr);
    symbolFont = CreateFontA(large ? -14 : -12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 18, "Symbol");
    if (!edit || !speedBox->Attach(edit, symbolFont ? symbolFont : GuiFont())) return -1;

    HWND updown = CreateWindowExA(0, UPDOWN_CLASSA, nullptr, child | WS_DISABLED, 0, 0, 12, large ? 26 : 20, m_hWnd,
                                  reinterpret_cast<HMENU>(UINT_PTR(kMotionSpinId)), instance, nullptr);
    if (!updown || !spin.SubclassWindow(updown)) return -1;
    spin.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    spin.SendMessage(UDM_SETRANGE32, WPARAM(kSpinBottom), LPARAM(kSpinTop));
    spin.SendMessage(UDM_SETPOS32, 0, LPARAM(kSpinRest));
    spinPosition = kSpinRest;
    return 0;
}

void MotionControllerBar::LayoutControls() {
    if (!speedBox || !speedBox->m_hWnd) return;
    struct Slot { int index; UINT id; CWnd* control; int narrower; int lower; bool bottom; };
    const Slot slots[] = {
        { 0, kMotionTargetId, &targetButton, 0, 1, false },
        { 6, kMotionSpeedLabelId, &speedLabel, 0, 0, true },
        { 7, kMotionSpeedBoxId, speedBox, 1, 1, false },
        { 8, kMotionSpinId, &spin, 0, 0, false },
    };
    for (const Slot& s : slots) {
        RECT now{};
        s.control->GetWindowRect(&now);
        SetButtonInfo(s.index, s.id, BARBTN_SEPARATOR, now.right - now.left - s.narrower);
    }
    for (const Slot& s : slots) {
        RECT item{}, now{};
        GetItemRect(s.index, &item);
        s.control->GetWindowRect(&now);
        const int height = now.bottom - now.top;
        const int top = s.bottom ? item.bottom - height : item.top + (item.bottom - item.top - height) / 2 + s.lower;
        s.control->SetWindowPos(nullptr, item.left, top, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

CSize MotionControllerBar::CalcDynamicLayout(int length, DWORD mode) {
    CSize size = CToolBar::CalcDynamicLayout(length, mode);
    const auto form = LaterForms().window.floatingBarSize;
    if (!form || (mode & (LM_DOCKED_HORZ | LM_DOCKED_VERT)) || !IsFloating()) return size;
    const int count = GetCount();
    std::vector<BarButtonExtent> extents;
    std::vector<int> indexes;
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        if (!SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b)) || (b.fsState & TBSTATE_HIDDEN)) continue;
        const bool separator = (b.fsStyle & TBSTYLE_SEP) != 0;
        extents.push_back({ separator ? (b.iBitmap > 0 ? b.iBitmap : kPlainSeparatorWidth) : int32_t(m_sizeButton.cx),
                            separator && b.idCommand == 0 });
        indexes.push_back(i);
    }
    int32_t borderX = m_cxLeftBorder + m_cxRightBorder, borderY = m_cyTopBorder + m_cyBottomBorder;
    if (m_dwStyle & BAR_BORDER_LEFT) borderX += 2;
    if (m_dwStyle & BAR_BORDER_RIGHT) borderX += 2;
    if (m_dwStyle & BAR_BORDER_TOP) borderY += 2;
    if (m_dwStyle & BAR_BORDER_BOTTOM) borderY += 2;
    int32_t width = size.cx, height = size.cy;
    std::unique_ptr<bool[]> rowEnds(new (std::nothrow) bool[extents.size() + 1]);
    if (!rowEnds) return size;
    form(extents.data(), int32_t(extents.size()), m_sizeButton.cy, borderX, borderY, &width, &height, rowEnds.get());
    // The control places the buttons in the rows the wrap chose.
    for (size_t k = 0; k < indexes.size(); ++k) {
        TBBUTTON b{};
        SendMessage(TB_GETBUTTON, indexes[k], reinterpret_cast<LPARAM>(&b));
        const BYTE wanted = rowEnds[k] ? BYTE(b.fsState | TBSTATE_WRAP) : BYTE(b.fsState & ~TBSTATE_WRAP);
        if (wanted == b.fsState) continue;
        TBBUTTONINFOA info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_STATE | TBIF_BYINDEX;
        info.fsState = wanted;
        SendMessage(TB_SETBUTTONINFOA, indexes[k], reinterpret_cast<LPARAM>(&info));
    }
    SendMessage(TB_AUTOSIZE);
    LayoutControls();
    return CSize(width, height);
}

void MotionControllerBar::OnUpdateCmdUI(CFrameWnd*, bool) {
    // The buttons follow the engine's item states alone.
}

void MotionControllerBar::SetItemState(int32_t index, int32_t state) {
    if (index < 0 || index >= kMotionBarItemCount) return;
    itemStates[index] = state;
    UpdateControl(index);
}

void MotionControllerBar::UpdateControl(int32_t index) {
    if (index < 0 || index >= kMotionBarItemCount || !m_hWnd) return;
    const int32_t state = itemStates[index];
    const bool enabled = state != 2;
    const UINT id = kItemControl[index];
    switch (index) {
    case 0: case 1: case 2: case 7:
        SendMessage(TB_ENABLEBUTTON, id, MAKELPARAM(enabled, 0));
        SendMessage(TB_CHECKBUTTON, id, MAKELPARAM(state == 1, 0));
        break;
    default: {
        CWnd* control = index == 5 ? static_cast<CWnd*>(speedBox) : index == 6 ? static_cast<CWnd*>(&targetButton)
                                                                               : &spin;
        if (control && control->m_hWnd) control->EnableWindow(enabled);
        // A change in the sketch since the typing began ends the edit: the engine's
        // text is right again.
        if (speedUnderEdit && FrontChangeCount() != changeCountAtEdit) speedUnderEdit = false;
        if (index == 5 && !speedUnderEdit && speedBox && speedBox->m_hWnd) {
            speedBoxUpdating = true;
            speedBox->SetWindowText(enabled ? CurrentSpeedRangeText() : "");
            speedBox->modified = false;
            speedBoxUpdating = false;
        }
        if (index == 6) RefreshTargetCaption();
        break;
    }
    }
    if (speedBox && speedBox->m_hWnd && ::GetFocus() == speedBox->m_hWnd) speedUnderEdit = true;
}

void MotionControllerBar::FocusMainWindow() {
    HWND main = MainWindow();
    if (!main) return;
    ::SetFocus(main);
    ::PostMessageA(main, kRaiseFloatingBarsMessage, 0, 0);
}

void MotionControllerBar::OnAnimateCommand(UINT id) {
    CmdStateRefreshNow();
    if (id != kMotionTargetId && SendMessage(TB_ISBUTTONENABLED, id, 0)) {
        int32_t code = -1;
        switch (id) {
        case kMotionAnimateId: code = 0; break;
        case kMotionStopId: code = 1; break;
        case kMotionPauseId: code = 2; break;
        case kMotionReverseId: code = 7; break;
        default: break;
        }
        if (code >= 0) RunMotionBarCommand(code);
    }
    FocusMainWindow();
    speedUnderEdit = false;
}

void MotionControllerBar::OnVScroll(UINT code, UINT position, CScrollBar*) {
    if (code == SB_THUMBPOSITION) {
        const int32_t p = static_cast<int32_t>(static_cast<int16_t>(position));
        RunMotionBarCommand(SpinStepCommand(spinPosition, p));
        spinPosition = p;
    } else if (code == SB_ENDSCROLL) {
        spin.SendMessage(UDM_SETPOS32, 0, LPARAM(kSpinRest));
        spinPosition = kSpinRest;
    }
    Default();
    FocusMainWindow();
    speedUnderEdit = false;
}

bool MotionControllerBar::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == kMotionSpeedBoxId && speedBox && reinterpret_cast<HWND>(lParam) == speedBox->m_hWnd) {
        if (HIWORD(wParam) == EN_SETFOCUS) OnSpeedSetFocus();
        else if (HIWORD(wParam) == EN_KILLFOCUS) OnSpeedKillFocus();
    }
    return CToolBar::OnCommand(wParam, lParam);
}

void MotionControllerBar::OnSpeedSetFocus() {
    char text[64] = "";
    speedBox->GetWindowText(text, sizeof text);
    // A range of speeds is replaced as a whole, so a click selects all of it.
    if (std::strstr(text, "...")) speedBox->selectAllOnClick = true;
    speedUnderEdit = true;
    changeCountAtEdit = FrontChangeCount();
    OutputDebugStringA("Edit gaining focus.\n");
}

void MotionControllerBar::ApplyTypedSpeed(double value) {
    speedBox->selectAllOnClick = false;
    speedUnderEdit = true;
    changeCountAtEdit = FrontChangeCount();
    Sketch* front = gEngine.frontSketch;
    if (!front) return;
    CurrentSketchScope scope(front);
    ChangeMotionSpeeds(value, front->selectionHead != nullptr, false);
}

LRESULT MotionControllerBar::OnSpeedTyped(WPARAM, LPARAM) {
    if (speedBoxUpdating || !speedBox) return 0;
    double value = 0;
    if (speedBox->Validate(&value, nullptr) && value > 0) ApplyTypedSpeed(value);
    return 0;
}

void MotionControllerBar::OnSpeedKillFocus() {
    speedUnderEdit = false;
    OutputDebugStringA("Edit losing focus.\n");
    if (!speedBoxUpdating && speedBox) {
        double value = 0;
        char text[64] = "";
        speedBox->GetWindowText(text, sizeof text);
        // An emptied box validates to the last value: it is refused like any non-number.
        if (text[0] && speedBox->Validate(&value, nullptr) && value > 0) {
            ApplyTypedSpeed(value);
            speedUnderEdit = false;
            CmdStateInvalidate(kCommandGroupMotion);
        } else {
            MessageBeep(static_cast<UINT>(-1));
            UpdateControl(5);
        }
    }
    if (!PrimaryButtonDown()) FocusMainWindow();
}

bool MotionControllerBar::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && speedBox && msg->hwnd == speedBox->m_hWnd)
        OnSpeedKillFocus();
    return CToolBar::PreTranslateMessage(msg);
}

void MotionControllerBar::RefreshTargetCaption() {
    if (!targetButton.m_hWnd) return;
    const int32_t state = itemStates[6];
    int32_t kind = 0, count = 0;
    char noun[256] = "";
    std::string single;
    if (state == 0) {
        GetSelectionCensusSummary(&kind, &count, noun);
        const Sketch* front = gEngine.frontSketch;
        SketchObject* only = front ? front->selectionHead : nullptr;
        if (only && only->nextSelected == nullptr) {
            char named[256] = "";
            CurrentSketchScope scope(gEngine.frontSketch);
            FormatNounAndLabel(only, 1, named, sizeof named, true);
            single = named;
        }
    }
    RECT r{};
    targetButton.GetClientRect(&r);
    HDC dc = ::GetDC(targetButton.m_hWnd);
    HGDIOBJ old = dc ? SelectObject(dc, GuiFont()) : nullptr;
    const auto measure = [dc](const std::string& s) {
        SIZE size{};
        if (dc) GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
        return static_cast<int32_t>(size.cx);
    };
    const TargetCaptionTexts texts{ LoadText(IDS_TARGET_PREFIX), LoadText(IDS_TARGET_ALL), LoadText(IDS_TARGET_NONE) };
    const std::string caption = TargetCaption(state, texts, noun, single, r.right - r.left, measure);
    if (dc) {
        SelectObject(dc, old);
        ::ReleaseDC(targetButton.m_hWnd, dc);
    }
    char shown[256] = "";
    targetButton.GetWindowText(shown, sizeof shown);
    // Setting the same text again would only make the button flicker.
    if (caption != shown) targetButton.SetWindowText(caption.c_str());
    bool moving = false;
    if (state != 2) {
        SketchObject* list = CollectMovingObjects();
        moving = list != nullptr;
        FreeMovingList(list);
    }
    if (targetButton.arrowActive != moving) {
        targetButton.arrowActive = moving;
        targetButton.Invalidate(false);
    }
}

void MotionControllerBar::OnDrawItem(int id, LPDRAWITEMSTRUCT dis) {
    if (id != static_cast<int>(kMotionTargetId)) {
        Default();
        return;
    }
    RefreshTargetCaption();
    targetButton.DrawItem(dis);
}

POINT MotionControllerBar::TargetMenuPlace(POINT mouse) const {
    RECT r{};
    targetButton.GetWindowRect(&r);
    POINT at{ r.left, r.top };
    if (mouse.x > r.left + kMenuLeftOfMouse) at.x = mouse.x - kMenuLeftOfMouse;
    return at;
}

void MotionControllerBar::RestoreHover() {
    if (!hoverObject) return;
    hoverObject->stateFlags &= static_cast<uint8_t>(~kObjectHot);
    hoverObject->hidden = hoverHidden;
    AddObjectToDirtyRect(hoverObject);
    hoverObject = nullptr;
}

void MotionControllerBar::OnMenuSelect(UINT item, UINT flags, HMENU) {
    if (!targetList) return;
    SketchObject* hovered = nullptr;
    if (!(flags & MF_POPUP) && flags != 0xFFFF && item >= kFirstMotionTargetItem) {
        UINT n = item - kFirstMotionTargetItem;
        for (SketchObject* o = targetList; o; o = o->tempLink)
            if (n-- == 0) {
                hovered = o;
                break;
            }
    }
    if (hovered == hoverObject) return;
    RestoreHover();
    if (hovered) {
        hoverObject = hovered;
        hoverHidden = hovered->hidden;
        hovered->hidden = kShown;
        hovered->stateFlags |= kObjectHot;
        AddObjectToDirtyRect(hovered);
    }
}

void MotionControllerBar::OnTargetMenu() {
    CmdStateRefreshNow();
    if (!targetButton.IsWindowEnabled()) return;
    Sketch* front = gEngine.frontSketch;
    if (!front) return;
    CurrentSketchScope scope(front);
    targetList = CollectMovingObjects();
    if (!targetList) return;
    HMENU menu = CreatePopupMenu();
    if (menu) {
        AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, LoadText(IDS_SET_TARGET).c_str());
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        UINT n = 0;
        for (SketchObject* o = targetList; o; o = o->tempLink, ++n) {
            char text[kTargetItemChars + 1] = "";
            FormatNounAndLabel(o, 0, text, sizeof text, true);
            text[kTargetItemChars] = 0;
            AppendMenuA(menu, MF_STRING, kFirstMotionTargetItem + n, text);
        }
        POINT mouse{};
        GetCursorPos(&mouse);
        const POINT at = TargetMenuPlace(mouse);
        const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_VERTICAL, at.x, at.y, 0, m_hWnd,
                                                             nullptr));
        DestroyMenu(menu);
        RestoreHover();
        FreeMovingList(targetList);
        targetList = nullptr;
        if (chosen >= kFirstMotionTargetItem) {
            // The menu's loop let the sketch go on: the objects are collected afresh, and
            // a position no longer in the list selects nothing.
            SketchObject* fresh = CollectMovingObjects();
            SketchObject* picked = fresh;
            for (UINT i = chosen - kFirstMotionTargetItem; picked && i > 0; --i) picked = picked->tempLink;
            FreeMovingList(fresh);
            if (picked) {
                DeselectAll();
                SelectSketchObject(picked);
            }
        }
    }
    if (targetList) {
        FreeMovingList(targetList);
        targetList = nullptr;
    }
}

void MotionControllerBar::OnShowWindow(BOOL show, UINT) {
    Default();
    if (show && !initialised) {
        initialised = true;
        for (int32_t i = 0; i < kMotionBarItemCount; ++i) UpdateControl(i);
    }
}

void MotionControllerBar::OnWindowPosChanged(WINDOWPOS* pos) {
    Default();
    if (pos && (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) CmdStateInvalidate(kCommandGroupMotion);
}

// ---- The bar's services to the engine ------------------------------------------------------

void RefreshMotionControllerItem(int32_t item, int32_t state) {
    MotionControllerBar* bar = TheMotionController();
    if (!bar || item < 0 || item >= kMotionBarItemCount) return;
    bar->SetItemState(item, state);
    CWnd* control = item == 5 ? static_cast<CWnd*>(bar->speedBox) : item == 6 ? static_cast<CWnd*>(&bar->targetButton)
                                                                           : nullptr;
    if (control && control->m_hWnd) control->Invalidate(false);
    else bar->Invalidate(false);
}

bool IsMotionControllerVisible() {
    MotionControllerBar* bar = TheMotionController();
    return bar && (bar->GetStyle() & WS_VISIBLE) != 0;
}

void SetMotionControllerHidden(bool hidden) {
    CMainFrame* frame = TheMainFrame();
    MotionControllerBar* bar = TheMotionController();
    if (!frame || !bar || IsMotionControllerVisible() == !hidden) return;
    frame->ShowControlBar(bar, !hidden, false);
    frame->RecalcLayout();
}

bool HasMotionControllerCommand() {
    uint32_t slot = 0;
    return CmdStateFindItem(kShowMotionControllerRow, &slot);
}
