#include "tests/support/folders_double.h"

#include <cstring>
#include <string>

#include "engine/core/memory.h"
#include "engine/core/services/folders.h"

namespace {
bool gHaveDocument = false, gHaveProgram = true, gHaveHelp = false;
std::string gDocument, gProgram = "C:\\Program\\", gHelp;

char* Copy(const std::string& text) {
    auto* out = static_cast<char*>(AllocMemory(text.size() + 1, 0));
    if (out) std::memcpy(out, text.c_str(), text.size() + 1);
    return out;
}
}  // namespace

void SetTestFolders(const char* documentFolder, const char* programFolder, const char* helpFolder) {
    gHaveDocument = documentFolder != nullptr;
    gHaveProgram = programFolder != nullptr;
    gHaveHelp = helpFolder != nullptr;
    gDocument = documentFolder ? documentFolder : "";
    gProgram = programFolder ? programFolder : "";
    gHelp = helpFolder ? helpFolder : "";
}

char* GetDocumentFolder(const EngineDocument* document, bool) {
    if (document == nullptr) return gHaveProgram ? Copy(gProgram) : nullptr;
    return gHaveDocument ? Copy(gDocument) : nullptr;
}

char* GetHelpFolder() { return gHaveHelp ? Copy(gHelp) : nullptr; }
