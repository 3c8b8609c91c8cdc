// File services the engine asks of the platform: every save goes through these two, so
// that a document or the preferences file is never left half written.
#pragma once
#include "engine/core/result_codes.h"

constexpr int kMaxPathChars = 260;

// The target or its disk is locked: nothing was changed.
constexpr ResultCode kResultFileLocked = 19;

// A unique temporary file name with the prefix "tmp" in the target's folder, written
// into `tempPath` (kMaxPathChars bytes); no file of that name is left behind, the caller
// creates it. 19 when the target exists and cannot be written, or no name can be made.
ResultCode MakeTempFileNameBeside(const char* targetPath, char* tempPath);

// Puts the finished file `newPath` in the place of `targetPath` in one step: at every
// moment the target's name holds either the old file or the new one. The new file takes
// the old one's attributes and creation time; without an old file it gets normal
// attributes. 19 on any failure, and then the old file is as it was and the new one
// still lies under its temporary name.
ResultCode ReplaceFileKeepingAttributes(const char* targetPath, const char* newPath);

// The preferences file's path (kMaxPathChars bytes), fixed when the program starts;
// false when there is none.
bool GetPreferencesPath(char* path);
