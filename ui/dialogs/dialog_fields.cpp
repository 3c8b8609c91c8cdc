#include "ui/dialogs/dialog_fields.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/calc/typed_number.h"
#include "engine/core/memory.h"
#include "engine/core/services/alerts.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/text_style.h"
#include "engine/text/number_text.h"
#include "platform/rules/dialog_rules.h"
#include "ui/dialogs/smart_edit.h"
#include "ui/resource_ids.h"

namespace {

constexpr int32_t kTextStyleHelpTopic = 28;
constexpr int kNumberRoom = 41;   // what a plain number field reads: 40 characters

bool ClassIs(HWND control, const char* name) {
    char actual[32];
    return GetClassNameA(control, actual, sizeof actual) && lstrcmpiA(actual, name) == 0;
}

bool IsPlainButton(HWND control) {
    const LONG style = GetWindowLongA(control, GWL_STYLE) & 0x0F;
    return style == BS_PUSHBUTTON || style == BS_DEFPUSHBUTTON || style == BS_OWNERDRAW;
}

int ButtonCount(const DialogField* field) { return field->upper >= 0 ? field->upper + 1 : 1; }

// Refuses the field with the focus on its control and its text selected.
bool Refuse(CDataExchange* dx, HWND control) {
    if (dx) {
        dx->m_hWndLastControl = control;
        dx->m_bEditLastControl = true;
    }
    SetFocus(control);
    SendMessageA(control, EM_SETSEL, 0, -1);
    SendMessageA(control, EM_SCROLLCARET, 0, 0);
    return false;
}

void SetIntegerText(HWND control, int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    SetWindowTextA(control, text);
}

bool ExchangeInteger(CDialog* dialog, HWND control, DialogField* f, bool loading, CDataExchange* dx) {
    if (ClassIs(control, TRACKBAR_CLASSA)) {
        if (loading) {
            SendMessageA(control, TBM_SETRANGEMIN, FALSE, f->lower);
            SendMessageA(control, TBM_SETRANGEMAX, TRUE, f->upper);
            SendMessageA(control, TBM_SETPOS, TRUE, f->value.integer);
        } else {
            f->value.integer = static_cast<int32_t>(SendMessageA(control, TBM_GETPOS, 0, 0));
        }
        return true;
    }
    if (loading) {
        SetIntegerText(control, f->value.integer);
        return true;
    }
    char text[64] = {};
    GetWindowTextA(control, text, sizeof text);
    const IntegerReading reading = ReadIntegerField(text, f->lower, f->upper, f->value.integer);
    switch (reading.entry) {
    case IntegerEntry::kEmpty:
        return true;
    case IntegerEntry::kAccepted:
        f->value.integer = reading.value;
        return true;
    case IntegerEntry::kNotNumber:
    case IntegerEntry::kOutOfRange: {
        char message[96];
        std::snprintf(message, sizeof message, "Please type a value between %d and %d", static_cast<int>(f->lower),
                      static_cast<int>(f->upper));
        dialog->MessageBox(message, nullptr, MB_OK);
        // A number past a bound shows that bound, and is kept; anything else shows the
        // value it replaced.
        f->value.integer = reading.value;
        SetIntegerText(control, reading.value);
        return Refuse(dx, control);
    }
    }
    return true;
}

bool ExchangeReal(HWND control, DialogField* f, bool loading, bool valueRequired, CDataExchange* dx) {
    CWnd* object = CWnd::FromHandlePermanent(control);
    if (object && object->IsKindOf(RUNTIME_CLASS(SmartEdit))) {
        auto* edit = static_cast<SmartEdit*>(object);
        if (loading) {
            edit->SetValue(f->value.real);
            return true;
        }
        double v = f->value.real;
        if (!edit->Validate(&v, dx)) {
            // Silent while the user types or leaves: nothing moves.
            if (dx) dx->m_hWndLastControl = nullptr;
            return false;
        }
        f->value.real = v;
        return true;
    }
    char text[kNumberRoom] = {};
    if (loading) {
        FormatNumberText(text, sizeof text, f->value.real, false);
        SetWindowTextA(control, text);
        return true;
    }
    GetWindowTextA(control, text, sizeof text);
    double v = 0;
    if (ParseTypedNumber(text, &v)) {
        f->value.real = v;
        return true;
    }
    if (text[0] == 0 && !valueRequired) return true;
    FormatNumberText(text, sizeof text, f->value.real, false);
    SetWindowTextA(control, text);
    SendMessageA(control, EM_SETSEL, 0, -1);
    SendMessageA(control, EM_SCROLLCARET, 0, 0);
    CString caption, message;
    caption.LoadString(IDS_VALUE_NEEDED);
    message.LoadString(IDS_TYPE_VALID_NUMBER);
    ShowAlert(caption, message, 0, 0, 1, true);
    return Refuse(dx, control);
}

bool ExchangeOwnedText(HWND control, DialogField* f, bool loading) {
    if (loading) {
        SetWindowTextA(control, f->value.text ? f->value.text : "");
        return true;
    }
    const int length = GetWindowTextLengthA(control);
    std::vector<char> text(static_cast<size_t>(length) + 1, 0);
    GetWindowTextA(control, text.data(), length + 1);
    const char* stored = f->value.text ? f->value.text : "";
    if (std::strcmp(stored, text.data()) == 0) return true;
    const size_t size = std::strlen(text.data()) + 1;
    auto* copy = static_cast<char*>(AllocMemory(size, 0));
    if (!copy) return false;
    std::memcpy(copy, text.data(), size);
    FreeMemory(f->value.text);
    f->value.text = copy;
    return true;
}

}  // namespace

