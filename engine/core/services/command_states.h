// Command states as the engine's core and document code touch them: code that changes
// what a group of menu items depends on marks the group dirty, and the command-state
// registry (engine/interact) refreshes it later from an idle task.
#pragma once
#include <cstdint>

#include "engine/core/services/command_groups.h"

// Marks a group 0..15 dirty and queues the refresh unless it is queued already;
// answers whether the group was dirty already.
bool CmdStateInvalidate(uint32_t group);
// Removes a queued locus candidate search; with start set, queues a new one for the
// command-state item (the Construct menu's Locus entry) over the front sketch's selection.
void ScheduleLocusCandidateSearch(int32_t item, int32_t start);
// Frees the command-state items (a failed start and shutdown).
void CmdStateFreeItems();
