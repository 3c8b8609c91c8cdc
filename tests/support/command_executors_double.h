// Test double of the command executors: the record of their last call.
#pragma once
#include <cstdint>

struct ExecutorCall {
    int32_t slot;
    int32_t argument;
};
ExecutorCall LastExecutorCall();
int32_t ExecutorCallCount();
void ResetExecutorLog();
