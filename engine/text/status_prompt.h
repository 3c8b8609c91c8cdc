// Status-line prompts: items of the status-prompt group shown while the mouse is over
// something that a click or drag would act on ("Drag to stretch or shrink").
#pragma once
#include <cstdint>

#include "engine/core/status_text.h"

// Makes an item of the status-prompt group (16, the only group callers pass) the
// status-line text. Asking for the prompt already shown changes nothing. Another group
// is refused: the provider's key holds only the item.
void SetStatusPrompt(int32_t group, int32_t item);

// The provider's callback: a new 256-byte block holding the item's text (at most 255
// characters), or null when memory runs out. The status line owns the block.
void LoadStatusPromptText(char** text, StatusTextProvider* provider);
