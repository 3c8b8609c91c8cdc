// Test double of the user interface's element update of command-state items.
#pragma once
#include <cstdint>

struct ElementUpdateLog {
    uint32_t fullUpdates[256];     // per slot (slots above 255 are not recorded)
    uint32_t enabledUpdates[256];
    uint32_t order[64];            // slots in the order of their updates
    uint32_t orderCount;
};
ElementUpdateLog& ElementUpdates();
void ResetElementUpdates();

// The abort poll (user_abort_double.cpp): PollUserAbort answers true from the nth poll
// on (counted from this call); 0 never.
void SetUserAbortAtPoll(int32_t n);
int32_t UserAbortPolls();
