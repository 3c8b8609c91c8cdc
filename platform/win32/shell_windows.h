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

// Stand-in: the application object and the main frame are not built yet; until they
// register themselves, whoever creates a main window (the Windows tests do) says so
// here. Null unregisters it.
void RegisterMainWindowStandin(HWND window, bool startupComplete, bool menusBuilt);
