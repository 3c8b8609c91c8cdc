// Test double of the command executors that the shell defines on Windows (closing the
// active window, the command-variant construction): each records its call like the
// other executors' doubles. Kept apart so that the Windows tests, which link the real
// shell, never take these.
#include "engine/interact/command_executors.h"
#include "tests/support/command_executors_double.h"

ResultCode CloseActiveWindow(int32_t argument) { return RecordExecutorCall(45, argument); }
ResultCode RunCommandVariantProgram(int32_t argument) { return RecordExecutorCall(51, argument); }
