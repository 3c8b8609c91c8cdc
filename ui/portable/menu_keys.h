// Key letters of the run-time menus: the entries made for each command item with a key
// letter, the accelerators they add to the frame's table, and the lookups of Ctrl and
// Alt keys. Plain C++; the accelerator flags carry the values of the Windows ACCEL flags.
#pragma once
#include <cstdint>
#include <vector>

namespace menu_keys {

struct KeyEntry {
    uint16_t command;   // the menu item's identifier
    char key;           // the key letter as the command table gives it
    uint8_t twin;       // the Shift twin of an undo or selection-and-animation command
    uint8_t letter;     // a letter: Ctrl+letter
    uint8_t alt;        // one of + - = ? [ ] `: Alt+character
    uint8_t shifted;    // Shift goes with the key
};

// The entries of one item: none for a key that is no key letter, one, or (with
// shiftTwin) a second with the twin flag and the shifted flag inverted, so that Shift
// with the key reaches the same item. Answers whether the key is a key letter.
bool AddKeyEntries(std::vector<KeyEntry>* entries, uint16_t command, char key, bool shiftTwin);

// An accelerator as the Windows table stores it.
constexpr uint8_t kAccelVirtKey = 0x01;
constexpr uint8_t kAccelShift   = 0x04;
constexpr uint8_t kAccelControl = 0x08;
constexpr uint8_t kAccelAlt     = 0x10;
constexpr uint16_t kVirtualKeyDelete = 0x2E;

struct Accelerator {
    uint8_t flags;
    uint16_t key;
    uint16_t command;
};

// Adds the entries' accelerators to a table: a capital letter Ctrl (and Shift when
// shifted) on the letter's virtual key, the digit 8 Ctrl+Delete. Small letters and Alt
// characters get none: the lookups below find them. An accelerator of the same key and
// modifiers is replaced, others are appended.
void MergeKeyAccelerators(std::vector<Accelerator>* table, const std::vector<KeyEntry>& entries);

// Ctrl with a virtual key 'A'..'Z': with Shift the entry of the small letter that is
// shifted, else the capital's that is not. Alt with a character; '/' is tried again as
// '?'. The last matching entry wins; 0 when none matches.
uint16_t FindCtrlKeyCommand(const std::vector<KeyEntry>& entries, uint32_t virtualKey, bool shift);
uint16_t FindAltKeyCommand(const std::vector<KeyEntry>& entries, char character);

}  // namespace menu_keys
