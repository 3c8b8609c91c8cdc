// Test doubles of the link folders and of the shell's opening of addresses: the folders
// are set by the test, and every address handed to the shell is recorded.
#pragma once
#include <string>
#include <vector>

// Null texts give no folder. The program's folder is what GetDocumentFolder answers
// without a document.
void SetTestFolders(const char* documentFolder, const char* programFolder, const char* helpFolder);
// Every address opened so far, oldest first; cleared with ResetOpenedAddresses.
const std::vector<std::string>& OpenedAddresses();
void ResetOpenedAddresses();
// What OpenWithShell answers (true by default).
void SetOpenWithShellResult(bool opens);
