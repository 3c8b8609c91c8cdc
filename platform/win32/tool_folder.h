// The tool folder: the folder, beside the program, whose documents lend their custom
// tools to every document. The application names it at start-up; an idle task scans it
// one file per pass.
#pragma once
#include <cstdint>

struct IdleTask;

// The folder's name relative to the program's folder, ending in a backslash ("Tool
// Folder\" unless the command line names another). A name too long for a path is
// refused: the scan then finds nothing.
void    SetToolFolderName(const char* name);
// One step of the scan: the next file handed to the library; with `finish` every file
// that is left. 1 while files remain, 0 when the scan is over.
int32_t ScanToolFolderStep(IdleTask* task, int32_t finish);
