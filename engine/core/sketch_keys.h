// Keys of the front sketch: the characters, and the shell's special keys handed over by
// engine key code (1 Escape, 2-5 left, right, up, down, 6 Backspace, 7 Delete, 8 Enter,
// 10 Home, 11 End, 12-15 arrows with Alt). The interaction code defines them; the shell
// calls them with the front sketch current.
#pragma once
#include <cstdint>

constexpr uint16_t kKeyEscape    = 1;
constexpr uint16_t kKeyLeft      = 2;
constexpr uint16_t kKeyRight     = 3;
constexpr uint16_t kKeyUp        = 4;
constexpr uint16_t kKeyDown      = 5;
constexpr uint16_t kKeyBackspace = 6;
constexpr uint16_t kKeyDelete    = 7;
constexpr uint16_t kKeyEnter     = 8;

// Flag of an arrow: step the toolbox instead of nudging the selection (the mouse wheel,
// the middle button, Shift).
constexpr uint16_t kKeyStepsToolbox = 0x1;

// True when the key was used.
bool HandleViewCommand(uint16_t key, uint16_t flags);
// True when the character was used.
bool HandleSketchChar(uint32_t character);
