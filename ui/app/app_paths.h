// Paths fixed at start-up from the Windows folder and the command line: the
// preferences file and the tool folder (relative to the program's folder).
#pragma once

constexpr int kAppPathChars = 260;

extern char gPreferencesPath[kAppPathChars];
extern char gToolFolderPath[kAppPathChars];

// The Windows folder (at most 255 characters, its trailing backslash dropped) joined
// with the preferences file's name.
void DefaultPreferencesPath(const char* windowsFolder, char* out);
