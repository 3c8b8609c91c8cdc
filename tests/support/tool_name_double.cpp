#include <cstdio>

#include "engine/core/services/shell.h"
#include "tests/support/custom_tool_doubles.h"

namespace {
std::vector<std::string> gNames;
int32_t gPrompts = 0;
}  // namespace

void ScriptNewToolNames(std::vector<std::string> names) {
    gNames = std::move(names);
    gPrompts = 0;
}
int32_t NewToolNamePrompts() { return gPrompts; }

bool PromptNewToolName(char* name) {
    ++gPrompts;
    if (gNames.empty()) return false;
    std::snprintf(name, 256, "%s", gNames.front().c_str());
    gNames.erase(gNames.begin());
    return true;
}
