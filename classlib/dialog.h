// Dialogs on templates: modal runs on the library's own modal loop (so the dialog gets
// WM_KICKIDLE while it waits), modeless dialogs, and the exchange of the controls'
// values with the dialog object's members.
#pragma once

#include "classlib/wnd.h"

class CDialog;

// Thrown by CDataExchange::Fail and caught by UpdateData: the rest of the exchange is
// skipped and UpdateData answers false.
struct DataExchangeFailure {};

// One pass of UpdateData: loading (members to controls) or saving (controls to members).
class CDataExchange {
public:
    CDataExchange(CWnd* dialog, bool saveAndValidate);

    bool m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    // The control whose value is being exchanged: Fail puts the focus back on it.
    HWND PrepareCtrl(int id);
    // ... an edit: Fail also selects its whole text.
    HWND PrepareEditCtrl(int id);
    // Refuses the exchange. With a prepared control the focus returns to it (an edit's
    // text selected); with none nothing moves, so a control that stays silent while
    // the user types is not interrupted.
    [[noreturn]] void Fail();

    HWND m_hWndLastControl = nullptr;
    bool m_bEditLastControl = false;
};

// Text of a control (edits and statics), at most size bytes with the terminator.
void ExchangeText(CDataExchange* dx, int id, char* buffer, int size);
void ExchangeText(CDataExchange* dx, int id, CString& text);
// Attaches the control to the object on the first exchange.
void ExchangeControl(CDataExchange* dx, int id, CWnd& control);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally: IDOK, IDCANCEL (or another EndDialog result), or -1 when
    // the template is missing or the window could not be made.
    virtual INT_PTR DoModal();
    // Makes the dialog modeless (shown when its template says WS_VISIBLE).
    bool Create(UINT templateId, CWnd* parent = nullptr);
    bool CreateIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent = nullptr);
    // A template in memory for DoModal instead of a resource.
    void InitModalIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent = nullptr);

    void EndDialog(int result);
    bool UpdateData(bool saveAndValidate = true);

    int GetDefID() const;
    void SetDefID(UINT id);
    void GotoDlgCtrl(CWnd* control);
    void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
    void CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
    UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
    void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    int GetDlgItemText(int id, char* buffer, int size) const { return ::GetDlgItemTextA(m_hWnd, id, buffer, size); }
    LRESULT SendDlgItemMessage(int id, UINT m, WPARAM w = 0, LPARAM l = 0) const {
        return ::SendDlgItemMessageA(m_hWnd, id, m, w, l);
    }

    bool PreTranslateMessage(MSG* msg) override;

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    UINT m_nIDTemplate = 0;
    const DLGTEMPLATE* m_lpDialogTemplate = nullptr;
    CWnd* m_pParentWnd = nullptr;
    UINT m_nIDHelp = 0;

protected:
    virtual void DoDataExchange(CDataExchange* dx);

    // The template to create: a resource of m_nIDTemplate or m_lpDialogTemplate; null
    // when neither can be found and locked.
    const DLGTEMPLATE* LockTemplate() const;
    // The window that owns a modal run, disabled during it; null when none.
    HWND PreModal();
    // Creates the window from a template, attached to this object from its first message.
    bool CreateFromTemplate(const DLGTEMPLATE* dialogTemplate, HWND parent);
    // After a modal run: hides and destroys the window, gives the owner back its input.
    void PostModal(HWND owner, bool ownerWasEnabled);

    LRESULT HandleInitDialog(WPARAM, LPARAM);
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }

    DECLARE_MESSAGE_MAP()
};

// The system's own dialogs (the file dialogs): run through their own functions, not a
// template of the program.
class CCommonDialog : public CDialog {
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* parent) : CDialog(0, parent) {}

    // OK and Cancel belong to the system's dialog: they take its own handling.
    void OnOK() override { Default(); }
    void OnCancel() override { Default(); }
};
