#include "platform/win32/progress_dialog.h"

#include "platform/win32/busy_feedback.h"
#include "platform/win32/dialog_ids.h"

namespace {
constexpr int kHeightWithoutCancel = 36;   // pixels the window loses with no Cancel button
}  // namespace

ProgressDialog::ProgressDialog(const char* text, int32_t most, bool canCancel, CWnd* parent)
    : CDialog(IDD_PROGRESS, parent), title(text ? text : ""), maximum(most), cancelable(canCancel) {}

void ProgressDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    ExchangeControl(dx, IDC_PROGRESS_BAR, bar);
}

bool ProgressDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(title);
    HWND cancel = ::GetDlgItem(m_hWnd, IDCANCEL);
    if (maximum <= 0) {
        bar.ShowWindow(SW_HIDE);
        if (cancelable && cancel) {
            RECT client{}, button{};
            GetClientRect(&client);
            ::GetWindowRect(cancel, &button);
            const int w = button.right - button.left, h = button.bottom - button.top;
            ::SetWindowPos(cancel, nullptr, (client.right - w) / 2, (client.bottom - h) / 2, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return true;
        }
    } else {
        bar.SetRange32(0, maximum);
        if (cancelable) return true;
    }
    if (!cancelable) {
        if (cancel) ::ShowWindow(cancel, SW_HIDE);
        ModifyStyle(WS_SYSMENU, 0, SWP_FRAMECHANGED);
        RECT r{};
        GetWindowRect(&r);
        SetWindowPos(nullptr, 0, 0, r.right - r.left, r.bottom - r.top - kHeightWithoutCancel,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

void ProgressDialog::OnCancel() {
    if (!cancelable) return;
    StopBusyTask();
    EndDialog(IDCANCEL);
}
