// The exchange of one engine dialog field with its control(s), which the dialogs and
// property pages share.
#pragma once

#include "classlib/dialog.h"
#include "engine/core/services/dialogs.h"

struct TextStyle;

// The text of a numbered string where the program keeps its texts as resources, else
// `ownText`.
const char* NumberedOrOwnText(uint32_t id, const char* ownText);

// Loading gives the controls the field's value; saving reads an enabled control's value
// back (a disabled one keeps the field as it is). False when the typed value was
// refused: the message was shown and the control has the focus. A field without a
// control (id 0) is skipped and accepted.
bool ExchangeDialogField(CDialog* dialog, int firstId, DialogField* field, bool loading, bool valueRequired,
                         CDataExchange* dx);
// Whether the field's control (for a radio group: any of its buttons) is enabled.
bool DialogFieldEnabled(CDialog* dialog, int firstId, const DialogField* field);

// The Text Style dialog over a style record, in place or on a copy written back only on
// OK; true on OK.
bool EditTextStyleInPlace(TextStyle* style);
bool EditTextStyleCopy(TextStyle* style);
