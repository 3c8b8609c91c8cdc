// The modeless progress window of long engine operations: a title, a bar when the
// operation knows its length, and a Cancel button when it may be stopped.
#pragma once
#include <cstdint>

#include "classlib/dialog.h"
#include "classlib/dialog_controls.h"

class ProgressDialog : public CDialog {
public:
    ProgressDialog(const char* title, int32_t maximum, bool cancelable, CWnd* parent);

    CString title;
    int32_t maximum;
    bool cancelable;
    CProgressCtrl bar;

    bool OnInitDialog() override;
    // Only a cancelable operation stops: the next update answers 0, and the window hides.
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
};
