// The request protocol between the GUI test driver and a test build of the program.
// The driver sends a WM_COPYDATA request (text) to the program's hook window; the hook
// answers with a WM_COPYDATA reply (text) to the driver's window given as wParam, while
// the driver still waits in its send.
#pragma once
#include <cstdint>

constexpr const char kHookWindowClass[] = "FigTestHookWindow";
// The test container's window answers the same requests (figdriver -c).
constexpr const char kContainerWindowClass[] = "FigTestContainerWindow";
constexpr uintptr_t kHookRequest = 0x46494752;  // "FIGR"
constexpr uintptr_t kHookReply = 0x46494741;    // "FIGA"
