// Test double of the command executors that no engine code defines yet: each records
// that it ran and with which argument, so that the registry's execution path can be
// followed.
#include "tests/support/command_executors_double.h"

#include "engine/interact/command_executors.h"

namespace {
ExecutorCall gLastCall{-1, 0};
int32_t gCallCount = 0;
}  // namespace

ResultCode RecordExecutorCall(int32_t slot, int32_t argument) {
    gLastCall = {slot, argument};
    ++gCallCount;
    return kResultOK;
}

ExecutorCall LastExecutorCall() { return gLastCall; }
int32_t ExecutorCallCount() { return gCallCount; }
void ResetExecutorLog() {
    gLastCall = {-1, 0};
    gCallCount = 0;
}

#define STANDIN_EXECUTOR(name, slot) \
    ResultCode name(int32_t argument) { return RecordExecutorCall(slot, argument); }

STANDIN_EXECUTOR(HostOpenDocument, 7)
STANDIN_EXECUTOR(HostSaveDocument, 8)
STANDIN_EXECUTOR(HostNewDocument, 12)
STANDIN_EXECUTOR(HostNoOp, 22)
STANDIN_EXECUTOR(PropertiesCommand, 36)
STANDIN_EXECUTOR(HostPrint, 56)
STANDIN_EXECUTOR(HostPrintPreview, 57)
STANDIN_EXECUTOR(HostPrintSetup, 58)
