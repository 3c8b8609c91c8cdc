// The windows and start-up state the platform services act on. Every service that
// needs the main frame does nothing (null, false, no effect) while there is none.
#pragma once
#include <windows.h>

#include <cstdint>

// The main frame's window, null while there is none.
HWND MainWindow();
// The application has finished its start-up (alerts then use the alert dialog).
bool StartupComplete();
// A run-time menu bar exists (idle updates then run the engine's idle tasks).
bool MenusBuilt();

// The application registers its main frame here whenever the frame or the two flags
// change (the Windows tests register a window of their own). Null unregisters it.
void RegisterMainWindow(HWND window, bool startupComplete, bool menusBuilt);

struct Sketch;
// Whether the sketch's layout has fallen behind its objects: its document's views were
// not invalidated since they last painted, yet the sketch changed since. The idle update
// asks it every 256th pass; the program registers it (without one nothing is behind).
using LayoutBehindCheck = bool (*)(Sketch* sketch);
void RegisterLayoutBehindCheck(LayoutBehindCheck check);

struct NewToolNameRequest;
// The user interface's dialogs that the services run: the alert (buttons: 1 OK, 2
// Cancel, 4 Yes, 8 No; help topic 0 for none), the New Tool name and the command
// dialogs (IDOK or IDCANCEL, or kNoCommandDialog for a kind it does not show). The
// program registers them at start-up; without them an alert is a plain message box and
// the others are cancelled (or answered by a test's script).
constexpr int kNoCommandDialog = -1;
struct ServiceDialogs {
    void (*runAlert)(HWND owner, const char* caption, const char* text, int32_t buttons, int32_t helpTopic);
    bool (*askNewToolName)(NewToolNameRequest* request);
    bool (*runCalculator)(int32_t helpTopic, int32_t titleItem);
    int (*runCommandDialog)(int32_t kind, void* record, int32_t (*change)(void* record), int32_t helpTopic,
                            int32_t mode);
};

// The open calculator's expression area (null when none): where the pointer is read
// while the calculator tracks a press.
void SetCalculatorArea(HWND area);
HWND CalculatorArea();
void RegisterServiceDialogs(const ServiceDialogs* dialogs);
