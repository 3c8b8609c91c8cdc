// Busy feedback as the rest of the Windows user interface sees it.
#pragma once
#include <windows.h>

struct BusyTask;

// While set, the sketch view shows the wait cursor when Windows asks it for a cursor.
bool BusyCursorWanted();
// The task's progress window, null until it opens.
HWND ProgressWindowOf(const BusyTask* task);
// The progress window's Cancel: the task's next update answers 0.
void StopBusyTask();
