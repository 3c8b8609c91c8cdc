// The engine's background work: one process-wide list of idle tasks, run in small
// steps whenever the message loop has nothing else to do.
#pragma once
#include <cstdint>

struct IdleTask;

// Answers nonzero while the task wants to run again. `finish` asks it to complete
// its work now (RunIdleTaskToEnd).
using IdleTaskCallback = int32_t (*)(IdleTask* task, int32_t finish);

// Embedded in its owner (a sketch's frame ticker, the command-state refresh, ...).
struct IdleTask {
    IdleTask*        next;
    IdleTaskCallback callback;
    int32_t          priority;  // 0 = every pass; otherwise higher runs first
    int32_t          queued;    // nonzero while in the list (2: not yet run in this pass)
};

// Priorities in use.
constexpr int32_t kIdleEveryPass          = 0;   // frame ticks
constexpr int32_t kIdleToolFolderScan     = 2;
constexpr int32_t kIdleStatusTextRefresh  = 5;
constexpr int32_t kIdleLocusSearch        = 10;  // also the scroll-range update
constexpr int32_t kIdleCommandStateRefresh = 20;

// Queues a task: priority 0 at the front, others before the first queued task of a
// nonzero priority not above theirs (so the newest of equals runs first). A task that
// is already queued stays as it is.
void AddIdleTask(IdleTask* task, IdleTaskCallback callback, int32_t priority);
// Unqueues a task; nothing when it is not queued.
void RemoveIdleTask(IdleTask* task);
// One pass: every priority-0 task, then the tasks of the highest other priority
// present. A task answering 0 leaves the list. Callbacks may add and remove tasks,
// themselves included. Answers whether any task is still queued.
bool RunIdleTaskPass();
// The idle pass of the message loop: one pass, then the background frame delay adapts
// to whether a frame overran its watchdog (frame_tick.cpp).
bool RunIdleTasks();
// Runs a queued task with the finish flag until it answers 0 or leaves the list.
void RunIdleTaskToEnd(IdleTask* task);
// Whether the first queued task runs on every pass.
bool IsUrgentIdleTaskPending();
