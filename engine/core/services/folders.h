// Folders that link targets are resolved against, and handing an address to the shell.
// The user interface defines them (the document windows know their files' paths).
#pragma once
#include <cstdint>

struct EngineDocument;

// A copy in engine memory (FreeMemory) of the document's path name, or of the program's
// path without a document; with `cut` only the folder, with its trailing backslash. Null
// when the path is empty (a document never saved) or memory runs out.
char* GetDocumentFolder(const EngineDocument* document, bool cut);
// A copy in engine memory of the help folder's path; null when there is none (the user
// may be asked to locate it).
char* GetHelpFolder();
// Opens the address with the program associated with it; false when that fails.
bool OpenWithShell(const char* target);
