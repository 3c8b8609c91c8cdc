// figlate's links, help folder, shortcuts, shell registration and save types.
#pragma once
#include <cstddef>
#include <cstdint>

struct LaterReleaseForms;

namespace release2 {

constexpr size_t kShortcutPathChars = 260;  // with the terminator

// Opens a resolved address: "ms-its:" in the compiled help viewer, a "file://" address
// made canonical first, anything else through the shell without a verb. True when the
// shell accepted it.
bool ShellOpenTarget(const char* address);
// The target of the ".lnk" file at `path` into `target` (260 bytes). True only when every
// step worked.
bool ResolveShortcut(const char* path, char* target);
// `path` into `out` (260 bytes), each folder of it that does not exist replaced by the
// target of a shortcut named as it with ".lnk"; a ".lnk" name is resolved once more.
// False when a shortcut is missing or a joined path would not fit.
bool ResolveFolderShortcut(const char* path, char* out);
// The help folder's address (string 1383, or "file:///", then the path) in engine
// memory; the folder beside the program, through a shortcut, or chosen by the user.
// Null when cancelled.
char* GetHelpFolderAddress();
// Forgets the help folder found (tests).
void ForgetHelpFolder();
// Writes the DDE application name and the file type into the registry's keys, when
// they exist.
void RegisterDocumentType(const char* ddeName, const char* templateText);
// The program's folder with its trailing backslash, read once.
const char* GetProgramFolder();

}  // namespace release2

void AddShellForms(LaterReleaseForms* forms);
