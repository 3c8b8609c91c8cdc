// Test double of the file services: the preferences file's path is what a test sets.
#pragma once

// Null (the default) leaves the program without a preferences file.
void SetPreferencesPath(const char* path);
