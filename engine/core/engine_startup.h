// Starting and stopping the engine, and the quit request that links the two.
#pragma once
#include <cstdint>

// Runs once before the first document. On failure everything done so far is undone
// in reverse and false is answered; the application then ends its start-up with
// "Initialization failed.".
bool StartEngine();
// Runs once when the main window goes away: saves the preferences when the quit
// request asked for it, and frees what StartEngine set up.
void ShutdownEngine();

// The Quit command posts a request (save preferences, really quit) that idle
// processing takes. Taking it leaves it pending; clearing it ends the pending mark
// but keeps the save choice for ShutdownEngine.
void RequestAppQuit(int32_t savePreferences, int32_t value);
bool TakeAppQuitRequest(int32_t* savePreferences, int32_t* value);
void ClearAppQuitRequest();