bool DialogFieldEnabled(CDialog* dialog, int firstId, const DialogField* field) {
    const int count = field->kind == kFieldChoice ? ButtonCount(field) : 1;
    for (int i = 0; i < count; ++i) {
        HWND control = GetDlgItem(dialog->m_hWnd, firstId + i);
        if (control && IsWindowEnabled(control)) return true;
    }
    return false;
}

bool ExchangeDialogField(CDialog* dialog, int firstId, DialogField* f, bool loading, bool valueRequired,
                         CDataExchange* dx) {
    if (firstId == 0) return true;
    HWND control = GetDlgItem(dialog->m_hWnd, firstId);
    bool accepted = true;
    if (control && (loading || DialogFieldEnabled(dialog, firstId, f))) {
        switch (f->kind) {
        case kFieldChoice:
            for (int i = 0; i < ButtonCount(f); ++i) {
                HWND button = GetDlgItem(dialog->m_hWnd, firstId + i);
                if (!button) continue;
                if (loading) {
                    SendMessageA(button, BM_SETCHECK, i == f->value.integer ? BST_CHECKED : BST_UNCHECKED, 0);
                } else if (SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) {
                    f->value.integer = i;
                    break;
                }
            }
            break;
        case kFieldFlag:
            if (loading) SendMessageA(control, BM_SETCHECK, f->value.integer ? BST_CHECKED : BST_UNCHECKED, 0);
            else if (!IsPlainButton(control)) f->value.integer = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            break;
        case kFieldSelection:
        case kFieldListChoice:
            if (ClassIs(control, "ComboBox")) {
                if (loading) SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(f->value.integer), 0);
                else f->value.integer = static_cast<int32_t>(SendMessageA(control, CB_GETCURSEL, 0, 0));
            } else if (ClassIs(control, "ListBox")) {
                if (loading) SendMessageA(control, LB_SETCURSEL, static_cast<WPARAM>(f->value.integer), 0);
                else f->value.integer = static_cast<int32_t>(SendMessageA(control, LB_GETCURSEL, 0, 0));
            }
            break;
        case kFieldText:
            if (!f->value.text) break;
            if (loading) SetWindowTextA(control, f->value.text);
            else if (!ClassIs(control, "Static") && f->upper > 0) GetWindowTextA(control, f->value.text, f->upper);
            break;
        case kFieldInteger:
            accepted = ExchangeInteger(dialog, control, f, loading, dx);
            break;
        case kFieldNumber:
            accepted = ExchangeReal(control, f, loading, valueRequired, dx);
            break;
        case kFieldOwnedText:
            accepted = ExchangeOwnedText(control, f, loading);
            break;
        default:
            break;   // shown and enabled state only
        }
    }
    const int count = f->kind == kFieldChoice ? ButtonCount(f) : 1;
    for (int i = 0; i < count; ++i) {
        HWND c = GetDlgItem(dialog->m_hWnd, firstId + i);
        if (!c) continue;
        ShowWindow(c, (f->state & kFieldVisible) ? SW_SHOW : SW_HIDE);
        bool enable = (f->state & kFieldEnabled) != 0;
        if (loading && f->kind == kFieldChoice && i == f->value.integer) enable = true;
        EnableWindow(c, enable);
    }
    return accepted;
}

bool EditTextStyleInPlace(TextStyle* style) {
    return RunCommandDialog(kDialogTextStyle, style, nullptr, kTextStyleHelpTopic, 0);
}

bool EditTextStyleCopy(TextStyle* style) {
    TextStyle copy = *style;
    if (!EditTextStyleInPlace(&copy)) return false;
    *style = copy;
    return true;
}

const char* NumberedOrOwnText(uint32_t id, const char* ownText) {
    const auto form = LaterForms().text.numberedText;
    const char* text = form ? form(id) : nullptr;
    return text && text[0] ? text : ownText;
}
