#include "engine/core/idle_tasks.h"

namespace {

// A pass marks the tasks queued when it begins with this value of `queued`; each goes
// back to 1 when it is called, and tasks queued during the pass join with 1.
constexpr int32_t kQueuedAwaitingPass = 2;

IdleTask* gFirstTask = nullptr;

// The next task of this pass: the first in list order that was queued when the pass
// began and has not been called yet. Searching from the front after every call keeps
// the walk right whatever the callback did to the list.
IdleTask* NextTaskOfPass() {
    for (IdleTask* t = gFirstTask; t != nullptr; t = t->next)
        if (t->queued == kQueuedAwaitingPass) return t;
    return nullptr;
}

}  // namespace

void AddIdleTask(IdleTask* task, IdleTaskCallback callback, int32_t priority) {
    if (task->queued != 0) return;
    task->callback = callback;
    task->priority = priority;
    task->queued = 1;
    IdleTask** link = &gFirstTask;
    if (priority != 0) {
        while (*link != nullptr && ((*link)->priority == 0 || (*link)->priority > priority))
            link = &(*link)->next;
    }
    task->next = *link;
    *link = task;
}

void RemoveIdleTask(IdleTask* task) {
    if (task->queued == 0) return;
    for (IdleTask** link = &gFirstTask; *link != nullptr; link = &(*link)->next) {
        if (*link == task) {
            *link = task->next;
            break;
        }
    }
    task->next = nullptr;
    task->queued = 0;
}

bool RunIdleTaskPass() {
    for (IdleTask* t = gFirstTask; t != nullptr; t = t->next) t->queued = kQueuedAwaitingPass;

    int32_t group = 0;
    while (IdleTask* task = NextTaskOfPass()) {
        if (task->priority != group && group != 0) break;
        if (task->priority != 0) group = task->priority;
        task->queued = 1;
        if (task->callback(task, 0) == 0 && task->queued != 0) RemoveIdleTask(task);
    }
    for (IdleTask* t = gFirstTask; t != nullptr; t = t->next) t->queued = 1;
    return gFirstTask != nullptr;
}

void RunIdleTaskToEnd(IdleTask* task) {
    while (task->queued != 0 && task->callback(task, 1) != 0) {
    }
    RemoveIdleTask(task);
}

bool IsUrgentIdleTaskPending() {
    return gFirstTask != nullptr && gFirstTask->priority == 0;
}
