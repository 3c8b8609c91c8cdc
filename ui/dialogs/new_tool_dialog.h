// The name of a new custom tool, with the choice to show the Script View at once.
#pragma once

#include "classlib/dialog.h"

struct NewToolNameRequest;

class NewToolDialog : public CDialog {
public:
    explicit NewToolDialog(CWnd* parent);

    CString name;
    CString label;
    CString title;

    bool OnInitDialog() override;
    // The typed name goes back to the caller after Cancel too.
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnShowScriptView();
    DECLARE_MESSAGE_MAP()
};

// Runs the dialog over the request; the edited name goes back into its buffer (255
// characters at most), also after Cancel. True on OK.
bool RunNewToolDialog(NewToolNameRequest* request);
