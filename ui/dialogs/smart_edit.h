// The number field of the dialogs and bars: an edit that takes a number or a small
// expression (with pi as "p"), lets only its own characters be typed, keeps the last
// accepted value, and asks its parent to apply every edit at once.
#pragma once
#include <cstdint>

#include "classlib/dialog.h"
#include "classlib/dialog_controls.h"

class SmartEdit : public CEdit {
    DECLARE_DYNAMIC(SmartEdit)
public:
    // allowed: the characters that may be typed (null: the decimal separator and
    // "01234567890.+-*/^()p"; an integer field gives "0123456789").
    SmartEdit(const char* allowed = nullptr, int32_t escReturnsToMain = 0);

    // Subclasses the dialog's control and gives it the font (redrawn).
    bool Attach(HWND control, HFONT font);

    virtual bool ValidateFloat(float* out, CDataExchange* dx);
    // The value of the text; a refused text fails a saving exchange with the alert
    // "Value Needed", unless the field is silent (no exchange, while it asks its parent
    // to apply, or while the dialog is being left): then it only answers false.
    virtual bool Validate(double* out, CDataExchange* dx);
    virtual void SetValue(double value);

    bool PreTranslateMessage(MSG* msg) override;

    bool symbolCharset = false;
    double value = 0;
    bool modified = false;
    bool notifying = false;
    bool selectAllOnClick = false;
    char allowed[64] = {};
    int32_t escReturnsToMain = 0;

protected:
    void OnUpdate();
    void OnSetFocusNotify();
    void OnKillFocusNotify();
    LRESULT OnSetFont(WPARAM, LPARAM);
    LRESULT OnSelectAll(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    void CheckFontCharset();
    bool settingText_ = false;   // SetValue's own text change is no edit
};

// The number field whose refusal is being reported (its focus loss then is no new check).
SmartEdit* FailedNumberField();
