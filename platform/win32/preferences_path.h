// Where the preferences file lives: decided by the application at start-up (its
// command line may name another file) and read by the engine through
// GetPreferencesPath. A path too long for kMaxPathChars leaves none.
#pragma once

void SetPreferencesPath(const char* path);
