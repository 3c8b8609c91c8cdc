#include "ui/dialogs/smart_edit.h"

#include <cstdio>
#include <cstring>

#include "engine/calc/typed_number.h"
#include "engine/core/services/alerts.h"
#include "engine/core/services/number_locale.h"
#include "engine/core/sketch.h"
#include "platform/rules/dialog_rules.h"
#include "platform/win32/shell_windows.h"
#include "ui/dialogs/yrn_dialog.h"
#include "ui/resource_ids.h"

IMPLEMENT_DYNAMIC(SmartEdit, CEdit)

namespace {

constexpr UINT kApplyRequest = 0x8000;   // WM_APP to the parent: apply this edit
constexpr UINT kSelectAll = 0x8002;      // posted to itself: select the whole text
constexpr int kTextRoom = 257;

SmartEdit* gFailedField = nullptr;

bool ParentCancelling(const CWnd* edit) {
    CWnd* parent = CWnd::FromHandlePermanent(::GetParent(edit->m_hWnd));
    return parent && parent->IsKindOf(RUNTIME_CLASS(CYRNDialog)) && static_cast<CYRNDialog*>(parent)->Cancelling();
}

bool HasSeparator(const char* allowed) { return std::strchr(allowed, DecimalSeparator()) != nullptr; }

// The click that took the focus from a refused field (on OK, say) ends with the alert that
// reports it: the button still holding the mouse would otherwise act on the release and
// check the field again.
void EndClickInProgress(HWND field) {
    HWND captured = ::GetCapture();
    HWND dialog = ::GetParent(field);
    if (captured && captured != field && dialog && ::IsChild(dialog, captured)) ::ReleaseCapture();
}

}  // namespace

SmartEdit* FailedNumberField() { return gFailedField; }

BEGIN_MESSAGE_MAP(SmartEdit, CEdit)
    ON_CONTROL_REFLECT(EN_UPDATE, OnUpdate)
    ON_CONTROL_REFLECT(EN_SETFOCUS, OnSetFocusNotify)
    ON_CONTROL_REFLECT(EN_KILLFOCUS, OnKillFocusNotify)
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_MESSAGE(kSelectAll, OnSelectAll)
END_MESSAGE_MAP()

SmartEdit::SmartEdit(const char* allowedCharacters, int32_t escToMain) : escReturnsToMain(escToMain) {
    if (allowedCharacters) std::snprintf(allowed, sizeof allowed, "%s", allowedCharacters);
    else DefaultNumberFieldCharacters(DecimalSeparator(), false, allowed, sizeof allowed);
}

bool SmartEdit::Attach(HWND control, HFONT font) {
    if (!SubclassWindow(control)) return false;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return true;
}

void SmartEdit::CheckFontCharset() {
    HFONT font = GetFont();
    LOGFONTA info{};
    if (!font || !::GetObjectA(font, sizeof info, &info)) return;
    symbolCharset = info.lfCharSet == SYMBOL_CHARSET;
    if (symbolCharset)
        for (char* p = allowed; *p; ++p)
            if (*p == '^') *p = kSymbolCaret;
}

LRESULT SmartEdit::OnSetFont(WPARAM, LPARAM) {
    const LRESULT result = Default();
    CheckFontCharset();
    return result;
}

void SmartEdit::OnUpdate() {
    if (settingText_) return;
    char text[kTextRoom] = {};
    GetWindowText(text, sizeof text);
    modified = true;
    if (FilterTypedCharacters(text, allowed)) {
        MessageBeep(static_cast<UINT>(-1));
        settingText_ = true;
        SetWindowText(text);
        settingText_ = false;
        const int end = static_cast<int>(std::strlen(text));
        SetSel(end, end);
    }
    if (notifying) return;
    notifying = true;
    if (HWND parent = ::GetParent(m_hWnd)) ::SendMessageA(parent, kApplyRequest, 0, 0);
    notifying = false;
}

