// Test double of the abort poll: answers true from a chosen poll on. Kept apart from
// the element updates so that the Windows tests, which link the real poll, never take it.
#include "engine/core/services/user_interface.h"
#include "tests/support/command_elements_double.h"

namespace {
int32_t gAbortAt = 0;
int32_t gPolls = 0;
}  // namespace

void SetUserAbortAtPoll(int32_t n) {
    gAbortAt = n;
    gPolls = 0;
}
int32_t UserAbortPolls() { return gPolls; }

bool PollUserAbort(uint32_t) {
    ++gPolls;
    return gAbortAt != 0 && gPolls >= gAbortAt;
}
