// Test double of the command executors: the record of their last call.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct ExecutorCall {
    int32_t slot;
    int32_t argument;
};
ExecutorCall LastExecutorCall();
int32_t ExecutorCallCount();
void ResetExecutorLog();
// Records a call of the executor of a slot (the doubles of every executor use it).
ResultCode RecordExecutorCall(int32_t slot, int32_t argument);
