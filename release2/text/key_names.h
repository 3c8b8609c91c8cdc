// figlate's key names in menu texts: the words come from the string resources, and the
// slash is one of the Alt characters.
#pragma once
#include <cstddef>
#include <cstdint>

// figlate's form of FormatCommandKeyText: the tab and key name of the command row's key
// letter (group 3 item 0 holds one letter per row; a blank is no key).
size_t FormatAcceleratorName(uint32_t row, bool shiftHeld, char* buffer, size_t size);
