// The dialogs of the engine's command kinds, run over the record the engine hands in.
#pragma once
#include <cstdint>

// IDOK or IDCANCEL; kNoCommandDialog for a kind whose dialog is not one of these.
// mode 1: the dialog is sketch-interactive.
int RunCommandDialogWindow(int32_t kind, void* record, int32_t (*change)(void* record), int32_t helpTopic,
                           int32_t mode);
