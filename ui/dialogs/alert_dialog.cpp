#include "ui/dialogs/alert_dialog.h"

#include "engine/interact/pick_session.h"
#include "platform/win32/shell.h"
#include "platform/win32/shell_windows.h"
#include "ui/dialogs/calc_dialog.h"
#include "ui/dialogs/command_dialogs.h"
#include "ui/dialogs/new_tool_dialog.h"
#include "ui/frames/engine_commands.h"
#include "ui/resource_ids.h"

BEGIN_MESSAGE_MAP(AlertDialog, CYRNDialog)
    ON_COMMAND(IDOK, OnOkButton)
    ON_COMMAND(IDCANCEL, OnCancelButton)
    ON_COMMAND(IDYES, OnYesButton)
    ON_COMMAND(IDNO, OnNoButton)
    ON_COMMAND(ID_HELP, OnHelpButton)
END_MESSAGE_MAP()

AlertDialog::AlertDialog(CWnd* parent, const char* captionText, const char* messageText, int32_t buttonFlags,
                         int32_t topic)
    : CYRNDialog(IDD_ALERT, parent), caption(captionText ? captionText : ""),
      message(messageText ? messageText : ""), buttons(buttonFlags), alertHelpTopic(topic) {}

void AlertDialog::DoDataExchange(CDataExchange* dx) {
    CYRNDialog::DoDataExchange(dx);
    ExchangeText(dx, IDC_ALERT_MESSAGE, message);
    if (!dx->m_bSaveAndValidate) SetWindowText(caption);
}

namespace {

DialogRect RectOf(HWND control, HWND dialog) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return { r.left, r.top, r.right, r.bottom };
}

void Place(HWND control, const DialogRect& r) {
    SetWindowPos(control, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

bool AlertDialog::OnInitDialog() {
    CYRNDialog::OnInitDialog();
    HWND text = ::GetDlgItem(m_hWnd, IDC_ALERT_MESSAGE);
    HWND ok = ::GetDlgItem(m_hWnd, IDOK), yes = ::GetDlgItem(m_hWnd, IDYES), cancel = ::GetDlgItem(m_hWnd, IDCANCEL),
         no = ::GetDlgItem(m_hWnd, IDNO), help = ::GetDlgItem(m_hWnd, ID_HELP);

    AlertGeometry g{};
    RECT window{};
    GetWindowRect(&window);
    g.window = { window.left, window.top, window.right, window.bottom };
    g.message = RectOf(text, m_hWnd);
    g.ok = RectOf(ok, m_hWnd);
    g.yes = RectOf(yes, m_hWnd);
    g.cancel = RectOf(cancel, m_hWnd);
    g.no = RectOf(no, m_hWnd);
    g.help = RectOf(help, m_hWnd);

    RECT measured{ 0, 0, g.message.Width(), 0 };
    HDC dc = ::GetDC(text);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(text, WM_GETFONT, 0, 0)));
    DrawTextA(dc, message, -1, &measured, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, old);
    ::ReleaseDC(text, dc);

    const AlertGeometry fitted = FitAlertToMessage(g, measured.right - measured.left, measured.bottom - measured.top);
    SetWindowPos(nullptr, 0, 0, fitted.window.Width(), fitted.window.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    AlertGeometry placed = fitted;
    const AlertButtonsShown shown = AlertButtons(&placed, buttons, alertHelpTopic);
    Place(text, placed.message);
    Place(ok, placed.ok);
    Place(yes, placed.yes);
    Place(cancel, placed.cancel);
    Place(no, placed.no);
    Place(help, placed.help);
    SetWindowText(caption);
    ::ShowWindow(ok, shown.ok ? SW_SHOW : SW_HIDE);
    ::ShowWindow(cancel, shown.cancel ? SW_SHOW : SW_HIDE);
    ::ShowWindow(yes, shown.yes ? SW_SHOW : SW_HIDE);
    ::ShowWindow(no, shown.no ? SW_SHOW : SW_HIDE);
    ::ShowWindow(help, shown.help ? SW_SHOW : SW_HIDE);
    // Enter answers the first shown of OK, Yes and Cancel.
    const int defaultId = shown.ok ? IDOK : shown.yes ? IDYES : shown.cancel ? IDCANCEL : IDNO;
    SetDefID(defaultId);
    ::SetFocus(::GetDlgItem(m_hWnd, defaultId));
    return false;
}

void AlertDialog::OnHelpButton() {
    if (alertHelpTopic != 0) OpenHelpTopic(alertHelpTopic);
}

namespace {

void RunAlert(HWND owner, const char* caption, const char* text, int32_t buttons, int32_t helpTopic) {
    AlertDialog dialog(CWnd::FromHandle(owner), caption, text, buttons, helpTopic);
    dialog.DoModal();
}

const ServiceDialogs kServiceDialogs = { RunAlert, RunNewToolDialog, RunCalcDialog, RunCommandDialogWindow };

}  // namespace

void InstallServiceDialogs() { RegisterServiceDialogs(&kServiceDialogs); }
