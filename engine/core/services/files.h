// File-name services the engine asks of the platform.
#pragma once
#include "engine/core/result_codes.h"

constexpr int kMaxPathChars = 260;

// A unique temporary file name with the prefix "tmp" in the target's folder, written
// into `tempPath` (kMaxPathChars bytes). 19 when the target exists and cannot be
// written or no name can be made.
ResultCode MakeTempFileNameBeside(const char* targetPath, char* tempPath);
