#include "ui/portable/menu_keys.h"

#include <cstring>

namespace menu_keys {

namespace {

bool IsAltCharacter(char key) { return key != '\0' && std::strchr("+-=?[]`", key) != nullptr; }

uint16_t FindAlt(const std::vector<KeyEntry>& entries, char character) {
    for (size_t i = entries.size(); i-- > 0;) {
        if (entries[i].alt && entries[i].key == character) return entries[i].command;
    }
    return 0;
}

}  // namespace

bool AddKeyEntries(std::vector<KeyEntry>* entries, uint16_t command, char key, bool shiftTwin) {
    KeyEntry entry{ command, key, 0, 0, 0, 0 };
    if (key >= 'A' && key <= 'Z') {
        entry.letter = 1;
    } else if (key >= 'a' && key <= 'z') {
        entry.letter = 1;
        entry.shifted = 1;
    } else if (IsAltCharacter(key)) {
        entry.alt = 1;
    } else if (key != '8') {
        return false;
    }
    entries->push_back(entry);
    if (shiftTwin) {
        entry.twin = 1;
        entry.shifted = uint8_t(!entry.shifted);
        entries->push_back(entry);
    }
    return true;
}

void MergeKeyAccelerators(std::vector<Accelerator>* table, const std::vector<KeyEntry>& entries) {
    for (const KeyEntry& e : entries) {
        Accelerator accel{};
        if (e.letter && e.key >= 'A' && e.key <= 'Z') {
            accel = { uint8_t(kAccelVirtKey | kAccelControl | (e.shifted ? kAccelShift : 0)),
                      uint16_t(e.key), e.command };
        } else if (!e.letter && !e.alt && e.key == '8') {
            accel = { uint8_t(kAccelVirtKey | kAccelControl), kVirtualKeyDelete, e.command };
        } else {
            continue;
        }
        bool replaced = false;
        for (Accelerator& a : *table) {
            if (a.key == accel.key && a.flags == accel.flags) {
                a.command = accel.command;
                replaced = true;
                break;
            }
        }
        if (!replaced) table->push_back(accel);
    }
}

uint16_t FindCtrlKeyCommand(const std::vector<KeyEntry>& entries, uint32_t virtualKey, bool shift) {
    if (virtualKey < 'A' || virtualKey > 'Z') return 0;
    const char key = shift ? char(virtualKey - 'A' + 'a') : char(virtualKey);
    for (size_t i = entries.size(); i-- > 0;) {
        const KeyEntry& e = entries[i];
        if (e.letter && e.key == key && e.shifted == (shift ? 1 : 0)) return e.command;
    }
    return 0;
}

uint16_t FindAltKeyCommand(const std::vector<KeyEntry>& entries, char character) {
    const uint16_t command = FindAlt(entries, character);
    if (command == 0 && character == '/') return FindAlt(entries, '?');
    return command;
}

}  // namespace menu_keys