bool SmartEdit::Validate(double* out, CDataExchange* dx) {
    *out = value;
    if (!modified) return true;
    char text[kTextRoom] = {};
    GetWindowText(text, sizeof text);
    if (symbolCharset)
        for (char* p = text; *p; ++p)
            if (*p == kSymbolCaret) *p = '^';
    double parsed = 0;
    bool ok;
    {
        // Expressions may name the sketch's own values: parse under the front sketch
        // when none is current.
        Sketch* current = CurrentSketch();
        CurrentSketchScope scope(current ? current : gEngine.frontSketch);
        ok = ParseTypedNumber(text, &parsed);
    }
    if (ok) {
        *out = parsed;
        return true;
    }
    if (!dx || notifying || ParentCancelling(this)) return false;
    dx->PrepareEditCtrl(GetDlgCtrlID());
    gFailedField = this;
    EndClickInProgress(m_hWnd);
    CString caption, message;
    caption.LoadString(IDS_VALUE_NEEDED);
    message.LoadString(IDS_ENTER_EXPRESSION);
    ShowAlert(caption, message, 0, 0, 1, true);
    if (text[0] == 0) {
        SetValue(value);
        SetSel(0, -1);
    }
    dx->Fail();
}

bool SmartEdit::ValidateFloat(float* out, CDataExchange* dx) {
    double v = 0;
    if (!Validate(&v, dx)) return false;
    *out = static_cast<float>(v);
    return true;
}

void SmartEdit::SetValue(double v) {
    value = v;
    char text[256];
    NumberFieldValueText(v, HasSeparator(allowed), DecimalSeparator(), text, sizeof text);
    settingText_ = true;
    SetWindowText(text);
    settingText_ = false;
    modified = false;
}

void SmartEdit::OnSetFocusNotify() {
    if (gFailedField == this) gFailedField = nullptr;
}

void SmartEdit::OnKillFocusNotify() {
    if (gFailedField) {
        // The focus is leaving for the alert that reports the refusal.
        gFailedField = nullptr;
        return;
    }
    if (ParentCancelling(this)) return;
    // Only moving to another control of the dialog (or of its sheet) leaves the field:
    // the focus also goes to the dialog itself or to another window while an alert comes
    // and goes.
    HWND next = ::GetFocus();
    if (!next || !::IsChild(::GetAncestor(m_hWnd, GA_ROOT), next)) return;
    CWnd* parent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    if (!parent) return;
    CDataExchange dx(parent, true);
    float v = 0;
    try {
        ValidateFloat(&v, &dx);
    } catch (const DataExchangeFailure&) {
    }
}

LRESULT SmartEdit::OnSelectAll(WPARAM, LPARAM) {
    SetSel(0, -1);
    return 0;
}

bool SmartEdit::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN) {
        if (msg->wParam == VK_ESCAPE && escReturnsToMain) {
            HWND main = MainWindow();
            ::SetFocus(main);
            return true;
        }
        if (msg->wParam == VK_RETURN) {
            char typed[kTextRoom] = {};
            GetWindowText(typed, sizeof typed);
            double v = 0;
            if (Validate(&v, nullptr)) {
                SetValue(v);
                char shown[kTextRoom] = {};
                GetWindowText(shown, sizeof shown);
                // The expression became its value: Enter stays here, so that the user
                // sees the value before the dialog takes it.
                if (EnterStaysInField(typed, shown, DecimalSeparator())) return true;
            }
        }
        if (selectAllOnClick && msg->wParam >= VK_LEFT && msg->wParam <= VK_DOWN) PostMessage(kSelectAll);
    } else if (msg->message == WM_CHAR) {
        // Only typed characters: on a key-down "." would be the Delete key's code.
        msg->wParam = static_cast<unsigned char>(
            NumberFieldTypedCharacter(static_cast<char>(msg->wParam), DecimalSeparator(), symbolCharset));
    } else if (selectAllOnClick && (msg->message == WM_LBUTTONDOWN || msg->message == WM_LBUTTONUP)) {
        PostMessage(kSelectAll);
    }
    return CEdit::PreTranslateMessage(msg);
}
