// The shell's DDE execute strings: "[open("C:\a.yrn")][print("C:\b.yrn")]".
// Plain C++: no Windows header. The text comes from another process, so every
// part is bounded and a command that does not parse ends the list.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace classlib {

constexpr size_t kDdeMaxCommands = 16;
constexpr size_t kDdeMaxArguments = 4;
constexpr size_t kDdeMaxNameLength = 31;
constexpr size_t kDdeMaxArgumentLength = 259;  // a path of MAX_PATH with its NUL

struct DdeCommand {
    std::string name;                 // as written; compare without regard to case
    std::vector<std::string> arguments;
};

// The commands of length bytes of text, up to the first one that does not parse
// (a NUL ends the text too). False when not even the first command parses.
bool ParseDdeCommands(const char* text, size_t length, std::vector<DdeCommand>* commands);

}  // namespace classlib
