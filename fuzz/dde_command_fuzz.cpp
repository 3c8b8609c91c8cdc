// The shell's DDE execute strings come from another process.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "classlib/portable/dde_command.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<classlib::DdeCommand> commands;
    classlib::ParseDdeCommands(reinterpret_cast<const char*>(data), size, &commands);
    if (commands.size() > classlib::kDdeMaxCommands) __builtin_trap();
    for (const classlib::DdeCommand& c : commands) {
        if (c.name.empty() || c.name.size() > classlib::kDdeMaxNameLength) __builtin_trap();
        if (c.arguments.size() > classlib::kDdeMaxArguments) __builtin_trap();
        for (const auto& a : c.arguments) {
            if (a.size() > classlib::kDdeMaxArgumentLength) __builtin_trap();
        }
    }
    return 0;
}
