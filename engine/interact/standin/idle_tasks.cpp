// Stand-in: the sketch engine's idle-task list, until it lands: priority 0 runs on
// every pass, the others one per pass by descending priority.
#include "engine/interact/neighbour_services.h"

namespace {
IdleTask* gIdleHead = nullptr;
}

void AddIdleTask(IdleTask* task, int32_t (*callback)(IdleTask*, int32_t), int32_t priority) {
    if (task->queued) return;
    task->callback = callback;
    task->priority = priority;
    IdleTask** link = &gIdleHead;
    if (priority != 0) {
        while (*link && ((*link)->priority == 0 || (*link)->priority > priority))
            link = &(*link)->next;
    }
    task->next = *link;
    *link = task;
    task->queued = 1;
}

void RemoveIdleTask(IdleTask* task) {
    for (IdleTask** link = &gIdleHead; *link; link = &(*link)->next) {
        if (*link == task) {
            *link = task->next;
            break;
        }
    }
    task->next = nullptr;
    task->queued = 0;
}

bool RunIdleTasks() {
    bool ranOther = false;
    for (IdleTask* t = gIdleHead; t;) {
        IdleTask* next = t->next;
        if (t->priority == 0 || !ranOther) {
            if (t->priority != 0) ranOther = true;
            if (!t->callback(t, 0)) RemoveIdleTask(t);
        }
        t = next;
    }
    return gIdleHead != nullptr;
}

void RunIdleTaskToEnd(IdleTask* task) {
    while (task->queued) {
        if (!task->callback(task, 1)) RemoveIdleTask(task);
    }
}
