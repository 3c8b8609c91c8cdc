// Keys of the front sketch: the special keys the shell hands over by engine key code
// (1 Escape, 2-5 arrows, 6 Backspace, 7 Delete, 8 Enter, 10 Home, 11 End, 12-15 arrows
// with Alt).
#pragma once
#include <cstdint>

// True when the current sketch used the key.
bool HandleViewCommand(uint16_t code, bool shift);
