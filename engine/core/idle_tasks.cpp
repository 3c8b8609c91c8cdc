#include "engine/core/idle_tasks.h"

namespace {

IdleTask* gFirstTask = nullptr;
uint32_t  gPassNumber = 0;

// The next task of this pass: the first in list order that was queued when the pass
// began and has not been called yet. Searching from the front after every call keeps
// the walk right whatever the callback did to the list.
IdleTask* NextTaskOfPass() {
    for (IdleTask* t = gFirstTask; t != nullptr; t = t->next)
        if (t->passMark == gPassNumber) return t;
    return nullptr;
}

}  // namespace

void AddIdleTask(IdleTask* task, IdleTaskCallback callback, int32_t priority) {
    if (task->queued != 0) return;
    task->callback = callback;
    task->priority = priority;
    task->queued = 1;
    task->passMark = 0;
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
    task->passMark = 0;
}

bool RunIdleTaskPass() {
    // Pass numbers skip 0, which marks a task as done for the pass.
    if (++gPassNumber == 0) gPassNumber = 1;
    for (IdleTask* t = gFirstTask; t != nullptr; t = t->next) t->passMark = gPassNumber;

    int32_t group = 0;
    while (IdleTask* task = NextTaskOfPass()) {
        if (task->priority != group && group != 0) break;
        if (task->priority != 0) group = task->priority;
        task->passMark = 0;
        if (task->callback(task, 0) == 0 && task->queued != 0) RemoveIdleTask(task);
    }
    for (IdleTask* t = gFirstTask; t != nullptr; t = t->next) t->passMark = 0;
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
