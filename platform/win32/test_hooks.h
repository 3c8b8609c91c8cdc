// Hooks through which the Windows tests drive the platform services: a tick count that
// only moves when the test moves it, and the answers of the windows that are not built
// yet. Nothing in the program calls them.
#pragma once
#include <cstdint>

// Freezes the platform's tick count at `ticks`; AdvanceTickCountForTest moves it on.
// ReleaseTickCountForTest returns to the system's count.
void FreezeTickCountForTest(uint32_t ticks);
void AdvanceTickCountForTest(uint32_t ms);
void ReleaseTickCountForTest();
// While frozen, every read of the tick count moves it on by `ms` afterwards (0: none).
void StepTickCountForTest(uint32_t ms);

// The answer (IDOK or IDCANCEL) that a command dialog gives in place of the user, by
// kind; -1 lets the real dialog run (a kind without one is cancelled). Null (the
// default) leaves every kind to its dialog. Called while the dialog would be on the
// screen, with the record the dialog edits, which the script may change as the user would.
using CommandDialogScript = int (*)(int32_t kind, void* record);
void ScriptCommandDialogsForTest(CommandDialogScript script);
// The New Tool dialog not built yet: edits the name in place and answers OK (true) or
// Cancel; null (the default) cancels.
using NewToolNameScript = bool (*)(char* name);
void ScriptNewToolNameForTest(NewToolNameScript script);
// Makes every update of a busy task first let `ms` milliseconds of messages through
// (and again once its progress window is open), so that a short operation lasts long
// enough to see and cancel its progress window; 0 (the default) turns it off.
void PauseBusyUpdatesForTest(uint32_t ms);
