// Stand-in: the command-state registry is not built yet; what the engine's core
// calls of it.
#pragma once
#include <cstdint>

// Marks a command-state group (0..15) dirty; answers whether it already was.
bool CmdStateInvalidate(int32_t group);
// Frees the command-state items (start-up failure and shutdown).
void CmdStateFreeItems();

// Stand-in: the dirty groups as bits, for tests until the registry exists.
uint32_t StandInCmdStateDirtyGroups();
