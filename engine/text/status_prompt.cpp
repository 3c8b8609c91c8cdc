#include "engine/text/status_prompt.h"

#include "engine/core/memory.h"
#include "engine/text/string_groups.h"

void LoadStatusPromptText(char** text, StatusTextProvider* provider) {
    if (!text) return;
    *text = nullptr;
    if (!provider) return;
    auto* block = static_cast<char*>(AllocMemory(256, 0));
    if (!block) return;
    CopyGroupString256(kGroupStatusPrompts, static_cast<int32_t>(provider->key), block);
    *text = block;
}

void SetStatusPrompt(int32_t group, int32_t item) {
    if (group != kGroupStatusPrompts) return;
    const StatusTextProvider provider{ LoadStatusPromptText, static_cast<uint32_t>(item) };
    SetStatusTextProvider(&provider, 0);
}
