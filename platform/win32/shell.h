// The services of the shell that the user interface calls: commands, idle updates,
// keys, alerts and the start and end of the platform services.
#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/core/services/shell.h"

// Runs a command by its command-state slot (menu identifier − 0x9000).
void RunEngineCommand(uint32_t slot);
// One idle pass of the application (only the low byte of the count is read); answers
// whether idle tasks remain.
bool IdleUpdate(int32_t count);
// Hands an arrow, Home, End, Enter, Escape, Delete or Backspace key to the front
// sketch; true when the engine used it.
bool TranslateSpecialKey(uint32_t virtualKey);
bool IsShiftDown();
// Raised while an alert or question that is not nested is on the screen; idle tasks do
// not run meanwhile.
bool AlertShowing();
// Raises or lowers the flag around a box another service shows; answers its value before.
bool SetAlertShowing(bool showing);

// The name of a new custom tool: {title, label, name buffer of 256 bytes}.
struct NewToolNameRequest {
    const char* title;
    const char* label;
    char*       name;
};
// True on OK; the edited name is copied back into the buffer, also after Cancel.
bool AskNewToolName(NewToolNameRequest* request);
// A question whose caption is item (group, item) of the engine's string groups.
bool AskQuestionFromTable(int32_t group, int32_t item, const char* text, uint32_t buttons,
                          uint32_t nested);

// Sets the main frame's status pane 0 and repaints the frame now; null is the empty text.
void SetStatusBarText(const char* text);
HINSTANCE GetAppInstance();
HWND GetMainWindow();
// Opens a path or address with its associated program; true when the shell accepted it.
bool OpenWithShell(const char* target);
// Chosen by the main frame's commands 32895 (set) and 33896 (clear).
void SetCommandVariantFlag(bool set);

// Start-up step after the font list and the engine: the C library's locale and the
// decimal separator numbers use; false makes start-up fail.
bool StartPlatformServices();
void StopPlatformServices();
