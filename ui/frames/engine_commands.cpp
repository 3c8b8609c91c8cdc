#include "ui/frames/engine_commands.h"

#include "engine/interact/command_state.h"
#include "engine/text/string_groups.h"

namespace {
constexpr int32_t kPromptGroup = 4;
constexpr int32_t kHelpGroup = 23;
}  // namespace

bool EngineCommandSlot(WPARAM wParam, uint32_t* slot) {
    const UINT code = HIWORD(wParam);
    const UINT id = LOWORD(wParam);
    if (code > 1 || id < kEngineCommandFirst || id > kEngineCommandLast) return false;
    *slot = id - kEngineCommandFirst;
    return true;
}

CString EngineCommandPrompt(uint32_t slot) {
    char text[256];
    CopyGroupString256(kPromptGroup, static_cast<int32_t>(CmdStateItemRow(slot)), text);
    return CString(text);
}

CString HelpItemPrompt() {
    char text[256];
    CopyGroupString256(kHelpGroup, 1, text);
    return CString(text);
}
