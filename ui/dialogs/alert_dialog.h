// The alert of the engine's notices and questions: sized to its message, showing only
// the buttons asked for.
#pragma once
#include <cstdint>

#include "ui/dialogs/yrn_dialog.h"

class AlertDialog : public CYRNDialog {
public:
    // buttons: 1 OK, 2 Cancel, 4 Yes, 8 No.
    AlertDialog(CWnd* parent, const char* caption, const char* message, int32_t buttons, int32_t helpTopic);

    bool OnInitDialog() override;

    CString caption;
    CString message;
    int32_t buttons;
    int32_t alertHelpTopic;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnOkButton() { EndDialog(kAlertOk); }
    void OnCancelButton() { EndDialog(kAlertCancel); }
    void OnYesButton() { EndDialog(kAlertYes); }
    void OnNoButton() { EndDialog(kAlertNo); }
    void OnHelpButton();
    DECLARE_MESSAGE_MAP()
};

// Registers the user interface's dialogs with the platform services.
void InstallServiceDialogs();
