// The record the parameter dialog edits, apart from the parameters' other declarations
// so that the dialog's side needs only the field entries.
#pragma once
#include <cstdint>

#include "engine/core/services/dialogs.h"

// The record of the parameter dialog, field entries in the dialog's order: the value, the
// name (a text in nameText, at most 40 characters), the unit choice (0 none, 1 angle,
// 2 distance; disabled when the unit cannot change) and the window title.
constexpr uint32_t kParameterNameRoom = 41;
struct ParameterDialogRecord {
    DialogField value;
    DialogField name;
    DialogField units;
    DialogField title;
    char nameText[kParameterNameRoom];
};
