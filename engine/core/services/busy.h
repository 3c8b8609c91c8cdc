// Busy feedback of long operations: a wait cursor and status text after 500 ms, a
// progress window after 1000 ms. The platform owns the task record.
#pragma once
#include <cstdint>

struct BusyTask;

// Kinds are items of the busy-text string group.
constexpr int32_t kBusyOpening        = 1;  // "Opening..."
constexpr int32_t kBusySaving         = 2;  // "Saving..."
constexpr int32_t kBusyPreparingTools = 4;  // "Preparing Custom Tools..."

// Null when no feedback could be started; the other calls accept null.
// With `cancelable` the progress window offers a Cancel button that the updates report.
BusyTask* BeginBusyTask(int32_t kind, uint32_t progressMaximum, bool cancelable);
// False when the user asked to stop.
bool      UpdateBusyTask(BusyTask* task, uint32_t position);
void      EndBusyTask(BusyTask* task);
