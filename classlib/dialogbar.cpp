#include "classlib/controlbar.h"

IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

namespace {

// The dialog procedure behind every dialog bar. The bar's object takes the window
// at WM_INITDIALOG (the first message a dialog procedure sees) and hands it that
// message through its message map; the dialog manager's own procedure stays behind
// the object's Default().
thread_local CDialogBar* initialising = nullptr;

INT_PTR CALLBACK DialogBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* bar = reinterpret_cast<CDialogBar*>(lParam);
    if (bar == nullptr || initialising == bar) return TRUE;   // the default handling of the map's call
    if (CWnd::FromHandlePermanent(hwnd) != bar && !bar->SubclassWindow(hwnd)) return TRUE;
    CDialogBar* outer = initialising;
    initialising = bar;
    CallWindowHandler(bar, hwnd, WM_INITDIALOG, wParam, lParam);
    initialising = outer;
    return FALSE;
}

}  // namespace

CDialogBar::CDialogBar() = default;

bool CDialogBar::Create(CWnd* parent, UINT templateId, UINT style, UINT id) {
    return Create(parent, MAKEINTRESOURCEA(templateId), style, id);
}

bool CDialogBar::Create(CWnd* parent, const char* templateName, UINT style, UINT id) {
    m_dwStyle = style & BAR_STYLE_MASK;
    HWND hwnd = ::CreateDialogParamA(ResourceModule(), templateName, parent ? parent->m_hWnd : nullptr,
                                     DialogBarProc, reinterpret_cast<LPARAM>(this));
    if (hwnd == nullptr) return false;
    if (CWnd::FromHandlePermanent(hwnd) != this && !SubclassWindow(hwnd)) {
        ::DestroyWindow(hwnd);
        return false;
    }
    SetDlgCtrlID(static_cast<int>(id));
    m_pOwner = parent;
    if (parent && parent->IsFrameWnd()) m_pDockSite = static_cast<CFrameWnd*>(parent);
    CRect rect;
    GetWindowRect(&rect);
    m_sizeDefault = rect.Size();
    // The template's styles decide little: the bar is a plain child, shown as asked.
    DWORD windowStyle = GetStyle();
    windowStyle &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME | WS_VISIBLE);
    windowStyle |= WS_CHILD | (style & WS_VISIBLE);
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(windowStyle));
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (style & WS_VISIBLE) ShowWindow(SW_SHOWNA);
    return true;
}

CSize CDialogBar::CalcFixedLayout(bool stretch, bool horz) {
    CSize size = m_sizeDefault;
    if (stretch) {
        if (horz) size.cx = 32767;
        else size.cy = 32767;
    }
    return size;
}

void CDialogBar::OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) {
    // Buttons of the bar take their enabled state from the command targets.
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
        char cls[16];
        ::GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Button") != 0) continue;
        LONG buttonStyle = ::GetWindowLongA(child, GWL_STYLE) & 0x0F;
        if (buttonStyle == BS_GROUPBOX) continue;
        CCmdUI state;
        state.m_nID = static_cast<UINT>(::GetDlgCtrlID(child));
        state.m_pOther = CWnd::FromHandle(child);
        // The bar's own update handlers come first; a command the bar handles
        // itself counts as handled.
        if (OnCmdMsg(state.m_nID, ROUTE_UPDATE_UI, &state, nullptr)) continue;
        CommandHandlerInfo info{};
        bool ownHandler = OnCmdMsg(state.m_nID, ROUTE_COMMAND, nullptr, &info);
        state.DoUpdate(target, disableIfNoHandler && !ownHandler);
    }
}
