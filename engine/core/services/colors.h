// The custom colours the platform's colour dialogs offer.
#pragma once

struct CustomColorBlock;

// A new block (AllocMemory) of the default custom colours, or null without memory.
CustomColorBlock* NewDefaultCustomColors();
// Installs `block`, which the platform then owns, and frees the one installed before;
// null drops the custom colours.
void SetCustomColors(CustomColorBlock* block);
